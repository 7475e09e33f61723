// The application object: message boxes, the help command, the message loop, settings key.
#include <gtest/gtest.h>

#include "afxwin.h"
#include "windowtesting.h"

#include <string>

namespace
{
struct RecordedBox
{
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
    int calls = 0;
};
RecordedBox g_box;
int g_answer = IDOK;

int RecordBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    g_box.text = lpszText;
    g_box.caption = lpszCaption ? lpszCaption : L"";
    g_box.type = nType;
    ++g_box.calls;
    return g_answer;
}

// Sets the message-box seam for one test.
class MessageBoxSeam
{
public:
    explicit MessageBoxSeam(int answer) : m_previous(AfxSetMessageBoxHandler(RecordBox))
    {
        g_box = RecordedBox();
        g_answer = answer;
    }
    ~MessageBoxSeam() { AfxSetMessageBoxHandler(m_previous); }

private:
    AFX_MESSAGEBOX_HANDLER m_previous;
};

// A top-level window that offers help, as the wizard sheet does.
class HelpWindow : public CWnd
{
public:
    int helpCalls = 0;
    void WinHelp(DWORD_PTR, UINT) override { ++helpCalls; }
};

class TestApp : public CWinAppEx
{
public:
    TestApp() : CWinAppEx(TRUE) {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinAppEx)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()
}

TEST(MessageBox, CaptionIconAndAnswerThroughTheSeam)
{
    TestApp app;
    ASSERT_EQ(&app, AfxGetApp());
    MessageBoxSeam seam(IDCANCEL);
    struct Case
    {
        UINT type;
        UINT expected;
    } cases[] = {{MB_OK, MB_OK | MB_ICONEXCLAMATION},
                 {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
                 {MB_YESNO, MB_YESNO | MB_ICONQUESTION},
                 {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONQUESTION},
                 {MB_OK | MB_ICONSTOP, MB_OK | MB_ICONSTOP}};
    for (const Case& c : cases)
    {
        EXPECT_EQ(IDCANCEL, AfxMessageBox(L"Sorry,Cannot load skin file.", c.type));
        EXPECT_EQ(L"Sorry,Cannot load skin file.", g_box.text);
        EXPECT_EQ(std::wstring(app.m_pszAppName), g_box.caption);
        EXPECT_EQ(c.expected, g_box.type);
    }
    EXPECT_EQ(std::wstring(L"framework_tests"), app.m_pszAppName) << "the exe's name without a title string";

    // A window's own box keeps the caller's caption and type.
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(IDCANCEL, owner.MessageBox(L"Remove all?", L"Please confirm", MB_OKCANCEL));
    EXPECT_EQ(L"Please confirm", g_box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL), g_box.type);
    owner.DestroyWindow();
}

TEST(MessageBox, WithoutAnApplicationTheExeNameIsTheCaption)
{
    ASSERT_EQ(nullptr, AfxGetApp());
    MessageBoxSeam seam(IDOK);
    EXPECT_EQ(IDOK, AfxMessageBox(L"text"));
    EXPECT_EQ(L"framework_tests", g_box.caption);
}

TEST(Help, HelpFromAChildOrTheMainWindowReachesTheMainWindowsWinHelp)
{
    TestApp app;
    HelpWindow main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr));
    app.m_pMainWnd = &main;

    // ID_HELP that the main window does not handle goes to the application's OnHelp.
    main.SendMessage(WM_COMMAND, ID_HELP);
    EXPECT_EQ(1, main.helpCalls);

    // F1 on a child dialog (a page): WM_HELP travels up to the top level.
    DialogTemplate pageTemplate(WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_SETFONT, L"", 100, 50);
    pageTemplate.Add(L"EDIT", L"", 1000, WS_BORDER, 5, 5, 50, 12);
    CDialog page;
    ASSERT_TRUE(page.CreateIndirect(pageTemplate.Get(), &main));
    HELPINFO info = {sizeof(HELPINFO), HELPINFO_WINDOW, 1000, ::GetDlgItem(page.m_hWnd, 1000), 0, {0, 0}};
    page.SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(2, main.helpCalls);

    // A skin object dispatching WM_HELP through its map starts no help.
    CWnd skinLike;
    skinLike.m_hWnd = main.m_hWnd;
    LRESULT result = 0;
    EXPECT_FALSE(skinLike.OnWndMsg(WM_HELP, 0, reinterpret_cast<LPARAM>(&info), &result));
    skinLike.m_hWnd = nullptr;
    EXPECT_EQ(2, main.helpCalls);

    main.DestroyWindow();
    EXPECT_EQ(nullptr, app.m_pMainWnd) << "a destroyed main window is no longer the main window";
    PumpMessages();  // the quit message that ends the main window's thread
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
}

