// The skinned frame's scroll bars on real windows under the test skin, whose images are solid
// colours (image f, frame k: RGB(16f, 15k, 96); the second set: blue 160). Input comes from
// SendInput on a second thread while this thread runs the tracking loop; the window records
// the scroll messages it receives.
#include "hlmskinmanager.h"
#include "hlmskinobjectframe.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace
{
typedef CHLMSkinObjectFrame::SCROLLBARLAYOUT SCROLLBARLAYOUT;

const wchar_t kClassName[] = L"QuilbrookScrollTest";

// Images of the test skin's scroll bars.
const int kArrowImage = 11, kThumbImage = 12, kLowerTrackImage = 13;  // first set
const int kUpperTrackImage = 8, kGripperImage = 9, kSizeBoxImage = 10;  // second set

struct ScrollMessage
{
    UINT message;
    int code;
    int position;
    LPARAM control;
    int trackPosition;  // what GetScrollInfo reported as the track position then
};

std::vector<ScrollMessage> g_scrollMessages;
std::vector<LPARAM> g_contextMenus;
BOOL g_releaseCaptureOnLine = FALSE;

void SetBar(HWND window, int bar, int maximum, int page, int position)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = maximum;
    info.nPage = page;
    info.nPos = position;
    SetScrollInfo(window, bar, &info, FALSE);
}

// Moves the bar as an application does; the skin's SetScrollInfo redraws it.
void ScrollTo(HWND window, int bar, int position)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(window, bar, &info, TRUE);
}

// The track position that GetScrollInfo reports.
int TrackPosition(HWND window, int bar)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(window, bar, &info);
    return info.nTrackPos;
}

void Scroll(HWND window, int bar, int code, int thumbPosition)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    const int last = info.nMax - static_cast<int>(info.nPage) + 1;
    int position = info.nPos;
    switch (code)
    {
    case SB_LINEUP: position -= 1; break;
    case SB_LINEDOWN: position += 1; break;
    case SB_PAGEUP: position -= info.nPage; break;
    case SB_PAGEDOWN: position += info.nPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = thumbPosition; break;
    default: return;
    }
    ScrollTo(window, bar, std::max(info.nMin, std::min(position, last)));
}

