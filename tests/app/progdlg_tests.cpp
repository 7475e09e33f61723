// The progress dialog, created for real under an owner window: percentages, Cancel that
// only raises a flag, and the owner disabled exactly while the dialog exists.
#include <gtest/gtest.h>

#include "apptesting.h"
#include "progdlg.h"

#include <commctrl.h>

namespace
{
class ProgressDialogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_owner = CreateWindowW(L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                                nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_owner);
    }
    void TearDown() override { DestroyWindow(m_owner); }

    std::wstring Text(HWND window)
    {
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        return text;
    }
    std::wstring Percent(CProgressDlg& dialog) { return Text(GetDlgItem(dialog.m_hWnd, IDC_PROGRESS_PERCENT)); }

    HWND m_owner = nullptr;
};

TEST_F(ProgressDialogTest, DisablesItsOwnerWhileItsWindowExists)
{
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(CWnd::FromHandle(m_owner)));
    EXPECT_FALSE(IsWindowEnabled(m_owner));
    EXPECT_FALSE(IsWindowVisible(dialog.m_hWnd));  // the caller shows it
    EXPECT_EQ(L"Current state", Text(dialog.m_hWnd));
    EXPECT_EQ(L"0%", Percent(dialog));
    dialog.SetStatus(L"E:\\Photos\\a.png");
    EXPECT_EQ(L"E:\\Photos\\a.png", Text(GetDlgItem(dialog.m_hWnd, IDC_PROGRESS_STATUS)));
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(ProgressDialogTest, ShowsThePercentageOfThePosition)
{
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(CWnd::FromHandle(m_owner)));
    dialog.ShowWindow(SW_SHOWNORMAL);
    const struct
    {
        int lower, upper, position;
        const wchar_t* shown;
    } cases[] = {
        {0, 3, 0, L"0%"},     {0, 3, 1, L"33%"},     {0, 3, 2, L"66%"},   {0, 3, 3, L"100%"},
        {0, 100, 150, L"50%"}, {0, 100, 200, L"0%"}, {10, 20, 15, L"50%"}, {0, 100000, 50000, L"50%"},
    };
    for (const auto& c : cases)
    {
        dialog.SetRange(c.lower, c.upper);
        dialog.SetPos(c.position);
        EXPECT_EQ(c.shown, Percent(dialog)) << c.lower << ".." << c.upper << " at " << c.position;
    }
    // The bar itself takes 16-bit bounds.
    PBRANGE range = {};
    SendDlgItemMessageW(dialog.m_hWnd, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(100000 & 0xFFFF, range.iHigh);
}

TEST_F(ProgressDialogTest, CancelEscapeAndCloseBoxRaiseTheFlagOnceAndKeepTheDialog)
{
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(CWnd::FromHandle(m_owner)));
    dialog.ShowWindow(SW_SHOWNORMAL);
    EXPECT_FALSE(dialog.CheckCancelButton());

    // Enter does nothing.
    SendMessageW(dialog.m_hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(dialog.CheckCancelButton());

    // The Cancel button, pressed while the batch works: seen at the next check, once.
    PostMessageW(GetDlgItem(dialog.m_hWnd, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(dialog.CheckCancelButton());
    EXPECT_FALSE(dialog.CheckCancelButton());

    // Escape through the dialog's keyboard handling.
    HWND focus = GetDlgItem(dialog.m_hWnd, IDCANCEL);
    SetFocus(focus);
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(dialog.CheckCancelButton());

    SendMessageW(dialog.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(dialog.CheckCancelButton());
    EXPECT_TRUE(IsWindow(dialog.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd));
}

TEST_F(ProgressDialogTest, DestroyingTheObjectClosesTheWindowAndEnablesTheOwner)
{
    HWND window = nullptr;
    {
        CProgressDlg dialog;
        ASSERT_TRUE(dialog.Create(CWnd::FromHandle(m_owner)));
        window = dialog.m_hWnd;
        PostMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
        dialog.CheckCancelButton();
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(ProgressDialogTest, ADisabledOwnerStaysDisabled)
{
    EnableWindow(m_owner, FALSE);
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(CWnd::FromHandle(m_owner)));
    dialog.DestroyWindow();
    EXPECT_FALSE(IsWindowEnabled(m_owner));
}
}
