// The skinned frame's scroll bars: geometry from the bar's SCROLLINFO, hit testing,
// buffered redrawing, and the modal loop that tracks arrows, page areas and the thumb and
// sends the scroll messages. The scroll-bar control object runs on the same engine with a
// bar that is its whole client area.
#include "hlmskinobjectframe.h"

#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmdrawhelpers.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>

namespace
{
typedef CHLMSkinObjectFrame::SCROLLBARLAYOUT SCROLLBARLAYOUT;
typedef CHLMSkinObjectFrame::SCROLLBARTRACKING SCROLLBARTRACKING;

const int kThumbDragCommand = 4;
const UINT kHotTrackInterval = 50;
// The drag rectangle reaches this many bar widths across the bar and thumb metrics past
// each end; beyond it the thumb snaps back to where the drag began.
const int kDragBarWidths = 8;
const int kDragThumbLengths = 2;

UINT FirstRepeatDelay()
{
    return GetDoubleClickTime() * 4 / 5;
}

UINT RepeatDelay()
{
    return GetDoubleClickTime() / 10;
}

bool IsMouseMessage(UINT message)
{
    return HIBYTE(message) == 2;
}

// A bar scrolls only while its range is larger than its page (the same test that draws it
// enabled).
bool BarScrolls(const SCROLLBARLAYOUT& layout)
{
    return layout.nMax - layout.nMin + 1 > layout.nPage;
}

int ScrollPosFromThumb(const SCROLLBARLAYOUT* layout, int pixel)
{
    if (pixel < layout->nTrackStart)
        return layout->nMin;
    if (pixel < layout->nTrackStart + layout->nTrackRange)
    {
        if (layout->nTrackRange == 0)
            return layout->nMin - 1;
        const int pageLess = layout->nPage != 0 ? layout->nPage - 1 : 0;
        return layout->nMin +
               MulDiv(layout->nMax - layout->nMin - pageLess, pixel - layout->nTrackStart, layout->nTrackRange);
    }
    return layout->nPage != 0 ? layout->nMax - layout->nPage + 1 : layout->nMax;
}

void SetThumbDragRect(SCROLLBARTRACKING* tracking)
{
    const SCROLLBARLAYOUT& layout = *tracking->pLayout;
    const int across = kDragBarWidths * (layout.nCrossEnd - layout.nCrossStart);
    const int along = kDragThumbLengths * GetSystemMetrics(layout.bVertical ? SM_CYVTHUMB : SM_CXHTHUMB);
    if (layout.bVertical)
        tracking->rc.SetRect(layout.nCrossStart - across, layout.nStart - along, layout.nCrossEnd + across,
                               layout.nEnd + along);
    else
        tracking->rc.SetRect(layout.nStart - along, layout.nCrossStart - across, layout.nEnd + along,
                               layout.nCrossEnd + across);
}

// Whether a press on a part drags the thumb instead of repeating the part's command.
enum PressDrags
{
    DragNever,
    DragWithShift,
    DragAlways
};

// What a press on each part of a bar does: the command it repeats while the mouse stays on
// the part's stretch of the bar (from .. to along the axis), or a drag of the thumb.
struct PartPress
{
    int nPart;
    int nCommand;  // -1 for the thumb, which only drags
    PressDrags nDrag;
    int SCROLLBARLAYOUT::*pFrom;
    int SCROLLBARLAYOUT::*pTo;
};

const PartPress kPartPresses[] = {
    {CHLMSkinObjectFrame::kHotFirstArrow, SB_LINEUP, DragNever, &SCROLLBARLAYOUT::nStart,
     &SCROLLBARLAYOUT::nFirstArrowEnd},
    {CHLMSkinObjectFrame::kHotTrackBeforeThumb, SB_PAGEUP, DragWithShift, &SCROLLBARLAYOUT::nFirstArrowEnd,
     &SCROLLBARLAYOUT::nThumbStart},
    {CHLMSkinObjectFrame::kHotThumb, -1, DragAlways, &SCROLLBARLAYOUT::nThumbStart, &SCROLLBARLAYOUT::nThumbEnd},
    {CHLMSkinObjectFrame::kHotTrackAfterThumb, SB_PAGEDOWN, DragWithShift, &SCROLLBARLAYOUT::nThumbEnd,
     &SCROLLBARLAYOUT::nSecondArrowStart},
    {CHLMSkinObjectFrame::kHotSecondArrow, SB_LINEDOWN, DragNever, &SCROLLBARLAYOUT::nSecondArrowStart,
     &SCROLLBARLAYOUT::nEnd},
};

// The press on a hit part (never 0).
const PartPress& PressOn(int part)
{
    const PartPress* found = std::find_if(std::begin(kPartPresses), std::end(kPartPresses),
                                          [part](const PartPress& press) { return press.nPart == part; });
    ASSERT(found != std::end(kPartPresses));
    return *found;
}

// Where holding the mouse repeats a part's command: the part's stretch of the bar.
CRect PartRectangle(const SCROLLBARLAYOUT& layout, const PartPress& press)
{
    return layout.Stretch(layout.*press.pFrom, layout.*press.pTo);
}
}

