// The animated picture control on a real static window: still pictures, GIF animations read
// back from the window's pixels, loading from files, resources and memory, damaged data and
// the animation thread's end.
#include "pictureex.h"

#include "apptesting.h"
#include "giffixtures.h"
#include "picturefixtures.h"
#include "pixels.h"
#include "testpaths.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace
{
constexpr COLORREF kRed = RGB(220, 30, 40);
constexpr COLORREF kGreen = RGB(20, 200, 60);
constexpr COLORREF kBlue = RGB(30, 50, 210);
constexpr COLORREF kYellow = RGB(230, 210, 20);

// How long a test waits for a frame that must come; frames come within a second.
constexpr DWORD kPatience = 15000;

// A visible top-level window with a static control, subclassed as the picture control.
class PictureWindow
{
public:
    PictureWindow()
    {
        m_host = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 40, 40, 240, 180, nullptr,
                                 nullptr, nullptr, nullptr);
        const HWND control = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, m_host,
                                             nullptr, nullptr, nullptr);
        picture.SubclassWindow(control);
        ShowWindow(m_host, SW_SHOWNOACTIVATE);
        UpdateWindow(m_host);
    }
    ~PictureWindow()
    {
        if (IsWindow(m_host))
            DestroyWindow(m_host);
    }
    PictureWindow(const PictureWindow&) = delete;
    PictureWindow& operator=(const PictureWindow&) = delete;

    void Destroy() { DestroyWindow(m_host); }

    CPictureEx picture;

private:
    HWND m_host;
};

// The control's pixels as the screen shows them, read through the window's own DC after
// every pending paint.
class Snapshot
{
public:
    explicit Snapshot(HWND window)
    {
        PumpMessages();
        UpdateWindow(window);
        RECT client;
        GetClientRect(window, &client);
        m_width = client.right;
        m_height = client.bottom;
        TestSurface surface(m_width, m_height);
        const HDC windowDC = GetDC(window);
        BitBlt(surface.dc(), 0, 0, m_width, m_height, windowDC, 0, 0, SRCCOPY);
        ReleaseDC(window, windowDC);
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                m_pixels.push_back(surface.ColorAt(x, y));
    }

    COLORREF At(int x, int y) const { return m_pixels[static_cast<size_t>(y * m_width + x)]; }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    int m_width, m_height;
    std::vector<COLORREF> m_pixels;
};

bool Near(COLORREF actual, COLORREF expected, int tolerance)
{
    return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
           std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
           std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

int ProcessThreadCount()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// Pumps and looks at the window until `done` holds; false after the patience runs out.
bool WaitForPixels(HWND window, const std::function<bool(const Snapshot&)>& done)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kPatience)
    {
        if (done(Snapshot(window)))
            return true;
        Sleep(5);
    }
    return false;
}

bool WaitForThreadCount(int count)
{
    const DWORD start = GetTickCount();
    while (ProcessThreadCount() != count)
    {
        if (GetTickCount() - start > kPatience)
            return false;
        Sleep(5);
    }
    return true;
}

HGLOBAL GlobalCopy(const std::vector<BYTE>& bytes)
{
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::copy(bytes.begin(), bytes.end(), static_cast<BYTE*>(GlobalLock(block)));
    GlobalUnlock(block);
    return block;
}

BOOL LoadBytes(CPictureEx& picture, const std::vector<BYTE>& bytes)
{
    const HGLOBAL block = GlobalCopy(bytes);
    const BOOL loaded = picture.Load(block, static_cast<DWORD>(bytes.size()));
    GlobalFree(block);
    return loaded;
}

// 40 x 30: a red screen, a green square that is put back as it was (disposal 3), a blue
// square that leaves the background (disposal 2), and a yellow corner without a control
// extension, shown until the animation stops. The animation runs once, so each frame shows
// long enough for a busy test thread to see it.
const std::vector<GifFrameSpec> kDisposalFrames = {
    {0, 0, 40, 30, kRed, 30, 1},
    {5, 10, 10, 10, kGreen, 35, 3},
    {20, 10, 10, 10, kBlue, 40, 2},
    {0, 0, 4, 4, kYellow, -1, 0},
};
// Sample points: outside every square, in the green, the blue and the yellow one.
const POINT kOutside = {35, 25}, kInGreen = {10, 15}, kInBlue = {25, 15}, kInYellow = {1, 1};

