// CString: UTF-16 text in a heap block of [header | characters | NUL].
// Strings are not shared: a copy owns its characters.
#include "afx.h"

#include <cwctype>

namespace
{
struct EmptyStringBlock
{
    int nDataLength;
    int nAllocLength;
    wchar_t chNul;
};
// Every empty string points here; it is never written.
EmptyStringBlock g_emptyString = {0, 0, L'\0'};

const int kMaxLength = (INT_MAX - 64) / static_cast<int>(sizeof(wchar_t));

int Length(LPCWSTR lpsz)
{
    return lpsz != nullptr ? static_cast<int>(wcslen(lpsz)) : 0;
}

int Clamp(int nValue, int nLow, int nHigh)
{
    return nValue < nLow ? nLow : (nValue > nHigh ? nHigh : nValue);
}

bool IsSpace(wchar_t ch, const void*)
{
    return iswspace(ch) != 0;
}

bool IsChar(wchar_t ch, const void* pTarget)
{
    return ch == *static_cast<const wchar_t*>(pTarget);
}

bool IsInSet(wchar_t ch, const void* pSet)
{
    return ch != L'\0' && wcschr(static_cast<LPCWSTR>(pSet), ch) != nullptr;
}
}

LPWSTR CString::EmptyData() noexcept
{
    return &g_emptyString.chNul;
}

CString::CString() noexcept : m_pszData(EmptyData())
{
}

CString::CString(const CString& stringSrc) : m_pszData(EmptyData())
{
    Assign(stringSrc.m_pszData, stringSrc.GetLength());
}

CString::CString(CString&& stringSrc) noexcept : m_pszData(stringSrc.m_pszData)
{
    stringSrc.m_pszData = EmptyData();
}

CString::CString(LPCWSTR lpsz) : m_pszData(EmptyData())
{
    if (lpsz != nullptr && IS_INTRESOURCE(lpsz))
        LoadString(static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpsz)));
    else
        Assign(lpsz, Length(lpsz));
}

CString::CString(LPCWSTR lpch, int nLength) : m_pszData(EmptyData())
{
    ASSERT(nLength >= 0 && (nLength == 0 || lpch != nullptr));
    Assign(lpch, lpch != nullptr ? (nLength > 0 ? nLength : 0) : 0);
}

CString::CString(LPCSTR lpsz) : m_pszData(EmptyData())
{
    AssignNarrow(lpsz, lpsz != nullptr ? static_cast<int>(strlen(lpsz)) : 0);
}

CString::CString(LPCSTR lpch, int nLength) : m_pszData(EmptyData())
{
    AssignNarrow(lpch, lpch != nullptr && nLength > 0 ? nLength : 0);
}

CString::CString(wchar_t ch, int nRepeat) : m_pszData(EmptyData())
{
    if (nRepeat <= 0)
        return;
    Reserve(nRepeat);
    for (int i = 0; i < nRepeat; ++i)
        m_pszData[i] = ch;
    SetLength(nRepeat);
}

CString::~CString()
{
    if (m_pszData != EmptyData())
        free(Header());
}

CString& CString::operator=(const CString& stringSrc)
{
    if (this != &stringSrc)
        Assign(stringSrc.m_pszData, stringSrc.GetLength());
    return *this;
}

CString& CString::operator=(CString&& stringSrc) noexcept
{
    std::swap(m_pszData, stringSrc.m_pszData);
    return *this;
}

CString& CString::operator=(LPCWSTR lpsz)
{
    Assign(lpsz, Length(lpsz));
    return *this;
}

CString& CString::operator=(LPCSTR lpsz)
{
    AssignNarrow(lpsz, lpsz != nullptr ? static_cast<int>(strlen(lpsz)) : 0);
    return *this;
}

CString& CString::operator=(wchar_t ch)
{
    Assign(&ch, 1);
    return *this;
}

