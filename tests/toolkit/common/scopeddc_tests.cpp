// Off-screen buffers copying back exactly their rectangle, and the scoped selections
// restoring what was there before.
#include <gtest/gtest.h>

#include "common/hlmdrawhelpers.h"
#include "pixels.h"

namespace
{
const DWORD kSentinel = Bgra(1, 2, 3, 0);
const COLORREF kSentinelColor = RGB(3, 2, 1);

SIZE SelectedBitmapSize(HDC dc)
{
    BITMAP info = {};
    GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
}

// Whether exactly the pixels inside `rect` have `inside` and all others the sentinel.
::testing::AssertionResult OnlyRectHas(TestSurface& surface, const RECT& rect, COLORREF inside)
{
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
        {
            const POINT point = {x, y};
            const COLORREF expected = PtInRect(&rect, point) ? inside : kSentinelColor;
            if (surface.ColorAt(x, y) != expected)
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is " << std::hex << surface.ColorAt(x, y);
        }
    return ::testing::AssertionSuccess();
}
}

TEST(CHLMBufferDC, CopiesBackExactlyItsRectangle)
{
    TestSurface target(60, 40, kSentinel);
    const CRect rect(10, 10, 50, 30);
    {
        CHLMBufferDC buffer(target.dc(), rect);
        EXPECT_TRUE(buffer.IsBuffered());
        const SIZE size = SelectedBitmapSize(buffer.GetSafeHdc());
        EXPECT_EQ(50, size.cx);
        EXPECT_EQ(30, size.cy);
        buffer.FillSolidRect(0, 0, 60, 40, RGB(0, 0, 255));  // more than the rectangle
        EXPECT_EQ(kSentinelColor, target.ColorAt(20, 20)) << "nothing arrives before the end";
        EXPECT_EQ(target.dc(), buffer.GetDestDC()->GetSafeHdc());
    }
    EXPECT_TRUE(OnlyRectHas(target, rect, RGB(0, 0, 255)));
}

TEST(CHLMBufferDC, DiscardedBufferLeavesTheDestinationAlone)
{
    TestSurface target(60, 40, kSentinel);
    {
        CHLMBufferDC buffer(target.dc(), CRect(10, 10, 50, 30));
        buffer.FillSolidRect(0, 0, 60, 40, RGB(0, 0, 255));
        buffer.Discard();
        EXPECT_EQ(nullptr, buffer.GetDestDC());
    }
    EXPECT_TRUE(OnlyRectHas(target, CRect(0, 0, 0, 0), 0));
}

TEST(CHLMBufferDC, WithoutABufferDrawsStraightToTheDestination)
{
    TestSurface target(60, 40, kSentinel);
    {
        // No bitmap of this size can be made.
        CHLMBufferDC buffer(target.dc(), CRect(0, 0, 0x7FFFFFF, 0x7FFFFFF));
        EXPECT_FALSE(buffer.IsBuffered());
        buffer.FillSolidRect(5, 5, 2, 2, RGB(0, 255, 0));
        EXPECT_EQ(RGB(0, 255, 0), target.ColorAt(5, 5));
    }
    EXPECT_TRUE(OnlyRectHas(target, CRect(5, 5, 7, 7), RGB(0, 255, 0))) << "and nothing is copied back";
    EXPECT_NE(OBJ_DC, GetObjectType(nullptr));
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(target.dc())) << "the destination is not deleted";
}

namespace
{
SIZE g_paintBufferSize;
RECT g_paintRect;

LRESULT CALLBACK PaintThroughBuffer(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    try
    {
        CPaintDC paint(CWnd::FromHandle(window));
        g_paintRect = paint.m_ps.rcPaint;
        CHLMBufferDC buffer(paint);
        g_paintBufferSize = SelectedBitmapSize(buffer.GetSafeHdc());
        buffer.FillSolidRect(0, 0, 200, 200, RGB(255, 0, 0));  // clipped to the update rectangle
    }
    catch (...)
    {
    }
    return 0;
}

HWND CreatePaintWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PaintThroughBuffer;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QbBufferPaint";
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&windowClass);
    return CreateWindowW(L"QbBufferPaint", L"", WS_POPUP | WS_VISIBLE, 50, 50, 100, 80, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}
}