struct Sample
{
    COLORREF outside, green, blue, yellow;
    bool operator==(const Sample& other) const
    {
        return outside == other.outside && green == other.green && blue == other.blue && yellow == other.yellow;
    }
};

Sample SampleOf(const Snapshot& shot)
{
    return {shot.At(kOutside.x, kOutside.y), shot.At(kInGreen.x, kInGreen.y), shot.At(kInBlue.x, kInBlue.y),
            shot.At(kInYellow.x, kInYellow.y)};
}

// Two full-screen frames that alternate for ever.
const std::vector<GifFrameSpec> kBlinkFrames = {
    {0, 0, 16, 16, kRed, 5, 1},
    {0, 0, 16, 16, kBlue, 5, 1},
};
// Three full-screen frames, for cutting and damaging.
const std::vector<GifFrameSpec> kThreeFrames = {
    {0, 0, 12, 12, kRed, 5, 1},
    {0, 0, 12, 12, kGreen, 5, 1},
    {0, 0, 12, 12, kBlue, 5, 1},
};
}  // namespace

TEST(PictureEx, DrawBeforeLoadDrawsNothing)
{
    PictureWindow window;
    EXPECT_FALSE(window.picture.Draw());
    EXPECT_FALSE(window.picture.IsGifLoaded());
    EXPECT_EQ(0, window.picture.GetAnimationFrameCount());
}

// BMP and JPEG go through the OLE picture loader at the screen's resolution; a GIF of one
// frame is a still picture of its logical screen. The gradient fixtures run from red at the
// top left to blue at the bottom right, so a picture drawn upside down shows.
TEST(PictureEx, StillPicturesAreDrawnUprightAtTheirSize)
{
    struct Case
    {
        const wchar_t* name;
        PictureKind kind;
        bool gif;
        COLORREF topLeft, bottomRight;
        int tolerance;
    };
    const Case cases[] = {
        {L"still.bmp", PictureKind::Bmp, false, RGB(200, 30, 30), RGB(30, 60, 220), 12},
        {L"still.jpg", PictureKind::Jpg, false, RGB(200, 30, 30), RGB(30, 60, 220), 24},
        {L"still.gif", PictureKind::Gif, true, RGB(200, 30, 30), RGB(30, 60, 220), 0},
    };
    const std::wstring folder = MakeTestFolder(L"pictureex-still");
    for (const Case& test : cases)
    {
        SCOPED_TRACE(testing::Message() << test.gif);
        const std::wstring path = folder + L"\\" + test.name;
        ASSERT_TRUE(MakePicture(path, test.kind, 48, 36));
        PictureWindow window;
        ASSERT_TRUE(window.picture.Load(path.c_str()));
        EXPECT_EQ(test.gif, !!window.picture.IsGifLoaded());
        EXPECT_FALSE(window.picture.IsAnimated());
        EXPECT_EQ(0, window.picture.GetAnimationFrameCount());
        EXPECT_EQ(48, window.picture.GetPictureSize().cx);
        EXPECT_EQ(36, window.picture.GetPictureSize().cy);
        EXPECT_TRUE(window.picture.Draw());
        EXPECT_FALSE(window.picture.IsAnimationPlaying());

        const Snapshot shot(window.picture.m_hWnd);
        EXPECT_EQ(48, shot.width());
        EXPECT_EQ(36, shot.height());
        EXPECT_TRUE(Near(shot.At(1, 1), test.topLeft, test.tolerance)) << std::hex << shot.At(1, 1);
        EXPECT_TRUE(Near(shot.At(46, 34), test.bottomRight, test.tolerance)) << std::hex << shot.At(46, 34);
    }
}

