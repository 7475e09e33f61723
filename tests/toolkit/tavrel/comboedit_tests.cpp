// Combo boxes, date-time pickers, month calendars and edits of the control gallery under the
// test skin. Its combo box border has one colour per state (RGB(200, 0, 10 * state)), except
// the disabled one, drawn from image 15 of the second set (RGB(240, 15 * frame, 160)); the
// drop-down button is image 14 (RGB(224, 15 * state, 96)); edits have a red border.
#include "childrun.h"
#include "controlgallery.h"
#include "hlmskinmanager.h"
#include "hlmskinobjectcombobox.h"
#include "hlmskinobjectedit.h"
#include "hlmskinobjectlistbox.h"
#include "pixels.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

namespace
{
const int kStateNormal = 1, kStateHot = 2, kStatePressed = 3, kStateDisabled = 4;
const int kCheckImage = 9;
const COLORREF kSkinButtonFace = RGB(10, 20, 30);
const COLORREF kEditBorder = RGB(255, 0, 0);

COLORREF ComboBorder(int state)
{
    return state == kStateDisabled ? RGB(240, 15 * state, 160) : RGB(200, 0, 10 * state);
}

COLORREF DropButton(int state)
{
    return RGB(224, 15 * state, 96);
}

COLORREF CheckGlyph(int frame)
{
    return Solid(kCheckImage, frame);
}

// The middle of the skin's drop-down button, in window coordinates of a control without
// non-client area; at the left edge for a combo box with WS_EX_LEFTSCROLLBAR.
POINT DropButtonPoint(HWND window, bool left = false)
{
    RECT client;
    GetClientRect(window, &client);
    const int cx = GetSystemMetrics(SM_CXVSCROLL);
    return {left ? 1 + cx / 2 : client.right - 1 - cx / 2, client.bottom / 2};
}

// The same for a control with a client edge of 2 pixels.
POINT DropButtonPointInEdge(HWND window)
{
    const POINT point = DropButtonPoint(window);
    return {point.x + 2, point.y + 2};
}

COLORREF PixelAt(HWND window, POINT point)
{
    return WindowPixel(window, point.x, point.y);
}

void Redraw(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages();
}

class ComboEditTest : public ControlGalleryTest
{
};

TEST_F(ComboEditTest, EachControlGetsItsObjectAndCombosLoseTheirBorders)
{
    HWND dropDown = Control(kGalleryDropDownCombo);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(dropDown, &info));
    struct Case
    {
        const char* name;
        bool hasObject;
    } const cases[] = {
        {"simple combo box", ObjectOf<CHLMSkinObjectComboBox>(Control(kGallerySimpleCombo)) != nullptr},
        {"drop-down list", ObjectOf<CHLMSkinObjectComboBox>(Control(kGalleryDropListCombo)) != nullptr},
        {"date-time picker", ObjectOf<CHLMSkinObjectDateTime>(Control(kGalleryDateTime)) != nullptr},
        {"month calendar", ObjectOf<CHLMSkinObjectMonthCal>(Control(kGalleryMonthCal)) != nullptr},
        {"edit", ObjectOf<CHLMSkinObjectEdit>(Control(kGalleryEdit)) != nullptr},
        {"edit field of a drop-down combo box", ObjectOf<CHLMSkinObjectEdit>(info.hwndItem) != nullptr},
        {"list of a drop-down combo box", ObjectOf<CHLMSkinObjectListBox>(info.hwndList) != nullptr},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(c.hasObject) << c.name;

    HWND bordered = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, L"ComboBox", L"",
                                    WS_CHILD | WS_VISIBLE | WS_BORDER | CBS_DROPDOWNLIST, 10, 640, 120, 200,
                                    m_gallery->window(), nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(0, GetWindowLongW(bordered, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(0, GetWindowLongW(bordered, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    DestroyWindow(bordered);
    EXPECT_NE(0, GetWindowLongW(Control(kGalleryDateTime), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

// Hot from the mouse, pressed while the list is open and the button down, disabled.
TEST_F(ComboEditTest, DropDownButtonAndBorderFollowTheState)
{
    HWND combo = Control(kGalleryDropListCombo);
    const POINT button = DropButtonPoint(combo);
    EXPECT_EQ(DropButton(kStateNormal), PixelAt(combo, button));
    EXPECT_EQ(ComboBorder(kStateNormal), WindowPixel(combo, 0, 0));

    // Printed with the client flag the skin draws; without it the control prints itself.
    RECT client;
    GetClientRect(combo, &client);
    for (LPARAM flags : {LPARAM{PRF_CLIENT}, LPARAM{0}})
    {
        TestSurface surface(client.right, client.bottom, Bgra(1, 2, 3, 0));
        SendMessageW(combo, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), flags);
        EXPECT_EQ(flags != 0, surface.ColorAt(button.x, button.y) == DropButton(kStateNormal)) << flags;
    }

    // With the scroll bar on the left the button moves there.
    const LONG exStyle = GetWindowLongW(combo, GWL_EXSTYLE);
    SetWindowLongW(combo, GWL_EXSTYLE, exStyle | WS_EX_LEFTSCROLLBAR);
    Redraw(combo);
    EXPECT_EQ(DropButton(kStateNormal), PixelAt(combo, DropButtonPoint(combo, true)));
    EXPECT_NE(DropButton(kStateNormal), PixelAt(combo, button));
    SetWindowLongW(combo, GWL_EXSTYLE, exStyle);
    Redraw(combo);

    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(combo, 40, 10));
    EXPECT_TRUE(PumpUntil([&] { return PixelAt(combo, button) == DropButton(kStateHot); }));
    EXPECT_TRUE(ObjectOf<CHLMSkinObjectComboBox>(combo)->IsHot());
    EXPECT_EQ(ComboBorder(kStateHot), WindowPixel(combo, 0, 0));

    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(combo, button.x, button.y));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
    Redraw(combo);
    EXPECT_EQ(DropButton(kStatePressed), PixelAt(combo, button));
    EXPECT_EQ(ComboBorder(kStatePressed), WindowPixel(combo, 0, 0));
    // Released with the list still open: no longer pressed.
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return PixelAt(combo, button) == DropButton(kStateHot); }));
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    ParkMouse();
    EXPECT_TRUE(PumpUntil([&] { return PixelAt(combo, button) == DropButton(kStateNormal); }));
    EXPECT_FALSE(ObjectOf<CHLMSkinObjectComboBox>(combo)->IsHot());

    // Disabled: the border comes from the image, 3 pixels wide.
    EnableWindow(combo, FALSE);
    PumpMessages();
    EXPECT_EQ(DropButton(kStateDisabled), PixelAt(combo, button));
    EXPECT_EQ(ComboBorder(kStateDisabled), WindowPixel(combo, 0, 0));
    EXPECT_EQ(ComboBorder(kStateDisabled), WindowPixel(combo, 2, 2));
    EXPECT_NE(ComboBorder(kStateDisabled), WindowPixel(combo, 3, 10));
}

// A simple combo box draws the edit class's border around its selection field only, down
// to its list (which Wine lays higher than one item and two fixed frames).
TEST_F(ComboEditTest, SimpleComboBoxBordersItsSelectionField)
{
    HWND combo = Control(kGallerySimpleCombo);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    RECT list;
    GetWindowRect(info.hwndList, &list);
    MapWindowPoints(nullptr, combo, reinterpret_cast<POINT*>(&list), 2);
    const int field = std::min<int>(list.top, static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0))
                                                  + 2 * GetSystemMetrics(SM_CYFIXEDFRAME));
    for (POINT border : {POINT{0, 0}, POINT{0, field - 1}, POINT{60, field - 1}, POINT{129, 5}})
        EXPECT_EQ(kEditBorder, PixelAt(combo, border)) << border.x << ", " << border.y;
    EXPECT_EQ(SkinColor(COLOR_WINDOW), WindowPixel(combo, 1, 1));
    EXPECT_EQ(SkinColor(COLOR_WINDOW), WindowPixel(combo, 60, field - 2));
}

