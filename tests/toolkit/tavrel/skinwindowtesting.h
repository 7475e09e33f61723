// Driving skinned windows in tests: pixels read back from the window DC, message pumps,
// mouse input through SendInput, and work on a second thread while this one runs a modal
// loop.
#pragma once

#include <windows.h>

#include "uiinput.h"

#include <functional>
#include <vector>

class TestSurface;

// The pixel at window coordinates (x, y), read with BitBlt from the window DC.
COLORREF WindowPixel(HWND window, int x, int y);
// The window's pixels from window coordinates (x, y) on, as many as the surface holds, read
// with BitBlt from the window DC.
void ReadWindowPixels(HWND window, int x, int y, TestSurface& surface);
// How many pixels of a rectangle in window coordinates have the colour.
int CountColor(HWND window, const RECT& rect, COLORREF color);

// The smallest rectangle around the pixels of a rectangle in window coordinates that have
// the colour; empty when there are none.
RECT InkBounds(HWND window, const RECT& rect, COLORREF color);
// Where DrawText puts the ink of a text in a band of width x height from (0, 0), drawn in the
// window's font with the format given: the smallest rectangle around it.
RECT InkOfText(HWND window, const wchar_t* text, int width, int height, UINT format);

// Moves the mouse to the screen's bottom-right corner, away from every test window.
void ParkMouse();
// A point in window coordinates on the screen.
POINT ScreenPoint(HWND window, int x, int y);

// The ways a control with its own scroll bars is scrolled down: a key, a scroll message and
// three notches of the mouse wheel over the point given in window coordinates.
struct ScrollDownWay
{
    const char* name;
    std::function<void(HWND)> scroll;
};
std::vector<ScrollDownWay> WaysToScrollDown(POINT wheelPoint);

// Runs work on a second thread while this one pumps its messages (and any modal loop that
// the work's input starts).
void RunBesideMessageLoop(std::function<void()> work, int* quitCode = nullptr);
