#include "hlmskinobjectbutton.h"

#include "hlmskindrawtools.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmdrawhelpers.h"

#include <algorithm>

namespace
{
const BYTE kLastSkinnedType = BS_PUSHBOX;
const int kDefaultGlyphSize = 13;
// The gap between a check box's or radio button's glyph and its text.
const int kGlyphTextGap = 3;
// How far a group box's caption stands in from the frame's left or right end.
const int kGroupCaptionLeftInset = 8, kGroupCaptionRightInset = 6;
// Lines of text stand a quarter of their height apart.
const int kLineLeadingDivisor = 4;
// User buttons and push boxes have no part of their own.
const int kNoPart = 0;
// The part code each button type (BS_PUSHBUTTON .. BS_OWNERDRAW) aligns its content in;
// push-like buttons take the push button's whatever their type.
const int kContentCodeOfType[] = {
    CHLMSkinObjectButton::kPartRectPushContent,   CHLMSkinObjectButton::kPartRectPushContent,
    CHLMSkinObjectButton::kPartRectCheckBoxText,  CHLMSkinObjectButton::kPartRectCheckBoxText,
    CHLMSkinObjectButton::kPartRectRadioText,     CHLMSkinObjectButton::kPartRectCheckBoxText,
    CHLMSkinObjectButton::kPartRectCheckBoxText,  CHLMSkinObjectButton::kPartRectGroupCaption,
    CHLMSkinObjectButton::kPartRectUserContent,   CHLMSkinObjectButton::kPartRectRadioText,
    CHLMSkinObjectButton::kPartRectUserContent,   CHLMSkinObjectButton::kPartRectPushContent,
};
static_assert(_countof(kContentCodeOfType) == BS_OWNERDRAW + 1, "a content code for every button type");

// The part states of each draw state. Radio buttons and check boxes list their unchecked
// glyphs and add the offset of their check; a group box has no hot or pressed look.
const HLMSkinStateTable kPushButtonStates = {PBS_NORMAL,   PBS_HOT,     PBS_PRESSED,
                                             PBS_DISABLED, PBS_PRESSED, PBS_DEFAULTED};
const HLMSkinStateTable kRadioButtonStates = {RBS_UNCHECKEDNORMAL,   RBS_UNCHECKEDHOT,    RBS_UNCHECKEDPRESSED,
                                              RBS_UNCHECKEDDISABLED, RBS_UNCHECKEDNORMAL, RBS_UNCHECKEDNORMAL};
const HLMSkinStateTable kCheckBoxStates = {CBS_UNCHECKEDNORMAL,   CBS_UNCHECKEDHOT,    CBS_UNCHECKEDPRESSED,
                                           CBS_UNCHECKEDDISABLED, CBS_UNCHECKEDNORMAL, CBS_UNCHECKEDNORMAL};
const HLMSkinStateTable kGroupBoxStates = {GBS_NORMAL,   GBS_NORMAL, GBS_NORMAL,
                                           GBS_DISABLED, GBS_NORMAL, GBS_NORMAL};

BOOL IsCtlColorMessage(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

CSize TextExtent(CDC* dc, const CString& text)
{
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(dc->GetSafeHdc(), text, text.GetLength(), &size);
    return size;
}

// One axis of a label's alignment: the button styles for its two ends, and the DrawText flags
// that align a text the same way to the far end or the middle.
struct AxisAlignment
{
    DWORD dwNearStyle, dwFarStyle;
    UINT nFarFormat, nMiddleFormat;
};
const AxisAlignment kAcross = {BS_LEFT, BS_RIGHT, DT_RIGHT, DT_CENTER};
const AxisAlignment kDown = {BS_TOP, BS_BOTTOM, DT_BOTTOM, DT_VCENTER};

// Where a label of the length given starts between start and end: one border in from the end
// it is aligned to, or in the middle; adds the matching DrawText flag to the format.
int AlignOnAxis(const AxisAlignment& axis, DWORD style, int start, int end, int length, int border, UINT* format)
{
    if (style == axis.dwNearStyle)
        return start + border;
    if (style == axis.dwFarStyle)
    {
        *format |= axis.nFarFormat;
        return end - length - border;
    }
    *format |= axis.nMiddleFormat;
    return (start + end - length) / 2;
}

// The part code of the rectangle a part is drawn in: a glyph, or a group's frame.
int PartRectCodeOf(int part)
{
    if (part == BP_CHECKBOX)
        return CHLMSkinObjectButton::kPartRectCheckBoxGlyph;
    return part == BP_RADIOBUTTON ? CHLMSkinObjectButton::kPartRectRadioGlyph
                                  : CHLMSkinObjectButton::kPartRectGroupFrame;
}

// Where a glyph's check takes it among its states: mixed only in three-state boxes.
int GlyphCheckOffset(BYTE type, LRESULT check)
{
    if (check == BST_INDETERMINATE && (type == BS_3STATE || type == BS_AUTO3STATE))
        return kMixedStateOffset;
    return check != BST_UNCHECKED ? kCheckedStateOffset : 0;
}

}

IMPLEMENT_DYNCREATE(CHLMSkinObjectButton, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectButton, CHLMSkinObjectFrame)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_CREATE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, &CHLMSkinObjectButton::OnPrintClient)
    ON_WM_MOUSELEAVE()
    ON_MESSAGE(BM_SETSTYLE, &CHLMSkinObjectButton::OnDefaultAndInvalidate)
    ON_MESSAGE(BM_SETCHECK, &CHLMSkinObjectButton::OnDefaultAndInvalidate)
    ON_MESSAGE(WM_CAPTURECHANGED, &CHLMSkinObjectButton::OnDefaultAndInvalidate)
    ON_WM_ENABLE()
    ON_MESSAGE(WM_UPDATEUISTATE, &CHLMSkinObjectButton::OnUpdateUIState)
    ON_MESSAGE(BM_SETSTATE, &CHLMSkinObjectButton::OnSetState)
    ON_MESSAGE(WM_SETTEXT, &CHLMSkinObjectButton::OnSetText)
