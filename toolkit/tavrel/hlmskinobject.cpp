#include "hlmskinobject.h"

#include "hlmskinmanager.h"
#include "hlmskinmanagerapihook.h"

const UINT WM_TAVREL_QUERYSTATE = ::RegisterWindowMessageW(L"WM_TAVREL_QUERYSTATE");
const UINT WM_TAVREL_UPDATESTATE = ::RegisterWindowMessageW(L"WM_TAVREL_UPDATESTATE");

namespace
{
// Procedures at or above this address count as the program's own (Windows 9x only).
const ULONG_PTR kApplicationAddressLimit = 0x70000000;

// Runs a handler of a skin object; an exception must not cross the system's frames.
template <typename Handler>
BOOL RunHandler(Handler handler)
{
    try
    {
        return handler();
    }
    catch (CException* e)
    {
        AfxReportUncaughtException(e);
    }
    catch (...)
    {
        TRACE(L"Warning: an exception left a skin object's handler.\n");
    }
    return FALSE;
}
}

// ---------------------------------------------------------------------------------------
// Descriptors

CHLMSkinObject::DEFWINDOW_DESCRIPTIOR CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::WindowProc(UINT message)
{
    DEFWINDOW_DESCRIPTIOR descriptor;
    descriptor.nMessage = message;
    return descriptor;
}

CHLMSkinObject::DEFWINDOW_DESCRIPTIOR CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::CallWindowProc(
    UINT message, PFN_CALLWINDOWPROC function, WNDPROC windowProc)
{
    DEFWINDOW_DESCRIPTIOR descriptor;
    descriptor.nType = DEFPROC_CALLWINDOWPROC;
    descriptor.pfnCallWindowProc = function;
    descriptor.pfnWndProcParam = windowProc;
    descriptor.nMessage = message;
    return descriptor;
}

CHLMSkinObject::DEFWINDOW_DESCRIPTIOR CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::DefProc(
    UINT message, int type, WNDPROC function)
{
    ASSERT(type == DEFPROC_DEFWINDOWPROC || type == DEFPROC_DEFMDICHILDPROC ||
           type == DEFPROC_DEFDLGPROC);
    DEFWINDOW_DESCRIPTIOR descriptor;
    descriptor.nType = type;
    descriptor.pfnDefProc = function;
    descriptor.nMessage = message;
    return descriptor;
}

CHLMSkinObject::DEFWINDOW_DESCRIPTIOR CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::DefFrameProc(
    UINT message, PFN_DEFFRAMEPROC function, HWND mdiClient)
{
    DEFWINDOW_DESCRIPTIOR descriptor;
    descriptor.nType = DEFPROC_DEFFRAMEPROC;
    descriptor.pfnDefFrameProc = function;
    descriptor.hWndMDIClient = mdiClient;
    descriptor.nMessage = message;
    return descriptor;
}

// ---------------------------------------------------------------------------------------
// The object

CHLMSkinObject::CHLMSkinObject()
    : m_pfnSavedWndProc(nullptr),
      m_pManager(nullptr),
      m_bWindowsForms(FALSE),
      m_nAddressLimit(kApplicationAddressLimit),
      m_bOptedOut(FALSE),
      m_bUnicode(FALSE)
{
    m_descriptors.reserve(10);
}

CHLMSkinObject::~CHLMSkinObject()
{
    // The object is in no handle map: the window destructor must leave the window alone.
    m_hWnd = nullptr;
}

void CHLMSkinObject::OnFinalRelease()
{
    delete this;
}

WNDPROC* CHLMSkinObject::GetSuperWndProcAddr()
{
    return &m_pfnSavedWndProc;
}

CHLMSkinManagerMetrics* CHLMSkinObject::GetMetrics() const
{
    return m_pManager != nullptr ? m_pManager->GetMetrics() : nullptr;
}

COLORREF CHLMSkinObject::GetColor(int nIndex) const
{
    CHLMSkinManagerMetrics* metrics = GetMetrics();
    return metrics != nullptr ? metrics->GetColor(nIndex) : ::GetSysColor(nIndex);
}

CHLMSkinManagerClass* CHLMSkinObject::GetSkinClass() const
{
    if (m_pManager == nullptr || m_strClassName.IsEmpty())
        return nullptr;
    return m_pManager->GetSkinClass(m_strClassName);
}

BOOL CHLMSkinObject::IsSkinEnabled() const
{
    return !m_bOptedOut && m_hWnd != nullptr && m_pManager != nullptr && m_pManager->IsEnabled();
}

void CHLMSkinObject::OnSkinStateChanged(BOOL /*bPreviousEnabled*/, BOOL /*bEnabled*/)
{
    RefreshMetrics();
}

void CHLMSkinObject::RefreshMetrics()
{
}

