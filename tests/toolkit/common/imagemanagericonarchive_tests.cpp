// The archive form of icons and icon sets, the icon sets through the property exchange's
// storages and the clipboard, and damaged data of every kind.
#include <gtest/gtest.h>

#include "common/hlmimagemanager.h"
#include "common/hlmimagemanagericon.h"
#include "common/hlmpropexchange.h"
#include "iconstoretesting.h"
#include "pixels.h"
#include "testpaths.h"

#include <afxole.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
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

std::vector<BYTE> Stored(const std::function<void(CArchive&)>& store)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        store(ar);
        ar.Close();
    }
    const UINT length = static_cast<UINT>(file.GetLength());
    BYTE* bytes = file.Detach();
    std::vector<BYTE> result(bytes, bytes + length);
    free(bytes);
    return result;
}

// Loads from the bytes; TRUE when no archive exception came out.
bool Loaded(const std::vector<BYTE>& bytes, const std::function<void(CArchive&)>& load)
{
    std::vector<BYTE> copy(bytes);
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    try
    {
        load(ar);
        return true;
    }
    catch (CException* e)
    {
        e->Delete();
        return false;
    }
}

// The header block Wine's GetDIBits gives for a 2 x 1 32-bit bitmap, as the archive stores
// it: BI_BITFIELDS with its three masks.
std::vector<BYTE> Header32(LONG width, LONG height)
{
    std::vector<BYTE> bytes;
    Put32(bytes, 40);
    Put32(bytes, width);
    Put32(bytes, height);
    Put16(bytes, 1);
    Put16(bytes, 32);
    Put32(bytes, BI_BITFIELDS);
    Put32(bytes, width * height * 4);
    for (int i = 0; i < 4; ++i)
        Put32(bytes, 0);
    Put32(bytes, 0x00FF0000);
    Put32(bytes, 0x0000FF00);
    Put32(bytes, 0x000000FF);
    return bytes;
}

// The straight pixels of the icons below and their premultiplied bytes.
const std::vector<DWORD> kStraight = {Bgra(0x10, 0x20, 0x30, 0x80), Bgra(0x40, 0x50, 0x60, 0xFF)};
const std::vector<BYTE> kPremultipliedBytes = {8, 16, 24, 0x80, 0x40, 0x50, 0x60, 0xFF};

// One icon with only a normal 2 x 1 alpha image: height, schema 33, the image's colour
// blob, no mask, then two empty images, then states 3 and 4 empty.
std::vector<BYTE> GoldenIconBytes(int schema = 33)
{
    std::vector<BYTE> bytes;
    Put32(bytes, 1);
    Put32(bytes, schema);
    Put16(bytes, 52);
    const std::vector<BYTE> header = Header32(2, 1);
    bytes.insert(bytes.end(), header.begin(), header.end());
    Put16(bytes, 8);
    bytes.insert(bytes.end(), kPremultipliedBytes.begin(), kPremultipliedBytes.end());
    Put16(bytes, 0);
    for (int i = 0; i < 4 + (schema > 7 ? 2 : 0) + (schema > 16 ? 2 : 0); ++i)
        Put16(bytes, 0);
    return bytes;
}

// One set in the archive layout: the check text, one icon of width 2.
std::vector<BYTE> GoldenSetBytes()
{
    std::vector<BYTE> bytes = {0xFF, 0xFE, 0xFF, 21};
    for (const wchar_t* c = L"CHLMImageManagerIcons"; *c; ++c)
        Put16(bytes, *c);
    Put16(bytes, 1);
    Put32(bytes, 2);
    const std::vector<BYTE> icon = GoldenIconBytes();
    bytes.insert(bytes.end(), icon.begin(), icon.end());
    return bytes;
}

void AddAlphaIcon(CHLMImageManager& manager, UINT id, int state, const std::vector<DWORD>& pixels, int width)
{
    CHLMImageManagerIconImage image;
    image.SetBitmap(AlphaBitmap(width, static_cast<int>(pixels.size()) / width, pixels));
    ASSERT_TRUE(manager.SetIcon(image, id, CSize(0, 0), state));
}

