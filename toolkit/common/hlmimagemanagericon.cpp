#include "common/hlmimagemanagericon.h"

#include "common/hlmcolormanager.h"
#include "common/hlmdrawhelpers.h"
#include "common/hlmimagemanager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

double CHLMImageManager::m_dDisabledBrightness = 0.5;
double CHLMImageManager::m_dDisabledAlphaFactor = 1.0;

namespace
{
const double kFadeFactor = 0.3;
const COLORREF kIconKeyColor = RGB(255, 0, 255);

BYTE ClampToByte(int value)
{
    return static_cast<BYTE>(std::min(255, std::max(0, value)));
}

// Changes the colour of every opaque pixel (mask 0) of an icon image and puts the changed
// icon in its place. Without icon information or a colour bitmap the image stays.
template <class Change>
void RecolorIcon(CHLMImageManagerIconImage& image, Change change)
{
    ICONINFO info = {};
    if (!image.GetIcon() || !GetIconInfo(image.GetIcon(), &info))
        return;
    if (info.hbmColor && info.hbmMask)
    {
        BITMAP size = {};
        GetObjectW(info.hbmColor, sizeof(size), &size);
        {
            CHLMCompatibleDC color(nullptr, info.hbmColor);
            CHLMCompatibleDC mask(nullptr, info.hbmMask);
            for (int x = 0; x < size.bmWidth; ++x)
                for (int y = 0; y < size.bmHeight; ++y)
                    if (mask.GetPixel(x, y) == 0)
                        color.SetPixel(x, y, change(color.GetPixel(x, y)));
        }
        HICON icon = CreateIconIndirect(&info);
        if (icon)
            image.SetIcon(icon);
    }
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
}

// Calls `change` with every premultiplied pixel (blue, green, red, alpha) of an alpha image.
template <class Change>
void ChangeAlphaPixels(CHLMImageManagerIconImage& image, Change change)
{
    BYTE* bits = image.PreMultiply();
    if (!bits)
        return;
    const CSize extent = image.GetExtent();
    const size_t count = static_cast<size_t>(extent.cx) * static_cast<size_t>(extent.cy);
    for (size_t i = 0; i < count; ++i)
        change(bits + 4 * i);
}
}

// ---------------------------------------------------------------------------------------
// One picture

CHLMImageManagerIconImage::CHLMImageManagerIconImage()
    : m_icon(nullptr), m_bitmap(nullptr), m_bits(nullptr), m_owns(FALSE), m_manager(nullptr), m_slot(nullptr),
      m_extent(0, 0), m_share(TRUE)
{
}

CHLMImageManagerIconImage::CHLMImageManagerIconImage(HICON icon, BOOL share) : CHLMImageManagerIconImage()
{
    m_icon = icon;
    m_share = share;
    m_extent = CalcExtent();
}

CHLMImageManagerIconImage::CHLMImageManagerIconImage(HBITMAP bitmap) : CHLMImageManagerIconImage()
{
    m_bitmap = bitmap;
    m_extent = CalcExtent();
}

CHLMImageManagerIconImage::CHLMImageManagerIconImage(const CHLMImageManagerIconImage& other)
    : m_icon(other.m_icon), m_bitmap(other.m_bitmap), m_bits(other.m_bits), m_owns(FALSE),
      m_manager(other.m_manager), m_slot(other.m_slot), m_extent(other.m_extent), m_share(other.m_share)
{
}

CHLMImageManagerIconImage::~CHLMImageManagerIconImage()
{
    Clear();
}

CHLMImageManagerIconImage& CHLMImageManagerIconImage::operator=(const CHLMImageManagerIconImage& other)
{
    // The copy is made before this image lets go of anything, so that assigning an image
    // to itself, or a view of its own handles to it, keeps the picture.
    CHLMImageManagerIconImage copy;
    copy.m_manager = m_manager;
    copy.CopyFrom(other);
    Clear();
    TakeOver(copy);
    return *this;
}

