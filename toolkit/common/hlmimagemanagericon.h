// The icon store's pictures: one picture (an icon, a 32-bit alpha bitmap or a column of a
// shared strip), the pictures of one command id at one width in their image states with
// the faded, shadow and disabled images derived on demand, and the icons of one command id
// by width.
#pragma once

#include <afxwin.h>
#include <afxtempl.h>

#include <vector>

#include "common/hlmimagemanagerresource.h"

class CHLMImageManager;
class CHLMImageManagerIconSet;
class CHLMImageManagerImageList;

// Image states: 0 normal, 1 disabled, 2 to 4 further pictures set by the caller. The
// operations that take a state take an int: each says what it does with any other value.
enum ImageState
{
    kHLMImageStateNormal = 0,
    kHLMImageStateDisabled = 1,
    kHLMImageState2 = 2,
    kHLMImageState3 = 3,
    kHLMImageState4 = 4
};

class CHLMImageManagerIconImage
{
public:
    CHLMImageManagerIconImage();
    // Refer to a handle of someone else's without owning it.
    CHLMImageManagerIconImage(HICON icon, BOOL share);
    explicit CHLMImageManagerIconImage(HBITMAP bitmap);
    // Refers to the other image's handles without owning them.
    CHLMImageManagerIconImage(const CHLMImageManagerIconImage& other);
    ~CHLMImageManagerIconImage();

    // An owning deep copy; into a shared strip when the image's manager allows it.
    CHLMImageManagerIconImage& operator=(const CHLMImageManagerIconImage& other);

    void SetIcon(HICON icon);
    void SetBitmap(HBITMAP bitmap);
    void SetBitmapCopy(HBITMAP bitmap);
    void Clear();

    BOOL IsEmpty() const;
    BOOL IsAlpha() const;
    HICON GetIcon() const { return m_hIcon; }
    HBITMAP GetBitmap() const;
    CSize GetExtent() const { return m_szExtent; }
    CSize CalcExtent() const;
    BOOL IsOwner() const { return m_bOwns; }
    BOOL IsShared() const { return m_bShare; }
    void SetShared(BOOL share) { m_bShare = share; }
    HLM_IMAGERESOURCE_INFO* GetSlot() const { return m_pSlot; }
    CHLMImageManager* GetImageManager() const { return m_pManager; }
    void SetImageManager(CHLMImageManager* manager) { m_pManager = manager; }

    // The alpha bitmap premultiplied (once; the image then owns the premultiplied copy).
    BYTE* PreMultiply();
    void Draw(CDC* dc, CPoint point, CSize size, BOOL composited);

    // From an icon resource (group TRUE: an RT_GROUP_ICON of that name first).
    BOOL CreateFromResource(LPCTSTR name, int cx, int cy, BOOL group);
    BOOL CreateFromResource(HMODULE module, LPCTSTR name, int cx, int cy, BOOL group);
    // From the bytes of one icon picture (a BITMAPINFOHEADER, colour pixels and mask), as
    // RT_ICON resources and ICO files hold them. 32-bit pictures become alpha bitmaps.
    BOOL CreateFromIconBytes(const BYTE* bytes, DWORD size, int cx, int cy);
    // The same with the alpha bitmap premultiplied already (its bits become the cached bits).
    void SetPremultipliedBitmap(HBITMAP bitmap, BYTE* bits);

private:
    void CopyFrom(const CHLMImageManagerIconImage& other);
    void TakeOver(CHLMImageManagerIconImage& other);

    HICON m_hIcon;
    HBITMAP m_hBitmap;
    BYTE* m_pBits;  // set only when the bitmap holds premultiplied pixels
    BOOL m_bOwns;
    CHLMImageManager* m_pManager;
    HLM_IMAGERESOURCE_INFO* m_pSlot;
    CSize m_szExtent;
    BOOL m_bShare;
};

class CHLMImageManagerIcon : public CCmdTarget
{
public:
    CHLMImageManagerIcon(UINT id, int width, int height, CHLMImageManagerIconSet* iconSet);
    CHLMImageManagerIcon(UINT id, int width, int height, CHLMImageManagerImageList* imageList);
    ~CHLMImageManagerIcon() override;

