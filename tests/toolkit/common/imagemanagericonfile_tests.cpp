// Icon pictures from ICO files written byte by byte here and from icon resources (the test
// program's own, and damaged ones written into a copy of it).
#include <gtest/gtest.h>

#include "common/hlmimagemanager.h"
#include "common/hlmimagemanagericon.h"
#include "failingallocation.h"
#include "iconstoretesting.h"
#include "pixels.h"
#include "testpaths.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
void Put16(std::vector<BYTE>& bytes, WORD value)
{
    bytes.push_back(LOBYTE(value));
    bytes.push_back(HIBYTE(value));
}

void Put32(std::vector<BYTE>& bytes, DWORD value)
{
    Put16(bytes, LOWORD(value));
    Put16(bytes, HIWORD(value));
}

// One icon picture: header (doubled height), colour table, colour rows, mask rows, rows
// bottom-up. `values` are top row first: palette indices up to 8 bits, COLORREFs at 24 bits,
// BGRA at 32 bits.
std::vector<BYTE> PictureBytes(int width, int height, int bits, const std::vector<COLORREF>& palette,
                               const std::vector<DWORD>& values, const std::vector<bool>& transparent = {})
{
    std::vector<BYTE> bytes;
    Put32(bytes, 40);
    Put32(bytes, width);
    Put32(bytes, 2 * height);
    Put16(bytes, 1);
    Put16(bytes, static_cast<WORD>(bits));
    for (int i = 0; i < 6; ++i)
        Put32(bytes, 0);
    for (COLORREF color : palette)
        Put32(bytes, GetBValue(color) | GetGValue(color) << 8 | GetRValue(color) << 16);
    const int colorStride = (width * bits + 31) / 32 * 4, maskStride = (width + 31) / 32 * 4;
    for (int y = height - 1; y >= 0; --y)
    {
        std::vector<BYTE> row(colorStride);
        for (int x = 0; x < width; ++x)
        {
            const DWORD value = values[y * width + x];
            if (bits <= 8)
                row[x * bits / 8] |= static_cast<BYTE>(value << (8 - bits - (x * bits) % 8));
            else if (bits == 24)
            {
                row[3 * x] = GetBValue(value);
                row[3 * x + 1] = GetGValue(value);
                row[3 * x + 2] = GetRValue(value);
            }
            else
                std::memcpy(&row[4 * x], &value, 4);
        }
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    for (int y = height - 1; y >= 0; --y)
    {
        std::vector<BYTE> row(maskStride);
        for (int x = 0; x < width; ++x)
            if (!transparent.empty() && transparent[y * width + x])
                row[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    return bytes;
}

struct IcoEntry
{
    BYTE width, height;
    WORD bits;
    std::vector<BYTE> picture;
    DWORD claimedBytes = 0;  // 0: the picture's size
    DWORD claimedOffset = 0;  // 0: where the picture is put
};

std::vector<BYTE> IcoFileBytes(const std::vector<IcoEntry>& entries, WORD type = 1)
{
    std::vector<BYTE> bytes;
    Put16(bytes, 0);
    Put16(bytes, type);
    Put16(bytes, static_cast<WORD>(entries.size()));
    DWORD offset = static_cast<DWORD>(6 + 16 * entries.size());
    for (const IcoEntry& entry : entries)
    {
        bytes.push_back(entry.width);
        bytes.push_back(entry.height);
        bytes.push_back(0);
        bytes.push_back(0);
        Put16(bytes, 1);
        Put16(bytes, entry.bits);
        Put32(bytes, entry.claimedBytes ? entry.claimedBytes : static_cast<DWORD>(entry.picture.size()));
        Put32(bytes, entry.claimedOffset ? entry.claimedOffset : offset);
        offset += static_cast<DWORD>(entry.picture.size());
    }
    for (const IcoEntry& entry : entries)
        bytes.insert(bytes.end(), entry.picture.begin(), entry.picture.end());
    return bytes;
}

// A 2 x 2 picture at 24 bits and a 4 x 4 one at 32 bits: the good entries of the files.
IcoEntry GoodEntry24()
{
    return {2, 2, 24, PictureBytes(2, 2, 24, {}, {RGB(9, 8, 7), RGB(9, 8, 7), RGB(9, 8, 7), RGB(9, 8, 7)})};
}

const std::vector<DWORD> kPixels32 = {Bgra(10, 20, 30, 255), Bgra(40, 50, 60, 128), Bgra(0, 0, 0, 0),
                                      Bgra(70, 80, 90, 255)};

IcoEntry GoodEntry32()
{
    std::vector<DWORD> pixels;
    for (int i = 0; i < 4; ++i)
        pixels.insert(pixels.end(), kPixels32.begin(), kPixels32.end());
    return {4, 4, 32, PictureBytes(4, 4, 32, {}, pixels)};
}

std::vector<DWORD> GoodPixels32()
{
    std::vector<DWORD> pixels;
    for (int i = 0; i < 4; ++i)
        pixels.insert(pixels.end(), kPixels32.begin(), kPixels32.end());
    return Premultiplied(pixels);
}
}

TEST(CHLMImageManagerIconFile, LoadsIconFilesOfEveryDepth)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    const COLORREF red = RGB(255, 0, 0), teal = RGB(0, 128, 128);
    std::vector<COLORREF> palette8(256, RGB(0, 0, 0));
    palette8[200] = teal;
    struct
    {
        int bits;
        std::vector<COLORREF> palette;
        std::vector<DWORD> values;
        std::vector<COLORREF> expected;  // top row first; CLR_NONE transparent
    } rows[] = {
        {1, {RGB(0, 0, 0), RGB(255, 255, 255)}, {1, 0, 1, 0}, {RGB(255, 255, 255), CLR_NONE, RGB(255, 255, 255), RGB(0, 0, 0)}},
        {4, std::vector<COLORREF>{RGB(0, 0, 0), red, RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0),
                                  RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0)},
         {1, 0, 1, 1},
         {red, CLR_NONE, red, red}},
        {8, palette8, {200, 0, 200, 200}, {teal, CLR_NONE, teal, teal}},
        {24, {}, {RGB(1, 2, 3), RGB(0, 0, 0), RGB(4, 5, 6), RGB(7, 8, 9)}, {RGB(1, 2, 3), CLR_NONE, RGB(4, 5, 6), RGB(7, 8, 9)}},
    };
    for (const auto& row : rows)
    {
        const std::wstring path = WriteTestFile(L"iconfiles", 
            L"depth.ico",
            IcoFileBytes({{2, 2, static_cast<WORD>(row.bits),
                           PictureBytes(2, 2, row.bits, row.palette, row.values, {false, true, false, false})}}));
        CHLMImageManager manager;
        ASSERT_TRUE(manager.SetIconFromIconFile(path.c_str(), 40, CSize(0, 0), kHLMImageStateNormal)) << row.bits;
        CHLMImageManagerIcon* icon = manager.GetImage(40, 2);
        ASSERT_TRUE(icon) << row.bits;
        EXPECT_FALSE(icon->IsAlpha()) << row.bits;
        EXPECT_EQ(row.expected, IconColors(icon->GetNormalImage())) << row.bits;
        manager.ClearAll();
    }

    const std::wstring path = WriteTestFile(L"iconfiles", L"depth32.ico", IcoFileBytes({GoodEntry32()}));
    CHLMImageManager manager;
    ASSERT_TRUE(manager.SetIconFromIconFile(path.c_str(), 41, CSize(0, 0), kHLMImageStateNormal));
    CHLMImageManagerIcon* icon = manager.GetImage(41, 4);
    ASSERT_TRUE(icon);
    EXPECT_TRUE(icon->IsAlpha());
    EXPECT_EQ(GoodPixels32(), AlphaPixels(icon->GetNormalImage()));
    manager.ClearAll();
}

