#include "picturecheck.h"

#include "headerreader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace
{
PictureVerdict VerdictOnSize(ULONGLONG width, ULONGLONG height)
{
    if (width == 0 || height == 0)
        return PictureVerdict::Damaged;
    // Each side is below 2^32, so the product cannot overflow.
    return width * height > kMostPicturePixels ? PictureVerdict::TooLarge : PictureVerdict::Accepted;
}

// ---- JPEG: the segments up to the frame header, then up to the first scan ------------------

bool IsFrameMarker(UINT marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

PictureVerdict CheckJpeg(CHeaderReader& file)
{
    bool frameSeen = false;
    ULONGLONG offset = 2;
    UINT marker, length;
    while (NextJpegSegment(file, offset, marker, length))
    {
        if (marker == 0xDA)
            return frameSeen ? PictureVerdict::Accepted : PictureVerdict::Damaged;
        if (IsFrameMarker(marker))
        {
            UINT height, width, components;
            if (frameSeen || length < 8 || !file.Word(offset + 3, true, height) || !file.Word(offset + 5, true, width) ||
                !file.Byte(offset + 7, components) || components < 1 || components > 4 || length < 8 + 3 * components)
                return PictureVerdict::Damaged;
            const PictureVerdict size = VerdictOnSize(width, height);
            if (size != PictureVerdict::Accepted)
                return size;
            frameSeen = true;
        }
        offset += length;
    }
    return PictureVerdict::Damaged;
}

// ---- PNG: the header chunk, then every chunk up to the end --------------------------------

// Bits per pixel of a colour type and bit depth that PNG allows; 0 for any other pair.
UINT PngBitsPerPixel(UINT colourType, UINT depth)
{
    const bool anyDepth = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    switch (colourType)
    {
    case 0: return anyDepth ? depth : 0;
    case 3: return anyDepth && depth <= 8 ? depth : 0;
    case 2: return depth == 8 || depth == 16 ? 3 * depth : 0;
    case 4: return depth == 8 || depth == 16 ? 2 * depth : 0;
    case 6: return depth == 8 || depth == 16 ? 4 * depth : 0;
    default: return 0;
    }
}

// Deflate packs at most 1032 bytes into one; a little is added for the stream's own bytes.
const ULONGLONG kMostDeflateRatio = 1032;

PictureVerdict CheckPng(CHeaderReader& file)
{
    UINT length, type, width, height, depth, colourType, compression, filter, interlace;
    if (!file.Long(8, true, length) || length != 13 || !file.Long(12, true, type) || type != 0x49484452 ||
        !file.Long(16, true, width) || !file.Long(20, true, height) || !file.Byte(24, depth) ||
        !file.Byte(25, colourType) || !file.Byte(26, compression) || !file.Byte(27, filter) ||
        !file.Byte(28, interlace))
        return PictureVerdict::Damaged;
    const ULONGLONG bitsPerPixel = PngBitsPerPixel(colourType, depth);
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF || bitsPerPixel == 0 || compression != 0 || filter != 0 ||
        interlace > 1)
        return PictureVerdict::Damaged;
    const PictureVerdict size = VerdictOnSize(width, height);
    if (size != PictureVerdict::Accepted)
        return size;

    ULONGLONG imageData = 0;
    for (ULONGLONG offset = 8;;)
    {
        if (!file.Long(offset, true, length) || !file.Long(offset + 4, true, type) || length > 0x7FFFFFFF ||
            !file.Holds(offset, 12ull + length))
            return PictureVerdict::Damaged;
        if (type == 0x49444154)  // IDAT
            imageData += length;
        if (type == 0x49454E44)  // IEND
            break;
        offset += 12ull + length;
    }
    const ULONGLONG rawBytes = height * (1 + (width * bitsPerPixel + 7) / 8);
    return imageData * kMostDeflateRatio + 64 >= rawBytes ? PictureVerdict::Accepted : PictureVerdict::Damaged;
}

// ---- GIF: the screen, then every block; each image needs a colour table --------------------

bool SkipSubBlocks(CHeaderReader& file, ULONGLONG& offset)
{
    for (;;)
    {
        UINT length;
        if (!file.Byte(offset, length))
            return false;
        offset += 1 + length;
        if (length == 0)
            return true;
    }
}

ULONGLONG ColourTableBytes(UINT packed)
{
    return (packed & 0x80) ? 3ull << ((packed & 7) + 1) : 0;
}

PictureVerdict CheckGif(CHeaderReader& file)
{
    UINT screenWidth, screenHeight, packed;
    if (!file.Word(6, false, screenWidth) || !file.Word(8, false, screenHeight) || !file.Byte(10, packed))
        return PictureVerdict::Damaged;
    PictureVerdict verdict = VerdictOnSize(screenWidth, screenHeight);
    if (verdict != PictureVerdict::Accepted)
        return verdict;
    const bool globalTable = (packed & 0x80) != 0;
    ULONGLONG offset = 13 + ColourTableBytes(packed);
    bool imageSeen = false;
    for (;;)
    {
        UINT introducer;
        if (!file.Byte(offset, introducer))
            return imageSeen ? PictureVerdict::Accepted : PictureVerdict::Damaged;  // no trailer
        if (introducer == 0x3B)
            return imageSeen ? PictureVerdict::Accepted : PictureVerdict::Damaged;
        if (introducer == 0x21)
        {
            offset += 2;  // the introducer and the label
            if (!SkipSubBlocks(file, offset))
                return PictureVerdict::Damaged;
            continue;
        }
        if (introducer != 0x2C)
            return PictureVerdict::Damaged;
        UINT width, height, imagePacked, codeSize;
        if (!file.Word(offset + 5, false, width) || !file.Word(offset + 7, false, height) ||
            !file.Byte(offset + 9, imagePacked))
            return PictureVerdict::Damaged;
        verdict = VerdictOnSize(width, height);
        if (verdict != PictureVerdict::Accepted)
            return verdict;
        // An image with neither its own nor the global colour table brings decoders down.
        if (!globalTable && !(imagePacked & 0x80))
            return PictureVerdict::Damaged;
        offset += 10 + ColourTableBytes(imagePacked);
        if (!file.Byte(offset, codeSize) || codeSize < 1 || codeSize > 11)
            return PictureVerdict::Damaged;
        ++offset;
        if (!SkipSubBlocks(file, offset))
            return PictureVerdict::Damaged;
        imageSeen = true;
    }
}

// ---- BMP: both headers, the colour table and the pixel rows within the file ----------------

const UINT kCoreHeaderBytes = 12;

PictureVerdict CheckBmp(CHeaderReader& file)
{
    UINT pixelOffset, headerBytes;
    if (!file.Long(10, false, pixelOffset) || !file.Long(14, false, headerBytes))
        return PictureVerdict::Damaged;
    LONG width, height;
    UINT planes, bitCount, compression = BI_RGB, coloursUsed = 0;
    if (headerBytes == kCoreHeaderBytes)
    {
        UINT coreWidth, coreHeight;
        if (!file.Word(18, false, coreWidth) || !file.Word(20, false, coreHeight) || !file.Word(22, false, planes) ||
            !file.Word(24, false, bitCount))
            return PictureVerdict::Damaged;
        width = static_cast<LONG>(coreWidth);
        height = static_cast<LONG>(coreHeight);
    }
    else if (headerBytes < 40 || !file.SignedLong(18, width) || !file.SignedLong(22, height) ||
             !file.Word(26, false, planes) || !file.Word(28, false, bitCount) || !file.Long(30, false, compression) ||
             !file.Long(46, false, coloursUsed))
    {
        return PictureVerdict::Damaged;
    }
    if (!file.Holds(14, headerBytes) || planes != 1 || width <= 0 || height == 0 || height == LONG_MIN)
        return PictureVerdict::Damaged;
    // Pictures packed as JPEG or PNG inside a bitmap are not read by GDI+.
    if (compression == BI_JPEG || compression == BI_PNG)
        return PictureVerdict::Unreadable;
    const bool topDown = height < 0;
    const ULONGLONG rows = topDown ? -static_cast<LONGLONG>(height) : height;
    const PictureVerdict size = VerdictOnSize(static_cast<ULONGLONG>(width), rows);
    if (size != PictureVerdict::Accepted)
        return size;

    const bool bitFields = compression == BI_BITFIELDS || compression == 6;  // 6: bit fields with alpha
    const bool validDepth = compression == BI_RGB     ? (bitCount == 1 || bitCount == 4 || bitCount == 8 ||
                                                     bitCount == 16 || bitCount == 24 || bitCount == 32)
                            : compression == BI_RLE8 ? bitCount == 8
                            : compression == BI_RLE4 ? bitCount == 4
                            : bitFields              ? (bitCount == 16 || bitCount == 32)
                                                     : false;
    if (!validDepth || (topDown && compression != BI_RGB && !bitFields))
        return PictureVerdict::Damaged;
    ULONGLONG tableBytes = 0;
    if (bitCount <= 8)
    {
        if (coloursUsed > (1u << bitCount))
            return PictureVerdict::Damaged;
        tableBytes = (coloursUsed ? coloursUsed : 1u << bitCount) * (headerBytes == kCoreHeaderBytes ? 3 : 4);
    }
    if (bitFields && headerBytes == 40)
        tableBytes += compression == BI_BITFIELDS ? 12 : 16;  // the masks follow the header
    if (!file.Holds(14, headerBytes + tableBytes) || pixelOffset >= file.Size())
        return PictureVerdict::Damaged;
    if (compression == BI_RLE8 || compression == BI_RLE4)
        return PictureVerdict::Accepted;
    const ULONGLONG stride = (static_cast<ULONGLONG>(width) * bitCount + 31) / 32 * 4;
    return file.Holds(pixelOffset, stride * rows) ? PictureVerdict::Accepted : PictureVerdict::Damaged;
}

// ---- TIFF: the first directory, its values and its strips or tiles within the file ---------

ULONGLONG TiffTypeBytes(UINT type)
{
    static const BYTE kBytes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < sizeof(kBytes) ? kBytes[type] : 0;
}

struct TiffEntry
{
    UINT type = 0, count = 0;
    ULONGLONG valueOffset = 0;  // where the values are: in the entry itself or elsewhere
};

bool TiffValue(CHeaderReader& file, bool bigEndian, const TiffEntry& entry, UINT index, UINT& value)
{
    if (index >= entry.count)
        return false;
    if (entry.type == 3)
        return file.Word(entry.valueOffset + 2ull * index, bigEndian, value);
    if (entry.type == 4)
        return file.Long(entry.valueOffset + 4ull * index, bigEndian, value);
    return false;
}

// Each piece named by the offsets and byte counts lies within the file.
bool TiffPiecesInFile(CHeaderReader& file, bool bigEndian, const TiffEntry& offsets, const TiffEntry& counts)
{
    if (offsets.count == 0 || offsets.count != counts.count)
        return false;
    for (UINT i = 0; i < offsets.count; ++i)
    {
        UINT offset, bytes;
        if (!TiffValue(file, bigEndian, offsets, i, offset) || !TiffValue(file, bigEndian, counts, i, bytes) ||
            !file.Holds(offset, bytes))
            return false;
    }
    return true;
}

PictureVerdict CheckTiff(CHeaderReader& file, bool bigEndian)
{
    UINT directory, entries;
    if (!file.Long(4, bigEndian, directory) || directory < 8 || !file.Word(directory, bigEndian, entries) ||
        entries == 0 || !file.Holds(directory, 2 + 12ull * entries))
        return PictureVerdict::Damaged;
    enum { kWidth, kLength, kStripOffsets, kStripCounts, kTileOffsets, kTileCounts, kTags };
    static const UINT kTagNumbers[kTags] = {256, 257, 273, 279, 324, 325};
    TiffEntry found[kTags];
    for (UINT i = 0; i < entries; ++i)
    {
        const ULONGLONG at = directory + 2 + 12ull * i;
        UINT tag, type, count;
        if (!file.Word(at, bigEndian, tag) || !file.Word(at + 2, bigEndian, type) || !file.Long(at + 4, bigEndian, count))
            return PictureVerdict::Damaged;
        const ULONGLONG bytes = TiffTypeBytes(type) * count;
        if (bytes == 0)
            continue;  // an unknown type is passed over, as readers do
        TiffEntry entry;
        entry.type = type;
        entry.count = count;
        entry.valueOffset = at + 8;
        if (bytes > 4)
        {
            UINT elsewhere;
            if (!file.Long(at + 8, bigEndian, elsewhere) || !file.Holds(elsewhere, bytes))
                return PictureVerdict::Damaged;
            entry.valueOffset = elsewhere;
        }
        for (int t = 0; t < kTags; ++t)
            if (tag == kTagNumbers[t])
                found[t] = entry;
    }
    UINT width, length;
    if (!TiffValue(file, bigEndian, found[kWidth], 0, width) || !TiffValue(file, bigEndian, found[kLength], 0, length))
        return PictureVerdict::Damaged;
    const PictureVerdict size = VerdictOnSize(width, length);
    if (size != PictureVerdict::Accepted)
        return size;
    const bool pieces = found[kTileOffsets].count
                            ? TiffPiecesInFile(file, bigEndian, found[kTileOffsets], found[kTileCounts])
                            : TiffPiecesInFile(file, bigEndian, found[kStripOffsets], found[kStripCounts]);
    return pieces ? PictureVerdict::Accepted : PictureVerdict::Damaged;
}

// ---- EMF: the header, then every record up to the end-of-file record -----------------------

const UINT kEmfSignature = 0x464D4520;  // " EMF"
const UINT kEmfHeaderBytes = 88;
const UINT kEmrHeader = 1, kEmrEof = 14;

// Pixels across a frame given in hundredths of a millimetre on a device of the given size.
ULONGLONG FramePixels(LONG from, LONG to, LONG devicePixels, LONG deviceMillimetres)
{
    return (static_cast<ULONGLONG>(static_cast<LONGLONG>(to) - from) * devicePixels + 100ull * deviceMillimetres - 1) /
           (100ull * deviceMillimetres);
}

// The metafile player trusts what a record says inside itself: its handle-table entries,
// point and character counts and the offsets of the bitmaps it carries. These are checked
// for the records that the player reads so.
struct EmfHandleUse
{
    UINT type, offset;
    bool creates;  // makes the object; otherwise uses it (a stock object may be named)
};
const EmfHandleUse kEmfHandleUses[] = {{37, 8, false},  {38, 8, true},   {39, 8, true},   {40, 8, false},
                                       {48, 8, false},  {49, 8, true},   {50, 8, false},  {51, 8, false},
                                       {71, 28, false}, {72, 28, false}, {82, 8, true},   {93, 8, true},
                                       {94, 8, true},   {95, 8, true},   {99, 8, true},   {100, 8, false},
                                       {101, 8, false}, {122, 8, true}};

struct EmfPoints
{
    UINT type, bytesPerPoint;
};
// Bounds, then a count at 24 and the points from 28.
const EmfPoints kEmfPoints[] = {{2, 8},  {3, 8},  {4, 8},  {5, 8},  {6, 8},  {56, 9}, {85, 4},
                                {86, 4}, {87, 4}, {88, 4}, {89, 4}, {92, 5}};
// Bounds, then the number of polygons at 24, the number of points at 28, the counts from 32.
const EmfPoints kEmfPolyPoints[] = {{7, 8}, {8, 8}, {90, 4}, {91, 4}};

struct EmfBitmap
{
    UINT type, offset;  // of the bitmap's header offset; its size, the bits' offset and size follow
    UINT brushStyleAt;  // where the record says whether it draws with its bitmap at all; 0: always
};
// A pen carries a bitmap only for a pattern brush style; other pens name an empty one.
const UINT kEmrExtCreatePenBrushStyle = 36;
const EmfBitmap kEmfBitmaps[] = {{76, 84, 0},  {77, 84, 0},  {78, 84, 0}, {80, 48, 0},
                                 {81, 48, 0},  {93, 16, 0},  {94, 16, 0}, {95, 12, kEmrExtCreatePenBrushStyle},
                                 {114, 84, 0}, {116, 84, 0}};

bool IsPatternBrushStyle(UINT style)
{
    return style == BS_PATTERN || style == BS_DIBPATTERN || style == BS_DIBPATTERNPT;
}

struct EmfRegion
{
    UINT type, sizeOffset, dataOffset;
};
const UINT kEmrExtSelectClipRgn = 75;
const EmfRegion kEmfRegions[] = {
    {kEmrExtSelectClipRgn, 8, 16}, {71, 24, 32}, {72, 24, 40}, {73, 24, 28}, {74, 24, 28}};

// Shapes given by a box at 8: ellipse, rectangle, round rectangle, arc, chord, pie, arc-to.
const UINT kEmfBoxShapes[] = {42, 43, 44, 45, 46, 47, 55};
// The player's drawing of a shape far beyond any device (2^30 and more) brings it down.
const LONG kFarthestCoordinate = 1 << 27;

bool CoordinatesInRange(CHeaderReader& file, ULONGLONG at, ULONGLONG count)
{
    for (ULONGLONG i = 0; i < count; ++i)
    {
        LONG value;
        if (!file.SignedLong(at + 4 * i, value) || value > kFarthestCoordinate || value < -kFarthestCoordinate)
            return false;
    }
    return true;
}

const UINT kEmrGdiComment = 70, kEmrExtTextOutA = 83, kEmrExtTextOutW = 84;
const UINT kEtoPdy = 0x2000;

const UINT kEmfPlusSignature = 0x2B464D45;  // "EMF+"
const UINT kEmfPlusRecordHeaderBytes = 12;

// The drawing records of GDI+ that a comment carries: the player steps from one to the next by
// the size each gives (stuck on a size of 0) and reads as much data as each says it holds.
bool EmfPlusRecordsAreSound(CHeaderReader& file, ULONGLONG data, UINT dataBytes)
{
    UINT signature;
    if (dataBytes < 4 || !file.Long(data, false, signature) || signature != kEmfPlusSignature)
        return true;
    for (ULONGLONG offset = 4; offset + kEmfPlusRecordHeaderBytes <= dataBytes;)
    {
        UINT size, recordData;
        if (!file.Long(data + offset + 4, false, size) || !file.Long(data + offset + 8, false, recordData) ||
            size < kEmfPlusRecordHeaderBytes || size % 4 != 0 || size > dataBytes - offset ||
            recordData > size - kEmfPlusRecordHeaderBytes)
            return false;
        offset += size;
    }
    return true;
}

// A bitmap carried by a record: its header and bits inside the record, and as many bits as
// the header's rows need.
bool EmfBitmapFits(CHeaderReader& file, ULONGLONG record, UINT bytes, UINT at)
{
    UINT headerAt, headerBytes, bitsAt, bitsBytes;
    if (!file.Long(record + at, false, headerAt) || !file.Long(record + at + 4, false, headerBytes) ||
        !file.Long(record + at + 8, false, bitsAt) || !file.Long(record + at + 12, false, bitsBytes))
        return false;
    // No bitmap (a pattern fill) names neither a header nor bits; a header named anywhere is
    // read by the player, whatever size it is given.
    if (headerAt == 0 && headerBytes == 0 && bitsAt == 0 && bitsBytes == 0)
        return true;
    headerBytes = std::max(headerBytes, 40u);
    if (headerAt > bytes || headerBytes > bytes - headerAt || bitsAt > bytes || bitsBytes > bytes - bitsAt)
        return false;
    LONG width, height;
    UINT bitCount, compression;
    if (!file.SignedLong(record + headerAt + 4, width) || !file.SignedLong(record + headerAt + 8, height) ||
        !file.Word(record + headerAt + 14, false, bitCount) || !file.Long(record + headerAt + 16, false, compression))
        return false;
    if (width < 0 || height == LONG_MIN || VerdictOnSize(static_cast<ULONGLONG>(width) + 1, 1) != PictureVerdict::Accepted)
        return false;
    if (compression != BI_RGB && compression != BI_BITFIELDS)
        return true;
    const ULONGLONG rows = height < 0 ? -static_cast<LONGLONG>(height) : height;
    return (static_cast<ULONGLONG>(width) * bitCount + 31) / 32 * 4 * rows <= bitsBytes;
}

bool EmfRecordIsSound(CHeaderReader& file, ULONGLONG record, UINT type, UINT bytes, UINT handles)
{
    UINT value, count;
    for (const EmfHandleUse& use : kEmfHandleUses)
    {
        if (use.type != type)
            continue;
        if (bytes < use.offset + 4 || !file.Long(record + use.offset, false, value))
            return false;
        const bool stock = !use.creates && (value & 0x80000000);
        if (!stock && (value == 0 || value >= handles))
            return false;
    }
    for (UINT shape : kEmfBoxShapes)
        if (shape == type && (bytes < 24 || !CoordinatesInRange(file, record + 8, 4)))
            return false;
    for (const EmfPoints& points : kEmfPoints)
    {
        if (points.type != type)
            continue;
        if (bytes < 28 || !file.Long(record + 24, false, count) ||
            28ull + static_cast<ULONGLONG>(points.bytesPerPoint) * count > bytes)
            return false;
        if (points.bytesPerPoint >= 8 && !CoordinatesInRange(file, record + 28, 2ull * count))
            return false;
    }
    for (const EmfPoints& points : kEmfPolyPoints)
    {
        if (points.type != type)
            continue;
        UINT polygons;
        if (bytes < 32 || !file.Long(record + 24, false, polygons) || !file.Long(record + 28, false, count) ||
            32ull + 4ull * polygons + static_cast<ULONGLONG>(points.bytesPerPoint) * count > bytes)
            return false;
        ULONGLONG total = 0;
        for (UINT i = 0; i < polygons; ++i)
        {
            if (!file.Long(record + 32 + 4ull * i, false, value))
                return false;
            total += value;
        }
        if (total != count)
            return false;
    }
    for (const EmfBitmap& bitmap : kEmfBitmaps)
    {
        if (bitmap.type != type)
            continue;
        UINT style = BS_DIBPATTERN;
        if (bitmap.brushStyleAt != 0 && (bytes < bitmap.brushStyleAt + 4 ||
                                         !file.Long(record + bitmap.brushStyleAt, false, style)))
            return false;
        if (IsPatternBrushStyle(style) &&
            (bytes < bitmap.offset + 16 || !EmfBitmapFits(file, record, bytes, bitmap.offset)))
            return false;
    }
    for (const EmfRegion& region : kEmfRegions)
    {
        if (region.type != type)
            continue;
        UINT regionBytes, rectangles;
        if (bytes < region.dataOffset || !file.Long(record + region.sizeOffset, false, regionBytes))
            return false;
        // Selecting no region (the whole device) carries none.
        if (type == kEmrExtSelectClipRgn && regionBytes == 0 && bytes == region.dataOffset)
            continue;
        if (regionBytes > bytes - region.dataOffset || regionBytes < 32 ||
            !file.Long(record + region.dataOffset + 8, false, rectangles) || 32ull + 16ull * rectangles > regionBytes)
            return false;
    }
    if (type == kEmrGdiComment && (bytes < 12 || !file.Long(record + 8, false, count) || 12ull + count > bytes ||
                                   !EmfPlusRecordsAreSound(file, record + 12, count)))
        return false;
    if (type == kEmrExtTextOutA || type == kEmrExtTextOutW)
    {
        UINT textAt, options, spacingAt;
        if (bytes < 76 || !file.Long(record + 44, false, count) || !file.Long(record + 48, false, textAt) ||
            !file.Long(record + 52, false, options) || !file.Long(record + 72, false, spacingAt))
            return false;
        const ULONGLONG textBytes = static_cast<ULONGLONG>(count) * (type == kEmrExtTextOutW ? 2 : 1);
        const ULONGLONG spacingBytes = static_cast<ULONGLONG>(count) * ((options & kEtoPdy) ? 8 : 4);
        if (count > 0 && (textAt > bytes || textBytes > bytes - textAt))
            return false;
        if (count > 0 && spacingAt != 0 && (spacingAt > bytes || spacingBytes > bytes - spacingAt))
            return false;
    }
    return true;
}

PictureVerdict CheckEmf(CHeaderReader& file)
{
    UINT headerBytes, signature, totalBytes, handles, descriptionLength, descriptionAt;
    LONG bounds[4], frame[4], device[2], millimetres[2];
    bool read = file.Long(4, false, headerBytes) && file.Long(40, false, signature) &&
                file.Long(48, false, totalBytes) && file.Word(56, false, handles) &&
                file.Long(60, false, descriptionLength) && file.Long(64, false, descriptionAt);
    for (int i = 0; i < 4 && read; ++i)
        read = file.SignedLong(8 + 4 * i, bounds[i]) && file.SignedLong(24 + 4 * i, frame[i]);
    for (int i = 0; i < 2 && read; ++i)
        read = file.SignedLong(72 + 4 * i, device[i]) && file.SignedLong(80 + 4 * i, millimetres[i]);
    if (!read || signature != kEmfSignature || headerBytes < kEmfHeaderBytes || headerBytes % 4 != 0 ||
        !file.Holds(0, headerBytes) || totalBytes > file.Size())
        return PictureVerdict::Damaged;
    // Entry 0 of the handle table is the picture itself: a table without it sends the player's
    // writes past its end.
    if (handles == 0)
        return PictureVerdict::Damaged;
    // The description, read when the picture is opened, lies within the header record.
    if (descriptionLength != 0 &&
        (descriptionAt > headerBytes || 2ull * descriptionLength > headerBytes - descriptionAt))
        return PictureVerdict::Damaged;
    if (frame[2] <= frame[0] || frame[3] <= frame[1] || device[0] <= 0 || device[1] <= 0 || millimetres[0] <= 0 ||
        millimetres[1] <= 0)
        return PictureVerdict::Damaged;
    // The picture is as large as the larger of its bounds (empty when nothing was drawn) and
    // its frame on the recording device.
    const auto boundsPixels = [](LONG from, LONG to) {
        return to < from ? 0ull : static_cast<ULONGLONG>(static_cast<LONGLONG>(to) - from + 1);
    };
    const ULONGLONG width = std::max(boundsPixels(bounds[0], bounds[2]),
                                     FramePixels(frame[0], frame[2], device[0], millimetres[0]));
    const ULONGLONG height = std::max(boundsPixels(bounds[1], bounds[3]),
                                      FramePixels(frame[1], frame[3], device[1], millimetres[1]));
    if (width > 0xFFFFFFFF || height > 0xFFFFFFFF)
        return PictureVerdict::TooLarge;
    const PictureVerdict size = VerdictOnSize(width, height);
    if (size != PictureVerdict::Accepted)
        return size;

    for (ULONGLONG offset = headerBytes;;)
    {
        UINT type, bytes;
        if (!file.Long(offset, false, type) || !file.Long(offset + 4, false, bytes) || bytes < 8 || bytes % 4 != 0 ||
            !file.Holds(offset, bytes) || type == kEmrHeader)
            return PictureVerdict::Damaged;
        if (type == kEmrEof)
            return PictureVerdict::Accepted;
        if (!EmfRecordIsSound(file, offset, type, bytes, handles))
            return PictureVerdict::Damaged;
        offset += bytes;
    }
}

// ---- WMF behind its placeable header: the headers, then every record up to the last --------

const UINT kPlaceableBytes = 22;
const UINT kMetaHeaderWords = 9;

// Records that name entries of the object table (in words after the function), and records
// whose counts tell how many points or characters follow.
struct WmfObjectUse
{
    UINT function, firstWord, words;
};
const WmfObjectUse kWmfObjectUses[] = {{0x12D, 0, 1}, {0x1F0, 0, 1}, {0x234, 0, 1}, {0x12C, 0, 1},
                                       {0x12A, 0, 1}, {0x12B, 0, 1}, {0x228, 0, 2}, {0x429, 0, 2}};
const UINT kWmfPolygon = 0x324, kWmfPolyline = 0x325, kWmfPolyPolygon = 0x538, kWmfTextOut = 0x521,
           kWmfExtTextOut = 0xA32;
const UINT kEtoClipped = 4, kEtoOpaque = 2;

bool WmfRecordIsSound(CHeaderReader& file, ULONGLONG record, UINT function, ULONGLONG bytes, UINT objects)
{
    const ULONGLONG parameters = record + 6;
    UINT value, count;
    for (const WmfObjectUse& use : kWmfObjectUses)
    {
        if (use.function != function)
            continue;
        for (UINT i = 0; i < use.words; ++i)
            if (bytes < 6 + 2ull * (use.firstWord + i + 1) ||
                !file.Word(parameters + 2ull * (use.firstWord + i), false, value) || value >= objects)
                return false;
    }
    if (function == kWmfPolygon || function == kWmfPolyline)
        return bytes >= 8 && file.Word(parameters, false, count) && 8 + 4ull * count <= bytes;
    if (function == kWmfPolyPolygon)
    {
        UINT polygons;
        if (bytes < 8 || !file.Word(parameters, false, polygons) || 8 + 2ull * polygons > bytes)
            return false;
        ULONGLONG points = 0;
        for (UINT i = 0; i < polygons; ++i)
        {
            if (!file.Word(parameters + 2 + 2ull * i, false, value))
                return false;
            points += value;
        }
        return 8 + 2ull * polygons + 4 * points <= bytes;
    }
    if (function == kWmfTextOut)
        return bytes >= 8 && file.Word(parameters, false, count) && 8 + (count + 1ull) / 2 * 2 + 4 <= bytes;
    if (function == kWmfExtTextOut)
    {
        UINT options;
        if (bytes < 14 || !file.Word(parameters + 4, false, count) || !file.Word(parameters + 6, false, options))
            return false;
        const ULONGLONG rectangle = (options & (kEtoClipped | kEtoOpaque)) ? 8 : 0;
        return 14 + rectangle + (count + 1ull) / 2 * 2 <= bytes;
    }
    return true;
}

PictureVerdict CheckPlaceableWmf(CHeaderReader& file)
{
    UINT left, top, right, bottom, unitsPerInch, type, headerWords, objects;
    if (!file.Word(6, false, left) || !file.Word(8, false, top) || !file.Word(10, false, right) ||
        !file.Word(12, false, bottom) || !file.Word(14, false, unitsPerInch) ||
        !file.Word(kPlaceableBytes, false, type) || !file.Word(kPlaceableBytes + 2, false, headerWords) ||
        !file.Word(kPlaceableBytes + 10, false, objects))
        return PictureVerdict::Damaged;
    if (unitsPerInch == 0 || (type != 1 && type != 2) || headerWords != kMetaHeaderWords)
        return PictureVerdict::Damaged;
    // Sides in the picture's own units and at 96 pixels per inch; the larger one counts.
    const auto side = [unitsPerInch](UINT from, UINT to) {
        const LONGLONG units = static_cast<SHORT>(to) - static_cast<LONGLONG>(static_cast<SHORT>(from));
        const ULONGLONG length = static_cast<ULONGLONG>(units < 0 ? -units : units);
        return std::max(length, (length * 96 + unitsPerInch - 1) / unitsPerInch);
    };
    const PictureVerdict size = VerdictOnSize(side(left, right), side(top, bottom));
    if (size != PictureVerdict::Accepted)
        return size;

    for (ULONGLONG offset = kPlaceableBytes + 2ull * kMetaHeaderWords;;)
    {
        UINT words, function;
        if (!file.Long(offset, false, words) || !file.Word(offset + 4, false, function) || words < 3 ||
            !file.Holds(offset, 2ull * words))
            return PictureVerdict::Damaged;
        if (function == 0)  // the last record
            return PictureVerdict::Accepted;
        if (!WmfRecordIsSound(file, offset, function, 2ull * words, objects))
            return PictureVerdict::Damaged;
        offset += 2ull * words;
    }
}
}

