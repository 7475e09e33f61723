// Decoding PNG files and resources into 32-bit sections: every colour type, bit depth,
// transparency, background, gamma and interlacing, and corrupt or hostile files failing
// cleanly. The fixtures in data/ were made with ImageMagick from the pixels below.
#include <gtest/gtest.h>

#include "pixels.h"
#include "common/hlmimagemanager.h"
#include "graphiclibrary/hlmgraphicbitmappng.h"
#include "failingallocation.h"
#include "testpaths.h"

#include <zlib.h>

#include <cmath>
#include <cstring>

namespace
{
struct Rgba
{
    BYTE r, g, b, a;
};

// The fixtures' 4 by 2 picture, top row first.
const Rgba kPicture[8] = {{255, 0, 0, 255},     {0, 255, 0, 128},   {0, 0, 255, 0},    {10, 20, 30, 200},
                          {255, 255, 255, 255}, {0, 0, 0, 255},     {128, 64, 32, 64}, {200, 100, 50, 255}};
const BYTE kGray1[8] = {0, 255, 255, 0, 255, 0, 0, 255};
const BYTE kGray8[8] = {0, 50, 100, 150, 200, 250, 30, 60};
const BYTE kGrayAlpha[8][2] = {{0, 255}, {64, 128}, {128, 0}, {255, 200}, {30, 255}, {60, 255}, {90, 64}, {200, 255}};

std::wstring Fixture(const wchar_t* name)
{
    return TestSourcePath((std::wstring(L"tests/toolkit/graphiclibrary/data/") + name).c_str());
}

// The section's pixels in memory order.
std::vector<DWORD> SectionPixels(CBitmap& bitmap)
{
    DIBSECTION info = {};
    if (bitmap.GetObject(sizeof(info), &info) != sizeof(info))
        return {};
    EXPECT_EQ(32, info.dsBm.bmBitsPixel);
    const auto* bits = static_cast<const DWORD*>(info.dsBm.bmBits);
    return std::vector<DWORD>(bits, bits + info.dsBm.bmWidth * info.dsBm.bmHeight);
}

DWORD Pixel(BYTE r, BYTE g, BYTE b, BYTE a) { return Bgra(b, g, r, a); }

std::vector<DWORD> Expected(bool withAlpha)
{
    std::vector<DWORD> pixels;
    for (const Rgba& p : kPicture)
        pixels.push_back(Pixel(p.r, p.g, p.b, withAlpha ? p.a : 0));
    return pixels;
}

std::vector<DWORD> ExpectedGray(const BYTE* values)
{
    std::vector<DWORD> pixels;
    for (int i = 0; i < 8; ++i)
        pixels.push_back(Pixel(values[i], values[i], values[i], 0));
    return pixels;
}
}

TEST(CHLMGraphicBitmapPng, DecodesEveryColourTypeAndDepth)
{
    struct
    {
        const wchar_t* file;
        BOOL alpha;
        std::vector<DWORD> pixels;
    } rows[] = {
        {L"rgba8.png", TRUE, Expected(true)},       // colours not premultiplied
        {L"rgb8.png", FALSE, Expected(false)},      // alpha bytes 0
        {L"palette.png", FALSE, Expected(false)},   // three channels without tRNS
        {L"rgb16.png", FALSE, Expected(false)},     // 16 bits come out as 8
        {L"rgba16.png", TRUE, Expected(true)},
        {L"interlaced.png", FALSE, Expected(false)},
        {L"gray1.png", FALSE, ExpectedGray(kGray1)},  // gray of depth 1 comes out as RGB
        {L"gray8.png", FALSE, ExpectedGray(kGray8)},
    };
    for (const auto& row : rows)
    {
        CHLMGraphicBitmapPng png;
        ASSERT_TRUE(png.LoadFile(Fixture(row.file).c_str())) << row.file;
        EXPECT_EQ(row.alpha, png.IsAlpha()) << row.file;
        EXPECT_EQ(row.pixels, SectionPixels(png)) << row.file;
    }
}

TEST(CHLMGraphicBitmapPng, FirstRowInMemoryIsThePicturesTopRow)
{
    CHLMGraphicBitmapPng png;
    ASSERT_TRUE(png.LoadFile(Fixture(L"rgba8.png").c_str()));
    EXPECT_EQ(PixelsOf(static_cast<HBITMAP>(png.GetSafeHandle())), SectionPixels(png));
    EXPECT_EQ(Pixel(255, 0, 0, 255), SectionPixels(png)[0]);
}

