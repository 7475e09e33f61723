// The toolbar object under the test skin, whose toolbar parts are solid colours with one frame
// per drawing state (image f, frame k: RGB(16f, 15k, 160)): buttons are image 11, split
// buttons 12, their arrow parts 13 and separators 14. The gallery's toolbar holds, in this
// order: a plain button, a checked one, a disabled one, a separator, a split button and a
// whole-drop-down button, all with images and texts.
#include "controlgallery.h"
#include "hlmskinmanager.h"
#include "hlmskinobjecttoolbar.h"
#include "pixels.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
const int kButtonImage = 11, kSplitImage = 12, kSplitArrowImage = 13, kSeparatorImage = 14;
const int kNormal = 1, kHot = 2, kPressed = 3, kDisabled = 4, kChecked = 5;
const COLORREF kSkinButtonFace = RGB(10, 20, 30);
// The gallery's buttons by index.
const int kPlainButton = 0, kCheckedButton = 1, kDisabledButton = 2, kSeparator = 3, kSplitButton = 4,
          kWholeDropDown = 5;
// Where the square of a button's image starts in a list-style button (images of 16 pixels,
// their squares inset by 2): the padding's half plus the edge across, centred down.
POINT ImageSquare(const RECT& button)
{
    return {button.left + 2 + 3 + 2, (button.top + button.bottom - 16) / 2 + 2};
}

