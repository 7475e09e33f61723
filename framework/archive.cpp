// CArchive: buffered little-endian serialisation with the framework's byte forms
// for counts, strings and class references (see afx.h).
#include "afx.h"

namespace
{
const WORD wNullTag = 0;
const WORD wNewClassTag = 0xFFFF;
const WORD wClassTag = 0x8000;
const DWORD dwBigClassTag = 0x80000000;
const WORD wBigObjectTag = 0x7FFF;
const DWORD nMaxMapCount = 0x3FFFFFFE;
const UINT kMinBufSize = 128;
const UINT kNoSchema = static_cast<UINT>(-1);
}

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_lpBufCur(nullptr), m_lpBufMax(nullptr), m_lpBufStart(nullptr), m_pFile(pFile), m_nMode(nMode),
      m_nBufSize(nBufSize > static_cast<int>(kMinBufSize) ? static_cast<UINT>(nBufSize) : kMinBufSize),
      m_nObjectSchema(kNoSchema), m_bUserBuf(lpBuf != nullptr)
{
    ASSERT(pFile != nullptr);
    if (m_bUserBuf)
    {
        ASSERT(nBufSize >= static_cast<int>(sizeof(ULONGLONG)));
        m_lpBufStart = static_cast<BYTE*>(lpBuf);
        m_nBufSize = static_cast<UINT>(nBufSize);
    }
    else
    {
        m_ownBuffer.resize(m_nBufSize);
        m_lpBufStart = m_ownBuffer.data();
    }
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
    m_map.push_back(MapEntry{nullptr, false, 0});
}

CArchive::~CArchive()
{
    if (m_pFile == nullptr)
        return;
    if (m_nMode & bNoFlushOnDelete)
    {
        Abort();
        return;
    }
    try
    {
        Close();
    }
    catch (CException* e)
    {
        e->Delete();
        Abort();
    }
}

void CArchive::ThrowArchive(int cause) const
{
    AfxThrowArchiveException(cause, m_pFile != nullptr ? m_pFile->GetFilePath() : CString());
}

void CArchive::CheckLoading() const
{
    if (!IsLoading())
        ThrowArchive(CArchiveException::writeOnly);
}

void CArchive::CheckStoring() const
{
    if (!IsStoring())
        ThrowArchive(CArchiveException::readOnly);
}

UINT CArchive::GetObjectSchema()
{
    const UINT nResult = m_nObjectSchema;
    m_nObjectSchema = kNoSchema;  // it can be asked for once
    return nResult;
}

ULONGLONG CArchive::GetBytesLeft() const
{
    const ULONGLONG nBuffered = static_cast<ULONGLONG>(m_lpBufMax - m_lpBufCur);
    if (!IsLoading() || m_pFile == nullptr)
        return nBuffered;
    const ULONGLONG nLength = m_pFile->GetLength();
    const ULONGLONG nPosition = m_pFile->GetPosition();
    return nBuffered + (nLength > nPosition ? nLength - nPosition : 0);
}

