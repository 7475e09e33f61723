#include "pixels.h"

#include "testpaths.h"

#include <cstring>

bool IsLowColorScreen()
{
    HDC screen = GetDC(nullptr);
    const int bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bitsPerPixel <= 8;
}

COLORREF ScreenColor(COLORREF color)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP pixel = CreateCompatibleBitmap(screen, 1, 1);
    HGDIOBJ previous = SelectObject(memory, pixel);
    SetPixel(memory, 0, 0, color);
    const COLORREF held = GetPixel(memory, 0, 0);
    SelectObject(memory, previous);
    DeleteObject(pixel);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return held;
}

TestSurface::TestSurface(int width, int height, DWORD fill)
    : m_width(width), m_height(height), m_bits(nullptr), m_bitmap(nullptr), m_dc(CreateCompatibleDC(nullptr))
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    for (int i = 0; i < width * height; ++i)
        m_bits[i] = fill;
    m_previous = SelectObject(m_dc, m_bitmap);
}

TestSurface::~TestSurface()
{
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF TestSurface::ColorAt(int x, int y)
{
    const DWORD pixel = At(x, y);
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

std::vector<DWORD> PixelsOf(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof(info), &info))
        return {};
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    const int rows = GetDIBits(dc, bitmap, 0, info.bmHeight, pixels.data(), &header, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (rows != info.bmHeight)
        return {};
    return pixels;
}

std::vector<BYTE> BmpResourceBytes(int width, int height, int bitsPerPixel, const std::vector<DWORD>& pixels)
{
    const int bytesPerPixel = bitsPerPixel / 8;
    const int stride = (width * bytesPerPixel + 3) & ~3;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biSizeImage = stride * height;
    std::vector<BYTE> bytes(sizeof(header) + header.biSizeImage);
    std::memcpy(bytes.data(), &header, sizeof(header));
    for (int y = 0; y < height; ++y)
    {
        BYTE* row = bytes.data() + sizeof(header) + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x)
            std::memcpy(row + x * bytesPerPixel, &pixels[y * width + x], bytesPerPixel);
    }
    return bytes;
}

std::vector<BYTE> BmpFileBytes(int width, int height, int bitsPerPixel, const std::vector<DWORD>& pixels)
{
    const std::vector<BYTE> body = BmpResourceBytes(width, height, bitsPerPixel, pixels);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfSize = static_cast<DWORD>(sizeof(file) + body.size());
    file.bfOffBits = sizeof(file) + sizeof(BITMAPINFOHEADER);
    std::vector<BYTE> bytes(sizeof(file) + body.size());
    std::memcpy(bytes.data(), &file, sizeof(file));
    std::memcpy(bytes.data() + sizeof(file), body.data(), body.size());
    return bytes;
}

TestResourceModule::TestResourceModule(const wchar_t* folderName, const std::vector<TestResource>& resources)
    : m_module(nullptr)
{
    const std::wstring path = MakeTestFolder(folderName) + L"\\resources.dll";
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (!CopyFileW(self, path.c_str(), FALSE))
        return;
    HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
    if (!update)
        return;
    for (const TestResource& resource : resources)
        UpdateResourceW(update, resource.type, resource.name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                        const_cast<BYTE*>(resource.bytes.data()), static_cast<DWORD>(resource.bytes.size()));
    if (!EndUpdateResourceW(update, FALSE))
        return;
    m_module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

TestResourceModule::~TestResourceModule()
{
    if (m_module)
        FreeLibrary(m_module);
}
