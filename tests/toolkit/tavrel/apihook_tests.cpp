#include "hlmskinmanager.h"
#include "hlmskinmanagerapihook.h"
#include "hlmskinobject.h"
#include "hlmskinobjectclassmap.h"
#include "childrun.h"
#include "failingallocation.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace
{
// One import slot of a module: the DLL and function it imports, and where it is.
struct ImportSlot
{
    std::string dll;
    std::string function;
    ULONG_PTR* slot;
};

// Calls visit(DLL name, lookup entry, slot) for every import slot of a loaded module, read
// from its headers. The lookup entry is the slot's name or ordinal; 0 when the module keeps
// no lookup table.
template <class Visit>
void ForEachImportSlot(HMODULE module, Visit visit)
{
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return;
    for (const auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         descriptor->Name != 0; ++descriptor)
    {
        const char* dll = reinterpret_cast<const char*>(base + descriptor->Name);
        auto* address = reinterpret_cast<ULONG_PTR*>(const_cast<BYTE*>(base) + descriptor->FirstThunk);
        const auto* lookup = descriptor->OriginalFirstThunk != 0
                                 ? reinterpret_cast<const ULONG_PTR*>(base + descriptor->OriginalFirstThunk)
                                 : nullptr;
        for (size_t entry = 0; address[entry] != 0; ++entry)
            visit(dll, lookup != nullptr ? lookup[entry] : 0, &address[entry]);
    }
}

// The named imports of a loaded module, read from its headers.
std::vector<ImportSlot> ImportsOf(HMODULE module)
{
    std::vector<ImportSlot> slots;
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    ForEachImportSlot(module, [&](const char* dll, ULONG_PTR lookup, ULONG_PTR* slot) {
        if (lookup == 0 || (lookup & IMAGE_ORDINAL_FLAG) != 0)
            return;
        const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup);
        slots.push_back({dll, reinterpret_cast<const char*>(byName->Name), slot});
    });
    return slots;
}

// A copy of every import slot's value, to compare byte for byte.
std::vector<ULONG_PTR> SlotValues(const std::vector<ImportSlot>& slots)
{
    std::vector<ULONG_PTR> values;
    for (const ImportSlot& slot : slots)
        values.push_back(*slot.slot);
    return values;
}

// How many of a module's import slots hold the replacement of a hooked function.
int CountReplacedSlots(HMODULE module, int* missed)
{
    CHLMSkinManagerApiHook& hook = CHLMSkinManagerApiHook::GetInstance();
    int replaced = 0;
    for (const ImportSlot& slot : ImportsOf(module))
    {
        CHLMSkinManagerApiFunction* function = hook.FindHookedFunction(slot.dll.c_str(), slot.function.c_str());
        if (function == nullptr || function->m_nSystemAddress == 0)
            continue;
        if (*slot.slot == function->m_nReplacementAddress)
            ++replaced;
        else
            ++*missed;
    }
    return replaced;
}

// GCC keeps an import slot's value in a register across calls within one function, so a
// function that calls the same system function before and after a skin load calls it
// through these: each call reads the slot anew.
[[gnu::noinline]] DWORD SysColor(int index) { return ::GetSysColor(index); }
[[gnu::noinline]] int SystemMetric(int index) { return ::GetSystemMetrics(index); }
[[gnu::noinline]] BOOL AdjustRect(RECT* rect, DWORD style, DWORD exStyle)
{
    return ::AdjustWindowRectEx(rect, style, FALSE, exStyle);
}
// The middle of a raised edge drawn with its face filled, read back from a bitmap.
[[gnu::noinline]] COLORREF EdgeFace()
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 20, 20);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT rect = {0, 0, 20, 20};
    ::DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    const COLORREF face = ::GetPixel(dc, 10, 10);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return face;
}
[[gnu::noinline]] HMODULE ModuleHandleA(LPCSTR name) { return ::GetModuleHandleA(name); }
[[gnu::noinline]] HANDLE StartThread(LPTHREAD_START_ROUTINE start, LPVOID parameter)
{
    return ::CreateThread(nullptr, 0, start, parameter, 0, nullptr);
}

