// What the skin engine does when the memory runs out or a window cannot follow a skin
// change: loading a skin reports its result and never raises, and no image is left half
// prepared.
#include "failingallocation.h"
#include "hlmskinimage.h"
#include "hlmskinmanager.h"
#include "hlmskinobject.h"
#include "hlmskinobjectframe.h"
#include "pixels.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace
{
// A window's skin object that cannot follow any change of the skin.
class CFailingObject : public CHLMSkinObjectFrame
{
public:
    int m_changes = 0;

    void OnSkinStateChanged(BOOL previousEnabled, BOOL enabled) override
    {
        ++m_changes;
        CHLMSkinObjectFrame::OnSkinStateChanged(previousEnabled, enabled);
        throw std::bad_alloc();
    }
};
}

TEST(SkinChangeFailure, AWindowThatCannotFollowTheSkinLeavesTheLoadToSucceed)
{
    CleanSkinManagerScope clean;
    RegisterWindowClass(L"QuilbrookFailingFollower", ::DefWindowProcW);
    HWND windows[2] = {};
    CFailingObject* objects[2] = {};
    for (int index = 0; index < 2; ++index)
    {
        windows[index] = ::CreateWindowExW(0, L"QuilbrookFailingFollower", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                           nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, windows[index]);
        clean.manager.DetachSkinObject(windows[index]);
        objects[index] = new CFailingObject();
        clean.manager.AttachObject(windows[index], objects[index], nullptr, FALSE);
    }
    BOOL loaded = FALSE;
    try
    {
        loaded = clean.manager.LoadSkin(BesideTestProgram(L"testskin.skin").c_str(), L"");
    }
    catch (...)
    {
        ADD_FAILURE() << "an exception left the skin load";
    }

    EXPECT_TRUE(loaded);
    EXPECT_TRUE(clean.manager.IsEnabled());
    // Each window was told, the second after the first failed.
    EXPECT_EQ(1, objects[0]->m_changes);
    EXPECT_EQ(1, objects[1]->m_changes);
    EXPECT_NO_THROW(clean.manager.LoadSkin(L"", L""));
    for (HWND window : windows)
        ::DestroyWindow(window);
}

TEST(SkinImageFailure, AnAlphaImageIsPremultipliedOrNotLoadedWhateverAllocationFails)
{
    // Half-transparent red: premultiplied, its red is at most its alpha.
    CTestFolderSkin skin(L"premultiply", {"[SysMetrics]"});
    skin.AddImage(L"alpha.bmp", 4, 4, std::vector<DWORD>(16, Bgra(0, 0, 250, 128)), 32);
    const std::wstring path = skin.path() + L"\\alpha.bmp";
    int loadedCount = 0;
    for (int index = 0;; ++index)
    {
        CHLMSkinImage image;
        BOOL loaded = FALSE;
        bool failed = false;
        {
            FailingAllocation failure(index);
            try
            {
                loaded = image.LoadFile(path.c_str());
            }
            catch (const std::bad_alloc&)
            {
                loaded = FALSE;
            }
            failed = failure.Failed();
        }

        if (loaded)
        {
            ++loadedCount;
            ASSERT_TRUE(image.IsAlphaImage()) << "allocation " << index;
            const std::vector<DWORD> pixels = PixelsOf(image.GetBitmap());
            ASSERT_FALSE(pixels.empty());
            const DWORD pixel = pixels[5];
            EXPECT_LE((pixel >> 16) & 0xFF, pixel >> 24) << "not premultiplied with allocation " << index << " failing";
        }
        if (!failed)
        {
            EXPECT_TRUE(loaded);
            break;
        }
    }
    EXPECT_GT(loadedCount, 0);
}
