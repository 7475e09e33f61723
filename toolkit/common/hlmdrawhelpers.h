// The process-wide drawing object with the optional msimg32 functions, the free drawing
// functions around it (gradients, shapes, rectangles, layout, text, fonts, colour
// arithmetic), and the scoped device-context classes.
#pragma once

#include <afxwin.h>

class CHLMPaintManagerColorGradient;

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

    // Two-colour gradients: `horizontal` changes the colour from left to right, otherwise
    // from top to bottom. The clipped forms draw only the part inside `clip` (null: all),
    // in the colours of the uncut gradient.
    void FillGradient(CDC* dc, const CRect& rect, COLORREF first, COLORREF second, BOOL horizontal);
    void FillGradientClipped(CDC* dc, const CRect& rect, COLORREF first, COLORREF second, BOOL horizontal,
                             LPCRECT clip);
    void FillColorGradient(CDC* dc, const CRect& rect, const CHLMPaintManagerColorGradient& gradient,
                           BOOL horizontal, LPCRECT clip);
    void FillGradientByLines(CDC* dc, const CRect& rect, COLORREF first, COLORREF second, BOOL horizontal);
    void FillGradientMsimg(CDC* dc, const CRect& rect, COLORREF first, COLORREF second, BOOL horizontal);

    // Shapes.
    static void FillTriangle(CDC* dc, CPoint first, CPoint second, CPoint third, COLORREF color);
    static void DrawTriangle(CDC* dc, CPoint first, CPoint second, CPoint third);
    static BOOL DrawLine(CDC* dc, int x, int y, int cx, int cy, COLORREF color);
    static void ExcludeCorners(CDC* dc, const CRect& rect);
    // points[i] for even i is a pixel; points[i + 1] the offset of the pixel it is averaged
    // with. A last point without a partner is left alone.
    static void BlendPixelPairs(CDC* dc, const POINT* points, int count);
    static BOOL IsLowColorDc(HDC dc);

    // Rectangles and points.
    static CRect WindowRectOf(HWND window);
    static CRect WindowRectOf(CWnd* window);
    static CRect ClientRectOf(HWND window);
    static CRect ClientRectOf(CWnd* window);
    static CPoint GetClientCursorPos(CWnd* window);
    static void ScreenToWindowPoint(CWnd* window, POINT& point);
    static CSize DialogUnitsToPixels(int x, int y);

    // GDI's layout functions, looked up on first use: a system without them reports layout
    // 0 and ignores changes.
    static DWORD GetDcLayout(HDC dc);
    static BOOL IsDcMirrored(CDC* dc);
    static void SetDcLayout(HDC dc, DWORD layout);
    static void SetDcLayout(CDC* dc, DWORD layout);
    static void KeyToLayout(CWnd* window, UINT& key);

    // Windows and text.
    static void GetDefWindowText(HWND window, CString& text);
    static BOOL IsTopParentActive(HWND window);
    static BOOL RegisterWndClass(HINSTANCE instance, LPCTSTR className, UINT classStyle, HICON icon);
    static void StripAmpersands(CString& text);
    static void StripAmpersands(wchar_t* text);

    // Fonts.
    static BOOL FontExists(LPCTSTR faceName);
    static CString GetDefaultGuiFontFace();
    static CString GetInterfaceFontFace(BOOL preferTahoma);

    // Colour arithmetic: results are exact to the bit.
    static COLORREF MixColors(COLORREF first, COLORREF second, double firstWeight);
    static COLORREF DarkenColor(int amount, COLORREF color);
    static COLORREF LightenColor(int amount, COLORREF color);
    // Packed hue (bits 0-7, 0..239), saturation (8-15, 0..240), lightness (16-23, 0..240).
    static DWORD ColorToHsl(COLORREF color);
    static COLORREF HslToColor(DWORD hsl);
    static void ColorToHslDouble(COLORREF color, double& hue, double& saturation, double& lightness);
    static COLORREF HslToColorDouble(double hue, double saturation, double lightness);

    // The common-controls version and the monitor queries, as the system helpers answer.
    static DWORD GetComCtlVersion();
    static CRect GetWorkArea(LPCRECT rect);
    static CRect GetWorkArea(CWnd* window);
    static CRect GetScreenArea(CWnd* window);
    static CRect GetWorkArea(const POINT& point);
    static CRect GetWorkArea();

    // The msimg32 functions, null where the library or the export is missing.
    AlphaBlendFunction m_pfnAlphaBlend;
    TransparentBltFunction m_pfnTransparentBlt;
    GradientFillFunction m_pfnGradientFill;

private:
    CHLMDrawHelpers();

    static int HueToRgbInt(int m1, int m2, int hue);
    static double HueToRgbDouble(double m1, double m2, double hue);

    HMODULE m_hMsimg32;
};

BOOL DeleteStringChars(CString& text, int index, int count);
int ReplaceStringText(CString& text, LPCTSTR oldText, LPCTSTR newText);

