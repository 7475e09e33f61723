// Scroll-bar controls and list boxes in the control gallery under the test skin, whose images
// are solid colours (image f, frame k: RGB(16f, 15k, 96); the second set: blue 160).
#include "controlgallery.h"
#include "hlmskinmanager.h"
#include "hlmskinobjectlistbox.h"
#include "hlmskinobjectscrollbar.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
typedef CHLMSkinObjectFrame::SCROLLBARLAYOUT SCROLLBARLAYOUT;

const int kArrowImage = 11, kThumbImage = 12, kLowerTrackImage = 13;
const int kUpperTrackImage = 8, kSizeBoxImage = 10;
const COLORREF kSkinButtonFace = RGB(10, 20, 30);

int Middle(int a, int b)
{
    return (a + b) / 2;
}

class ScrollBarControlTest : public ControlGalleryTest
{
protected:

    SCROLLBARLAYOUT& BarOf(int id) const
    {
        return ObjectOf<CHLMSkinObjectScrollBar>(Control(id))->GetControlBar();
    }

};

TEST_F(ScrollBarControlTest, ControlsOfTheGalleryGetTheirObjects)
{
    EXPECT_NE(nullptr, ObjectOf<CHLMSkinObjectScrollBar>(Control(kGalleryVertScroll)));
    EXPECT_NE(nullptr, ObjectOf<CHLMSkinObjectScrollBar>(Control(kGallerySizeGrip)));
    EXPECT_NE(nullptr, ObjectOf<CHLMSkinObjectListBox>(Control(kGalleryListBox)));
}

TEST_F(ScrollBarControlTest, BarsAndGripsAreDrawnFromTheSkin)
{
    HWND vert = Control(kGalleryVertScroll), horz = Control(kGalleryHorzScroll);
    const SCROLLBARLAYOUT& v = BarOf(kGalleryVertScroll);
    const SCROLLBARLAYOUT& h = BarOf(kGalleryHorzScroll);
    ASSERT_TRUE(v.bVertical);
    ASSERT_FALSE(h.bVertical);
    struct Probe
    {
        const char* name;
        HWND window;
        int x, y;
        COLORREF color;
    } const probes[] = {
        {"up arrow", vert, 10, v.nStart + 2, Solid(kArrowImage, 1)},
        {"down arrow", vert, 10, v.nEnd - 2, Solid(kArrowImage, 5)},
        {"track above the thumb", vert, 10, v.nFirstArrowEnd + 1, Solid(kLowerTrackImage, 1)},
        {"vertical thumb", vert, 10, v.nThumbStart + 1, Solid(kThumbImage, 1)},
        {"track below the thumb", vert, 10, v.nThumbEnd + 1, SecondSet(kUpperTrackImage, 1)},
        {"left arrow", horz, h.nStart + 2, 10, Solid(kArrowImage, 9)},
        {"right arrow", horz, h.nEnd - 2, 10, Solid(kArrowImage, 13)},
        {"horizontal thumb", horz, h.nThumbStart + 1, 10, Solid(kThumbImage, 1)},
        {"size grip", Control(kGallerySizeGrip), 10, 10, SecondSet(kSizeBoxImage, 1)},
        {"size box: the parent's background only", Control(kGallerySizeBox), 10, 10, kSkinButtonFace},
    };
    for (const Probe& probe : probes)
        EXPECT_EQ(probe.color, WindowPixel(probe.window, probe.x, probe.y)) << probe.name;
}

TEST_F(ScrollBarControlTest, HotPartFollowsTheMouseAndClearsWhenItLeaves)
{
    HWND vert = Control(kGalleryVertScroll);
    const SCROLLBARLAYOUT& v = BarOf(kGalleryVertScroll);
    const int upArrow = v.nStart + 2, thumb = v.nThumbStart + 1;
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(vert, 10, upArrow));
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(vert, 10, upArrow) == Solid(kArrowImage, 2); }));
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(vert, 10, thumb));
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(vert, 10, thumb) == Solid(kThumbImage, 2); }));
    EXPECT_EQ(Solid(kArrowImage, 1), WindowPixel(vert, 10, upArrow));
    ParkMouse();
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(vert, 10, thumb) == Solid(kThumbImage, 1); }));
    EXPECT_EQ(0, v.nHotPart);
}

