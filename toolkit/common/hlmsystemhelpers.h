// The lowest layer of the toolkit: the operating-system and common-controls versions,
// module handles, monitor queries with single-monitor fall-backs, critical sections held
// as members with a scoped lock, a handler that turns any exception into a failure, and a
// few bounded copy and search helpers.
#pragma once

#include <afxwin.h>
#include <shlwapi.h>

// winbase.h's obsolete FreeModule macro would rename the module handle's member.
#ifdef FreeModule
#undef FreeModule
#endif

// ---------------------------------------------------------------------------------------
// Operating-system version, read once per process.

class OsVersionInfo
{
public:
    // Reads the running system's version (GetVersionExW).
    OsVersionInfo();
    // A record of the given version, so that callers can ask about other systems; null
    // stands for a failed query.
    explicit OsVersionInfo(const OSVERSIONINFOW* version);

    BOOL IsVersionAtLeast(DWORD major, DWORD minor) const;
    BOOL IsVersionEqual(DWORD major, DWORD minor) const;

    BOOL IsWin32s() const;
    BOOL IsWin95() const;
    BOOL IsWin98() const;
    BOOL IsWin9x() const;
    BOOL IsWinME() const;
    BOOL IsWinNT4() const;
    BOOL IsWin2K() const;
    BOOL IsWinXP() const;
    BOOL IsWin95OrLater() const;
    BOOL IsWin98OrLater() const;
    BOOL IsWinMEOrLater() const;
    BOOL IsWinNT4OrLater() const;
    BOOL IsWin2KOrLater() const;
    BOOL IsWinXPOrLater() const;
    BOOL IsWinVistaOrLater() const;
    BOOL IsLayoutRTLSupported() const;
    BOOL IsXPOrLater() const;

    const OSVERSIONINFOW& GetVersionRecord() const { return m_osvi; }

private:
    BOOL IsPlatform(DWORD platform) const;
    BOOL IsNTPlatformOrLater() const;

    OSVERSIONINFOW m_osvi;
    // FALSE when the query failed: the zeros of the record then name no platform at all
    // (not Win32s, whose id is 0 too).
    BOOL m_bKnown;
};

const OsVersionInfo& GetOsVersionInfo();

// ---------------------------------------------------------------------------------------
// A module found by name or loaded; released only if this object loaded it.

class CHLMModuleHandle
{
public:
    CHLMModuleHandle();
    explicit CHLMModuleHandle(LPCWSTR moduleName);
    virtual ~CHLMModuleHandle();

    // A copy would free a loaded library twice.
    CHLMModuleHandle(const CHLMModuleHandle&) = delete;
    CHLMModuleHandle& operator=(const CHLMModuleHandle&) = delete;

    BOOL GetOrLoadModule(LPCWSTR moduleName);
    BOOL FindLoadedModule(LPCWSTR moduleName);
    BOOL LoadModule(LPCWSTR moduleName);
    BOOL FreeModule();

    HMODULE GetHandle() const { return m_hModule; }
    const CString& GetModuleName() const { return m_strName; }
    BOOL IsLoadedByUs() const { return m_nMode == ModeLoaded; }

    // major << 16 | minor from the module's DllGetVersion; 0 when it has none.
    DWORD GetVersion();

    // Looks up an export of the held module. With a non-zero minimum version, a module of a
    // lower version yields null and FALSE. With no module held the out pointer is untouched.
    template <class Function>
    BOOL GetProcAddress(Function& function, LPCSTR exportName, DWORD minimumVersion = 0)
    {
        FARPROC address = nullptr;
        if (!LookUpExport(address, exportName, minimumVersion))
        {
            if (m_hModule)
                function = nullptr;
            return FALSE;
        }
        function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
        return TRUE;
    }

private:
    enum Mode
    {
        ModeNone = 0,
        ModeFound = 1,
        ModeLoaded = 2
    };

    void QueryVersion();
    BOOL LookUpExport(FARPROC& address, LPCSTR exportName, DWORD minimumVersion);
    void Hold(HMODULE module, Mode mode, LPCWSTR moduleName);

    CString m_strName;
    HMODULE m_hModule;
    int m_nMode;
    DLLVERSIONINFO m_dvi;
};

// The version of "COMCTL32.DLL" as major << 16 | minor, computed once; 0x40000 (4.0) when
// it cannot be read.
DWORD GetComCtlVersion();
// Replaces the computed version (0 computes it again at the next call) and returns the one it
// replaces: the branches written for other common-controls versions run under it in tests.
DWORD SetComCtlVersion(DWORD version);

// ---------------------------------------------------------------------------------------
// Work area and screen area by monitor, window, rectangle or point. Systems without the
// monitor functions, and places on no monitor, get the primary screen's values.

class MonitorInfoHelper
{
public:
    MonitorInfoHelper();

    MonitorInfoHelper(const MonitorInfoHelper&) = delete;
    MonitorInfoHelper& operator=(const MonitorInfoHelper&) = delete;

    BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) const;

    CRect GetWorkArea(HMONITOR monitor) const;
    CRect GetWorkArea(HWND window) const;
    CRect GetWorkArea(const POINT& point) const;
    CRect GetWorkArea(LPCRECT rect) const;
    CRect GetWorkArea(CWnd* window) const;
    CRect GetWorkArea() const;  // the monitor under the cursor

    CRect GetScreenArea(HMONITOR monitor) const;
    CRect GetScreenArea(HWND window) const;
    CRect GetScreenArea(const POINT& point) const;
    CRect GetScreenArea(LPCRECT rect) const;
    CRect GetScreenArea(CWnd* window) const;

    BOOL HasMonitorFunctions() const { return m_pfnMonitorFromWindow != nullptr; }

private:
    HMONITOR MonitorOf(HWND window) const;
    HMONITOR MonitorOf(const POINT& point) const;
    HMONITOR MonitorOf(LPCRECT rect) const;

    using GetSystemMetricsFunction = int(WINAPI*)(int);
    using MonitorFromWindowFunction = HMONITOR(WINAPI*)(HWND, DWORD);
    using MonitorFromRectFunction = HMONITOR(WINAPI*)(LPCRECT, DWORD);
    using MonitorFromPointFunction = HMONITOR(WINAPI*)(POINT, DWORD);
    using GetMonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);

    GetSystemMetricsFunction m_pfnGetSystemMetrics;
    MonitorFromWindowFunction m_pfnMonitorFromWindow;
    MonitorFromRectFunction m_pfnMonitorFromRect;
    MonitorFromPointFunction m_pfnMonitorFromPoint;
    GetMonitorInfoFunction m_pfnGetMonitorInfo;
    CHLMModuleHandle m_moduleUser32;
};

MonitorInfoHelper& GetMonitorInfoHelper();

// ---------------------------------------------------------------------------------------
// Locks.

// A critical section held as a member of the object it guards.
class SyncSection
{
public:
    SyncSection() { InitializeCriticalSection(&m_sect); }
    ~SyncSection() { DeleteCriticalSection(&m_sect); }

    SyncSection(const SyncSection&) = delete;
    SyncSection& operator=(const SyncSection&) = delete;

    void Enter() { EnterCriticalSection(&m_sect); }
    void Leave() { LeaveCriticalSection(&m_sect); }

    CRITICAL_SECTION* GetSection() { return &m_sect; }

private:
    CRITICAL_SECTION m_sect;
};

// Holds a critical section for the lifetime of a scope.
class ScopedSectionLock
{
public:
    explicit ScopedSectionLock(CRITICAL_SECTION* section) : m_pSection(section) { Lock(); }
    explicit ScopedSectionLock(SyncSection& section) : ScopedSectionLock(section.GetSection()) {}
    ~ScopedSectionLock() { Unlock(); }

    ScopedSectionLock(const ScopedSectionLock&) = delete;
    ScopedSectionLock& operator=(const ScopedSectionLock&) = delete;

    void Lock() { EnterCriticalSection(m_pSection); }
    void Unlock() { LeaveCriticalSection(m_pSection); }

private:
    CRITICAL_SECTION* m_pSection;
};

// ---------------------------------------------------------------------------------------
// Other helpers.

// call's result, or failure when an exception leaves it: the framework's CException* (what
// running out of memory raises) is deleted, anything else dropped. *pRaised, when given, is
// set then.
template <typename Result, typename Call>
Result TurnExceptionInto(Result failure, Call call, BOOL* pRaised = nullptr)
{
    try
    {
        return call();
    }
    catch (CException* e)
    {
        e->Delete();
    }
    catch (...)
    {
    }
    if (pRaised != nullptr)
        *pRaised = TRUE;
    return failure;
}

// A class value of a window (styles, brushes, icons): pointer-sized.
ULONG_PTR GetClassLongValue(HWND window, int index);

// Copies count bytes when they fit into destinationSize; otherwise copies nothing and
// returns FALSE.
BOOL SafeMemoryCopy(void* destination, size_t destinationSize, const void* source, size_t count);

// Copies a wide string with its terminator into a buffer of count characters. A source that
// does not fit leaves an empty string (when there is room for one) and returns FALSE.
BOOL SafeStringCopyN(wchar_t* destination, const wchar_t* source, size_t count);

// The first occurrence of pattern in text, or null.
const wchar_t* FindSubstringW(const wchar_t* text, const wchar_t* pattern);

// TRUE when the path names an existing file that is no directory.
BOOL FileExists(LPCWSTR path);

// TRUE when size bytes at address lie in committed memory that can be read.
BOOL IsReadableMemory(const void* address, size_t size);

// The bytes of a module's resource and their count, or null when the resource is missing or
// its directory entry points anywhere but inside the module's own mapped image (a damaged or
// hostile file). The module may be loaded as a data file.
const BYTE* LockResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD& size);

// The performance counter in seconds: the clock of the benchmarks.
double PerformanceSeconds();
