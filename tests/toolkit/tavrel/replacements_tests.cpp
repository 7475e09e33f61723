// The replacement system functions as a program reaches them: through GetProcAddress while a
// skin is loaded (the replaced GetProcAddress hands out the replacements), with the
// arguments callers really pass, null pointers among them.
#include "childrun.h"
#include "hlmskindrawtools.h"
#include "hlmskinmanager.h"
#include "hlmskinmanagerapihook.h"
#include "pixels.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace
{
template <typename F>
ULONG_PTR Address(F function)
{
    return reinterpret_cast<ULONG_PTR>(function);
}

// The function a program gets from GetProcAddress, as the type it knows it by.
template <typename F>
F Replaced(LPCWSTR module, LPCSTR name)
{
    HMODULE handle = module != nullptr ? ::GetModuleHandleW(module) : HLM_UXTHEME_PSEUDO_HANDLE;
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

#define HLM_REPLACED_USER32(name) Replaced<decltype(&::name)>(L"user32.dll", #name)
#define HLM_REPLACED_UXTHEME(name) Replaced<decltype(&::name)>(nullptr, #name)

// The system's own function saved in a slot, as its type.
template <typename F>
F SystemFunction(int slot)
{
    return reinterpret_cast<F>(GetOriginalFunction(slot));
}

class ReplacementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_clean.manager.LoadSkin(BesideTestProgram(L"testskin.skin").c_str(), L""));
    }

    CleanSkinManagerScope m_clean;
};

// One call with a null pointer where the caller may pass one, and the system's answer.
struct NullCase
{
    const char* name;
    std::function<LONG_PTR()> call;
    LONG_PTR expected;
};

std::vector<NullCase> NullCases()
{
    static TestSurface surface(8, 8);
    const HDC dc = surface.dc();
    auto theme = [] { return HLM_REPLACED_UXTHEME(OpenThemeData)(nullptr, L"Button"); };
    RECT clip = {0, 0, 4, 4};
    return {
        {"DrawThemeBackground without a rectangle",
         [=] { return HLM_REPLACED_UXTHEME(DrawThemeBackground)(theme(), dc, 1, 1, nullptr, nullptr); }, E_INVALIDARG},
        {"DrawThemeBackground with a clip rectangle only",
         [=] { return HLM_REPLACED_UXTHEME(DrawThemeBackground)(theme(), dc, 1, 1, nullptr, &clip); }, E_INVALIDARG},
        {"GetThemeColor without a colour",
         [=] { return HLM_REPLACED_UXTHEME(GetThemeColor)(theme(), 1, 2, 3803, nullptr); }, E_INVALIDARG},
        {"GetThemePartSize without a size",
         [=] { return HLM_REPLACED_UXTHEME(GetThemePartSize)(theme(), dc, 1, 1, nullptr, TS_TRUE, nullptr); },
         E_INVALIDARG},
        {"GetCurrentThemeName without buffers",
         [] { return HLM_REPLACED_UXTHEME(GetCurrentThemeName)(nullptr, 0, nullptr, 0, nullptr, 0); }, S_OK},
        {"OpenThemeData without a class", [] { return Address(HLM_REPLACED_UXTHEME(OpenThemeData)(nullptr, nullptr)); },
         0},
        {"DrawEdge without a rectangle", [=] { return HLM_REPLACED_USER32(DrawEdge)(dc, nullptr, EDGE_RAISED, BF_RECT); },
         FALSE},
        {"DrawFrameControl without a rectangle",
         [=] { return HLM_REPLACED_USER32(DrawFrameControl)(dc, nullptr, DFC_SCROLL, DFCS_SCROLLSIZEGRIP); }, FALSE},
        {"FillRect without a rectangle",
         [=] { return HLM_REPLACED_USER32(FillRect)(dc, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)); }, 0},
        {"the skin's edge without a rectangle", [=] { return HLMSkinDrawEdge(dc, nullptr, EDGE_SUNKEN, BF_RECT); },
         FALSE},
        {"the skin's frame control without a rectangle",
         [=] { return HLMSkinDrawFrameControl(dc, nullptr, DFC_BUTTON, DFCS_BUTTONPUSH); }, FALSE},
    };
}

const char kNullCaseVariable[] = "QB_NULL_CASE";
}

// Run in a child per case: a null pointer handed on reads address 0 and ends the program.
TEST_F(ReplacementTest, DISABLED_NullPointerCase)
{
    const char* wanted = std::getenv(kNullCaseVariable);
    ASSERT_NE(nullptr, wanted);
    for (const NullCase& row : NullCases())
    {
        if (std::string(row.name) == wanted)
        {
            EXPECT_EQ(row.expected, row.call()) << row.name;
            return;
        }
    }
    ADD_FAILURE() << "no case " << wanted;
}

