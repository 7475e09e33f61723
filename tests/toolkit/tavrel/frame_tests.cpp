// The skinned window frame on real windows under the test skin, whose images are solid
// colours: image f, frame k is RGB(16f, 15k, 96) (restore, help, small caption and tab body:
// blue 160). Pixels are read back through BitBlt from the window DC.
#include "hlmskinmanager.h"
#include "hlmskinobjectframe.h"
#include "pixels.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
const wchar_t kClassName[] = L"QuilbrookFrameTest";

// Images of the test skin and the frames of their states.
enum
{
    CaptionImage = 1,
    FrameLeftImage = 2,
    FrameRightImage = 3,
    FrameBottomImage = 4,
    CloseImage = 5,
    MaxImage = 6,
    MinImage = 7,
    ActiveFrame = 1,
    InactiveFrame = 2
};

class FrameTest : public TestSkinTest
{
protected:
    static void SetUpTestSuite()
    {
        RegisterWindowClass(kClassName, DefWindowProcW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    }

    void TearDown() override
    {
        for (HWND window : m_windows)
        {
            if (IsWindow(window))
                DestroyWindow(window);
        }
        PumpMessages();
    }

    // Activation is slow under Wine without a window manager: only where the test needs it.
    enum Show
    {
        Hidden,
        Shown,
        Active
    };

    HWND CreateFrameWindow(DWORD style, DWORD exStyle = 0, Show show = Shown, int x = 40, int y = 40,
                           int width = 300, int height = 200)
    {
        HWND window = CreateWindowExW(exStyle, kClassName, L"", style, x, y, width, height, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(nullptr, window);
        m_windows.push_back(window);
        if (show == Hidden)
            return window;
        ShowWindow(window, show == Active ? SW_SHOW : SW_SHOWNOACTIVATE);
        if (show == Active)
            SetActiveWindow(window);
        Repaint(window);
        return window;
    }

    static void Repaint(HWND window)
    {
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpMessages();
    }

    static CHLMSkinObjectFrame* FrameOf(HWND window)
    {
        return dynamic_cast<CHLMSkinObjectFrame*>(GetSkinManager()->FindSkinObject(window).Get());
    }

    std::vector<HWND> m_windows;
};

// An overlapped window of 300 x 200 under the test skin: the caption is 21 pixels (the skin's
// 20 plus one), the frame 4 (window edge 2, border 1, sizing border 1), so the top border is 25.
// The caption buttons are 16 x 16 (side 25 - 5 - 4), 6 pixels down, the first 22 from the right.
const RECT kCloseButton = {278, 6, 294, 22};
const RECT kMaxButton = {260, 6, 276, 22};
const RECT kMinButton = {242, 6, 258, 22};

POINT Centre(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}
}

TEST_F(FrameTest, BandsAndCaptionOfActiveAndInactiveWindows)
{
    HWND first = CreateFrameWindow(WS_OVERLAPPEDWINDOW, 0, Active);
    struct Band
    {
        const char* name;
        int x, y, image;
    };
    const Band bands[] = {
        {"caption", 150, 3, CaptionImage},     {"caption below the system's", 150, 23, CaptionImage},
        {"left", 1, 100, FrameLeftImage},      {"right", 298, 100, FrameRightImage},
        {"bottom", 150, 198, FrameBottomImage}, {"close", 286, 14, CloseImage},
    };
    for (const Band& band : bands)
        EXPECT_EQ(Solid(band.image, ActiveFrame), WindowPixel(first, band.x, band.y)) << band.name;

    HWND second = CreateFrameWindow(WS_OVERLAPPEDWINDOW, 0, Active, 380, 40);
    ASSERT_EQ(second, GetActiveWindow());
    Repaint(first);
    for (const Band& band : bands)
    {
        // Buttons of an inactive caption take the frames after the four active ones.
        const int frame = band.image == CloseImage ? 5 : InactiveFrame;
        EXPECT_EQ(Solid(band.image, frame), WindowPixel(first, band.x, band.y)) << band.name;
    }
    EXPECT_EQ(Solid(CaptionImage, ActiveFrame), WindowPixel(second, 150, 3));
}

TEST_F(FrameTest, ClientAreaLiesInsideTheSkinBorders)
{
    HWND window = CreateFrameWindow(WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_WINDOWEDGE);
    RECT windowRect, client;
    GetWindowRect(window, &windowRect);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(4, client.left - windowRect.left);
    EXPECT_EQ(25, client.top - windowRect.top);
    EXPECT_EQ(4, windowRect.right - client.right);
    EXPECT_EQ(4, windowRect.bottom - client.bottom);

    // A tool window has a small caption (the system's plus one) and no sizing border.
    HWND tool = CreateFrameWindow(WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, Shown, 380, 40);
    GetWindowRect(tool, &windowRect);
    GetClientRect(tool, &client);
    MapWindowPoints(tool, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(3, client.left - windowRect.left);
    // (GetSystemMetrics answers from the skin now: the metrics keep the system's height.)
    EXPECT_EQ(GetSkinManager()->GetMetrics()->m_nSystemSmallCaptionHeight + 1 + 3, client.top - windowRect.top);
}

TEST_F(FrameTest, HitTestsAtTheSkinsCoordinates)
{
    HWND window = CreateFrameWindow(WS_OVERLAPPEDWINDOW);
    struct Case
    {
        const char* name;
        POINT point;
        LRESULT code;
    };
    const Case cases[] = {
        {"caption", {150, 10}, HTCAPTION},
        // The skin's caption reaches below the system's: still caption.
        {"caption strip", {150, 23}, HTCAPTION},
        {"close", Centre(kCloseButton), HTCLOSE},
        {"maximise", Centre(kMaxButton), HTMAXBUTTON},
        {"minimise", Centre(kMinButton), HTMINBUTTON},
        {"between buttons", {277, 14}, HTCAPTION},
        {"client", {150, 100}, HTCLIENT},
        {"client top", {150, 25}, HTCLIENT},
        {"left border", {1, 100}, HTLEFT},
        {"bottom-right corner", {299, 199}, HTBOTTOMRIGHT},
    };
    for (const Case& test : cases)
    {
        const POINT screen = ScreenPoint(window, test.point.x, test.point.y);
        EXPECT_EQ(test.code, SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y))) << test.name;
    }
}

