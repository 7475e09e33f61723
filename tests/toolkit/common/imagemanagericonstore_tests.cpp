// The image manager's icon store: adding pictures by state, from toolbars, bitmaps and image
// lists, custom ids, merging, and drawing an icon's states onto a window.
#include <gtest/gtest.h>

#include "common/hlmcolormanager.h"
#include "common/hlmimagemanager.h"
#include "common/hlmimagemanagericon.h"
#include "iconstoretesting.h"
#include "pixels.h"
#include "testmain.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace
{
// The pictures of the test program's bitmaps 330 and 331, picture k top row first.
COLORREF ToolbarColor(int k)
{
    return RGB(0x60 + 0x10 * k, 0x40 + 0x10 * k, 0x20 + 0x10 * k);
}

std::vector<COLORREF> ToolbarIconColors(int k)
{
    std::vector<COLORREF> colors(16, ToolbarColor(k));
    colors[0] = CLR_NONE;  // magenta, the colour of the first picture's corner
    return colors;
}

std::vector<DWORD> ToolbarAlphaPixels(int k)
{
    const COLORREF color = ToolbarColor(k);
    std::vector<DWORD> pixels(16, Bgra(GetBValue(color), GetGValue(color), GetRValue(color),
                                       static_cast<BYTE>(0x80 + 0x20 * k)));
    pixels[0] = 0;
    return Premultiplied(pixels);
}

// A strip of opaque 4 x 4 pictures, picture k of blue 0x10 (k + 1).
HBITMAP PictureStrip(int count)
{
    std::vector<DWORD> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4 * count; ++x)
            pixels.push_back(Bgra(static_cast<BYTE>(0x10 * (x / 4 + 1)), 0x22, 0x33, 255));
    return AlphaBitmap(4 * count, 4, pixels);
}

BYTE BlueOf(CHLMImageManager& manager, UINT id)
{
    CHLMImageManagerIcon* icon = manager.GetImage(id, 4);
    if (!icon)
        return 0;
    if (icon->IsAlpha())
        return static_cast<BYTE>(AlphaPixels(icon->GetNormalImage())[5] & 0xFF);
    return GetBValue(IconColors(icon->GetNormalImage())[5]);
}

CHLMImageManagerIconImage* NewAlphaImage(int width, DWORD pixel)
{
    auto* image = new CHLMImageManagerIconImage();
    image->SetBitmap(AlphaBitmap(width, width, std::vector<DWORD>(width * width, pixel)));
    return image;
}
}

TEST(CHLMImageManagerIconStore, ToolbarResourcesGiveOneIconPerButton)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    UINT* ids = nullptr;
    int count = 0;
    CSize size;
    ASSERT_TRUE(CHLMImageManager::ReadToolBarResource(330, &ids, &count, &size));
    EXPECT_EQ((std::vector<UINT>{1001, 1002, 1003, 1004}), std::vector<UINT>(ids, ids + count));
    EXPECT_EQ(CSize(4, 4), size);
    delete[] ids;

    CHLMImageManager manager;
    ASSERT_TRUE(manager.SetIcons(330, kHLMImageStateNormal));
    ASSERT_TRUE(manager.SetIcons(331, kHLMImageStateNormal));
    EXPECT_EQ(8, manager.GetIconSetCount());
    EXPECT_FALSE(manager.HasIcon(0));
    const UINT plain[] = {1001, 1002, 1003, 1004}, alpha[] = {2001, 2002, 2003, 2004};
    for (int k = 0; k < 4; ++k)
    {
        ASSERT_TRUE(manager.HasIcon(plain[k], 4)) << k;
        EXPECT_EQ(ToolbarIconColors(k), IconColors(manager.GetImage(plain[k], 4)->GetNormalImage())) << k;
        ASSERT_TRUE(manager.HasIcon(alpha[k], 4)) << k;
        EXPECT_EQ(ToolbarAlphaPixels(k), AlphaPixels(manager.GetImage(alpha[k], 4)->GetNormalImage())) << k;
    }
    // The pictures of one size share the manager's strip.
    EXPECT_EQ(1, manager.GetImageResourceCount());
    manager.ClearAll();
}