CRect CHLMSkinObjectFrame::SCROLLBARLAYOUT::Stretch(int from, int to) const
{
    if (bVertical)
        return CRect(nCrossStart, from, nCrossEnd, to);
    return CRect(from, nCrossStart, to, nCrossEnd);
}

void CHLMSkinObjectFrame::DrawScrollBars(CDC* dc)
{
    if (!m_barVert.bVisible && !m_barHorz.bVisible)
        return;
    for (SCROLLBARLAYOUT* bar : {&m_barVert, &m_barHorz})
    {
        if (!bar->bVisible)
            continue;
        const BOOL dragged = m_pScrollTracking != nullptr && m_pScrollTracking->bDragging &&
                             m_pScrollTracking->pLayout == bar;
        if (!dragged)
            UpdateScrollBarLayout(bar);
        CHLMBufferDCEx buffer(dc->GetSafeHdc(), bar->rc);
        DrawScrollBar(&buffer, bar);
    }
    if (!m_barVert.bVisible || !m_barHorz.bVisible)
        return;
    const CRect box = GetSizeBoxRect();
    dc->FillSolidRect(&box, GetSchema()->GetSizeBoxColor());
    CHLMSkinManagerClass* scrollBar = GetSkinManager()->GetSkinClass(L"SCROLLBAR");
    if (scrollBar != nullptr && IsSizeGripVisible())
        scrollBar->DrawThemeBackground(dc, SBP_SIZEBOX, SZB_RIGHTALIGN, &box);
}

BOOL CHLMSkinObjectFrame::HotTrackScrollBars(CPoint framePoint)
{
    // A tracked bar keeps its parts as the tracking sets them.
    if (m_pScrollTracking != nullptr)
        return TRUE;
    BOOL timerRunning = FALSE;
    for (SCROLLBARLAYOUT* bar : {&m_barHorz, &m_barVert})
    {
        const int code = HitTestScrollBar(bar, framePoint);
        if (bar->bVisible && code != bar->nHotPart)
        {
            if (bar->nHotPart != 0 && code == 0 && !timerRunning)
                KillHotTimer();
            bar->nHotPart = code;
            RedrawScrollBar(bar);
        }
        if (code != 0)
        {
            SetTimer(kHotTrackTimer, kHotTrackInterval, nullptr);
            timerRunning = TRUE;
        }
    }
    return timerRunning;
}

BOOL CHLMSkinObjectFrame::TrackScrollBarAt(CPoint framePoint)
{
    for (SCROLLBARLAYOUT* bar : {&m_barHorz, &m_barVert})
    {
        if (HitTestScrollBar(bar, framePoint) != 0)
        {
            TrackScrollBar(framePoint.x, framePoint.y, bar, ::GetKeyState(VK_SHIFT) < 0);
            return TRUE;
        }
    }
    return FALSE;
}

CRect CHLMSkinObjectFrame::GetScrollBarRect(int bar)
{
    CRect client;
    GetClientRect(&client);
    if (bar == SB_CTL)
        return client;
    // The window's corner in client coordinates: -window.left, -window.top is where the
    // client area starts in window coordinates.
    CRect window;
    GetWindowRect(&window);
    ScreenToClient(&window);
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    CRect rect;
    if (bar == SB_VERT)
    {
        const int width = metrics->m_cxVScroll;
        rect.top = client.top - window.top;
        rect.bottom = client.bottom - window.top;
        rect.left = (GetExStyle() & WS_EX_LEFTSCROLLBAR) ? client.left - window.left - width
                                                         : client.right - window.left;
        rect.right = rect.left + width;
    }
    else
    {
        rect.left = client.left - window.left;
        rect.right = client.right - window.left;
        rect.top = client.bottom - window.top;
        rect.bottom = rect.top + metrics->m_cyHScroll;
    }
    return rect;
}

