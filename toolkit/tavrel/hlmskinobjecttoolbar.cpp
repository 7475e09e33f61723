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
// The whole-drop-down triangle's centre lies this far left of the button's right edge.
const int kWholeDropArrowInset = 6;
// Paints the brush where the source is black and keeps the destination where it is white.
const DWORD kRopBrushWhereSourceBlack = 0xB8074A;

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
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINTCLIENT, &CHLMSkinObjectToolBar::OnPrintClient)
END_MESSAGE_MAP()

CHLMSkinObjectToolBar::CHLMSkinObjectToolBar()
{
    m_strClassName = L"TOOLBAR";
    m_bDrawsWholeClient = TRUE;
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

BOOL CHLMSkinObjectToolBar::OnEraseBkgnd(CDC*)
{
    // The control's own erase sends its parent the erase custom-draw notifications.
    return EraseWithSkinBrush();
}

LRESULT CHLMSkinObjectToolBar::OnPrintClient(WPARAM, LPARAM)
{
    // Printing stays with the control: the skin takes over the toolbar's painting only.
    return Default();
}

void CHLMSkinObjectToolBar::DrawClient(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    CHLMBufferDC buffer(dc->GetSafeHdc(), client);
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

void CHLMSkinObjectToolBar::DrawButtonFace(CDC* dc, const CRect& rect, BOOL split, int arrowWidth, int state)
{
    CHLMSkinManagerClass* skinClass = GetSkinClass();
    if (skinClass == nullptr)
        return;
    if (!split)
    {
        skinClass->DrawThemeBackground(dc, TP_BUTTON, state, &rect);
        return;
    }
    CRect button = rect, arrow = rect;
    button.right -= arrowWidth;
    arrow.left = button.right;
    skinClass->DrawThemeBackground(dc, TP_SPLITBUTTON, state, &button);
    skinClass->DrawThemeBackground(dc, TP_SPLITBUTTONDROPDOWN, state, &arrow);
}

void CHLMSkinObjectToolBar::DrawButton(CDC* dc, int index)
{
    TBBUTTON button = {};
    CRect rc;
    if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) ||
        !SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc)))
        return;
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    const int cxEdge = metrics->m_cxEdge, cyEdge = metrics->m_cyEdge;

    NMTBCUSTOMDRAW record = {};
    record.nmcd.hdc = dc->GetSafeHdc();
    record.nmcd.rc = rc;
    record.nmcd.dwItemSpec = static_cast<DWORD_PTR>(button.idCommand);
    record.nmcd.lItemlParam = static_cast<LPARAM>(button.dwData);
    record.rcText = CRect(0, 0, rc.Width() - 2 * cxEdge, rc.Height() - 2 * cyEdge);
    record.nmcd.uItemState = GetItemState(index, button);
    const LRESULT answer = SendCustomDraw(CDDS_ITEMPREPAINT, &record);
    // The parent may have changed the state it was given.
    const UINT itemState = record.nmcd.uItemState;
    const BOOL hot = (itemState & CDIS_HOT) != 0, pressed = (itemState & CDIS_SELECTED) != 0;
    const BOOL checked = (itemState & CDIS_CHECKED) != 0, enabled = !(itemState & CDIS_DISABLED);

    if (!(answer & CDRF_SKIPDEFAULT))
    {
        int cw = rc.Width() - 2 * cxEdge;
        int tw = record.rcText.right - record.rcText.left, th = record.rcText.bottom - record.rcText.top;
        int x0 = rc.left + cxEdge, y0 = rc.top + cyEdge;
        const BOOL split = IsSplitButton(&button);
        const int arrow = split ? ::GetSystemMetrics(SM_CYMENUCHECK) : 0;
        const BOOL dropArrow = HasDropArrow(&button);
        if (dropArrow)
        {
            cw -= kDropArrowWidth;
            tw -= split ? arrow : kDropArrowWidth;
        }
        const LRESULT padding = SendMessage(TB_GETPADDING, 0, 0);
        const int paddingX = LOWORD(padding), paddingY = HIWORD(padding);
        int dy = std::max(0, (paddingY - 2 * cyEdge) / 2);
        int imageWidth = kDefaultImageSize, imageHeight = kDefaultImageSize;
        if (HIMAGELIST normal = GetImageList(ImageListNormal))
            ImageList_GetIconSize(normal, &imageWidth, &imageHeight);
        const CSize image(imageWidth, imageHeight);
        const BOOL listStyle = (GetStyle() & TBSTYLE_LIST) != 0;
        int dx = listStyle ? paddingX / 2
               : split     ? (cw + 2 * cxEdge - image.cx - arrow) / 2
                           : (cw - image.cx) / 2;
        const BOOL offset = (pressed || checked) && !(answer & TBCDRF_NOOFFSET);
        if (offset)
        {
            ++dx;
            ++dy;
        }
        if (!(answer & TBCDRF_NOEDGES))
        {
            const int state = !enabled ? TS_DISABLED
                            : pressed  ? TS_PRESSED
                            : checked  ? TS_CHECKED
                            : hot      ? TS_HOT
                                       : TS_NORMAL;
            DrawButtonFace(dc, rc, split, arrow, state);
        }

        const BOOL showsImage = ShowsImage(&button);
        if (showsImage)
        {
            int ix = x0 + dx, iy = y0 + dy;
            if (listStyle)
            {
                // Beside the text, both on the button's middle line.
                iy = (rc.top + rc.bottom - image.cy) / 2 + (offset ? 1 : 0);
                if (image.cx + paddingX >= rc.Width())
                    ix -= cxEdge;
            }
            DrawButtonImage(dc, ix, iy, index);
        }

        const CString text = GetButtonText(button);
        if (!text.IsEmpty())
        {
            if (offset)
            {
                ++x0;
                if (listStyle)
                    ++y0;
            }
            if (listStyle && showsImage)
            {
                x0 += image.cx + 2 * cxEdge;
                tw -= image.cx + 2 * cxEdge;
            }
            else if (!listStyle)
            {
                y0 += dy + image.cy;
                th -= dy + image.cy;
            }
            UINT format = DT_END_ELLIPSIS;
            format |= SendMessage(TB_GETTEXTROWS, 0, 0) < 2 ? DT_SINGLELINE : DT_WORDBREAK | DT_EDITCONTROL;
            format |= listStyle ? DT_SINGLELINE | DT_VCENTER : DT_CENTER;
            dc->SetBkMode(TRANSPARENT);
            dc->SetTextColor(GetColor(enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
            if (tw > 0)
            {
                CRect textRect(x0 + 1, y0 + 1, x0 + tw + 1, y0 + th + 1);
                if (listStyle)
                    textRect.OffsetRect(0, -1);  // centred on the middle line like the image
                dc->DrawText(text, &textRect, format);
            }
        }

        if (dropArrow && !split)
        {
            CPoint p(rc.right - kWholeDropArrowInset, (rc.top + rc.bottom) / 2);
            if (pressed)
                p.Offset(1, 1);
            CHLMDrawHelpers::FillTriangle(dc, CPoint(p.x - 2, p.y - 1), CPoint(p.x + 2, p.y - 1), CPoint(p.x, p.y + 1),
                                          GetColor(COLOR_BTNTEXT));
        }
    }
    if (answer & CDRF_NOTIFYPOSTPAINT)
        SendCustomDraw(CDDS_ITEMPOSTPAINT, &record);
}

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
