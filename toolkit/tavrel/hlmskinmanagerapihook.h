// The import-table rewriter: puts the skin engine's replacements into the import slots of
// the process's modules, and the replacements themselves.
#pragma once

#include <windows.h>

// TRUE for a window procedure of the system: an ANSI procedure handle, or an address inside
// USER32, COMCTL32 or NTDLL. Such procedures never call the replaced default procedures.
BOOL IsSystemWindowProcAddress(WNDPROC pfnWndProc);

// CallWindowProcW through the system function the rewriter saved (through the program's
// own import when nothing is saved), so that the call never reaches a replacement.
LRESULT CallWindowProcOriginal(WNDPROC pfnWndProc, HWND hWnd, UINT message, WPARAM wParam,
                               LPARAM lParam);
