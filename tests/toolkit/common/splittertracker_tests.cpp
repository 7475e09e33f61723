// The splitter drag tracker's modal loop, driven by real input from a second thread: moves
// clamped to the limits, button-up, Escape, a quit message and a lost capture, with the bar
// seen on the screen during the drag and gone after it.
#include <gtest/gtest.h>

#include "common/hlmpopupmonitor.h"
#include "inputtesting.h"

#include <atomic>
#include <functional>

namespace
{
constexpr UINT kReleaseCaptureMessage = WM_APP + 7;

// The window that holds the capture during a drag; a message can make it let go.
class CSplitterHost : public CWnd
{
public:
    CSplitterHost()
    {
        CreateEx(WS_EX_TOOLWINDOW, nullptr, L"", WS_POPUP, 100, 100, 300, 200, nullptr, nullptr);
        ShowWindow(SW_SHOW);
        UpdateWindow();
        // Only the foreground window's capture gets the mouse wherever it goes.
        SetForegroundWindow();
        SetFocus();
    }
    ~CSplitterHost() override { DestroyWindow(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kReleaseCaptureMessage)
        {
            ReleaseCapture();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A vertical bar moved along x and a horizontal one moved along y, in screen coordinates.
const CRect kVerticalBar(200, 120, 206, 280);
const CRect kVerticalLimits(150, 120, 350, 280);
const CPoint kVerticalGrip(203, 200);
const CRect kHorizontalBar(120, 180, 380, 186);
const CRect kHorizontalLimits(120, 130, 380, 260);
const CPoint kHorizontalGrip(250, 183);
// Everything a drag can touch.
const CRect kDragArea(110, 110, 390, 290);

// Runs `script` on a second thread as soon as the tracking window holds the capture.
class InputScript
{
public:
    InputScript(HWND window, std::function<void()> script)
        : m_window(window), m_tracker(GetCurrentThreadId()), m_script(std::move(script))
    {
        const LPTHREAD_START_ROUTINE routine = Run;
        m_thread = CreateThread(nullptr, 0, routine, this, 0, nullptr);
    }
    ~InputScript()
    {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        MSG quit;
        if (m_rescued)
            PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_FALSE(m_rescued) << "the drag did not end";
    }
    InputScript(const InputScript&) = delete;
    InputScript& operator=(const InputScript&) = delete;

    bool sawCapture() const { return m_sawCapture; }

private:
    static DWORD WINAPI Run(LPVOID parameter)
    {
        InputScript* self = static_cast<InputScript*>(parameter);
        const DWORD start = GetTickCount();
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        while (GetTickCount() - start < 10000)
        {
            if (GetGUIThreadInfo(self->m_tracker, &info) && info.hwndCapture == self->m_window)
            {
                self->m_sawCapture = true;
                break;
            }
            Sleep(5);
        }
        self->m_script();
        // A drag that the script failed to end is ended here, so that a failing test does
        // not hang; the destructor takes the quit message away again.
        while (GetTickCount() - start < 20000)
        {
            if (GetGUIThreadInfo(self->m_tracker, &info) && info.hwndCapture != self->m_window)
                return 0;
            Sleep(5);
        }
        self->m_rescued = true;
        PostThreadMessageW(self->m_tracker, WM_QUIT, 0, 0);
        return 0;
    }

    HWND m_window;
    DWORD m_tracker;
    std::function<void()> m_script;
    HANDLE m_thread;
    std::atomic<bool> m_sawCapture{false};
    std::atomic<bool> m_rescued{false};
};

COLORREF Inverted(COLORREF color)
{
    return color ^ 0xFFFFFF;
}

COLORREF ScreenPixel(POINT point)
{
    return ScreenPixels(CRect(point, CSize(1, 1)))[0];
}

// Waits (on the input thread) until the screen shows `color` at `point`.
bool WaitForScreen(POINT point, COLORREF color)
{
    const DWORD start = GetTickCount();
    while (ScreenPixel(point) != color)
    {
        if (GetTickCount() - start > 10000)
            return false;
        Sleep(5);
    }
    return true;
}

// The screen before a drag, read after every window has painted.
std::vector<COLORREF> ScreenBefore()
{
    // The mouse waits where the drags begin, so that a move that the system reports at once
    // leaves the bar in place.
    SetCursorPos(kVerticalGrip.x, kVerticalGrip.y);
    PumpUntil([] { return true; });
    RedrawWindow(nullptr, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return ScreenPixels(kDragArea);
}

// The number of pixels that differ between two reads of the same area.
int Differences(const std::vector<COLORREF>& first, const std::vector<COLORREF>& second)
{
    int count = 0;
    for (size_t i = 0; i < first.size() && i < second.size(); ++i)
        count += first[i] != second[i];
    return count + static_cast<int>(first.size() > second.size() ? first.size() - second.size()
                                                                 : second.size() - first.size());
}

bool DesktopIsLocked()
{
    // Another window cannot take the lock while the drag holds it.
    const BOOL locked = LockWindowUpdate(GetDesktopWindow());
    if (locked)
        LockWindowUpdate(nullptr);
    return !locked;
}
// One host for every drag: making a window the foreground one costs Wine about two seconds.
class SplitterDragTracker : public testing::Test
{
protected:
    static void SetUpTestSuite() { s_window = new CSplitterHost; }
    static void TearDownTestSuite()
    {
        delete s_window;
        s_window = nullptr;
    }
    void SetUp() override
    {
        s_window->SetForegroundWindow();
        s_window->SetFocus();
    }

    static CSplitterHost* s_window;
};

CSplitterHost* SplitterDragTracker::s_window = nullptr;
}  // namespace

// The bar follows the mouse along x only, is drawn inverted on the screen while it moves,
// and takes its place on button-up; the screen is as it was afterwards.
TEST_F(SplitterDragTracker, HorizontalDragEndsWhereTheButtonIsReleased)
{
    CSplitterHost& host = *s_window;
    const std::vector<COLORREF> before = ScreenBefore();
    const COLORREF underBar = ScreenPixel({263, 200});

    bool barSeen = false, lockedDuringDrag = false;
    CRect bar = kVerticalBar;
    BOOL result = FALSE;
    {
        InputScript script(host.m_hWnd, [&] {
            lockedDuringDrag = DesktopIsLocked();
            SendMouse(MOUSEEVENTF_MOVE, {263, 240});  // the bar's left edge to 260; y is ignored
            barSeen = WaitForScreen({262, 200}, Inverted(underBar));
            SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, {263, 240});
        });
        CHLMSplitterDragTracker tracker(TRUE);
        result = tracker.Track(&host, kVerticalLimits, bar, kVerticalGrip, TRUE);
        EXPECT_TRUE(script.sawCapture());
    }
    EXPECT_TRUE(result);
    EXPECT_EQ(CRect(260, 120, 266, 280), bar);
    EXPECT_TRUE(barSeen);
    EXPECT_TRUE(lockedDuringDrag);
    EXPECT_FALSE(DesktopIsLocked());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, Differences(before, ScreenPixels(kDragArea)));
}

// Far beyond the limits the bar's leading edge stops at them, along the drag's own axis.
TEST_F(SplitterDragTracker, BarStopsAtTheLimits)
{
    CSplitterHost& host = *s_window;
    struct Case
    {
        const char* what;
        CRect bar, limits;
        CPoint grip;
        BOOL horizontal;
        POINT mouse;
        CRect expected;
    };
    const Case cases[] = {
        {"right of the limits", kVerticalBar, kVerticalLimits, kVerticalGrip, TRUE, {900, 600}, {350, 120, 356, 280}},
        {"left of the limits", kVerticalBar, kVerticalLimits, kVerticalGrip, TRUE, {20, 5}, {150, 120, 156, 280}},
        {"below the limits", kHorizontalBar, kHorizontalLimits, kHorizontalGrip, FALSE, {700, 900}, {120, 260, 380, 266}},
        {"vertical, x ignored", kHorizontalBar, kHorizontalLimits, kHorizontalGrip, FALSE, {700, 223}, {120, 220, 380, 226}},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.what);
        CRect bar = test.bar;
        BOOL result = FALSE;
        {
            InputScript script(host.m_hWnd, [&] { SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, test.mouse); });
            CHLMSplitterDragTracker tracker(FALSE);
            result = tracker.Track(&host, test.limits, bar, test.grip, test.horizontal);
        }
        EXPECT_TRUE(result);
        EXPECT_EQ(test.expected, bar);
    }
}