// A store with two sets: id 100 with a 2 x 1 alpha icon (disabled and state-2 images too)
// and a 4 x 4 icon picture; a custom id with one alpha icon.
void FillStore(CHLMImageManager& manager)
{
    AddAlphaIcon(manager, 100, kHLMImageStateNormal, kStraight, 2);
    AddAlphaIcon(manager, 100, kHLMImageStateDisabled, {Bgra(1, 2, 3, 255), Bgra(4, 5, 6, 255)}, 2);
    AddAlphaIcon(manager, 100, kHLMImageState2, {Bgra(7, 8, 9, 255), Bgra(0, 0, 0, 0)}, 2);
    std::vector<COLORREF> colors(16, RGB(0x20, 0x40, 0x60));
    colors[0] = RGB(0, 0, 0);
    HICON icon = PlainIcon(4, 4, colors, {true});
    const CHLMImageManagerIconImage view(icon, TRUE);
    ASSERT_TRUE(manager.SetIcon(view, 100, CSize(0, 0), kHLMImageStateNormal));
    DestroyIcon(icon);
    AddAlphaIcon(manager, 0x10AAA + 5, kHLMImageStateNormal, {Bgra(9, 9, 9, 9), Bgra(200, 100, 0, 255)}, 2);
}

void ExpectSameStore(CHLMImageManager& expected, CHLMImageManager& actual)
{
    ASSERT_EQ(expected.GetIconSetCount(), actual.GetIconSetCount());
    POSITION sets = expected.GetIconSetStart();
    while (sets)
    {
        UINT id = 0;
        CHLMImageManagerIconSet* set = nullptr;
        expected.GetNextIconSet(sets, id, set);
        CHLMImageManagerIconSet* other = actual.GetIconSet(id);
        ASSERT_TRUE(other) << id;
        ASSERT_EQ(set->GetCount(), other->GetCount()) << id;
        POSITION icons = set->GetStartPosition();
        while (icons)
        {
            UINT width = 0;
            CHLMImageManagerIcon* icon = nullptr;
            set->GetNextIcon(icons, width, icon);
            CHLMImageManagerIcon* loaded = other->FindIconByWidth(width, FALSE);
            ASSERT_TRUE(loaded) << id << " " << width;
            EXPECT_EQ(icon->GetHeight(), loaded->GetHeight());
            for (int state : {kHLMImageStateNormal, kHLMImageState2, kHLMImageState3, kHLMImageState4})
            {
                EXPECT_EQ(AlphaPixels(icon->GetImage(state)), AlphaPixels(loaded->GetImage(state))) << id << " " << state;
                EXPECT_EQ(IconColors(icon->GetImage(state)), IconColors(loaded->GetImage(state))) << id << " " << state;
            }
            EXPECT_EQ(AlphaPixels(icon->GetDisabledImage(FALSE)), AlphaPixels(loaded->GetDisabledImage(FALSE)));
        }
    }
}

// A key of its own below HKEY_CURRENT_USER, deleted afterwards.
class RegistryKey
{
public:
    RegistryKey()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kPath);
        RegCreateKeyExW(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    }
    ~RegistryKey()
    {
        RegCloseKey(m_key);
        RegDeleteTreeW(HKEY_CURRENT_USER, kPath);
    }
    HKEY key() const { return m_key; }

private:
    static constexpr const wchar_t* kPath = L"Software\\Quilbrook tests\\icon store";
    HKEY m_key = nullptr;
};
}

TEST(CHLMImageManagerIconArchive, StoresOneIconInItsArchiveForm)
{
    CHLMImageManager manager;
    AddAlphaIcon(manager, 3, kHLMImageStateNormal, kStraight, 2);
    CHLMImageManagerIcon* icon = manager.GetImage(3, 2);
    ASSERT_TRUE(icon);
    EXPECT_EQ(GoldenIconBytes(), Stored([icon](CArchive& ar) { icon->Serialize(ar); }));

    // Loaded back premultiplied once: the stored bytes are the pixels.
    CHLMImageManagerIcon loaded(3, 2, 15, static_cast<CHLMImageManagerIconSet*>(nullptr));
    ASSERT_TRUE(Loaded(GoldenIconBytes(), [&loaded](CArchive& ar) { loaded.Serialize(ar); }));
    EXPECT_EQ(1, loaded.GetHeight());
    EXPECT_TRUE(loaded.IsAlpha());
    EXPECT_EQ(Premultiplied(kStraight), AlphaPixels(loaded.GetNormalImage()));
    manager.ClearAll();
}

