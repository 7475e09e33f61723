#include "failurereason.h"

#include "pathtext.h"

#include <cwctype>

CString SystemReason(DWORD error)
{
    LPWSTR text = NULL;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                       NULL, error, 0, reinterpret_cast<LPWSTR>(&text), 0, NULL);
    CString reason;
    if (length == 0 || text == NULL)
        reason.Format(_T("error %lu"), error);
    else
        reason = text;
    if (text != NULL)
        LocalFree(text);
    // Long texts are broken into lines; the end box shows each reason on its picture's line.
    reason.Replace(_T("\r\n"), _T(" "));
    reason.Trim();
    reason.TrimRight(_T('.'));
    // "Access is denied" starts a sentence, but "UNC" stays as it is.
    if (reason.GetLength() > 1 && !std::iswupper(reason[1]))
        reason.SetAt(0, static_cast<wchar_t>(std::towlower(reason[0])));
    return reason;
}

DWORD WriteErrorAt(LPCTSTR path)
{
    HANDLE file = CreateFileW(LongPathForm(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    const BOOL made = GetLastError() != ERROR_ALREADY_EXISTS;
    CloseHandle(file);
    if (made)
        DeleteFileW(LongPathForm(path));
    return ERROR_SUCCESS;
}
