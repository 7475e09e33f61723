// The archive storage of the property exchange: values follow each other in the
// framework archive in the order of the calls, without names and without defaults.
#include "hlmpropexchange.h"

IMPLEMENT_DYNAMIC(CHLMPropExchangeArchive, CHLMPropExchange)

namespace
{
// Raw bytes of a value; a stream that ends early raises the archive's end-of-file exception.
void ReadExact(CArchive& ar, void* pData, UINT nBytes)
{
    if (ar.Read(pData, nBytes) != nBytes)
        AfxThrowArchiveException(CArchiveException::endOfFile);
}

template <class T>
void SerializeRaw(CArchive& ar, void* pValue)
{
    if (ar.IsLoading())
        ReadExact(ar, pValue, sizeof(T));
    else
        ar.Write(pValue, sizeof(T));
}

// Passes over nBytes of the stream.
void SkipBytes(CArchive& ar, DWORD nBytes)
{
    BYTE scratch[256];
    while (nBytes > 0)
    {
        const UINT nChunk = static_cast<UINT>(std::min<DWORD>(nBytes, sizeof(scratch)));
        ReadExact(ar, scratch, nChunk);
        nBytes -= nChunk;
    }
}
}  // namespace

CHLMPropExchangeArchive::CHLMPropExchangeArchive(CArchive* pArchive)
    : CHLMPropExchange(pArchive != nullptr && pArchive->IsLoading()), m_pArchive(pArchive)
{
    ASSERT(pArchive != nullptr);
}

BOOL CHLMPropExchangeArchive::ExchangeValue(LPCTSTR, VARTYPE vt, void* pValue, const void*)
{
    if (!OnBeforeExchange() || pValue == nullptr || m_pArchive == nullptr)
        return FALSE;
    CArchive& ar = *m_pArchive;
    switch (vt)
    {
    case VT_I2: SerializeRaw<WORD>(ar, pValue); return TRUE;
    case VT_I4: case VT_BOOL: SerializeRaw<DWORD>(ar, pValue); return TRUE;
    case VT_R4: SerializeRaw<float>(ar, pValue); return TRUE;
    case VT_R8: SerializeRaw<double>(ar, pValue); return TRUE;
    case VT_CY: SerializeRaw<CY>(ar, pValue); return TRUE;  // low half first: little-endian
    case VT_UI1: SerializeRaw<BYTE>(ar, pValue); return TRUE;
    case kHLMTypeRect: SerializeRaw<RECT>(ar, pValue); return TRUE;
    case kHLMTypePoint: SerializeRaw<POINT>(ar, pValue); return TRUE;
    case VT_DATE:
        if (m_bLoading)
            ar >> *static_cast<COleDateTime*>(pValue);
        else
            ar << *static_cast<const COleDateTime*>(pValue);
        return TRUE;
    case VT_VARIANT:
        if (m_bLoading)
            ar >> *static_cast<COleVariant*>(pValue);
        else
            ar << *static_cast<const COleVariant*>(pValue);
        return TRUE;
    case VT_LPSTR:
        if (m_bLoading)
            ar >> *static_cast<CString*>(pValue);
        else
            ar << *static_cast<const CString*>(pValue);
        return TRUE;
    case VT_BSTR:
        ASSERT(FALSE);  // an archive holds no BSTRs; exchange a CString
        return FALSE;
    default:
        return FALSE;  // nothing transferred, so the stream stays aligned
    }
}

