// The replacements of the system's class registration, colour, drawing, scroll-bar, metrics
// and default window procedure functions. The rewriter puts them into the import slots
// (hlmskinmanagerapihook.cpp); each forwards to the system function the rewriter saved.
#include "hlmskinmanagerapihook.h"

#include "hlmskindrawtools.h"
#include "hlmskinmanager.h"
#include "hlmskinmanagerapihookinternal.h"
#include "hlmskinmanagermodulelist.h"
#include "hlmskinobjectframe.h"
#include "hlmskinvocabulary.h"
#include "common/hlmsystemhelpers.h"

using namespace HLMApiHookInternal;

// ---------------------------------------------------------------------------------------
// Class registration

namespace
{
// The system default procedure a class would get instead of our replacement of it, or null.
template <typename WNDCLASSTYPE>
ULONG_PTR SystemDefaultProcedure(const WNDCLASSTYPE& windowClass, BOOL unicode)
{
    const ULONG_PTR procedure = AddressOf(windowClass.lpfnWndProc);
    const int slots[2][4] = {{27, 31, 29, 33}, {28, 32, 30, 34}};
    for (int slot : slots[unicode ? 1 : 0])
    {
        CHLMSkinManagerApiFunction* function = CHLMSkinManagerApiHook::GetInstance().GetHookedFunction(slot);
        if (function != nullptr && function->m_nReplacementAddress == procedure)
            return function->m_nSystemAddress;
    }
    return 0;
}
}

namespace
{
// Registers the class with the system default procedure in place of our replacement of it.
template <typename WNDCLASSTYPE, typename F>
ATOM RegisterWithSystemProcedure(const WNDCLASSTYPE* windowClass, BOOL unicode, F registerClass)
{
    if (windowClass != nullptr)
    {
        if (const ULONG_PTR system = SystemDefaultProcedure(*windowClass, unicode))
        {
            WNDCLASSTYPE copy = *windowClass;
            copy.lpfnWndProc = FunctionAt<WNDPROC>(system);
            return registerClass(&copy);
        }
    }
    return registerClass(windowClass);
}
}

ATOM WINAPI CHLMSkinManagerApiHook::OnHookRegisterClassA(const WNDCLASSA* lpWndClass)
{
    return RegisterWithSystemProcedure(lpWndClass, FALSE, HLM_SYSTEM(RegisterClassA));
}

ATOM WINAPI CHLMSkinManagerApiHook::OnHookRegisterClassW(const WNDCLASSW* lpWndClass)
{
    return RegisterWithSystemProcedure(lpWndClass, TRUE, HLM_SYSTEM(RegisterClassW));
}

// ---------------------------------------------------------------------------------------
// Colours and drawing

DWORD WINAPI CHLMSkinManagerApiHook::OnHookGetSysColor(int nIndex)
{
    if (IsSkinEnabled() && nIndex >= 0 && nIndex < CHLMSkinManagerMetrics::kColorCount)
    {
        const COLORREF color = Manager()->GetMetrics()->GetColor(nIndex);
        if (color != static_cast<COLORREF>(-1))
            return color;
    }
    return HLM_SYSTEM(GetSysColor)(nIndex);
}

