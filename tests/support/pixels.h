// Test surfaces with pixels that tests can set and read exactly: 32-bit top-down sections
// selected into memory DCs, bitmap files and resource modules made at test time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// True on a screen of 8 bits per pixel or fewer. There device-dependent bitmaps hold the
// palette's colours, gradients are filled with their first colour and the colour manager
// keeps its base colours: tests that assume a deeper screen ask this first.
bool IsLowColorScreen();
#define SKIP_ON_A_LOW_COLOR_SCREEN(reason) \
    if (IsLowColorScreen())                \
    GTEST_SKIP() << "a screen of 8 bits per pixel or fewer: " << reason

// The colour a device-dependent bitmap of the screen holds for `color`: the colour itself,
// or the palette's nearest on a low-colour screen.
COLORREF ScreenColor(COLORREF color);

// A pixel of a 32-bit section as bytes blue, green, red, alpha.
inline DWORD Bgra(BYTE blue, BYTE green, BYTE red, BYTE alpha)
{
    return blue | green << 8 | red << 16 | static_cast<DWORD>(alpha) << 24;
}

// A 32-bit top-down section in its own memory DC; pixel (x, y) is At(x, y).
class TestSurface
{
public:
    TestSurface(int width, int height, DWORD fill = 0);
    ~TestSurface();
    TestSurface(const TestSurface&) = delete;
    TestSurface& operator=(const TestSurface&) = delete;

    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    DWORD& At(int x, int y) { GdiFlush(); return m_bits[y * m_width + x]; }
    // The colour at (x, y) without the alpha byte, as a COLORREF.
    COLORREF ColorAt(int x, int y);
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    int m_width, m_height;
    DWORD* m_bits;
    HBITMAP m_bitmap;
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The 32-bit pixels of any bitmap, top row first; empty when they cannot be read.
std::vector<DWORD> PixelsOf(HBITMAP bitmap);

// Bytes of a BMP file: 40-byte header, bottom-up rows padded to 4 bytes. `pixels` are
// top row first, as BGRA values (24-bit files keep blue, green, red).
std::vector<BYTE> BmpFileBytes(int width, int height, int bitsPerPixel, const std::vector<DWORD>& pixels);
// The same without the 14-byte file header: the form of an RT_BITMAP resource.
std::vector<BYTE> BmpResourceBytes(int width, int height, int bitsPerPixel, const std::vector<DWORD>& pixels);

// A copy of this test program with the given resources added, loaded as a data file.
struct TestResource
{
    const wchar_t* type;  // e.g. L"PNG" or RT_BITMAP
    const wchar_t* name;
    std::vector<BYTE> bytes;
};

class TestResourceModule
{
public:
    TestResourceModule(const wchar_t* folderName, const std::vector<TestResource>& resources);
    ~TestResourceModule();
    HMODULE module() const { return m_module; }

private:
    HMODULE m_module;
};
