// The MDI client of the control gallery and its two children under the test skin, whose
// frame borders are solid images: the left border is RGB(32, 15, 96) on an active frame and
// RGB(32, 30, 96) on an inactive one.
#include "controlgallery.h"
#include "hlmskinmanager.h"
#include "hlmskinobjectmdi.h"
#include "skinwindowtesting.h"

#include <gtest/gtest.h>

namespace
{
const COLORREF kActiveLeftBorder = RGB(32, 15, 96), kInactiveLeftBorder = RGB(32, 30, 96);

CHLMSkinObjectFrame* FrameOf(HWND window)
{
    return dynamic_cast<CHLMSkinObjectFrame*>(GetSkinManager()->FindSkinObject(window).Get());
}

RECT RectIn(HWND window, HWND parent)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

COLORREF LeftBorderPixel(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return WindowPixel(window, 1, (rect.bottom - rect.top) / 2);
}

class MdiClientTest : public ControlGalleryTest
{
protected:
    void SetUp() override
    {
        ControlGalleryTest::SetUp();
        m_client = Control(kGalleryMdiClient);
        m_first = GetDlgItem(m_client, kGalleryMdiFirstChild);
        m_second = GetDlgItem(m_client, kGalleryMdiFirstChild + 1);
    }

    HWND m_client = nullptr, m_first = nullptr, m_second = nullptr;
};

TEST_F(MdiClientTest, LinksToItsFrameAndFitsAMaximisedChildsSkinBorders)
{
    CHLMSkinObjectMDIClient* client = dynamic_cast<CHLMSkinObjectMDIClient*>(GetSkinManager()->FindSkinObject(m_client).Get());
    ASSERT_NE(nullptr, client);
    CHLMSkinObjectFrame* gallery = FrameOf(m_gallery->window());
    ASSERT_NE(nullptr, gallery);
    EXPECT_EQ(gallery, client->GetOwner());
    EXPECT_EQ(m_client, gallery->GetMDIClientWnd());

    // The children have skinned frames; the one created last is active.
    ASSERT_NE(nullptr, FrameOf(m_first));
    ASSERT_NE(nullptr, FrameOf(m_second));
    EXPECT_EQ(m_second, reinterpret_cast<HWND>(SendMessageW(m_client, WM_MDIGETACTIVE, 0, 0)));
    EXPECT_EQ(kActiveLeftBorder, LeftBorderPixel(m_second));
    EXPECT_EQ(kInactiveLeftBorder, LeftBorderPixel(m_first));

    // Maximised, and the client resized: only the child's client area shows, exactly over
    // the MDI client's.
    SendMessageW(m_client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_first), 0);
    PumpMessages();
    SetWindowPos(m_client, nullptr, 0, 0, 480, 140, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    RECT area = {};
    GetClientRect(m_client, &area);
    const CRect& borders = FrameOf(m_first)->GetBorderRect();
    const RECT expected = {-borders.left, -borders.top, area.right + borders.right, area.bottom + borders.bottom};
    const RECT actual = RectIn(m_first, m_client);
    EXPECT_TRUE(EqualRect(&expected, &actual)) << actual.left << "," << actual.top << "," << actual.right << ","
                                               << actual.bottom;
    RECT childClient = {};
    GetClientRect(m_first, &childClient);
    MapWindowPoints(m_first, m_client, reinterpret_cast<POINT*>(&childClient), 2);
    EXPECT_TRUE(EqualRect(&area, &childClient));
    const COLORREF window = GetSkinManager()->GetMetrics()->m_clrColors[COLOR_WINDOW];
    EXPECT_EQ(window, WindowPixel(m_first, borders.left, borders.top));
}

// Tiling recomputes the children's frames, resets them a second later and repaints them.
TEST_F(MdiClientTest, ArrangedChildrenKeepSkinnedFramesAndGetTheirResetTimer)
{
    SendMessageW(m_client, WM_MDITILE, MDITILE_VERTICAL, 0);
    PumpMessages();
    const RECT first = RectIn(m_first, m_client), second = RectIn(m_second, m_client);
    RECT overlap = {};
    EXPECT_FALSE(IntersectRect(&overlap, &first, &second));
    EXPECT_EQ(kActiveLeftBorder, LeftBorderPixel(m_second));
    EXPECT_EQ(kInactiveLeftBorder, LeftBorderPixel(m_first));
    // The reset timer is there; the one left running ends itself.
    EXPECT_TRUE(KillTimer(m_second, kResetNonClientTimer));
    const DWORD end = GetTickCount() + 1300;
    while (GetTickCount() < end)
    {
        PumpMessages();
        Sleep(20);
    }
    EXPECT_FALSE(KillTimer(m_first, kResetNonClientTimer));
    EXPECT_EQ(kInactiveLeftBorder, LeftBorderPixel(m_first));
}

// Every arrangement recomputes the children's frames before the system moves them: the
// children lie as the arrangement puts them, with skinned frames and their reset timers.
TEST_F(MdiClientTest, EveryArrangementKeepsSkinnedFrames)
{
    const struct
    {
        const char* name;
        UINT message;
        WPARAM how;
        bool overlapping;
    } cases[] = {
        {"cascade", WM_MDICASCADE, 0, true},
        {"tile horizontally", WM_MDITILE, MDITILE_HORIZONTAL, false},
        {"tile vertically", WM_MDITILE, MDITILE_VERTICAL, false},
    };
    for (const auto& c : cases)
    {
        SendMessageW(m_client, c.message, c.how, 0);
        PumpMessages();
        const RECT first = RectIn(m_first, m_client), second = RectIn(m_second, m_client);
        RECT overlap = {};
        EXPECT_EQ(c.overlapping, IntersectRect(&overlap, &first, &second) != FALSE) << c.name;
        if (c.overlapping)
        {
            // Cascaded: one below and right of the other, the same size.
            const RECT& upper = first.top < second.top ? first : second;
            const RECT& lower = first.top < second.top ? second : first;
            EXPECT_GT(lower.left, upper.left) << c.name;
            EXPECT_GT(lower.top, upper.top) << c.name;
            EXPECT_EQ(upper.right - upper.left, lower.right - lower.left) << c.name;
        }
        HWND active = reinterpret_cast<HWND>(SendMessageW(m_client, WM_MDIGETACTIVE, 0, 0));
        HWND inactive = active == m_first ? m_second : m_first;
        EXPECT_EQ(kActiveLeftBorder, LeftBorderPixel(active)) << c.name;
        EXPECT_EQ(kInactiveLeftBorder, LeftBorderPixel(inactive)) << c.name;
        EXPECT_TRUE(KillTimer(m_first, kResetNonClientTimer)) << c.name;
        EXPECT_TRUE(KillTimer(m_second, kResetNonClientTimer)) << c.name;
    }
}
}
