#include "exiffixtures.h"

#include <algorithm>

namespace
{
void Put(Bytes& out, bool bigEndian, DWORD value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
    {
        const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
        out.push_back(static_cast<BYTE>(value >> shift));
    }
}
}

Bytes ExifPayload(bool bigEndian, const std::vector<ExifEntry>& entries, DWORD ifdOffset)
{
    Bytes out = {'E', 'x', 'i', 'f', 0, 0};
    const size_t tiff = out.size();
    Put(out, false, bigEndian ? 0x4D4D : 0x4949, 2);  // "MM" or "II"
    Put(out, bigEndian, 42, 2);
    Put(out, bigEndian, ifdOffset, 4);
    out.resize(std::max<size_t>(out.size(), tiff + ifdOffset), 0);
    Put(out, bigEndian, static_cast<DWORD>(entries.size()), 2);
    for (const ExifEntry& entry : entries)
    {
        Put(out, bigEndian, entry.tag, 2);
        Put(out, bigEndian, entry.type, 2);
        Put(out, bigEndian, entry.count, 4);
        if (entry.type == kTypeShort)
        {
            Put(out, bigEndian, entry.value, 2);
            Put(out, bigEndian, 0, 2);
        }
        else
            Put(out, bigEndian, entry.value, 4);
    }
    Put(out, bigEndian, 0, 4);  // no next directory
    return out;
}

Bytes JpegSegment(BYTE marker, const Bytes& payload)
{
    Bytes out = {0xFF, marker};
    Put(out, true, static_cast<DWORD>(payload.size() + 2), 2);
    return out + payload;
}

Bytes OrientationSegment(WORD value, bool bigEndian)
{
    return JpegSegment(0xE1, ExifPayload(bigEndian, {{kOrientationTag, kTypeShort, 1, value}}));
}

Bytes operator+(Bytes left, const Bytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}
