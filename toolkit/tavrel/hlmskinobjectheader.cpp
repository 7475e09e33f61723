#include "hlmskinobjectheader.h"

#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmdrawhelpers.h"

#include <commctrl.h>

#include <algorithm>

namespace
{
// The control paints its own filter row from this version on.
const DWORD kFilterBarVersion = 0x50050;
const int kTextLength = 256;
const UINT kItemMask = HDI_TEXT | HDI_FORMAT | HDI_LPARAM | HDI_IMAGE;
const int kNarrowGap = 6, kWideGap = 9, kRightInset = 3;
const int kArrowWidth = 9, kArrowHalf = 4, kArrowRise = 2;
const int kDefaultImageSize = 16;
// The margin around an item's image or sort arrow, in the skin's edges.
const int kEdgesPerMargin = 3;
const UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
// The item's part in each draw state: no disabled, checked or default look of its own.
const HLMSkinStateTable kItemStates = {HIS_NORMAL, HIS_HOT, HIS_PRESSED, HIS_NORMAL, HIS_NORMAL, HIS_NORMAL};

// Where something width wide after an item's text starts: where it is given, or further left
// to end an inset before the item's right end, though never into the item's left gap.
int KeepInsideItem(const CRect& item, int x, int width)
{
    if (item.right - kRightInset < x + width)
        return std::max<int>(item.right - kRightInset - width, item.left + kNarrowGap);
    return x;
}

// One item through HDM_GETITEMW (Item HDITEMW, Char wchar_t) or HDM_GETITEMA.
template <class Item, class Char>
BOOL ReadItemThrough(UINT message, HWND header, int index, CHLMSkinObjectHeader::ITEMDATA* data)
{
    Char text[kTextLength] = {};
    Item item = {};
    item.mask = kItemMask;
    item.fmt = data->nFormat;
    item.pszText = text;
    item.cchTextMax = kTextLength - 1;
    if (!::SendMessageW(header, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return FALSE;
    *data = {CString(text), item.fmt, item.iImage, item.lParam};
    return TRUE;
}
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectHeader, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectHeader, CHLMSkinObjectFrame)
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, &CHLMSkinObjectHeader::OnPrintClient)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

CHLMSkinObjectHeader::CHLMSkinObjectHeader() : m_bPressed(FALSE), m_nHotItem(-1), m_nPressedItem(-1)
{
    m_strClassName = L"HEADER";
}

int CHLMSkinObjectHeader::HitTest(CPoint point, UINT* flags)
{
    HDHITTESTINFO info = {};
    info.pt = point;
    const int item = static_cast<int>(SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (flags != nullptr)
        *flags = info.flags;
    return item;
}

HLMSkinDrawState CHLMSkinObjectHeader::GetItemDrawState(int index) const
{
    // Pressed only while the mouse is over the item the button went down on.
    const BOOL hot = index == m_nHotItem;
    return HLMSkinGetDrawState(TRUE, hot && m_bPressed && index == m_nPressedItem, hot);
}

int CHLMSkinObjectHeader::GetItemState(int index) const
{
    return kItemStates[GetItemDrawState(index)];
}

// ---------------------------------------------------------------------------------------
// Painting

void CHLMSkinObjectHeader::OnPaint()
{
    CHLMSkinObjectPaintDC dc(this);
    Draw(&dc);
}

LRESULT CHLMSkinObjectHeader::OnPrintClient(WPARAM wParam, LPARAM lParam)
{
    return PrintClientWith(&CHLMSkinObjectHeader::Draw, wParam, lParam);
}

void CHLMSkinObjectHeader::Draw(CDC* dc)
{
    CRect rect;
    GetClientRect(&rect);
    CRect remaining = rect;
    CHLMBufferDC buffer(dc->GetSafeHdc(), rect);
    const BOOL filterBar = (GetStyle() & HDS_FILTERBAR) != 0 && GetComCtlVersion() >= kFilterBarVersion;
    buffer.FillSolidRect(&rect, GetColor(COLOR_3DFACE));
    if (filterBar)
    {
        // Items take the upper half; the control's own filter row stays below.
        rect.bottom = rect.top + (rect.Height() - 1) / 2;
        DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(buffer.GetSafeHdc()), 0);
    }
    CHLMFontDC font(&buffer, GetFont(), GetColor(COLOR_BTNTEXT));
    buffer.SetBkMode(TRANSPARENT);
    CHLMSkinManagerClass* skin = GetSkinClass();
    const int count = static_cast<int>(SendMessage(HDM_GETITEMCOUNT));
    for (int order = 0; order < count; ++order)
    {
        const int index = static_cast<int>(SendMessage(HDM_ORDERTOINDEX, static_cast<WPARAM>(order)));
        CRect item(0, 0, 0, 0);
        SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        if (item.right < rect.left || item.left > rect.right)
            continue;
        if (filterBar)
            item.bottom = rect.bottom;
        const int state = GetItemState(index);
        remaining.left = std::max(remaining.left, item.right);
        if (skin != nullptr)
            skin->DrawThemeBackground(&buffer, HP_HEADERITEM, state, &item);
        DrawItem(&buffer, index, item, state);
    }
    if (remaining.left < remaining.right && skin != nullptr)
        skin->DrawThemeBackground(&buffer, kAnyPart, kAnyState, &remaining);
}

BOOL CHLMSkinObjectHeader::ReadItem(int index, ITEMDATA* data)
{
    return ReadItemThrough<HDITEMW, wchar_t>(HDM_GETITEMW, m_hWnd, index, data) ||
           ReadItemThrough<HDITEMA, char>(HDM_GETITEMA, m_hWnd, index, data);
}

void CHLMSkinObjectHeader::DrawItem(CDC* dc, int index, CRect item, int state)
{
    ITEMDATA data;
    if (!ReadItem(index, &data))
        return;
    const BOOL pressed = state == HIS_PRESSED;
    if ((data.nFormat & HDF_OWNERDRAW) && SendDrawItem(dc, index, item, data, pressed))
        return;
    ITEMLAYOUT layout;
    CalcItemLayout(dc, data, item, pressed, &layout);
    const CRect& image = layout.rcImage;
    if (!image.IsRectEmpty())
        ImageList_Draw(GetShownImageList(data), data.nImage, dc->GetSafeHdc(), image.left, image.top, ILD_TRANSPARENT);
    const CRect& arrow = layout.rcSortArrow;
    if (!arrow.IsRectEmpty())
    {
        const BOOL up = (data.nFormat & HDF_SORTUP) != 0;
        const int base = up ? arrow.bottom : arrow.top, tip = up ? arrow.top : arrow.bottom;
        CHLMDrawHelpers::FillTriangle(dc, CPoint(arrow.left, base), CPoint(arrow.CenterPoint().x, tip),
                                      CPoint(arrow.right, base), GetColor(COLOR_3DSHADOW));
    }
    if (layout.rcText.Width() <= 0)
        return;
    CRect text = layout.rcText;
    dc->DrawText(data.strText, &text, layout.nTextFormat);
}

BOOL CHLMSkinObjectHeader::SendDrawItem(CDC* dc, int index, const CRect& item, const ITEMDATA& data, BOOL pressed)
{
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_HEADER;
    draw.CtlID = static_cast<UINT>(GetDlgCtrlID());
    draw.itemID = static_cast<UINT>(index);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = pressed ? ODS_SELECTED : 0;
    draw.hwndItem = m_hWnd;
    draw.hDC = dc->GetSafeHdc();
    draw.rcItem = item;
    draw.itemData = static_cast<ULONG_PTR>(data.lParam);
    return ::SendMessageW(::GetParent(m_hWnd), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw)) != 0;
}

