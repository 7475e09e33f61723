// Dialogs: modeless and modal runs, the keys that end a dialog, and data exchange.
#include <gtest/gtest.h>

#include "afxwin.h"
#include "windowtesting.h"

namespace
{
const int kEditId = 1000;
const int kProgressId = 1045;

DialogTemplate ProgressLikeTemplate()
{
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, L"Dialog", 220, 97);
    dialog.Add(L"EDIT", L"", kEditId, WS_BORDER | WS_TABSTOP, 25, 12, 176, 12)
        .Add(L"msctls_progress32", L"", kProgressId, WS_BORDER, 36, 42, 162, 14)
        .Add(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 30, 66, 50, 14)
        .Add(L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 84, 66, 50, 14);
    return dialog;
}

// Like the batch's progress dialog: Enter does nothing, Cancel only raises a flag.
class StayingDialog : public CDialog
{
public:
    CWnd m_progress;
    int initDialogs = 0;
    int exchanges = 0;
    int oks = 0;
    int cancels = 0;
    HWND progressAtInit = nullptr;

    void DoDataExchange(CDataExchange* pDX) override
    {
        ++exchanges;
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, kProgressId, m_progress);
    }
    BOOL OnInitDialog() override
    {
        ++initDialogs;
        CDialog::OnInitDialog();
        progressAtInit = m_progress.m_hWnd;
        return TRUE;
    }
    void OnOK() override { ++oks; }
    void OnCancel() override { ++cancels; }
};

MSG KeyDown(HWND hWnd, WPARAM key)
{
    MSG msg = {};
    msg.hwnd = hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1;
    return msg;
}
}

TEST(ModelessDialog, EnterEscapeAndCloseBoxReachTheVirtualsAndTheWindowStays)
{
    DialogTemplate dialogTemplate = ProgressLikeTemplate();
    StayingDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(dialogTemplate.Get()));
    EXPECT_EQ(1, dialog.initDialogs);
    EXPECT_EQ(&dialog, CWnd::FromHandlePermanent(dialog.m_hWnd));
    dialog.ShowWindow(SW_SHOWNA);
    HWND edit = ::GetDlgItem(dialog.m_hWnd, kEditId);
    SetFocus(edit);

    MSG enter = KeyDown(edit, VK_RETURN);
    EXPECT_TRUE(dialog.PreTranslateMessage(&enter));
    PumpMessages();
    EXPECT_EQ(1, dialog.oks);

    MSG escape = KeyDown(edit, VK_ESCAPE);
    EXPECT_TRUE(dialog.PreTranslateMessage(&escape));
    PumpMessages();
    EXPECT_EQ(1, dialog.cancels);

    dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    PumpMessages();
    EXPECT_EQ(2, dialog.cancels);

    EXPECT_TRUE(IsWindow(dialog.m_hWnd));
    EXPECT_TRUE(dialog.IsWindowVisible());
    dialog.DestroyWindow();
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(ModelessDialog, DataExchangeBindsAControlOnce)
{
    DialogTemplate dialogTemplate = ProgressLikeTemplate();
    StayingDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(dialogTemplate.Get()));
    HWND progress = ::GetDlgItem(dialog.m_hWnd, kProgressId);
    EXPECT_EQ(progress, dialog.progressAtInit) << "bound during OnInitDialog";
    EXPECT_EQ(&dialog.m_progress, CWnd::FromHandlePermanent(progress));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc()), GetWindowLongPtrW(progress, GWLP_WNDPROC));
    const WNDPROC controlProc = dialog.m_progress.m_pfnSuper;
    ASSERT_NE(nullptr, controlProc);

    // Every page activation exchanges again; the binding must not change.
    for (BOOL save : {TRUE, FALSE, TRUE})
        EXPECT_TRUE(dialog.UpdateData(save));
    EXPECT_EQ(4, dialog.exchanges);
    EXPECT_EQ(controlProc, dialog.m_progress.m_pfnSuper);

    // The control still works through the framework's procedure.
    dialog.m_progress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 10));
    dialog.m_progress.SendMessage(PBM_SETPOS, 4);
    EXPECT_EQ(4, dialog.m_progress.SendMessage(PBM_GETPOS));

    dialog.DestroyWindow();
    EXPECT_EQ(nullptr, dialog.m_progress.m_hWnd) << "released with its window";
}

TEST(ModelessDialog, BaseOkAndCancelEndTheDialog)
{
    DialogTemplate dialogTemplate = ProgressLikeTemplate();
    for (int command : {IDOK, IDCANCEL})
    {
        CDialog dialog;
        ASSERT_TRUE(dialog.CreateIndirect(dialogTemplate.Get()));
        dialog.ShowWindow(SW_SHOWNA);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dialog.m_hWnd, command)));
        EXPECT_FALSE(dialog.IsWindowVisible()) << command;
        dialog.DestroyWindow();
    }
}