// The frame list of the four-frame GIF, from each of the three sources.
TEST(PictureEx, FileResourceAndMemoryGiveTheSameFrames)
{
    const GifBytes gif = MakeGif(40, 30, kDisposalFrames);
    const std::wstring path = WriteTestFile(L"pictureex-sources", L"frames.gif", gif.bytes);
    PictureWindow window;
    CPictureEx& picture = window.picture;

    ASSERT_TRUE(picture.Load(path.c_str()));
    ASSERT_TRUE(picture.IsAnimated());
    ASSERT_EQ(4, picture.GetAnimationFrameCount());
    EXPECT_EQ(40, picture.GetPictureSize().cx);
    EXPECT_EQ(30, picture.GetPictureSize().cy);
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        const CPictureEx::TFrame* frame = picture.GetAnimationFrame(i);
        ASSERT_NE(nullptr, frame);
        const GifFrameSpec& spec = kDisposalFrames[static_cast<size_t>(i)];
        EXPECT_EQ(spec.left, frame->m_frameOffset.cx);
        EXPECT_EQ(spec.top, frame->m_frameOffset.cy);
        EXPECT_EQ(spec.width, frame->m_frameSize.cx);
        EXPECT_EQ(spec.height, frame->m_frameSize.cy);
        EXPECT_EQ(spec.delay < 0 ? UINT_MAX : static_cast<UINT>(spec.delay), frame->m_nDelay);
        EXPECT_EQ(static_cast<UINT>(spec.disposal), frame->m_nDisposal);
    }
    EXPECT_EQ(nullptr, picture.GetAnimationFrame(4));

    ASSERT_TRUE(LoadBytes(picture, gif.bytes));
    EXPECT_EQ(4, picture.GetAnimationFrameCount());
    EXPECT_EQ(40u, picture.GetAnimationFrame(2)->m_nDelay);

    // The test program's own resource: two 8 x 8 frames of 7 and 9 hundredths.
    ASSERT_TRUE(picture.Load(L"TWOFRAMES", L"GIF"));
    ASSERT_EQ(2, picture.GetAnimationFrameCount());
    EXPECT_EQ(8, picture.GetPictureSize().cx);
    EXPECT_EQ(7u, picture.GetAnimationFrame(0)->m_nDelay);
    EXPECT_EQ(1u, picture.GetAnimationFrame(0)->m_nDisposal);
    EXPECT_EQ(9u, picture.GetAnimationFrame(1)->m_nDelay);
    EXPECT_EQ(2u, picture.GetAnimationFrame(1)->m_nDisposal);
    EXPECT_FALSE(picture.Draw());  // an animation starts instead
    EXPECT_TRUE(WaitForPixels(picture.m_hWnd, [](const Snapshot& shot) { return shot.At(4, 4) == RGB(40, 40, 200); }));
}

// Each frame shows in turn at its offset; the green square is put back to red before the
// blue one is drawn, the blue one is cleared to the background, and the yellow frame, having
// no control extension, stays until the animation stops.
TEST(PictureEx, AnimationShowsEachFrameWithItsDisposal)
{
    PictureWindow window;
    CPictureEx& picture = window.picture;
    ASSERT_TRUE(LoadBytes(picture, MakeGif(40, 30, kDisposalFrames).bytes));
    const COLORREF background = picture.GetBackgroundColor();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), background);

    EXPECT_FALSE(picture.Draw());
    const Sample afterRed = {kRed, kRed, kRed, kRed};
    const Sample afterGreen = {kRed, kGreen, kRed, kRed};
    const Sample afterBlue = {kRed, kRed, kBlue, kRed};
    const Sample afterYellow = {kRed, kRed, background, kYellow};
    std::vector<Sample> seen;
    EXPECT_TRUE(WaitForPixels(picture.m_hWnd, [&](const Snapshot& shot) {
        const Sample sample = SampleOf(shot);
        if (seen.empty() || !(seen.back() == sample))
            seen.push_back(sample);
        return sample == afterYellow;
    }));
    EXPECT_TRUE(picture.IsAnimationPlaying());

    // Paints may fall between a disposal and the next frame, so the frames are looked for
    // in order among what was seen.
    auto next = seen.begin();
    for (const Sample& expected : {afterRed, afterGreen, afterBlue, afterYellow})
    {
        next = std::find(next, seen.end(), expected);
        EXPECT_NE(seen.end(), next) << "a frame was never shown in its turn";
    }
    for (const Sample& sample : seen)
        EXPECT_NE(kGreen, sample.blue) << "the green square was left under the blue one";

    picture.StopAnimation();
    EXPECT_FALSE(picture.IsAnimationPlaying());
    EXPECT_TRUE(SampleOf(Snapshot(picture.m_hWnd)) == afterYellow);
}