// ---------------------------------------------------------------------------------------
// Layout

int CHLMSkinObjectHeader::GetEdgeMargin() const
{
    return kEdgesPerMargin * GetSkinManager()->GetMetrics()->m_cxEdge;
}

HIMAGELIST CHLMSkinObjectHeader::GetShownImageList(const ITEMDATA& data)
{
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessage(HDM_GETIMAGELIST));
    const BOOL shown = images != nullptr && (data.nFormat & HDF_IMAGE) && data.nImage >= 0 &&
                       data.nImage < ImageList_GetImageCount(images);
    return shown ? images : NULL;
}

void CHLMSkinObjectHeader::CalcItemLayout(CDC* dc, const ITEMDATA& data, const CRect& item, BOOL pressed,
                                          ITEMLAYOUT* layout)
{
    layout->rcImage.SetRectEmpty();
    layout->rcSortArrow.SetRectEmpty();
    layout->rcText = item;
    const int textWidth = dc->GetTextExtent(data.strText).cx;
    // An image takes the sort arrow's place.
    if (GetShownImageList(data) != NULL)
        PlaceImage(data, item, textWidth, pressed, layout);
    else if (data.nFormat & (HDF_SORTUP | HDF_SORTDOWN))
        PlaceSortArrow(item, textWidth, layout);
    layout->nTextFormat = kTextFormat;
    switch (data.nFormat & HDF_JUSTIFYMASK)
    {
    case HDF_LEFT:
        layout->rcText.DeflateRect(kWideGap, 0, kNarrowGap, 0);
        break;
    case HDF_RIGHT:
        layout->nTextFormat |= DT_RIGHT;
        layout->rcText.DeflateRect(kNarrowGap, 0, kWideGap, 0);
        break;
    case HDF_CENTER:
        layout->nTextFormat |= DT_CENTER;
        layout->rcText.DeflateRect(kNarrowGap, 0, kNarrowGap, 0);
        break;
    default:
        break;
    }
    if (pressed)
        layout->rcText.OffsetRect(1, 1);
}

