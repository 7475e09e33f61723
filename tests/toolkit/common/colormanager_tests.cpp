// The colour manager's 63 colours and gradients computed from given system colours, its
// contrast arithmetic, presets, overrides and style detection.
#include <gtest/gtest.h>

#include "childrun.h"
#include "common/hlmcolormanager.h"
#include "common/hlmwinthemewrapper.h"
#include "pixels.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace
{
// System colours 0..30 as Wine's default prefix reports them.
const COLORREF kWineColors[31] = {
    0xFFFFFF, 0x956F25, 0xFA9632, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x9E9E9E, 0x000000,
    0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x808080, 0xFA9630, 0xFFFFFF, 0xF5F5F5,
    0xA6A6A6, 0xA6A6A6, 0x000000, 0xC8C8C8, 0xFFFFFF, 0x6A6A6A, 0xE3E3E3, 0x000000,
    0xFFFFFF, 0xFFFFFF, 0xE0E0E0, 0xFA9632, 0x808080, 0xFA9630, 0xFFFFFF};

// The classic Windows scheme.
const COLORREF kClassicColors[31] = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xC56A31, 0xC8D0D4};

// The classic scheme with a black face and white button text: high contrast.
COLORREF g_highContrastColors[31];

const COLORREF* g_systemColors = kWineColors;

DWORD WINAPI GivenSysColor(int index) { return g_systemColors[index]; }

struct Expected
{
    COLORREF colors[63];
    COLORREF gradients[7][2];
};

const Expected kWineExpected = {
    {0x000000, 0x956F25, 0xFA9632, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x9E9E9E, 0x000000,
     0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x808080, 0xFA9630, 0xFFFFFF, 0xF5F5F5,
     0xA6A6A6, 0xA6A6A6, 0x000000, 0xC8C8C8, 0xFFFFFF, 0x6A6A6A, 0xFFFFFF, 0x000000,
     0xFFFFFF, 0xFFFFFF, 0xE0E0E0, 0xFA9632, 0x808080, 0xFA9630, 0xF7F7F7, 0xFEE0C1,
     0xFA9630, 0xFDCB98, 0xBEA890, 0xC1C1C1, 0xFAF0E5, 0xFA9630, 0xBCBCBC, 0xC1C1C1,
     0xAFAFAF, 0xFEFEFE, 0xEDEDED, 0x858585, 0x000000, 0x000000, 0x000000, 0x5C5C5C,
     0xFFFFFF, 0x7B7B7B, 0xFA9630, 0xF5F5F5, 0xA6A6A6, 0xF7F7F7, 0xA6A6A6, 0xF5F5F5,
     0xF5F5F5, 0xA6A6A6, 0xAFAFAF, 0x000000, 0xAFAFAF, 0x8D8D8D, 0x000000},
    {{0xA6A6A6, 0xA6A6A6}, {0xF5F5F5, 0xFDFDFD}, {0xF5F5F5, 0xA6A6A6}, {0xFDFDFD, 0xF5F5F5},
     {0xFEFEFE, 0xF6F6F6}, {0xFBFBFB, 0xF1F1F1}, {0xFDFDFD, 0xFBFBFB}}};

const Expected kClassicExpected = {
    {0x000000, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
     0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
     0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xD7DFE3, 0x000000,
     0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xC56A31, 0xD1D8DB, 0xD2BDB6,
     0x6A240A, 0xB59285, 0x9D8D88, 0xA6A6A6, 0xD8D5D4, 0x6A240A, 0xA0A0A0, 0xA6A6A6,
     0x8D8D8D, 0xF7F8F9, 0xC1C8CC, 0x666666, 0x000000, 0x000000, 0x000000, 0xFFFFFF,
     0xE9F2F7, 0x555555, 0x6A240A, 0xC8D0D4, 0x808080, 0xD1D8DB, 0x808080, 0xC8D0D4,
     0xC8D0D4, 0x808080, 0x8D8D8D, 0x000000, 0x8D8D8D, 0x6D6D6D, 0x000000},
    {{0x808080, 0x808080}, {0xC8D0D4, 0xF3F5F6}, {0xC8D0D4, 0x808080}, {0xF4F5F6, 0xC8D0D4},
     {0xF7F8F9, 0xCCD3D7}, {0xE9ECEE, 0xC4CCD0}, {0xF6F7F8, 0xE8EBED}}};

