#include "hlmskinobjectcombobox.h"

#include "hlmskindrawstate.h"
#include "hlmskindrawtools.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmdrawhelpers.h"
#include "common/hlmsystemhelpers.h"

#include <commctrl.h>

#include <algorithm>

namespace
{
const COLORREF kNoColor = static_cast<COLORREF>(-1);
const int kDefaultCheckBoxSize = 13;
// The date-time picker draws its own themed button from common controls 6.10 on.
const DWORD kThemedDateTimeVersion = 0x6000A;
// The width of a combo box's skin frame beside its drop-down button.
const int kComboFrame = 3;
// How often the pointer is looked for while it rests on a child, in milliseconds.
const UINT kChildHoverInterval = 100;

// The drop-down button's states. The border around the control, the class's own part, takes
// the state number of its button.
const HLMSkinStateTable kDropButtonStates = {CBXS_NORMAL,   CBXS_HOT,     CBXS_PRESSED,
                                             CBXS_DISABLED, CBXS_PRESSED, CBXS_NORMAL};
// A picker's check box while it holds no date; while it holds one, the checked look of the same
// state, kCheckedStateOffset further on.
const HLMSkinStateTable kUncheckedBoxStates = {CBS_UNCHECKEDNORMAL,   CBS_UNCHECKEDHOT,     CBS_UNCHECKEDPRESSED,
                                               CBS_UNCHECKEDDISABLED, CBS_UNCHECKEDPRESSED, CBS_UNCHECKEDNORMAL};

// A skin without a border colour draws no border line (the rectangle still shrinks).
void DrawBorder(CDC* dc, const CRect& rect, COLORREF color)
{
    if (color != kNoColor)
        dc->Draw3dRect(&rect, color, color);
}

// The six calendar colours from the skin, by the message that sets one. Sent when the skin
// changes and again after the control's own WM_CREATE, which sets its default colours over
// any sent while the object was attached at creation.
void SendCalendarColors(CHLMSkinObject* object, UINT message)
{
    if (!::IsWindow(object->m_hWnd))
        return;
    const struct
    {
        int part;
        int sysColor;
    } colors[] = {
        {MCSC_BACKGROUND, COLOR_WINDOW},       {MCSC_MONTHBK, COLOR_WINDOW},
        {MCSC_TEXT, COLOR_WINDOWTEXT},         {MCSC_TITLEBK, COLOR_ACTIVECAPTION},
        {MCSC_TITLETEXT, COLOR_CAPTIONTEXT},   {MCSC_TRAILINGTEXT, COLOR_GRAYTEXT},
    };
    for (const auto& color : colors)
        object->SendMessage(message, color.part, static_cast<LPARAM>(object->GetColor(color.sysColor)));
}
}

// ---------------------------------------------------------------------------------------
// The combo box

IMPLEMENT_DYNCREATE(CHLMSkinObjectComboBox, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectComboBox, CHLMSkinObjectFrame)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_CREATE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_MESSAGE(WM_CAPTURECHANGED, &CHLMSkinObjectComboBox::OnCaptureChanged)
    ON_WM_MOUSELEAVE()
    ON_MESSAGE(BM_SETSTYLE, &CHLMSkinObjectComboBox::OnDefaultAndInvalidate)
    ON_MESSAGE(WM_ENABLE, &CHLMSkinObjectComboBox::OnDefaultAndInvalidate)
    ON_MESSAGE(WM_UPDATEUISTATE, &CHLMSkinObjectComboBox::OnDefaultAndInvalidate)
    ON_MESSAGE(WM_LBUTTONUP, &CHLMSkinObjectComboBox::OnDefaultAndInvalidate)
    ON_MESSAGE(WM_PRINTCLIENT, &CHLMSkinObjectComboBox::OnPrintClient)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CHLMSkinObjectComboBox::CHLMSkinObjectComboBox() : m_bHot(FALSE), m_bPainting(FALSE)
{
    m_strClassName = L"COMBOBOX";
    m_nClientBrushMessage = WM_CTLCOLORLISTBOX;
}