// Subclasses the window over the skin's procedure, which serves a window of a system class
// procedure without any help from rewritten imports.
LRESULT CALLBACK RecordScrolling(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_VSCROLL || message == WM_HSCROLL)
    {
        const int bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
        const int code = LOWORD(wParam), position = static_cast<short>(HIWORD(wParam));
        g_scrollMessages.push_back({message, code, position, lParam, TrackPosition(window, bar)});
        if (g_releaseCaptureOnLine && (code == SB_LINEDOWN || code == SB_LINEUP))
            ReleaseCapture();
        Scroll(window, bar, code, position);
        return 0;
    }
    if (message == WM_CONTEXTMENU)
    {
        g_contextMenus.push_back(lParam);
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

std::vector<int> Codes()
{
    std::vector<int> codes;
    for (const ScrollMessage& message : g_scrollMessages)
        codes.push_back(message.code);
    return codes;
}

int CountOf(int code)
{
    int count = 0;
    for (const ScrollMessage& message : g_scrollMessages)
        count += message.code == code;
    return count;
}

class FrameScrollTest : public TestSkinTest
{
protected:
    static void SetUpTestSuite()
    {
        RegisterWindowClass(kClassName, DefWindowProcW, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    }

    void SetUp() override
    {
        TestSkinTest::SetUp();
        if (HasFatalFailure())
            return;
        g_scrollMessages.clear();
        g_contextMenus.clear();
        g_releaseCaptureOnLine = FALSE;
        // Long enough that no repeat comes between a press and its release.
        m_doubleClickTime = GetDoubleClickTime();
        SetDoubleClickTime(5000);
    }

    void TearDown() override
    {
        SetDoubleClickTime(m_doubleClickTime);
        for (HWND window : m_windows)
        {
            if (IsWindow(window))
                DestroyWindow(window);
        }
        PumpMessages();
    }

    // 300 x 200 with both bars: 0..99 with a page of 20 at 40 (vertical) and 0 (horizontal).
    HWND CreateScrolledWindow(DWORD exStyle = 0)
    {
        HWND window = CreateWindowExW(exStyle, kClassName, L"", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL, 40,
                                      40, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(nullptr, window);
        m_windows.push_back(window);
        SetWindowSubclass(window, RecordScrolling, 0, 0);
        SetBar(window, SB_VERT, 99, 20, 40);
        SetBar(window, SB_HORZ, 99, 20, 0);
        SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        ShowWindow(window, SW_SHOW);
        SetActiveWindow(window);
        Repaint(window);
        return window;
    }

    static void Repaint(HWND window)
    {
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpMessages();
    }

    // Presses the left button at a point of the window, with shift held when asked, waits
    // for the tracking to start and for `held` to hold, then releases.
    static void Click(HWND window, POINT point, const std::function<bool()>& held = [] { return true; },
                      BOOL shift = FALSE)
    {
        CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
        // Shift goes down in the same input as the press, so that nothing comes between them.
        INPUT press[2] = {};
        press[0].type = INPUT_KEYBOARD;
        press[0].ki.wVk = VK_SHIFT;
        press[1].type = INPUT_MOUSE;
        press[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        INPUT release[2] = {press[1], press[0]};
        release[0].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        release[1].ki.dwFlags = KEYEVENTF_KEYUP;
        const UINT inputs = shift ? 2 : 1;
        if (shift)
            SetFocus(window);
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, point.x, point.y));
        PumpMessages();
        RunBesideMessageLoop([&] {
            SendInput(inputs, &press[2 - inputs], sizeof(INPUT));
            WaitUntil([&] { return frame->GetScrollTrackInfo() != nullptr || !g_scrollMessages.empty(); });
            WaitUntil(held);
            SendInput(inputs, release, sizeof(INPUT));
            WaitUntil([&] { return frame->GetScrollTrackInfo() == nullptr; });
        });
    }

    std::vector<HWND> m_windows;
    UINT m_doubleClickTime = 0;
};

int Middle(int from, int to)
{
    return (from + to) / 2;
}

POINT OnVerticalBar(const SCROLLBARLAYOUT& bar, int along)
{
    return POINT{Middle(bar.nCrossStart, bar.nCrossEnd), along};
}
}

TEST_F(FrameScrollTest, LayoutSharesTheBarBetweenArrowsTrackAndThumb)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    // The test skin's bar height makes vertical arrows 21 pixels long.
    ASSERT_EQ(21, GetSkinManager()->GetMetrics()->m_cyVScroll);

    struct LayoutCase
    {
        const char* name;
        RECT rect;
        int maximum, page, position;
        int firstArrowEnd, secondArrowStart, thumbStart, thumbSize, trackRange;
    };
    const LayoutCase cases[] = {
        // 158 pixels between the arrows; a page of 10 in 100 is 16 of them.
        {"top", {0, 0, 16, 200}, 99, 10, 0, 21, 179, 21, 16, 142},
        {"middle", {0, 0, 16, 200}, 99, 10, 45, 21, 179, 92, 16, 142},
        {"end", {0, 0, 16, 200}, 99, 10, 90, 21, 179, 163, 16, 142},
        {"no page: an arrow's length", {0, 0, 16, 200}, 99, 0, 50, 21, 179, 90, 21, 137},
        {"at least half an arrow", {0, 0, 16, 200}, 9999, 1, 0, 21, 179, 21, 10, 148},
        {"page covers the range", {0, 0, 16, 200}, 9, 10, 0, 21, 179, 20, 158, 0},
        {"page beyond the range", {0, 0, 16, 200}, 9, 20, 5, 21, 179, 20, 316, -158},
        {"shorter than two arrows", {0, 0, 16, 30}, 99, 10, 0, 15, 15, 15, 10, -10},
    };
    for (const LayoutCase& c : cases)
    {
        SCROLLBARLAYOUT layout;
        layout.bVertical = TRUE;
        layout.nBar = SB_VERT;
        SCROLLINFO info = {static_cast<UINT>(sizeof(info)), SIF_ALL, 0, c.maximum, static_cast<UINT>(c.page), c.position, 0};
        frame->CalcScrollBarLayout(c.rect, &layout, info);
        EXPECT_EQ(c.firstArrowEnd, layout.nFirstArrowEnd) << c.name;
        EXPECT_EQ(c.secondArrowStart, layout.nSecondArrowStart) << c.name;
        EXPECT_EQ(c.thumbStart, layout.nThumbStart) << c.name;
        EXPECT_EQ(c.thumbSize, layout.nThumbEnd - layout.nThumbStart) << c.name;
        EXPECT_EQ(c.trackRange, layout.nTrackRange) << c.name;
        EXPECT_EQ(c.firstArrowEnd, layout.nTrackStart) << c.name;
    }

    // A horizontal bar runs along x with the arrows of the skin's horizontal width.
    SCROLLBARLAYOUT horizontal;
    SCROLLINFO info = {static_cast<UINT>(sizeof(info)), SIF_ALL, 0, 99, 10, 0, 0};
    frame->CalcScrollBarLayout(CRect(10, 100, 310, 117), &horizontal, info);
    const int arrow = GetSkinManager()->GetMetrics()->m_cxHScroll;
    EXPECT_EQ(10, horizontal.nStart);
    EXPECT_EQ(310, horizontal.nEnd);
    EXPECT_EQ(100, horizontal.nCrossStart);
    EXPECT_EQ(117, horizontal.nCrossEnd);
    EXPECT_EQ(10 + arrow, horizontal.nFirstArrowEnd);
    EXPECT_EQ(310 - arrow, horizontal.nSecondArrowStart);

    // Hit codes along the middle layout: thumb at 92..108.
    SCROLLBARLAYOUT layout;
    layout.bVertical = TRUE;
    layout.bVisible = TRUE;
    SCROLLINFO middle = {static_cast<UINT>(sizeof(middle)), SIF_ALL, 0, 99, 10, 45, 0};
    frame->CalcScrollBarLayout(CRect(0, 0, 16, 200), &layout, middle);
    const struct
    {
        POINT point;
        int code;
    } hits[] = {{{8, 0}, 60},   {{8, 20}, 60},   {{8, 21}, 62},  {{8, 91}, 62}, {{8, 92}, 64}, {{8, 107}, 64},
                {{8, 108}, 63}, {{8, 178}, 63}, {{8, 179}, 61}, {{8, 199}, 61}, {{16, 100}, 0}, {{8, 200}, 0}};
    for (const auto& hit : hits)
        EXPECT_EQ(hit.code, frame->HitTestScrollBar(&layout, hit.point)) << hit.point.y;
    layout.bVisible = FALSE;
    EXPECT_EQ(0, frame->HitTestScrollBar(&layout, CPoint(8, 100)));
}

