// Picture operations on real files made by the tests, and the quality search through the
// encoder seam (the platform's encoder may ignore the quality, so real files cannot show it).
#include <gtest/gtest.h>

#include "exiffixtures.h"
#include "imageprocessor.h"
#include "picturefixtures.h"
#include "pictureorientation.h"
#include "testpaths.h"

#include <cmath>
#include <functional>
#include <vector>

namespace
{
class ImageProcessorTest : public testing::Test
{
protected:
    void SetUp() override { m_folder = MakeTestFolder(L"imageprocessor") + L"\\"; }

    std::wstring Path(const wchar_t* name) const { return m_folder + name; }

    std::wstring Picture(const wchar_t* name, int width, int height, PictureKind kind = PictureKind::Bmp)
    {
        const std::wstring path = Path(name);
        EXPECT_TRUE(MakePicture(path, kind, width, height)) << "fixture " << testing::PrintToString(path);
        return path;
    }

    CImageProcessor m_processor;
    std::wstring m_folder;
};

struct SizeCase
{
    int width, height;
    float boxWidth, boxHeight;
    unsigned expectedWidth, expectedHeight;
};

TEST_F(ImageProcessorTest, KeepRatioFitsOnePixelInsideTheBox)
{
    const SizeCase cases[] = {
        {1600, 1200, 800, 600, 799, 599},
        {800, 600, 800, 600, 799, 599},
        {1000, 300, 800, 600, 799, 239},
        {3000, 4000, 800, 600, 449, 599},
    };
    for (const SizeCase& c : cases)
    {
        const std::wstring input = Picture(L"big.bmp", c.width, c.height);
        const std::wstring output = Path(L"fitted.jpg");
        DeleteFileW(output.c_str());
        EXPECT_EQ(1, m_processor.ResizeKeepRatio(input.c_str(), output.c_str(), c.boxWidth, c.boxHeight));
        const PictureInfo info = ReadPictureInfo(output);
        EXPECT_TRUE(info.jpeg);
        EXPECT_EQ(c.expectedWidth, info.width) << c.width << "x" << c.height;
        EXPECT_EQ(c.expectedHeight, info.height) << c.width << "x" << c.height;
    }
}

TEST_F(ImageProcessorTest, KeepRatioWritesAPictureInsideTheBoxAtItsOwnSize)
{
    const std::wstring input = Picture(L"small.png", 120, 80, PictureKind::Png);
    const std::wstring output = Path(L"same.jpg");
    EXPECT_EQ(1, m_processor.ResizeKeepRatio(input.c_str(), output.c_str(), 800, 600));
    const PictureInfo info = ReadPictureInfo(output);
    EXPECT_TRUE(info.jpeg);
    EXPECT_EQ(120u, info.width);
    EXPECT_EQ(80u, info.height);
}

TEST_F(ImageProcessorTest, KeepRatioEndsWhereTheStepNoLongerChangesTheScale)
{
    // A scale of 2050 does not move by 0.0001 in single precision.
    const std::wstring input = Picture(L"huge.bmp", 4100, 4100);
    const std::wstring output = Path(L"tiny.jpg");
    EXPECT_EQ(1, m_processor.ResizeKeepRatio(input.c_str(), output.c_str(), 2, 2));
    const PictureInfo info = ReadPictureInfo(output);
    EXPECT_EQ(1u, info.width);
    EXPECT_EQ(1u, info.height);
}

TEST_F(ImageProcessorTest, KeepRatioRefusesABoxBelowOnePixel)
{
    const std::wstring input = Picture(L"any.bmp", 40, 30);
    const std::wstring output = Path(L"none.jpg");
    EXPECT_EQ(0, m_processor.ResizeKeepRatio(input.c_str(), output.c_str(), 0.5f, 30));
    EXPECT_EQ(0, m_processor.ResizeKeepRatio(input.c_str(), output.c_str(), 30, 0));
    EXPECT_EQ(-1, FileBytes(output));
}

TEST_F(ImageProcessorTest, PercentTruncatesTheNewSize)
{
    const std::wstring input = Picture(L"odd.bmp", 101, 51);
    const std::wstring output = Path(L"half.jpg");
    EXPECT_EQ(1, m_processor.ResizeByPercent(input.c_str(), output.c_str(), 50));
    PictureInfo info = ReadPictureInfo(output);
    EXPECT_EQ(50u, info.width);
    EXPECT_EQ(25u, info.height);
    EXPECT_EQ(PixelFormat24bppRGB, info.pixelFormat);

    EXPECT_EQ(1, m_processor.ResizeByPercent(input.c_str(), output.c_str(), 100));
    info = ReadPictureInfo(output);
    EXPECT_EQ(101u, info.width);
    EXPECT_EQ(51u, info.height);
}

TEST_F(ImageProcessorTest, NoSideShrinksToNothing)
{
    const struct
    {
        int width, height;
        UINT percent;
        unsigned expectedWidth, expectedHeight;
    } cases[] = {{1, 9, 50, 1, 4}, {9, 1, 50, 4, 1}, {3, 3, 1, 1, 1}};
    for (const auto& c : cases)
    {
        const std::wstring input = Picture(L"thin.png", c.width, c.height, PictureKind::Png);
        const std::wstring output = Path(L"thin.jpg");
        EXPECT_EQ(1, m_processor.ResizeByPercent(input.c_str(), output.c_str(), c.percent));
        const PictureInfo info = ReadPictureInfo(output);
        EXPECT_EQ(c.expectedWidth, info.width) << c.width << "x" << c.height << " at " << c.percent;
        EXPECT_EQ(c.expectedHeight, info.height) << c.width << "x" << c.height << " at " << c.percent;
    }
}

TEST_F(ImageProcessorTest, PercentOutOfRangeWritesNothing)
{
    const std::wstring input = Picture(L"p.bmp", 20, 20);
    const std::wstring output = Path(L"out.jpg");
    EXPECT_EQ(0, m_processor.ResizeByPercent(input.c_str(), output.c_str(), 0));
    EXPECT_EQ(0, m_processor.ResizeByPercent(input.c_str(), output.c_str(), 101));
    EXPECT_EQ(-1, FileBytes(output));
}

TEST_F(ImageProcessorTest, ResizeToSizeGivesTheExactSizeAndKeepsTheResolution)
{
    const std::wstring input = Path(L"dpi.png");
    ASSERT_TRUE(MakePicture(input, PictureKind::Png, 64, 48, 150.0f));
    const std::wstring output = Path(L"exact.jpg");
    EXPECT_EQ(1, m_processor.ResizeToSize(input.c_str(), output.c_str(), 37.9f, 23.2f));
    const PictureInfo info = ReadPictureInfo(output);
    EXPECT_TRUE(info.jpeg);
    EXPECT_EQ(37u, info.width);
    EXPECT_EQ(23u, info.height);
    EXPECT_NEAR(150.0f, info.dpiX, 1.0f);
    EXPECT_NEAR(150.0f, info.dpiY, 1.0f);
}

// Sizes beyond what a picture can hold write nothing: a side of 2^31 is no INT, and no output
// is larger than the largest input the batch reads.
TEST_F(ImageProcessorTest, ResizeToSizeRefusesSizesNoPictureHolds)
{
    const std::wstring input = Picture(L"small.bmp", 8, 6);
    const struct
    {
        float width, height;
    } cases[] = {{2147483647.0f, 1}, {1, 2147483647.0f}, {10001, 10000}, {INFINITY, 1}, {NAN, 1}, {1, NAN}};
    for (const auto& c : cases)
    {
        const std::wstring output = Path(L"huge.jpg");
        EXPECT_EQ(0, m_processor.ResizeToSize(input.c_str(), output.c_str(), c.width, c.height)) << c.width;
        EXPECT_EQ(-1, FileBytes(output)) << c.width << "x" << c.height;
        DeleteFileW(output.c_str());
    }
}

TEST_F(ImageProcessorTest, EveryInputKindBecomesAJpeg)
{
    struct Kind
    {
        PictureKind kind;
        const wchar_t* name;
        unsigned width, height;  // half the size that GDI+ reads, truncated
    };
    // GDI+ reads the 60 × 40 EMF's frame as 59 × 39 pixels: its frame's far edge is inclusive.
    const Kind kinds[] = {{PictureKind::Bmp, L"in.bmp", 30, 20}, {PictureKind::Gif, L"in.gif", 30, 20},
                          {PictureKind::Jpg, L"in.jpg", 30, 20}, {PictureKind::Png, L"in.png", 30, 20},
                          {PictureKind::Tif, L"in.tif", 30, 20}, {PictureKind::Wmf, L"in.wmf", 30, 20},
                          {PictureKind::Emf, L"in.emf", 29, 19}};
    for (const Kind& k : kinds)
    {
        const std::wstring input = Picture(k.name, 60, 40, k.kind);
        const PictureInfo read = ReadPictureInfo(input);
        ASSERT_TRUE(read.loaded) << "fixture does not load: " << testing::PrintToString(input);
        EXPECT_EQ(k.width, read.width / 2) << testing::PrintToString(input);
        EXPECT_EQ(k.height, read.height / 2) << testing::PrintToString(input);
        const std::wstring resized = Path(L"resized.jpg");
        const std::wstring encoded = Path(L"encoded.jpg");
        DeleteFileW(resized.c_str());
        DeleteFileW(encoded.c_str());
        EXPECT_EQ(1, m_processor.ResizeByPercent(input.c_str(), resized.c_str(), 50));
        // Re-encoding reads the resized JPEG, as the batch does.
        EXPECT_EQ(1, m_processor.SaveAsJpeg(resized.c_str(), encoded.c_str(), 60));
        for (const std::wstring& output : {resized, encoded})
        {
            const PictureInfo info = ReadPictureInfo(output);
            EXPECT_TRUE(info.jpeg) << testing::PrintToString(output) << " of " << testing::PrintToString(input);
            EXPECT_EQ(k.width, info.width) << testing::PrintToString(output) << " of " << testing::PrintToString(input);
            EXPECT_EQ(k.height, info.height) << testing::PrintToString(output) << " of " << testing::PrintToString(input);
        }
    }
}

// The upright test photo's quadrants: top left, top right, bottom left, bottom right.
const COLORREF kRed = RGB(230, 20, 20), kGreen = RGB(20, 200, 40), kBlue = RGB(20, 40, 230),
               kYellow = RGB(240, 220, 20);

const char* NearestQuadrantColour(COLORREF c)
{
    const struct
    {
        COLORREF colour;
        const char* name;
    } colours[] = {{kRed, "red"}, {kGreen, "green"}, {kBlue, "blue"}, {kYellow, "yellow"}};
    const char* nearest = "none";
    int best = 3 * 60 * 60;  // farther than that from all four is none of them
    for (const auto& q : colours)
    {
        const int r = GetRValue(c) - GetRValue(q.colour), g = GetGValue(c) - GetGValue(q.colour),
                  b = GetBValue(c) - GetBValue(q.colour);
        if (c != CLR_INVALID && r * r + g * g + b * b < best)
        {
            best = r * r + g * g + b * b;
            nearest = q.name;
        }
    }
    return nearest;
}

// Each tag's photo is stored the way a camera holding it so would store it: turned upright
// by the tag it is the same 40 × 30 picture, red, green / blue, yellow.
TEST_F(ImageProcessorTest, APhotoComesOutTurnedTheWayItsOrientationTagSays)
{
    const COLORREF R = kRed, G = kGreen, B = kBlue, Y = kYellow;
    const Bytes tag6 = ExifPayload(false, {{kOrientationTag, kTypeShort, 1, 6}});
    const struct
    {
        const char* name;
        Bytes segments;
        COLORREF stored[4];
        bool quarterTurn;  // stored 30 × 40
    } tags[] = {
        {"no tag", {}, {R, G, B, Y}, false},
        {"1", OrientationSegment(1), {R, G, B, Y}, false},
        {"2", OrientationSegment(2), {G, R, Y, B}, false},
        {"3", OrientationSegment(3, true), {Y, B, G, R}, false},
        {"4", OrientationSegment(4), {B, Y, R, G}, false},
        {"5", OrientationSegment(5, true), {R, B, G, Y}, true},
        {"6", OrientationSegment(6), {G, Y, R, B}, true},
        {"7", OrientationSegment(7), {Y, G, B, R}, true},
        {"8", OrientationSegment(8, true), {B, R, Y, G}, true},
        {"6 as a LONG", JpegSegment(0xE1, ExifPayload(false, {{kOrientationTag, kTypeLong, 1, 6}})), {R, G, B, Y}, false},
        {"6 in a cut Exif block", JpegSegment(0xE1, Bytes(tag6.begin(), tag6.begin() + 22)), {R, G, B, Y}, false},
    };
    const struct
    {
        const char* name;
        std::function<int(CImageProcessor&, LPCWSTR, LPCWSTR)> resize;
        int width, height;
    } modes[] = {
        {"50 %", [](CImageProcessor& p, LPCWSTR in, LPCWSTR out) { return p.ResizeByPercent(in, out, 50); }, 20, 15},
        {"box 20 x 20", [](CImageProcessor& p, LPCWSTR in, LPCWSTR out) { return p.ResizeKeepRatio(in, out, 20, 20); },
         19, 14},
        {"box it fits", [](CImageProcessor& p, LPCWSTR in, LPCWSTR out) { return p.ResizeKeepRatio(in, out, 100, 100); },
         40, 30},
        {"exact 20 x 15", [](CImageProcessor& p, LPCWSTR in, LPCWSTR out) { return p.ResizeToSize(in, out, 20, 15); },
         20, 15},
    };
    const std::wstring input = Path(L"tagged.jpg");
    const std::wstring output = Path(L"upright.jpg");
    for (const auto& tag : tags)
    {
        ASSERT_TRUE(MakeQuadrantJpeg(input, tag.quarterTurn ? 30 : 40, tag.quarterTurn ? 40 : 30, tag.stored,
                                     tag.segments));
        for (const auto& mode : modes)
        {
            DeleteFileW(output.c_str());
            const std::string what = std::string("tag ") + tag.name + ", " + mode.name;
            EXPECT_EQ(1, mode.resize(m_processor, input.c_str(), output.c_str())) << what;
            const PictureInfo info = ReadPictureInfo(output);
            EXPECT_EQ(static_cast<unsigned>(mode.width), info.width) << what;
            EXPECT_EQ(static_cast<unsigned>(mode.height), info.height) << what;
            const int right = mode.width - 2, bottom = mode.height - 2;
            EXPECT_STREQ("red", NearestQuadrantColour(ReadPixel(output, 1, 1))) << what;
            EXPECT_STREQ("green", NearestQuadrantColour(ReadPixel(output, right, 1))) << what;
            EXPECT_STREQ("blue", NearestQuadrantColour(ReadPixel(output, 1, bottom))) << what;
            EXPECT_STREQ("yellow", NearestQuadrantColour(ReadPixel(output, right, bottom))) << what;
            // Drawn into a new bitmap, the output carries no tag to be turned by again.
            EXPECT_EQ(0, ReadJpegOrientation(output.c_str())) << what;
        }
    }
}

// Each channel of the pixel within `tolerance` of the colour's (the output is a JPEG).
testing::AssertionResult IsNear(COLORREF expected, COLORREF actual, int tolerance)
{
    const int channels[3][2] = {{GetRValue(expected), GetRValue(actual)},
                                {GetGValue(expected), GetGValue(actual)},
                                {GetBValue(expected), GetBValue(actual)}};
    for (const auto& channel : channels)
        if (actual == CLR_INVALID || std::abs(channel[0] - channel[1]) > tolerance)
            return testing::AssertionFailure() << std::hex << "expected 0x" << expected << ", got 0x" << actual;
    return testing::AssertionSuccess();
}

TEST_F(ImageProcessorTest, ClearPartsComeOutWhiteAndHalfClearOnesMixedWithWhite)
{
    const std::wstring png = Path(L"clear.png"), gif = Path(L"clear.gif"), opaque = Path(L"opaque.png");
    ASSERT_TRUE(MakeClearPartsPng(png, 40, 30));
    ASSERT_TRUE(MakeClearHalfGif(gif, 40, 30));
    const struct
    {
        const char* name;
        std::wstring input;
        int x, y;
        COLORREF expected;
    } points[] = {
        {"PNG's clear ground", png, 20, 15, RGB(255, 255, 255)},
        {"PNG's clear corner", png, 1, 1, RGB(255, 255, 255)},
        {"PNG's black bar", png, 10, 15, RGB(0, 0, 0)},
        {"PNG's half-clear blue", png, 30, 15, RGB(127, 127, 255)},
        {"GIF's opaque half", gif, 8, 15, RGB(200, 30, 30)},
        {"GIF's transparent half", gif, 32, 15, RGB(255, 255, 255)},
    };
    const std::wstring output = Path(L"on-white.jpg");
    for (const auto& point : points)
    {
        DeleteFileW(output.c_str());
        EXPECT_EQ(1, m_processor.ResizeByPercent(point.input.c_str(), output.c_str(), 100)) << point.name;
        EXPECT_TRUE(IsNear(point.expected, ReadPixel(output, point.x, point.y), 12)) << point.name;
    }
}

// A fill that showed through anywhere, at the edges above all, would lighten a dark picture.
TEST_F(ImageProcessorTest, AnOpaquePictureCoversTheWholeOutput)
{
    const std::wstring input = Path(L"dark.jpg");
    const COLORREF dark = RGB(30, 60, 90);
    const COLORREF quadrants[4] = {dark, dark, dark, dark};
    ASSERT_TRUE(MakeQuadrantJpeg(input, 41, 31, quadrants, {}));
    const std::wstring output = Path(L"dark-half.jpg");
    ASSERT_EQ(1, m_processor.ResizeByPercent(input.c_str(), output.c_str(), 50));
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_TRUE(IsNear(dark, ReadPixel(output, x, y), 12)) << x << ", " << y;
}

Gdiplus::Status FailToDraw(Gdiplus::Graphics&, Gdiplus::Image&, const Gdiplus::RectF&)
{
    // What GDI+ on Windows answers when the picture's data fail to decode while drawing.
    return Gdiplus::OutOfMemory;
}

TEST_F(ImageProcessorTest, APictureThatFailsToDrawIsNotWritten)
{
    CImageProcessor::s_drawPicture = &FailToDraw;
    const std::wstring input = Picture(L"drawn.png", 40, 30, PictureKind::Png);
    const std::wstring output = Path(L"black.jpg");
    DeleteFileW(output.c_str());
    EXPECT_EQ(0, m_processor.ResizeByPercent(input.c_str(), output.c_str(), 50));
    EXPECT_EQ(CImageProcessor::Failure::InputUnreadable, m_processor.GetLastFailure());
    EXPECT_EQ(0, m_processor.ResizeKeepRatio(input.c_str(), output.c_str(), 20, 20));
    EXPECT_EQ(-1, FileBytes(output));
}

TEST_F(ImageProcessorTest, MissingInputReportsFailureAndWritesNothing)
{
    const std::wstring output = Path(L"out.jpg");
    EXPECT_EQ(0, m_processor.ResizeToSize(Path(L"missing.png").c_str(), output.c_str(), 10, 10));
    EXPECT_EQ(0, m_processor.SaveAsJpeg(Path(L"missing.png").c_str(), output.c_str(), 50));
    EXPECT_EQ(-1, FileBytes(output));
}

TEST_F(ImageProcessorTest, FileSizeCountsWholeKilobytes)
{
    const struct
    {
        size_t bytes;
        int kb;
    } cases[] = {{0, 0}, {1023, 0}, {1024, 1}, {5000, 4}};
    for (const auto& c : cases)
    {
        const std::wstring path = Path(L"sized.bin");
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        std::vector<char> bytes(c.bytes, 'x');
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        EXPECT_EQ(c.kb, m_processor.GetFileSizeKB(path.c_str())) << c.bytes;
    }
    EXPECT_EQ(0, m_processor.GetFileSizeKB(Path(L"missing.bin").c_str()));
}

TEST_F(ImageProcessorTest, FindsTheJpegEncoderOnly)
{
    CLSID clsid = {};
    EXPECT_GE(m_processor.GetEncoderClsid(L"image/jpeg", &clsid), 0);
    EXPECT_NE(CLSID{}, clsid);
    CLSID untouched = {};
    EXPECT_EQ(-1, m_processor.GetEncoderClsid(L"IMAGE/JPEG", &untouched));
    EXPECT_EQ(CLSID{}, untouched);
}

// The encoder seam: records every quality and writes a file of the size that the test's
// function gives for that quality.
class QualitySearchTest : public ImageProcessorTest
{
protected:
    void SetUp() override
    {
        ImageProcessorTest::SetUp();
        s_current = this;
        CImageProcessor::s_saveJpeg = &RecordingSaver;
        m_input = Picture(L"photo.bmp", 32, 32);
        m_output = Path(L"searched.jpg");
    }
    void TearDown() override
    {
        s_current = nullptr;
    }

