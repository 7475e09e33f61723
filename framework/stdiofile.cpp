// CStdioFile: line-oriented text over CFile with its own read-ahead buffer.
// Text mode: 8-bit characters in the ANSI code page (double-byte ones included),
// "\r\n" read as "\n" and written for "\n". Binary mode: UTF-16 as it stands.
#include "afx.h"

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

namespace
{
const size_t kReadChunk = 4096;
}

CStdioFile::CStdioFile() : m_bText(TRUE), m_nReadPos(0)
{
}

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_bText(TRUE), m_nReadPos(0)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile() = default;

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    DropReadBuffer();
    m_bText = (nOpenFlags & typeBinary) == 0;
    return CFile::Open(lpszFileName, nOpenFlags & ~(typeText | typeBinary), pError);
}

BOOL CStdioFile::FillReadBuffer()
{
    m_readBuffer.erase(m_readBuffer.begin(), m_readBuffer.begin() + static_cast<ptrdiff_t>(m_nReadPos));
    m_nReadPos = 0;
    const size_t nOld = m_readBuffer.size();
    m_readBuffer.resize(nOld + kReadChunk);
    const UINT nRead = CFile::Read(m_readBuffer.data() + nOld, static_cast<UINT>(kReadChunk));
    m_readBuffer.resize(nOld + nRead);
    return nRead > 0;
}

// Puts the file pointer back where the caller believes it is.
void CStdioFile::DropReadBuffer()
{
    const size_t nUnread = m_readBuffer.size() - m_nReadPos;
    m_readBuffer.clear();
    m_nReadPos = 0;
    if (nUnread > 0 && m_hFile != hFileNull)
        CFile::Seek(-static_cast<LONGLONG>(nUnread), current);
}

// Collects the bytes of one line, its line end included; FALSE at the end of the file.
BOOL CStdioFile::ReadLine(std::vector<BYTE>& line, size_t unitSize)
{
    line.clear();
    for (;;)
    {
        if (m_readBuffer.size() - m_nReadPos < unitSize && !FillReadBuffer())
        {
            // A last odd byte of a UTF-16 file is dropped.
            m_nReadPos = m_readBuffer.size();
            return !line.empty();
        }
        const BYTE* pUnit = m_readBuffer.data() + m_nReadPos;
        line.insert(line.end(), pUnit, pUnit + unitSize);
        m_nReadPos += unitSize;
        const bool bNewLine = pUnit[0] == '\n' && (unitSize == 1 || pUnit[1] == 0);
        if (bNewLine)
            return TRUE;
    }
}

BOOL CStdioFile::ReadString(CString& rString)
{
    BOOL bNewLine = FALSE;
    return ReadTextLine(rString, bNewLine);
}

BOOL CStdioFile::ReadTextLine(CString& rString, BOOL& bNewLine)
{
    rString.Empty();
    std::vector<BYTE> line;
    const size_t unitSize = m_bText ? 1 : sizeof(wchar_t);
    if (!ReadLine(line, unitSize))
        return FALSE;
    if (m_bText)
    {
        size_t nBytes = line.size();
        bNewLine = nBytes > 0 && line[nBytes - 1] == '\n';
        if (bNewLine)
            --nBytes;
        if (bNewLine && nBytes > 0 && line[nBytes - 1] == '\r')
            --nBytes;
        rString = CString(reinterpret_cast<LPCSTR>(line.data()), static_cast<int>(nBytes));
    }
    else
    {
        size_t nChars = line.size() / sizeof(wchar_t);
        const wchar_t* pChars = reinterpret_cast<const wchar_t*>(line.data());
        bNewLine = nChars > 0 && pChars[nChars - 1] == L'\n';
        if (bNewLine)
            --nChars;
        if (bNewLine && nChars > 0 && pChars[nChars - 1] == L'\r')
            --nChars;
        rString = CString(pChars, static_cast<int>(nChars));
    }
    return TRUE;
}

LPTSTR CStdioFile::ReadString(LPTSTR lpsz, UINT nMax)
{
    ASSERT(lpsz != nullptr && nMax > 0);
    if (lpsz == nullptr || nMax == 0)
        return nullptr;
    const ULONGLONG nLineStart = GetPosition();
    CString line;
    BOOL bNewLine = FALSE;
    if (!ReadTextLine(line, bNewLine))
        return nullptr;
    if (bNewLine)
        line += L'\n';
    if (static_cast<UINT>(line.GetLength()) > nMax - 1)
    {
        // Hand out what fits; the rest stays for the next call.
        line.Truncate(static_cast<int>(nMax - 1));
        const int nBytes = m_bText ? WideCharToMultiByte(CP_ACP, 0, line, line.GetLength(), nullptr, 0, nullptr,
                                                         nullptr)
                                   : line.GetLength() * static_cast<int>(sizeof(wchar_t));
        Seek(static_cast<LONGLONG>(nLineStart) + nBytes, begin);
    }
    wcsncpy_s(lpsz, nMax, line, _TRUNCATE);
    return lpsz;
}

void CStdioFile::WriteString(LPCTSTR lpsz)
{
    ASSERT(lpsz != nullptr);
    if (lpsz == nullptr)
        return;
    if (!m_bText)
    {
        Write(lpsz, static_cast<UINT>(wcslen(lpsz) * sizeof(wchar_t)));
        return;
    }
    CString text(lpsz);
    text.Replace(L"\n", L"\r\n");
    const int nBytes = WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::vector<char> bytes(static_cast<size_t>(nBytes) + 1);
    WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), bytes.data(), nBytes, nullptr, nullptr);
    Write(bytes.data(), static_cast<UINT>(nBytes));
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    const size_t nBuffered = m_readBuffer.size() - m_nReadPos;
    const size_t nFromBuffer = nBuffered < nCount ? nBuffered : nCount;
    if (nFromBuffer > 0)
    {
        memcpy(lpBuf, m_readBuffer.data() + m_nReadPos, nFromBuffer);
        m_nReadPos += nFromBuffer;
    }
    const UINT nRest = nCount - static_cast<UINT>(nFromBuffer);
    return static_cast<UINT>(nFromBuffer) +
           (nRest > 0 ? CFile::Read(static_cast<BYTE*>(lpBuf) + nFromBuffer, nRest) : 0);
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    DropReadBuffer();
    CFile::Write(lpBuf, nCount);
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom)
{
    DropReadBuffer();
    return CFile::Seek(lOff, nFrom);
}

ULONGLONG CStdioFile::GetPosition() const
{
    return CFile::GetPosition() - (m_readBuffer.size() - m_nReadPos);
}

void CStdioFile::Close()
{
    m_readBuffer.clear();
    m_nReadPos = 0;
    CFile::Close();
}

void CStdioFile::Abort()
{
    m_readBuffer.clear();
    m_nReadPos = 0;
    CFile::Abort();
}
