#include "common/hlmdrawhelpers.h"

#include "common/hlmsystemhelpers.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------
// The drawing object

CHLMDrawHelpers::CHLMDrawHelpers()
    : m_alphaBlend(nullptr), m_transparentBlt(nullptr), m_gradientFill(nullptr), m_msimg32(nullptr)
{
    m_msimg32 = LoadLibraryW(L"msimg32.dll");
    if (!m_msimg32)
        return;
    m_gradientFill = reinterpret_cast<GradientFillFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_msimg32, "GradientFill")));
    m_alphaBlend = reinterpret_cast<AlphaBlendFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_msimg32, "AlphaBlend")));
    m_transparentBlt = reinterpret_cast<TransparentBltFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_msimg32, "TransparentBlt")));
}

// msimg32 stays loaded for the life of the process.
CHLMDrawHelpers::~CHLMDrawHelpers() = default;

CHLMDrawHelpers& CHLMDrawHelpers::Instance()
{
    static CHLMDrawHelpers instance;
    return instance;
}

BOOL CHLMDrawHelpers::GradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh,
                                   ULONG meshCount, ULONG mode) const
{
    if (!m_gradientFill)
        return FALSE;
    return m_gradientFill(dc, vertices, vertexCount, mesh, meshCount, mode);
}

// ---------------------------------------------------------------------------------------
// Layout

namespace
{
using GetLayoutFunction = DWORD(WINAPI*)(HDC);
using SetLayoutFunction = DWORD(WINAPI*)(HDC, DWORD);

template <class Function>
Function Gdi32Function(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("GDI32.DLL"), name)));
}
}

DWORD CHLMDrawHelpers::GetDcLayout(HDC dc)
{
    static const GetLayoutFunction getLayout = Gdi32Function<GetLayoutFunction>("GetLayout");
    return getLayout ? getLayout(dc) : 0;
}

void CHLMDrawHelpers::SetDcLayout(HDC dc, DWORD layout)
{
    static const SetLayoutFunction setLayout = Gdi32Function<SetLayoutFunction>("SetLayout");
    if (setLayout)
        setLayout(dc, layout);
}

// ---------------------------------------------------------------------------------------
// Colour arithmetic

namespace
{
BYTE ClampChannel(double value)
{
    // Truncation towards zero, then both ends of the byte range.
    const double truncated = static_cast<double>(static_cast<long long>(value));
    return static_cast<BYTE>(std::min(255.0, std::max(0.0, truncated)));
}

int MaxOf(int a, int b, int c) { return std::max(a, std::max(b, c)); }
int MinOf(int a, int b, int c) { return std::min(a, std::min(b, c)); }
}

COLORREF CHLMDrawHelpers::MixColors(COLORREF first, COLORREF second, double firstWeight)
{
    const double secondWeight = 1.0 - firstWeight;
    return RGB(ClampChannel(firstWeight * GetRValue(first) + secondWeight * GetRValue(second)),
               ClampChannel(firstWeight * GetGValue(first) + secondWeight * GetGValue(second)),
               ClampChannel(firstWeight * GetBValue(first) + secondWeight * GetBValue(second)));
}

COLORREF CHLMDrawHelpers::DarkenColor(int amount, COLORREF color)
{
    auto darken = [amount](int channel) { return static_cast<BYTE>(MulDiv(channel, 255 - amount, 255)); };
    return RGB(darken(GetRValue(color)), darken(GetGValue(color)), darken(GetBValue(color)));
}

COLORREF CHLMDrawHelpers::LightenColor(int amount, COLORREF color)
{
    auto lighten = [amount](int channel)
    { return static_cast<BYTE>(channel + MulDiv(255 - channel, amount, 255)); };
    return RGB(lighten(GetRValue(color)), lighten(GetGValue(color)), lighten(GetBValue(color)));
}

