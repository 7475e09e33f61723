// Shared image strips (growth, reuse and freeing of columns, pictures kept across growth)
// and the image-list wrapper.
#include <gtest/gtest.h>

#include "common/hlmimagemanager.h"
#include "common/hlmimagemanagericon.h"
#include "common/hlmimagemanagerresource.h"
#include "iconstoretesting.h"
#include "pixels.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace
{
// 4 x 2 opaque pictures told apart by their blue channel.
std::vector<DWORD> PicturePixels(BYTE blue)
{
    return std::vector<DWORD>(8, Bgra(blue, 0x40, 0x80, 255));
}

// An image of the manager (so its copies go into the manager's strips).
std::unique_ptr<CHLMImageManagerIconImage> StripImage(CHLMImageManager& manager, BYTE blue)
{
    CHLMImageManagerIconImage picture;
    picture.SetBitmap(AlphaBitmap(4, 2, PicturePixels(blue)));
    auto image = std::make_unique<CHLMImageManagerIconImage>();
    image->SetImageManager(&manager);
    *image = picture;
    return image;
}

LONG ColumnOf(const CHLMImageManagerIconImage& image)
{
    return image.GetSlot() ? image.GetSlot()->rc.left : -1;
}
}

TEST(CHLMImageManagerResource, GrowsOneColumnAtATimeKeepingEarlierPicturesAndMasks)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    CHLMImageManager manager;
    CHLMImageManagerResource* strip = manager.GetImageResource(4, 2);
    EXPECT_EQ(strip, manager.GetImageResource(4, 2));
    EXPECT_EQ(nullptr, strip->GetColorStrip());

    auto first = StripImage(manager, 0x11);
    ASSERT_TRUE(first->GetSlot());
    EXPECT_EQ(strip, first->GetSlot()->pResource);
    EXPECT_TRUE(first->GetSlot()->bAlpha);
    EXPECT_EQ(4, strip->GetTotalWidth());

    // An icon picture with a transparent pixel: colour and mask go into the second column.
    HICON icon = PlainIcon(4, 2, std::vector<COLORREF>(8, RGB(0x30, 0x20, 0x10)),
                           {true, false, false, false, false, false, false, false});
    CHLMImageManagerIconImage iconImage;
    iconImage.SetImageManager(&manager);
    iconImage = CHLMImageManagerIconImage(icon, TRUE);
    DestroyIcon(icon);
    ASSERT_TRUE(iconImage.GetSlot());
    EXPECT_FALSE(iconImage.GetSlot()->bAlpha);
    EXPECT_EQ(4, ColumnOf(iconImage));
    EXPECT_EQ(8, strip->GetTotalWidth());

    auto third = StripImage(manager, 0x33);
    EXPECT_EQ(8, ColumnOf(*third));
    EXPECT_EQ(12, strip->GetTotalWidth());
    // What went in comes out, across two growths.
    EXPECT_EQ(PicturePixels(0x11), AlphaPixels(*first));
    EXPECT_EQ(PicturePixels(0x33), AlphaPixels(*third));
    std::vector<COLORREF> expected(8, RGB(0x30, 0x20, 0x10));
    expected[0] = CLR_NONE;
    EXPECT_EQ(expected, IconColors(iconImage));

    // A picture of another size does not fit.
    CHLMImageManagerIconImage other;
    other.SetBitmap(AlphaBitmap(5, 2, std::vector<DWORD>(10, Bgra(1, 1, 1, 255))));
    EXPECT_EQ(nullptr, strip->AddImage(other));
}

TEST(CHLMImageManagerResource, ReusesFreedColumnsLastFreedFirstAndDropsItsBitmapsWhenEmpty)
{
    CHLMImageManager manager;
    CHLMImageManagerResource* strip = manager.GetImageResource(4, 2);
    std::vector<std::unique_ptr<CHLMImageManagerIconImage>> images;
    for (BYTE i = 0; i < 4; ++i)
        images.push_back(StripImage(manager, i));
    EXPECT_EQ(16, strip->GetTotalWidth());
    images[0]->Clear();
    images[1]->Clear();
    images[2]->Clear();
    // Columns 8, 4, 0 come back in that order; a fourth new picture grows the strips.
    std::vector<LONG> columns;
    for (BYTE i = 0; i < 4; ++i)
    {
        images.push_back(StripImage(manager, static_cast<BYTE>(0x50 + i)));
        columns.push_back(ColumnOf(*images.back()));
    }
    EXPECT_EQ((std::vector<LONG>{8, 4, 0, 16}), columns);
    EXPECT_EQ(20, strip->GetTotalWidth());
    EXPECT_EQ(PicturePixels(0x53), AlphaPixels(*images.back()));
    EXPECT_EQ(PicturePixels(0x03), AlphaPixels(*images[3]));

    // Freeing every column deletes both bitmaps; the next picture starts one column wide.
    images.clear();
    EXPECT_EQ(nullptr, strip->GetColorStrip());
    EXPECT_EQ(nullptr, strip->GetMaskStrip());
    EXPECT_EQ(0, strip->GetTotalWidth());
    auto again = StripImage(manager, 0x77);
    EXPECT_EQ(0, ColumnOf(*again));
    EXPECT_EQ(4, strip->GetTotalWidth());
    EXPECT_TRUE(strip->GetMaskStrip());
}

