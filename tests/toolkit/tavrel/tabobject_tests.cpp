// The tab control of the control gallery under the test skin, where the tab item parts (item
// 5, first item 6, last item 7) in state s (normal, hot, selected) are a solid
// RGB(30 * part, 50 * s, 240) and the pane is one colour.
#include "controlgallery.h"
#include "hlmskinmanager.h"
#include "hlmskinobjectclassmap.h"
#include "hlmskinobjecttab.h"
#include "pixels.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace
{
enum Part
{
    kItem = 5,
    kFirstItem = 6,
    kLastItem = 7
};
enum State
{
    kNormal = 1,
    kHot = 2,
    kSelected = 3
};

COLORREF Tab(int part, int state)
{
    return RGB(30 * part, 50 * state, 240);
}

const COLORREF kPane = RGB(90, 200, 90);
const COLORREF kText = RGB(1, 2, 3);

class TabObjectTest : public ControlGalleryTest
{
protected:
    void SetUp() override
    {
        ControlGalleryTest::SetUp();
        m_tab = Control(kGalleryTab);
        GetClientRect(m_tab, &m_client);
    }

    RECT ItemRect(int index) const
    {
        RECT rect = {};
        SendMessageW(m_tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    // A point of the item's background, clear of its text.
    POINT Probe(int index) const
    {
        const RECT rect = ItemRect(index);
        return {rect.left + 2, rect.top + 2};
    }
    COLORREF ItemPixel(int index) const
    {
        const POINT point = Probe(index);
        return WindowPixel(m_tab, point.x, point.y);
    }
    bool ShowsItems(COLORREF first, COLORREF second, COLORREF third, COLORREF last) const
    {
        return ItemPixel(0) == first && ItemPixel(1) == second && ItemPixel(2) == third && ItemPixel(3) == last;
    }
    void MoveTo(POINT point) const { SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(m_tab, point.x, point.y)); }
    // A 200 x 120 tab control at the gallery tab's place, in its font, with three tabs and the
    // first one selected.
    HWND CreateTab(DWORD style) const
    {
        HWND tab = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | style, 440, 315, 200, 120,
                                   m_gallery->window(), nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tab, WM_SETFONT, SendMessageW(m_tab, WM_GETFONT, 0, 0), FALSE);
        for (const wchar_t* text : {L"One", L"Two", L"Three"})
        {
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(text);
            SendMessageW(tab, TCM_INSERTITEMW, SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(tab, TCM_SETCURSEL, 0, 0);
        return tab;
    }

    HWND m_tab = nullptr;
    RECT m_client = {};
};

TEST_F(TabObjectTest, ItemsFollowSelectionAndMouseOverThePane)
{
    CHLMSkinObjectTab* object = ObjectOf<CHLMSkinObjectTab>(m_tab);
    ASSERT_NE(nullptr, object);
    CHLMSkinObjectClassInfo* synonym = GetSkinManager()->GetClassMap()->Lookup(L"TTabControl");
    ASSERT_NE(nullptr, synonym);
    EXPECT_EQ(GetSkinManager()->GetClassMap()->Lookup(WC_TABCONTROLW), synonym);

    // The first tab is selected: its own part, drawn two pixels larger than its rectangle.
    EXPECT_TRUE(ShowsItems(Tab(kFirstItem, kSelected), Tab(kItem, kNormal), Tab(kItem, kNormal),
                           Tab(kLastItem, kNormal)));
    const RECT first = ItemRect(0);
    EXPECT_EQ(Tab(kFirstItem, kSelected), WindowPixel(m_tab, first.right + 1, first.top + 4));
    EXPECT_EQ(kPane, WindowPixel(m_tab, m_client.right / 2, m_client.bottom / 2));
    EXPECT_GT(CountColor(m_tab, ItemRect(1), kText), 0);

    MoveTo(Probe(2));
    EXPECT_TRUE(PumpUntil([&] { return ItemPixel(2) == Tab(kItem, kHot); }));
    EXPECT_EQ(2, object->GetHotItem());
    MoveTo({m_client.right / 2, m_client.bottom / 2});
    EXPECT_TRUE(PumpUntil([&] { return ItemPixel(2) == Tab(kItem, kNormal); }));
    EXPECT_EQ(-1, object->GetHotItem());

    // The last tab selected takes the middle tabs' part; the first one shows normal.
    SendMessageW(m_tab, TCM_SETCURSEL, 3, 0);
    PumpMessages();
    EXPECT_TRUE(ShowsItems(Tab(kFirstItem, kNormal), Tab(kItem, kNormal), Tab(kItem, kNormal), Tab(kItem, kSelected)));

    // A click selects through the control itself.
    MoveTo(Probe(1));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return ItemPixel(1) == Tab(kItem, kSelected); }));
    EXPECT_EQ(1, SendMessageW(m_tab, TCM_GETCURSEL, 0, 0));
    ParkMouse();

    // Focused, with focus cues shown, the selected tab carries the dotted rectangle.
    SetFocus(m_tab);
    SendMessageW(m_tab, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    InvalidateRect(m_tab, nullptr, FALSE);
    PumpMessages();
    const RECT selected = ItemRect(1);
    const RECT focusLine = {selected.left + 4, selected.top + 1, selected.right - 4, selected.top + 2};
    const int width = focusLine.right - focusLine.left;
    EXPECT_LT(CountColor(m_tab, focusLine, Tab(kItem, kSelected)), width);
    SetFocus(m_gallery->window());
    InvalidateRect(m_tab, nullptr, FALSE);
    PumpMessages();
    EXPECT_EQ(width, CountColor(m_tab, focusLine, Tab(kItem, kSelected)));
}

// No tab selected, or none at all: there is no header to measure, and the pane covers the
// whole control, also where tabs were drawn before.
TEST_F(TabObjectTest, WithoutASelectedTabOnlyThePaneIsPainted)
{
    const RECT item = ItemRect(1);
    const RECT band = {0, 0, m_client.right, item.bottom + 2};
    const int bandArea = band.right * band.bottom;
    ASSERT_LT(CountColor(m_tab, band, kPane), bandArea);

    SendMessageW(m_tab, TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
    InvalidateRect(m_tab, nullptr, FALSE);
    PumpMessages();
    EXPECT_EQ(bandArea, CountColor(m_tab, band, kPane));

    TestSurface surface(m_client.right, m_client.bottom);
    EXPECT_EQ(1, SendMessageW(m_tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT));
    EXPECT_EQ(kPane, surface.ColorAt(item.left + 2, item.top + 2));
    EXPECT_EQ(kPane, surface.ColorAt(m_client.right / 2, m_client.bottom / 2));

    SendMessageW(m_tab, TCM_DELETEALLITEMS, 0, 0);
    RedrawWindow(m_tab, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages();
    EXPECT_EQ(static_cast<int>(m_client.right * m_client.bottom), CountColor(m_tab, m_client, kPane));
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(m_tab, item.left + 2, item.top + 2));
    PumpMessages();
    ParkMouse();
    PumpMessages();
}
}

namespace
{
// WM_PRINTCLIENT paints the whole client area like WM_PAINT: the pane first, then the tabs
// over it; nothing of the surface's own colour stays.
TEST_F(TabObjectTest, PrintClientPrintsThePaneUnderTheTabs)
{
    const COLORREF kSurface = RGB(3, 2, 1);
    TestSurface surface(m_client.right, m_client.bottom, 0x030201);
    EXPECT_EQ(1, SendMessageW(m_tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT));
    EXPECT_EQ(kPane, surface.ColorAt(m_client.right / 2, m_client.bottom / 2));
    EXPECT_EQ(kPane, surface.ColorAt(m_client.right / 2, m_client.bottom - 4));
    const POINT probe = Probe(1);
    EXPECT_EQ(Tab(kItem, kNormal), surface.ColorAt(probe.x, probe.y));
    int left = 0;
    for (int y = 0; y < m_client.bottom; ++y)
    {
        for (int x = 0; x < m_client.right; ++x)
            left += surface.ColorAt(x, y) == kSurface ? 1 : 0;
    }
    EXPECT_EQ(0, left);
}

// A stand-in for the tab control's tooltip window that counts the mouse messages the control
// relays to it.
int g_relayed = 0;

LRESULT CALLBACK RecordRelay(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_RELAYEVENT)
        ++g_relayed;
    return DefWindowProcW(window, message, wParam, lParam);
}

// The tab control still sees the mouse after the object tracked its hot tab: it relays each
// move to its tooltips.
TEST_F(TabObjectTest, MouseMovesReachTheControlAndItsTooltips)
{
    RegisterWindowClass(L"QuilbrookRelayRecorder", RecordRelay, nullptr);
    HWND recorder = CreateWindowExW(0, L"QuilbrookRelayRecorder", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, recorder);
    HWND own = reinterpret_cast<HWND>(SendMessageW(m_tab, TCM_GETTOOLTIPS, 0, 0));
    SendMessageW(m_tab, TCM_SETTOOLTIPS, reinterpret_cast<WPARAM>(recorder), 0);
    CHLMSkinObjectTab* object = ObjectOf<CHLMSkinObjectTab>(m_tab);
    ASSERT_NE(nullptr, object);

    g_relayed = 0;
    const POINT points[] = {Probe(2), Probe(2), {m_client.right / 2, m_client.bottom / 2}};
    for (const POINT& point : points)
        SendMessageW(m_tab, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    EXPECT_EQ(3, g_relayed);
    EXPECT_EQ(-1, object->GetHotItem());
    SendMessageW(m_tab, WM_MOUSEMOVE, 0, MAKELPARAM(Probe(2).x, Probe(2).y));
    EXPECT_EQ(2, object->GetHotItem());
    EXPECT_EQ(4, g_relayed);

    SendMessageW(m_tab, TCM_SETTOOLTIPS, reinterpret_cast<WPARAM>(own), 0);
    DestroyWindow(recorder);
}
}

namespace
{
// Each caption stands in the middle of its tab, the first tab's too, selected or not.
TEST_F(TabObjectTest, CaptionsStandInTheMiddleOfTheirTabs)
{
    for (int selected : {0, 1})
    {
        SendMessageW(m_tab, TCM_SETCURSEL, selected, 0);
        RedrawWindow(m_tab, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpMessages();
        const wchar_t* const captions[] = {L"General", L"Size", L"Output", L"Extra"};
        for (int index = 0; index < 4; ++index)
        {
            const RECT item = ItemRect(index);
            const RECT ink = InkBounds(m_tab, item, kText);
            ASSERT_FALSE(IsRectEmpty(&ink)) << index;
            // Where DrawText centres the caption across the tab, in the same font.
            const RECT centred = InkOfText(m_tab, captions[index], item.right - item.left, item.bottom - item.top,
                                           DT_SINGLELINE | DT_CENTER | DT_VCENTER);
            EXPECT_NEAR(item.left + centred.left, ink.left, 1)
                << "tab " << index << " with tab " << selected << " selected: text " << ink.left << ".."
                << ink.right << " in " << item.left << ".." << item.right;
            EXPECT_NEAR(item.left + centred.right, ink.right, 1) << "tab " << index;
        }
    }
}
}

namespace
{
// Button tabs are push buttons of the skin with no pane; tabs on the other sides use the
// same parts, with the pane beside them.
TEST_F(TabObjectTest, ButtonTabsAndTabsOnEverySide)
{
    const COLORREF kPushNormal = Solid(8, 1), kPushPressed = Solid(8, 3);
    const struct
    {
        const char* name;
        DWORD style;
        COLORREF selected, other;
        bool pane;
        POINT paneProbe;  // in a 200 x 120 control
    } cases[] = {
        {"buttons", TCS_BUTTONS, kPushPressed, kPushNormal, false, {100, 100}},
        {"bottom", TCS_BOTTOM, Tab(kFirstItem, kSelected), Tab(kItem, kNormal), true, {100, 10}},
        {"left", TCS_VERTICAL | TCS_MULTILINE, Tab(kFirstItem, kSelected), Tab(kItem, kNormal), true, {150, 60}},
        {"right", TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, Tab(kFirstItem, kSelected), Tab(kItem, kNormal), true,
         {50, 60}},
    };
    ShowWindow(m_tab, SW_HIDE);  // each case takes the gallery tab's place
    for (const auto& c : cases)
    {
        HWND tab = CreateTab(c.style);
        ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectTab>(tab)) << c.name;
        RedrawWindow(tab, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpMessages();
        RECT first = {}, second = {};
        SendMessageW(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
        SendMessageW(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
        EXPECT_EQ(c.selected, WindowPixel(tab, first.left + 2, first.top + 2)) << c.name;
        EXPECT_EQ(c.other, WindowPixel(tab, second.left + 2, second.top + 2)) << c.name;
        EXPECT_GT(CountColor(tab, second, kText), 0) << c.name;
        EXPECT_EQ(c.pane, WindowPixel(tab, c.paneProbe.x, c.paneProbe.y) == kPane) << c.name;
        DestroyWindow(tab);
        PumpMessages();
    }
}
}

namespace
{
// The hot look of the tabs at either end, each in its own part, and none for a button tab,
// which stays a normal push button under the mouse.
TEST_F(TabObjectTest, EndTabsShowTheirOwnHotLookAndButtonTabsNone)
{
    const struct
    {
        const char* name;
        DWORD style;
        int selected, hovered;
        COLORREF expected;
    } cases[] = {
        {"first tab", 0, 1, 0, Tab(kFirstItem, kHot)},
        {"last tab", 0, 0, 2, Tab(kLastItem, kHot)},
        {"button tab", TCS_BUTTONS, 0, 1, Solid(8, 1)},
    };
    ShowWindow(m_tab, SW_HIDE);  // each case takes the gallery tab's place
    for (const auto& c : cases)
    {
        HWND tab = CreateTab(c.style);
        SendMessageW(tab, TCM_SETCURSEL, c.selected, 0);
        CHLMSkinObjectTab* object = ObjectOf<CHLMSkinObjectTab>(tab);
        ASSERT_NE(nullptr, object) << c.name;
        RECT item = {};
        SendMessageW(tab, TCM_GETITEMRECT, c.hovered, reinterpret_cast<LPARAM>(&item));
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(tab, item.left + 2, item.top + 2));
        EXPECT_TRUE(PumpUntil([&] { return object->GetHotItem() == c.hovered; })) << c.name;
        PumpMessages();
        EXPECT_EQ(c.expected, WindowPixel(tab, item.left + 2, item.top + 2)) << c.name;
        ParkMouse();
        DestroyWindow(tab);
        PumpMessages();
    }
}
}
