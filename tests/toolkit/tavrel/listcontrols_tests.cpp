// Tree view, list view with its header, and status bar of the control gallery under the test
// skin. Header items are filled RGB(200, 10 * state, 50) inside a black border (state 1
// normal, 2 hot, 3 pressed); the area right of the last item is RGB(200, 0, 200).
#include "controlgallery.h"
#include "pixels.h"
#include "hlmskinmanager.h"
#include "hlmskinobjectclassmap.h"
#include "hlmskinobjectheader.h"
#include "hlmskinobjectlistview.h"
#include "hlmskinobjectstatusbar.h"
#include "hlmskinobjecttreeview.h"
#include "hlmskinvocabulary.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <utility>

namespace
{
typedef CHLMSkinObjectFrame::SCROLLBARLAYOUT SCROLLBARLAYOUT;

const COLORREF kSkinGrayText = RGB(90, 100, 110);
const COLORREF kSkinButtonFace = RGB(10, 20, 30), kSkinButtonText = RGB(250, 250, 0);
const COLORREF kSkinButtonShadow = RGB(0, 200, 200);
const COLORREF kRightOfItems = RGB(200, 0, 200);
const int kArrowImage = 11, kThumbImage = 12, kLowerTrackImage = 13;

COLORREF ItemFill(int state)
{
    return RGB(200, 10 * state, 50);
}

// WM_SETTINGCHANGE sent to one window, counted by a hook on this thread.
HWND g_watched = nullptr;
int g_settingChanges = 0;

LRESULT CALLBACK RecordSettingChange(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == g_watched && sent->message == WM_SETTINGCHANGE)
        ++g_settingChanges;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class ListControlsTest : public ControlGalleryTest
{
protected:
    HWND List() const { return Control(kGalleryListView); }
    HWND Tree() const { return Control(kGalleryTreeView); }
    HWND Header() const { return reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0)); }

    RECT ItemRect(int index) const
    {
        RECT rect = {};
        SendMessageW(Header(), HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    // A point of an item's fill, clear of its border and text.
    COLORREF ItemPixel(int index) const { return WindowPixel(Header(), ItemRect(index).left + 3, 2); }
    POINT ItemCentre(int index) const
    {
        const RECT rect = ItemRect(index);
        return ScreenPoint(Header(), (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
};

TEST_F(ListControlsTest, EachControlAndSynonymGetsItsObject)
{
    EXPECT_NE(nullptr, ObjectOf<CHLMSkinObjectTreeView>(Tree()));
    EXPECT_NE(nullptr, ObjectOf<CHLMSkinObjectListView>(List()));
    EXPECT_NE(nullptr, ObjectOf<CHLMSkinObjectHeader>(Header()));
    EXPECT_NE(nullptr, ObjectOf<CHLMSkinObjectStatusBar>(Control(kGalleryStatusBar)));
    struct Synonym
    {
        const wchar_t* name;
        CRuntimeClass* objectClass;
    } const synonyms[] = {
        {L"TTreeView", RUNTIME_CLASS(CHLMSkinObjectTreeView)},
        {L"TListView", RUNTIME_CLASS(CHLMSkinObjectListView)},
    };
    for (const Synonym& synonym : synonyms)
    {
        CHLMSkinObjectClassInfo* info = GetSkinManager()->GetClassMap()->Lookup(synonym.name);
        ASSERT_NE(nullptr, info);
        CHLMSkinObject* object = info->CreateObject(synonym.name, nullptr);
        ASSERT_NE(nullptr, object);
        EXPECT_TRUE(object->IsKindOf(synonym.objectClass));
        object->InternalRelease();
    }
}

// The skin's window colours go into both controls at creation and on every skin change; the
// controls get their own (tree view) or the system's (list view) back when the skin goes.
TEST_F(ListControlsTest, ColoursFollowTheSkin)
{
    // The test skin's window text is its own: reading it back shows the colours were sent.
    const COLORREF windowText = SkinColor(COLOR_WINDOWTEXT), skinWindow = SkinColor(COLOR_WINDOW);
    auto expectSkinColours = [&](const char* when) {
        EXPECT_EQ(skinWindow, static_cast<COLORREF>(SendMessageW(List(), LVM_GETBKCOLOR, 0, 0))) << when;
        EXPECT_EQ(skinWindow, static_cast<COLORREF>(SendMessageW(List(), LVM_GETTEXTBKCOLOR, 0, 0))) << when;
        EXPECT_EQ(windowText, static_cast<COLORREF>(SendMessageW(List(), LVM_GETTEXTCOLOR, 0, 0))) << when;
        EXPECT_EQ(skinWindow, static_cast<COLORREF>(SendMessageW(Tree(), TVM_GETBKCOLOR, 0, 0))) << when;
        EXPECT_EQ(windowText, static_cast<COLORREF>(SendMessageW(Tree(), TVM_GETTEXTCOLOR, 0, 0))) << when;
    };
    expectSkinColours("created under the skin");
    // The empty area below the tree's items shows it.
    EXPECT_EQ(skinWindow, WindowPixel(Tree(), 300, 100));

    CleanSkinManager();
    PumpMessages();
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), static_cast<COLORREF>(SendMessageW(List(), LVM_GETBKCOLOR, 0, 0)));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), static_cast<COLORREF>(SendMessageW(List(), LVM_GETTEXTBKCOLOR, 0, 0)));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), static_cast<COLORREF>(SendMessageW(List(), LVM_GETTEXTCOLOR, 0, 0)));
    EXPECT_EQ(static_cast<COLORREF>(-1), static_cast<COLORREF>(SendMessageW(Tree(), TVM_GETBKCOLOR, 0, 0)));
    EXPECT_EQ(static_cast<COLORREF>(-1), static_cast<COLORREF>(SendMessageW(Tree(), TVM_GETTEXTCOLOR, 0, 0)));
    EXPECT_EQ(CLR_DEFAULT, static_cast<COLORREF>(SendMessageW(Tree(), TVM_GETLINECOLOR, 0, 0)));

    ASSERT_TRUE(LoadTestSkin());
    PumpMessages();
    expectSkinColours("skin loaded again");
    EXPECT_EQ(kSkinGrayText, static_cast<COLORREF>(SendMessageW(Tree(), TVM_GETLINECOLOR, 0, 0)));
}