template <typename F>
ULONG_PTR Address(F function)
{
    return reinterpret_cast<ULONG_PTR>(function);
}

// A function looked up by name, as the type the caller knows it by.
template <typename F>
F LookUp(HMODULE module, LPCSTR name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

class ApiHookTest : public ::testing::Test
{
protected:
    void Load() { ASSERT_TRUE(LoadTestSkin(&m_clean.manager)); }
    void Unload() { m_clean.manager.LoadSkin(L"", L""); }

    CleanSkinManagerScope m_clean;
};
}

TEST_F(ApiHookTest, EveryReplacedSlotOfTheProgramAndComctlIsWrittenAndWrittenBack)
{
    HMODULE comctl = ::LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(nullptr, comctl);
    const HMODULE modules[] = {::GetModuleHandleW(nullptr), comctl};
    std::vector<std::vector<ImportSlot>> slots;
    std::vector<std::vector<ULONG_PTR>> before;
    for (HMODULE module : modules)
    {
        slots.push_back(ImportsOf(module));
        before.push_back(SlotValues(slots.back()));
    }

    Load();
    for (HMODULE module : modules)
    {
        int missed = 0;
        const int replaced = CountReplacedSlots(module, &missed);
        EXPECT_GT(replaced, 0);
        EXPECT_EQ(0, missed);
        std::printf("replaced slots in module %p: %d\n", static_cast<void*>(module), replaced);
    }
    Unload();
    EXPECT_FALSE(CHLMSkinManagerApiHook::GetInstance().IsInstalled());
    for (size_t index = 0; index < slots.size(); ++index)
    {
        const std::vector<ULONG_PTR> after = SlotValues(slots[index]);
        ASSERT_EQ(before[index].size(), after.size());
        EXPECT_EQ(0, std::memcmp(before[index].data(), after.data(), after.size() * sizeof(ULONG_PTR)));
    }
}

TEST_F(ApiHookTest, SystemColoursAndMetricsFollowTheSkinWhileItIsLoaded)
{
    const DWORD systemFace = SysColor(COLOR_BTNFACE);
    const int systemCaption = SystemMetric(SM_CYCAPTION);
    Load();
    // The test skin: BtnFace 10 20 30, caption bar 20 (+1 for the border line), scroll bar height 21.
    EXPECT_EQ(RGB(10, 20, 30), SysColor(COLOR_BTNFACE));
    EXPECT_EQ(21, SystemMetric(SM_CYCAPTION));
    EXPECT_EQ(21, SystemMetric(SM_CYHSCROLL));

    // The skin's colour brushes survive DeleteObject.
    HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
    LOGBRUSH logBrush = {};
    ASSERT_EQ(static_cast<int>(sizeof(logBrush)), ::GetObjectW(face, sizeof(logBrush), &logBrush));
    EXPECT_EQ(RGB(10, 20, 30), logBrush.lbColor);
    EXPECT_FALSE(::DeleteObject(face));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), ::GetObjectType(face));

    Unload();
    EXPECT_EQ(systemFace, SysColor(COLOR_BTNFACE));
    EXPECT_EQ(systemCaption, SystemMetric(SM_CYCAPTION));
}