// The background inside the border comes from the parent: WM_CTLCOLOREDIT for an editable
// control, WM_CTLCOLORSTATIC for a read-only or disabled one.
TEST_F(ComboEditTest, BackgroundComesFromTheColourMessageOfTheState)
{
    struct Case
    {
        const char* name;
        int id;
        void (*change)(HWND);
        POINT band;
        COLORREF color;
    } const cases[] = {
        {"edit", kGalleryEdit, [](HWND) {}, {1, 1}, SkinColor(COLOR_WINDOW)},
        {"read-only edit", kGalleryReadOnlyEdit, [](HWND) {}, {1, 1}, kSkinButtonFace},
        {"disabled edit", kGalleryEdit, [](HWND edit) { EnableWindow(edit, FALSE); }, {1, 1}, kSkinButtonFace},
        {"drop-down combo box", kGalleryDropDownCombo, [](HWND) {}, {1, 1}, SkinColor(COLOR_WINDOW)},
        {"combo box with a read-only edit", kGalleryDropDownCombo,
         [](HWND combo) { SendMessageW(GetWindow(combo, GW_CHILD), EM_SETREADONLY, TRUE, 0); }, {1, 1}, kSkinButtonFace},
        {"disabled simple combo box", kGallerySimpleCombo, [](HWND combo) { EnableWindow(combo, FALSE); }, {1, 1},
         kSkinButtonFace},
    };
    for (const Case& c : cases)
    {
        HWND window = Control(c.id);
        c.change(window);
        Redraw(window);
        EXPECT_EQ(c.color, WindowPixel(window, c.band.x, c.band.y)) << c.name;
    }
    EXPECT_EQ(kEditBorder, WindowPixel(Control(kGalleryEdit), 0, 0));
}

