#include "common/hlmimagemanager.h"

#include "common/hlmdrawhelpers.h"
#include "common/hlmsystemhelpers.h"
#include "graphiclibrary/hlmgraphicbitmappng.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
const BYTE kPngSignature[4] = {0x89, 'P', 'N', 'G'};

// GetDIBits may write three masks after a 32-bit header.
const size_t kHeaderBlockSize = sizeof(BITMAPINFOHEADER) + 3 * sizeof(DWORD);

void TraceMemoryFailure()
{
    TRACE(_T("Failed -- Memory exception thrown.\n"));
}

// The section `make` returns, or null when an allocation on the way fails: no exception
// leaves the image functions.
template <class Make>
HBITMAP NullOnMemoryFailure(Make make)
{
    try
    {
        return make();
    }
    catch (const std::bad_alloc&)
    {
        TraceMemoryFailure();
        return nullptr;
    }
}

// Reads exactly `count` bytes from the start of a file opened for shared reading.
BOOL ReadFileStart(LPCWSTR path, void* buffer, DWORD count)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD read = 0;
    const BOOL complete = ReadFile(file, buffer, count, &read, nullptr) && read == count;
    CloseHandle(file);
    return complete;
}

}

const BYTE* CHLMImageManager::ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD& size)
{
    return LockResourceBytes(module, name, type, size);
}

namespace
{
bool HasPngSignature(const BYTE* bytes, DWORD size)
{
    return bytes && size >= sizeof(kPngSignature) && std::memcmp(bytes, kPngSignature, sizeof(kPngSignature)) == 0;
}

// An info header whose fields can be read as a BITMAPINFOHEADER.
bool IsInfoHeader(const BITMAPINFOHEADER& header)
{
    return header.biSize >= sizeof(BITMAPINFOHEADER);
}

// The size of the pixels of a 32-bit bitmap of the given header, or 0 for a header that no
// bottom-up 32-bit bitmap of this program can have.
ULONGLONG PixelByteCount32(const BITMAPINFOHEADER& header)
{
    if (header.biWidth <= 0 || header.biHeight <= 0 || header.biBitCount != 32)
        return 0;
    return static_cast<ULONGLONG>(header.biWidth) * static_cast<ULONGLONG>(header.biHeight) * 4;
}

// A screen-compatible memory DC for the life of a scope.
class ScreenMemoryDC
{
public:
    ScreenMemoryDC() : m_hDC(CreateCompatibleDC(nullptr)) {}
    ~ScreenMemoryDC()
    {
        if (m_hDC)
            DeleteDC(m_hDC);
    }
    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
};

// A section with the header of `header`, holding a copy of `pixels`; null on failure.
HBITMAP CreateSectionWithPixels(std::vector<BYTE>& header, const std::vector<BYTE>& pixels, void** bits)
{
    ScreenMemoryDC dc;
    void* sectionBits = nullptr;
    HBITMAP section = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(header.data()), DIB_RGB_COLORS,
                                       &sectionBits, nullptr, 0);
    if (!section || !sectionBits)
    {
        if (section)
            DeleteObject(section);
        TraceMemoryFailure();
        return nullptr;
    }
    SafeMemoryCopy(sectionBits, pixels.size(), pixels.data(), pixels.size());
    if (bits)
        *bits = sectionBits;
    return section;
}

// Selects a bitmap into a DC for the life of a scope.
class Selection
{
public:
    Selection(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hPrevious(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(m_hDC, m_hPrevious); }

private:
    HDC m_hDC;
    HGDIOBJ m_hPrevious;
};
}

// ---------------------------------------------------------------------------------------
// The manager

CHLMImageManager& CHLMImageManager::GetInstance()
{
    static CHLMImageManager instance;
    return instance;
}

// ---------------------------------------------------------------------------------------
// Signature tests

BOOL CHLMImageManager::IsPngFile(LPCWSTR path)
{
    BYTE start[sizeof(kPngSignature)];
    return ReadFileStart(path, start, sizeof(start)) && HasPngSignature(start, sizeof(start));
}