TEST_F(ScrollBarControlTest, FocusShowsNothingAndDisabledBarsUseTheDisabledFrames)
{
    HWND vert = Control(kGalleryVertScroll);
    const SCROLLBARLAYOUT& v = BarOf(kGalleryVertScroll);
    const int thumb = v.nThumbStart + 1;
    SetFocus(vert);
    m_gallery->Repaint();
    EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(vert, 10, thumb));
    EXPECT_EQ(Solid(kArrowImage, 1), WindowPixel(vert, 10, v.nStart + 2));

    EnableWindow(vert, FALSE);
    PumpMessages();
    EXPECT_EQ(Solid(kArrowImage, 4), WindowPixel(vert, 10, v.nStart + 2));
    EXPECT_EQ(Solid(kArrowImage, 8), WindowPixel(vert, 10, v.nEnd - 2));
}

TEST_F(ScrollBarControlTest, PositionChangesRepaintAtOnceOnlyWhenAsked)
{
    HWND vert = Control(kGalleryVertScroll);
    const SCROLLBARLAYOUT& v = BarOf(kGalleryVertScroll);
    const int oldThumb = v.nThumbStart + 1;

    SendMessageW(vert, SBM_SETPOS, 80, FALSE);
    EXPECT_EQ(80, GetScrollPos(vert, SB_CTL));
    EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(vert, 10, oldThumb));

    SendMessageW(vert, SBM_SETPOS, 0, TRUE);
    EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(vert, 10, v.nFirstArrowEnd + 1));
    EXPECT_EQ(SecondSet(kUpperTrackImage, 1), WindowPixel(vert, 10, oldThumb));

    SCROLLINFO info = {sizeof(info), SIF_POS, 0, 0, 0, 40, 0};
    SendMessageW(vert, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(vert, 10, oldThumb));
    EXPECT_EQ(Solid(kLowerTrackImage, 1), WindowPixel(vert, 10, v.nFirstArrowEnd + 1));
}

TEST_F(ScrollBarControlTest, PressesScrollTheParentAndDragsAnswerTheTrackPosition)
{
    HWND vert = Control(kGalleryVertScroll);
    CHLMSkinObjectScrollBar* object = ObjectOf<CHLMSkinObjectScrollBar>(vert);
    const SCROLLBARLAYOUT& v = BarOf(kGalleryVertScroll);
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(vert, 10, v.nEnd - 2));
    PumpMessages();
    RunBesideMessageLoop([&] {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        WaitUntil([&] { return !CControlGallery::scrolls.empty(); });
        SendMouse(MOUSEEVENTF_LEFTUP);
        WaitUntil([&] { return object->GetScrollTrackInfo() == nullptr; });
    });
    ASSERT_FALSE(CControlGallery::scrolls.empty());
    EXPECT_EQ(WM_VSCROLL, CControlGallery::scrolls.front().message);
    EXPECT_EQ(SB_LINEDOWN, CControlGallery::scrolls.front().code);
    EXPECT_EQ(vert, CControlGallery::scrolls.front().control);
    EXPECT_EQ(SB_ENDSCROLL, CControlGallery::scrolls.back().code);

    // During a thumb drag the control answers the dragged position.
    CControlGallery::scrolls.clear();
    int trackPosition = -1;
    const int thumb = Middle(v.nThumbStart, v.nThumbEnd);
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(vert, 10, thumb));
    PumpMessages();
    RunBesideMessageLoop([&] {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        WaitUntil([&] { return object->GetScrollTrackInfo() != nullptr; });
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(vert, 10, thumb + 30));
        WaitUntil([&] {
            const CHLMSkinObjectFrame::SCROLLBARTRACKING* tracking = object->GetScrollTrackInfo();
            return tracking != nullptr && tracking->nPosition > 40;
        });
        SCROLLINFO info = {sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        SendMessageW(vert, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
        trackPosition = info.nTrackPos;
        SendMouse(MOUSEEVENTF_LEFTUP);
        WaitUntil([&] { return object->GetScrollTrackInfo() == nullptr; });
    });
    EXPECT_GT(trackPosition, 40);
}

