// The two rules the skin engine depends on: the framework's creation hook attaches and
// subclasses before hooks installed earlier see the window, and the default procedures
// are called through the program's import table each time.
#include <gtest/gtest.h>

#include "afxwin.h"
#include "windowtesting.h"

#include <string>
#include <vector>

namespace
{
// Stands in for the skin engine's hook: installed before any framework creation, it
// passes the creation on first and then looks at the window, as the skin does.
class EarlierCbtHook
{
public:
    struct Seen
    {
        HWND hWnd;
        std::wstring className;
        bool attached;
        bool subclassed;
    };

    EarlierCbtHook()
    {
        s_instance = this;
        m_hHook = SetWindowsHookExW(WH_CBT, Proc, nullptr, GetCurrentThreadId());
    }
    ~EarlierCbtHook()
    {
        UnhookWindowsHookEx(m_hHook);
        s_instance = nullptr;
    }

    const Seen* Find(HWND hWnd) const
    {
        for (const Seen& seen : m_seen)
            if (seen.hWnd == hWnd)
                return &seen;
        return nullptr;
    }
    const std::vector<Seen>& All() const { return m_seen; }

private:
    static LRESULT CALLBACK Proc(int nCode, WPARAM wParam, LPARAM lParam)
    {
        const LRESULT result = CallNextHookEx(s_instance->m_hHook, nCode, wParam, lParam);
        if (nCode == HCBT_CREATEWND)
        {
            auto hWnd = reinterpret_cast<HWND>(wParam);
            wchar_t className[64] = {};
            GetClassNameW(hWnd, className, 64);
            const auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
            s_instance->m_seen.push_back(
                {hWnd, className, CWnd::FromHandlePermanent(hWnd) != nullptr, proc == AfxGetAfxWndProc()});
        }
        return result;
    }

    static EarlierCbtHook* s_instance;
    HHOOK m_hHook;
    std::vector<Seen> m_seen;
};
EarlierCbtHook* EarlierCbtHook::s_instance = nullptr;

DialogTemplate TwoControlDialog()
{
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, L"Hooked", 160, 80);
    dialog.Add(L"EDIT", L"", 1000, WS_BORDER | WS_TABSTOP, 10, 10, 100, 12)
        .Add(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 40, 50, 14);
    return dialog;
}
}

TEST(CreationHook, EarlierHooksSeeTheFrameworkWindowAttachedAndSubclassed)
{
    EarlierCbtHook earlier;

    CWnd topLevel;
    ASSERT_TRUE(topLevel.CreateEx(0, nullptr, L"top", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, nullptr, L"child", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, topLevel.m_hWnd,
                               reinterpret_cast<HMENU>(5)));
    DialogTemplate dialogTemplate = TwoControlDialog();
    CDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(dialogTemplate.Get()));

    struct Case
    {
        const char* name;
        HWND hWnd;
    } cases[] = {{"top-level window", topLevel.m_hWnd}, {"child window", child.m_hWnd}, {"modeless dialog", dialog.m_hWnd}};
    for (const Case& c : cases)
    {
        const EarlierCbtHook::Seen* seen = earlier.Find(c.hWnd);
        ASSERT_NE(nullptr, seen) << c.name;
        EXPECT_TRUE(seen->attached) << c.name;
        EXPECT_TRUE(seen->subclassed) << c.name;
    }

    // The dialog's controls and other windows made meanwhile (Wine's "IME") stay alone.
    for (const EarlierCbtHook::Seen& seen : earlier.All())
    {
        if (seen.hWnd == topLevel.m_hWnd || seen.hWnd == child.m_hWnd || seen.hWnd == dialog.m_hWnd)
            continue;
        EXPECT_FALSE(seen.attached) << "class " << std::string(seen.className.begin(), seen.className.end());
        EXPECT_FALSE(seen.subclassed);
    }
    EXPECT_NE(nullptr, earlier.Find(GetDlgItem(dialog.m_hWnd, 1000)));
    dialog.DestroyWindow();
    topLevel.DestroyWindow();
}

TEST(CreationHook, IsRemovedOnceTheWindowIsAttached)
{
    CWnd framework;
    ASSERT_TRUE(framework.CreateEx(0, nullptr, L"framework", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND plain = CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(plain));
    EXPECT_NE(reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc()), GetWindowLongPtrW(plain, GWLP_WNDPROC));
    DestroyWindow(plain);
    framework.DestroyWindow();
    EXPECT_EQ(nullptr, framework.m_hWnd);
}

