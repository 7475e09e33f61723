// The visual-styles wrapper: late lookup, theme handle passing, failure values, following
// the module handle that the skin engine answers with.
#include <gtest/gtest.h>

#include "childrun.h"
#include "common/hlmwinthemewrapper.h"

#include <windows.h>

namespace
{
// Stand-ins for library functions, recording how they were called.
const HTHEME kFakeTheme = reinterpret_cast<HTHEME>(static_cast<ULONG_PTR>(0x5150));
int g_closeCount = 0;
HTHEME g_closedTheme = nullptr;
HTHEME g_colorTheme = nullptr;
int g_colorProperty = 0;
const wchar_t* g_openedClass = nullptr;

HTHEME WINAPI FakeOpenThemeData(HWND, LPCWSTR classList)
{
    g_openedClass = classList;
    return kFakeTheme;
}

HRESULT WINAPI FakeCloseThemeData(HTHEME theme)
{
    ++g_closeCount;
    g_closedTheme = theme;
    return S_OK;
}

HRESULT WINAPI FakeGetThemeColor(HTHEME theme, int, int, int property, COLORREF* color)
{
    g_colorTheme = theme;
    g_colorProperty = property;
    *color = RGB(1, 2, 3);
    return S_OK;
}

BOOL WINAPI FakeIsAppThemed() { return TRUE; }
BOOL WINAPI FakeIsThemeActive() { return TRUE; }

void UseFakeTheme(CHLMWinThemeWrapper& wrapper)
{
    wrapper.CreatePrivateFunctionTable();
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotOpenThemeData, FakeOpenThemeData);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotCloseThemeData, FakeCloseThemeData);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotGetThemeColor, FakeGetThemeColor);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotIsAppThemed, FakeIsAppThemed);
}
}

TEST(CHLMWinThemeWrapper, PassesTheOpenThemeAndClosesItExactlyOnce)
{
    g_closeCount = 0;
    {
        CHLMWinThemeWrapper wrapper;
        UseFakeTheme(wrapper);
        EXPECT_FALSE(wrapper.IsAppThemed()) << "no theme open yet";
        wrapper.OpenThemeData(nullptr, L"TREEVIEW");
        ASSERT_TRUE(wrapper.IsThemeOpen());
        EXPECT_STREQ(L"TREEVIEW", g_openedClass);
        EXPECT_TRUE(wrapper.IsAppThemed());

        COLORREF color = 0;
        EXPECT_EQ(S_OK, wrapper.GetThemeColor(0, 0, 3801, &color));
        EXPECT_EQ(RGB(1, 2, 3), color);
        EXPECT_EQ(kFakeTheme, g_colorTheme);
        EXPECT_EQ(3801, g_colorProperty);

        wrapper.OpenThemeData(nullptr, L"BUTTON");  // closes the first one
        EXPECT_EQ(1, g_closeCount);
        wrapper.CloseThemeData();
        EXPECT_EQ(2, g_closeCount);
        EXPECT_EQ(kFakeTheme, g_closedTheme);
        wrapper.CloseThemeData();
        EXPECT_EQ(2, g_closeCount);

        wrapper.OpenThemeData(nullptr, L"TAB");
    }
    EXPECT_EQ(3, g_closeCount) << "the destructor closes the open theme";
}

TEST(CHLMWinThemeWrapper, SlotsBeyondTheTableAreIgnored)
{
    CHLMWinThemeWrapper wrapper;
    ThemeFunctionTable* table = wrapper.CreatePrivateFunctionTable();
    const ThemeFunctionTable before = *table;
    wrapper.SetFunctionTableEntry(52, FakeIsAppThemed);
    wrapper.SetFunctionTableEntry(-1, FakeIsAppThemed);
    wrapper.SetFunctionTableEntry(1000, FakeIsAppThemed);
    EXPECT_EQ(0, memcmp(&before, table, sizeof(before)));
}

TEST(CHLMWinThemeWrapper, TablesAreSharedPerFollowFlagUnlessPrivate)
{
    CHLMWinThemeWrapper plain1, plain2, follow1(TRUE), follow2(TRUE);
    EXPECT_EQ(plain1.GetFunctionTable(), plain2.GetFunctionTable());
    EXPECT_EQ(follow1.GetFunctionTable(), follow2.GetFunctionTable());
    EXPECT_NE(plain1.GetFunctionTable(), follow1.GetFunctionTable());
    ThemeFunctionTable* own = plain1.CreatePrivateFunctionTable();
    EXPECT_EQ(own, plain1.GetFunctionTable());
    EXPECT_NE(own, plain2.GetFunctionTable());
    EXPECT_EQ(GetModuleHandleW(L"uxtheme.dll"), own->hModule);
    EXPECT_NE(0u, own->dwComCtlVersion);
}

