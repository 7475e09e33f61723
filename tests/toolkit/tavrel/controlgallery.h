// A window that shows every standard control kind with a skin object, for the tests of the
// control objects and for a look at the whole skin at once. Each control has its own
// identifier; the window records the scroll notifications its controls send.
#pragma once

#include "hlmskinmanager.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

enum GalleryControl
{
    kGalleryVertScroll = 101,
    kGalleryHorzScroll,
    kGallerySizeGrip,
    kGallerySizeBox,
    kGalleryListBox,
    kGalleryPushButton,
    kGalleryDefPushButton,
    kGalleryCheckBox,
    kGalleryThreeState,
    kGalleryRadioButton,
    kGalleryGroupBox,
    // toolbar (client 590..950 x 10..40)
    kGalleryToolBar,
    // tree view (590..950 x 50..160), list view with its header (440..950 x 175..300),
    // status bar (at the bottom)
    kGalleryTreeView,
    kGalleryListView,
    kGalleryStatusBar,
    // trackbars and progress bars (10..430 x 175..300)
    kGalleryHorzTrackBar,
    kGallerySelTrackBar,
    kGalleryDisabledTrackBar,
    kGalleryVertTrackBar,
    kGalleryProgress,
    kGalleryMarqueeProgress,
    kGalleryVertProgress,
    kGalleryFullProgress,
    // combo boxes, date-time picker, month calendar, edit (10..430 x 315..620)
    kGallerySimpleCombo,
    kGalleryDropDownCombo,
    kGalleryDropListCombo,
    kGalleryDateTime,
    kGalleryDateTimeNone,
    kGalleryMonthCal,
    kGalleryEdit,
    kGalleryReadOnlyEdit,
    kGalleryMultiLineEdit,
    // tab and spin buttons (440..950 x 315..460), MDI client (440..950 x 470..620)
    kGalleryTab,
    kGallerySpinEdit,
    kGallerySpin,
    kGalleryHorzSpin,
    kGalleryMdiClient,
    kGalleryMdiFirstChild = 5000,  // the MDI children, numbered by the MDI client from here
};

// Folders (two expanded), columns with rows, parts with texts.
void FillGalleryTreeListAndStatus(HWND gallery);

struct GalleryScroll
{
    UINT message;
    int code;
    HWND control;
};

class CControlGallery
{
public:
    // Opens the gallery shown and painted; the skin loaded before applies to it.
    CControlGallery();
    ~CControlGallery();
    CControlGallery(const CControlGallery&) = delete;
    CControlGallery& operator=(const CControlGallery&) = delete;

    HWND window() const { return m_window; }
    HWND Control(int id) const { return GetDlgItem(m_window, id); }
    // Every window of the gallery painted now.
    void Repaint() const;
    // The gallery's pixels as a 24-bit BMP file, for looking at the skin.
    void SaveImage(const wchar_t* path) const;

    static std::vector<GalleryScroll> scrolls;

private:
    HWND m_window;
};

// The process's GDI objects with a gallery open, after a first skin load/unload cycle (which
// makes what the system keeps for good) and after `cycles` more: equal when nothing leaks.
struct GdiObjectCounts
{
    int before;
    int after;
};
GdiObjectCounts GdiObjectsOverSkinCycles(CHLMSkinManager& manager, const std::wstring& skin, int cycles);

// The gallery opened under the test skin, with the mouse parked in a corner of the screen.
class ControlGalleryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(GetSkinManager()->LoadSkin(BesideTestProgram(L"testskin.skin").c_str(), L""));
        ParkMouse();
        PumpMessages();
        m_gallery = std::make_unique<CControlGallery>();
    }

    void TearDown() override
    {
        m_gallery.reset();
        CleanSkinManager();
    }

    HWND Control(int id) const { return m_gallery->Control(id); }

    std::unique_ptr<CControlGallery> m_gallery;
};