TEST(CHLMImageManagerIconArchive, OlderSchemasCarryFewerStatesAndStraightPixels)
{
    struct
    {
        int schema;
        bool premultipliedOnLoad;
    } rows[] = {{7, true}, {17, true}, {24, true}, {25, false}, {33, false}};
    for (const auto& row : rows)
    {
        std::vector<BYTE> bytes = GoldenIconBytes(row.schema);
        // Something after the icon shows that no more than the schema's images were read.
        Put32(bytes, 0xC0FFEE);
        CHLMImageManagerIcon loaded(3, 2, 15, static_cast<CHLMImageManagerIconSet*>(nullptr));
        DWORD after = 0;
        ASSERT_TRUE(Loaded(bytes, [&](CArchive& ar) {
            loaded.Serialize(ar);
            ar >> after;
        })) << row.schema;
        EXPECT_EQ(0xC0FFEEu, after) << row.schema;
        // Bytes stored before schema 25 are straight: they are premultiplied on first use.
        const std::vector<DWORD> stored = {Bgra(8, 16, 24, 0x80), Bgra(0x40, 0x50, 0x60, 0xFF)};
        EXPECT_EQ(row.premultipliedOnLoad ? Premultiplied(stored) : stored, AlphaPixels(loaded.GetNormalImage()))
            << row.schema;
    }
}

TEST(CHLMImageManagerIconArchive, StoresIconPicturesAsColourAndMaskAndReadsThemBack)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    std::vector<COLORREF> colors(4, RGB(0x11, 0x22, 0x33));
    colors[3] = RGB(0, 0, 0);
    HICON source = PlainIcon(2, 2, colors, {false, false, false, true});
    CHLMImageManagerIcon icon(4, 2, 2, static_cast<CHLMImageManagerIconSet*>(nullptr));
    CHLMImageManagerIconImage image;
    image.SetIcon(source);
    icon.SetIcon(image);
    icon.SetState4Icon(image);
    const std::vector<BYTE> bytes = Stored([&icon](CArchive& ar) { icon.Serialize(ar); });
    // After height and schema: the colour blob, then the 1-bit mask's 52-byte header.
    WORD colorHeader = 0;
    std::memcpy(&colorHeader, &bytes[8], 2);
    const size_t colorPixelsAt = 10 + colorHeader;
    WORD colorPixels = 0;
    std::memcpy(&colorPixels, &bytes[colorPixelsAt], 2);
    WORD maskHeader = 0;
    std::memcpy(&maskHeader, &bytes[colorPixelsAt + 2 + colorPixels], 2);
    EXPECT_EQ(52, maskHeader);

    CHLMImageManagerIcon loaded(4, 2, 15, static_cast<CHLMImageManagerIconSet*>(nullptr));
    ASSERT_TRUE(Loaded(bytes, [&loaded](CArchive& ar) { loaded.Serialize(ar); }));
    EXPECT_FALSE(loaded.IsAlpha());
    EXPECT_EQ((std::vector<COLORREF>{colors[0], colors[1], colors[2], CLR_NONE}), IconColors(loaded.GetNormalImage()));
    EXPECT_EQ(IconColors(loaded.GetNormalImage()), IconColors(loaded.GetState4Image()));
    EXPECT_TRUE(loaded.GetImage(kHLMImageState3).GetIcon() == loaded.GetNormalImage().GetIcon());
}

TEST(CHLMImageManagerIconArchive, StoresOneSetAndLoadsItUnderAnyId)
{
    CHLMImageManager manager;
    AddAlphaIcon(manager, 3, kHLMImageStateNormal, kStraight, 2);
    EXPECT_EQ(GoldenSetBytes(), Stored([&manager](CArchive& ar) { manager.SerializeIconSet(3, ar); }));

    CHLMImageManager fresh;
    ASSERT_TRUE(Loaded(GoldenSetBytes(), [&fresh](CArchive& ar) { fresh.SerializeIconSet(42, ar); }));
    ASSERT_TRUE(fresh.HasIcon(42, 2));
    EXPECT_EQ(Premultiplied(kStraight), AlphaPixels(fresh.GetImage(42, 2)->GetNormalImage()));
    // A loaded id above the custom ids moves them on.
    ASSERT_TRUE(Loaded(GoldenSetBytes(), [&fresh](CArchive& ar) { fresh.SerializeIconSet(0x10AAA + 7, ar); }));
    CHLMImageManagerIconImage image;
    image.SetBitmap(AlphaBitmap(2, 1, kStraight));
    EXPECT_EQ(0x10AAAu + 8, fresh.AddCustomIcon(image));
    manager.ClearAll();
    fresh.ClearAll();
}