void CHLMSkinObjectFrame::UpdateScrollBarLayout(SCROLLBARLAYOUT* layout)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    ::GetScrollInfo(m_hWnd, layout->nBar, &info);
    CalcScrollBarLayout(GetScrollBarRect(layout->nBar), layout, info);
}

void CHLMSkinObjectFrame::CalcScrollBarLayout(CRect rect, SCROLLBARLAYOUT* layout, const SCROLLINFO& info)
{
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    SCROLLBARLAYOUT& l = *layout;
    l.rc = rect;
    int arrow = 0;
    if (l.bVertical)
    {
        l.nStart = rect.top;
        l.nEnd = rect.bottom;
        l.nCrossStart = rect.left;
        l.nCrossEnd = rect.right;
        arrow = metrics->m_cyVScroll;
    }
    else
    {
        l.nStart = rect.left;
        l.nEnd = rect.right;
        l.nCrossStart = rect.top;
        l.nCrossEnd = rect.bottom;
        arrow = metrics->m_cxHScroll;
    }
    l.nThumbSize = arrow;
    l.nPos = info.nPos;
    l.nPage = static_cast<int>(info.nPage);
    l.nMin = info.nMin;
    l.nMax = info.nMax;

    // A bar shorter than two arrows shares its length between them.
    const int arrowLength = std::min((l.nEnd - l.nStart) / 2, arrow);
    l.nFirstArrowEnd = l.nStart + arrowLength;
    l.nSecondArrowStart = l.nEnd - arrowLength;
    const int range = l.nMax - l.nMin + 1;
    if (l.nPage != 0 && range != 0)
        l.nThumbSize = std::max(MulDiv(l.nSecondArrowStart - l.nFirstArrowEnd, l.nPage, range), arrow / 2);
    l.nTrackStart = l.nStart + arrowLength;
    l.nTrackRange = l.nEnd - arrowLength - l.nThumbSize - l.nTrackStart;
    const int page = l.nPage != 0 ? l.nPage : 1;
    // A page that covers the range leaves nowhere to move: no thumb position to compute.
    if (range <= page)
        l.nThumbStart = l.nTrackStart - 1;
    else
        l.nThumbStart = l.nTrackStart + MulDiv(l.nPos - l.nMin, l.nTrackRange, range - page);
    l.nThumbEnd = l.nThumbStart + l.nThumbSize;
}

int CHLMSkinObjectFrame::HitTestScrollBar(SCROLLBARLAYOUT* layout, CPoint point)
{
    if (!layout->bVisible || !layout->rc.PtInRect(point))
        return 0;
    const int c = layout->bVertical ? point.y : point.x;
    if (c < layout->nFirstArrowEnd)
        return kHotFirstArrow;
    if (c >= layout->nSecondArrowStart)
        return kHotSecondArrow;
    if (c < layout->nThumbStart)
        return kHotTrackBeforeThumb;
    if (c < layout->nThumbEnd)
        return kHotThumb;
    return kHotTrackAfterThumb;
}

BOOL CHLMSkinObjectFrame::IsScrollBarEnabled(const SCROLLBARLAYOUT& layout) const
{
    return BarScrolls(layout);
}

HLMSkinDrawState CHLMSkinObjectFrame::GetScrollPartDrawState(const SCROLLBARLAYOUT& layout, int part) const
{
    const SCROLLBARTRACKING* tracking = m_pScrollTracking;
    const BOOL onPart = layout.nHotPart == part;
    // The tracked part is pressed while the mouse stays on it, all through a drag; the part
    // under the mouse is hot only while nothing is tracked.
    const BOOL held = tracking != nullptr && tracking->pLayout == &layout && (tracking->bDragging || tracking->bInside);
    return HLMSkinGetDrawState(IsScrollBarEnabled(layout), held && onPart, tracking == nullptr && onPart);
}

