#include "hlmskinobjectscrollbar.h"

#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmdrawhelpers.h"

namespace
{

BOOL SameValues(const SCROLLINFO& a, const SCROLLINFO& b)
{
    return a.nPos == b.nPos && a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage;
}
}

// ---------------------------------------------------------------------------------------
// The scroll-bar control

IMPLEMENT_DYNCREATE(CHLMSkinObjectScrollBar, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectScrollBar, CHLMSkinObjectFrame)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, &CHLMSkinObjectScrollBar::OnPrintClient)
    ON_WM_ENABLE()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_MESSAGE(SBM_SETSCROLLINFO, &CHLMSkinObjectScrollBar::OnSetScrollInfo)
    ON_MESSAGE(SBM_GETSCROLLINFO, &CHLMSkinObjectScrollBar::OnGetScrollInfo)
    ON_MESSAGE(SBM_SETPOS, &CHLMSkinObjectScrollBar::OnSetPos)
    ON_MESSAGE(SBM_SETRANGEREDRAW, &CHLMSkinObjectScrollBar::OnSetRangeRedraw)
    ON_MESSAGE(SBM_ENABLE_ARROWS, &CHLMSkinObjectScrollBar::OnEnableArrows)
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

CHLMSkinObjectScrollBar::CHLMSkinObjectScrollBar()
{
    m_strClassName = L"SCROLLBAR";
    m_barControl.nBar = SB_CTL;
}

