#include "hlmskindrawtools.h"

#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmimagemanager.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
// The skin's metrics; null once the manager is gone (a drawing call during exit must not
// make another), and then the system's values are drawn with.
const CHLMSkinManagerMetrics* Metrics()
{
    const CHLMSkinManager* manager = GetSkinManagerIfCreated();
    return manager != nullptr ? manager->GetMetrics() : nullptr;
}

COLORREF SkinColor(int index)
{
    const CHLMSkinManagerMetrics* metrics = Metrics();
    return metrics != nullptr ? metrics->GetColor(index) : ::GetSysColor(index);
}

// A line is at least one pixel wide, even before the metrics were read.
int BorderWidth()
{
    const CHLMSkinManagerMetrics* metrics = Metrics();
    return std::max(1, metrics != nullptr ? metrics->m_cxBorder : ::GetSystemMetrics(SM_CXBORDER));
}

int BorderHeight()
{
    const CHLMSkinManagerMetrics* metrics = Metrics();
    return std::max(1, metrics != nullptr ? metrics->m_cyBorder : ::GetSystemMetrics(SM_CYBORDER));
}

// The colours of one pass of an edge; FALSE when the pass is raised and sunken at once.
BOOL EdgePassColors(UINT bits, BOOL outer, UINT flags, COLORREF& topLeft, COLORREF& bottomRight)
{
    const BOOL soft = (flags & BF_SOFT) != 0;
    if (flags & BF_FLAT)
    {
        int index = 0;
        if (flags & BF_MONO)
            index = outer ? COLOR_WINDOWFRAME : COLOR_WINDOW;
        else
            index = outer ? COLOR_3DSHADOW : COLOR_3DFACE;
        topLeft = bottomRight = SkinColor(index);
        return TRUE;
    }
    const UINT raised = outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER;
    const UINT sunken = outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
    if ((bits & raised) && (bits & sunken))
        return FALSE;
    if (outer && (bits & raised))
    {
        topLeft = SkinColor(soft ? COLOR_3DHILIGHT : COLOR_3DLIGHT);
        bottomRight = SkinColor(COLOR_3DDKSHADOW);
    }
    else if (outer)
    {
        topLeft = SkinColor(soft ? COLOR_3DDKSHADOW : COLOR_3DSHADOW);
        bottomRight = SkinColor(COLOR_3DHILIGHT);
    }
    else if (bits & raised)
    {
        topLeft = SkinColor(soft ? COLOR_3DLIGHT : COLOR_3DHILIGHT);
        bottomRight = SkinColor(COLOR_3DSHADOW);
    }
    else
    {
        topLeft = SkinColor(soft ? COLOR_3DSHADOW : COLOR_3DDKSHADOW);
        bottomRight = SkinColor(COLOR_3DLIGHT);
    }
    return TRUE;
}

// One ring of an edge, right and bottom first; the rectangle shrinks past what was drawn.
void DrawEdgeLines(HDC dc, RECT& r, UINT flags, COLORREF topLeft, COLORREF bottomRight)
{
    const CHLMSkinManagerMetrics* metrics = Metrics();
    const int cx = metrics != nullptr ? metrics->m_cxBorder : ::GetSystemMetrics(SM_CXBORDER);
    const int cy = metrics != nullptr ? metrics->m_cyBorder : ::GetSystemMetrics(SM_CYBORDER);
    if (flags & BF_RIGHT)
    {
        r.right -= cx;
        HLMSkinFillSolid(dc, r.right, r.top, cx, r.bottom - r.top, bottomRight);
    }
    if (flags & BF_BOTTOM)
    {
        r.bottom -= cy;
        HLMSkinFillSolid(dc, r.left, r.bottom, r.right - r.left, cy, bottomRight);
    }
    if (flags & BF_LEFT)
    {
        HLMSkinFillSolid(dc, r.left, r.top, cx, r.bottom - r.top, topLeft);
        r.left += cx;
    }
    if (flags & BF_TOP)
    {
        HLMSkinFillSolid(dc, r.left, r.top, r.right - r.left, cy, topLeft);
        r.top += cy;
    }
}