void CArchive::FillBuffer(UINT nAdditionalBytesNeeded)
{
    CheckLoading();
    const UINT nAvailable = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
    const UINT nTotalNeeded = nAvailable + nAdditionalBytesNeeded;
    memmove(m_lpBufStart, m_lpBufCur, nAvailable);
    if (nTotalNeeded > m_nBufSize)
    {
        if (m_bUserBuf)
            ThrowArchive(CArchiveException::bufferFull);
        m_ownBuffer.resize(nTotalNeeded);
        m_lpBufStart = m_ownBuffer.data();
        m_nBufSize = nTotalNeeded;
    }
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = m_lpBufStart + nAvailable;
    // Read ahead as far as the buffer goes; the file may give less at its end.
    while (static_cast<UINT>(m_lpBufMax - m_lpBufCur) < nTotalNeeded)
    {
        const UINT nRead = m_pFile->Read(m_lpBufMax, m_nBufSize - static_cast<UINT>(m_lpBufMax - m_lpBufStart));
        if (nRead == 0)
            break;
        m_lpBufMax += nRead;
    }
    if (static_cast<UINT>(m_lpBufMax - m_lpBufCur) < nTotalNeeded)
        ThrowArchive(CArchiveException::endOfFile);
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    CheckLoading();
    BYTE* pOut = static_cast<BYTE*>(lpBuf);
    UINT nDone = 0;
    while (nDone < nMax)
    {
        UINT nBuffered = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (nBuffered == 0)
        {
            const UINT nLeft = nMax - nDone;
            if (nLeft >= m_nBufSize)
            {
                // Large reads go straight to the file.
                const UINT nRead = m_pFile->Read(pOut + nDone, nLeft);
                nDone += nRead;
                if (nRead == 0)
                    break;
                continue;
            }
            m_lpBufCur = m_lpBufMax = m_lpBufStart;
            const UINT nRead = m_pFile->Read(m_lpBufStart, m_nBufSize);
            m_lpBufMax += nRead;
            if (nRead == 0)
                break;
            nBuffered = nRead;
        }
        const UINT nCopy = nBuffered < nMax - nDone ? nBuffered : nMax - nDone;
        memcpy(pOut + nDone, m_lpBufCur, nCopy);
        m_lpBufCur += nCopy;
        nDone += nCopy;
    }
    return nDone;
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    CheckStoring();
    const BYTE* pIn = static_cast<const BYTE*>(lpBuf);
    while (nMax > 0)
    {
        const UINT nRoom = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (nRoom == 0)
        {
            Flush();
            if (nMax >= m_nBufSize)
            {
                m_pFile->Write(pIn, nMax);
                return;
            }
            continue;
        }
        const UINT nCopy = nRoom < nMax ? nRoom : nMax;
        memcpy(m_lpBufCur, pIn, nCopy);
        m_lpBufCur += nCopy;
        pIn += nCopy;
        nMax -= nCopy;
    }
}

void CArchive::Flush()
{
    if (m_pFile == nullptr)
        return;
    if (IsStoring())
    {
        if (m_lpBufCur != m_lpBufStart)
            m_pFile->Write(m_lpBufStart, static_cast<UINT>(m_lpBufCur - m_lpBufStart));
        m_lpBufCur = m_lpBufStart;
    }
    else
    {
        // Give the read-ahead back to the file.
        if (m_lpBufMax != m_lpBufCur)
            m_pFile->Seek(-static_cast<LONGLONG>(m_lpBufMax - m_lpBufCur), CFile::current);
        m_lpBufCur = m_lpBufMax = m_lpBufStart;
    }
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
}

template <class T>
CArchive& CArchive::StoreValue(T value)
{
    CheckStoring();
    if (static_cast<size_t>(m_lpBufMax - m_lpBufCur) < sizeof(T))
        Flush();
    memcpy(m_lpBufCur, &value, sizeof(T));
    m_lpBufCur += sizeof(T);
    return *this;
}

template <class T>
CArchive& CArchive::LoadValue(T& value)
{
    CheckLoading();
    const size_t nAvailable = static_cast<size_t>(m_lpBufMax - m_lpBufCur);
    if (nAvailable < sizeof(T))
        FillBuffer(static_cast<UINT>(sizeof(T) - nAvailable));
    memcpy(&value, m_lpBufCur, sizeof(T));
    m_lpBufCur += sizeof(T);
    return *this;
}