UINT CHLMSkinObjectComboBox::GetClientBrushMessage()
{
    if (!IsWindowEnabled())
        return WM_CTLCOLORSTATIC;
    HWND child = ::GetWindow(m_hWnd, GW_CHILD);
    if (child != NULL && (::GetWindowLongW(child, GWL_STYLE) & ES_READONLY))
        return WM_CTLCOLORSTATIC;
    return WM_CTLCOLOREDIT;
}

BOOL CHLMSkinObjectComboBox::IsHotOrCaptured() const
{
    return m_bHot || ::GetCapture() == m_hWnd;
}

HLMSkinDrawState CHLMSkinObjectComboBox::GetDrawState() const
{
    const BOOL pressed = ::GetKeyState(VK_LBUTTON) < 0 && SendMessage(CB_GETDROPPEDSTATE, 0, 0) != 0;
    return HLMSkinGetDrawState(IsWindowEnabled(), pressed, IsHotOrCaptured());
}

void CHLMSkinObjectComboBox::OnDraw(CDC* dc)
{
    const DWORD form = GetStyle() & 3;
    if (form == CBS_SIMPLE || form == 0)
        DrawSimple(dc);
    else
        DrawDropDown(dc);
}

// A simple combo box: only the border around the selection field; its list paints itself.
void CHLMSkinObjectComboBox::DrawSimple(CDC* dc)
{
    CRect rect;
    GetClientRect(&rect);
    const int itemHeight = static_cast<int>(SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    rect.bottom = rect.top + itemHeight + 2 * ::GetSystemMetrics(SM_CYFIXEDFRAME);
    // Wine lays the list a few pixels higher: the border ends where the list begins.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    if (::GetComboBoxInfo(m_hWnd, &info) && info.hwndList != NULL)
    {
        CRect list = CHLMDrawHelpers::WindowRectOf(info.hwndList);
        ScreenToClient(&list);
        rect.bottom = std::min(rect.bottom, list.top);
    }
    CHLMSkinManagerClass* edit = GetSkinManager()->GetSkinClass(L"EDIT");
    HBRUSH brush = GetClientBrush(dc);
    if (edit != nullptr && edit->GetThemeEnumValue(kAnyPart, kAnyState, TMT_BGTYPE, BT_IMAGEFILE) == BT_BORDERFILL)
    {
        DrawBorder(dc, rect, edit->GetThemeColor(kAnyPart, kAnyState, TMT_BORDERCOLOR, kNoColor));
        rect.DeflateRect(1, 1);
        HLMSkinBrushFrame(dc->GetSafeHdc(), &rect, 1, brush);
    }
    else
    {
        dc->Draw3dRect(&rect, GetColor(COLOR_BTNSHADOW), GetColor(COLOR_BTNHIGHLIGHT));
        rect.DeflateRect(1, 1);
        dc->Draw3dRect(&rect, GetColor(COLOR_3DDKSHADOW), GetColor(COLOR_3DLIGHT));
    }
    rect.DeflateRect(1, 1);
    HLMSkinBrushFrame(dc->GetSafeHdc(), &rect, 1, brush);
}

// Drop-down and drop-down list: the control paints into a buffer, the skin draws over it.
void CHLMSkinObjectComboBox::DrawDropDown(CDC* dc)
{
    CRect rect;
    GetClientRect(&rect);
    const int state = kDropButtonStates[GetDrawState()];
    const BOOL leftButton = (GetExStyle() & WS_EX_LEFTSCROLLBAR) != 0;

    CHLMBufferDC buffer(dc->GetSafeHdc(), rect);
    HBRUSH brush = FillClientBackground(&buffer, &rect, GetClientBrushMessage());
    m_bPainting = TRUE;
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(buffer.GetSafeHdc()), 0);
    m_bPainting = FALSE;

    CHLMSkinManagerClass* combo = GetSkinManager()->GetSkinClass(L"COMBOBOX");
    buffer.SelectClipRgn(nullptr);
    if (combo == nullptr)
        return;
    const int background = combo->GetThemeEnumValue(kAnyPart, state, TMT_BGTYPE, BT_IMAGEFILE);
    const int cx = ::GetSystemMetrics(SM_CXVSCROLL);

    CRect strip = rect;
    if (leftButton)
        strip.right = rect.left + cx + kComboFrame;
    else
        strip.left = rect.right - cx - kComboFrame;
    ::FillRect(buffer.GetSafeHdc(), &strip, brush);

    if (background == BT_IMAGEFILE)
    {
        CRect inner(rect.left + kComboFrame, rect.top + kComboFrame, rect.right - cx - kComboFrame,
                    rect.bottom - kComboFrame);
        if (leftButton)
            inner.OffsetRect(cx, 0);
        buffer.ExcludeClipRect(&inner);
        combo->DrawThemeBackground(&buffer, kAnyPart, state, &rect);
    }
    else if (background == BT_BORDERFILL)
    {
        DrawBorder(&buffer, rect, combo->GetThemeColor(kAnyPart, state, TMT_BORDERCOLOR, kNoColor));
        rect.DeflateRect(1, 1);
        CRect field = rect;
        if (leftButton)
            field.left += cx;
        else
            field.right -= cx;
        HLMSkinBrushFrame(buffer.GetSafeHdc(), &field, 2, brush);
    }
    CRect button = rect;
    if (leftButton)
        button.right = button.left + cx;
    else
        button.left = button.right - cx;
    combo->DrawThemeBackground(&buffer, CP_DROPDOWNBUTTON, state, &button);
}