TEST_F(ListControlsTest, HeaderItemsTextSortArrowAndTheAreaRightOfThem)
{
    HWND header = Header();
    for (int index = 0; index < 3; ++index)
        EXPECT_EQ(ItemFill(HIS_NORMAL), ItemPixel(index)) << index;
    const RECT last = ItemRect(2);
    RECT client;
    GetClientRect(header, &client);
    ASSERT_LT(last.right + 2, client.right);
    EXPECT_EQ(kRightOfItems, WindowPixel(header, last.right + 1, 2));
    EXPECT_EQ(kRightOfItems, WindowPixel(header, client.right - 1, client.bottom - 1));
    EXPECT_EQ(RGB(0, 0, 0), WindowPixel(header, ItemRect(1).left, 5));

    // Left-aligned text starts after its gap; right-aligned text ends before its own.
    const RECT name = ItemRect(0), size = ItemRect(1);
    EXPECT_GT(CountColor(header, {name.left + 9, 0, name.left + 40, name.bottom}, kSkinButtonText), 0);
    EXPECT_EQ(0, CountColor(header, {name.left, 0, name.left + 9, name.bottom}, kSkinButtonText));
    EXPECT_GT(CountColor(header, {size.right - 40, 0, size.right - 9, size.bottom}, kSkinButtonText), 0);
    EXPECT_EQ(0, CountColor(header, {size.left, 0, size.left + 20, size.bottom}, kSkinButtonText));

    // A sort arrow in the shadow colour right of the text, unless the item has an image.
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    item.fmt = HDF_STRING | HDF_LEFT | HDF_SORTUP;
    SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    PumpMessages();
    EXPECT_GT(CountColor(header, name, kSkinButtonShadow), 0);
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 1, 0);
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    ImageList_AddIcon(images, icon);
    SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt |= HDF_IMAGE;
    item.iImage = 0;
    SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    PumpMessages();
    EXPECT_EQ(0, CountColor(header, name, kSkinButtonShadow));
    SendMessageW(header, HDM_SETIMAGELIST, 0, 0);
    ImageList_Destroy(images);
}

