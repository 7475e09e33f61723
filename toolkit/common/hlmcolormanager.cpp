#include "common/hlmcolormanager.h"

#include "common/hlmsystemhelpers.h"
#include "common/hlmwinthemewrapper.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

// ---------------------------------------------------------------------------------------
// Colour value classes

void CHLMPaintManagerColor::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << static_cast<DWORD>(m_clrStandard) << static_cast<DWORD>(m_clrCustom);
    else
        ar >> m_clrStandard >> m_clrCustom;
}

void CHLMPaintManagerColorGradient::Serialize(CArchive& ar)
{
    m_clrFirst.Serialize(ar);
    m_clrSecond.Serialize(ar);
    if (ar.IsStoring())
        ar << m_fFactor;
    else
        ar >> m_fFactor;
}

void CHLMPaintManagerColorGradient::SetStandardColors(COLORREF color)
{
    SetStandardColors(color, color, 0.5f);
}

void CHLMPaintManagerColorGradient::SetStandardColors(COLORREF first, COLORREF second, float factor)
{
    m_clrFirst.SetStandardValue(first);
    m_clrSecond.SetStandardValue(second);
    m_fFactor = factor;
}

void CHLMPaintManagerColorGradient::SetCustomColors(COLORREF color)
{
    SetCustomColors(color, color);
}

void CHLMPaintManagerColorGradient::SetCustomColors(COLORREF first, COLORREF second)
{
    m_clrFirst.SetCustomValue(first);
    m_clrSecond.SetCustomValue(second);
}

void CHLMPaintManagerColorGradient::SetStandardFromEffective(const CHLMPaintManagerColorGradient& other)
{
    m_clrFirst.SetStandardValue(other.m_clrFirst.GetEffectiveColor());
    m_clrSecond.SetStandardValue(other.m_clrSecond.GetEffectiveColor());
    m_fFactor = other.m_fFactor;
}

void CHLMPaintManagerColorGradient::SetCustomFromEffective(const CHLMPaintManagerColorGradient& other)
{
    m_clrFirst.SetCustomValue(other.m_clrFirst.GetEffectiveColor());
    m_clrSecond.SetCustomValue(other.m_clrSecond.GetEffectiveColor());
    m_fFactor = other.m_fFactor;
}

// ---------------------------------------------------------------------------------------
// Colour arithmetic in the weighted space: red, green and blue count 3 : 6 : 1.

namespace
{
const COLORREF kNone = CHLMPaintManagerColor::kNoColor;

struct Weighted
{
    float r, g, b;
};

const Weighted kAxisMaximum = {195.0f, 390.0f, 65.0f};

Weighted ToWeighted(COLORREF color)
{
    return {GetRValue(color) * 0.7647058823529411f, GetGValue(color) * 1.5294117647058822f,
            GetBValue(color) * 0.2549019607843137f};
}

BYTE ToChannel(float weighted, float axisMaximum, float toChannel)
{
    const float clamped = std::min(std::max(weighted, 0.0f), axisMaximum);
    const int channel = static_cast<int>(clamped * toChannel + 0.5f);
    return static_cast<BYTE>(std::min(std::max(channel, 0), 255));
}

COLORREF FromWeighted(const Weighted& w)
{
    return RGB(ToChannel(w.r, kAxisMaximum.r, 1.3076923076923077f),
               ToChannel(w.g, kAxisMaximum.g, 0.6538461538461539f),
               ToChannel(w.b, kAxisMaximum.b, 3.923076923076923f));
}

Weighted Mirrored(const Weighted& w)
{
    return {kAxisMaximum.r - w.r, kAxisMaximum.g - w.g, kAxisMaximum.b - w.b};
}

float Dot(const Weighted& a, const Weighted& b) { return a.r * b.r + a.g * b.g + a.b * b.b; }

float Brightness(COLORREF color) { return CHLMColorManager::ColorDistance(color, RGB(0, 0, 0)); }

BYTE MaxChannel(COLORREF color)
{
    return std::max(GetRValue(color), std::max(GetGValue(color), GetBValue(color)));
}

// Each channel times k / m, in integers.
COLORREF ScaleChannels(COLORREF color, int k, int m)
{
    return RGB(GetRValue(color) * k / m, GetGValue(color) * k / m, GetBValue(color) * k / m);
}

// The colour variant whose preset colours and gradients a style code uses: 0 none, 1 blue,
// 2 olive, 3 silver.
int PresetVariantOf(int style)
{
    switch (style)
    {
    case CHLMColorManager::StyleLunaBlue:
    case CHLMColorManager::StyleRoyale:
    case CHLMColorManager::StyleAero:
        return 1;
    case CHLMColorManager::StyleLunaOlive:
        return 2;
    case CHLMColorManager::StyleLunaSilver:
        return 3;
    default:
        return 0;
    }
}
}

