// Gradients with exact pixels (line by line and through msimg32), shapes, rectangles,
// layout, text and font helpers.
#include <gtest/gtest.h>

#include "childrun.h"
#include "common/hlmcolormanager.h"
#include "common/hlmdrawhelpers.h"
#include "common/hlmsystemhelpers.h"
#include "pixels.h"

#include <cstdlib>

namespace
{
const DWORD kSentinel = Bgra(1, 2, 3, 0);
const COLORREF kSentinelColor = RGB(3, 2, 1);
const COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

CDC* Dc(TestSurface& surface) { return CDC::FromHandle(surface.dc()); }

int Distance(COLORREF a, COLORREF b)
{
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}
}

TEST(Gradients, LineByLineColumnsAreTheMixOfTheirPosition)
{
    TestSurface surface(100, 3, kSentinel);
    CHLMDrawHelpers::Instance().FillGradientByLines(Dc(surface), CRect(0, 0, 100, 3), kBlack, kWhite, TRUE);
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 3; ++y)
            ASSERT_EQ(CHLMDrawHelpers::MixColors(kBlack, kWhite, 1.0 - x / 100.0), surface.ColorAt(x, y)) << x;
    EXPECT_EQ(kBlack, surface.ColorAt(0, 0));
    EXPECT_EQ(RGB(127, 127, 127), surface.ColorAt(50, 0));
    EXPECT_EQ(RGB(252, 252, 252), surface.ColorAt(99, 0)) << "white is never reached";
}

TEST(Gradients, LineByLineDrawsOnlyInsideTheClipBox)
{
    TestSurface full(100, 2, kSentinel), clipped(100, 2, kSentinel);
    CHLMDrawHelpers& helpers = CHLMDrawHelpers::Instance();
    helpers.FillGradientByLines(Dc(full), CRect(0, 0, 100, 2), RGB(200, 0, 0), RGB(0, 0, 200), TRUE);
    IntersectClipRect(clipped.dc(), 50, 0, 60, 2);
    helpers.FillGradientByLines(Dc(clipped), CRect(0, 0, 100, 2), RGB(200, 0, 0), RGB(0, 0, 200), TRUE);
    for (int x = 0; x < 100; ++x)
        EXPECT_EQ(x >= 50 && x < 60 ? full.ColorAt(x, 1) : kSentinelColor, clipped.ColorAt(x, 1)) << x;
}

TEST(Gradients, VerticalLinesMixByRow)
{
    TestSurface surface(3, 10, kSentinel);
    CHLMDrawHelpers::Instance().FillGradientByLines(Dc(surface), CRect(0, 0, 3, 10), RGB(0, 100, 0), RGB(0, 0, 100),
                                                    FALSE);
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(CHLMDrawHelpers::MixColors(RGB(0, 100, 0), RGB(0, 0, 100), 1.0 - y / 10.0), surface.ColorAt(1, y));
}

TEST(Gradients, MsimgGradientRunsFromTheFirstColourToTheSecond)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("gradients are solid (OnALowColourScreenGradientsAreSolid)");
    CHLMDrawHelpers& helpers = CHLMDrawHelpers::Instance();
    ASSERT_NE(nullptr, helpers.m_pfnGradientFill);
    TestSurface surface(100, 2, kSentinel), lines(100, 2, kSentinel);
    helpers.FillGradient(Dc(surface), CRect(0, 0, 100, 2), kBlack, kWhite, TRUE);
    helpers.FillGradientByLines(Dc(lines), CRect(0, 0, 100, 2), kBlack, kWhite, TRUE);
    EXPECT_EQ(kBlack, surface.ColorAt(0, 0));
    for (int x = 0; x < 100; ++x)
        EXPECT_LE(Distance(lines.ColorAt(x, 1), surface.ColorAt(x, 1)), 3) << x;
}

