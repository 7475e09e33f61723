#include "common/hlmsystemhelpers.h"

#include <cstring>
#include <cwchar>

// ---------------------------------------------------------------------------------------
// OsVersionInfo

namespace
{
// The running system's version, or null when the query fails.
const OSVERSIONINFOW* QuerySystemVersion(OSVERSIONINFOW& version)
{
    version = OSVERSIONINFOW();
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(&version) ? &version : nullptr;
#pragma GCC diagnostic pop
}
}

OsVersionInfo::OsVersionInfo() : OsVersionInfo(nullptr)
{
    OSVERSIONINFOW system;
    if (const OSVERSIONINFOW* version = QuerySystemVersion(system))
        *this = OsVersionInfo(version);
}

OsVersionInfo::OsVersionInfo(const OSVERSIONINFOW* version) : m_version(), m_known(version != nullptr)
{
    if (version)
        m_version = *version;
    m_version.dwOSVersionInfoSize = sizeof(m_version);
}

BOOL OsVersionInfo::IsVersionAtLeast(DWORD major, DWORD minor) const
{
    return m_version.dwMajorVersion > major ||
           (m_version.dwMajorVersion == major && m_version.dwMinorVersion >= minor);
}

BOOL OsVersionInfo::IsVersionEqual(DWORD major, DWORD minor) const
{
    return m_version.dwMajorVersion == major && m_version.dwMinorVersion == minor;
}

BOOL OsVersionInfo::IsPlatform(DWORD platform) const
{
    return m_known && m_version.dwPlatformId == platform;
}

BOOL OsVersionInfo::IsNTPlatformOrLater() const
{
    return m_known && m_version.dwPlatformId >= VER_PLATFORM_WIN32_NT;
}

BOOL OsVersionInfo::IsWin32s() const { return IsPlatform(VER_PLATFORM_WIN32s); }

BOOL OsVersionInfo::IsWin95() const
{
    return IsPlatform(VER_PLATFORM_WIN32_WINDOWS) && m_version.dwMajorVersion == 4 &&
           m_version.dwMinorVersion < 10;
}

BOOL OsVersionInfo::IsWin98() const
{
    return IsPlatform(VER_PLATFORM_WIN32_WINDOWS) && IsVersionEqual(4, 10);
}

BOOL OsVersionInfo::IsWin9x() const { return IsPlatform(VER_PLATFORM_WIN32_WINDOWS); }

BOOL OsVersionInfo::IsWinME() const
{
    return IsPlatform(VER_PLATFORM_WIN32_WINDOWS) && IsVersionEqual(4, 90);
}

BOOL OsVersionInfo::IsWinNT4() const
{
    return IsPlatform(VER_PLATFORM_WIN32_NT) && IsVersionEqual(4, 0);
}

BOOL OsVersionInfo::IsWin2K() const
{
    return IsPlatform(VER_PLATFORM_WIN32_NT) && IsVersionEqual(5, 0);
}

BOOL OsVersionInfo::IsWinXP() const
{
    return IsPlatform(VER_PLATFORM_WIN32_NT) && IsVersionEqual(5, 1);
}

BOOL OsVersionInfo::IsWin95OrLater() const
{
    return IsPlatform(VER_PLATFORM_WIN32_WINDOWS) && m_version.dwMajorVersion >= 4;
}

BOOL OsVersionInfo::IsWin98OrLater() const
{
    return IsPlatform(VER_PLATFORM_WIN32_WINDOWS) && IsVersionAtLeast(4, 10);
}

BOOL OsVersionInfo::IsWinMEOrLater() const
{
    return IsPlatform(VER_PLATFORM_WIN32_WINDOWS) && IsVersionAtLeast(4, 90);
}

BOOL OsVersionInfo::IsWinNT4OrLater() const
{
    return IsNTPlatformOrLater() && m_version.dwMajorVersion >= 4;
}

BOOL OsVersionInfo::IsWin2KOrLater() const
{
    return IsNTPlatformOrLater() && m_version.dwMajorVersion >= 5;
}

