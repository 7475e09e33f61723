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

// A button of the gallery's font, a child of the gallery; the caller destroys it.
HWND CreateButton(HWND gallery, DWORD style, const wchar_t* text, int width, int height)
{
    HWND button = CreateWindowExW(0, L"Button", text, WS_CHILD | WS_VISIBLE | style, 760, 400, width, height, gallery,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return button;
}

// Runs work with the button's skin object and a DC of the button with its font selected, as
// the button's painting has it.
void WithButtonDC(HWND button, const std::function<void(CHLMSkinObjectButton*, CDC*)>& work)
{
    CHLMSkinObjectButton* object = ObjectOf<CHLMSkinObjectButton>(button);
    EXPECT_NE(nullptr, object);
    if (object == nullptr)
        return;
    HDC dc = GetDC(button);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(button, WM_GETFONT, 0, 0)));
    work(object, CDC::FromHandle(dc));
    SelectObject(dc, previous);
    ReleaseDC(button, dc);
}

CHLMSkinObjectButton::BUTTONLAYOUT LayoutOf(HWND button)
{
    CHLMSkinObjectButton::BUTTONLAYOUT layout;
    WithButtonDC(button, [&](CHLMSkinObjectButton* object, CDC* dc) {
        RECT client;
        GetClientRect(button, &client);
        object->CalcLayout(dc, client, &layout);
    });
    return layout;
}

// Where each kind puts its label. The test skin's check box glyph is 13 x 13, its radio glyph
// 15 x 15; its edges are 2 pixels, its borders 1. In the gallery's font a line is 13 pixels
// high and a space 3 wide, "Check" 33 and "Group" 30; text beside a check box starts 13 + 3
// in, beside a radio button 15 + 3.
TEST_F(ButtonObjectTest, LayoutOfEachKind)
{
    const UINT kAnyFormat = ~0u;
    const UINT singleLine = DT_SINGLELINE | DT_NOCLIP;
    HBITMAP bitmap = SolidBitmap(10, 10, kContentColor);
    HICON icon = SolidIcon(16, kContentColor);
    const auto setImage = [](HWND button, UINT type, HANDLE image) {
        SendMessageW(button, BM_SETIMAGE, type, reinterpret_cast<LPARAM>(image));
    };
    const struct
    {
        const char* name;
        DWORD style;
        const wchar_t* title;
        SIZE size;
        std::function<void(HWND)> prepare;
        RECT label, text, focus;
        UINT format;
    } cases[] = {
        // Beside the glyph, the text one border in, centred by DrawText.
        {"check box", BS_AUTOCHECKBOX, L"Check", {120, 20}, nullptr,
         {17, 3, 50, 16}, {16, 0, 120, 20}, {16, 2, 51, 17}, singleLine | DT_VCENTER},
        {"check box, text on the left", BS_AUTOCHECKBOX | BS_LEFTTEXT, L"Check", {120, 20}, nullptr,
         {1, 3, 34, 16}, {0, 0, 104, 20}, {0, 2, 35, 17}, singleLine | DT_VCENTER},
        {"check box, text on the left aligned right", BS_AUTOCHECKBOX | BS_LEFTTEXT | BS_RIGHT, L"Check", {120, 20},
         nullptr, {70, 3, 103, 16}, {0, 0, 104, 20}, {69, 2, 104, 17}, singleLine | DT_RIGHT | DT_VCENTER},
        // Beside the wider radio glyph.
        {"radio button at the top", BS_AUTORADIOBUTTON | BS_TOP, L"Check", {120, 40}, nullptr,
         {19, 1, 52, 14}, {18, 0, 120, 40}, {18, 0, 53, 15}, singleLine},
        {"radio button at the bottom", BS_AUTORADIOBUTTON | BS_BOTTOM, L"Check", {120, 40}, nullptr,
         {19, 26, 52, 39}, {18, 0, 120, 40}, {18, 25, 53, 40}, singleLine | DT_BOTTOM},
        // Two lines of "Check" in the 44 pixels beside the glyph, drawn where they were measured;
        // the first line's width counts the space it breaks at.
        {"multi-line check box", BS_AUTOCHECKBOX | BS_MULTILINE, L"Check Check", {60, 40}, nullptr,
         {17, 7, 53, 33}, {17, 7, 53, 33}, {16, 6, 54, 34}, DT_NOCLIP | DT_WORDBREAK | DT_EDITCONTROL | DT_VCENTER},
        // Push buttons: the content one edge in, the text and the focus one border further.
        {"push button", BS_PUSHBUTTON, L"Check", {90, 26}, nullptr,
         {28, 6, 61, 19}, {3, 3, 87, 23}, {3, 3, 87, 23}, singleLine | DT_CENTER | DT_VCENTER},
        {"icon", BS_PUSHBUTTON | BS_ICON, L"", {120, 60}, [&](HWND b) { setImage(b, IMAGE_ICON, icon); },
         {52, 22, 68, 38}, {3, 3, 117, 57}, {3, 3, 117, 57}, kAnyFormat},
        {"bitmap", BS_PUSHBUTTON | BS_BITMAP, L"", {120, 60}, [&](HWND b) { setImage(b, IMAGE_BITMAP, bitmap); },
         {55, 25, 65, 35}, {3, 3, 117, 57}, {3, 3, 117, 57}, kAnyFormat},
        // Group boxes: the caption 1 + 8 in (6 from the right end), an edge wider than its text
        // on each side.
        {"group box", BS_GROUPBOX, L"Group", {150, 110}, nullptr,
         {10, 0, 40, 13}, {9, 0, 43, 13}, {9, 0, 41, 15}, singleLine | DT_VCENTER},
        {"group box, caption on the right", BS_GROUPBOX | BS_RIGHT, L"Group", {150, 110}, nullptr,
         {112, 0, 142, 13}, {109, 0, 143, 13}, {111, 0, 143, 15}, singleLine | DT_RIGHT | DT_VCENTER},
        {"group box, caption centred", BS_GROUPBOX | BS_CENTER, L"Group", {150, 110}, nullptr,
         {61, 0, 91, 13}, {59, 0, 93, 13}, {60, 0, 92, 15}, singleLine | DT_CENTER | DT_VCENTER},
    };
    for (const auto& c : cases)
    {
        HWND button = CreateButton(m_gallery->window(), c.style, c.title, c.size.cx, c.size.cy);
        if (c.prepare)
            c.prepare(button);
        const CHLMSkinObjectButton::BUTTONLAYOUT layout = LayoutOf(button);
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(layout.bLabel);
        EXPECT_EQ(CRect(c.label), layout.rcLabel);
        EXPECT_EQ(CRect(c.text), layout.rcText);
        EXPECT_EQ(CRect(c.focus), layout.rcFocus);
        if (c.format != kAnyFormat)
        {
            EXPECT_EQ(c.format, layout.nTextFormat);
        }
        DestroyWindow(button);
    }
    // Nothing to show, nothing drawn: an image button without its image, a button without text.
    for (DWORD style : {BS_PUSHBUTTON | BS_BITMAP, BS_AUTOCHECKBOX})
    {
        HWND button = CreateButton(m_gallery->window(), style, style & BS_BITMAP ? L"Text" : L"", 120, 20);
        EXPECT_FALSE(LayoutOf(button).bLabel) << style;
        DestroyWindow(button);
    }
    DestroyIcon(icon);
    DeleteObject(bitmap);
}