// Stopping ends the thread and keeps the picture; Draw again goes on from there; Draw while
// playing replaces the running thread instead of adding one.
TEST(PictureEx, StopAndRestart)
{
    PictureWindow window;
    CPictureEx& picture = window.picture;
    ASSERT_TRUE(LoadBytes(picture, MakeGif(16, 16, kBlinkFrames).bytes));
    const int threadsBefore = ProcessThreadCount();

    picture.Draw();
    picture.Draw();
    EXPECT_TRUE(WaitForPixels(picture.m_hWnd, [](const Snapshot& shot) { return shot.At(8, 8) == kRed; }));
    EXPECT_TRUE(WaitForPixels(picture.m_hWnd, [](const Snapshot& shot) { return shot.At(8, 8) == kBlue; }));
    EXPECT_EQ(threadsBefore + 1, ProcessThreadCount());

    picture.StopAnimation();
    EXPECT_FALSE(picture.IsAnimationPlaying());
    EXPECT_EQ(threadsBefore, ProcessThreadCount());
    const COLORREF stopped = Snapshot(picture.m_hWnd).At(8, 8);
    EXPECT_TRUE(stopped == kRed || stopped == kBlue);
    EXPECT_EQ(stopped, Snapshot(picture.m_hWnd).At(8, 8));
    EXPECT_EQ(2, picture.GetAnimationFrameCount());

    picture.Draw();
    const COLORREF other = stopped == kRed ? kBlue : kRed;
    EXPECT_TRUE(WaitForPixels(picture.m_hWnd, [&](const Snapshot& shot) { return shot.At(8, 8) == other; }));
    EXPECT_TRUE(WaitForPixels(picture.m_hWnd, [&](const Snapshot& shot) { return shot.At(8, 8) == stopped; }));
    EXPECT_TRUE(picture.IsAnimationPlaying());

    picture.UnLoad();
    EXPECT_FALSE(picture.IsAnimationPlaying());
    EXPECT_EQ(threadsBefore, ProcessThreadCount());
    EXPECT_FALSE(picture.Draw());
}

// Destroying the window stops the animation: its thread is gone before the object is.
TEST(PictureEx, DestroyingTheWindowWhileAnimatingEndsTheThread)
{
    const int threadsBefore = ProcessThreadCount();
    {
        PictureWindow window;
        ASSERT_TRUE(LoadBytes(window.picture, MakeGif(16, 16, kBlinkFrames).bytes));
        window.picture.Draw();
        EXPECT_TRUE(WaitForPixels(window.picture.m_hWnd, [](const Snapshot& shot) { return shot.At(8, 8) == kBlue; }));
        EXPECT_EQ(threadsBefore + 1, ProcessThreadCount());
        window.Destroy();
        EXPECT_EQ(threadsBefore, ProcessThreadCount());
        EXPECT_FALSE(window.picture.IsAnimationPlaying());
    }
    EXPECT_TRUE(WaitForThreadCount(threadsBefore));
}

// The packed fields of the three GIF records, each read from one stored byte.
TEST(PictureEx, PackedFieldsOfTheGifRecords)
{
    static_assert(sizeof(CPictureEx::TScreenDescriptor) == 7 && sizeof(CPictureEx::TImageDescriptor) == 10 &&
                      sizeof(CPictureEx::TControlExtension) == 8,
                  "records as stored");
    CPictureEx::TScreenDescriptor screen = {};
    screen.m_cPacked = 0xD5;  // 1 101 0 101
    CPictureEx::TImageDescriptor image = {};
    image.m_cPacked = 0x63;  // 0 1 1 00 011
    CPictureEx::TControlExtension control = {};
    control.m_cPacked = 0x0B;  // 000 010 1 1
    const struct
    {
        int screen, image, control;
    } fields[] = {{1, 0, 2}, {6, 1, 1}, {0, 1, 1}, {5, 3, 0x0B}, {0xD5, 0x63, 0x0B}};
    for (int code = 0; code < 5; ++code)
    {
        EXPECT_EQ(fields[code].screen, screen.GetPackedValue(code)) << code;
        EXPECT_EQ(fields[code].image, image.GetPackedValue(code)) << code;
        EXPECT_EQ(fields[code].control, control.GetPackedValue(code)) << code;
    }
}

