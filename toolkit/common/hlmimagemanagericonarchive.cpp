// The archive form of an icon: height, schema, then its explicit images, each as a colour
// and a mask bitmap (header block and pixel rows as GetDIBits gives them).
#include "common/hlmimagemanagericon.h"

#include "common/hlmimagemanager.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
const int kSchema = 33;
const int kFirstSchemaWithState3 = 8;
const int kFirstSchemaWithState4 = 17;
const int kFirstSchemaPremultiplied = 25;
const DWORD kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
const DWORD kLargestColorTable = 256 * sizeof(RGBQUAD);
const LONG kLargestSide = 4096;

// Colour-table entries stored after the header: 16 or 256 for 4 and 8 bits, else room for
// three masks (two colours of a 1-bit bitmap, bit fields of 16 and 32 bits).
DWORD ColorTableEntries(WORD bitCount)
{
    return bitCount == 4 ? 16 : bitCount == 8 ? 256 : 3;
}

ULONGLONG RowBytes(LONG width, WORD bitCount)
{
    return (static_cast<ULONGLONG>(width) * bitCount + 31) / 32 * 4;
}

void ReadExactly(CArchive& ar, void* buffer, UINT count)
{
    if (ar.Read(buffer, count) != count)
        AfxThrowArchiveException(CArchiveException::endOfFile);
}

// A count of bytes that follow, refused before anything is allocated when the stream is
// shorter.
UINT ReadByteCount(CArchive& ar)
{
    const DWORD_PTR count = ar.ReadCount();
    if (count > ar.GetBytesLeft() || count > UINT_MAX)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    return static_cast<UINT>(count);
}

// Only headers that describe a picture the store can hold are taken.
bool IsAcceptableHeader(const BITMAPINFOHEADER& header, DWORD headerSize)
{
    const WORD bits = header.biBitCount;
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool knownCompression =
        header.biCompression == BI_RGB ||
        (header.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32) && headerSize >= kInfoHeaderSize + 12);
    return header.biSize == kInfoHeaderSize && header.biPlanes == 1 && knownDepth && knownCompression &&
           header.biWidth > 0 && header.biWidth <= kLargestSide && header.biHeight != 0 &&
           header.biHeight >= -kLargestSide && header.biHeight <= kLargestSide && header.biClrUsed <= 256;
}

// A bitmap handle deleted with the object unless released.
class BitmapHolder
{
public:
    explicit BitmapHolder(HBITMAP bitmap = nullptr) : m_hBitmap(bitmap) {}
    ~BitmapHolder()
    {
        if (m_hBitmap)
            DeleteObject(m_hBitmap);
    }
    BitmapHolder(const BitmapHolder&) = delete;
    BitmapHolder& operator=(const BitmapHolder&) = delete;
    void Reset(HBITMAP bitmap)
    {
        if (m_hBitmap)
            DeleteObject(m_hBitmap);
        m_hBitmap = bitmap;
    }
    HBITMAP Get() const { return m_hBitmap; }
    HBITMAP Release()
    {
        HBITMAP bitmap = m_hBitmap;
        m_hBitmap = nullptr;
        return bitmap;
    }

private:
    HBITMAP m_hBitmap;
};

BITMAP BitmapInfo(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    return info;
}

// An icon from a colour bitmap and its mask, through an image list of the colour's depth.
HICON IconFromBitmaps(HBITMAP color, HBITMAP mask)
{
    const BITMAP colorInfo = BitmapInfo(color), maskInfo = BitmapInfo(mask);
    const int height = std::abs(colorInfo.bmHeight);
    if (colorInfo.bmWidth != maskInfo.bmWidth || height != std::abs(maskInfo.bmHeight))
        return nullptr;
    const UINT depth = colorInfo.bmBitsPixel == 32 ? ILC_COLOR32 : ILC_COLOR24;
    HIMAGELIST list = ImageList_Create(colorInfo.bmWidth, height, depth | ILC_MASK, 0, 1);
    if (!list)
        return nullptr;
    HICON icon = ImageList_Add(list, color, mask) >= 0 ? ImageList_GetIcon(list, 0, ILD_NORMAL) : nullptr;
    ImageList_Destroy(list);
    return icon;
}
}

void CHLMImageManagerIcon::Serialize(CArchive& ar)
{
    int schema = kSchema;
    if (ar.IsStoring())
        ar << m_nHeight << schema;
    else
    {
        ar >> m_nHeight >> schema;
        ClearDerivedImages();
    }
    SerializeImage(m_arrImages[Normal], ar, schema);
    SerializeImage(m_arrImages[Disabled], ar, schema);
    SerializeImage(m_arrImages[State2], ar, schema);
    if (schema >= kFirstSchemaWithState3)
        SerializeImage(m_arrImages[State3], ar, schema);
    if (schema >= kFirstSchemaWithState4)
        SerializeImage(m_arrImages[State4], ar, schema);
}