const Expected kHighContrastExpected = {
    {0x000000, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
     0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0x000000,
     0x808080, 0x808080, 0xFFFFFF, 0xC8D0D4, 0xFFFFFF, 0x404040, 0x0F0F0F, 0x000000,
     0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xC56A31, 0x000000, 0x7A3B24,
     0xA17665, 0x6A240A, 0x5B2C1B, 0xABABAB, 0x6A240A, 0xFFFFFF, 0xFFFFFF, 0x808080,
     0x808080, 0xFFFFFF, 0x808080, 0xC5C5C5, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
     0x232323, 0x7F7F7F, 0x6A240A, 0x000000, 0x808080, 0x000000, 0x808080, 0x000000,
     0x000000, 0x808080, 0x808080, 0x000000, 0x808080, 0x808080, 0x000000},
    {{0x808080, 0x808080}, {0x000000, 0xC8C8C8}, {0x000000, 0x808080}, {0xCBCBCB, 0x000000},
     {0xDADADA, 0x121212}, {0x999999, 0x060606}, {0xD5D5D5, 0x949494}}};

// Runs a test body with the manager computing from the given system colours, and restores
// the system's own afterwards.
class ColorManagerWithGivenColors : public testing::Test
{
protected:
    CHLMColorManager& manager = CHLMColorManager::GetInstance();

    void Use(const COLORREF* colors)
    {
        g_systemColors = colors;
        manager.SetSysColorFunction(GivenSysColor);
    }

    void TearDown() override
    {
        manager.SetStyleSetting(CHLMColorManager::StyleDetected);
        manager.SetPresetsDisabled(FALSE);
        for (UINT index = 0; index < 63; ++index)
            manager.SetColor(index, CLR_INVALID);
        manager.SetSysColorFunction(nullptr);
    }

    void ExpectColors(const Expected& expected, const char* scheme)
    {
        for (UINT index = 0; index < 63; ++index)
            EXPECT_EQ(expected.colors[index], manager.GetColor(index)) << scheme << " colour " << index;
        for (int number = 1; number <= 7; ++number)
        {
            const CHLMPaintManagerColorGradient& gradient = manager.GetGradient(number);
            EXPECT_EQ(expected.gradients[number - 1][0], gradient.GetFirst().GetEffectiveColor())
                << scheme << " gradient " << number;
            EXPECT_EQ(expected.gradients[number - 1][1], gradient.GetSecond().GetEffectiveColor())
                << scheme << " gradient " << number;
            EXPECT_EQ(0.5f, gradient.GetFactor());
        }
    }
};
}

TEST_F(ColorManagerWithGivenColors, ComputesAllColoursFromWinesDefaults)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the recompute stops after the base colours (LowColourDisplayKeepsBaseColoursAndSolidGradients)");
    Use(kWineColors);
    ExpectColors(kWineExpected, "wine");
}

TEST_F(ColorManagerWithGivenColors, ComputesAllColoursFromTheClassicScheme)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the recompute stops after the base colours (LowColourDisplayKeepsBaseColoursAndSolidGradients)");
    Use(kClassicColors);
    ExpectColors(kClassicExpected, "classic");
}

