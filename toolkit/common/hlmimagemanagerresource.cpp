#include "common/hlmimagemanagerresource.h"

#include "common/hlmdrawhelpers.h"
#include "common/hlmimagemanager.h"
#include "common/hlmimagemanagericon.h"

#include <cstring>

// ---------------------------------------------------------------------------------------
// The strip's DC

CHLMImageManagerResource::CBitmapDC::CBitmapDC() : m_hPrevious(nullptr)
{
    CreateCompatibleDC(nullptr);
}

CHLMImageManagerResource::CBitmapDC::~CBitmapDC()
{
    SelectBitmap(nullptr);
}

void CHLMImageManagerResource::CBitmapDC::SelectBitmap(HBITMAP bitmap)
{
    if (!m_hDC)
        return;
    if (bitmap)
    {
        HGDIOBJ previous = ::SelectObject(m_hDC, bitmap);
        if (!m_hPrevious)
            m_hPrevious = previous;
    }
    else if (m_hPrevious)
    {
        ::SelectObject(m_hDC, m_hPrevious);
        m_hPrevious = nullptr;
    }
}

namespace
{
// Selects a strip into the strip's DC for the life of a scope.
class StripSelection
{
public:
    StripSelection(CHLMImageManagerResource::CBitmapDC& dc, HBITMAP strip) : m_dcStrip(dc)
    {
        m_dcStrip.SelectBitmap(strip);
    }
    ~StripSelection() { m_dcStrip.SelectBitmap(nullptr); }
    StripSelection(const StripSelection&) = delete;
    StripSelection& operator=(const StripSelection&) = delete;

private:
    CHLMImageManagerResource::CBitmapDC& m_dcStrip;
};

// The target's text and background colours set to black and white for a scope.
class MonochromeColors
{
public:
    explicit MonochromeColors(HDC dc)
        : m_hDC(dc), m_clrText(SetTextColor(dc, RGB(0, 0, 0))), m_clrBackground(SetBkColor(dc, RGB(255, 255, 255)))
    {
    }
    ~MonochromeColors()
    {
        SetTextColor(m_hDC, m_clrText);
        SetBkColor(m_hDC, m_clrBackground);
    }
    MonochromeColors(const MonochromeColors&) = delete;
    MonochromeColors& operator=(const MonochromeColors&) = delete;

private:
    HDC m_hDC;
    COLORREF m_clrText, m_clrBackground;
};
}

// ---------------------------------------------------------------------------------------
// Strips

CHLMImageManagerResource::CHLMImageManagerResource(CHLMImageManager* manager, int cx, int cy)
    : m_hColorStrip(nullptr), m_hMaskStrip(nullptr), m_pBits(nullptr), m_pManager(manager), m_cx(cx), m_cy(cy),
      m_nTotalWidth(0)
{
}

CHLMImageManagerResource::~CHLMImageManagerResource()
{
    Clear();
}

BOOL CHLMImageManagerResource::IsInUse()
{
    ScopedSectionLock lock(m_lock);
    return m_arrUsed.GetSize() != 0;
}

// Makes strips `width` wide that keep the pictures of the strips there were.
BOOL CHLMImageManagerResource::CreateStrips(int width)
{
    void* bits = nullptr;
    HBITMAP color = CHLMImageManager::Create32bppDibSection(nullptr, width, m_cy, &bits);
    HBITMAP mask = CreateBitmap(width, m_cy, 1, 1, nullptr);
    if (!color || !bits || !mask)
    {
        if (color)
            DeleteObject(color);
        if (mask)
            DeleteObject(mask);
        return FALSE;
    }
    if (m_hColorStrip)
    {
        GdiFlush();
        for (int row = 0; row < m_cy; ++row)
            std::memcpy(static_cast<BYTE*>(bits) + static_cast<size_t>(row) * width * 4,
                        m_pBits + static_cast<size_t>(row) * m_nTotalWidth * 4, static_cast<size_t>(m_nTotalWidth) * 4);
        // The old mask copied bit for bit into the new one.
        CHLMCompatibleDC target(nullptr, mask);
        StripSelection source(m_dcStrip, m_hMaskStrip);
        ::BitBlt(target.GetSafeHdc(), 0, 0, m_nTotalWidth, m_cy, m_dcStrip.GetSafeHdc(), 0, 0, SRCCOPY);
    }
    if (m_hColorStrip)
        DeleteObject(m_hColorStrip);
    if (m_hMaskStrip)
        DeleteObject(m_hMaskStrip);
    m_hColorStrip = color;
    m_hMaskStrip = mask;
    m_pBits = static_cast<BYTE*>(bits);
    m_nTotalWidth = width;
    return TRUE;
}

