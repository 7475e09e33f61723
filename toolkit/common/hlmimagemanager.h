// The image manager's bitmap services: telling PNG data and 32-bit bitmaps apart, loading
// files and resources into bitmaps with an alpha flag, 32-bit section functions (create,
// read back, copy, mirror, premultiply), and blitting with a transparent colour or alpha,
// through msimg32 where it can be trusted and through GDI otherwise.
//
// 32-bit pixels are blue, green, red, alpha; the blitting functions expect premultiplied
// sources. Returned bitmaps belong to the caller.
#pragma once

#include <afxwin.h>
#include <afxcmn.h>
#include <afxtempl.h>

#include <vector>

class CHLMImageManagerIcon;
class CHLMImageManagerIconImage;
class CHLMImageManagerIconSet;
class CHLMImageManagerImageList;
class CHLMImageManagerResource;
class CHLMPropExchange;
class COleDataObject;

// The clipboard format of one icon set, registered when the program starts.
extern const CLIPFORMAT ToolBarImageClipboardFormat;

class CHLMImageManager : public CCmdTarget
{
public:
    static CHLMImageManager& GetInstance();
    // Besides the process-wide manager, stores of their own (loading builds one aside).
    CHLMImageManager();
    virtual ~CHLMImageManager();

    CHLMImageManager(const CHLMImageManager&) = delete;
    CHLMImageManager& operator=(const CHLMImageManager&) = delete;

