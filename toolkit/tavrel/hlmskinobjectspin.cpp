#include "hlmskinobjectspin.h"

#include "hlmskindrawstate.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmdrawhelpers.h"

#include <commctrl.h>

namespace
{
const COLORREF kNoColor = static_cast<COLORREF>(-1);

// The states of the four halves: up and down of a vertical spin, right and left of a
// horizontal one.
const HLMSkinStateTable kUpStates = {UPS_NORMAL, UPS_HOT, UPS_PRESSED, UPS_DISABLED, UPS_PRESSED, UPS_NORMAL};
const HLMSkinStateTable kDownStates = {DNS_NORMAL, DNS_HOT, DNS_PRESSED, DNS_DISABLED, DNS_PRESSED, DNS_NORMAL};
const HLMSkinStateTable kUpHorzStates = {UPHZS_NORMAL,   UPHZS_HOT,     UPHZS_PRESSED,
                                         UPHZS_DISABLED, UPHZS_PRESSED, UPHZS_NORMAL};
const HLMSkinStateTable kDownHorzStates = {DNHZS_NORMAL,   DNHZS_HOT,     DNHZS_PRESSED,
                                           DNHZS_DISABLED, DNHZS_PRESSED, DNHZS_NORMAL};

int OtherHalf(int half)
{
    return half == CHLMSkinObjectSpin::kHalfLowerOrLeft ? CHLMSkinObjectSpin::kHalfUpperOrRight
                                                       : CHLMSkinObjectSpin::kHalfLowerOrLeft;
}
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectSpin, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectSpin, CHLMSkinObjectFrame)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, &CHLMSkinObjectSpin::OnPrintClient)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CHLMSkinObjectSpin::CHLMSkinObjectSpin() : m_nHotHalf(kHalfNone), m_nPressedHalf(kHalfNone)
{
    m_strClassName = L"SPIN";
}

// ---------------------------------------------------------------------------------------
// Halves

int CHLMSkinObjectSpin::HitTest(CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point))
        return kHalfNone;
    if (GetStyle() & UDS_HORZ)
    {
        const int middle = client.right / 2;
        return point.x < middle ? kHalfLowerOrLeft : point.x > middle ? kHalfUpperOrRight : kHalfNone;
    }
    const int middle = client.bottom / 2;
    return point.y > middle ? kHalfLowerOrLeft : point.y < middle ? kHalfUpperOrRight : kHalfNone;
}

HLMSkinDrawState CHLMSkinObjectSpin::GetHalfState(int half, BOOL enabled) const
{
    const BOOL pressed = m_nPressedHalf == half && m_nHotHalf == half;
    // A half held with the mouse slid off it stays lit; while the other half is held, this
    // one shows no hot look.
    const BOOL hot = (m_nHotHalf == half || m_nPressedHalf == half) && m_nPressedHalf != OtherHalf(half);
    return HLMSkinGetDrawState(enabled, pressed, hot);
}

// ---------------------------------------------------------------------------------------
// Painting

CRect CHLMSkinObjectSpin::DrawBuddyBorder(CDC* dc, const CRect& client)
{
    HWND buddy = reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY, 0, 0));
    const DWORD style = GetStyle();
    if (buddy == NULL || !(::GetWindowLongW(buddy, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ||
        !(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)))
        return client;
    CHLMSkinManagerClass* edit = GetSkinManager()->GetSkinClass(L"EDIT");
    const COLORREF border =
        edit != nullptr ? edit->GetThemeColor(kAnyPart, kAnyState, TMT_BORDERCOLOR, kNoColor) : kNoColor;
    CRect area = client;
    const BOOL right = (style & UDS_ALIGNRIGHT) != 0;
    if (right)
        area.DeflateRect(0, 1, 1, 1);
    else
        area.DeflateRect(1, 1, 0, 1);
    // A skin without an edit border colour leaves the button face where the outline would be.
    if (border != kNoColor)
        dc->Draw3dRect(&client, border, border);
    // The column next to the edit continues the edit's field.
    const int column = right ? client.left : client.right - 1;
    dc->FillSolidRect(column, client.top + 1, 1, client.Height() - 2, GetColor(COLOR_WINDOW));
    return area;
}

void CHLMSkinObjectSpin::DrawButtons(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    CHLMBufferDC buffer(dc->GetSafeHdc(), client);
    buffer.FillSolidRect(&client, GetColor(COLOR_BTNFACE));

    int lower = 0, upper = 0;
    SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    const BOOL enabled = lower != upper && IsWindowEnabled();

    const CRect area = DrawBuddyBorder(&buffer, client);
    CHLMSkinManagerClass* skinClass = GetSkinClass();
    if (skinClass == nullptr)
        return;
    if (GetStyle() & UDS_HORZ)
    {
        const int width = area.Width() / 2;
        const CRect left(area.left, area.top, area.left + width, area.bottom);
        const CRect right(area.right - width, area.top, area.right, area.bottom);
        skinClass->DrawThemeBackground(&buffer, SPNP_DOWNHORZ, kDownHorzStates[GetHalfState(kHalfLowerOrLeft, enabled)],
                                       &left);
        skinClass->DrawThemeBackground(&buffer, SPNP_UPHORZ, kUpHorzStates[GetHalfState(kHalfUpperOrRight, enabled)],
                                       &right);
        return;
    }
    const int height = area.Height() / 2;
    const CRect top(area.left, area.top, area.right, area.top + height);
    const CRect bottom(area.left, area.bottom - height, area.right, area.bottom);
    skinClass->DrawThemeBackground(&buffer, SPNP_UP, kUpStates[GetHalfState(kHalfUpperOrRight, enabled)], &top);
    skinClass->DrawThemeBackground(&buffer, SPNP_DOWN, kDownStates[GetHalfState(kHalfLowerOrLeft, enabled)], &bottom);
}

BOOL CHLMSkinObjectSpin::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint covers everything, in one buffer
}

void CHLMSkinObjectSpin::OnPaint()
{
    CHLMSkinObjectPaintDC dc(this);
    DrawButtons(&dc);
}

LRESULT CHLMSkinObjectSpin::OnPrintClient(WPARAM wParam, LPARAM lParam)
{
    return PrintClientWith(&CHLMSkinObjectSpin::DrawButtons, wParam, lParam);
}

// The frame's timers are the frame's; the control's own (its auto-repeat) reach the control.
void CHLMSkinObjectSpin::OnTimer(UINT_PTR id)
{
    CHLMSkinObjectFrame::OnTimer(id);
}

// ---------------------------------------------------------------------------------------
// Mouse

void CHLMSkinObjectSpin::OnLButtonDown(UINT, CPoint point)
{
    Default();
    const int half = HitTest(point);
    if (half != kHalfNone)
    {
        m_nPressedHalf = half;
        Invalidate(FALSE);
    }
}

void CHLMSkinObjectSpin::OnLButtonUp(UINT, CPoint)
{
    if (m_nPressedHalf != kHalfNone)
    {
        m_nPressedHalf = kHalfNone;
        Invalidate(FALSE);
    }
    Default();
}

void CHLMSkinObjectSpin::SetHotHalf(CPoint point)
{
    SetHotPart(m_nHotHalf, HitTest(point), static_cast<int>(kHalfNone));
}

void CHLMSkinObjectSpin::OnMouseMove(UINT, CPoint point)
{
    SetHotHalf(point);
    // The control follows the mouse too: while a half is held it repeats only as long as the
    // mouse stays over it.
    Default();
}

void CHLMSkinObjectSpin::OnMouseLeave()
{
    SetHotHalf(CPoint(-1, -1));
    Default();
}