// Top, left, right and bottom bands of a frame outline, each `width` wide, just inside r.
void FrameBands(const RECT& r, int width, RECT bands[4])
{
    bands[0] = {r.left, r.top, r.right - width, r.top + width};
    bands[1] = {r.left, r.top, r.left + width, r.bottom - width};
    bands[2] = {r.right - width, r.top, r.right, r.bottom};
    bands[3] = {r.left, r.bottom - width, r.right, r.bottom};
}

// The skin class SCROLLBAR draws a part over the rectangle.
void DrawScrollBarPart(HDC dc, const RECT* rect, int part, int state)
{
    CHLMSkinManager* manager = GetSkinManagerIfCreated();
    CHLMSkinManagerClass* scrollBar = manager != nullptr ? manager->GetSkinClass(L"SCROLLBAR") : nullptr;
    if (scrollBar == nullptr)
        return;
    CDC target;
    target.Attach(dc);
    scrollBar->DrawThemeBackground(&target, part, state, rect);
    target.Detach();
}

// Colours in a packed DIB's table: biClrUsed, or all that its bit count can address.
ULONGLONG DibColorCount(const BITMAPINFOHEADER& header)
{
    if (header.biClrUsed != 0)
        return header.biClrUsed;
    return header.biBitCount <= 8 ? (1ULL << header.biBitCount) : 0;
}

ULONGLONG DibImageSize(const BITMAPINFOHEADER& header)
{
    const ULONGLONG rowBytes = (static_cast<ULONGLONG>(header.biBitCount) * header.biWidth + 31) / 32 * 4;
    return rowBytes * static_cast<ULONGLONG>(header.biHeight);
}

// A section of a 24- or 32-bit packed DIB with a copy of its pixels.
HBITMAP CreateSectionFromPacked(const BITMAPINFOHEADER& header, const BYTE* pixels, DWORD imageSize)
{
    // 52 bytes: room for the three masks that a driver may write after the header.
    std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + 3 * sizeof(DWORD), 0);
    BITMAPINFOHEADER copy = header;
    copy.biSizeImage = imageSize;
    std::memcpy(block.data(), &copy, sizeof(copy));
    HDC screenDC = CreateCompatibleDC(NULL);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screenDC, reinterpret_cast<BITMAPINFO*>(block.data()), DIB_RGB_COLORS,
                                       &bits, NULL, 0);
    if (screenDC != NULL)
        DeleteDC(screenDC);
    if (section != NULL && bits == nullptr)
    {
        DeleteObject(section);
        return NULL;
    }
    if (section != NULL)
        std::memcpy(bits, pixels, imageSize);
    return section;
}

// The masks of 32-bit pixels in the byte order blue, green, red, alpha: the only bit fields read.
const DWORD kRedMask = 0x00FF0000, kGreenMask = 0x0000FF00, kBlueMask = 0x000000FF, kAlphaMask = 0xFF000000;
const DWORD kMaskOffset = sizeof(BITMAPINFOHEADER);  // masks of a 40-byte header follow it; V4/V5 hold them there
const DWORD kHeaderMaskCount = 3;

// Where the parts of a packed DIB lie, checked against its size.
struct PackedDibLayout
{
    BITMAPINFOHEADER bmiHeader;  // its first 40 bytes; bit fields with the standard masks read as BI_RGB
    ULONGLONG nPixelOffset;      // after the header, the masks of a 40-byte header and the colour table
    ULONGLONG nImageSize;
    BOOL bAlpha;                 // FALSE, TRUE (32-bit BI_RGB) or kDeclaredAlpha
};