TEST(CHLMImageManagerIconArchive, SetsComeBackEqualThroughTheArchiveAndTheRegistry)
{
    CHLMImageManager original;
    FillStore(original);

    const std::vector<BYTE> archived = Stored([&original](CArchive& ar) { original.Serialize(ar); });
    CHLMImageManager fromArchive;
    AddAlphaIcon(fromArchive, 555, kHLMImageStateNormal, kStraight, 2);  // replaced by the load
    ASSERT_TRUE(Loaded(archived, [&fromArchive](CArchive& ar) { fromArchive.Serialize(ar); }));
    ExpectSameStore(original, fromArchive);
    EXPECT_FALSE(fromArchive.HasIcon(555));
    EXPECT_EQ(0x10AAA + 5u, fromArchive.GetLastCustomId());

    RegistryKey key;
    {
        CHLMPropExchangeRegistry px(FALSE, key.key(), L"Icons");
        original.ExchangeIcons(&px);
    }
    CHLMImageManager fromRegistry;
    {
        CHLMPropExchangeRegistry px(TRUE, key.key(), L"Icons");
        fromRegistry.ExchangeIcons(&px);
    }
    ExpectSameStore(original, fromRegistry);
    // A section without "Width" loads a 16-pixel icon.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyValueW(key.key(), L"Icons\\IconSet0\\Icon0", L"Width"));
    CHLMImageManager noWidth;
    {
        CHLMPropExchangeRegistry px(TRUE, key.key(), L"Icons");
        noWidth.ExchangeIcons(&px);
    }
    POSITION first = original.GetIconSetStart();
    UINT firstId = 0;
    CHLMImageManagerIconSet* firstSet = nullptr;
    original.GetNextIconSet(first, firstId, firstSet);
    ASSERT_TRUE(noWidth.GetIconSet(firstId));
    EXPECT_TRUE(noWidth.GetIconSet(firstId)->LookupIcon(16));
    original.ClearAll();
    fromArchive.ClearAll();
    fromRegistry.ClearAll();
    noWidth.ClearAll();
}

TEST(CHLMImageManagerIconArchive, SetsComeBackEqualThroughXmlAndIniFiles)
{
    CoInitialize(nullptr);
    const std::wstring folder = MakeTestFolder(L"iconexchange");
    CHLMImageManager original;
    FillStore(original);

    const std::wstring xmlPath = folder + L"\\icons.xml";
    {
        CHLMPropExchangeXMLNode px(FALSE, nullptr, L"Icons");
        original.ExchangeIcons(&px);
        ASSERT_EQ(S_OK, px.SaveToFile(xmlPath.c_str(), TRUE));
    }
    CHLMImageManager fromXml;
    {
        CHLMPropExchangeXMLNode px(TRUE, nullptr, L"Icons");
        ASSERT_TRUE(px.LoadFromFile(xmlPath.c_str()));
        fromXml.ExchangeIcons(&px);
    }
    ExpectSameStore(original, fromXml);

    const std::wstring iniPath = folder + L"\\icons.ini";
    {
        CHLMPropExchangeIniFile px(FALSE, nullptr, L"Icons");
        original.ExchangeIcons(&px);
        ASSERT_TRUE(px.SaveToFile(iniPath.c_str()));
    }
    CHLMImageManager fromIni;
    {
        CHLMPropExchangeIniFile px(TRUE, nullptr, L"Icons");
        ASSERT_TRUE(px.LoadFromFile(iniPath.c_str()));
        fromIni.ExchangeIcons(&px);
    }
    ExpectSameStore(original, fromIni);
    original.ClearAll();
    fromXml.ClearAll();
    fromIni.ClearAll();
    CoUninitialize();
}

