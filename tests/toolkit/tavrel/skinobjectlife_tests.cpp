// How long skin objects live: windows that destroy themselves while the skin changes, windows
// subclassed over the skin after their object is gone, and windows of several threads.
#include "childrun.h"
#include "hlmskinmanager.h"
#include "hlmskinobject.h"
#include "skintestsupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{
// A window that destroys itself the next time it is moved or its frame changes, once told.
BOOL g_destroyOnPosChanged = FALSE;

LRESULT CALLBACK SelfDestroyingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGED && g_destroyOnPosChanged)
    {
        g_destroyOnPosChanged = FALSE;
        ::DestroyWindow(hWnd);
        return 0;
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

// Counts what reaches the window's own procedure.
int g_ownMessages = 0;
int g_ownNcDestroys = 0;
const UINT kPing = WM_APP + 7;

LRESULT CALLBACK CountingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kPing)
    {
        ++g_ownMessages;
        return 77;
    }
    if (message == WM_NCDESTROY)
        ++g_ownNcDestroys;
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

LRESULT CALLBACK PassOnSubclass(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR)
{
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(hWnd, &PassOnSubclass, 1);
    return ::DefSubclassProc(hWnd, message, wParam, lParam);
}

HWND CreateTopLevel(const wchar_t* className)
{
    return ::CreateWindowExW(0, className, L"Life", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200, 120,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

std::wstring TestSkin()
{
    return BesideTestProgram(L"testskin.skin");
}

// A skinned window subclassed over the skin by comctl32, whose object is then detached.
HWND CreateSubclassedOverTheSkin()
{
    RegisterWindowClass(L"SkinLifeCounting", &CountingProc);
    const HWND hWnd = CreateTopLevel(L"SkinLifeCounting");
    EXPECT_NE(nullptr, GetSkinManager()->FindSkinObject(hWnd).Get());
    EXPECT_TRUE(::SetWindowSubclass(hWnd, &PassOnSubclass, 1, 0));
    return hWnd;
}
}

// Each call that tells the windows about the skin meets a window that destroys itself
// inside the frame change it causes.
TEST(SkinObjectLife, AWindowDestroyingItselfWhileTheSkinChangesIsLetGo)
{
    const ChildRunResult child =
        RunTestInChild(L"SkinObjectLife.DISABLED_AWindowDestroyingItselfWhileTheSkinChangesIsLetGo",
                       ChildRunOptions());
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

TEST(SkinObjectLife, DISABLED_AWindowDestroyingItselfWhileTheSkinChangesIsLetGo)
{
    CHLMSkinManager& manager = CleanSkinManager();
    ASSERT_TRUE(manager.LoadSkin(TestSkin().c_str(), L""));
    RegisterWindowClass(L"SkinLifeSelfDestroying", &SelfDestroyingProc);
    struct Step
    {
        const char* name;
        void (*run)(CHLMSkinManager& manager, HWND hWnd);
    };
    const Step steps[] = {
        {"LoadSkin", [](CHLMSkinManager& m, HWND) { m.LoadSkin(TestSkin().c_str(), L""); }},
        {"RefreshSkin", [](CHLMSkinManager& m, HWND) { m.RefreshSkin(); }},
        {"SetApplyOptions", [](CHLMSkinManager& m, HWND) { m.SetApplyOptions(m.GetApplyOptions()); }},
        {"HookWindowTree",
         [](CHLMSkinManager& m, HWND hWnd) {
             m.DetachSkinObject(hWnd);
             g_destroyOnPosChanged = TRUE;
             m.HookWindowTree(hWnd);
         }},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.name);
        const HWND hWnd = CreateTopLevel(L"SkinLifeSelfDestroying");
        ASSERT_NE(nullptr, manager.FindSkinObject(hWnd).Get());
        g_destroyOnPosChanged = TRUE;
        step.run(manager, hWnd);
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_EQ(nullptr, manager.FindSkinObject(hWnd).Get());
    }
    g_destroyOnPosChanged = FALSE;
    manager.LoadSkin(L"", L"");
}

// comctl32's subclassing chains to the procedure it replaced, which is the skin's: with the
// object gone, the skin's procedure still passes every message on to the window's own.
TEST(SkinObjectLife, ASubclassOverTheSkinStillReachesTheWindowAfterADetach)
{
    CleanSkinManagerScope clean;
    ASSERT_TRUE(clean.manager.LoadSkin(TestSkin().c_str(), L""));
    const HWND hWnd = CreateSubclassedOverTheSkin();
    clean.manager.DetachSkinObject(hWnd);
    EXPECT_EQ(nullptr, clean.manager.FindSkinObject(hWnd).Get());

    g_ownMessages = 0;
    EXPECT_EQ(77, ::SendMessageW(hWnd, kPing, 0, 0));
    EXPECT_EQ(1, g_ownMessages);
    // The window's painting is validated by its default processing.
    ::InvalidateRect(hWnd, nullptr, TRUE);
    ::UpdateWindow(hWnd);
    EXPECT_FALSE(::GetUpdateRect(hWnd, nullptr, FALSE));
    g_ownNcDestroys = 0;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(1, g_ownNcDestroys);
}

// Once the manager is gone, a message for such a window makes no second manager.
TEST(SkinObjectLife, AfterTheManagerIsGoneMessagesStillReachTheWindow)
{
    const ChildRunResult child = RunTestInChild(
        L"SkinObjectLife.DISABLED_AfterTheManagerIsGoneMessagesStillReachTheWindow", ChildRunOptions());
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

TEST(SkinObjectLife, DISABLED_AfterTheManagerIsGoneMessagesStillReachTheWindow)
{
    ASSERT_TRUE(GetSkinManager()->LoadSkin(TestSkin().c_str(), L""));
    const HWND hWnd = CreateSubclassedOverTheSkin();
    SetSkinManagerInstance(nullptr);

    g_ownMessages = 0;
    EXPECT_EQ(77, ::SendMessageW(hWnd, kPing, 0, 0));
    EXPECT_EQ(1, g_ownMessages);
    EXPECT_EQ(nullptr, GetSkinManagerIfCreated());
    g_ownNcDestroys = 0;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(1, g_ownNcDestroys);
    EXPECT_EQ(nullptr, GetSkinManagerIfCreated());
}

// Two threads each with a skinned window load and unload the skin while both paint, and a
// third loads and frees modules (which the import-table rewriter hooks as they come).
TEST(SkinObjectLife, WindowsOfSeveralThreadsSurviveSkinChangesAndModuleLoads)
{
    const ChildRunResult child = RunTestInChild(
        L"SkinObjectLife.DISABLED_WindowsOfSeveralThreadsSurviveSkinChangesAndModuleLoads",
        ChildRunOptions());
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

TEST(SkinObjectLife, DISABLED_WindowsOfSeveralThreadsSurviveSkinChangesAndModuleLoads)
{
    CHLMSkinManager& manager = *GetSkinManager();
    ASSERT_TRUE(manager.LoadSkin(TestSkin().c_str(), L""));
    RegisterWindowClass(L"SkinLifeCounting", &CountingProc);
    const int kRounds = 12;
    std::atomic<int> painted(0);
    std::atomic<bool> windowsDone(false);
    auto windowThread = [&](BOOL loads) {
        CHLMSkinManager::HookCurrentThread();
        const HWND hWnd = CreateTopLevel(L"SkinLifeCounting");
        // Child windows come and go on this thread while the other walks the map.
        for (int round = 0; round < kRounds; ++round)
        {
            const HWND child = ::CreateWindowExW(0, L"Button", L"b", WS_CHILD | WS_VISIBLE, 5, 5, 60,
                                                 20, hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
            if (loads && round % 2 == 0)
                manager.LoadSkin(TestSkin().c_str(), L"");
            else if (loads)
                manager.LoadSkin(L"", L"");
            ::RedrawWindow(hWnd, nullptr, nullptr,
                           RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            ++painted;
            ::DestroyWindow(child);
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
        }
        ::DestroyWindow(hWnd);
    };
    std::thread modules([&] {
        while (!windowsDone)
        {
            if (HMODULE module = ::LoadLibraryW(L"reslib.dll"))
                ::FreeLibrary(module);
        }
    });
    std::thread first(windowThread, TRUE);
    std::thread second(windowThread, TRUE);
    // Meanwhile this thread's cross-thread calls (broadcasts of the others) are answered.
    while (painted < 2 * kRounds)
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(1);
    }
    first.join();
    second.join();
    windowsDone = true;
    modules.join();
    EXPECT_EQ(2 * kRounds, painted.load());
    manager.LoadSkin(L"", L"");
}
