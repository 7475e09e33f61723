// Every label of the wizard's pages and the progress dialog shows its whole text at 96 DPI:
// each static, button and group-box text, measured in the control's own font and in the
// system's message font, fits its control beside what the control draws next to it.
#include <gtest/gtest.h>

#include "resource.h"
#include "testpaths.h"

#include <hlmskinmanager.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace
{
struct Label
{
    int id;
    std::wstring text;
    int room = 0;    // pixels for the text
    int needed = 0;  // pixels the text takes in the widest of the fonts
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

int TextWidth(HDC dc, HFONT font, const std::wstring& text)
{
    HGDIOBJ previous = SelectObject(dc, font);
    RECT rect = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    return rect.right - rect.left;
}

// The pixels left for the text of a static or button, or -1 for a control without a label.
int RoomForText(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    const int width = client.right - client.left;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const std::wstring kind = ClassOf(control);
    if (kind == L"Static")
    {
        const LONG type = style & SS_TYPEMASK;
        return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP ? width : -1;
    }
    if (kind != L"Button")
        return -1;
    const int edge = GetSystemMetrics(SM_CXEDGE);
    switch (style & BS_TYPEMASK)
    {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON: return width - 4 * edge;
    case BS_GROUPBOX: return width - 16;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        // The box or circle (the skin's glyphs are no wider than 16 pixels) and its gap.
        return width - std::max(16, GetSystemMetrics(SM_CXMENUCHECK)) - 4;
    default: return -1;
    }
}

// The labels of one dialog template, created as a child of a host window.
std::vector<Label> MeasureLabels(int templateId)
{
    HWND host = CreateWindowExW(0, L"Static", L"host", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), host, &PlainDialogProc, 0);
    EXPECT_NE(nullptr, page) << templateId;
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    HFONT systemFont = CreateFontIndirectW(&metrics.lfMessageFont);
    std::vector<Label> labels;
    for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
    {
        wchar_t text[256] = {};
        GetWindowTextW(control, text, 256);
        const int room = RoomForText(control);
        if (text[0] == 0 || room < 0)
            continue;
        HDC dc = GetDC(control);
        HFONT ownFont = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        Label label{GetDlgCtrlID(control), text, room, 0};
        label.needed = std::max(TextWidth(dc, ownFont, text), TextWidth(dc, systemFont, text));
        ReleaseDC(control, dc);
        labels.push_back(label);
    }
    DeleteObject(systemFont);
    DestroyWindow(host);
    return labels;
}

class PageLayoutTest : public testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        if (GetParam())
        {
            ASSERT_TRUE(GetSkinManager()->LoadSkin(BesideTestProgram(L"skin.skin").c_str(), nullptr));
        }
    }
    void TearDown() override
    {
        if (GetParam())
            GetSkinManager()->LoadSkin(L"C:\\no-such-folder\\skin.skin", nullptr);
    }
};
}

TEST_P(PageLayoutTest, EveryLabelShowsItsWholeText)
{
    const int templates[] = {IDD_SELECT_FILE, IDD_RESIZE_OPTION, IDD_COMPRESS_OPTION, IDD_OUTPUT_OPTION, IDD_PROGRESS};
    int measured = 0;
    for (int id : templates)
    {
        for (const Label& label : MeasureLabels(id))
        {
            ++measured;
            EXPECT_LE(label.needed, label.room) << "dialog " << id << ", control " << label.id << ": "
                                                << testing::PrintToString(label.text);
        }
    }
    EXPECT_GE(measured, 20);
}

INSTANTIATE_TEST_SUITE_P(SkinnedAndUnskinned, PageLayoutTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Skinned" : "Unskinned"; });