RECT ItemRect(HWND toolBar, int index)
{
    RECT rect = {};
    SendMessageW(toolBar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

int CommandOf(HWND toolBar, int index)
{
    TBBUTTON button = {};
    SendMessageW(toolBar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
    return button.idCommand;
}

COLORREF FacePixel(HWND toolBar, int index)
{
    const RECT rect = ItemRect(toolBar, index);
    return WindowPixel(toolBar, rect.left + 1, rect.top + 1);
}

void Repaint(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
}

class ToolBarObjectTest : public ControlGalleryTest
{
protected:
    HWND ToolBar() const { return Control(kGalleryToolBar); }
};

TEST_F(ToolBarObjectTest, EveryButtonKindIsDrawnFromTheSkin)
{
    HWND toolBar = ToolBar();
    ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectToolBar>(toolBar));
    const RECT split = ItemRect(toolBar, kSplitButton), whole = ItemRect(toolBar, kWholeDropDown);
    const int arrow = GetSystemMetrics(SM_CYMENUCHECK);
    struct Probe
    {
        const char* name;
        int x, y;
        COLORREF color;
    } const probes[] = {
        {"plain button", ItemRect(toolBar, kPlainButton).left + 1, 1, SecondSet(kButtonImage, kNormal)},
        {"checked button", ItemRect(toolBar, kCheckedButton).left + 1, 1, SecondSet(kButtonImage, kChecked)},
        {"disabled button", ItemRect(toolBar, kDisabledButton).left + 1, 1, SecondSet(kButtonImage, kDisabled)},
        {"separator", ItemRect(toolBar, kSeparator).left + 1, 1, SecondSet(kSeparatorImage, 1)},
        {"split button", split.left + 1, 1, SecondSet(kSplitImage, kNormal)},
        {"split button, last pixel before its arrow", split.right - arrow - 1, 1, SecondSet(kSplitImage, kNormal)},
        {"split button's arrow part", split.right - arrow, 1, SecondSet(kSplitArrowImage, kNormal)},
        {"whole-drop-down button", whole.left + 1, 1, SecondSet(kButtonImage, kNormal)},
        {"whole-drop-down triangle", whole.right - 6, (whole.top + whole.bottom) / 2, SkinColor(COLOR_BTNTEXT)},
        {"beside the triangle", whole.right - 6, (whole.top + whole.bottom) / 2 + 3, SecondSet(kButtonImage, kNormal)},
        {"toolbar beyond the buttons", whole.right + 10, 5, kSkinButtonFace},
    };
    for (const Probe& probe : probes)
        EXPECT_EQ(probe.color, WindowPixel(toolBar, probe.x, probe.y)) << probe.name;

    // Texts in the skin's button text colour, the disabled one in its shadow colour.
    EXPECT_GT(CountColor(toolBar, ItemRect(toolBar, kPlainButton), SkinColor(COLOR_BTNTEXT)), 10);
    EXPECT_GT(CountColor(toolBar, ItemRect(toolBar, kDisabledButton), SkinColor(COLOR_BTNSHADOW)), 10);
    // The disabled button has no disabled list: its image is embossed, the shadow colour over
    // the highlight one pixel down and right.
    const RECT disabled = ItemRect(toolBar, kDisabledButton);
    const int x = ImageSquare(disabled).x, y = ImageSquare(disabled).y;
    EXPECT_EQ(SkinColor(COLOR_BTNSHADOW), WindowPixel(toolBar, x, y));
    EXPECT_EQ(SkinColor(COLOR_BTNHIGHLIGHT), WindowPixel(toolBar, x + 12, y + 12));
}

// Hot from the mouse (SendInput), pressed from a held button with the image one pixel
// down and right, and a checked button that stays checked under the mouse.
TEST_F(ToolBarObjectTest, ButtonStatesFollowTheMouse)
{
    HWND toolBar = ToolBar();
    const RECT plain = ItemRect(toolBar, kPlainButton);
    const POINT square = ImageSquare(plain);
    const COLORREF imageColor = WindowPixel(toolBar, square.x, square.y);
    ASSERT_NE(SecondSet(kButtonImage, kNormal), imageColor);

    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(toolBar, plain.left + 30, 11));
    EXPECT_TRUE(PumpUntil([&] { return FacePixel(toolBar, kPlainButton) == SecondSet(kButtonImage, kHot); }));
    EXPECT_EQ(imageColor, WindowPixel(toolBar, square.x, square.y));

    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return FacePixel(toolBar, kPlainButton) == SecondSet(kButtonImage, kPressed); }));
    EXPECT_EQ(SecondSet(kButtonImage, kPressed), WindowPixel(toolBar, square.x, square.y));
    EXPECT_EQ(imageColor, WindowPixel(toolBar, square.x + 1, square.y + 1));
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return FacePixel(toolBar, kPlainButton) == SecondSet(kButtonImage, kHot); }));

    const RECT checked = ItemRect(toolBar, kCheckedButton);
    SendMouse(MOUSEEVENTF_MOVE, ScreenPoint(toolBar, checked.left + 30, 11));
    EXPECT_TRUE(PumpUntil([&] { return FacePixel(toolBar, kPlainButton) == SecondSet(kButtonImage, kNormal); }));
    EXPECT_EQ(static_cast<LRESULT>(kCheckedButton), SendMessageW(toolBar, TB_GETHOTITEM, 0, 0));
    EXPECT_EQ(SecondSet(kButtonImage, kChecked), FacePixel(toolBar, kCheckedButton));

    ParkMouse();
    EXPECT_TRUE(PumpUntil([&] { return SendMessageW(toolBar, TB_GETHOTITEM, 0, 0) < 0; }));
    PumpMessages();
    EXPECT_EQ(SecondSet(kButtonImage, kNormal), FacePixel(toolBar, kPlainButton));
    EXPECT_EQ(SecondSet(kButtonImage, kChecked), FacePixel(toolBar, kCheckedButton));
}

