// CDC and the GDI wrappers, checked by reading pixels back from a memory DC, and the life of
// temporary wrappers and of the handles that objects own.
#include <gtest/gtest.h>

#include "afxwin.h"

#include <string>
#include <typeinfo>

namespace
{
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

// A 16x16 true-colour surface, white, selected into a memory DC that the CDC owns.
class MemoryDcTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kSide;
        info.bmiHeader.biHeight = -kSide;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        ASSERT_TRUE(surface.Attach(
            CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
        oldBitmap = dc.SelectObject(&surface);
        Clear();
    }
    void TearDown() override { dc.SelectObject(oldBitmap); }

    void Clear() { dc.FillSolidRect(0, 0, kSide, kSide, kWhite); }

    // The top-left corner row by row: '#' where the pixel has the colour, '.' elsewhere.
    std::string Picture(COLORREF colour, int side = 6)
    {
        std::string rows;
        for (int y = 0; y < side; ++y)
        {
            for (int x = 0; x < side; ++x)
                rows += dc.GetPixel(x, y) == colour ? '#' : '.';
            rows += '|';
        }
        return rows;
    }

    static const int kSide = 16;
    CDC dc;
    CBitmap surface;
    CBitmap* oldBitmap = nullptr;
};
}

TEST_F(MemoryDcTest, FillSolidRectFillsWhatTheExtentsSpanAndLeavesTheBackgroundColour)
{
    struct Case
    {
        int x, y, cx, cy;
        const char* picture;
    };
    const Case cases[] = {
        {1, 1, 3, 2, "......|.###..|.###..|......|......|......|"},
        {4, 3, -3, -2, "......|.###..|.###..|......|......|......|"},  // inverted extents
        {5, 0, -1, 6, "....#.|....#.|....#.|....#.|....#.|....#.|"},
        {2, 2, 0, 3, "......|......|......|......|......|......|"},
    };
    for (const Case& c : cases)
    {
        Clear();
        dc.SetBkColor(kBlue);
        dc.FillSolidRect(c.x, c.y, c.cx, c.cy, kRed);
        EXPECT_EQ(c.picture, Picture(kRed)) << c.x << "," << c.y << " " << c.cx << "x" << c.cy;
        EXPECT_EQ(kRed, dc.GetBkColor());
    }
}

TEST_F(MemoryDcTest, Draw3dRectGivesTheSharedCornersToTheBottomRightColour)
{
    const CRect frame(0, 0, 5, 4);
    dc.Draw3dRect(frame, kRed, kBlue);
    EXPECT_EQ("####..|#.....|#.....|......|......|......|", Picture(kRed));
    EXPECT_EQ("....#.|....#.|....#.|#####.|......|......|", Picture(kBlue));
}

TEST_F(MemoryDcTest, BrushesPensAndTheHalftoneBrushPaint)
{
    CBrush red(kRed);
    dc.FillRect(CRect(0, 0, 2, 2), &red);
    CPen blue(PS_SOLID, 1, kBlue);
    CPen* oldPen = dc.SelectObject(&blue);
    dc.MoveTo(0, 4);
    dc.LineTo(6, 4);
    dc.SelectObject(oldPen);
    EXPECT_EQ("##....|##....|......|......|......|......|", Picture(kRed));
    EXPECT_EQ("......|......|......|......|######|......|", Picture(kBlue));

    // The checkerboard draws the text colour and the background colour in turn.
    Clear();
    dc.SetTextColor(kRed);
    dc.SetBkColor(kBlue);
    dc.FillRect(CRect(0, 0, 4, 4), CDC::GetHalftoneBrush());
    const std::string reds = Picture(kRed, 4);
    const std::string blues = Picture(kBlue, 4);
    EXPECT_TRUE(reds == "#.#.|.#.#|#.#.|.#.#|" || reds == ".#.#|#.#.|.#.#|#.#.|") << reds;
    for (size_t i = 0; i < reds.size(); ++i)
        EXPECT_EQ(reds[i] == '#', blues[i] != '#' && blues[i] != '|') << reds << " " << blues;
    EXPECT_EQ(CDC::GetHalftoneBrush(), CDC::GetHalftoneBrush());
}

TEST_F(MemoryDcTest, TypedSelectObjectReturnsTheEarlierObjectAsATemporaryOfItsKind)
{
    CFont font;
    LOGFONT logFont = {};
    logFont.lfHeight = -11;
    lstrcpyW(logFont.lfFaceName, L"Tahoma");
    ASSERT_TRUE(font.CreateFontIndirect(&logFont));

    HGDIOBJ systemFont = GetCurrentObject(dc, OBJ_FONT);
    CFont* previous = dc.SelectObject(&font);
    ASSERT_NE(nullptr, previous);
    EXPECT_EQ(systemFont, previous->m_hObject);
    EXPECT_EQ(typeid(CFont), typeid(*previous));
    EXPECT_EQ(previous, CGdiObject::FromHandle(systemFont));

    CFont* ours = dc.SelectObject(previous);
    EXPECT_EQ(font.m_hObject, ours->m_hObject);
    EXPECT_NE(&font, ours);
    EXPECT_EQ(CFont::FromHandle(font), ours);
}