TEST_F(ColorManagerWithGivenColors, HighContrastSkipsTheBlends)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the recompute stops after the base colours (LowColourDisplayKeepsBaseColoursAndSolidGradients)");
    std::copy(std::begin(kClassicColors), std::end(kClassicColors), g_highContrastColors);
    g_highContrastColors[COLOR_3DFACE] = 0x000000;
    g_highContrastColors[COLOR_BTNTEXT] = 0xFFFFFF;
    Use(g_highContrastColors);
    ExpectColors(kHighContrastExpected, "high contrast");
    EXPECT_EQ(0x7F7F7Fu, manager.GetColor(49));
    EXPECT_EQ(manager.GetColor(COLOR_HIGHLIGHT), manager.GetColor(36));
}

TEST_F(ColorManagerWithGivenColors, ConstantGradientsAndColour62)
{
    Use(kClassicColors);
    const COLORREF constants[3][2] = {{0x8CD5FF, 0x55ADFF}, {0x4B8EFE, 0x8BCFFF}, {0xC8F2FF, 0x97D4FF}};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(constants[i][0], manager.GetGradient(8 + i).GetFirst().GetEffectiveColor());
        EXPECT_EQ(constants[i][1], manager.GetGradient(8 + i).GetSecond().GetEffectiveColor());
    }
    EXPECT_EQ(0u, manager.GetColor(62));
}

TEST_F(ColorManagerWithGivenColors, OverridesWinAndSurviveRecomputes)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the recompute stops after the base colours (LowColourDisplayKeepsBaseColoursAndSolidGradients)");
    Use(kClassicColors);
    EXPECT_EQ(63u, manager.GetColor(63)) << "a COLORREF passes through";
    EXPECT_EQ(0x123456u, manager.GetColor(0x123456));

    manager.SetColor(40, RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), manager.GetColor(40));
    manager.RecomputeColors();
    EXPECT_EQ(RGB(1, 2, 3), manager.GetColor(40));
    // Step 17 reads colour 40 through its override, colour 60 from the computed value.
    EXPECT_EQ(RGB(1, 2, 3), manager.GetColor(58));
    EXPECT_EQ(kClassicExpected.colors[40], manager.GetColor(60));
    manager.SetColor(40, CLR_INVALID);
    EXPECT_EQ(kClassicExpected.colors[40], manager.GetColor(40));

    // Indices beyond the table are ignored rather than written past it.
    const UINT indices[] = {31, 63, 1000};
    const COLORREF colors[] = {RGB(9, 9, 9), RGB(8, 8, 8), RGB(7, 7, 7)};
    manager.SetColors(3, indices, colors);
    EXPECT_EQ(RGB(9, 9, 9), manager.GetColor(31));
    EXPECT_EQ(63u, manager.GetColor(63));
}

TEST_F(ColorManagerWithGivenColors, StyleSettingChoosesPresets)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the recompute stops after the base colours (LowColourDisplayKeepsBaseColoursAndSolidGradients)");
    Use(kClassicColors);
    EXPECT_EQ(CHLMColorManager::StyleNone, manager.GetDetectedStyle());
    EXPECT_EQ(manager.GetColor(38), manager.GetPresetColor(38)) << "no presets without a style";

    manager.SetStyleSetting(CHLMColorManager::StyleLunaOlive);
    EXPECT_EQ(CHLMColorManager::StyleLunaOlive, manager.GetCurrentStyle());
    EXPECT_EQ(0x335E51u, manager.GetPresetColor(38));
    EXPECT_EQ(0x19221Fu, manager.GetPresetColor(59));
    EXPECT_EQ(manager.GetColor(44), manager.GetPresetColor(44)) << "44 has no preset";
    EXPECT_EQ(0x588060u, manager.GetColor(54));
    EXPECT_EQ(0xDEF7F4u, manager.GetGradient(4).GetFirst().GetEffectiveColor());
    EXPECT_EQ(0.3f, manager.GetGradient(4).GetFactor());

    manager.SetStyleSetting(CHLMColorManager::StyleAero);
    EXPECT_EQ(0x764127u, manager.GetPresetColor(38));
    EXPECT_EQ(0x962D00u, manager.GetColor(54));
    EXPECT_EQ(0.75f, manager.GetGradient(4).GetFactor());

    manager.SetPresetsDisabled(TRUE);
    manager.RecomputeColors();
    EXPECT_EQ(manager.GetColor(38), manager.GetPresetColor(38));
    EXPECT_EQ(kClassicExpected.gradients[3][0], manager.GetGradient(4).GetFirst().GetEffectiveColor());

    manager.SetPresetsDisabled(FALSE);
    manager.SetStyleSetting(8);  // unknown settings behave as no style
    EXPECT_EQ(manager.GetColor(38), manager.GetPresetColor(38));
    manager.SetStyleSetting(CHLMColorManager::StyleDetectedToo);
    EXPECT_EQ(manager.GetDetectedStyle(), manager.GetCurrentStyle());
}

