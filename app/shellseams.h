// The shell's interactive services, reached through replaceable functions: the folder
// browser and shell execution open windows that a test cannot answer or close.
#pragma once

#include <afxwin.h>

// Shows the shell's folder browser (file-system folders only) owned by owner; returns the
// chosen folder, or an empty string when it was cancelled or the choice has no path.
using FolderBrowser = CString (*)(HWND owner, LPCTSTR title);
extern FolderBrowser g_browseForFolder;
CString BrowseForFolderWithShell(HWND owner, LPCTSTR title);

using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
extern ShellExecuteFunction g_shellExecute;