void CHLMImageManagerIconImage::CopyFrom(const CHLMImageManagerIconImage& other)
{
    if (m_manager && !other.IsEmpty() && m_manager->IsUsingStrips() && other.m_share)
    {
        CHLMImageManagerResource* strip = m_manager->GetImageResource(other.m_extent.cx, other.m_extent.cy);
        if (other.m_slot)
        {
            CHLMImageManagerIconImage outOfStrip;
            outOfStrip.CopyFrom(other);
            m_slot = strip->AddImage(outOfStrip);
        }
        else
        {
            CHLMImageManagerIconImage view(other);
            m_slot = strip->AddImage(view);
        }
    }
    else if (other.m_icon)
        m_icon = CopyIcon(other.m_icon);
    else if (other.m_bitmap)
    {
        void* bits = nullptr;
        m_bitmap = CHLMImageManager::Copy32bppBitmap(other.m_bitmap, other.m_bits ? &bits : nullptr);
        m_bits = m_bitmap && other.m_bits ? static_cast<BYTE*>(bits) : nullptr;
    }
    else if (other.m_slot)
        other.m_slot->pResource->CopyImage(*this, other.m_slot);
    m_share = other.m_share;
    m_owns = TRUE;
    m_extent = other.m_extent;
}

void CHLMImageManagerIconImage::TakeOver(CHLMImageManagerIconImage& other)
{
    m_icon = other.m_icon;
    m_bitmap = other.m_bitmap;
    m_bits = other.m_bits;
    m_owns = other.m_owns;
    m_slot = other.m_slot;
    m_extent = other.m_extent;
    m_share = other.m_share;
    other.m_icon = nullptr;
    other.m_bitmap = nullptr;
    other.m_bits = nullptr;
    other.m_slot = nullptr;
    other.m_owns = FALSE;
}

void CHLMImageManagerIconImage::SetIcon(HICON icon)
{
    if (icon != m_icon)
        Clear();
    m_icon = icon;
    m_owns = TRUE;
    m_extent = CalcExtent();
}

void CHLMImageManagerIconImage::SetBitmap(HBITMAP bitmap)
{
    if (bitmap != m_bitmap)
        Clear();
    m_bitmap = bitmap;
    m_owns = TRUE;
    m_extent = CalcExtent();
}

void CHLMImageManagerIconImage::SetBitmapCopy(HBITMAP bitmap)
{
    HBITMAP copy = CHLMImageManager::Copy32bppBitmap(bitmap, nullptr);
    Clear();
    m_bitmap = copy;
    m_owns = TRUE;
    m_extent = CalcExtent();
}

void CHLMImageManagerIconImage::SetPremultipliedBitmap(HBITMAP bitmap, BYTE* bits)
{
    SetBitmap(bitmap);
    m_bits = bitmap ? bits : nullptr;
}

void CHLMImageManagerIconImage::Clear()
{
    if (m_owns)
    {
        if (m_icon)
            DestroyIcon(m_icon);
        if (m_bitmap)
            DeleteObject(m_bitmap);
        if (m_slot)
            m_slot->pResource->FreeImage(m_slot);
    }
    m_icon = nullptr;
    m_bitmap = nullptr;
    m_bits = nullptr;
    m_slot = nullptr;
    m_owns = FALSE;
}

BOOL CHLMImageManagerIconImage::IsEmpty() const
{
    return (!m_icon && !m_bitmap && !m_slot) || m_extent.cx <= 0 || m_extent.cy <= 0;
}

BOOL CHLMImageManagerIconImage::IsAlpha() const
{
    return m_bitmap || (m_slot && m_slot->bAlpha);
}

HBITMAP CHLMImageManagerIconImage::GetBitmap() const
{
    ASSERT(IsAlpha());
    return m_bitmap;
}

CSize CHLMImageManagerIconImage::CalcExtent() const
{
    if (m_slot)
        return m_slot->pResource->GetExtent();
    if (m_icon)
        return CHLMImageManagerIcon::GetExtent(m_icon);
    BITMAP info = {};
    if (m_bitmap && GetObjectW(m_bitmap, sizeof(info), &info))
        return CSize(info.bmWidth, std::abs(info.bmHeight));
    return CSize(0, 0);
}

BYTE* CHLMImageManagerIconImage::PreMultiply()
{
    if (m_bits)
        return m_bits;
    if (!m_bitmap)
        return nullptr;
    void* bits = nullptr;
    HBITMAP premultiplied = CHLMImageManager::PremultiplyBitmap(m_bitmap, nullptr, &bits);
    if (!premultiplied || !bits)
    {
        if (premultiplied)
            DeleteObject(premultiplied);
        return nullptr;
    }
    const BOOL share = m_share;
    Clear();
    SetPremultipliedBitmap(premultiplied, static_cast<BYTE*>(bits));
    m_share = share;
    return m_bits;
}

