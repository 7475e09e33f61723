// The default schema's window frame: border thicknesses, the frame parts and caption of
// class WINDOW with the window's icon, text and caption buttons, plain edges for windows
// without a caption, and window regions from the caption image's transparent pixels.
#include "hlmskinmanagerschema.h"

#include "common/hlmdrawhelpers.h"
#include "hlmskindrawtools.h"
#include "hlmskinimage.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "hlmskinobjectframe.h"

#include <algorithm>

namespace
{


const int kClientEdge = 2;
const COLORREF kNoColor = static_cast<COLORREF>(-1);
const COLORREF kMagenta = RGB(255, 0, 255);
const UINT kDragIconTimeout = 100;

CRect WindowRectAtOrigin(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    rect.OffsetRect(-rect.left, -rect.top);
    return rect;
}

BOOL IsToolWindow(DWORD exStyle)
{
    return (exStyle & WS_EX_TOOLWINDOW) != 0;
}

// The parts of a captioned frame in window coordinates: the caption strip above the client
// area, which is composed off-screen, and the border bands below it, drawn straight to the
// window.
struct FrameBands
{
    CRect rcCaption;
    CRect rcLeft, rcRight, rcBottom;
};

FrameBands LayOutFrameBands(const CRect& window, const CRect& borders)
{
    FrameBands bands;
    bands.rcCaption.SetRect(0, 0, window.right, borders.top);
    const CRect rest(0, borders.top, window.right, window.bottom);
    bands.rcLeft.SetRect(rest.left, rest.top, rest.left + borders.left, rest.bottom - borders.bottom);
    bands.rcRight.SetRect(rest.right - borders.right, rest.top, rest.right, rest.bottom - borders.bottom);
    bands.rcBottom.SetRect(rest.left, rest.bottom - borders.bottom, rest.right, rest.bottom);
    return bands;
}

// Where the caption's small icon goes (empty without one) and where its text begins, below
// the frame's edge at contentTop.
struct CaptionContents
{
    CRect rcIcon;
    CPoint ptTextStart;
};

CaptionContents LayOutCaptionContents(const CRect& borders, int contentTop, BOOL withIcon)
{
    CaptionContents contents;
    contents.ptTextStart.SetPoint(borders.left, contentTop + 1);
    if (!withIcon)
        return contents;
    const CSize icon(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
    contents.rcIcon = CRect(CPoint(borders.left + 2, (borders.top - contentTop - icon.cy) / 2 + contentTop), icon);
    contents.ptTextStart.x = borders.left + icon.cx + 2;
    return contents;
}

// The icon is never drawn mirrored.
void DrawUnmirroredIcon(CDC* dc, HICON icon, const CRect& rect)
{
    const BOOL mirrored = CHLMDrawHelpers::IsDcMirrored(dc);
    if (mirrored)
        CHLMDrawHelpers::SetDcLayout(dc, LAYOUT_RTL | LAYOUT_BITMAPORIENTATIONPRESERVED);
    ::DrawIconEx(dc->GetSafeHdc(), rect.left, rect.top, icon, rect.Width(), rect.Height(), 0, NULL, DI_NORMAL);
    if (mirrored)
        CHLMDrawHelpers::SetDcLayout(dc, LAYOUT_RTL);
}

UINT CaptionTextFormat(DWORD exStyle)
{
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    if (exStyle & WS_EX_RTLREADING)
        format |= DT_RTLREADING;
    if (exStyle & WS_EX_RIGHT)
        format |= DT_RIGHT;
    return format;
}

// A caption image's sizing margins, kept inside the image drawn at the caption's height.
CRect CaptionSizingMargins(CHLMSkinManagerClass* skinClass, int part, const CRect& target)
{
    CRect margins(CHLMSkinImage::ClampMargins(skinClass->GetThemeRect(part, FS_ACTIVE, TMT_SIZINGMARGINS, 0, 0, 0, 0),
                                              target));
    if (margins.top + margins.bottom > target.Height())
        margins.bottom = std::max(0, static_cast<int>(target.Height() - margins.top));
    return margins;
}

// The left and right bands of a region record: the margins, unless the window is narrower
// than both, when it keeps half of itself for each band at most and makes the record one for
// this call only.
CRect RegionBands(const CRect& margins, int cx, BOOL& temporary)
{
    CRect bands = margins;
    if (cx >= margins.left + margins.right)
        return bands;
    temporary = TRUE;
    bands.left = std::min(static_cast<int>(margins.left), cx / 2);
    bands.right = std::min(static_cast<int>(margins.right), cx - static_cast<int>(bands.left));
    return bands;
}
}

// ---------------------------------------------------------------------------------------
// Border thicknesses

int CHLMSkinManagerSchemaDefault::GetBorderUnits(DWORD style, DWORD exStyle, BOOL withFrame, BOOL withClientEdge)
{
    int units = 0;
    if (withFrame)
    {
        units = (exStyle & WS_EX_WINDOWEDGE) ? 2 : (exStyle & WS_EX_STATICEDGE) ? 1 : 0;
        if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME))
            units += 1;
        if (style & WS_THICKFRAME)
            units += GetSkinManager()->GetMetrics()->m_nBorderSize;
    }
    if (withClientEdge && (exStyle & WS_EX_CLIENTEDGE))
        units += 2;
    return units;
}

