// Assertions, trace output and object dumps: all go to the debugger output
// unless a handler (the test main's) takes the assertions.
#include "afx.h"

namespace
{
AFX_ASSERT_HANDLER g_pfnAssertHandler = nullptr;

void AFXAPI ReportAssertionToDebugger(LPCSTR lpszFileName, int nLine)
{
    char message[MAX_PATH + 64];
    _snprintf_s(message, sizeof(message), _TRUNCATE, "%s(%d): assertion failed\n",
                lpszFileName != nullptr ? lpszFileName : "?", nLine);
    OutputDebugStringA(message);
}

void DumpText(LPCWSTR text)
{
    OutputDebugStringW(text);
}

template <class... Args>
void DumpFormatted(LPCWSTR format, Args... args)
{
    wchar_t text[64];
    _snwprintf_s(text, _countof(text), _TRUNCATE, format, args...);
    DumpText(text);
}
}

BOOL AFXAPI AfxAssertFailedLine(LPCSTR lpszFileName, int nLine)
{
    AFX_ASSERT_HANDLER pfnHandler = g_pfnAssertHandler;
    (pfnHandler != nullptr ? pfnHandler : ReportAssertionToDebugger)(lpszFileName, nLine);
    return FALSE;  // never break: the program goes on after a failed assertion
}

AFX_ASSERT_HANDLER AFXAPI AfxSetAssertHandler(AFX_ASSERT_HANDLER pfnHandler)
{
    AFX_ASSERT_HANDLER pfnPrevious = g_pfnAssertHandler;
    g_pfnAssertHandler = pfnHandler;
    return pfnPrevious;
}

void AFX_CDECL AfxTraceArgs(LPCTSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    CString text = AfxFormatStringV(lpszFormat, args);
    va_end(args);
    OutputDebugStringW(text);
}

void AFXAPI AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine)
{
    if (pOb == nullptr)
    {
        AfxAssertFailedLine(lpszFileName, nLine);
        return;
    }
    pOb->AssertValid();
}

BOOL AFXAPI AfxIsValidAddress(const void* lp, UINT_PTR, BOOL)
{
    return lp != nullptr;
}

BOOL AFXAPI AfxIsValidString(LPCWSTR lpsz, int)
{
    return lpsz != nullptr;
}

BOOL AFXAPI AfxIsValidString(LPCSTR lpsz, int)
{
    return lpsz != nullptr;
}

CDumpContext afxDump;

CDumpContext& CDumpContext::operator<<(LPCTSTR lpsz)
{
    DumpText(lpsz != nullptr ? lpsz : L"(NULL)");
    return *this;
}

CDumpContext& CDumpContext::operator<<(LPCSTR lpsz)
{
    OutputDebugStringA(lpsz != nullptr ? lpsz : "(NULL)");
    return *this;
}

CDumpContext& CDumpContext::operator<<(const void* lp)
{
    DumpFormatted(L"$%p", lp);
    return *this;
}

CDumpContext& CDumpContext::operator<<(const CObject* pOb)
{
    if (pOb == nullptr)
        return *this << "NULL";
    pOb->Dump(*this);
    return *this;
}

CDumpContext& CDumpContext::operator<<(const CObject& ob)
{
    return *this << &ob;
}

CDumpContext& CDumpContext::operator<<(int n)
{
    DumpFormatted(L"%d", n);
    return *this;
}

CDumpContext& CDumpContext::operator<<(UINT u)
{
    DumpFormatted(L"%u", u);
    return *this;
}

CDumpContext& CDumpContext::operator<<(LONG l)
{
    DumpFormatted(L"%ld", l);
    return *this;
}

CDumpContext& CDumpContext::operator<<(DWORD dw)
{
    DumpFormatted(L"%lu", dw);
    return *this;
}

CDumpContext& CDumpContext::operator<<(LONGLONG n)
{
    DumpFormatted(L"%I64d", n);
    return *this;
}

CDumpContext& CDumpContext::operator<<(ULONGLONG n)
{
    DumpFormatted(L"%I64u", n);
    return *this;
}

CDumpContext& CDumpContext::operator<<(double d)
{
    DumpFormatted(L"%f", d);
    return *this;
}
