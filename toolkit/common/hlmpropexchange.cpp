// The property exchange base: defaults, the text form of values with its escapes and
// date forms, blobs as letter text, classes and objects, sub-archives, the numbered
// section enumerator and the typed exchange functions.
#include "hlmpropexchange.h"

#include "hlmresourcemanager.h"

#include <cwchar>

IMPLEMENT_DYNAMIC(CHLMPropExchange, CCmdTarget)

DWORD CHLMPropExchange::m_dwLocale = 0xFFFFFFFF;

namespace
{
constexpr DWORD kNoLocale = 0xFFFFFFFF;
constexpr int kSchemaDefault = 32;
constexpr UINT kSubArchiveBuffer = 4096;
constexpr UINT kSubArchiveGrowth = 1024;

// Escapes removed in one pass, in place; returns the new length. The result is never longer.
int UnescapeInPlace(wchar_t* pText, int nLength)
{
    int nOut = 0;
    for (int i = 0; i < nLength; ++i)
    {
        wchar_t ch = pText[i];
        if (ch == L'\\' && i + 1 < nLength)
        {
            const wchar_t next = pText[i + 1];
            const wchar_t replaced = next == L'\\' ? L'\\' : next == L'n' ? L'\n' : next == L'r' ? L'\r'
                                   : next == L't' ? L'\t' : 0;
            if (replaced != 0)
            {
                ch = replaced;
                ++i;
            }
        }
        pText[nOut++] = ch;
    }
    pText[nOut] = 0;
    return nOut;
}

BOOL IsPlainCode(VARTYPE vt)
{
    switch (vt)
    {
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_BOOL: case VT_UI1:
    case kHLMTypeRect: case kHLMTypePoint:
        return TRUE;
    default:
        return FALSE;
    }
}

// The date text of a DATE with no locale (year, DAY, month: a stored format).
CString FormatFixedDate(const COleDateTime& date)
{
    const double whole = static_cast<double>(static_cast<long long>(date.m_dt));
    if (static_cast<long long>(whole) == 0)
        return date.Format(L"%H:%M:%S");
    if (date.m_dt == whole)
        return date.Format(L"%Y-%d-%m");
    return date.Format(L"%Y-%d-%mT%H:%M:%S");
}

// The loading rule for dates with no locale; FALSE for a text that is no date or time.
BOOL ParseFixedDate(LPCTSTR lpszText, COleDateTime& date)
{
    unsigned short year = 0, day = 0, month = 0, hour = 0, minute = 0, second = 0;
    const int nDateFields = swscanf(lpszText, L"%hu-%hu-%huT%hu:%hu:%hu", &year, &day, &month, &hour, &minute, &second);
    if (nDateFields == 3 || nDateFields == 5 || nDateFields == 6)
    {
        date.SetDateTime(year, month, day, hour, minute, second);
        return date.GetStatus() == COleDateTime::valid;
    }
    hour = minute = second = 0;
    const int nTimeFields = swscanf(lpszText, L"%hu:%hu:%hu", &hour, &minute, &second);
    if ((nTimeFields != 2 && nTimeFields != 3) || hour >= 24 || minute >= 60 || second >= 60)
        return FALSE;
    date = COleDateTime((hour * 3600.0 + minute * 60.0 + second) / 86400.0);
    return TRUE;
}

CString FormatDate(const COleDateTime& date)
{
    if (CHLMPropExchange::m_dwLocale == kNoLocale)
        return FormatFixedDate(date);
    CString text;
    try
    {
        text = date.Format(0, CHLMPropExchange::m_dwLocale);
    }
    catch (CException* e)
    {
        e->Delete();
        text = L"Invalid DateTime";
    }
    return text;
}

BOOL ParseDate(LPCTSTR lpszText, COleDateTime& date)
{
    if (CHLMPropExchange::m_dwLocale == kNoLocale)
        return ParseFixedDate(lpszText, date);
    return date.ParseDateTime(lpszText, 0, CHLMPropExchange::m_dwLocale);
}

BOOL FormatVariant(const COleVariant& var, CString& text)
{
    if (CHLMPropExchange::m_dwLocale == kNoLocale && var.vt == VT_DATE)
    {
        text = FormatFixedDate(COleDateTime(var.date));
        return TRUE;
    }
    VARIANT converted;
    VariantInit(&converted);
    const LCID lcid = CHLMPropExchange::m_dwLocale == kNoLocale ? 0 : CHLMPropExchange::m_dwLocale;
    const HRESULT hr = VariantChangeTypeEx(&converted, const_cast<COleVariant*>(&var), lcid, 0, VT_BSTR);
    const BOOL bOk = SUCCEEDED(hr) && converted.vt == VT_BSTR;
    if (bOk)
        text = converted.bstrVal != nullptr ? converted.bstrVal : L"";
    VariantClear(&converted);
    return bOk;
}

void ParseVariant(LPCTSTR lpszText, COleVariant& var)
{
    var = lpszText;
    COleDateTime date;
    if (CHLMPropExchange::m_dwLocale == kNoLocale && ParseFixedDate(lpszText, date))
        var = date;
}
}  // namespace