float CHLMColorManager::ColorDistanceSquared(COLORREF a, COLORREF b)
{
    const Weighted wa = ToWeighted(a), wb = ToWeighted(b);
    const float dr = wa.r - wb.r, dg = wa.g - wb.g, db = wa.b - wb.b;
    return dr * dr + dg * dg + db * db;
}

float CHLMColorManager::ColorDistance(COLORREF a, COLORREF b)
{
    return std::sqrt(ColorDistanceSquared(a, b));
}

float CHLMColorManager::ScaledThreshold(int brightness, int threshold)
{
    // From twice the threshold for black down to the plain threshold at brightness 220.
    return (2.0f - static_cast<float>(std::min(brightness, 220)) / 220.0f) * static_cast<float>(threshold);
}

BOOL CHLMColorManager::ColorsDiffer(COLORREF a, COLORREF b, BOOL scale, float threshold)
{
    if (scale)
        threshold = ScaledThreshold(static_cast<int>(Brightness(a)), static_cast<int>(threshold));
    return ColorDistanceSquared(a, b) > threshold * threshold;
}

COLORREF CHLMColorManager::PullColorToward(COLORREF a, COLORREF b, float threshold)
{
    const float distance = ColorDistance(a, b);
    if (distance == 0.0f)
        return b;
    const float wanted = ScaledThreshold(static_cast<int>(Brightness(a)), static_cast<int>(threshold));
    const float k = (distance - wanted) / distance;
    const Weighted wa = ToWeighted(a), wb = ToWeighted(b);
    return FromWeighted({wb.r + k * (wa.r - wb.r), wb.g + k * (wa.g - wb.g), wb.b + k * (wa.b - wb.b)});
}

COLORREF CHLMColorManager::PushColorAway(COLORREF a, COLORREF b, float threshold)
{
    const float brightnessA = Brightness(a);
    const float wanted = ScaledThreshold(static_cast<int>(brightnessA), static_cast<int>(threshold));
    const float brightnessB = Brightness(b);
    const bool mirror = brightnessA < brightnessB ? brightnessA <= 442.0f - wanted : wanted >= brightnessA;

    Weighted wa = ToWeighted(a), wb = ToWeighted(b);
    if (mirror)
    {
        wa = Mirrored(wa);
        wb = Mirrored(wb);
    }
    const float n = std::max(std::sqrt(Dot(wb, wb)), 0.001f);
    const float d = Dot(wa, wb);
    const float t = d / (n * n);
    const Weighted p = {t * wb.r - wa.r, t * wb.g - wa.g, t * wb.b - wa.b};
    // When a lies farther from b's line than the wanted distance there is no point at that
    // distance; the nearest point on the line is taken.
    const float h = std::sqrt(std::max(wanted * wanted - Dot(p, p), 0.0f));
    const float s = d / n - h;
    Weighted result = {s * wb.r / n, s * wb.g / n, s * wb.b / n};
    if (mirror)
        result = Mirrored(result);
    return FromWeighted(result);
}

COLORREF CHLMColorManager::BlendColors(COLORREF a, COLORREF b, int percent)
{
    // Below 100 the share is in percent, from 100 in tenths of a percent (165 is 16.5 %).
    const int divisor = percent < 100 ? 100 : 1000;
    auto blend = [&](int ca, int cb) { return static_cast<BYTE>((cb * (divisor - percent) + divisor / 2 + ca * percent) / divisor); };
    return RGB(blend(GetRValue(a), GetRValue(b)), blend(GetGValue(a), GetGValue(b)),
               blend(GetBValue(a), GetBValue(b)));
}

// ---------------------------------------------------------------------------------------
// The manager

