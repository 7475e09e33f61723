#include "hlmskinimage.h"

#include "hlmskinmanagerresource.h"
#include "common/hlmimagemanager.h"

CHLMSkinImage::CHLMSkinImage(BOOL premultiply)
    : m_bPremultiply(premultiply), m_hBitmap(NULL), m_bAlpha(FALSE), m_szExtent(0, 0)
{
}

CHLMSkinImage::~CHLMSkinImage()
{
    if (m_hBitmap != NULL)
        DeleteObject(m_hBitmap);
}

BOOL CHLMSkinImage::LoadFile(LPCWSTR path)
{
    BOOL alpha = FALSE;
    return Adopt(CHLMImageManager::ReadBitmapFile(path, &alpha), alpha);
}

BOOL CHLMSkinImage::LoadResource(HMODULE module, LPCWSTR resourceName)
{
    if (module == NULL)
        return FALSE;
    BOOL alpha = FALSE;
    return Adopt(CHLMImageManager::ReadBitmapResource(module, resourceName, &alpha), alpha);
}

BOOL CHLMSkinImage::Adopt(HBITMAP bitmap, BOOL alpha)
{
    m_bAlpha = FALSE;
    if (bitmap == NULL)
        return FALSE;
    if (alpha && m_bPremultiply)
    {
        BOOL carriesAlpha = FALSE;
        HBITMAP premultiplied = CHLMImageManager::PremultiplyBitmap(bitmap, &carriesAlpha, nullptr);
        if (premultiplied != NULL)
        {
            DeleteObject(bitmap);
            bitmap = premultiplied;
            alpha = carriesAlpha;
        }
    }
    if (m_hBitmap != NULL)
        DeleteObject(m_hBitmap);
    m_hBitmap = bitmap;
    m_bAlpha = alpha;
    BITMAP info = {};
    GetObjectW(m_hBitmap, sizeof(info), &info);
    m_szExtent = CSize(info.bmWidth, info.bmHeight);
    return TRUE;
}

// ---------------------------------------------------------------------------------------

CHLMSkinImageCache::CHLMSkinImageCache()
    : m_images(10)
{
}

CHLMSkinImageCache::~CHLMSkinImageCache()
{
    RemoveAll();
}

CHLMSkinImage* CHLMSkinImageCache::LoadFile(CHLMSkinManagerResourceFile* file, LPCWSTR name)
{
    if (file == nullptr || name == nullptr)
        return nullptr;
    void* cached = nullptr;
    if (m_images.Lookup(name, cached))
        return static_cast<CHLMSkinImage*>(cached);
    CHLMSkinImage* image = file->LoadImage(name);
    if (image != nullptr)
        m_images.SetAt(name, image);
    return image;
}

CSize CHLMSkinImageCache::GetExtent(CHLMSkinManagerResourceFile* file, LPCWSTR name)
{
    CHLMSkinImage* image = LoadFile(file, name);
    return image != nullptr ? image->GetExtent() : CSize(0, 0);
}

void CHLMSkinImageCache::RemoveAll()
{
    POSITION position = m_images.GetStartPosition();
    while (position != NULL)
    {
        CString name;
        void* image = nullptr;
        m_images.GetNextAssoc(position, name, image);
        delete static_cast<CHLMSkinImage*>(image);
    }
    m_images.RemoveAll();
}