    // Signature tests.
    static BOOL IsPngFile(LPCWSTR path);
    static BOOL IsBitmapFile32bpp(LPCWSTR path);
    static BOOL IsPngResource(HMODULE module, LPCWSTR name);
    static BOOL IsBitmapResource32bpp(HMODULE module, LPCWSTR name);
    // The bytes of a resource, or null; `size` receives their count.
    static const BYTE* ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD& size);

    // Loaders. The type is decided by the data's first bytes, not by the name. The alpha
    // flag, when asked for, says whether the bitmap's alpha channel is to be used.
    static HBITMAP ReadBitmapFile(LPCWSTR path, BOOL* alpha);
    static HBITMAP ReadBitmapResource(HMODULE module, LPCWSTR name, BOOL* alpha);
    static HBITMAP ReadAlphaBitmapResource(HMODULE module, LPCWSTR name);
    // The same in the framework's current resource module.
    static HBITMAP ReadBitmapResource(LPCWSTR name, BOOL* alpha);
    static HBITMAP ReadAlphaBitmapResource(UINT id);

    // 32-bit sections: 40-byte header, positive height (bottom-up rows), BI_RGB.
    static HBITMAP Create32bppDibSection(HDC dc, int width, int height, void** bits);
    // The bitmap's header (a 52-byte block: room for the masks that GetDIBits may add) and
    // its pixels; FALSE for anything but a readable 32-bit bitmap.
    static BOOL Read32bppBits(HDC dc, HBITMAP bitmap, std::vector<BYTE>& header, std::vector<BYTE>& pixels);
    static BOOL Read32bppBits(CDC* dc, HBITMAP bitmap, std::vector<BYTE>& header, std::vector<BYTE>& pixels);
    static HBITMAP Copy32bppBitmap(HBITMAP bitmap, void** bits);
    static HBITMAP MirrorBitmap(HBITMAP bitmap);
    // A premultiplied copy. With an alpha flag, a copy is premultiplied only when the pixels
    // carry alpha: a value from 1 to 254, an opaque pixel after a transparent one, or any
    // opaque pixel when the flag comes in as -1. The flag is set, never cleared.
    static HBITMAP PremultiplyBitmap(HBITMAP bitmap, BOOL* alpha, void** bits);

    // Blitting.
    void TransparentBlt(HDC destination, const RECT& destinationRect, HDC source, const RECT& sourceRect,
                        COLORREF transparent);
    BOOL AlphaBlend(HDC destination, const RECT& destinationRect, HDC source, const RECT& sourceRect);
    BOOL AlphaBlendConstant(HDC destination, const RECT& destinationRect, HDC source, const RECT& sourceRect,
                            BYTE constantAlpha);
    // The same on the framework's DCs.
    void TransparentBlt(CDC* destination, const RECT& destinationRect, CDC* source, const RECT& sourceRect,
                        COLORREF transparent);
    BOOL AlphaBlend(CDC* destination, const RECT& destinationRect, CDC* source, const RECT& sourceRect);
    BOOL AlphaBlendConstant(CDC* destination, const RECT& destinationRect, CDC* source, const RECT& sourceRect,
                            BYTE constantAlpha);

    // The ways of drawing behind the blitting functions.
    static BOOL IsMsimgUsable();
    static BOOL MaskedTransparentBlt(HDC destination, int x, int y, int cx, int cy, HDC source, int sourceX,
                                     int sourceY, int sourceCx, int sourceCy, COLORREF transparent);
    // constantAlpha -1 blends by the premultiplied source's own alpha.
    static BOOL AlphaBlendFallback(HDC destination, int x, int y, int cx, int cy, HDC source, int sourceX,
                                   int sourceY, int sourceCx, int sourceCy, int constantAlpha = -1);
    static BOOL BlendBitmaps(HBITMAP source, BOOL sourceMirrored, HBITMAP destination, BOOL destinationMirrored,
                             HBITMAP result, int constantAlpha = -1);
    static BOOL IsSameBitmapLayout(const BITMAP& a, const BITMAP& b);

    // ----------------------------------------------------------------------------------
    // The icon store: the pictures of command ids as icon sets, ranges of ids served by
    // image lists, and shared strips per picture size.

    // The exponent of the gray level and the divisor of the alpha of generated disabled
    // images (a divisor of 0 or less counts as 1).
    static double m_dDisabledBrightness;
    static double m_dDisabledAlphaFactor;

    COLORREF SetMaskColor(COLORREF mask);
    COLORREF GetMaskColor() const { return m_clrMask; }
    BOOL SupportsAlphaIcons() const { return TRUE; }
    BOOL IsUsingStrips() const { return m_bUseStrips; }
    void SetUseStrips(BOOL use) { m_bUseStrips = use; }
    // 1 mirrored always, 2 mirrored on a right-to-left DC, anything else never.
    void SetMirrorMode(int mode) { m_nMirrorMode = mode; }
    UINT GetLastCustomId() const { return m_nLastCustomId; }

    CHLMImageManagerIconSet* GetIconSet(UINT id) const;
    CHLMImageManagerImageList* GetImageList(UINT id) const;
    BOOL HasIcon(UINT id) const;
    BOOL HasIcon(UINT id, int width) const;
    CHLMImageManagerIcon* GetImage(UINT id, int width) const;
    void RemoveIcon(UINT id);
    void ClearAll();
    void RefreshAll();
    INT_PTR GetIconSetCount() const { return m_mapIconSets.GetCount(); }
    INT_PTR GetImageListCount() const { return m_arrImageLists.GetSize(); }
    POSITION GetIconSetStart() const { return m_mapIconSets.GetStartPosition(); }
    void GetNextIconSet(POSITION& position, UINT& id, CHLMImageManagerIconSet*& iconSet) const
    {
        m_mapIconSets.GetNextAssoc(position, id, iconSet);
    }

    // Adding pictures. The size is the picture's; 0 x 0 takes it from the picture.
    BOOL SetIcon(const CHLMImageManagerIconImage& image, UINT id, CSize size, int state);
    BOOL SetIcon(LPCTSTR resource, UINT id, CSize size, int state);
    BOOL SetIcon(UINT resourceId, UINT id, CSize size, int state);
    BOOL SetIconFromIconFile(LPCTSTR path, UINT id, CSize size, int state);
    // The first 32-bit picture of the width (0: any) of an icon file; the caller owns it.
    static HBITMAP ReadAlphaIconFile(LPCTSTR path, int width);
    // A strip of pictures side by side; ids null numbers them from 0, and an id of 0 marks
    // a separator.
    BOOL SetIcons(CBitmap* bitmap, const UINT* ids, int count, CSize size, int state, BOOL alpha);
    BOOL SetIcons(CImageList* imageList, const UINT* ids, int count, CSize size, int state);
    BOOL SetIcons(UINT bitmapId, const UINT* ids, int count, CSize size, int state);
    BOOL SetIcons(UINT toolbarId, CBitmap* bitmap, int state);
    BOOL SetIcons(UINT toolbarId, UINT bitmapId, int state);
    BOOL SetIcons(UINT id, int state);
    BOOL SetIcons(UINT toolbarId, CImageList* imageList, int state);
    // The command ids (separators left out; the caller frees the array with delete[]) and
    // the picture size of a toolbar resource of the current resource module.
    static BOOL ReadToolBarResource(UINT toolbarId, UINT** ids, int* count, CSize* size);
    // A new set under the next custom id; 0 for an empty image.
    UINT AddCustomIcon(const CHLMImageManagerIconImage& image);
    BOOL AddImageList(HIMAGELIST imageList, UINT firstId, BOOL destroy);
    BOOL AddImageList(UINT bitmapId, int imageWidth, UINT firstId, COLORREF mask);
    void MergeIcons(CHLMImageManager* other);
    void MergeIconSet(CHLMImageManagerIconSet* iconSet);
    static BOOL IsPngResource(UINT id);
    static BOOL IsBitmapResource32bpp(UINT id);

    // Storing and loading icon sets. Loading all sets replaces the whole store (image lists
    // and strips included); loading one set replaces that set. Damaged data raises the
    // framework's archive exception and leaves the store as it was.
    void ExchangeIcons(CHLMPropExchange* px);
    void ExchangeIconSet(UINT id, CHLMPropExchange* px);
    void SerializeIconSet(UINT id, CArchive& ar);
    void Serialize(CArchive& ar) override;
    // Puts the set on the clipboard the caller has opened; FALSE when the id has no set or
    // the clipboard refused it.
    BOOL CopyIconSetToClipboard(UINT id);
    // The set on the clipboard under the next custom id; 0 when there is none or it is
    // damaged.
    UINT PasteIconSet(COleDataObject* dataObject);

    // Strips and drawing.
    CHLMImageManagerResource* GetImageResource(int cx, int cy);
    INT_PTR GetImageResourceCount() const { return m_mapResources.GetCount(); }
    BOOL IsDrawMirrored(CDC* dc) const;
    static BOOL IsComCtlVersion6OrLater();
    static void DrawAlphaBitmap(CDC* dc, HBITMAP bitmap, CPoint point, CSize size, CPoint sourcePoint,
                                CSize sourceSize);
    static void DrawIconWithAlpha(CDC* dc, int x, int y, int cx, int cy, HICON icon);

    // Bitmap functions of the store. Each part is a new 32-bit section the caller owns.
    static BOOL SplitBitmap(HBITMAP bitmap, int count, HBITMAP* parts);
    static COLORREF GetBitmapPixel(CBitmap* bitmap, int x, int y);
    static COLORREF GetBitmapPixel(UINT bitmapId, int x, int y);
    // A 24-bit section of the picture over a background colour; the caller owns it.
    static HBITMAP FlattenAlphaBitmap(HBITMAP bitmap, COLORREF background);
    static HBITMAP FlattenAlphaBitmap(UINT bitmapId, COLORREF background);
    // The disabled look on a 32-bit section: blended between dark and light when both are
    // given, else brightened toward white by `brightness` (0..255), else gray.
    static BOOL DisableBitmapBits(HBITMAP bitmap, COLORREF light, COLORREF dark, int brightness);
    static BOOL DisableBitmap(HDC dc, const CRect& rect, COLORREF light, COLORREF dark);
    static BOOL DisableBitmap(HDC dc, const CRect& rect, int brightness);
    // The rules of the disabled look for one straight (not premultiplied) pixel: the colour
    // between dark and light by the pixel's gray level, the gray level raised to the
    // disabled brightness, and the alpha divided by the disabled alpha factor.
    static COLORREF DisabledBlendColor(COLORREF light, COLORREF dark, int blue, int green, int red);
    static BYTE DisabledGray(int blue, int green, int red);
    static BYTE DisabledAlpha(int alpha);

private:
    BOOL UseAlphaBlendFallback(HDC destination, const RECT& destinationRect, const RECT& sourceRect,
                               BOOL checkTop) const;

    UINT NextCustomId();
    void ExchangeIconSetHere(UINT id, CHLMPropExchange* px);
    void TakeIconSets(CHLMImageManager& loaded);
    CHLMImageManagerIconSet* CreateIconSet(UINT id);
    static BOOL DisableRect(HDC dc, const CRect& rect, COLORREF light, COLORREF dark, int brightness);

    BOOL m_bUseStrips = TRUE;
    COLORREF m_clrMask = CLR_NONE;
    CMap<UINT, UINT, CHLMImageManagerIconSet*, CHLMImageManagerIconSet*> m_mapIconSets;
    CArray<CHLMImageManagerImageList*, CHLMImageManagerImageList*> m_arrImageLists;
    CMap<DWORD, DWORD, CHLMImageManagerResource*, CHLMImageManagerResource*> m_mapResources;
    UINT m_nLastCustomId = kFirstCustomId - 1;
    int m_nMirrorMode = 2;

public:
    // Pictures without a command id of their own get ids from here on.
    static const UINT kFirstCustomId = 0x10AAA + 1;
};
