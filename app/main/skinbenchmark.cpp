// The skin engine's cost, measured by scripts/skinbenchmark.sh:
//   wizard: the time from the process's start to the wizard's first page, then 1000 repaints
//           of the wizard (frame and client); run once with .\skin.skin in the working
//           folder and once without.
//   messages: 100 000 messages sent to a skinned and to an unskinned window of one class.
#include "common/hlmsystemhelpers.h"
#include "hlmskinmanager.h"
#include "hlmskinobject.h"
#include "quilbrookapp.h"
#include "quilbrookwizard.h"

#include <cstdio>
#include <string>

CQuilbrookApp theApp;

namespace
{
// Seconds since this process was created.
double SinceProcessStart()
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER start = {{created.dwLowDateTime, created.dwHighDateTime}};
    ULARGE_INTEGER end = {{now.dwLowDateTime, now.dwHighDateTime}};
    return static_cast<double>(end.QuadPart - start.QuadPart) / 1e7;
}

const int kRepaints = 1000;
double g_firstPage = 0;
double g_repaint = 0;

int AnswerMessageBox(LPCTSTR, LPCTSTR, UINT)
{
    return IDOK;
}

// Runs once the wizard's loop waits for input: its first page is on the screen.
void CALLBACK OnFirstPage(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    g_firstPage = SinceProcessStart();
    CWnd* wizard = theApp.m_pMainWnd;
    if (wizard == nullptr)
        return;
    const double start = PerformanceSeconds();
    for (int i = 0; i < kRepaints; ++i)
        RedrawWindow(wizard->m_hWnd, nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    g_repaint = PerformanceSeconds() - start;
    PostMessageW(wizard->m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

int MeasureWizard()
{
    AfxSetMessageBoxHandler(&AnswerMessageBox);
    const UINT_PTR timer = SetTimer(nullptr, 0, 0, &OnFirstPage);
    theApp.InitInstance();
    KillTimer(nullptr, timer);
    wprintf(L"skin %d firstpage %.4f repaint %.4f\n", GetSkinManager()->IsEnabled(), g_firstPage, g_repaint);
    return 0;
}

LRESULT CALLBACK ProgramWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

// Seconds for count messages sent to the window, each handed on to DefWindowProc.
double SendMessages(HWND hWnd, int count)
{
    const double start = PerformanceSeconds();
    for (int i = 0; i < count; ++i)
        SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0);
    return PerformanceSeconds() - start;
}

int MeasureMessages(const wchar_t* skinPath)
{
    CHLMSkinManager* manager = GetSkinManager();
    if (!manager->LoadSkin(skinPath, nullptr))
    {
        fwprintf(stderr, L"cannot load %ls\n", skinPath);
        return 1;
    }
    WNDCLASSW windowClass = {};
    WNDPROC procedure = &ProgramWindowProc;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SkinBenchmarkWindow";
    RegisterClassW(&windowClass);
    auto create = [] {
        return CreateWindowExW(0, L"SkinBenchmarkWindow", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    };
    HWND skinned = create();
    HWND plain = create();
    // The creation hook gave both an object (the frame, where it is built); one loses it.
    if (manager->FindSkinObject(skinned) == nullptr)
        manager->AttachObject(skinned, new CHLMSkinObject(), nullptr, FALSE);
    manager->DetachSkinObject(plain);

    const int kMessages = 100000;
    double skinnedTime = 1e9, plainTime = 1e9;
    for (int round = 0; round < 5; ++round)
    {
        skinnedTime = std::min(skinnedTime, SendMessages(skinned, kMessages));
        plainTime = std::min(plainTime, SendMessages(plain, kMessages));
    }
    wprintf(L"messages %d skinned %.4f plain %.4f\n", kMessages, skinnedTime, plainTime);
    DestroyWindow(skinned);
    DestroyWindow(plain);
    return 0;
}
}

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"wizard")
        return MeasureWizard();
    if (mode == L"messages" && argc > 2)
        return MeasureMessages(argv[2]);
    fwprintf(stderr, L"usage: QuilbrookSkinBenchmark wizard\n"
                     L"       QuilbrookSkinBenchmark messages <skin file>\n");
    return 2;
}