TEST(Gradients, EqualColoursAndEmptyRectanglesFillPlainly)
{
    CHLMDrawHelpers& helpers = CHLMDrawHelpers::Instance();
    TestSurface surface(10, 10, kSentinel);
    helpers.FillGradient(Dc(surface), CRect(2, 2, 8, 8), RGB(9, 9, 9), RGB(9, 9, 9), TRUE);
    EXPECT_EQ(RGB(9, 9, 9), surface.ColorAt(2, 2));
    EXPECT_EQ(RGB(9, 9, 9), surface.ColorAt(7, 7));
    EXPECT_EQ(kSentinelColor, surface.ColorAt(8, 8));
    helpers.FillGradient(Dc(surface), CRect(5, 5, 5, 9), kBlack, kWhite, TRUE);
    helpers.FillGradient(nullptr, CRect(0, 0, 5, 5), kBlack, kWhite, TRUE);
    EXPECT_EQ(kSentinelColor, surface.ColorAt(0, 0));
}

namespace
{
// Draws a 100-pixel horizontal gradient cut to x = 30..60 and compares it with the uncut one.
void ExpectClippedMatchesUncut(int tolerance)
{
    CHLMDrawHelpers& helpers = CHLMDrawHelpers::Instance();
    TestSurface full(100, 4, kSentinel), cut(100, 4, kSentinel);
    const CRect rect(0, 0, 100, 4), clip(30, 1, 60, 3);
    helpers.FillGradientClipped(Dc(full), rect, RGB(250, 10, 0), RGB(0, 90, 250), TRUE, nullptr);
    helpers.FillGradientClipped(Dc(cut), rect, RGB(250, 10, 0), RGB(0, 90, 250), TRUE, &clip);
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 4; ++y)
        {
            const POINT point = {x, y};
            if (PtInRect(&clip, point))
                EXPECT_LE(Distance(full.ColorAt(x, y), cut.ColorAt(x, y)), tolerance) << x << "," << y;
            else
                EXPECT_EQ(kSentinelColor, cut.ColorAt(x, y)) << x << "," << y;
        }
    // A clip beside the rectangle draws nothing.
    const CRect beside(120, 0, 130, 4);
    TestSurface none(100, 4, kSentinel);
    helpers.FillGradientClipped(Dc(none), rect, kBlack, kWhite, TRUE, &beside);
    EXPECT_EQ(kSentinelColor, none.ColorAt(99, 0));
}
}

TEST(Gradients, ClippedGradientShowsTheColoursOfTheUncutOne)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("gradients are solid (OnALowColourScreenGradientsAreSolid)");
    ExpectClippedMatchesUncut(3);
}

TEST(Gradients, ColourPairWithAFactorMeetsInTheMixOfIt)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("gradients are solid (OnALowColourScreenGradientsAreSolid)");
    CHLMDrawHelpers& helpers = CHLMDrawHelpers::Instance();
    const COLORREF first = RGB(200, 0, 0), second = RGB(0, 0, 200);
    TestSurface half(100, 1, kSentinel), skewed(100, 1, kSentinel), plain(100, 1, kSentinel);
    helpers.FillColorGradient(Dc(half), CRect(0, 0, 100, 1), CHLMPaintManagerColorGradient(first, second), TRUE,
                              nullptr);
    helpers.FillGradient(Dc(plain), CRect(0, 0, 100, 1), first, second, TRUE);
    for (int x = 0; x < 100; ++x)
        EXPECT_EQ(plain.ColorAt(x, 0), half.ColorAt(x, 0)) << "factor 0.5 is one gradient, at " << x;

    CHLMPaintManagerColorGradient gradient;
    gradient.SetStandardColors(first, second, 0.3f);
    helpers.FillColorGradient(Dc(skewed), CRect(0, 0, 100, 1), gradient, TRUE, nullptr);
    const COLORREF middle = CHLMDrawHelpers::MixColors(first, second, 0.3f);
    EXPECT_EQ(first, skewed.ColorAt(0, 0));
    EXPECT_LE(Distance(middle, skewed.ColorAt(50, 0)), 1) << "the halves meet at x = 50";
    EXPECT_LE(Distance(CHLMDrawHelpers::MixColors(first, middle, 0.5), skewed.ColorAt(25, 0)), 3);
}

