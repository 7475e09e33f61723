// The framework's window procedure and its creation hook.
#include "afxwin.h"

LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CCurrentMessageScope scope(AfxGetThreadState(), hWnd, nMsg, wParam, lParam);
    LRESULT lResult = 0;
    try
    {
        lResult = pWnd->WindowProc(nMsg, wParam, lParam);
        // Top-level framework windows pass colour changes on to every descendant, so that
        // the common controls refresh their cached system colours.
        if (nMsg == WM_SYSCOLORCHANGE && !(::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD))
            pWnd->SendMessageToDescendants(WM_SYSCOLORCHANGE, wParam, lParam, TRUE, FALSE);
    }
    catch (CException* e)
    {
        // An exception must not cross the system's frames: report it and go on.
        AfxReportUncaughtException(e);
        lResult = nMsg == WM_CREATE ? -1 : 0;
    }
    if (nMsg == WM_NCDESTROY && pWnd->m_hWnd == hWnd)
        pWnd->HandleNcDestroy();
    return lResult;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr)  // the object was detached while our procedure stayed installed
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

WNDPROC AFXAPI AfxGetAfxWndProc()
{
    return &AfxWndProc;
}

// ---------------------------------------------------------------------------------------
// The creation hook. It is installed just before each creating call, so it is the newest
// hook of the thread and runs before any hook installed earlier (the skin engine's). It
// attaches the object and subclasses the window first, then passes the creation on, and
// then removes itself: the next creation installs it again.

namespace
{
BOOL IsImeWindow(HWND hWnd)
{
    wchar_t className[8] = {};
    ::GetClassNameW(hWnd, className, 8);
    return ::lstrcmpiW(className, L"IME") == 0;
}

LRESULT CALLBACK AfxCbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    _AFX_THREAD_STATE* pState = AfxGetThreadState();
    const HWND hWnd = reinterpret_cast<HWND>(wParam);
    if (nCode != HCBT_CREATEWND || pState->m_pWndInit == nullptr || IsImeWindow(hWnd))
        return ::CallNextHookEx(pState->m_hHookOldCbtFilter, nCode, wParam, lParam);

    CWnd* pWnd = pState->m_pWndInit;
    pState->m_pWndInit = nullptr;
    pWnd->Attach(hWnd);
    const WNDPROC pfnAfxWndProc = AfxGetAfxWndProc();
    auto pfnOld = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnAfxWndProc)));
    if (pfnOld != pfnAfxWndProc)
        *pWnd->GetSuperWndProcAddr() = pfnOld;

    const LRESULT lResult = ::CallNextHookEx(pState->m_hHookOldCbtFilter, nCode, wParam, lParam);
    AfxUnhookWindowCreate();
    return lResult;
}
}

void AFXAPI AfxHookWindowCreate(CWnd* pWnd)
{
    _AFX_THREAD_STATE* pState = AfxGetThreadState();
    // A fresh hook each time, so that ours is the newest.
    if (pState->m_hHookOldCbtFilter != nullptr)
        ::UnhookWindowsHookEx(pState->m_hHookOldCbtFilter);
    pState->m_hHookOldCbtFilter =
        ::SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    pState->m_pWndInit = pWnd;
}

BOOL AFXAPI AfxUnhookWindowCreate()
{
    _AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_hHookOldCbtFilter != nullptr)
    {
        ::UnhookWindowsHookEx(pState->m_hHookOldCbtFilter);
        pState->m_hHookOldCbtFilter = nullptr;
    }
    const BOOL bAttached = pState->m_pWndInit == nullptr;
    pState->m_pWndInit = nullptr;
    return bAttached;
}

BOOL AFXAPI AfxRegisterClass(WNDCLASS* lpWndClass)
{
    WNDCLASSW existing = {};
    if (::GetClassInfoW(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    // RegisterClassW, never the Ex form: the skin engine replaces only the plain one.
    return ::RegisterClassW(lpWndClass) != 0;
}
