// The image manager's bitmap services: telling PNG data and 32-bit bitmaps apart, loading
// files and resources into bitmaps with an alpha flag, 32-bit section functions (create,
// read back, copy, mirror, premultiply), and blitting with a transparent colour or alpha,
// through msimg32 where it can be trusted and through GDI otherwise.
//
// 32-bit pixels are blue, green, red, alpha; the blitting functions expect premultiplied
// sources. Returned bitmaps belong to the caller.
#pragma once

#include <afxwin.h>

#include <vector>

class CHLMImageManager : public CCmdTarget
{
public:
    static CHLMImageManager& GetInstance();
    virtual ~CHLMImageManager();

    CHLMImageManager(const CHLMImageManager&) = delete;
    CHLMImageManager& operator=(const CHLMImageManager&) = delete;

    // Signature tests.
    static BOOL IsPngFile(LPCWSTR path);
    static BOOL IsBitmapFile32bpp(LPCWSTR path);
    static BOOL IsPngResource(HMODULE module, LPCWSTR name);
    static BOOL IsBitmapResource32bpp(HMODULE module, LPCWSTR name);

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

private:
    CHLMImageManager();

    BOOL UseAlphaBlendFallback(HDC destination, const RECT& destinationRect, const RECT& sourceRect,
                               BOOL checkTop) const;
};