CHLMPropExchange::CHLMPropExchange(BOOL bLoading)
    : m_dwContext(0), m_bLoading(bLoading), m_nSchema(kHLMCurrentSchema), m_bSubSection(FALSE),
      m_bSectionEmptied(FALSE), m_bInitialized(FALSE), m_bUseDefaultOnLoad(TRUE), m_bUseDefaultOnStore(TRUE)
{
}

const void* CHLMPropExchange::EffectiveDefault(const void* pDefault) const
{
    return (m_bLoading ? m_bUseDefaultOnLoad : m_bUseDefaultOnStore) ? pDefault : nullptr;
}

// ---------------------------------------------------------------------------------------
// Values

int PASCAL CHLMPropExchange::GetValueSize(VARTYPE vt)
{
    switch (vt)
    {
    case VT_I2: return 2;
    case VT_I4: case VT_R4: case VT_BOOL: return 4;
    case VT_R8: case VT_CY: return 8;
    case VT_DATE: return static_cast<int>(sizeof(COleDateTime));
    case VT_BSTR: return static_cast<int>(sizeof(BSTR));
    case VT_VARIANT: return static_cast<int>(sizeof(COleVariant));
    case VT_UI1: return 1;
    case kHLMTypeRect: return static_cast<int>(sizeof(RECT));
    case kHLMTypePoint: return static_cast<int>(sizeof(POINT));
    default: return 0;
    }
}

BOOL CHLMPropExchange::IsSameValue(VARTYPE vt, const void* pValue, const void* pDefault) const
{
    if (pValue == pDefault)
        return TRUE;
    if (pValue == nullptr || pDefault == nullptr)
        return FALSE;
    if (IsPlainCode(vt))
        return memcmp(pValue, pDefault, static_cast<size_t>(GetValueSize(vt))) == 0;
    switch (vt)
    {
    case VT_DATE:
        return *static_cast<const COleDateTime*>(pValue) == *static_cast<const COleDateTime*>(pDefault);
    case VT_BSTR:
    {
        const BSTR bstr = *static_cast<const BSTR*>(pValue);
        return wcscmp(bstr != nullptr ? bstr : L"", static_cast<LPCWSTR>(pDefault)) == 0;
    }
    case VT_VARIANT:
        return *static_cast<const COleVariant*>(pValue) == *static_cast<const COleVariant*>(pDefault);
    case VT_LPSTR:
        return static_cast<const CString*>(pValue)->Compare(static_cast<LPCWSTR>(pDefault)) == 0;
    default:
        return FALSE;
    }
}

