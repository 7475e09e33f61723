#include "inputtesting.h"

#include "pixels.h"

#include <algorithm>

const wchar_t* RecordingWindow::ClassName()
{
    static const wchar_t* const name = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        windowClass.lpszClassName = L"QuilbrookRecordingWindow";
        windowClass.cbWndExtra = sizeof(LONG_PTR);
        RegisterClassW(&windowClass);
        return windowClass.lpszClassName;
    }();
    return name;
}

RecordingWindow::RecordingWindow(const RECT& rect, HWND owner)
{
    m_window = CreateWindowExW(WS_EX_TOOLWINDOW, ClassName(), L"", WS_POPUP, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, owner, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(m_window, 0, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    UpdateWindow(m_window);
}

RecordingWindow::~RecordingWindow()
{
    if (IsWindow(m_window))
        DestroyWindow(m_window);
}

int RecordingWindow::Count(UINT message) const
{
    return static_cast<int>(std::count(m_messages.begin(), m_messages.end(), message));
}

void RecordingWindow::Clear()
{
    m_messages.clear();
}

LRESULT CALLBACK RecordingWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrW(window, 0));
    if (self && ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSEACTIVATE))
        self->m_messages.push_back(message);
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<COLORREF> ScreenPixels(const RECT& rect)
{
    TestSurface surface(rect.right - rect.left, rect.bottom - rect.top);
    const HWND desktop = GetDesktopWindow();
    const HDC screen = GetWindowDC(desktop);
    BitBlt(surface.dc(), 0, 0, surface.width(), surface.height(), screen, rect.left, rect.top, SRCCOPY);
    ReleaseDC(desktop, screen);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            pixels.push_back(surface.ColorAt(x, y));
    return pixels;
}