TEST(ColorManager, ReadsTheSystemColoursWithoutAFunction)
{
    CHLMColorManager& manager = CHLMColorManager::GetInstance();
    manager.RecomputeColors();
    EXPECT_EQ(0u, manager.GetColor(0)) << "colour 0 is black whatever the system says";
    for (int index = 1; index <= 29; ++index)
    {
        if (index != COLOR_3DLIGHT)
        {
            EXPECT_EQ(GetSysColor(index), manager.GetColor(index)) << index;
        }
    }
    EXPECT_EQ(&manager, &GetColorManagerInstance());
    EXPECT_EQ(manager.GetColor(45), GetManagedColor(45));
    EXPECT_EQ(IsLowColorScreen(), CHLMColorManager::IsLowResolution() != FALSE);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(IsLowColorScreen(), CHLMColorManager::IsLowResolution(screen) != FALSE);
    ReleaseDC(nullptr, screen);
}

TEST(ColorManagerArithmetic, BlendsInPercentOrTenthsOfAPercent)
{
    EXPECT_EQ(RGB(26, 0, 230), CHLMColorManager::BlendColors(RGB(255, 0, 0), RGB(0, 0, 255), 10))
        << "(0 * 90 + 50 + 255 * 10) / 100 = 26";
    EXPECT_EQ(RGB(26, 0, 230), CHLMColorManager::BlendColors(RGB(255, 0, 0), RGB(0, 0, 255), 100))
        << "100 means 10.0 %";
    EXPECT_EQ(RGB(252, 0, 3), CHLMColorManager::BlendColors(RGB(255, 0, 0), RGB(0, 0, 255), 99));
    EXPECT_EQ(RGB(42, 0, 213), CHLMColorManager::BlendColors(RGB(255, 0, 0), RGB(0, 0, 255), 165));
}

TEST(ColorManagerArithmetic, ThresholdRampsFromTwiceToOnce)
{
    EXPECT_EQ(200.0f, CHLMColorManager::ScaledThreshold(0, 100));
    EXPECT_EQ(150.0f, CHLMColorManager::ScaledThreshold(110, 100));
    EXPECT_EQ(100.0f, CHLMColorManager::ScaledThreshold(220, 100));
    EXPECT_EQ(100.0f, CHLMColorManager::ScaledThreshold(440, 100));
    // A smooth ramp, not the two steps an integer division would give.
    EXPECT_LT(CHLMColorManager::ScaledThreshold(219, 100), CHLMColorManager::ScaledThreshold(1, 100));
    EXPECT_GT(CHLMColorManager::ScaledThreshold(219, 100), 100.0f);
}

