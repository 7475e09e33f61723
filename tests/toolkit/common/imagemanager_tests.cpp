// The image manager's bitmap loaders, 32-bit section functions and blitting, pixel by pixel.
#include <gtest/gtest.h>

#include "childrun.h"
#include "common/hlmimagemanager.h"
#include "failingallocation.h"
#include "pixels.h"
#include "testpaths.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>

namespace
{
// A bottom-up 32-bit section (as the manager makes them) with pixels given in memory order.
HBITMAP SectionInMemoryOrder(int width, int height, const std::vector<DWORD>& memoryOrder)
{
    void* bits = nullptr;
    HBITMAP section = CHLMImageManager::Create32bppDibSection(nullptr, width, height, &bits);
    std::memcpy(bits, memoryOrder.data(), memoryOrder.size() * sizeof(DWORD));
    return section;
}

std::vector<DWORD> MemoryOrderOf(HBITMAP section)
{
    DIBSECTION info = {};
    GetObjectW(section, sizeof(info), &info);
    const auto* bits = static_cast<const DWORD*>(info.dsBm.bmBits);
    return std::vector<DWORD>(bits, bits + info.dsBm.bmWidth * info.dsBm.bmHeight);
}

bool IsSection(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    return info.bmBits != nullptr;
}
}

TEST(CHLMImageManager, CreatesBottomUpThirtyTwoBitSections)
{
    void* bits = nullptr;
    HBITMAP section = CHLMImageManager::Create32bppDibSection(nullptr, 3, 2, &bits);
    ASSERT_TRUE(section);
    EXPECT_NE(nullptr, bits);
    DIBSECTION info = {};
    ASSERT_EQ(static_cast<int>(sizeof(info)), GetObjectW(section, sizeof(info), &info));
    EXPECT_EQ(40u, info.dsBmih.biSize);
    EXPECT_EQ(3, info.dsBmih.biWidth);
    EXPECT_EQ(2, info.dsBmih.biHeight);
    EXPECT_EQ(32, info.dsBmih.biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), info.dsBmih.biCompression);
    DeleteObject(section);
}

TEST(CHLMImageManager, PremultipliesEachPixel)
{
    HBITMAP source = SectionInMemoryOrder(2, 1, {Bgra(200, 100, 50, 128), Bgra(10, 20, 30, 0)});
    void* bits = nullptr;
    HBITMAP result = CHLMImageManager::PremultiplyBitmap(source, nullptr, &bits);
    ASSERT_TRUE(result);
    EXPECT_NE(nullptr, bits);
    EXPECT_EQ((std::vector<DWORD>{Bgra(100, 50, 25, 128), Bgra(0, 0, 0, 0)}), MemoryOrderOf(result));
    EXPECT_EQ((std::vector<DWORD>{Bgra(200, 100, 50, 128), Bgra(10, 20, 30, 0)}), MemoryOrderOf(source));
    DeleteObject(result);
    DeleteObject(source);
}

