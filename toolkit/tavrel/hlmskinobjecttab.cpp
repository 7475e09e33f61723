#include "hlmskinobjecttab.h"

#include "hlmskindrawstate.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmdrawhelpers.h"

#include <commctrl.h>


namespace
{
const int kTextLength = 255;
// How far the selected tab stands out on every side, and the header towards the pane.
const int kSelectedGrowth = 2;
const UINT kHorizontalTextFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_CENTER;
const UINT kVerticalTextFormat = DT_SINGLELINE | DT_NOCLIP;

// The items' states, a table per item part in the SDK's order of the parts. A selected tab
// stays down without the mouse: it shows the selected look, which also stands for the pressed
// one the parts do not have.
const HLMSkinStateTable kItemStates[] = {
    {TTIS_NORMAL, TTIS_HOT, TTIS_SELECTED, TTIS_DISABLED, TTIS_SELECTED, TTIS_FOCUSED},              // TABP_TOPTABITEM
    {TTILES_NORMAL, TTILES_HOT, TTILES_SELECTED, TTILES_DISABLED, TTILES_SELECTED, TTILES_FOCUSED},  // its left edge
    {TTIRES_NORMAL, TTIRES_HOT, TTIRES_SELECTED, TTIRES_DISABLED, TTIRES_SELECTED, TTIRES_FOCUSED},  // its right edge
};
static_assert(_countof(kItemStates) == TABP_TOPTABITEMRIGHTEDGE - TABP_TOPTABITEM + 1, "a table for every item part");
// A button-style tab is a push button, pushed in while selected; it does not light up under
// the mouse.
const HLMSkinStateTable kButtonItemStates = {PBS_NORMAL,   PBS_NORMAL,  PBS_PRESSED,
                                             PBS_DISABLED, PBS_PRESSED, PBS_DEFAULTED};

int ItemStateNumber(int part, HLMSkinDrawState state)
{
    return kItemStates[part - TABP_TOPTABITEM][state];
}
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectTab, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectTab, CHLMSkinObjectFrame)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, &CHLMSkinObjectTab::OnPrintClient)
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

CHLMSkinObjectTab::CHLMSkinObjectTab() : m_nHotItem(-1)
{
    m_strClassName = L"TAB";
}

// ---------------------------------------------------------------------------------------
// Geometry

int CHLMSkinObjectTab::GetSide() const
{
    return static_cast<int>(GetStyle() & (TCS_VERTICAL | TCS_RIGHT));
}

BOOL CHLMSkinObjectTab::IsHorizontal() const
{
    const int side = GetSide();
    return side == kSideTop || side == kSideBottom;
}

CRect CHLMSkinObjectTab::GetHeaderRect()
{
    CRect rect;
    GetClientRect(&rect);
    const int side = GetSide();
    const int selected = static_cast<int>(SendMessage(TCM_GETCURSEL, 0, 0));
    CRect item;
    if (selected < 0 || !SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item)))
    {
        // Without a selected tab there is no item to measure the header by.
        switch (side)
        {
        case kSideRight: rect.left = rect.right; break;
        case kSideLeft: rect.right = rect.left; break;
        case kSideBottom: rect.top = rect.bottom; break;
        default: rect.bottom = rect.top; break;
        }
        return rect;
    }
    switch (side)
    {
    case kSideRight:
        rect.left = item.left;
        break;
    case kSideLeft:
        rect.right = item.right;
        break;
    case kSideBottom:
        rect.top = item.top;
        break;
    default:
        rect.bottom = (item.Height() + rect.top) * static_cast<int>(SendMessage(TCM_GETROWCOUNT, 0, 0)) +
                      GetMetrics()->m_cyEdge;
        break;
    }
    return rect;
}

// ---------------------------------------------------------------------------------------
// Items

int CHLMSkinObjectTab::GetItemPart(int index, int count, BOOL selected) const
{
    if (index == 0)
        return TABP_TOPTABITEMLEFTEDGE;
    if (index + 1 == count && !selected)
        return TABP_TOPTABITEMRIGHTEDGE;
    return TABP_TOPTABITEM;
}

HLMSkinDrawState CHLMSkinObjectTab::GetItemState(int index, BOOL selected) const
{
    if (selected)
        return HLMSkinDrawStateChecked;
    return index == m_nHotItem ? HLMSkinDrawStateHot : HLMSkinDrawStateNormal;
}