BOOL CHLMImageManager::IsBitmapFile32bpp(LPCWSTR path)
{
    // The file header (14 bytes, its signature not examined), then the info header.
    const DWORD fileHeaderSize = 14;
    BYTE bytes[fileHeaderSize + sizeof(BITMAPINFOHEADER)];
    if (!ReadFileStart(path, bytes, sizeof(bytes)))
        return FALSE;
    BITMAPINFOHEADER info;
    std::memcpy(&info, bytes + fileHeaderSize, sizeof(info));
    return IsInfoHeader(info) && info.biBitCount == 32;
}

BOOL CHLMImageManager::IsPngResource(HMODULE module, LPCWSTR name)
{
    DWORD size = 0;
    const BYTE* bytes = ResourceBytes(module, name, L"PNG", size);
    return HasPngSignature(bytes, size);
}

BOOL CHLMImageManager::IsBitmapResource32bpp(HMODULE module, LPCWSTR name)
{
    DWORD size = 0;
    const BYTE* bytes = ResourceBytes(module, name, RT_BITMAP, size);
    if (!bytes || size < sizeof(BITMAPINFOHEADER))
        return FALSE;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof(header));
    return IsInfoHeader(header) && header.biBitCount == 32;
}

// ---------------------------------------------------------------------------------------
// Loaders

HBITMAP CHLMImageManager::ReadAlphaBitmapResource(HMODULE module, LPCWSTR name)
{
    DWORD size = 0;
    const BYTE* bytes = ResourceBytes(module, name, RT_BITMAP, size);
    if (!bytes || size < sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof(header));
    // Only the plain form is read: a 40-byte BI_RGB header followed by bottom-up pixels.
    const ULONGLONG pixelBytes = PixelByteCount32(header);
    if (header.biSize != sizeof(BITMAPINFOHEADER) || header.biCompression != BI_RGB || header.biClrUsed != 0 ||
        pixelBytes == 0 || size < sizeof(BITMAPINFOHEADER) + pixelBytes)
        return nullptr;

    header.biSizeImage = static_cast<DWORD>(pixelBytes);
    return NullOnMemoryFailure([&] {
        std::vector<BYTE> block(kHeaderBlockSize);
        std::memcpy(block.data(), &header, sizeof(header));
        const std::vector<BYTE> pixels(bytes + sizeof(BITMAPINFOHEADER),
                                       bytes + sizeof(BITMAPINFOHEADER) + pixelBytes);
        return CreateSectionWithPixels(block, pixels, nullptr);
    });
}

HBITMAP CHLMImageManager::ReadBitmapFile(LPCWSTR path, BOOL* alpha)
{
    if (IsPngFile(path))
    {
        CHLMGraphicBitmapPng png;
        if (!png.LoadFile(path))
            return nullptr;
        if (alpha)
            *alpha = png.IsAlpha();
        return static_cast<HBITMAP>(png.Detach());
    }
    const BOOL is32bpp = IsBitmapFile32bpp(path);
    const UINT flags = LR_LOADFROMFILE | LR_DEFAULTSIZE | (is32bpp ? LR_CREATEDIBSECTION : 0);
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, flags));
    if (alpha)
        *alpha = is32bpp;
    return bitmap;
}

HBITMAP CHLMImageManager::ReadBitmapResource(HMODULE module, LPCWSTR name, BOOL* alpha)
{
    if (IsPngResource(module, name))
    {
        CHLMGraphicBitmapPng png;
        if (!png.LoadResource(module, FindResourceW(module, name, L"PNG")))
            return nullptr;
        if (alpha)
            *alpha = png.IsAlpha();
        return static_cast<HBITMAP>(png.Detach());
    }
    const BOOL is32bpp = IsBitmapResource32bpp(module, name);
    if (alpha)
        *alpha = is32bpp;
    if (is32bpp)
        return ReadAlphaBitmapResource(module, name);
    return static_cast<HBITMAP>(LoadImageW(module, name, IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE));
}

