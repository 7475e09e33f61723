// CToolBar: buttons and images from a toolbar resource of the resource library built with
// the tests (reslib.dll: buttons 501, separator, 502 over a red and a blue image).
#include "testpaths.h"

#include <gtest/gtest.h>

#include <afxext.h>

#include <string>

namespace
{
COLORREF PixelAt(HWND hWnd, int x, int y)
{
    HDC hDC = GetDC(hWnd);
    const COLORREF color = GetPixel(hDC, x, y);
    ReleaseDC(hWnd, hDC);
    return color;
}
}  // namespace

TEST(ToolBar, LoadsButtonsAndImagesFromTheResourceModule)
{
    HMODULE hLibrary = LoadLibraryW(BesideTestProgram(L"reslib.dll").c_str());
    ASSERT_NE(hLibrary, nullptr);
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 60, nullptr, nullptr));
    CToolBar toolBar;
    ASSERT_TRUE(toolBar.Create(&parent));
    EXPECT_FALSE(toolBar.LoadToolBar(500));  // the program's own resources hold no toolbar

    const HINSTANCE hPrevious = AfxGetResourceHandle();
    AfxSetResourceHandle(hLibrary);
    ASSERT_TRUE(toolBar.LoadToolBar(500));
    AfxSetResourceHandle(hPrevious);
    ASSERT_EQ(toolBar.GetCount(), 3);
    EXPECT_EQ(toolBar.GetItemID(0), 501u);
    EXPECT_EQ(toolBar.GetItemID(1), static_cast<UINT>(ID_SEPARATOR));
    EXPECT_EQ(toolBar.GetItemID(2), 502u);
    EXPECT_EQ(toolBar.CommandToIndex(502), 2);

    // Each button shows its own part of the bitmap: red, then blue.
    toolBar.RedrawWindow();
    const struct
    {
        int nIndex;
        COLORREF color;
    } buttons[] = {{0, RGB(255, 0, 0)}, {2, RGB(0, 0, 255)}};
    for (const auto& button : buttons)
    {
        RECT rc = {};
        ASSERT_TRUE(::SendMessageW(toolBar.m_hWnd, TB_GETITEMRECT, static_cast<WPARAM>(button.nIndex),
                                   reinterpret_cast<LPARAM>(&rc)));
        EXPECT_EQ(PixelAt(toolBar.m_hWnd, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2), button.color)
            << "button " << button.nIndex;
    }
    parent.DestroyWindow();
    FreeLibrary(hLibrary);
}
