// A wizard of two pages under Wine, driven by messages from a timer script that runs inside
// the sheet's own modal loop: notifications in their order, the buttons each page sets, F1,
// Escape, and the objects the framework attached.
#include <gtest/gtest.h>

#include "afxdlgs.h"
#include "windowtesting.h"

#include <functional>
#include <string>
#include <vector>

namespace
{
const UINT kFirstTemplate = 117;
const UINT kSecondTemplate = 118;
const int kEditId = 1000;
const int kBackButton = 0x3023;
const int kNextButton = 0x3024;
const int kFinishButton = 0x3025;

// A page: a caption and one edit control.
DialogTemplate PageTemplate(const wchar_t* caption)
{
    DialogTemplate page(DS_SETFONT | WS_CHILD | WS_DISABLED | WS_CAPTION, caption, 200, 100);
    page.Add(L"EDIT", L"", kEditId, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 100, 14);
    return page;
}

std::vector<std::string> g_log;

class RecordingPage : public CPropertyPage
{
public:
    RecordingPage(UINT id, const char* name, DWORD buttons, const DialogTemplate& pageTemplate)
        : CPropertyPage(id), m_name(name), m_buttons(buttons)
    {
        m_psp.dwFlags |= PSP_DLGINDIRECT;
        m_psp.pResource = pageTemplate.Get();
    }

    LRESULT m_nextAnswer = 0;
    BOOL m_finishAnswer = TRUE;
    CWnd* m_parentSeen = nullptr;

    BOOL OnInitDialog() override
    {
        Log("INITDIALOG");
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override
    {
        Log("SETACTIVE");
        m_parentSeen = GetParent();
        static_cast<CPropertySheet*>(GetParent())->SetWizardButtons(m_buttons);
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        Log("KILLACTIVE");
        return CPropertyPage::OnKillActive();
    }
    LRESULT OnWizardNext() override
    {
        Log("WIZNEXT");
        return m_nextAnswer;
    }
    LRESULT OnWizardBack() override
    {
        Log("WIZBACK");
        return 0;
    }
    BOOL OnWizardFinish() override
    {
        Log("WIZFINISH");
        return m_finishAnswer;
    }
    BOOL OnQueryCancel() override
    {
        Log("QUERYCANCEL");
        return TRUE;
    }
    void OnReset() override { Log("RESET"); }

private:
    void Log(const char* what) { g_log.push_back(m_name + ":" + what); }

    std::string m_name;
    DWORD m_buttons;
};

class RecordingSheet : public CPropertySheet
{
public:
    RecordingSheet() : CPropertySheet(L"Quilbrook") {}

    std::vector<std::pair<DWORD_PTR, int>> helpRequests;  // help data, active index