CRect CHLMSkinManagerSchemaDefault::GetFrameBorders(DWORD style, DWORD exStyle)
{
    const CHLMSkinManagerMetrics* metrics = GetSkinManager()->GetMetrics();
    const BOOL caption = (style & WS_CAPTION) == WS_CAPTION;
    const int captionHeight = IsToolWindow(exStyle) ? metrics->m_nSmallCaptionHeight : metrics->m_nCaptionHeight;
    if (caption && (style & WS_MAXIMIZE) && !(style & WS_CHILD))
    {
        // A maximised window's sides are the system's: they lie off the screen.
        CRect system(0, 0, 100, 100);
        ::AdjustWindowRectEx(&system, style, FALSE, exStyle);
        const int side = -system.left;
        return CRect(side, side + captionHeight, side, side);
    }
    CRect borders(0, 0, 0, 0);
    if (caption)
        borders.top += captionHeight;
    const int units = GetBorderUnits(style, exStyle, TRUE, FALSE);
    borders.left += units * metrics->m_cxBorder;
    borders.right += units * metrics->m_cxBorder;
    borders.top += units * metrics->m_cyBorder;
    borders.bottom += units * metrics->m_cyBorder;
    if (exStyle & WS_EX_CLIENTEDGE)
    {
        borders.left += metrics->m_cxEdge;
        borders.right += metrics->m_cxEdge;
        borders.top += metrics->m_cyEdge;
        borders.bottom += metrics->m_cyEdge;
    }
    return borders;
}

CRect CHLMSkinManagerSchemaDefault::GetWindowFrameBorders(CHLMSkinObjectFrame* frame)
{
    return GetFrameBorders(frame->GetStyle(), frame->GetExStyle());
}

// ---------------------------------------------------------------------------------------
// Frame and caption

BOOL CHLMSkinManagerSchemaDefault::DrawWindowFrame(CDC* dc, CHLMSkinObjectFrame* frame)
{
    const CRect window = WindowRectAtOrigin(frame->m_hWnd);
    if ((frame->GetStyle() & WS_CAPTION) != WS_CAPTION)
    {
        DrawFrameEdges(dc, window, frame);
        return TRUE;
    }
    const CRect borders = DrawCaptionedClientEdge(dc, window, frame);
    CHLMSkinManagerClass* skinClass = GetSkinManager()->GetSkinClass(L"WINDOW");
    if (skinClass == nullptr)
        return FALSE;
    const BOOL tool = IsToolWindow(frame->GetExStyle());
    const int state = frame->IsActive() ? FS_ACTIVE : FS_INACTIVE;
    const FrameBands bands = LayOutFrameBands(window, borders);
    skinClass->DrawThemeBackground(dc, tool ? WP_SMALLFRAMELEFT : WP_FRAMELEFT, state, &bands.rcLeft);
    skinClass->DrawThemeBackground(dc, tool ? WP_SMALLFRAMERIGHT : WP_FRAMERIGHT, state, &bands.rcRight);
    skinClass->DrawThemeBackground(dc, tool ? WP_SMALLFRAMEBOTTOM : WP_FRAMEBOTTOM, state, &bands.rcBottom);

    ScopedSectionLock lock(m_lock);
    CHLMBufferDC buffer(dc->GetSafeHdc(), bands.rcCaption);
    DrawCaption(&buffer, skinClass, frame, bands.rcCaption, borders);
    return TRUE;
}