TEST(CHLMImageManagerIconFile, PicksEntriesBySizeAndReadsFilesOthersHoldOpen)
{
    const std::wstring path = WriteTestFile(L"iconfiles", L"sizes.ico", IcoFileBytes({GoodEntry24(), GoodEntry32()}));
    // Held open for reading by someone else all along.
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    CHLMImageManager manager;
    EXPECT_TRUE(manager.SetIconFromIconFile(path.c_str(), 50, CSize(4, 4), kHLMImageStateNormal));
    EXPECT_TRUE(manager.HasIcon(50, 4));
    EXPECT_FALSE(manager.HasIcon(50, 2));
    EXPECT_FALSE(manager.SetIconFromIconFile(path.c_str(), 51, CSize(3, 3), kHLMImageStateNormal));
    EXPECT_FALSE(manager.HasIcon(51));
    EXPECT_TRUE(manager.SetIconFromIconFile(path.c_str(), 52, CSize(0, 0), kHLMImageStateNormal));
    EXPECT_TRUE(manager.HasIcon(52, 2) && manager.HasIcon(52, 4));

    HBITMAP alpha = CHLMImageManager::ReadAlphaIconFile(path.c_str(), 0);
    ASSERT_TRUE(alpha);
    EXPECT_EQ(CSize(4, 4), CHLMImageManagerIconImage(alpha).GetExtent());
    DeleteObject(alpha);
    EXPECT_EQ(nullptr, CHLMImageManager::ReadAlphaIconFile(path.c_str(), 2));
    CloseHandle(holder);
    manager.ClearAll();
}