END_MESSAGE_MAP()

CHLMSkinObjectButton::CHLMSkinObjectButton() : m_bHot(FALSE), m_bPushed(FALSE), m_rcLastCaption(0, 0, 0, 0)
{
    m_strClassName = L"BUTTON";
    m_nClientBrushMessage = WM_CTLCOLORBTN;
}

// ---------------------------------------------------------------------------------------
// Kinds

BYTE CHLMSkinObjectButton::GetButtonType() const
{
    return static_cast<BYTE>(GetStyle() & BS_TYPEMASK);
}

BOOL CHLMSkinObjectButton::IsPushLike() const
{
    const BYTE type = GetButtonType();
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW || (GetStyle() & BS_PUSHLIKE);
}

DWORD CHLMSkinObjectButton::GetAlignment() const
{
    const DWORD style = GetStyle();
    DWORD horizontal = style & BS_CENTER, vertical = style & BS_VCENTER;
    if (horizontal == 0)
        horizontal = IsPushLike() ? BS_CENTER : BS_LEFT;
    if (vertical == 0)
        vertical = BS_VCENTER;
    return horizontal | vertical;
}

// ---------------------------------------------------------------------------------------
// Skin object operations

void CHLMSkinObjectButton::OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled)
{
    CHLMSkinObjectFrame::OnSkinStateChanged(bPreviousEnabled, bEnabled);
    m_bHot = m_bPushed = FALSE;
}

BOOL CHLMSkinObjectButton::OnHookMessage(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult)
{
    // Owner-drawn buttons keep their own painting and handling.
    if (GetButtonType() > kLastSkinnedType)
        return FALSE;
    return CHLMSkinObjectFrame::OnHookMessage(message, wParam, lParam, lResult);
}

