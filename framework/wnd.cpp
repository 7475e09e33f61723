// CWnd: window objects, the handle maps, subclassing and the thin wrappers.
#include "afxwin.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

// CWnd's own map is empty: the base handlers are reached only through derived maps, so
// a skin object (which is in no handle map) meets no framework behaviour of its own, and
// WM_CTLCOLOR* of framework windows reaches the default procedure unless a map handles it.
const AFX_MSGMAP* PASCAL CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
    static const AFX_MSGMAP messageMap = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &messageMap;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

CWnd::CWnd() : m_hWnd(nullptr), m_nFlags(0), m_pfnSuper(nullptr), m_hWndOwner(nullptr) {}

CWnd::CWnd(HWND hWnd) : m_hWnd(hWnd), m_nFlags(0), m_pfnSuper(nullptr), m_hWndOwner(nullptr) {}

CWnd::~CWnd()
{
    // A main window that dies without its window must not stay the main window.
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;

    // Objects that cleared their handle (the skin's) touch nothing else, even at process exit.
    if (m_hWnd == nullptr)
        return;
    if (FromHandlePermanent(m_hWnd) == this)
    {
        TRACE(L"Warning: a window object was destroyed while its window still existed.\n");
        DestroyWindow();
    }
}

// Compiled so that the comparison of `this` with NULL survives: callers rely on
// pWnd->GetSafeHwnd() giving NULL for a NULL pointer.
__attribute__((optimize("no-delete-null-pointer-checks"))) HWND CWnd::GetSafeHwnd() const
{
    return this == nullptr ? nullptr : m_hWnd;
}

// ---------------------------------------------------------------------------------------
// Handle maps

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    return AfxGetThreadState()->m_tempWindows.FindOrAdd(hWnd, +[](HWND hTemp) { return new CWnd(hTemp); });
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    const auto& windows = AfxGetThreadState()->m_permanentWindows;
    auto found = windows.find(hWnd);
    return found == windows.end() ? nullptr : found->second;
}

void CWnd::AttachToPermanentMap(HWND hWnd)
{
    AfxGetThreadState()->m_permanentWindows[hWnd] = this;
    m_hWnd = hWnd;
}

BOOL CWnd::Attach(HWND hWndNew)
{
    ASSERT(m_hWnd == nullptr);
    ASSERT(FromHandlePermanent(hWndNew) == nullptr);
    if (hWndNew == nullptr || m_hWnd != nullptr)
        return FALSE;
    AttachToPermanentMap(hWndNew);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr)
    {
        auto& windows = AfxGetThreadState()->m_permanentWindows;
        auto found = windows.find(hWnd);
        if (found != windows.end() && found->second == this)
            windows.erase(found);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    const WNDPROC pfnAfxWndProc = AfxGetAfxWndProc();
    auto pfnOld = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnAfxWndProc)));
    if (pfnOld == nullptr)  // a window of another process
    {
        Detach();
        return FALSE;
    }
    if (pfnOld != pfnAfxWndProc)
        *GetSuperWndProcAddr() = pfnOld;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID));
    return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    WNDPROC* lplpfn = GetSuperWndProcAddr();
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*lplpfn));
    *lplpfn = nullptr;
    return Detach();
}

void CWnd::HandleNcDestroy()
{
    // Put the previous procedure back, but only while ours is still the window's: a
    // procedure installed above ours keeps its chain.
    WNDPROC pfnSuper = *GetSuperWndProcAddr();
    const auto installed = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    if (pfnSuper != nullptr && installed == AfxGetAfxWndProc())
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnSuper));
    *GetSuperWndProcAddr() = nullptr;
    Detach();

    // The thread's main window is gone: the thread's loop ends, as the user closed it.
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr && pThread->m_pMainWnd == this)
    {
        pThread->m_pMainWnd = nullptr;
        AfxPostQuitMessage(0);
    }
    PostNcDestroy();
}

// ---------------------------------------------------------------------------------------
// Creation and destruction

namespace
{
const wchar_t kDefaultClassName[] = L"AfxWnd";

// The class of windows created without one: the default procedure as class procedure,
// reached through the framework's subclass.
void RegisterDefaultClass()
{
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kDefaultClassName;
    AfxRegisterClass(&wc);
}
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr)
    {
        RegisterDefaultClass();
        cs.lpszClass = kDefaultClassName;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam)
{
    CREATESTRUCT cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs))
    {
        PostNcDestroy();
        return FALSE;
    }

    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style),
                                  cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                  cs.lpCreateParams);
    AfxUnhookWindowCreate();
    ASSERT(hWnd == nullptr || hWnd == m_hWnd);
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                    lpParam);
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

// ---------------------------------------------------------------------------------------
// Message processing

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (OnWndMsg(message, wParam, lParam, &lResult))
        return lResult;
    // F1 in a framework window asks for help unless its map says otherwise. This is not a
    // map entry: skin objects dispatch through OnWndMsg alone and must not start help.
    if (message == WM_HELP)
        return OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
    return DefWindowProc(message, wParam, lParam);
}