TEST(CHLMImageManager, AlphaDetectionFollowsTheOrderOfOpaqueAndTransparentPixels)
{
    struct
    {
        const char* name;
        std::vector<DWORD> pixels;  // memory order
        BOOL flagIn, flagOut;
        bool premultiplied;
    } rows[] = {
        {"255 then 0", {Bgra(90, 90, 90, 255), Bgra(90, 90, 90, 0)}, FALSE, FALSE, false},
        {"0 then 255", {Bgra(90, 90, 90, 0), Bgra(90, 90, 90, 255)}, FALSE, TRUE, true},
        {"partial alpha", {Bgra(90, 90, 90, 255), Bgra(90, 90, 90, 254)}, FALSE, TRUE, true},
        {"partial alpha 1", {Bgra(90, 90, 90, 1), Bgra(90, 90, 90, 255)}, FALSE, TRUE, true},
        {"all opaque", {Bgra(90, 90, 90, 255), Bgra(80, 80, 80, 255)}, FALSE, FALSE, false},
        {"all opaque, -1", {Bgra(90, 90, 90, 255), Bgra(80, 80, 80, 255)}, -1, TRUE, true},
        {"already set", {Bgra(90, 90, 90, 255), Bgra(90, 90, 90, 0)}, TRUE, TRUE, true},
    };
    for (const auto& row : rows)
    {
        HBITMAP source = SectionInMemoryOrder(2, 1, row.pixels);
        BOOL flag = row.flagIn;
        HBITMAP result = CHLMImageManager::PremultiplyBitmap(source, &flag, nullptr);
        ASSERT_TRUE(result) << row.name;
        EXPECT_EQ(row.flagOut, flag) << row.name;
        std::vector<DWORD> expected = row.pixels;
        if (row.premultiplied)
            for (DWORD& pixel : expected)
            {
                const DWORD a = pixel >> 24;
                pixel = Bgra((pixel & 0xFF) * a / 255, ((pixel >> 8) & 0xFF) * a / 255,
                             ((pixel >> 16) & 0xFF) * a / 255, static_cast<BYTE>(a));
            }
        EXPECT_EQ(expected, MemoryOrderOf(result)) << row.name;
        DeleteObject(result);
        DeleteObject(source);
    }
}

TEST(CHLMImageManager, MirrorsEveryRowWithItsAlpha)
{
    HBITMAP source = SectionInMemoryOrder(3, 2, {1, 2, 3, 0xFF000004, 5, 0x80000006});
    HBITMAP mirrored = CHLMImageManager::MirrorBitmap(source);
    ASSERT_TRUE(mirrored);
    EXPECT_EQ((std::vector<DWORD>{3, 2, 1, 0x80000006, 5, 0xFF000004}), MemoryOrderOf(mirrored));
    DeleteObject(mirrored);
    DeleteObject(source);
}

TEST(CHLMImageManager, CopiesAndReadsThirtyTwoBitBitmapsOnly)
{
    HBITMAP source = SectionInMemoryOrder(2, 2, {1, 0x22000002, 3, 0xFF000004});
    void* bits = nullptr;
    HBITMAP copy = CHLMImageManager::Copy32bppBitmap(source, &bits);
    ASSERT_TRUE(copy);
    EXPECT_NE(source, copy);
    EXPECT_EQ(MemoryOrderOf(source), MemoryOrderOf(copy));
    EXPECT_EQ(MemoryOrderOf(copy).data()[0], *static_cast<DWORD*>(bits));

    std::vector<BYTE> header, pixels;
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(CHLMImageManager::Read32bppBits(dc, source, header, pixels));
    EXPECT_EQ(52u, header.size());
    EXPECT_EQ(16u, pixels.size());
    const auto& info = *reinterpret_cast<const BITMAPINFOHEADER*>(header.data());
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), info.biCompression);
    EXPECT_EQ(16u, info.biSizeImage);

    // A 24-bit bitmap, a null handle: not read.
    HBITMAP deep24 = CreateBitmap(2, 2, 1, 24, nullptr);
    BITMAPINFO info24 = {};
    info24.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HBITMAP section24 = CreateDIBSection(dc, &info24, DIB_RGB_COLORS, nullptr, nullptr, 0);
    EXPECT_FALSE(CHLMImageManager::Read32bppBits(dc, section24, header, pixels));
    EXPECT_FALSE(CHLMImageManager::Read32bppBits(dc, nullptr, header, pixels));
    EXPECT_EQ(nullptr, CHLMImageManager::Copy32bppBitmap(section24, nullptr));
    EXPECT_EQ(nullptr, CHLMImageManager::MirrorBitmap(section24));
    EXPECT_EQ(nullptr, CHLMImageManager::PremultiplyBitmap(nullptr, nullptr, nullptr));
    DeleteObject(deep24);
    DeleteObject(section24);
    DeleteDC(dc);
    DeleteObject(copy);
    DeleteObject(source);
}

// ---------------------------------------------------------------------------------------
// Files and resources

