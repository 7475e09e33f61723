// Exif blocks and JPEG segments written byte by byte, so that tests choose every field.
#pragma once

#include <windows.h>

#include <vector>

using Bytes = std::vector<BYTE>;

struct ExifEntry
{
    WORD tag, type;
    DWORD count, value;
};
const WORD kOrientationTag = 0x0112;
const WORD kTypeShort = 3, kTypeLong = 4;

// "Exif\0\0", a TIFF header in the byte order and IFD0 at ifdOffset (from the TIFF header)
// holding the entries; a SHORT value fills the first two bytes of its value field, any other
// all four. Nothing is written between the header and ifdOffset.
Bytes ExifPayload(bool bigEndian, const std::vector<ExifEntry>& entries, DWORD ifdOffset = 8);

// A JPEG segment: 0xFF, the marker, the length (the payload's and its own two bytes), the payload.
Bytes JpegSegment(BYTE marker, const Bytes& payload);

// An Exif block (APP1) whose IFD0 holds one orientation entry: one SHORT of the value.
Bytes OrientationSegment(WORD value, bool bigEndian = false);

Bytes operator+(Bytes left, const Bytes& right);