// Both calls go through the import table at the moment of the call (see afxwin.h).
LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    WNDPROC pfnSuper = *GetSuperWndProcAddr();
    if (pfnSuper == nullptr)
        return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
    return ::CallWindowProcW(pfnSuper, m_hWnd, message, wParam, lParam);
}

WNDPROC* CWnd::GetSuperWndProcAddr()
{
    return &m_pfnSuper;
}

LRESULT CWnd::Default()
{
    // The message the window procedure is handling now, whatever the handler was given.
    const MSG& current = AfxGetThreadState()->m_lastSentMsg;
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

const MSG* PASCAL CWnd::GetCurrentMessage()
{
    MSG& current = AfxGetThreadState()->m_lastSentMsg;
    current.time = static_cast<DWORD>(::GetMessageTime());
    const DWORD pos = ::GetMessagePos();
    current.pt.x = static_cast<short>(LOWORD(pos));
    current.pt.y = static_cast<short>(HIWORD(pos));
    return &current;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd))
    {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

BOOL CWnd::PreTranslateInput(LPMSG lpMsg)
{
    const UINT message = lpMsg->message;
    const bool isKey = message >= WM_KEYFIRST && message <= WM_KEYLAST;
    const bool isMouse = message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
    if (!isKey && !isMouse)
        return FALSE;
    return IsDialogMessage(lpMsg);
}

BOOL PASCAL CWnd::ReflectToChild(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam,
                                 LRESULT* pResult)
{
    CWnd* pChild = FromHandlePermanent(hWndChild);
    return pChild != nullptr && pChild->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_COMMAND && message != WM_NOTIFY)
        return FALSE;
    return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (hWndCtrl == nullptr)
        nCode = CN_COMMAND;  // a menu, an accelerator or a command sent in code
    else if (ReflectToChild(hWndCtrl, WM_COMMAND, wParam, lParam, nullptr))
        return TRUE;

    if (OnCmdMsg(nID, nCode, nullptr, nullptr))
        return TRUE;
    // Commands nobody in this window handles go to the thread's object (the application).
    CWinThread* pThread = AfxGetThread();
    return hWndCtrl == nullptr && pThread != nullptr &&
           pThread->OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR == nullptr)
        return FALSE;
    if (pNMHDR->hwndFrom != nullptr &&
        ReflectToChild(pNMHDR->hwndFrom, WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    AFX_NOTIFY notify = {pResult, pNMHDR};
    const UINT nCode = pNMHDR->code;
    return OnCmdMsg(static_cast<UINT>(pNMHDR->idFrom), static_cast<int>(MAKELONG(LOWORD(nCode), WM_NOTIFY)),
                    &notify, nullptr);
}

void CWnd::WinHelp(DWORD_PTR, UINT)
{
    // This program has no help file; windows that offer help override this.
    TRACE(L"CWnd::WinHelp: no help for this window.\n");
}

BOOL CWnd::OnHelpInfo(HELPINFO*)
{
    // F1 in a top-level window asks the main window for help (ID_HELP); a child passes
    // WM_HELP on, and the default procedure hands it to the parent.
    CWnd* pMainWnd = AfxGetMainWnd();
    if (!(GetStyle() & WS_CHILD) && pMainWnd != nullptr && ::GetKeyState(VK_SHIFT) >= 0 &&
        ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0)
    {
        pMainWnd->SendMessage(WM_COMMAND, ID_HELP);
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}

namespace
{
void SendToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    for (HWND hChild = ::GetTopWindow(hWnd); hChild != nullptr; hChild = ::GetNextWindow(hChild, GW_HWNDNEXT))
    {
        if (!bOnlyPerm || CWnd::FromHandlePermanent(hChild) != nullptr)
            ::SendMessageW(hChild, message, wParam, lParam);
        if (bDeep)
            SendToDescendants(hChild, message, wParam, lParam, bDeep, bOnlyPerm);
    }
}
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                    BOOL bOnlyPerm) const
{
    SendToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

// ---------------------------------------------------------------------------------------
// Wrappers with more than one call

void CWnd::GetWindowText(CString& rString) const
{
    const int nLength = ::GetWindowTextLengthW(m_hWnd);
    ::GetWindowTextW(m_hWnd, rString.GetBuffer(nLength), nLength + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    HWND hWndItem = ::GetDlgItem(m_hWnd, nID);
    if (hWndItem == nullptr)
        return 0;
    const int nLength = ::GetWindowTextLengthW(hWndItem);
    ::GetWindowTextW(hWndItem, rString.GetBuffer(nLength), nLength + 1);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

namespace
{
BOOL ModifyStyleOf(HWND hWnd, int nStyleOffset, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, nStyleOffset));
    const DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongPtrW(hWnd, nStyleOffset, static_cast<LONG_PTR>(dwNewStyle));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleOf(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleOf(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter->GetSafeHwnd(), x, y, cx, cy, nFlags);
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    return TRUE;
}

CWnd* CWnd::GetTopLevelParent() const
{
    HWND hWndTop = m_hWnd;
    for (HWND hWnd = AfxGetParentOwner(hWndTop); hWnd != nullptr; hWnd = AfxGetParentOwner(hWnd))
        hWndTop = hWnd;
    return FromHandle(hWndTop);
}

CWnd* CWnd::GetParentOwner() const
{
    HWND hWnd = m_hWnd;
    for (HWND hParent; (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) && (hParent = ::GetParent(hWnd)) != nullptr;)
        hWnd = hParent;
    return FromHandle(hWnd);
}

BOOL CWnd::IsFrameWnd() const
{
    return FALSE;
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (CWnd* pParent = GetParent(); pParent != nullptr; pParent = pParent->GetParent())
        if (pParent->IsFrameWnd())
            return static_cast<CFrameWnd*>(pParent);
    return nullptr;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    const bool bChild = (GetStyle() & WS_CHILD) != 0;
    HWND hWndCenter = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd
                      : bChild                   ? ::GetParent(m_hWnd)
                                                 : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area = {};
    RECT center = {};
    if (bChild)
    {
        // In the parent's client coordinates.
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &area);
        ::GetClientRect(hWndCenter, &center);
        ::MapWindowPoints(hWndCenter, hWndParent, reinterpret_cast<LPPOINT>(&center), 2);
    }
    else
    {
        if (hWndCenter != nullptr && (!::IsWindowVisible(hWndCenter) || ::IsIconic(hWndCenter)))
            hWndCenter = nullptr;
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoW(::MonitorFromWindow(hWndCenter ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
        area = monitor.rcWork;
        if (hWndCenter != nullptr)
            ::GetWindowRect(hWndCenter, &center);
        else
            center = area;
    }
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = (center.left + center.right) / 2 - width / 2;
    int y = (center.top + center.bottom) / 2 - height / 2;
    x = x + width > area.right ? area.right - width : x;
    y = y + height > area.bottom ? area.bottom - height : y;
    x = x < area.left ? area.left : x;
    y = y < area.top ? area.top : y;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CWnd* CWnd::GetOwner() const
{
    return m_hWndOwner != nullptr ? FromHandle(m_hWndOwner) : GetParent();
}

CWnd* PASCAL CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop)
{
    HWND hWnd = pParent->GetSafeHwnd();
    if (hWnd == nullptr)
        hWnd = AfxGetMainWnd()->GetSafeHwnd();

    // A popup cannot be owned by a child window.
    while (hWnd != nullptr && (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);

    HWND hWndTop = hWnd;
    for (HWND hWndUp = hWnd; hWndUp != nullptr; hWndUp = ::GetParent(hWndUp))
        hWndTop = hWndUp;

    if (pParent == nullptr && hWnd != nullptr)
        hWnd = ::GetLastActivePopup(hWnd);

    // The caller wants the top level disabled while its box is up (message boxes).
    if (pWndTop != nullptr)
    {
        if (hWndTop != nullptr && ::IsWindowEnabled(hWndTop) && hWndTop != hWnd)
        {
            *pWndTop = hWndTop;
            ::EnableWindow(hWndTop, FALSE);
        }
        else
        {
            *pWndTop = nullptr;
        }
    }
    return FromHandle(hWnd);
}

HWND AFXAPI AfxGetParentOwner(HWND hWnd)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd != nullptr && pWnd->m_hWndOwner != nullptr)
        return pWnd->m_hWndOwner;
    if (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD)
        return ::GetParent(hWnd);
    return ::GetWindow(hWnd, GW_OWNER);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;  // no validation rules exist that could fail
}

void CWnd::DoDataExchange(CDataExchange*) {}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return AfxShowMessageBox(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

namespace
{
BOOL IsDropDownComboBox(HWND hWnd)
{
    wchar_t className[16] = {};
    ::GetClassNameW(hWnd, className, 16);
    return ::lstrcmpiW(className, L"ComboBox") == 0 &&
           (::GetWindowLongPtrW(hWnd, GWL_STYLE) & 0x0F) == CBS_DROPDOWN;
}
}

BOOL PASCAL CWnd::GrayCtlColor(HDC hDC, HWND hWnd, UINT nCtlColor, HBRUSH hbrGray, COLORREF clrText)
{
    if (hDC == nullptr || hbrGray == nullptr)
        return FALSE;
    if (nCtlColor == CTLCOLOR_EDIT || nCtlColor == CTLCOLOR_MSGBOX || nCtlColor == CTLCOLOR_SCROLLBAR)
        return FALSE;
    // For lists only the strip between a drop-down combo box's edit and its button.
    if (nCtlColor == CTLCOLOR_LISTBOX && !IsDropDownComboBox(hWnd))
        return FALSE;
    LOGBRUSH logBrush = {};
    ::GetObjectW(hbrGray, sizeof(logBrush), &logBrush);
    ::SetBkColor(hDC, logBrush.lbColor);
    ::SetTextColor(hDC, clrText);
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// Base handlers: the default procedure does the work.

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseLeave() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnStyleChanged(int, LPSTYLESTRUCT) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }

BOOL CWnd::OnNcActivate(BOOL bActive)
{
    if (m_nFlags & WF_STAYACTIVE)
        bActive = TRUE;
    if (!IsWindowEnabled())
        bActive = FALSE;
    return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, bActive, 0));
}