TEST(CHLMBufferDC, PaintFormBuffersTheUpdateRectangle)
{
    HWND window = CreatePaintWindow();
    ASSERT_TRUE(window);
    UpdateWindow(window);

    // Everything valid and white, then a repaint of one small rectangle.
    ValidateRect(window, nullptr);
    HDC windowDC = GetDC(window);
    const RECT all = {0, 0, 100, 80};
    FillRect(windowDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const RECT update = {10, 5, 30, 25};
    RedrawWindow(window, &update, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(30, g_paintBufferSize.cx);
    EXPECT_EQ(25, g_paintBufferSize.cy);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(windowDC, 10, 5));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(windowDC, 29, 24));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(windowDC, 30, 24)) << "outside the update rectangle";
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(windowDC, 9, 5));
    ReleaseDC(window, windowDC);

    // A paint with an empty update rectangle still gets a 1 by 1 buffer.
    ValidateRect(window, nullptr);
    RedrawWindow(window, nullptr, nullptr, RDW_INTERNALPAINT | RDW_UPDATENOW);
    EXPECT_TRUE(IsRectEmpty(&g_paintRect));
    EXPECT_EQ(std::max<LONG>(g_paintRect.right, 1), g_paintBufferSize.cx);
    EXPECT_EQ(std::max<LONG>(g_paintRect.bottom, 1), g_paintBufferSize.cy);
    DestroyWindow(window);
}

TEST(CHLMBufferDCEx, DrawsAtTheRectanglesCoordinatesIntoABufferOfItsSize)
{
    TestSurface target(160, 230, kSentinel);
    const CRect rect(100, 200, 140, 220);
    {
        CHLMBufferDCEx buffer(target.dc(), rect);
        EXPECT_EQ(40, SelectedBitmapSize(buffer.GetSafeHdc()).cx);
        EXPECT_EQ(20, SelectedBitmapSize(buffer.GetSafeHdc()).cy);
        buffer.FillSolidRect(&rect, RGB(0, 0, 255));
        buffer.SetPixel(100, 200, RGB(0, 255, 0));
        buffer.SetPixel(139, 219, RGB(0, 255, 0));
    }
    EXPECT_EQ(RGB(0, 255, 0), target.ColorAt(100, 200));
    EXPECT_EQ(RGB(0, 255, 0), target.ColorAt(139, 219));
    target.At(100, 200) = Bgra(255, 0, 0, 0);
    target.At(139, 219) = Bgra(255, 0, 0, 0);
    EXPECT_TRUE(OnlyRectHas(target, rect, RGB(0, 0, 255)));
}

TEST(CHLMCompatibleDC, SelectsTheBitmapForItsLifetime)
{
    TestSurface owner(2, 2, Bgra(9, 8, 7, 0));
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    {
        CHLMCompatibleDC dc(nullptr, bitmap);
        EXPECT_EQ(bitmap, GetCurrentObject(dc.GetSafeHdc(), OBJ_BITMAP));
        dc.SetPixel(1, 1, RGB(10, 20, 30));
        EXPECT_EQ(RGB(10, 20, 30), dc.GetPixel(1, 1));
    }
    // Released: the bitmap can be selected elsewhere again.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_NE(nullptr, SelectObject(other, bitmap));
    DeleteDC(other);
    DeleteObject(bitmap);
}