namespace
{
const std::vector<DWORD> kFourPixels = {Bgra(10, 20, 30, 255), Bgra(40, 50, 60, 128), Bgra(70, 80, 90, 0),
                                        Bgra(100, 110, 120, 64)};

// What a device-dependent bitmap of the screen made from a 32-bit picture holds for one of
// its pixels, alpha left out: the pixel itself, or a palette colour on a low-colour screen.
DWORD ScreenColorPixel(DWORD pixel)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1, 1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HBITMAP converted = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, &pixel, &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    const DWORD held = PixelsOf(converted).at(0) & 0xFFFFFF;
    DeleteObject(converted);
    return held;
}
}

TEST(CHLMImageManager, LoadsBitmapFilesByTheirContent)
{
    const std::wstring folder = MakeTestFolder(L"bitmapfiles");
    const std::wstring bmp24 = folder + L"\\deep24.bmp", bmp32 = folder + L"\\deep32.png";
    WriteFileBytes(bmp24, BmpFileBytes(2, 2, 24, kFourPixels));
    WriteFileBytes(bmp32, BmpFileBytes(2, 2, 32, kFourPixels));  // named .png, still a BMP

    EXPECT_FALSE(CHLMImageManager::IsPngFile(bmp32.c_str()));
    EXPECT_FALSE(CHLMImageManager::IsBitmapFile32bpp(bmp24.c_str()));
    EXPECT_TRUE(CHLMImageManager::IsBitmapFile32bpp(bmp32.c_str()));

    BOOL alpha = TRUE;
    HBITMAP deep24 = CHLMImageManager::ReadBitmapFile(bmp24.c_str(), &alpha);
    ASSERT_TRUE(deep24);
    EXPECT_FALSE(alpha);
    EXPECT_FALSE(IsSection(deep24)) << "a device-dependent bitmap";
    const std::vector<DWORD> pixels24 = PixelsOf(deep24);
    ASSERT_EQ(4u, pixels24.size());
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(ScreenColorPixel(kFourPixels[i]), pixels24[i] & 0xFFFFFF) << i;

    alpha = FALSE;
    HBITMAP deep32 = CHLMImageManager::ReadBitmapFile(bmp32.c_str(), &alpha);
    ASSERT_TRUE(deep32);
    EXPECT_TRUE(alpha);
    EXPECT_TRUE(IsSection(deep32));
    EXPECT_EQ(kFourPixels, PixelsOf(deep32)) << "alpha bytes intact";
    DeleteObject(deep24);
    DeleteObject(deep32);

    // Missing and short files.
    alpha = TRUE;
    EXPECT_EQ(nullptr, CHLMImageManager::ReadBitmapFile((folder + L"\\missing.bmp").c_str(), &alpha));
    EXPECT_FALSE(alpha);
    const std::wstring shortFile = folder + L"\\short.bmp";
    const std::vector<BYTE> whole = BmpFileBytes(2, 2, 32, kFourPixels);
    WriteFileBytes(shortFile, std::vector<BYTE>(whole.begin(), whole.begin() + 30));
    EXPECT_FALSE(CHLMImageManager::IsBitmapFile32bpp(shortFile.c_str()));
    EXPECT_FALSE(CHLMImageManager::IsPngFile(L"Z:\\no\\such\\file.png"));
}

TEST(CHLMImageManager, SignatureTestsReadFilesThatOthersHoldOpen)
{
    const std::wstring path = MakeTestFolder(L"sharedread") + L"\\held.bmp";
    WriteFileBytes(path, BmpFileBytes(2, 2, 32, kFourPixels));
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_TRUE(CHLMImageManager::IsBitmapFile32bpp(path.c_str()));
    CloseHandle(held);
}

