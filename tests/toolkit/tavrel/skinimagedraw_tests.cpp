#include "hlmskinimage.h"
#include "hlmskinmanager.h"
#include "pixels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace
{
const COLORREF kNone = static_cast<COLORREF>(-1);
const COLORREF kMagenta = RGB(255, 0, 255);
const int kStretch = 1, kTile = 2;
const DWORD kPaperPixel = Bgra(3, 2, 1, 0);
const COLORREF kPaper = RGB(1, 2, 3);

DWORD PixelOf(COLORREF color, BYTE alpha = 0)
{
    return Bgra(GetBValue(color), GetGValue(color), GetRValue(color), alpha);
}

// A bottom-up DIB section of 24 or 32 bits from pixels given top row first.
HBITMAP Section(int width, int height, const std::vector<DWORD>& pixels, int bitsPerPixel)
{
    const std::vector<BYTE> packed = BmpResourceBytes(width, height, bitsPerPixel, pixels);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(packed.data()), DIB_RGB_COLORS,
                                       &bits, nullptr, 0);
    std::memcpy(bits, packed.data() + sizeof(BITMAPINFOHEADER), packed.size() - sizeof(BITMAPINFOHEADER));
    return section;
}

std::unique_ptr<CHLMSkinImage> Image(int width, int height, const std::vector<DWORD>& pixels, BOOL alpha)
{
    std::unique_ptr<CHLMSkinImage> image(new CHLMSkinImage());
    image->SetBitmap(Section(width, height, pixels, alpha ? 32 : 24), alpha);
    return image;
}

// The framework's DC over a test surface.
class SurfaceDC : public CDC
{
public:
    explicit SurfaceDC(TestSurface& surface) { Attach(surface.dc()); }
    ~SurfaceDC() override { Detach(); }
};

struct Probe
{
    int x, y;
    COLORREF color;
};

void ExpectProbes(TestSurface& surface, const std::vector<Probe>& probes, const char* what)
{
    for (const Probe& p : probes)
        EXPECT_EQ(p.color, surface.ColorAt(p.x, p.y)) << what << " at " << p.x << "," << p.y;
}

// A 6 x 6 nine-part grid, every band 2 pixels, each part its own colour.
const COLORREF kTopLeft = RGB(10, 0, 0), kTop = RGB(20, 0, 0), kTopRight = RGB(30, 0, 0), kLeft = RGB(40, 0, 0),
               kCentre = RGB(50, 0, 0), kRight = RGB(60, 0, 0), kBottomLeft = RGB(70, 0, 0),
               kBottom = RGB(80, 0, 0), kBottomRight = RGB(90, 0, 0);

std::vector<DWORD> NineGridPixels()
{
    const COLORREF grid[3][3] = {
        {kTopLeft, kTop, kTopRight}, {kLeft, kCentre, kRight}, {kBottomLeft, kBottom, kBottomRight}};
    std::vector<DWORD> pixels;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            pixels.push_back(PixelOf(grid[y / 2][x / 2]));
    return pixels;
}

// A 4 x 4 image: a one-pixel border around a centre of the key colour.
std::unique_ptr<CHLMSkinImage> KeyedSquare(COLORREF border)
{
    std::vector<DWORD> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            pixels.push_back(PixelOf((x == 0 || y == 0 || x == 3 || y == 3) ? border : kMagenta));
    return Image(4, 4, pixels, FALSE);
}

class InvertFilter : public CHLMSkinManagerColorFilter
{
public:
    void ApplyFilter(COLORREF& color) override { color = RGB(255 - GetRValue(color), 255 - GetGValue(color), 255 - GetBValue(color)); }
};
}