// ---------------------------------------------------------------------------------------
// Default procedures through the import table

namespace
{
struct ImportCounts
{
    int defWindowProc = 0;
    int callWindowProc = 0;
    std::vector<UINT> callWindowProcMessages;
};
ImportCounts g_counts;

LRESULT WINAPI CountingDefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++g_counts.defWindowProc;
    static const auto real = reinterpret_cast<WNDPROC>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "DefWindowProcW")));
    return real(hWnd, message, wParam, lParam);
}

LRESULT WINAPI CountingCallWindowProc(WNDPROC proc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++g_counts.callWindowProc;
    g_counts.callWindowProcMessages.push_back(message);
    using CallWindowProcFn = LRESULT(WINAPI*)(WNDPROC, HWND, UINT, WPARAM, LPARAM);
    static const auto real = reinterpret_cast<CallWindowProcFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "CallWindowProcW")));
    return real(proc, hWnd, message, wParam, lParam);
}

bool Contains(const std::vector<UINT>& messages, UINT message)
{
    for (UINT m : messages)
        if (m == message)
            return true;
    return false;
}

const UINT kUnhandled = WM_APP + 17;
}

TEST(DefaultProcedures, AreReachedThroughTheImportTableAfterItWasRewritten)
{
    // Windows made, and default procedures called once, before the rewrite: a pointer
    // cached now would miss the replacements.
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"window", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    DialogTemplate dialogTemplate = TwoControlDialog();
    CDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(dialogTemplate.Get()));
    HWND unmappedWindow = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWnd unmapped(unmappedWindow);  // as the skin's objects: m_hWnd set by hand, no saved procedure
    window.SendMessage(kUnhandled);
    dialog.SendMessage(kUnhandled);
    unmapped.SendMessage(kUnhandled);

    g_counts = ImportCounts();
    {
        ImportSlotPatch defWindowProc("DefWindowProcW", reinterpret_cast<void*>(&CountingDefWindowProc));
        ImportSlotPatch callWindowProc("CallWindowProcW", reinterpret_cast<void*>(&CountingCallWindowProc));
        ASSERT_TRUE(defWindowProc.IsApplied());
        ASSERT_TRUE(callWindowProc.IsApplied());

        window.SendMessage(kUnhandled);
        EXPECT_TRUE(Contains(g_counts.callWindowProcMessages, kUnhandled)) << "framework window";

        g_counts.callWindowProcMessages.clear();
        dialog.SendMessage(kUnhandled);
        EXPECT_TRUE(Contains(g_counts.callWindowProcMessages, kUnhandled)) << "framework dialog";

        // WM_CTLCOLOR* of a framework dialog goes to the default procedure unchanged.
        g_counts.callWindowProcMessages.clear();
        HDC hDC = GetDC(dialog.m_hWnd);
        dialog.SendMessage(WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(dialog.m_hWnd));
        dialog.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(hDC),
                           reinterpret_cast<LPARAM>(GetDlgItem(dialog.m_hWnd, 1000)));
        ReleaseDC(dialog.m_hWnd, hDC);
        EXPECT_TRUE(Contains(g_counts.callWindowProcMessages, WM_CTLCOLORDLG));
        EXPECT_TRUE(Contains(g_counts.callWindowProcMessages, WM_CTLCOLOREDIT));

        const int before = g_counts.defWindowProc;
        AfxGetThreadState()->m_lastSentMsg.message = kUnhandled;  // as the skin sets it
        unmapped.Default();
        EXPECT_EQ(before + 1, g_counts.defWindowProc) << "object in no handle map";
    }
    unmapped.m_hWnd = nullptr;
    DestroyWindow(unmappedWindow);
    dialog.DestroyWindow();
    window.DestroyWindow();
}

TEST(DefaultProcedures, UnknownRegisteredMessagesGetTheDefaultAnswer)
{
    // The skin asks framework windows whether they opt out; the default answer is 0.
    const UINT queryState = RegisterWindowMessageW(L"WM_TAVREL_QUERYSTATE");
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"window", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    DialogTemplate dialogTemplate = TwoControlDialog();
    CDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(dialogTemplate.Get()));
    EXPECT_EQ(0, window.SendMessage(queryState));
    EXPECT_EQ(0, dialog.SendMessage(queryState));
    dialog.DestroyWindow();
    window.DestroyWindow();
}