// Where an item's image, sort arrow and text go. In the gallery's font "Name" is 31 pixels
// wide and "Size" 22; the skin's edges are 2, so the margin around the sort arrow is 6, as is
// the control's own bitmap margin; the images are 16 x 16. The items are 17 high; Name starts
// at 0, Size at 150.
TEST_F(ListControlsTest, HeaderItemLayout)
{
    HWND header = Header();
    CHLMSkinObjectHeader* object = ObjectOf<CHLMSkinObjectHeader>(header);
    ASSERT_NE(nullptr, object);
    HIMAGELIST images = SolidImageList(16, RGB(1, 200, 3));
    SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    const int left = HDF_STRING | HDF_LEFT, right = HDF_STRING | HDF_RIGHT;
    const RECT none = {0, 0, 0, 0};
    const struct
    {
        const char* name;
        int index;
        int format;
        int width;
        BOOL pressed;
        RECT image, sortArrow, text;
    } cases[] = {
        // Text 9 in from the side it is aligned to, 6 from the other.
        {"left-aligned text", 0, left, 150, FALSE, none, none, {9, 0, 144, 17}},
        {"centred text", 0, HDF_STRING | HDF_CENTER, 150, FALSE, none, none, {6, 0, 144, 17}},
        // The arrow's middle a margin, the text, a margin and 9 in; the text ends at it.
        {"sorted up", 0, left | HDF_SORTUP, 150, FALSE, none, {48, 5, 56, 9}, {9, 0, 46, 17}},
        {"right-aligned, sorted down", 1, right | HDF_SORTDOWN, 80, FALSE, none, {189, 5, 197, 9}, {156, 0, 184, 17}},
        {"sort arrow kept 3 inside a narrow item", 1, right | HDF_SORTDOWN, 40, FALSE, none, {174, 5, 182, 9},
         {156, 0, 169, 17}},
        {"image before the text", 0, left | HDF_IMAGE, 150, FALSE, {6, 0, 22, 16}, none, {31, 0, 144, 17}},
        {"image after the text", 0, left | HDF_IMAGE | HDF_BITMAP_ON_RIGHT, 150, FALSE, {52, 0, 68, 16}, none,
         {9, 0, 52, 17}},
        {"image after the text kept 3 inside a narrow item", 0, left | HDF_IMAGE | HDF_BITMAP_ON_RIGHT, 40, FALSE,
         {21, 0, 37, 16}, none, {9, 0, 21, 17}},
        {"an image takes the sort arrow's place", 0, left | HDF_IMAGE | HDF_SORTUP, 150, FALSE, {6, 0, 22, 16}, none,
         {31, 0, 144, 17}},
        {"pressed: image and text a pixel on", 0, left | HDF_IMAGE, 150, TRUE, {7, 0, 23, 16}, none, {32, 1, 145, 18}},
    };
    HDC dc = GetDC(header);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(header, WM_GETFONT, 0, 0)));
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        HDITEMW item = {};
        item.mask = HDI_FORMAT | HDI_IMAGE | HDI_WIDTH;
        item.fmt = c.format;
        item.iImage = 0;
        item.cxy = c.width;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(c.index), reinterpret_cast<LPARAM>(&item));
        CHLMSkinObjectHeader::ITEMDATA data;
        ASSERT_TRUE(object->ReadItem(c.index, &data));
        CHLMSkinObjectHeader::ITEMLAYOUT layout;
        object->CalcItemLayout(CDC::FromHandle(dc), data, ItemRect(c.index), c.pressed, &layout);
        EXPECT_EQ(CRect(c.image), layout.rcImage);
        EXPECT_EQ(CRect(c.sortArrow), layout.rcSortArrow);
        EXPECT_EQ(CRect(c.text), layout.rcText);
        const UINT alignment = (c.format & HDF_RIGHT) ? DT_RIGHT : (c.format & HDF_CENTER) ? DT_CENTER : 0;
        EXPECT_EQ(DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | alignment, layout.nTextFormat);
    }
    SelectObject(dc, previous);
    ReleaseDC(header, dc);
    SendMessageW(header, HDM_SETIMAGELIST, 0, 0);
    ImageList_Destroy(images);
}