HLM_IMAGERESOURCE_INFO* CHLMImageManagerResource::AllocImage()
{
    HLM_IMAGERESOURCE_INFO* slot = nullptr;
    if (m_arrFree.GetSize() != 0)
    {
        const INT_PTR last = m_arrFree.GetSize() - 1;
        slot = m_arrFree[last];
        m_arrFree.RemoveAt(last);
    }
    else
    {
        const int left = m_hColorStrip ? m_nTotalWidth : 0;
        if (!CreateStrips(left + m_cx))
            return nullptr;
        slot = new HLM_IMAGERESOURCE_INFO{FALSE, {left, 0, left + m_cx, m_cy}, this};
    }
    slot->bAlpha = FALSE;
    slot->pResource = this;
    m_arrUsed.Add(slot);
    return slot;
}

void CHLMImageManagerResource::CopyRowsIn(HLM_IMAGERESOURCE_INFO* slot, const BYTE* pixels)
{
    GdiFlush();
    for (int row = 0; row < m_cy; ++row)
        std::memcpy(m_pBits + (static_cast<size_t>(row) * m_nTotalWidth + slot->rc.left) * 4,
                    pixels + static_cast<size_t>(row) * m_cx * 4, static_cast<size_t>(m_cx) * 4);
}

// An icon with alpha goes in as premultiplied pixels where the common controls draw alpha
// icons; any other icon is drawn over black, its mask beside it.
BOOL CHLMImageManagerResource::AddIconPixels(HLM_IMAGERESOURCE_INFO* slot, HICON icon)
{
    ICONINFO info = {};
    if (CHLMImageManager::IsComCtlVersion6OrLater() && GetIconInfo(icon, &info))
    {
        BOOL alpha = -1;
        void* bits = nullptr;
        HBITMAP premultiplied =
            info.hbmColor ? CHLMImageManager::PremultiplyBitmap(info.hbmColor, &alpha, &bits) : nullptr;
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
        BITMAP size = {};
        const BOOL fits = premultiplied && GetObjectW(premultiplied, sizeof(size), &size) &&
                          size.bmWidth == m_cx && size.bmHeight == m_cy;
        if (alpha == TRUE && bits && fits)
        {
            CopyRowsIn(slot, static_cast<const BYTE*>(bits));
            slot->bAlpha = TRUE;
            DeleteObject(premultiplied);
            return TRUE;
        }
        if (premultiplied)
            DeleteObject(premultiplied);
    }
    const int left = slot->rc.left;
    {
        StripSelection selection(m_dcStrip, m_hColorStrip);
        m_dcStrip.FillSolidRect(left, 0, m_cx, m_cy, RGB(0, 0, 0));
        DrawIconEx(m_dcStrip.GetSafeHdc(), left, 0, icon, m_cx, m_cy, 0, nullptr, DI_NORMAL);
    }
    {
        StripSelection selection(m_dcStrip, m_hMaskStrip);
        m_dcStrip.FillSolidRect(left, 0, m_cx, m_cy, RGB(0, 0, 0));
        DrawIconEx(m_dcStrip.GetSafeHdc(), left, 0, icon, m_cx, m_cy, 0, nullptr, DI_MASK);
    }
    slot->bAlpha = FALSE;
    return TRUE;
}

HLM_IMAGERESOURCE_INFO* CHLMImageManagerResource::AddImage(CHLMImageManagerIconImage& image)
{
    ScopedSectionLock lock(m_lock);
    ASSERT(!image.GetSlot() && !image.IsEmpty());
    if (image.GetSlot() || image.IsEmpty() || image.GetExtent() != CSize(m_cx, m_cy))
        return nullptr;
    HICON icon = image.GetIcon();
    const BYTE* pixels = nullptr;
    if (!icon)
    {
        if (!image.IsAlpha())
            return nullptr;
        pixels = image.PreMultiply();
        if (!pixels || image.GetExtent() != CSize(m_cx, m_cy))
            return nullptr;
    }
    HLM_IMAGERESOURCE_INFO* slot = AllocImage();
    if (!slot)
        return nullptr;
    if (icon)
        AddIconPixels(slot, icon);
    else
    {
        CopyRowsIn(slot, pixels);
        slot->bAlpha = TRUE;
    }
    return slot;
}

void CHLMImageManagerResource::FreeImage(HLM_IMAGERESOURCE_INFO* slot)
{
    ScopedSectionLock lock(m_lock);
    for (INT_PTR i = 0; i < m_arrUsed.GetSize(); ++i)
    {
        if (m_arrUsed[i] != slot)
            continue;
        m_arrUsed.RemoveAt(i);
        m_arrFree.Add(slot);
        if (m_arrFree.GetSize() * m_cx == m_nTotalWidth)
        {
            ASSERT(m_arrUsed.GetSize() == 0);
            Clear();
        }
        return;
    }
}