CRect CHLMSkinManagerSchemaDefault::DrawCaptionedClientEdge(CDC* dc, const CRect& window, CHLMSkinObjectFrame* frame)
{
    CRect borders = frame->GetBorderRect();
    if (frame->GetExStyle() & WS_EX_CLIENTEDGE)
    {
        DrawClientEdge(dc, CRect(borders.left - kClientEdge, borders.top - kClientEdge,
                                 window.right - borders.right + kClientEdge, window.bottom - borders.bottom + kClientEdge),
                       frame);
        borders.DeflateRect(kClientEdge, kClientEdge, kClientEdge, kClientEdge);
    }
    return borders;
}

void CHLMSkinManagerSchemaDefault::DrawCaption(CDC* dc, CHLMSkinManagerClass* skinClass, CHLMSkinObjectFrame* frame,
                                               const CRect& caption, const CRect& borders)
{
    const DWORD exStyle = frame->GetExStyle();
    const BOOL tool = IsToolWindow(exStyle);
    const BOOL active = frame->IsActive();
    const int part = tool ? WP_SMALLCAPTION : WP_CAPTION;
    const int state = active ? FS_ACTIVE : FS_INACTIVE;
    skinClass->DrawThemeBackground(dc, part, state, &caption);

    const CHLMSkinManagerMetrics* metrics = GetSkinManager()->GetMetrics();
    const int contentTop = GetBorderUnits(frame->GetStyle(), exStyle, TRUE, FALSE) - metrics->m_cyBorder;
    const HICON icon = GetFrameSmallIcon(frame);
    const CaptionContents contents = LayOutCaptionContents(borders, contentTop, icon != NULL);
    if (icon != NULL)
        DrawUnmirroredIcon(dc, icon, contents.rcIcon);
    const int textRight = DrawFrameCaptionButtons(dc, frame);

    CFont* font = const_cast<CFont*>(tool ? &metrics->m_fntSmCaption : &metrics->m_fntCaption);
    const COLORREF color = GetSkinManager()->GetThemeSysColor(active ? TMT_CAPTIONTEXT : TMT_INACTIVECAPTIONTEXT);
    CString text;
    CHLMDrawHelpers::GetDefWindowText(frame->m_hWnd, text);
    const CRect textRect(contents.ptTextStart.x, contents.ptTextStart.y, textRight, borders.top);
    CHLMFontDC fontDC(dc, font, color);
    skinClass->DrawThemeText(dc, part, state, text, CaptionTextFormat(exStyle), &textRect);
}

int CHLMSkinManagerSchemaDefault::DrawFrameCaptionButtons(CDC* dc, CHLMSkinObjectFrame* frame)
{
    const CRect window = WindowRectAtOrigin(frame->m_hWnd);
    const CRect borders = frame->GetBorderRect();
    const DWORD style = frame->GetStyle();
    const DWORD exStyle = frame->GetExStyle();
    const CHLMSkinManagerMetrics* metrics = GetSkinManager()->GetMetrics();
    const int units = GetBorderUnits(style, exStyle, TRUE, FALSE);

    int offset = (exStyle & (WS_EX_WINDOWEDGE | WS_EX_STATICEDGE)) ? 1 : 0;
    if (style & WS_THICKFRAME)
        offset += (metrics->m_nBorderSize + 1) / 2;
    int side = borders.top - 5 - units * metrics->m_cxBorder + m_nCaptionButtonSizeAdjust;
    if (exStyle & WS_EX_CLIENTEDGE)
    {
        side -= kClientEdge;
        offset -= 1;
    }
    CHLMSkinManagerClass* skinClass = GetSkinManager()->GetSkinClass(L"WINDOW");
    const CSize size = IsToolWindow(exStyle) || skinClass == nullptr ? CSize(side, side)
                                                                    : GetCaptionButtonSize(skinClass, side);
    CRect rect(CPoint(window.right - size.cx - units - 2, (borders.top - size.cy) / 2 + offset), size);
    CTypedPtrArray<CPtrArray, CHLMSkinObjectFrame::CCaptionButton*>& buttons = frame->GetCaptionButtons();
    for (INT_PTR index = 0; index < buttons.GetSize(); ++index)
    {
        buttons[index]->m_rcButton = rect;
        buttons[index]->Draw(dc, frame->IsActive());
        rect.OffsetRect(-(size.cx + 2), 0);
    }
    return rect.right + 2;
}

