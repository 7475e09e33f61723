#include "hlmskinobjecttrackbar.h"

#include "hlmskindrawstate.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmdrawhelpers.h"

#include <commctrl.h>

#include <algorithm>

namespace
{
// Custom-draw items of the pieces, as the control itself numbers them.
const DWORD_PTR kTicsItem = TBCD_TICS, kThumbItem = TBCD_THUMB, kChannelItem = TBCD_CHANNEL;
const int kTicLength = 3;
// The tic array's entries that TBM_GETNUMTICS counts beside the two end tics.
const int kEndTics = 2;
// The track's distance from the client's edges, and the room of tics above it.
const int kTrackInset = 2, kTicsMargin = 8;

// The thumb's states, a table per thumb part in the SDK's order of the parts. Focused is the
// thumb's resting look while the control shows its focus.
const HLMSkinStateTable kThumbStates[] = {
    {TUS_NORMAL, TUS_HOT, TUS_PRESSED, TUS_DISABLED, TUS_PRESSED, TUS_FOCUSED},              // TKP_THUMB
    {TUBS_NORMAL, TUBS_HOT, TUBS_PRESSED, TUBS_DISABLED, TUBS_PRESSED, TUBS_FOCUSED},        // TKP_THUMBBOTTOM
    {TUTS_NORMAL, TUTS_HOT, TUTS_PRESSED, TUTS_DISABLED, TUTS_PRESSED, TUTS_FOCUSED},        // TKP_THUMBTOP
    {TUVS_NORMAL, TUVS_HOT, TUVS_PRESSED, TUVS_DISABLED, TUVS_PRESSED, TUVS_FOCUSED},        // TKP_THUMBVERT
    {TUVLS_NORMAL, TUVLS_HOT, TUVLS_PRESSED, TUVLS_DISABLED, TUVLS_PRESSED, TUVLS_FOCUSED},  // TKP_THUMBLEFT
    {TUVRS_NORMAL, TUVRS_HOT, TUVRS_PRESSED, TUVRS_DISABLED, TUVRS_PRESSED, TUVRS_FOCUSED},  // TKP_THUMBRIGHT
};
static_assert(_countof(kThumbStates) == TKP_THUMBRIGHT - TKP_THUMB + 1, "a table for every thumb part");

// The rectangle with x and y exchanged.
CRect Transposed(const CRect& rect)
{
    return CRect(rect.top, rect.left, rect.bottom, rect.right);
}
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectTrackBar, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectTrackBar, CHLMSkinObjectFrame)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, &CHLMSkinObjectTrackBar::OnPrintClient)
    ON_MESSAGE(TBM_SETTICFREQ, &CHLMSkinObjectTrackBar::OnSetTicFreq)
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CHLMSkinObjectTrackBar::CHLMSkinObjectTrackBar()
    : m_nTicFreq(1), m_rcTrack(0, 0, 0, 0), m_nThumbHalfWidth(0), m_nThumbLength(0), m_nTrackWidth(0),
      m_dwLayoutStyle(0), m_bHot(FALSE)
{
    m_strClassName = L"TRACKBAR";
}

// ---------------------------------------------------------------------------------------
// Layout

CRect CHLMSkinObjectTrackBar::GetChannelRect()
{
    // Windows reports a vertical channel as if the control were horizontal, Wine as it lies;
    // along the track it is always the longer side.
    CRect rect(0, 0, 0, 0);
    SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&rect));
    if ((GetStyle() & TBS_VERT) && rect.Width() > rect.Height())
        rect = Transposed(rect);
    return rect;
}

void CHLMSkinObjectTrackBar::AdjustThumbSize(DWORD style, int& length, int& half)
{
    length = std::max(length, 2 * ::GetSystemMetrics(SM_CXEDGE));
    half = (length / 2) | 1;
    if (!(style & TBS_ENABLESELRANGE))
        return;
    // A selection range needs room for its wedge marks.
    if (style & TBS_FIXEDLENGTH)
        half = (length * 9 / 20) | 1;
    else
        length += half * 2 / 9;
}

