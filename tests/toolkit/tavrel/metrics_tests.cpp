#include "hlmskinmanager.h"
#include "skintestsupport.h"

#include "childrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace
{
COLORREF BrushColor(HBRUSH brush)
{
    LOGBRUSH logBrush = {};
    GetObjectW(brush, sizeof(logBrush), &logBrush);
    return logBrush.lbColor;
}

LOGFONTW FontOf(const CFont& font)
{
    LOGFONTW logFont = {};
    GetObjectW(static_cast<HFONT>(font), sizeof(logFont), &logFont);
    return logFont;
}

int PointsToHeight(int points)
{
    HDC screen = GetDC(NULL);
    int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(NULL, screen);
    return height;
}

// A manager holding the test skin's schema, with the metrics refreshed from it.
class MetricsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_manager.OpenSkinFile(BesideTestProgram(L"testskin.skin").c_str(), L""));
        m_metrics = m_manager.GetMetrics();
        m_metrics->RefreshMetrics();
    }

    CleanSkinManagerScope m_clean;
    CHLMSkinManager& m_manager = m_clean.manager;
    CHLMSkinManagerMetrics* m_metrics = nullptr;
};
}

// A manager's first state: only a process that has not made its manager yet shows it.
TEST(SkinMetrics, StartWithoutColoursBrushesOrSizes)
{
    const ChildRunResult child =
        RunTestInChild(L"SkinMetrics.DISABLED_StartWithoutColoursBrushesOrSizes", ChildRunOptions());
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

TEST(SkinMetrics, DISABLED_StartWithoutColoursBrushesOrSizes)
{
    CHLMSkinManager& manager = *GetSkinManager();
    const CHLMSkinManagerMetrics& metrics = *manager.GetMetrics();
    for (int index = 0; index < CHLMSkinManagerMetrics::kColorCount; ++index)
    {
        EXPECT_EQ(static_cast<COLORREF>(-1), metrics.GetColor(index));
        EXPECT_EQ(nullptr, metrics.m_hBrushes[index]);
    }
    EXPECT_EQ(0, metrics.m_nCaptionHeight);
    EXPECT_EQ(0, metrics.m_cxVScroll);
    EXPECT_EQ(0u, metrics.GetColor(31));
    EXPECT_EQ(0u, metrics.GetColor(-1));
}

TEST_F(MetricsTest, ColoursComeFromTheSkinElseFromTheClassicScheme)
{
    EXPECT_EQ(RGB(10, 20, 30), m_metrics->GetColor(COLOR_BTNFACE));
    EXPECT_EQ(RGB(16, 8, 16), m_metrics->GetColor(COLOR_WINDOWTEXT));
    // Not the system's colours: the classic ones.
    EXPECT_EQ(RGB(58, 110, 165), m_metrics->GetColor(COLOR_BACKGROUND));
    EXPECT_EQ(RGB(0, 0, 128), m_metrics->GetColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(RGB(255, 255, 225), m_metrics->GetColor(COLOR_INFOBK));
    EXPECT_EQ(RGB(192, 192, 192), m_metrics->GetColor(COLOR_MENUBAR));
    EXPECT_EQ(0u, m_metrics->GetColor(31));

    for (int index = 0; index < CHLMSkinManagerMetrics::kColorCount; ++index)
    {
        ASSERT_NE(nullptr, m_metrics->m_hBrushes[index]);
        EXPECT_EQ(m_metrics->GetColor(index), BrushColor(m_metrics->m_hBrushes[index])) << index;
        EXPECT_TRUE(m_metrics->OwnsBrush(m_metrics->m_hBrushes[index]));
        EXPECT_EQ(m_metrics->GetColor(index), m_manager.GetThemeSysColor(1601 + index));
    }
    EXPECT_EQ(RGB(10, 20, 30), BrushColor(m_metrics->m_hBrushBtnFace));
    EXPECT_EQ(m_metrics->GetColor(COLOR_3DLIGHT), m_metrics->m_clrLight3D);
    EXPECT_EQ(m_metrics->GetColor(COLOR_BTNHIGHLIGHT), m_metrics->m_clrHighlight);
    EXPECT_EQ(m_metrics->GetColor(COLOR_BTNSHADOW), m_metrics->m_clrShadow);
    EXPECT_EQ(m_metrics->GetColor(COLOR_3DDKSHADOW), m_metrics->m_clrDarkShadow);
    EXPECT_EQ(static_cast<COLORREF>(-1), m_manager.GetThemeSysColor(1600));
    EXPECT_EQ(static_cast<COLORREF>(-1), m_manager.GetThemeSysColor(1632));
}

TEST_F(MetricsTest, OwnsOnlyItsColourBrushes)
{
    HBRUSH foreign = CreateSolidBrush(RGB(10, 20, 30));
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HRGN region = CreateRectRgn(0, 0, 1, 1);
    EXPECT_FALSE(m_metrics->OwnsBrush(foreign));
    EXPECT_FALSE(m_metrics->OwnsBrush(pen));
    EXPECT_FALSE(m_metrics->OwnsBrush(region));
    EXPECT_FALSE(m_metrics->OwnsBrush(nullptr));
    EXPECT_FALSE(m_metrics->OwnsBrush(m_metrics->m_hBrushBtnFace));
    DeleteObject(foreign);
    DeleteObject(pen);
    DeleteObject(region);
}

TEST_F(MetricsTest, SizesAndFontsComeFromTheSkinWhereItHasThem)
{
    EXPECT_EQ(21, m_metrics->m_nCaptionHeight);  // 20 and the one pixel added
    EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION) + 1, m_metrics->m_nSmallCaptionHeight);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), m_metrics->m_nSystemCaptionHeight);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), m_metrics->m_nSystemSmallCaptionHeight);
    // A width of 0 keeps the system's widths; the height of 21 replaces both heights.
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), m_metrics->m_cxVScroll);
    EXPECT_EQ(GetSystemMetrics(SM_CXHSCROLL), m_metrics->m_cxHScroll);
    EXPECT_EQ(21, m_metrics->m_cyVScroll);
    EXPECT_EQ(21, m_metrics->m_cyHScroll);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), m_metrics->m_cxEdge);
    EXPECT_EQ(GetSystemMetrics(SM_CYBORDER), m_metrics->m_cyBorder);
    EXPECT_GE(m_metrics->m_nBorderSize, 1);
    EXPECT_FALSE(m_metrics->m_bRefreshing);

    const LOGFONTW caption = FontOf(m_metrics->m_fntCaption);
    EXPECT_STREQ(L"TAHOMA", caption.lfFaceName);
    EXPECT_EQ(PointsToHeight(12), caption.lfHeight);
    EXPECT_EQ(FW_BOLD, caption.lfWeight);
    const LOGFONTW menu = FontOf(m_metrics->m_fntMenu);
    EXPECT_EQ(PointsToHeight(9), menu.lfHeight);
    EXPECT_EQ(FW_NORMAL, menu.lfWeight);
    // The skin names no small-caption font: the system's stays.
    NONCLIENTMETRICSW system = {};
    system.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, system.cbSize, &system, 0);
    EXPECT_STREQ(system.lfSmCaptionFont.lfFaceName, FontOf(m_metrics->m_fntSmCaption).lfFaceName);
    EXPECT_EQ(system.lfSmCaptionFont.lfHeight, FontOf(m_metrics->m_fntSmCaption).lfHeight);
}