TEST_F(FrameTest, MaximisedWindowKeepsTheSystemsSidesAndReachesTheScreenEdge)
{
    HWND window = CreateFrameWindow(WS_OVERLAPPEDWINDOW);
    ShowWindow(window, SW_MAXIMIZE);
    Repaint(window);
    RECT system = {0, 0, 100, 100};
    AdjustWindowRectEx(&system, GetWindowLongW(window, GWL_STYLE), FALSE, GetWindowLongW(window, GWL_EXSTYLE));
    const int side = -system.left;
    RECT windowRect, client;
    GetWindowRect(window, &windowRect);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(side, client.left - windowRect.left);
    EXPECT_EQ(side + 21, client.top - windowRect.top);

    // The buttons react two pixels above their rectangles, the first also two to its right.
    CHLMSkinObjectFrame* frame = FrameOf(window);
    ASSERT_NE(nullptr, frame);
    ASSERT_GE(frame->GetCaptionButtons().GetSize(), 1);
    const CRect close = frame->GetCaptionButtons()[0]->m_rcButton;
    for (POINT point : {POINT{close.left + 4, close.top - 2}, POINT{close.right + 1, close.top + 4}})
    {
        const POINT screen = ScreenPoint(window, point.x, point.y);
        EXPECT_EQ(HTCLOSE, SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));
    }
    // The region leaves the sides that lie off the work area out.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(window, region));
    EXPECT_FALSE(PtInRegion(region, side - 1, side + 30));
    EXPECT_TRUE(PtInRegion(region, side, side));
    DeleteObject(region);
}