PictureVerdict CheckPictureFile(LPCWSTR path)
{
    CHeaderReader file(path);
    if (!file.IsOpen())
        return PictureVerdict::Unreadable;
    if (file.Size() == 0)
        return PictureVerdict::Empty;
    static const BYTE kJpeg[] = {0xFF, 0xD8};
    static const BYTE kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static const BYTE kGif87[] = {'G', 'I', 'F', '8', '7', 'a'};
    static const BYTE kGif89[] = {'G', 'I', 'F', '8', '9', 'a'};
    static const BYTE kBmp[] = {'B', 'M'};
    static const BYTE kTiffLittle[] = {'I', 'I', 42, 0};
    static const BYTE kTiffBig[] = {'M', 'M', 0, 42};
    static const BYTE kPlaceableWmf[] = {0xD7, 0xCD, 0xC6, 0x9A};
    static const BYTE kEmf[] = {1, 0, 0, 0};
    if (file.Starts(kJpeg, sizeof(kJpeg)))
        return CheckJpeg(file);
    if (file.Starts(kPng, sizeof(kPng)))
        return CheckPng(file);
    if (file.Starts(kGif87, sizeof(kGif87)) || file.Starts(kGif89, sizeof(kGif89)))
        return CheckGif(file);
    if (file.Starts(kBmp, sizeof(kBmp)))
        return CheckBmp(file);
    if (file.Starts(kTiffLittle, sizeof(kTiffLittle)))
        return CheckTiff(file, false);
    if (file.Starts(kTiffBig, sizeof(kTiffBig)))
        return CheckTiff(file, true);
    if (file.Starts(kPlaceableWmf, sizeof(kPlaceableWmf)))
        return CheckPlaceableWmf(file);
    if (file.Starts(kEmf, sizeof(kEmf)))
        return CheckEmf(file);
    return PictureVerdict::Unreadable;
}