TEST_F(FrameScrollTest, BarsLieAgainstTheClientAreaAndDrawTheSkinsParts)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    RECT windowRect, client;
    GetWindowRect(window, &windowRect);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -windowRect.left, -windowRect.top);
    const CHLMSkinManagerMetrics* metrics = GetSkinManager()->GetMetrics();
    EXPECT_EQ(CRect(client.right, client.top, client.right + metrics->m_cxVScroll, client.bottom),
              frame->GetScrollBarRect(SB_VERT));
    EXPECT_EQ(CRect(client.left, client.bottom, client.right, client.bottom + metrics->m_cyHScroll),
              frame->GetScrollBarRect(SB_HORZ));

    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    const SCROLLBARLAYOUT& h = frame->GetHorzBar();
    ASSERT_TRUE(v.bVisible && h.bVisible);
    ASSERT_GT(v.nThumbStart, v.nFirstArrowEnd + 2);
    const int x = Middle(v.nCrossStart, v.nCrossEnd), y = Middle(h.nCrossStart, h.nCrossEnd);
    struct Probe
    {
        const char* name;
        int x, y;
        COLORREF color;
    };
    const Probe probes[] = {
        {"up arrow", x, v.nStart + 2, Solid(kArrowImage, 1)},
        {"down arrow", x, v.nEnd - 2, Solid(kArrowImage, 5)},
        {"track above the thumb", x, v.nFirstArrowEnd + 1, Solid(kLowerTrackImage, 1)},
        {"vertical thumb", x, v.nThumbStart + 1, Solid(kThumbImage, 1)},
        {"vertical gripper", x, Middle(v.nThumbStart, v.nThumbEnd), SecondSet(kGripperImage, 1)},
        {"track below the thumb", x, v.nThumbEnd + 1, SecondSet(kUpperTrackImage, 1)},
        {"left arrow", h.nStart + 2, y, Solid(kArrowImage, 9)},
        {"right arrow", h.nEnd - 2, y, Solid(kArrowImage, 13)},
        {"horizontal thumb", h.nThumbStart + 1, y, Solid(kThumbImage, 1)},
        {"horizontal gripper", Middle(h.nThumbStart, h.nThumbEnd), y, SecondSet(kGripperImage, 1)},
        {"track right of the thumb", h.nThumbEnd + 1, y, SecondSet(kUpperTrackImage, 1)},
        {"size box", x, y, SecondSet(kSizeBoxImage, 1)},
    };
    for (const Probe& probe : probes)
        EXPECT_EQ(probe.color, WindowPixel(window, probe.x, probe.y)) << probe.name;

    // A page that covers the range: disabled arrows and one disabled track, no thumb.
    SetBar(window, SB_VERT, 9, 10, 0);
    ScrollTo(window, SB_VERT, 0);
    EXPECT_EQ(Solid(kArrowImage, 4), WindowPixel(window, x, v.nStart + 2));
    EXPECT_EQ(Solid(kArrowImage, 8), WindowPixel(window, x, v.nEnd - 2));
    EXPECT_EQ(SecondSet(kUpperTrackImage, 4), WindowPixel(window, x, v.nFirstArrowEnd + 1));
    EXPECT_EQ(SecondSet(kUpperTrackImage, 4), WindowPixel(window, x, v.nSecondArrowStart - 1));

    // The skin's SetScrollPos draws the moved thumb itself (no system bar over it).
    SetScrollPos(window, SB_HORZ, 50, TRUE);
    EXPECT_EQ(50, h.nPos);
    EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(window, h.nThumbStart + 1, y));
    EXPECT_EQ(Solid(kLowerTrackImage, 1), WindowPixel(window, h.nFirstArrowEnd + 1, y));
}