TEST_F(FrameTest, ButtonsFollowTheStyles)
{
    struct Case
    {
        const char* name;
        DWORD style, exStyle;
        std::vector<UINT> commands;
        std::vector<BOOL> enabled;
    };
    const Case cases[] = {
        {"overlapped", WS_OVERLAPPEDWINDOW, 0, {SC_CLOSE, SC_MAXIMIZE, SC_MINIMIZE}, {TRUE, TRUE, TRUE}},
        {"minimise box only", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, {SC_CLOSE, SC_MAXIMIZE, SC_MINIMIZE},
         {TRUE, FALSE, TRUE}},
        {"no system menu", WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, {}, {}},
        {"dialog with help", WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP,
         {SC_CLOSE, SC_CONTEXTHELP}, {TRUE, TRUE}},
        {"tool window", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_EX_TOOLWINDOW | WS_EX_CONTEXTHELP, {SC_CLOSE}, {TRUE}},
        {"no caption", WS_POPUP | WS_BORDER | WS_SYSMENU, 0, {}, {}},
        {"minimised", WS_OVERLAPPEDWINDOW | WS_MINIMIZE, 0, {SC_CLOSE, SC_MAXIMIZE, SC_RESTORE}, {TRUE, TRUE, TRUE}},
    };
    for (const Case& test : cases)
    {
        // The buttons are made when the frame is painted.
        HWND window = CreateFrameWindow(test.style, test.exStyle, Hidden);
        SendMessageW(window, WM_NCPAINT, 1, 0);
        CHLMSkinObjectFrame* frame = FrameOf(window);
        ASSERT_NE(nullptr, frame) << test.name;
        const auto& buttons = frame->GetCaptionButtons();
        ASSERT_EQ(test.commands.size(), static_cast<size_t>(buttons.GetSize())) << test.name;
        for (size_t index = 0; index < test.commands.size(); ++index)
        {
            EXPECT_EQ(test.commands[index], buttons[index]->m_nCommand) << test.name << " " << index;
            EXPECT_EQ(test.enabled[index], buttons[index]->m_bEnabled) << test.name << " " << index;
        }
        DestroyWindow(window);
    }
}

TEST_F(FrameTest, CaptionButtonStatesFromRealInput)
{
    // Maximise without a maximise box: that button is drawn disabled.
    HWND window = CreateFrameWindow(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME, 0, Active);
    CHLMSkinObjectFrame* frame = FrameOf(window);
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(Solid(CloseImage, 1), WindowPixel(window, 286, 14)) << "normal";
    EXPECT_EQ(Solid(MaxImage, 4), WindowPixel(window, 268, 14)) << "disabled";

    const POINT close = ScreenPoint(window, 286, 14);
    SendMouse(MOUSEEVENTF_MOVE, close);
    ASSERT_TRUE(PumpUntil([&] { return frame->GetHotButton() != nullptr; }));
    EXPECT_EQ(Solid(CloseImage, 2), WindowPixel(window, 286, 14)) << "hot";

    // Held down, then dragged off (the button stays hot only) and released elsewhere: no click.
    // The button loop runs on this thread; the other one presses, moves and reads pixels.
    BOOL pressed = FALSE, draggedOff = FALSE;
    RunBesideMessageLoop([&] {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        pressed = WaitUntil([&] { return WindowPixel(window, 286, 14) == Solid(CloseImage, 3); });
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, 150, 100));
        draggedOff = WaitUntil([&] {
            return frame->GetPressedButton() == nullptr && WindowPixel(window, 286, 14) == Solid(CloseImage, 2);
        });
        SendMouse(MOUSEEVENTF_LEFTUP);
        WaitUntil([&] { return GetCapture() == nullptr; });
    });
    EXPECT_TRUE(pressed) << "pressed";
    EXPECT_TRUE(draggedOff) << "pressed, mouse away: hot";
    EXPECT_TRUE(IsWindow(window));

    // Pressed and released over the button: the window closes.
    SendMouse(MOUSEEVENTF_MOVE, close);
    ASSERT_TRUE(PumpUntil([&] { return frame->GetHotButton() != nullptr; }));
    RunBesideMessageLoop([&] {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        WaitUntil([&] { return frame->GetPressedButton() != nullptr; });
        SendMouse(MOUSEEVENTF_LEFTUP);
    });
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
}

