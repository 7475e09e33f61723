#include "skinwindowtesting.h"

#include "pixels.h"

COLORREF WindowPixel(HWND window, int x, int y)
{
    HDC windowDC = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, 1, 1);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 1, 1, windowDC, x, y, SRCCOPY);
    const COLORREF color = GetPixel(memory, 0, 0);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDC);
    return color;
}

void ReadWindowPixels(HWND window, int x, int y, TestSurface& surface)
{
    HDC windowDC = GetWindowDC(window);
    BitBlt(surface.dc(), 0, 0, surface.width(), surface.height(), windowDC, x, y, SRCCOPY);
    ReleaseDC(window, windowDC);
}

int CountColor(HWND window, const RECT& rect, COLORREF color)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return 0;
    // One copy of the whole rectangle, read pixel by pixel.
    TestSurface surface(width, height);
    ReadWindowPixels(window, rect.left, rect.top, surface);
    int count = 0;
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
            count += surface.ColorAt(x, y) == color;
    }
    return count;
}

namespace
{
// The smallest rectangle around the surface's pixels of the colour.
RECT BoundsOfColor(TestSurface& surface, COLORREF color)
{
    RECT bounds = {};
    for (int y = 0; y < surface.height(); ++y)
    {
        for (int x = 0; x < surface.width(); ++x)
        {
            if (surface.ColorAt(x, y) != color)
                continue;
            const RECT pixel = {x, y, x + 1, y + 1};
            UnionRect(&bounds, &bounds, &pixel);
        }
    }
    return bounds;
}
}

RECT InkBounds(HWND window, const RECT& rect, COLORREF color)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return RECT{};
    TestSurface surface(width, height);
    ReadWindowPixels(window, rect.left, rect.top, surface);
    RECT bounds = BoundsOfColor(surface, color);
    if (!IsRectEmpty(&bounds))
        OffsetRect(&bounds, rect.left, rect.top);
    return bounds;
}

RECT InkOfText(HWND window, const wchar_t* text, int width, int height, UINT format)
{
    TestSurface surface(width, height, 0xFFFFFF);
    HGDIOBJ oldFont = SelectObject(surface.dc(), reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SetTextColor(surface.dc(), RGB(0, 0, 0));
    SetBkMode(surface.dc(), TRANSPARENT);
    RECT band = {0, 0, width, height};
    DrawTextW(surface.dc(), text, -1, &band, format);
    SelectObject(surface.dc(), oldFont);
    return BoundsOfColor(surface, RGB(0, 0, 0));
}

POINT ScreenPoint(HWND window, int x, int y)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return POINT{rect.left + x, rect.top + y};
}

std::vector<ScrollDownWay> WaysToScrollDown(POINT wheelPoint)
{
    return {
        {"key", [](HWND window) { SendMessageW(window, WM_KEYDOWN, VK_END, 0); }},
        {"scroll message", [](HWND window) { SendMessageW(window, WM_VSCROLL, SB_PAGEDOWN, 0); }},
        {"mouse wheel", [wheelPoint](HWND window) {
             const POINT point = ScreenPoint(window, wheelPoint.x, wheelPoint.y);
             SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-3 * WHEEL_DELTA)),
                          MAKELPARAM(point.x, point.y));
         }},
    };
}

namespace
{
DWORD WINAPI RunWork(LPVOID parameter)
{
    (*static_cast<std::function<void()>*>(parameter))();
    return 0;
}
}

void RunBesideMessageLoop(std::function<void()> work, int* quitCode)
{
    HANDLE thread = CreateThread(nullptr, 0, RunWork, &work, 0, nullptr);
    if (thread == nullptr)
        return;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        PumpMessages(quitCode);
    CloseHandle(thread);
    PumpMessages(quitCode);
}

void ParkMouse()
{
    SendMouse(MOUSEEVENTF_MOVE, POINT{GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2});
}
