// The default schema's backgrounds and glyphs: one part of a visual-style class in one state,
// drawn from an image strip by sizing margins or as a border fill, with an optional glyph.
#include "hlmskinmanagerschema.h"

#include "hlmskindrawtools.h"
#include "hlmskinimage.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"

#include <algorithm>

namespace
{

const COLORREF kNoColor = static_cast<COLORREF>(-1);
const COLORREF kMagenta = RGB(255, 0, 255);
// The frame parts FRAMELEFT to SMALLFRAMEBOTTOM of WINDOW are always drawn whole.
const int kFirstFramePart = WP_FRAMELEFT, kLastFramePart = WP_SMALLFRAMEBOTTOM;

// How an image strip is cut into frames.
struct FrameStrip
{
    int nCount;
    BOOL bHorizontal;
};

FrameStrip ReadFrameStrip(CHLMSkinManagerClass* skinClass, int part, int state)
{
    FrameStrip strip;
    strip.nCount = std::max(1, skinClass->GetThemeInt(part, state, TMT_IMAGECOUNT, 1));
    strip.bHorizontal = skinClass->GetThemeEnumValue(part, state, TMT_IMAGELAYOUT, IL_HORIZONTAL) == IL_HORIZONTAL;
    return strip;
}

CSize FrameSize(CSize extent, const FrameStrip& strip)
{
    if (strip.bHorizontal)
        extent.cx /= strip.nCount;
    else
        extent.cy /= strip.nCount;
    return extent;
}

// The frame of a state: frame s counted from 1; state 0 or one beyond the strip takes the first.
CRect SourceFrame(int state, const FrameStrip& strip, CSize frame)
{
    const int index = (state <= 0 || state > strip.nCount) ? 0 : state - 1;
    if (strip.bHorizontal)
        return CRect(index * frame.cx, 0, (index + 1) * frame.cx, frame.cy);
    return CRect(0, index * frame.cy, frame.cx, (index + 1) * frame.cy);
}
}

CHLMSkinImage* CHLMSkinManagerSchemaDefault::FindImage(CHLMSkinManagerClass* skinClass, int part, int state,
                                                       int propertyId)
{
    const CString name = skinClass->GetThemeString(part, state, propertyId, L"");
    if (name.IsEmpty())
        return nullptr;
    return skinClass->GetImages()->LoadFile(m_pManager->GetResourceFile(), name);
}

BOOL CHLMSkinManagerSchemaDefault::DrawThemeBackground(CDC* dc, CHLMSkinManagerClass* skinClass, int part,
                                                       int state, const RECT* rect)
{
    const int background = skinClass->GetThemeEnumValue(part, state, TMT_BGTYPE, BT_IMAGEFILE);
    if (background == BT_BORDERFILL)
        return DrawBorderFill(dc, skinClass, part, state, rect);
    if (background != BT_IMAGEFILE)
        return TRUE;

    // With images chosen by size and no glyph, the background is the first numbered image.
    const BOOL numbered = skinClass->GetThemeEnumValue(part, state, TMT_IMAGESELECTTYPE, IST_NONE) != IST_NONE &&
                          skinClass->GetThemeEnumValue(part, state, TMT_GLYPHTYPE, GT_NONE) == GT_NONE;
    int imageProperty = numbered ? TMT_IMAGEFILE1 : TMT_IMAGEFILE;
    if (numbered && skinClass->GetThemeString(part, state, imageProperty, L"").IsEmpty())
        imageProperty = TMT_IMAGEFILE;
    RECT margins = skinClass->GetThemeRect(part, state, TMT_SIZINGMARGINS, 0, 0, 0, 0);
    CHLMSkinImage* image = FindImage(skinClass, part, state, imageProperty);
    if (image == nullptr)
        return FALSE;

    const FrameStrip strip = ReadFrameStrip(skinClass, part, state);
    const CSize frame = FrameSize(image->GetExtent(), strip);
    const BOOL keyed = !image->IsAlphaImage() && skinClass->GetThemeBool(part, state, TMT_TRANSPARENT, FALSE);
    const int sizingType = skinClass->GetThemeEnumValue(part, state, TMT_SIZINGTYPE, ST_STRETCH);

    CRect destination(rect);
    if (sizingType == ST_TRUESIZE)
    {
        int width = frame.cx, height = frame.cy;
        if (skinClass->GetThemeInt(part, state, TMT_TRUESIZESTRETCHMARK, 0) > 0)
        {
            width = std::min(width, destination.Width());
            height = std::min(height, destination.Height());
        }
        const int x = std::max<int>(rect->left, (rect->left + rect->right - width) / 2);
        const int y = std::max<int>(rect->top, (rect->top + rect->bottom - height) / 2);
        if (skinClass->GetThemeEnumValue(part, state, TMT_VALIGN, VA_TOP) == VA_BOTTOM)
            destination.SetRect(x, rect->bottom - height, x + width, rect->bottom);
        else
            destination.SetRect(x, y, x + width, y + height);
        SetRectEmpty(&margins);
    }

    const COLORREF transparent =
        keyed ? skinClass->GetThemeColor(part, state, TMT_TRANSPARENTCOLOR, kMagenta) : kNoColor;
    BOOL borderOnly = skinClass->GetThemeBool(part, state, TMT_BORDERONLY, FALSE);
    if (skinClass->GetClassCode() == m_nWindowClass && part >= kFirstFramePart && part <= kLastFramePart)
        borderOnly = FALSE;
    image->SetMirrorAllowed(skinClass->GetThemeBool(part, state, TMT_MIRRORIMAGE, TRUE));
    image->CreateSolidRectArray(strip.nCount, strip.bHorizontal, margins);
    image->DrawImage(dc, destination, SourceFrame(state, strip, frame), margins, transparent, sizingType,
                     borderOnly);

    if (skinClass->GetThemeEnumValue(part, state, TMT_GLYPHTYPE, GT_NONE) == GT_IMAGEGLYPH)
        DrawThemeGlyph(dc, skinClass, part, state, rect);
    return TRUE;
}