TEST(Gradients, OnALowColourScreenGradientsAreSolid)
{
    CHLMDrawHelpers& helpers = CHLMDrawHelpers::Instance();
    const COLORREF first = RGB(200, 0, 0), second = RGB(0, 0, 200);
    const CRect rect(0, 0, 100, 2), clip(30, 0, 60, 2);
    TestSurface plain(100, 2, kSentinel), pair(100, 2, kSentinel), clipped(100, 2, kSentinel);
    helpers.FillGradient(Dc(plain), rect, first, second, TRUE);
    helpers.FillColorGradient(Dc(pair), rect, CHLMPaintManagerColorGradient(first, second), TRUE, nullptr);
    helpers.FillGradientClipped(Dc(clipped), rect, first, second, TRUE, &clip);
    const bool solid = IsLowColorScreen();
    for (TestSurface* surface : {&plain, &pair})
    {
        EXPECT_EQ(first, surface->ColorAt(0, 1));
        EXPECT_EQ(solid, surface->ColorAt(99, 1) == first) << "last column";
    }
    // The cut part starts with the colour the whole gradient has at the cut.
    EXPECT_EQ(solid, clipped.ColorAt(59, 1) == clipped.ColorAt(30, 1));
    EXPECT_EQ(kSentinelColor, clipped.ColorAt(29, 1));
}

// Run with msimg32 switched off: gradients are drawn line by line, and exactly.
TEST(GradientsWithoutMsimg, DISABLED_DrawLineByLine)
{
    CHLMDrawHelpers& helpers = CHLMDrawHelpers::Instance();
    EXPECT_EQ(nullptr, helpers.m_pfnGradientFill);
    EXPECT_FALSE(helpers.GradientFill(nullptr, nullptr, 0, nullptr, 0, 0));
    TestSurface drawn(100, 1, kSentinel), lines(100, 1, kSentinel);
    helpers.FillGradient(Dc(drawn), CRect(0, 0, 100, 1), kBlack, kWhite, TRUE);
    helpers.FillGradientByLines(Dc(lines), CRect(0, 0, 100, 1), kBlack, kWhite, TRUE);
    for (int x = 0; x < 100; ++x)
        EXPECT_EQ(lines.ColorAt(x, 0), drawn.ColorAt(x, 0)) << x;
    ExpectClippedMatchesUncut(1);
}

TEST(Gradients, WithoutMsimg32TheyAreDrawnLineByLine)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("gradients are solid (OnALowColourScreenGradientsAreSolid)");
    ChildRunOptions options;
    options.disabledDlls = L"msimg32";
    const ChildRunResult child = RunTestInChild(L"GradientsWithoutMsimg.DISABLED_DrawLineByLine", options);
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

// ---------------------------------------------------------------------------------------

TEST(Shapes, TriangleLineAndCorners)
{
    TestSurface surface(20, 20, kSentinel);
    CDC* dc = Dc(surface);
    const HGDIOBJ pen = GetCurrentObject(surface.dc(), OBJ_PEN), brush = GetCurrentObject(surface.dc(), OBJ_BRUSH);
    CHLMDrawHelpers::FillTriangle(dc, CPoint(2, 2), CPoint(12, 2), CPoint(2, 12), RGB(0, 200, 0));
    EXPECT_EQ(RGB(0, 200, 0), surface.ColorAt(2, 2));
    EXPECT_EQ(RGB(0, 200, 0), surface.ColorAt(4, 4));
    EXPECT_EQ(kSentinelColor, surface.ColorAt(11, 11));
    EXPECT_EQ(pen, GetCurrentObject(surface.dc(), OBJ_PEN));
    EXPECT_EQ(brush, GetCurrentObject(surface.dc(), OBJ_BRUSH));

    EXPECT_TRUE(CHLMDrawHelpers::DrawLine(dc, 0, 15, 10, 0, RGB(200, 0, 0)));
    EXPECT_EQ(RGB(200, 0, 0), surface.ColorAt(0, 15));
    EXPECT_EQ(RGB(200, 0, 0), surface.ColorAt(9, 15));
    EXPECT_EQ(kSentinelColor, surface.ColorAt(10, 15)) << "the end point is not drawn";
    CDC empty;
    EXPECT_FALSE(CHLMDrawHelpers::DrawLine(&empty, 0, 0, 1, 1, 0));

    TestSurface corners(10, 10, kSentinel);
    CHLMDrawHelpers::ExcludeCorners(Dc(corners), CRect(2, 2, 8, 8));
    Dc(corners)->FillSolidRect(0, 0, 10, 10, RGB(0, 0, 200));
    for (POINT corner : {POINT{2, 2}, POINT{7, 2}, POINT{2, 7}, POINT{7, 7}})
        EXPECT_EQ(kSentinelColor, corners.ColorAt(corner.x, corner.y)) << corner.x << "," << corner.y;
    EXPECT_EQ(RGB(0, 0, 200), corners.ColorAt(3, 2));
    EXPECT_EQ(RGB(0, 0, 200), corners.ColorAt(1, 1));
}