// An icon made from a bitmap whose top-left pixel gives the transparent colour.
class CHLMBitmapToIcon
{
public:
    explicit CHLMBitmapToIcon(HBITMAP bitmap) : m_hBitmap(bitmap) {}
    // -1 when the handle is no bitmap.
    COLORREF GetBitmapCornerPixel() const;
    HICON CreateIcon() const;

private:
    HBITMAP m_hBitmap;
};

// A size and a rectangle that start out zero.
class CHLMZeroSize : public CSize
{
public:
    CHLMZeroSize() : CSize(0, 0) {}
    void Reset() { cx = cy = 0; }
    CHLMZeroSize& operator=(const SIZE& size)
    {
        cx = size.cx;
        cy = size.cy;
        return *this;
    }
};

class CHLMZeroRect : public CRect
{
public:
    CHLMZeroRect() { SetRectEmpty(); }
};

// ---------------------------------------------------------------------------------------
// Scoped device contexts: construction acquires and selects, destruction restores and
// releases.

// An off-screen buffer in the destination's own coordinates: its bitmap spans (0, 0) to the
// rectangle's bottom-right corner, and the rectangle is copied to the destination when the
// object ends, unless Discard was called. Where no buffer can be had, drawing goes straight
// to the destination.
class CHLMBufferDC : public CDC
{
public:
    CHLMBufferDC(HDC destination, const CRect& rect);
    // The update rectangle of the paint, clipped to it.
    explicit CHLMBufferDC(CPaintDC& paintDC);
    ~CHLMBufferDC() override;

    void Discard() { m_hDestDC = nullptr; }
    CDC* GetDestDC() const;
    BOOL IsBuffered() const { return !m_bDirect; }

private:
    void CreateBuffer(int width, int height);

    HDC m_hDestDC;
    CBitmap m_bmpBuffer;
    CRect m_rcDest;
    HGDIOBJ m_hPreviousBitmap;
    BOOL m_bDirect;  // drawing goes to the destination itself
};

// An off-screen buffer of the rectangle's size whose viewport is moved so that drawing at
// the rectangle's coordinates lands in it; copied to the destination when the object ends.
class CHLMBufferDCEx : public CDC
{
public:
    CHLMBufferDCEx(HDC destination, CRect rect);
    ~CHLMBufferDCEx() override;

private:
    HDC m_hDestDC;
    CRect m_rcDest;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hPreviousBitmap;
};

// A memory DC compatible with a given one (null: the screen) with a bitmap selected.
class CHLMCompatibleDC : public CDC
{
public:
    CHLMCompatibleDC(CDC* dc, CBitmap* bitmap);
    CHLMCompatibleDC(CDC* dc, HBITMAP bitmap);
    ~CHLMCompatibleDC() override;

private:
    HGDIOBJ m_hPreviousBitmap;
};

// A bitmap selected into an existing DC.
class CHLMBitmapDC
{
public:
    CHLMBitmapDC(CDC* dc, CBitmap* bitmap);
    CHLMBitmapDC(CDC* dc, HBITMAP bitmap);
    virtual ~CHLMBitmapDC();
    CHLMBitmapDC(const CHLMBitmapDC&) = delete;
    CHLMBitmapDC& operator=(const CHLMBitmapDC&) = delete;

    void SetBitmap(CBitmap* bitmap);

private:
    HDC m_hDC;
    HGDIOBJ m_hPreviousBitmap;
};

// A font and a text colour for a scope; the restore returns to what was there before the
// first change.
class CHLMFontDC
{
public:
    CHLMFontDC(CDC* dc, CFont* font);
    CHLMFontDC(CDC* dc, CFont* font, COLORREF color);
    virtual ~CHLMFontDC();
    CHLMFontDC(const CHLMFontDC&) = delete;
    CHLMFontDC& operator=(const CHLMFontDC&) = delete;

    void SetFont(CFont* font);
    void SetColor(COLORREF color);
    void SetFontColor(CFont* font, COLORREF color);
    void ReleaseFont();
    void ReleaseColor();

private:
    CDC* m_pDC;
    HGDIOBJ m_hPreviousFont;  // null when none is to be restored
    COLORREF m_clrPrevious;  // CLR_INVALID when none is to be restored
};

// A one-pixel solid pen for a scope.
class CHLMPenDC
{
public:
    CHLMPenDC(HDC dc, COLORREF color);
    CHLMPenDC(CDC* dc, CPen* pen);
    virtual ~CHLMPenDC();
    CHLMPenDC(const CHLMPenDC&) = delete;
    CHLMPenDC& operator=(const CHLMPenDC&) = delete;

    void SetColor(COLORREF color);
    // The colour of the pen this object made; CLR_INVALID for a pen handed in.
    COLORREF GetColor() const;

private:
    CPen m_pen;
    HDC m_hDC;
    HGDIOBJ m_hPreviousPen;
};

// A solid brush for a scope.
class CHLMBrushDC
{
public:
    CHLMBrushDC(HDC dc, COLORREF color);
    virtual ~CHLMBrushDC();
    CHLMBrushDC(const CHLMBrushDC&) = delete;
    CHLMBrushDC& operator=(const CHLMBrushDC&) = delete;

    void SetColor(COLORREF color);

private:
    CBrush m_brush;
    HDC m_hDC;
    HGDIOBJ m_hPreviousBrush;
};
