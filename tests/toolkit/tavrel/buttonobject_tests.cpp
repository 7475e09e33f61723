// Buttons of the control gallery under the test skin, whose images are solid colours (image f,
// frame k: RGB(16f, 15k, 96)): push buttons are image 8, check boxes 9 and radio buttons 10,
// each frame one drawing state.
#include "controlgallery.h"
#include "hlmskinmanager.h"
#include "hlmskinobjectbutton.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace
{
const int kPushImage = 8, kCheckImage = 9, kRadioImage = 10;
const COLORREF kSkinButtonFace = RGB(10, 20, 30);
const COLORREF kPushText = RGB(40, 50, 60), kPushHotText = RGB(70, 80, 90), kGroupText = RGB(0, 0, 255);

class ButtonObjectTest : public ControlGalleryTest
{
protected:

};

TEST_F(ButtonObjectTest, EveryKindIsDrawnInItsNormalState)
{
    for (int id : {kGalleryPushButton, kGalleryDefPushButton, kGalleryCheckBox, kGalleryThreeState,
                   kGalleryRadioButton, kGalleryGroupBox})
        EXPECT_NE(nullptr, ObjectOf<CHLMSkinObjectButton>(Control(id))) << id;
    struct Probe
    {
        const char* name;
        int id;
        int x, y;
        COLORREF color;
    } const probes[] = {
        {"push button", kGalleryPushButton, 4, 4, Solid(kPushImage, 1)},
        {"default push button", kGalleryDefPushButton, 4, 4, Solid(kPushImage, 5)},
        {"check box glyph", kGalleryCheckBox, 6, 10, Solid(kCheckImage, 1)},
        {"check box background", kGalleryCheckBox, 100, 2, kSkinButtonFace},
        {"radio glyph", kGalleryRadioButton, 6, 10, Solid(kRadioImage, 1)},
    };
    for (const Probe& probe : probes)
        EXPECT_EQ(probe.color, WindowPixel(Control(probe.id), probe.x, probe.y)) << probe.name;
    const RECT face = {4, 4, 86, 22};
    EXPECT_GT(CountColor(Control(kGalleryPushButton), face, kPushText), 0);
}

// Hot from the mouse, pressed from a held button, focused, disabled: one state each.
TEST_F(ButtonObjectTest, PushButtonStatesFollowMouseFocusAndEnabling)
{
    HWND push = Control(kGalleryPushButton);
    CHLMSkinObjectButton* object = ObjectOf<CHLMSkinObjectButton>(push);
    const RECT face = {4, 4, 86, 22};

    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(push, 40, 13));
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(push, 4, 4) == Solid(kPushImage, 2); }));
    EXPECT_TRUE(object->IsHot());
    EXPECT_GT(CountColor(push, face, kPushHotText), 0);

    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(push, 4, 4) == Solid(kPushImage, 3); }));
    EXPECT_TRUE(object->IsPushed());
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(push, 4, 4) == Solid(kPushImage, 2); }));
    EXPECT_FALSE(object->IsPushed());

    ParkMouse();
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(push, 4, 4) == Solid(kPushImage, 1); }));
    EXPECT_FALSE(object->IsHot());

    // The click gave it the focus: the dotted rectangle lies one border inside the content.
    const CHLMSkinManagerMetrics* metrics = GetSkinManager()->GetMetrics();
    const int inset = metrics->m_cxEdge + metrics->m_cxBorder;
    const RECT focusLine = {inset, inset, inset + 20, inset + 1};
    ASSERT_EQ(push, GetFocus());
    EXPECT_GT(20 - CountColor(push, focusLine, Solid(kPushImage, 1)), 0);
    SetFocus(m_gallery->window());
    PumpMessages();
    EXPECT_EQ(20, CountColor(push, focusLine, Solid(kPushImage, 1)));

    EnableWindow(push, FALSE);
    PumpMessages();
    EXPECT_EQ(Solid(kPushImage, 4), WindowPixel(push, 4, 4));
}

