// Why a file or folder could not be made, in the system's own words, for the end of a batch.
#pragma once

#include <afxwin.h>

// The system's text for the error as a phrase to follow a colon: on one line, its first
// letter in lower case, no closing full stop ("access is denied"); "error <n>" where the
// system has no text for it.
CString SystemReason(DWORD error);

// The error that keeps a file from being written at the path, found by opening it for writing
// as the encoder does; ERROR_SUCCESS when it opens (what failed lies elsewhere). A file that
// this opening makes is deleted again.
DWORD WriteErrorAt(LPCTSTR path);
