#include "hlmskinmanager.h"
#include "pixels.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
const DWORD kPaperPixel = Bgra(3, 2, 1, 0);
const COLORREF kPaper = RGB(1, 2, 3);

COLORREF StripColor(int frame)
{
    return RGB(0, 40 * frame, 100);
}
const COLORREF kSquare = RGB(200, 0, 0), kPlain = RGB(0, 0, 90), kGlyph4 = RGB(44, 0, 0), kGlyph6 = RGB(66, 0, 0),
               kGlyph8 = RGB(88, 0, 0), kBorder = RGB(0, 150, 0), kGridEdge = RGB(30, 30, 30),
               kGridCentre = RGB(60, 60, 60);

DWORD PixelOf(COLORREF color)
{
    return Bgra(GetBValue(color), GetGValue(color), GetRValue(color), 0);
}

std::vector<DWORD> Solid(int width, int height, COLORREF color)
{
    return std::vector<DWORD>(static_cast<size_t>(width) * height, PixelOf(color));
}

// A square of `edge` with its inner part (inside a band of `band` pixels) in `inner`.
std::vector<DWORD> Framed(int size, int band, COLORREF edge, COLORREF inner)
{
    std::vector<DWORD> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const bool inside = x >= band && y >= band && x < size - band && y < size - band;
            pixels.push_back(PixelOf(inside ? inner : edge));
        }
    return pixels;
}

class SurfaceDC : public CDC
{
public:
    explicit SurfaceDC(TestSurface& surface) { Attach(surface.dc()); }
    ~SurfaceDC() override { Detach(); }
};

// One skin with a part for each way of drawing a background.
class SchemaBackgroundTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CTestFolderSkin skin(L"backgrounds", {
            "[Trackbar.Thumb]", "ImageFile = strip.bmp", "ImageCount = 4",
            "[Trackbar.Track]", "BgType = None", "ImageFile = strip.bmp",
            "[Trackbar.TrackVert]", "BgType = Nothing", "ImageFile = strip.bmp",
            "[Trackbar.ThumbBottom]", "ImageFile = square.bmp", "SizingType = TrueSize", "TrueSizeStretchMark = 1",
            "[Trackbar.ThumbTop]", "ImageFile = square.bmp", "SizingType = TrueSize", "VAlign = Bottom",
            "[Edit.EditText]", "BgType = BorderFill", "BorderColor = 0 150 0", "FillColor = 0 0 90",
            "BorderSize = 2",
            "[Edit.Caret]", "BgType = BorderFill", "BorderSize = 0", "BorderColor = 0 150 0", "FillColor = 0 0 90",
            "[Edit]", "BgType = BorderFill", "FillColor = 200 0 0",
            "[Button.GroupBox]", "ImageFile = grid.bmp", "SizingMargins = 2, 2, 2, 2", "BorderOnly = TRUE",
            "[Window.FrameLeft]", "ImageFile = grid.bmp", "SizingMargins = 2, 2, 2, 2", "BorderOnly = TRUE",
            "[Button.PushButton]", "ImageFile = plain.bmp", "GlyphType = ImageGlyph", "ImageSelectType = Size",
            "ImageFile1 = glyph4.bmp", "ImageFile2 = glyph6.bmp", "ImageFile3 = glyph8.bmp",
            "ContentMargins = 1, 1, 1, 1",
            "[Button.RadioButton]", "ImageSelectType = Size", "ImageFile = plain.bmp",
            "[Button.CheckBox]", "ImageFile = plain.bmp", "GlyphType = ImageGlyph", "ImageSelectType = Size",
            "ImageFile1 = glyph4.bmp", "ImageFile3 = nosuch.bmp",
            "[Button.UserButton]", "ImageFile = plain.bmp", "GlyphType = ImageGlyph",
            "GlyphImageFile = keyed.bmp", "GlyphTransparent = TRUE",
            "[Header.HeaderItem]", "ImageFile = keyed.bmp", "Transparent = TRUE",
            "[Header.HeaderItemLeft]", "ImageFile = nosuch.bmp",
        });
        std::vector<DWORD> strip;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 32; ++x)
                strip.push_back(PixelOf(StripColor(x / 8 + 1)));
        skin.AddImage(L"strip.bmp", 32, 8, strip);
        skin.AddImage(L"square.bmp", 16, 16, Solid(16, 16, kSquare));
        skin.AddImage(L"plain.bmp", 4, 4, Solid(4, 4, kPlain));
        skin.AddImage(L"glyph4.bmp", 4, 4, Solid(4, 4, kGlyph4));
        skin.AddImage(L"glyph6.bmp", 6, 6, Solid(6, 6, kGlyph6));
        skin.AddImage(L"glyph8.bmp", 8, 8, Solid(8, 8, kGlyph8));
        skin.AddImage(L"grid.bmp", 6, 6, Framed(6, 2, kGridEdge, kGridCentre));
        skin.AddImage(L"keyed.bmp", 4, 4, Framed(4, 1, kBorder, RGB(255, 0, 255)));
        UseProcessSkin(skin.path(), L"skin.ini");
    }
    static void TearDownTestSuite() { CleanSkinManager(); }

    struct Probe
    {
        int x, y;
        COLORREF color;
    };

    // Draws a part into a rectangle of a fresh surface and checks the result and pixels.
    void ExpectDrawn(const wchar_t* className, int part, int state, RECT rect, BOOL result,
                     const std::vector<Probe>& probes)
    {
        TestSurface surface(rect.right + 2, rect.bottom + 2, kPaperPixel);
        SurfaceDC dc(surface);
        CHLMSkinManagerClass* skinClass = GetSkinManager()->GetSkinClass(className);
        ASSERT_NE(nullptr, skinClass);
        EXPECT_EQ(result, skinClass->DrawThemeBackground(&dc, part, state, &rect)) << part << "/" << state;
        for (const Probe& p : probes)
            EXPECT_EQ(p.color, surface.ColorAt(p.x, p.y)) << className << " " << part << "/" << state << " at "
                                                          << p.x << "," << p.y;
    }
};

