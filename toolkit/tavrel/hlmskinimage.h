// One bitmap of the skin, and the images of one skin class by file name.
#pragma once

#include <afxwin.h>
#include <afxcoll.h>

class CHLMSkinManagerResourceFile;

// The drawing of an image by sizing margins grows here with the skin objects that use it.
class CHLMSkinImage
{
public:
    // premultiply: whether a bitmap with alpha is premultiplied when it is loaded (the
    // schema's choice).
    explicit CHLMSkinImage(BOOL premultiply = TRUE);
    virtual ~CHLMSkinImage();

    CHLMSkinImage(const CHLMSkinImage&) = delete;
    CHLMSkinImage& operator=(const CHLMSkinImage&) = delete;

    BOOL LoadFile(LPCWSTR path);
    BOOL LoadResource(HMODULE module, LPCWSTR resourceName);

    CSize GetExtent() const { return m_szExtent; }
    int GetWidth() const { return m_szExtent.cx; }
    int GetHeight() const { return m_szExtent.cy; }
    BOOL IsAlphaImage() const { return m_bAlpha; }
    HBITMAP GetBitmap() const { return m_hBitmap; }

private:
    BOOL Adopt(HBITMAP bitmap, BOOL alpha);

    BOOL m_bPremultiply;
    HBITMAP m_hBitmap;
    BOOL m_bAlpha;
    CSize m_szExtent;
};

class CHLMSkinImageCache
{
public:
    CHLMSkinImageCache();
    virtual ~CHLMSkinImageCache();

    CHLMSkinImageCache(const CHLMSkinImageCache&) = delete;
    CHLMSkinImageCache& operator=(const CHLMSkinImageCache&) = delete;

    // The image of that name, loaded through the skin file on first use; null when it cannot
    // be loaded (the next request tries again).
    CHLMSkinImage* LoadFile(CHLMSkinManagerResourceFile* file, LPCWSTR name);
    // Its extent, or (0, 0) when there is no such image.
    CSize GetExtent(CHLMSkinManagerResourceFile* file, LPCWSTR name);
    void RemoveAll();

private:
    CMapStringToPtr m_images;
};