TEST(CHLMImageManagerIconStore, RefusesDamagedToolbarResources)
{
    std::vector<BYTE> versionTwo = {2, 0, 4, 0, 4, 0, 1, 0, 7, 0};
    std::vector<BYTE> countPastTheEnd = {1, 0, 4, 0, 4, 0, 100, 0, 7, 0};
    std::vector<BYTE> shortHeader = {1, 0, 4, 0, 4, 0};
    std::vector<BYTE> onlySeparators = {1, 0, 4, 0, 4, 0, 2, 0, 0, 0, 0, 0};
    TestResourceModule resources(L"toolbars", {{RT_TOOLBAR, MAKEINTRESOURCEW(1), versionTwo},
                                               {RT_TOOLBAR, MAKEINTRESOURCEW(2), countPastTheEnd},
                                               {RT_TOOLBAR, MAKEINTRESOURCEW(3), shortHeader},
                                               {RT_TOOLBAR, MAKEINTRESOURCEW(4), onlySeparators}});
    ASSERT_TRUE(resources.module());
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(resources.module());
    UINT* ids = nullptr;
    int count = -1;
    CSize size;
    for (UINT id : {1u, 2u, 3u, 9u})
        EXPECT_FALSE(CHLMImageManager::ReadToolBarResource(id, &ids, &count, &size)) << id;
    EXPECT_EQ(nullptr, ids);
    ASSERT_TRUE(CHLMImageManager::ReadToolBarResource(4, &ids, &count, &size));
    EXPECT_EQ(0, count);
    delete[] ids;
    {
        CountFrameworkAssertions assertions;
        EXPECT_FALSE(CHLMImageManager::ReadToolBarResource(0, &ids, &count, &size));
        EXPECT_EQ(1, assertions.Count());
    }
    CHLMImageManager manager;
    CBitmap strip;
    strip.Attach(PictureStrip(2));
    EXPECT_FALSE(manager.SetIcons(1, &strip, kHLMImageStateNormal));
    EXPECT_EQ(0, manager.GetIconSetCount());
    AfxSetResourceHandle(previous);
}

TEST(CHLMImageManagerIconStore, SeparatorsTakeAPictureOnlyWhenEveryEntryHasOneAndNeverMakeASet)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    const UINT ids[] = {1, 0, 2};
    struct
    {
        int pictures;
        BYTE blueOf2;
    } rows[] = {{2, 0x20}, {3, 0x30}};
    for (const auto& row : rows)
        for (BOOL alpha : {TRUE, FALSE})
        {
            CHLMImageManager manager;
            manager.SetMaskColor(RGB(255, 0, 255));
            CBitmap strip;
            strip.Attach(PictureStrip(row.pictures));
            ASSERT_TRUE(manager.SetIcons(&strip, ids, 3, CSize(4, 4), kHLMImageStateNormal, alpha))
                << row.pictures << " " << alpha;
            EXPECT_EQ(0x10, BlueOf(manager, 1)) << row.pictures << " " << alpha;
            EXPECT_EQ(row.blueOf2, BlueOf(manager, 2)) << row.pictures << " " << alpha;
            EXPECT_FALSE(manager.HasIcon(0)) << row.pictures << " " << alpha;
            EXPECT_EQ(2, manager.GetIconSetCount());
            manager.ClearAll();
        }

    // Without ids the pictures are numbered; a width that does not divide the strip is
    // refused in the alpha form.
    CHLMImageManager manager;
    CBitmap strip;
    strip.Attach(PictureStrip(3));
    EXPECT_TRUE(manager.SetIcons(&strip, nullptr, 0, CSize(4, 4), kHLMImageStateNormal, TRUE));
    EXPECT_EQ(0x30, BlueOf(manager, 2));
    EXPECT_FALSE(manager.SetIcons(&strip, nullptr, 0, CSize(5, 4), kHLMImageStateNormal, TRUE));
    EXPECT_FALSE(manager.SetIcons(&strip, nullptr, 0, CSize(0, 4), kHLMImageStateNormal, TRUE));
    manager.ClearAll();
}