TEST(ColorManagerArithmetic, DistancesUseTheWeightedSpace)
{
    // The axes run to 195, 390 and 65.
    EXPECT_FLOAT_EQ(195.0f * 195.0f, CHLMColorManager::ColorDistanceSquared(RGB(255, 0, 0), 0));
    EXPECT_FLOAT_EQ(390.0f, CHLMColorManager::ColorDistance(RGB(0, 255, 0), 0));
    EXPECT_FLOAT_EQ(65.0f, CHLMColorManager::ColorDistance(RGB(0, 0, 255), 0));
    EXPECT_TRUE(CHLMColorManager::ColorsDiffer(RGB(0, 0, 0), RGB(0, 0, 255), FALSE, 64));
    EXPECT_FALSE(CHLMColorManager::ColorsDiffer(RGB(0, 0, 0), RGB(0, 0, 255), FALSE, 65));
    EXPECT_FALSE(CHLMColorManager::ColorsDiffer(RGB(0, 0, 0), RGB(0, 0, 255), TRUE, 40)) << "black doubles 40";
}

TEST(ColorManagerArithmetic, PullAndPushPlaceTheColourAtTheWantedDistance)
{
    // Pulling white toward black leaves it at twice the threshold from black.
    const COLORREF pulled = CHLMColorManager::PullColorToward(RGB(0, 0, 0), RGB(255, 255, 255), 50);
    EXPECT_NEAR(100.0f, CHLMColorManager::ColorDistance(0, pulled), 1.5f);

    // Pushing a grey away from a near grey moves it to the wanted distance along its own line.
    const COLORREF a = RGB(128, 128, 128), b = RGB(120, 120, 120);
    const COLORREF pushed = CHLMColorManager::PushColorAway(a, b, 50);
    const float wanted = CHLMColorManager::ScaledThreshold(static_cast<int>(CHLMColorManager::ColorDistance(a, 0)), 50);
    EXPECT_NEAR(wanted, CHLMColorManager::ColorDistance(a, pushed), 2.0f);
    EXPECT_EQ(GetRValue(pushed), GetGValue(pushed));

    // A colour farther from b's line than the wanted distance: no negative square root, the
    // result is a real colour on the line.
    const COLORREF onLine = CHLMColorManager::PushColorAway(RGB(255, 0, 0), RGB(0, 0, 255), 10);
    EXPECT_EQ(0, GetRValue(onLine));
    EXPECT_EQ(0, GetGValue(onLine));
}

TEST(PaintManagerColor, EffectiveColourPrefersTheCustomValue)
{
    CHLMPaintManagerColor color(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), color.GetEffectiveColor());
    color.SetCustomValue(RGB(4, 5, 6));
    EXPECT_EQ(RGB(4, 5, 6), color.GetEffectiveColor());
    color.SetCustomValue(CLR_INVALID);
    EXPECT_EQ(RGB(1, 2, 3), color.GetEffectiveColor());
    EXPECT_EQ(CLR_INVALID, CHLMPaintManagerColor().GetEffectiveColor());

    CHLMPaintManagerColorGradient source(RGB(10, 0, 0), RGB(20, 0, 0));
    source.SetCustomColors(RGB(30, 0, 0), CLR_INVALID);
    CHLMPaintManagerColorGradient copy;
    copy.SetStandardFromEffective(source);
    EXPECT_EQ(RGB(30, 0, 0), copy.GetFirst().GetEffectiveColor());
    EXPECT_EQ(RGB(20, 0, 0), copy.GetSecond().GetEffectiveColor());
    copy.SetStandardColors(RGB(1, 1, 1), RGB(2, 2, 2), 0.3f);
    copy.SetCustomColors(RGB(5, 5, 5));
    EXPECT_EQ(RGB(5, 5, 5), copy.GetSecond().GetEffectiveColor());
    EXPECT_EQ(0.3f, copy.GetFactor());
}

