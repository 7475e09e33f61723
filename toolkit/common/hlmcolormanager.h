// The process-wide interface colours: 63 colours by index (0-29 the system colours, 30-62
// derived from them by fixed blends and contrast rules) with optional overrides, ten
// two-colour gradients, the presets of three colour variants of the system's visual style,
// and the detection of that style.
#pragma once

#include <afxwin.h>

// A colour with a computed (standard) value and an optional user (custom) value.
class CHLMPaintManagerColor
{
public:
    CHLMPaintManagerColor() : m_clrStandard(kNoColor), m_clrCustom(kNoColor) {}
    CHLMPaintManagerColor(COLORREF standard) : m_clrStandard(standard), m_clrCustom(kNoColor) {}

    void SetStandardValue(COLORREF color) { m_clrStandard = color; }
    void SetCustomValue(COLORREF color) { m_clrCustom = color; }
    COLORREF GetStandardValue() const { return m_clrStandard; }
    COLORREF GetCustomValue() const { return m_clrCustom; }
    // The custom value when there is one, else the standard value.
    COLORREF GetEffectiveColor() const { return m_clrCustom != kNoColor ? m_clrCustom : m_clrStandard; }

    // Standard, then custom value, four bytes each.
    virtual void Serialize(CArchive& ar);

    static const COLORREF kNoColor = static_cast<COLORREF>(-1);

private:
    COLORREF m_clrStandard;
    COLORREF m_clrCustom;
};

// Two colours and the position (factor) of the middle colour between them.
class CHLMPaintManagerColorGradient
{
public:
    CHLMPaintManagerColorGradient() : m_fFactor(0.5f) {}
    explicit CHLMPaintManagerColorGradient(const CHLMPaintManagerColor& color)
        : m_clrFirst(color), m_clrSecond(color), m_fFactor(0.5f) {}
    explicit CHLMPaintManagerColorGradient(COLORREF color) : m_clrFirst(color), m_clrSecond(color), m_fFactor(0.5f) {}
    CHLMPaintManagerColorGradient(COLORREF first, COLORREF second)
        : m_clrFirst(first), m_clrSecond(second), m_fFactor(0.5f) {}

    void SetStandardColors(COLORREF color);
    void SetStandardColors(COLORREF first, COLORREF second, float factor);
    void SetCustomColors(COLORREF color);
    void SetCustomColors(COLORREF first, COLORREF second);
    void SetStandardFromEffective(const CHLMPaintManagerColorGradient& other);
    void SetCustomFromEffective(const CHLMPaintManagerColorGradient& other);

    const CHLMPaintManagerColor& GetFirst() const { return m_clrFirst; }
    const CHLMPaintManagerColor& GetSecond() const { return m_clrSecond; }
    float GetFactor() const { return m_fFactor; }

    // First colour, second colour, then the factor as a 4-byte float.
    virtual void Serialize(CArchive& ar);

private:
    CHLMPaintManagerColor m_clrFirst;
    CHLMPaintManagerColor m_clrSecond;
    float m_fFactor;
};

class CHLMColorManager : public CCmdTarget
{
public:
    enum
    {
        kColorCount = 63,
        kGradientCount = 10
    };

    // Style codes: detected from the visual style, or set.
    enum Style
    {
        StyleNone = 0,
        StyleLunaBlue = 1,
        StyleLunaOlive = 2,
        StyleLunaSilver = 3,
        StyleRoyale = 4,
        StyleAero = 5,
        StyleDetected = 6,
        StyleDetectedToo = 7
    };

    using SysColorFunction = DWORD(WINAPI*)(int);

    static CHLMColorManager& GetInstance();
    virtual ~CHLMColorManager();

    CHLMColorManager(const CHLMColorManager&) = delete;
    CHLMColorManager& operator=(const CHLMColorManager&) = delete;

    // An index above 62 is returned unchanged, so a COLORREF may stand in for an index.
    COLORREF GetColor(UINT index) const;
    COLORREF GetPresetColor(UINT index) const;
    // -1 removes the override; indices above 62 are ignored.
    void SetColor(UINT index, COLORREF color);
    void SetColors(int count, const UINT* indices, const COLORREF* colors);

    // Gradient 1 to 10.
    const CHLMPaintManagerColorGradient& GetGradient(int number) const;

    void SetSysColorFunction(SysColorFunction function);
    void SetStyleSetting(int style);
    int GetStyleSetting() const { return m_nStyleSetting; }
    int GetCurrentStyle() const;
    int GetDetectedStyle() const { return m_nDetectedStyle; }
    void SetPresetsDisabled(BOOL disabled) { m_bPresetsDisabled = disabled; }
    BOOL IsPresetsDisabled() const { return m_bPresetsDisabled; }

    static BOOL IsLowResolution(HDC dc = nullptr);

    void RecomputeColors();
    int DetectSystemTheme() const;

    // Colour arithmetic of the contrast rules, in a weighted RGB space.
    static float ColorDistanceSquared(COLORREF a, COLORREF b);
    static float ColorDistance(COLORREF a, COLORREF b);
    static float ScaledThreshold(int brightness, int threshold);
    static BOOL ColorsDiffer(COLORREF a, COLORREF b, BOOL scale, float threshold);
    static COLORREF PullColorToward(COLORREF a, COLORREF b, float threshold);
    static COLORREF PushColorAway(COLORREF a, COLORREF b, float threshold);
    static COLORREF BlendColors(COLORREF a, COLORREF b, int percent);

private:
    CHLMColorManager();

    void ReadSystemColors();
    void SetBaseColors();
    void SetPresetColors();
    void ApplyHighContrast();
    void ApplyBlends();
    void ApplyContrastRules();
    void SetShadowColors();
    void RefreshGradients();
    void ReadThemeBorderColor();
    BOOL IsHighContrast() const;
    int PresetStyle() const;

    CHLMPaintManagerColorGradient m_arrGradients[kGradientCount];
    BOOL m_bRoyaleDetection;
    BOOL m_bAeroDetection;
    BOOL m_bPresetsDisabled;
    COLORREF m_clrColors[kColorCount];
    COLORREF m_clrOverrides[kColorCount];
    COLORREF m_clrPresets[kColorCount];
    SysColorFunction m_pfnSysColor;
    int m_nStyleSetting;
    int m_nDetectedStyle;
};

CHLMColorManager& GetColorManagerInstance();
COLORREF GetManagedColor(UINT index);
void RefreshManagedColors();