namespace
{
// A window that a click does not activate, as tool palettes are: subclassed over the skin's
// procedure.
LRESULT CALLBACK RefuseActivationByClicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR)
{
    if (message == WM_MOUSEACTIVATE)
        return MA_NOACTIVATE;
    return DefSubclassProc(window, message, wParam, lParam);
}
}

// An inactive caption's buttons take the frames after the four active ones in every state.
TEST_F(FrameTest, InactiveCaptionButtonStatesFromRealInput)
{
    // Shown without activation, and a press on the caption does not activate it either.
    HWND window = CreateFrameWindow(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME);
    SetWindowSubclass(window, RefuseActivationByClicks, 0, 0);
    CHLMSkinObjectFrame* frame = FrameOf(window);
    ASSERT_NE(nullptr, frame);
    ASSERT_FALSE(frame->IsActive());
    EXPECT_EQ(Solid(CloseImage, 5), WindowPixel(window, 286, 14)) << "normal";
    EXPECT_EQ(Solid(MaxImage, 8), WindowPixel(window, 268, 14)) << "disabled";

    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, 286, 14));
    ASSERT_TRUE(PumpUntil([&] { return frame->GetHotButton() != nullptr; }));
    EXPECT_EQ(Solid(CloseImage, 6), WindowPixel(window, 286, 14)) << "hot";

    // Pressed, then released away from the button so that the window stays.
    COLORREF pressed = 0;
    RunBesideMessageLoop([&] {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        WaitUntil([&] {
            pressed = WindowPixel(window, 286, 14);
            return pressed == Solid(CloseImage, 7);
        });
        SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, 150, 100));
        WaitUntil([&] { return frame->GetPressedButton() == nullptr; });
        SendMouse(MOUSEEVENTF_LEFTUP);
        WaitUntil([&] { return GetCapture() == nullptr; });
    });
    EXPECT_EQ(Solid(CloseImage, 7), pressed) << "pressed";
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(frame->IsActive());
}

TEST_F(FrameTest, CloseButtonFollowsTheSystemMenu)
{
    HWND window = CreateFrameWindow(WS_OVERLAPPEDWINDOW);
    EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    Repaint(window);
    // The window is inactive: its buttons take the frames after the four active ones.
    EXPECT_EQ(Solid(CloseImage, 8), WindowPixel(window, 286, 14));
    // A disabled close button is never hit: the point is caption.
    const POINT screen = ScreenPoint(window, 286, 14);
    EXPECT_EQ(HTCAPTION, SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));

    EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    Repaint(window);
    EXPECT_EQ(Solid(CloseImage, 5), WindowPixel(window, 286, 14));
}

TEST_F(FrameTest, RebuiltButtonsForgetTheHotButton)
{
    HWND window = CreateFrameWindow(WS_OVERLAPPEDWINDOW);
    CHLMSkinObjectFrame* frame = FrameOf(window);
    ASSERT_NE(nullptr, frame);
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, 286, 14));
    ASSERT_TRUE(PumpUntil([&] { return frame->GetHotButton() != nullptr; }));
    SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) & ~WS_MINIMIZEBOX);
    EXPECT_EQ(nullptr, frame->GetHotButton());
    // A press now finds no hot button where it lands and starts no button loop.
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(window, 150, 100));
    PumpMessages();
    EXPECT_EQ(nullptr, frame->GetPressedButton());
}