void CHLMSkinObjectComboBox::OnPaint()
{
    CHLMSkinObjectPaintDC dc(this);
    OnDraw(&dc);
}

BOOL CHLMSkinObjectComboBox::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint covers everything, in one buffer
}

void CHLMSkinObjectComboBox::OnMouseMove(UINT, CPoint point)
{
    Default();
    CRect client;
    GetClientRect(&client);
    const BOOL inside = client.PtInRect(point);
    // Back from a child: the control itself reports the leaving again.
    if (inside && KillTimer(kChildHoverTimer))
        TrackMouseLeave();
    SetHotPart(m_bHot, inside, FALSE);
}

void CHLMSkinObjectComboBox::OnMouseLeave()
{
    Default();
    // Entering a child ends the tracking of this window, but the control stays hot.
    if (m_bHot && IsPointerOverControl())
    {
        SetTimer(kChildHoverTimer, kChildHoverInterval, NULL);
        return;
    }
    SetHotPart(m_bHot, FALSE, FALSE);
}

void CHLMSkinObjectComboBox::OnTimer(UINT_PTR id)
{
    if (id != kChildHoverTimer)
    {
        CHLMSkinObjectFrame::OnTimer(id);
        return;
    }
    if (IsPointerOverControl())
        return;
    KillTimer(kChildHoverTimer);
    SetHotPart(m_bHot, FALSE, FALSE);
}

BOOL CHLMSkinObjectComboBox::IsPointerOverControl() const
{
    CPoint cursor;
    if (!::GetCursorPos(&cursor))
        return FALSE;
    HWND under = ::WindowFromPoint(cursor);
    return under == m_hWnd || ::IsChild(m_hWnd, under);
}

int CHLMSkinObjectComboBox::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    Invalidate(FALSE);
    // The skin draws the border inside the client area.
    ModifyStyle(WS_BORDER, 0);
    ModifyStyleEx(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    return 0;
}

void CHLMSkinObjectComboBox::OnSetFocus(CWnd*)
{
    Default();
    Invalidate(FALSE);
}

void CHLMSkinObjectComboBox::OnKillFocus(CWnd*)
{
    Default();
    Invalidate(FALSE);
}