TEST(SkinImageDrawing, MarginsKeepCornersAndStretchBandsWithOrWithoutSolidFills)
{
    const RECT source = {0, 0, 6, 6}, margins = {2, 2, 2, 2}, destination = {0, 0, 20, 14};
    const std::vector<Probe> expected = {
        {0, 0, kTopLeft},   {1, 1, kTopLeft},  {10, 0, kTop},     {19, 1, kTopRight},  {0, 7, kLeft},
        {10, 7, kCentre},   {19, 7, kRight},   {0, 13, kBottomLeft}, {10, 12, kBottom}, {18, 12, kBottomRight},
        {20, 0, kPaper},    {0, 14, kPaper},
    };
    {
        std::unique_ptr<CHLMSkinImage> blitted = Image(6, 6, NineGridPixels(), FALSE);
        TestSurface surface(24, 16, kPaperPixel);
        SurfaceDC dc(surface);
        blitted->DrawImage(&dc, destination, source, margins, kNone, kStretch, FALSE);
        ExpectProbes(surface, expected, "blitted");
        // Once drawn (and so through the colour filters), an image is not analysed.
        blitted->CreateSolidRectArray(1, FALSE, margins);
        EXPECT_EQ(0, blitted->GetSolidRects().GetSize());
    }

    // The four edges and the centre are single colours: draws fill them.
    std::unique_ptr<CHLMSkinImage> image = Image(6, 6, NineGridPixels(), FALSE);
    image->CreateSolidRectArray(1, FALSE, margins);
    EXPECT_EQ(5, image->GetSolidRects().GetSize());
    {
        TestSurface surface(24, 16, kPaperPixel);
        SurfaceDC dc(surface);
        image->DrawImage(&dc, destination, source, margins, kNone, kStretch, FALSE);
        ExpectProbes(surface, expected, "filled");
    }
    {
        TestSurface surface(24, 16, kPaperPixel);
        SurfaceDC dc(surface);
        image->DrawImage(&dc, destination, source, margins, kNone, kTile, TRUE);
        ExpectProbes(surface, {{10, 7, kPaper}, {0, 7, kLeft}, {10, 0, kTop}}, "border only");
    }
}

TEST(SkinImageDrawing, TilingRepeatsTheSourceAndCutsTheLastTile)
{
    const COLORREF a = RGB(0, 0, 10), b = RGB(0, 0, 20), c = RGB(0, 0, 30), d = RGB(0, 0, 40);
    std::vector<DWORD> pixels;
    for (int row = 0; row < 2; ++row)
        for (COLORREF color : {a, b, c, d})
            pixels.push_back(PixelOf(color));
    std::unique_ptr<CHLMSkinImage> image = Image(4, 2, pixels, FALSE);
    const RECT source = {0, 0, 4, 2}, noMargins = {0, 0, 0, 0};

    TestSurface tiled(12, 4, kPaperPixel);
    SurfaceDC tiledDC(tiled);
    image->DrawImage(&tiledDC, {0, 0, 10, 3}, source, noMargins, kNone, kTile, FALSE);
    ExpectProbes(tiled, {{0, 0, a}, {3, 0, d}, {4, 0, a}, {5, 2, b}, {8, 1, a}, {9, 2, b}, {10, 0, kPaper},
                         {0, 3, kPaper}},
                 "tiled");

    TestSurface stretched(12, 4, kPaperPixel);
    SurfaceDC stretchedDC(stretched);
    image->DrawImage(&stretchedDC, {0, 0, 8, 2}, source, noMargins, kNone, kStretch, FALSE);
    ExpectProbes(stretched, {{1, 0, a}, {2, 0, b}, {5, 1, c}, {7, 0, d}}, "stretched");
}

TEST(SkinImageDrawing, MarginsTallerThanTheDestinationShareItByTheirSizes)
{
    // One column: a top band of 2 rows, a bottom band of 3, into 4 rows. The top gets
    // MulDiv(4, 2, 5) = 2 rows, the bottom the rest rounded to the parity of its margin: 3,
    // drawn last over the top's second row.
    const COLORREF top = RGB(0, 100, 0), bottom = RGB(0, 200, 0);
    std::unique_ptr<CHLMSkinImage> image =
        Image(1, 5, {PixelOf(top), PixelOf(top), PixelOf(bottom), PixelOf(bottom), PixelOf(bottom)}, FALSE);
    TestSurface surface(1, 5, kPaperPixel);
    SurfaceDC dc(surface);
    image->DrawImage(&dc, {0, 0, 1, 4}, {0, 0, 1, 5}, {0, 2, 0, 3}, kNone, kStretch, FALSE);
    ExpectProbes(surface, {{0, 0, top}, {0, 1, bottom}, {0, 2, bottom}, {0, 3, bottom}, {0, 4, kPaper}}, "bands");
}

TEST(SkinImageDrawing, SourcesSmallerThanTheirMarginsAreNotDrawn)
{
    std::unique_ptr<CHLMSkinImage> image = Image(6, 6, NineGridPixels(), FALSE);
    const RECT source = {0, 0, 4, 6};  // 4 wide, with 3 + 3 pixels of side margins
    for (COLORREF key : {kNone, kMagenta})
    {
        TestSurface surface(8, 8, kPaperPixel);
        SurfaceDC dc(surface);
        image->DrawImage(&dc, {0, 0, 8, 8}, source, {3, 1, 3, 1}, key, kStretch, FALSE);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(kPaper, surface.ColorAt(x, y)) << x << "," << y;
    }
}

