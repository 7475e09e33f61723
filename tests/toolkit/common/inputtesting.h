// Real mouse and keyboard input for tests of modal loops and mouse hooks: SendInput as the
// system delivers it, recording windows, and reads of the screen through the desktop's DC.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// Mouse input at a screen point: a move there, then the given button events (none: only the
// move).
void SendMouse(POINT screen, std::vector<DWORD> buttonFlags = {});
void SendKey(WORD key);

// A top-level popup of a window class whose procedure records the mouse messages it gets.
class RecordingWindow
{
public:
    RecordingWindow(const RECT& screenRect, HWND owner = nullptr);
    ~RecordingWindow();
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND hwnd() const { return m_window; }
    int Count(UINT message) const;
    void Clear();

    static const wchar_t* ClassName();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window;
    std::vector<UINT> m_messages;
};

// Handles this thread's messages until `done` holds; false when it did not within seconds.
bool PumpUntil(const std::function<bool()>& done);

// The screen's pixels in a rectangle, read through the desktop window's DC (any thread).
std::vector<COLORREF> ScreenPixels(const RECT& rect);