// Directory entries that all name one picture: it is read and made an icon once, not once per
// entry (800 entries on a picture of 4 MB took 2 s), and no allocation failure leaves a reader.
TEST(CHLMImageManagerIconFile, EntriesSharingOnePictureReadItOnce)
{
    const IcoEntry good = GoodEntry24();
    const DWORD pictureAt = 6 + 16 * 200;
    std::vector<IcoEntry> entries(200, IcoEntry{2, 2, 24, {}, static_cast<DWORD>(good.picture.size()), pictureAt});
    entries.back().picture = good.picture;
    entries.back().claimedOffset = 0;
    const std::wstring path = WriteTestFile(L"iconfiles", L"shared.ico", IcoFileBytes(entries));

    CHLMImageManager manager;
    const int allocations = ExpectEveryAllocationFailureHandled("SetIconFromIconFile", [&] {
        manager.ClearAll();
        return manager.SetIconFromIconFile(path.c_str(), 80, CSize(0, 0), kHLMImageStateNormal);
    });
    EXPECT_LT(allocations, 50);
    EXPECT_TRUE(manager.HasIcon(80, 2));
    manager.ClearAll();
    const std::wstring alphaPath = WriteTestFile(L"iconfiles", L"alpha.ico", IcoFileBytes({GoodEntry32()}));
    ExpectEveryAllocationFailureHandled("ReadAlphaIconFile", [&] {
        HBITMAP alpha = CHLMImageManager::ReadAlphaIconFile(alphaPath.c_str(), 0);
        if (alpha)
            DeleteObject(alpha);
        return alpha != nullptr;
    });
}

// An entry larger than any icon picture is not read, whatever the file holds.
TEST(CHLMImageManagerIconFile, EntriesBeyondTheLargestIconPictureAreSkipped)
{
    IcoEntry huge = GoodEntry24();
    huge.picture.resize(17 * 1024 * 1024);
    const std::wstring path = WriteTestFile(L"iconfiles", L"huge.ico", IcoFileBytes({huge}));
    CHLMImageManager manager;
    EXPECT_FALSE(manager.SetIconFromIconFile(path.c_str(), 81, CSize(0, 0), kHLMImageStateNormal));
    manager.ClearAll();
    DeleteFileW(path.c_str());
}

// A 16-bit picture with bit fields holds its three masks after the header: a picture short by
// those 12 bytes is incomplete.
TEST(CHLMImageManagerIconFile, BitFieldPicturesCountTheirMasks)
{
    std::vector<BYTE> bytes;
    Put32(bytes, 40);
    Put32(bytes, 2);
    Put32(bytes, 4);
    Put16(bytes, 1);
    Put16(bytes, 16);
    Put32(bytes, BI_BITFIELDS);
    for (int i = 0; i < 5; ++i)
        Put32(bytes, 0);
    for (DWORD mask : {0x7C00u, 0x03E0u, 0x001Fu})
        Put32(bytes, mask);
    bytes.resize(bytes.size() + 2 * 4 + 2 * 4, 0x55);  // colour rows, then mask rows
    ASSERT_EQ(68u, bytes.size());
    CHLMImageManagerIconImage image;
    EXPECT_TRUE(image.CreateFromIconBytes(bytes.data(), static_cast<DWORD>(bytes.size()), 2, 2));
    EXPECT_FALSE(image.CreateFromIconBytes(bytes.data(), static_cast<DWORD>(bytes.size() - 12), 2, 2));
}