TEST_F(ButtonObjectTest, CheckedMixedAndDisabledGlyphs)
{
    struct Case
    {
        const char* name;
        int id;
        WPARAM check;
        BOOL enabled;
        COLORREF glyph;
    } const cases[] = {
        {"checked box", kGalleryCheckBox, BST_CHECKED, TRUE, Solid(kCheckImage, 5)},
        {"three-state box, indeterminate", kGalleryThreeState, BST_INDETERMINATE, TRUE, Solid(kCheckImage, 9)},
        {"disabled unchecked box", kGalleryCheckBox, BST_UNCHECKED, FALSE, Solid(kCheckImage, 4)},
        {"disabled indeterminate box", kGalleryThreeState, BST_INDETERMINATE, FALSE, Solid(kCheckImage, 12)},
        {"checked radio button", kGalleryRadioButton, BST_CHECKED, TRUE, Solid(kRadioImage, 5)},
        {"disabled checked radio button", kGalleryRadioButton, BST_CHECKED, FALSE, Solid(kRadioImage, 8)},
    };
    for (const Case& c : cases)
    {
        HWND button = Control(c.id);
        EnableWindow(button, c.enabled);
        SendMessageW(button, BM_SETCHECK, c.check, 0);
        PumpMessages();
        EXPECT_EQ(c.glyph, WindowPixel(button, 6, 10)) << c.name;
    }
}

TEST_F(ButtonObjectTest, PressedLookFollowsSetStateAndAHotDefaultButtonIsNotDefaulted)
{
    HWND button = Control(kGalleryDefPushButton);
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    PumpMessages();
    EXPECT_EQ(Solid(kPushImage, 3), WindowPixel(button, 4, 4));
    SendMessageW(button, BM_SETSTATE, FALSE, 0);
    PumpMessages();
    EXPECT_EQ(Solid(kPushImage, 5), WindowPixel(button, 4, 4));
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(button, 40, 13));
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(button, 4, 4) == Solid(kPushImage, 2); }));
}

TEST_F(ButtonObjectTest, GroupBoxIgnoresTheMouseAndLeavesNothingOfAnOldCaption)
{
    HWND group = Control(kGalleryGroupBox);
    SetWindowTextW(group, L"A much longer group caption");
    PumpMessages();
    RECT band = {0, 0, 150, 14};
    ASSERT_GT(CountColor(group, band, kGroupText), 0);

    // Shorter and disabled at once: the old caption's far end must be gone.
    EnableWindow(group, FALSE);
    SetWindowTextW(group, L"G");
    PumpMessages();
    RECT farEnd = {40, 0, 150, 14};
    EXPECT_EQ(0, CountColor(group, farEnd, kGroupText));
    EXPECT_EQ(kSkinButtonFace, WindowPixel(group, 100, 2));

    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(group, 60, 60));
    PumpMessages();
    EXPECT_FALSE(ObjectOf<CHLMSkinObjectButton>(group)->IsHot());
}

// An owner-drawn button keeps its own painting.
TEST_F(ButtonObjectTest, OwnerDrawnButtonsAreLeftAlone)
{
    HWND button = CreateWindowExW(0, L"Button", L"Owner", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 200, 80, 24,
                                  m_gallery->window(), nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    CHLMSkinObjectButton* object = ObjectOf<CHLMSkinObjectButton>(button);
    LRESULT result = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    if (object != nullptr)
    {
        EXPECT_FALSE(object->OnHookMessage(WM_PAINT, wParam, lParam, result));
    }
    EXPECT_NE(Solid(kPushImage, 1), WindowPixel(button, 4, 4));
    DestroyWindow(button);
}
}