BOOL CHLMPropExchangeArchive::ExchangeBlob(LPCTSTR, BYTE** ppData, DWORD* pnBytes)
{
    if (ppData == nullptr || pnBytes == nullptr || m_pArchive == nullptr)
        return FALSE;
    if (!m_bLoading)
    {
        m_pArchive->WriteCount(*pnBytes);
        m_pArchive->Write(*ppData, *pnBytes);
        return TRUE;
    }
    // ReadCount refuses a count larger than the bytes left, before anything is allocated.
    const DWORD nStored = static_cast<DWORD>(m_pArchive->ReadCount());
    if (*ppData == nullptr)
    {
        *ppData = static_cast<BYTE*>(malloc(nStored != 0 ? nStored : 1));
        if (*ppData == nullptr)
            return FALSE;
        *pnBytes = nStored;
    }
    else if (*pnBytes < nStored)
    {
        SkipBytes(*m_pArchive, nStored);
        return FALSE;
    }
    return m_pArchive->Read(*ppData, nStored) == nStored;
}

BOOL CHLMPropExchangeArchive::ExchangeRuntimeClass(LPCTSTR, CRuntimeClass** ppClass, CRuntimeClass* pDefaultClass)
{
    if (ppClass == nullptr || m_pArchive == nullptr)
        return FALSE;
    if (!m_bLoading)
    {
        m_pArchive->WriteClass(*ppClass);
        return TRUE;
    }
    UINT nSchema = 0;
    CRuntimeClass* pClass = m_pArchive->ReadClass(pDefaultClass, &nSchema);
    if (pClass == nullptr)
        return FALSE;
    m_nSchema = static_cast<int>(nSchema);
    *ppClass = pClass;
    return TRUE;
}

BOOL CHLMPropExchangeArchive::ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pRequiredClass)
{
    if (!CHLMPropExchange::ExchangeObjectInstance(ppObject, pRequiredClass))
        return FALSE;
    m_pArchive->MapObject(*ppObject);
    return TRUE;
}

CArchive* CHLMPropExchangeArchive::GetArchive(LPCTSTR)
{
    return m_pArchive;
}

void CHLMPropExchangeArchive::ReleaseArchive(LPCTSTR, CArchive*)
{
}

CHLMPropExchange* CHLMPropExchangeArchive::OpenSection(LPCTSTR)
{
    CHLMPropExchangeArchive* pSection = new CHLMPropExchangeArchive(m_pArchive);
    pSection->InheritState(this);
    return pSection;
}

void CHLMPropExchangeArchive::WriteCount(DWORD nCount)
{
    m_pArchive->WriteCount(nCount);
}

DWORD CHLMPropExchangeArchive::ReadCount()
{
    return static_cast<DWORD>(m_pArchive->ReadCount());
}

void CHLMPropExchangeArchive::Write(LPCTSTR, const void* pData, DWORD nBytes)
{
    m_pArchive->Write(pData, nBytes);
}

DWORD CHLMPropExchangeArchive::Read(LPCTSTR, void* pBuffer, DWORD nBytes)
{
    return m_pArchive->Read(pBuffer, nBytes);
}

void CHLMPropExchangeArchive::ExchangeSchemaNumber()
{
    CArchive& ar = *m_pArchive;
    if (!m_bLoading)
    {
        ar << kHLMArchiveSchemaMarker << static_cast<LONG>(m_nSchema);
        return;
    }
    // Looks at the next four bytes without consuming them; a shorter stream has no marker.
    const UINT nBuffered = static_cast<UINT>(ar.m_lpBufMax - ar.m_lpBufCur);
    if (nBuffered < sizeof(DWORD))
    {
        try
        {
            ar.FillBuffer(static_cast<UINT>(sizeof(DWORD)) - nBuffered);
        }
        catch (CArchiveException* e)
        {
            e->Delete();
        }
    }
    DWORD dwMarker = 0;
    if (static_cast<UINT>(ar.m_lpBufMax - ar.m_lpBufCur) >= sizeof(DWORD))
        memcpy(&dwMarker, ar.m_lpBufCur, sizeof(DWORD));
    if (dwMarker != kHLMArchiveSchemaMarker)
    {
        m_nSchema = kHLMArchiveSchemaUnmarked;
        return;
    }
    LONG nSchema = 0;
    ar >> dwMarker >> nSchema;
    m_nSchema = static_cast<int>(nSchema);
}
