#include "common/hlmdrawhelpers.h"

#include "common/hlmcolormanager.h"
#include "common/hlmsystemhelpers.h"


#include <algorithm>
#include <cwchar>

// ---------------------------------------------------------------------------------------
// The drawing object

CHLMDrawHelpers::CHLMDrawHelpers()
    : m_pfnAlphaBlend(nullptr), m_pfnTransparentBlt(nullptr), m_pfnGradientFill(nullptr), m_hMsimg32(nullptr)
{
    m_hMsimg32 = LoadLibraryW(L"msimg32.dll");
    if (!m_hMsimg32)
        return;
    m_pfnGradientFill = reinterpret_cast<GradientFillFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_hMsimg32, "GradientFill")));
    m_pfnAlphaBlend = reinterpret_cast<AlphaBlendFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_hMsimg32, "AlphaBlend")));
    m_pfnTransparentBlt = reinterpret_cast<TransparentBltFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_hMsimg32, "TransparentBlt")));
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
    if (!m_pfnGradientFill)
        return FALSE;
    return m_pfnGradientFill(dc, vertices, vertexCount, mesh, meshCount, mode);
}

// ---------------------------------------------------------------------------------------
// Gradients

void CHLMDrawHelpers::FillGradient(CDC* dc, const CRect& rect, COLORREF first, COLORREF second, BOOL horizontal)
{
    if (!dc || rect.IsRectEmpty())
        return;
    if (IsLowColorDc(dc->GetSafeHdc()) || first == second)
    {
        dc->FillSolidRect(&rect, first);
        return;
    }
    if (!m_pfnGradientFill || (IsDcMirrored(dc) && GetOsVersionInfo().IsWin9x()))
        FillGradientByLines(dc, rect, first, second, horizontal);
    else
        FillGradientMsimg(dc, rect, first, second, horizontal);
}