TEST(Shapes, PixelPairsAverageAndAnOddLastPointIsIgnored)
{
    TestSurface surface(4, 1);
    surface.At(0, 0) = Bgra(100, 51, 0, 0);
    surface.At(1, 0) = Bgra(201, 50, 255, 0);
    surface.At(2, 0) = Bgra(7, 7, 7, 0);
    const POINT points[3] = {{0, 0}, {1, 0}, {2, 0}};  // pixel 0 with pixel 1; the 2 has no partner
    CHLMDrawHelpers::BlendPixelPairs(Dc(surface), points, 3);
    EXPECT_EQ(RGB(127, 50, 150), surface.ColorAt(0, 0));
    EXPECT_EQ(RGB(255, 50, 201), surface.ColorAt(1, 0));
    EXPECT_EQ(RGB(7, 7, 7), surface.ColorAt(2, 0));
}

// ---------------------------------------------------------------------------------------

TEST(TextHelpers, StripAmpersandsKeepsEscapedOnes)
{
    const wchar_t* rows[][2] = {{L"&File", L"File"},     {L"Save && Exit", L"Save & Exit"}, {L"&&", L"&"},
                                {L"&&&x", L"&&x"},       {L"a&", L"a"},                     {L"", L""},
                                {L"no mnemonic", L"no mnemonic"}, {L"a&&b&c", L"a&bc"}};
    for (const auto& row : rows)
    {
        CString text = row[0];
        CHLMDrawHelpers::StripAmpersands(text);
        EXPECT_STREQ(row[1], text) << row[0];
        wchar_t buffer[32];
        wcscpy(buffer, row[0]);
        CHLMDrawHelpers::StripAmpersands(buffer);
        EXPECT_STREQ(row[1], buffer) << row[0];
    }
    CHLMDrawHelpers::StripAmpersands(static_cast<wchar_t*>(nullptr));
    CHLMDrawHelpers::StripAmpersands(LPSTR_TEXTCALLBACKW);

    CString text = _T("one two one");
    EXPECT_EQ(2, ReplaceStringText(text, _T("one"), _T("1")));
    EXPECT_STREQ(L"1 two 1", text);
    EXPECT_EQ(5, DeleteStringChars(text, 0, 2));
}

namespace
{
LRESULT CALLBACK OwnTextWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETTEXT && wParam > 4)
    {
        wcscpy(reinterpret_cast<wchar_t*>(lParam), L"own");
        return 3;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}

TEST(WindowHelpers, DefaultWindowTextIsAskedOfTheDefaultProcedure)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OwnTextWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QbOwnText";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"QbOwnText", L"kept by default", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window);
    CString text;
    CHLMDrawHelpers::GetDefWindowText(window, text);
    EXPECT_STREQ(L"kept by default", text);
    wchar_t own[32] = L"";
    GetWindowTextW(window, own, 32);
    EXPECT_STREQ(L"own", own);
    DestroyWindow(window);
}

TEST(WindowHelpers, RectanglesOfWindowsAndDestroyedWindows)
{
    HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP, 10, 20, 110, 70, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(CRect(10, 20, 120, 90), CHLMDrawHelpers::WindowRectOf(window));
    EXPECT_EQ(CRect(0, 0, 110, 70), CHLMDrawHelpers::ClientRectOf(window));
    EXPECT_EQ(CRect(10, 20, 120, 90), CHLMDrawHelpers::WindowRectOf(CWnd::FromHandle(window)));
    DestroyWindow(window);
    EXPECT_TRUE(CHLMDrawHelpers::WindowRectOf(window).IsRectEmpty());
    EXPECT_TRUE(CHLMDrawHelpers::ClientRectOf(window).IsRectEmpty());
}