TEST(Replacements, NullPointersGetTheSystemsAnswer)
{
    for (const NullCase& row : NullCases())
    {
        ChildRunOptions options;
        options.environmentName = L"QB_NULL_CASE";
        options.environmentValue = std::wstring(row.name, row.name + std::string(row.name).size());
        const ChildRunResult child = RunTestInChild(L"ReplacementTest.DISABLED_NullPointerCase", options);
        EXPECT_TRUE(ChildTestPassed(child)) << row.name << "\n" << child.output;
    }
}

namespace
{
LRESULT CALLBACK CountingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

// The pixel FillRect paints with a brush value on a fresh surface.
COLORREF FilledWith(decltype(&::FillRect) fillRect, ULONG_PTR brushValue)
{
    TestSurface surface(4, 4);
    const RECT rect = {0, 0, 4, 4};
    fillRect(surface.dc(), &rect, reinterpret_cast<HBRUSH>(brushValue));
    return surface.ColorAt(1, 1);
}

COLORREF BrushColor(HBRUSH brush)
{
    LOGBRUSH logBrush = {};
    ::GetObjectW(brush, sizeof(logBrush), &logBrush);
    return logBrush.lbColor;
}
}

TEST_F(ReplacementTest, ClassesRegisteredWithTheReplacedDefaultProcedureGetTheSystemsOwn)
{
    struct Case
    {
        const char* name;
        int slot;
        bool unicode;
    } const cases[] = {{"DefWindowProcA", 27, false}, {"DefWindowProcW", 28, true}, {"DefDlgProcW", 34, true}};
    for (const Case& row : cases)
    {
        const ULONG_PTR replacement = Address(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), row.name));
        ASSERT_EQ(CHLMSkinManagerApiHook::GetInstance().GetHookedFunction(row.slot)->m_replacementAddress, replacement)
            << row.name;
        ULONG_PTR registered = 0;
        if (row.unicode)
        {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(replacement);
            windowClass.hInstance = ::GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"QuilbrookReplacedProcW";
            ASSERT_NE(0, HLM_REPLACED_USER32(RegisterClassW)(&windowClass)) << row.name;
            WNDCLASSW read = {};
            ASSERT_TRUE(::GetClassInfoW(windowClass.hInstance, windowClass.lpszClassName, &read));
            registered = Address(read.lpfnWndProc);
            ::UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
        }
        else
        {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(replacement);
            windowClass.hInstance = ::GetModuleHandleW(nullptr);
            windowClass.lpszClassName = "QuilbrookReplacedProcA";
            ASSERT_NE(0, HLM_REPLACED_USER32(RegisterClassA)(&windowClass)) << row.name;
            WNDCLASSA read = {};
            ASSERT_TRUE(::GetClassInfoA(windowClass.hInstance, windowClass.lpszClassName, &read));
            registered = Address(read.lpfnWndProc);
            ::UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
        }
        EXPECT_EQ(GetOriginalFunction(row.slot), registered) << row.name;
    }

    // Any other procedure is registered as given.
    WNDCLASSW own = {};
    own.lpfnWndProc = &CountingProc;
    own.hInstance = ::GetModuleHandleW(nullptr);
    own.lpszClassName = L"QuilbrookOwnProc";
    ASSERT_NE(0, HLM_REPLACED_USER32(RegisterClassW)(&own));
    WNDCLASSW read = {};
    ASSERT_TRUE(::GetClassInfoW(own.hInstance, own.lpszClassName, &read));
    EXPECT_EQ(Address(own.lpfnWndProc), Address(read.lpfnWndProc));
    ::UnregisterClassW(own.lpszClassName, own.hInstance);
}

TEST_F(ReplacementTest, BrushValuesAndColourBrushesAreTheSkins)
{
    const auto fillRect = HLM_REPLACED_USER32(FillRect);
    const auto systemFillRect = SystemFunction<decltype(&::FillRect)>(38);
    ASSERT_NE(nullptr, systemFillRect);
    const CHLMSkinManagerMetrics& metrics = *m_clean.manager.GetMetrics();
    for (ULONG_PTR value = 1; value <= 30; ++value)
    {
        HBRUSH skin = metrics.m_brushes[value - 1];
        const COLORREF expected = skin != nullptr ? BrushColor(skin) : FilledWith(systemFillRect, value);
        EXPECT_EQ(expected, FilledWith(fillRect, value)) << "brush value " << value;
    }
    EXPECT_EQ(RGB(10, 20, 30), FilledWith(fillRect, COLOR_BTNFACE + 1));
    // A real brush is the caller's.
    HBRUSH red = ::CreateSolidBrush(RGB(200, 0, 0));
    EXPECT_EQ(RGB(200, 0, 0), FilledWith(fillRect, Address(red)));
    ::DeleteObject(red);

    // Index 0 is never the skin's: a brush value of 0 means none.
    const auto getBrush = HLM_REPLACED_USER32(GetSysColorBrush);
    EXPECT_EQ(SystemFunction<decltype(&::GetSysColorBrush)>(9)(0), getBrush(0));
    EXPECT_EQ(RGB(10, 20, 30), BrushColor(getBrush(COLOR_BTNFACE)));
}