TEST_F(ToolBarObjectTest, PressedDropDownsMoveTheirArrows)
{
    HWND toolBar = ToolBar();
    const RECT split = ItemRect(toolBar, kSplitButton), whole = ItemRect(toolBar, kWholeDropDown);
    const int arrow = GetSystemMetrics(SM_CYMENUCHECK);
    const POINT tip = {whole.right - 6, (whole.top + whole.bottom) / 2 + 1};
    EXPECT_EQ(SkinColor(COLOR_BTNTEXT), WindowPixel(toolBar, tip.x, tip.y));
    EXPECT_NE(SkinColor(COLOR_BTNTEXT), WindowPixel(toolBar, tip.x, tip.y + 1));

    for (int index : {kSplitButton, kWholeDropDown})
        SendMessageW(toolBar, TB_PRESSBUTTON, CommandOf(toolBar, index), TRUE);
    PumpMessages();
    EXPECT_EQ(SecondSet(kSplitImage, kPressed), WindowPixel(toolBar, split.left + 1, 1));
    EXPECT_EQ(SecondSet(kSplitArrowImage, kPressed), WindowPixel(toolBar, split.right - arrow, 1));
    EXPECT_EQ(SecondSet(kButtonImage, kPressed), WindowPixel(toolBar, whole.left + 1, 1));
    EXPECT_EQ(SkinColor(COLOR_BTNTEXT), WindowPixel(toolBar, tip.x + 1, tip.y + 1));
    EXPECT_NE(SkinColor(COLOR_BTNTEXT), WindowPixel(toolBar, tip.x - 2, tip.y - 1));
}

// A disabled button without a disabled list: grey from a version-6 list of alpha images,
// embossed from any other list; a disabled list's own image when there is one.
TEST_F(ToolBarObjectTest, DisabledImagesWithoutADisabledList)
{
    HWND toolBar = ToolBar();
    const RECT disabled = ItemRect(toolBar, kDisabledButton);
    const POINT square = {ImageSquare(disabled).x + 4, ImageSquare(disabled).y + 4};
    const COLORREF red = RGB(220, 30, 30);

    // Three 16 x 16 images of 32 bits: an opaque red square in a transparent ground.
    HIMAGELIST alpha = ImageList_Create(16, 16, ILC_COLOR32, 3, 0);
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 48;
        info.bmiHeader.biHeight = -16;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP strip = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        DWORD* pixels = static_cast<DWORD*>(bits);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 48; ++x)
            {
                const bool inside = y >= 2 && y < 14 && x % 16 >= 2 && x % 16 < 14;
                pixels[y * 48 + x] = inside ? Bgra(GetBValue(red), GetGValue(red), GetRValue(red), 255) : 0;
            }
        ASSERT_EQ(0, ImageList_Add(alpha, strip, nullptr));
        DeleteObject(strip);
    }
    HIMAGELIST gallery = reinterpret_cast<HIMAGELIST>(SendMessageW(toolBar, TB_GETIMAGELIST, 0, 0));

    enum Look
    {
        Grey,
        Embossed,
        Red
    };
    struct Case
    {
        const char* name;
        DWORD version;
        HIMAGELIST normal;
        HIMAGELIST disabledList;
        Look look;
    } const cases[] = {
        {"24-bit list, version 5.81", 0x50051, gallery, nullptr, Embossed},
        {"24-bit list, version 6", 0x60000, gallery, nullptr, Embossed},
        {"alpha list, version 5.81", 0x50051, alpha, nullptr, Embossed},
        {"alpha list, version 6", 0x60000, alpha, nullptr, Grey},
        {"a disabled list of its own", 0x60000, gallery, alpha, Red},
    };
    for (const Case& c : cases)
    {
        CComCtlVersionScope version(c.version);
        SendMessageW(toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(c.normal));
        SendMessageW(toolBar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(c.disabledList));
        EXPECT_EQ(c.version >= 0x60000 && c.normal == alpha, ObjectOf<CHLMSkinObjectToolBar>(toolBar)->IsAlphaImageList(c.normal)) << c.name;
        Repaint(toolBar);
        const COLORREF pixel = WindowPixel(toolBar, square.x, square.y);
        switch (c.look)
        {
        case Grey:
            EXPECT_TRUE(GetRValue(pixel) == GetGValue(pixel) && GetGValue(pixel) == GetBValue(pixel)) << c.name;
            EXPECT_NE(SkinColor(COLOR_BTNSHADOW), pixel) << c.name;
            break;
        case Embossed:
            EXPECT_EQ(SkinColor(COLOR_BTNSHADOW), pixel) << c.name;
            break;
        case Red:
            EXPECT_EQ(red, pixel) << c.name;
            break;
        }
    }
    SendMessageW(toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(gallery));
    SendMessageW(toolBar, TB_SETDISABLEDIMAGELIST, 0, 0);
    ImageList_Destroy(alpha);
}

