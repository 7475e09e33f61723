// The header checks before GDI+: pictures of every kind as the platform writes them pass;
// the same pictures with headers that claim 60 000 × 60 000 pixels, cut short, or at odds
// with the file are refused with their reason.
#include <gtest/gtest.h>

#include "apptesting.h"
#include "picturecheck.h"
#include "picturefixtures.h"
#include "testpaths.h"

#include <cstdio>
#include <functional>
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
}
