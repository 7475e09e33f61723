// Up-down controls of the control gallery under the test skin, where part p of the class
// "SPIN" (up 1, down 2, right 3, left 4) in state s (normal, hot, pressed, disabled) is a
// solid RGB(40p, 40s, 200).
#include "controlgallery.h"
#include "hlmskinmanager.h"
#include "hlmskinobjectspin.h"
#include "pixels.h"
#include "skinwindowtesting.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace
{
enum Part
{
    kUp = 1,
    kDown = 2,
    kRight = 3,
    kLeft = 4
};
enum State
{
    kNormal = 1,
    kHot = 2,
    kPressed = 3,
    kDisabled = 4
};

COLORREF Spin(int part, int state)
{
    return RGB(40 * part, 40 * state, 200);
}

const COLORREF kEditBorder = RGB(255, 0, 0);

RECT ClientOf(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return client;
}

int Position(HWND spin)
{
    return static_cast<int>(SendMessageW(spin, UDM_GETPOS32, 0, 0));
}

class SpinObjectTest : public ControlGalleryTest
{
protected:
    // Points in the middle of the two halves of the vertical spin, away from its border.
    POINT UpperHalf() const { return {m_client.right / 2, m_client.bottom / 4}; }
    POINT LowerHalf() const { return {m_client.right / 2, m_client.bottom * 3 / 4}; }
    COLORREF PixelAt(POINT point) const { return WindowPixel(m_spin, point.x, point.y); }
    bool Shows(COLORREF upper, COLORREF lower) const
    {
        return PixelAt(UpperHalf()) == upper && PixelAt(LowerHalf()) == lower;
    }
    void MoveTo(POINT point) const { SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(m_spin, point.x, point.y)); }

    void SetUp() override
    {
        ControlGalleryTest::SetUp();
        m_spin = Control(kGallerySpin);
        m_client = ClientOf(m_spin);
    }

    HWND m_spin = nullptr;
    RECT m_client = {};
};

TEST_F(SpinObjectTest, HalvesFollowTheMouseAndShowDisabledWhenNothingCanChange)
{
    CHLMSkinObjectSpin* object = ObjectOf<CHLMSkinObjectSpin>(m_spin);
    ASSERT_NE(nullptr, object);
    EXPECT_TRUE(Shows(Spin(kUp, kNormal), Spin(kDown, kNormal)));

    MoveTo(UpperHalf());
    EXPECT_TRUE(PumpUntil([&] { return Shows(Spin(kUp, kHot), Spin(kDown, kNormal)); }));
    EXPECT_EQ(CHLMSkinObjectSpin::kHalfUpperOrRight, object->GetHotHalf());

    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return Shows(Spin(kUp, kPressed), Spin(kDown, kNormal)); }));
    EXPECT_EQ(51, Position(m_spin));
    // Held on the upper half and slid onto the lower one: the upper half stays lit, the
    // lower one shows nothing until the button is released.
    MoveTo(LowerHalf());
    EXPECT_TRUE(PumpUntil([&] { return Shows(Spin(kUp, kHot), Spin(kDown, kNormal)); }));
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return Shows(Spin(kUp, kNormal), Spin(kDown, kHot)); }));
    EXPECT_EQ(CHLMSkinObjectSpin::kHalfNone, object->GetPressedHalf());

    ParkMouse();
    EXPECT_TRUE(PumpUntil([&] { return Shows(Spin(kUp, kNormal), Spin(kDown, kNormal)); }));
    EXPECT_EQ(CHLMSkinObjectSpin::kHalfNone, object->GetHotHalf());

    EnableWindow(m_spin, FALSE);
    PumpMessages();
    EXPECT_TRUE(Shows(Spin(kUp, kDisabled), Spin(kDown, kDisabled))) << "disabled window";
    EnableWindow(m_spin, TRUE);
    SendMessageW(m_spin, UDM_SETRANGE32, 7, 7);
    InvalidateRect(m_spin, nullptr, FALSE);
    PumpMessages();
    EXPECT_TRUE(Shows(Spin(kUp, kDisabled), Spin(kDown, kDisabled))) << "empty range";
}

// The control itself follows the held mouse: it stops repeating when the mouse leaves it and
// goes on when the mouse comes back, which it learns only from the moves.
TEST_F(SpinObjectTest, MouseMovesWhileHeldReachTheControl)
{
    MoveTo(UpperHalf());
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return Position(m_spin) == 51; }));
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(m_spin, m_client.right + 40, m_client.bottom + 40));
    const DWORD end = GetTickCount() + 1200;
    while (GetTickCount() < end)
    {
        PumpMessages();
        Sleep(20);
    }
    EXPECT_EQ(51, Position(m_spin));
    MoveTo(UpperHalf());
    EXPECT_TRUE(PumpUntil([&] { return Position(m_spin) > 52; }));
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpMessages();
}