// In a fresh process, where comctl32's own colours are still the system's: a calendar sets
// them at its WM_CREATE, over the skin colours it was given when its object was attached.
TEST(CalendarColours, CalendarsCreatedUnderTheSkinTakeItsColours)
{
    const ChildRunResult child =
        RunTestInChild(L"ComboEditTest.DISABLED_CalendarsTakeTheSkinColours", ChildRunOptions());
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

TEST_F(ComboEditTest, DISABLED_CalendarsTakeTheSkinColours)
{
    const struct
    {
        int part;
        int sysColor;
    } colors[] = {
        {MCSC_BACKGROUND, COLOR_WINDOW},     {MCSC_MONTHBK, COLOR_WINDOW},    {MCSC_TEXT, COLOR_WINDOWTEXT},
        {MCSC_TITLEBK, COLOR_ACTIVECAPTION}, {MCSC_TITLETEXT, COLOR_CAPTIONTEXT}, {MCSC_TRAILINGTEXT, COLOR_GRAYTEXT},
    };
    // The skin's window text differs from the system's: the colours really were sent.
    ASSERT_EQ(RGB(16, 8, 16), SkinColor(COLOR_WINDOWTEXT));
    for (const auto& color : colors)
    {
        EXPECT_EQ(SkinColor(color.sysColor),
                  static_cast<COLORREF>(SendMessageW(Control(kGalleryMonthCal), MCM_GETCOLOR, color.part, 0)))
            << "month calendar, colour " << color.part;
        EXPECT_EQ(SkinColor(color.sysColor),
                  static_cast<COLORREF>(SendMessageW(Control(kGalleryDateTime), DTM_GETMCCOLOR, color.part, 0)))
            << "date-time picker, colour " << color.part;
    }
}

TEST_F(ComboEditTest, DateTimePickerDrawsSkinButtonCheckBoxAndBorder)
{
    HWND picker = Control(kGalleryDateTime);
    HWND withNone = Control(kGalleryDateTimeNone);
    const POINT button = DropButtonPointInEdge(picker);
    EXPECT_EQ(DropButton(kStateNormal), PixelAt(picker, button));
    EXPECT_EQ(ComboBorder(kStateNormal), WindowPixel(picker, 0, 0));

    // The check box sits in a square at the left, checked while the picker holds a date.
    // Wine's picker lays a check-box window of its own over it: hidden here.
    if (HWND wineCheckBox = GetWindow(withNone, GW_CHILD))
        ShowWindow(wineCheckBox, SW_HIDE);
    RECT client;
    GetClientRect(withNone, &client);
    const POINT box = {2 + client.bottom / 2, 2 + client.bottom / 2};
    SYSTEMTIME date = {2026, 12, 4, 10, 12, 0, 0, 0};
    SendMessageW(withNone, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
    Redraw(withNone);
    EXPECT_EQ(CheckGlyph(5), PixelAt(withNone, box));
    // Wine ignores GDT_NONE without a time.
    SendMessageW(withNone, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&date));
    Redraw(withNone);
    EXPECT_EQ(CheckGlyph(1), PixelAt(withNone, box));

    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(picker, 20, 10));
    EXPECT_TRUE(PumpUntil([&] { return PixelAt(picker, button) == DropButton(kStateHot); }));
    ParkMouse();
    EXPECT_TRUE(PumpUntil([&] { return PixelAt(picker, button) == DropButton(kStateNormal); }));

    // Disabled: the border image goes round the window without waiting for a frame paint.
    EnableWindow(picker, FALSE);
    EnableWindow(withNone, FALSE);
    PumpMessages();
    EXPECT_EQ(DropButton(kStateDisabled), PixelAt(picker, button));
    EXPECT_EQ(ComboBorder(kStateDisabled), WindowPixel(picker, 0, 0));
    EXPECT_EQ(ComboBorder(kStateDisabled), WindowPixel(picker, 1, 1));
    EXPECT_EQ(CheckGlyph(4), PixelAt(withNone, box));
    // Disabled with a date: checked and disabled.
    SendMessageW(withNone, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
    Redraw(withNone);
    EXPECT_EQ(CheckGlyph(8), PixelAt(withNone, box));
}

// From common controls 6.10 the picker draws its own button; the skin draws the border inside.
TEST_F(ComboEditTest, ThemedDateTimePickerKeepsItsOwnButton)
{
    HWND picker = Control(kGalleryDateTime);
    const POINT button = DropButtonPointInEdge(picker);
    const POINT clientCorner = {2, 2};
    EXPECT_EQ(SkinColor(COLOR_WINDOW), PixelAt(picker, clientCorner));
    {
        CComCtlVersionScope version(0x6000A);
        Redraw(picker);
        EXPECT_NE(DropButton(kStateNormal), PixelAt(picker, button));
        EXPECT_EQ(ComboBorder(kStateNormal), PixelAt(picker, clientCorner));
    }
    {
        CComCtlVersionScope version(0x60000);
        Redraw(picker);
        EXPECT_EQ(DropButton(kStateNormal), PixelAt(picker, button));
    }
}

// Wine's picker ignores Alt+Down: the click on the skin's button still opens the calendar.
TEST_F(ComboEditTest, ClickOnTheDropButtonOpensTheCalendar)
{
    HWND picker = Control(kGalleryDateTime);
    CHLMSkinObjectDateTime* object = ObjectOf<CHLMSkinObjectDateTime>(picker);
    ASSERT_NE(nullptr, object);
    ASSERT_FALSE(object->IsCalendarOpen());
    const POINT button = DropButtonPointInEdge(picker);
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(picker, button.x, button.y));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return object->IsCalendarOpen() != FALSE; }));
}