TEST(CHLMImageManagerIconStore, SetsIconsByStateAndRefusesSizesOtherThanThePictures)
{
    CHLMImageManager manager;
    std::unique_ptr<CHLMImageManagerIconImage> normal(NewAlphaImage(4, Bgra(0x10, 0, 0, 255)));
    std::unique_ptr<CHLMImageManagerIconImage> second(NewAlphaImage(4, Bgra(0x20, 0, 0, 255)));
    EXPECT_FALSE(manager.SetIcon(*second, 5, CSize(4, 4), kHLMImageState2));
    EXPECT_EQ(nullptr, manager.GetIconSet(5));
    EXPECT_FALSE(manager.SetIcon(*normal, 5, CSize(8, 8), kHLMImageStateNormal));
    EXPECT_FALSE(manager.SetIcon(*normal, 5, CSize(4, 3), kHLMImageStateNormal));
    EXPECT_FALSE(manager.SetIcon(CHLMImageManagerIconImage(), 5, CSize(0, 0), kHLMImageStateNormal));
    EXPECT_EQ(nullptr, manager.GetIconSet(5));

    ASSERT_TRUE(manager.SetIcon(*normal, 5, CSize(4, 4), kHLMImageStateNormal));
    ASSERT_TRUE(manager.SetIcon(*second, 5, CSize(0, 0), kHLMImageState2));
    CHLMImageManagerIcon* icon = manager.GetImage(5, 4);
    EXPECT_EQ(0x20u, AlphaPixels(icon->GetState2Image())[0] & 0xFF);
    EXPECT_EQ(4, icon->GetWidth());
    // State 0 again replaces the whole icon, its state images too.
    ASSERT_TRUE(manager.SetIcon(*normal, 5, CSize(4, 4), kHLMImageStateNormal));
    EXPECT_EQ(0x10u, AlphaPixels(icon->GetState2Image())[0] & 0xFF);

    // An empty set serves nothing.
    manager.GetIconSet(5)->RemoveAll();
    EXPECT_FALSE(manager.HasIcon(5));
    EXPECT_FALSE(manager.HasIcon(5, 0));
    EXPECT_EQ(nullptr, manager.GetImage(5, 4));
    manager.RemoveIcon(5);
    EXPECT_EQ(nullptr, manager.GetIconSet(5));
    manager.RemoveIcon(5);
}

TEST(CHLMImageManagerIconStore, CustomIdsCountUpAndEmptyPicturesGetNone)
{
    CHLMImageManager manager;
    std::unique_ptr<CHLMImageManagerIconImage> image(NewAlphaImage(4, Bgra(1, 2, 3, 255)));
    EXPECT_EQ(0x10AAAu + 1, manager.AddCustomIcon(*image));
    EXPECT_EQ(0u, manager.AddCustomIcon(CHLMImageManagerIconImage()));
    EXPECT_EQ(0x10AAAu + 2, manager.AddCustomIcon(*image));
    EXPECT_TRUE(manager.HasIcon(0x10AAA + 2, 4));
    manager.ClearAll();
}

TEST(CHLMImageManagerIconStore, AddsImageListsFromBitmapResources)
{
    CHLMImageManager manager;
    EXPECT_TRUE(manager.AddImageList(330, 4, 500, RGB(255, 0, 255)));
    EXPECT_TRUE(manager.AddImageList(331, 4, 600, CLR_NONE));
    EXPECT_FALSE(manager.AddImageList(330, 5, 700, RGB(255, 0, 255)));
    EXPECT_FALSE(manager.AddImageList(399, 4, 800, CLR_NONE));
    EXPECT_EQ(2, manager.GetImageListCount());
    EXPECT_TRUE(manager.HasIcon(503, 4));
    EXPECT_FALSE(manager.HasIcon(504));
    EXPECT_TRUE(manager.HasIcon(600) && manager.HasIcon(603));
    // Served icons draw through their list: the masked corner stays transparent.
    TestSurface surface(4, 4, Bgra(7, 7, 7, 0));
    manager.GetImage(502, 4)->Draw(CDC::FromHandle(surface.dc()), CPoint(0, 0));
    EXPECT_EQ(RGB(7, 7, 7), surface.ColorAt(0, 0));
    EXPECT_EQ(ToolbarColor(2), surface.ColorAt(2, 2));
    manager.ClearAll();
    EXPECT_EQ(0, manager.GetImageListCount());
}

TEST(CHLMImageManagerIconStore, MergesIconSetsOfAnotherManagerOnceWidthByWidth)
{
    CHLMImageManager source, target;
    std::unique_ptr<CHLMImageManagerIconImage> small(NewAlphaImage(4, Bgra(0x40, 0, 0, 255)));
    std::unique_ptr<CHLMImageManagerIconImage> large(NewAlphaImage(8, Bgra(0x80, 0, 0, 255)));
    ASSERT_TRUE(source.SetIcon(*small, 9, CSize(0, 0), kHLMImageStateNormal));
    ASSERT_TRUE(source.SetIcon(*large, 9, CSize(0, 0), kHLMImageStateNormal));
    ASSERT_TRUE(source.SetIcon(*small, 9, CSize(0, 0), kHLMImageStateDisabled));
    target.MergeIcons(nullptr);
    target.MergeIcons(&target);
    EXPECT_EQ(0, target.GetIconSetCount());
    target.MergeIcons(&source);
    target.MergeIcons(&source);
    ASSERT_TRUE(target.GetIconSet(9));
    EXPECT_EQ(2, target.GetIconSet(9)->GetCount());
    EXPECT_EQ(AlphaPixels(*large), AlphaPixels(target.GetImage(9, 8)->GetNormalImage()));
    EXPECT_EQ(AlphaPixels(*small), AlphaPixels(target.GetImage(9, 4)->GetDisabledImage(FALSE)));
    // Merged icons hold their own copies: the source can go.
    source.ClearAll();
    EXPECT_EQ(AlphaPixels(*small), AlphaPixels(target.GetImage(9, 4)->GetNormalImage()));
    target.ClearAll();
}

