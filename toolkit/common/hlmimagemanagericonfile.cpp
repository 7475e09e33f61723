// Icon pictures from icon resources (RT_GROUP_ICON directories and RT_ICON pictures) and
// from ICO files. Every size in the data is checked against the data's length before it is
// read or allocated; an entry that fails is skipped.
#include "common/hlmimagemanager.h"
#include "common/hlmimagemanagericon.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <set>
#include <tuple>
#include <vector>

namespace
{
const DWORD kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
const BYTE kPngSignature[4] = {0x89, 'P', 'N', 'G'};
const WORD kIconFileType = 1;
// Pictures of ICO files larger than this are not read: a 256 x 256 picture at 32 bits takes
// 270 KB, and what a larger entry claims is a damaged or hostile file's.
const DWORD kMostIconPictureBytes = 16 * 1024 * 1024;
const DWORD kBitFieldMasksSize = 3 * sizeof(DWORD);

#pragma pack(push, 1)
// An entry of an RT_GROUP_ICON directory.
struct GroupIconEntry
{
    BYTE bWidth, bHeight, bColorCount, bReserved;
    WORD wPlanes, wBitCount;
    DWORD dwBytesInResource;
    WORD wID;
};
// An entry of an ICO file's directory.
struct IconFileEntry
{
    BYTE bWidth, bHeight, bColorCount, bReserved;
    WORD wPlanes, wBitCount;
    DWORD dwBytesInResource;
    DWORD dwImageOffset;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14 && sizeof(IconFileEntry) == 16, "directory entries as stored");

// Directories store 256 as 0.
int EntrySize(BYTE size)
{
    return size ? size : 256;
}

// Both directories start with WORD reserved, WORD type, WORD count.
WORD DirectoryCount(const BYTE* header)
{
    WORD count = 0;
    std::memcpy(&count, header + 4, sizeof(count));
    return count;
}

// A 32-bit picture (header with doubled height, colour pixels, mask) as a section of its
// colour pixels; null when the bytes cannot hold what the header claims.
HBITMAP AlphaBitmapFromIconBytes(const BYTE* bytes, DWORD size)
{
    if (size < kInfoHeaderSize)
        return nullptr;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof(header));
    const LONG height = header.biHeight / 2;
    if (header.biSize != kInfoHeaderSize || header.biBitCount != 32 || header.biCompression != BI_RGB ||
        header.biWidth <= 0 || height <= 0)
        return nullptr;
    const ULONGLONG pixelBytes = static_cast<ULONGLONG>(header.biWidth) * static_cast<ULONGLONG>(height) * 4;
    if (static_cast<ULONGLONG>(size) < kInfoHeaderSize + pixelBytes)
        return nullptr;
    header.biHeight = height;
    header.biSizeImage = static_cast<DWORD>(pixelBytes);
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP section =
        CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc)
        DeleteDC(dc);
    if (section && bits)
        std::memcpy(bits, bytes + kInfoHeaderSize, static_cast<size_t>(pixelBytes));
    else if (section)
    {
        DeleteObject(section);
        section = nullptr;
    }
    return section;
}

// Whether the bytes hold all that a picture of fewer than 32 bits per pixel needs (header,
// colour table, colour rows and mask rows), or are a PNG picture for the system to read.
bool IsCompleteIconPicture(const BYTE* bytes, DWORD size)
{
    if (size >= sizeof(kPngSignature) && std::memcmp(bytes, kPngSignature, sizeof(kPngSignature)) == 0)
        return true;
    if (size < kInfoHeaderSize)
        return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof(header));
    const WORD bits = header.biBitCount;
    if (header.biSize != kInfoHeaderSize || header.biWidth <= 0 || header.biHeight / 2 <= 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return false;
    const ULONGLONG width = static_cast<ULONGLONG>(header.biWidth);
    const ULONGLONG rows = static_cast<ULONGLONG>(header.biHeight / 2);
    const ULONGLONG colors = header.biClrUsed ? header.biClrUsed : (bits <= 8 ? 1ull << bits : 0);
    const ULONGLONG colorStride = (width * bits + 31) / 32 * 4;
    const ULONGLONG maskStride = (width + 31) / 32 * 4;
    const ULONGLONG masks = header.biCompression == BI_BITFIELDS ? kBitFieldMasksSize : 0;
    return kInfoHeaderSize + masks + colors * 4 + (colorStride + maskStride) * rows <= size;
}

