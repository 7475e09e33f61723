// CFile: a Win32 file handle. Open reports failures through its result; Read
// returns short counts at the end; Write, Seek and the rest throw CFileException*.
#include "afx.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace
{
DWORD DesiredAccess(UINT nOpenFlags)
{
    switch (nOpenFlags & 3)
    {
    case CFile::modeWrite:
        return GENERIC_WRITE;
    case CFile::modeReadWrite:
        return GENERIC_READ | GENERIC_WRITE;
    default:
        return GENERIC_READ;
    }
}

DWORD ShareMode(UINT nOpenFlags)
{
    switch (nOpenFlags & 0x70)
    {
    case CFile::shareDenyWrite:
        return FILE_SHARE_READ;
    case CFile::shareDenyRead:
        return FILE_SHARE_WRITE;
    case CFile::shareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:  // shareExclusive, shareCompat
        return 0;
    }
}

DWORD CreationDisposition(UINT nOpenFlags)
{
    if (nOpenFlags & CFile::modeCreate)
        return (nOpenFlags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    return OPEN_EXISTING;
}

DWORD FlagsAndAttributes(UINT nOpenFlags)
{
    DWORD dwFlags = FILE_ATTRIBUTE_NORMAL;
    if (nOpenFlags & CFile::osNoBuffer)
        dwFlags |= FILE_FLAG_NO_BUFFERING;
    if (nOpenFlags & CFile::osWriteThrough)
        dwFlags |= FILE_FLAG_WRITE_THROUGH;
    if (nOpenFlags & CFile::osRandomAccess)
        dwFlags |= FILE_FLAG_RANDOM_ACCESS;
    if (nOpenFlags & CFile::osSequentialScan)
        dwFlags |= FILE_FLAG_SEQUENTIAL_SCAN;
    return dwFlags;
}

CString FullPath(LPCTSTR lpszFileName)
{
    wchar_t* pFilePart = nullptr;
    const DWORD nLength = GetFullPathNameW(lpszFileName, 0, nullptr, &pFilePart);
    if (nLength == 0)
        return lpszFileName;
    CString path;
    const DWORD nWritten = GetFullPathNameW(lpszFileName, nLength, path.GetBuffer(static_cast<int>(nLength)), &pFilePart);
    path.ReleaseBuffer(nWritten < nLength ? static_cast<int>(nWritten) : 0);
    return path;
}
}

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE)
{
}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    ASSERT(m_hFile == hFileNull);
    if (m_hFile != hFileNull)
        Abort();
    m_strFileName = lpszFileName != nullptr ? FullPath(lpszFileName) : CString();

    SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};
    HANDLE hFile = CreateFileW(lpszFileName, DesiredAccess(nOpenFlags), ShareMode(nOpenFlags), &security,
                               CreationDisposition(nOpenFlags), FlagsAndAttributes(nOpenFlags), nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
    {
        if (pError != nullptr)
        {
            pError->m_lOsError = static_cast<LONG>(GetLastError());
            pError->m_cause = CFileException::OsErrorToException(pError->m_lOsError);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = hFile;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    ASSERT(m_hFile != hFileNull);
    if (nCount == 0)
        return 0;
    DWORD nRead = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &nRead, nullptr))
        ThrowLastError();
    return nRead;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    ASSERT(m_hFile != hFileNull);
    if (nCount == 0)
        return;
    DWORD nWritten = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &nWritten, nullptr))
        ThrowLastError();
    if (nWritten != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    ASSERT(m_hFile != hFileNull);
    ASSERT(nFrom == begin || nFrom == end || nFrom == current);
    LARGE_INTEGER distance;
    distance.QuadPart = lOff;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, distance, &position, nFrom))
        ThrowLastError();
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetPosition() const
{
    LARGE_INTEGER zero = {};
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        ThrowLastError();
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError();
}

void CFile::Flush()
{
    if (m_hFile != hFileNull && !FlushFileBuffers(m_hFile))
        ThrowLastError();
}

void CFile::Close()
{
    BOOL bError = FALSE;
    if (m_hFile != hFileNull)
        bError = !CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
    if (bError)
        ThrowLastError();
}

void CFile::Abort()
{
    if (m_hFile != hFileNull)
        CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

CString CFile::GetFileName() const
{
    return m_strFileName.Mid(m_strFileName.ReverseFind(L'\\') + 1);
}

CString CFile::GetFileTitle() const
{
    CString name = GetFileName();
    const int nDot = name.ReverseFind(L'.');
    return nDot >= 0 ? name.Left(nDot) : name;
}

CString CFile::GetFilePath() const
{
    return m_strFileName;
}

void CFile::SetFilePath(LPCTSTR lpszNewName)
{
    m_strFileName = lpszNewName;
}

void PASCAL CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
    if (!MoveFileW(lpszOldName, lpszNewName))
    {
        const LONG lOsError = static_cast<LONG>(GetLastError());
        AfxThrowFileException(CFileException::OsErrorToException(lOsError), lOsError, lpszOldName);
    }
}

void PASCAL CFile::Remove(LPCTSTR lpszFileName)
{
    if (!DeleteFileW(lpszFileName))
    {
        const LONG lOsError = static_cast<LONG>(GetLastError());
        AfxThrowFileException(CFileException::OsErrorToException(lOsError), lOsError, lpszFileName);
    }
}

void CFile::ThrowLastError() const
{
    const LONG lOsError = static_cast<LONG>(GetLastError());
    AfxThrowFileException(CFileException::OsErrorToException(lOsError), lOsError, m_strFileName);
}