// GIF data cut short at every block boundary and inside every image's data: the frames
// that were complete before the cut are kept; with none, nothing loads.
TEST(PictureEx, DamagedGifKeepsTheFramesBeforeTheDamage)
{
    const std::vector<GifFrameSpec>& frames = kThreeFrames;
    const GifBytes gif = MakeGif(12, 12, frames);
    // Blocks: application extension, comment, then control extension and image per frame.
    ASSERT_EQ(2u + 2 * frames.size() + 1, gif.blockStarts.size());
    auto framesBefore = [&](size_t cut) {
        int complete = 0;
        for (size_t i = 0; i < frames.size(); ++i)
            complete += gif.blockStarts[3 + 2 * i + 1] <= cut;  // the block after the image
        return complete;
    };

    std::vector<size_t> cuts = {0, 5, 12, 13, 20};
    cuts.insert(cuts.end(), gif.blockStarts.begin(), gif.blockStarts.end());
    for (size_t start : gif.imageSubBlocks)
        cuts.push_back(start + 2);  // inside an image's data
    for (size_t start : gif.blockStarts)
        cuts.push_back(start + 1);  // inside a block's fixed part
    for (size_t cut : cuts)
    {
        SCOPED_TRACE(testing::Message() << "cut at " << cut);
        const int complete = framesBefore(cut);
        PictureWindow window;
        const std::vector<BYTE> bytes(gif.bytes.begin(), gif.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        const BOOL loaded = LoadBytes(window.picture, bytes);
        if (complete >= 2)
        {
            EXPECT_TRUE(loaded);
            EXPECT_EQ(complete, window.picture.GetAnimationFrameCount());
        }
        else if (complete == 0)
        {
            EXPECT_FALSE(loaded);
            EXPECT_FALSE(window.picture.IsGifLoaded());
            EXPECT_FALSE(window.picture.Draw());
        }
        else
        {
            EXPECT_TRUE(loaded);
            EXPECT_TRUE(window.picture.IsGifLoaded());
            EXPECT_FALSE(window.picture.IsAnimated());
            EXPECT_TRUE(window.picture.Draw());
            EXPECT_EQ(kRed, Snapshot(window.picture.m_hWnd).At(6, 6));
        }
    }

    // The data ends without its trailer: every frame is kept.
    PictureWindow window;
    const std::vector<BYTE> untrailed(gif.bytes.begin(), gif.bytes.end() - 1);
    ASSERT_TRUE(LoadBytes(window.picture, untrailed));
    EXPECT_EQ(3, window.picture.GetAnimationFrameCount());
}

// Damage inside the data: sub-block sizes that run past the end, an unknown block, a block
// size field of the largest value.
TEST(PictureEx, HostileBlockSizesStayInsideTheData)
{
    const GifBytes gif = MakeGif(12, 12, kThreeFrames);
    struct Case
    {
        const char* what;
        size_t offset;
        BYTE value;
        int framesLeft;
    };
    const size_t secondImage = gif.blockStarts[5];
    const size_t thirdControl = gif.blockStarts[6];
    ASSERT_GT(gif.imageSubBlocks[1] + 256, gif.bytes.size());
    const Case cases[] = {
        {"second image's first sub-block runs past the end", gif.imageSubBlocks[1], 0xFF, 1},
        {"third frame starts with an unknown block", thirdControl, 'x', 2},
        {"global table claims 256 colours", 10, 0x87, 0},
        {"second image's local table claims 256 colours", secondImage + 9, 0x87, 1},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.what);
        std::vector<BYTE> bytes = gif.bytes;
        bytes[test.offset] = test.value;
        PictureWindow window;
        const BOOL loaded = LoadBytes(window.picture, bytes);
        EXPECT_EQ(test.framesLeft > 0, !!loaded);
        if (test.framesLeft > 1)
        {
            EXPECT_EQ(test.framesLeft, window.picture.GetAnimationFrameCount());
        }
        if (test.framesLeft == 1)
        {
            EXPECT_FALSE(window.picture.IsAnimated());
            EXPECT_TRUE(window.picture.Draw());
            EXPECT_EQ(kRed, Snapshot(window.picture.m_hWnd).At(4, 4));
        }
    }
}