TEST(CHLMWinThemeWrapper, FollowingWrappersReloadTheirTableWhenTheModuleHandleChanges)
{
    CHLMWinThemeWrapper follow(TRUE);
    ThemeFunctionTable* table = follow.GetFunctionTable();
    HMODULE library = GetModuleHandleA("UXTHEME.DLL");
    ASSERT_NE(nullptr, library);

    // Same handle as before: the table keeps what it has.
    follow.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotIsThemeActive, FakeIsThemeActive);
    EXPECT_TRUE(follow.IsThemeActive());

    // As after a skin stopped answering with its own handle: the table is cleared and the
    // library's own functions are looked up again.
    table->hModule = HLM_UXTHEME_PSEUDO_HANDLE;
    EXPECT_FALSE(follow.IsThemeActive()) << "the test prefix runs with visual styles off";
    EXPECT_EQ(library, table->hModule);
    EXPECT_EQ(reinterpret_cast<FARPROC>(GetProcAddress(library, "IsThemeActive")),
              table->pfnFunctions[CHLMWinThemeWrapper::SlotIsThemeActive]);

    // A wrapper without the follow flag never re-reads the handle.
    CHLMWinThemeWrapper plain;
    ThemeFunctionTable* plainTable = plain.GetFunctionTable();
    const FARPROC saved = plainTable->pfnFunctions[CHLMWinThemeWrapper::SlotIsThemeActive];
    plain.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotIsThemeActive, FakeIsThemeActive);
    EXPECT_TRUE(plain.IsThemeActive());
    plain.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotIsThemeActive, saved);
}

TEST(CHLMWinThemeWrapper, AppThemeReadyNeedsAnActiveThemeAndVersionSixOrTheSkinsHandle)
{
    CHLMWinThemeWrapper wrapper;
    ThemeFunctionTable* table = wrapper.CreatePrivateFunctionTable();
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotIsThemeActive, FakeIsThemeActive);
    table->dwComCtlVersion = 0x50051;
    EXPECT_FALSE(wrapper.IsAppThemeReady());
    table->dwComCtlVersion = 0x60000;
    EXPECT_TRUE(wrapper.IsAppThemeReady());
    table->dwComCtlVersion = 0x50051;
    table->hModule = HLM_UXTHEME_PSEUDO_HANDLE;
    EXPECT_TRUE(wrapper.IsAppThemeReady());
    table->pfnFunctions[CHLMWinThemeWrapper::SlotIsThemeActive] = nullptr;  // looked up on the fake handle: missing
    EXPECT_FALSE(wrapper.IsAppThemeReady());
}

TEST(CHLMWinThemeWrapper, ClassicDesktopOpensNoTheme)
{
    // The test prefix runs with visual styles off.
    CHLMWinThemeWrapper wrapper(TRUE);
    EXPECT_FALSE(wrapper.IsThemeActive());
    wrapper.OpenThemeData(nullptr, L"BUTTON");
    EXPECT_FALSE(wrapper.IsThemeOpen());
    EXPECT_FALSE(wrapper.IsAppThemed());
}