void CHLMDrawHelpers::FillGradientMsimg(CDC* dc, const CRect& rect, COLORREF first, COLORREF second,
                                        BOOL horizontal)
{
    auto vertex = [](LONG x, LONG y, COLORREF color)
    {
        return TRIVERTEX{x, y, static_cast<COLOR16>(GetRValue(color) << 8), static_cast<COLOR16>(GetGValue(color) << 8),
                         static_cast<COLOR16>(GetBValue(color) << 8), 0};
    };
    TRIVERTEX vertices[2] = {vertex(rect.left, rect.top, first), vertex(rect.right, rect.bottom, second)};
    GRADIENT_RECT mesh = {0, 1};
    GradientFill(dc->GetSafeHdc(), vertices, 2, &mesh, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void CHLMDrawHelpers::FillGradientByLines(CDC* dc, const CRect& rect, COLORREF first, COLORREF second,
                                          BOOL horizontal)
{
    const double width = std::max(rect.Width(), 1), height = std::max(rect.Height(), 1);
    CRect area;
    dc->GetClipBox(&area);
    if (area.IsRectEmpty())
        area = rect;
    else if (!area.IntersectRect(&area, &rect))
        return;
    if (horizontal)
    {
        for (int x = area.left; x < area.right; ++x)
            dc->FillSolidRect(x, area.top, 1, area.Height(), MixColors(first, second, 1.0 - (x - rect.left) / width));
    }
    else
    {
        for (int y = area.top; y < area.bottom; ++y)
            dc->FillSolidRect(area.left, y, area.Width(), 1, MixColors(first, second, 1.0 - (y - rect.top) / height));
    }
}

void CHLMDrawHelpers::FillGradientClipped(CDC* dc, const CRect& rect, COLORREF first, COLORREF second,
                                          BOOL horizontal, LPCRECT clip)
{
    if (!clip)
    {
        FillGradient(dc, rect, first, second, horizontal);
        return;
    }
    // The cut part keeps the colours the uncut gradient has there: the end colours are the
    // mixes at the cut edges, with weights in floating point.
    CRect cut = rect;
    COLORREF start = first, end = second;
    auto cutAxis = [&](LONG& low, LONG& high, LONG clipLow, LONG clipHigh, double extent)
    {
        if (clipHigh < low || high < clipLow)
            return false;
        if (low < clipLow)
        {
            start = MixColors(first, second, (high - clipLow) / extent);
            low = clipLow;
        }
        if (clipHigh < high)
        {
            end = MixColors(first, second, (high - clipHigh) / extent);
            high = clipHigh;
        }
        return true;
    };
    bool visible;
    if (horizontal)
    {
        cut.top = std::max(cut.top, clip->top);
        cut.bottom = std::min(cut.bottom, clip->bottom);
        visible = cutAxis(cut.left, cut.right, clip->left, clip->right, rect.Width());
    }
    else
    {
        cut.left = std::max(cut.left, clip->left);
        cut.right = std::min(cut.right, clip->right);
        visible = cutAxis(cut.top, cut.bottom, clip->top, clip->bottom, rect.Height());
    }
    if (visible)
        FillGradient(dc, cut, start, end, horizontal);
}

void CHLMDrawHelpers::FillColorGradient(CDC* dc, const CRect& rect, const CHLMPaintManagerColorGradient& gradient,
                                        BOOL horizontal, LPCRECT clip)
{
    const COLORREF first = gradient.GetFirst().GetEffectiveColor();
    const COLORREF second = gradient.GetSecond().GetEffectiveColor();
    const float factor = gradient.GetFactor();
    if (factor == 0.5f)
    {
        FillGradientClipped(dc, rect, first, second, horizontal, clip);
        return;
    }
    const COLORREF middle = MixColors(first, second, factor);
    CRect firstPart = rect, secondPart = rect;
    if (horizontal)
    {
        firstPart.right -= rect.Width() / 2;
        secondPart.left = firstPart.right;
    }
    else
    {
        firstPart.bottom -= rect.Height() / 2;
        secondPart.top = firstPart.bottom;
    }
    FillGradientClipped(dc, firstPart, first, middle, horizontal, clip);
    FillGradientClipped(dc, secondPart, middle, second, horizontal, clip);
}

// ---------------------------------------------------------------------------------------
// Shapes

void CHLMDrawHelpers::FillTriangle(CDC* dc, CPoint first, CPoint second, CPoint third, COLORREF color)
{
    CHLMPenDC pen(dc->GetSafeHdc(), color);
    CHLMBrushDC brush(dc->GetSafeHdc(), color);
    DrawTriangle(dc, first, second, third);
}

void CHLMDrawHelpers::DrawTriangle(CDC* dc, CPoint first, CPoint second, CPoint third)
{
    const POINT points[3] = {first, second, third};
    dc->Polygon(points, 3);
}

BOOL CHLMDrawHelpers::DrawLine(CDC* dc, int x, int y, int cx, int cy, COLORREF color)
{
    if (!dc->GetSafeHdc())
        return FALSE;
    CHLMPenDC pen(dc->GetSafeHdc(), color);
    dc->MoveTo(x, y);
    dc->LineTo(x + cx, y + cy);
    return TRUE;
}

void CHLMDrawHelpers::ExcludeCorners(CDC* dc, const CRect& rect)
{
    dc->ExcludeClipRect(rect.left, rect.top, rect.left + 1, rect.top + 1);
    dc->ExcludeClipRect(rect.right - 1, rect.top, rect.right, rect.top + 1);
    dc->ExcludeClipRect(rect.left, rect.bottom - 1, rect.left + 1, rect.bottom);
    dc->ExcludeClipRect(rect.right - 1, rect.bottom - 1, rect.right, rect.bottom);
}

void CHLMDrawHelpers::BlendPixelPairs(CDC* dc, const POINT* points, int count)
{
    for (int i = 0; i + 1 < count; i += 2)
    {
        const POINT pixel = points[i];
        const POINT partner = {pixel.x + points[i + 1].x, pixel.y + points[i + 1].y};
        const COLORREF a = dc->GetPixel(pixel), b = dc->GetPixel(partner);
        dc->SetPixel(pixel, RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
                                (GetBValue(a) + GetBValue(b)) / 2));
    }
}

BOOL CHLMDrawHelpers::IsLowColorDc(HDC dc)
{
    return CHLMColorManager::IsLowResolution(dc);
}

// ---------------------------------------------------------------------------------------
// Rectangles and points

CRect CHLMDrawHelpers::WindowRectOf(HWND window)
{
    CRect rect(0, 0, 0, 0);
    if (IsWindow(window))
        GetWindowRect(window, &rect);
    return rect;
}

CRect CHLMDrawHelpers::WindowRectOf(CWnd* window) { return WindowRectOf(window->GetSafeHwnd()); }

CRect CHLMDrawHelpers::ClientRectOf(HWND window)
{
    CRect rect(0, 0, 0, 0);
    if (IsWindow(window))
        GetClientRect(window, &rect);
    return rect;
}

CRect CHLMDrawHelpers::ClientRectOf(CWnd* window) { return ClientRectOf(window->GetSafeHwnd()); }

CPoint CHLMDrawHelpers::GetClientCursorPos(CWnd* window)
{
    CPoint point(0, 0);
    GetCursorPos(&point);
    ::ScreenToClient(window->GetSafeHwnd(), &point);
    return point;
}

void CHLMDrawHelpers::ScreenToWindowPoint(CWnd* window, POINT& point)
{
    const CRect rect = WindowRectOf(window);
    point.y -= rect.top;
    if (GetWindowLongW(window->GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL)
        point.x = rect.right - point.x;
    else
        point.x -= rect.left;
}

CSize CHLMDrawHelpers::DialogUnitsToPixels(int x, int y)
{
    const LONG base = GetDialogBaseUnits();
    return CSize(MulDiv(x, LOWORD(base), 4), MulDiv(y, HIWORD(base), 8));
}

// ---------------------------------------------------------------------------------------
// Windows and text

void CHLMDrawHelpers::GetDefWindowText(HWND window, CString& text)
{
    // The text as the default procedure keeps it, without asking the window's own.
    const int length = static_cast<int>(DefWindowProcW(window, WM_GETTEXTLENGTH, 0, 0));
    LPTSTR buffer = text.GetBuffer(length + 1);
    buffer[0] = 0;
    DefWindowProcW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer();
}

BOOL CHLMDrawHelpers::IsTopParentActive(HWND window)
{
    HWND top = window;
    for (HWND parent = AfxGetParentOwner(top); parent; parent = AfxGetParentOwner(top))
        top = parent;
    return GetForegroundWindow() == GetLastActivePopup(top);
}

BOOL CHLMDrawHelpers::RegisterWndClass(HINSTANCE instance, LPCTSTR className, UINT classStyle, HICON icon)
{
    WNDCLASS windowClass = {};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance ? instance : AfxGetInstanceHandle();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = icon;
    windowClass.lpszClassName = className;
    return AfxRegisterClass(&windowClass);
}

void CHLMDrawHelpers::StripAmpersands(CString& text)
{
    // After a deletion the character that moved into the place is not examined: "&&"
    // keeps one ampersand.
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] == L'&' && (i == text.GetLength() - 1 || text[i + 1] != L'&'))
            DeleteStringChars(text, i, 1);
}

