#include "hlmskinobjecttoolbar.h"

#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmdrawhelpers.h"

#include <algorithm>
#include <vector>

namespace
{
const int kDefaultImageSize = 16;
// What a drop-down arrow takes off a button's content width.
const int kDropArrowWidth = 5;
// The whole-drop-down triangle's centre lies this far left of the button's right edge; it
// points down from a base four pixels wide, two pixels high.
const int kWholeDropArrowInset = 6;
const int kWholeDropArrowHalfWidth = 2, kWholeDropArrowHalfHeight = 1;
// Paints the brush where the source is black and keeps the destination where it is white.
const DWORD kRopBrushWhereSourceBlack = 0xB8074A;
// The state of a button's parts (plain, split and its arrow alike) in each draw state; a
// toolbar button has no default look.
const HLMSkinStateTable kButtonStates = {TS_NORMAL, TS_HOT, TS_PRESSED, TS_DISABLED, TS_CHECKED, TS_NORMAL};

// Parameters for drawing one image of a list at (x, y) over the given background; `size`
// tells the older short form from the full one with state and effect.
IMAGELISTDRAWPARAMS ImageDrawParams(HDC dc, int x, int y, HIMAGELIST imageList, int image, COLORREF background,
                                    DWORD size)
{
    IMAGELISTDRAWPARAMS params = {};
    params.cbSize = size;
    params.himl = imageList;
    params.i = image;
    params.hdcDst = dc;
    params.x = x;
    params.y = y;
    params.rgbBk = background;
    params.rgbFg = CLR_DEFAULT;
    params.fStyle = ILD_TRANSPARENT;
    return params;
}
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectToolBar, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectToolBar, CHLMSkinObjectFrame)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CHLMSkinObjectToolBar::CHLMSkinObjectToolBar()
{
    m_strClassName = L"TOOLBAR";
}

// ---------------------------------------------------------------------------------------
// Buttons and image lists

HIMAGELIST CHLMSkinObjectToolBar::GetImageList(int kind)
{
    static const UINT kMessages[] = {TB_GETIMAGELIST, TB_GETHOTIMAGELIST, TB_GETDISABLEDIMAGELIST};
    if (kind < 0 || kind >= static_cast<int>(_countof(kMessages)))
        return NULL;
    return reinterpret_cast<HIMAGELIST>(SendMessage(kMessages[kind], 0, 0));
}

BOOL CHLMSkinObjectToolBar::IsSplitButton(const TBBUTTON* button)
{
    const LRESULT extended = SendMessage(TB_GETEXTENDEDSTYLE, 0, 0);
    return (extended & TBSTYLE_EX_DRAWDDARROWS) && (button->fsStyle & BTNS_DROPDOWN) &&
           !(button->fsStyle & BTNS_WHOLEDROPDOWN);
}

BOOL CHLMSkinObjectToolBar::HasDropArrow(const TBBUTTON* button)
{
    const LRESULT extended = SendMessage(TB_GETEXTENDEDSTYLE, 0, 0);
    return ((extended & TBSTYLE_EX_DRAWDDARROWS) && (button->fsStyle & BTNS_DROPDOWN)) ||
           (button->fsStyle & BTNS_WHOLEDROPDOWN);
}

BOOL CHLMSkinObjectToolBar::ShowsImage(const TBBUTTON* button)
{
    return !((GetStyle() & TBSTYLE_LIST) && button->iBitmap == I_IMAGENONE && (button->fsStyle & BTNS_AUTOSIZE));
}

BOOL CHLMSkinObjectToolBar::IsAlphaImageList(HIMAGELIST imageList)
{
    if (!GetSkinManager()->IsComCtl6OrLater())
        return FALSE;
    IMAGEINFO info = {};
    if (!ImageList_GetImageInfo(imageList, 0, &info))
        return FALSE;
    BITMAP bitmap = {};
    return ::GetObjectW(info.hbmImage, sizeof(bitmap), &bitmap) != 0 && bitmap.bmBitsPixel == 32 &&
           ImageList_GetBkColor(imageList) == CLR_NONE;
}

