#include "hlmskinmanager.h"
#include "hlmskinmanagerapihook.h"
#include "hlmskinobjectframe.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>

TEST(SkinManager, MissingSkinFileFailsAndLeavesTheSkinOff)
{
    EXPECT_FALSE(GetSkinManager()->LoadSkin(L"Z:\\no\\such\\folder\\skin.skin"));
    EXPECT_FALSE(GetSkinManager()->IsEnabled());
}

namespace
{
// Through the program's own import slot, so that the call meets the skin's replacement.
[[gnu::noinline]] COLORREF SysColor(int index) { return ::GetSysColor(index); }

class SkinManagerOptionsTest : public ::testing::Test
{
protected:
    void Load() { ASSERT_TRUE(LoadTestSkin(&m_clean.manager)); }

    CleanSkinManagerScope m_clean;
};
}

TEST_F(SkinManagerOptionsTest, ApplyOptionsTakeEffectAtOnceOnALoadedSkin)
{
    const COLORREF systemFace = SysColor(COLOR_BTNFACE);
    Load();
    ASSERT_EQ(RGB(10, 20, 30), SysColor(COLOR_BTNFACE));  // the test skin's button face

    m_clean.manager.SetApplyOptions(HLM_SKINAPPLY_METRICS | HLM_SKINAPPLY_FRAME);
    EXPECT_EQ(systemFace, SysColor(COLOR_BTNFACE));
    m_clean.manager.SetApplyOptions(HLM_SKINAPPLY_METRICS | HLM_SKINAPPLY_FRAME | HLM_SKINAPPLY_COLORS);
    EXPECT_EQ(RGB(10, 20, 30), SysColor(COLOR_BTNFACE));

    m_clean.manager.RefreshSkin();
    EXPECT_TRUE(m_clean.manager.IsEnabled());
    EXPECT_EQ(RGB(10, 20, 30), SysColor(COLOR_BTNFACE));
}

TEST_F(SkinManagerOptionsTest, CurrentThemeNameIsTheFileLastOpened)
{
    Load();
    CString path, iniName;
    m_clean.manager.GetCurrentThemeName(path, iniName);
    EXPECT_EQ(CString(BesideTestProgram(L"testskin.skin").c_str()), path);
}

TEST_F(SkinManagerOptionsTest, WindowTreeMadeWithoutTheHookGetsObjectsOnce)
{
    RegisterWindowClass(L"QuilbrookTreeParent", ::DefWindowProcW);
    HWND parent = ::CreateWindowExW(0, L"QuilbrookTreeParent", L"", WS_POPUP, 0, 0, 50, 50, nullptr,
                                    nullptr, nullptr, nullptr);
    HWND child = ::CreateWindowExW(0, L"QuilbrookTreeParent", L"", WS_CHILD, 0, 0, 10, 10, parent,
                                   nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, child);
    // As if both were made before the hook: no objects.
    m_clean.manager.DetachSkinObject(child);
    m_clean.manager.DetachSkinObject(parent);
    ASSERT_EQ(nullptr, m_clean.manager.FindSkinObject(parent));

    m_clean.manager.HookWindowTree(parent);
    CHLMSkinObject* parentObject = m_clean.manager.FindSkinObject(parent);
    CHLMSkinObject* childObject = m_clean.manager.FindSkinObject(child);
    EXPECT_NE(nullptr, parentObject);
    EXPECT_NE(nullptr, childObject);

    m_clean.manager.HookWindowTree(parent);
    EXPECT_EQ(parentObject, m_clean.manager.FindSkinObject(parent));
    EXPECT_EQ(childObject, m_clean.manager.FindSkinObject(child));
    ::DestroyWindow(parent);
    EXPECT_EQ(nullptr, m_clean.manager.FindSkinObject(child));
}

TEST_F(SkinManagerOptionsTest, ThemeWrapperGivenTheSkinsFunctionsDrawsWithTheSkin)
{
    Load();
    CHLMWinThemeWrapper wrapper;
    CHLMSkinManagerApiHook::SetupThemeWrapper(wrapper);
    // The prefix runs without visual styles: only the skin's function says a theme is active.
    EXPECT_TRUE(wrapper.IsThemeActive());
    wrapper.OpenThemeData(nullptr, L"WINDOW");
    ASSERT_TRUE(wrapper.IsThemeOpen());
    EXPECT_NE(nullptr, m_clean.manager.LookupClass(wrapper.GetThemeHandle()));
    wrapper.CloseThemeData();
}

TEST_F(SkinManagerOptionsTest, WindowOptionsSetTheDialogTextureOfSkinnedWindowsOnly)
{
    Load();
    HWND window = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(ETDT_DISABLE, frame->GetDialogTexture());
    EXPECT_EQ(S_OK, m_clean.manager.SetWindowOption(window, ETDT_ENABLETAB));
    EXPECT_EQ(ETDT_ENABLETAB, frame->GetDialogTexture());
    EXPECT_EQ(S_OK, m_clean.manager.SetWindowOption(window, 42));
    EXPECT_EQ(42, frame->GetDialogTexture());

    m_clean.manager.DetachSkinObject(window);
    EXPECT_EQ(E_INVALIDARG, m_clean.manager.SetWindowOption(window, ETDT_ENABLE));
    EXPECT_EQ(E_INVALIDARG, m_clean.manager.SetWindowOption(nullptr, ETDT_ENABLE));
    ::DestroyWindow(window);
}