HBITMAP CHLMImageManager::ReadBitmapResource(LPCWSTR name, BOOL* alpha)
{
    return ReadBitmapResource(AfxGetResourceHandle(), name, alpha);
}

HBITMAP CHLMImageManager::ReadAlphaBitmapResource(UINT id)
{
    return ReadAlphaBitmapResource(AfxGetResourceHandle(), MAKEINTRESOURCEW(id));
}

// ---------------------------------------------------------------------------------------
// 32-bit sections

HBITMAP CHLMImageManager::Create32bppDibSection(HDC dc, int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* sectionBits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
    if (bits)
        *bits = sectionBits;
    return section;
}

BOOL CHLMImageManager::Read32bppBits(HDC dc, HBITMAP bitmap, std::vector<BYTE>& header, std::vector<BYTE>& pixels)
{
    if (!bitmap)
        return FALSE;
    try
    {
        std::vector<BYTE> query(kHeaderBlockSize);
        auto* info = reinterpret_cast<BITMAPINFO*>(query.data());
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        if (!GetDIBits(dc, bitmap, 0, 0, nullptr, info, DIB_RGB_COLORS) || info->bmiHeader.biBitCount != 32)
            return FALSE;
        const ULONGLONG byteCount = PixelByteCount32(info->bmiHeader);
        if (byteCount == 0)
            return FALSE;

        pixels.assign(static_cast<size_t>(byteCount), 0);
        header.assign(kHeaderBlockSize, 0);
        BITMAPINFOHEADER plain = info->bmiHeader;
        // The default bit fields of a 32-bit bitmap are the BI_RGB layout; a plain header
        // needs no masks to be created again from it.
        plain.biCompression = BI_RGB;
        plain.biSizeImage = static_cast<DWORD>(byteCount);
        std::memcpy(header.data(), &plain, sizeof(plain));
        if (GetDIBits(dc, bitmap, 0, plain.biHeight, pixels.data(), reinterpret_cast<BITMAPINFO*>(header.data()),
                      DIB_RGB_COLORS) == plain.biHeight)
            return TRUE;
    }
    catch (const std::bad_alloc&)
    {
        TraceMemoryFailure();
    }
    header.clear();
    pixels.clear();
    return FALSE;
}

BOOL CHLMImageManager::Read32bppBits(CDC* dc, HBITMAP bitmap, std::vector<BYTE>& header, std::vector<BYTE>& pixels)
{
    return Read32bppBits(dc->GetSafeHdc(), bitmap, header, pixels);
}

HBITMAP CHLMImageManager::Copy32bppBitmap(HBITMAP bitmap, void** bits)
{
    ScreenMemoryDC dc;
    std::vector<BYTE> header, pixels;
    if (!Read32bppBits(dc, bitmap, header, pixels))
        return nullptr;
    return CreateSectionWithPixels(header, pixels, bits);
}

HBITMAP CHLMImageManager::MirrorBitmap(HBITMAP bitmap)
{
    ScreenMemoryDC dc;
    std::vector<BYTE> header, pixels;
    if (!Read32bppBits(dc, bitmap, header, pixels))
        return nullptr;
    return NullOnMemoryFailure([&] {
        const BITMAPINFOHEADER& info = *reinterpret_cast<const BITMAPINFOHEADER*>(header.data());
        const LONG width = info.biWidth;
        std::vector<BYTE> mirrored(pixels.size());
        const auto* source = reinterpret_cast<const DWORD*>(pixels.data());
        auto* target = reinterpret_cast<DWORD*>(mirrored.data());
        for (LONG row = 0; row < info.biHeight; ++row)
            std::reverse_copy(source + row * width, source + (row + 1) * width, target + row * width);
        return CreateSectionWithPixels(header, mirrored, nullptr);
    });
}

