// The DCs of a window under Wine: CPaintDC in a WM_PAINT handler, CClientDC in client and
// CWindowDC in window coordinates, read back pixel by pixel; and the DC wrappers that
// handlers receive.
#include <gtest/gtest.h>

#include "afxwin.h"

namespace
{
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 255, 0);

class PaintedWindow : public CWnd
{
public:
    CRect lastPaintArea;
    CDC* eraseDC = nullptr;
    HDC eraseHandle = nullptr;

protected:
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        lastPaintArea = dc.m_ps.rcPaint;
        dc.FillSolidRect(&dc.m_ps.rcPaint, kRed);
    }
    afx_msg BOOL OnEraseBkgnd(CDC* pDC)
    {
        eraseDC = pDC;
        eraseHandle = pDC->GetSafeHdc();
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintedWindow, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

const wchar_t* PlainClass()
{
    static const wchar_t* const name = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuilbrookDcTestWindow";
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&windowClass);
        return windowClass.lpszClassName;
    }();
    return name;
}
}

TEST(WindowDC, PaintClientAndWindowDCsDrawWhereTheyShould)
{
    PaintedWindow window;
    ASSERT_TRUE(window.CreateEx(WS_EX_TOPMOST, PlainClass(), L"dc", WS_POPUP | WS_BORDER | WS_VISIBLE,
                                50, 50, 120, 80, nullptr, nullptr));
    window.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);

    CRect client;
    window.GetClientRect(client);
    EXPECT_EQ(client, window.lastPaintArea);
    // The erase handler got a wrapper of the paint's DC.
    ASSERT_NE(nullptr, window.eraseDC);
    EXPECT_NE(nullptr, window.eraseHandle);
    {
        CClientDC clientDC(&window);
        EXPECT_EQ(kRed, clientDC.GetPixel(0, 0));
        EXPECT_EQ(kRed, clientDC.GetPixel(client.right - 1, client.bottom - 1));
        clientDC.SetPixel(0, 0, kBlue);
    }
    {
        // The window DC starts at the border: the client's first pixel lies one further in.
        CWindowDC windowDC(&window);
        const int border = GetSystemMetrics(SM_CXBORDER);
        EXPECT_EQ(kBlue, windowDC.GetPixel(border, border));
        windowDC.SetPixel(0, 0, kGreen);
        EXPECT_EQ(kGreen, windowDC.GetPixel(0, 0));
    }
    {
        // A NULL window gives the screen.
        CClientDC screen(nullptr);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen.GetDeviceCaps(HORZRES));
    }
    window.DestroyWindow();
}
