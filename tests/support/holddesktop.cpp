// Holds Wine's desktop open during a test run: without a window the desktop process
// exits a second after each test program and the next one pays for its restart.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    HWND window = CreateWindowW(L"STATIC", L"holddesktop", WS_POPUP, 0, 0, 1, 1,
                                nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (window && GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