HBRUSH WINAPI CHLMSkinManagerApiHook::OnHookGetSysColorBrush(int nIndex)
{
    if (IsSkinEnabled() && nIndex > 0 && nIndex < CHLMSkinManagerMetrics::kColorCount)
    {
        HBRUSH brush = Manager()->GetMetrics()->m_hBrushes[nIndex];
        if (brush != nullptr)
            return brush;
    }
    return HLM_SYSTEM(GetSysColorBrush)(nIndex);
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookDeleteObject(HGDIOBJ ho)
{
    CHLMSkinManager* manager = Manager();
    if (manager != nullptr && manager->GetMetrics() != nullptr && manager->GetMetrics()->OwnsBrush(ho))
        return FALSE;  // the skin's colour brushes are shared, like the system's
    return HLM_SYSTEM(DeleteObject)(ho);
}

int WINAPI CHLMSkinManagerApiHook::OnHookFillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    if (lprc == nullptr)
        return 0;
    // A brush value 1..30 stands for the system colour value - 1.
    const ULONG_PTR value = reinterpret_cast<ULONG_PTR>(hbr);
    CHLMSkinManager* manager = Manager();
    if (value >= 1 && value <= 30 && manager != nullptr && manager->GetMetrics() != nullptr)
    {
        HBRUSH skinBrush = manager->GetMetrics()->m_hBrushes[value - 1];
        if (skinBrush != nullptr)
            hbr = skinBrush;
    }
    return HLM_SYSTEM(FillRect)(hDC, lprc, hbr);
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookDrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags)
{
    if (qrc == nullptr)
        return FALSE;
    // Installed, edges are always the skin's, even the ones it cannot draw.
    if (g_replaced.DrawEdge.pfnSystem != nullptr)
        return HLMSkinDrawEdge(hdc, qrc, edge, grfFlags);
    return HLM_SYSTEM(DrawEdge)(hdc, qrc, edge, grfFlags);
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookDrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState)
{
    if (lprc == nullptr)
        return FALSE;
    if (g_replaced.DrawFrameControl.pfnSystem != nullptr && HLMSkinDrawFrameControl(hdc, lprc, uType, uState))
        return TRUE;
    return HLM_SYSTEM(DrawFrameControl)(hdc, lprc, uType, uState);
}

// ---------------------------------------------------------------------------------------
// Scroll bars

namespace
{
// The skinned frame of a window, when it has one.
CHLMSkinObjectPtr<CHLMSkinObjectFrame> FrameOf(HWND hWnd)
{
    CHLMSkinManager* manager = Manager();
    return manager != nullptr
        ? CHLMSkinObjectPtr<CHLMSkinObjectFrame>::DynamicCast(manager->FindSkinObject(hWnd))
        : CHLMSkinObjectPtr<CHLMSkinObjectFrame>();
}

bool IsWindowBar(int bar)
{
    return bar == SB_HORZ || bar == SB_VERT;
}
}

// The system changes a skinned bar without drawing it; the skin draws it.
int WINAPI CHLMSkinManagerApiHook::OnHookSetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi,
                                                       BOOL redraw)
{
    const auto frame = FrameOf(hwnd);
    if (frame == nullptr || !IsWindowBar(nBar) || !redraw)
        return HLM_SYSTEM(SetScrollInfo)(hwnd, nBar, lpsi, redraw);
    const int result = HLM_SYSTEM(SetScrollInfo)(hwnd, nBar, lpsi, FALSE);
    frame->UpdateScrollBar(nBar);
    return result;
}

int WINAPI CHLMSkinManagerApiHook::OnHookSetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw)
{
    const auto frame = FrameOf(hWnd);
    if (frame == nullptr || (nBar != SB_CTL && !IsWindowBar(nBar)))
        return HLM_SYSTEM(SetScrollPos)(hWnd, nBar, nPos, bRedraw);
    const int result = HLM_SYSTEM(SetScrollPos)(hWnd, nBar, nPos, FALSE);
    if (bRedraw && nBar == SB_CTL)
        ::InvalidateRect(hWnd, nullptr, FALSE);
    else if (bRedraw)
        frame->UpdateScrollBar(nBar);
    return result;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookGetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi)
{
    const BOOL result = HLM_SYSTEM(GetScrollInfo)(hwnd, nBar, lpsi);
    const auto frame = FrameOf(hwnd);
    if (lpsi == nullptr || (lpsi->fMask & SIF_TRACKPOS) == 0 || frame == nullptr)
        return result;
    // While the skin drags the bar's thumb, the track position is the skin's.
    const CHLMSkinObjectFrame::SCROLLBARTRACKING* tracking = frame->GetScrollTrackInfo();
    if (tracking != nullptr && tracking->bDragging && tracking->nBar == nBar)
        lpsi->nTrackPos = tracking->nPosition;
    return result;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookEnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows)
{
    const BOOL result = HLM_SYSTEM(EnableScrollBar)(hWnd, wSBflags, wArrows);
    const auto frame = FrameOf(hWnd);
    if (frame == nullptr)
        return result;
    if (wSBflags == SB_HORZ || wSBflags == SB_BOTH)
        frame->UpdateScrollBar(SB_HORZ);
    if (wSBflags == SB_VERT || wSBflags == SB_BOTH)
        frame->UpdateScrollBar(SB_VERT);
    return result;
}

