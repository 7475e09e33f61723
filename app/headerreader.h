// Bounded reads of a picture file's header, for the code that looks at a file before GDI+
// does: a header can send that code anywhere, so every read outside the file fails.
#pragma once

#include <windows.h>

#include <vector>

// Reads a file at any offset through one buffered window.
class CHeaderReader
{
public:
    explicit CHeaderReader(LPCWSTR path);
    ~CHeaderReader();
    CHeaderReader(const CHeaderReader&) = delete;
    CHeaderReader& operator=(const CHeaderReader&) = delete;

    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    ULONGLONG Size() const { return m_size; }
    bool Holds(ULONGLONG offset, ULONGLONG bytes) const { return offset <= m_size && bytes <= m_size - offset; }

    bool Read(ULONGLONG offset, void* out, DWORD bytes);
    bool Byte(ULONGLONG offset, UINT& value);
    bool Word(ULONGLONG offset, bool bigEndian, UINT& value);
    bool Long(ULONGLONG offset, bool bigEndian, UINT& value);
    bool SignedLong(ULONGLONG offset, LONG& value);
    bool Starts(const void* signature, DWORD bytes);

private:
    static constexpr DWORD kWindow = 64 * 1024;

    bool ReadFromFile(ULONGLONG offset, void* out, DWORD bytes);

    HANDLE m_file;
    ULONGLONG m_size = 0;
    std::vector<BYTE> m_window = std::vector<BYTE>(kWindow);
    ULONGLONG m_windowStart = 0;
    DWORD m_windowLength = 0;
};

// The next segment of a JPEG file from offset on: its marker, and its length (which counts
// the two length bytes), lying wholly within the file; offset is left at the length bytes.
// Markers that carry no length are passed over. FALSE at the end of the file, at a second
// start or an end of image, and at a length that cannot be.
bool NextJpegSegment(CHeaderReader& file, ULONGLONG& offset, UINT& marker, UINT& length);