TEST_F(FrameTest, RegionFollowsTheTransparentPixelsOfTheCaption)
{
    // The small caption's magenta pixels: row 0 at 0, 1, the middle band 4..11, 13 and 15 of
    // the 16-pixel image (bands 4 wide), row 1 at 0 and 1.
    HWND window = CreateFrameWindow(WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, Shown, 40, 40, 200, 120);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(window, region));
    struct Case
    {
        int x, y;
        BOOL inside;
    };
    const Case cases[] = {
        {0, 0, FALSE},  {1, 0, FALSE},   {2, 0, TRUE},    {3, 0, TRUE},    {4, 0, FALSE},  {100, 0, FALSE},
        {195, 0, FALSE}, {196, 0, TRUE}, {197, 0, FALSE}, {198, 0, TRUE},  {199, 0, FALSE}, {0, 1, FALSE},
        {1, 1, FALSE},  {2, 1, TRUE},    {100, 1, TRUE},  {199, 1, TRUE},  {0, 2, TRUE},   {199, 119, TRUE},
    };
    for (const Case& test : cases)
        EXPECT_EQ(test.inside, PtInRegion(region, test.x, test.y)) << test.x << ", " << test.y;
    DeleteObject(region);

    // Without a caption the region goes.
    SetWindowLongW(window, GWL_STYLE, (GetWindowLongW(window, GWL_STYLE) & ~WS_CAPTION) | WS_BORDER);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, GetWindowRgn(window, region));
    DeleteObject(region);
}

TEST_F(FrameTest, ClassBackgroundErasesWithTheSkinsBrush)
{
    HWND window = CreateFrameWindow(WS_OVERLAPPEDWINDOW);
    // The test skin's button face is (10, 20, 30); the class keeps its COLOR_BTNFACE + 1.
    EXPECT_EQ(RGB(10, 20, 30), WindowPixel(window, 150, 100));
    EXPECT_EQ(static_cast<ULONG_PTR>(COLOR_BTNFACE + 1), GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
}

// ---------------------------------------------------------------------------------------
// Control colours

namespace
{
// A dialog of the system's dialog class with a label and an edit.
struct DialogTemplate
{
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
} g_dialogTemplate = {{WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME, 0, 0, 40, 40, 160, 100}, 0, 0, 0};

INT_PTR CALLBACK EmptyDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
}

TEST_F(FrameTest, ControlColoursComeFromTheSkin)
{
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &g_dialogTemplate.dialog, nullptr,
                                             EmptyDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    m_windows.push_back(dialog);
    HWND label = CreateWindowExW(0, L"STATIC", L"Label", WS_CHILD | WS_VISIBLE, 10, 10, 80, 16, dialog, nullptr,
                                 nullptr, nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 40, 80, 20, dialog,
                                nullptr, nullptr, nullptr);
    CHLMSkinObjectFrame* frame = FrameOf(dialog);
    ASSERT_NE(nullptr, frame);
    ASSERT_EQ(ETDT_ENABLE, frame->GetDialogTexture());
    const CHLMSkinManagerMetrics* metrics = GetSkinManager()->GetMetrics();
    HDC dc = GetDC(label);

    struct Case
    {
        const char* name;
        UINT message;
        HWND control;
        HBRUSH brush;
        COLORREF background, text;
    };
    const Case cases[] = {
        {"static", WM_CTLCOLORSTATIC, label, metrics->m_hBrushBtnFace, RGB(10, 20, 30), metrics->GetColor(COLOR_BTNTEXT)},
        {"dialog", WM_CTLCOLORDLG, dialog, metrics->m_hBrushBtnFace, RGB(10, 20, 30), metrics->GetColor(COLOR_BTNTEXT)},
        {"edit", WM_CTLCOLOREDIT, edit, metrics->m_hBrushes[COLOR_WINDOW], metrics->GetColor(COLOR_WINDOW),
         RGB(16, 8, 16)},
        {"list box", WM_CTLCOLORLISTBOX, edit, metrics->m_hBrushes[COLOR_WINDOW], metrics->GetColor(COLOR_WINDOW),
         RGB(16, 8, 16)},
    };
    for (const Case& test : cases)
    {
        SetBkColor(dc, RGB(1, 2, 3));
        SetTextColor(dc, RGB(4, 5, 6));
        const LRESULT brush = SendMessageW(dialog, test.message, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(test.control));
        EXPECT_EQ(reinterpret_cast<LRESULT>(test.brush), brush) << test.name;
        EXPECT_EQ(test.background, GetBkColor(dc)) << test.name;
        EXPECT_EQ(test.text, GetTextColor(dc)) << test.name;
    }
    // Message boxes and scroll bars keep the system's answer.
    for (UINT message : {WM_CTLCOLORMSGBOX, WM_CTLCOLORSCROLLBAR})
    {
        HGDIOBJ brush = reinterpret_cast<HGDIOBJ>(
            SendMessageW(dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
        EXPECT_FALSE(metrics->OwnsBrush(brush)) << message;
        EXPECT_NE(metrics->m_hBrushBtnFace, brush) << message;
    }

    // On a tabbed page a label gets the page's pattern, aligned with the page.
    frame->SetDialogTexture(ETDT_ENABLETAB);
    const LRESULT pattern = SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(label));
    LOGBRUSH logBrush = {};
    GetObjectW(reinterpret_cast<HBRUSH>(pattern), sizeof(logBrush), &logBrush);
    EXPECT_EQ(static_cast<UINT>(BS_PATTERN), logBrush.lbStyle);
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    EXPECT_EQ(metrics->GetColor(COLOR_BTNTEXT), GetTextColor(dc));
    RECT page, child;
    GetWindowRect(dialog, &page);
    GetWindowRect(label, &child);
    POINT origin = {};
    GetBrushOrgEx(dc, &origin);
    EXPECT_EQ(page.left - child.left, origin.x);
    EXPECT_EQ(page.top - child.top, origin.y);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(pattern), metrics->m_hBrushTabPage);
    ReleaseDC(label, dc);

    // The page's own background is the pattern (the tab body is RGB(64, 15, 160)).
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages();
    RECT client;
    GetClientRect(dialog, &client);
    POINT inside = {client.right - 4, client.bottom - 4};
    MapWindowPoints(dialog, nullptr, &inside, 1);
    EXPECT_EQ(SecondSet(4, 1), WindowPixel(dialog, inside.x - page.left, inside.y - page.top));
}

// ---------------------------------------------------------------------------------------
// A framework dialog: its procedure belongs to the program, so the frame works at the level
// of the default procedures that the framework calls.

namespace
{
class CTitledDialog : public CDialog
{
public:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetWindowText(L"Titled");
        return TRUE;
    }
};
}

