// Two interactive services: a thread mouse hook that gives the focus back to a popup's owner
// when the user clicks outside the popup, and a modal drag of a splitter bar.
#pragma once

#include <afxwin.h>

// ---------------------------------------------------------------------------------------
// Popup mouse monitor: while a popup is monitored, a mouse button pressed outside its window
// rectangle gives the focus to the popup's owner and is swallowed. One popup at a time; the
// thread mouse hook belongs to the thread that set the first popup.

// A popup starts the monitoring (or replaces the monitored one); null ends it.
void SetMonitoredPopup(CWnd* pPopup);
// TRUE while a popup is monitored and its window still exists.
BOOL IsPopupMonitored();
LRESULT CALLBACK MouseMonitorHookProc(int nCode, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------------------
// A modal drag of a splitter bar drawn in exclusive-or mode on the desktop, until the left
// button is released (the new place is taken) or the drag is cancelled.

class CHLMSplitterDragTracker
{
public:
    // With `bInvert` the bar is inverted; otherwise drawn with the halftone pattern.
    explicit CHLMSplitterDragTracker(BOOL bInvert);

    CHLMSplitterDragTracker(const CHLMSplitterDragTracker&) = delete;
    CHLMSplitterDragTracker& operator=(const CHLMSplitterDragTracker&) = delete;

    // Drawing the same rectangle twice restores the screen.
    void DrawTrackRect(CRect rect);

    // Moves `rectBar` (screen coordinates) with the mouse, along x when `bHorz`, else along
    // y, keeping its leading edge inside `rcAvail`; `point` is where the drag began. TRUE
    // when the left button ended the drag; FALSE for Escape, a lost capture or a quit
    // message, which is posted again. The bar keeps the place it was last moved to.
    BOOL Track(CWnd* pWnd, CRect rcAvail, CRect& rectBar, CPoint point, BOOL bHorz);

    // Drawn with the bar when not empty, for example the pane being resized.
    CRect m_rectFixed;

private:
    void DrawBarAndFixed(const CRect& rectBar);

    CDC* m_pDC;
    BOOL m_bInvert;
};
