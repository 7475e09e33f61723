// Printing the client area of the skin objects that draw their whole client: WM_PRINTCLIENT
// into a memory DC gives exactly what the window shows after a paint, read back through
// BitBlt from the window DC; without PRF_CLIENT the skin leaves the print to the control,
// except where an object prints for any flags. The controls are the gallery's, under the
// test skin. Popup menus print the same way; their tests open a menu of their own.
#include "controlgallery.h"
#include "pixels.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

namespace
{
// What the surface shows where nothing printed: no colour of the skin or the system.
const DWORD kUnprinted = Bgra(3, 250, 7, 0);

enum class Printing
{
    WithClientFlag,  // the skin with PRF_CLIENT, the control itself without it
    ForAnyFlags,     // the skin whatever the flags
    ByTheControl     // the control itself whatever the flags
};

struct PrintCase
{
    const char* name;
    std::function<HWND(const CControlGallery&)> control;
    Printing printing;
};

std::function<HWND(const CControlGallery&)> GalleryControl(int id)
{
    return [id](const CControlGallery& gallery) { return gallery.Control(id); };
}

HWND ListViewHeader(const CControlGallery& gallery)
{
    return ListView_GetHeader(gallery.Control(kGalleryListView));
}

// The client area's top-left corner in window coordinates.
POINT ClientOrigin(HWND window)
{
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT rect;
    GetWindowRect(window, &rect);
    return POINT{origin.x - rect.left, origin.y - rect.top};
}

// How many pixels of the two surfaces (of one size) differ.
int DifferentPixels(TestSurface& a, TestSurface& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
    {
        for (int x = 0; x < a.width(); ++x)
            count += a.ColorAt(x, y) != b.ColorAt(x, y);
    }
    return count;
}

using ClientPrintTest = ControlGalleryTest;

TEST_F(ClientPrintTest, PrintedClientIsWhatTheWindowShows)
{
    SKIP_ON_A_LOW_COLOR_SCREEN("the window holds the palette's colours, the printed surface the skin's");
    const PrintCase cases[] = {
        {"push button", GalleryControl(kGalleryPushButton), Printing::WithClientFlag},
        {"drop-down list", GalleryControl(kGalleryDropListCombo), Printing::WithClientFlag},
        {"date-time picker", GalleryControl(kGalleryDateTime), Printing::WithClientFlag},
        {"header", ListViewHeader, Printing::WithClientFlag},
        {"progress bar", GalleryControl(kGalleryProgress), Printing::WithClientFlag},
        {"spin with its buddy's border", GalleryControl(kGallerySpin), Printing::WithClientFlag},
        {"trackbar", GalleryControl(kGalleryHorzTrackBar), Printing::WithClientFlag},
        {"scroll bar", GalleryControl(kGalleryVertScroll), Printing::ForAnyFlags},
        {"tab", GalleryControl(kGalleryTab), Printing::ForAnyFlags},
        {"toolbar", GalleryControl(kGalleryToolBar), Printing::ByTheControl},
    };
    for (const PrintCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        HWND control = c.control(*m_gallery);
        ASSERT_NE(nullptr, control);
        RECT client;
        GetClientRect(control, &client);
        ASSERT_FALSE(IsRectEmpty(&client));
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpMessages();
        TestSurface shown(client.right, client.bottom);
        const POINT origin = ClientOrigin(control);
        ReadWindowPixels(control, origin.x, origin.y, shown);

        TestSurface printed(client.right, client.bottom, kUnprinted);
        const LRESULT answer = SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT);
        if (c.printing == Printing::ByTheControl)
        {
            EXPECT_NE(0, DifferentPixels(printed, shown));
        }
        else
        {
            EXPECT_EQ(1, answer);
            EXPECT_EQ(0, DifferentPixels(printed, shown));
        }

        TestSurface unflagged(client.right, client.bottom, kUnprinted);
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(unflagged.dc()), PRF_NONCLIENT);
        if (c.printing == Printing::ForAnyFlags)
            EXPECT_EQ(0, DifferentPixels(unflagged, shown));
        else
            EXPECT_NE(0, DifferentPixels(unflagged, shown));
    }
}
}