// The button's look follows the capture.
LRESULT CHLMSkinObjectComboBox::OnCaptureChanged(WPARAM wParam, LPARAM lParam)
{
    return OnDefaultAndInvalidate(wParam, lParam);
}

LRESULT CHLMSkinObjectComboBox::OnPrintClient(WPARAM wParam, LPARAM lParam)
{
    // A print the control asks for while it paints into this object's buffer is its own:
    // the skin draws over the buffer afterwards.
    if (m_bPainting)
        return Default();
    return PrintClientWith(&CHLMSkinObjectComboBox::OnDraw, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// The date-time picker

IMPLEMENT_DYNCREATE(CHLMSkinObjectDateTime, CHLMSkinObjectComboBox)

BEGIN_MESSAGE_MAP(CHLMSkinObjectDateTime, CHLMSkinObjectComboBox)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

// The picker's skin state and client colour are the combo box's.
void CHLMSkinObjectDateTime::OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled)
{
    CHLMSkinObjectComboBox::OnSkinStateChanged(bPreviousEnabled, bEnabled);
}

UINT CHLMSkinObjectDateTime::GetClientBrushMessage()
{
    return CHLMSkinObjectComboBox::GetClientBrushMessage();
}

void CHLMSkinObjectDateTime::RefreshMetrics()
{
    CHLMSkinObjectComboBox::RefreshMetrics();
    SendCalendarColors(this, DTM_SETMCCOLOR);
}

CRect CHLMSkinObjectDateTime::GetDropButtonRect() const
{
    CRect rect;
    GetClientRect(&rect);
    rect.left = rect.right - ::GetSystemMetrics(SM_CXVSCROLL);
    return rect;
}

BOOL CHLMSkinObjectDateTime::IsCalendarOpen() const
{
    HWND calendar = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, DTM_GETMONTHCAL, 0, 0));
    return calendar != NULL && ::IsWindowVisible(calendar);
}

HLMSkinDrawState CHLMSkinObjectDateTime::GetDrawState() const
{
    return HLMSkinGetDrawState(IsWindowEnabled(), FALSE, IsHotOrCaptured());
}

void CHLMSkinObjectDateTime::OnDraw(CDC* dc)
{
    CRect rect;
    GetClientRect(&rect);
    const COLORREF background = GetColor(IsWindowEnabled() ? COLOR_WINDOW : COLOR_3DFACE);
    const DWORD style = GetStyle();

    CHLMBufferDC buffer(dc->GetSafeHdc(), rect);
    buffer.FillSolidRect(&rect, background);
    DefWindowProc(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer.GetSafeHdc()), 0);

    CHLMSkinManagerClass* combo = GetSkinManager()->GetSkinClass(L"COMBOBOX");
    if (combo == nullptr)
        return;
    const int state = kDropButtonStates[GetDrawState()];
    const int bg = combo->GetThemeEnumValue(kAnyPart, state, TMT_BGTYPE, BT_IMAGEFILE);
    const int cx = ::GetSystemMetrics(SM_CXVSCROLL);
    const BOOL themed = GetComCtlVersion() >= kThemedDateTimeVersion;

    if (!themed)
    {
        buffer.FillSolidRect(rect.right - cx - kComboFrame, rect.top, cx + kComboFrame, rect.Height(), background);
    }
    else if (bg == BT_IMAGEFILE)
    {
        buffer.ExcludeClipRect(rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2);
        combo->DrawThemeBackground(&buffer, kAnyPart, state, &rect);
    }
    else if (bg == BT_BORDERFILL)
    {
        DrawBorder(&buffer, rect, combo->GetThemeColor(kAnyPart, state, TMT_BORDERCOLOR, kNoColor));
        rect.DeflateRect(1, 1);
        buffer.Draw3dRect(&rect, background, background);
    }
    buffer.SelectClipRgn(nullptr);

    if (style & DTS_SHOWNONE)
        DrawCheckBox(&buffer, rect, background);
    if (!(style & DTS_UPDOWN) && !themed)
    {
        CRect button = rect;
        button.left = button.right - cx;
        buffer.FillSolidRect(&button, background);
        combo->DrawThemeBackground(&buffer, CP_DROPDOWNBUTTON, state, &button);
    }
}

