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

// The content rectangle of each button type that is not push-like; 0 stands for the radio
// glyph rectangle.
const int kContentRect[] = {
    CHLMSkinObjectButton::RectPushContent,  // BS_PUSHBUTTON
    CHLMSkinObjectButton::RectPushContent,  // BS_DEFPUSHBUTTON
    CHLMSkinObjectButton::RectCheckText,    // BS_CHECKBOX
    CHLMSkinObjectButton::RectCheckText,    // BS_AUTOCHECKBOX
    CHLMSkinObjectButton::RectRadioText,    // BS_RADIOBUTTON
    CHLMSkinObjectButton::RectCheckText,    // BS_3STATE
    CHLMSkinObjectButton::RectCheckText,    // BS_AUTO3STATE
    CHLMSkinObjectButton::RectGroupCaption, // BS_GROUPBOX
    0,                                      // BS_USERBUTTON
    CHLMSkinObjectButton::RectRadioText,    // BS_AUTORADIOBUTTON
    0,                                      // BS_PUSHBOX
    CHLMSkinObjectButton::RectPushContent,  // BS_OWNERDRAW
};

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

}

IMPLEMENT_DYNCREATE(CHLMSkinObjectButton, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectButton, CHLMSkinObjectFrame)
    ON_WM_MOUSEMOVE()
    ON_WM_CREATE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
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
    m_bDrawsWholeClient = TRUE;
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

