// Skin objects of controls whose work is mostly about scroll bars: the scroll-bar control
// itself (one skinned bar over its whole client area, or a size grip), and the bases of
// controls that own standard window scroll bars and move them without calling the replaced
// scroll-bar functions, so that the skinned bars must be re-read after they scroll.
#pragma once

#include "hlmskinobjectframe.h"

class CHLMSkinObjectScrollBar : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectScrollBar)

public:
    CHLMSkinObjectScrollBar();

    // The bar over the whole client area, or a size box's grip, in one buffer.
    void DrawControl(CDC* dc);
    SCROLLBARLAYOUT& GetControlBar() { return m_barControl; }
    BOOL IsScrollBarEnabled(const SCROLLBARLAYOUT& layout) const override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg void OnEnable(BOOL enable);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg LRESULT OnSetScrollInfo(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetScrollInfo(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetRangeRedraw(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnEnableArrows(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSetFocus(CWnd* oldWindow);
    DECLARE_MESSAGE_MAP()

private:
    BOOL IsSizeBox() const;
    // Default processing with redraw off, then the skinned bar when asked and visible.
    LRESULT SetWithoutSystemRedraw(UINT message, WPARAM wParam, LPARAM lParam, BOOL redraw);

    SCROLLBARLAYOUT m_barControl;
};

// A control of user32 with its own window scroll bars (list box, edit).
class CHLMSkinObjectUser32Control : public CHLMSkinObjectFrame
{
public:
    CHLMSkinObjectUser32Control();

    // Re-reads both bars and repaints a skinned bar whose values moved.
    virtual void RefreshScrollBars();
    // The values of a bar (SB_HORZ or SB_VERT) as the last refresh read them.
    const SCROLLINFO& GetSavedScrollInfo(int bar) const { return bar == SB_HORZ ? m_siSavedHorz : m_siSavedVert; }

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL IsHandledOutsideMap(UINT message) override { return message == WM_MOUSEWHEEL; }

protected:
    afx_msg void OnHScroll(UINT code, UINT position, CScrollBar* scrollBar);
    afx_msg void OnVScroll(UINT code, UINT position, CScrollBar* scrollBar);
    afx_msg void OnWindowPosChanged(WINDOWPOS* position);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
    afx_msg void OnChar(UINT key, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()

    void DefaultAndRefresh();

    SCROLLINFO m_siSavedHorz;
    SCROLLINFO m_siSavedVert;
};

// A common control with its own window scroll bars (tree view, list view): these move their
// bars through the scroll-bar functions everywhere but on Windows 9x.
class CHLMSkinObjectComCtl32Control : public CHLMSkinObjectUser32Control
{
public:
    void RefreshScrollBars() override;
};