TEST_F(FrameScrollTest, ClicksOnArrowsAndPagesSendTheirCommandThenEndScroll)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    const SCROLLBARLAYOUT& h = frame->GetHorzBar();

    Click(window, OnVerticalBar(v, v.nEnd - 3));
    EXPECT_EQ((std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}), Codes());
    EXPECT_EQ(41, GetScrollPos(window, SB_VERT));
    for (const ScrollMessage& message : g_scrollMessages)
    {
        EXPECT_EQ(static_cast<UINT>(WM_VSCROLL), message.message);
        EXPECT_EQ(0, message.control);
    }
    // No thumb is dragged: the track position is the position the window had.
    EXPECT_EQ(40, g_scrollMessages[0].trackPosition);

    g_scrollMessages.clear();
    Click(window, OnVerticalBar(v, v.nFirstArrowEnd + 1));
    EXPECT_EQ((std::vector<int>{SB_PAGEUP, SB_ENDSCROLL}), Codes());
    EXPECT_EQ(21, GetScrollPos(window, SB_VERT));
    EXPECT_EQ(41, g_scrollMessages[0].trackPosition);

    g_scrollMessages.clear();
    Click(window, POINT{h.nEnd - 3, Middle(h.nCrossStart, h.nCrossEnd)});
    EXPECT_EQ((std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}), Codes());
    EXPECT_EQ(static_cast<UINT>(WM_HSCROLL), g_scrollMessages[0].message);
    EXPECT_EQ(1, GetScrollPos(window, SB_HORZ));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, v.nHotPart);
}

TEST_F(FrameScrollTest, AHeldArrowShowsPressedAndRepeats)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    const POINT arrow = OnVerticalBar(v, v.nEnd - 3);
    SetDoubleClickTime(100);
    COLORREF pressed = 0;
    Click(window, arrow, [&] {
        if (WindowPixel(window, arrow.x, arrow.y) == Solid(kArrowImage, 7))
            pressed = Solid(kArrowImage, 7);
        return pressed != 0 && CountOf(SB_LINEDOWN) >= 4;
    });
    EXPECT_EQ(Solid(kArrowImage, 7), pressed);
    EXPECT_GE(CountOf(SB_LINEDOWN), 4);
    EXPECT_EQ(SB_ENDSCROLL, Codes().back());
    EXPECT_EQ(1, CountOf(SB_ENDSCROLL));
    // Released: the arrow is drawn normal again.
    EXPECT_EQ(Solid(kArrowImage, 5), WindowPixel(window, arrow.x, arrow.y));
}