bool IsKnownDepth(WORD bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

bool IsKnownHeaderSize(DWORD size)
{
    return size == sizeof(BITMAPINFOHEADER) || size == sizeof(BITMAPV4HEADER) || size == sizeof(BITMAPV5HEADER);
}

// FALSE for any header, mask set or size that is not read (the bitmap is then refused).
BOOL ReadPackedDibLayout(const BYTE* bytes, DWORD size, PackedDibLayout& layout)
{
    if (size < sizeof(BITMAPINFOHEADER))
        return FALSE;
    BITMAPINFOHEADER& header = layout.bmiHeader;
    std::memcpy(&header, bytes, sizeof(header));
    if (!IsKnownHeaderSize(header.biSize) || size < header.biSize || header.biPlanes != 1 || header.biWidth <= 0 ||
        header.biHeight <= 0 || !IsKnownDepth(header.biBitCount))
        return FALSE;

    DWORD masks[4] = {};
    ULONGLONG pixelOffset = header.biSize;
    if (header.biSize > sizeof(BITMAPINFOHEADER))
    {
        std::memcpy(masks, bytes + kMaskOffset, sizeof(masks));
    }
    else if (header.biCompression == BI_BITFIELDS)
    {
        pixelOffset += kHeaderMaskCount * sizeof(DWORD);
        if (size < pixelOffset)
            return FALSE;
        std::memcpy(masks, bytes + kMaskOffset, kHeaderMaskCount * sizeof(DWORD));
    }
    const BOOL alphaDeclared = masks[3] == kAlphaMask;
    if (header.biCompression == BI_BITFIELDS)
    {
        if (header.biBitCount != 32 || masks[0] != kRedMask || masks[1] != kGreenMask || masks[2] != kBlueMask ||
            (masks[3] != 0 && !alphaDeclared))
            return FALSE;
        header.biCompression = BI_RGB;
        layout.bAlpha = alphaDeclared ? kDeclaredAlpha : FALSE;
    }
    else if (header.biCompression == BI_RGB)
    {
        layout.bAlpha = header.biBitCount != 32 ? FALSE : alphaDeclared ? kDeclaredAlpha : TRUE;
    }
    else
    {
        return FALSE;
    }
    layout.nPixelOffset = pixelOffset + DibColorCount(header) * sizeof(RGBQUAD);
    layout.nImageSize = DibImageSize(header);
    header.biSize = sizeof(BITMAPINFOHEADER);
    return size >= layout.nPixelOffset + layout.nImageSize;
}

// The bitmap of a packed DIB resource whose every part lies inside its `size` bytes.
HBITMAP BitmapFromPackedDib(const BYTE* bytes, DWORD size, BOOL* alpha)
{
    PackedDibLayout layout = {};
    if (!ReadPackedDibLayout(bytes, size, layout))
        return NULL;
    if (alpha != nullptr)
        *alpha = layout.bAlpha;
    if (layout.bmiHeader.biBitCount < 24)
    {
        // The system reads the colour table after the header as the resource holds it.
        const BITMAPINFOHEADER* packed = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
        HPALETTE palette = HLMSkinCreateDibPalette(packed);
        HBITMAP bitmap = HLMSkinCreateDibFromPacked(packed, palette);
        if (palette != NULL)
            DeleteObject(palette);
        return bitmap;
    }
    return CreateSectionFromPacked(layout.bmiHeader, bytes + layout.nPixelOffset, static_cast<DWORD>(layout.nImageSize));
}
}

BOOL HLMSkinFillSolid(HDC dc, int x, int y, int cx, int cy, COLORREF color)
{
    const RECT rect = {x, y, x + cx, y + cy};
    const COLORREF previous = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
    return TRUE;
}

BOOL HLMSkinFillSolidRect(HDC dc, const RECT* rect, COLORREF color)
{
    return HLMSkinFillSolid(dc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, color);
}

int HLMSkinFillBrush(HDC dc, int x, int y, int cx, int cy, HBRUSH brush)
{
    const RECT rect = {x, y, x + cx, y + cy};
    return FillRect(dc, &rect, brush);
}

void HLMSkinFillFrame(HDC dc, const RECT* rect, int width, COLORREF color)
{
    RECT bands[4];
    FrameBands(*rect, width, bands);
    for (const RECT& band : bands)
        HLMSkinFillSolidRect(dc, &band, color);
}

void HLMSkinBrushFrame(HDC dc, const RECT* rect, int width, HBRUSH brush)
{
    RECT bands[4];
    FrameBands(*rect, width, bands);
    for (const RECT& band : bands)
        FillRect(dc, &band, brush);
}

