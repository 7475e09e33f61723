// The replacement system functions as a program reaches them while a skin is loaded: through
// GetProcAddress (the replaced GetProcAddress hands out the replacements) or the program's own
// rewritten imports, with the arguments callers really pass, null pointers among them.
#include "childrun.h"
#include "hlmskindrawtools.h"
#include "hlmskinmanager.h"
#include "hlmskinmanagerapihook.h"
#include "hlmskinobject.h"
#include "hlmskinobjectframe.h"
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
        ASSERT_TRUE(LoadTestSkin(&m_clean.manager));
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
        ASSERT_EQ(CHLMSkinManagerApiHook::GetInstance().GetHookedFunction(row.slot)->m_nReplacementAddress, replacement)
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
        HBRUSH skin = metrics.m_hBrushes[value - 1];
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

namespace
{
HWND g_client = nullptr;

// An MDI frame of the program: what it does not handle goes to DefFrameProc with its client.
LRESULT CALLBACK FrameProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProcW(hWnd, g_client, message, wParam, lParam);
}

// Handles WM_SIZE at the default-procedure level and hands it on as default processing.
class CFrameProbe : public CHLMSkinObject
{
public:
    int m_sizes = 0;

protected:
    afx_msg void OnSize(UINT, int, int)
    {
        ++m_sizes;
        Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFrameProbe, CHLMSkinObject)
    ON_WM_SIZE()
END_MESSAGE_MAP()
}

TEST_F(ReplacementTest, DefaultProcessingInsideAHandlerReachesDefFrameProcWithTheMdiClient)
{
    RegisterWindowClass(L"SkinTestMdiFrame", &FrameProc);
    HWND frame = ::CreateWindowExW(0, L"SkinTestMdiFrame", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, frame);
    CLIENTCREATESTRUCT client = {};
    g_client = ::CreateWindowExW(0, L"MDICLIENT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame,
                                 nullptr, ::GetModuleHandleW(nullptr), &client);
    ASSERT_NE(nullptr, g_client);
    m_clean.manager.DetachSkinObject(frame);
    auto* probe = new CFrameProbe();
    m_clean.manager.AttachObject(frame, probe, nullptr, FALSE);

    ::MoveWindow(frame, 0, 0, 320, 240, TRUE);
    EXPECT_GE(probe->m_sizes, 1);
    // Only DefFrameProc with the client sizes the client to the frame's client area.
    RECT frameClient = {}, clientRect = {};
    ::GetClientRect(frame, &frameClient);
    ::GetClientRect(g_client, &clientRect);
    EXPECT_EQ(frameClient.right, clientRect.right);
    EXPECT_EQ(frameClient.bottom, clientRect.bottom);
    ::DestroyWindow(frame);
    g_client = nullptr;
}

namespace
{
[[gnu::noinline]] int ScrollTo(HWND hWnd, int position)
{
    return ::SetScrollPos(hWnd, SB_HORZ, position, TRUE);
}

// The horizontal bar's pixels, read through the window's own DC.
std::vector<COLORREF> BarPixels(HWND hWnd)
{
    RECT window = {}, client = {};
    ::GetWindowRect(hWnd, &window);
    ::GetClientRect(hWnd, &client);
    POINT origin = {0, client.bottom};
    ::ClientToScreen(hWnd, &origin);
    const int top = origin.y - window.top + 1, left = origin.x - window.left;
    std::vector<COLORREF> pixels;
    HDC dc = ::GetWindowDC(hWnd);
    for (int x = left; x < left + client.right; x += 3)
        pixels.push_back(::GetPixel(dc, x, top + 3));
    ::ReleaseDC(hWnd, dc);
    return pixels;
}

// A skinned popup with a horizontal bar of range 0..100 and page 10, drawn by the skin.
HWND CreateBarWindow()
{
    HWND hWnd = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE | WS_HSCROLL, 10, 10, 300, 120,
                                  nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
    ::SetScrollInfo(hWnd, SB_HORZ, &info, TRUE);
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    return hWnd;
}
}

TEST_F(ReplacementTest, ASkinnedBarMovedWithRedrawIsDrawnByTheSkin)
{
    HWND hWnd = CreateBarWindow();
    ASSERT_NE(nullptr, dynamic_cast<CHLMSkinObjectFrame*>(m_clean.manager.FindSkinObject(hWnd).Get()));
    const std::vector<COLORREF> atStart = BarPixels(hWnd);

    EXPECT_EQ(0, ScrollTo(hWnd, 60));
    EXPECT_EQ(60, ::GetScrollPos(hWnd, SB_HORZ));
    const std::vector<COLORREF> moved = BarPixels(hWnd);
    EXPECT_NE(atStart, moved);  // the thumb moved on the screen
    // A full redraw by the skin's frame paints exactly what the move left.
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(moved, BarPixels(hWnd));
    ::DestroyWindow(hWnd);
}

TEST_F(ReplacementTest, EnablingScrollBarsRedrawsTheSkinnedBars)
{
    HWND window = CreateBarWindow();
    ASSERT_NE(nullptr, dynamic_cast<CHLMSkinObjectFrame*>(m_clean.manager.FindSkinObject(window).Get()));
    const std::vector<COLORREF> skinned = BarPixels(window);

    const auto enableScrollBar = HLM_REPLACED_USER32(EnableScrollBar);
    ASSERT_EQ(Address(&CHLMSkinManagerApiHook::OnHookEnableScrollBar), Address(enableScrollBar));
    for (UINT bars : {SB_HORZ, SB_BOTH})
    {
        // Whatever covered the bar, the skin draws it again; the system draws nothing of its own.
        HDC dc = ::GetWindowDC(window);
        RECT all = {0, 0, 300, 120};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::ReleaseDC(window, dc);
        EXPECT_TRUE(enableScrollBar(window, bars, bars == SB_HORZ ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH)) << bars;
        EXPECT_EQ(skinned, BarPixels(window)) << bars;
    }
    ::DestroyWindow(window);
}