void CHLMSkinObjectTrackBar::CalculateLayout()
{
    const DWORD style = GetStyle();
    CRect rect;
    GetClientRect(&rect);
    if (style & TBS_VERT)
        rect = Transposed(rect);
    // The control's own thumb length, so that every tic stands where the control stops the
    // thumb for its value: the skin's scroll-bar height does not reach the control's layout.
    int length = static_cast<int>(SendMessage(TBM_GETTHUMBLENGTH, 0, 0)), half = 0;
    if (style & TBS_FIXEDLENGTH)
    {
        AdjustThumbSize(style, length, half);
    }
    else
    {
        if (length > 2 * ::GetSystemMetrics(SM_CXEDGE) && rect.bottom < length)
        {
            // Too low a control: the thumb shrinks to fit.
            length = rect.bottom - 3 * ::GetSystemMetrics(SM_CYEDGE);
            if (style & TBS_ENABLESELRANGE)
                length = length * 3 / 4;
            AdjustThumbSize(style, length, half);
        }
        // A default thumb already has the room of a selection range.
        AdjustThumbSize(style & ~static_cast<DWORD>(TBS_ENABLESELRANGE), length, half);
    }
    if ((style & (TBS_TOP | TBS_BOTH)) && !(style & TBS_NOTICKS))
        rect.top += kTicsMargin;
    rect.top += kTrackInset;
    rect.bottom = rect.top + length;
    rect.left += half + kTrackInset;
    rect.right -= half + kTrackInset;
    m_rcTrack = rect;
    m_nThumbLength = length;
    m_nThumbHalfWidth = half;
    m_nTrackWidth = std::max<int>(m_rcTrack.Width(), 1);
    m_dwLayoutStyle = style;
}

int CHLMSkinObjectTrackBar::ValueToPosition(int value)
{
    const int minimum = static_cast<int>(SendMessage(TBM_GETRANGEMIN, 0, 0));
    const int maximum = static_cast<int>(SendMessage(TBM_GETRANGEMAX, 0, 0));
    if (maximum == minimum)
        return m_rcTrack.left;
    return m_rcTrack.left + ::MulDiv(value - minimum, m_nTrackWidth - 1, maximum - minimum);
}

// ---------------------------------------------------------------------------------------
// Painting

