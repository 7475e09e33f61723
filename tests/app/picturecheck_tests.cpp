// The header checks before GDI+: pictures of every kind as the platform writes them pass;
// the same pictures with headers that claim 60 000 × 60 000 pixels, cut short, or at odds
// with the file are refused with their reason.
#include <gtest/gtest.h>

#include "apptesting.h"
#include "picturecheck.h"
#include "picturefixtures.h"
#include "testpaths.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<unsigned char>;

void PutBigEndian(Bytes& bytes, size_t at, unsigned value, int length)
{
    for (int i = 0; i < length; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * (length - 1 - i)));
}

void PutLittleEndian(Bytes& bytes, size_t at, unsigned value, int length)
{
    for (int i = 0; i < length; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

unsigned LittleEndian(const Bytes& bytes, size_t at, int length)
{
    unsigned value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = (value << 8) | bytes.at(at + i);
    return value;
}

unsigned Crc32(const unsigned char* data, size_t length)
{
    unsigned crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
    {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// The offset of the JPEG's frame header (its marker's first byte).
size_t JpegFrameAt(const Bytes& jpeg)
{
    size_t at = 2;
    while (at + 4 < jpeg.size() && !(jpeg[at + 1] >= 0xC0 && jpeg[at + 1] <= 0xC2))
        at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
    return at;
}

void ClaimJpegSize(Bytes& jpeg, unsigned width, unsigned height)
{
    const size_t frame = JpegFrameAt(jpeg);
    PutBigEndian(jpeg, frame + 5, height, 2);
    PutBigEndian(jpeg, frame + 7, width, 2);
}

void ClaimPngSize(Bytes& png, unsigned width, unsigned height)
{
    PutBigEndian(png, 16, width, 4);
    PutBigEndian(png, 20, height, 4);
    PutBigEndian(png, 29, Crc32(png.data() + 12, 17), 4);  // the header chunk stays valid
}

// The GIF fixture: 13 bytes of screen, a table of two colours, then its one image.
const size_t kGifImageAt = 13 + 6;

void ClaimGifSize(Bytes& gif, unsigned width, unsigned height)
{
    PutLittleEndian(gif, 6, width, 2);
    PutLittleEndian(gif, 8, height, 2);
    PutLittleEndian(gif, kGifImageAt + 5, width, 2);
    PutLittleEndian(gif, kGifImageAt + 7, height, 2);
}

void DropGifColourTable(Bytes& gif)
{
    gif[10] &= 0x7F;
    gif.erase(gif.begin() + 13, gif.begin() + kGifImageAt);
}

void ClaimBmpSize(Bytes& bmp, unsigned width, unsigned height)
{
    PutLittleEndian(bmp, 18, width, 4);
    PutLittleEndian(bmp, 22, height, 4);
}

void ClaimTiffSize(Bytes& tiff, unsigned width, unsigned height)
{
    ASSERT_EQ('I', tiff[0]);
    const unsigned directory = LittleEndian(tiff, 4, 4);
    const unsigned entries = LittleEndian(tiff, directory, 2);
    for (unsigned i = 0; i < entries; ++i)
    {
        const size_t entry = directory + 2 + 12 * i;
        const unsigned tag = LittleEndian(tiff, entry, 2);
        const int length = LittleEndian(tiff, entry + 2, 2) == 3 ? 2 : 4;
        if (tag == 256)
            PutLittleEndian(tiff, entry + 8, width, length);
        if (tag == 257)
            PutLittleEndian(tiff, entry + 8, height, length);
    }
}

// The EMF's bounds (device pixels) and frame (hundredths of a millimetre) of a larger picture.
void ClaimEmfSize(Bytes& emf, unsigned width, unsigned height)
{
    const unsigned devicePixels = LittleEndian(emf, 72, 4), deviceMillimetres = LittleEndian(emf, 80, 4);
    PutLittleEndian(emf, 8, 0, 4);
    PutLittleEndian(emf, 12, 0, 4);
    PutLittleEndian(emf, 16, width - 1, 4);
    PutLittleEndian(emf, 20, height - 1, 4);
    PutLittleEndian(emf, 24, 0, 4);
    PutLittleEndian(emf, 28, 0, 4);
    PutLittleEndian(emf, 32, static_cast<unsigned>(100ull * width * deviceMillimetres / devicePixels), 4);
    PutLittleEndian(emf, 36, static_cast<unsigned>(100ull * height * deviceMillimetres / devicePixels), 4);
}

// The size field of the EMF's second record (the first after its header).
void SetSecondEmfRecordSize(Bytes& emf, unsigned size)
{
    const unsigned header = LittleEndian(emf, 4, 4);
    PutLittleEndian(emf, header + 4, size, 4);
}

// A value in the first record of the type, as damaged files that brought the platform's
// metafile player down had them: a handle-table entry out of the table, a shape far away.
void SetEmfRecordValue(Bytes& emf, unsigned recordType, size_t offset, unsigned value)
{
    for (size_t at = LittleEndian(emf, 4, 4); at + offset + 4 <= emf.size(); at += LittleEndian(emf, at + 4, 4))
        if (LittleEndian(emf, at, 4) == recordType)
        {
            PutLittleEndian(emf, at + offset, value, 4);
            return;
        }
    ADD_FAILURE() << "no record of type " << recordType;
}

// An EMF record of the type with the given 32-bit values after its type and size.
Bytes EmfRecord(unsigned type, std::initializer_list<unsigned> values)
{
    Bytes record(8 + 4 * values.size());
    PutLittleEndian(record, 0, type, 4);
    PutLittleEndian(record, 4, static_cast<unsigned>(record.size()), 4);
    size_t at = 8;
    for (unsigned value : values)
    {
        PutLittleEndian(record, at, value, 4);
        at += 4;
    }
    return record;
}

const unsigned kEmrEof = 14, kEmrRectangle = 43, kEmrExtSelectClipRgn = 75, kEmrGdiComment = 70,
               kEmrExtCreatePen = 95;

// The EMF's header with the given records, an end-of-file record and a handle table of the size.
auto EmfOf(std::vector<Bytes> records, unsigned handles)
{
    return [records, handles](Bytes& emf) {
        emf.resize(LittleEndian(emf, 4, 4));
        for (const Bytes& record : records)
            emf.insert(emf.end(), record.begin(), record.end());
        const Bytes end = EmfRecord(kEmrEof, {0, 16, 20});
        emf.insert(emf.end(), end.begin(), end.end());
        PutLittleEndian(emf, 48, static_cast<unsigned>(emf.size()), 4);
        PutLittleEndian(emf, 52, static_cast<unsigned>(records.size() + 2), 4);
        PutLittleEndian(emf, 56, handles, 2);
    };
}

const Bytes kEmfRectangle = EmfRecord(kEmrRectangle, {2, 2, 30, 20});
// A pen of the brush style; its bitmap's offsets point at the record's end and name no bytes,
// as recorders write them for every pen.
Bytes EmfPen(unsigned brushStyle)
{
    return EmfRecord(kEmrExtCreatePen, {1, 44, 0, 44, 0, PS_GEOMETRIC, 1, brushStyle, 0x7F7F7F, 0, 0});
}
// A comment carrying GDI+ records ("EMF+"): one comment record of the given size and data size.
Bytes EmfPlusComment(unsigned recordSize, unsigned dataSize)
{
    return EmfRecord(kEmrGdiComment, {20, 0x2B464D45, 0x4003, recordSize, dataSize, 0});
}

void SetWmfObjectIndex(Bytes& wmf, unsigned function, unsigned index)
{
    for (size_t at = 22 + 18; at + 8 <= wmf.size(); at += 2 * LittleEndian(wmf, at, 4))
        if (LittleEndian(wmf, at + 4, 2) == function)
        {
            PutLittleEndian(wmf, at + 6, index, 2);
            return;
        }
    ADD_FAILURE() << "no record " << function;
}

void ClaimWmfSize(Bytes& wmf, unsigned width, unsigned height)
{
    PutLittleEndian(wmf, 10, width, 2);
    PutLittleEndian(wmf, 12, height, 2);
    PutLittleEndian(wmf, 14, 1, 2);  // one unit per inch: every unit is an inch
}

struct CheckCase
{
    const char* name;
    PictureKind kind;
    std::function<void(Bytes&)> change;
    PictureVerdict expected;
};

class PictureCheckTest : public testing::Test
{
protected:
    void SetUp() override { m_folder = MakeTestFolder(L"picturecheck") + L"\\"; }

    // A 40 × 30 picture of the kind, changed as the case says, written to a file.
    std::wstring MakeChanged(const CheckCase& c)
    {
        const std::wstring path = m_folder + std::wstring(c.name, c.name + strlen(c.name));
        EXPECT_TRUE(MakePicture(path, c.kind, 40, 30));
        Bytes bytes = FileContent(path);
        if (c.change)
            c.change(bytes);
        FILE* file = _wfopen(path.c_str(), L"wb");
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
        return path;
    }

    std::wstring m_folder;
};

const auto kCut = [](size_t length) { return [length](Bytes& bytes) { bytes.resize(length); }; };

TEST_F(PictureCheckTest, PicturesAsThePlatformWritesThemPass)
{
    for (PictureKind kind : {PictureKind::Bmp, PictureKind::Gif, PictureKind::Jpg, PictureKind::Png, PictureKind::Tif,
                             PictureKind::Wmf, PictureKind::Emf})
    {
        const CheckCase c = {"good", kind, nullptr, PictureVerdict::Accepted};
        const std::wstring path = MakeChanged(c);
        EXPECT_EQ(PictureVerdict::Accepted, CheckPictureFile(path.c_str())) << static_cast<int>(kind);
        EXPECT_TRUE(ReadPictureInfo(path).loaded) << static_cast<int>(kind);
    }
}

TEST_F(PictureCheckTest, HostileHeadersAreRefusedWithTheirReason)
{
    const unsigned kHuge = 60000;
    const CheckCase cases[] = {
        // Headers that claim 60 000 × 60 000 pixels.
        {"huge.jpg", PictureKind::Jpg, [&](Bytes& b) { ClaimJpegSize(b, kHuge, kHuge); }, PictureVerdict::TooLarge},
        {"huge.png", PictureKind::Png, [&](Bytes& b) { ClaimPngSize(b, kHuge, kHuge); }, PictureVerdict::TooLarge},
        {"huge.gif", PictureKind::Gif, [&](Bytes& b) { ClaimGifSize(b, kHuge, kHuge); }, PictureVerdict::TooLarge},
        {"huge.bmp", PictureKind::Bmp, [&](Bytes& b) { ClaimBmpSize(b, kHuge, kHuge); }, PictureVerdict::TooLarge},
        {"huge.tif", PictureKind::Tif, [&](Bytes& b) { ClaimTiffSize(b, kHuge, kHuge); }, PictureVerdict::TooLarge},
        {"huge.emf", PictureKind::Emf, [&](Bytes& b) { ClaimEmfSize(b, kHuge, kHuge); }, PictureVerdict::TooLarge},
        {"huge.wmf", PictureKind::Wmf, [&](Bytes& b) { ClaimWmfSize(b, 700, 700); }, PictureVerdict::TooLarge},
        // Just inside and just over the limit of 100 megapixels.
        {"limit.png", PictureKind::Png, [&](Bytes& b) { ClaimPngSize(b, 10000, 10000); }, PictureVerdict::Damaged},
        {"over.png", PictureKind::Png, [&](Bytes& b) { ClaimPngSize(b, 10000, 10001); }, PictureVerdict::TooLarge},
        // Headers cut short.
        {"cut.jpg", PictureKind::Jpg, [&](Bytes& b) { b.resize(JpegFrameAt(b) + 6); }, PictureVerdict::Damaged},
        {"cut.png", PictureKind::Png, kCut(20), PictureVerdict::Damaged},
        {"cut.gif", PictureKind::Gif, kCut(12), PictureVerdict::Damaged},
        {"cut.bmp", PictureKind::Bmp, kCut(30), PictureVerdict::Damaged},
        {"cut.tif", PictureKind::Tif, kCut(10), PictureVerdict::Damaged},
        {"cut.emf", PictureKind::Emf, kCut(60), PictureVerdict::Damaged},
        {"cut.wmf", PictureKind::Wmf, kCut(30), PictureVerdict::Damaged},
        // Sizes at odds with the file or with each other.
        {"rows.bmp", PictureKind::Bmp, [&](Bytes& b) { ClaimBmpSize(b, 40, 60); }, PictureVerdict::Damaged},
        {"data.png", PictureKind::Png, [&](Bytes& b) { b.resize(b.size() - 12); }, PictureVerdict::Damaged},
        {"notable.gif", PictureKind::Gif, DropGifColourTable, PictureVerdict::Damaged},
        {"zero.emf", PictureKind::Emf, [&](Bytes& b) { SetSecondEmfRecordSize(b, 0); }, PictureVerdict::Damaged},
        {"past.emf", PictureKind::Emf, [&](Bytes& b) { SetSecondEmfRecordSize(b, 0x10000); }, PictureVerdict::Damaged},
        {"odd.emf", PictureKind::Emf, [&](Bytes& b) { SetSecondEmfRecordSize(b, 10); }, PictureVerdict::Damaged},
        {"noend.emf", PictureKind::Emf, [&](Bytes& b) { b.resize(b.size() - 20); }, PictureVerdict::Damaged},
        {"handle.emf", PictureKind::Emf, [&](Bytes& b) { SetEmfRecordValue(b, 39, 8, 0x9400); }, PictureVerdict::Damaged},
        {"select.emf", PictureKind::Emf, [&](Bytes& b) { SetEmfRecordValue(b, 37, 8, 7); }, PictureVerdict::Damaged},
        {"far.emf", PictureKind::Emf, [&](Bytes& b) { SetEmfRecordValue(b, 42, 20, 0xC0000023); }, PictureVerdict::Damaged},
        {"select.wmf", PictureKind::Wmf, [&](Bytes& b) { SetWmfObjectIndex(b, 0x12D, 0x6300); }, PictureVerdict::Damaged},
        // Not a picture at all, whatever the name says.
        {"text.png", PictureKind::Png, [&](Bytes& b) { b.assign(40, 'x'); }, PictureVerdict::Unreadable},
        {"empty.jpg", PictureKind::Jpg, [&](Bytes& b) { b.clear(); }, PictureVerdict::Empty},
    };
    for (const CheckCase& c : cases)
        EXPECT_EQ(c.expected, CheckPictureFile(MakeChanged(c).c_str())) << c.name;
    EXPECT_EQ(PictureVerdict::Unreadable, CheckPictureFile((m_folder + L"missing.png").c_str()));
}

// Records as other programs write them, which decoders read, pass; the same records where
// they would send the platform's player astray are refused.
TEST_F(PictureCheckTest, WellFormedRecordsPassAndMisleadingOnesAreRefused)
{
    const auto strayBytes = [](Bytes& b) {
        const Bytes stray = {0x00, 0x12};
        b.insert(b.begin() + JpegFrameAt(b), stray.begin(), stray.end());
    };
    const CheckCase cases[] = {
        {"stray.jpg", PictureKind::Jpg, strayBytes, PictureVerdict::Accepted},
        {"rectangle.emf", PictureKind::Emf, EmfOf({kEmfRectangle}, 1), PictureVerdict::Accepted},
        {"solidpen.emf", PictureKind::Emf, EmfOf({EmfPen(BS_SOLID)}, 2), PictureVerdict::Accepted},
        {"noclip.emf", PictureKind::Emf, EmfOf({EmfRecord(kEmrExtSelectClipRgn, {0, RGN_COPY})}, 1),
         PictureVerdict::Accepted},
        {"emfplus.emf", PictureKind::Emf, EmfOf({EmfPlusComment(16, 4)}, 1), PictureVerdict::Accepted},
        // The player writes its handle table past the end when the header gives it no entry.
        {"nohandles.emf", PictureKind::Emf, EmfOf({kEmfRectangle}, 0), PictureVerdict::Damaged},
        // A pattern pen's bitmap is read from beyond the record.
        {"patternpen.emf", PictureKind::Emf, EmfOf({EmfPen(BS_DIBPATTERN)}, 2), PictureVerdict::Damaged},
        // GDI+ steps through its records by their sizes: a size of 0 holds it for ever.
        {"emfplus0.emf", PictureKind::Emf, EmfOf({EmfPlusComment(0, 0)}, 1), PictureVerdict::Damaged},
        {"emfplusdata.emf", PictureKind::Emf, EmfOf({EmfPlusComment(16, 40)}, 1), PictureVerdict::Damaged},
        {"emfpluspast.emf", PictureKind::Emf, EmfOf({EmfPlusComment(32, 4)}, 1), PictureVerdict::Damaged},
    };
    for (const CheckCase& c : cases)
    {
        const std::wstring path = MakeChanged(c);
        EXPECT_EQ(c.expected, CheckPictureFile(path.c_str())) << c.name;
        if (c.expected == PictureVerdict::Accepted)
        {
            EXPECT_TRUE(ReadPictureInfo(path).loaded) << c.name;
        }
    }
}

// The size arithmetic of the checks does not wrap: 67 108 864 pixels of 64 bits are 2^32 bits
// a row, which 32-bit arithmetic takes for an empty row, so that 10 bytes of data seemed enough.
TEST_F(PictureCheckTest, RowSizesBeyond32BitsAreNotWrapped)
{
    const auto wideRow = [](Bytes& png) {
        png.assign({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
        const auto chunk = [&png](unsigned type, Bytes data) {
            const size_t at = png.size();
            png.resize(at + 12 + data.size());
            PutBigEndian(png, at, static_cast<unsigned>(data.size()), 4);
            PutBigEndian(png, at + 4, type, 4);
            std::copy(data.begin(), data.end(), png.begin() + at + 8);
            PutBigEndian(png, at + 8 + data.size(), Crc32(png.data() + at + 4, 4 + data.size()), 4);
        };
        chunk(0x49484452, {0x04, 0x00, 0x00, 0x00, 0, 0, 0, 1, 16, 6, 0, 0, 0});  // 67108864 x 1, RGBA 16
        chunk(0x49444154, {0x78, 0x9C, 0x63, 0, 0, 0, 0, 0, 0, 1});
        chunk(0x49454E44, {});
    };
    const CheckCase c = {"wide.png", PictureKind::Png, wideRow, PictureVerdict::Damaged};
    const std::wstring path = MakeChanged(c);
    ASSERT_EQ(67, FileBytes(path));
    EXPECT_EQ(PictureVerdict::Damaged, CheckPictureFile(path.c_str()));
}
}
