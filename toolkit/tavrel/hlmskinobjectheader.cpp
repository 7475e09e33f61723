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
const UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

// What DrawItem reads of an item, from the wide message or, when the control refuses it, the
// 8-bit one.
struct ItemData
{
    CString text;
    int format = HDF_STRING | HDF_IMAGE;
    int image = 0;
    LPARAM lParam = 0;
};

// One item through HDM_GETITEMW (Item HDITEMW, Char wchar_t) or HDM_GETITEMA.
template <class Item, class Char>
BOOL ReadItemThrough(UINT message, HWND header, int index, ItemData* data)
{
    Char text[kTextLength] = {};
    Item item = {};
    item.mask = kItemMask;
    item.fmt = data->format;
    item.pszText = text;
    item.cchTextMax = kTextLength - 1;
    if (!::SendMessageW(header, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return FALSE;
    *data = {CString(text), item.fmt, item.iImage, item.lParam};
    return TRUE;
}

BOOL ReadItem(HWND header, int index, ItemData* data)
{
    return ReadItemThrough<HDITEMW, wchar_t>(HDM_GETITEMW, header, index, data) ||
           ReadItemThrough<HDITEMA, char>(HDM_GETITEMA, header, index, data);
}
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectHeader, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectHeader, CHLMSkinObjectFrame)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

CHLMSkinObjectHeader::CHLMSkinObjectHeader() : m_bPressed(FALSE), m_nHotItem(-1), m_nPressedItem(-1)
{
    m_strClassName = L"HEADER";
    m_bDrawsWholeClient = TRUE;
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

int CHLMSkinObjectHeader::GetItemState(int index) const
{
    if (index != m_nHotItem)
        return ItemNormal;
    return m_bPressed && index == m_nPressedItem ? ItemPressed : ItemHot;
}

// ---------------------------------------------------------------------------------------
// Painting

void CHLMSkinObjectHeader::DrawClient(CDC* dc)
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

void CHLMSkinObjectHeader::DrawItem(CDC* dc, int index, CRect item, int state)
{
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessage(HDM_GETIMAGELIST));
    ItemData data;
    if (!ReadItem(m_hWnd, index, &data))
        return;
    const BOOL pressed = state == ItemPressed;
    if (data.format & HDF_OWNERDRAW)
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
        if (::SendMessageW(::GetParent(m_hWnd), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw)))
            return;
    }
    CRect text = item;
    const int lowestX = item.left + kNarrowGap;
    const int textWidth = dc->GetTextExtent(data.text).cx;
    const int edgeMargin = 3 * GetSkinManager()->GetMetrics()->m_cxEdge;
    const BOOL hasImage = images != nullptr && (data.format & HDF_IMAGE) && data.image >= 0 &&
                          data.image < ImageList_GetImageCount(images);
    if (hasImage)
    {
        int margin = static_cast<int>(SendMessage(HDM_GETBITMAPMARGIN));
        if (margin == 0)
            margin = edgeMargin;
        int width = 16, height = 16;
        ImageList_GetIconSize(images, &width, &height);
        const int y = (item.top + item.bottom - height) / 2;
        int x = item.left + margin;
        if (data.format & HDF_BITMAP_ON_RIGHT)
        {
            x += textWidth + margin + kWideGap;
            if (item.right - kRightInset < x + width)
                x = std::max<int>(item.right - width - kRightInset, lowestX);
            x += pressed ? 1 : 0;
            ImageList_Draw(images, data.image, dc->GetSafeHdc(), x, y, ILD_TRANSPARENT);
            text.right = x + kNarrowGap;
        }
        else
        {
            x += pressed ? 1 : 0;
            ImageList_Draw(images, data.image, dc->GetSafeHdc(), x, y, ILD_TRANSPARENT);
            text.left += width + margin;
        }
    }
    else if (data.format & (HDF_SORTUP | HDF_SORTDOWN))
    {
        const int y = (item.top + item.bottom - kArrowRise) / 2;
        int x = item.left + edgeMargin + textWidth + edgeMargin + kWideGap;
        if (item.right - kRightInset < x + kArrowWidth)
            x = std::max<int>(item.right - kRightInset - kArrowWidth, lowestX);
        const int rise = (data.format & HDF_SORTUP) ? kArrowRise : -kArrowRise;
        CHLMDrawHelpers::FillTriangle(dc, CPoint(x - kArrowHalf, y + rise), CPoint(x, y - rise),
                                      CPoint(x + kArrowHalf, y + rise), GetColor(COLOR_3DSHADOW));
        text.right = x;
    }
    UINT format = kTextFormat;
    switch (data.format & HDF_JUSTIFYMASK)
    {
    case HDF_LEFT:
        text.DeflateRect(kWideGap, 0, kNarrowGap, 0);
        break;
    case HDF_RIGHT:
        format |= DT_RIGHT;
        text.DeflateRect(kNarrowGap, 0, kWideGap, 0);
        break;
    case HDF_CENTER:
        format |= DT_CENTER;
        text.DeflateRect(kNarrowGap, 0, kNarrowGap, 0);
        break;
    default:
        break;
    }
    if (text.Width() <= 0)
        return;
    if (pressed)
        text.OffsetRect(1, 1);
    dc->DrawText(data.text, &text, format);
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