TEST(WindowHelpers, RightToLeftWindowsMirrorPointsAndArrowKeys)
{
    HWND rtl = CreateWindowExW(WS_EX_LAYOUTRTL, L"STATIC", L"", WS_POPUP, 100, 50, 200, 40, nullptr, nullptr,
                               nullptr, nullptr);
    HWND ltr = CreateWindowW(L"STATIC", L"", WS_POPUP, 100, 50, 200, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(rtl && ltr);
    POINT point = {120, 60};
    CHLMDrawHelpers::ScreenToWindowPoint(CWnd::FromHandle(rtl), point);
    EXPECT_EQ(180, point.x);
    EXPECT_EQ(10, point.y);
    point = {120, 60};
    CHLMDrawHelpers::ScreenToWindowPoint(CWnd::FromHandle(ltr), point);
    EXPECT_EQ(20, point.x);

    struct
    {
        UINT key, rtl, ltr;
    } keys[] = {{VK_LEFT, VK_RIGHT, VK_LEFT}, {VK_RIGHT, VK_LEFT, VK_RIGHT}, {VK_UP, VK_UP, VK_UP}};
    for (const auto& row : keys)
    {
        UINT key = row.key;
        CHLMDrawHelpers::KeyToLayout(CWnd::FromHandle(rtl), key);
        EXPECT_EQ(row.rtl, key);
        key = row.key;
        CHLMDrawHelpers::KeyToLayout(CWnd::FromHandle(ltr), key);
        EXPECT_EQ(row.ltr, key);
    }
    DestroyWindow(rtl);
    DestroyWindow(ltr);
}

TEST(WindowHelpers, TopParentIsActiveWhenItHasTheForeground)
{
    HWND top = CreateWindowW(L"STATIC", L"top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
    HWND child = CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    SetForegroundWindow(top);
    EXPECT_TRUE(CHLMDrawHelpers::IsTopParentActive(child));
    HWND other = CreateWindowW(L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    EXPECT_FALSE(CHLMDrawHelpers::IsTopParentActive(child));
    DestroyWindow(other);
    DestroyWindow(top);
}

TEST(WindowHelpers, RegistersDefaultProcedureClassesOnce)
{
    EXPECT_TRUE(CHLMDrawHelpers::RegisterWndClass(nullptr, _T("QbPlainClass"), CS_DBLCLKS, nullptr));
    EXPECT_TRUE(CHLMDrawHelpers::RegisterWndClass(nullptr, _T("QbPlainClass"), CS_DBLCLKS, nullptr));
    WNDCLASSW registered = {};
    ASSERT_TRUE(GetClassInfoW(AfxGetInstanceHandle(), L"QbPlainClass", &registered));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), registered.style);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), registered.hCursor);
}

TEST(WindowHelpers, DialogUnitsFollowTheBaseUnits)
{
    // Four horizontal and eight vertical dialog units make one base unit each way.
    const LONG base = GetDialogBaseUnits();
    EXPECT_EQ(CSize(LOWORD(base), HIWORD(base)), CHLMDrawHelpers::DialogUnitsToPixels(4, 8));
    EXPECT_EQ(CSize(3 * LOWORD(base), 2 * HIWORD(base)), CHLMDrawHelpers::DialogUnitsToPixels(12, 16));
    EXPECT_EQ(CSize(0, 0), CHLMDrawHelpers::DialogUnitsToPixels(0, 0));
}

TEST(LayoutHelpers, LayoutOfDcsIsReadAndSet)
{
    TestSurface surface(4, 4);
    EXPECT_EQ(0u, CHLMDrawHelpers::GetDcLayout(surface.dc()));
    EXPECT_FALSE(CHLMDrawHelpers::IsDcMirrored(Dc(surface)));
    CHLMDrawHelpers::SetDcLayout(Dc(surface), LAYOUT_RTL);
    EXPECT_EQ(static_cast<DWORD>(LAYOUT_RTL), CHLMDrawHelpers::GetDcLayout(surface.dc()));
    EXPECT_TRUE(CHLMDrawHelpers::IsDcMirrored(Dc(surface)));
    EXPECT_FALSE(CHLMDrawHelpers::IsDcMirrored(nullptr));
    CHLMDrawHelpers::SetDcLayout(surface.dc(), 0);
    EXPECT_EQ(0u, CHLMDrawHelpers::GetDcLayout(surface.dc()));
}

