#include "hlmskindrawtools.h"
#include "hlmskinmanager.h"
#include "pixels.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
const COLORREF kFace = RGB(10, 20, 30), kShadow = RGB(40, 0, 0), kHilight = RGB(0, 50, 0),
               kDkShadow = RGB(0, 0, 60), kLight = RGB(70, 70, 0), kWindow = RGB(0, 80, 80),
               kFrame = RGB(90, 0, 90);
const COLORREF kPaper = RGB(1, 2, 3);  // what the surface holds before drawing
const DWORD kPaperPixel = Bgra(3, 2, 1, 0);

// Arrow frame k (from 1) of the skin below; the size box's first frame.
COLORREF ArrowColor(int frame)
{
    return RGB(200, 100, 10 * frame);
}
const COLORREF kSizeBox = RGB(5, 6, 7);

// Every 3-D colour distinct; 16 arrow frames and a 4 x 4 size box drawn at its true size.
class DrawToolsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CTestFolderSkin skin(L"drawtools",
                             {"[SysMetrics]", "BtnFace = 10 20 30", "BtnShadow = 40 0 0", "BtnHighlight = 0 50 0",
                              "DkShadow3d = 0 0 60", "Light3d = 70 70 0", "Window = 0 80 80",
                              "WindowFrame = 90 0 90", "[Scrollbar.ArrowBtn]", "ImageFile = arrows.bmp",
                              "ImageCount = 16", "ImageLayout = Vertical", "[Scrollbar.SizeBox]",
                              "ImageFile = sizebox.bmp", "ImageCount = 2", "ImageLayout = Vertical",
                              "SizingType = TrueSize"});
        std::vector<DWORD> arrows;
        for (int frame = 1; frame <= 16; ++frame)
            arrows.push_back(Bgra(static_cast<BYTE>(10 * frame), 100, 200, 0));
        skin.AddImage(L"arrows.bmp", 4, 4 * 16, SolidFrames(4, 4, arrows));
        skin.AddImage(L"sizebox.bmp", 4, 8, SolidFrames(4, 4, {Bgra(7, 6, 5, 0), Bgra(9, 9, 9, 0)}));
        UseProcessSkin(skin.path(), L"skin.ini");
    }
    static void TearDownTestSuite() { CleanSkinManager(); }
};

// Colours of one drawn edge on a 10 x 10 surface.
struct EdgeCase
{
    const char* name;
    UINT edge, flags;
    BOOL result;
    COLORREF outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight, middle;
    RECT adjusted;
};
}

TEST_F(DrawToolsTest, EdgesPaintSkinColoursRingByRingFromTheOutsideIn)
{
    const RECT whole = {0, 0, 10, 10}, inner = {2, 2, 8, 8};
    const EdgeCase cases[] = {
        {"sunken", EDGE_SUNKEN, BF_RECT, TRUE, kShadow, kHilight, kDkShadow, kLight, kPaper, whole},
        {"raised soft", EDGE_RAISED, BF_RECT | BF_SOFT, TRUE, kHilight, kDkShadow, kLight, kShadow, kPaper, whole},
        {"etched, middle, adjust", EDGE_ETCHED, BF_RECT | BF_MIDDLE | BF_ADJUST, TRUE, kShadow, kHilight, kHilight,
         kShadow, kFace, inner},
        {"flat", EDGE_BUMP, BF_RECT | BF_FLAT, TRUE, kShadow, kShadow, kFace, kFace, kPaper, whole},
        {"mono", EDGE_SUNKEN, BF_RECT | BF_MONO | BF_MIDDLE, TRUE, kFrame, kFrame, kWindow, kWindow, kWindow, whole},
        {"raised and sunken", BDR_RAISEDOUTER | BDR_SUNKENOUTER, BF_RECT, FALSE, kPaper, kPaper, kPaper, kPaper,
         kPaper, whole},
        {"left and top only", EDGE_RAISED, BF_LEFT | BF_TOP, TRUE, kLight, kPaper, kHilight, kPaper, kPaper, whole},
    };
    for (const EdgeCase& c : cases)
    {
        TestSurface surface(10, 10, kPaperPixel);
        RECT rect = whole;
        EXPECT_EQ(c.result, HLMSkinDrawEdge(surface.dc(), &rect, c.edge, c.flags)) << c.name;
        // Outer ring on the rectangle's edge, inner ring one pixel in.
        EXPECT_EQ(c.outerTopLeft, surface.ColorAt(0, 5)) << c.name;
        EXPECT_EQ(c.outerTopLeft, surface.ColorAt(5, 0)) << c.name;
        EXPECT_EQ(c.outerBottomRight, surface.ColorAt(9, 5)) << c.name;
        EXPECT_EQ(c.outerBottomRight, surface.ColorAt(5, 9)) << c.name;
        EXPECT_EQ(c.innerTopLeft, surface.ColorAt(1, 5)) << c.name;
        EXPECT_EQ(c.innerTopLeft, surface.ColorAt(5, 1)) << c.name;
        EXPECT_EQ(c.innerBottomRight, surface.ColorAt(8, 5)) << c.name;
        EXPECT_EQ(c.innerBottomRight, surface.ColorAt(5, 8)) << c.name;
        EXPECT_EQ(c.middle, surface.ColorAt(5, 5)) << c.name;
        EXPECT_TRUE(EqualRect(&c.adjusted, &rect)) << c.name;
    }

    // Right and bottom come first and run the whole length: both far corners are theirs.
    TestSurface surface(10, 10, kPaperPixel);
    RECT rect = whole;
    HLMSkinDrawEdge(surface.dc(), &rect, EDGE_SUNKEN, BF_RECT);
    EXPECT_EQ(kHilight, surface.ColorAt(9, 0));
    EXPECT_EQ(kHilight, surface.ColorAt(0, 9));
    EXPECT_EQ(kShadow, surface.ColorAt(0, 0));
}