// Every part code on each kind of button, whatever the kind: 0 to 2 the glyphs (0 and 2 the
// radio button's), 3 and 4 beside them, 5 the group caption, 6 the group frame, 7 the push
// button's content. Sizes as in LayoutOfEachKind: the check box glyph 13 x 13 and the radio
// glyph 15 x 15, so that each code shows which glyph it measures; edges 2, borders 1, a line
// 13 high, "Check" 33 wide and "Group" 30.
TEST_F(ButtonObjectTest, PartRectOfEachCode)
{
    const struct
    {
        const char* name;
        DWORD style;
        const wchar_t* title;
        SIZE size;
        RECT codes[8];
    } cases[] = {
        // The glyphs centred down the left; the caption 1 + 8 in, an edge wider than "Check" on
        // each side.
        {"check box", BS_AUTOCHECKBOX, L"Check", {120, 20},
         {{0, 2, 15, 17}, {0, 3, 13, 16}, {0, 2, 15, 17}, {16, 0, 120, 20}, {18, 0, 120, 20}, {9, 0, 46, 13},
          {0, 6, 120, 20}, {2, 2, 118, 18}}},
        // The glyphs on the right, centred on the last line of a spacing of 13 + 13 / 4.
        {"radio button, text on the left at the bottom", BS_AUTORADIOBUTTON | BS_LEFTTEXT | BS_BOTTOM, L"Check",
         {120, 40},
         {{105, 24, 120, 39}, {107, 25, 120, 38}, {105, 24, 120, 39}, {0, 0, 104, 40}, {0, 0, 102, 40},
          {9, 0, 46, 13}, {0, 6, 120, 40}, {2, 2, 118, 38}}},
        // The caption 1 + 6 in from the right end.
        {"group box, caption on the right", BS_GROUPBOX | BS_RIGHT, L"Group", {150, 110},
         {{0, 47, 15, 62}, {0, 48, 13, 61}, {0, 47, 15, 62}, {16, 0, 150, 110}, {18, 0, 150, 110},
          {109, 0, 143, 13}, {0, 6, 150, 110}, {2, 2, 148, 108}}},
        // A push button centres what it aligns: the caption one border right of the middle.
        {"push button", BS_PUSHBUTTON, L"Check", {90, 26},
         {{0, 5, 15, 20}, {0, 6, 13, 19}, {0, 5, 15, 20}, {16, 0, 90, 26}, {18, 0, 90, 26}, {27, 0, 64, 13},
          {0, 6, 90, 26}, {2, 2, 88, 24}}},
    };
    for (const auto& c : cases)
    {
        HWND button = CreateButton(m_gallery->window(), c.style, c.title, c.size.cx, c.size.cy);
        WithButtonDC(button, [&](CHLMSkinObjectButton* object, CDC* dc) {
            for (int code = 0; code < 8; ++code)
            {
                RECT rect = {-1, -1, -1, -1};
                object->GetPartRect(dc, &rect, code);
                EXPECT_EQ(CRect(c.codes[code]), CRect(rect)) << c.name << ", code " << code;
            }
        });
        DestroyWindow(button);
    }
    // An empty caption has no rectangle.
    HWND group = CreateButton(m_gallery->window(), BS_GROUPBOX, L"", 150, 110);
    WithButtonDC(group, [&](CHLMSkinObjectButton* object, CDC* dc) {
        RECT rect = {-1, -1, -1, -1};
        object->GetPartRect(dc, &rect, CHLMSkinObjectButton::kPartRectGroupCaption);
        EXPECT_EQ(CRect(0, 0, 0, 0), CRect(rect));
    });
    DestroyWindow(group);
}

