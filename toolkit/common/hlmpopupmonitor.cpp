#include "common/hlmpopupmonitor.h"

#include "common/hlmdrawhelpers.h"

#include <windowsx.h>

#include <algorithm>

// ---------------------------------------------------------------------------------------
// Popup mouse monitor

namespace
{
HHOOK g_hMouseMonitorHook = nullptr;
// The window handle, not the object: a popup destroyed while monitored is noticed by
// IsWindow instead of being reached through a dangling pointer.
HWND g_hMonitoredPopup = nullptr;

BOOL IsButtonDown(WPARAM message)
{
    switch (message)
    {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        return TRUE;
    }
    return FALSE;
}

// The owner that the framework knows of, else the window's owner or parent.
HWND OwnerOf(HWND window)
{
    const CWnd* pWnd = CWnd::FromHandlePermanent(window);
    if (pWnd && pWnd->m_hWndOwner)
        return pWnd->m_hWndOwner;
    return ::GetParent(window);
}
}  // namespace

void SetMonitoredPopup(CWnd* pPopup)
{
    if (pPopup && !g_hMouseMonitorHook)
        g_hMouseMonitorHook = SetWindowsHookExW(WH_MOUSE, MouseMonitorHookProc, nullptr, GetCurrentThreadId());
    else if (!pPopup && g_hMouseMonitorHook)
    {
        UnhookWindowsHookEx(g_hMouseMonitorHook);
        g_hMouseMonitorHook = nullptr;
    }
    g_hMonitoredPopup = pPopup->GetSafeHwnd();
}

BOOL IsPopupMonitored()
{
    return g_hMonitoredPopup && IsWindow(g_hMonitoredPopup);
}

LRESULT CALLBACK MouseMonitorHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (g_hMonitoredPopup && !IsWindow(g_hMonitoredPopup))
        g_hMonitoredPopup = nullptr;
    if (nCode == HC_ACTION && g_hMonitoredPopup && IsButtonDown(wParam))
    {
        const MOUSEHOOKSTRUCT* pInfo = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        const HWND hOwner = OwnerOf(g_hMonitoredPopup);
        // A popup without an owner has nobody to hand the focus to: the click goes on.
        if (hOwner && !CHLMDrawHelpers::WindowRectOf(g_hMonitoredPopup).PtInRect(pInfo->pt))
        {
            ::SetFocus(hOwner);
            return 1;
        }
    }
    return CallNextHookEx(g_hMouseMonitorHook, nCode, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// Splitter drag tracker

CHLMSplitterDragTracker::CHLMSplitterDragTracker(BOOL bInvert) : m_pDC(nullptr), m_bInvert(bInvert)
{
    m_rectFixed.SetRectEmpty();
}

void CHLMSplitterDragTracker::DrawTrackRect(CRect rect)
{
    ASSERT(!rect.IsRectEmpty());
    if (m_bInvert)
    {
        m_pDC->InvertRect(&rect);
        return;
    }
    const HGDIOBJ hPrevious = ::SelectObject(m_pDC->m_hDC, CDC::GetHalftoneBrush()->m_hObject);
    m_pDC->PatBlt(rect.left, rect.top, rect.Width(), rect.Height(), PATINVERT);
    ::SelectObject(m_pDC->m_hDC, hPrevious);
}

void CHLMSplitterDragTracker::DrawBarAndFixed(const CRect& rectBar)
{
    DrawTrackRect(rectBar);
    if (!m_rectFixed.IsRectEmpty())
        DrawTrackRect(m_rectFixed);
}

BOOL CHLMSplitterDragTracker::Track(CWnd* pWnd, CRect rcAvail, CRect& rectBar, CPoint point, BOOL bHorz)
{
    const HWND hWnd = pWnd->GetSafeHwnd();
    ::SetCapture(hWnd);

    const HWND hDesktop = ::GetDesktopWindow();
    const BOOL bLocked = ::LockWindowUpdate(hDesktop);
    CDC dc;
    dc.Attach(::GetDCEx(hDesktop, nullptr, bLocked ? DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE : DCX_WINDOW | DCX_CACHE));
    ASSERT(dc.m_hDC);
    m_pDC = &dc;

    const CSize grip = bHorz ? CSize(rectBar.left - point.x, 0) : CSize(0, rectBar.top - point.y);
    DrawBarAndFixed(rectBar);

    BOOL bResult = FALSE;
    MSG msg;
    // Losing the capture cancels the drag like Escape.
    while (::GetCapture() == hWnd)
    {
        const BOOL bGot = ::GetMessageW(&msg, nullptr, 0, 0);
        if (bGot <= 0)
        {
            // The quit message belongs to the loop that runs this one.
            if (bGot == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_MOUSEMOVE)
        {
            CPoint pt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            ::ClientToScreen(hWnd, &pt);
            pt += grip;
            pt.x = std::max(rcAvail.left, std::min(pt.x, rcAvail.right));
            pt.y = std::max(rcAvail.top, std::min(pt.y, rcAvail.bottom));
            const CSize move = bHorz ? CSize(pt.x - rectBar.left, 0) : CSize(0, pt.y - rectBar.top);
            if (move != CSize(0, 0))
            {
                DrawTrackRect(rectBar);
                rectBar.OffsetRect(move);
                DrawTrackRect(rectBar);
            }
        }
        else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
            break;
        else if (msg.message == WM_LBUTTONUP)
        {
            bResult = TRUE;
            break;
        }
        else
            ::DispatchMessageW(&msg);
    }

    DrawBarAndFixed(rectBar);
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    // Unlocking a desktop that another caller locked would take its lock away.
    if (bLocked)
        ::LockWindowUpdate(nullptr);
    ::ReleaseDC(hDesktop, dc.Detach());
    m_pDC = nullptr;
    return bResult;
}