TEST(CHLMImageManagerIconFile, SkipsDamagedEntriesAndRefusesDamagedFiles)
{
    IcoEntry pastTheEnd = GoodEntry32();
    pastTheEnd.claimedOffset = 0x7FFFFFF0;
    IcoEntry hugeSize = GoodEntry32();
    hugeSize.claimedBytes = 0xFFFFFFF0;
    // A 32-bit header claiming 64 x 64 pixels in a 4 x 4 picture's bytes.
    IcoEntry shortPixels = GoodEntry32();
    shortPixels.picture[4] = 64;
    shortPixels.picture[8] = 128;
    IcoEntry zeroWidth = GoodEntry32();
    zeroWidth.picture[4] = 0;
    IcoEntry negativeHeight = GoodEntry32();
    negativeHeight.picture[8] = 0xF8, negativeHeight.picture[9] = negativeHeight.picture[10] =
        negativeHeight.picture[11] = 0xFF;
    // A 24-bit picture whose mask rows are missing.
    IcoEntry truncated24 = {2, 2, 24, PictureBytes(2, 2, 24, {}, {0, 0, 0, 0})};
    truncated24.picture.resize(40 + 16 + 2);
    IcoEntry headerOnly = GoodEntry24();
    headerOnly.picture.resize(20);
    struct
    {
        const char* name;
        IcoEntry entry;
    } rows[] = {{"offset past the end", pastTheEnd}, {"size past the end", hugeSize},
                {"32-bit pixels missing", shortPixels}, {"zero width", zeroWidth},
                {"negative height", negativeHeight},    {"mask rows missing", truncated24},
                {"half a header", headerOnly}};
    for (const auto& row : rows)
    {
        // Alone the entry gives nothing; before a good 2 x 2 entry it is skipped.
        const std::wstring alone = WriteTestFile(L"iconfiles", L"alone.ico", IcoFileBytes({row.entry}));
        const std::wstring mixed = WriteTestFile(L"iconfiles", L"mixed.ico", IcoFileBytes({row.entry, GoodEntry24()}));
        CHLMImageManager manager;
        EXPECT_FALSE(manager.SetIconFromIconFile(alone.c_str(), 60, CSize(0, 0), kHLMImageStateNormal)) << row.name;
        EXPECT_EQ(nullptr, CHLMImageManager::ReadAlphaIconFile(alone.c_str(), 0)) << row.name;
        EXPECT_TRUE(manager.SetIconFromIconFile(mixed.c_str(), 61, CSize(0, 0), kHLMImageStateNormal)) << row.name;
        EXPECT_TRUE(manager.HasIcon(61, 2)) << row.name;
        EXPECT_FALSE(manager.HasIcon(60)) << row.name;
        manager.ClearAll();
    }

    std::vector<BYTE> entriesMissing = IcoFileBytes({GoodEntry24()});
    entriesMissing[4] = 200;  // 200 entries claimed, one present
    std::vector<BYTE> cutHeader = {0, 0, 1, 0};
    struct
    {
        const char* name;
        std::vector<BYTE> bytes;
    } files[] = {{"cursor file", IcoFileBytes({GoodEntry24()}, 2)},
                 {"no entries", IcoFileBytes({})},
                 {"entries past the end", entriesMissing},
                 {"cut header", cutHeader}};
    for (const auto& file : files)
    {
        const std::wstring path = WriteTestFile(L"iconfiles", L"damaged.ico", file.bytes);
        CHLMImageManager manager;
        EXPECT_FALSE(manager.SetIconFromIconFile(path.c_str(), 70, CSize(0, 0), kHLMImageStateNormal)) << file.name;
        EXPECT_FALSE(manager.HasIcon(70)) << file.name;
    }
    CHLMImageManager manager;
    EXPECT_FALSE(manager.SetIconFromIconFile(L"C:\\no such folder\\none.ico", 71, CSize(0, 0), 0));
}