void CHLMSkinObject::OnHookAttached(LPCREATESTRUCT /*lpCreateStruct*/, BOOL /*bAutomatic*/)
{
    // Only windows of framework objects are asked: nothing else can know the message.
    m_bOptedOut = CWnd::FromHandlePermanent(m_hWnd) != nullptr && AskOptedOut();
    RefreshMetrics();
}

void CHLMSkinObject::OnHookDetached(BOOL /*bAutomatic*/)
{
}

BOOL CHLMSkinObject::AskOptedOut()
{
    return ::SendMessageW(m_hWnd, WM_TAVREL_QUERYSTATE, 0, 0) != 0;
}

BOOL CHLMSkinObject::OnHookMessage(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult)
{
    if (IsMessageExcluded(message) || IsDefWindowProcMessage(message))
        return FALSE;
    return OnWndMsg(message, wParam, lParam, &lResult);
}

BOOL CHLMSkinObject::OnHookDefWindowProc(UINT message, WPARAM& wParam, LPARAM& lParam,
                                         LRESULT& lResult)
{
    if (IsMessageExcluded(message))
        return FALSE;
    if (message == WM_TAVREL_QUERYSTATE)
    {
        lResult = 0;
        return TRUE;
    }
    return OnWndMsg(message, wParam, lParam, &lResult);
}

BOOL CHLMSkinObject::IsDefWindowProcMessage(UINT message)
{
    if (message == WM_TIMER)
        return FALSE;  // timers are always handled in the skin window procedure
    if (m_nAddressLimit == 0)
        return FALSE;  // a system procedure never calls the replaced default procedures
    if (m_pManager == nullptr || !m_pManager->IsWin9x())
        return TRUE;
    const ULONG_PTR address = reinterpret_cast<ULONG_PTR>(m_pfnSavedWndProc);
    return address < m_nAddressLimit || m_pfnSavedWndProc == AfxGetAfxWndProc();
}

BOOL CHLMSkinObject::IsMessageExcluded(UINT message)
{
    switch (message)
    {
    case WM_ACTIVATE:
    case WM_SETCURSOR:
    case WM_NOTIFY:
    case WM_COMMAND:
        return TRUE;
    default:
        break;
    }
    if (message == WM_TAVREL_UPDATESTATE)
        m_bOptedOut = AskOptedOut();
    return FALSE;
}

void CHLMSkinObject::SubclassWindowProc(HWND hWnd, LPCREATESTRUCT lpCreateStruct, BOOL bAutomatic)
{
    m_hWnd = hWnd;
    m_bUnicode = ::IsWindowUnicode(hWnd);
    if (m_bUnicode)
        m_pfnSavedWndProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    else
        m_pfnSavedWndProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    if (!m_bWindowsForms)
    {
        WNDPROC skinProc = &CHLMSkinObject::SkinWindowProc;
        const LONG_PTR value = reinterpret_cast<LONG_PTR>(skinProc);
        if (m_bUnicode)
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, value);
        else
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, value);
    }
    if (IsSystemWindowProcAddress(m_pfnSavedWndProc))
        m_nAddressLimit = 0;
    OnHookAttached(lpCreateStruct, bAutomatic);
}

void CHLMSkinObject::RestoreWindowProc(BOOL bAutomatic)
{
    if (!m_bWindowsForms && m_hWnd != nullptr && ::IsWindow(m_hWnd))
    {
        WNDPROC skinProc = &CHLMSkinObject::SkinWindowProc;
        const LONG_PTR skinValue = reinterpret_cast<LONG_PTR>(skinProc);
        const LONG_PTR savedValue = reinterpret_cast<LONG_PTR>(m_pfnSavedWndProc);
        if (m_bUnicode)
        {
            if (::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == skinValue)
                ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, savedValue);
        }
        else if (::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == skinValue)
        {
            ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, savedValue);
        }
    }
    OnHookDetached(bAutomatic);
}

void CHLMSkinObject::TrackMouseLeave()
{
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
    ::TrackMouseEvent(&track);
}

LRESULT CALLBACK CHLMSkinObject::SkinWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CHLMSkinManager* manager = ::GetSkinManager();
    CHLMSkinObject* object = manager->FindSkinObject(hWnd);
    if (object == nullptr)
        return 0;
    const WNDPROC savedProc = object->m_pfnSavedWndProc;

    if (!manager->IsEnabled())
    {
        if (message == WM_NCDESTROY)
            manager->DetachSkinObject(hWnd, TRUE);
        return ::CallWindowProcW(savedProc, hWnd, message, wParam, lParam);
    }

    CCurrentMessageScope scope(AfxGetThreadState(), hWnd, message, wParam, lParam);
    LRESULT result = 0;
    BOOL handled = FALSE;
    if (message == WM_NCDESTROY)
    {
        manager->DetachSkinObject(hWnd, TRUE);
    }
    else if (!object->m_bOptedOut || message == WM_TAVREL_UPDATESTATE)
    {
        // The pushed descriptor holds a reference: the object outlives a detach inside.
        object->PushDefWindowProc(DEFWINDOW_DESCRIPTIOR::WindowProc(message));
        handled = RunHandler([&] { return object->OnHookMessage(message, wParam, lParam, result); });
        object->PopDefWindowProc();
    }
    if (!handled)
        result = CallOriginalWindowProc(savedProc, hWnd, message, wParam, lParam);
    return result;
}