// Printing the client area draws the skinned header into the DC given; without PRF_CLIENT the
// control's own handling runs.
TEST_F(ListControlsTest, HeaderPrintsItsClientAreaFromTheSkin)
{
    HWND header = Header();
    RECT client;
    GetClientRect(header, &client);
    const int x = ItemRect(0).left + 3;
    struct Case
    {
        LPARAM flags;
        bool skinned;
    } const cases[] = {{PRF_CLIENT, true}, {PRF_NONCLIENT, false}};
    for (const Case& c : cases)
    {
        TestSurface surface(client.right, client.bottom, Bgra(1, 2, 3, 0));
        SendMessageW(header, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), c.flags);
        EXPECT_EQ(c.skinned, surface.ColorAt(x, 2) == ItemFill(HIS_NORMAL)) << c.flags;
        EXPECT_EQ(c.skinned, surface.ColorAt(client.right - 1, 2) == kRightOfItems) << c.flags;
    }
}

// With a filter bar the items take the upper half on common controls 5.80 and later; before,
// the style means nothing and the items fill the header.
TEST_F(ListControlsTest, FilterBarHalvesTheItemsFromVersionFiveEighty)
{
    HWND header = Header();
    SetWindowLongPtrW(header, GWL_STYLE, GetWindowLongPtrW(header, GWL_STYLE) | HDS_FILTERBAR);
    RECT client;
    GetClientRect(header, &client);
    const int lowerY = client.bottom - 2, x = ItemRect(0).left + 3;
    struct Case
    {
        DWORD version;
        bool itemBelow;
    } const cases[] = {{0x50050, false}, {0x50000, true}};
    for (const Case& c : cases)
    {
        CComCtlVersionScope version(c.version);
        RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(ItemFill(HIS_NORMAL), WindowPixel(header, x, 2)) << std::hex << c.version;
        EXPECT_EQ(c.itemBelow, WindowPixel(header, x, lowerY) == ItemFill(HIS_NORMAL))
            << std::hex << c.version;
    }
}

// Hot under the mouse, pressed while the button is down on the item; a press on a divider
// shows no pressed item.
TEST_F(ListControlsTest, HeaderItemStatesFollowTheMouse)
{
    CHLMSkinObjectHeader* object = ObjectOf<CHLMSkinObjectHeader>(Header());
    ASSERT_NE(nullptr, object);
    SendMouse(MOUSEEVENTF_MOVE, ItemCentre(1));
    EXPECT_TRUE(PumpUntil([&] { return ItemPixel(1) == ItemFill(HIS_HOT); }));
    EXPECT_EQ(ItemFill(HIS_NORMAL), ItemPixel(0));

    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return ItemPixel(1) == ItemFill(HIS_PRESSED); }));
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return ItemPixel(1) == ItemFill(HIS_HOT); }));

    ParkMouse();
    EXPECT_TRUE(PumpUntil([&] { return ItemPixel(1) == ItemFill(HIS_NORMAL); }));

    const RECT first = ItemRect(0);
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(Header(), first.right - 1, (first.top + first.bottom) / 2));
    PumpMessages();
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    PumpMessages();
    for (int index = 0; index < 3; ++index)
        EXPECT_NE(HIS_PRESSED, object->GetItemState(index)) << index;
    EXPECT_NE(ItemFill(HIS_PRESSED), ItemPixel(0));
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpMessages();
}

