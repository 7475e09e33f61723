// The orientation tag as the batch reads it from a JPEG file itself: what a tag says, and
// hostile Exif blocks that must read as no tag without a read outside the block.
#include <gtest/gtest.h>

#include "exiffixtures.h"
#include "pictureorientation.h"
#include "testpaths.h"

#include <algorithm>
#include <string>

namespace
{
const Bytes kStart = {0xFF, 0xD8};
// A scan and the end of the image: the reader stops at the scan.
const Bytes kScanAndEnd = {0xFF, 0xDA, 0, 2, 0xFF, 0xD9};
const Bytes kJfif = JpegSegment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
const Bytes kXmp = JpegSegment(0xE1, {'h', 't', 't', 'p', ':', '/', '/', 'n', 's', '.', 0});

Bytes Orientation6Entry()
{
    return ExifPayload(false, {{kOrientationTag, kTypeShort, 1, 6}});
}

// The Exif block with bytes changed from `at` on (counted from the start of "Exif").
Bytes Changed(Bytes payload, size_t at, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), payload.begin() + static_cast<std::ptrdiff_t>(at));
    return payload;
}

// An Exif block whose IFD0 offset points past its end, at a sound directory that lies in the
// next segment of the file: a reader that follows it out of the block finds a 6 there.
Bytes DirectoryOutsideTheBlock()
{
    const Bytes outside = ExifPayload(false, {{kOrientationTag, kTypeShort, 1, 6}});
    Bytes block = ExifPayload(false, {}, 8);
    // The rest of this block's TIFF part, the next segment's marker and length, its "Exif\0\0"
    // and its TIFF header.
    const size_t beyond = (block.size() - 6) + 4 + 6 + 8;
    block[10] = static_cast<BYTE>(beyond);
    return JpegSegment(0xE1, block) + JpegSegment(0xE2, outside);
}

TEST(PictureOrientationTest, ReadsTheTagOfIfd0AndTreatsAnythingMalformedAsNoTag)
{
    const Bytes tag6 = Orientation6Entry();
    const struct
    {
        const char* name;
        Bytes afterStart;
        Orientation expected;
    } cases[] = {
        {"little-endian 6", OrientationSegment(6), 6},
        {"big-endian 3", OrientationSegment(3, true), 3},
        {"big-endian 8", OrientationSegment(8, true), 8},
        {"after JFIF and an XMP block", kJfif + kXmp + OrientationSegment(5), 5},
        {"among other entries", JpegSegment(0xE1, ExifPayload(true, {{0x010F, 2, 4, 0x41424300}, {0x0110, 2, 4, 0},
                                                                      {kOrientationTag, kTypeShort, 1, 7},
                                                                      {0x011A, 5, 1, 0}})), 7},
        {"no Exif block", kJfif, 0},
        {"no orientation entry", JpegSegment(0xE1, ExifPayload(false, {{0x0110, 2, 4, 0}})), 0},
        {"tag 1", OrientationSegment(1), 1},
        {"value 0", OrientationSegment(0), 0},
        {"value 9", OrientationSegment(9), 0},
        {"value 0x0106 read in the wrong order", OrientationSegment(0x0600), 0},
        {"a LONG", JpegSegment(0xE1, ExifPayload(false, {{kOrientationTag, kTypeLong, 1, 6}})), 0},
        {"two SHORTs", JpegSegment(0xE1, ExifPayload(false, {{kOrientationTag, kTypeShort, 2, 6}})), 0},
        {"after the scan", kScanAndEnd + OrientationSegment(6), 0},
        {"Exif without its zeros", JpegSegment(0xE1, Changed(tag6, 5, {'x'})), 0},
        {"byte order IM", JpegSegment(0xE1, Changed(tag6, 7, {'M'})), 0},
        {"magic 43", JpegSegment(0xE1, Changed(tag6, 8, {43})), 0},
        {"IFD0 inside the TIFF header", JpegSegment(0xE1, Changed(tag6, 10, {4})), 0},
        {"IFD0 at 2^32 - 1",
         JpegSegment(0xE1, Changed(tag6, 10, {0xFF, 0xFF, 0xFF, 0xFF})), 0},
        {"IFD0 past the block, in the next segment", DirectoryOutsideTheBlock(), 0},
        {"more entries than the block holds", JpegSegment(0xE1, Changed(tag6, 15, {0x10})), 0},
        {"block cut inside the entry", JpegSegment(0xE1, Bytes(tag6.begin(), tag6.begin() + 22)), 0},
        {"block cut inside the TIFF header", JpegSegment(0xE1, Bytes(tag6.begin(), tag6.begin() + 10)), 0},
        {"only the signature", JpegSegment(0xE1, Bytes(tag6.begin(), tag6.begin() + 6)), 0},
        {"segment longer than the file", Bytes{0xFF, 0xE1, 0xFF, 0xF0} + tag6, 0},
        {"segment length 1", Bytes{0xFF, 0xE1, 0, 1} + OrientationSegment(6), 0},
        {"a second start of image", kStart + OrientationSegment(6), 0},
    };
    const std::wstring path = MakeTestFolder(L"orientation") + L"\\tagged.jpg";
    for (const auto& c : cases)
    {
        const Bytes file = c.afterStart.empty() ? kStart : kStart + c.afterStart + kScanAndEnd;
        ASSERT_TRUE(WriteFileBytes(path, file));
        EXPECT_EQ(c.expected, ReadJpegOrientation(path.c_str())) << c.name;
    }
    for (const Bytes& notJpeg : {Bytes{}, Bytes{0xFF}, Bytes{0x89, 'P', 'N', 'G'} + OrientationSegment(6)})
    {
        ASSERT_TRUE(WriteFileBytes(path, notJpeg));
        EXPECT_EQ(0, ReadJpegOrientation(path.c_str())) << notJpeg.size() << " bytes";
    }
    EXPECT_EQ(0, ReadJpegOrientation((path + L".missing").c_str()));
}
}
