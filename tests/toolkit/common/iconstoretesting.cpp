#include "iconstoretesting.h"

#include "common/hlmimagemanager.h"
#include "pixels.h"

#include <cstring>

HBITMAP AlphaBitmap(int width, int height, const std::vector<DWORD>& pixels)
{
    void* bits = nullptr;
    HBITMAP section = CHLMImageManager::Create32bppDibSection(nullptr, width, height, &bits);
    auto* rows = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y)
        std::memcpy(rows + (height - 1 - y) * width, pixels.data() + y * width, width * sizeof(DWORD));
    return section;
}

HICON PlainIcon(int width, int height, const std::vector<COLORREF>& colors, const std::vector<bool>& transparent)
{
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, color);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixel(dc, x, y, colors[y * width + x]);
    SelectObject(dc, mask);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixel(dc, x, y, !transparent.empty() && transparent[y * width + x] ? RGB(255, 255, 255) : RGB(0, 0, 0));
    SelectObject(dc, previous);
    DeleteDC(dc);
    ICONINFO info = {TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

DWORD Premultiplied(DWORD bgra)
{
    const DWORD a = bgra >> 24;
    return Bgra((bgra & 0xFF) * a / 255, ((bgra >> 8) & 0xFF) * a / 255, ((bgra >> 16) & 0xFF) * a / 255,
                static_cast<BYTE>(a));
}

std::vector<DWORD> Premultiplied(std::vector<DWORD> pixels)
{
    for (DWORD& pixel : pixels)
        pixel = Premultiplied(pixel);
    return pixels;
}

std::vector<DWORD> AlphaPixels(const CHLMImageManagerIconImage& image)
{
    CHLMImageManagerIconImage copy;
    copy = image;
    if (!copy.IsAlpha() || !copy.PreMultiply())
        return {};
    return PixelsOf(copy.GetBitmap());
}

std::vector<COLORREF> IconColors(const CHLMImageManagerIconImage& image)
{
    CHLMImageManagerIconImage copy;
    copy = image;
    ICONINFO info = {};
    if (!copy.GetIcon() || !GetIconInfo(copy.GetIcon(), &info))
        return {};
    const std::vector<DWORD> colors = PixelsOf(info.hbmColor), mask = PixelsOf(info.hbmMask);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    std::vector<COLORREF> result;
    for (size_t i = 0; i < colors.size() && i < mask.size(); ++i)
    {
        const DWORD pixel = colors[i];
        result.push_back((mask[i] & 0xFFFFFF) ? CLR_NONE
                                              : RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    }
    return result;
}