TEST_F(FrameScrollTest, HoldingOnTheTrackPagesUntilTheThumbReachesTheMouse)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    ScrollTo(window, SB_VERT, 0);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    // Two thumb lengths below the thumb: a couple of pages away, well before the end.
    const POINT mouse = OnVerticalBar(v, v.nThumbEnd + 2 * (v.nThumbEnd - v.nThumbStart));
    ASSERT_LT(mouse.y, v.nSecondArrowStart - (v.nThumbEnd - v.nThumbStart));
    SetDoubleClickTime(50);
    Click(window, mouse, [&] { return v.nThumbStart <= mouse.y && mouse.y < v.nThumbEnd; });
    EXPECT_LE(v.nThumbStart, mouse.y);
    EXPECT_GT(v.nThumbEnd, mouse.y);
    EXPECT_LT(GetScrollPos(window, SB_VERT), 80);
    EXPECT_GE(CountOf(SB_PAGEDOWN), 2);
    EXPECT_EQ(SB_ENDSCROLL, Codes().back());
}

TEST_F(FrameScrollTest, DraggingTheThumbTracksPositionsAndReportsTheLastOne)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    const int start = v.nThumbStart;
    const POINT grab = OnVerticalBar(v, Middle(v.nThumbStart, v.nThumbEnd));
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, grab.x, grab.y));
    PumpMessages();
    COLORREF draggedThumb = 0;
    RunBesideMessageLoop([&] {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        WaitUntil([&] { return frame->GetScrollTrackInfo() != nullptr; });
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, grab.x, grab.y + 30));
        WaitUntil([&] { return v.nThumbStart == start + 30; });
        draggedThumb = WindowPixel(window, grab.x, start + 31);
        SendMouse(MOUSEEVENTF_LEFTUP);
        WaitUntil([&] { return frame->GetScrollTrackInfo() == nullptr; });
    });
    ASSERT_GE(g_scrollMessages.size(), 4u);
    // The press reports where the thumb was; each move the position under it.
    EXPECT_EQ(SB_THUMBTRACK, g_scrollMessages[0].code);
    EXPECT_EQ(40, g_scrollMessages[0].position);
    const std::vector<int> codes = Codes();
    ASSERT_EQ(SB_ENDSCROLL, codes.back());
    const ScrollMessage& released = g_scrollMessages[g_scrollMessages.size() - 2];
    const ScrollMessage& lastTrack = g_scrollMessages[g_scrollMessages.size() - 3];
    EXPECT_EQ(SB_THUMBPOSITION, released.code);
    EXPECT_EQ(SB_THUMBTRACK, lastTrack.code);
    EXPECT_EQ(lastTrack.position, released.position);
    EXPECT_GT(released.position, 40);
    // While the thumb moves, GetScrollInfo reports the dragged position as the track position.
    EXPECT_EQ(lastTrack.position, lastTrack.trackPosition);
    EXPECT_EQ(Solid(kThumbImage, 3), draggedThumb);
    EXPECT_EQ(released.position, GetScrollPos(window, SB_VERT));
}

TEST_F(FrameScrollTest, AThumbDraggedFarFromTheBarReturnsToWhereItStarted)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    const int start = v.nThumbStart;
    const POINT grab = OnVerticalBar(v, Middle(v.nThumbStart, v.nThumbEnd));
    const int away = 8 * (v.nCrossEnd - v.nCrossStart) + 20;
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, grab.x, grab.y));
    PumpMessages();
    RunBesideMessageLoop([&] {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        WaitUntil([&] { return frame->GetScrollTrackInfo() != nullptr; });
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, grab.x, grab.y + 30));
        WaitUntil([&] { return v.nThumbStart == start + 30; });
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, grab.x - away, grab.y + 30));
        WaitUntil([&] { return v.nThumbStart == start; });
        SendMouse(MOUSEEVENTF_LEFTUP);
        WaitUntil([&] { return frame->GetScrollTrackInfo() == nullptr; });
    });
    const std::vector<int> codes = Codes();
    ASSERT_GE(codes.size(), 4u);
    EXPECT_EQ(SB_ENDSCROLL, codes.back());
    EXPECT_EQ(SB_THUMBPOSITION, codes[codes.size() - 2]);
    EXPECT_EQ(40, g_scrollMessages[codes.size() - 2].position);
    EXPECT_EQ(40, GetScrollPos(window, SB_VERT));
}