CSize CHLMSkinManagerSchemaDefault::GetCaptionButtonSize(CHLMSkinManagerClass* skinClass, int height)
{
    // The close button's frame, scaled to the height; wider frames keep some of their width.
    SIZE frame = {0, 0};
    if (!skinClass->GetThemePartSize(WP_CLOSEBUTTON, FS_ACTIVE, nullptr, TS_TRUE, &frame))
        return CSize(height, height);
    return CSize(MulDiv(frame.cx, height, frame.cy) + MulDiv(frame.cx - frame.cy, 4, frame.cy), height);
}

HICON CHLMSkinManagerSchemaDefault::GetFrameSmallIcon(CHLMSkinObjectFrame* frame)
{
    const DWORD style = frame->GetStyle();
    const DWORD exStyle = frame->GetExStyle();
    if (IsToolWindow(exStyle) || !(style & WS_SYSMENU))
        return NULL;
    HWND window = frame->m_hWnd;
    HICON icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    if (icon == NULL)
        icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    if (icon == NULL)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICONSM));
    if (icon != NULL || (style & WS_CAPTION) == WS_DLGFRAME || (exStyle & WS_EX_DLGMODALFRAME))
        return icon;
    DWORD_PTR dragIcon = 0;
    if (::SendMessageTimeoutW(window, WM_QUERYDRAGICON, 0, 0, SMTO_NORMAL, kDragIconTimeout, &dragIcon) && dragIcon != 0)
        return reinterpret_cast<HICON>(dragIcon);
    return ::LoadIconW(NULL, IDI_WINLOGO);
}

void CHLMSkinManagerSchemaDefault::DrawFrameEdges(CDC* dc, CRect rect, CHLMSkinObjectFrame* frame)
{
    const DWORD style = frame->GetStyle();
    const DWORD exStyle = frame->GetExStyle();
    HDC hdc = dc->GetSafeHdc();
    if (exStyle & WS_EX_WINDOWEDGE)
        ::DrawEdge(hdc, &rect, EDGE_RAISED, BF_RECT | BF_ADJUST);
    else if (exStyle & WS_EX_STATICEDGE)
        ::DrawEdge(hdc, &rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME))
    {
        const BOOL face = (style & WS_DLGFRAME)
            || (exStyle & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
        const COLORREF color = GetMetricsColor(face ? COLOR_BTNFACE : COLOR_WINDOWFRAME);
        dc->Draw3dRect(&rect, color, color);
        rect.DeflateRect(1, 1);
    }
    if (style & WS_THICKFRAME)
    {
        const int width = GetSkinManager()->GetMetrics()->m_nBorderSize;
        HLMSkinFillFrame(hdc, &rect, width, GetMetricsColor(COLOR_BTNFACE));
        rect.DeflateRect(width, width);
    }
    if (exStyle & WS_EX_CLIENTEDGE)
        DrawClientEdge(dc, rect, frame);
}

void CHLMSkinManagerSchemaDefault::DrawClientEdge(CDC* dc, CRect rect, CHLMSkinObjectFrame* frame)
{
    CHLMSkinManagerClass* skinClass = GetSkinManager()->GetSkinClass(frame->GetThemeClassName());
    if (skinClass != nullptr
        && skinClass->GetThemeEnumValue(kAnyPart, kAnyState, TMT_BGTYPE, BT_IMAGEFILE) == BT_BORDERFILL)
    {
        // A skin without a border colour draws no border line.
        const COLORREF border = skinClass->GetThemeColor(kAnyPart, kAnyState, TMT_BORDERCOLOR, kNoColor);
        if (border != kNoColor)
            dc->Draw3dRect(&rect, border, border);
        rect.DeflateRect(1, 1);
        HLMSkinBrushFrame(dc->GetSafeHdc(), &rect, 1, frame->GetClientBrush(dc));
        return;
    }
    dc->Draw3dRect(&rect, GetMetricsColor(COLOR_BTNSHADOW), GetMetricsColor(COLOR_BTNHIGHLIGHT));
    rect.DeflateRect(1, 1);
    dc->Draw3dRect(&rect, GetMetricsColor(COLOR_3DDKSHADOW), GetMetricsColor(COLOR_3DLIGHT));
}

// ---------------------------------------------------------------------------------------
// Frame regions

