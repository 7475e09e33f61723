#include "picturefixtures.h"

#include "testpaths.h"

#include <windows.h>
#include <gdiplus.h>

#include <cstdio>
#include <vector>

namespace
{
// Keeps GDI+ running for the fixtures, whatever the code under test does with its own start-up.
struct GdiplusSession
{
    ULONG_PTR token = 0;
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(token); }
};

GdiplusSession& Session()
{
    static GdiplusSession session;
    return session;
}

bool EncoderFor(const wchar_t* mime, CLSID* clsid)
{
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<BYTE> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, bytes, codecs);
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(codecs[i].MimeType, mime) == 0)
        {
            *clsid = codecs[i].Clsid;
            return true;
        }
    return false;
}

bool SaveBitmap(Gdiplus::Bitmap& bitmap, const std::wstring& path, const wchar_t* mime)
{
    CLSID encoder;
    return EncoderFor(mime, &encoder) && bitmap.Save(path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

bool SaveRaster(const std::wstring& path, const wchar_t* mime, int width, int height, float dpi)
{
    Session();
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    bitmap.SetResolution(dpi, dpi);
    {
        Gdiplus::Graphics graphics(&bitmap);
        Gdiplus::LinearGradientBrush brush(Gdiplus::Point(0, 0), Gdiplus::Point(width, height),
                                           Gdiplus::Color(255, 200, 30, 30), Gdiplus::Color(255, 30, 60, 220));
        graphics.FillRectangle(&brush, 0, 0, width, height);
    }
    return SaveBitmap(bitmap, path, mime);
}

// GIF with two colours whose LZW stream never grows past 3-bit codes: a clear code after
// every second pixel keeps the decoder's table small. The left half has the first colour.
bool SaveGif(const std::wstring& path, int width, int height, bool secondColourClear = false)
{
    std::vector<unsigned char> out = {'G', 'I', 'F', '8', '9', 'a'};
    auto word = [&out](int value) {
        out.push_back(static_cast<unsigned char>(value & 0xFF));
        out.push_back(static_cast<unsigned char>(value >> 8));
    };
    word(width);
    word(height);
    out.insert(out.end(), {0x80, 0, 0, 200, 30, 30, 30, 60, 220});  // global table of 2 colours
    if (secondColourClear)
        out.insert(out.end(), {'!', 0xF9, 4, 1, 0, 0, 1, 0});  // graphic control: index 1 transparent
    out.push_back(',');
    word(0);
    word(0);
    word(width);
    word(height);
    out.push_back(0);
    out.push_back(2);  // minimum code size: clear = 4, end = 5

    std::vector<unsigned char> data;
    unsigned bitBuffer = 0;
    int bitCount = 0;
    auto code = [&](unsigned value) {
        bitBuffer |= value << bitCount;
        bitCount += 3;
        while (bitCount >= 8)
        {
            data.push_back(static_cast<unsigned char>(bitBuffer & 0xFF));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    const int pixels = width * height;
    for (int i = 0; i < pixels; ++i)
    {
        if (i % 2 == 0)
            code(4);
        code((i % width) * 2 < width ? 0 : 1);
    }
    code(5);
    if (bitCount > 0)
        data.push_back(static_cast<unsigned char>(bitBuffer & 0xFF));
    for (size_t at = 0; at < data.size(); at += 255)
    {
        const size_t block = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<unsigned char>(block));
        out.insert(out.end(), data.begin() + at, data.begin() + at + block);
    }
    out.push_back(0);
    out.push_back(';');
    return WriteFileBytes(path, out);
}

void DrawScene(HDC dc, int width, int height)
{
    HBRUSH brush = CreateSolidBrush(RGB(30, 160, 60));
    RECT whole = {0, 0, width, height};
    FillRect(dc, &whole, brush);
    DeleteObject(brush);
    Ellipse(dc, width / 4, height / 4, width * 3 / 4, height * 3 / 4);
}

bool SaveEmf(const std::wstring& path, int width, int height)
{
    HDC screen = GetDC(nullptr);
    const int mmX = GetDeviceCaps(screen, HORZSIZE), mmY = GetDeviceCaps(screen, VERTSIZE);
    const int pxX = GetDeviceCaps(screen, HORZRES), pxY = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    RECT frame = {0, 0, width * mmX * 100 / pxX, height * mmY * 100 / pxY};  // 0.01 mm
    HDC dc = CreateEnhMetaFileW(nullptr, path.c_str(), &frame, nullptr);
    if (!dc)
        return false;
    DrawScene(dc, width, height);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    DeleteEnhMetaFile(metafile);
    return metafile != nullptr;
}

// A Windows metafile behind the 22-byte placeable header that GDI+ needs.
bool SaveWmf(const std::wstring& path, int width, int height)
{
    HDC dc = CreateMetaFileW(nullptr);
    SetWindowExtEx(dc, width, height, nullptr);
    DrawScene(dc, width, height);
    HMETAFILE metafile = CloseMetaFile(dc);
    const UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
    std::vector<unsigned char> bits(size);
    GetMetaFileBitsEx(metafile, size, bits.data());
    DeleteMetaFile(metafile);

    const WORD header[10] = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<WORD>(width), static_cast<WORD>(height), 96, 0, 0};
    WORD checksum = 0;
    for (WORD w : header)
        checksum ^= w;
    std::vector<unsigned char> out;
    for (WORD w : header)
    {
        out.push_back(static_cast<unsigned char>(w & 0xFF));
        out.push_back(static_cast<unsigned char>(w >> 8));
    }
    out.push_back(static_cast<unsigned char>(checksum & 0xFF));
    out.push_back(static_cast<unsigned char>(checksum >> 8));
    out.insert(out.end(), bits.begin(), bits.end());
    return WriteFileBytes(path, out);
}
}

bool MakePicture(const std::wstring& path, PictureKind kind, int width, int height, float dpi)
{
    switch (kind)
    {
    case PictureKind::Bmp: return SaveRaster(path, L"image/bmp", width, height, dpi);
    case PictureKind::Jpg: return SaveRaster(path, L"image/jpeg", width, height, dpi);
    case PictureKind::Png: return SaveRaster(path, L"image/png", width, height, dpi);
    case PictureKind::Tif: return SaveRaster(path, L"image/tiff", width, height, dpi);
    case PictureKind::Gif: return SaveGif(path, width, height);
    case PictureKind::Wmf: return SaveWmf(path, width, height);
    case PictureKind::Emf: return SaveEmf(path, width, height);
    }
    return false;
}

bool MakeQuadrantJpeg(const std::wstring& path, int width, int height, const COLORREF (&quadrants)[4],
                      const std::vector<BYTE>& segments)
{
    Session();
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        for (int i = 0; i < 4; ++i)
        {
            const COLORREF c = quadrants[i];
            Gdiplus::SolidBrush brush(Gdiplus::Color(GetRValue(c), GetGValue(c), GetBValue(c)));
            const int left = i % 2 ? width / 2 : 0, top = i / 2 ? height / 2 : 0;
            graphics.FillRectangle(&brush, left, top, i % 2 ? width - left : width / 2, i / 2 ? height - top : height / 2);
        }
    }
    if (!SaveBitmap(bitmap, path, L"image/jpeg"))
        return false;
    std::vector<BYTE> bytes = ReadFileBytes(path);
    if (bytes.size() < 2)
        return false;
    bytes.insert(bytes.begin() + 2, segments.begin(), segments.end());
    return WriteFileBytes(path, bytes);
}

