// Popup menus under the test skin: a menu is opened with TrackPopupMenu from a skinned owner,
// and the owner looks at it when the menu loop first goes idle (WM_ENTERIDLE), then ends it.
// Pixels are read back through BitBlt from the menu's window DC.
#include "hlmskinmanager.h"
#include "hlmskinobjectmenu.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace
{
const wchar_t kOwnerClass[] = L"QuilbrookMenuTestOwner";

// What the running test does with the open menu.
std::function<void(HWND)> g_onMenuOpen;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && g_onMenuOpen)
    {
        const HWND menu = reinterpret_cast<HWND>(lParam);
        std::function<void(HWND)> work;
        work.swap(g_onMenuOpen);
        if (menu != nullptr)
        {
            RedrawWindow(menu, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            work(menu);
        }
        EndMenu();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class MenuTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { RegisterWindowClass(kOwnerClass, OwnerProc); }

    void SetUp() override
    {
        ASSERT_TRUE(GetSkinManager()->LoadSkin(BesideTestProgram(L"testskin.skin").c_str(), L""));
        ParkMouse();
        m_owner = CreateWindowExW(0, kOwnerClass, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 200, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, m_owner);
        m_menu = CreatePopupMenu();
        AppendMenuW(m_menu, MF_STRING, 1, L"First");
        AppendMenuW(m_menu, MF_STRING, 2, L"Second item");
        AppendMenuW(m_menu, MF_STRING, 3, L"Third");
        PumpMessages();
    }

    void TearDown() override
    {
        g_onMenuOpen = nullptr;
        DestroyMenu(m_menu);
        DestroyWindow(m_owner);
        PumpMessages();
    }

    // Opens the menu at the screen point and runs the work on it while it is open; FALSE when
    // the work never ran.
    BOOL WithOpenMenu(POINT screen, const std::function<void(HWND)>& work)
    {
        BOOL ran = FALSE;
        g_onMenuOpen = [&](HWND menu) {
            ran = TRUE;
            work(menu);
        };
        TrackPopupMenu(m_menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, screen.x, screen.y, 0, m_owner,
                       nullptr);
        g_onMenuOpen = nullptr;
        PumpMessages();
        return ran;
    }

    static CHLMSkinObjectMenu* MenuObjectOf(HWND menu)
    {
        return dynamic_cast<CHLMSkinObjectMenu*>(GetSkinManager()->FindSkinObject(menu));
    }

    HWND m_owner = nullptr;
    HMENU m_menu = nullptr;
};

// A popup menu opened on a thread of its own, with an owner of that thread; a thread timer
// looks at the menu inside the menu's loop and ends it.
struct MenuOnThread
{
    POINT at;
    RECT shown;
    BOOL skinned;
};

MenuOnThread* g_menuOnThread = nullptr;  // the one of the running thread

VOID CALLBACK LookAtThreadMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu) || GetWindowThreadProcessId(menu, nullptr) != GetCurrentThreadId())
        return;
    KillTimer(nullptr, timer);
    GetWindowRect(menu, &g_menuOnThread->shown);
    g_menuOnThread->skinned = dynamic_cast<CHLMSkinObjectMenu*>(GetSkinManager()->FindSkinObject(menu)) != nullptr;
    EndMenu();
}

DWORD WINAPI OpenMenuOnThread(LPVOID parameter)
{
    g_menuOnThread = static_cast<MenuOnThread*>(parameter);
    HWND owner = CreateWindowExW(0, kOwnerClass, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 200, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"Elsewhere");
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, LookAtThreadMenu);
    TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, g_menuOnThread->at.x, g_menuOnThread->at.y, 0,
                   owner, nullptr);
    KillTimer(nullptr, timer);
    DestroyMenu(menu);
    DestroyWindow(owner);
    return 0;
}

// A canvas of one colour that a border is drawn on.
class Canvas
{
public:
    Canvas(int width, int height, COLORREF color) : m_dc(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
        RECT rect = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(m_dc, &rect, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const { return GetPixel(m_dc, x, y); }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
};

const COLORREF kCanvas = RGB(1, 254, 3);

// The steps a thread timer takes, one a tick, while a menu is open; the menu ends after the
// last one.
std::vector<std::function<void(HWND)>> g_menuSteps;

VOID CALLBACK TakeMenuStep(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu))
        return;
    if (g_menuSteps.empty())
    {
        KillTimer(nullptr, timer);
        EndMenu();
        return;
    }
    const std::function<void(HWND)> step = g_menuSteps.front();
    g_menuSteps.erase(g_menuSteps.begin());
    step(menu);
}