CString CHLMSkinObjectToolBar::GetButtonText(const TBBUTTON& button)
{
    // Without a buffer the toolbar answers the text's length, so no text is ever cut or
    // written past a buffer's end.
    const WPARAM command = static_cast<WPARAM>(button.idCommand);
    CString text;
    const int length = static_cast<int>(SendMessage(TB_GETBUTTONTEXTW, command, 0));
    if (length > 0)
    {
        SendMessage(TB_GETBUTTONTEXTW, command, reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
        text.ReleaseBuffer(length);
    }
    if (!text.IsEmpty() ||
        SendMessage(WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(::GetParent(m_hWnd)), NF_QUERY) != NFR_ANSI)
        return text;
    const int narrowLength = static_cast<int>(SendMessage(TB_GETBUTTONTEXTA, command, 0));
    if (narrowLength <= 0)
        return text;
    std::vector<char> narrow(narrowLength + 1, '\0');
    SendMessage(TB_GETBUTTONTEXTA, command, reinterpret_cast<LPARAM>(narrow.data()));
    return CString(narrow.data(), narrowLength);
}

UINT CHLMSkinObjectToolBar::GetItemState(int index, const TBBUTTON& button)
{
    UINT state = 0;
    if (index == static_cast<int>(SendMessage(TB_GETHOTITEM, 0, 0)))
        state |= CDIS_HOT;
    if (button.fsState & TBSTATE_PRESSED)
        state |= CDIS_SELECTED;
    if (button.fsState & TBSTATE_CHECKED)
        state |= CDIS_CHECKED;
    if (!(button.fsState & TBSTATE_ENABLED))
        state |= CDIS_DISABLED;
    return state;
}

// ---------------------------------------------------------------------------------------
// Painting

LRESULT CHLMSkinObjectToolBar::SendCustomDraw(DWORD stage, NMTBCUSTOMDRAW* record)
{
    record->nmcd.dwDrawStage = stage;
    record->nmcd.hdr.code = NM_CUSTOMDRAW;
    record->nmcd.hdr.hwndFrom = m_hWnd;
    record->nmcd.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
    return ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, record->nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(record));
}

void CHLMSkinObjectToolBar::OnPaint()
{
    CHLMSkinObjectPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CHLMBufferDC buffer(dc.GetSafeHdc(), client);
    buffer.FillSolidRect(&client, GetColor(COLOR_BTNFACE));
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
    HGDIOBJ previousFont = font != NULL ? buffer.SelectObject(font) : NULL;

    NMTBCUSTOMDRAW record = {};
    record.nmcd.hdc = buffer.GetSafeHdc();
    record.nmcd.rc = client;
    const LRESULT answer = SendCustomDraw(CDDS_PREPAINT, &record);
    if (!(answer & CDRF_SKIPDEFAULT))
        DrawButtons(&buffer);
    if (answer & CDRF_NOTIFYPOSTPAINT)
    {
        record.nmcd.hdc = buffer.GetSafeHdc();
        record.nmcd.uItemState = 0;
        record.nmcd.lItemlParam = 0;
        SendCustomDraw(CDDS_POSTPAINT, &record);
    }
    if (previousFont != NULL)
        buffer.SelectObject(previousFont);
}

void CHLMSkinObjectToolBar::DrawButtons(CDC* dc)
{
    CHLMSkinManagerClass* skinClass = GetSkinClass();
    const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
    {
        TBBUTTON button = {};
        if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) ||
            (button.fsState & TBSTATE_HIDDEN))
            continue;
        if (!(button.fsStyle & BTNS_SEP))
        {
            DrawButton(dc, index);
            continue;
        }
        CRect rect;
        if (skinClass != nullptr && SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)))
            skinClass->DrawThemeBackground(dc, TP_SEPARATOR, kAnyState, &rect);
    }
}

HLMSkinDrawState CHLMSkinObjectToolBar::GetButtonDrawState(UINT itemState)
{
    const BOOL enabled = !(itemState & CDIS_DISABLED), pressed = (itemState & CDIS_SELECTED) != 0;
    if (enabled && !pressed && (itemState & CDIS_CHECKED))
        return HLMSkinDrawStateChecked;
    return HLMSkinGetDrawState(enabled, pressed, (itemState & CDIS_HOT) != 0);
}

void CHLMSkinObjectToolBar::DrawButtonFace(CDC* dc, const BUTTONLAYOUT& layout, int state)
{
    CHLMSkinManagerClass* skinClass = GetSkinClass();
    if (skinClass == nullptr)
        return;
    if (!layout.bSplit)
    {
        skinClass->DrawThemeBackground(dc, TP_BUTTON, state, &layout.rcFace);
        return;
    }
    skinClass->DrawThemeBackground(dc, TP_SPLITBUTTON, state, &layout.rcFace);
    skinClass->DrawThemeBackground(dc, TP_SPLITBUTTONDROPDOWN, state, &layout.rcSplitArrow);
}

