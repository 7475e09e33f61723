// One bitmap of the skin, drawn stretched or tiled by sizing margins, and the images of one
// skin class by file name.
#pragma once

#include <afxwin.h>
#include <afxcoll.h>
#include <afxtempl.h>

#include <vector>

class CHLMSkinManagerResourceFile;

class CHLMSkinImage
{
public:
    // A rectangle of the bitmap (y downwards) whose pixels all have one value; the colour
    // keeps the alpha byte of an alpha image in its high byte.
    struct SOLIDRECT
    {
        RECT rc;
        COLORREF clr;
    };

    // How a band of the source covers its destination.
    enum TileFlags
    {
        TileStretch = 0,
        TileVertical = 1,
        TileHorizontal = 2
    };

    // premultiply: whether a bitmap with alpha is premultiplied when it is loaded (the
    // schema's choice).
    explicit CHLMSkinImage(BOOL premultiply = TRUE);
    virtual ~CHLMSkinImage();

    CHLMSkinImage(const CHLMSkinImage&) = delete;
    CHLMSkinImage& operator=(const CHLMSkinImage&) = delete;

    BOOL LoadFile(LPCWSTR path);
    BOOL LoadResource(HMODULE module, LPCWSTR resourceName);
    // Adopts a bitmap; the solid rectangles are found again at the next background draw.
    void SetBitmap(HBITMAP bitmap, BOOL alpha);

    // Each margin held to [0, the source's side]: no sum of two overflows, no band leaves it.
    static RECT ClampMargins(const RECT& margins, const RECT& source);

    CSize GetExtent() const { return m_szExtent; }
    int GetWidth() const { return m_szExtent.cx; }
    int GetHeight() const { return m_szExtent.cy; }
    BOOL IsAlphaImage() const { return m_bAlpha; }
    HBITMAP GetBitmap() const { return m_hBitmap; }
    // The index-th of count equal horizontal bands of the bitmap.
    CRect GetSource(int index, int count) const;

    // Whether an alpha image may be flipped for a right-to-left destination.
    void SetMirrorAllowed(BOOL allowed) { m_bMirrorAllowed = allowed; }
    BOOL IsMirrored() const { return m_bMirrored; }
    BOOL IsFiltered() const { return m_bFiltered; }

    // Finds the single-colour bands of each frame once, so that drawing them is a fill.
    void CreateSolidRectArray(int frameCount, BOOL horizontal, const RECT& margins);
    const CArray<SOLIDRECT, SOLIDRECT&>& GetSolidRects() const { return m_arrSolidRects; }

    // Draws the source rectangle into the destination by sizing margins (widths of the left,
    // top, right and bottom bands). transparent is the key colour or -1; sizing type 2 tiles,
    // anything else stretches; borderOnly leaves the centre undrawn.
    void DrawImage(CDC* dc, const RECT& destination, const RECT& source, const RECT& margins,
                   COLORREF transparent, int sizingType, BOOL borderOnly);

private:
    BOOL Adopt(HBITMAP bitmap, BOOL alpha);
    void CheckSolidRect(const DWORD* pixels, const RECT& rect, int width, int height);
    const SOLIDRECT* FindSolidRect(const RECT& source) const;
    // A solid source is drawn as a fill; TRUE when nothing more is to be drawn.
    // keyed: a non-alpha colour equal to transparent is left undrawn.
    BOOL DrawSolid(CDC* dc, const RECT& destination, const RECT& source, BOOL keyed, COLORREF transparent);
    void FilterImage(COLORREF transparent);
    void MirrorBitmap();
    void DrawSizingImage(CDC* dc, const RECT& destination, const RECT& source, const RECT& margins,
                         int sizingType, BOOL borderOnly);
    void DrawImageTile(CDC* dc, const RECT& destination, CDC* sourceDC, const RECT& source, int flags);
    void DrawImagePart(CDC* dc, const RECT& destination, CDC* sourceDC, const RECT& source);
    // The bitmap's pixels as 32-bit values, bottom-up; FALSE when they cannot be had.
    BOOL ReadPixels(std::vector<DWORD>& pixels);

    BOOL m_bPremultiply;
    BOOL m_bMirrorAllowed;
    HBITMAP m_hBitmap;
    BOOL m_bAlpha;
    BOOL m_bFiltered;
    BOOL m_bMirrored;
    BOOL m_bSolidRectsComputed;
    CSize m_szExtent;
    CArray<SOLIDRECT, SOLIDRECT&> m_arrSolidRects;
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
    CMapStringToPtr m_mapImages;
};
