// The skin object of the system button in all its kinds that are not owner-drawn: push
// buttons (and push-like check boxes and radio buttons), check boxes, radio buttons and
// group boxes. It paints the whole control from the skin class "BUTTON", with a hot state
// from the mouse and a pushed state from BM_SETSTATE.
#pragma once

#include "hlmskindrawstate.h"
#include "hlmskinobjectframe.h"

class CHLMSkinObjectButton : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectButton)

public:
    // Where a button's pieces go, worked out from its kind, style, text or image, the font in
    // the DC and the skin's glyph sizes before anything is drawn.
    struct BUTTONLAYOUT
    {
        CRect rcLabel;         // the image, or the text's extent, where the alignment puts it
        CRect rcText;          // the rectangle DrawText gets
        CRect rcFocus;         // the focus rectangle, while the button shows its focus
        UINT nTextFormat = 0;  // DrawText's flags, the UI state's prefix hiding aside
        CString strText;
        HANDLE hImage = NULL;  // the bitmap or icon of an image button
        BOOL bLabel = FALSE;   // FALSE: no image and no text, so nothing is drawn, not even the focus
    };

    // The codes of GetPartRect: the rectangles a button's part and content go in.
    enum
    {
        kPartRectUserContent = 0,   // a user button's or push box's content: where a radio glyph goes
        kPartRectCheckBoxGlyph = 1,
        kPartRectRadioGlyph = 2,
        kPartRectCheckBoxText = 3,  // beside the glyph
        kPartRectRadioText = 4,
        kPartRectGroupCaption = 5,  // empty without a caption
        kPartRectGroupFrame = 6,
        kPartRectPushContent = 7    // inside the push button's edge
    };

    CHLMSkinObjectButton();

    void OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled) override;
    BOOL OnHookMessage(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    BOOL OnHookDefWindowProc(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    BOOL IsDefWindowProcMessage(UINT message) override;
    // The part in its state, then the content; rect is the client rectangle.
    virtual void OnDraw(CDC* dc, CRect rect);

    // The whole client area: in one buffer over the parent's background, except for a group
    // box, which is drawn straight onto dc and stays transparent.
    void PaintButton(CDC* dc);
    // The image or text and the focus rectangle.
    void DrawButtonContent(CDC* dc);
    // The rectangle of a part code in the client area, the button's font selected into dc.
    void GetPartRect(CDC* dc, RECT* rect, int code);
    // The layout in the client rectangle given, the button's font selected into dc.
    void CalcLayout(CDC* dc, const CRect& client, BUTTONLAYOUT* layout);
    // The draw state, in this order: disabled, pushed, hot, and for push-like buttons then
    // checked and default. The check is BM_GETCHECK's answer.
    HLMSkinDrawState GetDrawState(LRESULT check);
    void GetCheckBoxSize(CSize* size, BOOL checkBox);
    DWORD GetAlignment() const;
    BOOL IsPushLike() const;
    BYTE GetButtonType() const;

    BOOL IsHot() const { return m_bHot; }
    BOOL IsPushed() const { return m_bPushed; }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    afx_msg void OnSetFocus(CWnd* oldWindow);
    afx_msg void OnKillFocus(CWnd* newWindow);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg void OnMouseLeave();
    afx_msg void OnEnable(BOOL enable);
    afx_msg LRESULT OnUpdateUIState(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetState(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    BOOL m_bHot;
    BOOL m_bPushed;

private:
    // The part the button's kind is drawn with; none (0) for user buttons and push boxes.
    int GetPart() const;
    int GetPartState(int part, LRESULT check);
    // The part code of the rectangle the button's kind aligns its image or text in.
    int GetContentCode() const;
    // GetPartRect in the client rectangle given.
    CRect CalcPartRect(CDC* dc, const CRect& client, int code);
    CRect GetGlyphRect(CDC* dc, const CRect& client, BOOL checkBox);
    CRect GetBesideGlyphRect(const CRect& client, BOOL checkBox);
    CRect GetGroupCaptionRect(CDC* dc, const CRect& client);
    CRect GetGroupFrameRect(CDC* dc, const CRect& client);
    // Where the group box's frame line is cleared behind the caption: an edge left of it.
    CRect CalcCaptionGap(CDC* dc, const CRect& client);
    BOOL MeasureLabel(CDC* dc, const CRect& content, BUTTONLAYOUT* layout, CSize* size);
    void PlaceLabel(const CRect& content, CSize size, BUTTONLAYOUT* layout);
    CRect CalcFocusRect(const CRect& client, const CRect& content, const CRect& label);
    void DrawPart(CDC* dc, int part, int state, const CRect& rect);
    void DrawGroupFrame(CDC* dc, int state, const CRect& frame);
    void DrawLabel(CDC* dc, const BUTTONLAYOUT& layout);
    LRESULT QueryUIState();

    // Where the group box caption was last drawn: a shorter or restyled caption erases it.
    CRect m_rcLastCaption;
};