void CHLMSkinObjectTab::DrawItemBackground(CDC* dc, CRect rect, int index, int count, BOOL selected)
{
    if (GetStyle() & TCS_BUTTONS)
    {
        if (CHLMSkinManagerClass* button = GetSkinManager()->GetSkinClass(L"BUTTON"))
            button->DrawThemeBackground(dc, BP_PUSHBUTTON, kButtonItemStates[GetItemState(index, selected)], &rect);
        return;
    }
    if (selected)
        rect.InflateRect(kSelectedGrowth, kSelectedGrowth);
    const int part = GetItemPart(index, count, selected);
    if (CHLMSkinManagerClass* skinClass = GetSkinClass())
        skinClass->DrawThemeBackground(dc, part, ItemStateNumber(part, GetItemState(index, selected)), &rect);
}

void CHLMSkinObjectTab::DrawItemImage(CDC* dc, CRect& rect, int index)
{
    TCITEMW item = {};
    item.mask = TCIF_IMAGE;
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessage(TCM_GETIMAGELIST, 0, 0));
    if (!SendMessage(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) || images == NULL ||
        item.iImage < 0)
        return;
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    const int side = GetSide();
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    CPoint point = rect.TopLeft();
    if (IsHorizontal())
        point.Offset(2 * metrics->m_cxEdge, side == kSideTop ? metrics->m_cyEdge : 1);
    else
        point.Offset(side == kSideLeft ? metrics->m_cxEdge : 1, 2 * metrics->m_cyEdge);
    ImageList_Draw(images, item.iImage, dc->GetSafeHdc(), point.x, point.y, ILD_TRANSPARENT);
    if (IsHorizontal())
        rect.left += width + metrics->m_cxEdge;
    else
        rect.top += height + metrics->m_cyEdge;
}

