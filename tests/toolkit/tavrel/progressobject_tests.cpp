// The progress bar object under the test skin: the bar RGB(60, 0, 10) (vertical
// RGB(60, 0, 20)) inside a one-pixel border RGB(60, 0, 0), sizing margins of 2, chunks of 6
// pixels RGB(60, 100, 0) (vertical RGB(60, 110, 0)) with gaps of 2. The gallery's bars: a
// horizontal one 160 x 20 at 40 of 0..100, a marquee of the same size, a vertical one
// 22 x 60 at 60 and a full one.
#include "controlgallery.h"
#include "hlmskinmanager.h"
#include "hlmskinobjectprogress.h"
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
const COLORREF kBorder = RGB(60, 0, 0), kBar = RGB(60, 0, 10), kBarVert = RGB(60, 0, 20);
const COLORREF kChunk = RGB(60, 100, 0), kChunkVert = RGB(60, 110, 0);

void SetPosition(HWND progress, int position)
{
    SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    UpdateWindow(progress);
    PumpMessages();
}

struct Probe
{
    int x, y;
    COLORREF color;
};

void ExpectPixels(HWND window, const std::vector<Probe>& probes, const std::string& name)
{
    for (const Probe& probe : probes)
        EXPECT_EQ(probe.color, WindowPixel(window, probe.x, probe.y))
            << name << " at (" << probe.x << ", " << probe.y << ")";
}

using ProgressObjectTest = ControlGalleryTest;

// Chunks from the inner edge of the bar's sizing margins, 6 long with gaps of 2, as many as
// the filled length starts (rounded up); none at the lower limit; the last one of a full bar
// reaches into the margin up to the client's edge.
TEST_F(ProgressObjectTest, ChunksStandWhereThePositionPutsThem)
{
    HWND progress = Control(kGalleryProgress);
    ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectProgress>(progress));
    EXPECT_EQ(0, GetWindowLongW(progress, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    const struct
    {
        int position;
        std::vector<Probe> probes;
    } cases[] = {
        // 62 of 156 pixels: eight chunks, the last at 58..63.
        {40, {{0, 10, kBorder}, {1, 10, kBar}, {2, 10, kChunk}, {7, 10, kChunk}, {8, 10, kBar}, {9, 10, kBar},
              {10, 10, kChunk}, {5, 1, kBar}, {5, 2, kChunk}, {5, 17, kChunk}, {5, 18, kBar}, {58, 10, kChunk},
              {63, 10, kChunk}, {64, 10, kBar}, {66, 10, kBar}}},
        // 66 pixels start a ninth chunk.
        {42, {{63, 10, kChunk}, {66, 10, kChunk}, {71, 10, kChunk}, {72, 10, kBar}, {74, 10, kBar}}},
        {0, {{2, 10, kBar}, {5, 5, kBar}, {80, 0, kBorder}}},
        {100, {{146, 10, kChunk}, {151, 10, kChunk}, {152, 10, kBar}, {153, 10, kBar}, {154, 10, kChunk},
               {159, 10, kChunk}}},
    };
    for (const auto& c : cases)
    {
        SetPosition(progress, c.position);
        ExpectPixels(progress, c.probes, "position " + std::to_string(c.position));
    }
    SetPosition(progress, 0);
    EXPECT_EQ(0, CountColor(progress, {0, 0, 160, 20}, kChunk));

    // Vertical, 33 of 56 pixels: five chunks from the bottom up, 52..57 the first.
    ExpectPixels(Control(kGalleryVertProgress),
                 {{10, 59, kBorder}, {10, 58, kBarVert}, {10, 57, kChunkVert}, {10, 52, kChunkVert},
                  {10, 51, kBarVert}, {10, 50, kBarVert}, {10, 49, kChunkVert}, {10, 20, kChunkVert},
                  {10, 19, kBarVert}, {1, 57, kBarVert}, {2, 57, kChunkVert}, {19, 57, kChunkVert},
                  {20, 57, kBarVert}},
                 "vertical");
    EXPECT_EQ(5 * 6 * 18, CountColor(Control(kGalleryVertProgress), {0, 0, 22, 60}, kChunkVert));

    // PBM_SETPOS repaints by itself, without the test asking for it.
    SendMessageW(progress, PBM_SETPOS, 100, 0);
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(progress, 154, 10) == kChunk; }));
}

