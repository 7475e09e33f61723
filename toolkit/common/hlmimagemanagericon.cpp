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
    : m_hIcon(nullptr), m_hBitmap(nullptr), m_pBits(nullptr), m_bOwns(FALSE), m_pManager(nullptr), m_pSlot(nullptr),
      m_szExtent(0, 0), m_bShare(TRUE)
{
}

CHLMImageManagerIconImage::CHLMImageManagerIconImage(HICON icon, BOOL share) : CHLMImageManagerIconImage()
{
    m_hIcon = icon;
    m_bShare = share;
    m_szExtent = CalcExtent();
}

CHLMImageManagerIconImage::CHLMImageManagerIconImage(HBITMAP bitmap) : CHLMImageManagerIconImage()
{
    m_hBitmap = bitmap;
    m_szExtent = CalcExtent();
}

CHLMImageManagerIconImage::CHLMImageManagerIconImage(const CHLMImageManagerIconImage& other)
    : m_hIcon(other.m_hIcon), m_hBitmap(other.m_hBitmap), m_pBits(other.m_pBits), m_bOwns(FALSE),
      m_pManager(other.m_pManager), m_pSlot(other.m_pSlot), m_szExtent(other.m_szExtent), m_bShare(other.m_bShare)
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
    copy.m_pManager = m_pManager;
    copy.CopyFrom(other);
    Clear();
    TakeOver(copy);
    return *this;
}

void CHLMImageManagerIconImage::CopyFrom(const CHLMImageManagerIconImage& other)
{
    if (m_pManager && !other.IsEmpty() && m_pManager->IsUsingStrips() && other.m_bShare)
    {
        CHLMImageManagerResource* strip = m_pManager->GetImageResource(other.m_szExtent.cx, other.m_szExtent.cy);
        if (other.m_pSlot)
        {
            CHLMImageManagerIconImage outOfStrip;
            outOfStrip.CopyFrom(other);
            m_pSlot = strip->AddImage(outOfStrip);
        }
        else
        {
            CHLMImageManagerIconImage view(other);
            m_pSlot = strip->AddImage(view);
        }
    }
    else if (other.m_hIcon)
        m_hIcon = CopyIcon(other.m_hIcon);
    else if (other.m_hBitmap)
    {
        void* bits = nullptr;
        m_hBitmap = CHLMImageManager::Copy32bppBitmap(other.m_hBitmap, other.m_pBits ? &bits : nullptr);
        m_pBits = m_hBitmap && other.m_pBits ? static_cast<BYTE*>(bits) : nullptr;
    }
    else if (other.m_pSlot)
        other.m_pSlot->pResource->CopyImage(*this, other.m_pSlot);
    m_bShare = other.m_bShare;
    m_bOwns = TRUE;
    m_szExtent = other.m_szExtent;
}

void CHLMImageManagerIconImage::TakeOver(CHLMImageManagerIconImage& other)
{
    m_hIcon = other.m_hIcon;
    m_hBitmap = other.m_hBitmap;
    m_pBits = other.m_pBits;
    m_bOwns = other.m_bOwns;
    m_pSlot = other.m_pSlot;
    m_szExtent = other.m_szExtent;
    m_bShare = other.m_bShare;
    other.m_hIcon = nullptr;
    other.m_hBitmap = nullptr;
    other.m_pBits = nullptr;
    other.m_pSlot = nullptr;
    other.m_bOwns = FALSE;
}

void CHLMImageManagerIconImage::SetIcon(HICON icon)
{
    if (icon != m_hIcon)
        Clear();
    m_hIcon = icon;
    m_bOwns = TRUE;
    m_szExtent = CalcExtent();
}

void CHLMImageManagerIconImage::SetBitmap(HBITMAP bitmap)
{
    if (bitmap != m_hBitmap)
        Clear();
    m_hBitmap = bitmap;
    m_bOwns = TRUE;
    m_szExtent = CalcExtent();
}

void CHLMImageManagerIconImage::SetBitmapCopy(HBITMAP bitmap)
{
    HBITMAP copy = CHLMImageManager::Copy32bppBitmap(bitmap, nullptr);
    Clear();
    m_hBitmap = copy;
    m_bOwns = TRUE;
    m_szExtent = CalcExtent();
}

