#include "shellseams.h"

#include <shellapi.h>
#include <shlobj.h>

FolderBrowser g_browseForFolder = &BrowseForFolderWithShell;
ShellExecuteFunction g_shellExecute = &ShellExecuteW;

CString BrowseForFolderWithShell(HWND owner, LPCTSTR title)
{
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_STATUSTEXT | BIF_RETURNFSANCESTORS;
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
    if (!chosen)
        return CString();
    TCHAR path[MAX_PATH] = {};
    SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    return CString(path);
}