BOOL CHLMSkinObjectToolBar::ReadButton(int index, TBBUTTON* button, NMTBCUSTOMDRAW* record)
{
    CRect rc;
    if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(button)) ||
        !SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc)))
        return FALSE;
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    record->nmcd.rc = rc;
    record->nmcd.dwItemSpec = static_cast<DWORD_PTR>(button->idCommand);
    record->nmcd.lItemlParam = static_cast<LPARAM>(button->dwData);
    record->rcText = CRect(0, 0, rc.Width() - 2 * metrics->m_cxEdge, rc.Height() - 2 * metrics->m_cyEdge);
    record->nmcd.uItemState = GetItemState(index, *button);
    return TRUE;
}

void CHLMSkinObjectToolBar::DrawButton(CDC* dc, int index)
{
    TBBUTTON button = {};
    NMTBCUSTOMDRAW record = {};
    if (!ReadButton(index, &button, &record))
        return;
    record.nmcd.hdc = dc->GetSafeHdc();
    const LRESULT answer = SendCustomDraw(CDDS_ITEMPREPAINT, &record);
    if (!(answer & CDRF_SKIPDEFAULT))
    {
        // The parent may have changed the state and the text box it was given.
        const CString text = GetButtonText(button);
        BUTTONLAYOUT layout;
        CalcButtonLayout(button, record, answer, !text.IsEmpty(), &layout);
        const HLMSkinDrawState state = GetButtonDrawState(record.nmcd.uItemState);
        if (!(answer & TBCDRF_NOEDGES))
            DrawButtonFace(dc, layout, kButtonStates[state]);
        if (!layout.rcImage.IsRectEmpty())
            DrawButtonImage(dc, layout.rcImage.left, layout.rcImage.top, index);
        DrawButtonText(dc, layout, text, state);
        const CRect& arrow = layout.rcDropArrow;
        if (!arrow.IsRectEmpty())
            CHLMDrawHelpers::FillTriangle(dc, arrow.TopLeft(), CPoint(arrow.right, arrow.top),
                                          CPoint(arrow.CenterPoint().x, arrow.bottom), GetColor(COLOR_BTNTEXT));
    }
    if (answer & CDRF_NOTIFYPOSTPAINT)
        SendCustomDraw(CDDS_ITEMPOSTPAINT, &record);
}

void CHLMSkinObjectToolBar::DrawButtonText(CDC* dc, const BUTTONLAYOUT& layout, const CString& text,
                                           HLMSkinDrawState state)
{
    if (text.IsEmpty())
        return;
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(GetColor(state == HLMSkinDrawStateDisabled ? COLOR_BTNSHADOW : COLOR_BTNTEXT));
    if (layout.rcText.Width() <= 0)
        return;
    CRect rect = layout.rcText;
    dc->DrawText(text, &rect, layout.nTextFormat);
}

// ---------------------------------------------------------------------------------------
// Layout

CSize CHLMSkinObjectToolBar::GetImageSize()
{
    int width = kDefaultImageSize, height = kDefaultImageSize;
    if (HIMAGELIST normal = GetImageList(ImageListNormal))
        ImageList_GetIconSize(normal, &width, &height);
    return CSize(width, height);
}

