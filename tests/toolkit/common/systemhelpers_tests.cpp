// Version predicates, module handles, monitor queries, locks and the bounded helpers.
#include <gtest/gtest.h>

#include "common/hlmsystemhelpers.h"
#include "childrun.h"
#include "testpaths.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <type_traits>

namespace
{
// The predicates in one fixed order, as a string of 0 and 1.
std::string PredicateBits(const OsVersionInfo& v)
{
    const BOOL answers[] = {v.IsWin32s(),       v.IsWin95(),         v.IsWin98(),
                            v.IsWin9x(),        v.IsWinME(),         v.IsWinNT4(),
                            v.IsWin2K(),        v.IsWinXP(),         v.IsWin95OrLater(),
                            v.IsWin98OrLater(), v.IsWinMEOrLater(),  v.IsWinNT4OrLater(),
                            v.IsWin2KOrLater(), v.IsWinXPOrLater(),  v.IsWinVistaOrLater(),
                            v.IsXPOrLater()};
    std::string bits;
    for (BOOL answer : answers)
        bits += answer ? '1' : '0';
    return bits;
}

OSVERSIONINFOW Version(DWORD platform, DWORD major, DWORD minor)
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwPlatformId = platform;
    version.dwMajorVersion = major;
    version.dwMinorVersion = minor;
    return version;
}

struct VersionCase
{
    const char* system;
    DWORD platform, major, minor;
    //                 32s 95 98 9x ME NT4 2K XP | 95+ 98+ ME+ NT4+ 2K+ XP+ Vista+ XP+
    const char* bits;
};

const VersionCase kVersionCases[] = {
    {"Win32s", 0, 3, 10, "1000000000000000"},
    {"Windows 95", 1, 4, 0, "0101000010000000"},
    {"Windows 98", 1, 4, 10, "0011000011000000"},
    {"Windows ME", 1, 4, 90, "0001100011100000"},
    {"Windows NT 4", 2, 4, 0, "0000010000010000"},
    {"Windows 2000", 2, 5, 0, "0000001000011000"},
    {"Windows XP", 2, 5, 1, "0000000100011101"},
    {"Windows 2003", 2, 5, 2, "0000000000011101"},
    {"Windows Vista", 2, 6, 0, "0000000000011111"},
    {"Windows 7", 2, 6, 1, "0000000000011111"},
};
}

TEST(OsVersionInfo, PredicatesAnswerForEachSystem)
{
    for (const VersionCase& row : kVersionCases)
    {
        const OSVERSIONINFOW version = Version(row.platform, row.major, row.minor);
        EXPECT_EQ(row.bits, PredicateBits(OsVersionInfo(&version))) << row.system;
    }
}

TEST(OsVersionInfo, FailedQueryNamesNoSystem)
{
    const OsVersionInfo unknown(nullptr);
    EXPECT_EQ("0000000000000000", PredicateBits(unknown));
    EXPECT_FALSE(unknown.IsWin32s());
}

TEST(OsVersionInfo, VersionComparisonsAreByMajorThenMinor)
{
    struct
    {
        DWORD major, minor;
        BOOL atLeast51;
    } rows[] = {{6, 0, TRUE}, {5, 2, TRUE}, {5, 1, TRUE}, {5, 0, FALSE}, {4, 90, FALSE}};
    for (const auto& row : rows)
    {
        const OSVERSIONINFOW version = Version(2, row.major, row.minor);
        const OsVersionInfo info(&version);
        EXPECT_EQ(row.atLeast51, info.IsVersionAtLeast(5, 1)) << row.major << "." << row.minor;
        EXPECT_EQ(row.major == 5 && row.minor == 1, !!info.IsVersionEqual(5, 1));
    }
}

TEST(OsVersionInfo, LayoutSupportFollowsWindows2000OrMiddleEastSystems)
{
    const OSVERSIONINFOW w2k = Version(2, 5, 0);
    EXPECT_TRUE(OsVersionInfo(&w2k).IsLayoutRTLSupported());
    const OSVERSIONINFOW w98 = Version(1, 4, 10);
    EXPECT_EQ(GetSystemMetrics(SM_MIDEASTENABLED) != 0, !!OsVersionInfo(&w98).IsLayoutRTLSupported());
}