TEST_F(ReplacementTest, ThemeNamesGiveTheColourSchemeOfTheIniName)
{
    CTestFolderSkin skin(L"themenames", {"[SysMetrics]", "BtnFace = 10 20 30"});
    struct Case
    {
        const wchar_t* iniName;
        const wchar_t* colour;
    } const cases[] = {
        {L"NormalMetallic.ini", L"metallic"},   {L"MetallicBlue.ini", L"normalcolor"},
        {L"NormalHomestead.ini", L"homestead"}, {L"Metallic.ini", L"METALLIC.INI"},
        {L"skin.ini", L"SKIN.INI"},
    };
    const std::wstring source = skin.path() + L"\\skin.ini";
    for (const Case& row : cases)
    {
        const std::wstring ini = skin.path() + L"\\" + row.iniName;
        ::CopyFileW(source.c_str(), ini.c_str(), FALSE);
        ASSERT_TRUE(m_clean.manager.LoadSkin(skin.path().c_str(), row.iniName));
        wchar_t file[MAX_PATH] = {}, colour[64] = {}, size[16] = L"untouched";
        EXPECT_EQ(S_OK, HLM_REPLACED_UXTHEME(GetCurrentThemeName)(file, MAX_PATH, colour, 64, size, 16));
        EXPECT_EQ(skin.path(), file);
        EXPECT_STREQ(row.colour, colour);
        EXPECT_STREQ(L"untouched", size);
        // Too small a buffer is left as it is.
        wchar_t small[4] = L"abc";
        EXPECT_EQ(S_OK, HLM_REPLACED_UXTHEME(GetCurrentThemeName)(nullptr, 0, small, 4, nullptr, 0));
        EXPECT_STREQ(L"abc", small);
    }
}

TEST_F(ReplacementTest, FontsOfTheSkinAnswerTheFontQuestions)
{
    CTestFolderSkin skin(L"fonts", {"[SysMetrics]", "BtnFace = 10 20 30", "CaptionFont = Tahoma, 13, bold",
                                    "MenuFont = Courier New, 9", "IconTitleFont = Arial, 7"});
    ASSERT_TRUE(m_clean.manager.LoadSkin(skin.path().c_str(), L"skin.ini"));
    const auto parameters = HLM_REPLACED_USER32(SystemParametersInfoW);
    const auto system = SystemFunction<decltype(&::SystemParametersInfoW)>(26);
    ASSERT_NE(nullptr, system);

    const UINT size = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    NONCLIENTMETRICSW skinned = {}, plain = {};
    skinned.cbSize = plain.cbSize = size;
    ASSERT_TRUE(parameters(SPI_GETNONCLIENTMETRICS, size, &skinned, 0));
    ASSERT_TRUE(system(SPI_GETNONCLIENTMETRICS, size, &plain, 0));
    EXPECT_EQ(0, _wcsicmp(L"Tahoma", skinned.lfCaptionFont.lfFaceName)) << skinned.lfCaptionFont.lfFaceName;
    EXPECT_EQ(FW_BOLD, skinned.lfCaptionFont.lfWeight);
    EXPECT_EQ(0, _wcsicmp(L"Courier New", skinned.lfMenuFont.lfFaceName)) << skinned.lfMenuFont.lfFaceName;
    // What the skin does not name stays the system's.
    EXPECT_STREQ(plain.lfStatusFont.lfFaceName, skinned.lfStatusFont.lfFaceName);
    EXPECT_STREQ(plain.lfMessageFont.lfFaceName, skinned.lfMessageFont.lfFaceName);

    LOGFONTW icon = {};
    ASSERT_TRUE(parameters(SPI_GETICONTITLELOGFONT, sizeof(icon), &icon, 0));
    EXPECT_EQ(0, _wcsicmp(L"Arial", icon.lfFaceName)) << icon.lfFaceName;
    // Another size of structure is not one the skin knows: the system's answer.
    NONCLIENTMETRICSW full = {}, fullPlain = {};
    full.cbSize = fullPlain.cbSize = sizeof(full);
    parameters(SPI_GETNONCLIENTMETRICS, sizeof(full), &full, 0);
    system(SPI_GETNONCLIENTMETRICS, sizeof(fullPlain), &fullPlain, 0);
    EXPECT_STREQ(fullPlain.lfCaptionFont.lfFaceName, full.lfCaptionFont.lfFaceName);
}