const int THUMB = 3, TRACK = 1, TRACKVERT = 2, THUMBBOTTOM = 4, THUMBTOP = 5;
const int EDITTEXT = 1, CARET = 2;
const int PUSHBUTTON = 1, RADIOBUTTON = 2, CHECKBOX = 3, GROUPBOX = 4, USERBUTTON = 5;
const int FRAMELEFT = 7;
const int HEADERITEM = 1, HEADERITEMLEFT = 2, HEADERITEMRIGHT = 3;
}

TEST_F(SchemaBackgroundTest, StatesPickFramesOfAStripLaidOutSideBySideByDefault)
{
    const RECT rect = {0, 0, 8, 8};
    for (int state : {1, 2, 3, 4})
        ExpectDrawn(L"TRACKBAR", THUMB, state, rect, TRUE, {{0, 0, StripColor(state)}, {7, 7, StripColor(state)}});
    // No state, or one beyond the strip: the first frame.
    for (int state : {0, 5})
        ExpectDrawn(L"TRACKBAR", THUMB, state, rect, TRUE, {{3, 3, StripColor(1)}});
}

TEST_F(SchemaBackgroundTest, BackgroundTypesOtherThanImageOrBorderFillDrawNothing)
{
    ExpectDrawn(L"TRACKBAR", TRACK, 1, {0, 0, 8, 8}, TRUE, {{3, 3, kPaper}});
    ExpectDrawn(L"TRACKBAR", TRACKVERT, 1, {0, 0, 8, 8}, TRUE, {{3, 3, kPaper}});
}

