#include "controlgallery.h"

#include "pixels.h"
#include "testpaths.h"
#include "skinwindowtesting.h"

#include <commctrl.h>

namespace
{
const wchar_t kGalleryClass[] = L"QuilbrookControlGallery";
const wchar_t kMdiChildClass[] = L"QuilbrookGalleryMdiChild";

struct ControlRow
{
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    RECT rect;  // left, top, width, height
};

const ControlRow kControls[] = {
    {kGalleryVertScroll, L"ScrollBar", L"", SBS_VERT, {10, 10, 21, 150}},
    {kGalleryHorzScroll, L"ScrollBar", L"", SBS_HORZ, {40, 10, 200, 21}},
    {kGallerySizeGrip, L"ScrollBar", L"", SBS_SIZEGRIP, {250, 10, 20, 20}},
    {kGallerySizeBox, L"ScrollBar", L"", SBS_SIZEBOX, {280, 10, 20, 20}},
    {kGalleryListBox, L"ListBox", L"", WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
     {40, 40, 160, 120}},
    {kGalleryPushButton, L"Button", L"&Push", BS_PUSHBUTTON | WS_TABSTOP, {220, 40, 90, 26}},
    {kGalleryDefPushButton, L"Button", L"Default", BS_DEFPUSHBUTTON | WS_TABSTOP, {320, 40, 90, 26}},
    {kGalleryCheckBox, L"Button", L"Check box", BS_AUTOCHECKBOX | WS_TABSTOP, {220, 80, 120, 20}},
    {kGalleryThreeState, L"Button", L"Three states", BS_AUTO3STATE | WS_TABSTOP, {220, 104, 120, 20}},
    {kGalleryRadioButton, L"Button", L"Radio button", BS_AUTORADIOBUTTON | WS_TABSTOP, {220, 128, 120, 20}},
    {kGalleryGroupBox, L"Button", L"Group", BS_GROUPBOX, {420, 40, 150, 110}},
    // toolbar
    {kGalleryToolBar, TOOLBARCLASSNAMEW, L"",
     TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, {590, 10, 360, 30}},
    // tree view, list view, status bar
    {kGalleryTreeView, WC_TREEVIEWW, L"", WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
     {590, 50, 360, 110}},
    {kGalleryListView, WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, {440, 175, 510, 125}},
    {kGalleryStatusBar, STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, {0, 0, 0, 0}},
    // trackbars and progress bars
    {kGalleryHorzTrackBar, TRACKBAR_CLASSW, L"", TBS_AUTOTICKS | WS_TABSTOP, {10, 175, 200, 36}},
    {kGallerySelTrackBar, TRACKBAR_CLASSW, L"", TBS_AUTOTICKS | TBS_BOTH | TBS_ENABLESELRANGE | WS_TABSTOP,
     {10, 215, 200, 44}},
    {kGalleryDisabledTrackBar, TRACKBAR_CLASSW, L"", TBS_AUTOTICKS | TBS_TOP | WS_DISABLED, {10, 262, 200, 36}},
    {kGalleryVertTrackBar, TRACKBAR_CLASSW, L"", TBS_AUTOTICKS | TBS_VERT | WS_TABSTOP, {220, 175, 40, 125}},
    {kGalleryProgress, PROGRESS_CLASSW, L"", 0, {270, 180, 160, 20}},
    {kGalleryMarqueeProgress, PROGRESS_CLASSW, L"", PBS_MARQUEE, {270, 210, 160, 20}},
    {kGalleryVertProgress, PROGRESS_CLASSW, L"", PBS_VERTICAL, {270, 240, 22, 60}},
    {kGalleryFullProgress, PROGRESS_CLASSW, L"", 0, {300, 240, 130, 20}},
    // combo boxes, date-time picker, month calendar, edit
    {kGallerySimpleCombo, L"ComboBox", L"", CBS_SIMPLE | WS_VSCROLL | WS_TABSTOP, {10, 315, 130, 120}},
    {kGalleryDropDownCombo, L"ComboBox", L"", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, {150, 315, 130, 200}},
    {kGalleryDropListCombo, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, {290, 315, 130, 200}},
    {kGalleryDateTime, L"SysDateTimePick32", L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, {150, 350, 130, 24}},
    {kGalleryDateTimeNone, L"SysDateTimePick32", L"", DTS_SHORTDATEFORMAT | DTS_SHOWNONE | WS_TABSTOP,
     {290, 350, 130, 24}},
    {kGalleryMonthCal, L"SysMonthCal32", L"", WS_BORDER, {10, 445, 200, 170}},
    {kGalleryEdit, L"Edit", L"Single line", ES_AUTOHSCROLL | WS_TABSTOP, {150, 385, 130, 24}},
    {kGalleryReadOnlyEdit, L"Edit", L"Read-only", ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, {290, 385, 130, 24}},
    {kGalleryMultiLineEdit, L"Edit", L"", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
     {220, 420, 200, 195}},
    // tab, spin buttons, MDI client
    {kGalleryTab, WC_TABCONTROLW, L"", WS_TABSTOP, {440, 315, 300, 140}},
    {kGallerySpinEdit, L"Edit", L"50", ES_NUMBER | WS_TABSTOP, {760, 320, 100, 24}},
    {kGallerySpin, UPDOWN_CLASSW, L"", UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS, {860, 320, 18, 24}},
    {kGalleryHorzSpin, UPDOWN_CLASSW, L"", UDS_HORZ, {760, 360, 40, 20}},
};

LRESULT CALLBACK GalleryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_VSCROLL || message == WM_HSCROLL)
    {
        CControlGallery::scrolls.push_back({message, LOWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return 0;
    }
    // The status bar keeps to the bottom edge, as in any window that has one.
    if (message == WM_SIZE)
        SendMessageW(GetDlgItem(window, kGalleryStatusBar), WM_SIZE, 0, 0);
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterGalleryClass()
{
    RegisterWindowClass(kGalleryClass, GalleryProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

// An icon, as application windows and documents have: without one every caption paint asks
// the window for a drag icon, which Wine answers by searching the program's icon resources.
void SetSmallIcon(HWND window)
{
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_APPLICATION)));
}

LRESULT CALLBACK MdiChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefMDIChildProcW(window, message, wParam, lParam);
}