int CHLMSkinObjectButton::GetContentRectCode() const
{
    if (IsPushLike())
        return RectPushContent;
    const BYTE type = GetButtonType();
    return type < _countof(kContentRect) ? kContentRect[type] : 0;
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

void CHLMSkinObjectButton::OnSkinStateChanged(BOOL previousEnabled, BOOL enabled)
{
    CHLMSkinObjectFrame::OnSkinStateChanged(previousEnabled, enabled);
    m_bHot = m_bPushed = FALSE;
}

BOOL CHLMSkinObjectButton::OnHookMessage(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& result)
{
    // Owner-drawn buttons keep their own painting and handling.
    if (GetButtonType() > kLastSkinnedType)
        return FALSE;
    return CHLMSkinObjectFrame::OnHookMessage(message, wParam, lParam, result);
}

BOOL CHLMSkinObjectButton::OnHookDefWindowProc(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& result)
{
    if (GetButtonType() > kLastSkinnedType)
        return FALSE;
    if ((message == WM_PAINT || message == WM_PRINTCLIENT) && wParam != 0)
    {
        DrawClient(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
        result = 0;
        return TRUE;
    }
    return CHLMSkinObjectFrame::OnHookDefWindowProc(message, wParam, lParam, result);
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

void CHLMSkinObjectButton::DrawClient(CDC* dc)
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

void CHLMSkinObjectButton::OnDraw(CDC* dc, CRect rect)
{
    CHLMSkinManagerClass* skinClass = GetSkinClass();
    const BOOL enabled = IsWindowEnabled();
    const BOOL hot = m_bHot || ::GetCapture() == m_hWnd;
    const LRESULT check = SendMessage(BM_GETCHECK, 0, 0);
    const int baseState = !enabled ? PBS_DISABLED : m_bPushed ? PBS_PRESSED : hot ? PBS_HOT : PBS_NORMAL;
    const BYTE type = GetButtonType();
    int part = 0, state = 0;
    CRect partRect = rect;
    if (IsPushLike())
    {
        part = BP_PUSHBUTTON;
        state = !enabled ? PBS_DISABLED
              : m_bPushed ? PBS_PRESSED
              : hot ? PBS_HOT
              : check != 0 ? PBS_PRESSED
              : type == BS_DEFPUSHBUTTON ? PBS_DEFAULTED
              : PBS_NORMAL;
    }
    else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
    {
        part = BP_RADIOBUTTON;
        state = baseState + (check != 0 ? kCheckedStateOffset : 0);
        GetPartRect(dc, &partRect, RectRadioGlyph);
    }
    else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE)
    {
        part = BP_CHECKBOX;
        state = baseState + (check != 0 ? kCheckedStateOffset : 0);
        if (check == BST_INDETERMINATE && (type == BS_3STATE || type == BS_AUTO3STATE))
            state += kCheckedStateOffset;
        GetPartRect(dc, &partRect, RectCheckGlyph);
    }
    else if (type == BS_GROUPBOX)
    {
        part = BP_GROUPBOX;
        state = enabled ? GBS_NORMAL : GBS_DISABLED;
        CRect caption;
        GetPartRect(dc, &caption, RectGroupCaption);
        if (!caption.IsRectEmpty())
            caption.left -= GetMetrics()->m_cxEdge;
        // What an earlier, longer caption left goes first, then the frame line is redrawn.
        if (!m_rcLastCaption.IsRectEmpty() && m_rcLastCaption != caption)
            FillClientBackground(dc, &m_rcLastCaption, WM_CTLCOLORBTN);
        GetPartRect(dc, &partRect, RectGroupFrame);
        if (skinClass != nullptr)
            skinClass->DrawThemeBackground(dc, part, state, &partRect);
        if (!caption.IsRectEmpty())
            FillClientBackground(dc, &caption, WM_CTLCOLORBTN);
        m_rcLastCaption = caption;
    }
    if (skinClass != nullptr && part != 0)
    {
        if (part != BP_GROUPBOX)
            skinClass->DrawThemeBackground(dc, part, state, &partRect);
        // A part without a text colour writes in the skin's button text colour.
        dc->SetTextColor(skinClass->GetThemeColor(part, state, TMT_TEXTCOLOR, GetColor(COLOR_BTNTEXT)));
    }
    DrawButtonContent(dc);
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

void CHLMSkinObjectButton::GetPartRect(CDC* dc, RECT* out, int code)
{
    CRect rect;
    GetClientRect(&rect);
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    const DWORD alignment = GetAlignment();
    const DWORD style = GetStyle();
    switch (code)
    {
    case 0:
    case RectCheckGlyph:
    case RectRadioGlyph:
    {
        CSize glyph;
        GetCheckBoxSize(&glyph, code == RectCheckGlyph);
        const DWORD vertical = alignment & BS_VCENTER;
        if (vertical == BS_TOP || vertical == BS_BOTTOM)
        {
            const int line = TextExtent(dc, L" ").cy;
            const int c = line + line / 4, d = (c - glyph.cy) / 2;
            if (vertical == BS_TOP)
                rect.top += d;
            else
                rect.top = rect.bottom + d - c;
        }
        else
        {
            rect.top = (rect.top + rect.bottom - glyph.cy) / 2;
        }
        rect.bottom = rect.top + glyph.cy;
        if (style & BS_LEFTTEXT)
            rect.left = rect.right - glyph.cx;
        else
            rect.right = rect.left + glyph.cx;
        break;
    }
    case RectCheckText:
    case RectRadioText:
    {
        CSize glyph;
        GetCheckBoxSize(&glyph, code == RectCheckText);
        const int width = glyph.cx + kGlyphTextGap;
        if (style & BS_LEFTTEXT)
            rect.right -= width;
        else
            rect.left += width;
        break;
    }
    case RectGroupCaption:
    {
        CString text;
        GetWindowText(text);
        if (text.IsEmpty())
        {
            rect.SetRectEmpty();
            break;
        }
        const CSize extent = TextExtent(dc, text);
        const int width = extent.cx + 2 * metrics->m_cxEdge;
        const DWORD horizontal = alignment & BS_CENTER;
        if (horizontal == BS_RIGHT)
        {
            const int right = rect.right - metrics->m_cxBorder - kGroupCaptionRightInset;
            rect.left += right - width;
            rect.right = right;
        }
        else if (horizontal == BS_CENTER)
        {
            rect.left = (rect.left + rect.right - width) / 2 + metrics->m_cxBorder + rect.left;
            rect.right = rect.left + width;
        }
        else
        {
            rect.left = rect.left + metrics->m_cxBorder + kGroupCaptionLeftInset;
            rect.right = rect.left + width;
        }
        rect.bottom = rect.top + extent.cy;
        break;
    }
    case RectGroupFrame:
        rect.top += TextExtent(dc, L" ").cy / 2;
        break;
    case RectPushContent:
        rect.DeflateRect(metrics->m_cxEdge, metrics->m_cyEdge);
        break;
    default:
        break;
    }
    *out = rect;
}

LRESULT CHLMSkinObjectButton::QueryUIState()
{
    return SendMessage(WM_QUERYUISTATE, 0, 0);
}

void CHLMSkinObjectButton::DrawButtonContent(CDC* dc)
{
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    const int cxBorder = metrics->m_cxBorder, cyBorder = metrics->m_cyBorder;
    UINT format = DT_SINGLELINE | DT_NOCLIP;
    const BYTE type = GetButtonType();
    const BOOL pushLike = IsPushLike();
    const DWORD style = GetStyle();
    CRect rect;
    GetPartRect(dc, &rect, GetContentRectCode());
    CString text;
    GetWindowText(text);
    const DWORD alignment = GetAlignment();

    HANDLE image = NULL;
    CSize size;
    if (style & BS_BITMAP)
    {
        image = reinterpret_cast<HANDLE>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP, 0));
        if (image == NULL)
            return;
        BITMAP bitmap = {};
        ::GetObjectW(image, sizeof(bitmap), &bitmap);
        size = CSize(bitmap.bmWidth, bitmap.bmHeight);
    }
    else if (style & BS_ICON)
    {
        image = reinterpret_cast<HANDLE>(SendMessage(BM_GETIMAGE, IMAGE_ICON, 0));
        if (image == NULL)
            return;
        int width = 0, height = 0;
        GetIconSize(static_cast<HICON>(image), &width, &height);
        size = CSize(width, height);
    }
    else
    {
        if (text.IsEmpty())
            return;
        if (style & BS_MULTILINE)
            format = DT_NOCLIP | DT_WORDBREAK | DT_EDITCONTROL;
        CRect measure(0, 0, rect.Width(), 0);
        dc->DrawText(text, &measure, format | DT_CALCRECT);
        size = measure.Size();
    }

    CRect textRect = rect;
    if (pushLike && !(style & BS_MULTILINE))
        textRect.DeflateRect(cxBorder, cyBorder);

    int x = 0, y = 0;
    switch (alignment & BS_CENTER)
    {
    case BS_LEFT: x = rect.left + cxBorder; break;
    case BS_RIGHT: x = rect.right - size.cx - cxBorder; format |= DT_RIGHT; break;
    default: x = (rect.left + rect.right - size.cx) / 2; format |= DT_CENTER; break;
    }
    switch (alignment & BS_VCENTER)
    {
    case BS_TOP: y = rect.top + cyBorder; break;
    case BS_BOTTOM: y = rect.bottom - size.cy - cyBorder; format |= DT_BOTTOM; break;
    default: y = (rect.top + rect.bottom - size.cy) / 2; format |= DT_VCENTER; break;
    }

    const LRESULT uiState = QueryUIState();
    if (image != NULL)
    {
        const UINT kind = (style & BS_BITMAP) ? DST_BITMAP : DST_ICON;
        ::DrawStateW(dc->GetSafeHdc(), NULL, NULL, reinterpret_cast<LPARAM>(image), 0, x, y, size.cx, size.cy,
                     kind | DSS_NORMAL);
    }
    else if (type != BS_USERBUTTON)
    {
        if (uiState & UISF_HIDEACCEL)
            format |= DT_HIDEPREFIX;
        if (GetExStyle() & WS_EX_RTLREADING)
            format |= DT_RTLREADING;
        if (style & BS_MULTILINE)
        {
            CRect lines(x, y, x + size.cx, y + size.cy);
            dc->DrawText(text, &lines, format | DT_NOCLIP);
        }
        else
        {
            dc->DrawText(text, &textRect, format);
        }
    }

    if (::GetFocus() != m_hWnd || (uiState & UISF_HIDEFOCUS))
        return;
    CRect client;
    GetClientRect(&client);
    CRect focus;
    if (pushLike)
    {
        focus = rect;
        focus.DeflateRect(cxBorder, cyBorder);
    }
    else if (type == BS_USERBUTTON)
    {
        focus = client;
    }
    else
    {
        focus.top = std::max(y - cyBorder, static_cast<int>(client.top));
        focus.bottom = std::min(static_cast<int>(focus.top + metrics->m_cyEdge + size.cy), static_cast<int>(client.bottom));
        focus.left = std::max(x - cxBorder, static_cast<int>(client.left));
        focus.right = std::min(static_cast<int>(focus.left + metrics->m_cxEdge + size.cx), static_cast<int>(client.right));
    }
    dc->SetTextColor(RGB(0, 0, 0));
    dc->SetBkColor(RGB(255, 255, 255));
    dc->DrawFocusRect(&focus);
}