void CHLMImageManagerIconImage::SetPremultipliedBitmap(HBITMAP bitmap, BYTE* bits)
{
    SetBitmap(bitmap);
    m_pBits = bitmap ? bits : nullptr;
}

void CHLMImageManagerIconImage::Clear()
{
    if (m_bOwns)
    {
        if (m_hIcon)
            DestroyIcon(m_hIcon);
        if (m_hBitmap)
            DeleteObject(m_hBitmap);
        if (m_pSlot)
            m_pSlot->pResource->FreeImage(m_pSlot);
    }
    m_hIcon = nullptr;
    m_hBitmap = nullptr;
    m_pBits = nullptr;
    m_pSlot = nullptr;
    m_bOwns = FALSE;
}

BOOL CHLMImageManagerIconImage::IsEmpty() const
{
    return (!m_hIcon && !m_hBitmap && !m_pSlot) || m_szExtent.cx <= 0 || m_szExtent.cy <= 0;
}

BOOL CHLMImageManagerIconImage::IsAlpha() const
{
    return m_hBitmap || (m_pSlot && m_pSlot->bAlpha);
}

HBITMAP CHLMImageManagerIconImage::GetBitmap() const
{
    ASSERT(IsAlpha());
    return m_hBitmap;
}

CSize CHLMImageManagerIconImage::CalcExtent() const
{
    if (m_pSlot)
        return m_pSlot->pResource->GetExtent();
    if (m_hIcon)
        return CHLMImageManagerIcon::GetExtent(m_hIcon);
    BITMAP info = {};
    if (m_hBitmap && GetObjectW(m_hBitmap, sizeof(info), &info))
        return CSize(info.bmWidth, std::abs(info.bmHeight));
    return CSize(0, 0);
}

BYTE* CHLMImageManagerIconImage::PreMultiply()
{
    if (m_pBits)
        return m_pBits;
    if (!m_hBitmap)
        return nullptr;
    void* bits = nullptr;
    HBITMAP premultiplied = CHLMImageManager::PremultiplyBitmap(m_hBitmap, nullptr, &bits);
    if (!premultiplied || !bits)
    {
        if (premultiplied)
            DeleteObject(premultiplied);
        return nullptr;
    }
    const BOOL share = m_bShare;
    Clear();
    SetPremultipliedBitmap(premultiplied, static_cast<BYTE*>(bits));
    m_bShare = share;
    return m_pBits;
}

