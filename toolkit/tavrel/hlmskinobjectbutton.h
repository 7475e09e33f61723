// The skin object of the system button in all its kinds that are not owner-drawn: push
// buttons (and push-like check boxes and radio buttons), check boxes, radio buttons and
// group boxes. It paints the whole control from the skin class "BUTTON", with a hot state
// from the mouse and a pushed state from BM_SETSTATE.
#pragma once

#include "hlmskinobjectframe.h"

class CHLMSkinObjectButton : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectButton)

public:
    // Part rectangles of GetPartRect.
    enum
    {
        RectCheckGlyph = 1,
        RectRadioGlyph = 2,
        RectCheckText = 3,
        RectRadioText = 4,
        RectGroupCaption = 5,
        RectGroupFrame = 6,
        RectPushContent = 7
    };

    CHLMSkinObjectButton();

    void OnSkinStateChanged(BOOL previousEnabled, BOOL enabled) override;
    BOOL OnHookMessage(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& result) override;
    BOOL OnHookDefWindowProc(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& result) override;
    BOOL IsDefWindowProcMessage(UINT message) override;
    virtual void OnDraw(CDC* dc, CRect rect);

    void DrawClient(CDC* dc) override;
    void DrawButtonContent(CDC* dc);
    void GetPartRect(CDC* dc, RECT* rect, int code);
    void GetCheckBoxSize(CSize* size, BOOL checkBox);
    DWORD GetAlignment() const;
    BOOL IsPushLike() const;
    BYTE GetButtonType() const;

    BOOL IsHot() const { return m_bHot; }
    BOOL IsPushed() const { return m_bPushed; }

protected:
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    afx_msg void OnSetFocus(CWnd* oldWindow);
    afx_msg void OnKillFocus(CWnd* newWindow);
    afx_msg void OnMouseLeave();
    afx_msg void OnEnable(BOOL enable);
    afx_msg LRESULT OnUpdateUIState(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetState(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    BOOL m_bHot;
    BOOL m_bPushed;

private:
    int GetContentRectCode() const;
    LRESULT QueryUIState();

    // Where the group box caption was last drawn: a shorter or restyled caption erases it.
    CRect m_rcLastCaption;
};
