// Message-map dispatch of window messages: finding the entry and cracking the arguments.
#include "afxwin.h"

#include <windowsx.h>

namespace
{
CPoint PointFrom(LPARAM lParam)
{
    return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

CDC* DCFrom(WPARAM wParam)
{
    return CDC::FromHandle(reinterpret_cast<HDC>(wParam));
}

CWnd* WindowFrom(WPARAM wParam)
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(wParam));
}
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    switch (message)
    {
    case WM_COMMAND:
        if (!OnCommand(wParam, lParam))
            return FALSE;
        lResult = 1;
        break;

    case WM_NOTIFY:
        if (!OnNotify(wParam, lParam, &lResult))
            return FALSE;
        break;

    case WM_REFLECT_BASE + WM_COMMAND:
    {
        const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(GetMessageMap(), message, HIWORD(wParam), 0);
        if (pEntry == nullptr)
            return FALSE;
        (this->*pEntry->pfn.pfnCmd)();
        lResult = 1;
        break;
    }

    case WM_REFLECT_BASE + WM_NOTIFY:
    {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        const AFX_MSGMAP_ENTRY* pEntry =
            FindMessageEntry(GetMessageMap(), message, LOWORD(pNMHDR->code), 0);
        if (pEntry == nullptr)
            return FALSE;
        (this->*pEntry->pfn.pfnNotify)(pNMHDR, &lResult);
        break;
    }

    default:
    {
        // No entry: FALSE, and the caller decides about default processing.
        const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(GetMessageMap(), message, 0, 0);
        if (pEntry == nullptr)
            return FALSE;
        lResult = DispatchMapEntry(*pEntry, wParam, lParam);
        break;
    }
    }
    if (pResult != nullptr)
        *pResult = lResult;
    return TRUE;
}

LRESULT CWnd::DispatchMapEntry(const AFX_MSGMAP_ENTRY& entry, WPARAM wParam, LPARAM lParam)
{
    // Handlers that return void answer 0.
    switch (entry.nSig)
    {
    case AfxSig_v_v:
        (this->*entry.pfn.pfn_v_v)();
        return 0;
    case AfxSig_b_v:
        return (this->*entry.pfn.pfn_b_v)();
    case AfxSig_l_wl:
        return (this->*entry.pfn.pfn_l_wl)(wParam, lParam);
    case AfxSig_i_create:
        return (this->*entry.pfn.pfn_i_create)(
            reinterpret_cast<LPCREATESTRUCT>(lParam));
    case AfxSig_v_b:
        (this->*entry.pfn.pfn_v_b)(static_cast<BOOL>(wParam));
        return 0;
    case AfxSig_b_b:
        return (this->*entry.pfn.pfn_b_b)(static_cast<BOOL>(wParam));
    case AfxSig_v_ui:
        (this->*entry.pfn.pfn_v_ui)(static_cast<UINT_PTR>(wParam));
        return 0;
    case AfxSig_v_u_pt:
        (this->*entry.pfn.pfn_v_u_pt)(static_cast<UINT>(wParam), PointFrom(lParam));
        return 0;
    case AfxSig_l_pt:
        return (this->*entry.pfn.pfn_l_pt)(PointFrom(lParam));
    case AfxSig_v_b_nccalc:
        (this->*entry.pfn.pfn_v_b_nccalc)(
            static_cast<BOOL>(wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
        return 0;
    case AfxSig_v_i_style:
        (this->*entry.pfn.pfn_v_i_style)(
            static_cast<int>(wParam), reinterpret_cast<LPSTYLESTRUCT>(lParam));
        return 0;
    case AfxSig_v_winpos:
        (this->*entry.pfn.pfn_v_winpos)(reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case AfxSig_v_minmax:
        (this->*entry.pfn.pfn_v_minmax)(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case AfxSig_v_u_l:
        (this->*entry.pfn.pfn_v_u_l)(static_cast<UINT>(wParam), lParam);
        return 0;
    case AfxSig_b_dc:
        return (this->*entry.pfn.pfn_b_dc)(DCFrom(wParam));
    case AfxSig_v_u_u_u:
        (this->*entry.pfn.pfn_v_u_u_u)(
            static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case AfxSig_v_wnd:
        (this->*entry.pfn.pfn_v_wnd)(
            WindowFrom(entry.nMessage == WM_CAPTURECHANGED ? static_cast<WPARAM>(lParam) : wParam));
        return 0;
    case AfxSig_v_u_i_i:
        (this->*entry.pfn.pfn_v_u_i_i)(
            static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case AfxSig_v_u_u_scroll:
        // A CScrollBar* wraps the sending control and is NULL for a window's own bars.
        (this->*entry.pfn.pfn_v_u_u_scroll)(
            LOWORD(wParam), HIWORD(wParam),
            reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))));
        return 0;
    case AfxSig_v_wnd_pt:
        (this->*entry.pfn.pfn_v_wnd_pt)(WindowFrom(wParam), PointFrom(lParam));
        return 0;
    case AfxSig_b_u_s_pt:
        return (this->*entry.pfn.pfn_b_u_s_pt)(
            LOWORD(wParam), static_cast<short>(HIWORD(wParam)), PointFrom(lParam));
    case AfxSig_b_help:
        return (this->*entry.pfn.pfn_b_help)(reinterpret_cast<HELPINFO*>(lParam));
    default:
        ASSERT(FALSE);
        return 0;
    }
}