TEST_F(FrameScrollTest, AShiftClickOnTheTrackCentresTheThumbUnderTheMouse)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    const POINT target = OnVerticalBar(v, v.nThumbEnd + 25);
    ASSERT_LT(target.y + (v.nThumbEnd - v.nThumbStart) / 2, v.nSecondArrowStart);
    Click(window, target, [] { return true; }, TRUE);
    const std::vector<int> codes = Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(SB_THUMBTRACK, codes.front());
    EXPECT_EQ(SB_THUMBPOSITION, codes[codes.size() - 2]);
    EXPECT_EQ(SB_ENDSCROLL, codes.back());
    EXPECT_EQ(0, CountOf(SB_PAGEDOWN));
    EXPECT_LE(std::abs(Middle(v.nThumbStart, v.nThumbEnd) - target.y), 1);
}

// A press on each part of either bar, at the edges of the parts too: the part the tracking
// holds, what it sends first, and where the bar is after the release. The vertical bar is at
// 40 of 0..80, the horizontal one at 0.
TEST_F(FrameScrollTest, APressTracksThePartUnderTheMouseAndScrollsByIt)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    // Room for the thumb's middle 10 pixels above it and 25 below it.
    const int halfThumb = (v.nThumbEnd - v.nThumbStart) / 2;
    ASSERT_GT(v.nThumbStart - 10 - halfThumb, v.nFirstArrowEnd);
    ASSERT_LT(v.nThumbEnd + 25 + halfThumb, v.nSecondArrowStart);
    const int kThumbUnderMouse = -1;  // wherever the thumb's middle lies under the mouse
    typedef CHLMSkinObjectFrame Frame;
    struct Case
    {
        const char* name;
        int bar;
        int SCROLLBARLAYOUT::*edge;
        int offset;  // from the edge along the bar
        BOOL shift;
        int part, firstCode, position;
    } const cases[] = {
        {"up arrow", SB_VERT, &SCROLLBARLAYOUT::nStart, 3, FALSE, Frame::kHotFirstArrow, SB_LINEUP, 39},
        {"last pixel of the up arrow", SB_VERT, &SCROLLBARLAYOUT::nFirstArrowEnd, -1, FALSE, Frame::kHotFirstArrow,
         SB_LINEUP, 39},
        {"track above the thumb", SB_VERT, &SCROLLBARLAYOUT::nFirstArrowEnd, 0, FALSE, Frame::kHotTrackBeforeThumb,
         SB_PAGEUP, 20},
        {"last pixel above the thumb", SB_VERT, &SCROLLBARLAYOUT::nThumbStart, -1, FALSE, Frame::kHotTrackBeforeThumb,
         SB_PAGEUP, 20},
        {"shift on the track above the thumb", SB_VERT, &SCROLLBARLAYOUT::nThumbStart, -10, TRUE,
         Frame::kHotTrackBeforeThumb, SB_THUMBTRACK, kThumbUnderMouse},
        {"first pixel of the thumb, released there", SB_VERT, &SCROLLBARLAYOUT::nThumbStart, 0, FALSE, Frame::kHotThumb,
         SB_THUMBTRACK, 40},
        {"last pixel of the thumb", SB_VERT, &SCROLLBARLAYOUT::nThumbEnd, -1, FALSE, Frame::kHotThumb, SB_THUMBTRACK, 40},
        {"track below the thumb", SB_VERT, &SCROLLBARLAYOUT::nThumbEnd, 0, FALSE, Frame::kHotTrackAfterThumb,
         SB_PAGEDOWN, 60},
        {"shift on the track below the thumb", SB_VERT, &SCROLLBARLAYOUT::nThumbEnd, 25, TRUE,
         Frame::kHotTrackAfterThumb, SB_THUMBTRACK, kThumbUnderMouse},
        {"first pixel of the down arrow", SB_VERT, &SCROLLBARLAYOUT::nSecondArrowStart, 0, FALSE, Frame::kHotSecondArrow,
         SB_LINEDOWN, 41},
        {"down arrow", SB_VERT, &SCROLLBARLAYOUT::nEnd, -3, FALSE, Frame::kHotSecondArrow, SB_LINEDOWN, 41},
        {"left arrow at the start", SB_HORZ, &SCROLLBARLAYOUT::nStart, 3, FALSE, Frame::kHotFirstArrow, SB_LINEUP, 0},
        {"horizontal thumb", SB_HORZ, &SCROLLBARLAYOUT::nThumbStart, 2, FALSE, Frame::kHotThumb, SB_THUMBTRACK, 0},
        {"track right of the thumb", SB_HORZ, &SCROLLBARLAYOUT::nThumbEnd, 0, FALSE, Frame::kHotTrackAfterThumb,
         SB_PAGEDOWN, 20},
        {"right arrow", SB_HORZ, &SCROLLBARLAYOUT::nEnd, -3, FALSE, Frame::kHotSecondArrow, SB_LINEDOWN, 1},
    };
    for (const Case& c : cases)
    {
        ScrollTo(window, SB_VERT, 40);
        ScrollTo(window, SB_HORZ, 0);
        g_scrollMessages.clear();
        const BOOL vertical = c.bar == SB_VERT;
        const SCROLLBARLAYOUT& bar = vertical ? frame->GetVertBar() : frame->GetHorzBar();
        const int along = bar.*c.edge + c.offset, across = Middle(bar.nCrossStart, bar.nCrossEnd);
        int heldPart = 0;
        Click(window, vertical ? POINT{across, along} : POINT{along, across},
              [&] {
                  heldPart = bar.nHotPart;
                  return true;
              },
              c.shift);
        EXPECT_EQ(c.part, heldPart) << c.name;
        ASSERT_GE(g_scrollMessages.size(), 2u) << c.name;
        EXPECT_EQ(static_cast<UINT>(vertical ? WM_VSCROLL : WM_HSCROLL), g_scrollMessages.front().message) << c.name;
        EXPECT_EQ(c.firstCode, g_scrollMessages.front().code) << c.name;
        EXPECT_EQ(SB_ENDSCROLL, g_scrollMessages.back().code) << c.name;
        if (c.position == kThumbUnderMouse)
            EXPECT_LE(std::abs(Middle(bar.nThumbStart, bar.nThumbEnd) - along), 1) << c.name;
        else
            EXPECT_EQ(c.position, GetScrollPos(window, c.bar)) << c.name;
    }
}