namespace
{
const COLORREF kContentColor = RGB(3, 200, 5);

// An opaque icon of one colour.
HICON SolidIcon(int size, COLORREF color)
{
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = SolidBitmap(size, size, color);
    info.hbmMask = SolidBitmap(size, size, RGB(0, 0, 0));
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return icon;
}

// Content kinds of buttons: bitmaps and icons centred in the face (nothing without an image),
// push-like check boxes in the push button's part and multi-line texts broken into lines.
TEST_F(ButtonObjectTest, ContentKindsAreDrawnLikeTheSystemDrawsThem)
{
    const int width = 120, height = 60;
    const RECT face = {4, 4, width - 4, height - 4};
    HBITMAP bitmap = SolidBitmap(10, 10, kContentColor);
    HICON icon = SolidIcon(16, kContentColor);
    const struct
    {
        const char* name;
        DWORD style;
        const wchar_t* text;
        std::function<void(HWND)> prepare;
        std::function<void(HWND)> check;
    } cases[] = {
        {"bitmap", BS_PUSHBUTTON | BS_BITMAP, L"",
         [&](HWND button) { SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)); },
         [&](HWND button) {
             EXPECT_EQ(100, CountColor(button, face, kContentColor));
             EXPECT_EQ(kContentColor, WindowPixel(button, width / 2, height / 2));
         }},
        {"bitmap without an image", BS_PUSHBUTTON | BS_BITMAP, L"Text", [](HWND) {},
         [&](HWND button) {
             SetFocus(button);
             SendMessageW(button, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
             UpdateWindow(button);
             const int area = (face.right - face.left) * (face.bottom - face.top);
             EXPECT_EQ(area, CountColor(button, face, Solid(kPushImage, 1))) << "no text, no focus rectangle";
         }},
        {"icon", BS_PUSHBUTTON | BS_ICON, L"",
         [&](HWND button) { SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)); },
         [&](HWND button) {
             EXPECT_EQ(16 * 16, CountColor(button, face, kContentColor));
             EXPECT_EQ(kContentColor, WindowPixel(button, width / 2, height / 2));
         }},
        {"push-like check box, checked", BS_AUTOCHECKBOX | BS_PUSHLIKE, L"Push",
         [](HWND button) { SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0); },
         [](HWND button) {
             EXPECT_EQ(Solid(kPushImage, 3), WindowPixel(button, 2, 2));
             EXPECT_EQ(0, CountColor(button, {0, 0, 20, height}, Solid(kCheckImage, 5))) << "no check glyph";
         }},
        {"push-like check box", BS_AUTOCHECKBOX | BS_PUSHLIKE, L"Push", [](HWND) {},
         [](HWND button) { EXPECT_EQ(Solid(kPushImage, 1), WindowPixel(button, 2, 2)); }},
        {"multi-line text", BS_PUSHBUTTON | BS_MULTILINE, L"Several words that fill more than one line", [](HWND) {},
         [&](HWND button) {
             const RECT ink = InkBounds(button, face, kPushText);
             ASSERT_FALSE(IsRectEmpty(&ink));
             EXPECT_GT(ink.bottom - ink.top, 20) << "two lines at least";
             EXPECT_LE(ink.right, face.right);
         }},
        {"single-line text", BS_PUSHBUTTON, L"Several words that fill more than one line", [](HWND) {},
         [&](HWND button) {
             const RECT ink = InkBounds(button, {0, 0, width, height}, kPushText);
             ASSERT_FALSE(IsRectEmpty(&ink));
             EXPECT_LT(ink.bottom - ink.top, 16) << "one line";
         }},
    };
    for (const auto& c : cases)
    {
        HWND button = CreateWindowExW(0, L"Button", c.text, WS_CHILD | WS_VISIBLE | c.style, 760, 400, width, height,
                                      m_gallery->window(), nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(button, WM_SETFONT, SendMessageW(Control(kGalleryPushButton), WM_GETFONT, 0, 0), FALSE);
        ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectButton>(button)) << c.name;
        c.prepare(button);
        RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpMessages();
        SCOPED_TRACE(c.name);
        c.check(button);
        DestroyWindow(button);
    }
    DestroyIcon(icon);
    DeleteObject(bitmap);
}
}