TEST_F(MetricsTest, RefreshingTheSameSkinKeepsTheBrushes)
{
    HBRUSH before[CHLMSkinManagerMetrics::kColorCount];
    std::copy(std::begin(m_metrics->m_hBrushes), std::end(m_metrics->m_hBrushes), before);
    m_metrics->RefreshMetrics();
    for (int index = 0; index < CHLMSkinManagerMetrics::kColorCount; ++index)
        EXPECT_EQ(before[index], m_metrics->m_hBrushes[index]) << index;
}

TEST_F(MetricsTest, AFailedLoadGoesBackToTheSystemColoursAndFreesTheBrushes)
{
    HBRUSH before[CHLMSkinManagerMetrics::kColorCount];
    std::copy(std::begin(m_metrics->m_hBrushes), std::end(m_metrics->m_hBrushes), before);
    const int captionHeight = m_metrics->m_nCaptionHeight;

    EXPECT_FALSE(m_manager.LoadSkin(BesideTestProgram(L"nosuch.skin").c_str()));
    EXPECT_EQ(nullptr, m_manager.GetSchema());
    EXPECT_FALSE(m_manager.IsEnabled());
    for (int index = 0; index < CHLMSkinManagerMetrics::kColorCount; ++index)
    {
        EXPECT_EQ(GetSysColor(index), m_metrics->GetColor(index)) << index;
        EXPECT_EQ(nullptr, m_metrics->m_hBrushes[index]);
        EXPECT_EQ(0u, GetObjectType(before[index])) << "brush " << index << " still exists";
    }
    EXPECT_EQ(captionHeight, m_metrics->m_nCaptionHeight);  // sizes and fonts stay
}

TEST_F(MetricsTest, ReloadingASkinLeaksNoBrush)
{
    const HBRUSH buttonFace = m_metrics->m_hBrushBtnFace;
    const HBRUSH windowText = m_metrics->m_hBrushes[COLOR_WINDOWTEXT];
    // Our own skin changes these two colours: their old brushes go for real.
    ASSERT_TRUE(m_manager.OpenSkinFile(BesideTestProgram(L"skin.skin").c_str(), L""));
    m_metrics->RefreshMetrics();
    EXPECT_EQ(0u, GetObjectType(buttonFace));
    EXPECT_EQ(0u, GetObjectType(windowText));
    EXPECT_EQ(RGB(238, 241, 244), BrushColor(m_metrics->m_hBrushBtnFace));
}

TEST(SkinMetrics, TheManagersSystemQueriesReadClassSysMetrics)
{
    CleanSkinManagerScope clean;
    CHLMSkinManager& manager = clean.manager;
    EXPECT_EQ(0, manager.GetThemeSysSize(1205));
    ASSERT_TRUE(manager.OpenSkinFile(BesideTestProgram(L"skin.skin").c_str(), L""));
    EXPECT_EQ(22, manager.GetThemeSysSize(1205));
    EXPECT_EQ(0, manager.GetThemeSysSize(1209));
    EXPECT_TRUE(manager.GetThemeSysBool(1001));
    LOGFONTW font = {};
    ASSERT_EQ(S_OK, manager.GetThemeSysFont(801, &font));
    EXPECT_STREQ(L"TAHOMA", font.lfFaceName);
    EXPECT_EQ(E_FAIL, manager.GetThemeSysFont(2601, &font));
}

TEST_F(MetricsTest, RefreshReleasesTheTabPageBrush)
{
    // The pattern of tabbed pages is made again from the refreshed skin.
    HBRUSH pattern = CreateSolidBrush(RGB(1, 2, 3));
    m_metrics->m_hBrushTabPage = pattern;
    m_metrics->RefreshMetrics();
    EXPECT_EQ(nullptr, m_metrics->m_hBrushTabPage);
    EXPECT_EQ(0u, static_cast<unsigned>(GetObjectType(pattern)));
}
