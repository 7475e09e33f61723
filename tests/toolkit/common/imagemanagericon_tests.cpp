// Icon images, icons and icon sets: copies and ownership, the derived images byte by byte,
// drawing, and the lookup by width.
#include <gtest/gtest.h>

#include "common/hlmcolormanager.h"
#include "common/hlmimagemanager.h"
#include "common/hlmimagemanagericon.h"
#include "iconstoretesting.h"
#include "pixels.h"

#include <windows.h>

namespace
{
// Straight pixels of a 4 x 1 picture: opaque black, half-transparent colour, transparent,
// opaque colour.
const std::vector<DWORD> kStraightPixels = {Bgra(0, 0, 0, 255), Bgra(40, 80, 120, 128), Bgra(10, 20, 30, 0),
                                            Bgra(30, 60, 90, 255)};

// The disabled look's process-wide values, put back after each test.
class DerivedImageTest : public testing::Test
{
protected:
    void TearDown() override
    {
        CHLMImageManager::m_dDisabledBrightness = 0.5;
        CHLMImageManager::m_dDisabledAlphaFactor = 1.0;
    }

    // An icon of the set of `manager` (so its images live in strips) with the alpha picture.
    CHLMImageManagerIcon* AlphaIcon(CHLMImageManager& manager, const std::vector<DWORD>& pixels)
    {
        CHLMImageManagerIconImage image;
        image.SetBitmap(AlphaBitmap(static_cast<int>(pixels.size()), 1, pixels));
        EXPECT_TRUE(manager.SetIcon(image, 7, CSize(0, 0), kHLMImageStateNormal));
        return manager.GetImage(7, static_cast<int>(pixels.size()));
    }
};
}

TEST(CHLMImageManagerIconImage, AssignmentOwnsADeepCopyAndCopyConstructionOnlyRefers)
{
    HICON icon = PlainIcon(2, 2, {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12)});
    {
        const CHLMImageManagerIconImage view(icon, TRUE);
        EXPECT_FALSE(view.IsOwner());
        EXPECT_EQ(CSize(2, 2), view.GetExtent());

        CHLMImageManagerIconImage copy;
        copy = view;
        EXPECT_TRUE(copy.IsOwner());
        EXPECT_NE(icon, copy.GetIcon());
        EXPECT_EQ(IconColors(view), IconColors(copy));

        const CHLMImageManagerIconImage referring(copy);
        EXPECT_EQ(copy.GetIcon(), referring.GetIcon());
        EXPECT_FALSE(referring.IsOwner());
    }
    // Neither the view nor the reference destroyed the caller's icon.
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST(CHLMImageManagerIconImage, AssigningAnImageToItselfOrAViewOfItselfKeepsThePicture)
{
    const std::vector<DWORD> pixels = {Bgra(10, 20, 30, 255), Bgra(40, 50, 60, 128)};
    CHLMImageManagerIconImage image;
    image.SetBitmap(AlphaBitmap(2, 1, pixels));
    CHLMImageManagerIconImage& self = image;
    image = self;
    EXPECT_EQ(Premultiplied(pixels), AlphaPixels(image));

    const CHLMImageManagerIconImage view(image);
    image = view;
    EXPECT_TRUE(image.IsOwner());
    EXPECT_EQ(Premultiplied(pixels), AlphaPixels(image));
}

TEST(CHLMImageManagerIconImage, PremultipliesOnceAndDrawsOnlyTheRowsBelowTheTopEdge)
{
    // Opaque rows of distinct colours, so drawing is exact whichever way it blends.
    std::vector<DWORD> pixels;
    for (int row = 0; row < 6; ++row)
        pixels.insert(pixels.end(), 2, Bgra(static_cast<BYTE>(10 * row), 0, 0, 255));
    CHLMImageManagerIconImage image;
    image.SetBitmap(AlphaBitmap(2, 6, pixels));
    BYTE* bits = image.PreMultiply();
    ASSERT_NE(nullptr, bits);
    EXPECT_EQ(bits, image.PreMultiply());

    const DWORD background = Bgra(1, 2, 3, 0);
    struct
    {
        int y;
        int firstImageRow;  // drawn at surface row 0; -1 when nothing is drawn
    } rows[] = {{-3, 3}, {-6, -1}, {-5, 5}};
    for (const auto& row : rows)
    {
        TestSurface surface(2, 6, background);
        CDC* dc = CDC::FromHandle(surface.dc());
        image.Draw(dc, CPoint(0, row.y), CSize(2, 6), FALSE);
        for (int y = 0; y < 6; ++y)
        {
            const int imageRow = row.firstImageRow < 0 ? 6 : row.firstImageRow + y;
            const DWORD expected = imageRow < 6 ? Bgra(static_cast<BYTE>(10 * imageRow), 0, 0, 255) : background;
            EXPECT_EQ(expected & 0xFFFFFF, surface.At(1, y) & 0xFFFFFF) << "y " << row.y << " row " << y;
        }
    }
}