namespace
{
const wchar_t* g_themeFile = L"";
const wchar_t* g_colorName = L"";

BOOL WINAPI ThemeIsActive() { return TRUE; }

HRESULT WINAPI GivenThemeName(LPWSTR file, int fileLength, LPWSTR color, int colorLength, LPWSTR, int)
{
    lstrcpynW(file, g_themeFile, fileLength);
    lstrcpynW(color, g_colorName, colorLength);
    return S_OK;
}

// The detection goes through the follow-flag wrappers' shared table: give it stand-ins.
class GivenVisualStyle
{
public:
    GivenVisualStyle()
    {
        m_wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotIsThemeActive, ThemeIsActive);
        m_wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotGetCurrentThemeName, GivenThemeName);
    }
    ~GivenVisualStyle()
    {
        m_wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotIsThemeActive, nullptr);
        m_wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotGetCurrentThemeName, nullptr);
    }

private:
    CHLMWinThemeWrapper m_wrapper{TRUE};
};
}

TEST(ColorManager, DetectsTheVisualStyleFromItsFileAndColourNames)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("no style is detected there");
    struct
    {
        const wchar_t* file;
        const wchar_t* color;
        int style;
    } rows[] = {
        {L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", 1},
        {L"C:\\WINDOWS\\Resources\\Themes\\Luna\\LUNA.MSSTYLES", L"HomeStead", 2},
        {L"C:\\WINDOWS\\Resources\\Themes\\Luna\\luna.msstyles", L"Metallic", 3},
        {L"C:\\WINDOWS\\Resources\\Themes\\Luna\\luna.msstyles", L"Purple", 0},
        {L"C:\\x\\WinXP.Luna.kvstyles", L"normalcolor", 1},
        {L"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", L"NormalColor", 4},
        {L"C:\\x\\winxp.royale.kvstyles", L"", 4},
        {L"C:\\Windows\\Resources\\Themes\\Aero\\Aero.msstyles", L"NormalColor", 5},
        {L"C:\\windows\\resources\\themes\\light\\light.msstyles", L"Blue", 0},
    };
    GivenVisualStyle style;
    for (const auto& row : rows)
    {
        g_themeFile = row.file;
        g_colorName = row.color;
        EXPECT_EQ(row.style, CHLMColorManager::GetInstance().DetectSystemTheme()) << row.file;
    }
    CHLMColorManager::GetInstance().RecomputeColors();
    EXPECT_EQ(0, CHLMColorManager::GetInstance().GetDetectedStyle()) << "last row";
}

TEST(PaintManagerColor, GradientArchiveFormIsTwoColourPairsAndAFloat)
{
    CHLMPaintManagerColorGradient gradient(RGB(1, 2, 3), RGB(4, 5, 6));
    gradient.SetCustomColors(CLR_INVALID, RGB(7, 8, 9));
    gradient.SetStandardColors(RGB(1, 2, 3), RGB(4, 5, 6), 0.25f);

    CMemFile file;
    {
        CArchive store(&file, CArchive::store);
        gradient.Serialize(store);
    }
    const float factor = 0.25f;
    DWORD expected[5] = {RGB(1, 2, 3), CLR_INVALID, RGB(4, 5, 6), RGB(7, 8, 9), 0};
    std::memcpy(&expected[4], &factor, 4);
    ASSERT_EQ(sizeof(expected), file.GetLength());
    DWORD stored[5] = {};
    file.SeekToBegin();
    file.Read(stored, sizeof(stored));
    EXPECT_EQ(0, std::memcmp(expected, stored, sizeof(expected)));

    file.SeekToBegin();
    CHLMPaintManagerColorGradient loaded;
    {
        CArchive load(&file, CArchive::load);
        loaded.Serialize(load);
    }
    EXPECT_EQ(RGB(1, 2, 3), loaded.GetFirst().GetStandardValue());
    EXPECT_EQ(CLR_INVALID, loaded.GetFirst().GetCustomValue());
    EXPECT_EQ(RGB(7, 8, 9), loaded.GetSecond().GetEffectiveColor());
    EXPECT_EQ(0.25f, loaded.GetFactor());
}