BOOL CHLMSkinObjectFrame::IsScrollBarUnderMouse(const SCROLLBARLAYOUT& layout) const
{
    if (m_pScrollTracking != nullptr)
        return m_pScrollTracking->pLayout == &layout;
    return layout.nHotPart != 0;
}

void CHLMSkinObjectFrame::DrawScrollBar(CDC* dc, SCROLLBARLAYOUT* layout)
{
    CHLMSkinManagerSchema* schema = GetSkinManager()->GetSchema();
    if (schema != nullptr)
        schema->DrawScrollBar(dc, this, layout);
}

void CHLMSkinObjectFrame::RedrawScrollBar(SCROLLBARLAYOUT* layout)
{
    if (!layout->bVisible || !::IsWindow(m_hWnd))
        return;
    HDC dc = layout->nBar == SB_CTL ? ::GetDC(m_hWnd) : ::GetWindowDC(m_hWnd);
    if (dc == NULL)
        return;
    {
        CHLMBufferDCEx buffer(dc, GetScrollBarRect(layout->nBar));
        // A dragged thumb stays where the mouse put it.
        const BOOL dragged = m_pScrollTracking != nullptr && m_pScrollTracking->bDragging &&
                             m_pScrollTracking->pLayout == layout;
        if (!dragged)
            UpdateScrollBarLayout(layout);
        DrawScrollBar(&buffer, layout);
    }
    ::ReleaseDC(m_hWnd, dc);
}

void CHLMSkinObjectFrame::UpdateScrollBar(int index)
{
    ASSERT(index == 0 || index == 1);
    if (index == 0 || index == 1)
        RedrawScrollBar(index == 0 ? &m_barHorz : &m_barVert);
}

void CHLMSkinObjectFrame::TrackScrollBar(int x, int y, SCROLLBARLAYOUT* layout, BOOL shift)
{
    const int part = HitTestScrollBar(layout, CPoint(x, y));
    if (part == 0 || !BarScrolls(*layout) || !StartScrollTracking(layout, part, layout->bVertical ? y : x, shift))
        return;
    RouteScrollTrackEvent(WM_LBUTTONDOWN, CPoint(x, y));
    while (m_pScrollTracking != nullptr && ::GetCapture() == m_hWnd)
    {
        MSG message;
        if (!::GetMessageW(&message, NULL, 0, 0))
        {
            AfxPostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        StepScrollTracking(message);
    }
    FinishScrollTracking(layout);
}

BOOL CHLMSkinObjectFrame::StartScrollTracking(SCROLLBARLAYOUT* layout, int part, int along, BOOL shift)
{
    const PartPress& press = PressOn(part);
    SCROLLBARTRACKING* tracking = new SCROLLBARTRACKING();
    tracking->bVertical = layout->bVertical;
    // A window's own bar reports to the window; the control reports to its parent.
    tracking->bWindowCoordinates = layout->nBar != SB_CTL;
    tracking->hwndControl = tracking->bWindowCoordinates ? NULL : m_hWnd;
    tracking->hwndTarget = tracking->bWindowCoordinates ? m_hWnd : ::GetParent(m_hWnd);
    tracking->nCommand = press.nCommand;
    tracking->nBar = layout->nBar;
    tracking->pLayout = layout;
    m_pScrollTracking = tracking;
    layout->nHotPart = part;

    if (press.nDrag == DragAlways || (press.nDrag == DragWithShift && shift))
    {
        if (!StartThumbDrag(along, shift))
        {
            m_pScrollTracking = nullptr;
            delete tracking;
            return FALSE;
        }
    }
    // Taken again after a drag's first report, which the window may have answered by taking
    // the capture away.
    SetCapture();
    if (!tracking->bDragging)
        tracking->rc = PartRectangle(*layout, press);
    return TRUE;
}

BOOL CHLMSkinObjectFrame::StartThumbDrag(int along, BOOL shift)
{
    SCROLLBARTRACKING* tracking = m_pScrollTracking;
    SCROLLBARLAYOUT* layout = tracking->pLayout;
    if (layout->nThumbSize >= layout->nSecondArrowStart - layout->nFirstArrowEnd)
        return FALSE;
    tracking->nCommand = kThumbDragCommand;
    SetThumbDragRect(tracking);
    tracking->nThumbPixel = layout->nDragStart = layout->nThumbStart;
    tracking->nLastPosition = tracking->nPosition = layout->nPos;
    tracking->nThumbOffset = layout->nDragStart - along;
    tracking->bDragging = TRUE;
    SetCapture();
    SendScrollMessage(tracking->hwndControl, tracking->hwndTarget, SB_THUMBTRACK, tracking->nLastPosition,
                      tracking->bVertical);
    // With shift the thumb's middle follows the mouse: the click jumps it there.
    if (shift)
        tracking->nThumbOffset = -(layout->nThumbSize / 2);
    return TRUE;
}

void CHLMSkinObjectFrame::StepScrollTracking(const MSG& message)
{
    if (message.message == WM_TIMER && message.hwnd == m_hWnd && message.wParam == kScrollRepeatTimer)
    {
        OnScrollRepeatTimer();
        return;
    }
    if (message.message < WM_MOUSEFIRST || message.message > WM_MOUSEWHEEL)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
        return;
    }
    CPoint point(GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam));
    // The wheel's point is a screen point already.
    if (message.message != WM_MOUSEWHEEL)
        ::ClientToScreen(message.hwnd, &point);
    ScreenToBar(point);
    RouteScrollTrackEvent(message.message, point);
}