TEST(GdiTemporaries, TheWrapperFitsTheKindOfHandleEvenWhenAHandleChangesKind)
{
    CBrush brush(kRed);
    CRgn region;
    region.CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(typeid(CBrush), typeid(*CGdiObject::FromHandle(brush)));
    EXPECT_EQ(typeid(CRgn), typeid(*CGdiObject::FromHandle(region)));
    EXPECT_EQ(nullptr, CGdiObject::FromHandle(nullptr));

    // Once the handle names no brush, the old wrapper is retired and a plain one stands in.
    HGDIOBJ handle = brush.m_hObject;
    CGdiObject* wrapper = CGdiObject::FromHandle(handle);
    brush.DeleteObject();
    CGdiObject* after = CGdiObject::FromHandle(handle);
    EXPECT_EQ(typeid(CGdiObject), typeid(*after));
    EXPECT_EQ(typeid(CBrush), typeid(*wrapper));  // still alive until idle time
    AfxGetThreadState()->ReleaseTemporaryObjects();
}

TEST(GdiTemporaries, IdleTimeDeletesTheWrappersButNotTheirHandles)
{
    AfxGetThreadState()->ReleaseTemporaryObjects();
    HDC memory = CreateCompatibleDC(nullptr);
    CDC* wrapper = CDC::FromHandle(memory);
    EXPECT_EQ(wrapper, CDC::FromHandle(memory));
    EXPECT_EQ(memory, wrapper->GetSafeHdc());
    EXPECT_EQ(nullptr, CDC::FromHandle(nullptr));
    CPen pen(PS_SOLID, 1, kRed);
    CPen* penWrapper = CPen::FromHandle(pen);
    EXPECT_NE(&pen, penWrapper);
    EXPECT_EQ(pen.m_hObject, penWrapper->m_hObject);

    _AFX_THREAD_STATE* state = AfxGetThreadState();
    EXPECT_EQ(1, state->m_tempDCs.GetCount());
    state->ReleaseTemporaryObjects();
    EXPECT_EQ(0, state->m_tempDCs.GetCount());
    EXPECT_EQ(0, state->m_tempGdiObjects.GetCount());
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(memory));
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(pen));
    DeleteDC(memory);
}

TEST(GdiOwnership, DestructorsDeleteWhatIsHeldAndDetachHandsItOver)
{
    HGDIOBJ kept = nullptr;
    HGDIOBJ deleted = nullptr;
    HDC keptDC = nullptr;
    HDC deletedDC = nullptr;
    {
        CBrush held(kRed);
        CBrush handedOver(kBlue);
        deleted = held.m_hObject;
        kept = handedOver.Detach();
        CDC heldDC;
        CDC handedOverDC;
        heldDC.CreateCompatibleDC(nullptr);
        handedOverDC.CreateCompatibleDC(nullptr);
        deletedDC = heldDC;
        keptDC = handedOverDC.Detach();
    }
    EXPECT_EQ(0u, GetObjectType(deleted));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(kept));
    EXPECT_EQ(0u, GetObjectType(deletedDC));
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(keptDC));
    DeleteObject(kept);
    DeleteDC(keptDC);

    CPen empty;
    EXPECT_EQ(nullptr, empty.GetSafeHandle());
    EXPECT_FALSE(empty.DeleteObject());
    // As in MFC, the safe accessors answer NULL for a missing object.
    CGdiObject* noObject = CGdiObject::FromHandle(nullptr);
    CDC* noDC = CDC::FromHandle(nullptr);
    EXPECT_EQ(nullptr, noObject->GetSafeHandle());
    EXPECT_EQ(nullptr, noDC->GetSafeHdc());
}

TEST(GdiRegions, CombineCopyAndOffset)
{
    CRgn left, right, both, copy;
    left.CreateRectRgn(0, 0, 4, 4);
    right.CreateRectRgn(2, 0, 6, 4);
    both.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(SIMPLEREGION, both.CombineRgn(&left, &right, RGN_OR));
    copy.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(SIMPLEREGION, copy.CopyRgn(&both));
    EXPECT_TRUE(copy.EqualRgn(&both));
    EXPECT_EQ(SIMPLEREGION, both.CombineRgn(&both, &right, RGN_DIFF));
    copy.OffsetRgn(10, 1);

    struct Case
    {
        const CRgn* region;
        int x, y;
        bool inside;
    };
    const Case cases[] = {
        {&both, 0, 0, true},   {&both, 1, 3, true},   {&both, 2, 0, false},
        {&copy, 10, 1, true},  {&copy, 15, 4, true},  {&copy, 16, 1, false},
        {&copy, 12, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.inside, c.region->PtInRegion(c.x, c.y) != FALSE) << c.x << "," << c.y;
    CRect box;
    EXPECT_EQ(SIMPLEREGION, copy.GetRgnBox(box));
    EXPECT_EQ(CRect(10, 1, 16, 5), box);
}

TEST(GdiUnits, HimetricToLogicalUsesTheLogicalInchInTextModeAndTheMetricModesOtherwise)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CSize inch(2540, 5080);
    dc.HIMETRICtoLP(&inch);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), inch.cx);
    EXPECT_EQ(2 * dc.GetDeviceCaps(LOGPIXELSY), inch.cy);

    dc.SetMapMode(MM_LOMETRIC);  // 0.1 mm per unit: 2540 HIMETRIC is 254 units
    CSize tenthMillimetres(2540, 100);
    dc.HIMETRICtoLP(&tenthMillimetres);
    EXPECT_NEAR(254, tenthMillimetres.cx, 1);
    EXPECT_NEAR(10, tenthMillimetres.cy, 1);
    EXPECT_EQ(MM_LOMETRIC, dc.GetMapMode());
}