    UINT GetID() const { return m_nID; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    CSize GetExtent() const { return m_arrImages[Normal].GetExtent(); }
    BOOL IsAlpha() const { return m_arrImages[Normal].IsAlpha(); }
    CHLMImageManager* GetImageManager() const;
    CHLMImageManagerIconSet* GetIconSet() const { return m_pIconSet; }
    CHLMImageManagerImageList* GetImageList() const { return m_pImageList; }

    CHLMImageManagerIconImage& GetNormalImage() { return m_arrImages[Normal]; }
    CHLMImageManagerIconImage& GetImage(int state);
    CHLMImageManagerIconImage& GetState2Image();
    CHLMImageManagerIconImage& GetState3Image();
    CHLMImageManagerIconImage& GetState4Image();
    CHLMImageManagerIconImage& GetDisabledImage(BOOL create);
    BOOL HasDisabledImage() const;
    CHLMImageManagerIconImage& GetFadedImage();
    CHLMImageManagerIconImage& GetShadowImage();
    // Builds the generated disabled image; with both colours given (not CLR_NONE) blended
    // between dark and light by each pixel's gray level, otherwise gray.
    void CreateDisabledImage(COLORREF light, COLORREF dark);

    BOOL SetIcon(const CHLMImageManagerIconImage& image);
    void SetNormalIcon(const CHLMImageManagerIconImage& image);
    void SetDisabledIcon(const CHLMImageManagerIconImage& image);
    void SetState2Icon(const CHLMImageManagerIconImage& image);
    void SetState3Icon(const CHLMImageManagerIconImage& image);
    void SetState4Icon(const CHLMImageManagerIconImage& image);
    BOOL SetImage(const CHLMImageManagerIconImage& image, int state);
    BOOL CreateFromIconResource(UINT resourceId, int width, int height);

    void ClearImages(BOOL includingNormal);
    void ClearDerivedImages();
    void Copy(const CHLMImageManagerIcon& other);

    void Draw(CDC* dc, CPoint point, CHLMImageManagerIconImage& image, CSize size);
    void Draw(CDC* dc, CPoint point, CSize size);
    void Draw(CDC* dc, CPoint point);
    void DrawMono(CDC* dc, CPoint point, CHLMImageManagerIconImage& image, int cx, int cy, COLORREF color);

    // The archive form: height, schema, then the normal, disabled and state 2 to 4 images.
    void Serialize(CArchive& ar) override;
    static void SerializeImage(CHLMImageManagerIconImage& image, CArchive& ar, int schema);
    static void WriteBitmap(CArchive& ar, HBITMAP bitmap);
    // Null for a zero count; a damaged or short stream raises CArchiveException.
    static HBITMAP ReadBitmap(CArchive& ar, BYTE** bits);
    // The bitmap's header block (header and colour table) and pixel rows as GetDIBits gives
    // them; FALSE when they cannot be read.
    static BOOL GetBitmapBits(HBITMAP bitmap, std::vector<BYTE>& bits, std::vector<BYTE>& header);

    static CSize GetExtent(HICON icon);
    // A copy of the icon at the width (height in proportion); the caller destroys it.
    static HICON ScaleIcon(HICON icon, CSize size, int width);
    static COLORREF LightenColor(COLORREF color, double factor);

    BOOL m_bDrawComposited;

private:
    friend class CHLMImageManager;
    enum Slot
    {
        Normal,
        Faded,
        Shadow,
        State2,
        State3,
        State4,
        Disabled,
        GeneratedDisabled,
        ImageCount
    };

    void SetStateImage(Slot slot, const CHLMImageManagerIconImage& image);
    BOOL IsOwnImage(const CHLMImageManagerIconImage& image) const;
    void SetDimensions(int width, int height) { m_nWidth = width, m_nHeight = height; }

    UINT m_nID;
    int m_nWidth;
    int m_nHeight;
    CHLMImageManagerIconImage m_arrImages[ImageCount];
    CHLMImageManagerIconSet* m_pIconSet;
    CHLMImageManagerImageList* m_pImageList;
};

class CHLMImageManagerIconSet : public CCmdTarget
{
public:
    CHLMImageManagerIconSet(UINT id, CHLMImageManager* manager);
    ~CHLMImageManagerIconSet() override;

    UINT GetID() const { return m_nID; }
    CHLMImageManager* GetImageManager() const { return m_pManager; }
    // The icon of the width, made (height 15 until an image is set) on first use.
    CHLMImageManagerIcon* GetIcon(UINT width);
    BOOL SetIcon(const CHLMImageManagerIconImage& image, UINT width);
    void SetDisabledIcon(const CHLMImageManagerIconImage& image, UINT width);
    void SetState2Icon(const CHLMImageManagerIconImage& image, UINT width);
    void SetState3Icon(const CHLMImageManagerIconImage& image, UINT width);
    void SetState4Icon(const CHLMImageManagerIconImage& image, UINT width);
    // Width 0: the narrowest icon; 1: the widest; else that width or, with nearest, the
    // closest. Null for an empty set.
    CHLMImageManagerIcon* FindIconByWidth(UINT width, BOOL nearest) const;
    // The icon of exactly that width, or null.
    CHLMImageManagerIcon* LookupIcon(UINT width) const;
    void ClearDerivedImages();
    void RemoveAll();
    BOOL IsEmpty() const { return m_mapIcons.IsEmpty(); }
    INT_PTR GetCount() const { return m_mapIcons.GetCount(); }
    POSITION GetStartPosition() const { return m_mapIcons.GetStartPosition(); }
    void GetNextIcon(POSITION& position, UINT& width, CHLMImageManagerIcon*& icon) const
    {
        m_mapIcons.GetNextAssoc(position, width, icon);
    }
    // Stores an icon under a width, releasing an icon that held the width before.
    void AddIcon(UINT width, CHLMImageManagerIcon* icon);

private:
    CMap<UINT, UINT, CHLMImageManagerIcon*, CHLMImageManagerIcon*> m_mapIcons;
    UINT m_nID;
    CHLMImageManager* m_pManager;
};