void SetBar(HWND control, int maximum, int page, int position)
{
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, maximum, static_cast<UINT>(page), position, 0};
    SetScrollInfo(control, SB_CTL, &info, TRUE);
}
}

std::vector<GalleryScroll> CControlGallery::scrolls;

CControlGallery::CControlGallery()
{
    RegisterGalleryClass();
    scrolls.clear();
    m_window = CreateWindowExW(0, kGalleryClass, L"Gallery", WS_OVERLAPPEDWINDOW, 20, 20,
                               980, 720, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetSmallIcon(m_window);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (const ControlRow& row : kControls)
    {
        HWND control = CreateWindowExW(0, row.className, row.text, WS_CHILD | WS_VISIBLE | row.style,
                                       row.rect.left, row.rect.top, row.rect.right, row.rect.bottom, m_window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                                       GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    SetBar(Control(kGalleryVertScroll), 99, 20, 40);
    SetBar(Control(kGalleryHorzScroll), 99, 20, 0);
    for (int item = 0; item < 40; ++item)
    {
        wchar_t text[32];
        wsprintfW(text, L"Item %d", item);
        SendMessageW(Control(kGalleryListBox), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    // toolbar buttons
    {
        // Images: squares of one colour each on a masked ground; one list for every gallery,
        // since a toolbar does not own its lists.
        static const HIMAGELIST toolImages = [] {
            const COLORREF colors[] = {RGB(200, 60, 40), RGB(40, 140, 70), RGB(50, 90, 190), RGB(210, 160, 30),
                                       RGB(120, 70, 170)};
            const int count = _countof(colors);
            HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, count, 0);
            HDC screen = GetDC(nullptr);
            HDC memory = CreateCompatibleDC(screen);
            HBITMAP strip = CreateCompatibleBitmap(screen, 16 * count, 16);
            HGDIOBJ previous = SelectObject(memory, strip);
            const auto fill = [memory](RECT rect, COLORREF color) {
                SetBkColor(memory, color);
                ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
            };
            fill({0, 0, 16 * count, 16}, RGB(255, 0, 255));
            for (int i = 0; i < count; ++i)
                fill({16 * i + 2, 2, 16 * i + 14, 14}, colors[i]);
            SelectObject(memory, previous);
            ImageList_AddMasked(list, strip, RGB(255, 0, 255));
            DeleteObject(strip);
            DeleteDC(memory);
            ReleaseDC(nullptr, screen);
            return list;
        }();
        const TBBUTTON buttons[] = {
            {0, 1001, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>(L"Open")},
            {1, 1002, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {}, 0, reinterpret_cast<INT_PTR>(L"Bold")},
            {2, 1003, 0, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>(L"Off")},
            {0, 0, 0, BTNS_SEP, {}, 0, 0},
            {3, 1004, TBSTATE_ENABLED, BTNS_DROPDOWN, {}, 0, reinterpret_cast<INT_PTR>(L"Split")},
            {4, 1005, TBSTATE_ENABLED, BTNS_WHOLEDROPDOWN, {}, 0, reinterpret_cast<INT_PTR>(L"Menu")},
        };
        HWND toolBar = Control(kGalleryToolBar);
        SendMessageW(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageW(toolBar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
        SendMessageW(toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolImages));
        SendMessageW(toolBar, TB_ADDBUTTONSW, _countof(buttons), reinterpret_cast<LPARAM>(buttons));
    }
    // tree items, list columns and items, status parts
    FillGalleryTreeListAndStatus(m_window);
    // trackbar ranges and tics, progress positions
    const struct
    {
        int id, low, high, frequency, position;
    } trackBars[] = {{kGalleryHorzTrackBar, 0, 100, 10, 30},
                     {kGallerySelTrackBar, 0, 20, 2, 8},
                     {kGalleryDisabledTrackBar, 0, 100, 25, 50},
                     {kGalleryVertTrackBar, 0, 10, 1, 3}};
    for (const auto& bar : trackBars)
    {
        SendMessageW(Control(bar.id), TBM_SETRANGE, FALSE, MAKELPARAM(bar.low, bar.high));
        SendMessageW(Control(bar.id), TBM_SETTICFREQ, static_cast<WPARAM>(bar.frequency), 0);
        SendMessageW(Control(bar.id), TBM_SETPOS, TRUE, bar.position);
    }
    SendMessageW(Control(kGallerySelTrackBar), TBM_SETSEL, TRUE, MAKELPARAM(5, 12));
    SendMessageW(Control(kGalleryProgress), PBM_SETPOS, 40, 0);
    SendMessageW(Control(kGalleryVertProgress), PBM_SETPOS, 60, 0);
    SendMessageW(Control(kGalleryFullProgress), PBM_SETPOS, 100, 0);
    // combo box items, calendar dates, edit text
    for (int id : {kGallerySimpleCombo, kGalleryDropDownCombo, kGalleryDropListCombo})
    {
        for (const wchar_t* item : {L"Small", L"Medium", L"Large", L"Original"})
            SendMessageW(Control(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(Control(id), CB_SETCURSEL, 1, 0);
    }
    // Edits and pickers get the sunken edge that dialogs give them.
    for (int id : {kGalleryDateTime, kGalleryDateTimeNone, kGalleryEdit, kGalleryReadOnlyEdit, kGalleryMultiLineEdit})
    {
        SetWindowLongW(Control(id), GWL_EXSTYLE, GetWindowLongW(Control(id), GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
        SetWindowPos(Control(id), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    wchar_t lines[2048] = L"";
    for (int line = 1; line <= 40; ++line)
    {
        wchar_t text[48];
        wsprintfW(text, L"Line %d of a multi-line edit\r\n", line);
        lstrcatW(lines, text);
    }
    SetWindowTextW(Control(kGalleryMultiLineEdit), lines);
    // tab items, spin buddies, MDI children
    for (const wchar_t* text : {L"General", L"Size", L"Output", L"Extra"})
    {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text);
        SendMessageW(Control(kGalleryTab), TCM_INSERTITEMW, SendMessageW(Control(kGalleryTab), TCM_GETITEMCOUNT, 0, 0),
                     reinterpret_cast<LPARAM>(&item));
    }
    // The buddy has the sunken edge of a dialog's edit; the spin joins it at its right.
    SetWindowLongW(Control(kGallerySpinEdit), GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    SetWindowPos(Control(kGallerySpinEdit), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    SendMessageW(Control(kGallerySpin), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Control(kGallerySpinEdit)), 0);
    for (int id : {kGallerySpin, kGalleryHorzSpin})
    {
        SendMessageW(Control(id), UDM_SETRANGE32, 0, 100);
        SendMessageW(Control(id), UDM_SETPOS32, 0, 50);
    }
    {
        // The MDI client needs its creation record, so it has no row of the table.
        RegisterWindowClass(kMdiChildClass, MdiChildProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        CLIENTCREATESTRUCT client = {nullptr, kGalleryMdiFirstChild};
        HWND mdiClient = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", L"",
                                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 440, 470,
                                         510, 150, m_window,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGalleryMdiClient)),
                                         GetModuleHandleW(nullptr), &client);
        const RECT children[] = {{10, 10, 200, 100}, {240, 20, 200, 100}};
        int number = 0;
        for (const RECT& rect : children)
        {
            wchar_t title[16];
            wsprintfW(title, L"Child %d", ++number);
            MDICREATESTRUCTW create = {kMdiChildClass, title, GetModuleHandleW(nullptr), rect.left, rect.top,
                                       rect.right, rect.bottom, 0, 0};
            SetSmallIcon(reinterpret_cast<HWND>(SendMessageW(mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create))));
        }
    }
    ShowWindow(m_window, SW_SHOW);
    SetActiveWindow(m_window);
    Repaint();
}

CControlGallery::~CControlGallery()
{
    DestroyWindow(m_window);
    PumpMessages();
}

void CControlGallery::Repaint() const
{
    RedrawWindow(m_window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
}

void CControlGallery::SaveImage(const wchar_t* path) const
{
    RECT rect;
    GetWindowRect(m_window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    WriteFileBytes(path, BmpFileBytes(width, height, 24, PixelsOf(bitmap)));
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

GdiObjectCounts GdiObjectsOverSkinCycles(CHLMSkinManager& manager, const std::wstring& skin, int cycles)
{
    manager.LoadSkin(skin.c_str(), L"");
    CControlGallery gallery;
    const auto cycle = [&] {
        manager.LoadSkin(L"", L"");
        gallery.Repaint();
        manager.LoadSkin(skin.c_str(), L"");
        gallery.Repaint();
    };
    cycle();
    GdiObjectCounts counts = {CountGdiObjects(), 0};
    for (int i = 0; i < cycles; ++i)
        cycle();
    counts.after = CountGdiObjects();
    return counts;
}