void CHLMSkinObjectFrame::RouteScrollTrackEvent(UINT message, CPoint point)
{
    if (m_pScrollTracking->bDragging)
        HandleThumbDragEvent(message, point.x, point.y);
    else
        HandleScrollTrackEvent(message, point.x, point.y);
}

void CHLMSkinObjectFrame::ScreenToBar(CPoint& point)
{
    if (m_pScrollTracking->bWindowCoordinates)
        ScreenToFrame(point);
    else
        ScreenToClient(&point);
}

void CHLMSkinObjectFrame::FinishScrollTracking(SCROLLBARLAYOUT* layout)
{
    // Ended by a quit message or by a lost capture: end it as a release would.
    if (m_pScrollTracking != nullptr)
        EndScrollTracking(FALSE);
    layout->nHotPart = 0;
    RedrawScrollBar(layout);
}

void CHLMSkinObjectFrame::HandleScrollTrackEvent(UINT message, int x, int y)
{
    SCROLLBARTRACKING* tracking = m_pScrollTracking;
    if (tracking == nullptr || (message != 0 && !IsMouseMessage(message)))
        return;
    const SCROLLBARLAYOUT* layout = tracking->pLayout;
    // The page areas end at the moving thumb.
    if (tracking->nCommand == SB_PAGEUP)
    {
        if (tracking->bVertical)
            tracking->rc.bottom = layout->nThumbStart;
        else
            tracking->rc.right = layout->nThumbStart;
    }
    else if (tracking->nCommand == SB_PAGEDOWN)
    {
        if (tracking->bVertical)
            tracking->rc.top = layout->nThumbEnd;
        else
            tracking->rc.left = layout->nThumbEnd;
    }

    const BOOL inside = tracking->rc.PtInRect(CPoint(x, y));
    const BOOL changed = inside != tracking->bInside;
    if (changed)
    {
        tracking->bInside = inside;
        RedrawScrollBar(tracking->pLayout);
    }

    UINT delay = RepeatDelay();
    switch (message)
    {
    case WM_MOUSEMOVE:
        break;
    case WM_LBUTTONDOWN:
        tracking->nTimer = 0;
        delay = FirstRepeatDelay();
        break;
    case WM_LBUTTONUP:
        EndScrollTracking(FALSE);
        return;
    default:
        return;
    }
    if (inside && changed)
    {
        tracking->nTimer = SetTimer(kScrollRepeatTimer, delay, nullptr);
        SendScrollMessage(tracking->hwndControl, tracking->hwndTarget, tracking->nCommand, 0, tracking->bVertical);
    }
}