// On common controls 6 the replaced scroll-bar functions keep the bars current; before it
// the edit object re-reads them after the edit scrolled, and repaints the bar that moved.
TEST_F(ComboEditTest, MultiLineEditRereadsItsBarsBeforeVersion6)
{
    HWND edit = Control(kGalleryMultiLineEdit);
    CHLMSkinObjectEdit* object = ObjectOf<CHLMSkinObjectEdit>(edit);
    ASSERT_NE(nullptr, object);
    SCROLLINFO current = {};
    current.cbSize = sizeof(current);
    current.fMask = SIF_ALL;
    {
        CComCtlVersionScope version(0x60000);
        SendMessageW(edit, WM_VSCROLL, SB_BOTTOM, 0);
        GetScrollInfo(edit, SB_VERT, &current);
        ASSERT_GT(current.nPos, 0);
        EXPECT_NE(current.nPos, object->GetSavedScrollInfo(SB_VERT).nPos);
    }
    for (UINT message : {WM_VSCROLL, WM_KEYDOWN, WM_MOUSEWHEEL})
    {
        const WPARAM wParam = message == WM_VSCROLL ? SB_TOP : message == WM_KEYDOWN ? VK_NEXT : MAKEWPARAM(0, -WHEEL_DELTA);
        SendMessageW(edit, message, wParam, 0);
        GetScrollInfo(edit, SB_VERT, &current);
        EXPECT_EQ(current.nPos, object->GetSavedScrollInfo(SB_VERT).nPos) << message;
    }
}