TEST_F(FrameTest, FrameworkDialogKeepsTheSkinsCaption)
{
    CTitledDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(&g_dialogTemplate.dialog, nullptr));
    m_windows.push_back(dialog.m_hWnd);
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    PumpMessages();
    dialog.SetWindowText(L"Titled again");
    PumpMessages();
    RECT rect;
    GetWindowRect(dialog.m_hWnd, &rect);
    // The skin's caption (active or not, as the windows before it left the focus), right of
    // its text and left of the close button.
    CHLMSkinObjectFrame* frame = FrameOf(dialog.m_hWnd);
    ASSERT_NE(nullptr, frame);
    const COLORREF caption = Solid(CaptionImage, frame->IsActive() ? ActiveFrame : InactiveFrame);
    EXPECT_EQ(caption, WindowPixel(dialog.m_hWnd, (rect.right - rect.left) - 40, 4));
    EXPECT_EQ(caption, WindowPixel(dialog.m_hWnd, (rect.right - rect.left) - 40, 20));
    dialog.DestroyWindow();
}

namespace
{
DWORD WINAPI RunFunction(LPVOID parameter)
{
    (*static_cast<std::function<void()>*>(parameter))();
    return 0;
}
}

TEST_F(FrameTest, RetitlingNeverShowsTheSystemsCaption)
{
    HWND window = CreateFrameWindow(WS_OVERLAPPEDWINDOW);
    const COLORREF caption = Solid(CaptionImage, FrameOf(window)->IsActive() ? ActiveFrame : InactiveFrame);
    // One thread retitles the window as a batch does, another reads the caption meanwhile:
    // right of the title and left of the buttons, in the rows where the system's caption lies.
    volatile bool retitling = true;
    int samples = 0, foreign = 0;
    std::function<void()> read = [&] {
        while (retitling)
        {
            for (POINT point : {POINT{200, 4}, POINT{200, 12}, POINT{220, 20}})
            {
                ++samples;
                foreign += WindowPixel(window, point.x, point.y) != caption;
            }
        }
    };
    LPTHREAD_START_ROUTINE start = &RunFunction;
    HANDLE reader = CreateThread(nullptr, 0, start, &read, 0, nullptr);
    ASSERT_NE(nullptr, reader);
    RunBesideMessageLoop([&] {
        for (int file = 1; file <= 100; ++file)
        {
            const std::wstring title = L"File " + std::to_wstring(file) + L" of 100";
            SetWindowTextW(window, title.c_str());
        }
        retitling = false;
    });
    WaitForSingleObject(reader, INFINITE);
    CloseHandle(reader);
    EXPECT_GT(samples, 100);
    EXPECT_EQ(0, foreign) << "of " << samples << " caption pixels read while the window was retitled";
    EXPECT_EQ(caption, WindowPixel(window, 200, 12));
    wchar_t title[32] = {};
    GetWindowTextW(window, title, 32);
    EXPECT_STREQ(L"File 100 of 100", title);
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(FrameTest, PrintingTheNonClientAreaDrawsOnlyTheSkinsFrame)
{
    HWND window = CreateFrameWindow(WS_OVERLAPPEDWINDOW);
    const DWORD paper = Bgra(1, 2, 3, 0);
    const COLORREF paperColor = RGB(3, 2, 1);
    const COLORREF caption = Solid(CaptionImage, FrameOf(window)->IsActive() ? ActiveFrame : InactiveFrame);
    {
        TestSurface surface(300, 200, paper);
        SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(surface.dc()), PRF_NONCLIENT);
        EXPECT_EQ(caption, surface.ColorAt(150, 3));
        EXPECT_EQ(caption, surface.ColorAt(150, 23));
        EXPECT_EQ(paperColor, surface.ColorAt(150, 100));  // the client area is not printed
    }
    {
        TestSurface surface(300, 200, paper);
        SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
        EXPECT_EQ(paperColor, surface.ColorAt(150, 3));  // no frame without PRF_NONCLIENT
    }
}

