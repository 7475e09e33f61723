// Message pumps and real input for tests that drive windows: one of each for every test program.
#pragma once

#include <windows.h>

#include <functional>

// Handles the messages waiting for this thread; a quit message taken among them leaves its
// exit code in quitCode when one is given.
void PumpMessages(int* quitCode = nullptr);
// Pumps this thread's messages until the condition holds; false when it does not within
// about five seconds.
bool PumpUntil(const std::function<bool()>& condition);
// Waits (handling no message) until the condition holds, for a condition another thread
// makes true; false when it does not within about five seconds.
bool WaitUntil(const std::function<bool()>& condition);

// Mouse input as the system delivers it, in one SendInput call. With MOUSEEVENTF_MOVE among
// the flags the pointer moves to `screen` first: a point of the primary screen in pixels,
// which SendInput takes in absolute units of 65536 per screen width or height and converts
// back as units * size / 65536; the units are rounded up so that the pixel itself is hit.
// Without it the button events happen where the pointer is and `screen` is ignored.
void SendMouse(DWORD flags, POINT screen = {0, 0});
// A key pressed and released, as the system delivers it to the focused window.
void SendKey(WORD key);
