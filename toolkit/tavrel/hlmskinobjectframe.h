// The skinned window frame: paints and operates the non-client area of a window from the
// skin (borders, caption, caption buttons, the standard scroll bars and the size box, the
// window region) and colours what lies inside it (control colours, dialog textures). The
// skin manager attaches a plain frame to every window whose class has no object of its own;
// every control's skin object derives from it.
#pragma once

#include "hlmskindrawstate.h"
#include "hlmskinobject.h"
#include "hlmskinvocabulary.h"

class CHLMSkinManagerSchema;

#include <afxcoll.h>
#include <afxtempl.h>

class CHLMSkinObjectFrame : public CHLMSkinObject
{
    DECLARE_DYNCREATE(CHLMSkinObjectFrame)

public:
    // The geometry of one skinned scroll bar, recomputed from its SCROLLINFO before it is drawn.
    struct SCROLLBARLAYOUT
    {
        int nMin = 0;
        int nMax = 0;
        int nPage = 0;
        int nPos = 0;
        int nStart = 0;        // first and last pixel along the bar's axis
        int nEnd = 0;
        int nCrossStart = 0;   // the bar's extent across its axis
        int nCrossEnd = 0;
        int nThumbSize = 0;
        int nFirstArrowEnd = 0;
        int nSecondArrowStart = 0;
        int nDragStart = 0;    // where the thumb returns to when the dragging mouse strays
        int nThumbEnd = 0;
        int nThumbStart = 0;
        int nTrackRange = 0;   // the pixels over which the thumb start can move
        int nTrackStart = 0;
        CRect rc;
        int nHotPart = 0;      // 0 none, 60..64 (see the hot-part codes below)
        BOOL bVertical = FALSE;
        int nBar = SB_HORZ;    // SB_HORZ, SB_VERT or SB_CTL
        BOOL bVisible = FALSE;

        // The bar's whole width from `from` to `to` along its axis.
        CRect Stretch(int from, int to) const;
    };

    // Hot parts of a scroll bar.
    enum
    {
        kHotFirstArrow = 60,
        kHotSecondArrow = 61,
        kHotTrackBeforeThumb = 62,
        kHotTrackAfterThumb = 63,
        kHotThumb = 64
    };

    // A scroll bar being tracked; exists only inside TrackScrollBar's loop.
    struct SCROLLBARTRACKING
    {
        BOOL bInside = FALSE;
        BOOL bVertical = FALSE;
        CRect rc;              // the element's rectangle; the enlarged drag rectangle for a drag
        int nCommand = 0;      // -1 none yet, SB_LINEUP .. SB_PAGEDOWN, 4 for a thumb drag
        UINT_PTR nTimer = 0;   // the auto-repeat timer while it runs
        int nThumbOffset = 0;
        int nThumbPixel = 0;
        int nLastPosition = 0;
        int nPosition = 0;     // the track position GetScrollInfo reports with SIF_TRACKPOS
        BOOL bDragging = FALSE;
        HWND hwndControl = NULL;
        HWND hwndTarget = NULL;
        int nBar = SB_HORZ;
        BOOL bWindowCoordinates = FALSE;
        SCROLLBARLAYOUT* pLayout = nullptr;
    };

    // One caption button; the schema lays it out and calls Draw.
    class CCaptionButton
    {
    public:
        CCaptionButton(UINT command, CHLMSkinObjectFrame* frame, UINT hitTest, int part);

        BOOL IsPressed() const;
        BOOL IsHighlighted() const;
        void Draw(CDC* dc, BOOL frameActive);

        UINT m_nHitTest;
        CRect m_rcButton;  // window coordinates; empty until the caption is laid out
        int m_nPart;
        CHLMSkinObjectFrame* m_pFrame;
        UINT m_nCommand;
        BOOL m_bEnabled;
    };

    CHLMSkinObjectFrame();
    ~CHLMSkinObjectFrame() override;

    // The distance between the skin's frame and the system's while a system-menu command
    // runs, for the popup menu that opens; (0, 0) at any other time. Each thread has its own:
    // a menu opened on another thread meanwhile keeps its place.
    static thread_local POINT SystemMenuOffset;