CHLMColorManager::CHLMColorManager()
    : m_bRoyaleDetection(TRUE),
      m_bAeroDetection(TRUE),
      m_bPresetsDisabled(FALSE),
      m_clrColors(),
      m_pfnSysColor(nullptr),
      m_nStyleSetting(StyleDetected),
      m_nDetectedStyle(StyleNone)
{
    std::fill(std::begin(m_clrOverrides), std::end(m_clrOverrides), kNone);
    std::fill(std::begin(m_clrPresets), std::end(m_clrPresets), kNone);
    RecomputeColors();
    m_arrGradients[7].SetStandardColors(0x8CD5FF, 0x55ADFF, 0.5f);
    m_arrGradients[8].SetStandardColors(0x4B8EFE, 0x8BCFFF, 0.5f);
    m_arrGradients[9].SetStandardColors(0xC8F2FF, 0x97D4FF, 0.5f);
}

CHLMColorManager::~CHLMColorManager() = default;

CHLMColorManager& CHLMColorManager::GetInstance()
{
    static CHLMColorManager instance;
    return instance;
}

COLORREF CHLMColorManager::GetColor(UINT index) const
{
    if (index >= kColorCount)
        return index;
    return m_clrOverrides[index] != kNone ? m_clrOverrides[index] : m_clrColors[index];
}

COLORREF CHLMColorManager::GetPresetColor(UINT index) const
{
    if (index >= 30 && index < kColorCount && m_clrPresets[index] != kNone)
        return m_clrPresets[index];
    return GetColor(index);
}

void CHLMColorManager::SetColor(UINT index, COLORREF color)
{
    if (index < kColorCount)
        m_clrOverrides[index] = color;
}

void CHLMColorManager::SetColors(int count, const UINT* indices, const COLORREF* colors)
{
    for (int i = 0; i < count; ++i)
        SetColor(indices[i], colors[i]);
}

const CHLMPaintManagerColorGradient& CHLMColorManager::GetGradient(int number) const
{
    return m_arrGradients[std::min(std::max(number, 1), static_cast<int>(kGradientCount)) - 1];
}

void CHLMColorManager::SetSysColorFunction(SysColorFunction function)
{
    m_pfnSysColor = function;
    RecomputeColors();
}

void CHLMColorManager::SetStyleSetting(int style)
{
    m_nStyleSetting = style;
    RecomputeColors();
}

int CHLMColorManager::GetCurrentStyle() const
{
    if (m_nStyleSetting == StyleDetected || m_nStyleSetting == StyleDetectedToo)
        return m_nDetectedStyle;
    return m_nStyleSetting;
}

int CHLMColorManager::PresetStyle() const
{
    return m_bPresetsDisabled ? StyleNone : GetCurrentStyle();
}

BOOL CHLMColorManager::IsLowResolution(HDC dc)
{
    int bitsPerPixel = 0;
    if (dc)
    {
        bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    }
    else
    {
        HWND desktop = GetDesktopWindow();
        HDC screen = GetDC(desktop);
        bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(desktop, screen);
    }
    return bitsPerPixel >= 1 && bitsPerPixel <= 8;
}

BOOL CHLMColorManager::IsHighContrast() const
{
    const COLORREF face = GetColor(COLOR_3DFACE), text = GetColor(COLOR_BTNTEXT);
    return (face == 0x000000 && text == 0xFFFFFF) || (face == 0xFFFFFF && text == 0x000000);
}

void CHLMColorManager::RecomputeColors()
{
    m_nDetectedStyle = DetectSystemTheme();
    const BOOL low = IsLowResolution();
    ReadSystemColors();
    SetBaseColors();
    SetPresetColors();
    if (low)
    {
        RefreshGradients();
        return;
    }
    const BOOL highContrast = IsHighContrast();
    if (highContrast)
        ApplyHighContrast();
    else
        ApplyBlends();
    ApplyContrastRules();
    if (!highContrast)
    {
        const COLORREF w = GetColor(COLOR_WINDOW), h = GetColor(COLOR_HIGHLIGHT), t = GetColor(30);
        auto channel = [](int w, int h, int t) { return w * 40 / 100 + h * 10 / 100 + t * 50 / 100; };
        m_clrColors[36] = RGB(channel(GetRValue(w), GetRValue(h), GetRValue(t)),
                              channel(GetGValue(w), GetGValue(h), GetGValue(t)),
                              channel(GetBValue(w), GetBValue(h), GetBValue(t)));
    }
    SetShadowColors();
    m_clrColors[53] = GetColor(30);
    m_clrColors[58] = GetColor(40);
    m_clrColors[60] = m_clrColors[40];
    RefreshGradients();
    ReadThemeBorderColor();
}

void CHLMColorManager::ReadSystemColors()
{
    m_clrColors[0] = 0;
    for (int index = 1; index <= 29; ++index)
        m_clrColors[index] = m_pfnSysColor ? m_pfnSysColor(index) : GetSysColor(index);
}