// The test script runs the toolkit's tests a second time on an 8-bit screen for this one.
TEST_F(ColorManagerWithGivenColors, LowColourDisplayKeepsBaseColoursAndSolidGradients)
{
    if (!CHLMColorManager::IsLowResolution())
        GTEST_SKIP() << "needs a display of 8 bits per pixel or less";
    Use(kClassicColors);
    EXPECT_EQ(kClassicColors[COLOR_3DFACE], manager.GetColor(30)) << "no blends, no contrast rules";
    EXPECT_EQ(kClassicColors[COLOR_WINDOW], manager.GetColor(31));
    EXPECT_EQ(kClassicColors[COLOR_3DSHADOW], manager.GetColor(48));
    EXPECT_EQ(kClassicColors[COLOR_3DLIGHT], manager.GetColor(COLOR_3DLIGHT)) << "no derived 3D light";
    for (int number : {2, 4})
    {
        EXPECT_EQ(kClassicColors[COLOR_3DFACE], manager.GetGradient(number).GetFirst().GetEffectiveColor());
        EXPECT_EQ(kClassicColors[COLOR_3DFACE], manager.GetGradient(number).GetSecond().GetEffectiveColor());
    }
    EXPECT_EQ(kClassicExpected.gradients[2][1], manager.GetGradient(3).GetSecond().GetEffectiveColor());
    EXPECT_EQ(CHLMColorManager::StyleNone, manager.DetectSystemTheme());
}

// Run by TreeViewBorderColourIsReadWithVisualStylesOn in a process started with Wine's own
// visual style active.
TEST(ColorManagerWithVisualStyles, DISABLED_TreeViewBorderBecomesColour57)
{
    CHLMWinThemeWrapper theme;
    ASSERT_TRUE(theme.IsThemeActive());
    theme.OpenThemeData(nullptr, L"TREEVIEW");
    ASSERT_TRUE(theme.IsAppThemed());
    COLORREF border = CLR_INVALID;
    ASSERT_EQ(S_OK, theme.GetThemeColor(0, 0, 3801, &border));

    CHLMColorManager& manager = CHLMColorManager::GetInstance();
    manager.RecomputeColors();
    ASSERT_NE(manager.GetColor(COLOR_3DSHADOW), border) << "the base value of colour 57 would hide the step";
    EXPECT_EQ(border, manager.GetColor(57));
}

TEST(ColorManager, TreeViewBorderColourIsReadWithVisualStylesOn)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the recompute ends before the visual-style colour");
    // The visual-styles library reads the theme settings when a process loads it: the child
    // starts with them on, and this process's settings are put back after it.
    const wchar_t* const kThemeManager = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kThemeManager, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                             nullptr, &key, nullptr));
    const std::vector<std::pair<const wchar_t*, std::wstring>> styleOn = {
        {L"ThemeActive", L"1"},
        {L"DllName", L"C:\\windows\\resources\\themes\\light\\light.msstyles"},
        {L"ColorName", L"Blue"},
        {L"SizeName", L"NormalSize"}};
    std::vector<std::pair<bool, std::wstring>> saved;
    for (const auto& value : styleOn)
    {
        wchar_t text[MAX_PATH] = L"";
        DWORD size = sizeof(text);
        const bool existed = RegGetValueW(key, nullptr, value.first, RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS;
        saved.push_back({existed, text});
        RegSetValueExW(key, value.first, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.second.c_str()),
                       static_cast<DWORD>((value.second.size() + 1) * sizeof(wchar_t)));
    }
    const ChildRunResult child = RunTestInChild(L"ColorManagerWithVisualStyles.DISABLED_TreeViewBorderBecomesColour57", {});
    for (size_t i = 0; i < styleOn.size(); ++i)
    {
        if (saved[i].first)
            RegSetValueExW(key, styleOn[i].first, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved[i].second.c_str()),
                           static_cast<DWORD>((saved[i].second.size() + 1) * sizeof(wchar_t)));
        else
            RegDeleteValueW(key, styleOn[i].first);
    }
    RegCloseKey(key);
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}
