#include "hlmskinimage.h"
#include "hlmskinmanager.h"
#include "hlmskinmanagerresource.h"
#include "skintestsupport.h"
#include "testpaths.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixel;
}
}

TEST(SkinImage, LoadsImagesOfAModuleSkinByTheirNamesInTheIniText)
{
    CHLMSkinManagerResourceFile file;
    ASSERT_TRUE(file.Open(BesideTestProgram(L"testskin.skin").c_str(), L""));
    std::unique_ptr<CHLMSkinImage> caption(file.LoadImage(L"IMAGES\\CAPTION.BMP"));
    ASSERT_NE(nullptr, caption);
    EXPECT_EQ(CSize(16, 16), caption->GetExtent());
    EXPECT_FALSE(caption->IsAlphaImage());
    // Frames stack from the top: the first (active) frame, then the second.
    EXPECT_EQ(Solid(1, 1), PixelOf(caption->GetBitmap(), 3, 2));
    EXPECT_EQ(Solid(1, 2), PixelOf(caption->GetBitmap(), 3, 12));
    EXPECT_EQ(nullptr, file.LoadImage(L"IMAGES\\NOSUCH.BMP"));
}

TEST(SkinImage, LoadsImagesOfAFolderSkinFromItsFiles)
{
    const std::wstring folder = MakeTestFolder(L"folderimages");
    CreateDirectoryW((folder + L"\\images").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(TestSourcePath(L"tests/toolkit/tavrel/testskin/images/pushbutton.bmp").c_str(),
                          (folder + L"\\images\\pushbutton.bmp").c_str(), FALSE));
    HANDLE ini = CreateFileW((folder + L"\\skin.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(ini);

    CHLMSkinManagerResourceFile file;
    ASSERT_TRUE(file.Open(folder.c_str(), L"skin.ini"));
    std::unique_ptr<CHLMSkinImage> image(file.LoadImage(L"images\\pushbutton.bmp"));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(CSize(16, 80), image->GetExtent());
    EXPECT_EQ(nullptr, file.LoadImage(L"images\\missing.bmp"));
}

TEST(SkinImage, CacheLoadsEachNameOnceAndStoresNoFailure)
{
    CHLMSkinManagerResourceFile file;
    ASSERT_TRUE(file.Open(BesideTestProgram(L"testskin.skin").c_str(), L""));
    CHLMSkinImageCache cache;
    CHLMSkinImage* first = cache.LoadFile(&file, L"IMAGES\\WIDE.BMP");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, cache.LoadFile(&file, L"IMAGES\\WIDE.BMP"));
    EXPECT_EQ(CSize(80, 20), cache.GetExtent(&file, L"IMAGES\\WIDE.BMP"));
    EXPECT_EQ(CSize(0, 0), cache.GetExtent(&file, L"IMAGES\\NOSUCH.BMP"));
    EXPECT_EQ(nullptr, cache.LoadFile(nullptr, L"IMAGES\\WIDE.BMP"));
    EXPECT_EQ(nullptr, cache.LoadFile(&file, nullptr));
    cache.RemoveAll();
    EXPECT_NE(nullptr, cache.LoadFile(&file, L"IMAGES\\WIDE.BMP"));
}

namespace
{
class PartSizeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_manager.OpenSkinFile(BesideTestProgram(L"testskin.skin").c_str(), L""));
        m_button = m_manager.GetSkinClass(L"BUTTON");
        m_toolbar = m_manager.GetSkinClass(L"TOOLBAR");
    }

    // The size answered for kind, starting from (-1, -1); (-2, -2) when the call fails.
    SIZE Measure(CHLMSkinManagerClass* skinClass, int part, int kind, const RECT* rect)
    {
        SIZE size = {-1, -1};
        if (!skinClass->GetThemePartSize(part, 0, rect, kind, &size))
            size = {-2, -2};
        return size;
    }

    CleanSkinManagerScope m_clean;
    CHLMSkinManager& m_manager = m_clean.manager;
    CHLMSkinManagerClass* m_button = nullptr;
    CHLMSkinManagerClass* m_toolbar = nullptr;
};

::testing::AssertionResult SizeIs(const SIZE& size, int cx, int cy)
{
    if (size.cx == cx && size.cy == cy)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << size.cx << " x " << size.cy << ", expected " << cx << " x " << cy;
}
}

TEST_F(PartSizeTest, PartsMeasureTheirFramesAndTheirDrawingRectangles)
{
    const RECT box = {10, 10, 60, 40};  // 50 x 30
    const int USERBUTTON = 5, PUSHBUTTON = 1, CHECKBOX = 3, GROUPBOX = 4;
    const int BUTTON = 1, DROPDOWNBUTTON = 2, SPLITBUTTON = 3, SPLITBUTTONDROPDOWN = 4;
    // Four horizontal frames in 80 x 20.
    EXPECT_TRUE(SizeIs(Measure(m_button, USERBUTTON, 1, nullptr), 20, 20));
    // Stretched parts take the rectangle; true-size parts their frame.
    EXPECT_TRUE(SizeIs(Measure(m_button, PUSHBUTTON, 2, &box), 50, 30));
    EXPECT_TRUE(SizeIs(Measure(m_button, PUSHBUTTON, 2, nullptr), 0, 0));
    EXPECT_TRUE(SizeIs(Measure(m_button, CHECKBOX, 2, &box), 13, 13));
    // The minimum size is left as it was.
    EXPECT_TRUE(SizeIs(Measure(m_button, PUSHBUTTON, 0, &box), -1, -1));
    // Uniform sizing keeps the 16 x 8 frame's ratio at the rectangle's height.
    EXPECT_TRUE(SizeIs(Measure(m_toolbar, BUTTON, 2, &box), 60, 30));
    // Images chosen by size: the first numbered image, or the plain one without it.
    EXPECT_TRUE(SizeIs(Measure(m_toolbar, SPLITBUTTON, 1, nullptr), 20, 20));
    EXPECT_TRUE(SizeIs(Measure(m_toolbar, SPLITBUTTONDROPDOWN, 1, nullptr), 20, 20));
    // No image name, or a background that is no image.
    EXPECT_TRUE(SizeIs(Measure(m_button, GROUPBOX, 1, nullptr), -2, -2));
    EXPECT_TRUE(SizeIs(Measure(m_manager.GetSkinClass(L"EDIT"), 1, 1, nullptr), -2, -2));
    // 100 frames in 32 rows leave frames of no height: no image, for every kind.
    for (int kind = 0; kind < 3; ++kind)
        EXPECT_TRUE(SizeIs(Measure(m_toolbar, DROPDOWNBUTTON, kind, &box), -2, -2)) << kind;
}
