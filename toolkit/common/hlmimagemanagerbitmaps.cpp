// Bitmap functions of the icon store: cutting a strip of pictures into one bitmap each,
// reading a pixel, flattening an alpha bitmap onto a colour, and the disabled look.
#include "common/hlmimagemanager.h"

#include "common/hlmdrawhelpers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace
{
const int kFlattenAlphaThreshold = 120;

BOOL ReportMemoryFailure()
{
    TRACE(_T("Failed -- Memory exception thrown.\n"));
    return FALSE;
}

BYTE ClampToByte(int value)
{
    return static_cast<BYTE>(std::min(255, std::max(0, value)));
}

// A screen-compatible memory DC for the life of a scope.
class MemoryDC
{
public:
    explicit MemoryDC(HDC compatible = nullptr) : m_hDC(CreateCompatibleDC(compatible)) {}
    ~MemoryDC()
    {
        if (m_hDC)
            DeleteDC(m_hDC);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
};
}

BOOL CHLMImageManager::SplitBitmap(HBITMAP bitmap, int count, HBITMAP* parts)
{
    ASSERT(parts);
    BITMAP info = {};
    if (!parts || count <= 0 || !GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0)
        return FALSE;
    ASSERT(info.bmWidth % count == 0);
    if (info.bmWidth % count != 0)
        return FALSE;
    const int width = info.bmWidth, height = std::abs(info.bmHeight), partWidth = width / count;
    try
    {
        // Whatever the source's depth, its rows are read as 32-bit BI_RGB pixels, so that
        // nothing but pixels is written after the header.
        BITMAPINFO header = {};
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = width;
        header.bmiHeader.biHeight = height;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 32;
        header.bmiHeader.biCompression = BI_RGB;
        std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
        MemoryDC dc;
        if (GetDIBits(dc, bitmap, 0, height, pixels.data(), &header, DIB_RGB_COLORS) != height)
            return ReportMemoryFailure();
        std::vector<BYTE*> bits(count);
        for (int part = 0; part < count; ++part)
        {
            void* partBits = nullptr;
            parts[part] = Create32bppDibSection(nullptr, partWidth, height, &partBits);
            bits[part] = static_cast<BYTE*>(partBits);
            if (!parts[part] || !partBits)
            {
                for (int made = 0; made <= part; ++made)
                {
                    if (parts[made])
                        DeleteObject(parts[made]);
                    parts[made] = nullptr;
                }
                return ReportMemoryFailure();
            }
        }
        const size_t partRow = static_cast<size_t>(partWidth) * 4;
        for (int row = 0; row < height; ++row)
            for (int part = 0; part < count; ++part)
                std::memcpy(bits[part] + row * partRow, pixels.data() + (static_cast<size_t>(row) * width * 4) + part * partRow,
                            partRow);
        return TRUE;
    }
    catch (const std::bad_alloc&)
    {
        return ReportMemoryFailure();
    }
}

COLORREF CHLMImageManager::GetBitmapPixel(CBitmap* bitmap, int x, int y)
{
    CHLMCompatibleDC dc(nullptr, bitmap);
    return dc.GetPixel(x, y);
}

COLORREF CHLMImageManager::GetBitmapPixel(UINT bitmapId, int x, int y)
{
    CBitmap bitmap;
    const BOOL loaded = bitmap.LoadBitmap(bitmapId);
    ASSERT(loaded);
    return loaded ? GetBitmapPixel(&bitmap, x, y) : CLR_INVALID;
}

HBITMAP CHLMImageManager::FlattenAlphaBitmap(HBITMAP bitmap, COLORREF background)
{
    MemoryDC dc;
    std::vector<BYTE> header, pixels;
    if (!Read32bppBits(dc, bitmap, header, pixels))
        return nullptr;
    auto* info = reinterpret_cast<BITMAPINFOHEADER*>(header.data());
    info->biBitCount = 24;
    info->biCompression = BI_RGB;
    info->biSizeImage = 0;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits)
    {
        if (section)
            DeleteObject(section);
        return nullptr;
    }
    const int width = info->biWidth, height = info->biHeight;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    for (int row = 0; row < height; ++row)
    {
        const BYTE* source = pixels.data() + static_cast<size_t>(row) * width * 4;
        BYTE* target = static_cast<BYTE*>(bits) + row * stride;
        for (int x = 0; x < width; ++x, source += 4, target += 3)
        {
            if (source[3] >= kFlattenAlphaThreshold)
                for (int channel = 0; channel < 3; ++channel)
                    target[channel] = static_cast<BYTE>(source[channel] * 255 >> 8);
            else
            {
                target[0] = GetBValue(background);
                target[1] = GetGValue(background);
                target[2] = GetRValue(background);
            }
        }
    }
    return section;
}