// A neighbour laid exactly 2 pixels over the edit's edge keeps its pixels there.
TEST_F(ComboEditTest, EditLeavesABorderStripThatItsNeighbourOverlapsBy2Pixels)
{
    HWND edit = Control(kGalleryEdit);
    RECT rect;
    GetWindowRect(edit, &rect);
    MapWindowPoints(nullptr, m_gallery->window(), reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    for (int overlap : {1, 2, 3})
    {
        HWND neighbour = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, rect.right - overlap, rect.top, 30,
                                         height, m_gallery->window(), nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowPos(neighbour, edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ASSERT_EQ(neighbour, GetWindow(edit, GW_HWNDNEXT));
        Redraw(neighbour);
        RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        PumpMessages();
        const COLORREF expected = overlap == 2 ? kSkinButtonFace : kEditBorder;
        EXPECT_EQ(expected, WindowPixel(edit, width - 1, height / 2)) << overlap << " pixels";
        DestroyWindow(neighbour);
    }
}
}

namespace
{
// Pumps messages for a while; false as soon as the condition fails.
bool HoldsWhilePumping(const std::function<bool()>& condition, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds)
    {
        PumpMessages();
        if (!condition())
            return false;
        Sleep(10);
    }
    return true;
}

// A control stays hot while the pointer rests on one of its children (the combo box's edit
// field, the date-time picker's check box), and stops being hot once the pointer leaves the
// control from there.
TEST_F(ComboEditTest, ControlStaysHotOverItsOwnChildren)
{
    const struct
    {
        const char* name;
        int id;
        const wchar_t* childClass;
        bool clientEdge;
    } cases[] = {
        {"drop-down combo box over its edit field", kGalleryDropDownCombo, L"Edit", false},
        {"date-time picker over its check box", kGalleryDateTimeNone, L"Button", true},
    };
    for (const auto& c : cases)
    {
        HWND control = Control(c.id);
        CHLMSkinObjectComboBox* object = ObjectOf<CHLMSkinObjectComboBox>(control);
        ASSERT_NE(nullptr, object) << c.name;
        HWND child = FindWindowExW(control, nullptr, c.childClass, nullptr);
        ASSERT_NE(nullptr, child) << c.name;
        const POINT button = c.clientEdge ? DropButtonPointInEdge(control) : DropButtonPoint(control);
        RECT childRect;
        GetWindowRect(child, &childRect);
        const POINT childMiddle = {(childRect.left + childRect.right) / 2, (childRect.top + childRect.bottom) / 2};

        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(control, button.x, button.y));
        EXPECT_TRUE(PumpUntil([&] { return PixelAt(control, button) == DropButton(kStateHot); })) << c.name;
        SendMouse(MOUSEEVENTF_MOVE, childMiddle);
        EXPECT_TRUE(HoldsWhilePumping([&] { return object->IsHot() != FALSE; }, 500)) << c.name;
        EXPECT_EQ(DropButton(kStateHot), PixelAt(control, button)) << c.name;
        // Back on the control itself and out again.
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(control, button.x, button.y));
        EXPECT_TRUE(HoldsWhilePumping([&] { return object->IsHot() != FALSE; }, 200)) << c.name;
        ParkMouse();
        EXPECT_TRUE(PumpUntil([&] { return PixelAt(control, button) == DropButton(kStateNormal); })) << c.name;
        EXPECT_FALSE(object->IsHot()) << c.name;
        // Leaving straight from the child ends the hot look too.
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(control, button.x, button.y));
        EXPECT_TRUE(PumpUntil([&] { return object->IsHot() != FALSE; })) << c.name;
        SendMouse(MOUSEEVENTF_MOVE, childMiddle);
        EXPECT_TRUE(HoldsWhilePumping([&] { return object->IsHot() != FALSE; }, 200)) << c.name;
        ParkMouse();
        EXPECT_TRUE(PumpUntil([&] { return !object->IsHot(); })) << c.name;
    }
}

