// The image manager's icon store: icon sets by command id, image lists serving id ranges,
// shared strips, and the ways pictures are added from bitmaps, toolbars, image lists, icon
// resources and other managers.
#include "common/hlmimagemanager.h"

#include "common/hlmimagemanagericon.h"
#include "common/hlmimagemanagerresource.h"

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
const UINT kIconSetBuckets = 127;
const WORD kToolBarVersion = 1;

// The ids of a toolbar resource, freed with the object.
struct ToolBarIds
{
    UINT* pIds = nullptr;
    int nCount = 0;
    CSize szImage;
    ~ToolBarIds() { delete[] pIds; }
};

// A bitmap handle deleted with the object.
struct OwnedBitmap
{
    HBITMAP hBitmap;
    ~OwnedBitmap()
    {
        if (hBitmap)
            DeleteObject(hBitmap);
    }
};
}

CHLMImageManager::CHLMImageManager()
{
    m_mapIconSets.InitHashTable(kIconSetBuckets, FALSE);
}

CHLMImageManager::~CHLMImageManager()
{
    ClearAll();
}

COLORREF CHLMImageManager::SetMaskColor(COLORREF mask)
{
    const COLORREF previous = m_clrMask;
    m_clrMask = mask;
    return previous;
}

// ---------------------------------------------------------------------------------------
// Looking up

CHLMImageManagerIconSet* CHLMImageManager::GetIconSet(UINT id) const
{
    CHLMImageManagerIconSet* iconSet = nullptr;
    return m_mapIconSets.Lookup(id, iconSet) ? iconSet : nullptr;
}

CHLMImageManagerImageList* CHLMImageManager::GetImageList(UINT id) const
{
    for (INT_PTR i = 0; i < m_arrImageLists.GetSize(); ++i)
        if (m_arrImageLists[i]->ContainsId(id))
            return m_arrImageLists[i];
    return nullptr;
}

BOOL CHLMImageManager::HasIcon(UINT id) const
{
    const CHLMImageManagerIconSet* iconSet = GetIconSet(id);
    return (iconSet && !iconSet->IsEmpty()) || GetImageList(id);
}

BOOL CHLMImageManager::HasIcon(UINT id, int width) const
{
    const CHLMImageManagerIconSet* iconSet = GetIconSet(id);
    if (iconSet && iconSet->FindIconByWidth(static_cast<UINT>(width), FALSE))
        return TRUE;
    const CHLMImageManagerImageList* imageList = GetImageList(id);
    return imageList && (width == 0 || width == imageList->GetIconSize().cx);
}

CHLMImageManagerIcon* CHLMImageManager::GetImage(UINT id, int width) const
{
    if (const CHLMImageManagerIconSet* iconSet = GetIconSet(id))
        return iconSet->FindIconByWidth(static_cast<UINT>(width), TRUE);
    CHLMImageManagerImageList* imageList = GetImageList(id);
    return imageList ? imageList->GetIcon(id) : nullptr;
}

// ---------------------------------------------------------------------------------------
// Removing

void CHLMImageManager::RemoveIcon(UINT id)
{
    CHLMImageManagerIconSet* iconSet = GetIconSet(id);
    if (!iconSet)
        return;
    m_mapIconSets.RemoveKey(id);
    iconSet->RemoveAll();
    iconSet->InternalRelease();
}

void CHLMImageManager::ClearAll()
{
    POSITION position = m_mapIconSets.GetStartPosition();
    while (position)
    {
        UINT id = 0;
        CHLMImageManagerIconSet* iconSet = nullptr;
        m_mapIconSets.GetNextAssoc(position, id, iconSet);
        iconSet->RemoveAll();
        iconSet->InternalRelease();
    }
    m_mapIconSets.RemoveAll();

    // A strip whose columns are still held by images outside the store stays, so that
    // those images never point into a deleted strip.
    position = m_mapResources.GetStartPosition();
    while (position)
    {
        DWORD key = 0;
        CHLMImageManagerResource* resource = nullptr;
        m_mapResources.GetNextAssoc(position, key, resource);
        if (resource->IsInUse())
            continue;
        m_mapResources.RemoveKey(key);
        delete resource;
    }

    for (INT_PTR i = 0; i < m_arrImageLists.GetSize(); ++i)
        delete m_arrImageLists[i];
    m_arrImageLists.RemoveAll();
}