TEST_F(FrameTest, MinimumTrackingSizeHoldsTheCaptionButtonsAndBorders)
{
    struct Case
    {
        const char* name;
        DWORD style;
        LONG minX, minY;  // 0: what the window was given
    } const cases[] = {
        {"three buttons", WS_OVERLAPPEDWINDOW,
         3 * 25 + GetSystemMetrics(SM_CXSIZE) + 2 * GetSystemMetrics(SM_CXEDGE), 25 + 4},
        {"no caption", WS_POPUP | WS_THICKFRAME, 0, 0},
    };
    for (const Case& row : cases)
    {
        HWND window = CreateFrameWindow(row.style);
        MINMAXINFO info = {};
        info.ptMinTrackSize = {1, 1};
        info.ptMaxPosition = {-4, -4};
        SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(row.minX != 0 ? row.minX : 1, info.ptMinTrackSize.x) << row.name;
        EXPECT_EQ(row.minY != 0 ? row.minY : 1, info.ptMinTrackSize.y) << row.name;
        // Only an MDI child's maximised position moves.
        EXPECT_EQ(-4, info.ptMaxPosition.y) << row.name;
    }
}

namespace
{
POINT g_menuOffset = {0, 0};
bool g_menuOpened = false;

LRESULT CALLBACK SystemMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITMENUPOPUP && HIWORD(lParam))
    {
        g_menuOpened = true;
        g_menuOffset = CHLMSkinObjectFrame::SystemMenuOffset;
        EndMenu();
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}