HBITMAP CHLMImageManager::PremultiplyBitmap(HBITMAP bitmap, BOOL* alpha, void** bits)
{
    if (bits)
        *bits = nullptr;
    ScreenMemoryDC dc;
    std::vector<BYTE> header, pixels;
    if (!Read32bppBits(dc, bitmap, header, pixels))
        return nullptr;

    return NullOnMemoryFailure([&] {
        std::vector<BYTE> premultiplied(pixels);
        const BOOL incoming = alpha ? *alpha : FALSE;
        bool transparentSeen = false;
        for (size_t i = 0; i < premultiplied.size(); i += 4)
        {
            BYTE* pixel = &premultiplied[i];
            const BYTE a = pixel[3];
            for (int channel = 0; channel < 3; ++channel)
                pixel[channel] = static_cast<BYTE>(pixel[channel] * a / 255);
            if (!alpha)
                continue;
            if (a == 0)
                transparentSeen = true;
            else if (a != 255 || transparentSeen || incoming == -1)
                *alpha = TRUE;
        }
        const bool keepOriginal = alpha && *alpha == FALSE;
        return CreateSectionWithPixels(header, keepOriginal ? pixels : premultiplied, bits);
    });
}

// ---------------------------------------------------------------------------------------
// Blitting

BOOL CHLMImageManager::IsMsimgUsable()
{
    return GetOsVersionInfo().IsWin2KOrLater();
}

void CHLMImageManager::TransparentBlt(HDC destination, const RECT& d, HDC source, const RECT& s, COLORREF transparent)
{
    const CHLMDrawHelpers& helpers = CHLMDrawHelpers::Instance();
    if (IsMsimgUsable() && helpers.m_pfnTransparentBlt)
    {
        helpers.m_pfnTransparentBlt(destination, d.left, d.top, d.right - d.left, d.bottom - d.top, source, s.left,
                                    s.top, s.right - s.left, s.bottom - s.top, transparent);
        return;
    }
    MaskedTransparentBlt(destination, d.left, d.top, d.right - d.left, d.bottom - d.top, source, s.left, s.top,
                         s.right - s.left, s.bottom - s.top, transparent);
}