BOOL CHLMSkinManagerSchemaDefault::DrawThemeGlyph(CDC* dc, CHLMSkinManagerClass* skinClass, int part, int state,
                                                  const RECT* rect)
{
    const FrameStrip strip = ReadFrameStrip(skinClass, part, state);
    const RECT margins =
        CHLMSkinImage::ClampMargins(skinClass->GetThemeRect(part, state, TMT_CONTENTMARGINS, 0, 0, 0, 0), *rect);
    const RECT content = {rect->left + margins.left, rect->top + margins.top, rect->right - margins.right,
                          rect->bottom - margins.bottom};
    int imageProperty = TMT_GLYPHIMAGEFILE;
    if (skinClass->GetThemeEnumValue(part, state, TMT_IMAGESELECTTYPE, IST_NONE) == IST_SIZE)
    {
        imageProperty = FindBestImage(skinClass, part, state, &content, strip.nCount, strip.bHorizontal);
        if (imageProperty < 0)
            return FALSE;
    }
    CHLMSkinImage* image = FindImage(skinClass, part, state, imageProperty);
    if (image == nullptr)
        return FALSE;

    const CSize frame = FrameSize(image->GetExtent(), strip);
    const BOOL keyed = !image->IsAlphaImage() && skinClass->GetThemeBool(part, state, TMT_GLYPHTRANSPARENT, FALSE);
    const COLORREF transparent =
        keyed ? skinClass->GetThemeColor(part, state, TMT_TRANSPARENTCOLOR, kMagenta) : kNoColor;
    // Centred in the content; only the top is held inside it.
    const int x = (content.left + content.right - frame.cx) / 2;
    const int y = std::max<int>(content.top, (content.top + content.bottom - frame.cy) / 2);
    const RECT destination = {x, y, x + frame.cx, y + frame.cy};
    const RECT noMargins = {0, 0, 0, 0};
    image->DrawImage(dc, destination, SourceFrame(state, strip, frame), noMargins, transparent, ST_TRUESIZE,
                     FALSE);
    return TRUE;
}

int CHLMSkinManagerSchemaDefault::FindBestImage(CHLMSkinManagerClass* skinClass, int part, int state,
                                                const RECT* content, int frameCount, BOOL horizontal)
{
    const FrameStrip strip = {std::max(1, frameCount), horizontal};
    for (int property = TMT_IMAGEFILE5; property >= TMT_IMAGEFILE1; --property)
    {
        const CString name = skinClass->GetThemeString(part, state, property, L"");
        if (name.IsEmpty())
            continue;
        const CSize extent = skinClass->GetImages()->GetExtent(m_pManager->GetResourceFile(), name);
        if (extent.cx == 0 && extent.cy == 0)
            return -1;
        const CSize frame = FrameSize(extent, strip);
        if (property == TMT_IMAGEFILE1)
            return property;
        if (frame.cy <= content->bottom - content->top && frame.cx <= content->right - content->left)
            return property;
    }
    return TMT_IMAGEFILE;
}

BOOL CHLMSkinManagerSchemaDefault::DrawBorderFill(CDC* dc, CHLMSkinManagerClass* skinClass, int part, int state,
                                                  const RECT* rect)
{
    if (rect == nullptr)
        return FALSE;
    CRect r(rect);
    // A border never grows beyond the rectangle it frames.
    const int border = std::max(0, std::min(skinClass->GetThemeInt(part, state, TMT_BORDERSIZE, 1),
                                            std::max(r.Width(), r.Height())));
    const COLORREF borderColor = skinClass->GetThemeColor(part, state, TMT_BORDERCOLOR, kNoColor);
    const COLORREF fillColor = skinClass->GetThemeColor(part, state, TMT_FILLCOLOR, kNoColor);
    const BOOL borderOnly = skinClass->GetThemeBool(part, state, TMT_BORDERONLY, FALSE);
    HDC hdc = dc->GetSafeHdc();
    if (border > 0 && borderColor != kNoColor)
    {
        HLMSkinFillSolid(hdc, r.left, r.top, r.Width(), border, borderColor);
        HLMSkinFillSolid(hdc, r.left, r.bottom - border, r.Width(), border, borderColor);
        HLMSkinFillSolid(hdc, r.left, r.top + border, border, r.Height() - 2 * border, borderColor);
        HLMSkinFillSolid(hdc, r.right - border, r.top + border, border, r.Height() - 2 * border, borderColor);
        r.DeflateRect(border, border);
    }
    if (fillColor != kNoColor && !borderOnly)
        HLMSkinFillSolidRect(hdc, &r, fillColor);
    return TRUE;
}