void CHLMImageManagerResource::Clear()
{
    ScopedSectionLock lock(m_lock);
    for (INT_PTR i = 0; i < m_arrUsed.GetSize(); ++i)
        delete m_arrUsed[i];
    for (INT_PTR i = 0; i < m_arrFree.GetSize(); ++i)
        delete m_arrFree[i];
    m_arrUsed.RemoveAll();
    m_arrFree.RemoveAll();
    m_dcStrip.SelectBitmap(nullptr);
    if (m_hColorStrip)
        DeleteObject(m_hColorStrip);
    if (m_hMaskStrip)
        DeleteObject(m_hMaskStrip);
    m_hColorStrip = m_hMaskStrip = nullptr;
    m_nTotalWidth = 0;
    m_pBits = nullptr;
}

void CHLMImageManagerResource::CopyImage(CHLMImageManagerIconImage& image, HLM_IMAGERESOURCE_INFO* slot)
{
    ScopedSectionLock lock(m_lock);
    image.Clear();
    if (!slot || slot->pResource != this || !m_hColorStrip)
        return;
    void* bits = nullptr;
    HBITMAP section = CHLMImageManager::Create32bppDibSection(nullptr, m_cx, m_cy, &bits);
    if (!section || !bits)
    {
        if (section)
            DeleteObject(section);
        return;
    }
    GdiFlush();
    for (int row = 0; row < m_cy; ++row)
        std::memcpy(static_cast<BYTE*>(bits) + static_cast<size_t>(row) * m_cx * 4,
                    m_pBits + (static_cast<size_t>(row) * m_nTotalWidth + slot->rc.left) * 4,
                    static_cast<size_t>(m_cx) * 4);
    if (slot->bAlpha)
    {
        image.SetPremultipliedBitmap(section, static_cast<BYTE*>(bits));
        return;
    }
    HBITMAP mask = CreateBitmap(m_cx, m_cy, 1, 1, nullptr);
    if (mask)
    {
        CHLMCompatibleDC target(nullptr, mask);
        StripSelection source(m_dcStrip, m_hMaskStrip);
        ::BitBlt(target.GetSafeHdc(), 0, 0, m_cx, m_cy, m_dcStrip.GetSafeHdc(), slot->rc.left, 0, SRCCOPY);
    }
    if (mask)
    {
        ICONINFO info = {TRUE, 0, 0, mask, section};
        HICON icon = CreateIconIndirect(&info);
        if (icon)
            image.SetIcon(icon);
        DeleteObject(mask);
    }
    DeleteObject(section);
}

void CHLMImageManagerResource::Draw(CDC* dc, HLM_IMAGERESOURCE_INFO* slot, int x, int y, int cx, int cy,
                                    BOOL composited)
{
    ScopedSectionLock lock(m_lock);
    if (!slot || slot->pResource != this || !m_hColorStrip)
        return;
    const int left = slot->rc.left;
    if (slot->bAlpha)
    {
        StripSelection selection(m_dcStrip, m_hColorStrip);
        CHLMImageManager::GetInstance().AlphaBlend(dc, CRect(x, y, x + cx, y + cy), &m_dcStrip,
                                                   CRect(left, 0, left + m_cx, m_cy));
        return;
    }
    if (composited)
    {
        DrawComposited(dc, slot, x, y, cx, cy);
        return;
    }
    if (m_pManager && m_pManager->IsDrawMirrored(dc))
    {
        x += cx;
        cx = -cx;
    }
    HDC target = dc->GetSafeHdc();
    MonochromeColors colors(target);
    {
        StripSelection selection(m_dcStrip, m_hMaskStrip);
        m_dcStrip.SetTextColor(RGB(0, 0, 0));
        m_dcStrip.SetBkColor(RGB(255, 255, 255));
        ::StretchBlt(target, x, y, cx, cy, m_dcStrip.GetSafeHdc(), left, 0, m_cx, m_cy, SRCAND);
    }
    StripSelection selection(m_dcStrip, m_hColorStrip);
    ::StretchBlt(target, x, y, cx, cy, m_dcStrip.GetSafeHdc(), left, 0, m_cx, m_cy, SRCINVERT);
}