BOOL CHLMImageManager::MaskedTransparentBlt(HDC destination, int x, int y, int cx, int cy, HDC source, int sourceX,
                                            int sourceY, int sourceCx, int sourceCy, COLORREF transparent)
{
    if (!destination || !source)
        return FALSE;
    const COLORREF oldBackground = SetBkColor(destination, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(destination, RGB(0, 0, 0));

    BOOL drawn = FALSE;
    HDC maskDC = CreateCompatibleDC(destination);
    HDC imageDC = CreateCompatibleDC(source);
    HBITMAP image = CreateCompatibleBitmap(destination, sourceCx, sourceCy);
    HBITMAP mask = CreateBitmap(sourceCx, sourceCy, 1, 1, nullptr);
    if (maskDC && imageDC && image && mask)
    {
        Selection imageSelection(imageDC, image);
        Selection maskSelection(maskDC, mask);
        // The image, and a mask that is 1 where the image has the transparent colour.
        BOOL prepared = BitBlt(imageDC, 0, 0, sourceCx, sourceCy, source, sourceX, sourceY, SRCCOPY);
        SetBkColor(imageDC, transparent);
        prepared = prepared && BitBlt(maskDC, 0, 0, sourceCx, sourceCy, imageDC, 0, 0, SRCCOPY);
        if (prepared && transparent != RGB(0, 0, 0))
        {
            // Transparent pixels become black, so that OR-ing the image leaves the
            // destination there.
            SetBkColor(imageDC, RGB(0, 0, 0));
            SetTextColor(imageDC, RGB(255, 255, 255));
            prepared = BitBlt(imageDC, 0, 0, sourceCx, sourceCy, maskDC, 0, 0, SRCAND);
        }
        if (prepared)
        {
            if (cx != sourceCx || cy != sourceCy)
                drawn = StretchBlt(destination, x, y, cx, cy, maskDC, 0, 0, sourceCx, sourceCy, SRCAND) &&
                        StretchBlt(destination, x, y, cx, cy, imageDC, 0, 0, sourceCx, sourceCy, SRCPAINT);
            else
                drawn = BitBlt(destination, x, y, sourceCx, sourceCy, maskDC, 0, 0, SRCAND) &&
                        BitBlt(destination, x, y, sourceCx, sourceCy, imageDC, 0, 0, SRCPAINT);
        }
    }
    if (maskDC)
        DeleteDC(maskDC);
    if (imageDC)
        DeleteDC(imageDC);
    if (image)
        DeleteObject(image);
    if (mask)
        DeleteObject(mask);
    SetBkColor(destination, oldBackground);
    SetTextColor(destination, oldText);
    return drawn;
}

BOOL CHLMImageManager::UseAlphaBlendFallback(HDC destination, const RECT& d, const RECT& s, BOOL checkTop) const
{
    if (GetOsVersionInfo().IsWin9x() && CHLMDrawHelpers::GetDcLayout(destination) != 0)
        return TRUE;
    if (!CHLMDrawHelpers::Instance().m_pfnAlphaBlend)
        return TRUE;
    if (!IsMsimgUsable() && (s.left != 0 || s.top != 0 || (checkTop && d.top < 0)))
        return TRUE;
    return FALSE;
}

BOOL CHLMImageManager::AlphaBlend(HDC destination, const RECT& d, HDC source, const RECT& s)
{
    if (UseAlphaBlendFallback(destination, d, s, TRUE))
        return AlphaBlendFallback(destination, d.left, d.top, d.right - d.left, d.bottom - d.top, source, s.left,
                                  s.top, s.right - s.left, s.bottom - s.top);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return CHLMDrawHelpers::Instance().m_pfnAlphaBlend(destination, d.left, d.top, d.right - d.left, d.bottom - d.top,
                                                   source, s.left, s.top, s.right - s.left, s.bottom - s.top, blend);
}

BOOL CHLMImageManager::AlphaBlendConstant(HDC destination, const RECT& d, HDC source, const RECT& s,
                                          BYTE constantAlpha)
{
    if (UseAlphaBlendFallback(destination, d, s, FALSE))
        return AlphaBlendFallback(destination, d.left, d.top, d.right - d.left, d.bottom - d.top, source, s.left,
                                  s.top, s.right - s.left, s.bottom - s.top, constantAlpha);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha, 0};
    return CHLMDrawHelpers::Instance().m_pfnAlphaBlend(destination, d.left, d.top, d.right - d.left, d.bottom - d.top,
                                                   source, s.left, s.top, s.right - s.left, s.bottom - s.top, blend);
}

void CHLMImageManager::TransparentBlt(CDC* destination, const RECT& d, CDC* source, const RECT& s,
                                      COLORREF transparent)
{
    TransparentBlt(destination->GetSafeHdc(), d, source->GetSafeHdc(), s, transparent);
}

BOOL CHLMImageManager::AlphaBlend(CDC* destination, const RECT& d, CDC* source, const RECT& s)
{
    return AlphaBlend(destination->GetSafeHdc(), d, source->GetSafeHdc(), s);
}

BOOL CHLMImageManager::AlphaBlendConstant(CDC* destination, const RECT& d, CDC* source, const RECT& s,
                                          BYTE constantAlpha)
{
    return AlphaBlendConstant(destination->GetSafeHdc(), d, source->GetSafeHdc(), s, constantAlpha);
}