BOOL OsVersionInfo::IsWinXPOrLater() const
{
    return IsNTPlatformOrLater() && IsVersionAtLeast(5, 1);
}

BOOL OsVersionInfo::IsWinVistaOrLater() const
{
    return IsNTPlatformOrLater() && IsVersionAtLeast(6, 0);
}

BOOL OsVersionInfo::IsLayoutRTLSupported() const
{
    return IsWin2KOrLater() || GetSystemMetrics(SM_MIDEASTENABLED) != 0;
}

BOOL OsVersionInfo::IsXPOrLater() const { return IsWinXPOrLater(); }

const OsVersionInfo& GetOsVersionInfo()
{
    static const OsVersionInfo version;
    return version;
}

// ---------------------------------------------------------------------------------------
// CHLMModuleHandle

CHLMModuleHandle::CHLMModuleHandle() : m_module(nullptr), m_mode(ModeNone), m_versionInfo()
{
}

CHLMModuleHandle::CHLMModuleHandle(LPCWSTR moduleName) : CHLMModuleHandle()
{
    GetOrLoadModule(moduleName);
}

CHLMModuleHandle::~CHLMModuleHandle()
{
    const BOOL freed = FreeModule();
    ASSERT(freed);
}

BOOL CHLMModuleHandle::GetOrLoadModule(LPCWSTR moduleName)
{
    return FindLoadedModule(moduleName) || LoadModule(moduleName);
}

BOOL CHLMModuleHandle::FindLoadedModule(LPCWSTR moduleName)
{
    FreeModule();
    HMODULE module = GetModuleHandleW(moduleName);
    if (!module)
        return FALSE;
    Hold(module, ModeFound, moduleName);
    return TRUE;
}

BOOL CHLMModuleHandle::LoadModule(LPCWSTR moduleName)
{
    FreeModule();
    HMODULE module = LoadLibraryW(moduleName);
    if (!module)
        return FALSE;
    Hold(module, ModeLoaded, moduleName);
    return TRUE;
}

void CHLMModuleHandle::Hold(HMODULE module, Mode mode, LPCWSTR moduleName)
{
    m_module = module;
    m_mode = mode;
    m_name = moduleName;
}

BOOL CHLMModuleHandle::FreeModule()
{
    BOOL result = TRUE;
    if (m_module && m_mode == ModeLoaded)
        result = FreeLibrary(m_module);
    m_module = nullptr;
    m_mode = ModeNone;
    m_name.Empty();
    return result;
}

DWORD CHLMModuleHandle::GetVersion()
{
    if (m_versionInfo.cbSize == 0)
        QueryVersion();
    return m_versionInfo.dwMajorVersion << 16 | (m_versionInfo.dwMinorVersion & 0xFFFF);
}

void CHLMModuleHandle::QueryVersion()
{
    if (!m_module)
        return;  // asked again once a module is held
    m_versionInfo.cbSize = sizeof(m_versionInfo);
    DLLGETVERSIONPROC getVersion = nullptr;
    getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(::GetProcAddress(m_module, "DllGetVersion")));
    if (getVersion)
        getVersion(&m_versionInfo);
}

BOOL CHLMModuleHandle::LookUpExport(FARPROC& address, LPCSTR exportName, DWORD minimumVersion)
{
    if (!m_module)
        return FALSE;
    if (minimumVersion != 0)
    {
        const DWORD version = GetVersion();
        const bool older = HIWORD(version) < HIWORD(minimumVersion) ||
                           (HIWORD(version) == HIWORD(minimumVersion) &&
                            LOWORD(version) < LOWORD(minimumVersion));
        if (older)
            return FALSE;
    }
    address = ::GetProcAddress(m_module, exportName);
    return address != nullptr;
}

namespace
{
DWORD g_comCtlVersion = 0;
}