void CHLMDrawHelpers::StripAmpersands(wchar_t* text)
{
    if (!text || text == LPSTR_TEXTCALLBACKW)
        return;
    wchar_t* target = text;
    for (const wchar_t* source = text; *source; ++source)
        if (*source != L'&' || source[1] == L'&')
            *target++ = *source;
    *target = 0;
}

BOOL DeleteStringChars(CString& text, int index, int count)
{
    return text.Delete(index, count);
}

int ReplaceStringText(CString& text, LPCTSTR oldText, LPCTSTR newText)
{
    return text.Replace(oldText, newText);
}

// ---------------------------------------------------------------------------------------
// Fonts

namespace
{
int CALLBACK FontExistsEnumProc(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM sought)
{
    return CString(font->lfFaceName).CompareNoCase(reinterpret_cast<LPCTSTR>(sought)) == 0 ? 0 : 1;
}

LOGFONTW GuiFont()
{
    LOGFONTW font = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    return font;
}
}

BOOL CHLMDrawHelpers::FontExists(LPCTSTR faceName)
{
    HWND desktop = GetDesktopWindow();
    HDC dc = GetWindowDC(desktop);
    LOGFONTW all = {};
    all.lfCharSet = DEFAULT_CHARSET;
    const int last = EnumFontFamiliesExW(dc, &all, FontExistsEnumProc, reinterpret_cast<LPARAM>(faceName), 0);
    ReleaseDC(desktop, dc);
    return last == 0;
}

CString CHLMDrawHelpers::GetDefaultGuiFontFace()
{
    return GuiFont().lfFaceName;
}