TEST_F(DrawToolsTest, DiagonalEdgesStepFromCornerToCorner)
{
    struct DiagonalCase
    {
        UINT flags;
        POINT lit[4];
        COLORREF color;
    };
    // A raised outer edge: top-left 3DLIGHT, bottom-right 3DDKSHADOW.
    const DiagonalCase cases[] = {
        {BF_DIAGONAL_ENDTOPRIGHT, {{0, 3}, {1, 2}, {2, 1}, {3, 0}}, kLight},
        {BF_DIAGONAL_ENDBOTTOMRIGHT, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}, kDkShadow},
    };
    for (const DiagonalCase& c : cases)
    {
        TestSurface surface(4, 4, kPaperPixel);
        RECT rect = {0, 0, 4, 4};
        EXPECT_TRUE(HLMSkinDrawEdge(surface.dc(), &rect, BDR_RAISEDOUTER, c.flags)) << c.flags;
        int lit = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                lit += surface.ColorAt(x, y) != kPaper;
        EXPECT_EQ(4, lit) << c.flags;
        for (const POINT& p : c.lit)
            EXPECT_EQ(c.color, surface.ColorAt(p.x, p.y)) << c.flags << " at " << p.x << "," << p.y;
    }

    // A diagonal edge has no middle to fill.
    TestSurface surface(4, 4, kPaperPixel);
    RECT rect = {0, 0, 4, 4};
    EXPECT_FALSE(HLMSkinDrawEdge(surface.dc(), &rect, BDR_RAISEDOUTER, BF_DIAGONAL_ENDTOPRIGHT | BF_MIDDLE));
    EXPECT_EQ(kPaper, surface.ColorAt(0, 0));
}

TEST_F(DrawToolsTest, DiagonalLinesEndWhateverTheLineWidthAndCount)
{
    CHLMSkinManagerMetrics* metrics = GetSkinManager()->GetMetrics();
    const int cxBorder = metrics->m_cxBorder, cyBorder = metrics->m_cyBorder;
    // No line width yet (metrics of no skin): the staircase still advances a pixel a step.
    metrics->m_cxBorder = metrics->m_cyBorder = 0;
    TestSurface surface(8, 8, kPaperPixel);
    const RECT tall = {0, 0, 4, 8};
    EXPECT_EQ(MAKELONG(1, 2), HLMSkinDrawDiagonalLine(surface.dc(), &tall, 1, 1, BF_DIAGONAL, kFace));
    EXPECT_EQ(kFace, surface.ColorAt(0, 6));
    EXPECT_EQ(kFace, surface.ColorAt(3, 0));
    metrics->m_cxBorder = cxBorder;
    metrics->m_cyBorder = cyBorder;

    // More lines than the rectangle is tall: one row is left, and the steps are too wide
    // to draw anything.
    const RECT wide = {0, 0, 8, 4};
    EXPECT_EQ(MAKELONG(17, 1), HLMSkinDrawDiagonalLine(surface.dc(), &wide, -1, 10, 0, kShadow));
    EXPECT_EQ(kPaper, surface.ColorAt(0, 0));

    const RECT empty = {3, 3, 3, 5};
    EXPECT_EQ(0, HLMSkinDrawDiagonalLine(surface.dc(), &empty, 1, 1, 0, kShadow));
}