void CHLMSkinObjectToolBar::CalcButtonLayout(const TBBUTTON& button, const NMTBCUSTOMDRAW& record, LRESULT answer,
                                             BOOL hasText, BUTTONLAYOUT* layout)
{
    const CRect item(record.nmcd.rc);
    layout->bSplit = IsSplitButton(&button);
    layout->rcFace = item;
    layout->rcSplitArrow.SetRectEmpty();
    if (layout->bSplit)
    {
        layout->rcFace.right -= ::GetSystemMetrics(SM_CYMENUCHECK);
        layout->rcSplitArrow = CRect(layout->rcFace.right, item.top, item.right, item.bottom);
    }
    // Pressed and checked buttons show their content a pixel down and right.
    const UINT itemState = record.nmcd.uItemState;
    const BOOL offset = (itemState & (CDIS_SELECTED | CDIS_CHECKED)) && !(answer & TBCDRF_NOOFFSET);
    const CRect imagePlace = CalcImagePlace(button, item, *layout, offset);
    layout->rcImage = ShowsImage(&button) ? imagePlace : CRect(0, 0, 0, 0);
    layout->rcText = hasText ? CalcTextRect(button, record, *layout, offset, imagePlace) : CRect(0, 0, 0, 0);
    const BOOL listStyle = (GetStyle() & TBSTYLE_LIST) != 0;
    layout->nTextFormat = DT_END_ELLIPSIS;
    layout->nTextFormat |= SendMessage(TB_GETTEXTROWS, 0, 0) < 2 ? DT_SINGLELINE : DT_WORDBREAK | DT_EDITCONTROL;
    layout->nTextFormat |= listStyle ? DT_SINGLELINE | DT_VCENTER : DT_CENTER;
    layout->rcDropArrow.SetRectEmpty();
    if (HasDropArrow(&button) && !layout->bSplit)
    {
        CPoint centre(item.right - kWholeDropArrowInset, (item.top + item.bottom) / 2);
        if (itemState & CDIS_SELECTED)
            centre.Offset(1, 1);
        layout->rcDropArrow = CRect(centre.x - kWholeDropArrowHalfWidth, centre.y - kWholeDropArrowHalfHeight,
                                    centre.x + kWholeDropArrowHalfWidth, centre.y + kWholeDropArrowHalfHeight);
    }
}

CRect CHLMSkinObjectToolBar::CalcImagePlace(const TBBUTTON& button, const CRect& item, const BUTTONLAYOUT& layout,
                                            BOOL offset)
{
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    const int cxEdge = metrics->m_cxEdge, cyEdge = metrics->m_cyEdge;
    const CSize image = GetImageSize();
    const LRESULT padding = SendMessage(TB_GETPADDING, 0, 0);
    const int paddingX = LOWORD(padding), paddingY = HIWORD(padding);
    const int contentWidth = item.Width() - 2 * cxEdge - (HasDropArrow(&button) ? kDropArrowWidth : 0);
    CPoint origin(item.left + cxEdge, item.top + cyEdge + std::max(0, (paddingY - 2 * cyEdge) / 2));
    if (GetStyle() & TBSTYLE_LIST)
    {
        // Beside the text, both on the button's middle line.
        origin.x += paddingX / 2 - (image.cx + paddingX >= item.Width() ? cxEdge : 0);
        origin.y = (item.top + item.bottom - image.cy) / 2;
    }
    else if (layout.bSplit)
    {
        origin.x += (contentWidth + 2 * cxEdge - image.cx - layout.rcSplitArrow.Width()) / 2;
    }
    else
    {
        origin.x += (contentWidth - image.cx) / 2;
    }
    if (offset)
        origin.Offset(1, 1);
    return CRect(origin, image);
}

CRect CHLMSkinObjectToolBar::CalcTextRect(const TBBUTTON& button, const NMTBCUSTOMDRAW& record,
                                          const BUTTONLAYOUT& layout, BOOL offset, const CRect& imagePlace)
{
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    const CRect item(record.nmcd.rc);
    const BOOL listStyle = (GetStyle() & TBSTYLE_LIST) != 0;
    int width = record.rcText.right - record.rcText.left, height = record.rcText.bottom - record.rcText.top;
    if (HasDropArrow(&button))
        width -= layout.bSplit ? layout.rcSplitArrow.Width() : kDropArrowWidth;
    CPoint origin(item.left + metrics->m_cxEdge, item.top + metrics->m_cyEdge);
    if (offset)
        origin.Offset(1, listStyle ? 1 : 0);
    if (listStyle && ShowsImage(&button))
    {
        // Beside the image.
        origin.x += imagePlace.Width() + 2 * metrics->m_cxEdge;
        width -= imagePlace.Width() + 2 * metrics->m_cxEdge;
    }
    else if (!listStyle)
    {
        // Below the image.
        height -= imagePlace.bottom - origin.y;
        origin.y = imagePlace.bottom;
    }
    if (width <= 0)
        return CRect(0, 0, 0, 0);
    // A pixel in from the text box; in list style centred on the middle line like the image.
    CRect text(origin.x + 1, origin.y + 1, origin.x + width + 1, origin.y + height + 1);
    if (listStyle)
        text.OffsetRect(0, -1);
    return text;
}

