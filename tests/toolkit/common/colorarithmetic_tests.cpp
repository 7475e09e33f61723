// Mixing, darkening, lightening and HSL conversions, exact to the bit. The expected values
// were worked out by hand from the integer rules, and checked with an independent script.
#include <gtest/gtest.h>

#include "common/hlmdrawhelpers.h"

#include <windows.h>

TEST(MixColors, TruncatesAndClampsEachChannel)
{
    struct
    {
        COLORREF first, second;
        double weight;
        COLORREF mixed;
    } rows[] = {
        {RGB(255, 0, 0), RGB(0, 0, 255), 0.5, RGB(127, 0, 127)},  // trunc of 127.5
        {RGB(0, 0, 0), RGB(255, 255, 255), 1.0 - 99 / 100.0, RGB(252, 252, 252)},
        {RGB(10, 20, 30), RGB(200, 100, 50), 1.0, RGB(10, 20, 30)},
        {RGB(10, 20, 30), RGB(200, 100, 50), 0.0, RGB(200, 100, 50)},
        // Weights outside 0..1 extrapolate; the channels stay within a byte at both ends.
        {RGB(10, 20, 30), RGB(200, 100, 50), 1.5, RGB(0, 0, 20)},
        {RGB(10, 20, 30), RGB(200, 100, 50), -0.25, RGB(247, 120, 55)},
        {RGB(250, 250, 250), RGB(100, 100, 100), 1.2, RGB(255, 255, 255)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.mixed, CHLMDrawHelpers::MixColors(row.first, row.second, row.weight))
            << std::hex << row.first << " " << row.second << " " << row.weight;
}

TEST(MixColors, IgnoresTheTopByte)
{
    EXPECT_EQ(RGB(127, 0, 127), CHLMDrawHelpers::MixColors(0xFF0000FF, 0x02FF0000, 0.5));
}

TEST(DarkenAndLighten, RoundWithMulDiv)
{
    EXPECT_EQ(RGB(127, 127, 127), CHLMDrawHelpers::DarkenColor(128, RGB(255, 255, 255)));
    EXPECT_EQ(RGB(128, 128, 128), CHLMDrawHelpers::LightenColor(128, RGB(0, 0, 0)));
    EXPECT_EQ(RGB(10, 20, 30), CHLMDrawHelpers::DarkenColor(0, RGB(10, 20, 30)));
    EXPECT_EQ(RGB(0, 0, 0), CHLMDrawHelpers::DarkenColor(255, RGB(10, 20, 30)));
    EXPECT_EQ(RGB(10, 20, 30), CHLMDrawHelpers::LightenColor(0, RGB(10, 20, 30)));
    EXPECT_EQ(RGB(255, 255, 255), CHLMDrawHelpers::LightenColor(255, RGB(10, 20, 30)));
    // 200 * 155 / 255 = 121.57 -> 122; 100 + 155 * 100 / 255 = 100 + 60.78 -> 161
    EXPECT_EQ(RGB(122, 122, 122), CHLMDrawHelpers::DarkenColor(100, RGB(200, 200, 200)));
    EXPECT_EQ(RGB(161, 161, 161), CHLMDrawHelpers::LightenColor(100, RGB(100, 100, 100)));
}

namespace
{
struct HslCase
{
    COLORREF color;
    DWORD hsl;         // ColorToHsl
    COLORREF back;     // HslToColor of that
};

const HslCase kHslCases[] = {
    {RGB(255, 0, 0), 0x78EF00, RGB(253, 0, 0)},
    {RGB(255, 255, 255), 0xF000EF, RGB(255, 255, 255)},
    {RGB(0, 0, 0), 0x0000EF, RGB(0, 0, 0)},
    {RGB(0, 128, 255), 0x78EF8B, RGB(0, 131, 253)},
    {RGB(200, 100, 50), 0x75900D, RGB(198, 94, 49)},
    {RGB(10, 200, 30), 0x62DA53, RGB(9, 198, 23)},
    {RGB(128, 128, 128), 0x7800EF, RGB(127, 127, 127)},
    {RGB(90, 20, 200), 0x67C5AF, RGB(86, 19, 198)},
    {RGB(245, 245, 245), 0xE600EF, RGB(244, 244, 244)},
    {RGB(1, 2, 3), 0x01B48B, RGB(0, 0, 1)},
};
}

TEST(IntegerHsl, ConvertsBothWaysOnTheColourDialogScale)
{
    for (const HslCase& row : kHslCases)
    {
        EXPECT_EQ(row.hsl, CHLMDrawHelpers::ColorToHsl(row.color)) << std::hex << row.color;
        EXPECT_EQ(row.back, CHLMDrawHelpers::HslToColor(row.hsl)) << std::hex << row.hsl;
    }
    // Fully saturated red at lightness 120: L' = 127, m1 = 0.
    EXPECT_EQ(RGB(254, 0, 0), CHLMDrawHelpers::HslToColor(0 | 240 << 8 | 120 << 16));
}

TEST(DoubleHsl, ConvertsBothWays)
{
    double h, s, l;
    CHLMDrawHelpers::ColorToHslDouble(RGB(0, 255, 0), h, s, l);
    EXPECT_EQ(1.0 / 3.0, h);
    EXPECT_EQ(1.0, s);
    EXPECT_EQ(0.5, l);
    EXPECT_EQ(RGB(0, 255, 0), CHLMDrawHelpers::HslToColorDouble(h, s, l));

    CHLMDrawHelpers::ColorToHslDouble(RGB(128, 128, 128), h, s, l);
    EXPECT_EQ(0.0, h);
    EXPECT_EQ(0.0, s);
    EXPECT_EQ(128 / 255.0, l);

    struct
    {
        COLORREF color, back;
    } rows[] = {
        // Truncation loses a step on some channels.
        {RGB(200, 100, 50), RGB(200, 100, 49)},
        {RGB(37, 150, 220), RGB(36, 149, 220)},
        {RGB(255, 255, 255), RGB(255, 255, 255)},
        {RGB(128, 128, 128), RGB(128, 128, 128)},
        {RGB(0, 0, 255), RGB(0, 0, 255)},
    };
    for (const auto& row : rows)
    {
        CHLMDrawHelpers::ColorToHslDouble(row.color, h, s, l);
        EXPECT_EQ(row.back, CHLMDrawHelpers::HslToColorDouble(h, s, l)) << std::hex << row.color;
    }
}
