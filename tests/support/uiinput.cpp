#include "uiinput.h"

namespace
{
const int kRounds = 200;
const DWORD kRoundMilliseconds = 25;

LONG AbsoluteUnits(LONG pixel, int screenSize)
{
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + screenSize - 1) / screenSize);
}
}  // namespace

void PumpMessages(int* quitCode)
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_QUIT && quitCode != nullptr)
            *quitCode = static_cast<int>(message.wParam);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition)
{
    for (int round = 0; round < kRounds; ++round)
    {
        PumpMessages();
        if (condition())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kRoundMilliseconds, QS_ALLINPUT);
    }
    PumpMessages();
    return condition();
}

bool WaitUntil(const std::function<bool()>& condition)
{
    for (int round = 0; round < kRounds; ++round)
    {
        if (condition())
            return true;
        Sleep(kRoundMilliseconds);
    }
    return condition();
}

void SendMouse(DWORD flags, POINT screen)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE)
    {
        input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = AbsoluteUnits(screen.x, GetSystemMetrics(SM_CXSCREEN));
        input.mi.dy = AbsoluteUnits(screen.y, GetSystemMetrics(SM_CYSCREEN));
    }
    SendInput(1, &input, sizeof(input));
}

void SendKey(WORD key)
{
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}