TEST(CHLMImageManagerIconStore, DrawsAnIconsStatesOntoAWindow)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    const COLORREF managed = GetManagedColor(31);
    const COLORREF shadow = RGB(static_cast<BYTE>(GetRValue(managed) * 0.75),
                                static_cast<BYTE>(GetGValue(managed) * 0.75),
                                static_cast<BYTE>(GetBValue(managed) * 0.75));
    CHLMImageManager manager;
    std::unique_ptr<CHLMImageManagerIconImage> image(NewAlphaImage(4, Bgra(30, 60, 90, 255)));
    ASSERT_TRUE(manager.SetIcon(*image, 12, CSize(0, 0), kHLMImageStateNormal));
    CHLMImageManagerIcon* icon = manager.GetImage(12, 4);

    HWND window = CreateWindowExW(WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    UpdateWindow(window);
    HDC windowDC = GetDC(window);
    CDC* dc = CDC::FromHandle(windowDC);
    dc->FillSolidRect(0, 0, 40, 10, RGB(255, 255, 255));
    icon->Draw(dc, CPoint(0, 0));
    icon->Draw(dc, CPoint(5, 0), icon->GetDisabledImage(TRUE), CSize(0, 0));
    icon->Draw(dc, CPoint(10, 0), icon->GetFadedImage(), CSize(0, 0));
    icon->Draw(dc, CPoint(15, 0), icon->GetShadowImage(), CSize(0, 0));
    icon->Draw(dc, CPoint(20, 0), CSize(8, 0));  // stretched, height in proportion
    TestSurface readBack(40, 10);
    BitBlt(readBack.dc(), 0, 0, 40, 10, windowDC, 0, 0, SRCCOPY);
    ReleaseDC(window, windowDC);
    DestroyWindow(window);
    EXPECT_EQ(RGB(90, 60, 30), readBack.ColorAt(3, 3));
    EXPECT_EQ(RGB(129, 129, 129), readBack.ColorAt(8, 3));
    EXPECT_EQ(RGB(139, 118, 97), readBack.ColorAt(13, 3));
    EXPECT_EQ(shadow, readBack.ColorAt(18, 3));
    EXPECT_EQ(RGB(90, 60, 30), readBack.ColorAt(27, 7));
    EXPECT_EQ(RGB(255, 255, 255), readBack.ColorAt(28, 0));
    EXPECT_EQ(RGB(255, 255, 255), readBack.ColorAt(20, 8));
    manager.ClearAll();
}

TEST(CHLMImageManagerIconStore, DrawsIconsInOneColourWithDrawState)
{
    std::vector<COLORREF> colors(4, RGB(10, 20, 30));
    colors[1] = RGB(0, 0, 0);
    HICON source = PlainIcon(2, 2, colors, {false, true, false, false});
    CHLMImageManagerIconImage image;
    image.SetIcon(source);
    CHLMImageManagerIcon icon(3, 2, 2, static_cast<CHLMImageManagerIconSet*>(nullptr));
    icon.SetIcon(image);
    TestSurface surface(2, 2, Bgra(200, 200, 200, 0));
    icon.DrawMono(CDC::FromHandle(surface.dc()), CPoint(0, 0), icon.GetNormalImage(), 0, 0, RGB(255, 0, 0));
    EXPECT_EQ(RGB(255, 0, 0), surface.ColorAt(0, 0));
    EXPECT_EQ(RGB(200, 200, 200), surface.ColorAt(1, 0));
    EXPECT_EQ(RGB(255, 0, 0), surface.ColorAt(1, 1));
    // Alpha pictures are not drawn in one colour.
    std::unique_ptr<CHLMImageManagerIconImage> alpha(NewAlphaImage(2, Bgra(1, 1, 1, 255)));
    TestSurface untouched(2, 2, Bgra(200, 200, 200, 0));
    icon.DrawMono(CDC::FromHandle(untouched.dc()), CPoint(0, 0), *alpha, 0, 0, RGB(255, 0, 0));
    EXPECT_EQ(RGB(200, 200, 200), untouched.ColorAt(0, 0));
}