CString CHLMDrawHelpers::GetInterfaceFontFace(BOOL preferTahoma)
{
    const LOGFONTW gui = GuiFont();
    const BOOL systemFaceWanted = gui.lfCharSet > SYMBOL_CHARSET && GetOsVersionInfo().IsWin2KOrLater() &&
                                  CString(gui.lfFaceName).CompareNoCase(_T("MS Shell Dlg")) != 0;
    if (systemFaceWanted || !FontExists(_T("Arial")))
        return gui.lfFaceName;
    if (preferTahoma && FontExists(_T("Tahoma")))
        return _T("Tahoma");
    return _T("Arial");
}

// ---------------------------------------------------------------------------------------
// System helpers, as drawing code asks for them

DWORD CHLMDrawHelpers::GetComCtlVersion() { return ::GetComCtlVersion(); }
CRect CHLMDrawHelpers::GetWorkArea(LPCRECT rect) { return GetMonitorInfoHelper().GetWorkArea(rect); }
CRect CHLMDrawHelpers::GetWorkArea(CWnd* window) { return GetMonitorInfoHelper().GetWorkArea(window); }
CRect CHLMDrawHelpers::GetScreenArea(CWnd* window) { return GetMonitorInfoHelper().GetScreenArea(window); }
CRect CHLMDrawHelpers::GetWorkArea(const POINT& point) { return GetMonitorInfoHelper().GetWorkArea(point); }
CRect CHLMDrawHelpers::GetWorkArea() { return GetMonitorInfoHelper().GetWorkArea(); }

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

void CHLMDrawHelpers::SetDcLayout(CDC* dc, DWORD layout)
{
    if (dc)
        SetDcLayout(dc->GetSafeHdc(), layout);
}

BOOL CHLMDrawHelpers::IsDcMirrored(CDC* dc)
{
    return dc && GetDcLayout(dc->GetSafeHdc()) != 0;
}

void CHLMDrawHelpers::KeyToLayout(CWnd* window, UINT& key)
{
    ASSERT(window);
    HWND handle = window->GetSafeHwnd();
    if (!handle || !(GetWindowLongW(handle, GWL_EXSTYLE) & WS_EX_LAYOUTRTL))
        return;
    if (key == VK_LEFT)
        key = VK_RIGHT;
    else if (key == VK_RIGHT)
        key = VK_LEFT;
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

// ---------------------------------------------------------------------------------------
// Bitmap to icon

COLORREF CHLMBitmapToIcon::GetBitmapCornerPixel() const
{
    if (!m_hBitmap || GetObjectType(m_hBitmap) != OBJ_BITMAP)
        return CLR_INVALID;
    CHLMCompatibleDC dc(nullptr, m_hBitmap);
    return dc.GetPixel(0, 0);
}

HICON CHLMBitmapToIcon::CreateIcon() const
{
    BITMAP info = {};
    if (!m_hBitmap || !GetObjectW(m_hBitmap, sizeof(info), &info) || info.bmWidth == 0 || info.bmHeight == 0)
        return nullptr;
    HIMAGELIST images = ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 1);
    if (!images)
        return nullptr;
    const int added = ImageList_AddMasked(images, m_hBitmap, GetBitmapCornerPixel());
    ASSERT(added == 0);
    HICON icon = added == 0 ? ImageList_GetIcon(images, 0, ILD_NORMAL) : nullptr;
    ImageList_Destroy(images);
    return icon;
}

// ---------------------------------------------------------------------------------------
// CHLMBufferDC

CHLMBufferDC::CHLMBufferDC(HDC destination, const CRect& rect)
    : m_hDestDC(destination), m_rcDest(rect), m_hPreviousBitmap(nullptr), m_bDirect(FALSE)
{
    CreateBuffer(rect.right, rect.bottom);
}

CHLMBufferDC::CHLMBufferDC(CPaintDC& paintDC)
    : m_hDestDC(paintDC.GetSafeHdc()), m_rcDest(paintDC.m_ps.rcPaint), m_hPreviousBitmap(nullptr), m_bDirect(FALSE)
{
    CreateBuffer(std::max<LONG>(m_rcDest.right, 1), std::max<LONG>(m_rcDest.bottom, 1));
    CRgn clip;
    clip.CreateRectRgnIndirect(&m_rcDest);
    SelectClipRgn(&clip);
}