TEST_F(ApiHookTest, TheVisualStylesLibraryIsAnsweredByTheEngineThroughItsPseudoHandle)
{
    Load();
    for (const char* name : {"UxTheme.dll", "UXTHEME.DLL", "uxtheme.dll"})
        EXPECT_EQ(HLM_UXTHEME_PSEUDO_HANDLE, ModuleHandleA(name)) << name;
    const decltype(&::OpenThemeData) replacement = &CHLMSkinManagerApiHook::OnHookOpenThemeData;
    EXPECT_EQ(Address(replacement), Address(::GetProcAddress(HLM_UXTHEME_PSEUDO_HANDLE, "OpenThemeData")));
    EXPECT_EQ(nullptr, ::GetProcAddress(HLM_UXTHEME_PSEUDO_HANDLE, "DrawThemeText"));

    // The real library still gives its real functions.
    HMODULE real = ::LoadLibraryW(L"uxtheme.dll");
    ASSERT_NE(nullptr, real);
    FARPROC realOpen = ::GetProcAddress(real, "OpenThemeData");
    EXPECT_NE(nullptr, realOpen);
    EXPECT_NE(Address(replacement), Address(realOpen));

    // Other modules' replaced functions are handed out as replacements.
    const decltype(&::GetSysColor) getSysColor = &CHLMSkinManagerApiHook::OnHookGetSysColor;
    EXPECT_EQ(Address(getSysColor), Address(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetSysColor")));

    // The theme functions answer for the skin's classes.
    auto openTheme = LookUp<decltype(&::OpenThemeData)>(HLM_UXTHEME_PSEUDO_HANDLE, "OpenThemeData");
    auto themeColor = LookUp<decltype(&::GetThemeColor)>(HLM_UXTHEME_PSEUDO_HANDLE, "GetThemeColor");
    HTHEME button = openTheme(nullptr, L"Button");
    ASSERT_NE(nullptr, button);
    COLORREF color = 0;
    EXPECT_EQ(S_OK, themeColor(button, 1, 2, 3803, &color));  // PUSHBUTTON, HOT, TEXTCOLOR
    EXPECT_EQ(RGB(70, 80, 90), color);
    EXPECT_EQ(E_FAIL, themeColor(reinterpret_cast<HTHEME>(&color), 1, 2, 3803, &color));

    Unload();
    EXPECT_NE(HLM_UXTHEME_PSEUDO_HANDLE, ModuleHandleA("UxTheme.dll"));
    // A replacement handed out earlier forwards to the system.
    EXPECT_EQ(nullptr, openTheme(nullptr, L"Button"));
}

namespace
{
class CMarkObject : public CHLMSkinObject
{
    DECLARE_DYNCREATE(CMarkObject)
};

IMPLEMENT_DYNCREATE(CMarkObject, CWnd)

LRESULT CALLBACK PlainProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

DWORD WINAPI CreateMarkedWindow(LPVOID parameter)
{
    HWND hWnd = ::CreateWindowExW(0, L"ThreadMarkWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr);
    *static_cast<BOOL*>(parameter) = dynamic_cast<CMarkObject*>(GetSkinManager()->FindSkinObject(hWnd).Get()) != nullptr;
    ::DestroyWindow(hWnd);
    return 0;
}
}

TEST_F(ApiHookTest, AThreadStartedWhileTheSkinIsLoadedHasTheCreationHook)
{
    RegisterWindowClass(L"ThreadMarkWindow", &PlainProc);
    m_clean.manager.GetClassMap()->AddClass(L"ThreadMarkWindow", new CHLMSkinObjectClassInfo(RUNTIME_CLASS(CMarkObject)));

    BOOL marked[2] = {FALSE, FALSE};
    for (int loaded = 0; loaded < 2; ++loaded)
    {
        if (loaded)
            Load();
        LPTHREAD_START_ROUTINE start = &CreateMarkedWindow;
        HANDLE thread = StartThread(start, &marked[loaded]);
        ASSERT_NE(nullptr, thread);
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
    }
    EXPECT_FALSE(marked[0]);
    EXPECT_TRUE(marked[1]);
    m_clean.manager.GetClassMap()->RemoveClass(L"ThreadMarkWindow");
}


TEST_F(ApiHookTest, EdgesAndWindowRectanglesFollowTheSkin)
{
    const COLORREF systemFace = EdgeFace();
    const DWORD sizable = WS_OVERLAPPEDWINDOW;
    RECT systemRect = {100, 100, 300, 200};
    AdjustRect(&systemRect, sizable, 0);
    RECT systemMaximized = {100, 100, 300, 200};
    AdjustRect(&systemMaximized, sizable | WS_MAXIMIZE, 0);

    Load();
    EXPECT_EQ(RGB(10, 20, 30), EdgeFace());

    // A sizable frame grows by the skin's borders, whatever the system's are.
    const CRect borders = m_clean.manager.GetSchema()->GetFrameBorders(sizable, 0);
    RECT rect = {100, 100, 300, 200};
    EXPECT_TRUE(AdjustRect(&rect, sizable, 0));
    EXPECT_EQ(CRect(100 - borders.left, 100 - borders.top, 300 + borders.right, 200 + borders.bottom),
              CRect(rect));
    // Maximized: the system's rectangle, with the skin's taller caption.
    const CHLMSkinManagerMetrics& metrics = *m_clean.manager.GetMetrics();
    RECT maximized = {100, 100, 300, 200};
    EXPECT_TRUE(AdjustRect(&maximized, sizable | WS_MAXIMIZE, 0));
    EXPECT_EQ(systemMaximized.top - (metrics.m_nCaptionHeight - metrics.m_nSystemCaptionHeight), maximized.top);
    EXPECT_EQ(systemMaximized.left, maximized.left);

    Unload();
    EXPECT_EQ(systemFace, EdgeFace());
    rect = {100, 100, 300, 200};
    AdjustRect(&rect, sizable, 0);
    EXPECT_EQ(CRect(systemRect), CRect(rect));
}
TEST_F(ApiHookTest, LoadingAndUnloadingLeavesNoObjectsBehind)
{
    // A skinned window lives through every cycle and is told each time.
    HWND window = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr);
    Load();
    Unload();
    const int gdiBefore = CountGdiObjects();
    const DWORD handlesBefore = CountHandles();
    const DWORD start = ::GetTickCount();
    const int kCycles = 100;
    for (int cycle = 0; cycle < kCycles; ++cycle)
    {
        Load();
        Unload();
    }
    std::printf("%d load/unload cycles: %lu ms; GDI objects %d -> %d; handles %lu -> %lu\n", kCycles,
                ::GetTickCount() - start, gdiBefore, CountGdiObjects(), handlesBefore, CountHandles());
    EXPECT_GT(gdiBefore, 0);
    EXPECT_GT(handlesBefore, 0u);
    EXPECT_EQ(gdiBefore, CountGdiObjects());
    EXPECT_EQ(handlesBefore, CountHandles());
    ::DestroyWindow(window);
}

// ---------------------------------------------------------------------------------------
// Windows 9x stubs, modules loaded as data, and failures while writing slots

TEST(PushStub, OnlyAPushAboveTheApplicationsAddressesIsSeenThrough)
{
    const BYTE stub[] = {0x68, 0x78, 0x56, 0x34, 0x12, 0xE9, 0, 0, 0, 0};
    const BYTE other[] = {0x90, 0x78, 0x56, 0x34, 0x12};
    void* reserved = ::VirtualAlloc(nullptr, 0x1000, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(nullptr, reserved);
    const ULONG_PTR atStub = Address(stub), atOther = Address(other), atReserved = Address(reserved);
    struct Case
    {
        const char* name;
        ULONG_PTR address, highest, expected;
    } const cases[] = {
        {"a push stub above the highest address", atStub, atStub - 1, 0x12345678},
        {"the same bytes at an application address", atStub, atStub, atStub},
        {"no push above the highest address", atOther, atOther - 1, atOther},
        {"memory that cannot be read", atReserved, atReserved - 1, atReserved},
        {"a real function of this system", Address(&::GetSysColor), GetHighestApplicationAddress(),
         Address(&::GetSysColor)},
    };
    for (const Case& row : cases)
        EXPECT_EQ(row.expected, UnwrapPushStub(row.address, row.highest)) << row.name;
    ::VirtualFree(reserved, 0, MEM_RELEASE);
    EXPECT_GT(GetHighestApplicationAddress(), Address(stub));
}

TEST(ApiHookWin9x, DISABLED_HooksAndRestoresTheProgramUnderWindows9x)
{
    CleanSkinManagerScope clean;
    ASSERT_TRUE(clean.manager.IsWin9x());
    HMODULE comctl = ::LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(nullptr, comctl);
    const HMODULE program = ::GetModuleHandleW(nullptr);
    const std::vector<ULONG_PTR> programBefore = SlotValues(ImportsOf(program));
    const std::vector<ULONG_PTR> comctlBefore = SlotValues(ImportsOf(comctl));

    ASSERT_TRUE(LoadTestSkin(&clean.manager));
    int missed = 0;
    EXPECT_GT(CountReplacedSlots(program, &missed), 0);
    EXPECT_EQ(0, missed);
    // Before Windows 2000 the common controls are the system's own: never rewritten.
    EXPECT_EQ(comctlBefore, SlotValues(ImportsOf(comctl)));
    EXPECT_EQ(RGB(10, 20, 30), SysColor(COLOR_BTNFACE));
    // The saved system function is the real one, not a stub in front of it.
    EXPECT_EQ(Address(GetOriginalProcAddress(::GetModuleHandleW(L"user32.dll"), "GetSysColor")),
              GetOriginalFunction(8));
    clean.manager.LoadSkin(L"", L"");
    EXPECT_EQ(programBefore, SlotValues(ImportsOf(program)));
}

TEST(ApiHookWin9x, ProgramSlotsAreHookedAndRestoredUnderWindows9x)
{
    ChildRunOptions options;
    options.wineVersion = L"win98";
    const ChildRunResult child = RunTestInChild(L"ApiHookWin9x.DISABLED_HooksAndRestoresTheProgramUnderWindows9x", options);
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

namespace
{
// A library not yet in the process that imports replaced functions, or "" when every
// candidate is loaded already.
const wchar_t* UnloadedLibrary()
{
    for (const wchar_t* name : {L"comdlg32.dll", L"riched20.dll", L"oledlg.dll", L"msacm32.dll"})
    {
        if (::GetModuleHandleW(name) == nullptr)
            return name;
    }
    return L"";
}
}

TEST_F(ApiHookTest, AModuleLoadedAsDataIsLeftAlone)
{
    const wchar_t* name = UnloadedLibrary();
    ASSERT_STRNE(L"", name);
    Load();
    // Loaded past the replacement, the module keeps the system's functions.
    const auto systemLoad = reinterpret_cast<decltype(&::LoadLibraryW)>(GetOriginalFunction(1));
    ASSERT_NE(nullptr, systemLoad);
    HMODULE module = systemLoad(name);
    ASSERT_NE(nullptr, module);
    const auto loadEx = LookUp<decltype(&::LoadLibraryExW)>(::GetModuleHandleW(L"kernel32.dll"), "LoadLibraryExW");
    const auto load = LookUp<decltype(&::LoadLibraryW)>(::GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW");
    ASSERT_EQ(Address(&CHLMSkinManagerApiHook::OnHookLoadLibraryExW), Address(loadEx));

    // Asked for as data, the loaded image is handed out again: it stays as it is.
    HMODULE asData = loadEx(name, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, asData);
    int missed = 0;
    EXPECT_EQ(0, CountReplacedSlots(module, &missed));
    EXPECT_GT(missed, 0);
    // Loaded as code, it follows the skin.
    EXPECT_EQ(module, load(name));
    missed = 0;
    EXPECT_GT(CountReplacedSlots(module, &missed), 0);
    EXPECT_EQ(0, missed);
    Unload();
    for (int count = 0; count < 3; ++count)
        ::FreeLibrary(module);
}

TEST_F(ApiHookTest, OptionsWithoutColoursLeaveTheColourAndVisualStylesSlotsAlone)
{
    const DWORD systemFace = SysColor(COLOR_BTNFACE);
    m_clean.manager.SetApplyOptions(HLM_SKINAPPLY_METRICS);
    Load();
    CHLMSkinManagerApiHook& hook = CHLMSkinManagerApiHook::GetInstance();
    // GetSysColor .. DrawFrameControl, the scroll bars, the visual styles, FillRect, DeleteObject.
    for (int slot : {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 38, 39})
        EXPECT_EQ(nullptr, hook.GetHookedFunction(slot)) << "slot " << slot;
    for (int slot : {0, 4, 5, 26, 27, 28, 40, 41})
        EXPECT_NE(nullptr, hook.GetHookedFunction(slot)) << "slot " << slot;
    EXPECT_EQ(systemFace, SysColor(COLOR_BTNFACE));
    EXPECT_EQ(::GetModuleHandleW(L"uxtheme.dll"), ModuleHandleA("UxTheme.dll"));
    EXPECT_EQ(nullptr, ::GetProcAddress(HLM_UXTHEME_PSEUDO_HANDLE, "OpenThemeData"));
    Unload();
    m_clean.manager.SetApplyOptions(HLM_SKINAPPLY_METRICS | HLM_SKINAPPLY_FRAME | HLM_SKINAPPLY_COLORS);
}

TEST_F(ApiHookTest, AllocationsFailingWhileHookingNeverLeaveTheRewriter)
{
    CHLMSkinManagerApiHook& hook = CHLMSkinManagerApiHook::GetInstance();
    const HMODULE program = ::GetModuleHandleW(nullptr);
    const std::vector<ULONG_PTR> before = SlotValues(ImportsOf(program));
    for (int index = 0;; ++index)
    {
        bool failed = false;
        {
            FailingAllocation failure(index);
            try
            {
                hook.InstallHooks();
            }
            catch (...)
            {
                ADD_FAILURE() << "an exception left the installation when allocation " << index << " failed";
            }
            failed = failure.Failed();
        }
        EXPECT_TRUE(hook.IsInstalled()) << index;
        hook.RemoveHooks();
        ASSERT_EQ(before, SlotValues(ImportsOf(program))) << "allocation " << index;
        if (!failed)
        {
            std::printf("installation with each of %d allocations failing\n", index);
            break;
        }
    }
}

namespace
{
// The values of every import slot of every module of the process, by module.
using ImportTables = std::map<HMODULE, std::vector<ULONG_PTR>>;

ImportTables ImportTablesOfEveryModule()
{
    ImportTables tables;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Module32FirstW(snapshot, &entry); more; more = ::Module32NextW(snapshot, &entry))
    {
        std::vector<ULONG_PTR>& values = tables[entry.hModule];
        ForEachImportSlot(entry.hModule, [&](const char*, ULONG_PTR, ULONG_PTR* slot) { values.push_back(*slot); });
    }
    ::CloseHandle(snapshot);
    return tables;
}

// The modules whose import slots differ between the two readings, by file name; "" when none.
std::string ChangedModules(const ImportTables& before, const ImportTables& after)
{
    std::string changed;
    for (const auto& module : after)
    {
        const auto earlier = before.find(module.first);
        if (earlier != before.end() && earlier->second == module.second)
            continue;
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(module.first, path, MAX_PATH);
        changed += std::string(changed.empty() ? "" : ", ") + path;
    }
    return changed;
}
}

TEST_F(ApiHookTest, HookFunctionAnswersTheNewRecordOrNull)
{
    // Without the colour options the colour slots are free.
    m_clean.manager.SetApplyOptions(HLM_SKINAPPLY_METRICS);
    Load();
    CHLMSkinManagerApiHook& hook = CHLMSkinManagerApiHook::GetInstance();
    const decltype(&::GetSysColor) replacement = &CHLMSkinManagerApiHook::OnHookGetSysColor;
    EXPECT_EQ(nullptr, hook.HookFunction(8, "USER32.DLL", "NoSuchFunction", Address(replacement)));
    EXPECT_EQ(nullptr, hook.HookFunction(9, "USER32.DLL", "GetSystemMetrics", Address(replacement)))
        << "hooked already";
    CHLMSkinManagerApiFunction* function = hook.HookFunction(8, "user32.dll", "GetSysColor", Address(replacement));
    ASSERT_NE(nullptr, function);
    EXPECT_EQ(function, hook.GetHookedFunction(8));
    EXPECT_EQ(Address(GetOriginalProcAddress(::GetModuleHandleW(L"user32.dll"), "GetSysColor")),
              function->m_nSystemAddress);
    EXPECT_EQ(RGB(10, 20, 30), SysColor(COLOR_BTNFACE));
    Unload();
    m_clean.manager.SetApplyOptions(HLM_SKINAPPLY_METRICS | HLM_SKINAPPLY_FRAME | HLM_SKINAPPLY_COLORS);
}

TEST_F(ApiHookTest, AMemoryExceptionAtAnyAllocationOfALoadLeavesNoImportSlotHalfRewritten)
{
    // The framework raises CMemoryException* when memory runs out. Each allocation of a load
    // fails in turn, until a load makes none that fails. A load that fails leaves every import
    // slot of every module as it was. The last few allocations come from the colour manager's
    // theme lookups once the skin is in place, which the theme wrapper answers as "no theme":
    // such a load succeeds, with every slot the skin replaces rewritten.
    const std::wstring skin = BesideTestProgram(L"testskin.skin");
    Load();
    const ImportTables applied = ImportTablesOfEveryModule();
    Unload();
    const ImportTables before = ImportTablesOfEveryModule();
    int index = 0, absorbed = 0;
    for (;; ++index)
    {
        BOOL loaded = FALSE;
        bool failed = false;
        {
            FailingAllocation failure(index, AllocationFailure::MemoryException);
            try
            {
                loaded = m_clean.manager.LoadSkin(skin.c_str(), L"");
            }
            catch (...)
            {
                ADD_FAILURE() << "an exception left LoadSkin when allocation " << index << " failed";
            }
            failed = failure.Failed();
        }
        if (!failed)
        {
            EXPECT_TRUE(loaded);
            break;
        }
        EXPECT_EQ(loaded, CHLMSkinManagerApiHook::GetInstance().IsInstalled()) << "allocation " << index;
        ASSERT_EQ("", ChangedModules(loaded ? applied : before, ImportTablesOfEveryModule()))
            << "import slots half rewritten when allocation " << index << " failed";
        if (loaded)
        {
            ++absorbed;
            Unload();
            ASSERT_EQ("", ChangedModules(before, ImportTablesOfEveryModule())) << "allocation " << index;
        }
    }
    std::printf("skin load with each of %d allocations failing: %d loads failed, %d succeeded\n", index,
                index - absorbed, absorbed);
    Unload();
    EXPECT_EQ("", ChangedModules(before, ImportTablesOfEveryModule()));
}

namespace
{
LONG g_nThreadsRun = 0;

DWORD WINAPI CountThreadRun(LPVOID)
{
    ::InterlockedIncrement(&g_nThreadsRun);
    return 0;
}
}

TEST_F(ApiHookTest, CreateThreadAnswersNullWithoutMemoryForItsStartRecord)
{
    Load();
    const decltype(&::CreateThread) createThread = &CHLMSkinManagerApiHook::OnHookCreateThread;
    const LPTHREAD_START_ROUTINE start = &CountThreadRun;
    g_nThreadsRun = 0;
    const int allocations = ExpectEveryAllocationFailureHandled(
        "the CreateThread replacement",
        [&] {
            ::SetLastError(ERROR_SUCCESS);
            HANDLE thread = createThread(nullptr, 0, start, nullptr, 0, nullptr);
            if (thread == nullptr)
            {
                EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), ::GetLastError());
                return false;
            }
            ::WaitForSingleObject(thread, INFINITE);
            ::CloseHandle(thread);
            return true;
        },
        AllocationFailure::MemoryException);
    EXPECT_GT(allocations, 0);
    // Only the call without a failing allocation started a thread.
    EXPECT_EQ(1, g_nThreadsRun);
    Unload();
}

namespace
{
// Changes page protections like the system, but fails to give a page back anything that
// cannot be written (refuseAll: fails every change).
bool g_refuseAll = false;

BOOL WINAPI ProtectWithoutRestoring(LPVOID address, SIZE_T size, DWORD protect, PDWORD previous)
{
    if (g_refuseAll || (protect != PAGE_READWRITE && protect != PAGE_EXECUTE_READWRITE))
        return FALSE;
    return ::VirtualProtect(address, size, protect, previous);
}

class ImportPageProtectorScope
{
public:
    explicit ImportPageProtectorScope(bool refuseAll)
    {
        g_refuseAll = refuseAll;
        decltype(&::VirtualProtect) protect = &ProtectWithoutRestoring;
        m_previous = SetImportPageProtector(protect);
    }
    ~ImportPageProtectorScope() { SetImportPageProtector(m_previous); }
    ImportPageProtectorScope(const ImportPageProtectorScope&) = delete;
    ImportPageProtectorScope& operator=(const ImportPageProtectorScope&) = delete;

private:
    decltype(&::VirtualProtect) m_previous;
};
}

TEST_F(ApiHookTest, ASlotWhosePageCannotBeProtectedAgainIsLeftUnchanged)
{
    const DWORD systemFace = SysColor(COLOR_BTNFACE);
    const HMODULE program = ::GetModuleHandleW(nullptr);
    const std::vector<ULONG_PTR> before = SlotValues(ImportsOf(program));
    {
        ImportPageProtectorScope protector(false);
        Load();
        EXPECT_EQ(before, SlotValues(ImportsOf(program)));
        EXPECT_EQ(systemFace, SysColor(COLOR_BTNFACE));
    }
    Unload();
}

TEST(ApiHookRestore, DISABLED_SlotsThatCannotBeWrittenBackKeepForwardingToTheSystem)
{
    CleanSkinManagerScope clean;
    const HMODULE program = ::GetModuleHandleW(nullptr);
    const std::vector<ULONG_PTR> before = SlotValues(ImportsOf(program));
    const DWORD systemFace = SysColor(COLOR_BTNFACE);
    ASSERT_TRUE(LoadTestSkin(&clean.manager));
    ASSERT_EQ(RGB(10, 20, 30), SysColor(COLOR_BTNFACE));
    {
        ImportPageProtectorScope protector(true);
        clean.manager.LoadSkin(L"", L"");
        // The program's slot still holds the replacement, which answers for the system.
        EXPECT_TRUE(CHLMSkinManagerApiHook::GetInstance().IsInstalled());
        EXPECT_EQ(systemFace, SysColor(COLOR_BTNFACE));
    }
    // The next removal writes them back.
    clean.manager.LoadSkin(L"", L"");
    EXPECT_FALSE(CHLMSkinManagerApiHook::GetInstance().IsInstalled());
    EXPECT_EQ(before, SlotValues(ImportsOf(program)));
    EXPECT_EQ(systemFace, SysColor(COLOR_BTNFACE));
}

TEST(ApiHookRestore, SlotsThatCannotBeWrittenBackKeepForwardingToTheSystem)
{
    const ChildRunResult child =
        RunTestInChild(L"ApiHookRestore.DISABLED_SlotsThatCannotBeWrittenBackKeepForwardingToTheSystem", {});
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}