BOOL CHLMSkinObjectScrollBar::IsSizeBox() const
{
    return (GetStyle() & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
}

void CHLMSkinObjectScrollBar::DrawControl(CDC* dc)
{
    CRect rect;
    GetClientRect(&rect);
    CHLMBufferDC buffer(dc->GetSafeHdc(), rect);
    const DWORD style = GetStyle();
    if (IsSizeBox())
    {
        FillClientBackground(&buffer, &rect, WM_CTLCOLORSTATIC);
        CHLMSkinManagerClass* scrollBar = GetSkinManager()->GetSkinClass(L"SCROLLBAR");
        if ((style & SBS_SIZEGRIP) && scrollBar != nullptr)
            scrollBar->DrawThemeBackground(&buffer, SBP_SIZEBOX, SZB_RIGHTALIGN, &rect);
        return;
    }
    m_barControl.bVertical = (style & SBS_VERT) != 0;
    m_barControl.bVisible = TRUE;
    m_barControl.nBar = SB_CTL;
    const SCROLLBARTRACKING* tracking = GetScrollTrackInfo();
    if (tracking == nullptr || !tracking->bDragging)
        UpdateScrollBarLayout(&m_barControl);
    DrawScrollBar(&buffer, &m_barControl);
}

BOOL CHLMSkinObjectScrollBar::IsScrollBarEnabled(const SCROLLBARLAYOUT& layout) const
{
    // A disabled control shows its bar disabled whatever its range.
    if (layout.nBar == SB_CTL && (GetStyle() & WS_DISABLED))
        return FALSE;
    return CHLMSkinObjectFrame::IsScrollBarEnabled(layout);
}

int CHLMSkinObjectScrollBar::OnCreate(LPCREATESTRUCT createStruct)
{
    if (CHLMSkinObjectFrame::OnCreate(createStruct) == -1)
        return -1;
    Invalidate(FALSE);
    return 0;
}

void CHLMSkinObjectScrollBar::OnPaint()
{
    CHLMSkinObjectPaintDC dc(this);
    DrawControl(&dc);
}

LRESULT CHLMSkinObjectScrollBar::OnPrintClient(WPARAM wParam, LPARAM)
{
    // Whatever the flags: the system's own print would show its bar, not the skin's.
    DrawControl(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    return 1;
}

void CHLMSkinObjectScrollBar::OnEnable(BOOL)
{
    Default();
    Invalidate(FALSE);
}

void CHLMSkinObjectScrollBar::OnMouseMove(UINT, CPoint point)
{
    if (IsSizeBox())
        return;
    SetHotPart(m_barControl.nHotPart, HitTestScrollBar(&m_barControl, point), 0);
}

void CHLMSkinObjectScrollBar::OnMouseLeave()
{
    OnMouseMove(0, CPoint(-1, -1));
}

void CHLMSkinObjectScrollBar::OnLButtonDown(UINT, CPoint point)
{
    if (IsSizeBox())
    {
        Default();
        return;
    }
    TrackScrollBar(point.x, point.y, &m_barControl, ::GetKeyState(VK_SHIFT) < 0);
}

void CHLMSkinObjectScrollBar::OnLButtonDblClk(UINT flags, CPoint point)
{
    OnLButtonDown(flags, point);
}

LRESULT CHLMSkinObjectScrollBar::SetWithoutSystemRedraw(UINT message, WPARAM wParam, LPARAM lParam,
                                                        BOOL redraw)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (redraw && IsWindowVisible())
    {
        CClientDC dc(this);
        DrawControl(&dc);
    }
    return result;
}

LRESULT CHLMSkinObjectScrollBar::OnSetScrollInfo(WPARAM wParam, LPARAM lParam)
{
    return SetWithoutSystemRedraw(SBM_SETSCROLLINFO, FALSE, lParam, static_cast<BOOL>(wParam));
}

LRESULT CHLMSkinObjectScrollBar::OnSetPos(WPARAM wParam, LPARAM lParam)
{
    return SetWithoutSystemRedraw(SBM_SETPOS, wParam, FALSE, static_cast<BOOL>(lParam));
}

LRESULT CHLMSkinObjectScrollBar::OnSetRangeRedraw(WPARAM wParam, LPARAM lParam)
{
    // The same range without the system's redraw, which would cover the skinned bar.
    return SetWithoutSystemRedraw(SBM_SETRANGE, wParam, lParam, TRUE);
}

LRESULT CHLMSkinObjectScrollBar::OnEnableArrows(WPARAM wParam, LPARAM)
{
    // The system always draws its own bar after changing the arrows: it draws nothing while
    // the window's redraw is off.
    const BOOL wasVisible = IsWindowVisible();
    if (wasVisible)
        SetRedraw(FALSE);
    const LRESULT result = DefWindowProc(SBM_ENABLE_ARROWS, wParam, 0);
    if (wasVisible)
    {
        SetRedraw(TRUE);
        CClientDC dc(this);
        DrawControl(&dc);
    }
    return result;
}

LRESULT CHLMSkinObjectScrollBar::OnGetScrollInfo(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = DefWindowProc(SBM_GETSCROLLINFO, wParam, lParam);
    SCROLLINFO* info = reinterpret_cast<SCROLLINFO*>(lParam);
    const SCROLLBARTRACKING* tracking = GetScrollTrackInfo();
    // Only a thumb drag moves the track position away from the position.
    if (info != nullptr && (info->fMask & SIF_TRACKPOS) && tracking != nullptr && tracking->bDragging)
        info->nTrackPos = tracking->nPosition;
    return result;
}

void CHLMSkinObjectScrollBar::OnSetFocus(CWnd*)
{
    // The skinned control shows no focus.
}

// ---------------------------------------------------------------------------------------
// Controls with their own window scroll bars

BEGIN_MESSAGE_MAP(CHLMSkinObjectUser32Control, CHLMSkinObjectFrame)
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_ERASEBKGND()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
END_MESSAGE_MAP()

CHLMSkinObjectUser32Control::CHLMSkinObjectUser32Control() : m_siSavedHorz(), m_siSavedVert()
{
}

void CHLMSkinObjectUser32Control::RefreshScrollBars()
{
    if (GetSkinManager()->IsComCtl6OrLater() || !::IsWindow(m_hWnd))
        return;
    for (SCROLLBARLAYOUT* bar : {&GetHorzBar(), &GetVertBar()})
    {
        if (!bar->bVisible)
            continue;
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        // The page too: a control that only changes its page changes the thumb's size.
        info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
        ::GetScrollInfo(m_hWnd, bar->nBar, &info);
        SCROLLINFO& saved = bar->nBar == SB_HORZ ? m_siSavedHorz : m_siSavedVert;
        if (SameValues(info, saved))
            continue;
        saved = info;
        RedrawScrollBar(bar);
    }
}

void CHLMSkinObjectUser32Control::DefaultAndRefresh()
{
    Default();
    RefreshScrollBars();
}

BOOL CHLMSkinObjectUser32Control::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_MOUSEWHEEL)
    {
        // The control scrolls in its default processing: the bars are read after it.
        *pResult = DefWindowProc(message, wParam, lParam);
        RefreshScrollBars();
        return TRUE;
    }
    return CHLMSkinObjectFrame::OnWndMsg(message, wParam, lParam, pResult);
}

void CHLMSkinObjectUser32Control::OnHScroll(UINT, UINT, CScrollBar*)
{
    DefaultAndRefresh();
}

void CHLMSkinObjectUser32Control::OnVScroll(UINT, UINT, CScrollBar*)
{
    DefaultAndRefresh();
}

void CHLMSkinObjectUser32Control::OnWindowPosChanged(WINDOWPOS*)
{
    DefaultAndRefresh();
}

BOOL CHLMSkinObjectUser32Control::OnEraseBkgnd(CDC* dc)
{
    const BOOL result = CHLMSkinObjectFrame::OnEraseBkgnd(dc);
    RefreshScrollBars();
    return result;
}

void CHLMSkinObjectUser32Control::OnKeyDown(UINT, UINT, UINT)
{
    DefaultAndRefresh();
}

void CHLMSkinObjectUser32Control::OnChar(UINT, UINT, UINT)
{
    DefaultAndRefresh();
}

void CHLMSkinObjectComCtl32Control::RefreshScrollBars()
{
    if (GetSkinManager()->IsWin9x())
        CHLMSkinObjectUser32Control::RefreshScrollBars();
}