CArchive& CArchive::operator<<(BYTE by) { return StoreValue(by); }
CArchive& CArchive::operator<<(WORD w) { return StoreValue(w); }
CArchive& CArchive::operator<<(LONG l) { return StoreValue(l); }
CArchive& CArchive::operator<<(DWORD dw) { return StoreValue(dw); }
CArchive& CArchive::operator<<(float f) { return StoreValue(f); }
CArchive& CArchive::operator<<(double d) { return StoreValue(d); }
CArchive& CArchive::operator<<(LONGLONG dwdw) { return StoreValue(dwdw); }
CArchive& CArchive::operator<<(ULONGLONG dwdw) { return StoreValue(dwdw); }
CArchive& CArchive::operator<<(int i) { return StoreValue(static_cast<LONG>(i)); }
CArchive& CArchive::operator<<(short w) { return StoreValue(static_cast<WORD>(w)); }
CArchive& CArchive::operator<<(char ch) { return StoreValue(static_cast<BYTE>(ch)); }
CArchive& CArchive::operator<<(wchar_t ch) { return StoreValue(static_cast<WORD>(ch)); }
CArchive& CArchive::operator<<(unsigned u) { return StoreValue(static_cast<DWORD>(u)); }
CArchive& CArchive::operator<<(bool b) { return StoreValue(static_cast<BYTE>(b ? 1 : 0)); }

CArchive& CArchive::operator<<(const CObject* pOb)
{
    WriteObject(pOb);
    return *this;
}

CArchive& CArchive::operator>>(BYTE& by) { return LoadValue(by); }
CArchive& CArchive::operator>>(WORD& w) { return LoadValue(w); }
CArchive& CArchive::operator>>(LONG& l) { return LoadValue(l); }
CArchive& CArchive::operator>>(DWORD& dw) { return LoadValue(dw); }
CArchive& CArchive::operator>>(float& f) { return LoadValue(f); }
CArchive& CArchive::operator>>(double& d) { return LoadValue(d); }
CArchive& CArchive::operator>>(LONGLONG& dwdw) { return LoadValue(dwdw); }
CArchive& CArchive::operator>>(ULONGLONG& dwdw) { return LoadValue(dwdw); }

template <class Stored, class T>
static CArchive& LoadAs(CArchive& ar, T& value)
{
    Stored stored;
    ar >> stored;
    value = static_cast<T>(stored);
    return ar;
}

CArchive& CArchive::operator>>(int& i) { return LoadAs<LONG>(*this, i); }
CArchive& CArchive::operator>>(short& w) { return LoadAs<WORD>(*this, w); }
CArchive& CArchive::operator>>(char& ch) { return LoadAs<BYTE>(*this, ch); }
CArchive& CArchive::operator>>(wchar_t& ch) { return LoadAs<WORD>(*this, ch); }
CArchive& CArchive::operator>>(unsigned& u) { return LoadAs<DWORD>(*this, u); }

CArchive& CArchive::operator>>(bool& b)
{
    BYTE by = 0;
    *this >> by;
    b = by != 0;
    return *this;
}

CArchive& CArchive::operator>>(CObject*& pOb)
{
    pOb = ReadObject(nullptr);
    return *this;
}

// ---------------------------------------------------------------------------
// Counts.

void CArchive::WriteCount(DWORD_PTR dwCount)
{
    if (dwCount < 0xFFFF)
    {
        *this << static_cast<WORD>(dwCount);
        return;
    }
    *this << static_cast<WORD>(0xFFFF);
#ifdef _WIN64
    if (dwCount >= 0xFFFFFFFF)
    {
        *this << static_cast<DWORD>(0xFFFFFFFF) << static_cast<ULONGLONG>(dwCount);
        return;
    }
#endif
    *this << static_cast<DWORD>(dwCount);
}

// Every stored element takes at least one byte, so a count larger than the bytes
// left cannot be genuine.
DWORD_PTR CArchive::ReadCount()
{
    WORD wCount = 0;
    *this >> wCount;
    ULONGLONG nCount = wCount;
    if (wCount == 0xFFFF)
    {
        DWORD dwCount = 0;
        *this >> dwCount;
        nCount = dwCount;
#ifdef _WIN64
        if (dwCount == 0xFFFFFFFF)
            *this >> nCount;
#endif
    }
    if (nCount > GetBytesLeft())
        ThrowArchive(CArchiveException::endOfFile);
    return static_cast<DWORD_PTR>(nCount);
}

