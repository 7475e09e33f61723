// The process-wide drawing object with the optional msimg32 functions, the free drawing
// functions around it (gradients, shapes, rectangles, layout, text, fonts, colour
// arithmetic), and the scoped device-context classes.
#pragma once

#include <windows.h>

class CHLMDrawHelpers
{
public:
    using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);

    static CHLMDrawHelpers& Instance();
    virtual ~CHLMDrawHelpers();

    CHLMDrawHelpers(const CHLMDrawHelpers&) = delete;
    CHLMDrawHelpers& operator=(const CHLMDrawHelpers&) = delete;

    BOOL GradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount,
                      ULONG mode) const;

    // GDI's layout functions, looked up on first use: a system without them reports layout
    // 0 and ignores changes.
    static DWORD GetDcLayout(HDC dc);
    static void SetDcLayout(HDC dc, DWORD layout);

    // Colour arithmetic: results are exact to the bit.
    static COLORREF MixColors(COLORREF first, COLORREF second, double firstWeight);
    static COLORREF DarkenColor(int amount, COLORREF color);
    static COLORREF LightenColor(int amount, COLORREF color);
    // Packed hue (bits 0-7, 0..239), saturation (8-15, 0..240), lightness (16-23, 0..240).
    static DWORD ColorToHsl(COLORREF color);
    static COLORREF HslToColor(DWORD hsl);
    static void ColorToHslDouble(COLORREF color, double& hue, double& saturation, double& lightness);
    static COLORREF HslToColorDouble(double hue, double saturation, double lightness);

    // The msimg32 functions, null where the library or the export is missing.
    AlphaBlendFunction m_alphaBlend;
    TransparentBltFunction m_transparentBlt;
    GradientFillFunction m_gradientFill;

private:
    CHLMDrawHelpers();

    static int HueToRgbInt(int m1, int m2, int hue);
    static double HueToRgbDouble(double m1, double m2, double hue);

    HMODULE m_msimg32;
};
