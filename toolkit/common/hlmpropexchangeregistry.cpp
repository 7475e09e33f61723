// The registry storage of the property exchange: a section is a key, a property a value.
// Loading only opens keys (a missing key gives the defaults); storing creates them.
#include "hlmpropexchange.h"

IMPLEMENT_DYNAMIC(CHLMPropExchangeRegistry, CHLMPropExchange)

namespace
{
BOOL IsDWordCode(VARTYPE vt)
{
    return vt == VT_I2 || vt == VT_I4 || vt == VT_BOOL || vt == VT_UI1;
}
}  // namespace

CHLMPropExchangeRegistry::CHLMPropExchangeRegistry(BOOL bLoading, HKEY hParentKey, LPCTSTR lpszSection)
    : CHLMPropExchange(bLoading), m_hSectionKey(nullptr), m_hParentKey(hParentKey), m_strSection(lpszSection),
      m_bOwnParentKey(FALSE)
{
    ASSERT(lpszSection != nullptr && *lpszSection != 0);
    if (m_hParentKey == nullptr)
    {
        CWinApp* pApp = AfxGetApp();
        m_hParentKey = pApp != nullptr ? pApp->GetAppRegistryKey() : nullptr;
        m_bOwnParentKey = m_hParentKey != nullptr;
    }
}

CHLMPropExchangeRegistry::CHLMPropExchangeRegistry(CHLMPropExchangeRegistry* pParent, LPCTSTR lpszSection)
    : CHLMPropExchange(pParent->m_bLoading), m_hSectionKey(nullptr), m_hParentKey(pParent->m_hSectionKey),
      m_strSection(lpszSection), m_bOwnParentKey(FALSE)
{
}

CHLMPropExchangeRegistry::~CHLMPropExchangeRegistry()
{
    if (m_hSectionKey != nullptr)
        RegCloseKey(m_hSectionKey);
    if (m_bOwnParentKey && m_hParentKey != nullptr)
        RegCloseKey(m_hParentKey);
}

BOOL CHLMPropExchangeRegistry::OnBeforeExchange()
{
    if (m_hParentKey == nullptr)
        return FALSE;
    if (m_bInitialized)
        return m_hSectionKey != nullptr;
    ASSERT(m_hSectionKey == nullptr);
    if (m_bLoading)
        RegOpenKeyExW(m_hParentKey, m_strSection, 0, Access(), &m_hSectionKey);
    else
        RegCreateKeyExW(m_hParentKey, m_strSection, 0, nullptr, 0, Access(), nullptr, &m_hSectionKey, nullptr);
    m_bInitialized = TRUE;
    return m_hSectionKey != nullptr;
}

BOOL CHLMPropExchangeRegistry::QueryTyped(LPCTSTR lpszName, DWORD dwType, std::vector<BYTE>& data) const
{
    DWORD dwStoredType = 0;
    DWORD nBytes = 0;
    if (RegQueryValueExW(m_hSectionKey, lpszName, nullptr, &dwStoredType, nullptr, &nBytes) != ERROR_SUCCESS ||
        dwStoredType != dwType)
        return FALSE;
    // One zero character more than the data, so that a string stored without its terminator ends.
    data.assign(nBytes + sizeof(wchar_t), 0);
    if (RegQueryValueExW(m_hSectionKey, lpszName, nullptr, &dwStoredType, data.data(), &nBytes) != ERROR_SUCCESS ||
        dwStoredType != dwType)
        return FALSE;
    data.resize(nBytes);
    return TRUE;
}

BOOL CHLMPropExchangeRegistry::QueryString(LPCTSTR lpszName, CString& strValue) const
{
    std::vector<BYTE> data;
    if (!QueryTyped(lpszName, REG_SZ, data))
        return FALSE;
    data.resize(data.size() + sizeof(wchar_t) + 1, 0);
    strValue = reinterpret_cast<LPCWSTR>(data.data());
    return TRUE;
}

BOOL CHLMPropExchangeRegistry::ExchangeValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault)
{
    pDefault = EffectiveDefault(pDefault);
    if (m_bLoading)
        return LoadValue(lpszName, vt, pValue, pDefault);
    return StoreValue(lpszName, vt, pValue, pDefault);
}

