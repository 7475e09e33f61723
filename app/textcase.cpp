#include "textcase.h"

CString LowerCaseLetters(const CString& text)
{
    CString lower = text;
    for (int i = 0; i < lower.GetLength(); ++i)
    {
        const TCHAR c = lower[i];
        if (c >= _T('A') && c <= _T('Z'))
            lower.SetAt(i, static_cast<TCHAR>(c - _T('A') + _T('a')));
    }
    return lower;
}