void CHLMImageManager::RefreshAll()
{
    POSITION position = m_mapIconSets.GetStartPosition();
    while (position)
    {
        UINT id = 0;
        CHLMImageManagerIconSet* iconSet = nullptr;
        m_mapIconSets.GetNextAssoc(position, id, iconSet);
        iconSet->ClearDerivedImages();
    }
    for (INT_PTR i = 0; i < m_arrImageLists.GetSize(); ++i)
        m_arrImageLists[i]->RemoveAll();
}

// ---------------------------------------------------------------------------------------
// Adding pictures

CHLMImageManagerIconSet* CHLMImageManager::CreateIconSet(UINT id)
{
    CHLMImageManagerIconSet* iconSet = new CHLMImageManagerIconSet(id, this);
    m_mapIconSets.SetAt(id, iconSet);
    return iconSet;
}

BOOL CHLMImageManager::SetIcon(const CHLMImageManagerIconImage& image, UINT id, CSize size, int state)
{
    if (image.IsEmpty())
        return FALSE;
    if (size == CSize(0, 0))
        size = image.GetExtent();
    // The width is the set's key: it must be the icon's own width.
    if (size == CSize(0, 0) || size != image.GetExtent())
        return FALSE;
    const UINT width = static_cast<UINT>(size.cx);
    CHLMImageManagerIconSet* iconSet = GetIconSet(id);
    if (!iconSet)
    {
        if (state != kHLMImageStateNormal)
            return FALSE;
        CreateIconSet(id)->SetIcon(image, width);
        return TRUE;
    }
    switch (state)
    {
    case kHLMImageStateNormal:
        iconSet->SetIcon(image, width);
        break;
    case kHLMImageStateDisabled:
        iconSet->SetDisabledIcon(image, width);
        break;
    case kHLMImageState2:
        iconSet->SetState2Icon(image, width);
        break;
    case kHLMImageState3:
        iconSet->SetState3Icon(image, width);
        break;
    case kHLMImageState4:
        iconSet->SetState4Icon(image, width);
        break;
    default:
        break;
    }
    return TRUE;
}

BOOL CHLMImageManager::SetIcon(LPCTSTR resource, UINT id, CSize size, int state)
{
    HMODULE module = AfxGetResourceHandle();
    DWORD length = 0;
    const BYTE* directory = ResourceBytes(module, resource, RT_GROUP_ICON, length);
    if (!directory)
    {
        CHLMImageManagerIconImage image;
        return image.CreateFromResource(resource, size.cx, size.cy, FALSE) && SetIcon(image, id, size, state);
    }
    if (length < 6)
        return FALSE;
    WORD count = 0;
    std::memcpy(&count, directory + 4, sizeof(count));
    const DWORD entrySize = 14;
    // Entries past the end of the directory's data are not read.
    const DWORD entries = std::min<DWORD>(count, (length - 6) / entrySize);
    for (DWORD i = 0; i < entries; ++i)
    {
        const BYTE* entry = directory + 6 + i * entrySize;
        const CSize entryExtent(entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256);
        WORD pictureId = 0;
        std::memcpy(&pictureId, entry + 12, sizeof(pictureId));
        if (size != CSize(0, 0) && size != entryExtent)
            continue;
        CHLMImageManagerIconImage image;
        if (!image.CreateFromResource(module, MAKEINTRESOURCE(pictureId), entryExtent.cx, entryExtent.cy, FALSE) ||
            !SetIcon(image, id, entryExtent, state))
            return FALSE;
    }
    return TRUE;
}

BOOL CHLMImageManager::SetIcon(UINT resourceId, UINT id, CSize size, int state)
{
    return SetIcon(MAKEINTRESOURCE(resourceId), id, size, state);
}