TEST(CHLMImageManager, ReadsBitmapResourcesWithTheirAlpha)
{
    std::vector<BYTE> deep32 = BmpResourceBytes(2, 2, 32, kFourPixels);
    std::vector<BYTE> oneShort(deep32.begin(), deep32.end() - 1);
    std::vector<BYTE> topDown = deep32;
    reinterpret_cast<BITMAPINFOHEADER*>(topDown.data())->biHeight = -2;
    std::vector<BYTE> bitFields = deep32;
    reinterpret_cast<BITMAPINFOHEADER*>(bitFields.data())->biCompression = BI_BITFIELDS;
    std::vector<BYTE> huge = deep32;
    reinterpret_cast<BITMAPINFOHEADER*>(huge.data())->biWidth = 0x40000000;

    TestResourceModule resources(L"bitmapresources", {{RT_BITMAP, L"DEEP32", deep32},
                                                      {RT_BITMAP, L"DEEP24", BmpResourceBytes(2, 2, 24, kFourPixels)},
                                                      {RT_BITMAP, L"ONESHORT", oneShort},
                                                      {RT_BITMAP, L"TOPDOWN", topDown},
                                                      {RT_BITMAP, L"BITFIELDS", bitFields},
                                                      {RT_BITMAP, L"HUGE", huge},
                                                      {RT_BITMAP, L"TINY", std::vector<BYTE>(12, 0)}});
    HMODULE module = resources.module();
    ASSERT_TRUE(module);

    EXPECT_TRUE(CHLMImageManager::IsBitmapResource32bpp(module, L"DEEP32"));
    EXPECT_FALSE(CHLMImageManager::IsBitmapResource32bpp(module, L"DEEP24"));
    EXPECT_FALSE(CHLMImageManager::IsBitmapResource32bpp(module, L"TINY"));
    EXPECT_FALSE(CHLMImageManager::IsBitmapResource32bpp(module, L"MISSING"));
    EXPECT_FALSE(CHLMImageManager::IsPngResource(module, L"DEEP32"));

    HBITMAP section = CHLMImageManager::ReadAlphaBitmapResource(module, L"DEEP32");
    ASSERT_TRUE(section);
    EXPECT_EQ(kFourPixels, PixelsOf(section));
    DeleteObject(section);

    for (const wchar_t* refused : {L"ONESHORT", L"TOPDOWN", L"BITFIELDS", L"HUGE", L"TINY", L"DEEP24", L"MISSING"})
        EXPECT_EQ(nullptr, CHLMImageManager::ReadAlphaBitmapResource(module, refused)) << refused;

    BOOL alpha = FALSE;
    HBITMAP loaded = CHLMImageManager::ReadBitmapResource(module, L"DEEP32", &alpha);
    EXPECT_TRUE(alpha);
    EXPECT_EQ(kFourPixels, PixelsOf(loaded));
    DeleteObject(loaded);

    loaded = CHLMImageManager::ReadBitmapResource(module, L"DEEP24", &alpha);
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(alpha);
    EXPECT_FALSE(IsSection(loaded));
    EXPECT_EQ(ScreenColorPixel(kFourPixels[3]), PixelsOf(loaded)[3] & 0xFFFFFF);
    DeleteObject(loaded);

    alpha = FALSE;
    EXPECT_EQ(nullptr, CHLMImageManager::ReadBitmapResource(module, L"ONESHORT", &alpha));
    EXPECT_TRUE(alpha) << "the flag still comes from the header";
}

// ---------------------------------------------------------------------------------------
// Blitting