// An ICO file opened for shared reading, with its directory. Entries that repeat an earlier
// one (the same picture at the same size and depth) are left out, and a picture that several
// entries share is read once.
class IconFile
{
public:
    explicit IconFile(LPCTSTR path)
        : m_hFile(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
    {
        if (m_hFile == INVALID_HANDLE_VALUE)
            return;
        LARGE_INTEGER length = {};
        BYTE header[6];
        if (!GetFileSizeEx(m_hFile, &length) || !ReadAll(0, header, sizeof(header)))
            return;
        WORD type = 0;
        std::memcpy(&type, header + 2, sizeof(type));
        const WORD count = DirectoryCount(header);
        m_nLength = static_cast<ULONGLONG>(length.QuadPart);
        if (type != kIconFileType || count == 0 || sizeof(header) + count * sizeof(IconFileEntry) > m_nLength)
            return;
        std::vector<IconFileEntry> entries(count);
        if (!ReadAll(sizeof(header), entries.data(), static_cast<DWORD>(count * sizeof(IconFileEntry))))
            return;
        std::set<std::tuple<DWORD, DWORD, BYTE, BYTE, WORD>> seen;
        for (const IconFileEntry& entry : entries)
            if (seen.insert(std::make_tuple(entry.dwImageOffset, entry.dwBytesInResource, entry.bWidth, entry.bHeight,
                                            entry.wBitCount))
                    .second)
                m_vecEntries.push_back(entry);
    }
    ~IconFile()
    {
        if (m_hFile != INVALID_HANDLE_VALUE)
            CloseHandle(m_hFile);
    }
    IconFile(const IconFile&) = delete;
    IconFile& operator=(const IconFile&) = delete;

    const std::vector<IconFileEntry>& Entries() const { return m_vecEntries; }

    // The picture of an entry; empty when it does not lie wholly inside the file or is larger
    // than any icon picture. It stays valid until the next call.
    const std::vector<BYTE>& ReadPicture(const IconFileEntry& entry)
    {
        if (!m_vecPicture.empty() && entry.dwImageOffset == m_dwPictureOffset &&
            entry.dwBytesInResource == m_vecPicture.size())
            return m_vecPicture;
        m_vecPicture.clear();
        if (entry.dwBytesInResource == 0 || entry.dwBytesInResource > kMostIconPictureBytes ||
            static_cast<ULONGLONG>(entry.dwImageOffset) + entry.dwBytesInResource > m_nLength)
            return m_vecPicture;
        m_vecPicture.resize(entry.dwBytesInResource);
        m_dwPictureOffset = entry.dwImageOffset;
        if (!ReadAll(entry.dwImageOffset, m_vecPicture.data(), entry.dwBytesInResource))
            m_vecPicture.clear();
        return m_vecPicture;
    }

private:
    BOOL ReadAll(DWORD offset, void* buffer, DWORD count)
    {
        LARGE_INTEGER position = {};
        position.QuadPart = offset;
        DWORD read = 0;
        return SetFilePointerEx(m_hFile, position, nullptr, FILE_BEGIN) &&
               ReadFile(m_hFile, buffer, count, &read, nullptr) && read == count;
    }

    HANDLE m_hFile;
    ULONGLONG m_nLength = 0;
    std::vector<IconFileEntry> m_vecEntries;
    std::vector<BYTE> m_vecPicture;
    DWORD m_dwPictureOffset = 0;
};
}