TEST(SkinImageDrawing, SolidBandsStayInsideTheirFrames)
{
    // Two 4 x 4 frames. Columns 1-3 share one colour over rows 0-5, so a top margin of 6
    // would reach from the first frame into the second.
    const DWORD edge = PixelOf(RGB(1, 1, 1)), shared = PixelOf(RGB(2, 2, 2)), low = PixelOf(RGB(3, 3, 3));
    std::vector<DWORD> pixels;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x)
            pixels.push_back(x == 0 ? edge : (y < 6 ? shared : low));
    std::unique_ptr<CHLMSkinImage> image = Image(4, 8, pixels, FALSE);
    image->CreateSolidRectArray(2, FALSE, {1, 6, 0, 0});
    const CArray<CHLMSkinImage::SOLIDRECT, CHLMSkinImage::SOLIDRECT&>& solids = image->GetSolidRects();
    ASSERT_EQ(1, solids.GetSize());
    const RECT topBand = {1, 0, 4, 4};
    EXPECT_TRUE(EqualRect(&topBand, &solids[0].rc));
    EXPECT_EQ(RGB(2, 2, 2), solids[0].clr);

    // A horizontal strip of frames is never analysed.
    std::unique_ptr<CHLMSkinImage> wide = Image(4, 8, pixels, FALSE);
    wide->CreateSolidRectArray(2, TRUE, {0, 0, 0, 0});
    EXPECT_EQ(0, wide->GetSolidRects().GetSize());
}

TEST(SkinImageDrawing, TheKeyColourLetsTheBackgroundThrough)
{
    const COLORREF border = RGB(0, 120, 0);
    std::unique_ptr<CHLMSkinImage> image = KeyedSquare(border);
    TestSurface surface(8, 8, kPaperPixel);
    SurfaceDC dc(surface);
    image->DrawImage(&dc, {0, 0, 8, 8}, {0, 0, 4, 4}, {1, 1, 1, 1}, kMagenta, kStretch, FALSE);
    ExpectProbes(surface, {{0, 0, border}, {7, 7, border}, {0, 4, border}, {4, 4, kPaper}, {1, 1, kPaper}}, "keyed");

    // A solid centre of the key colour is not drawn at all.
    image->CreateSolidRectArray(1, FALSE, {1, 1, 1, 1});
    TestSurface centre(8, 8, kPaperPixel);
    SurfaceDC centreDC(centre);
    image->DrawImage(&centreDC, {0, 0, 8, 8}, {1, 1, 3, 3}, {0, 0, 0, 0}, kMagenta, kStretch, FALSE);
    ExpectProbes(centre, {{0, 0, kPaper}, {4, 4, kPaper}}, "keyed centre");
}

TEST(SkinImageDrawing, AlphaFramesAreSkippedFilledOrBlendedByTheirAlpha)
{
    // Three premultiplied 2 x 2 frames: clear, opaque red, white at half alpha.
    const DWORD frames[3] = {0, Bgra(0, 0, 255, 255), Bgra(128, 128, 128, 128)};
    std::vector<DWORD> pixels;
    for (DWORD frame : frames)
        pixels.insert(pixels.end(), 4, frame);
    const COLORREF paper = RGB(0, 0, 200);
    for (bool solidFills : {false, true})
    {
        std::unique_ptr<CHLMSkinImage> image = Image(2, 6, pixels, TRUE);
        if (solidFills)
        {
            image->CreateSolidRectArray(3, FALSE, {0, 0, 0, 0});
            EXPECT_EQ(3, image->GetSolidRects().GetSize());
        }
        TestSurface surface(6, 2, PixelOf(paper));
        SurfaceDC dc(surface);
        for (int frame = 0; frame < 3; ++frame)
            image->DrawImage(&dc, {2 * frame, 0, 2 * frame + 2, 2}, {0, 2 * frame, 2, 2 * frame + 2}, {0, 0, 0, 0},
                             kNone, kStretch, FALSE);
        EXPECT_EQ(paper, surface.ColorAt(1, 1)) << solidFills;
        EXPECT_EQ(RGB(255, 0, 0), surface.ColorAt(3, 1)) << solidFills;
        // 128 + 200 x (255 - 128) / 255, rounded either way.
        const COLORREF blended = surface.ColorAt(5, 1);
        EXPECT_EQ(128, GetRValue(blended)) << solidFills;
        EXPECT_NEAR(228, GetBValue(blended), 1) << solidFills;
    }
}