LRESULT CHLMSkinObject::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    DEFWINDOW_DESCRIPTIOR descriptor;
    {
        ScopedSectionLock lock(m_lockDescriptors);
        if (!m_descriptors.empty())
            descriptor = m_descriptors.back();
    }
    switch (descriptor.nType)
    {
    case DEFPROC_WINDOWPROC:
        return ::CallWindowProcW(m_pfnSavedWndProc, m_hWnd, message, wParam, lParam);
    case DEFPROC_CALLWINDOWPROC:
        ASSERT(descriptor.pfnCallWindowProc != nullptr && descriptor.pfnWndProcParam != nullptr);
        return descriptor.pfnCallWindowProc(descriptor.pfnWndProcParam, m_hWnd, message, wParam,
                                            lParam);
    case DEFPROC_DEFWINDOWPROC:
    case DEFPROC_DEFMDICHILDPROC:
    case DEFPROC_DEFDLGPROC:
        ASSERT(descriptor.pfnDefProc != nullptr);
        return descriptor.pfnDefProc(m_hWnd, message, wParam, lParam);
    case DEFPROC_DEFFRAMEPROC:
        ASSERT(descriptor.pfnDefFrameProc != nullptr);
        return descriptor.pfnDefFrameProc(m_hWnd, descriptor.hWndMDIClient, message, wParam, lParam);
    default:
        return 0;
    }
}

BOOL CHLMSkinObject::HandleDefWindowProc(const DEFWINDOW_DESCRIPTIOR& descriptor, WPARAM& wParam,
                                         LPARAM& lParam, LRESULT& lResult)
{
    PushDefWindowProc(descriptor);
    const UINT message = descriptor.nMessage;
    const BOOL handled = RunHandler([&] { return OnHookDefWindowProc(message, wParam, lParam, lResult); });
    PopDefWindowProc();
    return handled;
}

LRESULT CHLMSkinObject::CallDefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    PushDefWindowProc(DEFWINDOW_DESCRIPTIOR::WindowProc(message));
    LRESULT result = DefWindowProc(message, wParam, lParam);
    PopDefWindowProc();
    return result;
}

void CHLMSkinObject::PushDefWindowProc(const DEFWINDOW_DESCRIPTIOR& descriptor)
{
    InternalAddRef();
    ScopedSectionLock lock(m_lockDescriptors);
    m_descriptors.push_back(descriptor);
}

void CHLMSkinObject::PopDefWindowProc()
{
    {
        ScopedSectionLock lock(m_lockDescriptors);
        if (!m_descriptors.empty())
            m_descriptors.pop_back();
    }
    InternalRelease();
}

UINT CHLMSkinObject::GetCurrentDefMessage()
{
    ScopedSectionLock lock(m_lockDescriptors);
    return m_descriptors.empty() ? 0 : m_descriptors.back().nMessage;
}

LRESULT CallOriginalWindowProc(WNDPROC pfnWndProc, HWND hWnd, UINT message, WPARAM wParam,
                               LPARAM lParam)
{
    return CallWindowProcOriginal(pfnWndProc, hWnd, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// Paint DC

CHLMSkinObjectPaintDC::CHLMSkinObjectPaintDC(CHLMSkinObject* pObject)
    : m_hWnd(pObject->m_hWnd), m_ps(), m_bBeginPaint(FALSE)
{
    ASSERT(::IsWindow(m_hWnd));
    const WPARAM wParam = AfxGetThreadState()->m_lastSentMsg.wParam;
    if (wParam != 0)
    {
        Attach(reinterpret_cast<HDC>(wParam));
        return;
    }
    HDC hdc = ::BeginPaint(m_hWnd, &m_ps);
    if (hdc == nullptr)
        AfxThrowResourceException();
    m_bBeginPaint = TRUE;
    Attach(hdc);
}

CHLMSkinObjectPaintDC::~CHLMSkinObjectPaintDC()
{
    ASSERT(::IsWindow(m_hWnd));
    if (m_bBeginPaint)
        ::EndPaint(m_hWnd, &m_ps);
    Detach();
}