void CHLMSkinObjectFrame::OnScrollRepeatTimer()
{
    SCROLLBARTRACKING* tracking = m_pScrollTracking;
    ASSERT(tracking != nullptr);
    if (tracking == nullptr)
        return;
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToBar(point);
    HandleScrollTrackEvent(0, point.x, point.y);
    if (tracking->bInside)
    {
        tracking->nTimer = SetTimer(kScrollRepeatTimer, RepeatDelay(), nullptr);
        SendScrollMessage(tracking->hwndControl, tracking->hwndTarget, tracking->nCommand, 0, tracking->bVertical);
    }
}

void CHLMSkinObjectFrame::HandleThumbDragEvent(UINT message, int x, int y)
{
    SCROLLBARTRACKING* tracking = m_pScrollTracking;
    if (tracking == nullptr || tracking->pLayout == nullptr || !IsMouseMessage(message))
        return;
    const SCROLLBARLAYOUT* layout = tracking->pLayout;
    int pixel = layout->nDragStart;  // away from the bar the thumb snaps back
    if (tracking->rc.PtInRect(CPoint(x, y)))
    {
        const int last = layout->nTrackStart + layout->nTrackRange;
        pixel = (tracking->bVertical ? y : x) + tracking->nThumbOffset;
        if (pixel < layout->nTrackStart)
            pixel = layout->nTrackStart;
        else if (pixel >= last)
            pixel = last;
    }
    MoveScrollThumb(pixel);
    tracking->bInside = TRUE;
    if (message != WM_LBUTTONUP && ::GetKeyState(VK_LBUTTON) < 0)
        return;
    EndScrollTracking(FALSE);
}

void CHLMSkinObjectFrame::MoveScrollThumb(int pixel)
{
    SCROLLBARTRACKING* tracking = m_pScrollTracking;
    if (tracking == nullptr || pixel == tracking->nThumbPixel)
        return;
    SCROLLBARLAYOUT* layout = tracking->pLayout;
    const int last = layout->nTrackStart + layout->nTrackRange;
    for (;;)
    {
        const int position = ScrollPosFromThumb(layout, pixel);
        tracking->nPosition = position;
        if (position == tracking->nLastPosition)
            break;
        SendScrollMessage(tracking->hwndControl, tracking->hwndTarget, SB_THUMBTRACK, position, tracking->bVertical);
        tracking->nLastPosition = position;
        if (pixel < last)
            break;
        pixel = last;
    }
    layout->nThumbStart = pixel;
    layout->nThumbEnd = pixel + layout->nThumbSize;
    tracking->nThumbPixel = pixel;
    RedrawScrollBar(layout);
}

void CHLMSkinObjectFrame::EndScrollTracking(BOOL restore)
{
    SCROLLBARTRACKING* tracking = m_pScrollTracking;
    if (tracking == nullptr)
        return;
    tracking->nCommand = 0;
    ::ReleaseCapture();
    if (tracking->bDragging)
    {
        if (restore)
            tracking->nLastPosition = tracking->pLayout->nPos;
        SendScrollMessage(tracking->hwndControl, tracking->hwndTarget, SB_THUMBPOSITION, tracking->nLastPosition,
                          tracking->bVertical);
        RedrawScrollBar(tracking->pLayout);
    }
    else if (tracking->nTimer != 0)
    {
        KillTimer(kScrollRepeatTimer);
        tracking->nTimer = 0;
    }
    SendScrollMessage(tracking->hwndControl, tracking->hwndTarget, SB_ENDSCROLL, 0, tracking->bVertical);
    // The tracking ends here; the loop sees no record and stops.
    m_pScrollTracking = nullptr;
    delete tracking;
}

void CHLMSkinObjectFrame::SendScrollMessage(HWND control, HWND target, int command, int position, BOOL vertical)
{
    if (target == NULL)
        return;
    ::SendMessageW(target, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(command, position),
                   reinterpret_cast<LPARAM>(control));
}

void CHLMSkinObjectFrame::OnNcRButtonUp(UINT /*hitTest*/, CPoint point)
{
    CPoint framePoint = point;
    ScreenToFrame(framePoint);
    for (SCROLLBARLAYOUT* bar : {&m_barHorz, &m_barVert})
    {
        if (HitTestScrollBar(bar, framePoint) == 0)
            continue;
        ++m_nLockCount;
        CRect window;
        GetWindowRect(&window);
        SendMessage(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&window));
        --m_nLockCount;
        SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(point.x, point.y));
        ResetNonClientState();
        return;
    }
    Default();
}
