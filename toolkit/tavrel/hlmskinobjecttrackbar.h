// The skin object of the common controls' trackbar. It paints the whole client area from the
// skin class "TRACKBAR" (tics, channel and thumb, the thumb hot, pressed, focused or
// disabled) while the control keeps its own logic; the parent still gets the custom-draw
// notifications around each piece.
#pragma once

#include "hlmskindrawstate.h"
#include "hlmskinobjectframe.h"

class CHLMSkinObjectTrackBar : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectTrackBar)

public:
    CHLMSkinObjectTrackBar();

    // Background, focus, tics, channel and thumb in one buffer, with the parent's custom draw.
    void Draw(CDC* dc);
    // The track, thumb size and style of the next drawing, as if the control were horizontal.
    void CalculateLayout();
    // Fits a thumb length to the style in place: at least two edges long, and longer with a
    // selection range; half becomes the room (odd) the thumb needs at each end of the track.
    static void AdjustThumbSize(DWORD style, int& length, int& half);
    // The control's channel in client coordinates.
    CRect GetChannelRect();
    int ValueToPosition(int value);
    void DrawAllTics(CDC* dc);
    void DrawTics(CDC* dc, int direction, int y);
    void DrawTic(CDC* dc, int x, int y, int direction, COLORREF color);
    void DrawChannel(CDC* dc);
    void DrawThumb(CDC* dc);

    const CRect& GetTrackRect() const { return m_rcTrack; }
    int GetThumbLength() const { return m_nThumbLength; }
    int GetThumbHalfWidth() const { return m_nThumbHalfWidth; }
    BOOL IsHot() const { return m_bHot; }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetTicFreq(WPARAM wParam, LPARAM lParam);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    LRESULT SendCustomDraw(DWORD stage, DWORD_PTR item, HDC dc);
    BOOL IsVertical() const { return (m_dwLayoutStyle & TBS_VERT) != 0; }
    BOOL ShowsFocus();
    // Fills (x, y, cx, cy) of the horizontal frame, transposed for a vertical trackbar.
    void FillOrientedRect(CDC* dc, int x, int y, int cx, int cy, COLORREF color);
    // The selection range, when the style shows one and it is not empty.
    BOOL GetSelection(int& start, int& end);
    // Highlights the channel (in the horizontal frame) between the selection marks.
    void DrawSelection(CDC* dc, const CRect& channel);
    int GetThumbPart() const;
    // Disabled, then pressed (the control holds the capture), then hot, then focused while the
    // control shows its focus, then normal.
    HLMSkinDrawState GetThumbState();

    int m_nTicFreq;
    CRect m_rcTrack;
    int m_nThumbHalfWidth;
    int m_nThumbLength;
    int m_nTrackWidth;
    DWORD m_dwLayoutStyle;
    BOOL m_bHot;
};
