// Drives another program's windows for scripts/screenshots.sh: each argument group is one
// step, run in order; the program ends with 1 when a step fails.
//
// Windows are found by a part of their title, waiting until a visible one has it.
//
//   wait <title>                 until the window is there and answers
//   gone <title>                 until no window has it
//   click <title> <button>       posts BM_CLICK to the window's button of that text ('&' ignored)
//   settext <title> <id> <text>  sets the text of the window's control with that id
//   close <title>                posts WM_CLOSE
#include <windows.h>

#include <cwchar>
#include <string>

namespace
{
struct Search
{
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM parameter)
{
    Search* search = reinterpret_cast<Search*>(parameter);
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    if (wcsstr(title, search->text) != nullptr && IsWindowVisible(window))
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring WithoutAmpersands(const wchar_t* text)
{
    std::wstring result;
    for (; *text != 0; ++text)
    {
        if (*text != L'&')
            result += *text;
    }
    return result;
}

BOOL CALLBACK FindButton(HWND window, LPARAM parameter)
{
    Search* search = reinterpret_cast<Search*>(parameter);
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (WithoutAmpersands(text) == search->text && IsWindowVisible(window))
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisibleWindow(const wchar_t* text)
{
    Search search = {text, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(const wchar_t* text)
{
    for (int round = 0; round < 600; ++round)
    {
        if (HWND found = FindVisibleWindow(text))
            return found;
        Sleep(50);
    }
    return nullptr;
}

BOOL WaitUntilGone(const wchar_t* text)
{
    for (int round = 0; round < 600; ++round)
    {
        if (FindVisibleWindow(text) == nullptr)
            return TRUE;
        Sleep(50);
    }
    return FALSE;
}

HWND FindChildButton(HWND parent, const wchar_t* text)
{
    Search search = {text, nullptr};
    EnumChildWindows(parent, FindButton, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
}

int wmain(int argc, wchar_t** argv)
{
    for (int index = 1; index < argc;)
    {
        const std::wstring command = argv[index];
        auto argument = [&](int offset) { return index + offset < argc ? argv[index + offset] : L""; };
        const std::wstring subject = argument(1);
        HWND window = nullptr;
        if (command == L"wait")
        {
            window = WaitForWindow(argument(1));
            // And until its thread answers: work it does before painting is done then.
            if (window != nullptr)
                SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr);
            index += 2;
        }
        else if (command == L"gone")
        {
            // No window to report: the desktop stands for success.
            window = WaitUntilGone(argument(1)) ? GetDesktopWindow() : nullptr;
            index += 2;
        }
        else if (command == L"click")
        {
            window = WaitForWindow(argument(1));
            HWND button = window != nullptr ? FindChildButton(window, argument(2)) : nullptr;
            if (button != nullptr)
            {
                // Posted, as the click may open a modal window; the empty message sent after
                // it returns once the click was handled (or a modal loop runs).
                PostMessageW(button, BM_CLICK, 0, 0);
                SendMessageTimeoutW(button, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr);
            }
            window = button;
            index += 3;
        }
        else if (command == L"settext")
        {
            window = WaitForWindow(argument(1));
            if (window != nullptr && !SetDlgItemTextW(window, _wtoi(argument(2)), argument(3)))
                window = nullptr;
            index += 4;
        }
        else if (command == L"close")
        {
            window = WaitForWindow(argument(1));
            if (window != nullptr)
                PostMessageW(window, WM_CLOSE, 0, 0);
            index += 2;
        }
        else
        {
            fwprintf(stderr, L"uidriver: unknown step %ls\n", command.c_str());
            return 1;
        }
        if (window == nullptr)
        {
            fwprintf(stderr, L"uidriver: step %ls %ls failed\n", command.c_str(), subject.c_str());
            return 1;
        }
    }
    return 0;
}