TEST(CHLMGraphicBitmapPng, GrayWithAlphaKeepsItsAlpha)
{
    CHLMGraphicBitmapPng png;
    ASSERT_TRUE(png.LoadFile(Fixture(L"graya8.png").c_str()));
    EXPECT_TRUE(png.IsAlpha());
    const std::vector<DWORD> pixels = SectionPixels(png);
    ASSERT_EQ(8u, pixels.size());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Pixel(kGrayAlpha[i][0], kGrayAlpha[i][0], kGrayAlpha[i][0], kGrayAlpha[i][1]), pixels[i]) << i;
}

TEST(CHLMGraphicBitmapPng, PaletteTransparencyBecomesAnAlphaChannel)
{
    CHLMGraphicBitmapPng png;
    ASSERT_TRUE(png.LoadFile(Fixture(L"palette_trns.png").c_str()));
    EXPECT_TRUE(png.IsAlpha());
    const std::vector<DWORD> pixels = SectionPixels(png);
    ASSERT_EQ(8u, pixels.size());
    // ImageMagick made the alpha binary (below 128 transparent) with one transparent
    // palette entry.
    for (int i = 0; i < 8; ++i)
    {
        const BYTE alpha = kPicture[i].a < 128 ? 0 : 255;
        EXPECT_EQ(alpha, pixels[i] >> 24) << i;
        if (alpha)
        {
            EXPECT_EQ(Pixel(kPicture[i].r, kPicture[i].g, kPicture[i].b, 0), pixels[i] & 0xFFFFFF) << i;
        }
    }
}

TEST(CHLMGraphicBitmapPng, BackgroundChunkCompositesTheAlphaAway)
{
    CHLMGraphicBitmapPng png;
    ASSERT_TRUE(png.LoadFile(Fixture(L"rgba_bkgd.png").c_str()));
    EXPECT_FALSE(png.IsAlpha());
    const std::vector<DWORD> pixels = SectionPixels(png);
    ASSERT_EQ(8u, pixels.size());
    const Rgba background = {0, 0, 255, 255};
    for (int i = 0; i < 8; ++i)
    {
        const Rgba& p = kPicture[i];
        auto over = [&](int value, int backdrop) { return (value * p.a + backdrop * (255 - p.a)) / 255.0; };
        const DWORD got = pixels[i];
        EXPECT_EQ(0u, got >> 24) << i;
        EXPECT_NEAR(over(p.r, background.r), (got >> 16) & 0xFF, 1.0) << i;
        EXPECT_NEAR(over(p.g, background.g), (got >> 8) & 0xFF, 1.0) << i;
        EXPECT_NEAR(over(p.b, background.b), got & 0xFF, 1.0) << i;
    }
}

TEST(CHLMGraphicBitmapPng, FileGammaIsCorrectedForAScreenOf22)
{
    CHLMGraphicBitmapPng png;
    ASSERT_TRUE(png.LoadFile(Fixture(L"gamma10.png").c_str()));
    const std::vector<DWORD> pixels = SectionPixels(png);
    ASSERT_EQ(8u, pixels.size());
    for (int i = 0; i < 8; ++i)
    {
        for (int shift : {16, 8, 0})
        {
            const int value = shift == 16 ? kPicture[i].r : shift == 8 ? kPicture[i].g : kPicture[i].b;
            const double corrected = 255.0 * std::pow(value / 255.0, 1.0 / 2.2);
            EXPECT_NEAR(corrected, (pixels[i] >> shift) & 0xFF, 1.0) << i << " " << shift;
        }
    }
    EXPECT_EQ(Pixel(255, 255, 255, 0), pixels[4]);
    EXPECT_EQ(Pixel(0, 0, 0, 0), pixels[5]);
}

// ---------------------------------------------------------------------------------------
// Corrupt and hostile data

namespace
{
void AppendBigEndian(std::vector<BYTE>& bytes, DWORD value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<BYTE>(value >> shift));
}

void AppendChunk(std::vector<BYTE>& png, const char* type, const std::vector<BYTE>& data)
{
    AppendBigEndian(png, static_cast<DWORD>(data.size()));
    std::vector<BYTE> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    png.insert(png.end(), typed.begin(), typed.end());
    AppendBigEndian(png, crc32(0, typed.data(), static_cast<uInt>(typed.size())));
}