namespace
{
class TimedModalDialog : public CDialog
{
public:
    int initDialogs = 0;
    BOOL OnInitDialog() override
    {
        ++initDialogs;
        CDialog::OnInitDialog();
        PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
        return TRUE;
    }
};
}

TEST(ModalDialog, RunsUntilEndDialogAndReturnsItsResult)
{
    DialogTemplate dialogTemplate = ProgressLikeTemplate();
    TimedModalDialog dialog;
    ASSERT_TRUE(dialog.InitModalIndirect(dialogTemplate.Get()));
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.initDialogs);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(ModelessDialog, CreationKeepsTheRememberedParent)
{
    // The progress dialog remembers the owner it disabled in m_pParentWnd, then creates
    // itself with another parent.
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    DialogTemplate dialogTemplate = ProgressLikeTemplate();
    CDialog dialog;
    dialog.m_pParentWnd = &owner;
    ASSERT_TRUE(dialog.CreateIndirect(dialogTemplate.Get(), &parent));
    EXPECT_EQ(&owner, dialog.m_pParentWnd);
    EXPECT_EQ(parent.m_hWnd, ::GetWindow(dialog.m_hWnd, GW_OWNER));
    dialog.DestroyWindow();
    parent.DestroyWindow();
    owner.DestroyWindow();
}

namespace
{
// A framework dialog that paints its own background through WM_CTLCOLORDLG.
class RedDialog : public CDialog
{
public:
    RedDialog() : m_brush(CreateSolidBrush(RGB(200, 0, 0))) {}
    ~RedDialog() override { DeleteObject(m_brush); }
    afx_msg LRESULT OnCtlColorDlg(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_brush); }
    DECLARE_MESSAGE_MAP()

private:
    HBRUSH m_brush;
};

BEGIN_MESSAGE_MAP(RedDialog, CDialog)
    ON_MESSAGE(WM_CTLCOLORDLG, &RedDialog::OnCtlColorDlg)
END_MESSAGE_MAP()

COLORREF BackgroundPixel(CDialog& dialog)
{
    dialog.SetWindowPos(nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages();
    HDC hDC = GetDC(dialog.m_hWnd);
    const COLORREF pixel = GetPixel(hDC, 4, 4);  // a corner no control covers
    ReleaseDC(dialog.m_hWnd, hDC);
    return pixel;
}
}

TEST(DialogPainting, TheDialogsOwnColourHandlingComesFirstAndTheRestIsTheSystems)
{
    DialogTemplate dialogTemplate = ProgressLikeTemplate();
    RedDialog red;
    ASSERT_TRUE(red.CreateIndirect(dialogTemplate.Get()));
    EXPECT_EQ(RGB(200, 0, 0), BackgroundPixel(red));
    red.DestroyWindow();

    CDialog plain;
    ASSERT_TRUE(plain.CreateIndirect(dialogTemplate.Get()));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), BackgroundPixel(plain));
    plain.DestroyWindow();
}

namespace
{
// The option pages' pattern: an edit whose changes and a button whose clicks reach the map.
class OptionsLikeDialog : public CDialog
{
public:
    int changes = 0;
    int clicks = 0;
    afx_msg void OnEditChange() { ++changes; }
    afx_msg void OnOkClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OptionsLikeDialog, CDialog)
    ON_EN_CHANGE(kEditId, &OptionsLikeDialog::OnEditChange)
    ON_BN_CLICKED(IDOK, &OptionsLikeDialog::OnOkClicked)
END_MESSAGE_MAP()
}

TEST(DialogCommands, EditChangesAndButtonClicksReachTheDialogsMap)
{
    DialogTemplate dialogTemplate = ProgressLikeTemplate();
    OptionsLikeDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(dialogTemplate.Get()));
    dialog.SetDlgItemText(kEditId, L"12");
    dialog.SetDlgItemInt(kEditId, 34);
    EXPECT_EQ(2, dialog.changes) << "programmatic text changes notify as typing does";
    EXPECT_EQ(34u, dialog.GetDlgItemInt(kEditId));

    // The derived map's BN_CLICKED entry for IDOK hides the base's OnOK: the dialog stays.
    ::SendMessageW(::GetDlgItem(dialog.m_hWnd, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(1, dialog.clicks);
    EXPECT_TRUE(IsWindow(dialog.m_hWnd));
    dialog.DestroyWindow();
}