BOOL CHLMImageManager::SetIcons(CBitmap* bitmap, const UINT* ids, int count, CSize size, int state, BOOL alpha)
{
    BITMAP info = {};
    if (!bitmap || !bitmap->GetSafeHandle() || !GetObjectW(bitmap->GetSafeHandle(), sizeof(info), &info))
        return FALSE;
    if (size == CSize(0, 0) && count >= 1)
        size = CSize(info.bmWidth / count, std::abs(info.bmHeight));
    if (count == 0 && size.cx >= 1)
        count = info.bmWidth / size.cx;
    if (size.cx <= 0)
        return FALSE;
    if (!alpha)
    {
        CImageList list;
        if (!list.Create(size.cx, size.cy, ILC_COLOR24 | ILC_MASK, 0, 1))
            return FALSE;
        const COLORREF mask = m_clrMask != CLR_NONE ? m_clrMask : GetBitmapPixel(bitmap, 0, 0);
        list.Add(bitmap, mask);
        return SetIcons(&list, ids, count, size, state);
    }
    if (info.bmWidth % size.cx != 0)
        return FALSE;
    const int partCount = info.bmWidth / size.cx;
    std::vector<HBITMAP> parts(partCount);
    if (!SplitBitmap(static_cast<HBITMAP>(bitmap->GetSafeHandle()), partCount, parts.data()))
        return FALSE;
    BOOL result = TRUE;
    const bool onePicturePerEntry = partCount == count;
    for (int i = 0, part = 0; i < count && part < partCount; ++i)
    {
        if (ids && ids[i] == 0)
        {
            // A separator takes the picture only when every entry has one; it never gets a set.
            if (onePicturePerEntry)
                ++part;
            continue;
        }
        const CHLMImageManagerIconImage image(parts[part++]);
        if (!SetIcon(image, ids ? ids[i] : static_cast<UINT>(i), size, state))
            result = FALSE;
    }
    for (HBITMAP part : parts)
        DeleteObject(part);
    return result;
}

BOOL CHLMImageManager::SetIcons(CImageList* imageList, const UINT* ids, int count, CSize size, int state)
{
    if (!imageList || !imageList->GetSafeHandle())
        return FALSE;
    if (count == 0 && !ids)
        count = imageList->GetImageCount();
    IMAGEINFO info = {};
    if (size == CSize(0, 0) && count > 0 && imageList->GetImageInfo(0, &info))
        size = CRect(info.rcImage).Size();
    const bool onePicturePerEntry = imageList->GetImageCount() == count;
    for (int i = 0, picture = 0; i < count; ++i)
    {
        const bool separator = ids && ids[i] == 0;
        if (separator && !onePicturePerEntry)
            continue;
        HICON icon = imageList->ExtractIcon(picture++);
        if (!icon)
            return FALSE;
        // A separator consumes its picture but never makes a set of id 0.
        BOOL added = TRUE;
        if (!separator)
        {
            const CHLMImageManagerIconImage image(icon, TRUE);
            added = SetIcon(image, ids ? ids[i] : static_cast<UINT>(i), size, state);
        }
        DestroyIcon(icon);
        if (!added)
            return FALSE;
    }
    return TRUE;
}

BOOL CHLMImageManager::SetIcons(UINT bitmapId, const UINT* ids, int count, CSize size, int state)
{
    BOOL alpha = FALSE;
    OwnedBitmap bitmap{ReadBitmapResource(MAKEINTRESOURCE(bitmapId), &alpha)};
    if (!bitmap.hBitmap)
        return FALSE;
    return SetIcons(CBitmap::FromHandle(bitmap.hBitmap), ids, count, size, state, alpha);
}

BOOL CHLMImageManager::SetIcons(UINT toolbarId, CBitmap* bitmap, int state)
{
    ToolBarIds toolbar;
    return ReadToolBarResource(toolbarId, &toolbar.pIds, &toolbar.nCount, &toolbar.szImage) &&
           SetIcons(bitmap, toolbar.pIds, toolbar.nCount, toolbar.szImage, state, FALSE);
}

BOOL CHLMImageManager::SetIcons(UINT toolbarId, UINT bitmapId, int state)
{
    ToolBarIds toolbar;
    return ReadToolBarResource(toolbarId, &toolbar.pIds, &toolbar.nCount, &toolbar.szImage) &&
           SetIcons(bitmapId, toolbar.pIds, toolbar.nCount, CSize(0, 0), state);
}

BOOL CHLMImageManager::SetIcons(UINT id, int state)
{
    return SetIcons(id, id, state);
}

BOOL CHLMImageManager::SetIcons(UINT toolbarId, CImageList* imageList, int state)
{
    ToolBarIds toolbar;
    return ReadToolBarResource(toolbarId, &toolbar.pIds, &toolbar.nCount, &toolbar.szImage) &&
           SetIcons(imageList, toolbar.pIds, toolbar.nCount, toolbar.szImage, state);
}