// A toolbar of the gallery with its images above the texts: a plain button, one without a
// text, a split button and a whole-drop-down button; the caller destroys it.
HWND CreateImagesAboveToolBar(HWND gallery, HWND galleryToolBar)
{
    const DWORD style = WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE;
    HWND toolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", style, 10, 660, 400, 50, gallery, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolBar, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SendMessageW(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolBar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageW(toolBar, TB_SETIMAGELIST, 0, SendMessageW(galleryToolBar, TB_GETIMAGELIST, 0, 0));
    const TBBUTTON buttons[] = {
        {0, 1, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>(L"Open")},
        {1, 2, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1},
        {3, 3, TBSTATE_ENABLED, BTNS_DROPDOWN, {}, 0, reinterpret_cast<INT_PTR>(L"Split")},
        {4, 4, TBSTATE_ENABLED, BTNS_WHOLEDROPDOWN, {}, 0, reinterpret_cast<INT_PTR>(L"Menu")},
    };
    SendMessageW(toolBar, TB_ADDBUTTONSW, _countof(buttons), reinterpret_cast<LPARAM>(buttons));
    SendMessageW(toolBar, TB_AUTOSIZE, 0, 0);
    return toolBar;
}

// Where each kind of button puts its pieces, from the item rectangles the control gives. The
// test skin's edges are 2 pixels; the images are 16 x 16 and the padding 7 across, 6 down (so
// images stand 1 below the edge); a split button's arrow part is SM_CYMENUCHECK (13) wide,
// any other drop-down arrow takes 5. In list style (the gallery's toolbar) the image stands
// half the padding in and the text two edges after it; otherwise the image is centred across
// and the text fills the rest below it.
TEST_F(ToolBarObjectTest, LayoutOfEachButtonKind)
{
    HWND list = ToolBar();
    HWND above = CreateImagesAboveToolBar(m_gallery->window(), list);
    const UINT kOwnState = ~0u;
    const UINT listFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
    const UINT aboveFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_CENTER;
    const RECT none = {0, 0, 0, 0};
    const struct
    {
        const char* name;
        HWND toolBar;
        int index;
        UINT state;
        LRESULT answer;
        RECT item, face, splitArrow, image, text, dropArrow;
        UINT format;
    } cases[] = {
        {"list: image beside the text", list, kPlainButton, kOwnState, CDRF_DODEFAULT,
         {0, 0, 61, 22}, {0, 0, 61, 22}, none, {5, 3, 21, 19}, {23, 2, 60, 20}, none, listFormat},
        {"list: checked, a pixel down and right", list, kCheckedButton, kOwnState, CDRF_DODEFAULT,
         {61, 0, 122, 22}, {61, 0, 122, 22}, none, {67, 4, 83, 20}, {85, 3, 122, 21}, none, listFormat},
        {"list: checked, the parent asks for no offset", list, kCheckedButton, kOwnState, TBCDRF_NOOFFSET,
         {61, 0, 122, 22}, {61, 0, 122, 22}, none, {66, 3, 82, 19}, {84, 2, 121, 20}, none, listFormat},
        {"list: split button", list, kSplitButton, kOwnState, CDRF_DODEFAULT,
         {191, 0, 263, 22}, {191, 0, 250, 22}, {250, 0, 263, 22}, {196, 3, 212, 19}, {214, 2, 249, 20}, none,
         listFormat},
        {"list: whole drop-down", list, kWholeDropDown, kOwnState, CDRF_DODEFAULT,
         {263, 0, 335, 22}, {263, 0, 335, 22}, none, {268, 3, 284, 19}, {286, 2, 329, 20}, {327, 10, 331, 12},
         listFormat},
        {"list: whole drop-down, pressed", list, kWholeDropDown, CDIS_SELECTED, CDRF_DODEFAULT,
         {263, 0, 335, 22}, {263, 0, 335, 22}, none, {269, 4, 285, 20}, {287, 3, 330, 21}, {328, 11, 332, 13},
         listFormat},
        {"above: text below the image", above, 0, kOwnState, CDRF_DODEFAULT,
         {0, 0, 37, 36}, {0, 0, 37, 36}, none, {10, 3, 26, 19}, {3, 20, 36, 35}, none, aboveFormat},
        {"above: pressed, the text's top stays", above, 0, CDIS_SELECTED, CDRF_DODEFAULT,
         {0, 0, 37, 36}, {0, 0, 37, 36}, none, {11, 4, 27, 20}, {4, 21, 37, 35}, none, aboveFormat},
        {"above: no text", above, 1, kOwnState, CDRF_DODEFAULT,
         {37, 0, 74, 36}, {37, 0, 74, 36}, none, {47, 3, 63, 19}, none, none, aboveFormat},
        {"above: split button", above, 2, kOwnState, CDRF_DODEFAULT,
         {74, 0, 122, 36}, {74, 0, 109, 36}, {109, 0, 122, 36}, {83, 3, 99, 19}, {77, 20, 108, 35}, none, aboveFormat},
        {"above: whole drop-down", above, 3, kOwnState, CDRF_DODEFAULT,
         {122, 0, 170, 36}, {122, 0, 170, 36}, none, {135, 3, 151, 19}, {125, 20, 164, 35}, {162, 17, 166, 19},
         aboveFormat},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CHLMSkinObjectToolBar* object = ObjectOf<CHLMSkinObjectToolBar>(c.toolBar);
        ASSERT_NE(nullptr, object);
        // The control's own layout, which the numbers build on.
        ASSERT_EQ(CRect(c.item), CRect(ItemRect(c.toolBar, c.index)));
        TBBUTTON button = {};
        NMTBCUSTOMDRAW record = {};
        ASSERT_TRUE(object->ReadButton(c.index, &button, &record));
        if (c.state != kOwnState)
            record.nmcd.uItemState = c.state;
        CHLMSkinObjectToolBar::BUTTONLAYOUT layout;
        object->CalcButtonLayout(button, record, c.answer, !object->GetButtonText(button).IsEmpty(), &layout);
        EXPECT_EQ(CRect(c.face), layout.rcFace);
        EXPECT_EQ(!IsRectEmpty(&c.splitArrow), layout.bSplit);
        EXPECT_EQ(CRect(c.splitArrow), layout.rcSplitArrow);
        EXPECT_EQ(CRect(c.image), layout.rcImage);
        EXPECT_EQ(CRect(c.text), layout.rcText);
        EXPECT_EQ(CRect(c.dropArrow), layout.rcDropArrow);
        EXPECT_EQ(c.format, layout.nTextFormat);
    }
    DestroyWindow(above);
}