// ---------------------------------------------------------------------------
// CString.

CArchive& AFXAPI operator<<(CArchive& ar, const CString& string)
{
    const DWORD nLength = static_cast<DWORD>(string.GetLength());
    ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFE);  // UTF-16 follows
    if (nLength < 0xFF)
    {
        ar << static_cast<BYTE>(nLength);
    }
    else if (nLength < 0xFFFE)
    {
        ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(nLength);
    }
    else
    {
        ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << nLength;
    }
    ar.Write(string.GetString(), nLength * static_cast<UINT>(sizeof(wchar_t)));
    return ar;
}

namespace
{
// The length prefix; nCharSize becomes 2 after the UTF-16 marker.
ULONGLONG ReadStringLength(CArchive& ar, UINT& nCharSize)
{
    nCharSize = 1;
    BYTE bLength = 0;
    ar >> bLength;
    if (bLength < 0xFF)
        return bLength;
    WORD wLength = 0;
    ar >> wLength;
    if (wLength == 0xFFFE)
    {
        nCharSize = 2;
        ar >> bLength;
        if (bLength < 0xFF)
            return bLength;
        ar >> wLength;
    }
    if (wLength < 0xFFFF)
        return wLength;
    DWORD dwLength = 0;
    ar >> dwLength;
    return dwLength;
}
}

CArchive& AFXAPI operator>>(CArchive& ar, CString& string)
{
    UINT nCharSize = 1;
    const ULONGLONG nLength = ReadStringLength(ar, nCharSize);
    const ULONGLONG nBytes = nLength * nCharSize;
    if (nBytes > ar.GetBytesLeft() || nLength > static_cast<ULONGLONG>(INT_MAX / 2))
        AfxThrowArchiveException(CArchiveException::endOfFile);
    const int nChars = static_cast<int>(nLength);
    if (nCharSize == 2)
    {
        LPWSTR pBuffer = string.GetBufferSetLength(nChars);
        const UINT nRead = ar.Read(pBuffer, static_cast<UINT>(nBytes));
        string.ReleaseBufferSetLength(nChars);
        if (nRead != nBytes)
            AfxThrowArchiveException(CArchiveException::endOfFile);
    }
    else
    {
        std::vector<char> bytes(static_cast<size_t>(nBytes));
        if (ar.Read(bytes.data(), static_cast<UINT>(nBytes)) != nBytes)
            AfxThrowArchiveException(CArchiveException::endOfFile);
        string = CString(bytes.data(), nChars);
    }
    return ar;
}

// ---------------------------------------------------------------------------
// Classes and objects.

DWORD CArchive::FindStored(const void* p) const
{
    for (size_t i = 1; i < m_map.size(); ++i)
    {
        if (m_map[i].p == p)
            return static_cast<DWORD>(i);
    }
    return 0;
}

DWORD CArchive::AddEntry(const void* p, bool bClass, UINT nSchema)
{
    if (m_map.size() > nMaxMapCount)
        ThrowArchive(CArchiveException::badIndex);
    m_map.push_back(MapEntry{p, bClass, nSchema});
    return static_cast<DWORD>(m_map.size() - 1);
}