LRESULT CHLMSkinObjectTrackBar::SendCustomDraw(DWORD stage, DWORD_PTR item, HDC dc)
{
    NMCUSTOMDRAW record = {};
    record.hdr.code = NM_CUSTOMDRAW;
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
    record.hdc = dc;
    record.dwDrawStage = stage;
    record.dwItemSpec = item;
    return ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

BOOL CHLMSkinObjectTrackBar::ShowsFocus()
{
    return ::GetFocus() == m_hWnd && !(SendMessage(WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void CHLMSkinObjectTrackBar::Draw(CDC* dc)
{
    CRect rect;
    GetClientRect(&rect);
    CHLMBufferDC buffer(dc->GetSafeHdc(), rect);
    const LRESULT flags = SendCustomDraw(CDDS_PREPAINT, 0, buffer.GetSafeHdc());
    FillClientBackground(&buffer, &rect, WM_CTLCOLORSTATIC);
    if (ShowsFocus())
    {
        buffer.SetBkColor(GetColor(COLOR_BTNHIGHLIGHT));
        buffer.DrawFocusRect(&rect);
    }
    CalculateLayout();
    // The parent's answers to the item notifications change nothing: every piece is drawn.
    const BOOL notifyItems = (flags & CDRF_NOTIFYITEMDRAW) != 0;
    const auto drawPiece = [&](DWORD_PTR item, void (CHLMSkinObjectTrackBar::*draw)(CDC*)) {
        if (notifyItems)
            SendCustomDraw(CDDS_ITEMPREPAINT, item, buffer.GetSafeHdc());
        (this->*draw)(&buffer);
        if (notifyItems)
            SendCustomDraw(CDDS_ITEMPOSTPAINT, item, buffer.GetSafeHdc());
    };
    drawPiece(kTicsItem, &CHLMSkinObjectTrackBar::DrawAllTics);
    drawPiece(kChannelItem, &CHLMSkinObjectTrackBar::DrawChannel);
    drawPiece(kThumbItem, &CHLMSkinObjectTrackBar::DrawThumb);
    if (flags & CDRF_NOTIFYPOSTPAINT)
        SendCustomDraw(CDDS_POSTPAINT, 0, buffer.GetSafeHdc());
}

void CHLMSkinObjectTrackBar::FillOrientedRect(CDC* dc, int x, int y, int cx, int cy, COLORREF color)
{
    if (IsVertical())
        dc->FillSolidRect(y, x, cy, cx, color);
    else
        dc->FillSolidRect(x, y, cx, cy, color);
}

void CHLMSkinObjectTrackBar::DrawTic(CDC* dc, int x, int y, int direction, COLORREF color)
{
    FillOrientedRect(dc, x, direction == -1 ? y - kTicLength : y, 1, kTicLength, color);
}

void CHLMSkinObjectTrackBar::DrawTics(CDC* dc, int direction, int y)
{
    CHLMSkinManagerClass* skin = GetSkinClass();
    const COLORREF defaultColor = GetColor(COLOR_BTNTEXT);
    const int part = IsVertical() ? TKP_TICSVERT : TKP_TICS;
    const int state = IsVertical() ? static_cast<int>(TSVS_NORMAL) : static_cast<int>(TSS_NORMAL);
    const COLORREF color = skin != nullptr ? skin->GetThemeColor(part, state, TMT_COLOR, defaultColor) : defaultColor;
    for (int x : {m_rcTrack.left, m_rcTrack.right - 1})
    {
        DrawTic(dc, x, y, direction, color);
        DrawTic(dc, x, y + direction, direction, color);
    }

    // The array holds the tics between the two ends; the control may keep a spare slot
    // after them, so the count comes from the control and not from the allocation. The
    // positions are already those of the tic frequency.
    const DWORD* tics = reinterpret_cast<const DWORD*>(SendMessage(TBM_GETPTICS, 0, 0));
    const int allocated = tics != nullptr ? static_cast<int>(::LocalSize(const_cast<DWORD*>(tics)) / sizeof(DWORD)) : 0;
    const int count = std::min(static_cast<int>(SendMessage(TBM_GETNUMTICS, 0, 0)) - kEndTics, allocated);
    if (m_nTicFreq != 0)
    {
        for (int index = 0; index < count; ++index)
            DrawTic(dc, ValueToPosition(static_cast<int>(tics[index])), y, direction, color);
    }

    int start = 0, end = 0;
    if (!GetSelection(start, end))
        return;
    const COLORREF markColor = GetColor(COLOR_BTNTEXT);
    const int startX = ValueToPosition(start), endX = ValueToPosition(end);
    for (int i = 0; i < kTicLength; ++i)
    {
        const int top = direction == 1 ? y + i : y - kTicLength;
        FillOrientedRect(dc, startX - i, top, 1, kTicLength - i, markColor);
        FillOrientedRect(dc, endX + i, top, 1, kTicLength - i, markColor);
    }
}

void CHLMSkinObjectTrackBar::DrawAllTics(CDC* dc)
{
    if (m_dwLayoutStyle & TBS_NOTICKS)
        return;
    if (!(m_dwLayoutStyle & TBS_TOP) || (m_dwLayoutStyle & TBS_BOTH))
        DrawTics(dc, 1, m_rcTrack.bottom + 1);
    if (m_dwLayoutStyle & (TBS_TOP | TBS_BOTH))
        DrawTics(dc, -1, m_rcTrack.top - 1);
}

void CHLMSkinObjectTrackBar::DrawChannel(CDC* dc)
{
    CHLMSkinManagerClass* skin = GetSkinClass();
    if (skin == nullptr)
        return;
    const CRect rect = GetChannelRect();
    if (IsVertical())
        skin->DrawThemeBackground(dc, TKP_TRACKVERT, TRVS_NORMAL, &rect);
    else
        skin->DrawThemeBackground(dc, TKP_TRACK, TRS_NORMAL, &rect);
    DrawSelection(dc, IsVertical() ? Transposed(rect) : rect);
}

void CHLMSkinObjectTrackBar::DrawSelection(CDC* dc, const CRect& channel)
{
    int start = 0, end = 0;
    if (!GetSelection(start, end))
        return;
    // Inside the channel's border, from the start mark to the end mark.
    const int left = ValueToPosition(start), right = ValueToPosition(end) + 1;
    FillOrientedRect(dc, left, channel.top + 1, right - left, channel.Height() - 2, GetColor(COLOR_HIGHLIGHT));
}

BOOL CHLMSkinObjectTrackBar::GetSelection(int& start, int& end)
{
    if (!(m_dwLayoutStyle & TBS_ENABLESELRANGE))
        return FALSE;
    start = static_cast<int>(SendMessage(TBM_GETSELSTART, 0, 0));
    end = static_cast<int>(SendMessage(TBM_GETSELEND, 0, 0));
    return start < end && end >= static_cast<int>(SendMessage(TBM_GETRANGEMIN, 0, 0));
}

int CHLMSkinObjectTrackBar::GetThumbPart() const
{
    const BOOL vertical = IsVertical();
    if (m_dwLayoutStyle & TBS_BOTH)
        return vertical ? TKP_THUMBVERT : TKP_THUMB;
    if (vertical)
        return (m_dwLayoutStyle & TBS_LEFT) ? TKP_THUMBLEFT : TKP_THUMBRIGHT;
    return (m_dwLayoutStyle & TBS_TOP) ? TKP_THUMBTOP : TKP_THUMBBOTTOM;
}

HLMSkinDrawState CHLMSkinObjectTrackBar::GetThumbState()
{
    const HLMSkinDrawState state = HLMSkinGetDrawState(IsWindowEnabled(), ::GetCapture() == m_hWnd, m_bHot);
    return state == HLMSkinDrawStateNormal && ShowsFocus() ? HLMSkinDrawStateDefault : state;
}

void CHLMSkinObjectTrackBar::DrawThumb(CDC* dc)
{
    CHLMSkinManagerClass* skin = GetSkinClass();
    if (skin == nullptr || (m_dwLayoutStyle & TBS_NOTHUMB))
        return;
    CRect rect(0, 0, 0, 0);
    SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rect));
    const int part = GetThumbPart();
    skin->DrawThemeBackground(dc, part, kThumbStates[part - TKP_THUMB][GetThumbState()], &rect);
}

// ---------------------------------------------------------------------------------------
// Messages

BOOL CHLMSkinObjectTrackBar::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint covers everything, in one buffer
}

void CHLMSkinObjectTrackBar::OnPaint()
{
    CHLMSkinObjectPaintDC dc(this);
    Draw(&dc);
}

LRESULT CHLMSkinObjectTrackBar::OnPrintClient(WPARAM wParam, LPARAM lParam)
{
    return PrintClientWith(&CHLMSkinObjectTrackBar::Draw, wParam, lParam);
}

LRESULT CHLMSkinObjectTrackBar::OnSetTicFreq(WPARAM wParam, LPARAM)
{
    m_nTicFreq = static_cast<int>(wParam);
    return Default();
}

void CHLMSkinObjectTrackBar::OnMouseMove(UINT, CPoint point)
{
    CRect thumb(0, 0, 0, 0);
    SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    SetHotPart(m_bHot, thumb.PtInRect(point), FALSE);
    Default();
}

void CHLMSkinObjectTrackBar::OnMouseLeave()
{
    OnMouseMove(0, CPoint(-1, -1));
}

// Presses are the control's: it moves the thumb and takes the mouse capture, which the
// thumb's pressed look reads.
void CHLMSkinObjectTrackBar::OnLButtonDown(UINT, CPoint)
{
    Default();
}

void CHLMSkinObjectTrackBar::OnLButtonUp(UINT, CPoint)
{
    Default();
}