// A marquee shows five chunks from its offset; each tick moves it one chunk and gap on, two
// when the interval is 50 ms or less; a switched-off marquee starts again at the left.
TEST_F(ProgressObjectTest, MarqueeMovesByChunksOnItsTimer)
{
    HWND marquee = Control(kGalleryMarqueeProgress);
    CHLMSkinObjectProgress* object = ObjectOf<CHLMSkinObjectProgress>(marquee);
    ASSERT_NE(nullptr, object);
    EXPECT_EQ(1, SendMessageW(marquee, PBM_SETMARQUEE, TRUE, 100));
    KillTimer(marquee, CHLMSkinObjectProgress::kMarqueeTimer);  // ticks come from the test only
    UpdateWindow(marquee);
    ExpectPixels(marquee, {{2, 10, kChunk}, {7, 10, kChunk}, {8, 10, kBar}, {34, 10, kChunk}, {39, 10, kChunk},
                           {40, 10, kBar}, {42, 10, kBar}},
                 "five chunks");
    EXPECT_EQ(5 * 6 * 16, CountColor(marquee, {0, 0, 160, 20}, kChunk));

    const struct
    {
        int interval, expectedInterval, offsetAfterTick;
    } cases[] = {{100, 100, 8}, {50, 50, 16}, {20, 20, 16}, {0, 30, 16}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(1, SendMessageW(marquee, PBM_SETMARQUEE, TRUE, c.interval));
        EXPECT_EQ(c.expectedInterval, object->GetMarqueeInterval()) << c.interval;
        EXPECT_EQ(0, object->GetMarqueeOffset());
        KillTimer(marquee, CHLMSkinObjectProgress::kMarqueeTimer);  // ticks come from the test only
        SendMessageW(marquee, WM_TIMER, CHLMSkinObjectProgress::kMarqueeTimer, 0);
        EXPECT_EQ(c.offsetAfterTick, object->GetMarqueeOffset()) << c.interval;
    }
    UpdateWindow(marquee);
    ExpectPixels(marquee, {{17, 10, kBar}, {18, 10, kChunk}, {23, 10, kChunk}, {24, 10, kBar}}, "moved by 16");
    // PBM_STEPIT moves it by one step.
    EXPECT_EQ(1, SendMessageW(marquee, PBM_STEPIT, 0, 0));
    EXPECT_EQ(24, object->GetMarqueeOffset());
    // The offset starts again at 0 once it passes the right edge.
    for (int tick = 0; tick < 20; ++tick)
        SendMessageW(marquee, PBM_STEPIT, 0, 0);
    EXPECT_LE(object->GetMarqueeOffset(), 160);
    EXPECT_EQ(1, SendMessageW(marquee, PBM_SETMARQUEE, FALSE, 0));
    EXPECT_EQ(0, object->GetMarqueeInterval());
    EXPECT_EQ(0, object->GetMarqueeOffset());
}