// A well-formed PNG of the given header whose image data holds `rows` (filter bytes
// included), with valid checksums.
std::vector<BYTE> CraftedPng(DWORD width, DWORD height, BYTE bitDepth, BYTE colorType, const std::vector<BYTE>& rows)
{
    std::vector<BYTE> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<BYTE> header;
    AppendBigEndian(header, width);
    AppendBigEndian(header, height);
    header.insert(header.end(), {bitDepth, colorType, 0, 0, 0});
    AppendChunk(png, "IHDR", header);
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::vector<BYTE> packed(packedSize);
    compress(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()));
    packed.resize(packedSize);
    AppendChunk(png, "IDAT", packed);
    AppendChunk(png, "IEND", {});
    return png;
}

// Two rows of two RGBA pixels, filter "none".
std::vector<BYTE> TwoByTwoRows()
{
    return {0, 1, 2, 3, 255, 4, 5, 6, 255, 0, 7, 8, 9, 255, 10, 11, 12, 255};
}

BOOL LoadsFromMemory(std::vector<BYTE> bytes, CHLMGraphicBitmapPng& png)
{
    CMemFile stream(bytes.data(), static_cast<UINT>(bytes.size()), 0);
    return png.LoadStream(&stream);
}
}

TEST(CHLMGraphicBitmapPng, CraftedPngDecodes)
{
    CHLMGraphicBitmapPng png;
    ASSERT_TRUE(LoadsFromMemory(CraftedPng(2, 2, 8, 6, TwoByTwoRows()), png));
    EXPECT_EQ((std::vector<DWORD>{Pixel(1, 2, 3, 255), Pixel(4, 5, 6, 255), Pixel(7, 8, 9, 255), Pixel(10, 11, 12, 255)}),
              SectionPixels(png));
}