// Grows the block to hold nCapacity characters plus the NUL; keeps the content.
void CString::Reserve(int nCapacity)
{
    if (nCapacity <= GetAllocLength())
        return;
    if (nCapacity > kMaxLength)
        AfxThrowMemoryException();
    // Grow geometrically so that repeated appends stay linear.
    const int nOld = GetAllocLength();
    int nNew = nOld + nOld / 2;
    if (nNew < nCapacity || nNew > kMaxLength)
        nNew = nCapacity;
    void* pBlock = malloc(sizeof(StringHeader) + (static_cast<size_t>(nNew) + 1) * sizeof(wchar_t));
    if (pBlock == nullptr)
        AfxThrowMemoryException();
    StringHeader* pHeader = static_cast<StringHeader*>(pBlock);
    pHeader->nDataLength = GetLength();
    pHeader->nAllocLength = nNew;
    LPWSTR pszNew = reinterpret_cast<LPWSTR>(pHeader + 1);
    wmemcpy(pszNew, m_pszData, static_cast<size_t>(GetLength()) + 1);
    if (m_pszData != EmptyData())
        free(Header());
    m_pszData = pszNew;
}

void CString::SetLength(int nLength)
{
    if (m_pszData == EmptyData())
        return;  // only an empty length fits the shared empty block
    Header()->nDataLength = nLength;
    m_pszData[nLength] = L'\0';
}

void CString::Assign(LPCWSTR pch, int nLength)
{
    if (nLength <= GetAllocLength())
    {
        // pch may point into this string: memmove copes with the overlap.
        if (nLength > 0)
            wmemmove(m_pszData, pch, nLength);
        SetLength(nLength);
        return;
    }
    CString fresh;
    fresh.Reserve(nLength);
    wmemcpy(fresh.m_pszData, pch, nLength);
    fresh.SetLength(nLength);
    std::swap(m_pszData, fresh.m_pszData);
}

void CString::AssignNarrow(LPCSTR pch, int nLength)
{
    if (nLength <= 0)
    {
        Empty();
        return;
    }
    const int nWide = MultiByteToWideChar(CP_ACP, 0, pch, nLength, nullptr, 0);
    CString fresh;
    fresh.Reserve(nWide);
    MultiByteToWideChar(CP_ACP, 0, pch, nLength, fresh.m_pszData, nWide);
    fresh.SetLength(nWide);
    std::swap(m_pszData, fresh.m_pszData);
}

void CString::Empty()
{
    SetLength(0);
}

wchar_t CString::GetAt(int nIndex) const
{
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    if (nIndex < 0 || nIndex >= GetLength())
        return L'\0';
    return m_pszData[nIndex];
}

void CString::SetAt(int nIndex, wchar_t ch)
{
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    if (nIndex >= 0 && nIndex < GetLength())
        m_pszData[nIndex] = ch;
}

void CString::SetString(LPCWSTR pszSrc)
{
    Assign(pszSrc, Length(pszSrc));
}

void CString::SetString(LPCWSTR pszSrc, int nLength)
{
    Assign(pszSrc, pszSrc != nullptr && nLength > 0 ? nLength : 0);
}

void CString::Append(LPCWSTR pszSrc, int nLength)
{
    if (pszSrc == nullptr || nLength <= 0)
        return;
    const int nOld = GetLength();
    if (nLength > kMaxLength - nOld)
        AfxThrowMemoryException();
    // The source may lie in this string's block, which Reserve may move.
    const bool bInside = pszSrc >= m_pszData && pszSrc <= m_pszData + GetAllocLength();
    const ptrdiff_t nOffset = pszSrc - m_pszData;
    Reserve(nOld + nLength);
    if (bInside)
        pszSrc = m_pszData + nOffset;
    wmemmove(m_pszData + nOld, pszSrc, nLength);
    SetLength(nOld + nLength);
}

void CString::Append(LPCWSTR pszSrc)
{
    Append(pszSrc, Length(pszSrc));
}

void CString::AppendChar(wchar_t ch)
{
    Append(&ch, 1);
}

CString& CString::operator+=(const CString& string)
{
    Append(string.m_pszData, string.GetLength());
    return *this;
}

CString& CString::operator+=(LPCWSTR lpsz)
{
    Append(lpsz);
    return *this;
}

CString& CString::operator+=(LPCSTR lpsz)
{
    return *this += CString(lpsz);
}