// A held arrow or track moves no thumb: the track position stays the position. (Only a thumb
// drag has a track position of its own.)
TEST_F(ScrollBarControlTest, AHeldArrowOrTrackAnswersThePositionAsTheTrackPosition)
{
    HWND vert = Control(kGalleryVertScroll);
    CHLMSkinObjectScrollBar* object = ObjectOf<CHLMSkinObjectScrollBar>(vert);
    const SCROLLBARLAYOUT& v = BarOf(kGalleryVertScroll);
    struct Case
    {
        const char* name;
        int y;
    } const cases[] = {{"down arrow", v.nEnd - 2}, {"track below the thumb", v.nThumbEnd + 2}};
    for (const Case& c : cases)
    {
        CControlGallery::scrolls.clear();
        SCROLLINFO held = {sizeof(held), SIF_ALL, 0, 0, 0, -1, -1};
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(vert, 10, c.y));
        PumpMessages();
        RunBesideMessageLoop([&] {
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            WaitUntil([&] { return !CControlGallery::scrolls.empty(); });
            SendMessageW(vert, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&held));
            SendMouse(MOUSEEVENTF_LEFTUP);
            WaitUntil([&] { return object->GetScrollTrackInfo() == nullptr; });
        });
        ASSERT_FALSE(CControlGallery::scrolls.empty()) << c.name;
        EXPECT_EQ(40, held.nPos) << c.name;
        EXPECT_EQ(held.nPos, held.nTrackPos) << c.name;
    }
}

// Messages that make the system draw its own bar: the skinned bar is on the screen as soon as
// they return, with nothing of the system's drawn over it.
TEST_F(ScrollBarControlTest, RangeAndArrowMessagesLeaveTheSkinnedBarOnScreen)
{
    HWND vert = Control(kGalleryVertScroll);
    const SCROLLBARLAYOUT& v = BarOf(kGalleryVertScroll);
    struct Case
    {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        int range;
    } const cases[] = {
        {"SBM_SETRANGEREDRAW", SBM_SETRANGEREDRAW, 0, 199, 199},
        {"SBM_ENABLE_ARROWS up arrow off", SBM_ENABLE_ARROWS, ESB_DISABLE_LTUP, 0, 99},
        {"SBM_ENABLE_ARROWS both on", SBM_ENABLE_ARROWS, ESB_ENABLE_BOTH, 0, 99},
    };
    for (const Case& c : cases)
    {
        SendMessageW(vert, SBM_SETRANGE, 0, 99);
        m_gallery->Repaint();
        const int oldThumb = v.nThumbStart + 1;
        SendMessageW(vert, c.message, c.wParam, c.lParam);
        // Read before anything is painted: what the message itself left on the screen.
        EXPECT_EQ(Solid(kArrowImage, 1), WindowPixel(vert, 10, v.nStart + 2)) << c.name;
        EXPECT_EQ(Solid(kArrowImage, 5), WindowPixel(vert, 10, v.nEnd - 2)) << c.name;
        EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(vert, 10, v.nThumbStart + 1)) << c.name;
        int minimum = -1, maximum = -1;
        GetScrollRange(vert, SB_CTL, &minimum, &maximum);
        EXPECT_EQ(c.range, maximum) << c.name;
        if (c.range != 99)
        {
            EXPECT_LT(v.nThumbStart + 1, oldThumb) << c.name;
            EXPECT_EQ(Solid(kLowerTrackImage, 1), WindowPixel(vert, 10, v.nFirstArrowEnd + 1)) << c.name;
        }
        PumpMessages();
        EXPECT_EQ(Solid(kArrowImage, 1), WindowPixel(vert, 10, v.nStart + 2)) << c.name << " after painting";
    }
    SendMessageW(vert, SBM_SETRANGE, 0, 99);
}