bool MakeClearPartsPng(const std::wstring& path, int width, int height)
{
    Session();
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
        Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
        Gdiplus::SolidBrush halfClearBlue(Gdiplus::Color(128, 0, 0, 255));
        graphics.FillRectangle(&black, 4, 4, 12, 22);
        graphics.FillRectangle(&halfClearBlue, 24, 4, 12, 22);
    }
    return SaveBitmap(bitmap, path, L"image/png");
}

bool MakeClearHalfGif(const std::wstring& path, int width, int height)
{
    return SaveGif(path, width, height, true);
}

COLORREF ReadPixel(const std::wstring& path, int x, int y)
{
    Session();
    Gdiplus::Bitmap picture(path.c_str(), FALSE);
    Gdiplus::Color color;
    if (picture.GetLastStatus() != Gdiplus::Ok || picture.GetPixel(x, y, &color) != Gdiplus::Ok)
        return CLR_INVALID;
    return RGB(color.GetR(), color.GetG(), color.GetB());
}

PictureInfo ReadPictureInfo(const std::wstring& path)
{
    Session();
    PictureInfo info;
    {
        Gdiplus::Image picture(path.c_str(), FALSE);
        if (picture.GetLastStatus() != Gdiplus::Ok)
            return info;
        info.loaded = true;
        info.width = picture.GetWidth();
        info.height = picture.GetHeight();
        info.dpiX = picture.GetHorizontalResolution();
        info.dpiY = picture.GetVerticalResolution();
        info.pixelFormat = static_cast<int>(picture.GetPixelFormat());
    }
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file)
    {
        unsigned char start[2] = {};
        info.jpeg = fread(start, 1, 2, file) == 2 && start[0] == 0xFF && start[1] == 0xD8;
        fclose(file);
    }
    return info;
}

long long FileBytes(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
