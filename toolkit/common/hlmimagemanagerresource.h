// The icon store's lower services: shared image strips (one 32-bit colour strip and one
// monochrome mask strip per icon size, in which many pictures of that size live side by
// side in columns) and the wrapper that lets a system image list serve a range of command
// ids as icons.
#pragma once

#include <afxcmn.h>
#include <afxtempl.h>

#include "common/hlmsystemhelpers.h"

class CHLMImageManager;
class CHLMImageManagerIcon;
class CHLMImageManagerIconImage;
class CHLMImageManagerResource;

// One column of a strip: the place of one picture.
struct HLM_IMAGERESOURCE_INFO
{
    // TRUE: premultiplied 32-bit pixels (the mask column plays no part); FALSE: an icon drawn
    // over black, with its mask in the mask column.
    BOOL bAlpha;
    RECT rc;
    CHLMImageManagerResource* pResource;
};

class CHLMImageManagerResource
{
public:
    // A memory DC compatible with the screen into which one strip at a time is selected.
    class CBitmapDC : public CDC
    {
    public:
        CBitmapDC();
        ~CBitmapDC() override;
        // A bitmap is selected and the earlier one remembered; null puts the earlier one back.
        void SelectBitmap(HBITMAP bitmap);

    private:
        HGDIOBJ m_hPrevious;
    };

    CHLMImageManagerResource(CHLMImageManager* manager, int cx, int cy);
    ~CHLMImageManagerResource();
    CHLMImageManagerResource(const CHLMImageManagerResource&) = delete;
    CHLMImageManagerResource& operator=(const CHLMImageManagerResource&) = delete;

    // Takes a copy of the picture into a column; null when the picture does not fit. An
    // alpha image is premultiplied in place first.
    HLM_IMAGERESOURCE_INFO* AddImage(CHLMImageManagerIconImage& image);
    void FreeImage(HLM_IMAGERESOURCE_INFO* slot);
    // The column's picture as an image of its own (an alpha bitmap or an icon).
    void CopyImage(CHLMImageManagerIconImage& image, HLM_IMAGERESOURCE_INFO* slot);
    void Draw(CDC* dc, HLM_IMAGERESOURCE_INFO* slot, int x, int y, int cx, int cy, BOOL composited);
    void DrawComposited(CDC* dc, HLM_IMAGERESOURCE_INFO* slot, int x, int y, int cx, int cy);
    CSize GetExtent() const { return CSize(m_cx, m_cy); }
    void Clear();

    // The state of the strips, for callers that watch their growth.
    HBITMAP GetColorStrip() const { return m_hColorStrip; }
    HBITMAP GetMaskStrip() const { return m_hMaskStrip; }
    int GetTotalWidth() const { return m_nTotalWidth; }
    BOOL IsInUse();

protected:
    // Called with the lock held.
    HLM_IMAGERESOURCE_INFO* AllocImage();

private:
    BOOL CreateStrips(int width);
    BOOL AddIconPixels(HLM_IMAGERESOURCE_INFO* slot, HICON icon);
    void CopyRowsIn(HLM_IMAGERESOURCE_INFO* slot, const BYTE* pixels);

    HBITMAP m_hColorStrip;
    HBITMAP m_hMaskStrip;
    CBitmapDC m_dcStrip;
    BYTE* m_pBits;
    CHLMImageManager* m_pManager;
    int m_cx;
    int m_cy;
    int m_nTotalWidth;
    CArray<HLM_IMAGERESOURCE_INFO*, HLM_IMAGERESOURCE_INFO*> m_arrUsed;
    CArray<HLM_IMAGERESOURCE_INFO*, HLM_IMAGERESOURCE_INFO*> m_arrFree;
    SyncSection m_lock;
};

// A system image list serving the command ids from its first id on, image by image.
class CHLMImageManagerImageList
{
public:
    CHLMImageManagerImageList(HIMAGELIST imageList, BOOL destroy, UINT firstId, CHLMImageManager* manager);
    ~CHLMImageManagerImageList();
    CHLMImageManagerImageList(const CHLMImageManagerImageList&) = delete;
    CHLMImageManagerImageList& operator=(const CHLMImageManagerImageList&) = delete;

    void RemoveAll();
    BOOL ContainsId(UINT id) const;
    CSize GetIconSize() const;
    // The icon of a served id, made on first use; null for an id outside the range.
    CHLMImageManagerIcon* GetIcon(UINT id);
    void Draw(CDC* dc, CPoint point, CHLMImageManagerIcon* icon, CSize size);

    HIMAGELIST GetImageList() const { return m_hImageList; }
    UINT GetFirstId() const { return m_nFirstId; }

private:
    HIMAGELIST m_hImageList;
    BOOL m_bDestroy;
    UINT m_nFirstId;
    CHLMImageManager* m_pManager;
    CMap<UINT, UINT, CHLMImageManagerIcon*, CHLMImageManagerIcon*> m_mapIcons;
};