TEST(CHLMBitmapDC, RestoresThePreviousBitmap)
{
    TestSurface surface(2, 2);
    CDC* dc = CDC::FromHandle(surface.dc());
    HBITMAP first = CreateBitmap(1, 1, 1, 32, nullptr), second = CreateBitmap(1, 1, 1, 32, nullptr);
    {
        CHLMBitmapDC selection(dc, first);
        EXPECT_EQ(first, GetCurrentObject(surface.dc(), OBJ_BITMAP));
        CBitmap wrapped;
        wrapped.Attach(second);
        selection.SetBitmap(&wrapped);
        EXPECT_EQ(second, GetCurrentObject(surface.dc(), OBJ_BITMAP));
        wrapped.Detach();
    }
    EXPECT_EQ(surface.bitmap(), GetCurrentObject(surface.dc(), OBJ_BITMAP));
    DeleteObject(first);
    DeleteObject(second);
}

TEST(CHLMFontDC, RestoresTheFontAndColourOfBeforeTheFirstChange)
{
    TestSurface surface(2, 2);
    CDC* dc = CDC::FromHandle(surface.dc());
    const HGDIOBJ originalFont = GetCurrentObject(surface.dc(), OBJ_FONT);
    SetTextColor(surface.dc(), RGB(1, 1, 1));
    CFont first, second;
    first.Attach(GetStockObject(ANSI_VAR_FONT));
    second.Attach(GetStockObject(SYSTEM_FIXED_FONT));
    {
        CHLMFontDC font(dc, &first, RGB(2, 2, 2));
        font.SetFont(&second);
        font.SetColor(RGB(3, 3, 3));
        EXPECT_EQ(second.GetSafeHandle(), GetCurrentObject(surface.dc(), OBJ_FONT));
        EXPECT_EQ(RGB(3, 3, 3), GetTextColor(surface.dc()));
    }
    EXPECT_EQ(originalFont, GetCurrentObject(surface.dc(), OBJ_FONT));
    EXPECT_EQ(RGB(1, 1, 1), GetTextColor(surface.dc()));

    {
        CHLMFontDC nothing(dc, nullptr);  // changes nothing, restores nothing
        SelectObject(surface.dc(), first.GetSafeHandle());
    }
    EXPECT_EQ(first.GetSafeHandle(), GetCurrentObject(surface.dc(), OBJ_FONT));
    SelectObject(surface.dc(), originalFont);
    first.Detach();
    second.Detach();
}

TEST(CHLMPenDC, PenAndBrushAreUndoneAtTheEnd)
{
    TestSurface surface(10, 10, kSentinel);
    const HGDIOBJ originalPen = GetCurrentObject(surface.dc(), OBJ_PEN);
    const HGDIOBJ originalBrush = GetCurrentObject(surface.dc(), OBJ_BRUSH);
    {
        CHLMPenDC pen(surface.dc(), RGB(255, 0, 0));
        CHLMBrushDC brush(surface.dc(), RGB(0, 0, 255));
        EXPECT_EQ(RGB(255, 0, 0), pen.GetColor());
        pen.SetColor(RGB(0, 255, 0));
        brush.SetColor(RGB(255, 255, 0));
        EXPECT_EQ(RGB(0, 255, 0), pen.GetColor());
        Rectangle(surface.dc(), 0, 0, 5, 5);
        EXPECT_EQ(RGB(0, 255, 0), surface.ColorAt(0, 0)) << "one-pixel border in the pen's colour";
        EXPECT_EQ(RGB(255, 255, 0), surface.ColorAt(2, 2)) << "inside in the brush's colour";
        EXPECT_EQ(kSentinelColor, surface.ColorAt(1, 5));
    }
    EXPECT_EQ(originalPen, GetCurrentObject(surface.dc(), OBJ_PEN));
    EXPECT_EQ(originalBrush, GetCurrentObject(surface.dc(), OBJ_BRUSH));

    CPen given(PS_SOLID, 1, RGB(9, 9, 9));
    {
        CHLMPenDC pen(CDC::FromHandle(surface.dc()), &given);
        EXPECT_EQ(given.GetSafeHandle(), GetCurrentObject(surface.dc(), OBJ_PEN));
        EXPECT_EQ(CLR_INVALID, pen.GetColor()) << "a pen handed in is not this object's";
    }
    EXPECT_EQ(originalPen, GetCurrentObject(surface.dc(), OBJ_PEN));
}
