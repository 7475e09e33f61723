// The skin object of header controls (the column headers of list views among them). It paints
// the whole header from the skin class "HEADER" in one off-screen buffer: each item in its
// normal, hot or pressed state with its image, sort arrow and text, and the area right of the
// last item.
#pragma once

#include "hlmskinobjectframe.h"

class CHLMSkinObjectHeader : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectHeader)

public:
    // States of the part "HEADERITEM".
    enum
    {
        ItemNormal = 1,
        ItemHot = 2,
        ItemPressed = 3
    };

    CHLMSkinObjectHeader();

    void DrawClient(CDC* dc) override;
    void DrawItem(CDC* dc, int index, CRect item, int state);
    // The item under a client point, -1 for none; the hit flags go to flags when given.
    int HitTest(CPoint point, UINT* flags = nullptr);
    // The state the item is drawn in now.
    int GetItemState(int index) const;

protected:
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnCaptureChanged(CWnd* window);
    DECLARE_MESSAGE_MAP()

private:
    void EndPress();

    BOOL m_bPressed;
    int m_nHotItem;
    // The item the button went down on: only that item shows pressed, and only while the
    // mouse is over it.
    int m_nPressedItem;
};
