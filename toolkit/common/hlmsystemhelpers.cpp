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

OsVersionInfo::OsVersionInfo(const OSVERSIONINFOW* version) : m_osvi(), m_bKnown(version != nullptr)
{
    if (version)
        m_osvi = *version;
    m_osvi.dwOSVersionInfoSize = sizeof(m_osvi);
}

BOOL OsVersionInfo::IsVersionAtLeast(DWORD major, DWORD minor) const
{
    return m_osvi.dwMajorVersion > major ||
           (m_osvi.dwMajorVersion == major && m_osvi.dwMinorVersion >= minor);
}

BOOL OsVersionInfo::IsVersionEqual(DWORD major, DWORD minor) const
{
    return m_osvi.dwMajorVersion == major && m_osvi.dwMinorVersion == minor;
}

BOOL OsVersionInfo::IsPlatform(DWORD platform) const
{
    return m_bKnown && m_osvi.dwPlatformId == platform;
}

BOOL OsVersionInfo::IsNTPlatformOrLater() const
{
    return m_bKnown && m_osvi.dwPlatformId >= VER_PLATFORM_WIN32_NT;
}

BOOL OsVersionInfo::IsWin32s() const { return IsPlatform(VER_PLATFORM_WIN32s); }

BOOL OsVersionInfo::IsWin95() const
{
    return IsPlatform(VER_PLATFORM_WIN32_WINDOWS) && m_osvi.dwMajorVersion == 4 &&
           m_osvi.dwMinorVersion < 10;
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
    return IsPlatform(VER_PLATFORM_WIN32_WINDOWS) && m_osvi.dwMajorVersion >= 4;
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
    return IsNTPlatformOrLater() && m_osvi.dwMajorVersion >= 4;
}

BOOL OsVersionInfo::IsWin2KOrLater() const
{
    return IsNTPlatformOrLater() && m_osvi.dwMajorVersion >= 5;
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

CHLMModuleHandle::CHLMModuleHandle() : m_hModule(nullptr), m_nMode(ModeNone), m_dvi()
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
    m_hModule = module;
    m_nMode = mode;
    m_strName = moduleName;
}

BOOL CHLMModuleHandle::FreeModule()
{
    BOOL result = TRUE;
    if (m_hModule && m_nMode == ModeLoaded)
        result = FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_nMode = ModeNone;
    m_strName.Empty();
    return result;
}

DWORD CHLMModuleHandle::GetVersion()
{
    if (m_dvi.cbSize == 0)
        QueryVersion();
    return m_dvi.dwMajorVersion << 16 | (m_dvi.dwMinorVersion & 0xFFFF);
}

void CHLMModuleHandle::QueryVersion()
{
    if (!m_hModule)
        return;  // asked again once a module is held
    m_dvi.cbSize = sizeof(m_dvi);
    DLLGETVERSIONPROC getVersion = nullptr;
    getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(::GetProcAddress(m_hModule, "DllGetVersion")));
    if (getVersion)
        getVersion(&m_dvi);
}

BOOL CHLMModuleHandle::LookUpExport(FARPROC& address, LPCSTR exportName, DWORD minimumVersion)
{
    if (!m_hModule)
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
    address = ::GetProcAddress(m_hModule, exportName);
    return address != nullptr;
}

namespace
{
DWORD g_dwComCtlVersion = 0;
}

DWORD GetComCtlVersion()
{
    if (g_dwComCtlVersion == 0)
    {
        CHLMModuleHandle comctl(L"COMCTL32.DLL");
        g_dwComCtlVersion = comctl.GetVersion();
        if (g_dwComCtlVersion == 0)
            g_dwComCtlVersion = MAKELONG(0, 4);
    }
    return g_dwComCtlVersion;
}

DWORD SetComCtlVersion(DWORD version)
{
    const DWORD previous = GetComCtlVersion();
    g_dwComCtlVersion = version;
    return previous;
}

// ---------------------------------------------------------------------------------------
// MonitorInfoHelper

MonitorInfoHelper::MonitorInfoHelper()
    : m_pfnGetSystemMetrics(nullptr),
      m_pfnMonitorFromWindow(nullptr),
      m_pfnMonitorFromRect(nullptr),
      m_pfnMonitorFromPoint(nullptr),
      m_pfnGetMonitorInfo(nullptr)
{
    m_moduleUser32.GetOrLoadModule(L"User32.dll");
    if (!m_moduleUser32.GetHandle())
    {
        TRACE(_T("WARNING: Could not locate User32.dll.\n"));
        return;
    }
    const char* monitorInfoName =
        GetOsVersionInfo().IsWinNT4OrLater() ? "GetMonitorInfoW" : "GetMonitorInfoA";
    // All or nothing: a system with only some of them has no usable multi-monitor support.
    const bool complete = m_moduleUser32.GetProcAddress(m_pfnGetSystemMetrics, "GetSystemMetrics") &&
                          m_moduleUser32.GetProcAddress(m_pfnMonitorFromWindow, "MonitorFromWindow") &&
                          m_moduleUser32.GetProcAddress(m_pfnMonitorFromRect, "MonitorFromRect") &&
                          m_moduleUser32.GetProcAddress(m_pfnMonitorFromPoint, "MonitorFromPoint") &&
                          m_moduleUser32.GetProcAddress(m_pfnGetMonitorInfo, monitorInfoName);
    if (!complete)
    {
        m_pfnGetSystemMetrics = nullptr;
        m_pfnMonitorFromWindow = nullptr;
        m_pfnMonitorFromRect = nullptr;
        m_pfnMonitorFromPoint = nullptr;
        m_pfnGetMonitorInfo = nullptr;
    }
}

BOOL MonitorInfoHelper::GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) const
{
    if (!monitor || !m_pfnGetMonitorInfo || !info)
        return FALSE;
    info->cbSize = sizeof(MONITORINFO);
    return m_pfnGetMonitorInfo(monitor, info);
}

HMONITOR MonitorInfoHelper::MonitorOf(HWND window) const
{
    return m_pfnMonitorFromWindow ? m_pfnMonitorFromWindow(window, MONITOR_DEFAULTTONULL) : nullptr;
}

HMONITOR MonitorInfoHelper::MonitorOf(const POINT& point) const
{
    return m_pfnMonitorFromPoint ? m_pfnMonitorFromPoint(point, MONITOR_DEFAULTTONULL) : nullptr;
}

HMONITOR MonitorInfoHelper::MonitorOf(LPCRECT rect) const
{
    return m_pfnMonitorFromRect ? m_pfnMonitorFromRect(rect, MONITOR_DEFAULTTONULL) : nullptr;
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
