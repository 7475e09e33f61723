// The test environment that every window test relies on: Wine's own fonts, and top-level
// frames drawn by Wine where a test can read them.
#include <gtest/gtest.h>

#include <windows.h>

static int CALLBACK CountFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    ++*reinterpret_cast<int*>(found);
    return 1;
}

TEST(Environment, WineFontsAreInstalled)
{
    HDC screen = GetDC(nullptr);
    for (const wchar_t* face : {L"Tahoma", L"Marlett"})
    {
        int found = 0;
        EnumFontFamiliesW(screen, face, CountFont, reinterpret_cast<LPARAM>(&found));
        EXPECT_GT(found, 0) << "missing font " << face;
    }
    ReleaseDC(nullptr, screen);
}

TEST(Environment, CaptionOfATopLevelWindowIsDrawnOnScreen)
{
    HWND window = CreateWindowW(L"STATIC", L"caption", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                40, 40, 200, 120, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);

    RECT frame;
    GetWindowRect(window, &frame);
    HDC windowDC = GetWindowDC(window);
    const int captionY = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    COLORREF caption = GetPixel(windowDC, (frame.right - frame.left) / 2, captionY);
    ReleaseDC(window, windowDC);
    DestroyWindow(window);

    // Without Decorated=N the X server owns the frame and the window DC reads nothing useful.
    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), caption);
}
