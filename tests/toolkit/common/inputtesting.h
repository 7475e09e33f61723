// Real mouse and keyboard input for tests of modal loops and mouse hooks: SendInput as the
// system delivers it, recording windows, and reads of the screen through the desktop's DC.
#pragma once

#include <windows.h>

#include "uiinput.h"

#include <functional>
#include <vector>

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

// The screen's pixels in a rectangle, read through the desktop window's DC (any thread).
std::vector<COLORREF> ScreenPixels(const RECT& rect);
