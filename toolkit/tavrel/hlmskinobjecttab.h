// The skin object of the common controls' tab control. The pane and the tab items come from
// the skin class "TAB" (buttons from "BUTTON" for a control of button-like tabs), with a hot
// item under the mouse; images, texts and the focus rectangle are drawn over them. The
// selected tab is drawn larger and last, so that it lies over its neighbours.
#pragma once

#include "hlmskindrawstate.h"
#include "hlmskinobjectframe.h"

class CHLMSkinObjectTab : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectTab)

public:
    // Sides of the tabs, from the control's style.
    enum
    {
        kSideTop = 0,
        kSideBottom = 0x02,
        kSideLeft = 0x80,
        kSideRight = 0x82
    };

    CHLMSkinObjectTab();

    // The strip of the client area that holds the tabs. With no tab selected it is empty,
    // lying along the tabs' side, and the pane covers the whole client area.
    CRect GetHeaderRect();
    void DrawPane(CDC* dc, const CRect& rect);
    void DrawTabs(CDC* dc);
    // The whole client area: the pane, then the tabs over it.
    void DrawPaneAndTabs(CDC* dc);
    void DrawItem(CDC* dc, int index);

    int GetHotItem() const { return m_nHotItem; }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnMouseLeave();
    DECLARE_MESSAGE_MAP()

private:
    // The tab under the point (none for (-1, -1)) becomes the hot one; its header repaints.
    void SetHotItem(CPoint point);
    int GetSide() const;
    BOOL IsHorizontal() const;
    // The background part of an item, and its draw state: selected (latched, as checked), then
    // hot, then normal.
    int GetItemPart(int index, int count, BOOL selected) const;
    HLMSkinDrawState GetItemState(int index, BOOL selected) const;
    void DrawItemBackground(CDC* dc, CRect rect, int index, int count, BOOL selected);
    // Draws the item's image and narrows the rectangle by it.
    void DrawItemImage(CDC* dc, CRect& rect, int index);
    void DrawItemText(CDC* dc, CRect rect, int index, int count, BOOL selected);
    CString GetItemText(int index);

    int m_nHotItem;
};