void CHLMBufferDC::CreateBuffer(int width, int height)
{
    // The buffer covers (0, 0) to the rectangle's bottom-right corner, so drawing code keeps
    // the destination's coordinates.
    if (Attach(::CreateCompatibleDC(m_hDestDC)))
    {
        if (m_bmpBuffer.Attach(CreateCompatibleBitmap(m_hDestDC, width, height)))
        {
            m_hPreviousBitmap = ::SelectObject(m_hDC, m_bmpBuffer);
            return;
        }
        DeleteDC();
    }
    // No buffer: draw straight to the destination, which this object does not own.
    m_bDirect = TRUE;
    Attach(m_hDestDC);
}

CHLMBufferDC::~CHLMBufferDC()
{
    if (m_bDirect)
    {
        Detach();
        return;
    }
    if (m_hDestDC)
        ::BitBlt(m_hDestDC, m_rcDest.left, m_rcDest.top, m_rcDest.Width(), m_rcDest.Height(), m_hDC, m_rcDest.left,
                 m_rcDest.top, SRCCOPY);
    ::SelectObject(m_hDC, m_hPreviousBitmap);
    m_bmpBuffer.DeleteObject();
    DeleteDC();
}

CDC* CHLMBufferDC::GetDestDC() const
{
    return CDC::FromHandle(m_hDestDC);
}

// ---------------------------------------------------------------------------------------
// CHLMBufferDCEx

CHLMBufferDCEx::CHLMBufferDCEx(HDC destination, CRect rect)
    : m_hDestDC(destination), m_rcDest(rect), m_hBitmap(nullptr), m_hPreviousBitmap(nullptr)
{
    Attach(::CreateCompatibleDC(destination));
    m_hBitmap = CreateCompatibleBitmap(destination, rect.Width(), rect.Height());
    m_hPreviousBitmap = ::SelectObject(m_hDC, m_hBitmap);
    SetViewportOrg(-rect.left, -rect.top);
}

CHLMBufferDCEx::~CHLMBufferDCEx()
{
    SetViewportOrg(0, 0);
    ::BitBlt(m_hDestDC, m_rcDest.left, m_rcDest.top, m_rcDest.Width(), m_rcDest.Height(), m_hDC, 0, 0, SRCCOPY);
    ::SelectObject(m_hDC, m_hPreviousBitmap);
    if (m_hBitmap)
        ::DeleteObject(m_hBitmap);
    DeleteDC();
}

// ---------------------------------------------------------------------------------------
// CHLMCompatibleDC and CHLMBitmapDC

CHLMCompatibleDC::CHLMCompatibleDC(CDC* dc, CBitmap* bitmap)
    : CHLMCompatibleDC(dc, static_cast<HBITMAP>(bitmap->GetSafeHandle()))
{
}

CHLMCompatibleDC::CHLMCompatibleDC(CDC* dc, HBITMAP bitmap) : m_hPreviousBitmap(nullptr)
{
    CreateCompatibleDC(dc);
    m_hPreviousBitmap = ::SelectObject(m_hDC, bitmap);
}

CHLMCompatibleDC::~CHLMCompatibleDC()
{
    ::SelectObject(m_hDC, m_hPreviousBitmap);
    DeleteDC();
}

CHLMBitmapDC::CHLMBitmapDC(CDC* dc, CBitmap* bitmap)
    : CHLMBitmapDC(dc, static_cast<HBITMAP>(bitmap->GetSafeHandle()))
{
}

CHLMBitmapDC::CHLMBitmapDC(CDC* dc, HBITMAP bitmap)
    : m_hDC(dc->GetSafeHdc()), m_hPreviousBitmap(::SelectObject(m_hDC, bitmap))
{
}

CHLMBitmapDC::~CHLMBitmapDC()
{
    ::SelectObject(m_hDC, m_hPreviousBitmap);
}

void CHLMBitmapDC::SetBitmap(CBitmap* bitmap)
{
    ::SelectObject(m_hDC, m_hPreviousBitmap);
    m_hPreviousBitmap = ::SelectObject(m_hDC, bitmap->GetSafeHandle());
}

// ---------------------------------------------------------------------------------------
// CHLMFontDC