// Which look wins when several hold at once: disabled, then pushed, then hot; a push-like
// button's check only after those; a glyph's check and mix on top of each.
TEST_F(ButtonObjectTest, DrawStateOrderOfPrecedence)
{
    enum Flags
    {
        Disabled = 1,
        Pushed = 2,
        Hot = 4  // from the mouse capture, as while the button is held
    };
    const POINT face = {4, 4}, glyph = {6, 10};
    const struct
    {
        const char* name;
        DWORD style;
        WPARAM check;
        int flags;
        POINT probe;
        COLORREF color;
    } cases[] = {
        {"push-like, checked and hot", BS_AUTOCHECKBOX | BS_PUSHLIKE, BST_CHECKED, Hot, face, Solid(kPushImage, 2)},
        {"push-like, checked, pushed and hot, disabled", BS_AUTOCHECKBOX | BS_PUSHLIKE, BST_CHECKED,
         Disabled | Pushed | Hot, face, Solid(kPushImage, 4)},
        {"push-like, pushed and hot", BS_AUTOCHECKBOX | BS_PUSHLIKE, BST_UNCHECKED, Pushed | Hot, face,
         Solid(kPushImage, 3)},
        {"default button, hot, disabled", BS_DEFPUSHBUTTON, BST_UNCHECKED, Disabled | Hot, face, Solid(kPushImage, 4)},
        {"check box, pushed", BS_AUTOCHECKBOX, BST_UNCHECKED, Pushed, glyph, Solid(kCheckImage, 3)},
        {"check box, checked and hot", BS_AUTOCHECKBOX, BST_CHECKED, Hot, glyph, Solid(kCheckImage, 6)},
        {"check box, checked, pushed and hot", BS_AUTOCHECKBOX, BST_CHECKED, Pushed | Hot, glyph,
         Solid(kCheckImage, 7)},
        {"check box, checked, pushed and hot, disabled", BS_AUTOCHECKBOX, BST_CHECKED, Disabled | Pushed | Hot, glyph,
         Solid(kCheckImage, 8)},
        {"three-state box, mixed and hot", BS_AUTO3STATE, BST_INDETERMINATE, Hot, glyph, Solid(kCheckImage, 10)},
        {"three-state box, mixed, pushed and hot", BS_AUTO3STATE, BST_INDETERMINATE, Pushed | Hot, glyph,
         Solid(kCheckImage, 11)},
        {"radio button, checked and hot", BS_AUTORADIOBUTTON, BST_CHECKED, Hot, glyph, Solid(kRadioImage, 6)},
        {"radio button, pushed and hot", BS_AUTORADIOBUTTON, BST_UNCHECKED, Pushed | Hot, glyph,
         Solid(kRadioImage, 3)},
    };
    for (const auto& c : cases)
    {
        HWND button = CreateButton(m_gallery->window(), c.style, L"State", 120, 20);
        SendMessageW(button, BM_SETCHECK, c.check, 0);
        if (c.flags & Pushed)
            SendMessageW(button, BM_SETSTATE, TRUE, 0);
        if (c.flags & Disabled)
            EnableWindow(button, FALSE);
        if (c.flags & Hot)
            SetCapture(button);
        RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(c.color, WindowPixel(button, c.probe.x, c.probe.y)) << c.name;
        if (c.flags & Hot)
            ReleaseCapture();
        DestroyWindow(button);
    }
}
}