TEST_F(SchemaBackgroundTest, TrueSizeImagesAreCentredShrunkOrBottomAligned)
{
    // 16 x 16 in 10 x 40, allowed to shrink: 10 x 16 at the left edge, centred vertically.
    ExpectDrawn(L"TRACKBAR", THUMBBOTTOM, 1, {0, 0, 10, 40}, TRUE,
                {{0, 12, kSquare}, {9, 27, kSquare}, {0, 11, kPaper}, {0, 28, kPaper}, {10, 20, kPaper}});
    // Aligned to the bottom, centred across.
    ExpectDrawn(L"TRACKBAR", THUMBTOP, 1, {0, 0, 20, 20}, TRUE,
                {{2, 4, kSquare}, {17, 19, kSquare}, {1, 10, kPaper}, {2, 3, kPaper}, {18, 10, kPaper}});
}

TEST_F(SchemaBackgroundTest, BorderFillsDrawTheirBorderAndFill)
{
    ExpectDrawn(L"EDIT", EDITTEXT, 1, {0, 0, 10, 10}, TRUE,
                {{0, 0, kBorder}, {1, 5, kBorder}, {8, 9, kBorder}, {2, 2, RGB(0, 0, 90)}, {7, 7, RGB(0, 0, 90)},
                 {10, 10, kPaper}});
    // No border width: only the fill, over the whole rectangle.
    ExpectDrawn(L"EDIT", CARET, 1, {0, 0, 10, 10}, TRUE, {{0, 0, RGB(0, 0, 90)}, {9, 9, RGB(0, 0, 90)}});
    // No border colour: the fill alone.
    ExpectDrawn(L"EDIT", 3, 1, {0, 0, 10, 10}, TRUE, {{0, 0, RGB(200, 0, 0)}, {5, 5, RGB(200, 0, 0)}});
}

TEST_F(SchemaBackgroundTest, BorderOnlyLeavesTheCentreExceptOnWindowFrames)
{
    ExpectDrawn(L"BUTTON", GROUPBOX, 1, {0, 0, 12, 12}, TRUE, {{0, 0, kGridEdge}, {6, 6, kPaper}});
    ExpectDrawn(L"WINDOW", FRAMELEFT, 1, {0, 0, 12, 12}, TRUE, {{0, 0, kGridEdge}, {6, 6, kGridCentre}});
}

TEST_F(SchemaBackgroundTest, GlyphsAreChosenBySizeAndCentredInTheContent)
{
    // 9 x 9 leaves 7 x 7 of content: the 6 x 6 glyph is the largest that fits.
    ExpectDrawn(L"BUTTON", PUSHBUTTON, 1, {0, 0, 9, 9}, TRUE,
                {{0, 0, kPlain}, {1, 1, kGlyph6}, {6, 6, kGlyph6}, {7, 7, kPlain}});
    // Nothing fits 4 x 4 of content but the first numbered glyph.
    ExpectDrawn(L"BUTTON", PUSHBUTTON, 1, {0, 0, 6, 6}, TRUE, {{0, 0, kPlain}, {1, 1, kGlyph4}, {4, 4, kGlyph4}});
    // A named glyph that cannot be loaded: no glyph at any size, the background stays.
    ExpectDrawn(L"BUTTON", CHECKBOX, 1, {0, 0, 20, 20}, TRUE, {{10, 10, kPlain}});
    // Chosen by size without a glyph and with only the plain image: that image.
    ExpectDrawn(L"BUTTON", RADIOBUTTON, 1, {0, 0, 8, 8}, TRUE, {{4, 4, kPlain}});
    // A keyed glyph lets the background through its key colour.
    ExpectDrawn(L"BUTTON", USERBUTTON, 1, {0, 0, 8, 8}, TRUE, {{2, 2, kBorder}, {3, 3, kPlain}, {0, 0, kPlain}});
}

TEST_F(SchemaBackgroundTest, KeyedImagesAndMissingImages)
{
    ExpectDrawn(L"HEADER", HEADERITEM, 1, {0, 0, 8, 8}, TRUE, {{0, 0, kBorder}, {4, 4, kPaper}});
    ExpectDrawn(L"HEADER", HEADERITEMLEFT, 1, {0, 0, 8, 8}, FALSE, {{4, 4, kPaper}});
    ExpectDrawn(L"HEADER", HEADERITEMRIGHT, 1, {0, 0, 8, 8}, FALSE, {{4, 4, kPaper}});
}
