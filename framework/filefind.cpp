// CFileFind: FindFirstFile/FindNextFile with one entry of look-ahead, so that
// FindNextFile can tell that the entry it makes current is the last one.
#include "afx.h"

IMPLEMENT_DYNAMIC(CFileFind, CObject)

CFileFind::CFileFind() : m_hContext(nullptr), m_bHaveFound(FALSE), m_bHaveNext(FALSE), m_found(), m_next()
{
}

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    if (m_hContext != nullptr && m_hContext != INVALID_HANDLE_VALUE)
        FindClose(m_hContext);
    m_hContext = nullptr;
    m_bHaveFound = FALSE;
    m_bHaveNext = FALSE;
    m_strRoot.Empty();
}

BOOL CFileFind::FindFile(LPCTSTR pstrName, DWORD)
{
    Close();
    if (pstrName == nullptr)
        pstrName = L"*.*";
    HANDLE hContext = FindFirstFileW(pstrName, &m_next);
    if (hContext == INVALID_HANDLE_VALUE)
        return FALSE;
    m_hContext = hContext;
    m_bHaveNext = TRUE;

    // The folder of the pattern, as a full path, is the root of every entry.
    wchar_t* pFilePart = nullptr;
    const DWORD nLength = GetFullPathNameW(pstrName, 0, nullptr, &pFilePart);
    CString fullPattern;
    if (nLength > 0)
    {
        const DWORD nWritten =
            GetFullPathNameW(pstrName, nLength, fullPattern.GetBuffer(static_cast<int>(nLength)), &pFilePart);
        fullPattern.ReleaseBuffer(nWritten < nLength ? static_cast<int>(nWritten) : 0);
    }
    if (fullPattern.IsEmpty())
        fullPattern = pstrName;
    const int nSlash = std::max(fullPattern.ReverseFind(L'\\'), fullPattern.ReverseFind(L'/'));
    m_strRoot = nSlash >= 0 ? fullPattern.Left(nSlash) : CString();
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    ASSERT(m_hContext != nullptr);
    if (m_hContext == nullptr || !m_bHaveNext)
        return FALSE;
    m_found = m_next;
    m_bHaveFound = TRUE;
    m_bHaveNext = ::FindNextFileW(m_hContext, &m_next);
    return m_bHaveNext;
}

const WIN32_FIND_DATAW* CFileFind::Found() const
{
    ASSERT(m_bHaveFound);
    return m_bHaveFound ? &m_found : nullptr;
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    const WIN32_FIND_DATAW* pFound = Found();
    return pFound != nullptr && (pFound->dwFileAttributes & dwMask) != 0;
}

BOOL CFileFind::IsDots() const
{
    const WIN32_FIND_DATAW* pFound = Found();
    if (pFound == nullptr || !(pFound->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    return wcscmp(pFound->cFileName, L".") == 0 || wcscmp(pFound->cFileName, L"..") == 0;
}

ULONGLONG CFileFind::GetLength() const
{
    const WIN32_FIND_DATAW* pFound = Found();
    if (pFound == nullptr)
        return 0;
    return (static_cast<ULONGLONG>(pFound->nFileSizeHigh) << 32) | pFound->nFileSizeLow;
}

CString CFileFind::GetFileName() const
{
    const WIN32_FIND_DATAW* pFound = Found();
    return pFound != nullptr ? CString(pFound->cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    CString path = GetRoot();
    if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    return path + GetFileName();
}

CString CFileFind::GetFileTitle() const
{
    CString name = GetFileName();
    const int nDot = name.ReverseFind(L'.');
    return nDot > 0 ? name.Left(nDot) : name;
}

CString CFileFind::GetRoot() const
{
    ASSERT(m_hContext != nullptr);
    return m_strRoot;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* pTimeStamp) const
{
    return CopyTime(&WIN32_FIND_DATAW::ftLastWriteTime, pTimeStamp);
}

BOOL CFileFind::GetLastAccessTime(FILETIME* pTimeStamp) const
{
    return CopyTime(&WIN32_FIND_DATAW::ftLastAccessTime, pTimeStamp);
}

BOOL CFileFind::GetCreationTime(FILETIME* pTimeStamp) const
{
    return CopyTime(&WIN32_FIND_DATAW::ftCreationTime, pTimeStamp);
}

BOOL CFileFind::CopyTime(FILETIME WIN32_FIND_DATAW::*pTime, FILETIME* pTimeStamp) const
{
    const WIN32_FIND_DATAW* pFound = Found();
    if (pFound == nullptr || pTimeStamp == nullptr)
        return FALSE;
    *pTimeStamp = pFound->*pTime;
    return TRUE;
}