BOOL CHLMImageManager::AlphaBlendFallback(HDC destination, int x, int y, int cx, int cy, HDC source, int sourceX,
                                          int sourceY, int sourceCx, int sourceCy, int constantAlpha)
{
    const BOOL sourceMirrored = CHLMDrawHelpers::GetDcLayout(source) != 0;
    const BOOL destinationMirrored = CHLMDrawHelpers::GetDcLayout(destination) != 0;

    HBITMAP sourceCopy = Create32bppDibSection(destination, cx, cy, nullptr);
    HBITMAP destinationCopy = Create32bppDibSection(destination, cx, cy, nullptr);
    HBITMAP result = Create32bppDibSection(destination, cx, cy, nullptr);
    HDC sourceDC = CreateCompatibleDC(source);
    HDC destinationDC = CreateCompatibleDC(source);
    BOOL blended = FALSE;
    if (sourceCopy && destinationCopy && result && sourceDC && destinationDC)
    {
        CHLMDrawHelpers::SetDcLayout(sourceDC, 0);
        CHLMDrawHelpers::SetDcLayout(destinationDC, 0);
        HGDIOBJ oldSource = SelectObject(sourceDC, sourceCopy);
        HGDIOBJ oldDestination = SelectObject(destinationDC, destinationCopy);
        SetStretchBltMode(sourceDC, COLORONCOLOR);
        SetStretchBltMode(destinationDC, COLORONCOLOR);
        const BOOL copied =
            StretchBlt(sourceDC, 0, 0, cx, cy, source, sourceX, sourceY, sourceCx, sourceCy, SRCCOPY) &&
            BitBlt(destinationDC, 0, 0, cx, cy, destination, x, y, SRCCOPY);
        SelectObject(sourceDC, oldSource);
        SelectObject(destinationDC, oldDestination);
        if (copied)
        {
            blended = BlendBitmaps(sourceCopy, sourceMirrored, destinationCopy, destinationMirrored, result,
                                   constantAlpha);
            if (blended)
            {
                Selection resultSelection(sourceDC, result);
                BitBlt(destination, x, y, cx, cy, sourceDC, 0, 0,
                       destinationMirrored ? (NOMIRRORBITMAP | SRCCOPY) : SRCCOPY);
            }
        }
    }
    if (sourceDC)
        DeleteDC(sourceDC);
    if (destinationDC)
        DeleteDC(destinationDC);
    for (HBITMAP bitmap : {sourceCopy, destinationCopy, result})
        if (bitmap)
            DeleteObject(bitmap);
    return blended;
}

BOOL CHLMImageManager::IsSameBitmapLayout(const BITMAP& a, const BITMAP& b)
{
    return a.bmWidth == b.bmWidth && a.bmHeight == b.bmHeight && a.bmPlanes == b.bmPlanes &&
           a.bmBitsPixel == b.bmBitsPixel;
}

BOOL CHLMImageManager::BlendBitmaps(HBITMAP source, BOOL sourceMirrored, HBITMAP destination,
                                    BOOL destinationMirrored, HBITMAP result, int constantAlpha)
{
    BITMAP s = {}, d = {}, r = {};
    if (!GetObjectW(source, sizeof(s), &s) || !GetObjectW(destination, sizeof(d), &d) ||
        !GetObjectW(result, sizeof(r), &r))
        return FALSE;
    if (!IsSameBitmapLayout(s, d) || !IsSameBitmapLayout(s, r) || s.bmBitsPixel != 32 || s.bmPlanes != 1 ||
        !s.bmBits || !d.bmBits || !r.bmBits)
        return FALSE;

    const int width = s.bmWidth;
    for (int row = 0; row < s.bmHeight; ++row)
    {
        const auto* sourceRow = static_cast<const BYTE*>(s.bmBits) + row * s.bmWidthBytes;
        const auto* destinationRow = static_cast<const BYTE*>(d.bmBits) + row * d.bmWidthBytes;
        auto* resultRow = static_cast<BYTE*>(r.bmBits) + row * r.bmWidthBytes;
        for (int j = 0; j < width; ++j)
        {
            const BYTE* sp = sourceRow + 4 * (sourceMirrored ? width - 1 - j : j);
            const BYTE* dp = destinationRow + 4 * (destinationMirrored ? width - 1 - j : j);
            BYTE* rp = resultRow + 4 * j;
            for (int channel = 0; channel < 3; ++channel)
            {
                // Premultiplied: source + destination x (255 - source alpha) / 255. A
                // constant alpha weighs the source as well. A source that is not truly
                // premultiplied saturates rather than wrapping around.
                const int value = constantAlpha < 0
                                      ? sp[channel] + dp[channel] * (255 - sp[3]) / 255
                                      : (sp[channel] * constantAlpha + dp[channel] * (255 - constantAlpha)) / 255;
                rp[channel] = static_cast<BYTE>(std::min(value, 255));
            }
        }
    }
    return TRUE;
}