// The states of the halves that the tests above do not reach, each driven from rest: the
// mouse over the half, held down on it, or the whole control disabled.
TEST_F(SpinObjectTest, EveryHalfShowsItsOwnPressedHotAndDisabledLooks)
{
    HWND horizontal = Control(kGalleryHorzSpin);
    const RECT client = ClientOf(horizontal);
    const POINT left = {client.right / 4, client.bottom / 2}, right = {client.right * 3 / 4, client.bottom / 2};
    const struct
    {
        const char* name;
        HWND spin;
        POINT half;
        int part;
        int state;
    } cases[] = {
        {"down, pressed", m_spin, LowerHalf(), kDown, kPressed},
        {"right, pressed", horizontal, right, kRight, kPressed},
        {"left, hot", horizontal, left, kLeft, kHot},
        {"right, disabled", horizontal, right, kRight, kDisabled},
        {"left, disabled", horizontal, left, kLeft, kDisabled},
    };
    for (const auto& c : cases)
    {
        const auto shows = [&](int state) { return WindowPixel(c.spin, c.half.x, c.half.y) == Spin(c.part, state); };
        if (c.state == kDisabled)
        {
            EnableWindow(c.spin, FALSE);
        }
        else
        {
            SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(c.spin, c.half.x, c.half.y));
            if (c.state == kPressed)
                SendMouse(MOUSEEVENTF_LEFTDOWN);
        }
        EXPECT_TRUE(PumpUntil([&] { return shows(c.state); })) << c.name;

        if (c.state == kPressed)
            SendMouse(MOUSEEVENTF_LEFTUP);
        EnableWindow(c.spin, TRUE);
        ParkMouse();
        EXPECT_TRUE(PumpUntil([&] { return shows(kNormal); })) << c.name << ", back at rest";
    }
}

TEST_F(SpinObjectTest, BuddyBorderHorizontalHalvesAndPrinting)
{
    // The spin at the edit's right takes the edit's skin border on its other three sides;
    // its halves reach the edit.
    const int middle = m_client.bottom / 2;
    EXPECT_EQ(kEditBorder, WindowPixel(m_spin, m_client.right / 2, 0));
    EXPECT_EQ(kEditBorder, WindowPixel(m_spin, m_client.right / 2, m_client.bottom - 1));
    EXPECT_EQ(kEditBorder, WindowPixel(m_spin, m_client.right - 1, middle));
    EXPECT_EQ(Spin(kUp, kNormal), WindowPixel(m_spin, 0, 1));
    EXPECT_EQ(Spin(kDown, kNormal), WindowPixel(m_spin, 0, m_client.bottom - 2));

    HWND horizontal = Control(kGalleryHorzSpin);
    const RECT client = ClientOf(horizontal);
    const POINT left = {client.right / 4, client.bottom / 2}, right = {client.right * 3 / 4, client.bottom / 2};
    EXPECT_EQ(Spin(kLeft, kNormal), WindowPixel(horizontal, 0, 0));
    EXPECT_EQ(Spin(kRight, kNormal), WindowPixel(horizontal, right.x, right.y));
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(horizontal, right.x, right.y));
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(horizontal, right.x, right.y) == Spin(kRight, kHot); }));
    EXPECT_EQ(Spin(kLeft, kNormal), WindowPixel(horizontal, left.x, left.y));
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(horizontal, left.x, left.y));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(horizontal, left.x, left.y) == Spin(kLeft, kPressed); }));
    EXPECT_EQ(Spin(kRight, kNormal), WindowPixel(horizontal, right.x, right.y));
    EXPECT_EQ(49, Position(horizontal));
    SendMouse(MOUSEEVENTF_LEFTUP);
    ParkMouse();
    PumpMessages();

    // Printed, the spin draws what it shows.
    TestSurface surface(m_client.right, m_client.bottom);
    EXPECT_EQ(1, SendMessageW(m_spin, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT));
    EXPECT_EQ(Spin(kUp, kNormal), surface.ColorAt(UpperHalf().x, UpperHalf().y));
    EXPECT_EQ(Spin(kDown, kNormal), surface.ColorAt(LowerHalf().x, LowerHalf().y));
    EXPECT_EQ(kEditBorder, surface.ColorAt(m_client.right - 1, middle));
}
}