DWORD GetComCtlVersion()
{
    if (g_comCtlVersion == 0)
    {
        CHLMModuleHandle comctl(L"COMCTL32.DLL");
        g_comCtlVersion = comctl.GetVersion();
        if (g_comCtlVersion == 0)
            g_comCtlVersion = MAKELONG(0, 4);
    }
    return g_comCtlVersion;
}

DWORD SetComCtlVersion(DWORD version)
{
    const DWORD previous = GetComCtlVersion();
    g_comCtlVersion = version;
    return previous;
}

// ---------------------------------------------------------------------------------------
// MonitorInfoHelper

MonitorInfoHelper::MonitorInfoHelper()
    : m_getSystemMetrics(nullptr),
      m_monitorFromWindow(nullptr),
      m_monitorFromRect(nullptr),
      m_monitorFromPoint(nullptr),
      m_getMonitorInfo(nullptr)
{
    m_user32.GetOrLoadModule(L"User32.dll");
    if (!m_user32.GetHandle())
    {
        TRACE(_T("WARNING: Could not locate User32.dll.\n"));
        return;
    }
    const char* monitorInfoName =
        GetOsVersionInfo().IsWinNT4OrLater() ? "GetMonitorInfoW" : "GetMonitorInfoA";
    // All or nothing: a system with only some of them has no usable multi-monitor support.
    const bool complete = m_user32.GetProcAddress(m_getSystemMetrics, "GetSystemMetrics") &&
                          m_user32.GetProcAddress(m_monitorFromWindow, "MonitorFromWindow") &&
                          m_user32.GetProcAddress(m_monitorFromRect, "MonitorFromRect") &&
                          m_user32.GetProcAddress(m_monitorFromPoint, "MonitorFromPoint") &&
                          m_user32.GetProcAddress(m_getMonitorInfo, monitorInfoName);
    if (!complete)
    {
        m_getSystemMetrics = nullptr;
        m_monitorFromWindow = nullptr;
        m_monitorFromRect = nullptr;
        m_monitorFromPoint = nullptr;
        m_getMonitorInfo = nullptr;
    }
}

BOOL MonitorInfoHelper::GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) const
{
    if (!monitor || !m_getMonitorInfo || !info)
        return FALSE;
    info->cbSize = sizeof(MONITORINFO);
    return m_getMonitorInfo(monitor, info);
}

HMONITOR MonitorInfoHelper::MonitorOf(HWND window) const
{
    return m_monitorFromWindow ? m_monitorFromWindow(window, MONITOR_DEFAULTTONULL) : nullptr;
}

HMONITOR MonitorInfoHelper::MonitorOf(const POINT& point) const
{
    return m_monitorFromPoint ? m_monitorFromPoint(point, MONITOR_DEFAULTTONULL) : nullptr;
}

HMONITOR MonitorInfoHelper::MonitorOf(LPCRECT rect) const
{
    return m_monitorFromRect ? m_monitorFromRect(rect, MONITOR_DEFAULTTONULL) : nullptr;
}

CRect MonitorInfoHelper::GetWorkArea(HMONITOR monitor) const
{
    MONITORINFO info = {};
    if (GetMonitorInfo(monitor, &info))
        return info.rcWork;
    CRect workArea(0, 0, 0, 0);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    return workArea;
}