void CHLMImageManagerIconImage::Draw(CDC* dc, CPoint point, CSize size, BOOL composited)
{
    if (IsEmpty())
        return;
    int x = point.x, y = point.y, cx = size.cx, cy = size.cy;
    if (m_slot)
    {
        m_slot->pResource->Draw(dc, m_slot, x, y, cx, cy, composited);
        return;
    }
    if (!IsAlpha())
    {
        const CHLMImageManager* manager = m_manager ? m_manager : &CHLMImageManager::GetInstance();
        if (manager->IsDrawMirrored(dc))
        {
            x += cx;
            cx = -cx;
        }
        if (composited)
            CHLMImageManager::DrawIconWithAlpha(dc, x, y, cx, cy, m_icon);
        else
            DrawIconEx(dc->GetSafeHdc(), x, y, m_icon, cx, cy, 0, nullptr, DI_NORMAL);
        return;
    }
    if (!PreMultiply())
        return;
    if (y < 0 && cy == m_extent.cy)
    {
        // Only the rows at or below the device's top edge.
        const int height = m_extent.cy + y;
        if (height > 0)
            CHLMImageManager::DrawAlphaBitmap(dc, m_bitmap, CPoint(x, 0), CSize(cx, height), CPoint(0, -y),
                                              CSize(m_extent.cx, height));
        return;
    }
    CHLMImageManager::DrawAlphaBitmap(dc, m_bitmap, CPoint(x, y), CSize(cx, cy), CPoint(0, 0), m_extent);
}

void CHLMImageManager::DrawAlphaBitmap(CDC* dc, HBITMAP bitmap, CPoint point, CSize size, CPoint sourcePoint,
                                       CSize sourceSize)
{
    if (sourceSize.cx == 0 && sourceSize.cy == 0)
        sourceSize = size;
    CHLMCompatibleDC source(nullptr, bitmap);
    GetInstance().AlphaBlend(dc, CRect(point, size), &source, CRect(sourcePoint, sourceSize));
}

