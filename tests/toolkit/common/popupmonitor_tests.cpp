// The popup mouse monitor: real clicks (SendInput) around a popup owned by a window, a
// popup destroyed while monitored, a popup without owner, and the hook's table of messages.
#include <gtest/gtest.h>

#include "common/hlmpopupmonitor.h"
#include "inputtesting.h"

namespace
{
const RECT kOwnerRect = {100, 100, 300, 250};
const RECT kPopupRect = {150, 150, 230, 210};
const RECT kOtherRect = {400, 100, 550, 200};
const POINT kInPopup = {190, 180};
const POINT kOnOther = {470, 150};

// An owner, its popup and an unrelated window beside them; the popup has the focus and is
// monitored. Monitoring ends with the scene.
class PopupScene
{
public:
    explicit PopupScene(bool owned = true)
        : owner(kOwnerRect), popup(kPopupRect, owned ? owner.hwnd() : nullptr), other(kOtherRect)
    {
        SetForegroundWindow(popup.hwnd());
        SetActiveWindow(popup.hwnd());
        SetFocus(popup.hwnd());
        SetMonitoredPopup(CWnd::FromHandle(popup.hwnd()));
    }
    ~PopupScene() { SetMonitoredPopup(nullptr); }

    RecordingWindow owner, popup, other;
};

// Presses and releases a button at a point; returns when the release has been handled by
// whichever window got it.
bool Click(POINT point, DWORD down, DWORD up, RecordingWindow& releasedOn, UINT upMessage)
{
    const int before = releasedOn.Count(upMessage);
    SendMouse(MOUSEEVENTF_MOVE | down, point);
    SendMouse(up);
    return PumpUntil([&] { return releasedOn.Count(upMessage) > before; });
}
}  // namespace

TEST(PopupMonitor, ClickOutsideGivesTheOwnerTheFocusAndIsSwallowed)
{
    PopupScene scene;
    ASSERT_EQ(scene.popup.hwnd(), GetFocus());
    ASSERT_EQ(scene.other.hwnd(), WindowFromPoint(kOnOther));
    EXPECT_TRUE(IsPopupMonitored());

    ASSERT_TRUE(Click(kOnOther, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, scene.other, WM_LBUTTONUP));
    EXPECT_EQ(scene.owner.hwnd(), GetFocus());
    EXPECT_EQ(0, scene.other.Count(WM_LBUTTONDOWN));
    EXPECT_EQ(0, scene.other.Count(WM_MOUSEACTIVATE));

    // A right button the same; a plain move passes through.
    SetFocus(scene.popup.hwnd());
    ASSERT_TRUE(Click(kOnOther, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, scene.other, WM_RBUTTONUP));
    EXPECT_EQ(scene.owner.hwnd(), GetFocus());
    EXPECT_EQ(0, scene.other.Count(WM_RBUTTONDOWN));
    EXPECT_GT(scene.other.Count(WM_MOUSEMOVE), 0);
}

TEST(PopupMonitor, ClickInsideThePopupChangesNothing)
{
    PopupScene scene;
    ASSERT_TRUE(Click(kInPopup, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, scene.popup, WM_LBUTTONUP));
    EXPECT_EQ(1, scene.popup.Count(WM_LBUTTONDOWN));
    EXPECT_EQ(scene.popup.hwnd(), GetFocus());
    EXPECT_TRUE(IsPopupMonitored());
}

// A popup destroyed without ending the monitoring is forgotten: clicks go where they fall.
TEST(PopupMonitor, DestroyedPopupIsForgotten)
{
    PopupScene scene;
    DestroyWindow(scene.popup.hwnd());
    EXPECT_FALSE(IsPopupMonitored());
    SetFocus(scene.other.hwnd());

    ASSERT_TRUE(Click(kOnOther, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, scene.other, WM_LBUTTONUP));
    EXPECT_EQ(1, scene.other.Count(WM_LBUTTONDOWN));
    EXPECT_EQ(scene.other.hwnd(), GetFocus());
}