// Whatever cannot be read gives FALSE and no picture, never an exception.
TEST(PictureEx, UnreadableSourcesLoadNothing)
{
    const std::wstring folder = MakeTestFolder(L"pictureex-unreadable");
    const std::wstring locked = folder + L"\\locked.gif";
    WriteFileBytes(locked, MakeGif(8, 8, kBlinkFrames).bytes);
    const HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    const std::wstring empty = WriteTestFile(L"pictureex-unreadable-empty", L"empty.gif", {});
    const std::wstring text = WriteTestFile(L"pictureex-unreadable-text", L"text.bmp", {'n', 'o', 't', ' ', 'a'});

    struct Case
    {
        const char* what;
        std::function<BOOL(CPictureEx&)> load;
    };
    const Case cases[] = {
        {"missing file", [&](CPictureEx& p) { return p.Load((folder + L"\\missing.gif").c_str()); }},
        {"locked file", [&](CPictureEx& p) { return p.Load(locked.c_str()); }},
        {"folder", [&](CPictureEx& p) { return p.Load(folder.c_str()); }},
        {"empty file", [&](CPictureEx& p) { return p.Load(empty.c_str()); }},
        {"no picture", [&](CPictureEx& p) { return p.Load(text.c_str()); }},
        {"missing resource", [](CPictureEx& p) { return p.Load(L"NOSUCHGIF", L"GIF"); }},
        {"resource of a missing type", [](CPictureEx& p) { return p.Load(L"TWOFRAMES", L"NOSUCHTYPE"); }},
        {"header only", [](CPictureEx& p) { return LoadBytes(p, {'G', 'I', 'F', '8', '9', 'a'}); }},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.what);
        PictureWindow window;
        // A picture loaded before is released by the failed load.
        ASSERT_TRUE(LoadBytes(window.picture, MakeGif(8, 8, kBlinkFrames).bytes));
        EXPECT_FALSE(test.load(window.picture));
        EXPECT_FALSE(window.picture.IsGifLoaded());
        EXPECT_EQ(0, window.picture.GetPictureSize().cx);
        EXPECT_FALSE(window.picture.Draw());
    }
    CloseHandle(lock);
}

// The paint area picks the part of the buffer that the window shows; a new background
// colour fills the whole buffer, but only once a picture is loaded.
TEST(PictureEx, PaintAreaAndBackgroundColor)
{
    PictureWindow window;
    CPictureEx& picture = window.picture;
    picture.SetBackgroundColor(kGreen);
    EXPECT_EQ(RGB(255, 255, 255), picture.GetBackgroundColor());

    ASSERT_TRUE(LoadBytes(picture, MakeGif(40, 30, kDisposalFrames).bytes));
    picture.Draw();
    const COLORREF background = picture.GetBackgroundColor();
    const Sample afterYellow = {kRed, kRed, background, kYellow};
    ASSERT_TRUE(WaitForPixels(picture.m_hWnd, [&](const Snapshot& shot) { return SampleOf(shot) == afterYellow; }));
    picture.StopAnimation();

    const RECT area = {20, 10, 40, 30};  // the cleared blue square at its top left
    picture.SetPaintArea(&area);
    RECT read = {};
    picture.GetPaintArea(&read);
    EXPECT_TRUE(EqualRect(&area, &read));
    picture.Invalidate(FALSE);
    Snapshot shifted(picture.m_hWnd);
    EXPECT_EQ(background, shifted.At(5, 5));
    EXPECT_EQ(kRed, shifted.At(15, 15));

    picture.SetBackgroundColor(kGreen);
    EXPECT_EQ(kGreen, picture.GetBackgroundColor());
    picture.Invalidate(FALSE);
    Snapshot filled(picture.m_hWnd);
    EXPECT_EQ(kGreen, filled.At(5, 5));
    EXPECT_EQ(kGreen, filled.At(15, 15));

    picture.UnLoad();
    picture.GetPaintArea(&read);
    EXPECT_TRUE(IsRectEmpty(&read));
    EXPECT_EQ(RGB(255, 255, 255), picture.GetBackgroundColor());
}