TEST(OsVersionInfo, ProcessRecordIsTheSystemsVersionReadOnce)
{
    OSVERSIONINFOW system = {};
    system.dwOSVersionInfoSize = sizeof(system);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ASSERT_TRUE(GetVersionExW(&system));
#pragma GCC diagnostic pop
    const OsVersionInfo& record = GetOsVersionInfo();
    EXPECT_EQ(&record, &GetOsVersionInfo());
    EXPECT_EQ(system.dwMajorVersion, record.GetVersionRecord().dwMajorVersion);
    EXPECT_EQ(system.dwMinorVersion, record.GetVersionRecord().dwMinorVersion);
    EXPECT_EQ(system.dwPlatformId, record.GetVersionRecord().dwPlatformId);
    EXPECT_EQ(sizeof(OSVERSIONINFOW), record.GetVersionRecord().dwOSVersionInfoSize);
}

// Run by FakedSystemVersionsAnswerTheirRows in a copy of this program to which Wine gives
// another system version.
TEST(FakedVersionProbe, DISABLED_PrintPredicates)
{
    std::printf("PREDICATES=%s\n", PredicateBits(GetOsVersionInfo()).c_str());
}

namespace
{
std::string PredicatesUnderWineVersion(const wchar_t* wineVersion)
{
    ChildRunOptions options;
    options.wineVersion = wineVersion;
    const ChildRunResult child = RunTestInChild(L"FakedVersionProbe.DISABLED_PrintPredicates", options);
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
    return ChildReport(child, "PREDICATES");
}
}

TEST(OsVersionInfo, FakedSystemVersionsAnswerTheirRows)
{
    EXPECT_EQ("0000000100011101", PredicatesUnderWineVersion(L"winxp"));
    EXPECT_EQ("0011000011000000", PredicatesUnderWineVersion(L"win98"));
    EXPECT_EQ("0000001000011000", PredicatesUnderWineVersion(L"win2k"));
}

// ---------------------------------------------------------------------------------------

static_assert(!std::is_copy_constructible_v<CHLMModuleHandle>, "a copy would free the module twice");
static_assert(!std::is_copy_assignable_v<CHLMModuleHandle>, "a copy would free the module twice");

TEST(CHLMModuleHandle, LoadedModuleIsFreedAndFoundModuleStays)
{
    // cards.dll is a system library that nothing in the test program loads.
    ASSERT_EQ(nullptr, GetModuleHandleW(L"cards.dll"));
    {
        CHLMModuleHandle cards(L"cards.dll");
        ASSERT_NE(nullptr, cards.GetHandle());
        EXPECT_TRUE(cards.IsLoadedByUs());
        EXPECT_STREQ(L"cards.dll", cards.GetModuleName());
    }
    EXPECT_EQ(nullptr, GetModuleHandleW(L"cards.dll"));

    {
        CHLMModuleHandle kernel(L"kernel32.dll");
        EXPECT_EQ(GetModuleHandleW(L"kernel32.dll"), kernel.GetHandle());
        EXPECT_FALSE(kernel.IsLoadedByUs());
    }
    EXPECT_NE(nullptr, GetModuleHandleW(L"kernel32.dll"));
}

TEST(CHLMModuleHandle, EachFindOrLoadReleasesWhatWasHeld)
{
    CHLMModuleHandle handle(L"cards.dll");
    ASSERT_TRUE(handle.IsLoadedByUs());
    EXPECT_TRUE(handle.FindLoadedModule(L"kernel32.dll"));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"cards.dll"));

    EXPECT_FALSE(handle.FindLoadedModule(L"no-such-module.dll"));
    EXPECT_EQ(nullptr, handle.GetHandle());
    EXPECT_TRUE(handle.GetModuleName().IsEmpty());
    EXPECT_FALSE(handle.LoadModule(L"no-such-module.dll"));
    EXPECT_TRUE(handle.FreeModule());
}

TEST(CHLMModuleHandle, ExportLookupIsGatedByTheModuleVersion)
{
    CHLMModuleHandle comctl(L"comctl32.dll");
    const DWORD version = comctl.GetVersion();
    ASSERT_NE(0u, version);

    FARPROC function = reinterpret_cast<FARPROC>(1);
    EXPECT_FALSE(comctl.GetProcAddress(function, "InitCommonControlsEx", version + 1));
    EXPECT_EQ(nullptr, function);
    EXPECT_FALSE(comctl.GetProcAddress(function, "InitCommonControlsEx", version + 0x10000 - LOWORD(version)));
    EXPECT_EQ(nullptr, function);

    EXPECT_TRUE(comctl.GetProcAddress(function, "InitCommonControlsEx", version));
    EXPECT_EQ(::GetProcAddress(comctl.GetHandle(), "InitCommonControlsEx"), function);
    EXPECT_TRUE(comctl.GetProcAddress(function, "InitCommonControlsEx"));
    EXPECT_FALSE(comctl.GetProcAddress(function, "NoSuchExport"));
    EXPECT_EQ(nullptr, function);
}