BOOL CHLMImageManager::ReadToolBarResource(UINT toolbarId, UINT** ids, int* count, CSize* size)
{
    ASSERT(toolbarId != 0);
    if (toolbarId == 0 || !ids || !count || !size)
        return FALSE;
    DWORD length = 0;
    const BYTE* bytes = ResourceBytes(AfxGetResourceHandle(), MAKEINTRESOURCE(toolbarId), RT_TOOLBAR, length);
    const DWORD kHeaderSize = 4 * sizeof(WORD);
    if (!bytes || length < kHeaderSize)
        return FALSE;
    WORD header[4];
    std::memcpy(header, bytes, sizeof(header));
    const WORD itemCount = header[3];
    // The version and the item count are checked before a single item is read.
    if (header[0] != kToolBarVersion || static_cast<ULONGLONG>(length) < kHeaderSize + 2ull * itemCount)
        return FALSE;
    *ids = new UINT[itemCount ? itemCount : 1];
    *count = 0;
    for (WORD i = 0; i < itemCount; ++i)
    {
        WORD item = 0;
        std::memcpy(&item, bytes + kHeaderSize + i * sizeof(WORD), sizeof(item));
        if (item != 0)
            (*ids)[(*count)++] = item;
    }
    *size = CSize(header[1], header[2]);
    return TRUE;
}

UINT CHLMImageManager::NextCustomId()
{
    // Saturates: wrapping round would hand out 0 and then the ids of earlier pictures.
    if (m_nLastCustomId < UINT_MAX)
        ++m_nLastCustomId;
    return m_nLastCustomId;
}

UINT CHLMImageManager::AddCustomIcon(const CHLMImageManagerIconImage& image)
{
    if (image.IsEmpty())
        return 0;
    const UINT id = NextCustomId();
    return SetIcon(image, id, CSize(0, 0), kHLMImageStateNormal) ? id : 0;
}

BOOL CHLMImageManager::AddImageList(HIMAGELIST imageList, UINT firstId, BOOL destroy)
{
    if (!imageList)
        return FALSE;
    m_arrImageLists.Add(new CHLMImageManagerImageList(imageList, destroy, firstId, this));
    return TRUE;
}

BOOL CHLMImageManager::AddImageList(UINT bitmapId, int imageWidth, UINT firstId, COLORREF mask)
{
    BOOL alpha = FALSE;
    OwnedBitmap bitmap{ReadBitmapResource(MAKEINTRESOURCE(bitmapId), &alpha)};
    BITMAP info = {};
    if (!bitmap.hBitmap || !GetObjectW(bitmap.hBitmap, sizeof(info), &info) || info.bmWidth <= 0)
        return FALSE;
    if (imageWidth == 0)
        imageWidth = info.bmWidth;
    if (imageWidth <= 0 || info.bmWidth % imageWidth != 0)
        return FALSE;
    const UINT flags = (alpha ? ILC_COLOR32 : ILC_COLOR24) | (mask != CLR_NONE ? ILC_MASK : 0);
    HIMAGELIST list = ImageList_Create(imageWidth, std::abs(info.bmHeight), flags, 0, 1);
    if (!list)
        return FALSE;
    if (alpha || mask == CLR_NONE)
        ImageList_Add(list, bitmap.hBitmap, nullptr);
    else
        ImageList_AddMasked(list, bitmap.hBitmap, mask);
    return AddImageList(list, firstId, TRUE);
}

void CHLMImageManager::MergeIcons(CHLMImageManager* other)
{
    if (!other || other == this)
        return;
    POSITION position = other->m_mapIconSets.GetStartPosition();
    while (position)
    {
        UINT id = 0;
        CHLMImageManagerIconSet* iconSet = nullptr;
        other->m_mapIconSets.GetNextAssoc(position, id, iconSet);
        MergeIconSet(iconSet);
    }
}

void CHLMImageManager::MergeIconSet(CHLMImageManagerIconSet* iconSet)
{
    if (!iconSet)
        return;
    const UINT id = iconSet->GetID();
    CHLMImageManagerIconSet* target = GetIconSet(id);
    if (target == iconSet)
        return;
    if (!target)
        target = CreateIconSet(id);
    POSITION position = iconSet->GetStartPosition();
    while (position)
    {
        UINT width = 0;
        CHLMImageManagerIcon* icon = nullptr;
        iconSet->GetNextIcon(position, width, icon);
        CHLMImageManagerIcon* here = target->LookupIcon(width);
        if (!here)
        {
            // Icons made by a merge belong to no set: their images use no strips.
            here = new CHLMImageManagerIcon(id, static_cast<int>(width), icon->GetHeight(),
                                            static_cast<CHLMImageManagerIconSet*>(nullptr));
            target->AddIcon(width, here);
        }
        here->Copy(*icon);
    }
}

BOOL CHLMImageManager::IsPngResource(UINT id)
{
    return IsPngResource(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
}

BOOL CHLMImageManager::IsBitmapResource32bpp(UINT id)
{
    return IsBitmapResource32bpp(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
}