TEST(CHLMImageManagerIconResource, LoadsGroupIconsFromTheLastMatchingEntry)
{
    CHLMImageManagerIconImage image;
    // Group 310 holds a 4-bit and then a 32-bit picture of 4 x 4: the 32-bit one is taken.
    ASSERT_TRUE(image.CreateFromResource(MAKEINTRESOURCE(310), 4, 4, TRUE));
    EXPECT_TRUE(image.IsAlpha());
    std::vector<DWORD> expected;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            expected.push_back(Bgra(static_cast<BYTE>(16 * x + 16), static_cast<BYTE>(16 * y + 16), 0xC0,
                                    (x + y) % 2 == 0 ? 0xFF : 0x80));
    EXPECT_EQ(Premultiplied(expected), AlphaPixels(image));
    EXPECT_FALSE(image.CreateFromResource(MAKEINTRESOURCE(310), 8, 8, TRUE));
    EXPECT_TRUE(image.IsEmpty());
    // The 4-bit picture by itself.
    ASSERT_TRUE(image.CreateFromResource(MAKEINTRESOURCE(301), 4, 4, FALSE));
    EXPECT_FALSE(image.IsAlpha());
    EXPECT_EQ(std::vector<COLORREF>(16, RGB(255, 0, 0)), IconColors(image));

    // Every entry of group 311, or the one of a size.
    CHLMImageManager manager;
    EXPECT_TRUE(manager.SetIcon(311, 80, CSize(0, 0), kHLMImageStateNormal));
    EXPECT_TRUE(manager.HasIcon(80, 4) && manager.HasIcon(80, 8));
    EXPECT_TRUE(manager.SetIcon(311, 81, CSize(8, 8), kHLMImageStateNormal));
    EXPECT_FALSE(manager.HasIcon(81, 4));
    EXPECT_EQ(std::vector<COLORREF>(64, RGB(0, 0, 255)), IconColors(manager.GetImage(81, 8)->GetNormalImage()));
    // A plain picture resource, and a missing one.
    EXPECT_TRUE(manager.SetIcon(301, 82, CSize(4, 4), kHLMImageStateNormal));
    EXPECT_TRUE(manager.HasIcon(82, 4));
    EXPECT_FALSE(manager.SetIcon(399, 83, CSize(4, 4), kHLMImageStateNormal));
    CHLMImageManagerIcon icon(84, 4, 4, static_cast<CHLMImageManagerIconSet*>(nullptr));
    EXPECT_TRUE(icon.CreateFromIconResource(310, 4, 4));
    EXPECT_TRUE(icon.IsAlpha());
    manager.ClearAll();
}

TEST(CHLMImageManagerIconResource, RefusesDamagedIconResources)
{
    std::vector<BYTE> good = GoodEntry32().picture;
    std::vector<BYTE> shortPixels = good;
    shortPixels[4] = 64;
    shortPixels[8] = 128;
    std::vector<BYTE> zeroWidth = good;
    zeroWidth[4] = 0;
    // A directory that claims 1000 entries and holds one, pointing at the good picture.
    std::vector<BYTE> hugeCount;
    Put16(hugeCount, 0);
    Put16(hugeCount, 1);
    Put16(hugeCount, 1000);
    hugeCount.insert(hugeCount.end(), {4, 4, 0, 0, 1, 0, 32, 0});
    Put32(hugeCount, static_cast<DWORD>(good.size()));
    Put16(hugeCount, 401);
    TestResourceModule resources(L"damagedicons", {{RT_ICON, MAKEINTRESOURCEW(401), good},
                                                    {RT_ICON, MAKEINTRESOURCEW(402), shortPixels},
                                                    {RT_ICON, MAKEINTRESOURCEW(403), zeroWidth},
                                                    {RT_ICON, MAKEINTRESOURCEW(404), {40, 0, 0}},
                                                    {RT_GROUP_ICON, MAKEINTRESOURCEW(410), hugeCount},
                                                    {RT_GROUP_ICON, MAKEINTRESOURCEW(411), {0, 0, 1}}});
    ASSERT_TRUE(resources.module());
    CHLMImageManagerIconImage image;
    EXPECT_TRUE(image.CreateFromResource(resources.module(), MAKEINTRESOURCE(401), 4, 4, FALSE));
    EXPECT_EQ(GoodPixels32(), AlphaPixels(image));
    for (WORD id : {402, 403, 404, 499})
    {
        EXPECT_FALSE(image.CreateFromResource(resources.module(), MAKEINTRESOURCE(id), 4, 4, FALSE)) << id;
        EXPECT_TRUE(image.IsEmpty()) << id;
    }
    EXPECT_TRUE(image.CreateFromResource(resources.module(), MAKEINTRESOURCE(410), 4, 4, TRUE));
    EXPECT_FALSE(image.CreateFromResource(resources.module(), MAKEINTRESOURCE(411), 4, 4, TRUE));
}