// The pressed look stays with the item that was pressed: dragged onto another item, that one
// is only hot; back on the pressed item it is pressed again; losing the capture ends it.
TEST_F(ListControlsTest, OnlyThePressedItemShowsPressedUntilTheCaptureGoes)
{
    SendMouse(MOUSEEVENTF_MOVE, ItemCentre(0));
    ASSERT_TRUE(PumpUntil([&] { return ItemPixel(0) == ItemFill(HIS_HOT); }));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return ItemPixel(0) == ItemFill(HIS_PRESSED); }));

    SendMouse(MOUSEEVENTF_MOVE, ItemCentre(1));
    EXPECT_TRUE(PumpUntil([&] { return ItemPixel(1) == ItemFill(HIS_HOT); }));
    EXPECT_EQ(ItemFill(HIS_NORMAL), ItemPixel(0));

    SendMouse(MOUSEEVENTF_MOVE, ItemCentre(0));
    EXPECT_TRUE(PumpUntil([&] { return ItemPixel(0) == ItemFill(HIS_PRESSED); }));

    SetCapture(m_gallery->window());
    EXPECT_TRUE(PumpUntil([&] { return ItemPixel(0) == ItemFill(HIS_HOT); }));
    SendMouse(MOUSEEVENTF_LEFTUP);
    ReleaseCapture();
    PumpMessages();
    EXPECT_EQ(ItemFill(HIS_HOT), ItemPixel(0));
}