void CHLMColorManager::SetBaseColors()
{
    const COLORREF face = GetColor(COLOR_3DFACE), shadow = GetColor(COLOR_3DSHADOW);
    m_clrColors[30] = face;
    m_clrColors[31] = GetColor(COLOR_WINDOW);
    m_clrColors[33] = GetColor(COLOR_HIGHLIGHT);
    m_clrColors[41] = GetColor(COLOR_WINDOW);
    m_clrColors[35] = GetColor(COLOR_GRAYTEXT);
    for (int index : {38, 39, 43, 61, 40})
        m_clrColors[index] = shadow;
    m_clrColors[36] = GetColor(COLOR_WINDOW);
    m_clrColors[32] = GetColor(COLOR_HIGHLIGHT);
    m_clrColors[37] = GetColor(COLOR_HIGHLIGHT);
    m_clrColors[44] = GetColor(COLOR_WINDOWTEXT);
    m_clrColors[45] = GetColor(COLOR_MENUTEXT);
    m_clrColors[46] = GetColor(COLOR_BTNTEXT);
    m_clrColors[47] = GetColor(COLOR_HIGHLIGHTTEXT);
    m_clrColors[48] = shadow;
    m_clrColors[49] = GetColor(COLOR_HIGHLIGHTTEXT);
    m_clrColors[42] = shadow;
    m_clrColors[50] = GetColor(COLOR_HIGHLIGHT);
    m_clrColors[34] = shadow;
    m_clrColors[51] = face;
    m_clrColors[52] = shadow;
    m_clrColors[53] = face;
    m_clrColors[54] = shadow;
    m_clrColors[55] = face;
    m_clrColors[56] = face;
    m_clrColors[57] = shadow;
    m_clrColors[58] = GetColor(COLOR_GRAYTEXT);
    m_clrColors[59] = 0;
    m_clrColors[60] = shadow;
}

void CHLMColorManager::SetPresetColors()
{
    static const int kIndices[14] = {38, 39, 40, 41, 43, 31, 32, 50, 37, 33, 36, 30, 47, 59};
    static const COLORREF kBlue[14] = {0x764127, 0xCB8C6A, 0xD0966D, 0xF6F6F6, 0x962D00, 0xC2EEFF, 0x800000,
                                       0x800000, 0x800000, 0x3E80FE, 0x6FC0FF, 0xF5BE9E, 0x000000, 0x361E16};
    static const COLORREF kOlive[14] = {0x335E51, 0x588060, 0x7AAE9F, 0xEEF4F4, 0x5E8D75, 0xC2EEFF, 0x385D3F,
                                        0x385D3F, 0x385D3F, 0x3E80FE, 0x6FC0FF, 0xA7D9D9, 0x000000, 0x19221F};
    static const COLORREF kSilver[14] = {0x755454, 0x8F6D6E, 0xBEA7A8, 0xFFFAFD, 0x947C7C, 0xC2EEFF, 0x6F4B4B,
                                         0x6F4B4B, 0x6F4B4B, 0x3E80FE, 0x6FC0FF, 0xE5D7D7, 0x000000, 0x292024};
    static const COLORREF* const kByVariant[] = {nullptr, kBlue, kOlive, kSilver};
    const COLORREF* presets = kByVariant[PresetVariantOf(PresetStyle())];
    if (!presets)
    {
        std::fill(std::begin(m_clrPresets), std::end(m_clrPresets), kNone);
        return;
    }
    for (int i = 0; i < 14; ++i)
        m_clrPresets[kIndices[i]] = presets[i];
}

void CHLMColorManager::ApplyHighContrast()
{
    m_clrColors[31] = GetColor(COLOR_HIGHLIGHT);
    m_clrColors[36] = GetColor(COLOR_HIGHLIGHT);
    m_clrColors[45] = GetColor(COLOR_HIGHLIGHTTEXT);
    m_clrColors[32] = GetColor(COLOR_BTNTEXT);
    m_clrColors[37] = GetColor(COLOR_BTNTEXT);
    m_clrColors[50] = GetColor(COLOR_HIGHLIGHT);
    m_clrColors[43] = GetColor(COLOR_BTNTEXT);
    m_clrColors[38] = GetColor(COLOR_BTNTEXT);
}