TEST(CHLMImageManagerResource, ClearAllKeepsOnlyStripsWhoseColumnsAreStillHeld)
{
    CHLMImageManager manager;
    manager.GetImageResource(8, 8);
    auto held = StripImage(manager, 0x21);
    EXPECT_EQ(2, manager.GetImageResourceCount());
    manager.ClearAll();
    EXPECT_EQ(1, manager.GetImageResourceCount());
    EXPECT_EQ(PicturePixels(0x21), AlphaPixels(*held));
    held.reset();
    manager.ClearAll();
    EXPECT_EQ(0, manager.GetImageResourceCount());
}

TEST(CHLMImageManagerResource, DrawsAlphaAndMaskedColumnsOntoAWindow)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    CHLMImageManager manager;
    auto alpha = std::make_unique<CHLMImageManagerIconImage>();
    alpha->SetImageManager(&manager);
    CHLMImageManagerIconImage picture;
    picture.SetBitmap(AlphaBitmap(4, 2, std::vector<DWORD>(8, Bgra(0x10, 0x20, 0xF0, 255))));
    *alpha = picture;
    // Transparent pixels of an icon are black in its colour bitmap (a colour there would be
    // XOR-ed onto the background).
    std::vector<COLORREF> colors(8, RGB(0, 0xC0, 0));
    colors[0] = colors[1] = RGB(0, 0, 0);
    HICON icon = PlainIcon(4, 2, colors, {true, true, false, false, false, false, false, false});
    CHLMImageManagerIconImage masked;
    masked.SetImageManager(&manager);
    masked = CHLMImageManagerIconImage(icon, TRUE);
    DestroyIcon(icon);
    ASSERT_TRUE(alpha->GetSlot() && masked.GetSlot());

    HWND window = CreateWindowExW(WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 20, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    UpdateWindow(window);
    HDC windowDC = GetDC(window);
    CDC* dc = CDC::FromHandle(windowDC);
    dc->FillSolidRect(0, 0, 40, 20, RGB(0x55, 0x66, 0x77));
    alpha->Draw(dc, CPoint(2, 2), CSize(4, 2), FALSE);
    masked.Draw(dc, CPoint(10, 2), CSize(4, 2), FALSE);
    masked.Draw(dc, CPoint(20, 2), CSize(8, 4), TRUE);  // composited, stretched twice

    TestSurface readBack(40, 20);
    BitBlt(readBack.dc(), 0, 0, 40, 20, windowDC, 0, 0, SRCCOPY);
    ReleaseDC(window, windowDC);
    DestroyWindow(window);
    EXPECT_EQ(RGB(0xF0, 0x20, 0x10), readBack.ColorAt(2, 2));
    EXPECT_EQ(RGB(0xF0, 0x20, 0x10), readBack.ColorAt(5, 3));
    EXPECT_EQ(RGB(0x55, 0x66, 0x77), readBack.ColorAt(6, 2));
    EXPECT_EQ(RGB(0x55, 0x66, 0x77), readBack.ColorAt(10, 2));
    EXPECT_EQ(RGB(0x55, 0x66, 0x77), readBack.ColorAt(11, 2));
    EXPECT_EQ(RGB(0, 0xC0, 0), readBack.ColorAt(12, 2));
    EXPECT_EQ(RGB(0, 0xC0, 0), readBack.ColorAt(13, 3));
    EXPECT_EQ(RGB(0x55, 0x66, 0x77), readBack.ColorAt(20, 2));
    EXPECT_EQ(RGB(0x55, 0x66, 0x77), readBack.ColorAt(23, 3));
    EXPECT_EQ(RGB(0, 0xC0, 0), readBack.ColorAt(24, 2));
    EXPECT_EQ(RGB(0, 0xC0, 0), readBack.ColorAt(27, 5));
    EXPECT_EQ(RGB(0x55, 0x66, 0x77), readBack.ColorAt(28, 2));
}

TEST(CHLMImageManagerImageList, ServesItsRangeOfIdsOnly)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 10, 1);
    HICON icon = PlainIcon(16, 16, std::vector<COLORREF>(256, RGB(1, 2, 3)));
    for (int i = 0; i < 10; ++i)
        ImageList_AddIcon(list, icon);
    DestroyIcon(icon);
    CHLMImageManager manager;
    ASSERT_TRUE(manager.AddImageList(list, 100, TRUE));
    CHLMImageManagerImageList* wrapper = manager.GetImageList(100);
    ASSERT_TRUE(wrapper);
    struct
    {
        UINT id;
        BOOL contained;
    } rows[] = {{99, FALSE}, {100, TRUE}, {109, TRUE}, {110, FALSE}, {0, FALSE}};
    for (const auto& row : rows)
    {
        EXPECT_EQ(row.contained, wrapper->ContainsId(row.id)) << row.id;
        EXPECT_EQ(row.contained, wrapper->GetIcon(row.id) != nullptr) << row.id;
        EXPECT_EQ(row.contained, manager.HasIcon(row.id)) << row.id;
    }
    CHLMImageManagerIcon* served = manager.GetImage(105, 16);
    ASSERT_TRUE(served);
    EXPECT_EQ(served, wrapper->GetIcon(105));
    EXPECT_EQ(CSize(16, 16), CSize(served->GetWidth(), served->GetHeight()));
    EXPECT_TRUE(manager.HasIcon(105, 0));
    EXPECT_TRUE(manager.HasIcon(105, 16));
    EXPECT_FALSE(manager.HasIcon(105, 24));

    TestSurface surface(16, 16, Bgra(9, 9, 9, 0));
    served->Draw(CDC::FromHandle(surface.dc()), CPoint(0, 0));
    EXPECT_EQ(RGB(1, 2, 3), surface.ColorAt(8, 8));
    EXPECT_FALSE(manager.AddImageList(static_cast<HIMAGELIST>(nullptr), 1, TRUE));
}