// The status bar paints itself with the skin's face colour and edges, and its size grip from
// the skin's size box.
TEST_F(ListControlsTest, StatusBarPartsAndGripComeFromTheSkin)
{
    HWND status = Control(kGalleryStatusBar);
    RECT client;
    GetClientRect(status, &client);
    RECT gallery;
    GetClientRect(m_gallery->window(), &gallery);
    RECT placed;
    GetWindowRect(status, &placed);
    MapWindowPoints(nullptr, m_gallery->window(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(gallery.bottom, placed.bottom);
    EXPECT_EQ(gallery.right - gallery.left, placed.right - placed.left);

    RECT part = {};
    SendMessageW(status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    ASSERT_GT(part.right, part.left);
    const int middle = (part.top + part.bottom) / 2;
    // Between the parts: the face colour; the parts' edges are not the system's.
    EXPECT_EQ(kSkinButtonFace, WindowPixel(status, part.left + 100, part.top - 1 > 0 ? part.top - 1 : 0));
    const COLORREF edge = WindowPixel(status, part.left, middle);
    EXPECT_EQ(SkinColor(COLOR_3DSHADOW), edge);
    // The grip at the bottom-right corner is the skin's size box (second set, image 10).
    EXPECT_EQ(RGB(160, 15, 160), WindowPixel(status, client.right - 2, client.bottom - 2));

    // Another skin: the control is told to take up the skin's font and height again, after
    // the change.
    g_settingChanges = 0;
    g_watched = status;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &RecordSettingChange, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(LoadTestSkin());
    EXPECT_EQ(0, g_settingChanges);
    PumpMessages();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(1, g_settingChanges);
}

// The list view moves its own bars; the skinned bars of its frame must follow.
TEST_F(ListControlsTest, ListViewBarFollowsKeysScrollMessagesAndTheWheel)
{
    HWND list = List();
    CHLMSkinObjectListView* object = ObjectOf<CHLMSkinObjectListView>(list);
    ASSERT_NE(nullptr, object);
    const SCROLLBARLAYOUT& bar = object->GetVertBar();
    ASSERT_TRUE(bar.bVisible);
    const int x = (bar.rc.left + bar.rc.right) / 2;
    EXPECT_EQ(Solid(kArrowImage, 1), WindowPixel(list, x, bar.nStart + 2));
    EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(list, x, bar.nThumbStart + 1));

    for (const ScrollDownWay& c : WaysToScrollDown({40, 60}))
    {
        SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
        PumpMessages();
        ASSERT_EQ(0, GetScrollPos(list, SB_VERT)) << c.name;
        const int oldThumb = bar.nThumbStart + 1;
        c.scroll(list);
        PumpMessages();
        EXPECT_GT(GetScrollPos(list, SB_VERT), 0) << c.name;
        EXPECT_EQ(GetScrollPos(list, SB_VERT), bar.nPos) << c.name;
        EXPECT_EQ(Solid(kLowerTrackImage, 1), WindowPixel(list, x, oldThumb)) << c.name;
        EXPECT_EQ(Solid(kThumbImage, 1), WindowPixel(list, x, bar.nThumbStart + 1)) << c.name;
    }
}
// A header of its own inside a host window that draws owner-drawn items itself.
struct OwnerDrawn
{
    int calls = 0;
    DRAWITEMSTRUCT last = {};
} g_ownerDrawn;

LRESULT CALLBACK HeaderHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM)
    {
        ++g_ownerDrawn.calls;
        g_ownerDrawn.last = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void AddHeaderItem(HWND header, int index, const wchar_t* text, int format, int image = -1)
{
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_IMAGE;
    item.cxy = 160;
    item.pszText = const_cast<wchar_t*>(text);
    item.fmt = HDF_STRING | format;
    item.iImage = image;
    SendMessageW(header, HDM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

// The leftmost and rightmost column holding the colour in a band; -1 when none.
std::pair<int, int> ColumnsOf(HWND window, const RECT& band, COLORREF color)
{
    const int width = band.right - band.left, height = band.bottom - band.top;
    TestSurface surface(width, height);
    HDC windowDC = GetWindowDC(window);
    BitBlt(surface.dc(), 0, 0, width, height, windowDC, band.left, band.top, SRCCOPY);
    ReleaseDC(window, windowDC);
    std::pair<int, int> columns(-1, -1);
    for (int x = 0; x < width; ++x)
    {
        for (int y = 0; y < height; ++y)
        {
            if (surface.ColorAt(x, y) != color)
                continue;
            if (columns.first < 0)
                columns.first = band.left + x;
            columns.second = band.left + x;
            break;
        }
    }
    return columns;
}

// An owner-drawn item whose parent draws it gets only the skin's background; an image goes
// left of the text, or right of it with HDF_BITMAP_ON_RIGHT.
TEST_F(ListControlsTest, OwnerDrawnItemsAndImagesOnEitherSide)
{
    RegisterWindowClass(L"QuilbrookHeaderHost", HeaderHostProc);
    HWND host = CreateWindowExW(0, L"QuilbrookHeaderHost", L"", WS_CHILD | WS_VISIBLE, 10, 320, 480, 30,
                                m_gallery->window(), nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND header = CreateWindowExW(0, WC_HEADERW, L"", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, 0, 480, 24, host,
                                  reinterpret_cast<HMENU>(7), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectHeader>(header));
    const COLORREF imageColor = RGB(0, 128, 0);
    HIMAGELIST images = SolidImageList(16, imageColor);
    SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    g_ownerDrawn = OwnerDrawn();
    AddHeaderItem(header, 0, L"Owner drawn", HDF_OWNERDRAW);
    AddHeaderItem(header, 1, L"Left", HDF_IMAGE, 0);
    AddHeaderItem(header, 2, L"Right", HDF_IMAGE | HDF_BITMAP_ON_RIGHT, 0);
    RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

    EXPECT_GT(g_ownerDrawn.calls, 0);
    EXPECT_EQ(static_cast<UINT>(ODT_HEADER), g_ownerDrawn.last.CtlType);
    EXPECT_EQ(7u, g_ownerDrawn.last.CtlID);
    EXPECT_EQ(0u, g_ownerDrawn.last.itemID);
    EXPECT_EQ(header, g_ownerDrawn.last.hwndItem);
    EXPECT_EQ(ItemFill(HIS_NORMAL), WindowPixel(header, 3, 2));
    EXPECT_EQ(0, CountColor(header, {0, 0, 160, 24}, kSkinButtonText));

    const std::pair<int, int> leftImage = ColumnsOf(header, {160, 0, 320, 24}, imageColor);
    const std::pair<int, int> leftText = ColumnsOf(header, {160, 0, 320, 24}, kSkinButtonText);
    const std::pair<int, int> rightImage = ColumnsOf(header, {320, 0, 480, 24}, imageColor);
    const std::pair<int, int> rightText = ColumnsOf(header, {320, 0, 480, 24}, kSkinButtonText);
    ASSERT_GE(leftImage.first, 0);
    ASSERT_GE(rightImage.first, 0);
    ASSERT_GE(leftText.first, 0);
    ASSERT_GE(rightText.first, 0);
    EXPECT_LT(leftImage.second, leftText.first);
    EXPECT_GT(rightImage.first, rightText.second);
    DestroyWindow(host);
    ImageList_Destroy(images);
}
}
