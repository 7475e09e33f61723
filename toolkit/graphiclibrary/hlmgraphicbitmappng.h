// A bitmap decoded from PNG data (a file, a "PNG" resource or any framework file) into a
// 32-bit top-down section: blue, green, red, alpha, not premultiplied.
#pragma once

#include <afxwin.h>
#include <png.h>

#include <vector>

class CHLMGraphicBitmapPng : public CBitmap
{
public:
    // Pictures larger than this in either direction, or whose section would take more than
    // kMaxSectionBytes, are refused before anything is allocated for their pixels.
    static const UINT kMaxDimension = 8192;
    static const size_t kMaxSectionBytes = 64u * 1024u * 1024u;

    CHLMGraphicBitmapPng();
    ~CHLMGraphicBitmapPng() override;

    // The loaders answer FALSE for any failure, allocation failures included.
    BOOL LoadFile(LPCTSTR path);
    BOOL LoadResource(HMODULE module, HRSRC resource);
    BOOL LoadStream(CFile* stream);

    // TRUE when the decoded rows had four channels (red, green, blue, alpha).
    BOOL IsAlpha() const { return m_bAlpha; }

    // The libpng stage: rows top to bottom, 8 bits per sample, red, green, blue (and alpha
    // with four channels). FALSE, with `pixels` empty, for anything that is not a sound PNG,
    // for a read error of the stream and for a failed allocation; it throws nothing.
    static BOOL DecodePng(CFile* stream, std::vector<BYTE>& pixels, UINT& width, UINT& height, int& channels,
                          COLORREF& background);
    // Whether a picture of that size is accepted (both sides at least 1).
    static BOOL IsAcceptedSize(UINT width, UINT height);
    // The conversion stage: a new section, or null.
    static HBITMAP CreateDibFromRows(const BYTE* pixels, UINT width, UINT height, int channels);

    // libpng's callbacks, of its types png_rw_ptr and png_error_ptr. The read callback reads
    // from the framework file given as I/O pointer; a short read ends the decode with an
    // end-of-file exception. The error callback never returns to libpng (libpng is built to
    // let C++ exceptions pass through its frames).
    static void PNGCBAPI ReadDataCallback(png_structp png, png_bytep destination, size_t count);
    static void PNGCBAPI ErrorCallback(png_structp png, png_const_charp message);

private:
    BOOL m_bAlpha;
};
