// The INI-file storage of the property exchange: a section is an INI section named by the
// path of section names ("Root\Items\First"), a property a key. Values go to a working file,
// a temporary copy unless a file is assigned; it is UTF-16 with a byte-order mark, so that
// text outside the ANSI code page survives the profile functions.
#include "hlmpropexchange.h"

IMPLEMENT_DYNAMIC(CHLMPropExchangeIniFile, CHLMPropExchange)

namespace
{
constexpr DWORD kFirstKeyBuffer = 256;
constexpr DWORD kFirstSectionNamesBuffer = 8000;

BOOL IsExistingFile(LPCTSTR lpszPath)
{
    const DWORD dwAttributes = GetFileAttributesW(lpszPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL WriteByteOrderMark(LPCTSTR lpszPath)
{
    HANDLE hFile = CreateFileW(lpszPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    const BYTE bom[] = {0xFF, 0xFE};
    DWORD nWritten = 0;
    const BOOL bOk = WriteFile(hFile, bom, sizeof(bom), &nWritten, nullptr) && nWritten == sizeof(bom);
    CloseHandle(hFile);
    return bOk;
}

// Reads with a buffer that doubles while the profile function fills it (it then returns
// the buffer size minus nFullMargin).
template <class Read>
CString ReadGrowing(DWORD nFirstSize, DWORD nFullMargin, Read read)
{
    for (DWORD nSize = nFirstSize;; nSize *= 2)
    {
        std::vector<wchar_t> buffer(nSize, 0);
        const DWORD nRead = read(buffer.data(), nSize);
        if (nRead + nFullMargin < nSize || nSize >= 0x4000000)
            return CString(buffer.data(), static_cast<int>(std::min(nRead, nSize)));
    }
}
}  // namespace

CHLMPropExchangeIniFile::CHLMPropExchangeIniFile(BOOL bLoading, LPCTSTR lpszParentSection, LPCTSTR lpszSection)
    : CHLMPropExchange(bLoading), m_bTempFile(TRUE)
{
    ASSERT(lpszSection != nullptr && *lpszSection != 0);
    if (lpszParentSection != nullptr && *lpszParentSection != 0)
        m_strSection = CString(lpszParentSection) + L"\\" + lpszSection;
    else
        m_strSection = lpszSection;
    m_bSectionEmptied = TRUE;  // a fresh working file has nothing to delete
}

CHLMPropExchangeIniFile::~CHLMPropExchangeIniFile()
{
    if (IsRootSection() && m_bTempFile && !m_strPath.IsEmpty())
        DeleteFileW(m_strPath);
}

BOOL CHLMPropExchangeIniFile::OnBeforeExchange()
{
    if (!m_bInitialized && m_strPath.IsEmpty())
    {
        wchar_t folder[MAX_PATH + 1] = {};
        wchar_t path[MAX_PATH + 1] = {};
        if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"hlm", 0, path) == 0)
            return FALSE;
        if (!WriteByteOrderMark(path))
        {
            DeleteFileW(path);
            return FALSE;
        }
        m_strPath = path;
        m_bTempFile = TRUE;
    }
    m_bInitialized = TRUE;
    return !m_strPath.IsEmpty();
}

CString CHLMPropExchangeIniFile::ReadKey(LPCTSTR lpszName) const
{
    return ReadGrowing(kFirstKeyBuffer, 1, [&](wchar_t* pBuffer, DWORD nSize) {
        return GetPrivateProfileStringW(m_strSection, lpszName, L"", pBuffer, nSize, m_strPath);
    });
}

BOOL CHLMPropExchangeIniFile::ExchangeValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault)
{
    if (vt == VT_BSTR || vt == VT_CY)
        return FALSE;  // no INI form
    pDefault = EffectiveDefault(pDefault);
    if (m_bLoading)
    {
        if (!OnBeforeExchange())
            return CopyValue(vt, pValue, pDefault);
        CString text = ReadKey(lpszName);
        if (text.IsEmpty())
            return CopyValue(vt, pValue, pDefault);
        return ExchangeValueText(text, vt, pValue, pDefault);
    }
    if (!OnBeforeExchange())
        return FALSE;
    if (IsSameValue(vt, pValue, pDefault))
    {
        if (!m_bSectionEmptied)
            WritePrivateProfileStringW(m_strSection, lpszName, nullptr, m_strPath);
        return TRUE;
    }
    CString text;
    if (!ExchangeValueText(text, vt, pValue, pDefault))
        return FALSE;
    return WritePrivateProfileStringW(m_strSection, lpszName, text, m_strPath);
}

CHLMPropExchange* CHLMPropExchangeIniFile::OpenSection(LPCTSTR lpszName)
{
    OnBeforeExchange();
    CHLMPropExchangeIniFile* pSection = new CHLMPropExchangeIniFile(m_bLoading, m_strSection, lpszName);
    pSection->InheritState(this);
    pSection->m_strPath = m_strPath;
    pSection->m_bTempFile = m_bTempFile;
    return pSection;
}

void CHLMPropExchangeIniFile::EmptySection()
{
    if (m_bSectionEmptied || m_strSection.IsEmpty())
        return;
    CHLMPropExchange::EmptySection();
    if (!OnBeforeExchange())
        return;
    const CString names = ReadGrowing(kFirstSectionNamesBuffer, 2, [&](wchar_t* pBuffer, DWORD nSize) {
        return GetPrivateProfileSectionNamesW(pBuffer, nSize, m_strPath);
    });
    const int nOwnLength = m_strSection.GetLength();
    for (LPCWSTR pName = names; *pName != 0; pName += wcslen(pName) + 1)
    {
        // Section names compare without regard to case, as the profile functions do.
        if (_wcsnicmp(pName, m_strSection, static_cast<size_t>(nOwnLength)) == 0 &&
            (pName[nOwnLength] == 0 || pName[nOwnLength] == L'\\'))
            WritePrivateProfileStringW(pName, nullptr, nullptr, m_strPath);
    }
}

BOOL CHLMPropExchangeIniFile::LoadFromFile(LPCTSTR lpszPath)
{
    ASSERT(IsRootSection() && m_bLoading);
    if (lpszPath == nullptr || !IsExistingFile(lpszPath) || !OnBeforeExchange())
        return FALSE;
    return CopyFileW(lpszPath, m_strPath, FALSE);
}

BOOL CHLMPropExchangeIniFile::SaveToFile(LPCTSTR lpszPath)
{
    ASSERT(IsRootSection() && !m_bLoading);
    if (lpszPath == nullptr || m_strPath.Compare(lpszPath) == 0)
        return FALSE;
    if (m_strPath.IsEmpty())
        return TRUE;  // nothing was stored
    // Copied over the target: a failed copy leaves the target as it was.
    return CopyFileW(m_strPath, lpszPath, FALSE);
}

void CHLMPropExchangeIniFile::AssignFile(LPCTSTR lpszPath)
{
    if (IsRootSection() && m_bTempFile && !m_strPath.IsEmpty())
        DeleteFileW(m_strPath);
    m_strPath = lpszPath;
    m_bTempFile = FALSE;
    m_bSectionEmptied = FALSE;
}