HBITMAP CHLMImageManager::FlattenAlphaBitmap(UINT bitmapId, COLORREF background)
{
    HBITMAP bitmap = ReadAlphaBitmapResource(bitmapId);
    if (!bitmap)
        return nullptr;
    HBITMAP flattened = FlattenAlphaBitmap(bitmap, background);
    DeleteObject(bitmap);
    return flattened;
}

BOOL CHLMImageManager::DisableBitmapBits(HBITMAP bitmap, COLORREF light, COLORREF dark, int brightness)
{
    ASSERT(brightness == -1 || (brightness >= 0 && brightness <= 255));
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof(info), &info) || !info.bmBits || info.bmBitsPixel != 32 || info.bmPlanes != 1)
        return FALSE;
    const bool blend = light != CLR_NONE && dark != CLR_NONE;
    GdiFlush();
    for (int row = 0; row < std::abs(info.bmHeight); ++row)
    {
        BYTE* pixel = static_cast<BYTE*>(info.bmBits) + static_cast<size_t>(row) * info.bmWidthBytes;
        for (int x = 0; x < info.bmWidth; ++x, pixel += 4)
        {
            const int blue = pixel[0], green = pixel[1], red = pixel[2];
            if (blend)
            {
                const COLORREF color = DisabledBlendColor(light, dark, blue, green, red);
                pixel[0] = GetBValue(color);
                pixel[1] = GetGValue(color);
                pixel[2] = GetRValue(color);
                continue;
            }
            BYTE value;
            if (brightness != -1)
            {
                const int gray = (114 * blue + 587 * green + 299 * red) / 1000;
                value = ClampToByte(gray + brightness * (255 - gray) / 255);
            }
            else
                value = DisabledGray(blue, green, red);
            pixel[0] = pixel[1] = pixel[2] = value;
            pixel[3] = DisabledAlpha(pixel[3]);
        }
    }
    return TRUE;
}

COLORREF CHLMImageManager::DisabledBlendColor(COLORREF light, COLORREF dark, int blue, int green, int red)
{
    const double g = (0.114 * blue + 0.587 * green + 0.299 * red) / 255;
    const auto channel = [g](int darkChannel, int lightChannel) {
        return ClampToByte(static_cast<int>(darkChannel * (1 - g) + lightChannel * g));
    };
    return RGB(channel(GetRValue(dark), GetRValue(light)), channel(GetGValue(dark), GetGValue(light)),
               channel(GetBValue(dark), GetBValue(light)));
}

BYTE CHLMImageManager::DisabledGray(int blue, int green, int red)
{
    const double level = (0.114 * blue + 0.587 * green + 0.299 * red) / 255;
    return ClampToByte(static_cast<int>(std::pow(level, m_dDisabledBrightness) * 255));
}

BYTE CHLMImageManager::DisabledAlpha(int alpha)
{
    // A factor of 0 or less would divide by zero or turn the alpha over: it counts as 1.
    const double factor = m_dDisabledAlphaFactor > 0 ? m_dDisabledAlphaFactor : 1.0;
    return ClampToByte(static_cast<int>(alpha / factor));
}

BOOL CHLMImageManager::DisableRect(HDC dc, const CRect& rect, COLORREF light, COLORREF dark, int brightness)
{
    const int width = rect.Width(), height = rect.Height();
    if (width <= 0 || height <= 0)
        return FALSE;
    MemoryDC memory(dc);
    HBITMAP section = Create32bppDibSection(dc, width, height, nullptr);
    if (!memory || !section)
    {
        if (section)
            DeleteObject(section);
        return FALSE;
    }
    HGDIOBJ previous = SelectObject(memory, section);
    BOOL done = BitBlt(memory, 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY) &&
                DisableBitmapBits(section, light, dark, brightness) &&
                BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(section);
    return done;
}

BOOL CHLMImageManager::DisableBitmap(HDC dc, const CRect& rect, COLORREF light, COLORREF dark)
{
    return DisableRect(dc, rect, light, dark, -1);
}

BOOL CHLMImageManager::DisableBitmap(HDC dc, const CRect& rect, int brightness)
{
    return DisableRect(dc, rect, CLR_NONE, CLR_NONE, brightness);
}