TEST(CHLMImageManagerIconImage, CompositedIconDrawingKeepsTheBackgroundUnderTransparentPixels)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    HICON icon = PlainIcon(3, 1, {RGB(200, 10, 20), RGB(0, 0, 0), RGB(0, 0, 0)}, {false, false, true});
    CHLMImageManagerIconImage image;
    image.SetIcon(icon);
    for (BOOL composited : {FALSE, TRUE})
    {
        TestSurface surface(3, 1, Bgra(90, 90, 90, 0));
        image.Draw(CDC::FromHandle(surface.dc()), CPoint(0, 0), CSize(3, 1), composited);
        EXPECT_EQ(RGB(200, 10, 20), surface.ColorAt(0, 0)) << composited;
        EXPECT_EQ(RGB(0, 0, 0), surface.ColorAt(1, 0)) << composited;
        EXPECT_EQ(RGB(90, 90, 90), surface.ColorAt(2, 0)) << composited;
    }
}

TEST_F(DerivedImageTest, FadedShadowAndDisabledAlphaPixelsByteByByte)
{
    const COLORREF managed = GetManagedColor(31);
    const BYTE shadowRed = static_cast<BYTE>(GetRValue(managed) * 0.75),
               shadowGreen = static_cast<BYTE>(GetGValue(managed) * 0.75),
               shadowBlue = static_cast<BYTE>(GetBValue(managed) * 0.75);
    CHLMImageManager manager;
    CHLMImageManagerIcon* icon = AlphaIcon(manager, kStraightPixels);
    ASSERT_TRUE(icon);
    // Premultiplied: (0, 0, 0, 255), (20, 40, 60, 128), (0, 0, 0, 0), (30, 60, 90, 255).
    EXPECT_EQ((std::vector<DWORD>{Bgra(76, 76, 76, 255), Bgra(52, 66, 80, 128), Bgra(0, 0, 0, 0),
                                  Bgra(97, 118, 139, 255)}),
              AlphaPixels(icon->GetFadedImage()));
    EXPECT_EQ((std::vector<DWORD>{Bgra(shadowBlue, shadowGreen, shadowRed, 255),
                                  Bgra(static_cast<BYTE>(shadowBlue * 128 / 255), static_cast<BYTE>(shadowGreen * 128 / 255),
                                       static_cast<BYTE>(shadowRed * 128 / 255), 128),
                                  Bgra(0, 0, 0, 0), Bgra(shadowBlue, shadowGreen, shadowRed, 255)}),
              AlphaPixels(icon->GetShadowImage()));
    // Gray: straight (39, 79, 119) has the level 86.4 / 255, whose square root is 148 / 255;
    // (30, 60, 90) has 65.55 / 255, root 129 / 255.
    EXPECT_TRUE(icon->GetDisabledImage(FALSE).IsEmpty());
    EXPECT_EQ((std::vector<DWORD>{Bgra(0, 0, 0, 255), Bgra(74, 74, 74, 128), Bgra(0, 0, 0, 0),
                                  Bgra(129, 129, 129, 255)}),
              AlphaPixels(icon->GetDisabledImage(TRUE)));
    // Blend from black to white: each pixel's own gray level.
    icon->ClearDerivedImages();
    icon->CreateDisabledImage(RGB(255, 255, 255), RGB(0, 0, 0));
    EXPECT_EQ((std::vector<DWORD>{Bgra(0, 0, 0, 255), Bgra(43, 43, 43, 128), Bgra(0, 0, 0, 0),
                                  Bgra(65, 65, 65, 255)}),
              AlphaPixels(icon->GetDisabledImage(FALSE)));
    manager.ClearAll();
}