TEST(CHLMModuleHandle, ModuleWithoutVersionExportFailsEveryGatedLookup)
{
    CHLMModuleHandle kernel(L"kernel32.dll");
    EXPECT_EQ(0u, kernel.GetVersion());
    FARPROC function = nullptr;
    EXPECT_FALSE(kernel.GetProcAddress(function, "GetTickCount", 0x10000));
    EXPECT_TRUE(kernel.GetProcAddress(function, "GetTickCount"));
}

TEST(CHLMModuleHandle, EmptyHandleLeavesTheOutPointerAlone)
{
    CHLMModuleHandle empty;
    FARPROC function = reinterpret_cast<FARPROC>(1);
    EXPECT_FALSE(empty.GetProcAddress(function, "GetTickCount"));
    EXPECT_EQ(reinterpret_cast<FARPROC>(1), function);
    EXPECT_EQ(0u, empty.GetVersion());

    // The version is asked for again once a module is held.
    ASSERT_TRUE(empty.GetOrLoadModule(L"comctl32.dll"));
    EXPECT_NE(0u, empty.GetVersion());
}

TEST(GetComCtlVersion, IsTheLibrarysVersionOrFourZero)
{
    CHLMModuleHandle comctl(L"COMCTL32.DLL");
    const DWORD expected = comctl.GetVersion() ? comctl.GetVersion() : 0x40000;
    EXPECT_EQ(expected, GetComCtlVersion());
    EXPECT_EQ(expected, GetComCtlVersion());
}

// ---------------------------------------------------------------------------------------

namespace
{
bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

RECT SystemWorkArea()
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

RECT PrimaryScreen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }
}

