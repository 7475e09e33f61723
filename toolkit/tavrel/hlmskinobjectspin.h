// The skin object of the common controls' up-down control. Its two halves are drawn from the
// skin class "SPIN" with their own hot and pressed looks; a spin attached to an edit with a
// client edge takes the edit's skin border, so that the two read as one field.
#pragma once

#include "hlmskindrawstate.h"
#include "hlmskinobjectframe.h"

class CHLMSkinObjectSpin : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectSpin)

public:
    // Halves: the lower (vertical) or left (horizontal) one, and the upper or right one.
    enum
    {
        kHalfNone = 0,
        kHalfLowerOrLeft = 1,
        kHalfUpperOrRight = 2
    };

    CHLMSkinObjectSpin();

    // The half under a point in client coordinates; kHalfNone outside or on the middle line.
    int HitTest(CPoint point);
    // Both halves, and a buddy's border, in one buffer.
    void DrawButtons(CDC* dc);

    int GetHotHalf() const { return m_nHotHalf; }
    int GetPressedHalf() const { return m_nPressedHalf; }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    // The draw state of a half: disabled, then pressed, then hot, then normal.
    HLMSkinDrawState GetHalfState(int half, BOOL enabled) const;
    void SetHotHalf(CPoint point);
    // The edit's border around the spin, open towards the edit; the area left for the halves.
    CRect DrawBuddyBorder(CDC* dc, const CRect& client);

    int m_nHotHalf;
    int m_nPressedHalf;
};