// List boxes move their own bars; the skinned bar must follow whatever scrolled them.
TEST_F(ScrollBarControlTest, ListBoxBarFollowsKeysScrollMessagesAndTheWheel)
{
    HWND list = Control(kGalleryListBox);
    CHLMSkinObjectListBox* object = ObjectOf<CHLMSkinObjectListBox>(list);
    ASSERT_NE(nullptr, object);
    const SCROLLBARLAYOUT& bar = object->GetVertBar();
    ASSERT_TRUE(bar.bVisible);
    const int x = Middle(bar.rc.left, bar.rc.right);
    EXPECT_EQ(Solid(kArrowImage, 1), WindowPixel(list, x, bar.nStart + 2));
    EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(list, x, bar.nThumbStart + 1));

    // A list box without a current item ignores its first key.
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    for (const ScrollDownWay& c : WaysToScrollDown({20, 20}))
    {
        SendMessageW(list, LB_SETTOPINDEX, 0, 0);
        object->RefreshScrollBars();
        PumpMessages();
        const int oldThumb = bar.nThumbStart + 1;
        ASSERT_EQ(0, GetScrollPos(list, SB_VERT)) << c.name;
        c.scroll(list);
        // Current as soon as the message returns, before anything is painted.
        EXPECT_GT(GetScrollPos(list, SB_VERT), 0) << c.name;
        EXPECT_EQ(GetScrollPos(list, SB_VERT), bar.nPos) << c.name;
        EXPECT_EQ(Solid(kLowerTrackImage, 1), WindowPixel(list, x, oldThumb)) << c.name;
        EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(list, x, bar.nThumbStart + 1)) << c.name;
    }
}

// A list box that only changes its page (taller items, fewer of them on a page) draws the
// system's bar over the skin's; the skinned bar must come back with the new thumb size.
TEST_F(ScrollBarControlTest, ListBoxBarFollowsAPageChange)
{
    HWND list = Control(kGalleryListBox);
    CHLMSkinObjectListBox* object = ObjectOf<CHLMSkinObjectListBox>(list);
    const SCROLLBARLAYOUT& bar = object->GetVertBar();
    const int x = Middle(bar.rc.left, bar.rc.right);
    const int oldPage = bar.nPage, oldThumbEnd = bar.nThumbEnd;
    const LRESULT height = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, height * 2);
    PumpMessages();
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(list, SB_VERT, &info);
    ASSERT_LT(static_cast<int>(info.nPage), oldPage);
    EXPECT_EQ(static_cast<int>(info.nPage), bar.nPage);
    EXPECT_LT(bar.nThumbEnd, oldThumbEnd);
    EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(list, x, bar.nThumbStart + 1));
    EXPECT_EQ(SecondSet(kUpperTrackImage, 1), WindowPixel(list, x, bar.nThumbEnd + 1));
}

TEST_F(ScrollBarControlTest, GalleryImageWhenAsked)
{
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"QUILBROOK_GALLERY_IMAGE", path, MAX_PATH) == 0)
        GTEST_SKIP() << "QUILBROOK_GALLERY_IMAGE names the file to write";
    // Another skin next to the test program, such as "skin.skin" (Quilbrook's own).
    wchar_t skin[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"QUILBROOK_GALLERY_SKIN", skin, MAX_PATH) != 0)
    {
        ASSERT_TRUE(GetSkinManager()->LoadSkin(BesideTestProgram(skin).c_str(), L""));
        // The colour and metric changes posted to the controls first, then the paint.
        PumpMessages();
        m_gallery->Repaint();
    }
    m_gallery->SaveImage(path);
}
}
