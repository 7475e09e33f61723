#include "pathtext.h"

namespace
{
// CreateDirectoryW takes at most MAX_PATH - 12 characters (room for an 8.3 name); the other
// file functions MAX_PATH - 1.
const int kLongestPlainPath = MAX_PATH - 12 - 1;
const LPCTSTR kLongPrefix = _T("\\\\?\\");
const LPCTSTR kLongNetworkPrefix = _T("\\\\?\\UNC\\");

int TextWidth(HDC dc, const CString& text)
{
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, text.GetLength(), &size);
    return size.cx;
}
}

CString LongPathForm(LPCTSTR path)
{
    const CString plain(path);
    if (plain.GetLength() <= kLongestPlainPath || plain.Left(4) == kLongPrefix)
        return plain;
    const BOOL drive = plain.GetLength() >= 3 && plain[1] == _T(':') && plain[2] == _T('\\');
    const BOOL network = plain.Left(2) == _T("\\\\");
    if (!drive && !network)
        return plain;
    // The prefix turns off the system's clean-up of the path: do it first ("/", ".", "..").
    const DWORD needed = GetFullPathNameW(plain, 0, NULL, NULL);
    CString full;
    if (needed == 0 || GetFullPathNameW(plain, needed, full.GetBuffer(needed), NULL) >= needed)
    {
        full.ReleaseBuffer(0);
        full = plain;
    }
    else
    {
        full.ReleaseBuffer();
    }
    return network ? kLongNetworkPrefix + full.Mid(2) : kLongPrefix + full;
}

CString PlainPathForm(LPCTSTR path)
{
    const CString text(path);
    if (text.Left(8).CompareNoCase(kLongNetworkPrefix) == 0)
        return _T("\\\\") + text.Mid(8);
    if (text.Left(4) == kLongPrefix)
        return text.Mid(4);
    return text;
}

CString ShortenPathToWidth(HWND window, LPCTSTR path, int width)
{
    const CString whole(path);
    HDC dc = GetDC(window);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font != NULL ? font : GetStockObject(DEFAULT_GUI_FONT));
    CString shown = whole;
    const int nameStart = whole.ReverseFind(_T('\\'));
    if (nameStart >= 0 && TextWidth(dc, whole) > width)
    {
        const CString name = _T("...") + whole.Mid(nameStart);
        const CString head = whole.Left(nameStart);
        // The longest start of the path that fits beside the file name.
        int fits = 0, tooLong = head.GetLength() + 1;
        while (tooLong - fits > 1)
        {
            const int middle = (fits + tooLong) / 2;
            if (TextWidth(dc, head.Left(middle) + name) <= width)
                fits = middle;
            else
                tooLong = middle;
        }
        shown = head.Left(fits) + name;
    }
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return shown;
}

CString ShortenPathToControl(HWND control, LPCTSTR path)
{
    RECT client = {};
    GetClientRect(control, &client);
    return ShortenPathToWidth(control, path, client.right - client.left);
}