void CHLMImageManagerResource::DrawComposited(CDC* dc, HLM_IMAGERESOURCE_INFO* slot, int x, int y, int cx, int cy)
{
    ScopedSectionLock lock(m_lock);
    if (cx <= 0 || cy <= 0)
        return;
    void* bits = nullptr;
    HBITMAP section = CHLMImageManager::Create32bppDibSection(dc->GetSafeHdc(), cx, cy, &bits);
    if (!section || !bits)
    {
        if (section)
            DeleteObject(section);
        return;
    }
    const int left = slot->rc.left;
    {
        CHLMCompatibleDC composite(&m_dcStrip, section);
        composite.SetBkColor(RGB(255, 255, 255));
        composite.SetTextColor(RGB(0, 0, 0));
        {
            StripSelection selection(m_dcStrip, m_hMaskStrip);
            composite.StretchBlt(0, 0, cx, cy, &m_dcStrip, left, 0, m_cx, m_cy, SRCCOPY);
        }
        // Transparent pixels came out white, opaque ones black: black becomes opaque.
        GdiFlush();
        DWORD* pixel = static_cast<DWORD*>(bits);
        for (int i = 0; i < cx * cy; ++i)
            pixel[i] = (pixel[i] & 0x00FFFFFF) == 0 ? 0xFF000000 : 0;
        StripSelection selection(m_dcStrip, m_hColorStrip);
        composite.StretchBlt(0, 0, cx, cy, &m_dcStrip, left, 0, m_cx, m_cy, SRCINVERT);
        CHLMImageManager::GetInstance().AlphaBlend(dc, CRect(x, y, x + cx, y + cy), &composite,
                                                   CRect(0, 0, cx, cy));
    }
    DeleteObject(section);
}

// ---------------------------------------------------------------------------------------
// The manager's strips

CHLMImageManagerResource* CHLMImageManager::GetImageResource(int cx, int cy)
{
    const DWORD key = MAKELONG(cx, cy);
    CHLMImageManagerResource* resource = nullptr;
    if (!m_mapResources.Lookup(key, resource))
    {
        resource = new CHLMImageManagerResource(this, cx, cy);
        m_mapResources.SetAt(key, resource);
    }
    return resource;
}

BOOL CHLMImageManager::IsDrawMirrored(CDC* dc) const
{
    if (m_nMirrorMode == 1)
        return TRUE;
    return m_nMirrorMode == 2 && CHLMDrawHelpers::IsDcMirrored(dc);
}

BOOL CHLMImageManager::IsComCtlVersion6OrLater()
{
    return GetComCtlVersion() > 0x5FFFF;
}

// ---------------------------------------------------------------------------------------
// Image lists

CHLMImageManagerImageList::CHLMImageManagerImageList(HIMAGELIST imageList, BOOL destroy, UINT firstId,
                                                     CHLMImageManager* manager)
    : m_hImageList(imageList), m_bDestroy(destroy), m_nFirstId(firstId), m_pManager(manager)
{
}

CHLMImageManagerImageList::~CHLMImageManagerImageList()
{
    if (m_hImageList && m_bDestroy)
        ImageList_Destroy(m_hImageList);
    RemoveAll();
}

void CHLMImageManagerImageList::RemoveAll()
{
    POSITION position = m_mapIcons.GetStartPosition();
    while (position)
    {
        UINT id = 0;
        CHLMImageManagerIcon* icon = nullptr;
        m_mapIcons.GetNextAssoc(position, id, icon);
        icon->InternalRelease();
    }
    m_mapIcons.RemoveAll();
}

BOOL CHLMImageManagerImageList::ContainsId(UINT id) const
{
    if (!m_hImageList || id < m_nFirstId)
        return FALSE;
    const int count = ImageList_GetImageCount(m_hImageList);
    return count > 0 && id - m_nFirstId < static_cast<UINT>(count);
}

CSize CHLMImageManagerImageList::GetIconSize() const
{
    int cx = 0, cy = 0;
    VERIFY(ImageList_GetIconSize(m_hImageList, &cx, &cy));
    return CSize(cx, cy);
}

CHLMImageManagerIcon* CHLMImageManagerImageList::GetIcon(UINT id)
{
    if (!ContainsId(id))
        return nullptr;
    CHLMImageManagerIcon* icon = nullptr;
    if (!m_mapIcons.Lookup(id, icon))
    {
        const CSize size = GetIconSize();
        icon = new CHLMImageManagerIcon(id, size.cx, size.cy, this);
        m_mapIcons.SetAt(id, icon);
    }
    return icon;
}

void CHLMImageManagerImageList::Draw(CDC* dc, CPoint point, CHLMImageManagerIcon* icon, CSize size)
{
    ImageList_DrawEx(m_hImageList, static_cast<int>(icon->GetID() - m_nFirstId), dc->GetSafeHdc(), point.x, point.y,
                     size.cx, size.cy, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
}