CHLMSkinManagerSchemaDefault::FRAMEREGION::~FRAMEREGION()
{
    if (rgnLeft != NULL)
        ::DeleteObject(rgnLeft);
    if (rgnRight != NULL)
        ::DeleteObject(rgnRight);
}

CHLMSkinManagerSchemaDefault::~CHLMSkinManagerSchemaDefault()
{
    RemoveAllFrameRegions();
}

HRGN CHLMSkinManagerSchemaDefault::BuildFrameRegion(CHLMSkinObjectFrame* frame, int cx, int cy)
{
    const DWORD style = frame->GetStyle();
    if ((style & WS_MAXIMIZE) && !(style & WS_CHILD))
    {
        const int side = frame->GetBorderRect().left;
        if (MonitorInfoHelper().GetWorkArea(frame).Width() == cx)
            return ::CreateRectRgn(side, side, cx + 2 * side, cy + 2 * side);
        return ::CreateRectRgn(side, side, cx - side, cy - side);
    }
    HRGN region = ::CreateRectRgn(0, 0, cx, cy);
    FRAMEREGION* record = GetFrameRegion(frame, cx);
    if (record == nullptr)
        return region;
    if (record->rgnLeft != NULL)
        ::CombineRgn(region, region, record->rgnLeft, RGN_DIFF);
    if (record->rgnRight != NULL)
    {
        HRGN right = ::CreateRectRgn(0, 0, 0, 0);
        ::CombineRgn(right, record->rgnRight, NULL, RGN_COPY);
        ::OffsetRgn(right, cx - record->rcBands.right, 0);
        ::CombineRgn(region, region, right, RGN_DIFF);
        ::DeleteObject(right);
    }
    if (record->nTransparentRows > 0)
    {
        HRGN rows = ::CreateRectRgn(record->rcBands.left, 0, cx - record->rcBands.right, record->nTransparentRows);
        ::CombineRgn(region, region, rows, RGN_DIFF);
        ::DeleteObject(rows);
    }
    if (record->bTemporary)
        delete record;
    return region;
}

void CHLMSkinManagerSchemaDefault::FreeFrameRegions()
{
    RemoveAllFrameRegions();
}

void CHLMSkinManagerSchemaDefault::RemoveAllFrameRegions()
{
    for (INT_PTR index = 0; index < m_arrFrameRegions.GetSize(); ++index)
        delete m_arrFrameRegions[index];
    m_arrFrameRegions.RemoveAll();
}

CHLMSkinManagerSchemaDefault::FRAMEREGION* CHLMSkinManagerSchemaDefault::GetFrameRegion(CHLMSkinObjectFrame* frame, int cx)
{
    const int top = frame->GetBorderRect().top;
    const int tool = static_cast<int>(frame->GetExStyle() & WS_EX_TOOLWINDOW);
    BOOL temporary = FALSE;
    if (FRAMEREGION* kept = FindFrameRegion(top, tool, cx, temporary))
        return kept;

    CHLMSkinManagerClass* skinClass = GetSkinManager()->GetSkinClass(L"WINDOW");
    if (skinClass == nullptr)
        return nullptr;
    const int part = tool ? WP_SMALLCAPTION : WP_CAPTION;
    const CString name = skinClass->GetThemeString(part, FS_ACTIVE, TMT_IMAGEFILE, L"");
    if (name.IsEmpty())
        return nullptr;
    CHLMSkinManagerResourceFile* file = GetSkinManager()->GetResourceFile();
    const CSize extent = skinClass->GetImages()->GetExtent(file, name);
    CHLMSkinImage* image = extent == CSize(0, 0) ? nullptr : skinClass->GetImages()->LoadFile(file, name);
    const int count = skinClass->GetThemeInt(part, FS_ACTIVE, TMT_IMAGECOUNT, 1);
    if (image == nullptr || count < 1 || top <= 0)
    {
        if (count < 1)
            TRACE(_T("Frame region: caption image count %d\n"), count);
        return nullptr;
    }

    FRAMEREGION* record = new FRAMEREGION();
    record->bTemporary = temporary;
    record->nToolWindow = tool;
    record->nCaptionHeight = top;
    ScanCaptionImage(record, frame, skinClass, part, image, CRect(0, 0, extent.cx, extent.cy / count), cx);
    if (!record->bTemporary)
        m_arrFrameRegions.Add(record);
    return record;
}