TEST_F(FrameTest, TheSystemMenuOpensWithTheDistanceBetweenTheSkinsFrameAndTheSystems)
{
    RegisterWindowClass(L"QuilbrookSystemMenu", &SystemMenuProc);
    const DWORD style = WS_CAPTION | WS_SYSMENU;
    HWND window = CreateWindowExW(0, L"QuilbrookSystemMenu", L"Menu", style, 40, 40, 300, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    m_windows.push_back(window);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    Repaint(window);

    RECT system = {0, 0, 100, 100};
    AdjustWindowRectEx(&system, style, FALSE, 0);
    const CRect borders = FrameOf(window)->GetBorderRect();
    const POINT expected = {borders.left + system.left, borders.top + system.top};
    g_menuOpened = false;
    // Whatever it held before, the command sets it (the skin's frame may equal the system's).
    CHLMSkinObjectFrame::SystemMenuOffset = {77, 77};
    const POINT icon = ScreenPoint(window, 10, 12);
    SendMessageW(window, WM_SYSCOMMAND, SC_MOUSEMENU | HTSYSMENU, MAKELPARAM(icon.x, icon.y));
    ASSERT_TRUE(g_menuOpened);
    EXPECT_EQ(expected.x, g_menuOffset.x);
    EXPECT_EQ(expected.y, g_menuOffset.y);
    EXPECT_EQ(0, CHLMSkinObjectFrame::SystemMenuOffset.x);
    EXPECT_EQ(0, CHLMSkinObjectFrame::SystemMenuOffset.y);
}

TEST_F(FrameTest, PointsAndRectanglesInFrameCoordinates)
{
    HWND window = CreateFrameWindow(WS_OVERLAPPEDWINDOW);
    CHLMSkinObjectFrame* frame = FrameOf(window);
    ASSERT_NE(nullptr, frame);
    POINT origin = {0, 0};
    frame->ClientToFrame(origin);
    EXPECT_EQ(4, origin.x);
    EXPECT_EQ(25, origin.y);
    CRect rect(0, 0, 300, 200);
    frame->DeflateByBorders(rect);
    EXPECT_EQ(CRect(4, 25, 296, 196), rect);

    // A window with a menu gets no menu bar: the client begins below the top border.
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, 1, L"File");
    EXPECT_FALSE(frame->HasMenuBar());
    EXPECT_EQ(GetSystemMetrics(SM_CYMENUSIZE) + 1, CHLMSkinObjectFrame::GetMenuBarHeight(window, menu));
    SetMenu(window, menu);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    POINT client = {0, 0};
    ClientToScreen(window, &client);
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    EXPECT_EQ(25, client.y - windowRect.top);
    SetMenu(window, nullptr);
    DestroyMenu(menu);
    HMENU empty = CreateMenu();
    EXPECT_EQ(0, CHLMSkinObjectFrame::GetMenuBarHeight(window, empty));
    EXPECT_EQ(0, CHLMSkinObjectFrame::GetMenuBarHeight(window, nullptr));
    DestroyMenu(empty);
}

TEST_F(FrameTest, CornersOfCaptionedAndSizableAncestors)
{
    struct Case
    {
        const char* name;
        DWORD parentStyle;
        bool atCorner;
        bool gripVisible, captionCorner;
    } const cases[] = {
        {"corner of a fixed captioned window", WS_CAPTION | WS_SYSMENU, true, false, true},
        {"corner of a sizable captioned window", WS_OVERLAPPEDWINDOW, true, true, true},
        {"middle of a captioned window", WS_OVERLAPPEDWINDOW, false, false, false},
        {"corner of a maximised window", WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, true, false, false},
        {"corner of a window without caption", WS_POPUP, true, false, false},
    };
    for (const Case& row : cases)
    {
        HWND parent = CreateFrameWindow(row.parentStyle, 0, Hidden);
        RECT client;
        GetClientRect(parent, &client);
        const int size = 20;
        const int x = row.atCorner ? client.right - size : 10, y = row.atCorner ? client.bottom - size : 10;
        HWND child = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, x, y, size, size, parent, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        CHLMSkinObjectFrame* frame = FrameOf(child);
        ASSERT_NE(nullptr, frame) << row.name;
        EXPECT_EQ(row.gripVisible, frame->IsSizeGripVisible() != FALSE) << row.name;
        EXPECT_EQ(row.captionCorner, frame->IsAtCaptionedAncestorCorner() != FALSE) << row.name;
    }
}