BOOL CHLMImageManagerIconImage::CreateFromIconBytes(const BYTE* bytes, DWORD size, int cx, int cy)
{
    Clear();
    if (!bytes || size < kInfoHeaderSize)
        return FALSE;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof(header));
    if (header.biSize == kInfoHeaderSize && header.biBitCount == 32)
    {
        HBITMAP section = AlphaBitmapFromIconBytes(bytes, size);
        if (section)
            SetBitmap(section);
    }
    else if (IsCompleteIconPicture(bytes, size))
    {
        HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(bytes), size, TRUE, 0x00030000, cx, cy, 0);
        if (icon)
            SetIcon(icon);
    }
    return !IsEmpty();
}

BOOL CHLMImageManagerIconImage::CreateFromResource(HMODULE module, LPCTSTR name, int cx, int cy, BOOL group)
{
    Clear();
    DWORD size = 0;
    const BYTE* directory = group ? CHLMImageManager::ResourceBytes(module, name, RT_GROUP_ICON, size) : nullptr;
    if (directory)
    {
        if (size < 6)
            return FALSE;
        // Entries past the end of the directory's data are not read.
        const DWORD count = std::min<DWORD>(DirectoryCount(directory), (size - 6) / sizeof(GroupIconEntry));
        for (DWORD i = count; i-- > 0;)
        {
            GroupIconEntry entry;
            std::memcpy(&entry, directory + 6 + i * sizeof(entry), sizeof(entry));
            if (EntrySize(entry.bWidth) == cx && EntrySize(entry.bHeight) == cy &&
                CreateFromResource(module, MAKEINTRESOURCE(entry.wID), cx, cy, FALSE))
                return TRUE;
        }
        return FALSE;
    }
    const BYTE* picture = CHLMImageManager::ResourceBytes(module, name, RT_ICON, size);
    return picture && CreateFromIconBytes(picture, size, cx, cy);
}

BOOL CHLMImageManagerIconImage::CreateFromResource(LPCTSTR name, int cx, int cy, BOOL group)
{
    HMODULE module = AfxGetResourceHandle();
    return module && CreateFromResource(module, name, cx, cy, group);
}

HBITMAP CHLMImageManager::ReadAlphaIconFile(LPCTSTR path, int width)
{
    try
    {
        IconFile file(path);
        for (const IconFileEntry& entry : file.Entries())
        {
            if (entry.wBitCount != 32 || (width != 0 && EntrySize(entry.bWidth) != width))
                continue;
            const std::vector<BYTE>& picture = file.ReadPicture(entry);
            HBITMAP section = picture.empty() ? nullptr
                                              : AlphaBitmapFromIconBytes(picture.data(), static_cast<DWORD>(picture.size()));
            if (section)
                return section;
        }
    }
    catch (const std::bad_alloc&)
    {
        TRACE(_T("ReadAlphaIconFile: out of memory reading %s\n"), path);
    }
    return nullptr;
}

BOOL CHLMImageManager::SetIconFromIconFile(LPCTSTR path, UINT id, CSize size, int state)
{
    BOOL added = FALSE;
    try
    {
        IconFile file(path);
        for (const IconFileEntry& entry : file.Entries())
        {
            const CSize entrySize(EntrySize(entry.bWidth), EntrySize(entry.bHeight));
            if (size != CSize(0, 0) && size != entrySize)
                continue;
            const std::vector<BYTE>& picture = file.ReadPicture(entry);
            CHLMImageManagerIconImage image;
            if (!picture.empty() && image.CreateFromIconBytes(picture.data(), static_cast<DWORD>(picture.size()),
                                                             entrySize.cx, entrySize.cy) &&
                SetIcon(image, id, entrySize, state))
                added = TRUE;
        }
    }
    catch (const std::bad_alloc&)
    {
        TRACE(_T("SetIconFromIconFile: out of memory reading %s\n"), path);
        return FALSE;
    }
    return added;
}