    BOOL OnInitDialog() override
    {
        const BOOL result = CPropertySheet::OnInitDialog();
        GetDlgItem(IDCANCEL)->SetWindowText(L"&Exit");
        return result;
    }
    void WinHelp(DWORD_PTR dwData, UINT) override
    {
        helpRequests.emplace_back(dwData, GetActiveIndex());
    }
};

// Steps run one per timer tick inside the sheet's loop; a sheet left open is cancelled.
std::vector<std::function<void()>> g_steps;
size_t g_nextStep = 0;
CPropertySheet* g_pSheet = nullptr;
HWND g_sheet = nullptr;

void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD)
{
    g_sheet = g_pSheet->m_hWnd;
    if (g_sheet == nullptr)
        return;
    if (g_nextStep < g_steps.size())
        g_steps[g_nextStep++]();
    else
        PropSheet_PressButton(g_sheet, PSBTN_CANCEL);
}

bool ButtonShown(int id)
{
    HWND button = GetDlgItem(g_sheet, id);
    return IsWindowVisible(button) && IsWindowEnabled(button);
}

HWND PageEdit()
{
    return GetDlgItem(PropSheet_GetCurrentPageHwnd(g_sheet), kEditId);
}

void Click(int id)
{
    SendMessageW(GetDlgItem(g_sheet, id), BM_CLICK, 0, 0);
}

void PostKey(HWND target, UINT key)
{
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

// Stands in for the skin engine's hook: installed before the sheet exists, it passes each
// creation on first and then looks at what the framework has done to the dialogs.
HHOOK g_earlierHook = nullptr;
int g_dialogsCreated = 0;
int g_dialogsReadyForTheSkin = 0;

LRESULT CALLBACK EarlierHook(int code, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallNextHookEx(g_earlierHook, code, wParam, lParam);
    if (code == HCBT_CREATEWND)
    {
        const HWND hWnd = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(hWnd, className, 16);
        if (lstrcmpW(className, L"#32770") == 0)
        {
            ++g_dialogsCreated;
            const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
            if (CWnd::FromHandlePermanent(hWnd) != nullptr && procedure == AfxGetAfxWndProc())
                ++g_dialogsReadyForTheSkin;
        }
    }
    return result;
}

// Help needs a real key: Wine makes WM_HELP only from keyboard input, not from posted keys.
void PressKey(HWND focus, WORD key)
{
    SetForegroundWindow(g_sheet);
    SetFocus(focus);
    SendKey(key);
}
}

TEST(PropertySheetWizard, NotificationsButtonsHelpAndCancelUnderWine)
{
    const DialogTemplate firstTemplate = PageTemplate(L"First step");
    const DialogTemplate secondTemplate = PageTemplate(L"Second step");
    RecordingPage first(kFirstTemplate, "first", PSWIZB_NEXT, firstTemplate);
    RecordingPage second(kSecondTemplate, "second", PSWIZB_BACK | PSWIZB_FINISH, secondTemplate);
    RecordingSheet sheet;
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.SetWizardMode();

    g_log.clear();
    g_nextStep = 0;
    g_pSheet = &sheet;
    struct Seen
    {
        std::vector<std::string> atStart, afterStay, afterNext, afterFinish, afterHelp, afterBack;
        bool sheetAttached = false, pagesAttached = false, proceduresOurs = false;
        bool backAtStart = true, nextAtStart = false, finishAtStart = true;
        bool nextOnSecond = true, finishOnSecond = false, backOnSecond = false;
        int indexAfterStay = -1, indexAfterFinish = -1, indexAfterBack = -1;
        std::wstring cancelText, title;
    } seen;

    g_steps = {
        [&] {
            seen.atStart = g_log;
            seen.sheetAttached = CWnd::FromHandlePermanent(g_sheet) == &sheet;
            seen.pagesAttached = CWnd::FromHandlePermanent(first.m_hWnd) == &first &&
                                 first.m_hWnd == PropSheet_GetCurrentPageHwnd(g_sheet);
            const auto ours = reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc());
            seen.proceduresOurs = GetWindowLongPtrW(g_sheet, GWLP_WNDPROC) == ours &&
                                  GetWindowLongPtrW(first.m_hWnd, GWLP_WNDPROC) == ours;
            seen.backAtStart = ButtonShown(kBackButton);
            seen.nextAtStart = ButtonShown(kNextButton);
            seen.finishAtStart = ButtonShown(kFinishButton);
            wchar_t text[64] = {};
            GetDlgItemTextW(g_sheet, IDCANCEL, text, 64);
            seen.cancelText = text;
            GetWindowTextW(g_sheet, text, 64);
            seen.title = text;
            first.m_nextAnswer = -1;
            g_log.clear();
            Click(kNextButton);
        },
        [&] {
            seen.afterStay = g_log;
            seen.indexAfterStay = sheet.GetActiveIndex();
            first.m_nextAnswer = 0;
            g_log.clear();
            Click(kNextButton);
        },
        [&] {
            seen.afterNext = g_log;
            seen.nextOnSecond = ButtonShown(kNextButton);
            seen.finishOnSecond = ButtonShown(kFinishButton);
            seen.backOnSecond = ButtonShown(kBackButton);
            second.m_finishAnswer = FALSE;
            g_log.clear();
            Click(kFinishButton);
        },
        [&] {
            seen.afterFinish = g_log;
            seen.indexAfterFinish = sheet.GetActiveIndex();
            g_log.clear();
            PressKey(PageEdit(), VK_F1);
        },
        [&] {
            seen.afterHelp = g_log;
            g_log.clear();
            Click(kBackButton);
        },
        [&] {
            seen.afterBack = g_log;
            seen.indexAfterBack = sheet.GetActiveIndex();
            g_log.clear();
            PostKey(PageEdit(), VK_ESCAPE);
        },
    };