// A marquee shows the empty bar until it runs, and again once it stops; its timer stops
// with it, also when the bar lost PBS_MARQUEE in between (the control then takes the
// message itself) or loses the style while the timer runs.
TEST_F(ProgressObjectTest, MarqueeTimerStopsWithTheMarquee)
{
    HWND marquee = Control(kGalleryMarqueeProgress);
    CHLMSkinObjectProgress* object = ObjectOf<CHLMSkinObjectProgress>(marquee);
    ASSERT_NE(nullptr, object);
    const RECT client = {0, 0, 160, 20};
    EXPECT_EQ(0, CountColor(marquee, client, kChunk)) << "never started";
    EXPECT_FALSE(object->IsMarqueeShown());

    const DWORD style = static_cast<DWORD>(GetWindowLongW(marquee, GWL_STYLE));
    const struct
    {
        const char* name;
        std::function<void()> stop;
    } cases[] = {
        {"stopped", [&] { SendMessageW(marquee, PBM_SETMARQUEE, FALSE, 0); }},
        {"stopped after the style went",
         [&] {
             SetWindowLongW(marquee, GWL_STYLE, static_cast<LONG>(style & ~PBS_MARQUEE));
             SendMessageW(marquee, PBM_SETMARQUEE, FALSE, 0);
         }},
        {"style gone while it ran",
         [&] {
             SetWindowLongW(marquee, GWL_STYLE, static_cast<LONG>(style & ~PBS_MARQUEE));
             SendMessageW(marquee, WM_TIMER, CHLMSkinObjectProgress::kMarqueeTimer, 0);
         }},
    };
    for (const auto& c : cases)
    {
        SetWindowLongW(marquee, GWL_STYLE, static_cast<LONG>(style));
        EXPECT_EQ(1, SendMessageW(marquee, PBM_SETMARQUEE, TRUE, 1000)) << c.name;
        UpdateWindow(marquee);
        EXPECT_EQ(5 * 6 * 16, CountColor(marquee, client, kChunk)) << c.name << ": running";
        c.stop();
        EXPECT_FALSE(KillTimer(marquee, CHLMSkinObjectProgress::kMarqueeTimer)) << c.name;
        EXPECT_EQ(0, object->GetMarqueeInterval()) << c.name;
        EXPECT_FALSE(object->IsMarqueeShown()) << c.name;
    }
    SetWindowLongW(marquee, GWL_STYLE, static_cast<LONG>(style));
    RedrawWindow(marquee, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(0, CountColor(marquee, client, kChunk)) << "stopped";
    // Stepping by hand runs it too.
    SendMessageW(marquee, PBM_STEPIT, 0, 0);
    UpdateWindow(marquee);
    EXPECT_EQ(5 * 6 * 16, CountColor(marquee, client, kChunk)) << "stepped";
}

// A progress bar created with a static edge loses it while the skin is on: the skin's bar
// has its own border.
TEST_F(ProgressObjectTest, StaticEdgeGoesWhileSkinned)
{
    HWND progress = CreateWindowExW(WS_EX_STATICEDGE, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 300, 270, 130, 20,
                                    m_gallery->window(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectProgress>(progress));
    EXPECT_EQ(0, GetWindowLongW(progress, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    RECT client = {};
    GetClientRect(progress, &client);
    EXPECT_EQ(130, client.right);
    DestroyWindow(progress);
}

// ---------------------------------------------------------------------------------------
// Skins whose chunk and space sizes make no sense: a chunk below 1 counts as 1 and a space
// below 0 as 0, so that the chunk count never divides by zero.

class ProgressSizesTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (m_window != nullptr)
            DestroyWindow(m_window);
        PumpMessages();
        CleanSkinManager();
    }

    HWND OpenBar(const char* chunk, const char* space, DWORD style)
    {
        CTestFolderSkin skin(L"progresssizes",
                             {"[Progress]", std::string("ProgressChunkSize = ") + chunk,
                              std::string("ProgressSpaceSize = ") + space, "[Progress.Bar]", "BgType = BorderFill",
                              "BorderSize = 0", "FillColor = 60 0 10", "[Progress.Chunk]", "BgType = BorderFill",
                              "BorderSize = 0", "FillColor = 60 100 0"});
        EXPECT_TRUE(GetSkinManager()->LoadSkin(skin.path().c_str(), L"skin.ini"));
        ParkMouse();
        RegisterWindowClass(L"QuilbrookProgressSizes", DefWindowProcW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        m_window = CreateWindowExW(0, L"QuilbrookProgressSizes", L"Progress", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                   40, 300, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | style, 10, 10, 100, 20, m_window,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(bar, PBM_SETPOS, 30, 0);
        RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
        return bar;
    }

    HWND m_window = nullptr;
};

TEST_F(ProgressSizesTest, ZeroChunkAndNegativeSpaceDrawOneSmoothBar)
{
    HWND bar = OpenBar("0", "-1", 0);
    ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectProgress>(bar));
    // 30 of 100 pixels, without gaps.
    EXPECT_EQ(30 * 20, CountColor(bar, {0, 0, 100, 20}, kChunk));
    EXPECT_EQ(kChunk, WindowPixel(bar, 29, 10));
    EXPECT_EQ(kBar, WindowPixel(bar, 30, 10));
}

TEST_F(ProgressSizesTest, NegativeChunkCountsAsOnePixel)
{
    // Chunk -2 and space 2 would add up to 0.
    HWND bar = OpenBar("-2", "2", 0);
    ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectProgress>(bar));
    // Ten chunks of one pixel, every third pixel.
    EXPECT_EQ(10 * 20, CountColor(bar, {0, 0, 100, 20}, kChunk));
    for (int x : {0, 3, 27})
        EXPECT_EQ(kChunk, WindowPixel(bar, x, 10)) << x;
    for (int x : {1, 2, 28, 30})
        EXPECT_EQ(kBar, WindowPixel(bar, x, 10)) << x;
    // The marquee moves on by chunk and space, 3 pixels a step, two steps per tick.
    HWND marquee = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_MARQUEE, 10, 40, 100, 20,
                                   m_window, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(marquee, WM_TIMER, CHLMSkinObjectProgress::kMarqueeTimer, 0);
    ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectProgress>(marquee));
    EXPECT_EQ(6, ObjectOf<CHLMSkinObjectProgress>(marquee)->GetMarqueeOffset());
}
}