// Each arrow of both bars in each state the mouse or the range gives it: the skin's frame for
// its direction and state.
TEST_F(FrameScrollTest, EveryArrowShowsTheFrameOfItsDirectionAndState)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    struct Arrow
    {
        const char* name;
        int bar;
        BOOL first;
        int hot, pressed, disabled;
    } const arrows[] = {
        {"up", SB_VERT, TRUE, 2, 3, 4},
        {"down", SB_VERT, FALSE, 6, 7, 8},
        {"left", SB_HORZ, TRUE, 10, 11, 12},
        {"right", SB_HORZ, FALSE, 14, 15, 16},
    };
    for (const Arrow& arrow : arrows)
    {
        const BOOL vertical = arrow.bar == SB_VERT;
        const SCROLLBARLAYOUT& bar = vertical ? frame->GetVertBar() : frame->GetHorzBar();
        const int along = arrow.first ? bar.nStart + 3 : bar.nEnd - 3, across = Middle(bar.nCrossStart, bar.nCrossEnd);
        const POINT point = vertical ? POINT{across, along} : POINT{along, across};
        const auto pixel = [&] { return WindowPixel(window, point.x, point.y); };

        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, point.x, point.y));
        EXPECT_TRUE(PumpUntil([&] { return pixel() == Solid(kArrowImage, arrow.hot); })) << arrow.name << " hot";
        COLORREF held = 0;
        Click(window, point, [&] {
            held = pixel();
            return held == Solid(kArrowImage, arrow.pressed);
        });
        EXPECT_EQ(Solid(kArrowImage, arrow.pressed), held) << arrow.name << " pressed";
        ParkMouse();
        PumpMessages();

        SetBar(window, arrow.bar, 9, 10, 0);
        ScrollTo(window, arrow.bar, 0);
        EXPECT_EQ(Solid(kArrowImage, arrow.disabled), pixel()) << arrow.name << " disabled";
        SetBar(window, arrow.bar, 99, 20, 0);
        ScrollTo(window, arrow.bar, 0);
    }
}

