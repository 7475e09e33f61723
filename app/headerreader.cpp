#include "headerreader.h"

#include "pathtext.h"

#include <algorithm>
#include <cstring>

CHeaderReader::CHeaderReader(LPCWSTR path)
    : m_file(CreateFileW(LongPathForm(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, NULL))
{
    LARGE_INTEGER size = {};
    if (m_file != INVALID_HANDLE_VALUE && GetFileSizeEx(m_file, &size))
        m_size = static_cast<ULONGLONG>(size.QuadPart);
}

CHeaderReader::~CHeaderReader()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
}

bool CHeaderReader::Read(ULONGLONG offset, void* out, DWORD bytes)
{
    if (!Holds(offset, bytes))
        return false;
    if (bytes > kWindow)
        return ReadFromFile(offset, out, bytes);
    if (offset < m_windowStart || offset + bytes > m_windowStart + m_windowLength)
    {
        const DWORD length = static_cast<DWORD>(std::min<ULONGLONG>(kWindow, m_size - offset));
        if (!ReadFromFile(offset, m_window.data(), length))
            return false;
        m_windowStart = offset;
        m_windowLength = length;
    }
    memcpy(out, m_window.data() + (offset - m_windowStart), bytes);
    return true;
}

bool CHeaderReader::Byte(ULONGLONG offset, UINT& value)
{
    BYTE b;
    if (!Read(offset, &b, 1))
        return false;
    value = b;
    return true;
}

bool CHeaderReader::Word(ULONGLONG offset, bool bigEndian, UINT& value)
{
    BYTE b[2];
    if (!Read(offset, b, 2))
        return false;
    value = bigEndian ? (b[0] << 8) | b[1] : (b[1] << 8) | b[0];
    return true;
}

bool CHeaderReader::Long(ULONGLONG offset, bool bigEndian, UINT& value)
{
    BYTE b[4];
    if (!Read(offset, b, 4))
        return false;
    value = bigEndian ? (UINT(b[0]) << 24) | (UINT(b[1]) << 16) | (UINT(b[2]) << 8) | b[3]
                      : (UINT(b[3]) << 24) | (UINT(b[2]) << 16) | (UINT(b[1]) << 8) | b[0];
    return true;
}

bool CHeaderReader::SignedLong(ULONGLONG offset, LONG& value)
{
    UINT raw;
    if (!Long(offset, false, raw))
        return false;
    value = static_cast<LONG>(raw);
    return true;
}

bool CHeaderReader::Starts(const void* signature, DWORD bytes)
{
    BYTE start[16];
    return bytes <= sizeof(start) && Read(0, start, bytes) && memcmp(start, signature, bytes) == 0;
}

bool CHeaderReader::ReadFromFile(ULONGLONG offset, void* out, DWORD bytes)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return SetFilePointerEx(m_file, at, NULL, FILE_BEGIN) && ReadFile(m_file, out, bytes, &got, NULL) && got == bytes;
}

namespace
{
// Finds the next marker from offset on and leaves offset after it. Decoders pass over stray
// bytes before a marker's 0xFF (and over a 0xFF followed by 0, which is no marker), as they
// pass over the fill bytes after it.
bool NextJpegMarker(CHeaderReader& file, ULONGLONG& offset, UINT& marker)
{
    do
    {
        marker = 0;
        while (marker != 0xFF)
            if (!file.Byte(offset++, marker))
                return false;
        while (marker == 0xFF)
            if (!file.Byte(offset++, marker))
                return false;
    } while (marker == 0);
    return true;
}
}

bool NextJpegSegment(CHeaderReader& file, ULONGLONG& offset, UINT& marker, UINT& length)
{
    do
        if (!NextJpegMarker(file, offset, marker))
            return false;
    while ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01);  // restart markers, TEM
    if (marker == 0xD8 || marker == 0xD9)
        return false;
    return file.Word(offset, true, length) && length >= 2 && file.Holds(offset, length);
}