BOOL HLMSkinDrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags)
{
    if (rect == nullptr)
        return FALSE;
    if (flags & BF_MONO)
        flags |= BF_FLAT;
    RECT r = *rect;
    BOOL result = TRUE;
    const UINT passes[2] = {edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER), edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)};
    for (int pass = 0; pass < 2; ++pass)
    {
        if (passes[pass] == 0)
            continue;
        COLORREF topLeft = 0, bottomRight = 0;
        if (!EdgePassColors(passes[pass], pass == 0, flags, topLeft, bottomRight))
            return FALSE;
        if (flags & BF_DIAGONAL)
            result = HLMSkinDrawDiagonalEdge(dc, &r, topLeft, bottomRight, flags);
        else
            DrawEdgeLines(dc, r, flags, topLeft, bottomRight);
    }
    if (flags & BF_MIDDLE)
    {
        if (flags & BF_DIAGONAL)
            result = FALSE;
        else
            HLMSkinFillSolidRect(dc, &r, SkinColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_3DFACE));
    }
    if (flags & BF_ADJUST)
        *rect = r;
    return result;
}

BOOL HLMSkinDrawDiagonalEdge(HDC dc, RECT* rect, COLORREF topLeft, COLORREF bottomRight, UINT flags)
{
    const UINT kind = flags & 0x1F;
    const int direction = (kind == BF_DIAGONAL_ENDTOPLEFT || kind == BF_DIAGONAL_ENDBOTTOMRIGHT) ? -1 : 1;
    const COLORREF color = (flags & BF_BOTTOM) ? bottomRight : topLeft;
    const LONG steps = HLMSkinDrawDiagonalLine(dc, rect, direction, 1, flags & ~BF_MIDDLE, color);
    if (flags & BF_TOP)
        rect->left += LOWORD(steps);
    else
        rect->right -= LOWORD(steps);
    if (flags & BF_RIGHT)
        rect->top += HIWORD(steps);
    else
        rect->bottom -= HIWORD(steps);
    return TRUE;
}

LONG HLMSkinDrawDiagonalLine(HDC dc, const RECT* rect, int direction, int count, UINT flags, COLORREF color)
{
    if (IsRectEmpty(rect))
        return 0;
    // Every step moves at least one pixel, so the staircase always ends.
    const int cxBorder = BorderWidth(), cyBorder = BorderHeight();
    const int width = rect->right - rect->left;
    int height = rect->bottom - rect->top;
    if (flags == 0 && height != width)
        height = std::max(1, height - (count - 1) * cyBorder);

    int stepX = 0, stepY = 0, fillWidth = 0, fillHeight = 0;
    if (height >= width)
    {
        const int ratio = height / width;
        stepX = cxBorder;
        stepY = direction * ratio;
        fillWidth = cxBorder;
        fillHeight = (ratio + count - 1) * cyBorder;
    }
    else
    {
        const int ratio = width / height;
        stepX = ratio;
        stepY = direction * cyBorder;
        fillWidth = (ratio + count - 1) * cyBorder;
        fillHeight = cyBorder;
    }

    RECT r = *rect;
    r.right -= fillWidth;
    r.bottom -= fillHeight;
    int y = direction < 0 ? r.top : r.bottom;
    while (r.left <= r.right && r.top <= r.bottom)
    {
        HLMSkinFillSolid(dc, r.left, y, fillWidth, fillHeight, color);
        r.left += stepX;
        y -= stepY;
    }
    return MAKELONG(fillWidth, fillHeight);
}