TEST(MonitorInfoHelper, AnswersForTheMonitorOrFallsBackToThePrimaryScreen)
{
    MonitorInfoHelper& helper = GetMonitorInfoHelper();
    ASSERT_TRUE(helper.HasMonitorFunctions());
    EXPECT_EQ(&helper, &GetMonitorInfoHelper());

    HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info = {};
    ASSERT_TRUE(helper.GetMonitorInfo(primary, &info));
    EXPECT_EQ(sizeof(MONITORINFO), info.cbSize);
    EXPECT_FALSE(helper.GetMonitorInfo(nullptr, &info));

    HWND onScreen = CreateWindowW(L"STATIC", L"", WS_POPUP, 10, 10, 50, 50, nullptr, nullptr, nullptr, nullptr);
    HWND offScreen = CreateWindowW(L"STATIC", L"", WS_POPUP, -6000, -6000, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(onScreen && offScreen);
    EXPECT_TRUE(SameRect(info.rcWork, helper.GetWorkArea(onScreen)));
    EXPECT_TRUE(SameRect(info.rcMonitor, helper.GetScreenArea(onScreen)));
    EXPECT_TRUE(SameRect(SystemWorkArea(), helper.GetWorkArea(offScreen)));
    EXPECT_TRUE(SameRect(PrimaryScreen(), helper.GetScreenArea(offScreen)));
    DestroyWindow(onScreen);
    DestroyWindow(offScreen);

    const RECT farAway = {-9000, -9000, -8000, -8000};
    EXPECT_TRUE(SameRect(SystemWorkArea(), helper.GetWorkArea(&farAway)));
    EXPECT_TRUE(SameRect(PrimaryScreen(), helper.GetScreenArea(&farAway)));
    EXPECT_TRUE(SameRect(PrimaryScreen(), helper.GetScreenArea(POINT{-9000, 5})));
    EXPECT_TRUE(SameRect(info.rcWork, helper.GetWorkArea(POINT{5, 5})));
    EXPECT_TRUE(SameRect(info.rcMonitor, helper.GetScreenArea(POINT{5, 5})));
    const RECT inside = {5, 5, 20, 20};
    EXPECT_TRUE(SameRect(info.rcWork, helper.GetWorkArea(&inside)));
    EXPECT_TRUE(SameRect(info.rcWork, helper.GetWorkArea()));
}

// ---------------------------------------------------------------------------------------

namespace
{
DWORD WINAPI TryEnter(void* section)
{
    auto* criticalSection = static_cast<CRITICAL_SECTION*>(section);
    if (!TryEnterCriticalSection(criticalSection))
        return 0;
    LeaveCriticalSection(criticalSection);
    return 1;
}

// Whether another thread could take the section now.
bool FreeForOtherThreads(CRITICAL_SECTION* section)
{
    HANDLE thread = CreateThread(nullptr, 0, TryEnter, section, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD entered = 0;
    GetExitCodeThread(thread, &entered);
    CloseHandle(thread);
    return entered == 1;
}
}

TEST(ScopedSectionLock, HoldsTheSectionForItsScopeAndIsReentrant)
{
    SyncSection section;
    {
        ScopedSectionLock lock(section);
        EXPECT_FALSE(FreeForOtherThreads(section.GetSection()));
        {
            ScopedSectionLock again(section.GetSection());  // the owner may lock again
            EXPECT_FALSE(FreeForOtherThreads(section.GetSection()));
        }
        EXPECT_FALSE(FreeForOtherThreads(section.GetSection()));
        lock.Unlock();
        EXPECT_TRUE(FreeForOtherThreads(section.GetSection()));
        lock.Lock();
        EXPECT_FALSE(FreeForOtherThreads(section.GetSection()));
    }
    EXPECT_TRUE(FreeForOtherThreads(section.GetSection()));

    section.Enter();
    EXPECT_FALSE(FreeForOtherThreads(section.GetSection()));
    section.Leave();
    EXPECT_TRUE(FreeForOtherThreads(section.GetSection()));
}

// ---------------------------------------------------------------------------------------

TEST(SafeStringCopyN, CopiesOnlyWhatFitsWithItsTerminator)
{
    struct
    {
        const wchar_t* source;
        size_t count;
        BOOL copied;
        const wchar_t* result;
    } rows[] = {
        {L"abc", 4, TRUE, L"abc"},
        {L"abc", 10, TRUE, L"abc"},
        {L"abcd", 4, FALSE, L""},
        {L"", 1, TRUE, L""},
    };
    for (const auto& row : rows)
    {
        wchar_t buffer[16];
        wmemset(buffer, L'#', 16);
        EXPECT_EQ(row.copied, SafeStringCopyN(buffer, row.source, row.count)) << row.source;
        EXPECT_STREQ(row.result, buffer);
        EXPECT_EQ(L'#', buffer[row.count]) << "wrote past the buffer";
    }
    wchar_t untouched[2] = {L'x', L'y'};
    EXPECT_FALSE(SafeStringCopyN(untouched, L"a", 0));
    EXPECT_EQ(L'x', untouched[0]);
}

TEST(SafeMemoryCopy, RefusesCopiesLargerThanTheDestination)
{
    char destination[4] = {'w', 'x', 'y', 'z'};
    EXPECT_FALSE(SafeMemoryCopy(destination, 3, "abcd", 4));
    EXPECT_EQ(0, memcmp(destination, "wxyz", 4));
    EXPECT_TRUE(SafeMemoryCopy(destination, 4, "abcd", 4));
    EXPECT_EQ(0, memcmp(destination, "abcd", 4));
    EXPECT_FALSE(SafeMemoryCopy(nullptr, 4, "abcd", 4));
    EXPECT_TRUE(SafeMemoryCopy(destination, 0, nullptr, 0));
}

TEST(FindSubstringW, FindsTheFirstOccurrence)
{
    const wchar_t* text = L"winxp.luna.kvstyles luna";
    EXPECT_EQ(text + 6, FindSubstringW(text, L"luna"));
    EXPECT_EQ(nullptr, FindSubstringW(text, L"aero"));
    EXPECT_EQ(text, FindSubstringW(text, L""));
}

TEST(FileExists, IsTrueForFilesOnly)
{
    const std::wstring folder = MakeTestFolder(L"fileexists");
    const std::wstring file = folder + L"\\a.txt";
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    CloseHandle(handle);
    EXPECT_TRUE(FileExists(file.c_str()));
    EXPECT_FALSE(FileExists(folder.c_str()));
    EXPECT_FALSE(FileExists((folder + L"\\missing.txt").c_str()));
}

TEST(GetClassLongValue, ReadsPointerSizedClassValues)
{
    HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(GetClassLongPtrW(window, GCLP_HCURSOR), GetClassLongValue(window, GCLP_HCURSOR));
    EXPECT_EQ(GetClassLongPtrW(window, GCL_STYLE), GetClassLongValue(window, GCL_STYLE));
    DestroyWindow(window);
}