namespace
{
const COLORREF kKey = RGB(255, 0, 255);

// A 4 by 2 source: keyed pixels in the top row's middle, colours elsewhere.
void FillKeyedSource(TestSurface& source, COLORREF key)
{
    const DWORD keyPixel = Bgra(GetBValue(key), GetGValue(key), GetRValue(key), 0);
    const DWORD red = Bgra(0, 0, 255, 0), green = Bgra(0, 255, 0, 0);
    const DWORD rows[2][4] = {{red, keyPixel, keyPixel, green}, {green, red, keyPixel, red}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            source.At(x, y) = rows[y][x];
}

void ExpectKeyedCopy(TestSurface& destination, int originX, COLORREF backdrop, const char* how)
{
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0);
    const COLORREF rows[2][4] = {{red, backdrop, backdrop, green}, {green, red, backdrop, red}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(rows[y][x], destination.ColorAt(originX + x, y)) << how << " at " << x << "," << y;
}
}

TEST(CHLMImageManager, AllocationFailuresGiveTheFailureValue)
{
    TestResourceModule resources(L"bitmapallocation", {{RT_BITMAP, L"DEEP32", BmpResourceBytes(2, 2, 32, kFourPixels)}});
    HMODULE module = resources.module();
    ASSERT_TRUE(module);
    HBITMAP source = SectionInMemoryOrder(2, 2, {1, 0x22000002, 3, 0xFF000004});
    // Each returns whether it succeeded and releases what it made.
    auto madeBitmap = [](HBITMAP bitmap) {
        DeleteObject(bitmap);
        return bitmap != nullptr;
    };
    const struct
    {
        const char* what;
        std::function<bool()> attempt;
    } rows[] = {
        {"PremultiplyBitmap", [&] {
             BOOL alpha = -1;
             void* bits = nullptr;
             HBITMAP bitmap = CHLMImageManager::PremultiplyBitmap(source, &alpha, &bits);
             EXPECT_EQ(bitmap != nullptr, bits != nullptr) << "bits only with a section";
             return madeBitmap(bitmap);
         }},
        {"MirrorBitmap", [&] { return madeBitmap(CHLMImageManager::MirrorBitmap(source)); }},
        {"Copy32bppBitmap", [&] { return madeBitmap(CHLMImageManager::Copy32bppBitmap(source, nullptr)); }},
        {"ReadAlphaBitmapResource", [&] { return madeBitmap(CHLMImageManager::ReadAlphaBitmapResource(module, L"DEEP32")); }},
        {"ReadBitmapResource", [&] { return madeBitmap(CHLMImageManager::ReadBitmapResource(module, L"DEEP32", nullptr)); }},
        {"Read32bppBits", [&] {
             std::vector<BYTE> header, pixels;
             HDC dc = CreateCompatibleDC(nullptr);
             const BOOL read = CHLMImageManager::Read32bppBits(dc, source, header, pixels);
             DeleteDC(dc);
             EXPECT_EQ(read != FALSE, !pixels.empty());
             return read != FALSE;
         }},
    };
    for (const auto& row : rows)
        EXPECT_GT(ExpectEveryAllocationFailureHandled(row.what, row.attempt), 0) << row.what << " allocates nothing";
    DeleteObject(source);
}

TEST(CHLMImageManager, TransparentCopiesLeaveTheKeyedPixels)
{
    for (COLORREF key : {kKey, RGB(0, 0, 0)})
    {
        TestSurface source(4, 2);
        FillKeyedSource(source, key);
        TestSurface destination(10, 2, Bgra(7, 7, 7, 0));
        CHLMImageManager::GetInstance().TransparentBlt(destination.dc(), RECT{1, 0, 5, 2}, source.dc(),
                                                       RECT{0, 0, 4, 2}, key);
        ExpectKeyedCopy(destination, 1, RGB(7, 7, 7), "system");
        EXPECT_EQ(RGB(7, 7, 7), destination.ColorAt(0, 0));
        EXPECT_EQ(RGB(7, 7, 7), destination.ColorAt(5, 0));

        TestSurface masked(10, 2, Bgra(7, 7, 7, 0));
        EXPECT_TRUE(CHLMImageManager::MaskedTransparentBlt(masked.dc(), 1, 0, 4, 2, source.dc(), 0, 0, 4, 2, key));
        ExpectKeyedCopy(masked, 1, RGB(7, 7, 7), "GDI");
        EXPECT_EQ(RGB(7, 7, 7), masked.ColorAt(5, 1));
    }
}

TEST(CHLMImageManager, MaskedTransparentCopyStretches)
{
    TestSurface source(4, 2);
    FillKeyedSource(source, kKey);
    TestSurface destination(8, 4, Bgra(7, 7, 7, 0));
    EXPECT_TRUE(CHLMImageManager::MaskedTransparentBlt(destination.dc(), 0, 0, 8, 4, source.dc(), 0, 0, 4, 2, kKey));
    EXPECT_EQ(RGB(255, 0, 0), destination.ColorAt(1, 1));
    EXPECT_EQ(RGB(7, 7, 7), destination.ColorAt(2, 1));
    EXPECT_EQ(RGB(7, 7, 7), destination.ColorAt(5, 0));
    EXPECT_EQ(RGB(0, 255, 0), destination.ColorAt(7, 0));
    EXPECT_FALSE(CHLMImageManager::MaskedTransparentBlt(nullptr, 0, 0, 8, 4, source.dc(), 0, 0, 4, 2, kKey));
}

namespace
{
// The integer blend of a premultiplied source channel over a destination channel.
int Blended(int source, int sourceAlpha, int destination) { return source + destination * (255 - sourceAlpha) / 255; }

struct BlendCase
{
    DWORD source, destination;
};

const BlendCase kBlendCases[] = {
    {Bgra(100, 0, 0, 128), Bgra(200, 0, 0, 0)},        // 100 + 200 * 127 / 255 = 199
    {Bgra(0, 0, 0, 0), Bgra(90, 80, 70, 0)},           // transparent: destination stays
    {Bgra(30, 60, 90, 255), Bgra(200, 200, 200, 0)},   // opaque: source
    {Bgra(64, 32, 16, 64), Bgra(255, 255, 255, 0)},
    {Bgra(1, 2, 3, 3), Bgra(10, 250, 128, 0)},
};

// Blends each case's source pixel over its destination pixel, one column per case.
void BlendRow(bool fallback, TestSurface& destination, const RECT& sourceRect)
{
    const int count = static_cast<int>(std::size(kBlendCases));
    TestSurface source(count + 5, 1);
    for (int i = 0; i < count; ++i)
    {
        source.At(sourceRect.left + i, 0) = kBlendCases[i].source;
        destination.At(i, 0) = kBlendCases[i].destination;
    }
    if (fallback)
        EXPECT_TRUE(CHLMImageManager::AlphaBlendFallback(destination.dc(), 0, 0, count, 1, source.dc(),
                                                        sourceRect.left, 0, count, 1));
    else
        EXPECT_TRUE(CHLMImageManager::GetInstance().AlphaBlend(destination.dc(), RECT{0, 0, count, 1}, source.dc(),
                                                               sourceRect));
}

void ExpectBlendedRow(TestSurface& destination, int tolerance, const char* how)
{
    for (int i = 0; i < static_cast<int>(std::size(kBlendCases)); ++i)
    {
        const DWORD s = kBlendCases[i].source, d = kBlendCases[i].destination, r = destination.At(i, 0);
        for (int shift : {0, 8, 16})
        {
            const int expected = Blended((s >> shift) & 0xFF, s >> 24, (d >> shift) & 0xFF);
            EXPECT_NEAR(expected, static_cast<int>((r >> shift) & 0xFF), tolerance)
                << how << " case " << i << " channel shift " << shift;
        }
    }
}
}

TEST(CHLMImageManager, FallbackBlendIsTheIntegerFormula)
{
    TestSurface destination(8, 1);
    BlendRow(true, destination, RECT{0, 0, 5, 1});
    ExpectBlendedRow(destination, 0, "fallback");
    EXPECT_EQ(199u, destination.At(0, 0) & 0xFF);
}

TEST(CHLMImageManager, SystemBlendAgreesWithTheFallbackWithinOne)
{
    TestSurface destination(8, 1);
    BlendRow(false, destination, RECT{0, 0, 5, 1});
    ExpectBlendedRow(destination, 1, "msimg32");
    // Wine's AlphaBlend rounds where the fallback truncates: 200 tells that msimg32 drew.
    EXPECT_EQ(200u, destination.At(0, 0) & 0xFF);

    TestSurface shifted(8, 1);
    BlendRow(false, shifted, RECT{5, 0, 10, 1});
    EXPECT_EQ(200u, shifted.At(0, 0) & 0xFF) << "Windows 2000 and later blend any source rectangle";
}

TEST(CHLMImageManager, FallbackStretchesAndMirrors)
{
    TestSurface source(2, 1);
    source.At(0, 0) = Bgra(255, 0, 0, 255);
    source.At(1, 0) = Bgra(0, 0, 255, 255);
    TestSurface destination(4, 1, Bgra(9, 9, 9, 0));
    EXPECT_TRUE(CHLMImageManager::AlphaBlendFallback(destination.dc(), 0, 0, 4, 1, source.dc(), 0, 0, 2, 1));
    EXPECT_EQ(RGB(0, 0, 255), destination.ColorAt(0, 0));
    EXPECT_EQ(RGB(0, 0, 255), destination.ColorAt(1, 0));
    EXPECT_EQ(RGB(255, 0, 0), destination.ColorAt(2, 0));
    EXPECT_EQ(RGB(255, 0, 0), destination.ColorAt(3, 0));

    // Blending sections whose source is marked mirrored takes its columns right to left.
    void* bits = nullptr;
    HBITMAP s = CHLMImageManager::Create32bppDibSection(nullptr, 2, 1, &bits);
    static_cast<DWORD*>(bits)[0] = Bgra(255, 0, 0, 255);
    static_cast<DWORD*>(bits)[1] = Bgra(0, 255, 0, 255);
    HBITMAP d = CHLMImageManager::Create32bppDibSection(nullptr, 2, 1, nullptr);
    void* resultBits = nullptr;
    HBITMAP r = CHLMImageManager::Create32bppDibSection(nullptr, 2, 1, &resultBits);
    EXPECT_TRUE(CHLMImageManager::BlendBitmaps(s, TRUE, d, FALSE, r));
    EXPECT_EQ(Bgra(0, 255, 0, 0), static_cast<DWORD*>(resultBits)[0]);
    EXPECT_EQ(Bgra(255, 0, 0, 0), static_cast<DWORD*>(resultBits)[1]);

    HBITMAP other = CHLMImageManager::Create32bppDibSection(nullptr, 3, 1, nullptr);
    EXPECT_FALSE(CHLMImageManager::BlendBitmaps(s, FALSE, other, FALSE, r)) << "layouts differ";
    for (HBITMAP bitmap : {s, d, r, other})
        DeleteObject(bitmap);
}

TEST(CHLMImageManager, BlendOfASourceThatIsNotPremultipliedSaturates)
{
    TestSurface source(1, 1, Bgra(200, 200, 200, 10));
    TestSurface destination(1, 1, Bgra(200, 200, 200, 0));
    EXPECT_TRUE(CHLMImageManager::AlphaBlendFallback(destination.dc(), 0, 0, 1, 1, source.dc(), 0, 0, 1, 1));
    EXPECT_EQ(RGB(255, 255, 255), destination.ColorAt(0, 0));
}

TEST(CHLMImageManager, ConstantAlphaWeighsTheWholeSource)
{
    for (bool fallback : {false, true})
    {
        TestSurface source(1, 1, Bgra(255, 0, 100, 0));
        TestSurface destination(1, 1, Bgra(0, 255, 100, 0));
        if (fallback)
            EXPECT_TRUE(CHLMImageManager::AlphaBlendFallback(destination.dc(), 0, 0, 1, 1, source.dc(), 0, 0, 1, 1, 51));
        else
            EXPECT_TRUE(CHLMImageManager::GetInstance().AlphaBlendConstant(destination.dc(), RECT{0, 0, 1, 1},
                                                                           source.dc(), RECT{0, 0, 1, 1}, 51));
        const DWORD pixel = destination.At(0, 0);
        EXPECT_NEAR(51, static_cast<int>(pixel & 0xFF), 1) << fallback;
        EXPECT_NEAR(204, static_cast<int>((pixel >> 8) & 0xFF), 1) << fallback;
        EXPECT_NEAR(100, static_cast<int>((pixel >> 16) & 0xFF), 1) << fallback;
    }
}

// Run in children: with msimg32 switched off, and as Windows 98 (no msimg32 trusted for
// sources away from the origin). QB_EXPECT_SYSTEM_BLEND tells what the child must see.
TEST(ImageManagerPaths, DISABLED_BlendPath)
{
    const bool systemBlend = std::getenv("QB_EXPECT_SYSTEM_BLEND") && *std::getenv("QB_EXPECT_SYSTEM_BLEND") == '1';
    TestSurface destination(8, 1);
    BlendRow(false, destination, RECT{0, 0, 5, 1});
    EXPECT_EQ(systemBlend ? 200u : 199u, destination.At(0, 0) & 0xFF) << "origin source";
    TestSurface shifted(8, 1);
    BlendRow(false, shifted, RECT{5, 0, 10, 1});
    EXPECT_EQ(199u, shifted.At(0, 0) & 0xFF) << "shifted source";
    ExpectBlendedRow(shifted, 0, "fallback");

    TestSurface source(4, 2);
    FillKeyedSource(source, kKey);
    TestSurface keyed(10, 2, Bgra(7, 7, 7, 0));
    CHLMImageManager::GetInstance().TransparentBlt(keyed.dc(), RECT{1, 0, 5, 2}, source.dc(), RECT{0, 0, 4, 2}, kKey);
    ExpectKeyedCopy(keyed, 1, RGB(7, 7, 7), "transparent copy");
}

TEST(CHLMImageManager, FallsBackWithoutMsimg32)
{
    ChildRunOptions options;
    options.disabledDlls = L"msimg32";
    options.environmentName = L"QB_EXPECT_SYSTEM_BLEND";
    options.environmentValue = L"0";
    const ChildRunResult child = RunTestInChild(L"ImageManagerPaths.DISABLED_BlendPath", options);
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

TEST(CHLMImageManager, FallsBackForShiftedSourcesBeforeWindows2000)
{
    ChildRunOptions options;
    options.wineVersion = L"win98";
    options.environmentName = L"QB_EXPECT_SYSTEM_BLEND";
    options.environmentValue = L"1";
    const ChildRunResult child = RunTestInChild(L"ImageManagerPaths.DISABLED_BlendPath", options);
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

TEST(CHLMImageManager, FrameworkDcFormsDrawAsTheHandleForms)
{
    TestSurface source(1, 1, Bgra(100, 0, 0, 128));
    TestSurface byHandle(1, 1, Bgra(200, 0, 0, 0)), byObject(1, 1, Bgra(200, 0, 0, 0));
    CHLMImageManager& manager = CHLMImageManager::GetInstance();
    EXPECT_TRUE(manager.AlphaBlend(byHandle.dc(), RECT{0, 0, 1, 1}, source.dc(), RECT{0, 0, 1, 1}));
    EXPECT_TRUE(manager.AlphaBlend(CDC::FromHandle(byObject.dc()), RECT{0, 0, 1, 1}, CDC::FromHandle(source.dc()),
                                   RECT{0, 0, 1, 1}));
    EXPECT_EQ(byHandle.At(0, 0), byObject.At(0, 0));
    EXPECT_TRUE(manager.AlphaBlendConstant(CDC::FromHandle(byObject.dc()), RECT{0, 0, 1, 1},
                                           CDC::FromHandle(source.dc()), RECT{0, 0, 1, 1}, 255));
    EXPECT_EQ(100u, byObject.At(0, 0) & 0xFF);

    TestSurface keyed(1, 1, Bgra(255, 0, 255, 0)), target(1, 1, Bgra(5, 5, 5, 0));
    manager.TransparentBlt(CDC::FromHandle(target.dc()), RECT{0, 0, 1, 1}, CDC::FromHandle(keyed.dc()),
                           RECT{0, 0, 1, 1}, RGB(255, 0, 255));
    EXPECT_EQ(RGB(5, 5, 5), target.ColorAt(0, 0));

    HBITMAP loose = SectionInMemoryOrder(1, 1, {Bgra(1, 2, 3, 4)});
    std::vector<BYTE> header, pixels;
    EXPECT_TRUE(CHLMImageManager::Read32bppBits(CDC::FromHandle(target.dc()), loose, header, pixels));
    EXPECT_EQ((std::vector<BYTE>{1, 2, 3, 4}), pixels);
    DeleteObject(loose);
}