TEST_F(DerivedImageTest, DisabledAlphaFactorsAtOrBelowZeroCountAsOneAndChannelsAreClamped)
{
    struct
    {
        double factor;
        DWORD expected;  // of the straight pixel (40, 80, 120, 128)
    } rows[] = {{1.0, Bgra(74, 74, 74, 128)},
                {0.0, Bgra(74, 74, 74, 128)},
                {-2.0, Bgra(74, 74, 74, 128)},
                {0.5, Bgra(148, 148, 148, 255)},  // alpha 256 held at 255
                {2.0, Bgra(37, 37, 37, 64)}};
    for (const auto& row : rows)
    {
        CHLMImageManager::m_dDisabledAlphaFactor = row.factor;
        CHLMImageManager manager;
        CHLMImageManagerIcon* icon = AlphaIcon(manager, {Bgra(40, 80, 120, 128)});
        ASSERT_TRUE(icon);
        EXPECT_EQ(std::vector<DWORD>{row.expected}, AlphaPixels(icon->GetDisabledImage(TRUE))) << row.factor;
        manager.ClearAll();
    }

    // A premultiplied picture whose blue exceeds its alpha: the straight blue is held at 255
    // (gray 86, premultiplied 33) instead of growing to 510.
    CHLMImageManager::m_dDisabledAlphaFactor = 1.0;
    void* bits = nullptr;
    HBITMAP section = CHLMImageManager::Create32bppDibSection(nullptr, 1, 1, &bits);
    *static_cast<DWORD*>(bits) = Bgra(200, 0, 0, 100);
    CHLMImageManagerIconImage premultiplied;
    premultiplied.SetPremultipliedBitmap(section, static_cast<BYTE*>(bits));
    CHLMImageManagerIcon icon(1, 1, 1, static_cast<CHLMImageManagerIconSet*>(nullptr));
    icon.SetIcon(premultiplied);
    EXPECT_EQ(std::vector<DWORD>{Bgra(33, 33, 33, 100)}, AlphaPixels(icon.GetDisabledImage(TRUE)));
}

TEST_F(DerivedImageTest, IconPicturesAreDerivedPixelByPixelUnderTheirMask)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the icon pictures hold palette colours there");
    const COLORREF managed = GetManagedColor(31);
    const COLORREF shadow = RGB(static_cast<BYTE>(GetRValue(managed) * 0.75),
                                static_cast<BYTE>(GetGValue(managed) * 0.75),
                                static_cast<BYTE>(GetBValue(managed) * 0.75));
    HICON source = PlainIcon(4, 1, {RGB(0, 0, 0), RGB(40, 80, 120), RGB(0, 0, 0), RGB(255, 255, 255)},
                             {false, false, true, false});
    CHLMImageManager manager;
    const CHLMImageManagerIconImage view(source, TRUE);
    ASSERT_TRUE(manager.SetIcon(view, 9, CSize(0, 0), kHLMImageStateNormal));
    DestroyIcon(source);
    CHLMImageManagerIcon* icon = manager.GetImage(9, 4);
    ASSERT_TRUE(icon);
    EXPECT_FALSE(icon->IsAlpha());
    EXPECT_EQ((std::vector<COLORREF>{RGB(0, 0, 0), RGB(40, 80, 120), CLR_NONE, RGB(255, 255, 255)}),
              IconColors(icon->GetNormalImage()));
    EXPECT_EQ((std::vector<COLORREF>{RGB(76, 76, 76), RGB(104, 132, 160), CLR_NONE, RGB(255, 255, 255)}),
              IconColors(icon->GetFadedImage()));
    EXPECT_EQ((std::vector<COLORREF>{shadow, shadow, CLR_NONE, shadow}), IconColors(icon->GetShadowImage()));
    EXPECT_EQ((std::vector<COLORREF>{RGB(0, 0, 0), RGB(136, 136, 136), CLR_NONE, RGB(255, 255, 255)}),
              IconColors(icon->GetDisabledImage(TRUE)));
    manager.ClearAll();
}