// Whether the colour lies on the line between two colours (within a rounding step or two).
bool IsShadeBetween(COLORREF color, COLORREF from, COLORREF to)
{
    const int c[3] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    const int a[3] = {GetRValue(from), GetGValue(from), GetBValue(from)};
    const int b[3] = {GetRValue(to), GetGValue(to), GetBValue(to)};
    double along = 0, length = 0;
    for (int i = 0; i < 3; ++i)
    {
        along += (c[i] - a[i]) * (b[i] - a[i]);
        length += (b[i] - a[i]) * (b[i] - a[i]);
    }
    const double t = length == 0 ? 0 : std::max(0.0, std::min(1.0, along / length));
    for (int i = 0; i < 3; ++i)
    {
        if (std::abs(a[i] + (b[i] - a[i]) * t - c[i]) > 3)
            return false;
    }
    return true;
}

// An item's rectangle in the menu window's client coordinates.
RECT ItemRect(HWND window, HMENU menu, int item)
{
    RECT rect = {};
    GetMenuItemRect(window, menu, item, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
}

TEST_F(MenuTest, PopupMenusGetTheMenuObject)
{
    EXPECT_TRUE(WithOpenMenu(POINT{100, 100}, [](HWND menu) {
        wchar_t name[16] = {};
        GetClassNameW(menu, name, 16);
        EXPECT_STREQ(L"#32768", name);
        EXPECT_NE(nullptr, MenuObjectOf(menu));
    }));
}

// The border is a one-pixel outline in the button-shadow colour around a band of the menu
// colour one pixel narrower than the frame's left border; a menu without frame styles (as
// the system's are here) has no band at all, and nothing is drawn inside the outline.
TEST_F(MenuTest, BorderIsAnOutlineAroundABandAsWideAsTheFrameLessOne)
{
    ASSERT_NE(SkinColor(COLOR_BTNSHADOW), SkinColor(COLOR_MENU));
    struct Case
    {
        const char* name;
        DWORD addedStyle;
    };
    const Case cases[] = {{"no frame styles", 0}, {"dialog frame", WS_DLGFRAME}};
    for (const Case& test : cases)
    {
        EXPECT_TRUE(WithOpenMenu(POINT{100, 100}, [&](HWND menu) {
            if (test.addedStyle != 0)
            {
                SetWindowLongW(menu, GWL_STYLE, GetWindowLongW(menu, GWL_STYLE) | test.addedStyle);
                SetWindowPos(menu, nullptr, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            }
            CHLMSkinObjectMenu* object = MenuObjectOf(menu);
            ASSERT_NE(nullptr, object);
            const int left = object->GetBorderRect().left;
            EXPECT_EQ(test.addedStyle == 0, left == 0) << test.name;

            RECT window;
            GetWindowRect(menu, &window);
            Canvas canvas(window.right - window.left, window.bottom - window.top, kCanvas);
            CDC dc;
            dc.Attach(canvas.dc());
            object->DrawBorder(&dc);
            dc.Detach();

            EXPECT_EQ(SkinColor(COLOR_BTNSHADOW), canvas.Pixel(0, 0)) << test.name;
            EXPECT_EQ(SkinColor(COLOR_BTNSHADOW), canvas.Pixel(0, 10)) << test.name;
            // A band of width left - 1 drawn with a negative width would paint over the outline.
            EXPECT_EQ(SkinColor(COLOR_BTNSHADOW), canvas.Pixel(5, 0)) << test.name;
            if (left > 1)
            {
                EXPECT_EQ(SkinColor(COLOR_MENU), canvas.Pixel(1, 10)) << test.name;
                EXPECT_EQ(SkinColor(COLOR_MENU), canvas.Pixel(left - 1, 10)) << test.name;
            }
            const int inside = std::max(left, 1);
            EXPECT_EQ(kCanvas, canvas.Pixel(inside, 10)) << test.name;
            EXPECT_EQ(kCanvas, canvas.Pixel(inside + 2, inside + 2)) << test.name;
        })) << test.name;
    }
}

// Printing the client alone and printing the whole window put the same picture at the
// border's offset. (Wine's menu fills its whole client itself, in the system's menu colour,
// so the skin colour laid under the items does not show here.)
TEST_F(MenuTest, ClientIsPrintedAtTheBorderOffset)
{
    EXPECT_TRUE(WithOpenMenu(POINT{100, 100}, [&](HWND menu) {
        SetWindowLongW(menu, GWL_STYLE, GetWindowLongW(menu, GWL_STYLE) | WS_DLGFRAME);
        SetWindowPos(menu, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        CHLMSkinObjectMenu* object = MenuObjectOf(menu);
        ASSERT_NE(nullptr, object);
        const CRect borders = object->GetBorderRect();
        ASSERT_GT(borders.left, 1);
        RECT window, client;
        GetWindowRect(menu, &window);
        GetClientRect(menu, &client);

        Canvas alone(client.right, client.bottom, kCanvas);
        SendMessageW(menu, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(alone.dc()), PRF_CLIENT);
        Canvas printed(window.right - window.left, window.bottom - window.top, kCanvas);
        SendMessageW(menu, WM_PRINT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT | PRF_NONCLIENT);

        for (int y = 0; y < client.bottom; ++y)
        {
            for (int x = 0; x < client.right; ++x)
            {
                ASSERT_EQ(alone.Pixel(x, y), printed.Pixel(x + borders.left, y + borders.top)) << x << "," << y;
            }
        }
        EXPECT_EQ(SkinColor(COLOR_BTNSHADOW), printed.Pixel(0, 0));
    }));
}

// The window shows what the client printing gives, and still does after the selection moved
// with the keyboard (the window is visible again after its redraw was switched off).
TEST_F(MenuTest, WindowShowsTheBufferedClientAlsoAfterTheSelectionMoved)
{
    EXPECT_TRUE(WithOpenMenu(POINT{100, 100}, [&](HWND menu) {
        RECT client;
        GetClientRect(menu, &client);
        for (int step = 0; step < 2; ++step)
        {
            if (step == 1)
            {
                SendMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
                ASSERT_TRUE(IsWindowVisible(menu));
                UpdateWindow(menu);
            }
            Canvas printed(client.right, client.bottom, kCanvas);
            SendMessageW(menu, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT);
            for (int y = 0; y < client.bottom; y += 3)
            {
                for (int x = 0; x < client.right; x += 3)
                    ASSERT_EQ(printed.Pixel(x, y), WindowPixel(menu, x, y)) << step << ": " << x << "," << y;
            }
        }
    }));
}

// Only a menu opened while a skinned window runs a system-menu command moves by the distance
// between the skin's frame and the system's.
TEST_F(MenuTest, SystemMenuOffsetMovesTheMenu)
{
    const POINT offsets[] = {{0, 0}, {7, 5}};
    for (const POINT& offset : offsets)
    {
        CHLMSkinObjectFrame::SystemMenuOffset = offset;
        EXPECT_TRUE(WithOpenMenu(POINT{100, 100}, [&](HWND menu) {
            RECT window;
            GetWindowRect(menu, &window);
            EXPECT_EQ(100 + offset.x, window.left);
            EXPECT_EQ(100 + offset.y, window.top);
        }));
        CHLMSkinObjectFrame::SystemMenuOffset = POINT{0, 0};
    }
}

// The offset belongs to the thread that runs the system-menu command: a menu that another
// thread opens meanwhile keeps its place.
TEST_F(MenuTest, SystemMenuOffsetMovesOnlyTheMenusOfItsThread)
{
    CHLMSkinObjectFrame::SystemMenuOffset = POINT{7, 5};
    MenuOnThread other = {POINT{120, 110}, RECT{}, FALSE};
    HANDLE thread = CreateThread(nullptr, 0, OpenMenuOnThread, &other, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        PumpMessages();
    CloseHandle(thread);
    EXPECT_TRUE(other.skinned);
    EXPECT_EQ(120, other.shown.left);
    EXPECT_EQ(110, other.shown.top);

    EXPECT_TRUE(WithOpenMenu(POINT{100, 100}, [&](HWND menu) {
        RECT window;
        GetWindowRect(menu, &window);
        EXPECT_EQ(107, window.left);
        EXPECT_EQ(105, window.top);
    }));
    CHLMSkinObjectFrame::SystemMenuOffset = POINT{0, 0};
}

// Our skin's menu colours differ from the system's in every role. Whatever the system's menu
// procedure paints itself (Wine's paints everything in its own colours), the window shows the
// skin's background, text, disabled text, highlight and outline, also after the mouse moved
// the selection (which the menu loop draws straight onto the window); for a context menu and
// for the system menu alike.
TEST_F(MenuTest, WindowShowsOnlyTheSkinsMenuColours)
{
    ASSERT_TRUE(GetSkinManager()->LoadSkin(BesideTestProgram(L"skin.skin").c_str(), L""));
    EnableMenuItem(m_menu, 2, MF_BYPOSITION | MF_GRAYED);
    const int roles[] = {COLOR_MENU,      COLOR_MENUTEXT,    COLOR_GRAYTEXT,
                         COLOR_BTNSHADOW, COLOR_MENUHILIGHT, COLOR_HIGHLIGHTTEXT};
    // How many pixels of the menu show no shade between the skin's menu background and one of
    // its menu colours (what pictures and smoothed edges drawn in the skin's colours show).
    auto foreignPixels = [&](HWND menu) {
        RECT client;
        GetClientRect(menu, &client);
        Canvas shown(client.right, client.bottom, kCanvas);
        HDC dc = GetDC(menu);
        BitBlt(shown.dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
        ReleaseDC(menu, dc);
        int count = 0;
        for (int y = 0; y < client.bottom; ++y)
        {
            for (int x = 0; x < client.right; ++x)
            {
                const COLORREF pixel = shown.Pixel(x, y);
                count += std::none_of(std::begin(roles), std::end(roles), [&](int role) {
                    return IsShadeBetween(pixel, SkinColor(COLOR_MENU), SkinColor(role));
                });
            }
        }
        return count;
    };
    auto expectSkinned = [&](HWND menu, HMENU items, int selected, const std::string& step) {
        RECT client;
        GetClientRect(menu, &client);
        EXPECT_EQ(0, foreignPixels(menu)) << step;
        EXPECT_EQ(SkinColor(COLOR_BTNSHADOW), WindowPixel(menu, 0, 0)) << step;
        EXPECT_EQ(SkinColor(COLOR_BTNSHADOW), WindowPixel(menu, client.right - 1, client.bottom / 2)) << step;
        for (int item = 0; item < GetMenuItemCount(items); ++item)
        {
            const UINT state = GetMenuState(items, item, MF_BYPOSITION);
            if (state & MF_SEPARATOR)
                continue;
            const RECT rect = ItemRect(menu, items, item);
            const COLORREF back = item == selected ? SkinColor(COLOR_MENUHILIGHT) : SkinColor(COLOR_MENU);
            const COLORREF text = (state & MF_GRAYED) ? SkinColor(COLOR_GRAYTEXT)
                                  : item == selected  ? SkinColor(COLOR_HIGHLIGHTTEXT)
                                                      : SkinColor(COLOR_MENUTEXT);
            EXPECT_EQ(back, WindowPixel(menu, rect.right - 3, (rect.top + rect.bottom) / 2)) << step << ": " << item;
            EXPECT_GT(CountColor(menu, rect, text), 5) << step << ": " << item;
        }
    };
    struct Case
    {
        const char* name;
        HMENU menu;
    } const cases[] = {{"context menu", m_menu}, {"system menu", GetSystemMenu(m_owner, FALSE)}};
    for (const Case& c : cases)
    {
        HWND shown = nullptr;
        const int second = 1;
        ASSERT_FALSE(GetMenuState(c.menu, second, MF_BYPOSITION) & (MF_GRAYED | MF_SEPARATOR)) << c.name;
        g_menuSteps = {
            [&](HWND menu) {
                shown = menu;
                expectSkinned(menu, c.menu, -1, std::string(c.name) + " opened");
                const RECT rect = ItemRect(menu, c.menu, second);
                SendMouse(MOUSEEVENTF_MOVE,
                          ScreenPoint(menu, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
            },
            [&](HWND) {},
            [&](HWND menu) { expectSkinned(menu, c.menu, second, std::string(c.name) + " selected by the mouse"); },
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, TakeMenuStep);
        TrackPopupMenu(c.menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, 100, 100, 0, m_owner, nullptr);
        KillTimer(nullptr, timer);
        g_menuSteps.clear();
        ParkMouse();
        PumpMessages();
        EXPECT_NE(nullptr, shown) << c.name;
    }
}
