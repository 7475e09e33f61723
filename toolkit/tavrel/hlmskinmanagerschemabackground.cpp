// The default schema's backgrounds and glyphs: one part of a visual-style class in one state,
// drawn from an image strip by sizing margins or as a border fill, with an optional glyph.
#include "hlmskinmanagerschema.h"

#include "hlmskindrawtools.h"
#include "hlmskinimage.h"
#include "hlmskinmanager.h"

#include <algorithm>

namespace
{
enum PropertyId
{
    TransparentId = 2201,
    BorderOnlyId = 2203,
    GlyphTransparentId = 2206,
    MirrorImageId = 2209,
    ImageCountId = 2401,
    BorderSizeId = 2403,
    TrueSizeStretchMarkId = 2419,
    ImageFileId = 3001,
    ImageFile1Id = 3002,
    ImageFile5Id = 3006,
    GlyphImageFileId = 3008,
    SizingMarginsId = 3601,
    ContentMarginsId = 3602,
    BorderColorId = 3801,
    FillColorId = 3802,
    TransparentColorId = 3809,
    BgTypeId = 4001,
    SizingTypeId = 4004,
    VAlignId = 4007,
    ImageLayoutId = 4011,
    GlyphTypeId = 4012,
    ImageSelectTypeId = 4013
};

const int kBgImage = 0, kBgBorderFill = 1;
const int kLayoutHorizontal = 1;
const int kSizingTrueSize = 0, kSizingStretch = 1;
const int kVAlignBottom = 2;
const int kGlyphImage = 1;
const int kImageSelectBySize = 1;
const COLORREF kNoColor = static_cast<COLORREF>(-1);
const COLORREF kMagenta = RGB(255, 0, 255);
// The frame parts FRAMELEFT to SMALLFRAMEBOTTOM of WINDOW are always drawn whole.
const int kFirstFramePart = 7, kLastFramePart = 12;

// How an image strip is cut into frames.
struct FrameStrip
{
    int count;
    BOOL horizontal;
};

FrameStrip ReadFrameStrip(CHLMSkinManagerClass* skinClass, int part, int state)
{
    FrameStrip strip;
    strip.count = std::max(1, skinClass->GetThemeInt(part, state, ImageCountId, 1));
    strip.horizontal = skinClass->GetThemeEnumValue(part, state, ImageLayoutId, kLayoutHorizontal) == kLayoutHorizontal;
    return strip;
}

CSize FrameSize(CSize extent, const FrameStrip& strip)
{
    if (strip.horizontal)
        extent.cx /= strip.count;
    else
        extent.cy /= strip.count;
    return extent;
}

// The frame of a state: frame s counted from 1; state 0 or one beyond the strip takes the first.
CRect SourceFrame(int state, const FrameStrip& strip, CSize frame)
{
    const int index = (state <= 0 || state > strip.count) ? 0 : state - 1;
    if (strip.horizontal)
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
    const int background = skinClass->GetThemeEnumValue(part, state, BgTypeId, kBgImage);
    if (background == kBgBorderFill)
        return DrawBorderFill(dc, skinClass, part, state, rect);
    if (background != kBgImage)
        return TRUE;

    // With images chosen by size and no glyph, the background is the first numbered image.
    const BOOL numbered = skinClass->GetThemeEnumValue(part, state, ImageSelectTypeId, 0) != 0 &&
                          skinClass->GetThemeEnumValue(part, state, GlyphTypeId, 0) == 0;
    int imageProperty = numbered ? ImageFile1Id : ImageFileId;
    if (numbered && skinClass->GetThemeString(part, state, imageProperty, L"").IsEmpty())
        imageProperty = ImageFileId;
    RECT margins = skinClass->GetThemeRect(part, state, SizingMarginsId, 0, 0, 0, 0);
    CHLMSkinImage* image = FindImage(skinClass, part, state, imageProperty);
    if (image == nullptr)
        return FALSE;

    const FrameStrip strip = ReadFrameStrip(skinClass, part, state);
    const CSize frame = FrameSize(image->GetExtent(), strip);
    const BOOL keyed = !image->IsAlphaImage() && skinClass->GetThemeBool(part, state, TransparentId, FALSE);
    const int sizingType = skinClass->GetThemeEnumValue(part, state, SizingTypeId, kSizingStretch);

    CRect destination(rect);
    if (sizingType == kSizingTrueSize)
    {
        int width = frame.cx, height = frame.cy;
        if (skinClass->GetThemeInt(part, state, TrueSizeStretchMarkId, 0) > 0)
        {
            width = std::min(width, destination.Width());
            height = std::min(height, destination.Height());
        }
        const int x = std::max<int>(rect->left, (rect->left + rect->right - width) / 2);
        const int y = std::max<int>(rect->top, (rect->top + rect->bottom - height) / 2);
        if (skinClass->GetThemeEnumValue(part, state, VAlignId, 0) == kVAlignBottom)
            destination.SetRect(x, rect->bottom - height, x + width, rect->bottom);
        else
            destination.SetRect(x, y, x + width, y + height);
        SetRectEmpty(&margins);
    }

    const COLORREF transparent =
        keyed ? skinClass->GetThemeColor(part, state, TransparentColorId, kMagenta) : kNoColor;
    BOOL borderOnly = skinClass->GetThemeBool(part, state, BorderOnlyId, FALSE);
    if (skinClass->GetClassCode() == m_nWindowClass && part >= kFirstFramePart && part <= kLastFramePart)
        borderOnly = FALSE;
    image->SetMirrorAllowed(skinClass->GetThemeBool(part, state, MirrorImageId, TRUE));
    image->CreateSolidRectArray(strip.count, strip.horizontal, margins);
    image->DrawImage(dc, destination, SourceFrame(state, strip, frame), margins, transparent, sizingType,
                     borderOnly);

    if (skinClass->GetThemeEnumValue(part, state, GlyphTypeId, 0) == kGlyphImage)
        DrawThemeGlyph(dc, skinClass, part, state, rect);
    return TRUE;
}

BOOL CHLMSkinManagerSchemaDefault::DrawThemeGlyph(CDC* dc, CHLMSkinManagerClass* skinClass, int part, int state,
                                                  const RECT* rect)
{
    const FrameStrip strip = ReadFrameStrip(skinClass, part, state);
    const RECT margins =
        CHLMSkinImage::ClampMargins(skinClass->GetThemeRect(part, state, ContentMarginsId, 0, 0, 0, 0), *rect);
    const RECT content = {rect->left + margins.left, rect->top + margins.top, rect->right - margins.right,
                          rect->bottom - margins.bottom};
    int imageProperty = GlyphImageFileId;
    if (skinClass->GetThemeEnumValue(part, state, ImageSelectTypeId, 0) == kImageSelectBySize)
    {
        imageProperty = FindBestImage(skinClass, part, state, &content, strip.count, strip.horizontal);
        if (imageProperty < 0)
            return FALSE;
    }
    CHLMSkinImage* image = FindImage(skinClass, part, state, imageProperty);
    if (image == nullptr)
        return FALSE;

    const CSize frame = FrameSize(image->GetExtent(), strip);
    const BOOL keyed = !image->IsAlphaImage() && skinClass->GetThemeBool(part, state, GlyphTransparentId, FALSE);
    const COLORREF transparent =
        keyed ? skinClass->GetThemeColor(part, state, TransparentColorId, kMagenta) : kNoColor;
    // Centred in the content; only the top is held inside it.
    const int x = (content.left + content.right - frame.cx) / 2;
    const int y = std::max<int>(content.top, (content.top + content.bottom - frame.cy) / 2);
    const RECT destination = {x, y, x + frame.cx, y + frame.cy};
    const RECT noMargins = {0, 0, 0, 0};
    image->DrawImage(dc, destination, SourceFrame(state, strip, frame), noMargins, transparent, kSizingTrueSize,
                     FALSE);
    return TRUE;
}

int CHLMSkinManagerSchemaDefault::FindBestImage(CHLMSkinManagerClass* skinClass, int part, int state,
                                                const RECT* content, int frameCount, BOOL horizontal)
{
    const FrameStrip strip = {std::max(1, frameCount), horizontal};
    for (int property = ImageFile5Id; property >= ImageFile1Id; --property)
    {
        const CString name = skinClass->GetThemeString(part, state, property, L"");
        if (name.IsEmpty())
            continue;
        const CSize extent = skinClass->GetImages()->GetExtent(m_pManager->GetResourceFile(), name);
        if (extent.cx == 0 && extent.cy == 0)
            return -1;
        const CSize frame = FrameSize(extent, strip);
        if (property == ImageFile1Id)
            return property;
        if (frame.cy <= content->bottom - content->top && frame.cx <= content->right - content->left)
            return property;
    }
    return ImageFileId;
}

BOOL CHLMSkinManagerSchemaDefault::DrawBorderFill(CDC* dc, CHLMSkinManagerClass* skinClass, int part, int state,
                                                  const RECT* rect)
{
    if (rect == nullptr)
        return FALSE;
    CRect r(rect);
    // A border never grows beyond the rectangle it frames.
    const int border = std::max(0, std::min(skinClass->GetThemeInt(part, state, BorderSizeId, 1),
                                            std::max(r.Width(), r.Height())));
    const COLORREF borderColor = skinClass->GetThemeColor(part, state, BorderColorId, kNoColor);
    const COLORREF fillColor = skinClass->GetThemeColor(part, state, FillColorId, kNoColor);
    const BOOL borderOnly = skinClass->GetThemeBool(part, state, BorderOnlyId, FALSE);
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