CHLMFontDC::CHLMFontDC(CDC* dc, CFont* font) : m_pDC(dc), m_hPreviousFont(nullptr), m_clrPrevious(CLR_INVALID)
{
    ASSERT(dc);
    if (font)
        SetFont(font);
}

CHLMFontDC::CHLMFontDC(CDC* dc, CFont* font, COLORREF color) : CHLMFontDC(dc, font)
{
    ASSERT(color != CLR_INVALID);
    SetColor(color);
}

CHLMFontDC::~CHLMFontDC()
{
    ReleaseFont();
    ReleaseColor();
}

void CHLMFontDC::SetFont(CFont* font)
{
    if (!m_pDC || !font)
        return;
    // The handle is kept rather than the framework's temporary wrapper of it.
    HGDIOBJ replaced = ::SelectObject(m_pDC->GetSafeHdc(), font->GetSafeHandle());
    if (!m_hPreviousFont)
        m_hPreviousFont = replaced;
}

void CHLMFontDC::SetColor(COLORREF color)
{
    ASSERT(color != CLR_INVALID && m_pDC);
    if (color == CLR_INVALID || !m_pDC)
        return;
    const COLORREF replaced = m_pDC->SetTextColor(color);
    if (m_clrPrevious == CLR_INVALID)
        m_clrPrevious = replaced;
}

void CHLMFontDC::SetFontColor(CFont* font, COLORREF color)
{
    SetFont(font);
    SetColor(color);
}

void CHLMFontDC::ReleaseFont()
{
    if (!m_hPreviousFont)
        return;
    ::SelectObject(m_pDC->GetSafeHdc(), m_hPreviousFont);
    m_hPreviousFont = nullptr;
}

void CHLMFontDC::ReleaseColor()
{
    if (m_clrPrevious == CLR_INVALID)
        return;
    m_pDC->SetTextColor(m_clrPrevious);
    m_clrPrevious = CLR_INVALID;
}

// ---------------------------------------------------------------------------------------
// CHLMPenDC and CHLMBrushDC

CHLMPenDC::CHLMPenDC(HDC dc, COLORREF color) : m_hDC(dc), m_hPreviousPen(nullptr)
{
    const BOOL created = m_pen.CreatePen(PS_SOLID, 1, color);
    ASSERT(created);
    m_hPreviousPen = ::SelectObject(m_hDC, m_pen.GetSafeHandle());
}

CHLMPenDC::CHLMPenDC(CDC* dc, CPen* pen)
    : m_hDC(dc->GetSafeHdc()), m_hPreviousPen(::SelectObject(m_hDC, pen->GetSafeHandle()))
{
}

CHLMPenDC::~CHLMPenDC()
{
    ::SelectObject(m_hDC, m_hPreviousPen);
}

void CHLMPenDC::SetColor(COLORREF color)
{
    ::SelectObject(m_hDC, m_hPreviousPen);
    const BOOL deleted = m_pen.DeleteObject();
    ASSERT(deleted);
    const BOOL created = m_pen.CreatePen(PS_SOLID, 1, color);
    ASSERT(created);
    ::SelectObject(m_hDC, m_pen.GetSafeHandle());
}

COLORREF CHLMPenDC::GetColor() const
{
    LOGPEN pen = {};
    if (!m_pen.GetSafeHandle() || !m_pen.GetLogPen(&pen))
        return CLR_INVALID;
    return pen.lopnColor;
}

CHLMBrushDC::CHLMBrushDC(HDC dc, COLORREF color) : m_hDC(dc), m_hPreviousBrush(nullptr)
{
    const BOOL created = m_brush.CreateSolidBrush(color);
    ASSERT(created);
    m_hPreviousBrush = ::SelectObject(m_hDC, m_brush.GetSafeHandle());
}

CHLMBrushDC::~CHLMBrushDC()
{
    ::SelectObject(m_hDC, m_hPreviousBrush);
}

void CHLMBrushDC::SetColor(COLORREF color)
{
    ::SelectObject(m_hDC, m_hPreviousBrush);
    const BOOL deleted = m_brush.DeleteObject();
    ASSERT(deleted);
    const BOOL created = m_brush.CreateSolidBrush(color);
    ASSERT(created);
    ::SelectObject(m_hDC, m_brush.GetSafeHandle());
}
