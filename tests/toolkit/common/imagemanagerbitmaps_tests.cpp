// The icon store's bitmap functions: splitting, flattening and the disabled look, byte by
// byte.
#include <gtest/gtest.h>

#include "common/hlmimagemanager.h"
#include "iconstoretesting.h"
#include "pixels.h"
#include "testmain.h"

#include <windows.h>

#include <vector>

TEST(CHLMImageManagerBitmaps, SplitsAStripIntoThirtyTwoBitPartsWhateverItsDepth)
{
    // A 64 x 2 strip: pixel (x, y) has blue x, green y.
    std::vector<DWORD> pixels;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 64; ++x)
            pixels.push_back(Bgra(static_cast<BYTE>(x), static_cast<BYTE>(y), 7, 255));
    HBITMAP section = AlphaBitmap(64, 2, pixels);
    // The same pixels in a 24-bit device-independent bitmap.
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 64, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits24 = nullptr;
    HBITMAP section24 = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits24, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, section24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 64; ++x)
            SetPixel(dc, x, y, RGB(7, y, x));
    SelectObject(dc, previous);
    DeleteDC(dc);

    for (HBITMAP source : {section, section24})
    {
        HBITMAP parts[4] = {};
        ASSERT_TRUE(CHLMImageManager::SplitBitmap(source, 4, parts));
        for (int part = 0; part < 4; ++part)
        {
            BITMAP partInfo = {};
            GetObjectW(parts[part], sizeof(partInfo), &partInfo);
            EXPECT_EQ(16, partInfo.bmWidth);
            EXPECT_EQ(32, partInfo.bmBitsPixel);
            const std::vector<DWORD> got = PixelsOf(parts[part]);
            ASSERT_EQ(32u, got.size());
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 16; ++x)
                    EXPECT_EQ(pixels[y * 64 + part * 16 + x] & 0xFFFFFF, got[y * 16 + x] & 0xFFFFFF);
            DeleteObject(parts[part]);
        }
    }
    // A width that is not a multiple of the count.
    HBITMAP parts[3] = {};
    {
        CountFrameworkAssertions assertions;
        EXPECT_FALSE(CHLMImageManager::SplitBitmap(section, 3, parts));
    }
    EXPECT_EQ(nullptr, parts[0]);
    DeleteObject(section);
    DeleteObject(section24);
}

TEST(CHLMImageManagerBitmaps, FlattensOntoTheBackgroundBelowAlpha120AtTheSectionsRowStride)
{
    HBITMAP source = AlphaBitmap(3, 2, {Bgra(200, 100, 50, 120), Bgra(200, 100, 50, 119), Bgra(255, 255, 255, 255),
                                        Bgra(0, 0, 0, 0), Bgra(9, 8, 7, 200), Bgra(1, 2, 3, 255)});
    HBITMAP flat = CHLMImageManager::FlattenAlphaBitmap(source, RGB(10, 20, 30));
    ASSERT_TRUE(flat);
    DIBSECTION info = {};
    ASSERT_EQ(static_cast<int>(sizeof(info)), GetObjectW(flat, sizeof(info), &info));
    EXPECT_EQ(24, info.dsBm.bmBitsPixel);
    EXPECT_EQ(12, info.dsBm.bmWidthBytes);
    // Bottom-up: the top row is the second in memory.
    const BYTE* top = static_cast<const BYTE*>(info.dsBm.bmBits) + 12;
    const BYTE* bottom = static_cast<const BYTE*>(info.dsBm.bmBits);
    EXPECT_EQ((std::vector<BYTE>{199, 99, 49, 30, 20, 10, 254, 254, 254}), std::vector<BYTE>(top, top + 9));
    EXPECT_EQ((std::vector<BYTE>{30, 20, 10, 8, 7, 6, 0, 1, 2}), std::vector<BYTE>(bottom, bottom + 9));
    DeleteObject(flat);
    DeleteObject(source);
    EXPECT_EQ(nullptr, CHLMImageManager::FlattenAlphaBitmap(static_cast<HBITMAP>(nullptr), 0));
}

