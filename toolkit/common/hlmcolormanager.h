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
    CHLMPaintManagerColor() : m_standard(CLR_NONE_VALUE), m_custom(CLR_NONE_VALUE) {}
    CHLMPaintManagerColor(COLORREF standard) : m_standard(standard), m_custom(CLR_NONE_VALUE) {}

    void SetStandardValue(COLORREF color) { m_standard = color; }
    void SetCustomValue(COLORREF color) { m_custom = color; }
    COLORREF GetStandardValue() const { return m_standard; }
    COLORREF GetCustomValue() const { return m_custom; }
    // The custom value when there is one, else the standard value.
    COLORREF GetEffectiveColor() const { return m_custom != CLR_NONE_VALUE ? m_custom : m_standard; }

    // Standard, then custom value, four bytes each.
    virtual void Serialize(CArchive& ar);

    static const COLORREF CLR_NONE_VALUE = static_cast<COLORREF>(-1);

private:
    COLORREF m_standard;
    COLORREF m_custom;
};

// Two colours and the position (factor) of the middle colour between them.
class CHLMPaintManagerColorGradient
{
public:
    CHLMPaintManagerColorGradient() : m_factor(0.5f) {}
    explicit CHLMPaintManagerColorGradient(const CHLMPaintManagerColor& color)
        : m_first(color), m_second(color), m_factor(0.5f) {}
    explicit CHLMPaintManagerColorGradient(COLORREF color) : m_first(color), m_second(color), m_factor(0.5f) {}
    CHLMPaintManagerColorGradient(COLORREF first, COLORREF second)
        : m_first(first), m_second(second), m_factor(0.5f) {}

    void SetStandardColors(COLORREF color);
    void SetStandardColors(COLORREF first, COLORREF second, float factor);
    void SetCustomColors(COLORREF color);
    void SetCustomColors(COLORREF first, COLORREF second);
    void SetStandardFromEffective(const CHLMPaintManagerColorGradient& other);
    void SetCustomFromEffective(const CHLMPaintManagerColorGradient& other);

    const CHLMPaintManagerColor& GetFirst() const { return m_first; }
    const CHLMPaintManagerColor& GetSecond() const { return m_second; }
    float GetFactor() const { return m_factor; }

    // First colour, second colour, then the factor as a 4-byte float.
    virtual void Serialize(CArchive& ar);

private:
    CHLMPaintManagerColor m_first;
    CHLMPaintManagerColor m_second;
    float m_factor;
};

class CHLMColorManager : public CCmdTarget
{
public:
    enum
    {
        ColorCount = 63,
        GradientCount = 10
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
    int GetStyleSetting() const { return m_styleSetting; }
    int GetCurrentStyle() const;
    int GetDetectedStyle() const { return m_detectedStyle; }
    void SetPresetsDisabled(BOOL disabled) { m_presetsDisabled = disabled; }
    BOOL IsPresetsDisabled() const { return m_presetsDisabled; }

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

    CHLMPaintManagerColorGradient m_gradients[GradientCount];
    BOOL m_royaleDetection;
    BOOL m_aeroDetection;
    BOOL m_presetsDisabled;
    COLORREF m_colors[ColorCount];
    COLORREF m_overrides[ColorCount];
    COLORREF m_presets[ColorCount];
    SysColorFunction m_sysColorFunction;
    int m_styleSetting;
    int m_detectedStyle;
};

CHLMColorManager& GetColorManagerInstance();
COLORREF GetManagedColor(UINT index);
void RefreshManagedColors();