TEST_F(DrawToolsTest, FramesFillFourBandsInside)
{
    TestSurface surface(10, 10, kPaperPixel);
    const RECT rect = {1, 1, 9, 9};
    HLMSkinFillFrame(surface.dc(), &rect, 2, kShadow);
    HBRUSH brush = CreateSolidBrush(kLight);
    const RECT inner = {3, 3, 7, 7};
    HLMSkinBrushFrame(surface.dc(), &inner, 1, brush);
    DeleteObject(brush);
    const struct
    {
        int x, y;
        COLORREF color;
    } probes[] = {{0, 0, kPaper}, {1, 1, kShadow}, {2, 5, kShadow}, {8, 8, kShadow}, {7, 1, kShadow},
                  {1, 8, kShadow}, {3, 3, kLight}, {6, 6, kLight}, {6, 3, kLight}, {4, 4, kPaper},
                  {9, 9, kPaper}};
    for (const auto& p : probes)
        EXPECT_EQ(p.color, surface.ColorAt(p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(DrawToolsTest, FrameControlsDrawSkinPartsAndLeaveTheRestToTheSystem)
{
    struct ControlCase
    {
        UINT type, state;
        BOOL drawn;
        COLORREF centre, corner;
    };
    const ControlCase cases[] = {
        {DFC_SCROLL, DFCS_SCROLLSIZEGRIP, TRUE, kSizeBox, kFace},
        {DFC_SCROLL, DFCS_SCROLLUP, TRUE, ArrowColor(1), ArrowColor(1)},
        {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED, TRUE, ArrowColor(7), ArrowColor(7)},
        {DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_HOT, TRUE, ArrowColor(9), ArrowColor(9)},
        {DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_INACTIVE | DFCS_PUSHED, TRUE, ArrowColor(16), ArrowColor(16)},
        {DFC_BUTTON, DFCS_BUTTONPUSH, TRUE, kFace, kLight},
        {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED, TRUE, kFace, kShadow},
        {DFC_BUTTON, DFCS_BUTTONCHECK, FALSE, kPaper, kPaper},
        {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED, FALSE, kPaper, kPaper},
        {DFC_CAPTION, DFCS_CAPTIONCLOSE, FALSE, kPaper, kPaper},
        {DFC_MENU, DFCS_MENUCHECK, FALSE, kPaper, kPaper},
        {DFC_SCROLL, DFCS_SCROLLCOMBOBOX, FALSE, kPaper, kPaper},
    };
    for (const ControlCase& c : cases)
    {
        TestSurface surface(10, 10, kPaperPixel);
        RECT rect = {0, 0, 10, 10};
        EXPECT_EQ(c.drawn, HLMSkinDrawFrameControl(surface.dc(), &rect, c.type, c.state)) << c.type << "/" << c.state;
        EXPECT_EQ(c.centre, surface.ColorAt(5, 5)) << c.type << "/" << c.state;
        EXPECT_EQ(c.corner, surface.ColorAt(0, 0)) << c.type << "/" << c.state;
    }

    // A push button can hand back the face inside its edges.
    TestSurface surface(10, 10, kPaperPixel);
    RECT rect = {0, 0, 10, 10};
    HLMSkinDrawFrameControl(surface.dc(), &rect, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    const RECT face = {2, 2, 8, 8};
    EXPECT_TRUE(EqualRect(&face, &rect));
}

// ---------------------------------------------------------------------------------------

namespace
{
// A packed DIB as an RT_BITMAP resource holds it: header, colour table, bottom-up rows.
std::vector<BYTE> PackedDib(BITMAPINFOHEADER header, const std::vector<RGBQUAD>& colors,
                            const std::vector<BYTE>& bits)
{
    const size_t tableSize = colors.size() * sizeof(RGBQUAD);
    std::vector<BYTE> bytes(sizeof(header) + tableSize + bits.size());
    std::memcpy(bytes.data(), &header, sizeof(header));
    std::memcpy(bytes.data() + sizeof(header), colors.data(), tableSize);
    std::memcpy(bytes.data() + sizeof(header) + tableSize, bits.data(), bits.size());
    return bytes;
}

BITMAPINFOHEADER DibHeader(LONG width, LONG height, WORD bitCount)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    return header;
}

std::vector<BYTE> Truncated(std::vector<BYTE> bytes)
{
    bytes.resize(bytes.size() - 4);
    return bytes;
}

std::vector<BYTE> WithHeader(std::vector<BYTE> bytes, void (*change)(BITMAPINFOHEADER&))
{
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof(header));
    change(header);
    std::memcpy(bytes.data(), &header, sizeof(header));
    return bytes;
}
}

TEST(SkinBitmapResource, LoadsPlainDibsAndRefusesEveryOtherForm)
{
    // 2 x 2 pixels, top row first: red, green / blue, white.
    const std::vector<DWORD> pixels = {Bgra(0, 0, 255, 255), Bgra(0, 255, 0, 255), Bgra(255, 0, 0, 255),
                                       Bgra(255, 255, 255, 255)};
    const std::vector<BYTE> dib32 = BmpResourceBytes(2, 2, 32, pixels);
    const std::vector<BYTE> dib24 = BmpResourceBytes(2, 2, 24, pixels);
    // 8 bits: palette red, green, blue, white; rows bottom-up, each padded to 4 bytes.
    BITMAPINFOHEADER header8 = DibHeader(2, 2, 8);
    header8.biClrUsed = 4;
    const std::vector<BYTE> dib8 = PackedDib(header8,
                                             {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}},
                                             {2, 3, 0, 0, 0, 1, 0, 0});
    const std::vector<TestResource> resources = {
        {RT_BITMAP, L"DIB32", dib32},
        {RT_BITMAP, L"DIB24", dib24},
        {RT_BITMAP, L"DIB8", dib8},
        {RT_BITMAP, L"SHORT32", Truncated(dib32)},
        {RT_BITMAP, L"SHORT8", Truncated(dib8)},
        {RT_BITMAP, L"TOPDOWN", WithHeader(dib32, [](BITMAPINFOHEADER& h) { h.biHeight = -2; })},
        {RT_BITMAP, L"BITFIELDS", WithHeader(dib32, [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; })},
        {RT_BITMAP, L"V4HEADER", WithHeader(dib32, [](BITMAPINFOHEADER& h) { h.biSize = sizeof(BITMAPV4HEADER); })},
        {RT_BITMAP, L"NOWIDTH", WithHeader(dib32, [](BITMAPINFOHEADER& h) { h.biWidth = 0; })},
        // 2^30 x 4 pixels of 4 bytes: 2^34 bytes, which 32-bit arithmetic takes for 0.
        {RT_BITMAP, L"HUGE", WithHeader(dib32, [](BITMAPINFOHEADER& h) {
             h.biWidth = 0x40000000;
             h.biHeight = 4;
         })},
        {RT_BITMAP, L"MANYCOLORS", WithHeader(dib8, [](BITMAPINFOHEADER& h) { h.biClrUsed = 0x40000000; })},
    };
    TestResourceModule module(L"skinbitmaps", resources);
    ASSERT_NE(nullptr, module.module());

    struct LoadCase
    {
        const wchar_t* name;
        bool loads;
        BOOL alpha;
    };
    const LoadCase cases[] = {
        {L"DIB32", true, TRUE},      {L"DIB24", true, FALSE},     {L"DIB8", true, FALSE},
        {L"SHORT32", false, FALSE},  {L"SHORT8", false, FALSE},   {L"TOPDOWN", false, FALSE},
        {L"BITFIELDS", false, FALSE}, {L"V4HEADER", false, FALSE}, {L"NOWIDTH", false, FALSE},
        {L"HUGE", false, FALSE},     {L"MANYCOLORS", false, FALSE}, {L"MISSING", false, FALSE},
    };
    for (const LoadCase& c : cases)
    {
        BOOL alpha = -1;
        HBITMAP bitmap = HLMSkinLoadBitmapResource(module.module(), c.name, &alpha);
        EXPECT_EQ(c.loads, bitmap != nullptr) << c.name;
        if (bitmap == nullptr)
            continue;
        EXPECT_EQ(c.alpha, alpha) << c.name;
        const std::vector<DWORD> read = PixelsOf(bitmap);
        ASSERT_EQ(4u, read.size()) << c.name;
        for (size_t i = 0; i < read.size(); ++i)
            EXPECT_EQ(pixels[i] & 0xFFFFFF, read[i] & 0xFFFFFF) << c.name << " pixel " << i;
        DeleteObject(bitmap);
    }
}