void CHLMColorManager::ApplyBlends()
{
    static const int kBlends[][4] = {{30, 5, 15, 165}, {31, 13, 5, 30}, {33, 13, 5, 50},  {41, 15, 5, 143},
                                     {35, 17, 5, 70},  {38, 16, 5, 75}, {39, 16, 5, 70},  {43, 46, 16, 20},
                                     {61, 46, 16, 15}, {40, 16, 5, 90}, {42, 15, 16, 90}};
    for (const auto& blend : kBlends)
        m_clrColors[blend[0]] = BlendColors(GetColor(blend[1]), GetColor(blend[2]), blend[3]);
}

void CHLMColorManager::ApplyContrastRules()
{
    if (ColorsDiffer(GetColor(15), GetColor(30), TRUE, 35))
        m_clrColors[30] = PullColorToward(GetColor(15), GetColor(30), 35);

    // target, a, b, threshold: b is moved away from a when they are too close.
    static const int kRows[][4] = {{31, 30, 31, 50},  {32, 30, 13, 100}, {33, 30, 33, 30},  {35, 41, 35, 80},
                                   {37, 33, 37, 100}, {38, 30, 38, 85},  {39, 30, 39, 50},  {43, 41, 43, 100},
                                   {61, 30, 61, 100}, {40, 30, 40, 80},  {44, 41, 44, 180}, {45, 31, 45, 180},
                                   {46, 30, 46, 180}, {47, 33, 47, 180}};
    for (const auto& row : kRows)
    {
        const float threshold = static_cast<float>(row[3]);
        if (!ColorsDiffer(GetColor(row[1]), GetColor(row[2]), TRUE, threshold))
            m_clrColors[row[0]] = PushColorAway(GetColor(row[1]), GetColor(row[2]), threshold);
    }

    if (ColorsDiffer(GetColor(41), GetColor(35), TRUE, 145))
        m_clrColors[35] = PullColorToward(GetColor(41), GetColor(35), 145);
}

void CHLMColorManager::SetShadowColors()
{
    const COLORREF face = GetColor(COLOR_3DFACE);
    const int faceMax = MaxChannel(face);
    m_clrColors[48] = faceMax == 0 ? 0x232323 : ScaleChannels(face, faceMax + std::min(255 - faceMax, 35), faceMax);

    const COLORREF shadow = GetColor(COLOR_3DSHADOW);
    const int shadowMax = MaxChannel(shadow);
    if (face == 0)
        m_clrColors[49] = 0x7F7F7F;
    else if (shadowMax == 0)
        m_clrColors[49] = 0;
    else
        m_clrColors[49] = ScaleChannels(shadow, std::max(shadowMax - 43, 0), shadowMax);

    const COLORREF computed31 = m_clrColors[31];
    m_clrColors[34] = RGB(static_cast<int>(GetRValue(computed31) * 0.75),
                          static_cast<int>(GetGValue(computed31) * 0.75),
                          static_cast<int>(GetBValue(computed31) * 0.75));

    auto lighter = [](int channel) { return std::min(channel + 15, 255); };
    m_clrColors[COLOR_3DLIGHT] = RGB(lighter(GetRValue(face)), lighter(GetGValue(face)), lighter(GetBValue(face)));
}