void CHLMImageManager::DrawIconWithAlpha(CDC* dc, int x, int y, int cx, int cy, HICON icon)
{
    CRect rect(x, y, x + cx, y + cy);
    rect.NormalizeRect();
    const int width = rect.Width(), height = rect.Height();
    if (width <= 0 || height <= 0)
        return;
    void* bits = nullptr;
    HBITMAP section = Create32bppDibSection(dc->GetSafeHdc(), width, height, &bits);
    if (!section || !bits)
    {
        if (section)
            DeleteObject(section);
        return;
    }
    {
        CHLMCompatibleDC composite(dc, section);
        composite.FillSolidRect(0, 0, width, height, kIconKeyColor);
        DrawIconEx(composite.GetSafeHdc(), cx <= 0 ? -cx : 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
        GdiFlush();
        // The key colour becomes transparent, everything else opaque. Red and blue are equal
        // in the key, so its COLORREF is also its pixel value.
        DWORD* pixel = static_cast<DWORD*>(bits);
        for (int i = 0; i < width * height; ++i)
            pixel[i] = (pixel[i] & 0x00FFFFFF) == kIconKeyColor ? 0 : (pixel[i] | 0xFF000000);
        GetInstance().AlphaBlend(dc, rect, &composite, CRect(0, 0, width, height));
    }
    DeleteObject(section);
}

// ---------------------------------------------------------------------------------------
// The pictures of one command id at one width

CHLMImageManagerIcon::CHLMImageManagerIcon(UINT id, int width, int height, CHLMImageManagerIconSet* iconSet)
    : m_bDrawComposited(FALSE), m_id(id), m_width(width), m_height(height), m_iconSet(iconSet), m_imageList(nullptr)
{
    if (iconSet)
        for (CHLMImageManagerIconImage& image : m_images)
            image.SetImageManager(iconSet->GetImageManager());
}

CHLMImageManagerIcon::CHLMImageManagerIcon(UINT id, int width, int height, CHLMImageManagerImageList* imageList)
    : m_bDrawComposited(FALSE), m_id(id), m_width(width), m_height(height), m_iconSet(nullptr),
      m_imageList(imageList)
{
}

CHLMImageManagerIcon::~CHLMImageManagerIcon()
{
    ClearImages(TRUE);
}

CHLMImageManager* CHLMImageManagerIcon::GetImageManager() const
{
    if (m_iconSet)
    {
        ASSERT(m_iconSet->GetImageManager());
        return m_iconSet->GetImageManager();
    }
    return &CHLMImageManager::GetInstance();
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetImage(int state)
{
    switch (state)
    {
    case HLM_IMAGESTATE_DISABLED:
        return GetDisabledImage(TRUE);
    case HLM_IMAGESTATE_2:
        return GetState2Image();
    case HLM_IMAGESTATE_3:
        return GetState3Image();
    case HLM_IMAGESTATE_4:
        return GetState4Image();
    default:
        return m_images[Normal];
    }
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetState2Image()
{
    return m_images[State2].IsEmpty() ? m_images[Normal] : m_images[State2];
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetState3Image()
{
    return m_images[State3].IsEmpty() ? GetState2Image() : m_images[State3];
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetState4Image()
{
    return m_images[State4].IsEmpty() ? GetState2Image() : m_images[State4];
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetDisabledImage(BOOL create)
{
    if (!m_images[Disabled].IsEmpty())
        return m_images[Disabled];
    if (m_images[GeneratedDisabled].IsEmpty() && create)
        CreateDisabledImage(CLR_NONE, CLR_NONE);
    return m_images[GeneratedDisabled];
}

BOOL CHLMImageManagerIcon::HasDisabledImage() const
{
    return !m_images[Disabled].IsEmpty() || !m_images[GeneratedDisabled].IsEmpty();
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetFadedImage()
{
    CHLMImageManagerIconImage& faded = m_images[Faded];
    if (faded.IsEmpty() && m_images[Normal].IsShared())
    {
        CHLMImageManagerIconImage work;
        work = m_images[Normal];
        if (work.IsAlpha())
            ChangeAlphaPixels(work, [](BYTE* pixel) {
                const int alpha = pixel[3];
                if (alpha == 0)
                    return;
                for (int channel = 0; channel < 3; ++channel)
                    pixel[channel] = ClampToByte(static_cast<int>(kFadeFactor * alpha + (1 - kFadeFactor) * pixel[channel]));
            });
        else if (!CHLMDrawHelpers::IsLowColorDc(nullptr))
            RecolorIcon(work, [](COLORREF color) { return LightenColor(color, kFadeFactor); });
        faded = work;
    }
    return faded.IsEmpty() ? m_images[Normal] : faded;
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetShadowImage()
{
    CHLMImageManagerIconImage& shadow = m_images[Shadow];
    if (shadow.IsEmpty() && m_images[Normal].IsShared())
    {
        const COLORREF managed = GetManagedColor(31);
        const COLORREF color = RGB(static_cast<BYTE>(GetRValue(managed) * 0.75),
                                   static_cast<BYTE>(GetGValue(managed) * 0.75),
                                   static_cast<BYTE>(GetBValue(managed) * 0.75));
        CHLMImageManagerIconImage work;
        work = GetState2Image();
        if (work.IsAlpha())
            ChangeAlphaPixels(work, [color](BYTE* pixel) {
                const int alpha = pixel[3];
                pixel[0] = static_cast<BYTE>(GetBValue(color) * alpha / 255);
                pixel[1] = static_cast<BYTE>(GetGValue(color) * alpha / 255);
                pixel[2] = static_cast<BYTE>(GetRValue(color) * alpha / 255);
            });
        else
            RecolorIcon(work, [color](COLORREF) { return color; });
        shadow = work;
    }
    return shadow;
}

void CHLMImageManagerIcon::CreateDisabledImage(COLORREF light, COLORREF dark)
{
    CHLMImageManagerIconImage& disabled = m_images[GeneratedDisabled];
    if (!disabled.IsEmpty())
        return;
    const bool blend = light != CLR_NONE && dark != CLR_NONE;
    CHLMImageManagerIconImage work;
    work = m_images[Normal];
    if (work.IsAlpha())
        ChangeAlphaPixels(work, [blend, light, dark](BYTE* pixel) {
            const int alpha = pixel[3];
            if (alpha == 0)
                return;
            // Straight colour out of the premultiplied one; a pixel that was never truly
            // premultiplied is held at 255.
            const int blue = std::min(255, pixel[0] * 255 / alpha);
            const int green = std::min(255, pixel[1] * 255 / alpha);
            const int red = std::min(255, pixel[2] * 255 / alpha);
            int newAlpha = alpha;
            BYTE channels[3];
            if (blend)
            {
                const COLORREF color = CHLMImageManager::DisabledBlendColor(light, dark, blue, green, red);
                channels[0] = GetBValue(color);
                channels[1] = GetGValue(color);
                channels[2] = GetRValue(color);
            }
            else
            {
                channels[0] = channels[1] = channels[2] = CHLMImageManager::DisabledGray(blue, green, red);
                newAlpha = CHLMImageManager::DisabledAlpha(alpha);
            }
            for (int channel = 0; channel < 3; ++channel)
                pixel[channel] = static_cast<BYTE>(channels[channel] * newAlpha / 255);
            pixel[3] = static_cast<BYTE>(newAlpha);
        });
    else
        RecolorIcon(work, [blend, light, dark](COLORREF color) {
            if (blend)
                return CHLMImageManager::DisabledBlendColor(light, dark, GetBValue(color), GetGValue(color),
                                                            GetRValue(color));
            const BYTE gray = CHLMImageManager::DisabledGray(GetBValue(color), GetGValue(color), GetRValue(color));
            return RGB(gray, gray, gray);
        });
    disabled = work;
}

BOOL CHLMImageManagerIcon::IsOwnImage(const CHLMImageManagerIconImage& image) const
{
    return &image >= m_images && &image < m_images + ImageCount;
}

BOOL CHLMImageManagerIcon::SetIcon(const CHLMImageManagerIconImage& image)
{
    ASSERT(!image.IsEmpty());
    if (IsOwnImage(image))
    {
        CHLMImageManagerIconImage copy;
        copy = image;
        return SetIcon(copy);
    }
    ClearImages(TRUE);
    m_images[Normal] = image;
    m_width = image.GetExtent().cx;
    m_height = image.GetExtent().cy;
    if (m_iconSet)
        m_iconSet->ClearDerivedImages();
    return TRUE;
}

void CHLMImageManagerIcon::SetNormalIcon(const CHLMImageManagerIconImage& image)
{
    ASSERT(!image.IsEmpty());
    SetStateImage(Normal, image);
    ASSERT(m_images[Normal].GetExtent() == CSize(m_width, m_height));
}

void CHLMImageManagerIcon::SetStateImage(Slot slot, const CHLMImageManagerIconImage& image)
{
    if (IsOwnImage(image))
    {
        CHLMImageManagerIconImage copy;
        copy = image;
        SetStateImage(slot, copy);
        return;
    }
    ClearDerivedImages();
    m_images[slot] = image;
}

void CHLMImageManagerIcon::SetDisabledIcon(const CHLMImageManagerIconImage& image)
{
    SetStateImage(Disabled, image);
}

void CHLMImageManagerIcon::SetState2Icon(const CHLMImageManagerIconImage& image)
{
    SetStateImage(State2, image);
}

void CHLMImageManagerIcon::SetState3Icon(const CHLMImageManagerIconImage& image)
{
    SetStateImage(State3, image);
}

void CHLMImageManagerIcon::SetState4Icon(const CHLMImageManagerIconImage& image)
{
    SetStateImage(State4, image);
}

BOOL CHLMImageManagerIcon::SetImage(const CHLMImageManagerIconImage& image, int state)
{
    switch (state)
    {
    case HLM_IMAGESTATE_NORMAL:
        SetNormalIcon(image);
        return TRUE;
    case HLM_IMAGESTATE_DISABLED:
        SetDisabledIcon(image);
        return TRUE;
    case HLM_IMAGESTATE_2:
        SetState2Icon(image);
        return TRUE;
    case HLM_IMAGESTATE_3:
        SetState3Icon(image);
        return TRUE;
    case HLM_IMAGESTATE_4:
        SetState4Icon(image);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CHLMImageManagerIcon::CreateFromIconResource(UINT resourceId, int width, int height)
{
    ASSERT(width != 0 && height != 0);
    ClearImages(TRUE);
    if (!m_images[Normal].CreateFromResource(MAKEINTRESOURCE(resourceId), width, height, TRUE))
        return FALSE;
    m_width = width;
    m_height = height;
    return TRUE;
}

void CHLMImageManagerIcon::ClearImages(BOOL includingNormal)
{
    for (int slot = Normal + 1; slot < ImageCount; ++slot)
        m_images[slot].Clear();
    if (includingNormal)
        m_images[Normal].Clear();
}

void CHLMImageManagerIcon::ClearDerivedImages()
{
    m_images[Faded].Clear();
    m_images[Shadow].Clear();
    m_images[GeneratedDisabled].Clear();
}

void CHLMImageManagerIcon::Copy(const CHLMImageManagerIcon& other)
{
    ASSERT(other.m_id == m_id);
    if (&other == this)
        return;
    m_width = other.m_width;
    m_height = other.m_height;
    for (Slot slot : {Normal, Disabled, State2, State3, State4})
        m_images[slot] = other.m_images[slot];
    ClearDerivedImages();
}

void CHLMImageManagerIcon::Draw(CDC* dc, CPoint point, CHLMImageManagerIconImage& image, CSize size)
{
    const int cx = size.cx ? size.cx : m_width;
    const int cy = size.cy ? size.cy : (m_width ? cx * m_height / m_width : m_height);
    if (m_imageList)
        m_imageList->Draw(dc, point, this, CSize(cx, cy));
    else
        image.Draw(dc, point, CSize(cx, cy), m_bDrawComposited);
}

void CHLMImageManagerIcon::Draw(CDC* dc, CPoint point, CSize size)
{
    Draw(dc, point, m_images[Normal], size);
}

void CHLMImageManagerIcon::Draw(CDC* dc, CPoint point)
{
    Draw(dc, point, m_images[Normal], CSize(0, 0));
}

void CHLMImageManagerIcon::DrawMono(CDC* dc, CPoint point, CHLMImageManagerIconImage& image, int cx, int cy,
                                    COLORREF color)
{
    if (image.IsAlpha())
        return;
    if (cx == 0)
        cx = m_width;
    if (cy == 0)
        cy = m_width ? cx * m_height / m_width : m_height;
    CBitmap bitmap;
    if (cx <= 0 || cy <= 0 || !bitmap.CreateCompatibleBitmap(dc, cx, cy))
        return;
    {
        CHLMCompatibleDC picture(dc, &bitmap);
        picture.FillSolidRect(0, 0, cx, cy, RGB(255, 255, 255));
        Draw(&picture, CPoint(0, 0), image, CSize(cx, cy));
    }
    CBrush brush;
    brush.CreateSolidBrush(color);
    dc->DrawState(point, CSize(cx, cy), &bitmap, DSS_MONO, &brush);
}

CSize CHLMImageManagerIcon::GetExtent(HICON icon)
{
    ASSERT(icon);
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return CSize(0, 0);
    BITMAP mask = {};
    CSize extent(0, 0);
    if (info.hbmMask && GetObjectW(info.hbmMask, sizeof(mask), &mask))
        extent = CSize(mask.bmWidth, info.hbmColor ? mask.bmHeight : mask.bmHeight / 2);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return extent;
}

HICON CHLMImageManagerIcon::ScaleIcon(HICON icon, CSize size, int width)
{
    if (width == 0 || (size.cx == 0 && size.cy == 0))
        return nullptr;
    if (width == size.cx)
        return CopyIcon(icon);
    if (size.cx == 0)
        return nullptr;
    const int height = MulDiv(size.cy, width, size.cx);
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 1, 1);
    if (!list)
        return nullptr;
    HICON scaled = nullptr;
    if (ImageList_AddIcon(list, icon) >= 0)
        scaled = ImageList_GetIcon(list, 0, ILD_NORMAL);
    ImageList_Destroy(list);
    return scaled;
}

COLORREF CHLMImageManagerIcon::LightenColor(COLORREF color, double factor)
{
    const auto lighten = [factor](int channel) {
        return static_cast<BYTE>(static_cast<int>(factor * 255 + (1 - factor) * channel));
    };
    return RGB(lighten(GetRValue(color)), lighten(GetGValue(color)), lighten(GetBValue(color)));
}

// ---------------------------------------------------------------------------------------
// The icons of one command id

CHLMImageManagerIconSet::CHLMImageManagerIconSet(UINT id, CHLMImageManager* manager) : m_id(id), m_manager(manager)
{
    ASSERT(manager);
}

CHLMImageManagerIconSet::~CHLMImageManagerIconSet()
{
    RemoveAll();
}

CHLMImageManagerIcon* CHLMImageManagerIconSet::GetIcon(UINT width)
{
    CHLMImageManagerIcon* icon = nullptr;
    if (m_icons.Lookup(width, icon))
    {
        ASSERT(icon->GetID() == m_id && static_cast<UINT>(icon->GetWidth()) == width);
        return icon;
    }
    icon = new CHLMImageManagerIcon(m_id, static_cast<int>(width), 15, this);
    m_icons.SetAt(width, icon);
    return icon;
}

void CHLMImageManagerIconSet::AddIcon(UINT width, CHLMImageManagerIcon* icon)
{
    CHLMImageManagerIcon* previous = nullptr;
    if (m_icons.Lookup(width, previous) && previous != icon)
    {
        previous->ClearImages(TRUE);
        previous->InternalRelease();
    }
    m_icons.SetAt(width, icon);
}

BOOL CHLMImageManagerIconSet::SetIcon(const CHLMImageManagerIconImage& image, UINT width)
{
    return GetIcon(width)->SetIcon(image);
}

void CHLMImageManagerIconSet::SetDisabledIcon(const CHLMImageManagerIconImage& image, UINT width)
{
    GetIcon(width)->SetDisabledIcon(image);
}

void CHLMImageManagerIconSet::SetState2Icon(const CHLMImageManagerIconImage& image, UINT width)
{
    GetIcon(width)->SetState2Icon(image);
}

void CHLMImageManagerIconSet::SetState3Icon(const CHLMImageManagerIconImage& image, UINT width)
{
    GetIcon(width)->SetState3Icon(image);
}

void CHLMImageManagerIconSet::SetState4Icon(const CHLMImageManagerIconImage& image, UINT width)
{
    GetIcon(width)->SetState4Icon(image);
}

CHLMImageManagerIcon* CHLMImageManagerIconSet::LookupIcon(UINT width) const
{
    CHLMImageManagerIcon* icon = nullptr;
    return m_icons.Lookup(width, icon) ? icon : nullptr;
}

CHLMImageManagerIcon* CHLMImageManagerIconSet::FindIconByWidth(UINT width, BOOL nearest) const
{
    if (width > 1)
    {
        if (CHLMImageManagerIcon* exact = LookupIcon(width))
            return exact;
        if (!nearest)
            return nullptr;
    }
    CHLMImageManagerIcon* found = nullptr;
    LONGLONG best = 0;
    POSITION position = m_icons.GetStartPosition();
    while (position)
    {
        UINT key = 0;
        CHLMImageManagerIcon* icon = nullptr;
        m_icons.GetNextAssoc(position, key, icon);
        // Width 0 asks for the narrowest, 1 for the widest, any other for the closest.
        const LONGLONG score = width == 0   ? static_cast<LONGLONG>(key)
                               : width == 1 ? -static_cast<LONGLONG>(key)
                                            : std::llabs(static_cast<LONGLONG>(key) - width);
        if (!found || score < best)
        {
            found = icon;
            best = score;
        }
    }
    return found;
}

void CHLMImageManagerIconSet::ClearDerivedImages()
{
    POSITION position = m_icons.GetStartPosition();
    while (position)
    {
        UINT width = 0;
        CHLMImageManagerIcon* icon = nullptr;
        m_icons.GetNextAssoc(position, width, icon);
        icon->ClearDerivedImages();
    }
}

void CHLMImageManagerIconSet::RemoveAll()
{
    POSITION position = m_icons.GetStartPosition();
    while (position)
    {
        UINT width = 0;
        CHLMImageManagerIcon* icon = nullptr;
        m_icons.GetNextAssoc(position, width, icon);
        icon->ClearImages(TRUE);
        icon->InternalRelease();
    }
    m_icons.RemoveAll();
}