TEST(CHLMImageManagerIconArchive, DamagedDataLeavesTheStoreAsItWas)
{
    const std::vector<BYTE> golden = GoldenSetBytes();
    const size_t iconAt = golden.size() - GoldenIconBytes().size();
    const size_t headerAt = iconAt + 8;  // the colour blob's count
    std::vector<std::pair<const char*, std::vector<BYTE>>> damaged;
    for (size_t length = 0; length < golden.size(); ++length)
        damaged.emplace_back("truncated", std::vector<BYTE>(golden.begin(), golden.begin() + length));
    auto patched = [&golden](size_t at, std::vector<BYTE> bytes) {
        std::vector<BYTE> copy(golden);
        std::copy(bytes.begin(), bytes.end(), copy.begin() + at);
        return copy;
    };
    damaged.emplace_back("check text", patched(4 + 2 * 20, {'t', 0}));
    damaged.emplace_back("header size 30", patched(headerAt, {30, 0}));
    damaged.emplace_back("header size 2000", patched(headerAt, {0xD0, 0x07}));
    damaged.emplace_back("biSize 41", patched(headerAt + 2, {41}));
    damaged.emplace_back("7 bits", patched(headerAt + 2 + 14, {7}));
    damaged.emplace_back("two planes", patched(headerAt + 2 + 12, {2}));
    damaged.emplace_back("width 5000", patched(headerAt + 2 + 4, {0x88, 0x13}));
    damaged.emplace_back("height 0", patched(headerAt + 2 + 8, {0}));
    damaged.emplace_back("icon count 0xFFFE", patched(iconAt - 6, {0xFE, 0xFF}));
    damaged.emplace_back("pixel count huge", patched(headerAt + 2 + 52, {0xF0, 0xFF}));
    // A count of sets in its long form: 0xFFFF then a DWORD.
    std::vector<BYTE> manySets = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    Put32(manySets, 7);
    manySets.insert(manySets.end(), golden.begin(), golden.end());
    damaged.emplace_back("two billion sets", manySets);

    for (const auto& data : damaged)
    {
        CHLMImageManager manager;
        AddAlphaIcon(manager, 9, kHLMImageStateNormal, {Bgra(1, 1, 1, 255), Bgra(2, 2, 2, 255)}, 2);
        const bool all = data.second.size() > 3 && data.second[0] == 0xFF && data.second[2] == 0xFF &&
                         data.second[3] == 0xFF;
        EXPECT_FALSE(Loaded(data.second, [&](CArchive& ar) {
            if (all)
                manager.Serialize(ar);
            else
                manager.SerializeIconSet(9, ar);
        })) << data.first << " " << data.second.size();
        ASSERT_EQ(1, manager.GetIconSetCount()) << data.first << " " << data.second.size();
        ASSERT_TRUE(manager.GetImage(9, 2)) << data.first << " " << data.second.size();
        EXPECT_EQ((std::vector<DWORD>{Bgra(1, 1, 1, 255), Bgra(2, 2, 2, 255)}),
                  AlphaPixels(manager.GetImage(9, 2)->GetNormalImage()))
            << data.first << " " << data.second.size();
        manager.ClearAll();
    }
}

TEST(CHLMImageManagerIconArchive, CopiesASetToTheClipboardAndPastesItUnderANewCustomId)
{
    ASSERT_TRUE(AfxOleInit());
    HWND owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    CHLMImageManager source;
    AddAlphaIcon(source, 3, kHLMImageStateNormal, kStraight, 2);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    EXPECT_FALSE(source.CopyIconSetToClipboard(4));
    EXPECT_FALSE(IsClipboardFormatAvailable(ToolBarImageClipboardFormat));
    EXPECT_TRUE(source.CopyIconSetToClipboard(3));
    HANDLE data = GetClipboardData(ToolBarImageClipboardFormat);
    ASSERT_TRUE(data);
    const std::vector<BYTE> golden = GoldenSetBytes();
    ASSERT_LE(golden.size(), GlobalSize(data));
    EXPECT_EQ(0, std::memcmp(GlobalLock(data), golden.data(), golden.size()));
    GlobalUnlock(data);
    CloseClipboard();

    CHLMImageManager target;
    CHLMImageManagerIconImage image;
    image.SetBitmap(AlphaBitmap(2, 1, kStraight));
    EXPECT_EQ(0x10AAAu + 1, target.AddCustomIcon(image));
    EXPECT_EQ(0x10AAAu + 2, target.AddCustomIcon(image));
    {
        COleDataObject clipboard;
        ASSERT_TRUE(clipboard.AttachClipboard());
        EXPECT_EQ(0x10AAAu + 3, target.PasteIconSet(&clipboard));
    }
    ASSERT_TRUE(target.HasIcon(0x10AAA + 3, 2));
    EXPECT_EQ(Premultiplied(kStraight), AlphaPixels(target.GetImage(0x10AAA + 3, 2)->GetNormalImage()));

    // A block of garbage under the format: no set, and the id it took stays taken.
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL garbage = GlobalAlloc(GMEM_MOVEABLE, 64);
    std::memset(GlobalLock(garbage), 0xA5, 64);
    GlobalUnlock(garbage);
    ASSERT_TRUE(SetClipboardData(ToolBarImageClipboardFormat, garbage));
    CloseClipboard();
    {
        COleDataObject clipboard;
        ASSERT_TRUE(clipboard.AttachClipboard());
        EXPECT_EQ(0u, target.PasteIconSet(&clipboard));
    }
    EXPECT_EQ(3, target.GetIconSetCount());
    EXPECT_FALSE(target.HasIcon(0x10AAA + 4));
    EXPECT_EQ(0x10AAAu + 5, target.AddCustomIcon(image));
    // Nothing of the format on the clipboard.
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    CloseClipboard();
    {
        COleDataObject clipboard;
        ASSERT_TRUE(clipboard.AttachClipboard());
        EXPECT_EQ(0u, target.PasteIconSet(&clipboard));
    }
    EXPECT_EQ(0u, target.PasteIconSet(nullptr));
    DestroyWindow(owner);
    OleUninitialize();
    source.ClearAll();
    target.ClearAll();
}