CRect MonitorInfoHelper::GetScreenArea(HMONITOR monitor) const
{
    MONITORINFO info = {};
    if (GetMonitorInfo(monitor, &info))
        return info.rcMonitor;
    return CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

CRect MonitorInfoHelper::GetWorkArea(HWND window) const { return GetWorkArea(MonitorOf(window)); }
CRect MonitorInfoHelper::GetWorkArea(const POINT& point) const { return GetWorkArea(MonitorOf(point)); }
CRect MonitorInfoHelper::GetWorkArea(LPCRECT rect) const { return GetWorkArea(MonitorOf(rect)); }

CRect MonitorInfoHelper::GetWorkArea(CWnd* window) const { return GetWorkArea(window->GetSafeHwnd()); }
CRect MonitorInfoHelper::GetScreenArea(CWnd* window) const { return GetScreenArea(window->GetSafeHwnd()); }

CRect MonitorInfoHelper::GetWorkArea() const
{
    POINT cursor = {};
    GetCursorPos(&cursor);
    return GetWorkArea(cursor);
}

CRect MonitorInfoHelper::GetScreenArea(HWND window) const { return GetScreenArea(MonitorOf(window)); }
CRect MonitorInfoHelper::GetScreenArea(const POINT& point) const { return GetScreenArea(MonitorOf(point)); }
CRect MonitorInfoHelper::GetScreenArea(LPCRECT rect) const { return GetScreenArea(MonitorOf(rect)); }

MonitorInfoHelper& GetMonitorInfoHelper()
{
    static MonitorInfoHelper helper;
    return helper;
}

// ---------------------------------------------------------------------------------------
// Other helpers

ULONG_PTR GetClassLongValue(HWND window, int index)
{
    return GetClassLongPtrW(window, index);
}

BOOL SafeMemoryCopy(void* destination, size_t destinationSize, const void* source, size_t count)
{
    if (count == 0)
        return TRUE;
    if (!destination || !source || count > destinationSize)
        return FALSE;
    memmove(destination, source, count);
    return TRUE;
}

BOOL SafeStringCopyN(wchar_t* destination, const wchar_t* source, size_t count)
{
    if (!destination || count == 0)
        return FALSE;
    if (!source)
    {
        destination[0] = L'\0';
        return FALSE;
    }
    const size_t length = wcsnlen(source, count);
    if (length >= count)
    {
        destination[0] = L'\0';
        return FALSE;
    }
    wmemcpy(destination, source, length + 1);
    return TRUE;
}

const wchar_t* FindSubstringW(const wchar_t* text, const wchar_t* pattern)
{
    if (!text || !pattern)
        return nullptr;
    return wcsstr(text, pattern);
}

BOOL FileExists(LPCWSTR path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace
{
// TRUE when size bytes at address lie in committed, readable memory, all of it reserved
// together with allocationBase when one is given.
BOOL IsReadableRange(const void* address, size_t size, const void* allocationBase)
{
    const DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                            PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const BYTE* start = static_cast<const BYTE*>(address);
    while (size > 0)
    {
        MEMORY_BASIC_INFORMATION information = {};
        if (VirtualQuery(start, &information, sizeof(information)) == 0 || information.State != MEM_COMMIT ||
            (information.Protect & PAGE_GUARD) != 0 || (information.Protect & kReadable) == 0 ||
            (allocationBase != nullptr && information.AllocationBase != allocationBase))
            return FALSE;
        const BYTE* regionEnd = static_cast<const BYTE*>(information.BaseAddress) + information.RegionSize;
        const size_t inRegion = static_cast<size_t>(regionEnd - start);
        if (inRegion >= size)
            return TRUE;
        size -= inRegion;
        start = regionEnd;
    }
    return TRUE;
}
}

BOOL IsReadableMemory(const void* address, size_t size)
{
    return IsReadableRange(address, size, nullptr);
}

const BYTE* LockResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD& size)
{
    size = 0;
    HRSRC resource = module != nullptr ? FindResourceW(module, name, type) : nullptr;
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return nullptr;
    const DWORD count = SizeofResource(module, resource);
    // A module loaded as data has flags in the low bits of its handle.
    const void* base = reinterpret_cast<const void*>(reinterpret_cast<ULONG_PTR>(module) & ~static_cast<ULONG_PTR>(3));
    if (count == 0 || !IsReadableRange(bytes, count, base))
        return nullptr;
    size = count;
    return static_cast<const BYTE*>(bytes);
}

double PerformanceSeconds()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// ---------------------------------------------------------------------------------------
// CHLMAccessible

CHLMAccessible::CHLMAccessible()
    : m_xAccessible(this),
      m_pfnNotifyWinEvent(nullptr),
      m_pfnLresultFromObject(nullptr),
      m_pfnAccessibleObjectFromWindow(nullptr)
{
    if (m_user32.GetOrLoadModule(L"user32.dll"))
        m_user32.GetProcAddress(m_pfnNotifyWinEvent, "NotifyWinEvent", 0);
}

CHLMAccessible::~CHLMAccessible() = default;

HRESULT CHLMAccessible::GetAccessibleParent(IDispatch**) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleChildCount(LONG*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleChild(VARIANT, IDispatch**) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleName(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleValue(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleDescription(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleRole(VARIANT, VARIANT*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleState(VARIANT, VARIANT*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleHelp(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleHelpTopic(BSTR*, VARIANT, LONG*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleKeyboardShortcut(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleFocus(VARIANT*) { return S_FALSE; }
HRESULT CHLMAccessible::GetAccessibleSelection(VARIANT*) { return S_FALSE; }
HRESULT CHLMAccessible::GetAccessibleDefaultAction(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::AccessibleSelect(LONG, VARIANT) { return E_NOTIMPL; }
HRESULT CHLMAccessible::AccessibleLocation(LONG*, LONG*, LONG*, LONG*, VARIANT) { return E_NOTIMPL; }
HRESULT CHLMAccessible::AccessibleNavigate(LONG, VARIANT, VARIANT*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::AccessibleHitTest(LONG, LONG, VARIANT*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::AccessibleDoDefaultAction(VARIANT) { return E_NOTIMPL; }
HRESULT CHLMAccessible::PutAccessibleName(VARIANT, BSTR) { return E_NOTIMPL; }
HRESULT CHLMAccessible::PutAccessibleValue(VARIANT, BSTR) { return E_NOTIMPL; }

CCmdTarget* CHLMAccessible::GetCmdTarget()
{
    ASSERT(FALSE);  // a derived class names the command target that owns the interface
    return nullptr;
}

void CHLMAccessible::NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild)
{
    if (m_pfnNotifyWinEvent)
        m_pfnNotifyWinEvent(event, hwnd, idObject, idChild);
}

// oleacc is loaded by the first call that needs it and stays until this object goes.
template <class Function>
BOOL CHLMAccessible::LookUpOleacc(Function& function, LPCSTR exportName)
{
    if (!m_oleacc.GetHandle())
        m_oleacc.LoadModule(L"oleacc.dll");
    if (!function && m_oleacc.GetHandle())
        m_oleacc.GetProcAddress(function, exportName);
    return function != nullptr;
}

HRESULT CHLMAccessible::AccessibleObjectFromWindow(HWND hwnd, DWORD dwObjectID, REFIID riid, void** ppvObject)
{
    if (!LookUpOleacc(m_pfnAccessibleObjectFromWindow, "AccessibleObjectFromWindow"))
        return E_FAIL;
    return m_pfnAccessibleObjectFromWindow(hwnd, dwObjectID, riid, ppvObject);
}

LRESULT CHLMAccessible::LresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN punk)
{
    if (!LookUpOleacc(m_pfnLresultFromObject, "LresultFromObject"))
        return E_FAIL;
    return m_pfnLresultFromObject(riid, wParam, punk);
}

LONG CHLMAccessible::GetChildIndex(const VARIANT* pvar)
{
    // A client's VARIANT may refer to itself: the reference is followed one level only.
    for (int nLevel = 0; pvar && nLevel < 2; ++nLevel)
    {
        switch (pvar->vt)
        {
        case VT_EMPTY:
            return 0;
        case VT_I4:
            return pvar->lVal;
        case VT_I2:
            return pvar->iVal;
        case VT_I4 | VT_BYREF:
            return pvar->plVal ? *pvar->plVal : -1;
        case VT_I2 | VT_BYREF:
            return pvar->piVal ? *pvar->piVal : -1;
        case VT_VARIANT | VT_BYREF:
            pvar = pvar->pvarVal;
            continue;
        }
        return -1;
    }
    return -1;
}

// The interface object: IUnknown through the command target, no automation, and every
// accessibility method handed to the outer object unchanged.

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::QueryInterface(REFIID riid, void** ppvObject)
{
    CCmdTarget* pTarget = m_pOuter->GetCmdTarget();
    if (!pTarget)
    {
        if (ppvObject)
            *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    return static_cast<HRESULT>(pTarget->ExternalQueryInterface(&riid, ppvObject));
}

ULONG STDMETHODCALLTYPE CHLMAccessible::XAccessible::AddRef()
{
    CCmdTarget* pTarget = m_pOuter->GetCmdTarget();
    return pTarget ? pTarget->ExternalAddRef() : 0;
}

ULONG STDMETHODCALLTYPE CHLMAccessible::XAccessible::Release()
{
    CCmdTarget* pTarget = m_pOuter->GetCmdTarget();
    return pTarget ? pTarget->ExternalRelease() : 0;
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                                               EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accParent(IDispatch** ppdispParent)
{
    return m_pOuter->GetAccessibleParent(ppdispParent);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accChildCount(LONG* pcountChildren)
{
    return m_pOuter->GetAccessibleChildCount(pcountChildren);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accChild(VARIANT varChild, IDispatch** ppdispChild)
{
    return m_pOuter->GetAccessibleChild(varChild, ppdispChild);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accName(VARIANT varChild, BSTR* pszName)
{
    return m_pOuter->GetAccessibleName(varChild, pszName);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accValue(VARIANT varChild, BSTR* pszValue)
{
    return m_pOuter->GetAccessibleValue(varChild, pszValue);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accDescription(VARIANT varChild, BSTR* pszDescription)
{
    return m_pOuter->GetAccessibleDescription(varChild, pszDescription);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accRole(VARIANT varChild, VARIANT* pvarRole)
{
    return m_pOuter->GetAccessibleRole(varChild, pvarRole);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    return m_pOuter->GetAccessibleState(varChild, pvarState);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accHelp(VARIANT varChild, BSTR* pszHelp)
{
    return m_pOuter->GetAccessibleHelp(varChild, pszHelp);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild,
                                                                         LONG* pidTopic)
{
    return m_pOuter->GetAccessibleHelpTopic(pszHelpFile, varChild, pidTopic);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accKeyboardShortcut(VARIANT varChild,
                                                                                BSTR* pszKeyboardShortcut)
{
    return m_pOuter->GetAccessibleKeyboardShortcut(varChild, pszKeyboardShortcut);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accFocus(VARIANT* pvarChild)
{
    return m_pOuter->GetAccessibleFocus(pvarChild);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accSelection(VARIANT* pvarChildren)
{
    return m_pOuter->GetAccessibleSelection(pvarChildren);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accDefaultAction(VARIANT varChild,
                                                                             BSTR* pszDefaultAction)
{
    return m_pOuter->GetAccessibleDefaultAction(varChild, pszDefaultAction);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::accSelect(LONG flagsSelect, VARIANT varChild)
{
    return m_pOuter->AccessibleSelect(flagsSelect, varChild);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth,
                                                                    LONG* pcyHeight, VARIANT varChild)
{
    return m_pOuter->AccessibleLocation(pxLeft, pyTop, pcxWidth, pcyHeight, varChild);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::accNavigate(LONG navDir, VARIANT varStart,
                                                                    VARIANT* pvarEndUpAt)
{
    return m_pOuter->AccessibleNavigate(navDir, varStart, pvarEndUpAt);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarChild)
{
    return m_pOuter->AccessibleHitTest(xLeft, yTop, pvarChild);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::accDoDefaultAction(VARIANT varChild)
{
    return m_pOuter->AccessibleDoDefaultAction(varChild);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::put_accName(VARIANT varChild, BSTR szName)
{
    return m_pOuter->PutAccessibleName(varChild, szName);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::put_accValue(VARIANT varChild, BSTR szValue)
{
    return m_pOuter->PutAccessibleValue(varChild, szValue);
}