BOOL CHLMSkinObjectButton::OnHookDefWindowProc(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult)
{
    if (GetButtonType() > kLastSkinnedType)
        return FALSE;
    if ((message == WM_PAINT || message == WM_PRINTCLIENT) && wParam != 0)
    {
        PaintButton(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
        lResult = 0;
        return TRUE;
    }
    return CHLMSkinObjectFrame::OnHookDefWindowProc(message, wParam, lParam, lResult);
}

BOOL CHLMSkinObjectButton::IsDefWindowProcMessage(UINT message)
{
    if (IsWindowsForms() && !IsCtlColorMessage(message))
        return FALSE;
    if (message == WM_TIMER)
        return FALSE;
    return CHLMSkinObjectFrame::IsDefWindowProcMessage(message);
}

// ---------------------------------------------------------------------------------------
// Messages

BOOL CHLMSkinObjectButton::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint covers everything, in one buffer (a group box shows its parent's)
}

void CHLMSkinObjectButton::OnPaint()
{
    CHLMSkinObjectPaintDC dc(this);
    PaintButton(&dc);
}

LRESULT CHLMSkinObjectButton::OnPrintClient(WPARAM wParam, LPARAM lParam)
{
    return PrintClientWith(&CHLMSkinObjectButton::PaintButton, wParam, lParam);
}

void CHLMSkinObjectButton::OnMouseMove(UINT, CPoint point)
{
    if (GetButtonType() == BS_GROUPBOX)
        return;
    Default();
    CRect client;
    GetClientRect(&client);
    SetHotPart(m_bHot, client.PtInRect(point), FALSE);
}

void CHLMSkinObjectButton::OnMouseLeave()
{
    OnMouseMove(0, CPoint(-1, -1));
}

int CHLMSkinObjectButton::OnCreate(LPCREATESTRUCT createStruct)
{
    if (CHLMSkinObjectFrame::OnCreate(createStruct) == -1)
        return -1;
    Invalidate(FALSE);
    return 0;
}

void CHLMSkinObjectButton::OnSetFocus(CWnd*)
{
    Default();
    Invalidate(FALSE);
}

void CHLMSkinObjectButton::OnKillFocus(CWnd*)
{
    Default();
    Invalidate(FALSE);
}

void CHLMSkinObjectButton::OnEnable(BOOL)
{
    // The control would paint itself at once; the skin repaints instead.
    Invalidate(FALSE);
}

LRESULT CHLMSkinObjectButton::OnUpdateUIState(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = ::DefWindowProcW(m_hWnd, WM_UPDATEUISTATE, wParam, lParam);
    Invalidate(FALSE);
    return result;
}

LRESULT CHLMSkinObjectButton::OnSetState(WPARAM wParam, LPARAM)
{
    WithoutSystemPainting([&] { return Default(); });
    m_bPushed = wParam != 0;
    Invalidate(FALSE);
    return 0;
}

LRESULT CHLMSkinObjectButton::OnSetText(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = WithoutSystemPainting([&] { return CHLMSkinObjectFrame::OnSetText(wParam, lParam); });
    Invalidate(FALSE);
    return result;
}

// ---------------------------------------------------------------------------------------
// Painting

void CHLMSkinObjectButton::PaintButton(CDC* dc)
{
    CRect rect;
    GetClientRect(&rect);
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
    if (GetButtonType() == BS_GROUPBOX && !IsWindowsForms())
    {
        // Nothing is filled: the group box shows what its parent painted.
        HGDIOBJ previous = font != NULL ? dc->SelectObject(font) : NULL;
        dc->SetBkColor(GetColor(COLOR_BTNFACE));
        OnDraw(dc, rect);
        if (previous != NULL)
            dc->SelectObject(previous);
        return;
    }
    CHLMBufferDC buffer(dc->GetSafeHdc(), rect);
    FillClientBackground(&buffer, &rect, WM_CTLCOLORBTN);
    HGDIOBJ previous = font != NULL ? buffer.SelectObject(font) : NULL;
    buffer.SetBkMode(TRANSPARENT);
    OnDraw(&buffer, rect);
    if (previous != NULL)
        buffer.SelectObject(previous);
}

int CHLMSkinObjectButton::GetPart() const
{
    if (IsPushLike())
        return BP_PUSHBUTTON;
    switch (GetButtonType())
    {
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return BP_RADIOBUTTON;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return BP_CHECKBOX;
    case BS_GROUPBOX:
        return BP_GROUPBOX;
    default:
        return kNoPart;
    }
}

HLMSkinDrawState CHLMSkinObjectButton::GetDrawState(LRESULT check)
{
    const HLMSkinDrawState state =
        HLMSkinGetDrawState(IsWindowEnabled(), m_bPushed, m_bHot || ::GetCapture() == m_hWnd);
    if (state != HLMSkinDrawStateNormal || !IsPushLike())
        return state;
    if (check != BST_UNCHECKED)
        return HLMSkinDrawStateChecked;
    return GetButtonType() == BS_DEFPUSHBUTTON ? HLMSkinDrawStateDefault : HLMSkinDrawStateNormal;
}

int CHLMSkinObjectButton::GetPartState(int part, LRESULT check)
{
    const HLMSkinDrawState state = GetDrawState(check);
    switch (part)
    {
    case BP_PUSHBUTTON:
        return kPushButtonStates[state];
    case BP_RADIOBUTTON:
        return kRadioButtonStates[state] + GlyphCheckOffset(GetButtonType(), check);
    case BP_CHECKBOX:
        return kCheckBoxStates[state] + GlyphCheckOffset(GetButtonType(), check);
    default:  // BP_GROUPBOX
        return kGroupBoxStates[state];
    }
}

void CHLMSkinObjectButton::OnDraw(CDC* dc, CRect rect)
{
    const int part = GetPart();
    if (part != kNoPart)
    {
        // A push button's face covers the rectangle; a glyph and a group's frame have their own.
        if (part != BP_PUSHBUTTON)
            GetPartRect(dc, &rect, PartRectCodeOf(part));
        DrawPart(dc, part, GetPartState(part, SendMessage(BM_GETCHECK, 0, 0)), rect);
    }
    DrawButtonContent(dc);
}

void CHLMSkinObjectButton::DrawButtonContent(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    BUTTONLAYOUT layout;
    CalcLayout(dc, client, &layout);
    DrawLabel(dc, layout);
}

void CHLMSkinObjectButton::DrawPart(CDC* dc, int part, int state, const CRect& rect)
{
    CHLMSkinManagerClass* skinClass = GetSkinClass();
    if (part == BP_GROUPBOX)
        DrawGroupFrame(dc, state, rect);
    else if (skinClass != nullptr)
        skinClass->DrawThemeBackground(dc, part, state, &rect);
    // A part without a text colour writes in the skin's button text colour.
    if (skinClass != nullptr)
        dc->SetTextColor(skinClass->GetThemeColor(part, state, TMT_TEXTCOLOR, GetColor(COLOR_BTNTEXT)));
}

void CHLMSkinObjectButton::DrawGroupFrame(CDC* dc, int state, const CRect& frame)
{
    CRect client;
    GetClientRect(&client);
    const CRect caption = CalcCaptionGap(dc, client);
    // What an earlier, longer caption left goes first, then the frame line is redrawn.
    if (!m_rcLastCaption.IsRectEmpty() && m_rcLastCaption != caption)
        FillClientBackground(dc, &m_rcLastCaption, WM_CTLCOLORBTN);
    if (CHLMSkinManagerClass* skinClass = GetSkinClass())
        skinClass->DrawThemeBackground(dc, BP_GROUPBOX, state, &frame);
    if (!caption.IsRectEmpty())
        FillClientBackground(dc, &caption, WM_CTLCOLORBTN);
    m_rcLastCaption = caption;
}

void CHLMSkinObjectButton::GetCheckBoxSize(CSize* size, BOOL checkBox)
{
    *size = CSize(kDefaultGlyphSize, kDefaultGlyphSize);
    CHLMSkinManagerClass* skinClass = GetSkinClass();
    const RECT bounds = {0, 0, kDefaultGlyphSize, kDefaultGlyphSize};
    SIZE partSize = {0, 0};
    if (skinClass != nullptr &&
        skinClass->GetThemePartSize(checkBox ? BP_CHECKBOX : BP_RADIOBUTTON, PBS_NORMAL, &bounds, TS_DRAW,
                                    &partSize))
        *size = partSize;
}

// ---------------------------------------------------------------------------------------
// Layout

void CHLMSkinObjectButton::CalcLayout(CDC* dc, const CRect& client, BUTTONLAYOUT* layout)
{
    GetWindowText(layout->strText);
    const CRect content = CalcPartRect(dc, client, GetContentCode());
    CSize size;
    layout->bLabel = MeasureLabel(dc, content, layout, &size);
    if (!layout->bLabel)
        return;
    PlaceLabel(content, size, layout);
    if (GetExStyle() & WS_EX_RTLREADING)
        layout->nTextFormat |= DT_RTLREADING;
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    layout->rcText = content;
    if (GetStyle() & BS_MULTILINE)
        layout->rcText = layout->rcLabel;
    else if (IsPushLike())
        layout->rcText.DeflateRect(metrics->m_cxBorder, metrics->m_cyBorder);
    layout->rcFocus = CalcFocusRect(client, content, layout->rcLabel);
}

int CHLMSkinObjectButton::GetContentCode() const
{
    const BYTE type = GetButtonType();
    if (IsPushLike() || static_cast<size_t>(type) >= _countof(kContentCodeOfType))
        return kPartRectPushContent;
    return kContentCodeOfType[type];
}

void CHLMSkinObjectButton::GetPartRect(CDC* dc, RECT* rect, int code)
{
    CRect client;
    GetClientRect(&client);
    *rect = CalcPartRect(dc, client, code);
}

CRect CHLMSkinObjectButton::CalcPartRect(CDC* dc, const CRect& client, int code)
{
    switch (code)
    {
    case kPartRectCheckBoxGlyph:
        return GetGlyphRect(dc, client, TRUE);
    case kPartRectCheckBoxText:
    case kPartRectRadioText:
        return GetBesideGlyphRect(client, code == kPartRectCheckBoxText);
    case kPartRectGroupCaption:
        return GetGroupCaptionRect(dc, client);
    case kPartRectGroupFrame:
        return GetGroupFrameRect(dc, client);
    case kPartRectPushContent:
    {
        CRect content = client;
        content.DeflateRect(GetMetrics()->m_cxEdge, GetMetrics()->m_cyEdge);
        return content;
    }
    default:
        // The radio glyph, where user buttons and push boxes align their content too.
        return GetGlyphRect(dc, client, FALSE);
    }
}

CRect CHLMSkinObjectButton::GetGlyphRect(CDC* dc, const CRect& client, BOOL checkBox)
{
    CSize glyph;
    GetCheckBoxSize(&glyph, checkBox);
    CRect rect = client;
    const DWORD vertical = GetAlignment() & BS_VCENTER;
    if (vertical == BS_TOP || vertical == BS_BOTTOM)
    {
        // Centred on the first or last line of text, a line and its leading high.
        const int line = TextExtent(dc, L" ").cy;
        const int lineSpacing = line + line / kLineLeadingDivisor, inset = (lineSpacing - glyph.cy) / 2;
        if (vertical == BS_TOP)
            rect.top += inset;
        else
            rect.top = rect.bottom + inset - lineSpacing;
    }
    else
    {
        rect.top = (rect.top + rect.bottom - glyph.cy) / 2;
    }
    rect.bottom = rect.top + glyph.cy;
    if (GetStyle() & BS_LEFTTEXT)
        rect.left = rect.right - glyph.cx;
    else
        rect.right = rect.left + glyph.cx;
    return rect;
}

CRect CHLMSkinObjectButton::GetBesideGlyphRect(const CRect& client, BOOL checkBox)
{
    CSize glyph;
    GetCheckBoxSize(&glyph, checkBox);
    CRect rect = client;
    const int width = glyph.cx + kGlyphTextGap;
    if (GetStyle() & BS_LEFTTEXT)
        rect.right -= width;
    else
        rect.left += width;
    return rect;
}

CRect CHLMSkinObjectButton::GetGroupCaptionRect(CDC* dc, const CRect& client)
{
    CString text;
    GetWindowText(text);
    if (text.IsEmpty())
        return CRect(0, 0, 0, 0);
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    const CSize extent = TextExtent(dc, text);
    const int width = extent.cx + 2 * metrics->m_cxEdge;
    CRect rect = client;
    switch (GetAlignment() & BS_CENTER)
    {
    case BS_RIGHT:
        rect.right -= metrics->m_cxBorder + kGroupCaptionRightInset;
        rect.left += rect.right - width;
        break;
    case BS_CENTER:
        rect.left = (rect.left + rect.right - width) / 2 + metrics->m_cxBorder + rect.left;
        rect.right = rect.left + width;
        break;
    default:
        rect.left += metrics->m_cxBorder + kGroupCaptionLeftInset;
        rect.right = rect.left + width;
        break;
    }
    rect.bottom = rect.top + extent.cy;
    return rect;
}

CRect CHLMSkinObjectButton::GetGroupFrameRect(CDC* dc, const CRect& client)
{
    // The frame line runs through the middle of the caption's line.
    CRect frame = client;
    frame.top += TextExtent(dc, L" ").cy / 2;
    return frame;
}

CRect CHLMSkinObjectButton::CalcCaptionGap(CDC* dc, const CRect& client)
{
    CRect gap = CalcPartRect(dc, client, kPartRectGroupCaption);
    if (!gap.IsRectEmpty())
        gap.left -= GetMetrics()->m_cxEdge;
    return gap;
}

BOOL CHLMSkinObjectButton::MeasureLabel(CDC* dc, const CRect& content, BUTTONLAYOUT* layout, CSize* size)
{
    const DWORD style = GetStyle();
    if (style & BS_BITMAP)
    {
        layout->hImage = reinterpret_cast<HANDLE>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP bitmap = {};
        if (layout->hImage != NULL)
            ::GetObjectW(layout->hImage, sizeof(bitmap), &bitmap);
        *size = CSize(bitmap.bmWidth, bitmap.bmHeight);
        return layout->hImage != NULL;
    }
    if (style & BS_ICON)
    {
        layout->hImage = reinterpret_cast<HANDLE>(SendMessage(BM_GETIMAGE, IMAGE_ICON, 0));
        int width = 0, height = 0;
        if (layout->hImage != NULL)
            GetIconSize(static_cast<HICON>(layout->hImage), &width, &height);
        *size = CSize(width, height);
        return layout->hImage != NULL;
    }
    if (layout->strText.IsEmpty())
        return FALSE;
    layout->nTextFormat = DT_NOCLIP | ((style & BS_MULTILINE) ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE);
    CRect measure(0, 0, content.Width(), 0);
    dc->DrawText(layout->strText, &measure, layout->nTextFormat | DT_CALCRECT);
    *size = measure.Size();
    return TRUE;
}

void CHLMSkinObjectButton::PlaceLabel(const CRect& content, CSize size, BUTTONLAYOUT* layout)
{
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    const DWORD alignment = GetAlignment();
    UINT* format = &layout->nTextFormat;
    const CPoint origin(
        AlignOnAxis(kAcross, alignment & BS_CENTER, content.left, content.right, size.cx, metrics->m_cxBorder, format),
        AlignOnAxis(kDown, alignment & BS_VCENTER, content.top, content.bottom, size.cy, metrics->m_cyBorder, format));
    layout->rcLabel = CRect(origin, size);
}

CRect CHLMSkinObjectButton::CalcFocusRect(const CRect& client, const CRect& content, const CRect& label)
{
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    if (IsPushLike())
    {
        CRect focus = content;
        focus.DeflateRect(metrics->m_cxBorder, metrics->m_cyBorder);
        return focus;
    }
    if (GetButtonType() == BS_USERBUTTON)
        return client;
    // Around the label, an edge wider than it and inside the client.
    CRect focus;
    focus.left = std::max<LONG>(label.left - metrics->m_cxBorder, client.left);
    focus.top = std::max<LONG>(label.top - metrics->m_cyBorder, client.top);
    focus.right = std::min<LONG>(focus.left + metrics->m_cxEdge + label.Width(), client.right);
    focus.bottom = std::min<LONG>(focus.top + metrics->m_cyEdge + label.Height(), client.bottom);
    return focus;
}

// ---------------------------------------------------------------------------------------
// The label and the focus

LRESULT CHLMSkinObjectButton::QueryUIState()
{
    return SendMessage(WM_QUERYUISTATE, 0, 0);
}

void CHLMSkinObjectButton::DrawLabel(CDC* dc, const BUTTONLAYOUT& layout)
{
    if (!layout.bLabel)
        return;
    const LRESULT uiState = QueryUIState();
    const CRect& label = layout.rcLabel;
    if (layout.hImage != NULL)
    {
        const UINT kind = (GetStyle() & BS_BITMAP) ? DST_BITMAP : DST_ICON;
        ::DrawStateW(dc->GetSafeHdc(), NULL, NULL, reinterpret_cast<LPARAM>(layout.hImage), 0, label.left, label.top,
                     label.Width(), label.Height(), kind | DSS_NORMAL);
    }
    else if (GetButtonType() != BS_USERBUTTON)
    {
        CRect text = layout.rcText;
        dc->DrawText(layout.strText, &text, layout.nTextFormat | ((uiState & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0));
    }
    if (::GetFocus() != m_hWnd || (uiState & UISF_HIDEFOCUS))
        return;
    dc->SetTextColor(RGB(0, 0, 0));
    dc->SetBkColor(RGB(255, 255, 255));
    dc->DrawFocusRect(&layout.rcFocus);
}