    void OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled) override;
    void RefreshMetrics() override;
    void OnHookAttached(LPCREATESTRUCT lpCreateStruct, BOOL bAutomatic) override;
    void OnHookDetached(BOOL bAutomatic) override;
    BOOL OnHookMessage(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    BOOL OnHookDefWindowProc(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    BOOL IsDefWindowProcMessage(UINT message) override;
    BOOL IsMessageExcluded(UINT message) override;

    // The background this window's parent wants for it.
    virtual HBRUSH GetClientBrush(CDC* dc);
    virtual UINT GetClientBrushMessage();
    // Paints the whole non-client area.
    virtual void DrawFrame(CDC* dc);

    BOOL HasCaption() const;
    void RedrawFrame();
    void ResizeToSkinFrame();
    void ResetNonClientState();
    void UpdateFrameRegion(int cx, int cy);
    UINT HitTest(CPoint screenPoint);
    BOOL IsFlatScrollBar() const;
    void ScreenToFrame(POINT& point);
    void ClientToFrame(POINT& point);
    void DeflateByBorders(CRect& rect) const;
    BOOL IsSizeGripVisible() const;
    // The same corner test against the nearest ancestor with a caption.
    BOOL IsAtCaptionedAncestorCorner() const;
    HWND GetMDIClientWnd() const;
    LRESULT CallDialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    // No frame draws a menu bar of its own: the window's menu keeps the system's look.
    BOOL HasMenuBar() const { return FALSE; }
    static int GetMenuBarHeight(HWND window, HMENU menu);
    void DrawMenuBar(CDC* dc);

    // Caption buttons.
    void UpdateButtons();
    void AddButton(UINT command, BOOL visible, BOOL enabled, UINT hitTest, int part);
    void RemoveButtons();
    CCaptionButton* HitTestButton(CPoint windowPoint);
    BOOL HandleMouseMove(CPoint screenPoint);
    void TrackCaptionButton();
    void KillHotTimer();
    void RedrawButtons() { RedrawFrame(); }

    // Control colours and dialog texture.
    HBRUSH GetDialogTextureBrush(HDC dc, HWND control, UINT ctlColor);
    HBRUSH GetParentCtlColorBrush(CDC* dc, UINT message);
    HBRUSH FillClientBackground(CDC* dc, const RECT* rect, UINT message);

    // Scroll bars of the window (and of the scroll-bar control object).
    CRect GetScrollBarRect(int bar);
    void UpdateScrollBarLayout(SCROLLBARLAYOUT* layout);
    void CalcScrollBarLayout(CRect rect, SCROLLBARLAYOUT* layout, const SCROLLINFO& info);
    int HitTestScrollBar(SCROLLBARLAYOUT* layout, CPoint point);
    void DrawScrollBar(CDC* dc, SCROLLBARLAYOUT* layout);
    void RedrawScrollBar(SCROLLBARLAYOUT* layout);
    void UpdateScrollBar(int index);
    void TrackScrollBar(int x, int y, SCROLLBARLAYOUT* layout, BOOL shift);
    // How a part of a bar looks (disabled while the bar cannot scroll, pressed while tracked,
    // hot under the mouse), and whether the mouse is over the bar or tracks it; the schema
    // turns these into the skin's state numbers.
    virtual BOOL IsScrollBarEnabled(const SCROLLBARLAYOUT& layout) const;
    HLMSkinDrawState GetScrollPartDrawState(const SCROLLBARLAYOUT& layout, int part) const;
    BOOL IsScrollBarUnderMouse(const SCROLLBARLAYOUT& layout) const;
    // The scroll-bar part of the frame's painting (bars and size box), of its hot tracking
    // and of its presses; TRUE when a bar part is hot or a press was on a bar.
    void DrawScrollBars(CDC* dc);
    BOOL HotTrackScrollBars(CPoint framePoint);
    BOOL TrackScrollBarAt(CPoint framePoint);
    void HandleScrollTrackEvent(UINT message, int x, int y);
    void OnScrollRepeatTimer();
    void HandleThumbDragEvent(UINT message, int x, int y);
    void MoveScrollThumb(int pixel);
    void EndScrollTracking(BOOL restore);
    static void SendScrollMessage(HWND control, HWND target, int command, int position, BOOL vertical);

    // What the schema and the other skin objects read.
    const CRect& GetBorderRect() const { return m_rcBorders; }
    BOOL IsActive() const { return m_bActive; }
    CTypedPtrArray<CPtrArray, CCaptionButton*>& GetCaptionButtons() { return m_arrButtons; }
    SCROLLBARTRACKING* GetScrollTrackInfo() const { return m_pScrollTracking; }
    int GetDialogTexture() const { return m_nDialogTexture; }
    void SetDialogTexture(int texture) { m_nDialogTexture = texture; }
    void SetMDIClient(CHLMSkinObject* client) { m_pMDIClient = client; }
    // While locked, the frame leaves non-client size computations and style changes to the
    // system.
    void LockNonClient() { ++m_nLockCount; }
    void UnlockNonClient() { --m_nLockCount; }
    CCaptionButton* GetHotButton() const { return m_pHotButton; }
    CCaptionButton* GetPressedButton() const { return m_pPressedButton; }
    SCROLLBARLAYOUT& GetHorzBar() { return m_barHorz; }
    SCROLLBARLAYOUT& GetVertBar() { return m_barVert; }

protected:
    // Runs work with the window marked invisible, so that the system paints nothing of it
    // meanwhile; the style changes this takes reach neither the region nor the buttons.
    template <typename Work>
    LRESULT WithoutSystemPainting(Work work)
    {
        const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
        if (!(style & WS_VISIBLE))
            return work();
        LockNonClient();
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
        const LRESULT result = work();
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | WS_VISIBLE);
        UnlockNonClient();
        return result;
    }

    // A client print of an object that paints its whole client: with PRF_CLIENT the painter
    // draws on the DC that came in wParam and the answer is 1; without it the control prints
    // itself.
    template <class Object>
    LRESULT PrintClientWith(void (Object::*paint)(CDC*), WPARAM wParam, LPARAM lParam)
    {
        if (!(lParam & PRF_CLIENT))
            return Default();
        (static_cast<Object*>(this)->*paint)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
        return 1;
    }

    // Default processing, then the whole window repainted: for messages that change what the
    // control shows (its state, position or style).
    afx_msg LRESULT OnDefaultAndInvalidate(WPARAM wParam, LPARAM lParam);
    afx_msg void OnNcPaint();
    afx_msg void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    afx_msg void OnNcMouseMove(UINT hitTest, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcLButtonDown(UINT hitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT hitTest, CPoint point);
    afx_msg void OnNcRButtonUp(UINT hitTest, CPoint point);
    afx_msg void OnNcMouseLeave();
    afx_msg BOOL OnNcActivate(BOOL active);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg void OnStyleChanged(int styleType, LPSTYLESTRUCT styles);
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    afx_msg void OnWindowPosChanging(WINDOWPOS* position);
    afx_msg void OnWindowPosChanged(WINDOWPOS* position);
    afx_msg LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg void OnSysCommand(UINT id, LPARAM lParam);
    // The window's own erase, with the skin's brush for a class background of a system colour.
    // Painting and client printing stay with the window: an object that paints its whole
    // client has its own handlers for them.
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

    int m_nLockCount;
    int m_nDialogTexture;
    CHLMSkinObject* m_pMDIClient;  // the skin object of this frame's MDI client window
    CTypedPtrArray<CPtrArray, CCaptionButton*> m_arrButtons;
    CRect m_rcBorders;
    CCaptionButton* m_pHotButton;
    CCaptionButton* m_pPressedButton;
    BOOL m_bRegionSet;
    SCROLLBARTRACKING* m_pScrollTracking;
    SCROLLBARLAYOUT m_barHorz;
    SCROLLBARLAYOUT m_barVert;
    CSize m_szRegion;
    BOOL m_bActive;
    DWORD m_dwCachedStyle;
    DWORD m_dwCachedExStyle;
    CRect m_rcMenuBar;
    BOOL m_bRegionBusy;
    UINT m_nClientBrushMessage;

private:
    CHLMSkinManagerSchema* GetSchema() const;
    BOOL HasApplyOption(DWORD option) const;
    BOOL IsInCaptionStrip(CPoint screenPoint);
    // Whether this window's corner meets the client corner of the nearest ancestor (or this
    // window) that ends the walk, within the edge size.
    template <typename EndsWalk>
    BOOL IsAtAncestorCorner(EndsWalk endsWalk) const;
    CRect GetSizeBoxRect() const;
    // The steps of TrackScrollBar: the press on a part, the drag a press on the thumb starts,
    // each message of the loop, and the bar at rest again.
    BOOL StartScrollTracking(SCROLLBARLAYOUT* layout, int part, int along, BOOL shift);
    BOOL StartThumbDrag(int along, BOOL shift);
    void StepScrollTracking(const MSG& message);
    void RouteScrollTrackEvent(UINT message, CPoint point);
    void ScreenToBar(CPoint& point);
    void FinishScrollTracking(SCROLLBARLAYOUT* layout);
    void UpdateRegionForPosition(const WINDOWPOS* position);
    BOOL IsCloseEnabled() const;
    void UpdateCloseButtonState();
    // Control colours, the same at both message levels.
    BOOL AnswerCtlColor(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    HBRUSH CreateTabPageBrush();
    // The skin brush of a brush value 1..30 (system colour + 1), else the value as a brush.
    HBRUSH BrushFromCtlColorAnswer(LRESULT answer) const;
};