BOOL CHLMPropExchangeRegistry::LoadValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault)
{
    if (!OnBeforeExchange())
        return CopyValue(vt, pValue, pDefault);
    std::vector<BYTE> data;
    if (IsDWordCode(vt))
    {
        if (!QueryTyped(lpszName, REG_DWORD, data) || data.size() != sizeof(DWORD))
            return CopyValue(vt, pValue, pDefault);
        return CopyValue(vt, pValue, data.data());  // cut to the width
    }
    switch (vt)
    {
    case VT_R4: case VT_R8:
    {
        const size_t nWidth = static_cast<size_t>(GetValueSize(vt));
        if (!QueryTyped(lpszName, REG_BINARY, data) || data.size() != nWidth)
            return CopyValue(vt, pValue, pDefault);
        return CopyValue(vt, pValue, data.data());
    }
    case VT_LPSTR:
    {
        CString text;
        if (!QueryString(lpszName, text))
            return CopyValue(vt, pValue, pDefault);
        *static_cast<CString*>(pValue) = text;
        return TRUE;
    }
    case kHLMTypeRect: case kHLMTypePoint:
    {
        CString text;
        if (!QueryString(lpszName, text))
            return CopyValue(vt, pValue, pDefault);
        RECT rc = {};
        const int nWanted = vt == kHLMTypeRect ? 4 : 2;
        if (swscanf(text, L"%i, %i, %i, %i", &rc.left, &rc.top, &rc.right, &rc.bottom) < nWanted)
            return CopyValue(vt, pValue, pDefault);
        return CopyValue(vt, pValue, &rc);
    }
    case VT_DATE: case VT_BSTR:
        ASSERT(FALSE);  // no registry form
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CHLMPropExchangeRegistry::StoreValue(LPCTSTR lpszName, VARTYPE vt, const void* pValue, const void* pDefault)
{
    if (!OnBeforeExchange() || pValue == nullptr)
        return FALSE;
    if (IsSameValue(vt, pValue, pDefault))
    {
        if (!m_bSectionEmptied)
            RegDeleteValueW(m_hSectionKey, lpszName);
        return TRUE;
    }
    auto setValue = [&](DWORD dwType, const void* pData, size_t nBytes) {
        return RegSetValueExW(m_hSectionKey, lpszName, 0, dwType, static_cast<const BYTE*>(pData),
                              static_cast<DWORD>(nBytes)) == ERROR_SUCCESS;
    };
    auto setText = [&](const CString& text) {
        return setValue(REG_SZ, text.GetString(), (static_cast<size_t>(text.GetLength()) + 1) * sizeof(wchar_t));
    };
    if (IsDWordCode(vt))
    {
        DWORD nWide = 0;  // widened without sign extension: a 16-bit -1 is 65535
        memcpy(&nWide, pValue, static_cast<size_t>(GetValueSize(vt)));
        return setValue(REG_DWORD, &nWide, sizeof(nWide));
    }
    CString text;
    switch (vt)
    {
    case VT_R4: case VT_R8:
        return setValue(REG_BINARY, pValue, static_cast<size_t>(GetValueSize(vt)));
    case VT_LPSTR:
        return setText(*static_cast<const CString*>(pValue));
    case kHLMTypeRect:
    {
        const RECT& rc = *static_cast<const RECT*>(pValue);
        text.Format(L"%i, %i, %i, %i", rc.left, rc.top, rc.right, rc.bottom);
        return setText(text);
    }
    case kHLMTypePoint:
    {
        const POINT& pt = *static_cast<const POINT*>(pValue);
        text.Format(L"%i, %i", pt.x, pt.y);
        return setText(text);
    }
    case VT_DATE: case VT_BSTR: case VT_VARIANT:
        ASSERT(FALSE);  // no registry form
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CHLMPropExchangeRegistry::ExchangeBlob(LPCTSTR lpszName, BYTE** ppData, DWORD* pnBytes)
{
    if (ppData == nullptr || pnBytes == nullptr || !OnBeforeExchange())
        return FALSE;
    if (!m_bLoading)
        return RegSetValueExW(m_hSectionKey, lpszName, 0, REG_BINARY, *ppData, *pnBytes) == ERROR_SUCCESS;
    DWORD dwType = 0;
    DWORD nStored = 0;
    if (RegQueryValueExW(m_hSectionKey, lpszName, nullptr, &dwType, nullptr, &nStored) != ERROR_SUCCESS ||
        dwType != REG_BINARY)
        return FALSE;
    if (*ppData == nullptr)
    {
        *ppData = static_cast<BYTE*>(malloc(nStored != 0 ? nStored : 1));
        if (*ppData == nullptr)
            return FALSE;
        *pnBytes = nStored;
    }
    else if (*pnBytes < nStored)
    {
        return FALSE;
    }
    DWORD nRead = nStored;
    return RegQueryValueExW(m_hSectionKey, lpszName, nullptr, &dwType, *ppData, &nRead) == ERROR_SUCCESS;
}

CHLMPropExchange* CHLMPropExchangeRegistry::OpenSection(LPCTSTR lpszName)
{
    OnBeforeExchange();
    // A section whose own key failed to open gives sub-sections without a parent: they fail.
    CHLMPropExchangeRegistry* pSection = new CHLMPropExchangeRegistry(this, lpszName);
    pSection->InheritState(this);
    return pSection;
}

void CHLMPropExchangeRegistry::EmptySection()
{
    CHLMPropExchange::EmptySection();
    if (m_hSectionKey != nullptr)
    {
        RegCloseKey(m_hSectionKey);
        m_hSectionKey = nullptr;
    }
    if (m_hParentKey != nullptr)
        RegDeleteTreeW(m_hParentKey, m_strSection);
    m_bInitialized = FALSE;
}

BOOL CHLMPropExchangeRegistry::IsPropertyExists(LPCTSTR lpszName)
{
    return OnBeforeExchange() &&
           RegQueryValueExW(m_hSectionKey, lpszName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

BOOL CHLMPropExchangeRegistry::IsSectionExists(LPCTSTR lpszName)
{
    if (!OnBeforeExchange())
        return FALSE;
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(m_hSectionKey, lpszName, 0, Access(), &hKey) != ERROR_SUCCESS)
        return FALSE;
    RegCloseKey(hKey);
    return TRUE;
}
