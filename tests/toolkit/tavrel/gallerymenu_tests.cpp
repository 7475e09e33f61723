// A popup menu over the control gallery, opened with TrackPopupMenu from the gallery and
// looked at while it is open: a thread timer fires inside the menu's loop. For a look at the
// whole skin, QUILBROOK_GALLERY_SKIN names another skin next to the test program (such as
// "skin.skin") and QUILBROOK_GALLERY_MENU_IMAGE a BMP file (a Wine path) that receives the
// gallery with the menu open.
#include "controlgallery.h"
#include "hlmskinmanager.h"
#include "hlmskinobjectmenu.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
// What the running test does with the open menu.
std::function<void(HWND)> g_onMenuOpen;

// Runs the work once the menu window shows, then ends the menu.
VOID CALLBACK WhenMenuOpen(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu) || !g_onMenuOpen)
        return;
    KillTimer(nullptr, timer);
    std::function<void(HWND)> work;
    work.swap(g_onMenuOpen);
    RedrawWindow(menu, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    work(menu);
    EndMenu();
}

class GalleryMenuTest : public ControlGalleryTest
{
};

TEST_F(GalleryMenuTest, MenuOverTheGalleryIsSkinned)
{
    wchar_t skin[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"QUILBROOK_GALLERY_SKIN", skin, MAX_PATH) != 0)
    {
        ASSERT_TRUE(GetSkinManager()->LoadSkin(BesideTestProgram(skin).c_str(), L""));
        m_gallery->Repaint();
    }
    HMENU more = CreatePopupMenu();
    AppendMenuW(more, MF_STRING, 6, L"Inner item");
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"&Open");
    AppendMenuW(menu, MF_STRING | MF_CHECKED, 2, L"&Bold");
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 3, L"Disabled");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), L"&More");

    const POINT at = ScreenPoint(m_gallery->window(), 620, 260);
    BOOL opened = FALSE;
    g_onMenuOpen = [&](HWND window) {
        opened = TRUE;
        EXPECT_NE(nullptr, ObjectOf<CHLMSkinObjectMenu>(window));
        RECT rect = {};
        GetWindowRect(window, &rect);
        EXPECT_EQ(at.x, rect.left);
        EXPECT_EQ(at.y, rect.top);
        wchar_t path[MAX_PATH] = {};
        if (GetEnvironmentVariableW(L"QUILBROOK_GALLERY_MENU_IMAGE", path, MAX_PATH) != 0)
            m_gallery->SaveImage(path);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, WhenMenuOpen);
    TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, m_gallery->window(), nullptr);
    KillTimer(nullptr, timer);
    g_onMenuOpen = nullptr;
    DestroyMenu(menu);
    PumpMessages();
    EXPECT_TRUE(opened);
}
}