BOOL CHLMPropExchange::CopyValue(VARTYPE vt, void* pTarget, const void* pSource) const
{
    if (pSource == nullptr || pTarget == nullptr)
        return FALSE;
    if (IsPlainCode(vt))
    {
        memcpy(pTarget, pSource, static_cast<size_t>(GetValueSize(vt)));
        return TRUE;
    }
    switch (vt)
    {
    case VT_DATE:
        *static_cast<COleDateTime*>(pTarget) = *static_cast<const COleDateTime*>(pSource);
        return TRUE;
    case VT_BSTR:
    {
        BSTR& target = *static_cast<BSTR*>(pTarget);
        SysFreeString(target);
        target = SysAllocString(static_cast<LPCWSTR>(pSource));
        return TRUE;
    }
    case VT_LPSTR:
        *static_cast<CString*>(pTarget) = static_cast<LPCWSTR>(pSource);
        return TRUE;
    case VT_VARIANT:
        try
        {
            *static_cast<COleVariant*>(pTarget) = *static_cast<const COleVariant*>(pSource);
        }
        catch (CException* e)
        {
            e->Delete();
            return FALSE;
        }
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CHLMPropExchange::ExchangeValueText(CString& strText, VARTYPE vt, void* pValue, const void* pDefault)
{
    if (pValue == nullptr)
        return FALSE;
    switch (vt)
    {
    case VT_I2: case VT_I4: case VT_BOOL: case VT_UI1:
        if (m_bLoading)
        {
            const long nParsed = wcstol(strText, nullptr, 10);
            return CopyValue(vt, pValue, &nParsed);
        }
        else
        {
            DWORD nWide = 0;  // widened without sign extension: a 16-bit -1 is 65535
            memcpy(&nWide, pValue, static_cast<size_t>(GetValueSize(vt)));
            strText.Format(L"%i", static_cast<int>(nWide));
            return TRUE;
        }
    case VT_R4:
        if (m_bLoading)
        {
            const float fParsed = static_cast<float>(wcstod(strText, nullptr));
            return CopyValue(vt, pValue, &fParsed);
        }
        strText.Format(L"%g", static_cast<double>(*static_cast<const float*>(pValue)));
        return TRUE;
    case VT_R8:
        if (m_bLoading)
        {
            const double dParsed = wcstod(strText, nullptr);
            return CopyValue(vt, pValue, &dParsed);
        }
        strText.Format(L"%g", *static_cast<const double*>(pValue));
        return TRUE;
    case VT_DATE:
        if (m_bLoading)
            return ParseDate(strText, *static_cast<COleDateTime*>(pValue));
        strText = FormatDate(*static_cast<const COleDateTime*>(pValue));
        return TRUE;
    case VT_BSTR:
        ASSERT(FALSE);  // BSTRs have no text form here; the XML storage handles them itself
        return FALSE;
    case VT_VARIANT:
        if (m_bLoading)
        {
            ParseVariant(strText, *static_cast<COleVariant*>(pValue));
            return TRUE;
        }
        return FormatVariant(*static_cast<const COleVariant*>(pValue), strText);
    case VT_LPSTR:
        if (m_bLoading)
        {
            ConvertEscapes(strText);
            *static_cast<CString*>(pValue) = strText;
        }
        else
        {
            strText = *static_cast<const CString*>(pValue);
            ConvertEscapes(strText);
        }
        return TRUE;
    case kHLMTypeRect:
        if (m_bLoading)
        {
            RECT rc = {};
            if (swscanf(strText, L"%i, %i, %i, %i", &rc.left, &rc.top, &rc.right, &rc.bottom) == 4)
                return CopyValue(vt, pValue, &rc);
            return CopyValue(vt, pValue, pDefault);
        }
        else
        {
            const RECT& rc = *static_cast<const RECT*>(pValue);
            strText.Format(L"%i, %i, %i, %i", rc.left, rc.top, rc.right, rc.bottom);
            return TRUE;
        }
    case kHLMTypePoint:
        if (m_bLoading)
        {
            POINT pt = {};
            if (swscanf(strText, L"%i, %i", &pt.x, &pt.y) == 2)
                return CopyValue(vt, pValue, &pt);
            return CopyValue(vt, pValue, pDefault);
        }
        else
        {
            const POINT& pt = *static_cast<const POINT*>(pValue);
            strText.Format(L"%i, %i", pt.x, pt.y);
            return TRUE;
        }
    default:
        return FALSE;
    }
}

void CHLMPropExchange::ConvertEscapes(CString& strText) const
{
    if (!m_bLoading)
    {
        strText.Replace(L"\\", L"\\\\");
        strText.Replace(L"\n", L"\\n");
        strText.Replace(L"\r", L"\\r");
        strText.Replace(L"\t", L"\\t");
        return;
    }
    if (strText.Find(L'\\') < 0)
        return;
    const int nLength = strText.GetLength();
    strText.ReleaseBuffer(UnescapeInPlace(strText.GetBuffer(nLength), nLength));
}

void CHLMPropExchange::UnescapeBstr(LPWSTR lpszText) const
{
    ASSERT(m_bLoading);
    if (lpszText != nullptr && wcschr(lpszText, L'\\') != nullptr)
        UnescapeInPlace(lpszText, static_cast<int>(wcslen(lpszText)));
}

// ---------------------------------------------------------------------------------------
// Blobs, classes, objects and sub-archives

BOOL CHLMPropExchange::ExchangeBlob(LPCTSTR lpszName, BYTE** ppData, DWORD* pnBytes)
{
    if (ppData == nullptr || pnBytes == nullptr)
        return FALSE;
    CString text;
    if (!m_bLoading)
    {
        const BYTE* pData = *ppData;
        LPWSTR p = text.GetBuffer(static_cast<int>(*pnBytes * 2));
        for (DWORD i = 0; i < *pnBytes; ++i)
        {
            *p++ = static_cast<wchar_t>(L'A' + (pData[i] & 0x0F));
            *p++ = static_cast<wchar_t>(L'A' + (pData[i] >> 4));
        }
        text.ReleaseBuffer(static_cast<int>(*pnBytes * 2));
        return ExchangeValue(lpszName, VT_LPSTR, &text, L"");
    }
    if (!ExchangeValue(lpszName, VT_LPSTR, &text, nullptr))
        return FALSE;
    if (text.IsEmpty())
        return TRUE;
    if (text.GetLength() % 2 != 0)
        return FALSE;
    const DWORD nBytes = static_cast<DWORD>(text.GetLength() / 2);
    if (*ppData == nullptr)
    {
        *ppData = static_cast<BYTE*>(malloc(nBytes));
        if (*ppData == nullptr)
            return FALSE;
        *pnBytes = nBytes;
    }
    else if (*pnBytes < nBytes)
    {
        return FALSE;
    }
    for (DWORD i = 0; i < nBytes; ++i)
    {
        const int low = text[static_cast<int>(2 * i)] - L'A';
        const int high = text[static_cast<int>(2 * i + 1)] - L'A';
        (*ppData)[i] = static_cast<BYTE>(low + 16 * high);
    }
    return TRUE;
}

BOOL CHLMPropExchange::ExchangeRuntimeClass(LPCTSTR lpszName, CRuntimeClass** ppClass, CRuntimeClass* pDefaultClass)
{
    if (ppClass == nullptr)
        return FALSE;
    CString name;
    if (m_bLoading)
    {
        if (!ExchangeValue(lpszName, VT_LPSTR, &name, nullptr))
        {
            *ppClass = pDefaultClass;
            return TRUE;
        }
        // Class names are 8-bit text in the code page of the resources in use.
        CRuntimeClass* pClass = CRuntimeClass::FromName(static_cast<LPCSTR>(CHLMResourceManager::WideToMultiByte(name)));
        if (pClass == nullptr)
        {
            TRACE(L"Warning: no run-time class named %s.\n", name);
            return FALSE;
        }
        *ppClass = pClass;
        return TRUE;
    }
    ASSERT(pDefaultClass != nullptr && *ppClass != nullptr);
    if (pDefaultClass == nullptr || *ppClass == nullptr)
        return FALSE;
    name = (*ppClass)->m_lpszClassName;
    const CString defaultName(pDefaultClass->m_lpszClassName);
    return ExchangeValue(lpszName, VT_LPSTR, &name, defaultName.GetString());
}

BOOL CHLMPropExchange::ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pRequiredClass)
{
    if (ppObject == nullptr)
        return FALSE;
    if (!m_bLoading)
    {
        if (*ppObject == nullptr)
            return FALSE;
        CRuntimeClass* pClass = (*ppObject)->GetRuntimeClass();
        ExchangeRuntimeClass(L"Class", &pClass, pRequiredClass);
        return TRUE;
    }
    CRuntimeClass* pClass = nullptr;
    if (!ExchangeRuntimeClass(L"Class", &pClass, pRequiredClass) || pClass == nullptr)
        return FALSE;
    // Checked before anything is created: data must not make objects of any other class.
    if (pRequiredClass != nullptr && !pClass->IsDerivedFrom(pRequiredClass))
    {
        TRACE(L"Warning: stored class is not derived from the required one.\n");
        return FALSE;
    }
    CObject* pObject = pClass->CreateObject();
    if (pObject == nullptr)
        return FALSE;
    if (pRequiredClass != nullptr && !pObject->IsKindOf(pRequiredClass))
    {
        delete pObject;
        return FALSE;
    }
    *ppObject = pObject;
    return TRUE;
}

CArchive* CHLMPropExchange::GetArchive(LPCTSTR lpszName)
{
    if (!m_bLoading)
        return new CArchive(new CMemFile(kSubArchiveGrowth), CArchive::store, kSubArchiveBuffer);
    BYTE* pData = nullptr;
    DWORD nBytes = 0;
    if (!ExchangeBlob(lpszName, &pData, &nBytes) || pData == nullptr || nBytes == 0)
    {
        free(pData);
        return nullptr;
    }
    return new CArchive(new CMemFile(pData, nBytes, 0), CArchive::load, kSubArchiveBuffer);
}

void CHLMPropExchange::ReleaseArchive(LPCTSTR lpszName, CArchive* pArchive)
{
    ASSERT(pArchive != nullptr);
    if (pArchive == nullptr)
        return;
    CMemFile* pFile = dynamic_cast<CMemFile*>(pArchive->GetFile());
    ASSERT(pFile != nullptr);
    if (!m_bLoading)
    {
        pArchive->Flush();
        DWORD nBytes = static_cast<DWORD>(pFile->GetLength());
        BYTE* pData = pFile->Detach();
        ExchangeBlob(lpszName, &pData, &nBytes);
        free(pData);
    }
    pArchive->Abort();
    if (pFile != nullptr)
    {
        free(pFile->Detach());
        pFile->Close();
    }
    delete pFile;
    delete pArchive;
}

// ---------------------------------------------------------------------------------------
// Sections and the rest of the interface

void CHLMPropExchange::EmptySection()
{
    m_bSectionEmptied = TRUE;
}

void CHLMPropExchange::WriteCount(DWORD nCount)
{
    ExchangeDWord(this, L"Count", nCount, 0);
}

DWORD CHLMPropExchange::ReadCount()
{
    DWORD nCount = 0;
    ExchangeDWord(this, L"Count", nCount, 0);
    return nCount;
}

void CHLMPropExchange::Write(LPCTSTR lpszName, const void* pData, DWORD nBytes)
{
    ASSERT(!m_bLoading && pData != nullptr);
    if (m_bLoading || pData == nullptr)
        return;
    BYTE* p = static_cast<BYTE*>(const_cast<void*>(pData));
    ExchangeBlob(lpszName, &p, &nBytes);
}

DWORD CHLMPropExchange::Read(LPCTSTR lpszName, void* pBuffer, DWORD nBytes)
{
    ASSERT(m_bLoading && pBuffer != nullptr);
    if (!m_bLoading || pBuffer == nullptr)
        return 0;
    BYTE* p = static_cast<BYTE*>(pBuffer);
    DWORD nCount = nBytes;
    return ExchangeBlob(lpszName, &p, &nCount) ? nBytes : 0;
}

BOOL CHLMPropExchange::IsAllowDefaultValues()
{
    return TRUE;
}

BOOL CHLMPropExchange::IsAllowBlobValues()
{
    return FALSE;
}

BOOL CHLMPropExchange::OnBeforeExchange()
{
    m_bInitialized = TRUE;
    return TRUE;
}

CHLMPropExchangeEnumerator* CHLMPropExchange::CreateEnumerator(LPCTSTR lpszItemName)
{
    return new CHLMPropExchangeEnumerator(this, lpszItemName);
}

void CHLMPropExchange::ExchangeSchemaNumber()
{
    ExchangeInt(this, L"Schema", m_nSchema, kSchemaDefault);
}

void CHLMPropExchange::ExchangeSchemaNumberOmitCurrent()
{
    ExchangeInt(this, L"Schema", m_nSchema, kHLMCurrentSchema);
}

void CHLMPropExchange::ExchangeLocale()
{
    ExchangeDWord(this, L"Locale", m_dwLocale, kNoLocale);
}

void CHLMPropExchange::InheritState(CHLMPropExchange* pParent)
{
    ASSERT(pParent != nullptr && pParent->m_bLoading == m_bLoading);
    if (pParent == nullptr)
        return;
    m_bSubSection = TRUE;
    m_nSchema = pParent->m_nSchema;
    m_dwContext = pParent->m_dwContext;
    m_bSectionEmptied = pParent->m_bSectionEmptied;
    m_bUseDefaultOnLoad = pParent->m_bUseDefaultOnLoad;
    m_bUseDefaultOnStore = pParent->m_bUseDefaultOnStore;
}

// ---------------------------------------------------------------------------------------
// Numbered sections

CHLMPropExchangeEnumerator::CHLMPropExchangeEnumerator(CHLMPropExchange* pExchange, LPCTSTR lpszItemName)
    : m_pExchange(pExchange), m_strItemName(lpszItemName), m_nCount(0)
{
}

DWORD CHLMPropExchangeEnumerator::GetPosition(DWORD nCount, BOOL bUseCountMethods)
{
    m_nCount = nCount;
    if (m_pExchange == nullptr)
        return 0;
    if (!bUseCountMethods)
        ExchangeDWord(m_pExchange, L"Count", m_nCount, 0);
    else if (m_pExchange->IsStoring())
        m_pExchange->WriteCount(nCount);
    else
        m_nCount = m_pExchange->ReadCount();
    return m_nCount != 0 ? 1 : 0;
}

CHLMPropExchange* CHLMPropExchangeEnumerator::GetNext(DWORD& nPosition)
{
    CString name;
    name.Format(L"%s%i", m_strItemName, static_cast<int>(nPosition) - 1);
    CHLMPropExchange* pSection = m_pExchange->OpenSection(name);
    ++nPosition;
    if (nPosition > m_nCount)
        nPosition = 0;
    return pSection;
}

// ---------------------------------------------------------------------------------------
// Typed exchange functions

namespace
{
template <class T>
BOOL ExchangeTyped(CHLMPropExchange* pPX, LPCTSTR lpszName, VARTYPE vt, T& value, const T* pDefault)
{
    ASSERT(pPX != nullptr);
    if (pPX == nullptr)
        return FALSE;
    return pPX->ExchangeValue(lpszName, vt, &value, pDefault);
}
}  // namespace

BOOL AFXAPI ExchangeByte(CHLMPropExchange* pPX, LPCTSTR lpszName, BYTE& nValue, BYTE nDefault)
{ return ExchangeTyped(pPX, lpszName, VT_UI1, nValue, &nDefault); }
BOOL AFXAPI ExchangeShort(CHLMPropExchange* pPX, LPCTSTR lpszName, short& nValue)
{ return ExchangeTyped<short>(pPX, lpszName, VT_I2, nValue, nullptr); }
BOOL AFXAPI ExchangeShort(CHLMPropExchange* pPX, LPCTSTR lpszName, short& nValue, short nDefault)
{ return ExchangeTyped(pPX, lpszName, VT_I2, nValue, &nDefault); }
BOOL AFXAPI ExchangeWord(CHLMPropExchange* pPX, LPCTSTR lpszName, WORD& nValue)
{ return ExchangeTyped<WORD>(pPX, lpszName, VT_I2, nValue, nullptr); }
BOOL AFXAPI ExchangeWord(CHLMPropExchange* pPX, LPCTSTR lpszName, WORD& nValue, WORD nDefault)
{ return ExchangeTyped(pPX, lpszName, VT_I2, nValue, &nDefault); }
BOOL AFXAPI ExchangeInt(CHLMPropExchange* pPX, LPCTSTR lpszName, int& nValue)
{ return ExchangeTyped<int>(pPX, lpszName, VT_I4, nValue, nullptr); }
BOOL AFXAPI ExchangeInt(CHLMPropExchange* pPX, LPCTSTR lpszName, int& nValue, int nDefault)
{ return ExchangeTyped(pPX, lpszName, VT_I4, nValue, &nDefault); }
BOOL AFXAPI ExchangeDWord(CHLMPropExchange* pPX, LPCTSTR lpszName, DWORD& nValue)
{ return ExchangeTyped<DWORD>(pPX, lpszName, VT_I4, nValue, nullptr); }
BOOL AFXAPI ExchangeDWord(CHLMPropExchange* pPX, LPCTSTR lpszName, DWORD& nValue, DWORD nDefault)
{ return ExchangeTyped(pPX, lpszName, VT_I4, nValue, &nDefault); }
BOOL AFXAPI ExchangeUInt(CHLMPropExchange* pPX, LPCTSTR lpszName, UINT& nValue)
{ return ExchangeTyped<UINT>(pPX, lpszName, VT_I4, nValue, nullptr); }
BOOL AFXAPI ExchangeUInt(CHLMPropExchange* pPX, LPCTSTR lpszName, UINT& nValue, UINT nDefault)
{ return ExchangeTyped(pPX, lpszName, VT_I4, nValue, &nDefault); }
BOOL AFXAPI ExchangeLong(CHLMPropExchange* pPX, LPCTSTR lpszName, long& nValue)
{ return ExchangeTyped<long>(pPX, lpszName, VT_I4, nValue, nullptr); }
BOOL AFXAPI ExchangeLong(CHLMPropExchange* pPX, LPCTSTR lpszName, long& nValue, long nDefault)
{ return ExchangeTyped(pPX, lpszName, VT_I4, nValue, &nDefault); }
BOOL AFXAPI ExchangeBool(CHLMPropExchange* pPX, LPCTSTR lpszName, BOOL& bValue)
{ return ExchangeTyped<BOOL>(pPX, lpszName, VT_BOOL, bValue, nullptr); }
BOOL AFXAPI ExchangeBool(CHLMPropExchange* pPX, LPCTSTR lpszName, BOOL& bValue, BOOL bDefault)
{ return ExchangeTyped(pPX, lpszName, VT_BOOL, bValue, &bDefault); }
BOOL AFXAPI ExchangeFloat(CHLMPropExchange* pPX, LPCTSTR lpszName, float& fValue)
{ return ExchangeTyped<float>(pPX, lpszName, VT_R4, fValue, nullptr); }
BOOL AFXAPI ExchangeFloat(CHLMPropExchange* pPX, LPCTSTR lpszName, float& fValue, float fDefault)
{ return ExchangeTyped(pPX, lpszName, VT_R4, fValue, &fDefault); }
BOOL AFXAPI ExchangeDouble(CHLMPropExchange* pPX, LPCTSTR lpszName, double& dValue)
{ return ExchangeTyped<double>(pPX, lpszName, VT_R8, dValue, nullptr); }
BOOL AFXAPI ExchangeDouble(CHLMPropExchange* pPX, LPCTSTR lpszName, double& dValue, double dDefault)
{ return ExchangeTyped(pPX, lpszName, VT_R8, dValue, &dDefault); }
BOOL AFXAPI ExchangeDateTime(CHLMPropExchange* pPX, LPCTSTR lpszName, COleDateTime& dtValue)
{ return ExchangeTyped<COleDateTime>(pPX, lpszName, VT_DATE, dtValue, nullptr); }

BOOL AFXAPI ExchangeString(CHLMPropExchange* pPX, LPCTSTR lpszName, CString& strValue)
{
    ASSERT(pPX != nullptr);
    return pPX != nullptr && pPX->ExchangeValue(lpszName, VT_LPSTR, &strValue, nullptr);
}

BOOL AFXAPI ExchangeString(CHLMPropExchange* pPX, LPCTSTR lpszName, CString& strValue, LPCTSTR lpszDefault)
{
    ASSERT(pPX != nullptr);
    return pPX != nullptr && pPX->ExchangeValue(lpszName, VT_LPSTR, &strValue, lpszDefault);
}

BOOL AFXAPI ExchangeBstr(CHLMPropExchange* pPX, LPCTSTR lpszName, BSTR& bstrValue, LPCTSTR lpszDefault)
{
    ASSERT(pPX != nullptr);
    return pPX != nullptr && pPX->ExchangeValue(lpszName, VT_BSTR, &bstrValue, lpszDefault);
}

BOOL AFXAPI ExchangePoint(CHLMPropExchange* pPX, LPCTSTR lpszName, POINT& ptValue, POINT ptDefault)
{ return ExchangeTyped(pPX, lpszName, kHLMTypePoint, ptValue, &ptDefault); }
BOOL AFXAPI ExchangeSize(CHLMPropExchange* pPX, LPCTSTR lpszName, SIZE& szValue, SIZE szDefault)
{ return ExchangeTyped(pPX, lpszName, kHLMTypePoint, szValue, &szDefault); }
BOOL AFXAPI ExchangeRect(CHLMPropExchange* pPX, LPCTSTR lpszName, RECT& rcValue, RECT rcDefault)
{ return ExchangeTyped(pPX, lpszName, kHLMTypeRect, rcValue, &rcDefault); }

BOOL AFXAPI ExchangeVariant(CHLMPropExchange* pPX, LPCTSTR lpszName, COleVariant& varValue,
                            const COleVariant& varDefault)
{
    ASSERT(pPX != nullptr);
    return pPX != nullptr && pPX->ExchangeValue(lpszName, VT_VARIANT, &varValue, &varDefault);
}

BOOL AFXAPI ExchangeUInt64(CHLMPropExchange* pPX, LPCTSTR lpszName, ULONGLONG& nValue, ULONGLONG nDefault)
{
    SIZE pair = {static_cast<LONG>(nValue >> 32), static_cast<LONG>(nValue & 0xFFFFFFFF)};
    const SIZE pairDefault = {static_cast<LONG>(nDefault >> 32), static_cast<LONG>(nDefault & 0xFFFFFFFF)};
    if (!ExchangeSize(pPX, lpszName, pair, pairDefault))
        return FALSE;
    nValue = (static_cast<ULONGLONG>(static_cast<DWORD>(pair.cx)) << 32) | static_cast<DWORD>(pair.cy);
    return TRUE;
}

BOOL AFXAPI ExchangeRuntimeClass(CHLMPropExchange* pPX, LPCTSTR lpszName, CRuntimeClass** ppClass,
                                 CRuntimeClass* pDefaultClass)
{
    return pPX != nullptr && pPX->ExchangeRuntimeClass(lpszName, ppClass, pDefaultClass);
}

BOOL AFXAPI ExchangeBlob(CHLMPropExchange* pPX, LPCTSTR lpszName, BYTE** ppData, DWORD* pnBytes)
{
    return pPX != nullptr && pPX->ExchangeBlob(lpszName, ppData, pnBytes);
}

BOOL AFXAPI ExchangeSerializedObject(CHLMPropExchange* pPX, LPCTSTR lpszName, CObject* pObject)
{
    if (pPX == nullptr || pObject == nullptr)
        return FALSE;
    CArchive* pArchive = pPX->GetArchive(lpszName);
    if (pArchive == nullptr)
        return FALSE;
    BOOL bResult = TRUE;
    try
    {
        pObject->Serialize(*pArchive);
    }
    catch (COleException* e)
    {
        e->Delete();
        bResult = FALSE;
    }
    catch (CArchiveException* e)
    {
        e->Delete();
        bResult = FALSE;
    }
    pPX->ReleaseArchive(lpszName, pArchive);
    return bResult;
}