// ---------------------------------------------------------------------------------------
// A toolbar of its own parent, which records the custom-draw notifications and answers them
// as a test asks.

struct CustomDrawCall
{
    DWORD stage;
    DWORD_PTR item;
    UINT state;
};

class ToolBarParentTest : public TestSkinTest
{
protected:
    // Buttons: plain, checked, disabled, hidden; commands 1 to 4, data 100 + command.
    void SetUp() override
    {
        TestSkinTest::SetUp();
        if (HasFatalFailure())
            return;
        RegisterWindowClass(L"QuilbrookToolBarParent", ParentProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        s_test = this;
        m_parent = CreateWindowExW(0, L"QuilbrookToolBarParent", L"Toolbar", WS_OVERLAPPEDWINDOW, 40, 40, 400, 120,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        m_toolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                                    WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NODIVIDER, 0, 0, 0, 0,
                                    m_parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolBarId)),
                                    GetModuleHandleW(nullptr), nullptr);
        SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        const BYTE states[] = {TBSTATE_ENABLED, TBSTATE_ENABLED | TBSTATE_CHECKED, 0, TBSTATE_ENABLED | TBSTATE_HIDDEN};
        const wchar_t* const texts[] = {L"One", L"Two", L"Three", L"Four"};
        for (int i = 0; i < 4; ++i)
        {
            const TBBUTTON button = {I_IMAGENONE, i + 1, states[i], BTNS_BUTTON, {}, static_cast<DWORD_PTR>(101 + i),
                                     reinterpret_cast<INT_PTR>(texts[i])};
            SendMessageW(m_toolBar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
        }
        SendMessageW(m_toolBar, TB_AUTOSIZE, 0, 0);
        ShowWindow(m_parent, SW_SHOW);
        PumpMessages();
    }