CString& CString::operator+=(wchar_t ch)
{
    AppendChar(ch);
    return *this;
}

CString operator+(const CString& string1, const CString& string2)
{
    CString result(string1);
    result += string2;
    return result;
}

CString operator+(const CString& string, LPCWSTR lpsz)
{
    CString result(string);
    result += lpsz;
    return result;
}

CString operator+(LPCWSTR lpsz, const CString& string)
{
    CString result(lpsz);
    result += string;
    return result;
}

CString operator+(const CString& string, wchar_t ch)
{
    CString result(string);
    result += ch;
    return result;
}

CString operator+(wchar_t ch, const CString& string)
{
    CString result(ch);
    result += string;
    return result;
}

int CString::Compare(LPCWSTR lpsz) const
{
    return wcscmp(m_pszData, lpsz != nullptr ? lpsz : L"");
}

int CString::CompareNoCase(LPCWSTR lpsz) const
{
    return _wcsicmp(m_pszData, lpsz != nullptr ? lpsz : L"");
}

int CString::Collate(LPCWSTR lpsz) const
{
    return wcscoll(m_pszData, lpsz != nullptr ? lpsz : L"");
}

int CString::CollateNoCase(LPCWSTR lpsz) const
{
    return _wcsicoll(m_pszData, lpsz != nullptr ? lpsz : L"");
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    nFirst = Clamp(nFirst, 0, GetLength());
    nCount = Clamp(nCount, 0, GetLength() - nFirst);
    return CString(m_pszData + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    return CString(m_pszData, Clamp(nCount, 0, GetLength()));
}

CString CString::Right(int nCount) const
{
    nCount = Clamp(nCount, 0, GetLength());
    return CString(m_pszData + GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCWSTR lpszCharSet) const
{
    return Left(static_cast<int>(wcsspn(m_pszData, lpszCharSet)));
}

CString CString::SpanExcluding(LPCWSTR lpszCharSet) const
{
    return Left(static_cast<int>(wcscspn(m_pszData, lpszCharSet)));
}

CString CString::Tokenize(LPCWSTR pszTokens, int& iStart) const
{
    if (iStart < 0 || iStart > GetLength())
    {
        iStart = -1;
        return CString();
    }
    if (pszTokens == nullptr || *pszTokens == L'\0')
        return Mid(iStart);
    const int nBegin = iStart + static_cast<int>(wcsspn(m_pszData + iStart, pszTokens));
    if (nBegin >= GetLength())
    {
        iStart = -1;
        return CString();
    }
    const int nEnd = nBegin + static_cast<int>(wcscspn(m_pszData + nBegin, pszTokens));
    iStart = nEnd + 1;
    return Mid(nBegin, nEnd - nBegin);
}

CString& CString::MakeUpper()
{
    if (!IsEmpty())
        _wcsupr_s(m_pszData, static_cast<size_t>(GetLength()) + 1);
    return *this;
}

CString& CString::MakeLower()
{
    for (int i = 0; i < GetLength(); ++i)
    {
        if (m_pszData[i] >= L'A' && m_pszData[i] <= L'Z')
            m_pszData[i] = static_cast<wchar_t>(m_pszData[i] - L'A' + L'a');
    }
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_pszData, m_pszData + GetLength());
    return *this;
}

CString& CString::TrimLeftWhere(bool (*pfnTrim)(wchar_t, const void*), const void* pContext)
{
    int nSkip = 0;
    while (nSkip < GetLength() && pfnTrim(m_pszData[nSkip], pContext))
        ++nSkip;
    if (nSkip > 0)
        Delete(0, nSkip);
    return *this;
}

CString& CString::TrimRightWhere(bool (*pfnTrim)(wchar_t, const void*), const void* pContext)
{
    int nKeep = GetLength();
    while (nKeep > 0 && pfnTrim(m_pszData[nKeep - 1], pContext))
        --nKeep;
    Truncate(nKeep);
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::Trim(wchar_t chTarget)
{
    return TrimRight(chTarget).TrimLeft(chTarget);
}

CString& CString::Trim(LPCWSTR pszTargets)
{
    return TrimRight(pszTargets).TrimLeft(pszTargets);
}

CString& CString::TrimLeft()
{
    return TrimLeftWhere(IsSpace, nullptr);
}

CString& CString::TrimLeft(wchar_t chTarget)
{
    return TrimLeftWhere(IsChar, &chTarget);
}

CString& CString::TrimLeft(LPCWSTR pszTargets)
{
    return pszTargets != nullptr ? TrimLeftWhere(IsInSet, pszTargets) : *this;
}

CString& CString::TrimRight()
{
    return TrimRightWhere(IsSpace, nullptr);
}

CString& CString::TrimRight(wchar_t chTarget)
{
    return TrimRightWhere(IsChar, &chTarget);
}

CString& CString::TrimRight(LPCWSTR pszTargets)
{
    return pszTargets != nullptr ? TrimRightWhere(IsInSet, pszTargets) : *this;
}

int CString::Replace(wchar_t chOld, wchar_t chNew)
{
    int nCount = 0;
    for (int i = 0; i < GetLength(); ++i)
    {
        if (m_pszData[i] == chOld)
        {
            m_pszData[i] = chNew;
            ++nCount;
        }
    }
    return nCount;
}

int CString::Replace(LPCWSTR lpszOld, LPCWSTR lpszNew)
{
    const int nOldLength = Length(lpszOld);
    if (nOldLength == 0)
        return 0;
    const int nNewLength = Length(lpszNew);
    CString result;
    int nCount = 0;
    int nPos = 0;
    for (int nFound; (nFound = Find(lpszOld, nPos)) >= 0; nPos = nFound + nOldLength)
    {
        result.Append(m_pszData + nPos, nFound - nPos);
        result.Append(lpszNew, nNewLength);
        ++nCount;
    }
    if (nCount > 0)
    {
        result.Append(m_pszData + nPos, GetLength() - nPos);
        *this = std::move(result);
    }
    return nCount;
}

int CString::Remove(wchar_t chRemove)
{
    const int nOld = GetLength();
    LPWSTR pEnd = std::remove(m_pszData, m_pszData + nOld, chRemove);
    const int nNew = static_cast<int>(pEnd - m_pszData);
    SetLength(nNew);
    return nOld - nNew;
}

int CString::Insert(int nIndex, wchar_t ch)
{
    return Insert(nIndex, CString(ch));
}

int CString::Insert(int nIndex, LPCWSTR pstr)
{
    nIndex = Clamp(nIndex, 0, GetLength());
    CString result(m_pszData, nIndex);
    result += pstr;
    result.Append(m_pszData + nIndex, GetLength() - nIndex);
    *this = std::move(result);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    nIndex = Clamp(nIndex, 0, GetLength());
    nCount = Clamp(nCount, 0, GetLength() - nIndex);
    if (nCount > 0)
    {
        wmemmove(m_pszData + nIndex, m_pszData + nIndex + nCount, GetLength() - nIndex - nCount);
        SetLength(GetLength() - nCount);
    }
    return GetLength();
}

void CString::Truncate(int nNewLength)
{
    ASSERT(nNewLength >= 0 && nNewLength <= GetLength());
    if (nNewLength >= 0 && nNewLength < GetLength())
        SetLength(nNewLength);
}

int CString::Find(wchar_t ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    LPCWSTR pFound = wcschr(m_pszData + nStart, ch);
    return pFound != nullptr && ch != L'\0' ? static_cast<int>(pFound - m_pszData) : -1;
}

int CString::Find(LPCWSTR lpszSub, int nStart) const
{
    if (lpszSub == nullptr || nStart < 0 || nStart > GetLength())
        return -1;
    LPCWSTR pFound = wcsstr(m_pszData + nStart, lpszSub);
    return pFound != nullptr ? static_cast<int>(pFound - m_pszData) : -1;
}

int CString::ReverseFind(wchar_t ch) const
{
    LPCWSTR pFound = wcsrchr(m_pszData, ch);
    return pFound != nullptr && ch != L'\0' ? static_cast<int>(pFound - m_pszData) : -1;
}

int CString::FindOneOf(LPCWSTR lpszCharSet) const
{
    if (lpszCharSet == nullptr)
        return -1;
    LPCWSTR pFound = wcspbrk(m_pszData, lpszCharSet);
    return pFound != nullptr ? static_cast<int>(pFound - m_pszData) : -1;
}

void AFX_CDECL CString::FormatArgs(LPCWSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    FormatV(lpszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCWSTR lpszFormat, va_list argList)
{
    *this = AfxFormatStringV(lpszFormat, argList);
}

void AFX_CDECL CString::AppendFormatArgs(LPCWSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    AppendFormatV(lpszFormat, args);
    va_end(args);
}

void CString::AppendFormatV(LPCWSTR lpszFormat, va_list argList)
{
    *this += AfxFormatStringV(lpszFormat, argList);
}

void AFX_CDECL CString::FormatMessageArgs(LPCWSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    LPWSTR pszMessage = nullptr;
    const DWORD nLength = ::FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, lpszFormat, 0,
                                           0, reinterpret_cast<LPWSTR>(&pszMessage), 0, &args);
    va_end(args);
    if (pszMessage == nullptr)
        AfxThrowMemoryException();
    Assign(pszMessage, static_cast<int>(nLength));
    LocalFree(pszMessage);
}

BOOL CString::LoadString(UINT nID)
{
    return LoadString(AfxGetResourceHandle(), nID);
}

// String resources come in blocks of 16: block id/16 + 1 holds, for each of its
// strings, a WORD length and that many UTF-16 characters.
BOOL CString::LoadString(HINSTANCE hInstance, UINT nID)
{
    HRSRC hBlock = FindResourceW(hInstance, MAKEINTRESOURCEW((nID >> 4) + 1), MAKEINTRESOURCEW(6) /*RT_STRING*/);
    if (hBlock == nullptr)
        return FALSE;
    HGLOBAL hData = LoadResource(hInstance, hBlock);
    const WORD* pWords = hData != nullptr ? static_cast<const WORD*>(LockResource(hData)) : nullptr;
    if (pWords == nullptr)
        return FALSE;
    const DWORD nWords = SizeofResource(hInstance, hBlock) / sizeof(WORD);
    DWORD nPos = 0;
    for (UINT nEntry = 0; nEntry < (nID & 15); ++nEntry)
    {
        if (nPos >= nWords)
            return FALSE;
        nPos += 1 + pWords[nPos];
    }
    if (nPos >= nWords || pWords[nPos] == 0 || pWords[nPos] > nWords - nPos - 1)
        return FALSE;
    Assign(reinterpret_cast<LPCWSTR>(pWords + nPos + 1), pWords[nPos]);
    return TRUE;
}

LPWSTR CString::GetBuffer()
{
    return GetBuffer(GetLength());
}

LPWSTR CString::GetBuffer(int nMinBufLength)
{
    Reserve(nMinBufLength > GetLength() ? nMinBufLength : GetLength());
    return m_pszData;
}

LPWSTR CString::GetBufferSetLength(int nNewLength)
{
    ASSERT(nNewLength >= 0);
    nNewLength = nNewLength > 0 ? nNewLength : 0;
    GetBuffer(nNewLength);
    SetLength(nNewLength);
    return m_pszData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = static_cast<int>(wcsnlen(m_pszData, static_cast<size_t>(GetAllocLength())));
    ASSERT(nNewLength <= GetAllocLength());
    SetLength(Clamp(nNewLength, 0, GetAllocLength()));
}

void CString::ReleaseBufferSetLength(int nNewLength)
{
    ASSERT(nNewLength >= 0);
    ReleaseBuffer(nNewLength > 0 ? nNewLength : 0);
}

void CString::Preallocate(int nLength)
{
    Reserve(nLength);
}

void CString::FreeExtra()
{
    if (GetAllocLength() > GetLength())
    {
        CString exact(m_pszData, GetLength());
        std::swap(m_pszData, exact.m_pszData);
    }
}

BSTR CString::AllocSysString() const
{
    BSTR bstr = SysAllocStringLen(m_pszData, static_cast<UINT>(GetLength()));
    if (bstr == nullptr)
        AfxThrowMemoryException();
    return bstr;
}