BOOL HLMSkinDrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state)
{
    if (rect == nullptr)
        return FALSE;
    if (type == DFC_SCROLL && state == DFCS_SCROLLSIZEGRIP)
    {
        HLMSkinFillSolidRect(dc, rect, SkinColor(COLOR_3DFACE));
        DrawScrollBarPart(dc, rect, SBP_SIZEBOX, SZB_RIGHTALIGN);
        return TRUE;
    }
    if (type == DFC_BUTTON && (state | DFCS_PUSHED | DFCS_ADJUSTRECT) == (DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_ADJUSTRECT))
    {
        RECT r = *rect;
        HLMSkinDrawEdge(dc, &r, (state & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        HLMSkinFillSolidRect(dc, &r, SkinColor(COLOR_3DFACE));
        if (state & DFCS_ADJUSTRECT)
            *rect = r;
        return TRUE;
    }
    const UINT direction = state & 0x0F;
    if (type == DFC_SCROLL && direction <= DFCS_SCROLLRIGHT)
    {
        // A hot arrow is drawn in its normal state; inactive wins over pushed.
        int arrowState = ABS_UPNORMAL;
        if (state & DFCS_INACTIVE)
            arrowState = ABS_UPDISABLED;
        else if (state & DFCS_PUSHED)
            arrowState = ABS_UPPRESSED;
        DrawScrollBarPart(dc, rect, SBP_ARROWBTN,
                          arrowState + (ABS_DOWNNORMAL - ABS_UPNORMAL) * static_cast<int>(direction));
        return TRUE;
    }
    return FALSE;
}

void GetIconSize(HICON icon, int* cx, int* cy)
{
    *cx = 32;
    *cy = 32;
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return;
    BITMAP mask = {};
    if (info.hbmMask != NULL && GetObjectW(info.hbmMask, sizeof(mask), &mask))
    {
        *cx = mask.bmWidth;
        // A monochrome icon's mask holds the AND and XOR halves one above the other.
        *cy = info.hbmColor != NULL ? mask.bmHeight : mask.bmHeight / 2;
    }
    if (info.hbmMask != NULL)
        DeleteObject(info.hbmMask);
    if (info.hbmColor != NULL)
        DeleteObject(info.hbmColor);
}

HBITMAP HLMSkinLoadBitmapResource(HMODULE module, LPCWSTR name, BOOL* alpha)
{
    if (CHLMImageManager::IsPngResource(module, name))
        return CHLMImageManager::ReadBitmapResource(module, name, alpha);

    DWORD size = 0;
    const BYTE* bytes = LockResourceBytes(module, name, RT_BITMAP, size);
    return bytes != nullptr ? BitmapFromPackedDib(bytes, size, alpha) : NULL;
}

HPALETTE HLMSkinCreateDibPalette(const BITMAPINFOHEADER* header)
{
    const ULONGLONG count = DibColorCount(*header);
    if (count == 0 || count > 256)
        return NULL;
    std::vector<BYTE> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + header->biSize);
    for (ULONGLONG index = 0; index < count; ++index)
    {
        PALETTEENTRY& entry = palette->palPalEntry[index];
        entry.peRed = table[index].rgbRed;
        entry.peGreen = table[index].rgbGreen;
        entry.peBlue = table[index].rgbBlue;
        entry.peFlags = 0;
    }
    return CreatePalette(palette);
}

HBITMAP HLMSkinCreateDibFromPacked(const BITMAPINFOHEADER* header, HPALETTE palette)
{
    const ULONGLONG colors = DibColorCount(*header);
    const BYTE* bits = reinterpret_cast<const BYTE*>(header) + header->biSize + colors * sizeof(RGBQUAD);
    HDC screen = GetDC(NULL);
    HPALETTE previous = palette != NULL ? SelectPalette(screen, palette, FALSE) : NULL;
    HBITMAP bitmap = CreateDIBitmap(screen, header, CBM_INIT, bits, reinterpret_cast<const BITMAPINFO*>(header),
                                    DIB_RGB_COLORS);
    if (previous != NULL)
        SelectPalette(screen, previous, FALSE);
    ReleaseDC(NULL, screen);
    return bitmap;
}

BOOL HLMSkinGetPaintClipBox(HWND window, HDC dc, RECT* rect)
{
    if (GetClipBox(dc, rect) == NULLREGION)
        return FALSE;
    if (GetClassLongPtrW(window, GCL_STYLE) & CS_PARENTDC)
    {
        RECT client = {};
        GetClientRect(window, &client);
        return IntersectRect(rect, rect, &client);
    }
    return TRUE;
}