TEST(FontHelpers, FindsInstalledFacesAndChoosesTheInterfaceFace)
{
    EXPECT_TRUE(CHLMDrawHelpers::FontExists(_T("tahoma"))) << "compared ignoring case";
    EXPECT_FALSE(CHLMDrawHelpers::FontExists(_T("No Such Face Anywhere")));
    LOGFONTW gui = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    EXPECT_STREQ(gui.lfFaceName, CHLMDrawHelpers::GetDefaultGuiFontFace());

    // An ANSI GUI font: Arial where it exists, Tahoma when preferred.
    ASSERT_LE(gui.lfCharSet, SYMBOL_CHARSET);
    const bool arial = CHLMDrawHelpers::FontExists(_T("Arial")) != FALSE;
    EXPECT_STREQ(arial ? L"Tahoma" : gui.lfFaceName, CHLMDrawHelpers::GetInterfaceFontFace(TRUE));
    EXPECT_STREQ(arial ? L"Arial" : gui.lfFaceName, CHLMDrawHelpers::GetInterfaceFontFace(FALSE));
}

TEST(BitmapToIcon, CornerPixelBecomesTransparent)
{
    std::vector<DWORD> pixels(16, Bgra(255, 0, 255, 0));
    pixels[5] = Bgra(0, 0, 200, 0);  // (1, 1)
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, pixels.data());
    CHLMBitmapToIcon converter(bitmap);
    EXPECT_EQ(RGB(255, 0, 255), converter.GetBitmapCornerPixel());
    HICON icon = converter.CreateIcon();
    ASSERT_TRUE(icon);
    TestSurface drawn(4, 4, Bgra(0, 255, 0, 0));
    DrawIconEx(drawn.dc(), 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(RGB(0, 255, 0), drawn.ColorAt(0, 0)) << "the corner colour is transparent";
    EXPECT_EQ(ScreenColor(RGB(200, 0, 0)), drawn.ColorAt(1, 1));
    DestroyIcon(icon);
    DeleteObject(bitmap);

    EXPECT_EQ(CLR_INVALID, CHLMBitmapToIcon(nullptr).GetBitmapCornerPixel());
    EXPECT_EQ(nullptr, CHLMBitmapToIcon(nullptr).CreateIcon());
    EXPECT_EQ(CLR_INVALID, CHLMBitmapToIcon(reinterpret_cast<HBITMAP>(GetStockObject(WHITE_BRUSH))).GetBitmapCornerPixel());
}

TEST(DrawHelpers, ForwardTheSystemHelpersAnswers)
{
    EXPECT_EQ(GetComCtlVersion(), CHLMDrawHelpers::GetComCtlVersion());
    EXPECT_EQ(GetMonitorInfoHelper().GetWorkArea(), CHLMDrawHelpers::GetWorkArea());
    const POINT origin = {0, 0};
    EXPECT_EQ(GetMonitorInfoHelper().GetWorkArea(origin), CHLMDrawHelpers::GetWorkArea(origin));
    EXPECT_EQ(IsLowColorScreen(), CHLMDrawHelpers::IsLowColorDc(nullptr) != FALSE);
    CHLMZeroSize size;
    EXPECT_EQ(CSize(0, 0), size);
    size = CSize(3, 4);
    size.Reset();
    EXPECT_EQ(CSize(0, 0), size);
    EXPECT_TRUE(CHLMZeroRect().IsRectNull());
}

// See the note on the colour manager's low-colour test.
TEST(Gradients, LowColourDisplayFillsWithTheFirstColour)
{
    if (!CHLMColorManager::IsLowResolution())
        GTEST_SKIP() << "needs a display of 8 bits per pixel or less";
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(CHLMDrawHelpers::IsLowColorDc(screen));
    ReleaseDC(nullptr, screen);
    TestSurface surface(20, 1, kSentinel);
    CHLMDrawHelpers::Instance().FillGradient(Dc(surface), CRect(0, 0, 20, 1), RGB(0, 0, 128), kWhite, TRUE);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(RGB(0, 0, 128), surface.ColorAt(x, 0)) << x;
}