// Nobody to give the focus to: the click goes on to the window under it.
TEST(PopupMonitor, PopupWithoutOwnerSwallowsNothing)
{
    PopupScene scene(false);
    ASSERT_EQ(scene.popup.hwnd(), GetFocus());
    ASSERT_TRUE(Click(kOnOther, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, scene.other, WM_LBUTTONUP));
    EXPECT_EQ(1, scene.other.Count(WM_LBUTTONDOWN));
    EXPECT_NE(scene.owner.hwnd(), GetFocus());
}

// A second popup takes the first one's place under the same hook; ending the monitoring
// lets clicks through again.
TEST(PopupMonitor, SecondPopupReplacesTheFirstAndNullEndsIt)
{
    PopupScene scene;
    RecordingWindow second({320, 100, 380, 140}, scene.other.hwnd());
    SetMonitoredPopup(CWnd::FromHandle(second.hwnd()));
    SetFocus(second.hwnd());
    // The click lands in the first popup, which is no longer monitored: it is outside the
    // second one, so the second one's owner gets the focus.
    ASSERT_TRUE(Click(kInPopup, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, scene.popup, WM_LBUTTONUP));
    EXPECT_EQ(0, scene.popup.Count(WM_LBUTTONDOWN));
    EXPECT_EQ(scene.other.hwnd(), GetFocus());

    SetMonitoredPopup(nullptr);
    EXPECT_FALSE(IsPopupMonitored());
    ASSERT_TRUE(Click(kInPopup, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, scene.popup, WM_LBUTTONUP));
    EXPECT_EQ(1, scene.popup.Count(WM_LBUTTONDOWN));
}

// The hook's answer for each mouse message outside and inside the popup.
TEST(PopupMonitor, HookSwallowsButtonPressesOutsideOnly)
{
    PopupScene scene;
    struct Case
    {
        const char* name;
        UINT message;
        bool swallowedOutside;
    };
    const Case cases[] = {
        {"WM_LBUTTONDOWN", WM_LBUTTONDOWN, true},     {"WM_RBUTTONDOWN", WM_RBUTTONDOWN, true},
        {"WM_MBUTTONDOWN", WM_MBUTTONDOWN, true},     {"WM_NCLBUTTONDOWN", WM_NCLBUTTONDOWN, true},
        {"WM_NCRBUTTONDOWN", WM_NCRBUTTONDOWN, true}, {"WM_NCMBUTTONDOWN", WM_NCMBUTTONDOWN, true},
        {"WM_MOUSEMOVE", WM_MOUSEMOVE, false},        {"WM_LBUTTONUP", WM_LBUTTONUP, false},
        {"WM_LBUTTONDBLCLK", WM_LBUTTONDBLCLK, false}, {"WM_NCMOUSEMOVE", WM_NCMOUSEMOVE, false},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        MOUSEHOOKSTRUCT info = {};
        info.hwnd = scene.other.hwnd();
        info.pt = kOnOther;
        SetFocus(scene.popup.hwnd());
        const LRESULT outside = MouseMonitorHookProc(HC_ACTION, test.message, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(test.swallowedOutside ? 1 : 0, outside);
        EXPECT_EQ(test.swallowedOutside ? scene.owner.hwnd() : scene.popup.hwnd(), GetFocus());

        info.hwnd = scene.popup.hwnd();
        info.pt = kInPopup;
        SetFocus(scene.popup.hwnd());
        EXPECT_EQ(0, MouseMonitorHookProc(HC_ACTION, test.message, reinterpret_cast<LPARAM>(&info)));
        EXPECT_EQ(scene.popup.hwnd(), GetFocus());

        // A message only looked at, not taken from the queue, is left alone.
        info.pt = kOnOther;
        EXPECT_EQ(0, MouseMonitorHookProc(HC_NOREMOVE, test.message, reinterpret_cast<LPARAM>(&info)));
        EXPECT_EQ(scene.popup.hwnd(), GetFocus());
    }
}