DWORD CHLMDrawHelpers::ColorToHsl(COLORREF color)
{
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    const int mx = MaxOf(r, g, b), mn = MinOf(r, g, b);
    int lightness = (mx + mn + 1) / 2;
    int hue = 255, saturation = 0;  // every gray scales to hue 239
    if (mx != mn)
    {
        const int d = mx - mn, s = mx + mn;
        saturation = lightness < 127 ? ((d + 1) * 256) / s : (d * 256) / (512 - s);
        if (r == mx)
            hue = ((g - b) * 256) / d;
        else if (g == mx)
            hue = ((b - r) * 256) / d + 512;
        else
            hue = ((r - g) * 256) / d + 1024;
        hue /= 6;
        if (hue < 0)
            hue += 256;
    }
    hue = std::min(hue * 239 / 255, 239);
    saturation = std::min(saturation * 240 / 255, 240);
    lightness = std::min(lightness * 240 / 255, 240);
    return static_cast<DWORD>(hue | saturation << 8 | lightness << 16);
}

int CHLMDrawHelpers::HueToRgbInt(int m1, int m2, int hue)
{
    if (hue < 0)
        hue += 255;
    if (hue > 255)
        hue -= 255;
    const int q = (m2 - m1) / 255;
    if (6 * hue < 255)
        return (m1 + q * hue * 6) / 255;
    if (2 * hue < 255)
        return m2 / 255;
    if (3 * hue < 510)
        return (m1 + q * (170 - hue) * 6) / 255;
    return m1 / 255;
}

COLORREF CHLMDrawHelpers::HslToColor(DWORD hsl)
{
    const int hue = (hsl & 0xFF) * 255 / 239;
    const int saturation = ((hsl >> 8) & 0xFF) * 255 / 240;
    const int lightness = ((hsl >> 16) & 0xFF) * 255 / 240;
    int r = lightness, g = lightness, b = lightness;
    if (saturation != 0)
    {
        const int m2 = lightness <= 127 ? (saturation + 255) * lightness
                                        : ((lightness + saturation) - lightness * saturation / 255) * 255;
        const int m1 = lightness * 510 - m2;
        r = HueToRgbInt(m1, m2, hue + 85);
        g = HueToRgbInt(m1, m2, hue);
        b = HueToRgbInt(m1, m2, hue - 85);
    }
    auto channel = [](int value) { return static_cast<BYTE>(std::min(std::max(value, 0), 255)); };
    return RGB(channel(r), channel(g), channel(b));
}

void CHLMDrawHelpers::ColorToHslDouble(COLORREF color, double& hue, double& saturation, double& lightness)
{
    const double r = GetRValue(color) / 255.0, g = GetGValue(color) / 255.0, b = GetBValue(color) / 255.0;
    const double mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
    lightness = (mx + mn) / 2;
    if (mx == mn)
    {
        hue = saturation = 0;
        return;
    }
    const double d = mx - mn;
    saturation = lightness < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
        hue = (g - b) / d;
    else if (g == mx)
        hue = (b - r) / d + 2;
    else
        hue = (r - g) / d + 4;
    hue /= 6;
    if (hue < 0)
        hue += 1;
}

double CHLMDrawHelpers::HueToRgbDouble(double m1, double m2, double hue)
{
    if (hue < 0)
        hue += 1;
    if (hue > 1)
        hue -= 1;
    if (6 * hue < 1)
        return m1 + (m2 - m1) * hue * 6;
    if (2 * hue < 1)
        return m2;
    if (3 * hue < 2)
        return m1 + (m2 - m1) * (2.0 / 3.0 - hue) * 6;
    return m1;
}

COLORREF CHLMDrawHelpers::HslToColorDouble(double hue, double saturation, double lightness)
{
    double r = lightness, g = lightness, b = lightness;
    if (saturation != 0)
    {
        const double m2 = lightness < 0.5 ? lightness * (1 + saturation)
                                           : lightness + saturation - lightness * saturation;
        const double m1 = 2 * lightness - m2;
        r = HueToRgbDouble(m1, m2, hue + 1.0 / 3.0);
        g = HueToRgbDouble(m1, m2, hue);
        b = HueToRgbDouble(m1, m2, hue - 1.0 / 3.0);
    }
    // The byte of the truncated value, as the integer scale keeps it.
    auto channel = [](double value) { return static_cast<BYTE>(static_cast<int>(value * 255)); };
    return RGB(channel(r), channel(g), channel(b));
}
