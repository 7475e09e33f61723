#include "hlmskinobject.h"

#include "hlmskinmanager.h"
#include "hlmskinmanagerapihook.h"

#include <afxtls_.h>

#include <bitset>
#include <map>
#include <memory>
#include <vector>

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

// The procedure a window had before the skin's, kept with the window itself: a procedure
// that chains to ours (comctl32's subclassing) still reaches it when the object is gone, and
// even after the manager is.
const wchar_t kSavedProcProperty[] = L"HLMSkinSavedWindowProc";

// TRUE for a procedure that is code of a loaded module, not a handle that only
// CallWindowProc can resolve (the system hands those out for procedures of the other
// character set).
BOOL IsCallableProcedure(WNDPROC procedure)
{
    MEMORY_BASIC_INFORMATION information = {};
    if (procedure == nullptr ||
        ::VirtualQuery(reinterpret_cast<const void*>(procedure), &information, sizeof(information)) == 0)
        return FALSE;
    const DWORD kExecutable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                              PAGE_EXECUTE_WRITECOPY;
    return information.State == MEM_COMMIT && information.Type == MEM_IMAGE &&
           (information.Protect & kExecutable) != 0;
}

WNDPROC SavedProcOfWindow(HWND hWnd)
{
    return reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kSavedProcProperty));
}

// One pending default processing of the calling thread, with the object it belongs to.
struct DescriptorEntry
{
    CHLMSkinObject* pObject;
    CHLMSkinObject::DEFWINDOW_DESCRIPTIOR descriptor;
};

class CDescriptorStack : public CNoTrackObject
{
public:
    CDescriptorStack() { m_vecEntries.reserve(32); }

    // The newest entry of the object, or null.
    const DescriptorEntry* Newest(const CHLMSkinObject* object) const
    {
        for (auto entry = m_vecEntries.rbegin(); entry != m_vecEntries.rend(); ++entry)
        {
            if (entry->pObject == object)
                return &*entry;
        }
        return nullptr;
    }

    // Newest at the back; the storage is kept, so pushing allocates only when it grows.
    std::vector<DescriptorEntry> m_vecEntries;
};

CThreadLocal<CDescriptorStack> g_descriptorStack;
}

// ---------------------------------------------------------------------------------------
// Which messages a class's message map answers

// The messages below WM_USER that a message map (with its bases) has an entry for; the
// others are looked up in the map each time.
struct CHLMSkinMessageSet
{
    std::bitset<WM_USER> messages;
};

namespace
{
const CHLMSkinMessageSet* MessageSetOf(const AFX_MSGMAP* map)
{
    // Filled once per class, when its first object is attached.
    static SyncSection s_lock;
    static std::map<const AFX_MSGMAP*, std::unique_ptr<CHLMSkinMessageSet>> s_sets;
    ScopedSectionLock lock(s_lock);
    std::unique_ptr<CHLMSkinMessageSet>& set = s_sets[map];
    if (set == nullptr)
    {
        set.reset(new CHLMSkinMessageSet());
        for (const AFX_MSGMAP* base = map; base != nullptr;
             base = base->pfnGetBaseMap != nullptr ? base->pfnGetBaseMap() : nullptr)
        {
            for (const AFX_MSGMAP_ENTRY* entry = base->lpEntries; entry->nSig != AfxSig_end; ++entry)
            {
                if (entry->pnRegisteredMessage == nullptr && entry->nMessage < WM_USER)
                    set->messages.set(entry->nMessage);
            }
        }
        // The window's own dispatch answers these outside the map.
        set->messages.set(WM_COMMAND);
        set->messages.set(WM_NOTIFY);
    }
    return set.get();
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
      m_bUnicode(FALSE),
      m_bAttached(FALSE),
      m_bCallSavedDirectly(FALSE),
      m_pMessageSet(nullptr)
{
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
    return DispatchToMessageMap(message, wParam, lParam, lResult);
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
    return DispatchToMessageMap(message, wParam, lParam, lResult);
}

BOOL CHLMSkinObject::DispatchToMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    // Most messages have no entry: they skip the search through the class's map chain.
    if (message < WM_USER && m_pMessageSet != nullptr && !m_pMessageSet->messages.test(message) &&
        !IsHandledOutsideMap(message))
        return FALSE;
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
    m_pMessageSet = MessageSetOf(GetMessageMap());
    if (m_bUnicode)
        m_pfnSavedWndProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    else
        m_pfnSavedWndProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    if (!m_bWindowsForms)
    {
        if (const WNDPROC earlier = SavedProcOfWindow(hWnd))
        {
            // Skinned before, and a procedure that chains to ours stayed over it: ours is
            // still in the chain, so the object takes the procedure that was saved then.
            m_pfnSavedWndProc = earlier;
        }
        else
        {
            WNDPROC skinProc = &CHLMSkinObject::SkinWindowProc;
            const LONG_PTR value = reinterpret_cast<LONG_PTR>(skinProc);
            ::SetPropW(hWnd, kSavedProcProperty, reinterpret_cast<HANDLE>(m_pfnSavedWndProc));
            if (m_bUnicode)
                ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, value);
            else
                ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, value);
        }
    }
    if (IsSystemWindowProcAddress(m_pfnSavedWndProc))
        m_nAddressLimit = 0;
    // A Unicode window's own code is called straight: CallWindowProc costs as much again as
    // the rest of the skin's share of a message.
    m_bCallSavedDirectly = m_bUnicode && IsCallableProcedure(m_pfnSavedWndProc);
    OnHookAttached(lpCreateStruct, bAutomatic);
}

