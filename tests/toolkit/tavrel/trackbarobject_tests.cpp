// The trackbar object under the test skin: channels RGB(70, 10, 0) (vertical RGB(70, 20, 0)),
// thumb part p in state s RGB(80, 10 * s, 10 * p) (both sides 3, bottom 4, top 5, upright
// with both sides 6, left 7, right 8), tics RGB(90, 0, 9) (vertical RGB(90, 0, 10)). The
// gallery's trackbars: a horizontal one with tics below, range 0..100 and a tic every 10; one
// with tics on both sides and a selection; a disabled one with tics on top; a vertical one,
// range 0..10, a tic at each value.
#include "controlgallery.h"
#include "hlmskinmanager.h"
#include "hlmskinobjecttrackbar.h"
#include "pixels.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
const COLORREF kTics = RGB(90, 0, 9), kTicsVert = RGB(90, 0, 10);
const COLORREF kChannel = RGB(70, 10, 0), kChannelVert = RGB(70, 20, 0);
const int kBothPart = 3, kBottomPart = 4, kTopPart = 5, kVertBothPart = 6, kLeftPart = 7, kRightPart = 8;
const int kNormal = 1, kHot = 2, kPressed = 3, kFocused = 4, kDisabled = 5;

COLORREF Thumb(int part, int state)
{
    return RGB(80, 10 * state, 10 * part);
}

