// The skin object of the system's popup-menu windows. The system still lays out and draws the
// items; the object paints the border and the background in skin colours, has the items drawn
// into an off-screen buffer over that background, moves whatever the system drew there in its
// own colours to the skin's, and keeps the menu from flickering while the selection moves.
#pragma once

#include "hlmskinobjectframe.h"

class CHLMSkinObjectMenu : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectMenu)

public:
    // The one-pixel outline and the band inside it, in window coordinates of the DC.
    void DrawBorder(CDC* dc);
    // The background and the system's items, through a buffer.
    void DrawClient(CDC* dc);

protected:
    afx_msg void OnNcPaint();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSelectItem(WPARAM wParam, LPARAM lParam);
    afx_msg void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
    afx_msg void OnSysKeyDown(UINT key, UINT repeatCount, UINT flags);
    afx_msg void OnChar(UINT character, UINT repeatCount, UINT flags);
    afx_msg void OnWindowPosChanging(WINDOWPOS* position);
    afx_msg void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    // The system's drawing in its own colours moved to the skin's, in the printed buffer.
    void RecolorSystemDrawing(CDC* dc, const CRect& client);
    // The menu whose items the window shows.
    HMENU GetItems() const;
    // The position of the item shown selected; -1 for none.
    int FindSelection() const;
    // Default processing with redrawing off, then one repaint from the buffer.
    LRESULT DefaultWithoutRedraw();

    int m_nDrawnSelection = -1;  // the selected item the last recolouring saw
};