CHLMSkinManagerSchemaDefault::FRAMEREGION* CHLMSkinManagerSchemaDefault::FindFrameRegion(int captionHeight, int tool,
                                                                                         int cx, BOOL& temporary)
{
    for (INT_PTR index = 0; index < m_arrFrameRegions.GetSize(); ++index)
    {
        FRAMEREGION* record = m_arrFrameRegions[index];
        if (record->nCaptionHeight == captionHeight && record->nToolWindow == tool)
        {
            // A window narrower than the kept record's bands needs one of its own.
            if (cx >= record->rcBands.left + record->rcBands.right)
                return record;
            temporary = TRUE;
            return nullptr;
        }
    }
    return nullptr;
}

void CHLMSkinManagerSchemaDefault::ScanCaptionImage(FRAMEREGION* record, CHLMSkinObjectFrame* frame,
                                                    CHLMSkinManagerClass* skinClass, int part, CHLMSkinImage* image,
                                                    const CRect& source, int cx)
{
    CWindowDC windowDC(frame);
    CDC memory;
    memory.CreateCompatibleDC(&windowDC);
    const CRect target(0, 0, source.Width(), record->nCaptionHeight);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&windowDC, target.Width(), target.Height());
    CBitmap* previous = memory.SelectObject(&bitmap);

    COLORREF key = kNoColor;
    if (!image->IsAlphaImage() && skinClass->GetThemeBool(part, FS_ACTIVE, TMT_TRANSPARENT, FALSE))
        key = skinClass->GetThemeColor(part, FS_ACTIVE, TMT_TRANSPARENTCOLOR, kMagenta);
    // Without a key colour the scan compares with the magenta the image is drawn over.
    const COLORREF fill = key != kNoColor ? key : kMagenta;
    memory.FillSolidRect(&target, fill);

    const CRect margins = CaptionSizingMargins(skinClass, part, target);
    record->rcBands = RegionBands(margins, cx, record->bTemporary);
    image->DrawImage(&memory, target, source, margins, key, ST_STRETCH, FALSE);
    ScanFrameTransparency(&memory, record->rgnLeft, record->rgnRight, record->nTransparentRows, target,
                          record->rcBands, fill);
    memory.SelectObject(previous);
}

void CHLMSkinManagerSchemaDefault::ScanFrameTransparency(CDC* dc, HRGN& left, HRGN& right, int& transparentRows,
                                                         const CRect& image, const CRect& bands, COLORREF key)
{
    // Every scan stays inside the image, whatever the bands say.
    const int width = image.Width();
    const int height = image.Height();
    const int leftEnd = std::max(0, std::min(static_cast<int>(bands.left), width));
    const int rightStart = width - std::max(0, std::min(static_cast<int>(bands.right), width));
    const int middleEnd = rightStart;
    BOOL allTransparent = TRUE;
    transparentRows = 0;
    HDC hdc = dc->GetSafeHdc();
    for (int y = 0; y < height; ++y)
    {
        int x = 0;
        while (x < leftEnd && ::GetPixel(hdc, x, y) == key)
            ++x;
        AddSpanToRegion(left, 0, y, x);

        // Every transparent run of the right band counts, not only the outermost.
        x = width - 1;
        while (x >= rightStart && x >= 0)
        {
            const int runEnd = x;
            while (x >= rightStart && ::GetPixel(hdc, x, y) == key)
                --x;
            AddSpanToRegion(right, x + 1 - rightStart, y, runEnd + 1 - rightStart);
            while (x >= rightStart && ::GetPixel(hdc, x, y) != key)
                --x;
        }

        // A middle band without pixels has no transparent rows to give.
        if (allTransparent && leftEnd < middleEnd)
        {
            x = leftEnd;
            while (x < middleEnd && ::GetPixel(hdc, x, y) == key)
                ++x;
            if (x >= middleEnd)
                ++transparentRows;
            else
                allTransparent = FALSE;
        }
    }
}

void CHLMSkinManagerSchemaDefault::AddSpanToRegion(HRGN& region, int x1, int y, int x2)
{
    if (x1 >= x2)
        return;
    if (region == NULL)
        region = ::CreateRectRgn(0, 0, 0, 0);
    HRGN span = ::CreateRectRgn(x1, y, x2, y + 1);
    ::CombineRgn(region, region, span, RGN_OR);
    ::DeleteObject(span);
}
