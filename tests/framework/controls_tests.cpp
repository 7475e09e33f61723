// The control classes on real controls under Wine, and CMenu.
#include <gtest/gtest.h>

#include "afxcmn.h"
#include "windowtesting.h"

#include <string>
#include <vector>

namespace
{
// A hidden top-level window that holds the controls of one test.
class ControlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, L"STATIC", L"controls", WS_POPUP, 0, 0, 400, 300,
                                    nullptr, nullptr));
    }
    void TearDown() override { parent.DestroyWindow(); }

    CWnd parent;
    const CRect area{10, 10, 300, 200};
};
}

TEST_F(ControlTest, ListCtrlColumnsItemsTextAndSelection)
{
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, area, &parent, 1013));
    EXPECT_EQ(0, list.InsertColumn(0, L"Picture Files"));
    CHeaderCtrl* header = list.GetHeaderCtrl();
    ASSERT_NE(nullptr, header);
    EXPECT_EQ(1, header->GetItemCount());
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(header->m_hWnd));  // a temporary

    const DWORD before = list.GetExtendedStyle();
    list.SetExtendedStyle(before | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
              list.GetExtendedStyle() & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    EXPECT_TRUE(list.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER));

    // A text longer than any first guess of a buffer comes back whole.
    const std::wstring longPath = L"C:\\" + std::wstring(600, L'p') + L".jpg";
    const wchar_t* names[] = {L"a.jpg", longPath.c_str(), L"c.png"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(i, list.InsertItem(i, names[i]));
    EXPECT_EQ(3, list.GetItemCount());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::wstring(names[i]), static_cast<LPCTSTR>(list.GetItemText(i, 0)));

    list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(0, list.GetNextItem(-1, LVNI_SELECTED));
    std::vector<int> selected;
    for (POSITION pos = list.GetFirstSelectedItemPosition(); pos != nullptr;)
        selected.push_back(list.GetNextSelectedItem(pos));
    EXPECT_EQ((std::vector<int>{0, 2}), selected);
    EXPECT_EQ(static_cast<UINT>(LVIS_FOCUSED), list.GetItemState(0, LVIS_FOCUSED));

    EXPECT_TRUE(list.DeleteItem(1));
    EXPECT_EQ(L"c.png", std::wstring(list.GetItemText(1, 0)));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(0, list.GetItemCount());
}

TEST_F(ControlTest, ProgressTakesItsRangeAsSixteenBitValuesAndAnswersThePreviousPosition)
{
    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, area, &parent, 1045));
    const int tooLarge = 70000;
    progress.SetRange(0, static_cast<short>(tooLarge));
    int lower = -1, upper = -1;
    progress.GetRange(lower, upper);
    EXPECT_EQ(0, lower);
    EXPECT_EQ(4464, upper);

    progress.SetRange(0, 100);
    EXPECT_EQ(0, progress.SetPos(40));
    EXPECT_EQ(40, progress.OffsetPos(5));
    EXPECT_EQ(10, progress.SetStep(7));  // the control's own step is 10
    EXPECT_EQ(45, progress.StepIt());
    EXPECT_EQ(52, progress.GetPos());
}

TEST_F(ControlTest, SliderRangeAndPositionAreNotCutToSixteenBits)
{
    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE | TBS_HORZ, area, &parent, 1039));
    slider.SetRange(1, 100);
    slider.SetPos(100);
    EXPECT_EQ(100, slider.GetPos());
    slider.SetRange(0, 70000, TRUE);
    int low = -1, high = -1;
    slider.GetRange(low, high);
    EXPECT_EQ(0, low);
    EXPECT_EQ(70000, high);
    slider.SetPos(250);  // clamped to the range by the control
    EXPECT_EQ(250, slider.GetPos());
}

TEST_F(ControlTest, EditListAndComboTexts)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, area, &parent, 1000));
    edit.SetWindowText(L"first line\r\nsecond");
    edit.SetSel(6, 10);
    int start = -1, end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(6, start);
    EXPECT_EQ(10, end);
    edit.ReplaceSel(L"row");
    wchar_t line[32] = {};
    const int copied = edit.GetLine(0, line, 31);
    EXPECT_EQ(L"first row", std::wstring(line, copied));
    EXPECT_EQ(2, edit.GetLineCount());

    CListBox listBox;
    ASSERT_TRUE(listBox.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, area, &parent, 1001));
    listBox.AddString(L"alpha");
    listBox.AddString(L"beta");
    CString text;
    listBox.GetText(1, text);
    EXPECT_EQ(L"beta", std::wstring(text));
    listBox.GetText(5, text);
    EXPECT_TRUE(text.IsEmpty());

    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, area, &parent, 1002));
    combo.AddString(L"gamma");
    EXPECT_EQ(0, combo.SetCurSel(0));
    combo.GetLBText(combo.GetCurSel(), text);
    EXPECT_EQ(L"gamma", std::wstring(text));
}