void CHLMImageManagerIconImage::Draw(CDC* dc, CPoint point, CSize size, BOOL composited)
{
    if (IsEmpty())
        return;
    int x = point.x, y = point.y, cx = size.cx, cy = size.cy;
    if (m_pSlot)
    {
        m_pSlot->pResource->Draw(dc, m_pSlot, x, y, cx, cy, composited);
        return;
    }
    if (!IsAlpha())
    {
        const CHLMImageManager* manager = m_pManager ? m_pManager : &CHLMImageManager::GetInstance();
        if (manager->IsDrawMirrored(dc))
        {
            x += cx;
            cx = -cx;
        }
        if (composited)
            CHLMImageManager::DrawIconWithAlpha(dc, x, y, cx, cy, m_hIcon);
        else
            DrawIconEx(dc->GetSafeHdc(), x, y, m_hIcon, cx, cy, 0, nullptr, DI_NORMAL);
        return;
    }
    if (!PreMultiply())
        return;
    if (y < 0 && cy == m_szExtent.cy)
    {
        // Only the rows at or below the device's top edge.
        const int height = m_szExtent.cy + y;
        if (height > 0)
            CHLMImageManager::DrawAlphaBitmap(dc, m_hBitmap, CPoint(x, 0), CSize(cx, height), CPoint(0, -y),
                                              CSize(m_szExtent.cx, height));
        return;
    }
    CHLMImageManager::DrawAlphaBitmap(dc, m_hBitmap, CPoint(x, y), CSize(cx, cy), CPoint(0, 0), m_szExtent);
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
    : m_bDrawComposited(FALSE), m_nID(id), m_nWidth(width), m_nHeight(height), m_pIconSet(iconSet),
      m_pImageList(nullptr)
{
    if (iconSet)
        for (CHLMImageManagerIconImage& image : m_arrImages)
            image.SetImageManager(iconSet->GetImageManager());
}

CHLMImageManagerIcon::CHLMImageManagerIcon(UINT id, int width, int height, CHLMImageManagerImageList* imageList)
    : m_bDrawComposited(FALSE), m_nID(id), m_nWidth(width), m_nHeight(height), m_pIconSet(nullptr),
      m_pImageList(imageList)
{
}

CHLMImageManagerIcon::~CHLMImageManagerIcon()
{
    ClearImages(TRUE);
}

CHLMImageManager* CHLMImageManagerIcon::GetImageManager() const
{
    if (m_pIconSet)
    {
        ASSERT(m_pIconSet->GetImageManager());
        return m_pIconSet->GetImageManager();
    }
    return &CHLMImageManager::GetInstance();
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetImage(int state)
{
    switch (state)
    {
    case kHLMImageStateDisabled:
        return GetDisabledImage(TRUE);
    case kHLMImageState2:
        return GetState2Image();
    case kHLMImageState3:
        return GetState3Image();
    case kHLMImageState4:
        return GetState4Image();
    default:
        return m_arrImages[Normal];
    }
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetState2Image()
{
    return m_arrImages[State2].IsEmpty() ? m_arrImages[Normal] : m_arrImages[State2];
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetState3Image()
{
    return m_arrImages[State3].IsEmpty() ? GetState2Image() : m_arrImages[State3];
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetState4Image()
{
    return m_arrImages[State4].IsEmpty() ? GetState2Image() : m_arrImages[State4];
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetDisabledImage(BOOL create)
{
    if (!m_arrImages[Disabled].IsEmpty())
        return m_arrImages[Disabled];
    if (m_arrImages[GeneratedDisabled].IsEmpty() && create)
        CreateDisabledImage(CLR_NONE, CLR_NONE);
    return m_arrImages[GeneratedDisabled];
}

BOOL CHLMImageManagerIcon::HasDisabledImage() const
{
    return !m_arrImages[Disabled].IsEmpty() || !m_arrImages[GeneratedDisabled].IsEmpty();
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetFadedImage()
{
    CHLMImageManagerIconImage& faded = m_arrImages[Faded];
    if (faded.IsEmpty() && m_arrImages[Normal].IsShared())
    {
        CHLMImageManagerIconImage work;
        work = m_arrImages[Normal];
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
    return faded.IsEmpty() ? m_arrImages[Normal] : faded;
}

CHLMImageManagerIconImage& CHLMImageManagerIcon::GetShadowImage()
{
    CHLMImageManagerIconImage& shadow = m_arrImages[Shadow];
    if (shadow.IsEmpty() && m_arrImages[Normal].IsShared())
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
    CHLMImageManagerIconImage& disabled = m_arrImages[GeneratedDisabled];
    if (!disabled.IsEmpty())
        return;
    const bool blend = light != CLR_NONE && dark != CLR_NONE;
    CHLMImageManagerIconImage work;
    work = m_arrImages[Normal];
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
    return &image >= m_arrImages && &image < m_arrImages + ImageCount;
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
    m_arrImages[Normal] = image;
    m_nWidth = image.GetExtent().cx;
    m_nHeight = image.GetExtent().cy;
    if (m_pIconSet)
        m_pIconSet->ClearDerivedImages();
    return TRUE;
}

void CHLMImageManagerIcon::SetNormalIcon(const CHLMImageManagerIconImage& image)
{
    ASSERT(!image.IsEmpty());
    SetStateImage(Normal, image);
    ASSERT(m_arrImages[Normal].GetExtent() == CSize(m_nWidth, m_nHeight));
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
    m_arrImages[slot] = image;
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
    case kHLMImageStateNormal:
        SetNormalIcon(image);
        return TRUE;
    case kHLMImageStateDisabled:
        SetDisabledIcon(image);
        return TRUE;
    case kHLMImageState2:
        SetState2Icon(image);
        return TRUE;
    case kHLMImageState3:
        SetState3Icon(image);
        return TRUE;
    case kHLMImageState4:
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
    if (!m_arrImages[Normal].CreateFromResource(MAKEINTRESOURCE(resourceId), width, height, TRUE))
        return FALSE;
    m_nWidth = width;
    m_nHeight = height;
    return TRUE;
}

void CHLMImageManagerIcon::ClearImages(BOOL includingNormal)
{
    for (int slot = Normal + 1; slot < ImageCount; ++slot)
        m_arrImages[slot].Clear();
    if (includingNormal)
        m_arrImages[Normal].Clear();
}

void CHLMImageManagerIcon::ClearDerivedImages()
{
    m_arrImages[Faded].Clear();
    m_arrImages[Shadow].Clear();
    m_arrImages[GeneratedDisabled].Clear();
}

void CHLMImageManagerIcon::Copy(const CHLMImageManagerIcon& other)
{
    ASSERT(other.m_nID == m_nID);
    if (&other == this)
        return;
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    for (Slot slot : {Normal, Disabled, State2, State3, State4})
        m_arrImages[slot] = other.m_arrImages[slot];
    ClearDerivedImages();
}

void CHLMImageManagerIcon::Draw(CDC* dc, CPoint point, CHLMImageManagerIconImage& image, CSize size)
{
    const int cx = size.cx ? size.cx : m_nWidth;
    const int cy = size.cy ? size.cy : (m_nWidth ? cx * m_nHeight / m_nWidth : m_nHeight);
    if (m_pImageList)
        m_pImageList->Draw(dc, point, this, CSize(cx, cy));
    else
        image.Draw(dc, point, CSize(cx, cy), m_bDrawComposited);
}

void CHLMImageManagerIcon::Draw(CDC* dc, CPoint point, CSize size)
{
    Draw(dc, point, m_arrImages[Normal], size);
}

void CHLMImageManagerIcon::Draw(CDC* dc, CPoint point)
{
    Draw(dc, point, m_arrImages[Normal], CSize(0, 0));
}

void CHLMImageManagerIcon::DrawMono(CDC* dc, CPoint point, CHLMImageManagerIconImage& image, int cx, int cy,
                                    COLORREF color)
{
    if (image.IsAlpha())
        return;
    if (cx == 0)
        cx = m_nWidth;
    if (cy == 0)
        cy = m_nWidth ? cx * m_nHeight / m_nWidth : m_nHeight;
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

CHLMImageManagerIconSet::CHLMImageManagerIconSet(UINT id, CHLMImageManager* manager) : m_nID(id), m_pManager(manager)
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
    if (m_mapIcons.Lookup(width, icon))
    {
        ASSERT(icon->GetID() == m_nID && static_cast<UINT>(icon->GetWidth()) == width);
        return icon;
    }
    icon = new CHLMImageManagerIcon(m_nID, static_cast<int>(width), 15, this);
    m_mapIcons.SetAt(width, icon);
    return icon;
}

void CHLMImageManagerIconSet::AddIcon(UINT width, CHLMImageManagerIcon* icon)
{
    CHLMImageManagerIcon* previous = nullptr;
    if (m_mapIcons.Lookup(width, previous) && previous != icon)
    {
        previous->ClearImages(TRUE);
        previous->InternalRelease();
    }
    m_mapIcons.SetAt(width, icon);
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
    return m_mapIcons.Lookup(width, icon) ? icon : nullptr;
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
    POSITION position = m_mapIcons.GetStartPosition();
    while (position)
    {
        UINT key = 0;
        CHLMImageManagerIcon* icon = nullptr;
        m_mapIcons.GetNextAssoc(position, key, icon);
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
    POSITION position = m_mapIcons.GetStartPosition();
    while (position)
    {
        UINT width = 0;
        CHLMImageManagerIcon* icon = nullptr;
        m_mapIcons.GetNextAssoc(position, width, icon);
        icon->ClearDerivedImages();
    }
}

void CHLMImageManagerIconSet::RemoveAll()
{
    POSITION position = m_mapIcons.GetStartPosition();
    while (position)
    {
        UINT width = 0;
        CHLMImageManagerIcon* icon = nullptr;
        m_mapIcons.GetNextAssoc(position, width, icon);
        icon->ClearImages(TRUE);
        icon->InternalRelease();
    }
    m_mapIcons.RemoveAll();
}