// Escape cancels: FALSE, the bar keeps its last place, and neither the bar nor the fixed
// rectangle is left on the screen; the halftone bar inverts every other pixel.
TEST_F(SplitterDragTracker, EscapeCancelsAndRestoresTheScreen)
{
    CSplitterHost& host = *s_window;
    const std::vector<COLORREF> before = ScreenBefore();
    const COLORREF left = ScreenPixel({262, 200}), right = ScreenPixel({263, 200});

    bool halftoneSeen = false;
    CRect bar = kVerticalBar;
    BOOL result = TRUE;
    {
        InputScript script(host.m_hWnd, [&] {
            SendMouse(MOUSEEVENTF_MOVE, {263, 200});
            // One of two neighbours is inverted by the pattern, whichever the phase.
            const DWORD start = GetTickCount();
            while (!halftoneSeen && GetTickCount() - start < 10000)
            {
                const std::vector<COLORREF> pair = ScreenPixels(CRect(262, 200, 264, 201));
                halftoneSeen = (pair[0] == Inverted(left)) != (pair[1] == Inverted(right));
                Sleep(5);
            }
            SendKey(VK_ESCAPE);
        });
        CHLMSplitterDragTracker tracker(FALSE);
        tracker.m_rectFixed = CRect(120, 130, 140, 270);
        result = tracker.Track(&host, kVerticalLimits, bar, kVerticalGrip, TRUE);
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(CRect(260, 120, 266, 280), bar);
    EXPECT_TRUE(halftoneSeen);
    EXPECT_FALSE(DesktopIsLocked());
    EXPECT_EQ(0, Differences(before, ScreenPixels(kDragArea)));
}

// A quit message ends the drag as a cancel and is left for the loop outside.
TEST_F(SplitterDragTracker, QuitMessageCancelsAndIsPostedAgain)
{
    CSplitterHost& host = *s_window;
    const std::vector<COLORREF> before = ScreenBefore();
    const DWORD thread = GetCurrentThreadId();
    CRect bar = kVerticalBar;
    BOOL result = TRUE;
    {
        InputScript script(host.m_hWnd, [&] { PostThreadMessageW(thread, WM_QUIT, 77, 0); });
        CHLMSplitterDragTracker tracker(TRUE);
        result = tracker.Track(&host, kVerticalLimits, bar, kVerticalGrip, TRUE);
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(kVerticalBar, bar);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_FALSE(DesktopIsLocked());
    EXPECT_EQ(0, Differences(before, ScreenPixels(kDragArea)));

    MSG message = {};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
    EXPECT_EQ(77u, message.wParam);
}

// A handler that takes the capture away ends the drag as a cancel.
TEST_F(SplitterDragTracker, LostCaptureCancels)
{
    CSplitterHost& host = *s_window;
    const std::vector<COLORREF> before = ScreenBefore();
    host.PostMessage(kReleaseCaptureMessage);
    CRect bar = kVerticalBar;
    CHLMSplitterDragTracker tracker(TRUE);
    EXPECT_FALSE(tracker.Track(&host, kVerticalLimits, bar, kVerticalGrip, TRUE));
    EXPECT_EQ(kVerticalBar, bar);
    EXPECT_FALSE(DesktopIsLocked());
    EXPECT_EQ(0, Differences(before, ScreenPixels(kDragArea)));
}
