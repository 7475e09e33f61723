// Paths as the system takes them and as a person reads them.
#pragma once

#include <afxwin.h>

// The form of a full path that the file functions take at any length: "\\?\C:\..." or
// "\\?\UNC\server\share\..." once the path is too long for the plain form; shorter paths,
// relative paths and paths that have the prefix already are returned as they are.
CString LongPathForm(LPCTSTR path);
// The same path without the long-path prefix: "\\?\C:\..." as "C:\...", "\\?\UNC\server\..."
// as "\\server\...". Paths without the prefix are returned as they are.
CString PlainPathForm(LPCTSTR path);

// The path shortened in the middle so that it fits width pixels in the window's font: the
// start of the path, "...", and the whole file name ("C:\Photos\...\seaside-2.jpg"). A path
// that fits is returned as it is.
CString ShortenPathToWidth(HWND window, LPCTSTR path, int width);
// The same to the width of the control's client area.
CString ShortenPathToControl(HWND control, LPCTSTR path);