// The skin's check box of a picker that may hold no date, checked while it holds one.
void CHLMSkinObjectDateTime::DrawCheckBox(CDC* dc, CRect rect, COLORREF background)
{
    CRect area = rect;
    area.DeflateRect(1, 1);
    area.right = area.left + area.Height();
    dc->FillSolidRect(&area, background);
    CHLMSkinManagerClass* button = GetSkinManager()->GetSkinClass(L"BUTTON");
    if (button == nullptr)
        return;
    SIZE size = {kDefaultCheckBoxSize, kDefaultCheckBoxSize};
    SIZE trueSize = {0, 0};
    if (button->GetThemePartSize(BP_CHECKBOX, kAnyState, nullptr, TS_TRUE, &trueSize))
        size = trueSize;
    const int left = (area.left + area.right - size.cx) / 2;
    const int top = (area.top + area.bottom - size.cy) / 2;
    const CRect box(left, top, left + size.cx, top + size.cy);
    int state = kUncheckedBoxStates[HLMSkinGetDrawState(IsWindowEnabled(), FALSE, FALSE)];
    SYSTEMTIME time = {};
    if (SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_NONE)
        state += kCheckedStateOffset;
    button->DrawThemeBackground(dc, BP_CHECKBOX, state, &box);
}

void CHLMSkinObjectDateTime::DrawFrame(CDC* dc)
{
    CHLMSkinManagerClass* combo = GetSkinManager()->GetSkinClass(L"COMBOBOX");
    const int state = kDropButtonStates[GetDrawState()];
    if ((GetExStyle() & WS_EX_CLIENTEDGE) && combo != nullptr
        && combo->GetThemeEnumValue(kAnyPart, state, TMT_BGTYPE, BT_IMAGEFILE) == BT_IMAGEFILE)
    {
        CRect rect = CHLMDrawHelpers::WindowRectOf(m_hWnd);
        rect.OffsetRect(-rect.left, -rect.top);
        dc->ExcludeClipRect(rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2);
        combo->DrawThemeBackground(dc, kAnyPart, state, &rect);
        dc->SelectClipRgn(nullptr);
        return;
    }
    CHLMSkinObjectComboBox::DrawFrame(dc);
}

int CHLMSkinObjectDateTime::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    SendCalendarColors(this, DTM_SETMCCOLOR);
    Invalidate(FALSE);
    return 0;
}

void CHLMSkinObjectDateTime::OnLButtonDown(UINT, CPoint point)
{
    if (!IsWindowEnabled() || (GetStyle() & DTS_UPDOWN) || !GetDropButtonRect().PtInRect(point))
    {
        Default();
        return;
    }
    SetFocus();
    const BOOL wasOpen = IsCalendarOpen();
    DefWindowProc(WM_SYSKEYDOWN, VK_DOWN, 0);
    // A control that ignores Alt+Down (Wine's) opens its calendar on the click itself.
    if (IsCalendarOpen() == wasOpen)
        Default();
}

// ---------------------------------------------------------------------------------------
// The month calendar

IMPLEMENT_DYNCREATE(CHLMSkinObjectMonthCal, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectMonthCal, CHLMSkinObjectFrame)
    ON_WM_CREATE()
END_MESSAGE_MAP()

void CHLMSkinObjectMonthCal::RefreshMetrics()
{
    CHLMSkinObjectFrame::RefreshMetrics();
    SendCalendarColors(this, MCM_SETCOLOR);
}

int CHLMSkinObjectMonthCal::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    SendCalendarColors(this, MCM_SETCOLOR);
    return 0;
}