// ---------------------------------------------------------------------------------------
// Images

void CHLMSkinObjectToolBar::DrawButtonImage(CDC* dc, int x, int y, int index)
{
    TBBUTTON button = {};
    if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)))
        return;
    HIMAGELIST imageList = NULL;
    BOOL disabledWithoutList = FALSE;
    if (index == static_cast<int>(SendMessage(TB_GETHOTITEM, 0, 0)) || (button.fsState & TBSTATE_CHECKED))
    {
        imageList = GetImageList(ImageListHot);
    }
    else if (!(button.fsState & TBSTATE_ENABLED))
    {
        imageList = GetImageList(ImageListDisabled);
        disabledWithoutList = imageList == NULL;
    }
    if (imageList == NULL)
        imageList = GetImageList(ImageListNormal);
    // Negative indices (no image, images the parent supplies) have nothing to draw here.
    if (imageList == NULL || button.iBitmap < 0)
        return;
    if (disabledWithoutList && IsAlphaImageList(imageList))
    {
        DrawDisabledAlphaImage(dc, x, y, imageList, button.iBitmap);
        return;
    }
    if (disabledWithoutList)
    {
        DrawEmbossedImage(dc, x, y, imageList, button.iBitmap);
        return;
    }
    IMAGELISTDRAWPARAMS params = ImageDrawParams(dc->GetSafeHdc(), x, y, imageList, button.iBitmap,
                                                 GetColor(COLOR_BTNFACE), IMAGELISTDRAWPARAMS_V3_SIZE);
    ImageList_DrawIndirect(&params);
}

void CHLMSkinObjectToolBar::DrawDisabledAlphaImage(CDC* dc, int x, int y, HIMAGELIST imageList, int image)
{
    // Version 6 lists draw a grey version of an alpha image themselves.
    IMAGELISTDRAWPARAMS params = ImageDrawParams(dc->GetSafeHdc(), x, y, imageList, image, GetColor(COLOR_BTNFACE),
                                                 sizeof(IMAGELISTDRAWPARAMS));
    params.fState = ILS_SATURATE;
    ImageList_DrawIndirect(&params);
}

void CHLMSkinObjectToolBar::DrawEmbossedImage(CDC* dc, int x, int y, HIMAGELIST imageList, int image)
{
    int width = 0, height = 0;
    ImageList_GetIconSize(imageList, &width, &height);
    // A monochrome shape of the image: black where it is opaque and not light.
    CDC shape;
    shape.CreateCompatibleDC(dc);
    CBitmap bitmap;
    bitmap.CreateBitmap(width + 1, height + 1, 1, 1, nullptr);
    CBitmap* previousBitmap = shape.SelectObject(&bitmap);
    shape.SetTextColor(RGB(0, 0, 0));
    shape.PatBlt(0, 0, width + 1, height + 1, WHITENESS);
    IMAGELISTDRAWPARAMS params = ImageDrawParams(shape.GetSafeHdc(), 0, 0, imageList, image, GetColor(COLOR_BTNFACE),
                                                 IMAGELISTDRAWPARAMS_V3_SIZE);
    params.fStyle = ILD_ROP | ILD_MASK;
    params.dwRop = SRCCOPY;
    ImageList_DrawIndirect(&params);
    params.fStyle = ILD_ROP | ILD_IMAGE;
    params.rgbBk = GetColor(COLOR_BTNHIGHLIGHT);
    params.dwRop = SRCPAINT;
    ImageList_DrawIndirect(&params);

    // The shape in the highlight colour one pixel down and right, the shadow colour over it.
    dc->SetTextColor(RGB(0, 0, 0));
    dc->SetBkColor(RGB(255, 255, 255));
    const struct
    {
        int color;
        int offset;
    } layers[] = {{COLOR_BTNHIGHLIGHT, 1}, {COLOR_BTNSHADOW, 0}};
    for (const auto& layer : layers)
    {
        CBrush brush;
        brush.CreateSolidBrush(GetColor(layer.color));
        CBrush* previousBrush = dc->SelectObject(&brush);
        dc->BitBlt(x + layer.offset, y + layer.offset, width, height, &shape, 0, 0, kRopBrushWhereSourceBlack);
        dc->SelectObject(previousBrush);
    }
    shape.SelectObject(previousBitmap);
}