TEST(SkinImageDrawing, ThirtyTwoBitImagesWithoutPartialAlphaLoadAndDrawOpaque)
{
    const COLORREF color = RGB(30, 60, 90);
    auto resource = [&](BYTE alpha) { return BmpResourceBytes(2, 2, 32, std::vector<DWORD>(4, PixelOf(color, alpha))); };
    TestResourceModule module(L"skinimagealpha",
                              {{RT_BITMAP, L"OPAQUE", resource(255)}, {RT_BITMAP, L"CLEAR", resource(0)},
                               {RT_BITMAP, L"HALF", resource(128)}});
    ASSERT_NE(nullptr, module.module());
    const struct
    {
        const wchar_t* name;
        BOOL alpha;
    } cases[] = {{L"OPAQUE", FALSE}, {L"CLEAR", FALSE}, {L"HALF", TRUE}};
    for (const auto& c : cases)
    {
        CHLMSkinImage image;
        ASSERT_TRUE(image.LoadResource(module.module(), c.name)) << c.name;
        EXPECT_EQ(c.alpha, image.IsAlphaImage()) << c.name;
        if (c.alpha)
            continue;
        TestSurface surface(2, 2, kPaperPixel);
        SurfaceDC dc(surface);
        image.DrawImage(&dc, {0, 0, 2, 2}, {0, 0, 2, 2}, {0, 0, 0, 0}, kNone, kStretch, FALSE);
        EXPECT_EQ(color, surface.ColorAt(1, 1)) << c.name;
    }
    CHLMSkinImage image;
    EXPECT_FALSE(image.LoadResource(nullptr, L"OPAQUE"));
    EXPECT_FALSE(image.LoadResource(module.module(), L"MISSING"));
}

TEST(SkinImageDrawing, AlphaImagesFlipForMirroredDestinationsAndBack)
{
    const COLORREF left = RGB(255, 0, 0), right = RGB(0, 255, 0);
    std::unique_ptr<CHLMSkinImage> image = Image(2, 1, {PixelOf(left, 255), PixelOf(right, 255)}, TRUE);
    TestSurface mirrored(2, 1, kPaperPixel);
    SetLayout(mirrored.dc(), LAYOUT_RTL);
    SurfaceDC mirroredDC(mirrored);
    image->DrawImage(&mirroredDC, {0, 0, 2, 1}, {0, 0, 2, 1}, {0, 0, 0, 0}, kNone, kStretch, FALSE);
    EXPECT_TRUE(image->IsMirrored());

    TestSurface plain(2, 1, kPaperPixel);
    SurfaceDC plainDC(plain);
    image->DrawImage(&plainDC, {0, 0, 2, 1}, {0, 0, 2, 1}, {0, 0, 0, 0}, kNone, kStretch, FALSE);
    EXPECT_FALSE(image->IsMirrored());
    ExpectProbes(plain, {{0, 0, left}, {1, 0, right}}, "flipped back");

    // Not allowed to flip: the bitmap stays as it is.
    image->SetMirrorAllowed(FALSE);
    image->DrawImage(&mirroredDC, {0, 0, 2, 1}, {0, 0, 2, 1}, {0, 0, 0, 0}, kNone, kStretch, FALSE);
    EXPECT_FALSE(image->IsMirrored());
}

TEST(SkinImageDrawing, ColourFiltersAreBakedInAtTheFirstDrawSparingTheKeyColour)
{
    const COLORREF border = RGB(0, 120, 0);
    std::unique_ptr<CHLMSkinImage> image = KeyedSquare(border);
    CHLMSkinManager* manager = GetSkinManager();
    manager->AddColorFilter(new InvertFilter());
    TestSurface first(4, 4, kPaperPixel);
    SurfaceDC firstDC(first);
    image->DrawImage(&firstDC, {0, 0, 4, 4}, {0, 0, 4, 4}, {0, 0, 0, 0}, kMagenta, kStretch, FALSE);
    manager->RemoveColorFilters();
    EXPECT_TRUE(image->IsFiltered());
    ExpectProbes(first, {{0, 0, RGB(255, 135, 255)}, {1, 1, kPaper}}, "filtered");

    // Filters removed later do not reach an image drawn before.
    TestSurface second(4, 4, kPaperPixel);
    SurfaceDC secondDC(second);
    image->DrawImage(&secondDC, {0, 0, 4, 4}, {0, 0, 4, 4}, {0, 0, 0, 0}, kMagenta, kStretch, FALSE);
    ExpectProbes(second, {{0, 0, RGB(255, 135, 255)}, {1, 1, kPaper}}, "baked in");
}