TEST(CHLMImageManagerBitmaps, GivesThirtyTwoBitSectionsTheDisabledLook)
{
    const std::vector<DWORD> pixels = {Bgra(0, 0, 0, 255), Bgra(90, 60, 30, 200), Bgra(200, 150, 100, 10)};
    // Levels 0.114 B + 0.587 G + 0.299 R: 0, 54.45 and 140.75; integer gray 0, 54 and 140.
    struct
    {
        const char* name;
        COLORREF light, dark;
        int brightness;
        double alphaFactor;
        std::vector<DWORD> expected;
    } rows[] = {
        // Gray: the square root of the level.
        {"gray", CLR_NONE, CLR_NONE, -1, 1.0, {Bgra(0, 0, 0, 255), Bgra(117, 117, 117, 200), Bgra(189, 189, 189, 10)}},
        {"gray, alpha halved", CLR_NONE, CLR_NONE, -1, 2.0,
         {Bgra(0, 0, 0, 127), Bgra(117, 117, 117, 100), Bgra(189, 189, 189, 5)}},
        {"gray, factor 0", CLR_NONE, CLR_NONE, -1, 0.0,
         {Bgra(0, 0, 0, 255), Bgra(117, 117, 117, 200), Bgra(189, 189, 189, 10)}},
        // The integer gray raised toward white.
        {"brightness 0", CLR_NONE, CLR_NONE, 0, 1.0, {Bgra(0, 0, 0, 255), Bgra(54, 54, 54, 200), Bgra(140, 140, 140, 10)}},
        {"brightness 255", CLR_NONE, CLR_NONE, 255, 1.0,
         {Bgra(255, 255, 255, 255), Bgra(255, 255, 255, 200), Bgra(255, 255, 255, 10)}},
        {"brightness 100", CLR_NONE, CLR_NONE, 100, 1.0,
         {Bgra(100, 100, 100, 255), Bgra(132, 132, 132, 200), Bgra(185, 185, 185, 10)}},
        // Blend from black to white: the pixel's own level; the alpha is kept.
        {"blend", RGB(255, 255, 255), RGB(0, 0, 0), -1, 2.0,
         {Bgra(0, 0, 0, 255), Bgra(54, 54, 54, 200), Bgra(140, 140, 140, 10)}},
        {"blend blue to red", RGB(255, 0, 0), RGB(0, 0, 200), -1, 1.0,
         {Bgra(200, 0, 0, 255), Bgra(157, 0, 54, 200), Bgra(89, 0, 140, 10)}},
    };
    for (const auto& row : rows)
    {
        CHLMImageManager::m_dDisabledAlphaFactor = row.alphaFactor;
        HBITMAP bitmap = AlphaBitmap(3, 1, pixels);
        EXPECT_TRUE(CHLMImageManager::DisableBitmapBits(bitmap, row.light, row.dark, row.brightness)) << row.name;
        EXPECT_EQ(row.expected, PixelsOf(bitmap)) << row.name;
        DeleteObject(bitmap);
    }
    CHLMImageManager::m_dDisabledAlphaFactor = 1.0;

    // Only 32-bit sections.
    HDC screen = GetDC(nullptr);
    HBITMAP device = CreateCompatibleBitmap(screen, 2, 2);
    ReleaseDC(nullptr, screen);
    EXPECT_FALSE(CHLMImageManager::DisableBitmapBits(device, CLR_NONE, CLR_NONE, -1));
    DeleteObject(device);
}

TEST(CHLMImageManagerBitmaps, DisablesARectangleOfAWindow)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    HWND window = CreateWindowExW(WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 30, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    UpdateWindow(window);
    HDC dc = GetDC(window);
    CDC::FromHandle(dc)->FillSolidRect(0, 0, 30, 10, RGB(30, 60, 90));
    EXPECT_TRUE(CHLMImageManager::DisableBitmap(dc, CRect(0, 0, 10, 10), 255));
    EXPECT_TRUE(CHLMImageManager::DisableBitmap(dc, CRect(10, 0, 20, 10), 0));
    EXPECT_TRUE(CHLMImageManager::DisableBitmap(dc, CRect(20, 0, 30, 10), RGB(255, 255, 255), RGB(0, 0, 0)));
    EXPECT_FALSE(CHLMImageManager::DisableBitmap(dc, CRect(5, 5, 5, 9), 0));
    TestSurface readBack(30, 10);
    BitBlt(readBack.dc(), 0, 0, 30, 10, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    // (114 x 90 + 587 x 60 + 299 x 30) / 1000 = 54; the blend gives the level 54.
    for (int y : {0, 9})
    {
        EXPECT_EQ(RGB(255, 255, 255), readBack.ColorAt(0, y));
        EXPECT_EQ(RGB(54, 54, 54), readBack.ColorAt(15, y));
        EXPECT_EQ(RGB(54, 54, 54), readBack.ColorAt(29, y));
    }
}