TEST_F(ControlTest, ScrollBarLimitLeavesRoomForThePage)
{
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, CRect(0, 0, 200, 16), &parent, 1003));
    SCROLLINFO info = {};
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = 99;
    info.nPage = 10;
    bar.SetScrollInfo(&info);
    EXPECT_EQ(90, bar.GetScrollLimit());
    EXPECT_TRUE(bar.IsKindOf(RUNTIME_CLASS(CScrollBar)));
}

TEST(Menu, StringsSubMenusAndOwnership)
{
    HMENU destroyed = nullptr;
    {
        CMenu bar;
        ASSERT_TRUE(bar.CreateMenu());
        CMenu popup;
        ASSERT_TRUE(popup.CreatePopupMenu());
        popup.AppendMenu(MF_STRING, 40001, L"&Open folder");
        popup.AppendMenu(MF_STRING | MF_GRAYED, 40002, L"E&xit");
        HMENU popupHandle = popup.Detach();  // the bar owns it from here
        bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popupHandle), L"&File");

        CMenu* sub = bar.GetSubMenu(0);
        ASSERT_NE(nullptr, sub);
        EXPECT_EQ(popupHandle, sub->m_hMenu);
        EXPECT_EQ(sub, CMenu::FromHandle(popupHandle));
        CString text;
        EXPECT_EQ(12, sub->GetMenuString(40001, text, MF_BYCOMMAND));
        EXPECT_EQ(L"&Open folder", std::wstring(text));
        EXPECT_EQ(0, sub->GetMenuString(49999, text, MF_BYCOMMAND));
        EXPECT_TRUE(text.IsEmpty());
        EXPECT_TRUE(sub->GetMenuState(40002, MF_BYCOMMAND) & MF_GRAYED);
        destroyed = bar.m_hMenu;
    }
    EXPECT_FALSE(IsMenu(destroyed));
    AfxGetThreadState()->ReleaseTemporaryObjects();
}

TEST(ImageList, ImagesIconsAndOwnership)
{
    HIMAGELIST destroyed = nullptr;
    {
        CImageList images;
        ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2));
        HDC desktop = GetDC(nullptr);
        CBitmap strip;
        strip.Attach(CreateCompatibleBitmap(desktop, 32, 16));
        ReleaseDC(nullptr, desktop);
        EXPECT_EQ(0, images.Add(&strip, RGB(255, 0, 255)));
        EXPECT_EQ(2, images.GetImageCount());
        HICON icon = images.ExtractIcon(1);
        ASSERT_NE(nullptr, icon);
        EXPECT_EQ(2, images.Add(icon));
        DestroyIcon(icon);
        EXPECT_EQ(3, images.GetImageCount());

        CImageList* borrowed = CImageList::FromHandle(images);
        EXPECT_NE(&images, borrowed);
        EXPECT_EQ(images.m_hImageList, borrowed->m_hImageList);
        AfxGetThreadState()->ReleaseTemporaryObjects();
        EXPECT_EQ(3, images.GetImageCount());  // the temporary let go without destroying
        destroyed = images.m_hImageList;
    }
    IMAGEINFO info = {};
    EXPECT_FALSE(ImageList_GetImageInfo(destroyed, 0, &info));
}

namespace
{
// The shape of the program's own list: a record of its own over CListCtrl, and a map that
// sees the right mouse button and the context menu before the base handlers pass them on.
class RoutedList : public CListCtrl
{
    DECLARE_DYNAMIC(RoutedList)
public:
    int contextMenus = 0;

protected:
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point)
    {
        ++contextMenus;
        CListCtrl::OnContextMenu(pWnd, point);
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNAMIC(RoutedList, CListCtrl)

BEGIN_MESSAGE_MAP(RoutedList, CListCtrl)
    ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

class ListDialog : public CDialog
{
public:
    RoutedList list;
    int contextMenusSeen = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, 1013, list);
    }
    afx_msg void OnContextMenu(CWnd*, CPoint) { ++contextMenusSeen; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ListDialog, CDialog)
    ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()
}

TEST(ControlBinding, DialogControlBoundByDdxUsesTheDerivedMapThenTheDefaultProcedure)
{
    DialogTemplate layout(DS_SETFONT | WS_POPUP | WS_CAPTION, L"list", 200, 120);
    layout.Add(WC_LISTVIEWW, L"", 1013, LVS_REPORT | WS_BORDER, 5, 5, 150, 100);
    ListDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(layout.Get()));

    EXPECT_EQ(&dialog.list, CWnd::FromHandlePermanent(dialog.GetDlgItem(1013)->m_hWnd));
    EXPECT_TRUE(dialog.list.IsKindOf(RUNTIME_CLASS(CListCtrl)));
    dialog.list.InsertColumn(0, L"Picture Files");
    dialog.list.InsertItem(0, L"a.jpg");
    EXPECT_EQ(1, dialog.list.GetItemCount());

    // The list view hands a context menu it does not use to its parent.
    dialog.list.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.list.m_hWnd),
                            MAKELPARAM(20, 20));
    EXPECT_EQ(1, dialog.list.contextMenus);
    EXPECT_EQ(1, dialog.contextMenusSeen);
    dialog.DestroyWindow();
}
