// Skin objects of the input controls that drop something down: the combo box (which lets the
// control paint its content into an off-screen buffer and draws the skin's border and
// drop-down button over it), the date-time picker (painted the same way, with the skin's
// check box for pickers that may hold no date) and the month calendar (which only takes the
// skin's colours).
#pragma once

#include "hlmskindrawstate.h"
#include "hlmskinobjectframe.h"

class CHLMSkinObjectComboBox : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectComboBox)

public:
    CHLMSkinObjectComboBox();

    UINT GetClientBrushMessage() override;
    // The whole client area: a simple combo box's border, or the control's own painting in a
    // buffer with the skin's frame and drop-down button over it.
    virtual void OnDraw(CDC* dc);

    BOOL IsHot() const { return m_bHot; }

    enum
    {
        // Watches the pointer while it rests on a child (the edit field, a check box), whose
        // messages this object never sees.
        kChildHoverTimer = 2766
    };

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    afx_msg void OnSetFocus(CWnd* oldWindow);
    afx_msg void OnKillFocus(CWnd* newWindow);
    afx_msg LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    afx_msg void OnMouseLeave();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The mouse is over the client area or the control holds the capture.
    BOOL IsHotOrCaptured() const;
    // Disabled, then pressed (the mouse button down while the list is open), then hot, then normal.
    virtual HLMSkinDrawState GetDrawState() const;

    BOOL m_bHot;
    BOOL m_bPainting;  // the control is painting into this object's buffer

private:
    // The pointer is over the control or one of its children.
    BOOL IsPointerOverControl() const;
    void DrawSimple(CDC* dc);
    void DrawDropDown(CDC* dc);
};

class CHLMSkinObjectDateTime : public CHLMSkinObjectComboBox
{
    DECLARE_DYNCREATE(CHLMSkinObjectDateTime)

public:
    void OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled) override;
    void RefreshMetrics() override;
    UINT GetClientBrushMessage() override;
    void DrawFrame(CDC* dc) override;
    // The control's own fields in a buffer, the skin's border, check box and button over them.
    void OnDraw(CDC* dc) override;

    CRect GetDropButtonRect() const;
    // The drop-down calendar is showing.
    BOOL IsCalendarOpen() const;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    // Disabled, then hot, then normal: a picker shows no pressed look.
    HLMSkinDrawState GetDrawState() const override;
    void DrawCheckBox(CDC* dc, CRect rect, COLORREF background);
};

class CHLMSkinObjectMonthCal : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectMonthCal)

public:
    void RefreshMetrics() override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    DECLARE_MESSAGE_MAP()
};