// A picker with up-down arrows gets no drop-down button from the skin: its own arrows (a
// skinned spin) sit at the right, and a click there opens no calendar.
TEST_F(ComboEditTest, UpDownPickersKeepTheirArrowsAndOpenNoCalendar)
{
    const struct
    {
        const char* name;
        DWORD style;
        bool dropButton;
    } cases[] = {
        {"drop-down picker", DTS_SHORTDATEFORMAT, true},
        {"up-down picker", DTS_SHORTDATEFORMAT | DTS_UPDOWN, false},
        {"up-down picker with a check box", DTS_SHORTDATEFORMAT | DTS_UPDOWN | DTS_SHOWNONE, false},
    };
    for (const auto& c : cases)
    {
        HWND picker = CreateWindowExW(WS_EX_CLIENTEDGE, L"SysDateTimePick32", L"", WS_CHILD | WS_VISIBLE | c.style, 760,
                                      400, 150, 24, m_gallery->window(), nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectDateTime>(picker)) << c.name;
        Redraw(picker);
        const POINT button = DropButtonPointInEdge(picker);
        EXPECT_EQ(c.dropButton, PixelAt(picker, button) == DropButton(kStateNormal)) << c.name;
        HWND arrows = FindWindowExW(picker, nullptr, UPDOWN_CLASSW, nullptr);
        EXPECT_EQ(!c.dropButton, arrows != nullptr && IsWindowVisible(arrows)) << c.name;
        if (arrows != nullptr && IsWindowVisible(arrows))
        {
            EXPECT_NE(nullptr, GetSkinManager()->FindSkinObject(arrows)) << c.name;
            RECT client;
            GetClientRect(picker, &client);
            const LPARAM edge = MAKELPARAM(client.right - 3, client.bottom / 2);
            SendMessageW(picker, WM_LBUTTONDOWN, MK_LBUTTON, edge);
            SendMessageW(picker, WM_LBUTTONUP, 0, edge);
            PumpMessages();
            EXPECT_FALSE(ObjectOf<CHLMSkinObjectDateTime>(picker)->IsCalendarOpen()) << c.name;
        }
        DestroyWindow(picker);
        PumpMessages();
    }
}
}