// Run by WithoutTheLibraryEveryWrapperFailsSoftly with uxtheme switched off.
TEST(ThemeWrapperWithoutLibrary, DISABLED_FailureValues)
{
    ASSERT_EQ(nullptr, LoadLibraryW(L"uxtheme.dll"));
    CHLMWinThemeWrapper wrapper(TRUE);
    EXPECT_EQ(nullptr, wrapper.GetFunctionTable()->hModule);
    wrapper.OpenThemeData(nullptr, L"BUTTON");
    EXPECT_FALSE(wrapper.IsThemeOpen());
    EXPECT_FALSE(wrapper.IsThemeActive());
    EXPECT_FALSE(wrapper.IsAppThemed());
    wchar_t name[260] = L"", color[260] = L"", size[260] = L"";
    EXPECT_EQ(E_FAIL, wrapper.GetCurrentThemeName(name, 260, color, 260, size, 260));
    COLORREF value = 7;
    EXPECT_EQ(E_FAIL, wrapper.GetThemeColor(0, 0, 3801, &value));
    EXPECT_EQ(7u, value);
    EXPECT_EQ(0xFFFFFFFFu, wrapper.GetThemeSysColor(COLOR_WINDOW));
    EXPECT_EQ(0, wrapper.GetThemeSysSize(0));
    EXPECT_FALSE(wrapper.GetThemeSysBool(0));
    EXPECT_EQ(nullptr, wrapper.GetThemeSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(nullptr, wrapper.GetWindowTheme(GetDesktopWindow()));
    EXPECT_EQ(0u, wrapper.GetThemeAppProperties());
    EXPECT_EQ(0u, wrapper.ThemeAppProperties());
    EXPECT_EQ(E_FAIL, wrapper.SetWindowTheme(nullptr, L"", L""));
    EXPECT_EQ(E_FAIL, wrapper.EnableTheming(TRUE));
    EXPECT_EQ(E_FAIL, wrapper.DrawThemeBackground(nullptr, 1, 1, nullptr, nullptr));
    EXPECT_FALSE(wrapper.IsThemeDialogTextureEnabled(nullptr));
    EXPECT_FALSE(wrapper.IsAppThemeReady());
    wrapper.SetThemeAppProperties(0);
    wrapper.EndBufferedPaint(nullptr, FALSE);
}

TEST(CHLMWinThemeWrapper, WithoutTheLibraryEveryWrapperFailsSoftly)
{
    ChildRunOptions options;
    options.disabledDlls = L"uxtheme";
    const ChildRunResult child = RunTestInChild(L"ThemeWrapperWithoutLibrary.DISABLED_FailureValues", options);
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

// Run by FirstFollowingCallWorksWhenTheLibraryIsLoadedLate in a process that has not
// loaded the library yet.
TEST(ThemeWrapperLoadedLate, DISABLED_FirstFollowingCall)
{
    ASSERT_EQ(nullptr, GetModuleHandleW(L"uxtheme.dll")) << "loaded at start: nothing to test";
    CHLMWinThemeWrapper follow(TRUE);
    wchar_t name[260] = L"", color[260] = L"", size[260] = L"";
    follow.GetCurrentThemeName(name, 260, color, 260, size, 260);
    HMODULE library = GetModuleHandleW(L"uxtheme.dll");
    ASSERT_NE(nullptr, library);
    EXPECT_EQ(library, follow.GetFunctionTable()->hModule);
    EXPECT_EQ(reinterpret_cast<FARPROC>(GetProcAddress(library, "GetCurrentThemeName")),
              follow.GetFunctionTable()->pfnFunctions[CHLMWinThemeWrapper::SlotGetCurrentThemeName]);
}

TEST(CHLMWinThemeWrapper, FirstFollowingCallWorksWhenTheLibraryIsLoadedLate)
{
    const ChildRunResult child = RunTestInChild(L"ThemeWrapperLoadedLate.DISABLED_FirstFollowingCall", {});
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

TEST(CHLMCompositionWrapper, AnswersWithoutComposition)
{
    CHLMCompositionWrapper composition;
    EXPECT_FALSE(composition.DwmIsCompositionEnabled());
    LRESULT result = 0;
    HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(composition.DwmDefWindowProc(window, WM_NCHITTEST, 0, 0, &result));
    POINT point = {12, 34};
    composition.LogicalToPhysicalPoint(window, &point);
    EXPECT_EQ(12, point.x);
    DestroyWindow(window);
}

// Run with dwmapi switched off.
TEST(CompositionWithoutLibrary, DISABLED_FailureValues)
{
    CHLMCompositionWrapper composition;
    LRESULT result = 0;
    EXPECT_FALSE(composition.DwmIsCompositionEnabled());
    EXPECT_EQ(FALSE, composition.DwmDefWindowProc(nullptr, WM_NCHITTEST, 0, 0, &result));
    EXPECT_EQ(E_FAIL, composition.DwmExtendFrameIntoClientArea(nullptr, 1, 2, 3, 4));
}

TEST(CHLMCompositionWrapper, WithoutTheLibraryFailsSoftly)
{
    ChildRunOptions options;
    options.disabledDlls = L"dwmapi";
    const ChildRunResult child = RunTestInChild(L"CompositionWithoutLibrary.DISABLED_FailureValues", options);
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}