TEST(CHLMGraphicBitmapPng, CorruptAndHostileDataFailCleanly)
{
    const std::vector<BYTE> good = CraftedPng(2, 2, 8, 6, TwoByTwoRows());
    const size_t idatData = 8 + 25 + 8;  // signature, IHDR chunk, IDAT length and type

    std::vector<BYTE> badChecksum = good;
    badChecksum[idatData + 2] ^= 0x40;
    std::vector<BYTE> badDeflate = CraftedPng(2, 2, 8, 6, TwoByTwoRows());
    {
        // Valid checksum over data that is not a zlib stream.
        std::vector<BYTE> png(good.begin(), good.begin() + 33);
        AppendChunk(png, "IDAT", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
        AppendChunk(png, "IEND", {});
        badDeflate = png;
    }
    std::vector<BYTE> notPng = good;
    notPng[1] = 'Q';
    struct
    {
        const char* what;
        std::vector<BYTE> bytes;
    } rows[] = {
        {"truncated in the header", std::vector<BYTE>(good.begin(), good.begin() + 20)},
        {"truncated in the image data", std::vector<BYTE>(good.begin(), good.begin() + idatData + 4)},
        {"no image data at all", std::vector<BYTE>(good.begin(), good.begin() + 33)},
        {"image data checksum wrong", badChecksum},
        {"image data not deflated", badDeflate},
        {"not a PNG signature", notPng},
        {"signature only", std::vector<BYTE>(good.begin(), good.begin() + 8)},
        {"empty", {}},
        {"wider than allowed", CraftedPng(8193, 1, 8, 6, std::vector<BYTE>(1 + 8193 * 4))},
        {"taller than allowed", CraftedPng(1, 8193, 8, 2, std::vector<BYTE>(8193 * 4))},
        {"huge header, little data", CraftedPng(8192, 8192, 8, 6, TwoByTwoRows())},
        {"section above 64 MiB", CraftedPng(4097, 4096, 8, 0, TwoByTwoRows())},
        {"width beyond 31 bits", CraftedPng(0x80000000u, 1, 8, 6, TwoByTwoRows())},
        {"zero width", CraftedPng(0, 2, 8, 6, TwoByTwoRows())},
        {"bad bit depth", CraftedPng(2, 2, 7, 6, TwoByTwoRows())},
        {"bad colour type", CraftedPng(2, 2, 8, 5, TwoByTwoRows())},
    };
    for (const auto& row : rows)
    {
        CHLMGraphicBitmapPng png;
        ASSERT_TRUE(LoadsFromMemory(CraftedPng(2, 2, 8, 6, TwoByTwoRows()), png));
        EXPECT_FALSE(LoadsFromMemory(row.bytes, png)) << row.what;
        EXPECT_EQ(nullptr, png.GetSafeHandle()) << row.what << ": a failed load leaves the object empty";
        EXPECT_FALSE(png.IsAlpha()) << row.what;
    }
}

TEST(CHLMGraphicBitmapPng, DecoderStagesRefuseBadInput)
{
    std::vector<BYTE> pixels = {1, 2, 3};
    UINT width = 0, height = 0;
    int channels = 0;
    COLORREF background = RGB(127, 127, 127);
    EXPECT_FALSE(CHLMGraphicBitmapPng::DecodePng(nullptr, pixels, width, height, channels, background));
    EXPECT_TRUE(pixels.empty());
    CHLMGraphicBitmapPng png;
    EXPECT_FALSE(png.LoadStream(nullptr));
    EXPECT_FALSE(png.LoadFile(Fixture(L"missing.png").c_str()));

    const BYTE rgb[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(nullptr, CHLMGraphicBitmapPng::CreateDibFromRows(rgb, 2, 1, 2));
    EXPECT_EQ(nullptr, CHLMGraphicBitmapPng::CreateDibFromRows(nullptr, 2, 1, 3));
    HBITMAP section = CHLMGraphicBitmapPng::CreateDibFromRows(rgb, 2, 1, 3);
    ASSERT_TRUE(section);
    CBitmap wrapped;
    wrapped.Attach(section);
    EXPECT_EQ((std::vector<DWORD>{Pixel(1, 2, 3, 0), Pixel(4, 5, 6, 0)}), SectionPixels(wrapped));
}

TEST(CHLMGraphicBitmapPng, ReportsTheFileBackgroundColour)
{
    const std::vector<BYTE> bytes = ReadFileBytes(Fixture(L"rgba_bkgd.png"));
    CMemFile stream(const_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()), 0);
    std::vector<BYTE> pixels;
    UINT width = 0, height = 0;
    int channels = 0;
    COLORREF background = RGB(127, 127, 127);
    ASSERT_TRUE(CHLMGraphicBitmapPng::DecodePng(&stream, pixels, width, height, channels, background));
    EXPECT_EQ(RGB(0, 0, 255), background);
    EXPECT_EQ(3, channels);
    EXPECT_EQ(4u, width);
    EXPECT_EQ(2u, height);
    EXPECT_EQ(24u, pixels.size());
}

TEST(CHLMGraphicBitmapPng, LoadsPngResources)
{
    const std::vector<BYTE> rgba = ReadFileBytes(Fixture(L"rgba8.png"));
    TestResourceModule resources(L"pngresources", {{L"PNG", L"RGBA", rgba},
                                                   {L"PNG", L"NINE", std::vector<BYTE>(rgba.begin(), rgba.begin() + 9)},
                                                   {L"PNG", L"TEN", std::vector<BYTE>(rgba.begin(), rgba.begin() + 10)}});
    HMODULE module = resources.module();
    ASSERT_TRUE(module);
    CHLMGraphicBitmapPng png;
    ASSERT_TRUE(png.LoadResource(module, FindResourceW(module, L"RGBA", L"PNG")));
    EXPECT_TRUE(png.IsAlpha());
    EXPECT_EQ(Expected(true), SectionPixels(png));
    EXPECT_FALSE(png.LoadResource(module, FindResourceW(module, L"NINE", L"PNG")));
    EXPECT_FALSE(png.LoadResource(module, FindResourceW(module, L"TEN", L"PNG")));
    EXPECT_FALSE(png.LoadResource(module, nullptr));
    EXPECT_EQ(nullptr, png.GetSafeHandle());

    // Through the image manager: decided by the resource's first bytes.
    EXPECT_TRUE(CHLMImageManager::IsPngResource(module, L"RGBA"));
    EXPECT_TRUE(CHLMImageManager::IsPngResource(module, L"TEN"));
    BOOL alpha = FALSE;
    HBITMAP bitmap = CHLMImageManager::ReadBitmapResource(module, L"RGBA", &alpha);
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(alpha);
    EXPECT_EQ(Expected(true), PixelsOf(bitmap));
    DeleteObject(bitmap);
    EXPECT_EQ(nullptr, CHLMImageManager::ReadBitmapResource(module, L"TEN", &alpha));
}

TEST(CHLMGraphicBitmapPng, ImageManagerLoadsPngFilesByTheirContent)
{
    const std::wstring disguised = MakeTestFolder(L"pngfiles") + L"\\picture.bmp";
    WriteFileBytes(disguised, ReadFileBytes(Fixture(L"rgba8.png")));
    EXPECT_TRUE(CHLMImageManager::IsPngFile(disguised.c_str()));
    BOOL alpha = FALSE;
    HBITMAP bitmap = CHLMImageManager::ReadBitmapFile(disguised.c_str(), &alpha);
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(alpha);
    EXPECT_EQ(Expected(true), PixelsOf(bitmap));
    DeleteObject(bitmap);

    alpha = TRUE;
    bitmap = CHLMImageManager::ReadBitmapFile(Fixture(L"rgb8.png").c_str(), &alpha);
    ASSERT_TRUE(bitmap);
    EXPECT_FALSE(alpha);
    DeleteObject(bitmap);

    const std::wstring corrupt = MakeTestFolder(L"pngcorrupt") + L"\\broken.png";
    std::vector<BYTE> bytes = ReadFileBytes(Fixture(L"rgb8.png"));
    bytes.resize(bytes.size() / 2);
    WriteFileBytes(corrupt, bytes);
    EXPECT_EQ(nullptr, CHLMImageManager::ReadBitmapFile(corrupt.c_str(), &alpha));
}

TEST(CHLMGraphicBitmapPng, SizeLimitsAreCheckedBeforeThePixelsAreAllocated)
{
    struct
    {
        const char* what;
        DWORD width, height;
        bool accepted;
    } rows[] = {
        {"8192 wide", 8192, 1, true},
        {"8192 tall", 1, 8192, true},
        {"64 MiB section", 4096, 4096, true},
        {"8193 wide", 8193, 1, false},
        {"8193 tall", 1, 8193, false},
        {"8192 by 8192", 8192, 8192, false},
        {"one row above 64 MiB", 4096, 4097, false},
    };
    for (const auto& row : rows)
    {
        // Gray rows of zeros (a filter byte and a byte per pixel); refused sizes get one row
        // of data only, as a crafted file would.
        const std::vector<BYTE> rowsData((1 + row.width) * (row.accepted ? row.height : 1));
        CHLMGraphicBitmapPng png;
        AllocationWatch watch;
        EXPECT_EQ(row.accepted, LoadsFromMemory(CraftedPng(row.width, row.height, 8, 0, rowsData), png) != FALSE)
            << row.what;
        if (!row.accepted)
        {
            EXPECT_LT(watch.Largest(), 1024u * 1024u) << row.what << ": refused before its rows were allocated";
        }
    }
}

TEST(CHLMGraphicBitmapPng, AllocationFailuresMakeTheLoadFail)
{
    const std::vector<BYTE> bytes = ReadFileBytes(Fixture(L"rgba_bkgd.png"));
    const std::wstring path = Fixture(L"rgba8.png");
    ExpectEveryAllocationFailureHandled("LoadStream", [&] {
        CHLMGraphicBitmapPng png;
        CMemFile stream(const_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()), 0);
        const BOOL loaded = png.LoadStream(&stream);
        EXPECT_EQ(loaded != FALSE, png.GetSafeHandle() != nullptr);
        return loaded;
    });
    ExpectEveryAllocationFailureHandled("LoadFile", [&] { return CHLMGraphicBitmapPng().LoadFile(path.c_str()); });
    ExpectEveryAllocationFailureHandled("ReadBitmapFile", [&] {
        HBITMAP bitmap = CHLMImageManager::ReadBitmapFile(path.c_str(), nullptr);
        DeleteObject(bitmap);
        return bitmap != nullptr;
    });
}

TEST(CHLMGraphicBitmapPng, AReadErrorOfTheStreamIsAFailedLoad)
{
    // A file opened for writing only: its first read, the signature's, fails and the
    // framework file throws.
    const std::wstring path = MakeTestFolder(L"pngreaderror") + L"\\writeonly.png";
    WriteFileBytes(path, ReadFileBytes(Fixture(L"rgba8.png")));
    CFile stream(path.c_str(), CFile::modeWrite);
    CHLMGraphicBitmapPng png;
    BOOL loaded = TRUE;
    EXPECT_NO_THROW(loaded = png.LoadStream(&stream));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(nullptr, png.GetSafeHandle());
}