    g_dialogsCreated = g_dialogsReadyForTheSkin = 0;
    g_earlierHook = SetWindowsHookExW(WH_CBT, EarlierHook, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, 60, RunNextStep);
    const INT_PTR result = sheet.DoModal();
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(g_earlierHook);

    // The sheet and both pages were the framework's before the earlier hook saw them.
    EXPECT_EQ(3, g_dialogsCreated);
    EXPECT_EQ(3, g_dialogsReadyForTheSkin);

    using Log = std::vector<std::string>;
    EXPECT_EQ((Log{"first:INITDIALOG", "first:SETACTIVE"}), seen.atStart);
    EXPECT_TRUE(seen.sheetAttached);
    EXPECT_TRUE(seen.pagesAttached);
    EXPECT_TRUE(seen.proceduresOurs);
    EXPECT_EQ(&sheet, first.m_parentSeen);
    EXPECT_EQ(&sheet, second.m_parentSeen);
    EXPECT_FALSE(seen.backAtStart);
    EXPECT_TRUE(seen.nextAtStart);
    EXPECT_FALSE(seen.finishAtStart);
    EXPECT_EQ(L"&Exit", seen.cancelText);
    EXPECT_EQ(L"First step", seen.title);

    // Next answered -1: the page stays and hears nothing else.
    EXPECT_EQ((Log{"first:WIZNEXT"}), seen.afterStay);
    EXPECT_EQ(0, seen.indexAfterStay);
    EXPECT_EQ((Log{"first:WIZNEXT", "first:KILLACTIVE", "second:INITDIALOG", "second:SETACTIVE"}),
              seen.afterNext);
    EXPECT_TRUE(seen.backOnSecond);
    EXPECT_TRUE(seen.finishOnSecond);
    EXPECT_FALSE(seen.nextOnSecond);

    // Finish answered FALSE: only the finish notification, and the sheet stays open.
    EXPECT_EQ((Log{"second:WIZFINISH"}), seen.afterFinish);
    EXPECT_EQ(1, seen.indexAfterFinish);

    // F1 in the page's edit reaches the sheet's WinHelp while the index is known.
    ASSERT_EQ(1u, sheet.helpRequests.size());
    EXPECT_EQ(0x20000u + kSecondTemplate, sheet.helpRequests[0].first);
    EXPECT_EQ(1, sheet.helpRequests[0].second);

    EXPECT_TRUE(seen.afterHelp.empty());

    // Back: the page is told, let go, and the earlier page comes again.
    EXPECT_EQ((Log{"second:WIZBACK", "second:KILLACTIVE", "first:SETACTIVE"}), seen.afterBack);
    EXPECT_EQ(0, seen.indexAfterBack);

    // Escape: the active page may refuse, then every page made hears the reset.
    EXPECT_EQ((Log{"first:QUERYCANCEL", "first:RESET", "second:RESET"}), g_log);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(nullptr, sheet.m_hWnd);
    EXPECT_EQ(nullptr, first.m_hWnd);
    EXPECT_EQ(nullptr, second.m_hWnd);
}