namespace
{
class KeyWatchingWindow : public CWnd
{
public:
    int preTranslated = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_APP + 5)
            ++preTranslated;
        return FALSE;
    }
    // Ends the loop some time after the posted messages, so that the loop was idle once.
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        KillTimer(nIDEvent);
        AfxPostQuitMessage(7);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KeyWatchingWindow, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class CountingThread : public CWinThread
{
public:
    int idles = 0;
    BOOL OnIdle(LONG lCount) override
    {
        ++idles;
        return CWinThread::OnIdle(lCount);
    }
};
}

TEST(MessageLoop, RunsPreTranslationAndIdleUntilQuit)
{
    CountingThread thread;
    KeyWatchingWindow main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    thread.m_pMainWnd = &main;
    _AFX_THREAD_STATE* pState = AfxGetThreadState();
    CWinThread* previous = pState->m_pCurrentWinThread;
    pState->m_pCurrentWinThread = &thread;

    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWnd::FromHandle(other);  // a temporary that idle time releases
    PostMessageW(main.m_hWnd, WM_APP + 5, 0, 0);
    PostMessageW(other, WM_APP + 5, 0, 0);  // another top-level window: the main window still sees it
    main.SetTimer(1, 20);

    EXPECT_EQ(7, thread.Run());
    EXPECT_EQ(2, main.preTranslated);
    EXPECT_GE(thread.idles, 1);
    EXPECT_EQ(0, pState->m_tempWindows.GetCount());

    pState->m_pCurrentWinThread = previous;
    thread.m_pMainWnd = nullptr;
    DestroyWindow(other);
    main.DestroyWindow();
}

TEST(MessageLoop, PumpMessageReportsQuit)
{
    CWinThread thread;
    PostQuitMessage(3);
    EXPECT_FALSE(thread.PumpMessage());
    EXPECT_EQ(3u, thread.m_msgCur.wParam);
}

TEST(Settings, RegistryKeyOfTheApplication)
{
    TestApp app;
    EXPECT_EQ(nullptr, app.GetAppRegistryKey()) << "no key before SetRegistryKey";
    app.SetRegistryKey(L"QuilbrookTests");
    EXPECT_EQ(std::wstring(L"QuilbrookTests"), app.m_pszRegistryKey);
    EXPECT_EQ(std::wstring(app.m_pszAppName), app.m_pszProfileName);
    HKEY hKey = app.GetAppRegistryKey();
    ASSERT_NE(nullptr, hKey);
    RegCloseKey(hKey);
    HKEY opened = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\QuilbrookTests\\framework_tests", 0,
                                           KEY_READ, &opened));
    RegCloseKey(opened);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QuilbrookTests\\framework_tests");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QuilbrookTests");
}

TEST(Settings, DelRegTreeRemovesAKeyWithEverythingBelowIt)
{
    TestApp app;
    HKEY created = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\QuilbrookTree\\a\\b", 0, nullptr, 0,
                                             KEY_WRITE, nullptr, &created, nullptr));
    RegCloseKey(created);
    HKEY software = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, &software));
    EXPECT_EQ(ERROR_SUCCESS, app.DelRegTree(software, CString(L"QuilbrookTree")));
    HKEY gone = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(software, L"QuilbrookTree", 0, KEY_READ, &gone));
    RegCloseKey(software);
}

TEST(Settings, PrinterDefaultsAreTheApplicationsOrNone)
{
    TestApp app;
    PRINTDLG pd = {};
    pd.lStructSize = sizeof(pd);
    if (app.GetPrinterDeviceDefaults(&pd))
    {
        EXPECT_NE(nullptr, pd.hDevNames);
        PRINTDLG again = {};
        EXPECT_TRUE(app.GetPrinterDeviceDefaults(&again));
        EXPECT_EQ(pd.hDevNames, again.hDevNames) << "kept by the application";
    }
    else
    {
        EXPECT_EQ(nullptr, pd.hDevNames);  // Wine without printers
    }
}