void CHLMSkinObjectHeader::PlaceImage(const ITEMDATA& data, const CRect& item, int textWidth, BOOL pressed,
                                      ITEMLAYOUT* layout)
{
    int margin = static_cast<int>(SendMessage(HDM_GETBITMAPMARGIN));
    if (margin == 0)
        margin = GetEdgeMargin();
    int width = kDefaultImageSize, height = kDefaultImageSize;
    ImageList_GetIconSize(GetShownImageList(data), &width, &height);
    CPoint origin(item.left + margin, (item.top + item.bottom - height) / 2);
    if (data.nFormat & HDF_BITMAP_ON_RIGHT)
    {
        origin.x = KeepInsideItem(item, origin.x + textWidth + margin + kWideGap, width) + (pressed ? 1 : 0);
        layout->rcText.right = origin.x + kNarrowGap;
    }
    else
    {
        origin.x += pressed ? 1 : 0;
        layout->rcText.left += width + margin;
    }
    layout->rcImage = CRect(origin, CSize(width, height));
}

void CHLMSkinObjectHeader::PlaceSortArrow(const CRect& item, int textWidth, ITEMLAYOUT* layout)
{
    const int y = (item.top + item.bottom - kArrowRise) / 2;
    const int afterText = item.left + GetEdgeMargin() + textWidth + GetEdgeMargin() + kWideGap;
    const int x = KeepInsideItem(item, afterText, kArrowWidth);
    layout->rcSortArrow = CRect(x - kArrowHalf, y - kArrowRise, x + kArrowHalf, y + kArrowRise);
    layout->rcText.right = x;
}

// ---------------------------------------------------------------------------------------
// The mouse

void CHLMSkinObjectHeader::OnLButtonDown(UINT, CPoint point)
{
    UINT flags = 0;
    const int item = HitTest(point, &flags);
    // A press on a divider resizes the column: no pressed look.
    if (item != -1 && (flags & HHT_ONHEADER))
    {
        m_bPressed = TRUE;
        m_nPressedItem = item;
    }
    Default();
}

void CHLMSkinObjectHeader::EndPress()
{
    if (!m_bPressed)
        return;
    m_bPressed = FALSE;
    m_nPressedItem = -1;
    Invalidate(FALSE);
}

void CHLMSkinObjectHeader::OnLButtonUp(UINT, CPoint)
{
    EndPress();
    Default();
}

void CHLMSkinObjectHeader::OnCaptureChanged(CWnd*)
{
    // The press ends wherever the capture went, also without a button release here.
    EndPress();
    Default();
}

void CHLMSkinObjectHeader::OnMouseMove(UINT, CPoint point)
{
    SetHotPart(m_nHotItem, HitTest(point), -1);
    Default();
}

void CHLMSkinObjectHeader::OnMouseLeave()
{
    OnMouseMove(0, CPoint(-1, -1));
}
