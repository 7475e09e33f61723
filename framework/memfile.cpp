// CMemFile: a file in memory, growing in steps of m_nGrowBytes.
#include "afx.h"

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0), m_lpBuffer(nullptr),
      m_bAutoDelete(TRUE)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
    : m_nGrowBytes(0), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0), m_lpBuffer(nullptr), m_bAutoDelete(TRUE)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    Close();
}

// The memory stays the caller's. Without growth the file is the whole buffer;
// with growth it starts empty and may move to memory of its own.
void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    ASSERT(m_lpBuffer == nullptr);
    Close();
    m_lpBuffer = lpBuffer;
    m_nBufferSize = nBufferSize;
    m_nFileSize = nGrowBytes == 0 ? nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_nPosition = 0;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* lpBuffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bAutoDelete = TRUE;
    return lpBuffer;
}

BYTE* CMemFile::Alloc(SIZE_T nBytes)
{
    return static_cast<BYTE*>(malloc(nBytes));
}

BYTE* CMemFile::Realloc(BYTE* lpMem, SIZE_T nBytes)
{
    return static_cast<BYTE*>(realloc(lpMem, nBytes));
}

void CMemFile::Free(BYTE* lpMem)
{
    free(lpMem);
}

void CMemFile::GrowFile(SIZE_T dwNewLen)
{
    if (dwNewLen <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowMemoryException();
    SIZE_T nNewSize = m_nBufferSize;
    while (nNewSize < dwNewLen)
    {
        if (nNewSize > static_cast<SIZE_T>(-1) - m_nGrowBytes)
            AfxThrowMemoryException();
        nNewSize += m_nGrowBytes;
    }
    BYTE* lpNew;
    if (m_bAutoDelete)
    {
        lpNew = m_lpBuffer == nullptr ? Alloc(nNewSize) : Realloc(m_lpBuffer, nNewSize);
    }
    else
    {
        // Memory of the caller's is copied, never reallocated.
        lpNew = Alloc(nNewSize);
        if (lpNew != nullptr && m_nFileSize > 0)
            memcpy(lpNew, m_lpBuffer, m_nFileSize);
    }
    if (lpNew == nullptr)
        AfxThrowMemoryException();
    m_lpBuffer = lpNew;
    m_nBufferSize = nNewSize;
    m_bAutoDelete = TRUE;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (m_nPosition >= m_nFileSize || nCount == 0)
        return 0;
    const SIZE_T nLeft = m_nFileSize - m_nPosition;
    const UINT nRead = nLeft < nCount ? static_cast<UINT>(nLeft) : nCount;
    memcpy(lpBuf, m_lpBuffer + m_nPosition, nRead);
    m_nPosition += nRead;
    return nRead;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (m_nPosition > static_cast<SIZE_T>(-1) - nCount)
        AfxThrowMemoryException();
    const SIZE_T nEnd = m_nPosition + nCount;
    GrowFile(nEnd);
    // A position past the end leaves a gap: fill it with zeros.
    if (m_nPosition > m_nFileSize)
        memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = nEnd;
    if (m_nPosition > m_nFileSize)
        m_nFileSize = m_nPosition;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONGLONG nBase = 0;
    if (nFrom == current)
        nBase = static_cast<LONGLONG>(m_nPosition);
    else if (nFrom == end)
        nBase = static_cast<LONGLONG>(m_nFileSize);
    const LONGLONG nNew = nBase + lOff;
    if (nNew < 0)
        AfxThrowFileException(CFileException::badSeek);
    m_nPosition = static_cast<SIZE_T>(nNew);
    return static_cast<ULONGLONG>(m_nPosition);
}

ULONGLONG CMemFile::GetPosition() const
{
    return m_nPosition;
}

ULONGLONG CMemFile::GetLength() const
{
    return m_nFileSize;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    if (dwNewLen > static_cast<SIZE_T>(-1))
        AfxThrowMemoryException();
    const SIZE_T nNewLen = static_cast<SIZE_T>(dwNewLen);
    GrowFile(nNewLen);
    if (nNewLen > m_nFileSize)
        memset(m_lpBuffer + m_nFileSize, 0, nNewLen - m_nFileSize);
    if (m_nPosition > nNewLen)
        m_nPosition = nNewLen;
    m_nFileSize = nNewLen;
}

void CMemFile::Flush()
{
}

void CMemFile::Close()
{
    if (m_lpBuffer != nullptr && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bAutoDelete = TRUE;
}

void CMemFile::Abort()
{
    Close();
}