TEST_F(FrameScrollTest, TrackingEndedByAQuitMessageOrALostCaptureStillEndsTheScroll)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    const int start = v.nThumbStart;
    const POINT grab = OnVerticalBar(v, Middle(v.nThumbStart, v.nThumbEnd));
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, grab.x, grab.y));
    PumpMessages();
    const DWORD thread = GetCurrentThreadId();
    int quitCode = -1;
    RunBesideMessageLoop(
        [&] {
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            WaitUntil([&] { return frame->GetScrollTrackInfo() != nullptr; });
            SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, grab.x, grab.y + 30));
            WaitUntil([&] { return v.nThumbStart == start + 30; });
            PostThreadMessageW(thread, WM_QUIT, 7, 0);
            WaitUntil([&] { return frame->GetScrollTrackInfo() == nullptr; });
            SendMouse(MOUSEEVENTF_LEFTUP);
        },
        &quitCode);
    // The quit message is posted again for the loop outside.
    EXPECT_EQ(7, quitCode);
    std::vector<int> codes = Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(SB_THUMBPOSITION, codes[codes.size() - 2]);
    EXPECT_EQ(SB_ENDSCROLL, codes.back());
    EXPECT_EQ(nullptr, GetCapture());

    // The window's own handler takes the capture away at the first line.
    g_scrollMessages.clear();
    g_releaseCaptureOnLine = TRUE;
    Click(window, OnVerticalBar(v, v.nEnd - 3));
    EXPECT_EQ((std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}), Codes());
    EXPECT_EQ(nullptr, frame->GetScrollTrackInfo());
}

TEST_F(FrameScrollTest, ABarWhosePageCoversItsRangeDoesNotScroll)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    SetBar(window, SB_VERT, 9, 10, 0);
    ScrollTo(window, SB_VERT, 0);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    for (int along : {v.nEnd - 3, v.nStart + 3, Middle(v.nStart, v.nEnd)})
    {
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, OnVerticalBar(v, along).x, along));
        PumpMessages();
        RunBesideMessageLoop([&] {
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            SendMouse(MOUSEEVENTF_LEFTUP);
        });
        EXPECT_TRUE(g_scrollMessages.empty()) << along;
        EXPECT_EQ(nullptr, GetCapture());
    }
}

TEST_F(FrameScrollTest, ARightClickOnABarAsksForAContextMenuAtTheScreenPoint)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    const POINT point = OnVerticalBar(v, Middle(v.nStart, v.nEnd));
    const POINT screen = ScreenPoint(window, point.x, point.y);
    SendMouse(MOUSEEVENTF_MOVE, screen);
    PumpMessages();
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([] { return !g_contextMenus.empty(); }));
    EXPECT_EQ(1u, g_contextMenus.size());
    EXPECT_EQ(MAKELPARAM(screen.x, screen.y), g_contextMenus[0]);
    EXPECT_TRUE(g_scrollMessages.empty());
}

TEST_F(FrameScrollTest, TheMouseOverAThumbMakesItHot)
{
    HWND window = CreateScrolledWindow();
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    const POINT thumb = OnVerticalBar(v, v.nThumbStart + 1);
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, thumb.x, thumb.y));
    ASSERT_TRUE(PumpUntil([&] { return v.nHotPart == CHLMSkinObjectFrame::kHotThumb; }));
    EXPECT_EQ(Solid(kThumbImage, 2), WindowPixel(window, thumb.x, thumb.y));
    EXPECT_EQ(SecondSet(kGripperImage, 2), WindowPixel(window, thumb.x, Middle(v.nThumbStart, v.nThumbEnd)));
    // Arrows of a strip without hover frames stay normal.
    EXPECT_EQ(Solid(kArrowImage, 1), WindowPixel(window, thumb.x, v.nStart + 2));

    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, 100, 100));
    ASSERT_TRUE(PumpUntil([&] { return v.nHotPart == 0; }));
    EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(window, thumb.x, thumb.y));
}

TEST_F(FrameScrollTest, ALeftScrollBarPutsTheSizeBoxBottomLeftForDrawingAndHitTesting)
{
    HWND window = CreateScrolledWindow(WS_EX_LEFTSCROLLBAR);
    CHLMSkinObjectFrame* frame = ObjectOf<CHLMSkinObjectFrame>(window);
    ASSERT_NE(nullptr, frame);
    const SCROLLBARLAYOUT& v = frame->GetVertBar();
    const SCROLLBARLAYOUT& h = frame->GetHorzBar();
    ASSERT_EQ(v.rc.right, h.rc.left);
    const POINT box = {Middle(v.nCrossStart, v.nCrossEnd), Middle(h.nCrossStart, h.nCrossEnd)};
    EXPECT_EQ(SecondSet(kSizeBoxImage, 1), WindowPixel(window, box.x, box.y));
    POINT screen = ScreenPoint(window, box.x, box.y);
    EXPECT_EQ(HTBOTTOMRIGHT, SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));
    // Where the box would be without the style lies the horizontal bar.
    screen = ScreenPoint(window, h.nEnd - 2, box.y);
    EXPECT_EQ(HTHSCROLL, SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));
}