// ---------------------------------------------------------------------------------------
// Metrics

namespace
{
// The skin answers the metrics questions only with both METRICS and COLORS applied.
CHLMSkinManagerMetrics* AnsweringMetrics()
{
    CHLMSkinManager* manager = Manager();
    const DWORD both = HLM_SKINAPPLY_METRICS | HLM_SKINAPPLY_COLORS;
    if (manager == nullptr || !manager->IsEnabled() || (manager->GetApplyOptions() & both) != both)
        return nullptr;
    CHLMSkinManagerMetrics* metrics = manager->GetMetrics();
    return metrics != nullptr && !metrics->m_bRefreshing ? metrics : nullptr;
}


void OverwriteFont(int propertyId, LOGFONTW& font)
{
    LOGFONTW skinFont = {};
    if (Manager()->GetThemeSysFont(propertyId, &skinFont) == S_OK)
        font = skinFont;
}
}

int WINAPI CHLMSkinManagerApiHook::OnHookGetSystemMetrics(int nIndex)
{
    const int value = HLM_SYSTEM(GetSystemMetrics)(nIndex);
    const CHLMSkinManagerMetrics* metrics = AnsweringMetrics();
    if (metrics == nullptr)
        return value;
    switch (nIndex)
    {
    case SM_CXVSCROLL:
        return metrics->m_cxVScroll;
    case SM_CYHSCROLL:
        return metrics->m_cyHScroll;
    case SM_CYCAPTION:
        return metrics->m_nCaptionHeight;
    case SM_CXBORDER:
        return metrics->m_cxBorder;
    case SM_CYBORDER:
        return metrics->m_cyBorder;
    case SM_CYVSCROLL:
        return metrics->m_cyVScroll;
    case SM_CXHSCROLL:
        return metrics->m_cxHScroll;
    case SM_CYSMCAPTION:
        return metrics->m_nSmallCaptionHeight;
    default:
        return value;
    }
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookSystemParametersInfoW(UINT uiAction, UINT uiParam,
                                                                PVOID pvParam, UINT fWinIni)
{
    const BOOL result = HLM_SYSTEM(SystemParametersInfoW)(uiAction, uiParam, pvParam, fWinIni);
    if (pvParam == nullptr || AnsweringMetrics() == nullptr)
        return result;
    if (uiAction == SPI_GETICONTITLELOGFONT && uiParam == sizeof(LOGFONTW))
    {
        OverwriteFont(TMT_ICONTITLEFONT, *static_cast<LOGFONTW*>(pvParam));
    }
    else if (uiAction == SPI_GETNONCLIENTMETRICS && uiParam == 500)
    {
        auto* metrics = static_cast<NONCLIENTMETRICSW*>(pvParam);
        OverwriteFont(TMT_MENUFONT, metrics->lfMenuFont);
        OverwriteFont(TMT_STATUSFONT, metrics->lfStatusFont);
        OverwriteFont(TMT_CAPTIONFONT, metrics->lfCaptionFont);
    }
    return result;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookAdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu,
                                                             DWORD dwExStyle)
{
    CHLMSkinManager* manager = Manager();
    // Without a schema there is no skin frame to measure: the system answers.
    const BOOL skinned = manager != nullptr && manager->GetSchema() != nullptr &&
                         (manager->GetApplyOptions() & HLM_SKINAPPLY_METRICS) != 0;
    const BOOL maximizedTopLevel = (dwStyle & WS_CHILD) == 0 && (dwStyle & WS_CAPTION) == WS_CAPTION &&
                                   (dwStyle & WS_MAXIMIZE) != 0;
    if (skinned && lpRect != nullptr && !bMenu && (dwStyle & WS_THICKFRAME) != 0 && !maximizedTopLevel)
    {
        const CRect borders = manager->GetSchema()->GetFrameBorders(dwStyle, dwExStyle);
        lpRect->left -= borders.left;
        lpRect->top -= borders.top;
        lpRect->right += borders.right;
        lpRect->bottom += borders.bottom;
        return TRUE;
    }
    const BOOL result = HLM_SYSTEM(AdjustWindowRectEx)(lpRect, dwStyle, bMenu, dwExStyle);
    if (!result || !skinned || lpRect == nullptr || (dwStyle & WS_CAPTION) != WS_CAPTION)
        return result;
    const CHLMSkinManagerMetrics& metrics = *manager->GetMetrics();
    if (dwExStyle & WS_EX_TOOLWINDOW)
        lpRect->top -= metrics.m_nSmallCaptionHeight - metrics.m_nSystemSmallCaptionHeight;
    else
        lpRect->top -= metrics.m_nCaptionHeight - metrics.m_nSystemCaptionHeight;
    return result;
}

// ---------------------------------------------------------------------------------------
// Default window procedures

BOOL CHLMSkinManagerApiHook::DispatchDefWindowProc(HWND hWnd,
                                                   const CHLMSkinObject::DEFWINDOW_DESCRIPTIOR& descriptor,
                                                   WPARAM* pwParam, LPARAM* plParam, LRESULT* pResult)
{
    CHLMSkinManager* manager = Manager();
    if (manager == nullptr || !manager->IsEnabled())
        return FALSE;
    const CHLMSkinObjectRef object = manager->FindSkinObject(hWnd);
    if (object == nullptr || object->IsOptedOut())
        return FALSE;
    const UINT message = descriptor.nMessage;
    // The object is handling this message already: this is its own default processing.
    if (message == object->GetCurrentDefMessage())
        return FALSE;
    if (message == WM_NCDESTROY && object->IsWindowsForms())
    {
        manager->DetachSkinObject(hWnd, TRUE);
        return FALSE;
    }
    if (descriptor.nType == CHLMSkinObject::DEFPROC_CALLWINDOWPROC && object->IsDefWindowProcMessage(message))
    {
        // Application code that will reach a default procedure itself.
        const WNDPROC procedure = descriptor.pfnWndProcParam;
        const BOOL application = procedure != nullptr && !IsSystemWindowProcAddress(procedure);
        if (application && !(manager->IsWin9x() && AddressOf(procedure) >= 0x70000000))
            return FALSE;
    }
    CCurrentMessageScope scope(AfxGetThreadState(), hWnd, message, *pwParam, *plParam);
    return object->HandleDefWindowProc(descriptor, *pwParam, *plParam, *pResult);
}

namespace
{
template <typename F>
LRESULT DefaultProcedure(const Replaced<F>& entry, F ownImport, int type, HWND hWnd, UINT message,
                         WPARAM wParam, LPARAM lParam)
{
    const F system = System(entry, ownImport);
    LRESULT result = 0;
    if (entry.pfnSystem != nullptr &&
        CHLMSkinManagerApiHook::DispatchDefWindowProc(
            hWnd, CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::DefProc(message, type, system), &wParam,
            &lParam, &result))
        return result;
    return system(hWnd, message, wParam, lParam);
}

template <typename F>
LRESULT FrameProcedure(const Replaced<F>& entry, F ownImport, HWND hWnd, HWND client, UINT message,
                       WPARAM wParam, LPARAM lParam)
{
    const F system = System(entry, ownImport);
    LRESULT result = 0;
    if (entry.pfnSystem != nullptr &&
        CHLMSkinManagerApiHook::DispatchDefWindowProc(
            hWnd, CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::DefFrameProc(message, system, client),
            &wParam, &lParam, &result))
        return result;
    return system(hWnd, client, message, wParam, lParam);
}

template <typename F>
LRESULT CallProcedure(const Replaced<F>& entry, F ownImport, WNDPROC procedure, HWND hWnd,
                      UINT message, WPARAM wParam, LPARAM lParam)
{
    const F system = System(entry, ownImport);
    LRESULT result = 0;
    if (entry.pfnSystem != nullptr && procedure != nullptr &&
        CHLMSkinManagerApiHook::DispatchDefWindowProc(
            hWnd, CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::CallWindowProc(message, system, procedure),
            &wParam, &lParam, &result))
        return result;
    return system(procedure, hWnd, message, wParam, lParam);
}
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefWindowProcA, &::DefWindowProcA,
                            CHLMSkinObject::DEFPROC_DEFWINDOWPROC, hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefWindowProcW, &::DefWindowProcW,
                            CHLMSkinObject::DEFPROC_DEFWINDOWPROC, hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefMDIChildProcA(HWND hWnd, UINT uMsg, WPARAM wParam,
                                                              LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefMDIChildProcA, &::DefMDIChildProcA,
                            CHLMSkinObject::DEFPROC_DEFMDICHILDPROC, hWnd, uMsg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefMDIChildProcW(HWND hWnd, UINT uMsg, WPARAM wParam,
                                                              LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefMDIChildProcW, &::DefMDIChildProcW,
                            CHLMSkinObject::DEFPROC_DEFMDICHILDPROC, hWnd, uMsg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefDlgProcA, &::DefDlgProcA, CHLMSkinObject::DEFPROC_DEFDLGPROC,
                            hDlg, Msg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefDlgProcW, &::DefDlgProcW, CHLMSkinObject::DEFPROC_DEFDLGPROC,
                            hDlg, Msg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefFrameProcA(HWND hWnd, HWND hWndMDIClient, UINT uMsg,
                                                           WPARAM wParam, LPARAM lParam)
{
    return FrameProcedure(g_replaced.DefFrameProcA, &::DefFrameProcA, hWnd, hWndMDIClient, uMsg,
                          wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefFrameProcW(HWND hWnd, HWND hWndMDIClient, UINT uMsg,
                                                           WPARAM wParam, LPARAM lParam)
{
    return FrameProcedure(g_replaced.DefFrameProcW, &::DefFrameProcW, hWnd, hWndMDIClient, uMsg,
                          wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookCallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg,
                                                             WPARAM wParam, LPARAM lParam)
{
    return CallProcedure(g_replaced.CallWindowProcA, &::CallWindowProcA, lpPrevWndFunc, hWnd, Msg,
                         wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookCallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg,
                                                             WPARAM wParam, LPARAM lParam)
{
    return CallProcedure(g_replaced.CallWindowProcW, &::CallWindowProcW, lpPrevWndFunc, hWnd, Msg,
                         wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// System window procedures

namespace
{
// The address range of one system module, read on first use.
class SystemModuleRange
{
public:
    explicit SystemModuleRange(LPCWSTR name) : m_lpszName(name) {}

    // refresh: read again whenever the module handle changed (a module that can be unloaded
    // and loaded again elsewhere).
    BOOL Contains(ULONG_PTR address, BOOL refresh)
    {
        if (!m_bRead || refresh)
        {
            HMODULE module = ::GetModuleHandleW(m_lpszName);
            if (!m_bRead || module != m_hModule)
                Read(module);
        }
        return m_nSize != 0 && address > m_nBase && address < m_nBase + m_nSize;
    }

private:
    void Read(HMODULE module)
    {
        m_bRead = TRUE;
        m_hModule = module;
        m_nBase = 0;
        m_nSize = 0;
        CHLMSkinManagerModuleList::MODULEINFORMATION information = {};
        if (module != nullptr && CHLMSkinManagerModuleList().GetModuleInformation(module, &information))
        {
            m_nBase = reinterpret_cast<ULONG_PTR>(information.lpBaseOfDll);
            m_nSize = information.SizeOfImage;
        }
    }

    LPCWSTR m_lpszName;
    BOOL m_bRead = FALSE;
    HMODULE m_hModule = nullptr;
    ULONG_PTR m_nBase = 0;
    ULONG_PTR m_nSize = 0;
};
}

BOOL IsSystemWindowProcAddress(WNDPROC pfnWndProc)
{
    const ULONG_PTR address = AddressOf(pfnWndProc);
    // Procedure handles (0xFFFF00xx) in both pointer sizes.
    if (address >= 0xFFFF0000 && address <= 0xFFFFFFFF)
        return TRUE;
    static SystemModuleRange user32(L"USER32.DLL");
    static SystemModuleRange comctl32(L"COMCTL32.DLL");
    static SystemModuleRange ntdll(L"NTDLL.DLL");
    if (user32.Contains(address, FALSE) || comctl32.Contains(address, TRUE))
        return TRUE;
    if (!OsVersionInfo().IsWinXPOrLater())
        return FALSE;
    return ntdll.Contains(address, FALSE);
}