void CHLMColorManager::RefreshGradients()
{
    struct Preset
    {
        COLORREF clrFirst, clrSecond;
        float fFactor;
    };
    static const Preset kBlue[7] = {{0xD68759, 0x962D00, 0.5f}, {0xF5BE9E, 0xFADAC4, 0.5f}, {0xD68759, 0x962D00, 0.5f},
                                    {0xFEECDD, 0xE2A981, 0.75f}, {0xFFEFE3, 0xE4AD87, 0.5f}, {0xF6DDCB, 0xDCA179, 0.5f},
                                    {0xFFEFE3, 0xE7B593, 0.5f}};
    static const Preset kOlive[7] = {{0x82C0AF, 0x447A63, 0.5f}, {0xA7D9D9, 0xE4F1F2, 0.5f}, {0x6F8E78, 0x435B49, 0.5f},
                                     {0xDEF7F4, 0x91C6B7, 0.3f}, {0xEDFFFF, 0x92C7B8, 0.3f}, {0xD1E6E6, 0x78B4A4, 0.3f},
                                     {0xD5F0EC, 0x9FCEC2, 0.5f}};
    static const Preset kSilver[7] = {{0xBFA7A8, 0x916F70, 0.5f},  {0xE5D7D7, 0xF7F3F3, 0.5f},  {0xBFA7A8, 0x977677, 0.5f},
                                      {0xFFF9F9, 0xB79B9C, 0.75f}, {0xFFF9F9, 0xB99D9F, 0.75f}, {0xE2D7D7, 0x9E7E80, 0.75f},
                                      {0xF1E7E9, 0xCDB9BA, 0.5f}};
    static const Preset* const kByVariant[] = {nullptr, kBlue, kOlive, kSilver};
    static const COLORREF kColor54ByVariant[] = {0, 0x962D00, 0x588060, 0x947C7C};
    const int variant = PresetVariantOf(PresetStyle());
    const Preset* presets = kByVariant[variant];
    const COLORREF presetColor54 = kColor54ByVariant[variant];
    if (presets)
    {
        for (int i = 0; i < 7; ++i)
            m_arrGradients[i].SetStandardColors(presets[i].clrFirst, presets[i].clrSecond, presets[i].fFactor);
        m_clrColors[54] = presetColor54;
    }
    else
    {
        const COLORREF face = GetColor(COLOR_3DFACE), shadow = GetColor(COLOR_3DSHADOW), window = GetColor(COLOR_WINDOW);
        m_arrGradients[0].SetStandardColors(shadow, shadow, 0.5f);
        m_arrGradients[1].SetStandardColors(face, BlendColors(face, window, 215), 0.5f);
        m_arrGradients[2].SetStandardColors(face, shadow, 0.5f);
        m_arrGradients[3].SetStandardColors(BlendColors(face, window, 205), face, 0.5f);
        m_arrGradients[4].SetStandardColors(BlendColors(face, window, 145), BlendColors(face, window, 93), 0.5f);
        m_arrGradients[5].SetStandardColors(BlendColors(face, window, 40), BlendColors(face, shadow, 95), 0.5f);
        m_arrGradients[6].SetStandardColors(BlendColors(face, window, 165), BlendColors(face, window, 42), 0.5f);
    }

    if (IsLowResolution())
    {
        m_arrGradients[3].SetStandardColors(GetColor(COLOR_3DFACE));
        m_arrGradients[1].SetStandardColors(GetColor(COLOR_3DFACE));
    }
}

void CHLMColorManager::ReadThemeBorderColor()
{
    const int kBorderColorProperty = 3801;
    CHLMWinThemeWrapper theme(TRUE);
    theme.OpenThemeData(nullptr, L"TREEVIEW");
    if (theme.IsAppThemed())
        theme.GetThemeColor(0, 0, kBorderColorProperty, &m_clrColors[57]);
}

int CHLMColorManager::DetectSystemTheme() const
{
    CHLMWinThemeWrapper activeTheme(TRUE);
    if (!activeTheme.IsThemeActive())
        return StyleNone;
    if (IsLowResolution())
        return StyleNone;

    wchar_t fileName[MAX_PATH] = {}, colorName[MAX_PATH] = {}, sizeName[MAX_PATH] = {};
    CHLMWinThemeWrapper theme(TRUE);
    if (theme.GetCurrentThemeName(fileName, MAX_PATH, colorName, MAX_PATH, sizeName, MAX_PATH) != S_OK)
        return StyleNone;
    for (wchar_t* text : {fileName, colorName})
        for (wchar_t* c = text; *c; ++c)
            *c = static_cast<wchar_t>(std::towlower(*c));

    if (FindSubstringW(fileName, L"luna.msstyles") || FindSubstringW(fileName, L"winxp.luna.kvstyles"))
    {
        if (wcscmp(colorName, L"normalcolor") == 0)
            return StyleLunaBlue;
        if (wcscmp(colorName, L"homestead") == 0)
            return StyleLunaOlive;
        if (wcscmp(colorName, L"metallic") == 0)
            return StyleLunaSilver;
    }
    if (m_bRoyaleDetection &&
        (FindSubstringW(fileName, L"royale.msstyles") || FindSubstringW(fileName, L"winxp.royale.kvstyles")))
        return StyleRoyale;
    if (m_bAeroDetection && FindSubstringW(fileName, L"aero.msstyles"))
        return StyleAero;
    return StyleNone;
}

CHLMColorManager& GetColorManagerInstance() { return CHLMColorManager::GetInstance(); }

COLORREF GetManagedColor(UINT index) { return CHLMColorManager::GetInstance().GetColor(index); }

void RefreshManagedColors() { CHLMColorManager::GetInstance().RecomputeColors(); }
