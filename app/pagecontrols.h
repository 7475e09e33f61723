// Small helpers for the option pages, which keep their state in their controls: numbers in
// edits, trackbar positions, radio and check boxes, and rows of controls enabled together.
#pragma once

#include <afxwin.h>

// The edit's text as a signed decimal number; text that is not a number reads as 0.
int GetNumber(CWnd& page, UINT editId);
void SetNumber(CWnd& page, UINT editId, int value);

int GetTrackbarPosition(CWnd& page, UINT trackbarId);
void SetTrackbarPosition(CWnd& page, UINT trackbarId, int position);
void SetTrackbarRange(CWnd& page, UINT trackbarId, int lowest, int highest);

BOOL IsTicked(CWnd& page, UINT buttonId);
void Tick(CWnd& page, UINT buttonId);

// A row of controls that a radio button enables.
struct ControlGroup
{
    UINT radioButtonId;
    UINT controlIds[3];
    int controlCount;
};
void EnableControls(CWnd& page, const ControlGroup& group, BOOL enable);

// Sends the page the horizontal scroll message that copies the trackbar into its edit.
void MirrorTrackbar(CWnd& page);

// A number in its profile form ("%d").
CString NumberText(int value);