    void TearDown() override
    {
        DestroyWindow(m_parent);
        PumpMessages();
        s_test = nullptr;
        CleanSkinManager();
    }

    static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NOTIFY && s_test != nullptr &&
            reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(NM_CUSTOMDRAW))
            return s_test->OnCustomDraw(wParam, reinterpret_cast<NMTBCUSTOMDRAW*>(lParam));
        return DefWindowProcW(window, message, wParam, lParam);
    }

    LRESULT OnCustomDraw(WPARAM id, NMTBCUSTOMDRAW* record)
    {
        EXPECT_EQ(static_cast<WPARAM>(kToolBarId), id);
        EXPECT_EQ(static_cast<UINT_PTR>(kToolBarId), record->nmcd.hdr.idFrom);
        EXPECT_EQ(m_toolBar, record->nmcd.hdr.hwndFrom);
        EXPECT_NE(nullptr, record->nmcd.hdc);
        if (record->nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
        {
            const int index = static_cast<int>(record->nmcd.dwItemSpec) - 1;
            const RECT rect = ItemRect(m_toolBar, index);
            EXPECT_TRUE(EqualRect(&rect, &record->nmcd.rc)) << index;
            EXPECT_EQ(static_cast<LPARAM>(101 + index), record->nmcd.lItemlParam);
            EXPECT_EQ(rect.right - rect.left - 4, record->rcText.right) << index;
            EXPECT_EQ(rect.bottom - rect.top - 4, record->rcText.bottom) << index;
        }
        calls.push_back({record->nmcd.dwDrawStage, record->nmcd.dwItemSpec, record->nmcd.uItemState});
        return answer ? answer(record) : CDRF_DODEFAULT;
    }

    std::vector<CustomDrawCall> Paint()
    {
        calls.clear();
        Repaint(m_toolBar);
        return calls;
    }

    static const int kToolBarId = 77;
    static ToolBarParentTest* s_test;
    HWND m_parent = nullptr;
    HWND m_toolBar = nullptr;
    std::vector<CustomDrawCall> calls;
    std::function<LRESULT(NMTBCUSTOMDRAW*)> answer;
};

ToolBarParentTest* ToolBarParentTest::s_test = nullptr;