    static Gdiplus::Status RecordingSaver(Gdiplus::Image&, LPCWSTR path, const CLSID&,
                                          const Gdiplus::EncoderParameters& parameters)
    {
        QualitySearchTest& test = *s_current;
        // Exactly one parameter: the quality as one long value.
        EXPECT_EQ(1u, parameters.Count);
        EXPECT_EQ(Gdiplus::EncoderQuality, parameters.Parameter[0].Guid);
        EXPECT_EQ(static_cast<ULONG>(Gdiplus::EncoderParameterValueTypeLong), parameters.Parameter[0].Type);
        EXPECT_EQ(1u, parameters.Parameter[0].NumberOfValues);
        const int quality = static_cast<int>(*static_cast<const ULONG*>(parameters.Parameter[0].Value));
        test.m_qualities.push_back(quality);
        if (test.m_failingAttempt == static_cast<int>(test.m_qualities.size()) || test.m_failingAttempt < 0)
            return Gdiplus::Win32Error;
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        std::vector<char> bytes(static_cast<size_t>(test.m_sizeKB(quality)) * 1024, 'j');
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return Gdiplus::Ok;
    }

    int OutputKB() { return m_processor.GetFileSizeKB(m_output.c_str()); }

    static QualitySearchTest* s_current;
    std::function<int(int)> m_sizeKB;
    int m_failingAttempt = 0;  // the save that fails, counted from 1; -1: every one
    std::vector<int> m_qualities;
    std::wstring m_input, m_output;
};
QualitySearchTest* QualitySearchTest::s_current = nullptr;

TEST_F(QualitySearchTest, UnreachableLimitEndsWithQualityZero)
{
    m_sizeKB = [](int quality) { return 10 + quality; };
    EXPECT_EQ(0, m_processor.CompressToFileSize(m_input.c_str(), m_output.c_str(), 1));
    EXPECT_EQ((std::vector<int>{50, 24, 11, 5, 2, 0}), m_qualities);
    EXPECT_EQ(10, OutputKB());
    // The smallest encoding is written: no failure.
    EXPECT_EQ(CImageProcessor::Failure::None, m_processor.GetLastFailure());
}

TEST_F(QualitySearchTest, SearchesUpwardWhenHalfQualityMeetsTheLimit)
{
    m_sizeKB = [](int quality) { return quality; };
    EXPECT_EQ(1, m_processor.CompressToFileSize(m_input.c_str(), m_output.c_str(), 80));
    EXPECT_EQ((std::vector<int>{50, 75, 88, 81, 78, 79}), m_qualities);
    EXPECT_EQ(79, OutputKB());
}

TEST_F(QualitySearchTest, NeverEndsAboveTheLimitOnceAnAttemptMetIt)
{
    m_sizeKB = [](int quality) { return quality; };
    EXPECT_EQ(1, m_processor.CompressToFileSize(m_input.c_str(), m_output.c_str(), 79));
    EXPECT_EQ((std::vector<int>{50, 75, 88, 81, 78, 79, 78}), m_qualities);
    EXPECT_EQ(78, OutputKB());
}

TEST_F(QualitySearchTest, AFailedSaveEndsTheSearchAsAFailure)
{
    // An older output at the output's path that no save can replace is 0 KB: below any limit.
    HANDLE older = CreateFileW(m_output.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(older);
    const struct
    {
        int failingAttempt, limit;
        std::vector<int> qualities;
    } cases[] = {
        {-1, 80, {50}},                             // every attempt
        {3, 80, {50, 75, 88}},                      // one attempt
        {7, 79, {50, 75, 88, 81, 78, 79, 78}},      // the re-encode of the best attempt below the limit
    };
    for (const auto& c : cases)
    {
        m_qualities.clear();
        m_sizeKB = [](int quality) { return quality; };
        m_failingAttempt = c.failingAttempt;
        EXPECT_EQ(0, m_processor.CompressToFileSize(m_input.c_str(), m_output.c_str(), c.limit)) << c.failingAttempt;
        EXPECT_EQ(CImageProcessor::Failure::SaveFailed, m_processor.GetLastFailure()) << c.failingAttempt;
        EXPECT_EQ(c.qualities, m_qualities) << c.failingAttempt;
    }
}

TEST_F(QualitySearchTest, SaveAsJpegHandsTheQualityUnchanged)
{
    m_sizeKB = [](int) { return 1; };
    for (int quality : {0, 37, 100})
        EXPECT_EQ(1, m_processor.SaveAsJpeg(m_input.c_str(), m_output.c_str(), quality));
    EXPECT_EQ((std::vector<int>{0, 37, 100}), m_qualities);
}

TEST_F(QualitySearchTest, ResizingSavesAtQualityHundred)
{
    m_sizeKB = [](int) { return 1; };
    m_processor.ResizeByPercent(m_input.c_str(), m_output.c_str(), 50);
    m_processor.ResizeToSize(m_input.c_str(), m_output.c_str(), 5, 5);
    m_processor.ResizeKeepRatio(m_input.c_str(), m_output.c_str(), 10, 10);
    EXPECT_EQ((std::vector<int>{100, 100, 100}), m_qualities);
}

TEST_F(QualitySearchTest, InterpolationEndsWhenNoQualityCanBeInterpolated)
{
    const struct
    {
        int (*size)(int);
        int limit;
        int result;
        std::vector<int> qualities;
    } cases[] = {
        {[](int) { return 20; }, 20, 0, {100, 0}},                          // S100 = S0 = limit
        {[](int q) { return q / 5; }, 20, 1, {100, 0}},                     // S100 = limit, S0 below
        {[](int q) { return q; }, 101, 1, {100}},                           // S100 already below
        {[](int q) { return 50 + q; }, 10, 0, {100, 0}},                    // S0 above
        {[](int q) { return q; }, 40, 1, {100, 0, 40, 16}},                 // interpolated downward
    };
    for (const auto& c : cases)
    {
        m_qualities.clear();
        m_sizeKB = c.size;
        EXPECT_EQ(c.result, m_processor.CompressToFileSizeByInterpolation(m_input.c_str(), m_output.c_str(), c.limit));
        EXPECT_EQ(c.qualities, m_qualities) << "limit " << c.limit;
    }
}
}