void CHLMSkinObject::RestoreWindowProc(BOOL bAutomatic)
{
    if (!m_bWindowsForms && m_hWnd != nullptr && ::IsWindow(m_hWnd))
    {
        WNDPROC skinProc = &CHLMSkinObject::SkinWindowProc;
        const LONG_PTR skinValue = reinterpret_cast<LONG_PTR>(skinProc);
        const LONG_PTR savedValue = reinterpret_cast<LONG_PTR>(m_pfnSavedWndProc);
        BOOL restored = FALSE;
        if (m_bUnicode)
        {
            if (::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == skinValue)
                restored = ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, savedValue) != 0;
        }
        else if (::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == skinValue)
        {
            restored = ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, savedValue) != 0;
        }
        // A procedure over ours still calls ours: the saved one stays with the window.
        if (restored)
            ::RemovePropW(m_hWnd, kSavedProcProperty);
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
    // Never made here: a message that arrives after the manager is gone finds none.
    CHLMSkinManager* manager = ::GetSkinManagerIfCreated();
    const CHLMSkinObjectRef object =
        manager != nullptr ? manager->FindSkinObject(hWnd) : CHLMSkinObjectRef();
    if (object == nullptr)
        return CallSavedWindowProc(hWnd, message, wParam, lParam);
    const WNDPROC savedProc = object->m_pfnSavedWndProc;

    if (!manager->IsEnabled())
    {
        if (message == WM_NCDESTROY)
            manager->DetachSkinObject(hWnd, TRUE);
        return CallOriginalWindowProc(savedProc, hWnd, message, wParam, lParam);
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
        object->PushDefWindowProc(DEFWINDOW_DESCRIPTIOR::WindowProc(message));
        handled = RunHandler([&] { return object->OnHookMessage(message, wParam, lParam, result); });
        object->PopDefWindowProc();
    }
    if (!handled)
    {
        // A descriptor without a message: the replaced default procedures find the object on
        // this thread's stack, and know the message is not the object's own default processing.
        object->PushDefWindowProc(DEFWINDOW_DESCRIPTIOR::WindowProc(0));
        result = object->m_bCallSavedDirectly
            ? savedProc(hWnd, message, wParam, lParam)
            : CallOriginalWindowProc(savedProc, hWnd, message, wParam, lParam);
        object->PopDefWindowProc();
    }
    return result;
}

LRESULT CHLMSkinObject::CallSavedWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC savedProc = SavedProcOfWindow(hWnd);
    if (savedProc == nullptr)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        ::RemovePropW(hWnd, kSavedProcProperty);
    return CallOriginalWindowProc(savedProc, hWnd, message, wParam, lParam);
}

LRESULT CHLMSkinObject::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    DEFWINDOW_DESCRIPTIOR descriptor;
    if (const CDescriptorStack* stack = g_descriptorStack.GetDataNA())
    {
        if (const DescriptorEntry* entry = stack->Newest(this))
            descriptor = entry->descriptor;
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
    g_descriptorStack.GetData()->m_vecEntries.push_back({this, descriptor});
}

void CHLMSkinObject::PopDefWindowProc()
{
    std::vector<DescriptorEntry>& entries = g_descriptorStack.GetData()->m_vecEntries;
    ASSERT(!entries.empty() && entries.back().pObject == this);
    if (entries.empty() || entries.back().pObject != this)
        return;  // no push of this object to match
    entries.pop_back();
    InternalRelease();
}

UINT CHLMSkinObject::GetCurrentDefMessage()
{
    const CDescriptorStack* stack = g_descriptorStack.GetDataNA();
    const DescriptorEntry* entry = stack != nullptr ? stack->Newest(this) : nullptr;
    return entry != nullptr ? entry->descriptor.nMessage : 0;
}

CHLMSkinObject* CHLMSkinObject::FindOnThreadStack(HWND hWnd)
{
    const CDescriptorStack* stack = g_descriptorStack.GetDataNA();
    if (stack == nullptr)
        return nullptr;
    for (auto entry = stack->m_vecEntries.rbegin(); entry != stack->m_vecEntries.rend(); ++entry)
    {
        if (entry->pObject->m_hWnd == hWnd)
            return entry->pObject->m_bAttached ? entry->pObject : nullptr;
    }
    return nullptr;
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