::testing::AssertionResult CallsAre(const std::vector<CustomDrawCall>& calls,
                                    const std::vector<CustomDrawCall>& expected)
{
    std::string text;
    for (const CustomDrawCall& call : calls)
        text += " (" + std::to_string(call.stage) + ", " + std::to_string(call.item) + ", " +
                std::to_string(call.state) + ")";
    if (calls.size() != expected.size())
        return ::testing::AssertionFailure() << "calls:" << text;
    for (size_t i = 0; i < calls.size(); ++i)
    {
        if (calls[i].stage != expected[i].stage || calls[i].item != expected[i].item ||
            calls[i].state != expected[i].state)
            return ::testing::AssertionFailure() << "calls:" << text;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(ToolBarParentTest, ParentGetsCustomDrawAndItsAnswersHold)
{
    ASSERT_NE(nullptr, ObjectOf<CHLMSkinObjectToolBar>(m_toolBar));
    // Every stage with the parent asking for nothing: the visible buttons, hidden ones skipped.
    EXPECT_TRUE(CallsAre(Paint(), {{CDDS_PREPAINT, 0, 0},
                                   {CDDS_ITEMPREPAINT, 1, 0},
                                   {CDDS_ITEMPREPAINT, 2, CDIS_CHECKED},
                                   {CDDS_ITEMPREPAINT, 3, CDIS_DISABLED}}));
    EXPECT_EQ(SecondSet(kButtonImage, kNormal), FacePixel(m_toolBar, 0));
    EXPECT_EQ(SecondSet(kButtonImage, kChecked), FacePixel(m_toolBar, 1));

    // Post-paint stages when asked; a skipped button stays blank, a changed state is drawn,
    // a button without edges shows the toolbar's face.
    answer = [](NMTBCUSTOMDRAW* record) -> LRESULT {
        switch (record->nmcd.dwDrawStage == CDDS_PREPAINT ? 0 : record->nmcd.dwItemSpec)
        {
        case 0: return CDRF_NOTIFYPOSTPAINT;
        case 1: return CDRF_SKIPDEFAULT;
        case 2: record->nmcd.uItemState = CDIS_HOT; return CDRF_DODEFAULT;
        case 3: return TBCDRF_NOEDGES | CDRF_NOTIFYPOSTPAINT;
        default: return CDRF_DODEFAULT;
        }
    };
    EXPECT_TRUE(CallsAre(Paint(), {{CDDS_PREPAINT, 0, 0},
                                   {CDDS_ITEMPREPAINT, 1, 0},
                                   {CDDS_ITEMPREPAINT, 2, CDIS_CHECKED},
                                   {CDDS_ITEMPREPAINT, 3, CDIS_DISABLED},
                                   {CDDS_ITEMPOSTPAINT, 3, CDIS_DISABLED},
                                   {CDDS_POSTPAINT, 0, 0}}));
    EXPECT_EQ(kSkinButtonFace, FacePixel(m_toolBar, 0));
    EXPECT_EQ(0, CountColor(m_toolBar, ItemRect(m_toolBar, 0), SkinColor(COLOR_BTNTEXT)));
    EXPECT_EQ(SecondSet(kButtonImage, kHot), FacePixel(m_toolBar, 1));
    EXPECT_EQ(kSkinButtonFace, FacePixel(m_toolBar, 2));
    EXPECT_GT(CountColor(m_toolBar, ItemRect(m_toolBar, 2), SkinColor(COLOR_BTNSHADOW)), 10);

    // Skipping the whole paint leaves the plain button face and asks about no button.
    answer = [](NMTBCUSTOMDRAW*) -> LRESULT { return CDRF_SKIPDEFAULT; };
    EXPECT_TRUE(CallsAre(Paint(), {{CDDS_PREPAINT, 0, 0}}));
    for (int index = 0; index < 3; ++index)
        EXPECT_EQ(kSkinButtonFace, FacePixel(m_toolBar, index)) << index;
}

// Which look wins when the item state holds several flags, as a parent may set them:
// disabled, then pressed, then checked, then hot.
TEST_F(ToolBarParentTest, DrawStateOrderOfPrecedence)
{
    const struct
    {
        const char* name;
        UINT state;
        int frame;
    } cases[] = {
        {"disabled, pressed, checked and hot", CDIS_DISABLED | CDIS_SELECTED | CDIS_CHECKED | CDIS_HOT, kDisabled},
        {"disabled and checked", CDIS_DISABLED | CDIS_CHECKED, kDisabled},
        {"pressed, checked and hot", CDIS_SELECTED | CDIS_CHECKED | CDIS_HOT, kPressed},
        {"checked and hot", CDIS_CHECKED | CDIS_HOT, kChecked},
        {"hot", CDIS_HOT, kHot},
        {"nothing", 0, kNormal},
    };
    for (const auto& c : cases)
    {
        answer = [&c](NMTBCUSTOMDRAW* record) -> LRESULT {
            if (record->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && record->nmcd.dwItemSpec == 1)
                record->nmcd.uItemState = c.state;
            return CDRF_DODEFAULT;
        };
        Paint();
        EXPECT_EQ(SecondSet(kButtonImage, c.frame), FacePixel(m_toolBar, 0)) << c.name;
    }
}

// A button text longer than 256 characters is read whole, not into a buffer of fixed size.
TEST_F(ToolBarParentTest, ButtonTextsAreReadAtTheirFullLength)
{
    std::wstring longText;
    for (int i = 0; i < 300; ++i)
        longText += static_cast<wchar_t>(L'a' + i % 26);
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = &longText[0];
    ASSERT_TRUE(SendMessageW(m_toolBar, TB_SETBUTTONINFOW, 1, reinterpret_cast<LPARAM>(&info)));
    const int pooled = static_cast<int>(SendMessageW(m_toolBar, TB_ADDSTRINGW, 0,
                                                     reinterpret_cast<LPARAM>(L"Pooled\0")));
    const TBBUTTON added[] = {{I_IMAGENONE, 5, TBSTATE_ENABLED, BTNS_BUTTON, {}, 105, pooled},
                              {I_IMAGENONE, 6, TBSTATE_ENABLED, BTNS_BUTTON, {}, 106, -1}};
    SendMessageW(m_toolBar, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(added));

    CHLMSkinObjectToolBar* object = ObjectOf<CHLMSkinObjectToolBar>(m_toolBar);
    ASSERT_NE(nullptr, object);
    struct Case
    {
        int index;
        std::wstring text;
    } const cases[] = {{0, longText}, {1, L"Two"}, {4, L"Pooled"}, {5, L""}};
    for (const Case& c : cases)
    {
        TBBUTTON button = {};
        SendMessageW(m_toolBar, TB_GETBUTTON, c.index, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(c.text, std::wstring(object->GetButtonText(button).GetString())) << c.index;
    }
    Paint();
    RECT start = ItemRect(m_toolBar, 0);
    start.right = start.left + 60;
    EXPECT_GT(CountColor(m_toolBar, start, SkinColor(COLOR_BTNTEXT)), 10);
}

// In list style the image and the text stand side by side, both centred on the button's
// middle line, at the toolbar's own height and in a taller button.
TEST_F(ToolBarParentTest, ListStyleCentresImageAndTextOnTheMiddleLine)
{
    const COLORREF imageColor = RGB(1, 200, 3);
    HIMAGELIST images = SolidImageList(12, imageColor);
    SendMessageW(m_toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_IMAGE | TBIF_TEXT;
    info.iImage = 0;
    info.pszText = const_cast<wchar_t*>(L"Open");
    ASSERT_TRUE(SendMessageW(m_toolBar, TB_SETBUTTONINFOW, 1, reinterpret_cast<LPARAM>(&info)));

    const struct
    {
        const char* name;
        int height;  // 0: the toolbar's own
    } cases[] = {{"own height", 0}, {"tall button", 40}};
    for (const auto& c : cases)
    {
        if (c.height != 0)
            SendMessageW(m_toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(80, c.height));
        SendMessageW(m_toolBar, TB_AUTOSIZE, 0, 0);
        Paint();
        const RECT button = ItemRect(m_toolBar, 0);
        const int middle2 = button.top + button.bottom - 1;  // twice the middle line
        const RECT image = InkBounds(m_toolBar, button, imageColor);
        const RECT text = InkBounds(m_toolBar, button, SkinColor(COLOR_BTNTEXT));
        ASSERT_FALSE(IsRectEmpty(&image)) << c.name;
        ASSERT_FALSE(IsRectEmpty(&text)) << c.name;
        EXPECT_EQ(12, image.bottom - image.top) << c.name;
        EXPECT_NEAR(middle2, image.top + image.bottom - 1, 1) << c.name << " image rows " << image.top << ".."
                                                              << image.bottom << " in " << button.top << ".."
                                                              << button.bottom;
        // Where DrawText centres the text down the button, in the same font.
        const RECT centred = InkOfText(m_toolBar, L"Open", 200, button.bottom - button.top, DT_SINGLELINE | DT_VCENTER);
        EXPECT_NEAR(button.top + centred.top, text.top, 1) << c.name << " text rows " << text.top << ".."
                                                           << text.bottom << " in " << button.top << ".."
                                                           << button.bottom;
        EXPECT_NEAR(button.top + centred.bottom, text.bottom, 1) << c.name;
    }
    SendMessageW(m_toolBar, TB_SETIMAGELIST, 0, 0);
    ImageList_Destroy(images);
}
}