CString CHLMSkinObjectTab::GetItemText(int index)
{
    wchar_t text[kTextLength + 1] = L"";
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = kTextLength;
    if (SendMessage(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return CString(item.pszText != nullptr ? item.pszText : L"");
    char narrow[kTextLength + 1] = "";
    TCITEMA narrowItem = {};
    narrowItem.mask = TCIF_TEXT;
    narrowItem.pszText = narrow;
    narrowItem.cchTextMax = kTextLength;
    if (!SendMessage(TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&narrowItem)))
        return CString();
    return CString(narrowItem.pszText != nullptr ? narrowItem.pszText : "");
}

void CHLMSkinObjectTab::DrawItemText(CDC* dc, CRect rect, int index, int count, BOOL selected)
{
    const CString text = GetItemText(index);
    CHLMSkinManagerClass* skinClass = GetSkinClass();
    if (text.IsEmpty() || skinClass == nullptr)
        return;
    dc->SetTextColor(GetColor(COLOR_BTNTEXT));
    UINT format = kVerticalTextFormat;
    if (IsHorizontal())
    {
        format = kHorizontalTextFormat;
        if (SendMessage(WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL)
            format |= DT_HIDEPREFIX;
        if (GetStyle() & TCS_BUTTONS)
        {
            if (!selected)
                rect.top -= 1;
        }
        else
        {
            rect.top += selected ? -2 : 1;
        }
    }
    else
    {
        SIZE extent = {0, 0};
        ::GetTextExtentPoint32W(dc->GetSafeHdc(), text, text.GetLength(), &extent);
        rect.left = rect.right - (rect.Width() - extent.cy + 1) / 2;
        rect.top += (rect.Height() - extent.cx + 1) / 2;
    }
    const int part = GetItemPart(index, count, selected);
    skinClass->DrawThemeText(dc, part, ItemStateNumber(part, GetItemState(index, selected)), text, format, &rect);
}

void CHLMSkinObjectTab::DrawItem(CDC* dc, int index)
{
    CRect item, client;
    GetClientRect(&client);
    if (!SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) ||
        !CRect().IntersectRect(&item, &client))
        return;
    const BOOL selected = index == static_cast<int>(SendMessage(TCM_GETCURSEL, 0, 0));
    const int count = static_cast<int>(SendMessage(TCM_GETITEMCOUNT, 0, 0));
    DrawItemBackground(dc, item, index, count, selected);
    CRect content = item;
    DrawItemImage(dc, content, index);
    DrawItemText(dc, content, index, count, selected);
    if (selected && ::GetFocus() == m_hWnd && !(SendMessage(WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
    {
        const CHLMSkinManagerMetrics* metrics = GetMetrics();
        item.DeflateRect(metrics->m_cxEdge / 2, metrics->m_cyEdge / 2);
        dc->DrawFocusRect(&item);
    }
}

// ---------------------------------------------------------------------------------------
// Painting

void CHLMSkinObjectTab::DrawPane(CDC* dc, const CRect& rect)
{
    FillClientBackground(dc, &rect, WM_CTLCOLORSTATIC);
    if (GetStyle() & TCS_BUTTONS)
        return;
    const CRect header = GetHeaderRect();
    CRect pane = rect;
    switch (GetSide())
    {
    case kSideRight: pane.right = header.left; break;
    case kSideLeft: pane.left = header.right; break;
    case kSideBottom: pane.bottom = header.top; break;
    default: pane.top = header.bottom; break;
    }
    if (CHLMSkinManagerClass* skinClass = GetSkinClass())
        skinClass->DrawThemeBackground(dc, TABP_PANE, 0, &pane);
}

void CHLMSkinObjectTab::DrawTabs(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    CRect area = GetHeaderRect();
    // With no tab selected the pane covers everything, also where tabs were shown before.
    const BOOL header = !area.IsRectEmpty();
    if (!header)
        area = client;
    else if (GetSide() == kSideRight)
        area.left -= kSelectedGrowth;
    else if (GetSide() == kSideLeft)
        area.right += kSelectedGrowth;
    else if (GetSide() == kSideBottom)
        area.top -= kSelectedGrowth;
    else
        area.bottom += kSelectedGrowth;
    CHLMBufferDC buffer(dc->GetSafeHdc(), area);
    DrawPane(&buffer, client);
    if (!header)
        return;
    CHLMFontDC font(&buffer, GetFont());
    buffer.SetBkMode(TRANSPARENT);
    const int count = static_cast<int>(SendMessage(TCM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
        DrawItem(&buffer, index);
    const int selected = static_cast<int>(SendMessage(TCM_GETCURSEL, 0, 0));
    if (selected >= 0)
        DrawItem(&buffer, selected);
}

BOOL CHLMSkinObjectTab::OnEraseBkgnd(CDC* dc)
{
    // The pane is drawn here, so that a paint only has the tabs to draw.
    CRect client;
    GetClientRect(&client);
    CHLMBufferDC buffer(dc->GetSafeHdc(), client);
    DrawPane(&buffer, client);
    return TRUE;
}

void CHLMSkinObjectTab::OnPaint()
{
    CHLMSkinObjectPaintDC dc(this);
    // A paint with a DC of the caller's gets no background message first.
    if (dc.IsBeginPaint())
        DrawTabs(&dc);
    else
        DrawPaneAndTabs(&dc);
}

LRESULT CHLMSkinObjectTab::OnPrintClient(WPARAM wParam, LPARAM)
{
    // Whatever the flags: the system's own print would show its tabs, not the skin's.
    DrawPaneAndTabs(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    return 1;
}

void CHLMSkinObjectTab::DrawPaneAndTabs(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    DrawPane(dc, client);
    DrawTabs(dc);
}

// ---------------------------------------------------------------------------------------
// Mouse

void CHLMSkinObjectTab::OnMouseMove(UINT, CPoint point)
{
    SetHotItem(point);
    // The control relays the move to its tooltips and tracks its own hot tab.
    Default();
}

void CHLMSkinObjectTab::OnMouseLeave()
{
    SetHotItem(CPoint(-1, -1));
    Default();
}

void CHLMSkinObjectTab::SetHotItem(CPoint point)
{
    int hot = -1;
    const int count = static_cast<int>(SendMessage(TCM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count && hot < 0; ++index)
    {
        CRect item;
        if (SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) &&
            item.PtInRect(point))
            hot = index;
    }
    if (hot == m_nHotItem)
        return;
    m_nHotItem = hot;
    const CRect header = GetHeaderRect();
    InvalidateRect(&header, FALSE);
    if (hot >= 0)
        TrackMouseLeave();
}
