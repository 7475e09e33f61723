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

template <class TMember>
TMember HandlerOf(const AFX_MSGMAP_ENTRY& entry)
{
    return reinterpret_cast<TMember>(entry.pfn);
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
        (this->*pEntry->pfn)();
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
        (this->*HandlerOf<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(*pEntry))(pNMHDR, &lResult);
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
        (this->*HandlerOf<void (CWnd::*)()>(entry))();
        return 0;
    case AfxSig_b_v:
        return (this->*HandlerOf<BOOL (CWnd::*)()>(entry))();
    case AfxSig_l_wl:
        return (this->*HandlerOf<LRESULT (CWnd::*)(WPARAM, LPARAM)>(entry))(wParam, lParam);
    case AfxSig_i_create:
        return (this->*HandlerOf<int (CWnd::*)(LPCREATESTRUCT)>(entry))(
            reinterpret_cast<LPCREATESTRUCT>(lParam));
    case AfxSig_v_b:
        (this->*HandlerOf<void (CWnd::*)(BOOL)>(entry))(static_cast<BOOL>(wParam));
        return 0;
    case AfxSig_b_b:
        return (this->*HandlerOf<BOOL (CWnd::*)(BOOL)>(entry))(static_cast<BOOL>(wParam));
    case AfxSig_v_ui:
        (this->*HandlerOf<void (CWnd::*)(UINT_PTR)>(entry))(static_cast<UINT_PTR>(wParam));
        return 0;
    case AfxSig_v_u_pt:
        (this->*HandlerOf<void (CWnd::*)(UINT, CPoint)>(entry))(static_cast<UINT>(wParam), PointFrom(lParam));
        return 0;
    case AfxSig_l_pt:
        return (this->*HandlerOf<LRESULT (CWnd::*)(CPoint)>(entry))(PointFrom(lParam));
    case AfxSig_v_b_nccalc:
        (this->*HandlerOf<void (CWnd::*)(BOOL, NCCALCSIZE_PARAMS*)>(entry))(
            static_cast<BOOL>(wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
        return 0;
    case AfxSig_v_i_style:
        (this->*HandlerOf<void (CWnd::*)(int, LPSTYLESTRUCT)>(entry))(
            static_cast<int>(wParam), reinterpret_cast<LPSTYLESTRUCT>(lParam));
        return 0;
    case AfxSig_v_winpos:
        (this->*HandlerOf<void (CWnd::*)(WINDOWPOS*)>(entry))(reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case AfxSig_v_minmax:
        (this->*HandlerOf<void (CWnd::*)(MINMAXINFO*)>(entry))(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case AfxSig_v_u_l:
        (this->*HandlerOf<void (CWnd::*)(UINT, LPARAM)>(entry))(static_cast<UINT>(wParam), lParam);
        return 0;
    case AfxSig_b_dc:
        return (this->*HandlerOf<BOOL (CWnd::*)(CDC*)>(entry))(DCFrom(wParam));
    case AfxSig_v_u_u_u:
        (this->*HandlerOf<void (CWnd::*)(UINT, UINT, UINT)>(entry))(
            static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case AfxSig_v_wnd:
        (this->*HandlerOf<void (CWnd::*)(CWnd*)>(entry))(
            WindowFrom(entry.nMessage == WM_CAPTURECHANGED ? static_cast<WPARAM>(lParam) : wParam));
        return 0;
    case AfxSig_v_u_i_i:
        (this->*HandlerOf<void (CWnd::*)(UINT, int, int)>(entry))(
            static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case AfxSig_v_u_u_scroll:
        // A CScrollBar* wraps the sending control and is NULL for a window's own bars.
        (this->*HandlerOf<void (CWnd::*)(UINT, UINT, CScrollBar*)>(entry))(
            LOWORD(wParam), HIWORD(wParam),
            reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))));
        return 0;
    case AfxSig_v_wnd_pt:
        (this->*HandlerOf<void (CWnd::*)(CWnd*, CPoint)>(entry))(WindowFrom(wParam), PointFrom(lParam));
        return 0;
    case AfxSig_b_u_s_pt:
        return (this->*HandlerOf<BOOL (CWnd::*)(UINT, short, CPoint)>(entry))(
            LOWORD(wParam), static_cast<short>(HIWORD(wParam)), PointFrom(lParam));
    case AfxSig_b_help:
        return (this->*HandlerOf<BOOL (CWnd::*)(HELPINFO*)>(entry))(reinterpret_cast<HELPINFO*>(lParam));
    default:
        ASSERT(FALSE);
        return 0;
    }
}