RECT ThumbRect(HWND bar)
{
    RECT rect = {};
    SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

COLORREF ThumbPixel(HWND bar)
{
    const RECT rect = ThumbRect(bar);
    return WindowPixel(bar, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void Repaint(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
}

using TrackBarObjectTest = ControlGalleryTest;

// Tics stand where the thumb stops for their values (within the rounding of one pixel), at
// every position of the control's tic array and at no other: the array is already thinned
// to the tic frequency, and Wine keeps a stale entry after the last tic (here 50, left over
// from the tics every 10 when the frequency becomes 20).
TEST_F(TrackBarObjectTest, TicsAreTheControlsOwnOnesWithoutTheStaleSlot)
{
    HWND bar = Control(kGalleryHorzTrackBar);
    CHLMSkinObjectTrackBar* object = ObjectOf<CHLMSkinObjectTrackBar>(bar);
    ASSERT_NE(nullptr, object);
    object->CalculateLayout();
    const CRect track = object->GetTrackRect();
    const int y = track.bottom + 1;
    RECT client = {};
    GetClientRect(bar, &client);
    const RECT ticRow = {0, y, client.right, y + 4};
    // The two end tics are 4 pixels long, the others 3.
    EXPECT_EQ(2 * 4 + 9 * 3, CountColor(bar, ticRow, kTics));
    for (int value = 10; value <= 90; value += 10)
    {
        const int x = object->ValueToPosition(value);
        EXPECT_EQ(kTics, WindowPixel(bar, x, y + 1)) << value;
        EXPECT_NE(kTics, WindowPixel(bar, x + 2, y + 1)) << value;
        SendMessageW(bar, TBM_SETPOS, TRUE, value);
        const RECT thumb = ThumbRect(bar);
        EXPECT_NEAR((thumb.left + thumb.right) / 2, x, 1) << value;
    }
    for (int x : {static_cast<int>(track.left), static_cast<int>(track.right) - 1})
    {
        for (int row = y; row < y + 4; ++row)
            EXPECT_EQ(kTics, WindowPixel(bar, x, row)) << x << ", " << row;
    }

    SendMessageW(bar, TBM_SETTICFREQ, 20, 0);
    ASSERT_EQ(6, SendMessageW(bar, TBM_GETNUMTICS, 0, 0));
    const DWORD* tics = reinterpret_cast<const DWORD*>(SendMessageW(bar, TBM_GETPTICS, 0, 0));
    ASSERT_NE(nullptr, tics);
    if (LocalSize(const_cast<DWORD*>(tics)) / sizeof(DWORD) > 4)
    {
        EXPECT_EQ(50u, tics[4]) << "the stale slot Wine keeps";
    }
    Repaint(bar);
    EXPECT_EQ(2 * 4 + 4 * 3, CountColor(bar, ticRow, kTics));
    for (int value : {20, 40, 60, 80})
        EXPECT_EQ(kTics, WindowPixel(bar, object->ValueToPosition(value), y + 1)) << value;
    for (int value : {10, 50, 90})
        EXPECT_NE(kTics, WindowPixel(bar, object->ValueToPosition(value), y + 1)) << value;

    // A frequency of 0: the end tics only.
    SendMessageW(bar, TBM_SETTICFREQ, 0, 0);
    Repaint(bar);
    EXPECT_EQ(2 * 4, CountColor(bar, ticRow, kTics));

    // The vertical trackbar: the same pieces transposed, a tic at each of 1..9.
    HWND vertical = Control(kGalleryVertTrackBar);
    CHLMSkinObjectTrackBar* verticalObject = ObjectOf<CHLMSkinObjectTrackBar>(vertical);
    ASSERT_NE(nullptr, verticalObject);
    verticalObject->CalculateLayout();
    const int x = verticalObject->GetTrackRect().bottom + 1;
    RECT verticalClient = {};
    GetClientRect(vertical, &verticalClient);
    EXPECT_EQ(2 * 4 + 9 * 3, CountColor(vertical, {x, 0, x + 4, verticalClient.bottom}, kTicsVert));
    for (int value = 1; value <= 9; ++value)
        EXPECT_EQ(kTicsVert, WindowPixel(vertical, x + 1, verticalObject->ValueToPosition(value))) << value;
}

// The thumb size fitted to the style: at least two edges long, its half width odd, a
// selection range making a default thumb longer and a fixed one narrower.
TEST(TrackBarThumbSize, AdjustsLengthAndHalfWidthToTheStyle)
{
    const int minimum = 2 * GetSystemMetrics(SM_CXEDGE);
    const struct
    {
        DWORD style;
        int length, expectedLength, expectedHalf;
    } cases[] = {
        {0, 21, 21, 11},
        {0, 20, 20, 11},
        {0, 0, minimum, (minimum / 2) | 1},
        {TBS_ENABLESELRANGE, 21, 23, 11},
        {TBS_ENABLESELRANGE, 30, 33, 15},
        {TBS_ENABLESELRANGE | TBS_FIXEDLENGTH, 21, 21, 9},
        {TBS_ENABLESELRANGE | TBS_FIXEDLENGTH, 30, 30, 13},
        {TBS_FIXEDLENGTH, 30, 30, 15},
    };
    for (const auto& c : cases)
    {
        int length = c.length, half = -7;
        CHLMSkinObjectTrackBar::AdjustThumbSize(c.style, length, half);
        EXPECT_EQ(c.expectedLength, length) << std::hex << c.style << std::dec << ", " << c.length;
        EXPECT_EQ(c.expectedHalf, half) << std::hex << c.style << std::dec << ", " << c.length;
    }
}

// The layout takes the control's thumb, fits it to the style and shrinks it in a control
// too low for it; the track starts below the tics on top and leaves the thumb's room at
// each end.
TEST_F(TrackBarObjectTest, LayoutFitsTheThumbToTheStyleAndHeight)
{
    const struct
    {
        const char* name;
        DWORD style;
        int height, thumbLength;  // 0: the control's default thumb
        int expectedLength, expectedHalf, expectedTop;
        bool thumbMiddleOnEndTic;
    } cases[] = {
        {"default", TBS_AUTOTICKS, 36, 0, 21, 11, 2, true},
        {"tics on both sides", TBS_AUTOTICKS | TBS_BOTH, 45, 0, 21, 11, 10, true},
        {"selection range", TBS_ENABLESELRANGE, 36, 0, 23, 11, 2, true},
        {"fixed length", TBS_FIXEDLENGTH, 40, 30, 30, 15, 2, true},
        // Narrower than Wine's own thumb (15): the end tics stand 2 pixels inside its middle.
        {"fixed length with a selection range", TBS_FIXEDLENGTH | TBS_ENABLESELRANGE, 40, 30, 30, 13, 2, false},
        // The control shrinks its own thumb to fit (Wine: to the height less 5).
        {"too low", TBS_NOTICKS, 16, 0, 11, 5, 2, true},
    };
    for (const auto& c : cases)
    {
        HWND bar = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | c.style, 10, 500, 200, c.height,
                                   m_gallery->window(), nullptr, GetModuleHandleW(nullptr), nullptr);
        if (c.thumbLength != 0)
        {
            SendMessageW(bar, TBM_SETTHUMBLENGTH, c.thumbLength, 0);
            SendMessageW(bar, WM_SIZE, 0, MAKELPARAM(200, c.height));  // the control lays its thumb out again
        }
        CHLMSkinObjectTrackBar* object = ObjectOf<CHLMSkinObjectTrackBar>(bar);
        ASSERT_NE(nullptr, object) << c.name;
        object->CalculateLayout();
        EXPECT_EQ(c.expectedLength, object->GetThumbLength()) << c.name;
        EXPECT_EQ(c.expectedHalf, object->GetThumbHalfWidth()) << c.name;
        const CRect track = object->GetTrackRect();
        EXPECT_EQ(CRect(c.expectedHalf + 2, c.expectedTop, 200 - c.expectedHalf - 2, c.expectedTop + c.expectedLength),
                  track)
            << c.name;
        // The first tic stands under the middle of the thumb at the lowest value.
        const RECT thumb = ThumbRect(bar);
        if (c.thumbMiddleOnEndTic)
        {
            EXPECT_EQ(track.left, (thumb.left + thumb.right) / 2) << c.name;
        }
        EXPECT_EQ(track.bottom, thumb.bottom) << c.name;
        DestroyWindow(bar);
    }
}

// The selection range is highlighted inside the channel between its marks; a cleared
// selection leaves the channel plain.
TEST_F(TrackBarObjectTest, SelectionHighlightsTheChannelBetweenItsMarks)
{
    HWND bar = Control(kGallerySelTrackBar);  // range 0..20, selection 5..12, thumb at 8
    CHLMSkinObjectTrackBar* object = ObjectOf<CHLMSkinObjectTrackBar>(bar);
    ASSERT_NE(nullptr, object);
    object->CalculateLayout();
    RECT channel = {};
    SendMessageW(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    const int y = (channel.top + channel.bottom) / 2;
    const COLORREF highlight = SkinColor(COLOR_HIGHLIGHT);
    const struct
    {
        int value;
        COLORREF color;
    } probes[] = {{3, kChannel}, {5, highlight}, {6, highlight}, {11, highlight}, {12, highlight}, {15, kChannel}};
    for (const auto& probe : probes)
        EXPECT_EQ(probe.color, WindowPixel(bar, object->ValueToPosition(probe.value), y)) << probe.value;
    EXPECT_EQ(kChannel, WindowPixel(bar, object->ValueToPosition(6), channel.top)) << "the channel's border";
    EXPECT_NE(highlight, WindowPixel(bar, object->ValueToPosition(4), y));
    EXPECT_NE(highlight, WindowPixel(bar, object->ValueToPosition(13), y));

    SendMessageW(bar, TBM_CLEARSEL, TRUE, 0);
    Repaint(bar);
    EXPECT_EQ(0, CountColor(bar, channel, highlight));
}

// Channel and thumb parts by orientation and tic side; thumb states from the mouse (hot
// through SendInput, pressed while the control holds the capture), the focus and the
// enabled state.
TEST_F(TrackBarObjectTest, ThumbShowsItsStateInThePartOfItsSide)
{
    HWND bar = Control(kGalleryHorzTrackBar);
    HWND vertical = Control(kGalleryVertTrackBar);
    ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectTrackBar>(bar));
    RECT channel = {};
    SendMessageW(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    EXPECT_EQ(kChannel, WindowPixel(bar, channel.right - 3, (channel.top + channel.bottom) / 2));
    SendMessageW(vertical, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    // Whichever way the control reports it, the vertical channel is drawn upright.
    const int middleX = channel.right - channel.left < channel.bottom - channel.top ? (channel.left + channel.right) / 2
                                                                                     : (channel.top + channel.bottom) / 2;
    RECT verticalClient = {};
    GetClientRect(vertical, &verticalClient);
    EXPECT_EQ(kChannelVert, WindowPixel(vertical, middleX, verticalClient.bottom - 12));
    EXPECT_GT(CountColor(vertical, {middleX, 0, middleX + 1, verticalClient.bottom}, kChannelVert), 80);

    EXPECT_EQ(Thumb(kBottomPart, kNormal), ThumbPixel(bar));
    EXPECT_EQ(Thumb(kRightPart, kNormal), ThumbPixel(vertical));
    EXPECT_EQ(Thumb(kBothPart, kNormal), ThumbPixel(Control(kGallerySelTrackBar)));
    EXPECT_EQ(Thumb(kTopPart, kDisabled), ThumbPixel(Control(kGalleryDisabledTrackBar)));

    const RECT thumb = ThumbRect(bar);
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(bar, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2));
    EXPECT_TRUE(PumpUntil([&] { return ThumbPixel(bar) == Thumb(kBottomPart, kHot); }));
    EXPECT_TRUE(ObjectOf<CHLMSkinObjectTrackBar>(bar)->IsHot());
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return ThumbPixel(bar) == Thumb(kBottomPart, kPressed); }));
    EXPECT_EQ(bar, GetCapture());
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return GetCapture() == nullptr; }));
    // The press gave the control the focus; with focus cues shown the released thumb is hot
    // until the mouse leaves, then focused.
    SendMessageW(m_gallery->window(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    EXPECT_TRUE(PumpUntil([&] { return ThumbPixel(bar) == Thumb(kBottomPart, kHot); }));
    ParkMouse();
    EXPECT_TRUE(PumpUntil([&] { return ThumbPixel(bar) == Thumb(kBottomPart, kFocused); }));
    EXPECT_FALSE(ObjectOf<CHLMSkinObjectTrackBar>(bar)->IsHot());
    SetFocus(Control(kGalleryVertTrackBar));
    Repaint(bar);
    EXPECT_EQ(Thumb(kBottomPart, kNormal), ThumbPixel(bar));
    EXPECT_EQ(Thumb(kRightPart, kFocused), ThumbPixel(vertical));

    EnableWindow(bar, FALSE);
    Repaint(bar);
    EXPECT_EQ(Thumb(kBottomPart, kDisabled), ThumbPixel(bar));
    EnableWindow(bar, TRUE);
    Repaint(bar);
    EXPECT_EQ(Thumb(kBottomPart, kNormal), ThumbPixel(bar));
}

// The thumb of every other side goes through the same states in its own part: normal, hot
// under the mouse, pressed while held, focused once released and left with the focus,
// disabled.
TEST_F(TrackBarObjectTest, ThumbOfEverySideShowsEveryStateInItsPart)
{
    const struct
    {
        const char* name;
        DWORD style;
        int part;
    } cases[] = {
        {"tics on both sides", TBS_BOTH, kBothPart},
        {"tics on top", TBS_TOP, kTopPart},
        {"upright with tics on both sides", TBS_VERT | TBS_BOTH, kVertBothPart},
        {"upright with tics on the left", TBS_VERT | TBS_LEFT, kLeftPart},
        {"upright with tics on the right", TBS_VERT, kRightPart},
    };
    const struct
    {
        int state;
        void (*drive)(HWND bar);
    } steps[] = {
        {kNormal, [](HWND) {}},
        {kHot,
         [](HWND bar) {
             const RECT thumb = ThumbRect(bar);
             const POINT middle = {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
             SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(bar, middle.x, middle.y));
         }},
        {kPressed, [](HWND) { SendMouse(MOUSEEVENTF_LEFTDOWN); }},
        {kFocused,
         [](HWND bar) {
             SendMouse(MOUSEEVENTF_LEFTUP);
             SetFocus(bar);
             ParkMouse();
         }},
        {kDisabled,
         [](HWND bar) {
             EnableWindow(bar, FALSE);
             InvalidateRect(bar, nullptr, FALSE);
         }},
    };
    // Each case takes the place of the gallery's trackbars.
    for (int id : {kGalleryHorzTrackBar, kGallerySelTrackBar, kGalleryDisabledTrackBar, kGalleryVertTrackBar})
        ShowWindow(Control(id), SW_HIDE);
    for (const auto& c : cases)
    {
        const SIZE size = (c.style & TBS_VERT) ? SIZE{45, 125} : SIZE{200, 45};
        HWND bar = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | c.style, 10, 175, size.cx, size.cy,
                                   m_gallery->window(), nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectTrackBar>(bar)) << c.name;
        SendMessageW(bar, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        Repaint(bar);
        for (const auto& step : steps)
        {
            step.drive(bar);
            EXPECT_TRUE(PumpUntil([&] { return ThumbPixel(bar) == Thumb(c.part, step.state); }))
                << c.name << ", state " << step.state;
        }
        DestroyWindow(bar);
        PumpMessages();
    }
}

// ---------------------------------------------------------------------------------------
// The parent's custom-draw notifications, recorded by a subclass of the gallery.

struct CustomDrawCall
{
    DWORD stage;
    DWORD_PTR item;
};

class TrackBarCustomDrawTest : public ControlGalleryTest
{
protected:
    void SetUp() override
    {
        ControlGalleryTest::SetUp();
        m_bar = Control(kGalleryHorzTrackBar);
        SetWindowSubclass(m_gallery->window(), RecordCustomDraw, 0, reinterpret_cast<DWORD_PTR>(this));
    }

    void TearDown() override
    {
        RemoveWindowSubclass(m_gallery->window(), RecordCustomDraw, 0);
        ControlGalleryTest::TearDown();
    }

    static LRESULT CALLBACK RecordCustomDraw(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data)
    {
        auto* test = reinterpret_cast<TrackBarCustomDrawTest*>(data);
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (message == WM_NOTIFY && header->hwndFrom == test->m_bar && header->code == static_cast<UINT>(NM_CUSTOMDRAW))
        {
            const NMCUSTOMDRAW* record = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
            EXPECT_EQ(static_cast<WPARAM>(kGalleryHorzTrackBar), wParam);
            EXPECT_EQ(static_cast<UINT_PTR>(kGalleryHorzTrackBar), header->idFrom);
            EXPECT_NE(nullptr, record->hdc);
            test->calls.push_back({record->dwDrawStage, record->dwItemSpec});
            return test->answer ? test->answer(record) : CDRF_DODEFAULT;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }

    std::string Paint()
    {
        calls.clear();
        Repaint(m_bar);
        std::string text;
        for (const CustomDrawCall& call : calls)
            text += "(" + std::to_string(call.stage) + "," + std::to_string(call.item) + ")";
        return text;
    }

    HWND m_bar = nullptr;
    std::vector<CustomDrawCall> calls;
    std::function<LRESULT(const NMCUSTOMDRAW*)> answer;
};

TEST_F(TrackBarCustomDrawTest, ParentIsToldAroundEachPieceAndCannotSkipIt)
{
    ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectTrackBar>(m_bar));
    EXPECT_EQ("(1,0)", Paint());

    // Item notifications around the tics (1), the channel (3) and the thumb (2); answers
    // that would skip a piece change nothing.
    answer = [](const NMCUSTOMDRAW* record) -> LRESULT {
        return record->dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT : CDRF_SKIPDEFAULT;
    };
    EXPECT_EQ("(65537,1)(65538,1)(65537,3)(65538,3)(65537,2)(65538,2)", Paint().substr(5, 54));
    EXPECT_EQ(8u, calls.size());
    EXPECT_EQ(static_cast<DWORD>(CDDS_POSTPAINT), calls.back().stage);
    EXPECT_EQ(Thumb(kBottomPart, kNormal), ThumbPixel(m_bar));
    EXPECT_GT(CountColor(m_bar, {0, 0, 200, 36}, kTics), 20);
}
}