void CArchive::WriteTag(DWORD nIndex, WORD wFlag, DWORD dwBigFlag)
{
    if (nIndex < wBigObjectTag)
    {
        *this << static_cast<WORD>(wFlag | nIndex);
    }
    else
    {
        *this << wBigObjectTag << static_cast<DWORD>(dwBigFlag | nIndex);
    }
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    ASSERT(pClassRef != nullptr && pClassRef->m_wSchema != 0xFFFF);
    CheckStoring();
    const DWORD nIndex = FindStored(pClassRef);
    if (nIndex != 0)
    {
        WriteTag(nIndex, wClassTag, dwBigClassTag);
        return;
    }
    *this << wNewClassTag;
    pClassRef->Store(*this);
    AddEntry(pClassRef, true, pClassRef->m_wSchema);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    CheckLoading();
    WORD wTag = 0;
    *this >> wTag;
    DWORD obTag;
    if (wTag == wBigObjectTag)
        *this >> obTag;
    else
        obTag = (static_cast<DWORD>(wTag & wClassTag) << 16) | (wTag & ~wClassTag);

    if (!(obTag & dwBigClassTag))
    {
        // An object reference where a class was expected.
        if (pObTag == nullptr)
            ThrowArchive(CArchiveException::badIndex);
        *pObTag = obTag;
        return nullptr;
    }

    CRuntimeClass* pClassRef;
    UINT nSchema;
    if (wTag == wNewClassTag)
    {
        pClassRef = CRuntimeClass::Load(*this, &nSchema);
        if (pClassRef == nullptr)
            ThrowArchive(CArchiveException::badClass);
        if ((pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) != nSchema && !(pClassRef->m_wSchema & VERSIONABLE_SCHEMA))
            ThrowArchive(CArchiveException::badSchema);
        AddEntry(pClassRef, true, nSchema);
    }
    else
    {
        const DWORD nClassIndex = obTag & ~dwBigClassTag;
        if (nClassIndex == 0 || nClassIndex >= m_map.size() || !m_map[nClassIndex].bClass)
            ThrowArchive(CArchiveException::badIndex);
        pClassRef = static_cast<CRuntimeClass*>(const_cast<void*>(m_map[nClassIndex].p));
        nSchema = m_map[nClassIndex].nSchema;
    }

    if (pClassRefRequested != nullptr && !pClassRef->IsDerivedFrom(pClassRefRequested))
        ThrowArchive(CArchiveException::badClass);
    if (pSchema != nullptr)
        *pSchema = nSchema;
    else
        m_nObjectSchema = nSchema;
    if (pObTag != nullptr)
        *pObTag = obTag;
    return pClassRef;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef)
{
    if (IsStoring())
        WriteClass(pClassRef);
    else
        ReadClass(pClassRef);
}

void CArchive::WriteObject(const CObject* pOb)
{
    CheckStoring();
    if (pOb == nullptr)
    {
        *this << wNullTag;
        return;
    }
    const DWORD nIndex = FindStored(pOb);
    if (nIndex != 0)
    {
        WriteTag(nIndex, 0, 0);
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    AddEntry(pOb, false, 0);
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    UINT nSchema = 0;
    DWORD obTag = 0;
    CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);
    if (pClassRef == nullptr)
    {
        // A reference to an object read before (0 is NULL).
        if (obTag >= m_map.size() || m_map[obTag].bClass)
            ThrowArchive(CArchiveException::badIndex);
        CObject* pOb = static_cast<CObject*>(const_cast<void*>(m_map[obTag].p));
        if (pOb != nullptr && pClassRefRequested != nullptr && !pOb->IsKindOf(pClassRefRequested))
            ThrowArchive(CArchiveException::badClass);
        return pOb;
    }
    CObject* pOb = pClassRef->CreateObject();
    if (pOb == nullptr)
        ThrowArchive(CArchiveException::badClass);
    // Entered before its content, so that the content may refer to it.
    AddEntry(pOb, false, 0);
    const UINT nSchemaSave = m_nObjectSchema;
    m_nObjectSchema = nSchema;
    pOb->Serialize(*this);
    m_nObjectSchema = nSchemaSave;
    return pOb;
}

void CArchive::MapObject(const CObject* pOb)
{
    if (IsStoring() && pOb != nullptr && FindStored(pOb) != 0)
        return;
    AddEntry(pOb, false, 0);
}