TEST(CHLMImageManagerIcon, StateImagesFallBackAndSettersKeepTheIconsOwnImages)
{
    CHLMImageManager manager;
    CHLMImageManagerIconSet* set = new CHLMImageManagerIconSet(3, &manager);
    CHLMImageManagerIcon* icon = set->GetIcon(2);
    EXPECT_EQ(15, icon->GetHeight());

    CHLMImageManagerIconImage normal, second;
    normal.SetBitmap(AlphaBitmap(2, 1, {Bgra(1, 2, 3, 255), Bgra(4, 5, 6, 255)}));
    second.SetBitmap(AlphaBitmap(2, 1, {Bgra(7, 8, 9, 255), Bgra(10, 11, 12, 255)}));
    ASSERT_TRUE(set->SetIcon(normal, 2));
    EXPECT_EQ(1, icon->GetHeight());
    EXPECT_EQ(AlphaPixels(normal), AlphaPixels(icon->GetState3Image()));
    set->SetState2Icon(second, 2);
    EXPECT_EQ(AlphaPixels(second), AlphaPixels(icon->GetState3Image()));
    EXPECT_EQ(AlphaPixels(second), AlphaPixels(icon->GetImage(kHLMImageState4)));
    EXPECT_EQ(AlphaPixels(normal), AlphaPixels(icon->GetImage(17)));

    // The icon's own images handed back to its setters.
    icon->SetNormalIcon(icon->GetNormalImage());
    icon->SetState2Icon(icon->GetState2Image());
    icon->SetState3Icon(icon->GetState2Image());
    EXPECT_EQ(AlphaPixels(normal), AlphaPixels(icon->GetNormalImage()));
    EXPECT_EQ(AlphaPixels(second), AlphaPixels(icon->GetState3Image()));
    EXPECT_TRUE(icon->SetIcon(icon->GetNormalImage()));
    EXPECT_EQ(AlphaPixels(normal), AlphaPixels(icon->GetNormalImage()));
    // Setting the whole icon drops its state images.
    EXPECT_EQ(AlphaPixels(normal), AlphaPixels(icon->GetState2Image()));
    set->InternalRelease();
}

TEST(CHLMImageManagerIconSet, FindsIconsByWidth)
{
    CHLMImageManager manager;
    CHLMImageManagerIconSet* set = new CHLMImageManagerIconSet(5, &manager);
    EXPECT_EQ(nullptr, set->FindIconByWidth(16, TRUE));
    CHLMImageManagerIcon* narrow = set->GetIcon(16);
    CHLMImageManagerIcon* wide = set->GetIcon(32);
    // Among equal distances the first icon of the map's walk wins.
    POSITION position = set->GetStartPosition();
    UINT width = 0;
    CHLMImageManagerIcon* first = nullptr;
    set->GetNextIcon(position, width, first);
    struct
    {
        UINT width;
        BOOL nearest;
        CHLMImageManagerIcon* expected;
    } rows[] = {{16, FALSE, narrow}, {32, FALSE, wide}, {24, FALSE, nullptr}, {24, TRUE, first},
                {20, TRUE, narrow},  {30, TRUE, wide},  {0, FALSE, narrow},   {0, TRUE, narrow},
                {1, FALSE, wide},    {1, TRUE, wide},   {1000, TRUE, wide},   {2, TRUE, narrow}};
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, set->FindIconByWidth(row.width, row.nearest)) << row.width << " " << row.nearest;
    set->InternalRelease();
}

TEST(CHLMImageManagerIcon, ScalesIconsAndLightensColors)
{
    HICON icon = PlainIcon(4, 2, std::vector<COLORREF>(8, RGB(10, 20, 30)));
    struct
    {
        CSize size;
        int width;
        CSize expected;  // 0 x 0: no icon
    } rows[] = {{{4, 2}, 8, {8, 4}}, {{4, 2}, 4, {4, 2}}, {{4, 2}, 0, {0, 0}}, {{0, 0}, 8, {0, 0}}};
    for (const auto& row : rows)
    {
        HICON scaled = CHLMImageManagerIcon::ScaleIcon(icon, row.size, row.width);
        EXPECT_EQ(row.expected, scaled ? CHLMImageManagerIcon::GetExtent(scaled) : CSize(0, 0)) << row.width;
        if (scaled)
            DestroyIcon(scaled);
    }
    DestroyIcon(icon);
    EXPECT_EQ(RGB(76, 76, 76), CHLMImageManagerIcon::LightenColor(RGB(0, 0, 0), 0.3));
    EXPECT_EQ(RGB(104, 132, 160), CHLMImageManagerIcon::LightenColor(RGB(40, 80, 120), 0.3));
}
