#include "graphiclibrary/hlmgraphicbitmappng.h"

#include <new>

void PNGCBAPI CHLMGraphicBitmapPng::ReadDataCallback(png_structp png, png_bytep destination, size_t count)
{
    CFile* stream = static_cast<CFile*>(png_get_io_ptr(png));
    const UINT wanted = static_cast<UINT>(count);
    if (count != wanted || stream->Read(destination, wanted) != wanted)
        AfxThrowFileException(CFileException::endOfFile, -1);
}

void PNGCBAPI CHLMGraphicBitmapPng::ErrorCallback(png_structp, png_const_charp)
{
    AfxThrowFileException(CFileException::badSeek, -1);
}

namespace
{
// Sets the transformations that turn every PNG into 8-bit RGB or RGBA rows.
void RequestRgbRows(png_structp png, png_infop info, COLORREF& background)
{
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_expand(png);
    if (bitDepth < 8)
        png_set_expand(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_expand(png);  // transparency becomes an alpha channel
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);

    png_color_16p fileBackground = nullptr;
    if (png_get_bKGD(png, info, &fileBackground))
    {
        // The picture is composited over the file's background: the rows lose their alpha.
        png_set_background(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        background = RGB(fileBackground->red & 0xFF, fileBackground->green & 0xFF, fileBackground->blue & 0xFF);
    }
    double fileGamma = 0;
    if (png_get_gAMA(png, info, &fileGamma))
        png_set_gamma(png, 2.2, fileGamma);
    png_set_interlace_handling(png);
}

// The buffer for `height` rows of `rowBytes` and the table pointing at them.
void AllocateRows(std::vector<BYTE>& pixels, std::vector<png_bytep>& rows, size_t rowBytes, png_uint_32 height)
{
    pixels.resize(rowBytes * height);
    rows.resize(height);
    for (png_uint_32 row = 0; row < height; ++row)
        rows[row] = pixels.data() + row * rowBytes;
}

bool HasPngSignature(CFile* stream)
{
    png_byte signature[8];
    return stream->Read(signature, sizeof(signature)) == sizeof(signature) && png_sig_cmp(signature, 0, 8) == 0;
}

// What `load` answers, or FALSE when an allocation on the way fails.
template <class Load>
BOOL FalseOnMemoryFailure(Load load)
{
    try
    {
        return load();
    }
    catch (const std::bad_alloc&)
    {
        return FALSE;
    }
}
}

CHLMGraphicBitmapPng::CHLMGraphicBitmapPng() : m_bAlpha(FALSE)
{
}

CHLMGraphicBitmapPng::~CHLMGraphicBitmapPng() = default;

BOOL CHLMGraphicBitmapPng::LoadFile(LPCTSTR path)
{
    m_bAlpha = FALSE;
    DeleteObject();
    return FalseOnMemoryFailure([&] {
        CFile file;
        if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
            return FALSE;
        return LoadStream(&file);
    });
}

BOOL CHLMGraphicBitmapPng::LoadResource(HMODULE module, HRSRC resource)
{
    m_bAlpha = FALSE;
    DeleteObject();
    if (!resource)
        return FALSE;
    HGLOBAL loaded = ::LoadResource(module, resource);
    BYTE* bytes = loaded ? static_cast<BYTE*>(LockResource(loaded)) : nullptr;
    const DWORD size = SizeofResource(module, resource);
    if (!bytes || size <= 9)
        return FALSE;
    return FalseOnMemoryFailure([&] {
        // The memory file only reads the resource.
        CMemFile stream(bytes, size, 0);
        return LoadStream(&stream);
    });
}

BOOL CHLMGraphicBitmapPng::LoadStream(CFile* stream)
{
    m_bAlpha = FALSE;
    DeleteObject();
    if (!stream)
        return FALSE;
    std::vector<BYTE> pixels;
    UINT width = 0, height = 0;
    int channels = 0;
    COLORREF background = RGB(127, 127, 127);
    if (!DecodePng(stream, pixels, width, height, channels, background))
        return FALSE;
    HBITMAP section = CreateDibFromRows(pixels.data(), width, height, channels);
    if (!section)
        return FALSE;
    m_bAlpha = channels == 4;
    Attach(section);
    return TRUE;
}

BOOL CHLMGraphicBitmapPng::DecodePng(CFile* stream, std::vector<BYTE>& pixels, UINT& width, UINT& height,
                                     int& channels, COLORREF& background)
{
    pixels.clear();
    if (!stream)
        return FALSE;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_bytep> rows;
    try
    {
        if (!HasPngSignature(stream))
            return FALSE;
        // The version of the library this program is built with: libpng refuses any other.
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorCallback, nullptr);
        if (!png)
            return FALSE;
        info = png_create_info_struct(png);
        if (!info)
        {
            png_destroy_read_struct(&png, nullptr, nullptr);
            return FALSE;
        }

        png_set_read_fn(png, stream, ReadDataCallback);
        png_set_sig_bytes(png, 8);
        png_set_user_limits(png, kMaxDimension, kMaxDimension);
        png_read_info(png, info);
        if (!IsAcceptedSize(png_get_image_width(png, info), png_get_image_height(png, info)))
            AfxThrowFileException(CFileException::badSeek, -1);
        RequestRgbRows(png, info, background);
        png_read_update_info(png, info);

        png_uint_32 decodedWidth = 0, decodedHeight = 0;
        int bitDepth = 0, colorType = 0;
        png_get_IHDR(png, info, &decodedWidth, &decodedHeight, &bitDepth, &colorType, nullptr, nullptr, nullptr);
        const size_t rowBytes = png_get_rowbytes(png, info);
        const int decodedChannels = png_get_channels(png, info);
        if (bitDepth != 8 || (decodedChannels != 3 && decodedChannels != 4) ||
            rowBytes != static_cast<size_t>(decodedWidth) * decodedChannels)
            AfxThrowFileException(CFileException::badSeek, -1);
        AllocateRows(pixels, rows, rowBytes, decodedHeight);

        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        width = decodedWidth;
        height = decodedHeight;
        channels = decodedChannels;
        return TRUE;
    }
    catch (CFileException* error)
    {
        ASSERT_KINDOF(CFileException, error);
        error->Delete();
    }
    catch (const std::bad_alloc&)
    {
    }
    if (png)
        png_destroy_read_struct(&png, &info, nullptr);
    pixels.clear();
    return FALSE;
}

BOOL CHLMGraphicBitmapPng::IsAcceptedSize(UINT width, UINT height)
{
    return width != 0 && height != 0 && width <= kMaxDimension && height <= kMaxDimension &&
           static_cast<ULONGLONG>(width) * height * 4 <= kMaxSectionBytes;
}

HBITMAP CHLMGraphicBitmapPng::CreateDibFromRows(const BYTE* pixels, UINT width, UINT height, int channels)
{
    if (!pixels || !IsAcceptedSize(width, height) || (channels != 3 && channels != 4))
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits)
    {
        if (section)
            ::DeleteObject(section);
        return nullptr;
    }
    BYTE* target = static_cast<BYTE*>(bits);
    const size_t pixelCount = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < pixelCount; ++i, pixels += channels, target += 4)
    {
        target[0] = pixels[2];
        target[1] = pixels[1];
        target[2] = pixels[0];
        target[3] = channels == 4 ? pixels[3] : 0;
    }
    return section;
}