void CHLMImageManagerIcon::SerializeImage(CHLMImageManagerIconImage& image, CArchive& ar, int schema)
{
    if (ar.IsStoring())
    {
        // A copy without a manager takes the picture out of its strip; alpha is written
        // premultiplied.
        CHLMImageManagerIconImage work;
        work = image;
        work.PreMultiply();
        ICONINFO info = {};
        if (work.IsEmpty())
            ar.WriteCount(0), ar.WriteCount(0);
        else if (work.IsAlpha())
        {
            WriteBitmap(ar, work.GetBitmap());
            ar.WriteCount(0);
        }
        else if (GetIconInfo(work.GetIcon(), &info))
        {
            BitmapHolder color(info.hbmColor), mask(info.hbmMask);
            WriteBitmap(ar, color.Get());
            WriteBitmap(ar, mask.Get());
        }
        else
            ar.WriteCount(0), ar.WriteCount(0);
        return;
    }

    BYTE* colorBits = nullptr;
    BitmapHolder color(ReadBitmap(ar, &colorBits));
    BitmapHolder mask(ReadBitmap(ar, nullptr));
    CHLMImageManagerIconImage work;
    if (color.Get() && mask.Get())
    {
        HICON icon = IconFromBitmaps(color.Get(), mask.Get());
        if (icon)
            work.SetIcon(icon);
    }
    else if (color.Get() && BitmapInfo(color.Get()).bmBitsPixel == 32)
    {
        // Pixels written with a schema above 24 are premultiplied already.
        if (schema >= kFirstSchemaPremultiplied)
            work.SetPremultipliedBitmap(color.Release(), colorBits);
        else
            work.SetBitmap(color.Release());
    }
    image = work;
}

void CHLMImageManagerIcon::WriteBitmap(CArchive& ar, HBITMAP bitmap)
{
    std::vector<BYTE> bits, header;
    if (!GetBitmapBits(bitmap, bits, header))
    {
        ar.WriteCount(0);
        return;
    }
    ar.WriteCount(header.size());
    ar.Write(header.data(), static_cast<UINT>(header.size()));
    ar.WriteCount(bits.size());
    ar.Write(bits.data(), static_cast<UINT>(bits.size()));
}

BOOL CHLMImageManagerIcon::GetBitmapBits(HBITMAP bitmap, std::vector<BYTE>& bits, std::vector<BYTE>& header)
{
    if (!bitmap)
        return FALSE;
    HDC dc = CreateCompatibleDC(nullptr);
    BOOL read = FALSE;
    try
    {
        // Zeroed, so that no byte of the heap reaches the stream.
        std::vector<BYTE> query(kInfoHeaderSize + kLargestColorTable, 0);
        auto* info = reinterpret_cast<BITMAPINFO*>(query.data());
        info->bmiHeader.biSize = kInfoHeaderSize;
        if (dc && GetDIBits(dc, bitmap, 0, 0, nullptr, info, DIB_RGB_COLORS))
        {
            const BITMAPINFOHEADER& format = info->bmiHeader;
            const LONG rows = std::abs(format.biHeight);
            const ULONGLONG size = format.biSizeImage
                                       ? std::max<ULONGLONG>(format.biSizeImage, RowBytes(format.biWidth, format.biBitCount) * rows)
                                       : static_cast<ULONGLONG>(format.biWidth) * rows * 4;
            bits.assign(static_cast<size_t>(size), 0);
            header.assign(kInfoHeaderSize + ColorTableEntries(format.biBitCount) * sizeof(RGBQUAD), 0);
            // GetDIBits writes the colour table after the header: the block it fills has room
            // for the largest one, and only the stored part is kept.
            std::vector<BYTE> block(query.size(), 0);
            std::memcpy(block.data(), &format, kInfoHeaderSize);
            read = GetDIBits(dc, bitmap, 0, rows, bits.data(), reinterpret_cast<BITMAPINFO*>(block.data()),
                             DIB_RGB_COLORS) == rows;
            std::memcpy(header.data(), block.data(), header.size());
        }
    }
    catch (const std::bad_alloc&)
    {
        read = FALSE;
    }
    if (dc)
        DeleteDC(dc);
    if (!read)
    {
        TRACE(_T("Failed -- Memory exception thrown.\n"));
        bits.clear();
        header.clear();
    }
    return read;
}

HBITMAP CHLMImageManagerIcon::ReadBitmap(CArchive& ar, BYTE** bits)
{
    if (bits)
        *bits = nullptr;
    const DWORD_PTR headerSize = ar.ReadCount();
    if (headerSize == 0)
        return nullptr;
    if (headerSize < kInfoHeaderSize || headerSize > kInfoHeaderSize + kLargestColorTable)
        AfxThrowArchiveException(CArchiveException::badIndex);
    // The block has room for the largest colour table, so that the system never reads past
    // what was stored.
    std::vector<BYTE> block(kInfoHeaderSize + kLargestColorTable, 0);
    ReadExactly(ar, block.data(), static_cast<UINT>(headerSize));
    const UINT pixelBytes = ReadByteCount(ar);
    std::vector<BYTE> pixels(pixelBytes);
    ReadExactly(ar, pixels.data(), pixelBytes);

    auto& header = *reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    if (!IsAcceptableHeader(header, static_cast<DWORD>(headerSize)))
        AfxThrowArchiveException(CArchiveException::badIndex);
    if (pixelBytes == 0)
        return nullptr;
    if (header.biSizeImage == 0)
        header.biSizeImage = pixelBytes;
    HDC dc = CreateCompatibleDC(nullptr);
    void* sectionBits = nullptr;
    HBITMAP section = dc ? CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(block.data()), DIB_RGB_COLORS,
                                            &sectionBits, nullptr, 0)
                         : nullptr;
    if (dc)
        DeleteDC(dc);
    DIBSECTION info = {};
    if (!section || !sectionBits || GetObjectW(section, sizeof(info), &info) != sizeof(info))
    {
        if (section)
            DeleteObject(section);
        return nullptr;
    }
    const size_t sectionSize = static_cast<size_t>(info.dsBm.bmWidthBytes) * std::abs(info.dsBm.bmHeight);
    std::memcpy(sectionBits, pixels.data(), std::min<size_t>({pixels.size(), header.biSizeImage, sectionSize}));
    if (bits)
        *bits = static_cast<BYTE*>(sectionBits);
    return section;
}
