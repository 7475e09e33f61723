#include "pictureorientation.h"

#include "headerreader.h"

#include <memory>
#include <new>

namespace
{
const PROPID kOrientationTag = PropertyTagOrientation;
const UINT kTypeShort = PropertyTagTypeShort;
const UINT kApp1 = 0xE1, kStartOfScan = 0xDA;
const BYTE kExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};
const ULONGLONG kTiffHeaderBytes = 8, kEntryBytes = 12;

Orientation Usable(UINT value)
{
    return value >= 1 && value <= 8 ? static_cast<Orientation>(value) : 0;
}

// A TIFF structure inside the Exif block: offsets count from the TIFF header, and no read
// leaves the block, whatever an offset or a count says.
class CExifBlock
{
public:
    CExifBlock(CHeaderReader& file, ULONGLONG start, ULONGLONG length) : m_file(file), m_start(start), m_length(length)
    {
    }

    bool ReadByteOrder()
    {
        UINT order, magic;
        if (!Word(0, order) || (order != 0x4949 && order != 0x4D4D))
            return false;
        m_bigEndian = order == 0x4D4D;
        return Word(2, magic) && magic == 42;
    }
    bool Holds(ULONGLONG offset, ULONGLONG bytes) const { return offset <= m_length && bytes <= m_length - offset; }
    bool Word(ULONGLONG offset, UINT& value)
    {
        return Holds(offset, 2) && m_file.Word(m_start + offset, m_bigEndian, value);
    }
    bool Long(ULONGLONG offset, UINT& value)
    {
        return Holds(offset, 4) && m_file.Long(m_start + offset, m_bigEndian, value);
    }

private:
    CHeaderReader& m_file;
    ULONGLONG m_start, m_length;
    bool m_bigEndian = false;
};

// The orientation entry of the first directory (IFD0): one SHORT, held in the entry itself.
Orientation OrientationInTiff(CExifBlock& tiff)
{
    UINT directory, entries;
    if (!tiff.ReadByteOrder() || !tiff.Long(4, directory) || directory < kTiffHeaderBytes ||
        !tiff.Word(directory, entries) || !tiff.Holds(directory + 2, kEntryBytes * entries))
        return 0;
    for (UINT i = 0; i < entries; ++i)
    {
        const ULONGLONG entry = directory + 2 + kEntryBytes * i;
        UINT tag, type, count, value;
        if (!tiff.Word(entry, tag) || tag != kOrientationTag)
            continue;
        const bool oneShort = tiff.Word(entry + 2, type) && type == kTypeShort && tiff.Long(entry + 4, count) &&
                              count == 1;
        return oneShort && tiff.Word(entry + 8, value) ? Usable(value) : 0;
    }
    return 0;
}

bool IsExifBlock(CHeaderReader& file, ULONGLONG payload, UINT payloadBytes)
{
    BYTE signature[sizeof(kExifSignature)];
    return payloadBytes >= sizeof(signature) && file.Read(payload, signature, sizeof(signature)) &&
           memcmp(signature, kExifSignature, sizeof(signature)) == 0;
}
}

Orientation ReadJpegOrientation(LPCWSTR path)
{
    CHeaderReader file(path);
    static const BYTE kJpeg[] = {0xFF, 0xD8};
    if (!file.IsOpen() || !file.Starts(kJpeg, sizeof(kJpeg)))
        return 0;
    // The Exif block is among the segments before the first scan.
    ULONGLONG offset = 2;
    UINT marker, length;
    while (NextJpegSegment(file, offset, marker, length) && marker != kStartOfScan)
    {
        const ULONGLONG payload = offset + 2;
        const UINT payloadBytes = length - 2;
        if (marker == kApp1 && IsExifBlock(file, payload, payloadBytes))
        {
            CExifBlock tiff(file, payload + sizeof(kExifSignature), payloadBytes - sizeof(kExifSignature));
            return OrientationInTiff(tiff);
        }
        offset += length;
    }
    return 0;
}

Orientation ReadPictureOrientation(Gdiplus::Image& picture, LPCWSTR path)
{
    const UINT bytes = picture.GetPropertyItemSize(kOrientationTag);
    if (bytes == 0)
        return ReadJpegOrientation(path);
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[bytes]);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.get());
    if (!item || picture.GetPropertyItem(kOrientationTag, bytes, item) != Gdiplus::Ok)
        return 0;
    const bool oneShort = item->type == kTypeShort && item->length == sizeof(USHORT) && item->value;
    return oneShort ? Usable(*static_cast<const USHORT*>(item->value)) : 0;
}

Gdiplus::Status TurnUpright(Gdiplus::Image& picture, Orientation orientation)
{
    // The mirrored quarter turns (5 and 7) are a turn and then a mirror, made as two calls:
    // Wine's GDI+ mirrors first for Rotate90FlipX and Rotate270FlipX, which gives the other
    // diagonal. Each call alone means the same there as on Windows.
    static const Gdiplus::RotateFlipType kSteps[][2] = {
        {Gdiplus::RotateNoneFlipX, Gdiplus::RotateNoneFlipNone},   // 2
        {Gdiplus::Rotate180FlipNone, Gdiplus::RotateNoneFlipNone}, // 3
        {Gdiplus::RotateNoneFlipY, Gdiplus::RotateNoneFlipNone},   // 4
        {Gdiplus::Rotate90FlipNone, Gdiplus::RotateNoneFlipX},     // 5
        {Gdiplus::Rotate90FlipNone, Gdiplus::RotateNoneFlipNone},  // 6
        {Gdiplus::Rotate270FlipNone, Gdiplus::RotateNoneFlipX},    // 7
        {Gdiplus::Rotate270FlipNone, Gdiplus::RotateNoneFlipNone}, // 8
    };
    if (orientation < 2 || orientation > 8)
        return Gdiplus::Ok;
    Gdiplus::Status status = Gdiplus::Ok;
    for (Gdiplus::RotateFlipType step : kSteps[orientation - 2])
        if (status == Gdiplus::Ok && step != Gdiplus::RotateNoneFlipNone)
            status = picture.RotateFlip(step);
    return status;
}

BOOL SwapsSides(Orientation orientation)
{
    return orientation >= 5 && orientation <= 8;
}
