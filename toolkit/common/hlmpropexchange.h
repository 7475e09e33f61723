// The property exchange: one interface through which an object loads or stores its
// settings as named, typed properties in nested sections, the same exchange code serving
// both directions. Four storages: a framework archive, a registry key, an XML element
// (on the system's MSXML document object) and an INI file.
//
//   CHLMPropExchangeRegistry px(FALSE, nullptr, L"Window");
//   ExchangeInt(&px, L"Width", m_nWidth, 640);   // not written while it equals 640
//   CHLMPropExchangeSection sub(px.OpenSection(L"Colors"));
//   ExchangeDWord(sub, L"Text", m_clrText, 0);
#pragma once

#include <afxdisp.h>
#include <afxwin.h>

#include <msxml.h>

// Type codes beyond the VARTYPEs: a RECT, and a POINT or SIZE.
constexpr VARTYPE kHLMTypeRect = 100;
constexpr VARTYPE kHLMTypePoint = 101;

// The schema number of data written now, and of archives written before the marker existed.
constexpr int kHLMCurrentSchema = 33;
constexpr int kHLMArchiveSchemaUnmarked = 17;
// Precedes the schema number in an archive.
constexpr DWORD kHLMArchiveSchemaMarker = 0x0FF0ADBF;

class CHLMPropExchange;

// Numbered sections "<item>0", "<item>1", ... with the number of items as "Count".
class CHLMPropExchangeEnumerator
{
public:
    CHLMPropExchangeEnumerator(CHLMPropExchange* pExchange, LPCTSTR lpszItemName);
    virtual ~CHLMPropExchangeEnumerator() = default;

    // Storing: pass the number of items; loading: pass 0. Non-zero while items remain.
    virtual DWORD GetPosition(DWORD nCount, BOOL bUseCountMethods);
    // The next item's section (a new exchange the caller releases).
    virtual CHLMPropExchange* GetNext(DWORD& nPosition);

protected:
    CHLMPropExchange* m_pExchange;
    CString m_strItemName;
    DWORD m_nCount;
};

class CHLMPropExchange : public CCmdTarget
{
    DECLARE_DYNAMIC(CHLMPropExchange)
public:
    explicit CHLMPropExchange(BOOL bLoading);

    virtual BOOL ExchangeValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault) = 0;
    virtual BOOL ExchangeBlob(LPCTSTR lpszName, BYTE** ppData, DWORD* pnBytes);
    virtual BOOL ExchangeRuntimeClass(LPCTSTR lpszName, CRuntimeClass** ppClass, CRuntimeClass* pDefaultClass);
    virtual BOOL ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pRequiredClass);
    virtual CArchive* GetArchive(LPCTSTR lpszName);
    virtual void ReleaseArchive(LPCTSTR lpszName, CArchive* pArchive);
    virtual CHLMPropExchange* OpenSection(LPCTSTR lpszName) = 0;
    virtual void EmptySection();
    virtual void WriteCount(DWORD nCount);
    virtual DWORD ReadCount();
    virtual void Write(LPCTSTR lpszName, const void* pData, DWORD nBytes);
    virtual DWORD Read(LPCTSTR lpszName, void* pBuffer, DWORD nBytes);
    virtual BOOL IsAllowDefaultValues();
    virtual BOOL IsAllowBlobValues();
    virtual BOOL OnBeforeExchange();
    virtual CHLMPropExchangeEnumerator* CreateEnumerator(LPCTSTR lpszItemName);
    virtual void ExchangeSchemaNumber();

    BOOL IsLoading() const { return m_bLoading; }
    BOOL IsStoring() const { return !m_bLoading; }
    BOOL IsRootSection() const { return !m_bSubSection; }
    int GetSchemaNumber() const { return m_nSchema; }
    void SetSchemaNumber(int nSchema) { m_nSchema = nSchema; }

    void InheritState(CHLMPropExchange* pParent);
    void ExchangeSchemaNumberOmitCurrent();
    void ExchangeLocale();

    // Text form of a value: storing fills strText, loading parses it into pValue.
    BOOL ExchangeValueText(CString& strText, VARTYPE vt, void* pValue, const void* pDefault);
    BOOL IsSameValue(VARTYPE vt, const void* pValue, const void* pDefault) const;
    BOOL CopyValue(VARTYPE vt, void* pTarget, const void* pSource) const;
    static int PASCAL GetValueSize(VARTYPE vt);
    void ConvertEscapes(CString& strText) const;
    void UnescapeBstr(LPWSTR lpszText) const;

    // Locale of date and variant texts; 0xFFFFFFFF: the fixed date forms.
    static DWORD m_dwLocale;

    DWORD_PTR m_dwContext;

protected:
    // The default that counts in this direction (NULL when the use-default flag is clear).
    const void* EffectiveDefault(const void* pDefault) const;

    BOOL m_bLoading;
    int m_nSchema;
    BOOL m_bSubSection;
    BOOL m_bSectionEmptied;
    BOOL m_bInitialized;
    BOOL m_bUseDefaultOnLoad;
    BOOL m_bUseDefaultOnStore;
};

// Releases the held section when it goes out of scope.
class CHLMPropExchangeSection
{
public:
    explicit CHLMPropExchangeSection(CHLMPropExchange* pExchange) : m_pExchange(pExchange) {}
    ~CHLMPropExchangeSection()
    {
        if (m_pExchange != nullptr)
            m_pExchange->InternalRelease();
    }
    CHLMPropExchangeSection(const CHLMPropExchangeSection&) = delete;
    void operator=(const CHLMPropExchangeSection&) = delete;

    CHLMPropExchange* operator->() const { return m_pExchange; }
    operator CHLMPropExchange*() const { return m_pExchange; }

private:
    CHLMPropExchange* m_pExchange;
};

// Deletes the held enumerator when it goes out of scope.
class CHLMPropExchangeEnumeratorPtr
{
public:
    explicit CHLMPropExchangeEnumeratorPtr(CHLMPropExchangeEnumerator* pEnumerator) : m_pEnumerator(pEnumerator) {}
    ~CHLMPropExchangeEnumeratorPtr() { delete m_pEnumerator; }
    CHLMPropExchangeEnumeratorPtr(const CHLMPropExchangeEnumeratorPtr&) = delete;
    void operator=(const CHLMPropExchangeEnumeratorPtr&) = delete;

    CHLMPropExchangeEnumerator* operator->() const { return m_pEnumerator; }
    operator CHLMPropExchangeEnumerator*() const { return m_pEnumerator; }

private:
    CHLMPropExchangeEnumerator* m_pEnumerator;
};

// ---------------------------------------------------------------------------------------
// Typed exchange functions: FALSE for a null exchange, else the exchange's result.

BOOL AFXAPI ExchangeByte(CHLMPropExchange* pPX, LPCTSTR lpszName, BYTE& nValue, BYTE nDefault);
BOOL AFXAPI ExchangeShort(CHLMPropExchange* pPX, LPCTSTR lpszName, short& nValue);
BOOL AFXAPI ExchangeShort(CHLMPropExchange* pPX, LPCTSTR lpszName, short& nValue, short nDefault);
BOOL AFXAPI ExchangeWord(CHLMPropExchange* pPX, LPCTSTR lpszName, WORD& nValue);
BOOL AFXAPI ExchangeWord(CHLMPropExchange* pPX, LPCTSTR lpszName, WORD& nValue, WORD nDefault);
BOOL AFXAPI ExchangeInt(CHLMPropExchange* pPX, LPCTSTR lpszName, int& nValue);
BOOL AFXAPI ExchangeInt(CHLMPropExchange* pPX, LPCTSTR lpszName, int& nValue, int nDefault);
BOOL AFXAPI ExchangeDWord(CHLMPropExchange* pPX, LPCTSTR lpszName, DWORD& nValue);
BOOL AFXAPI ExchangeDWord(CHLMPropExchange* pPX, LPCTSTR lpszName, DWORD& nValue, DWORD nDefault);
BOOL AFXAPI ExchangeUInt(CHLMPropExchange* pPX, LPCTSTR lpszName, UINT& nValue);
BOOL AFXAPI ExchangeUInt(CHLMPropExchange* pPX, LPCTSTR lpszName, UINT& nValue, UINT nDefault);
BOOL AFXAPI ExchangeLong(CHLMPropExchange* pPX, LPCTSTR lpszName, long& nValue);
BOOL AFXAPI ExchangeLong(CHLMPropExchange* pPX, LPCTSTR lpszName, long& nValue, long nDefault);
BOOL AFXAPI ExchangeUInt64(CHLMPropExchange* pPX, LPCTSTR lpszName, ULONGLONG& nValue, ULONGLONG nDefault);
BOOL AFXAPI ExchangeBool(CHLMPropExchange* pPX, LPCTSTR lpszName, BOOL& bValue);
BOOL AFXAPI ExchangeBool(CHLMPropExchange* pPX, LPCTSTR lpszName, BOOL& bValue, BOOL bDefault);
BOOL AFXAPI ExchangeString(CHLMPropExchange* pPX, LPCTSTR lpszName, CString& strValue);
BOOL AFXAPI ExchangeString(CHLMPropExchange* pPX, LPCTSTR lpszName, CString& strValue, LPCTSTR lpszDefault);
BOOL AFXAPI ExchangeBstr(CHLMPropExchange* pPX, LPCTSTR lpszName, BSTR& bstrValue, LPCTSTR lpszDefault);
BOOL AFXAPI ExchangeFloat(CHLMPropExchange* pPX, LPCTSTR lpszName, float& fValue);
BOOL AFXAPI ExchangeFloat(CHLMPropExchange* pPX, LPCTSTR lpszName, float& fValue, float fDefault);
BOOL AFXAPI ExchangeDouble(CHLMPropExchange* pPX, LPCTSTR lpszName, double& dValue);
BOOL AFXAPI ExchangeDouble(CHLMPropExchange* pPX, LPCTSTR lpszName, double& dValue, double dDefault);
BOOL AFXAPI ExchangeDateTime(CHLMPropExchange* pPX, LPCTSTR lpszName, COleDateTime& dtValue);
BOOL AFXAPI ExchangePoint(CHLMPropExchange* pPX, LPCTSTR lpszName, POINT& ptValue, POINT ptDefault);
BOOL AFXAPI ExchangeSize(CHLMPropExchange* pPX, LPCTSTR lpszName, SIZE& szValue, SIZE szDefault);
BOOL AFXAPI ExchangeRect(CHLMPropExchange* pPX, LPCTSTR lpszName, RECT& rcValue, RECT rcDefault);
BOOL AFXAPI ExchangeVariant(CHLMPropExchange* pPX, LPCTSTR lpszName, COleVariant& varValue,
                            const COleVariant& varDefault);

BOOL AFXAPI ExchangeRuntimeClass(CHLMPropExchange* pPX, LPCTSTR lpszName, CRuntimeClass** ppClass,
                                 CRuntimeClass* pDefaultClass);
BOOL AFXAPI ExchangeBlob(CHLMPropExchange* pPX, LPCTSTR lpszName, BYTE** ppData, DWORD* pnBytes);
// The object serialises itself into a sub-archive of the property; archive and OLE
// exceptions are caught and give FALSE.
BOOL AFXAPI ExchangeSerializedObject(CHLMPropExchange* pPX, LPCTSTR lpszName, CObject* pObject);

// ---------------------------------------------------------------------------------------
// Archive storage: values follow each other in the stream without names or defaults.

class CHLMPropExchangeArchive : public CHLMPropExchange
{
    DECLARE_DYNAMIC(CHLMPropExchangeArchive)
public:
    explicit CHLMPropExchangeArchive(CArchive* pArchive);

    BOOL ExchangeValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault) override;
    BOOL ExchangeBlob(LPCTSTR lpszName, BYTE** ppData, DWORD* pnBytes) override;
    BOOL ExchangeRuntimeClass(LPCTSTR lpszName, CRuntimeClass** ppClass, CRuntimeClass* pDefaultClass) override;
    BOOL ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pRequiredClass) override;
    CArchive* GetArchive(LPCTSTR lpszName) override;
    void ReleaseArchive(LPCTSTR lpszName, CArchive* pArchive) override;
    CHLMPropExchange* OpenSection(LPCTSTR lpszName) override;
    void WriteCount(DWORD nCount) override;
    DWORD ReadCount() override;
    void Write(LPCTSTR lpszName, const void* pData, DWORD nBytes) override;
    DWORD Read(LPCTSTR lpszName, void* pBuffer, DWORD nBytes) override;
    BOOL IsAllowDefaultValues() override { return FALSE; }
    BOOL IsAllowBlobValues() override { return TRUE; }
    void ExchangeSchemaNumber() override;

protected:
    CArchive* m_pArchive;
};

// ---------------------------------------------------------------------------------------
// Registry storage: a section is a key, a property a value of that key.

class CHLMPropExchangeRegistry : public CHLMPropExchange
{
    DECLARE_DYNAMIC(CHLMPropExchangeRegistry)
public:
    // Without a parent key the section lives under the application's registry key.
    CHLMPropExchangeRegistry(BOOL bLoading, HKEY hParentKey, LPCTSTR lpszSection);
    ~CHLMPropExchangeRegistry() override;

    BOOL ExchangeValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault) override;
    BOOL ExchangeBlob(LPCTSTR lpszName, BYTE** ppData, DWORD* pnBytes) override;
    CHLMPropExchange* OpenSection(LPCTSTR lpszName) override;
    void EmptySection() override;
    BOOL IsAllowBlobValues() override { return TRUE; }
    BOOL OnBeforeExchange() override;

    BOOL IsPropertyExists(LPCTSTR lpszName);
    BOOL IsSectionExists(LPCTSTR lpszName);

protected:
    // A sub-section below the parent's key.
    CHLMPropExchangeRegistry(CHLMPropExchangeRegistry* pParent, LPCTSTR lpszSection);
    BOOL LoadValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault);
    BOOL StoreValue(LPCTSTR lpszName, VARTYPE vt, const void* pValue, const void* pDefault);
    // The value's data when it has this registry type; FALSE otherwise or when missing.
    BOOL QueryTyped(LPCTSTR lpszName, DWORD dwType, std::vector<BYTE>& data) const;
    BOOL QueryString(LPCTSTR lpszName, CString& strValue) const;
    REGSAM Access() const { return m_bLoading ? KEY_READ : KEY_WRITE; }

    HKEY m_hSectionKey;
    HKEY m_hParentKey;
    CString m_strSection;
    BOOL m_bOwnParentKey;
};

// ---------------------------------------------------------------------------------------
// XML storage: a section is an element; a property an attribute of it (compact mode) or
// a child element (element mode).

class CHLMPropExchangeXMLNode : public CHLMPropExchange
{
    DECLARE_DYNAMIC(CHLMPropExchangeXMLNode)
public:
    // Items of a section as consecutive child elements named by the item name.
    class CXMLEnumerator : public CHLMPropExchangeEnumerator
    {
    public:
        CXMLEnumerator(CHLMPropExchangeXMLNode* pExchange, LPCTSTR lpszItemName);
        ~CXMLEnumerator() override;
        DWORD GetPosition(DWORD nCount, BOOL bUseCountMethods) override;
        CHLMPropExchange* GetNext(DWORD& nPosition) override;

    private:
        CHLMPropExchangeXMLNode* Owner() const;
        IXMLDOMNode* SelectItem(int nIndex) const;

        IXMLDOMNode* m_pCurrentNode;
    };

    CHLMPropExchangeXMLNode(BOOL bLoading, IXMLDOMNode* pParentNode, LPCTSTR lpszSection);
    ~CHLMPropExchangeXMLNode() override;

    BOOL ExchangeValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault) override;
    CHLMPropExchange* OpenSection(LPCTSTR lpszName) override;
    void EmptySection() override;
    BOOL OnBeforeExchange() override;
    CHLMPropExchangeEnumerator* CreateEnumerator(LPCTSTR lpszItemName) override;

    BOOL CreateDocumentInstance();
    static BOOL PASCAL CanCreateDocument();

    BOOL LoadFromFile(LPCTSTR lpszPath);
    BOOL LoadFromString(LPCSTR lpszText);
    // Wide text; a BSTR goes here too.
    BOOL LoadFromString(LPCWSTR lpszText);
    BOOL LoadFromResource(HINSTANCE hModule, LPCTSTR lpszName, LPCTSTR lpszType);
    HRESULT SaveToFile(LPCTSTR lpszPath, BOOL bFormatted);
    CString GetXML(BOOL bFormatted);

    BOOL IsSectionExists(LPCTSTR lpszXPath);
    BOOL IsPropertyExists(LPCTSTR lpszName);
    CString GetSectionName();
    BOOL PutSection(CHLMPropExchangeXMLNode* pOther);

    void SetCompactMode(BOOL bCompact) { m_bCompactMode = bCompact; }
    void SetEncoding(LPCTSTR lpszEncoding) { m_strEncoding = lpszEncoding; }
    void SetLoading(BOOL bLoading) { m_bLoading = bLoading; }

protected:
    IXMLDOMNode* GetSectionNode(LPCTSTR lpszName);
    IXMLDOMNode* GetEntryNode(LPCTSTR lpszName, BOOL bCreate);
    void RemoveEntryNode(LPCTSTR lpszName);
    BOOL LoadBytes(const BYTE* pData, DWORD nBytes);
    BOOL FinishLoad(HRESULT hr, VARIANT_BOOL bSuccess);
    void ForgetSection();
    void AttachSectionNode(IXMLDOMNode* pNode);

    IXMLDOMDocument* m_pDocument;
    IXMLDOMNode* m_pParentNode;
    IXMLDOMNode* m_pSectionNode;
    CString m_strSection;
    CString m_strEncoding;
    BOOL m_bCompactMode;
};

// ---------------------------------------------------------------------------------------
// INI storage: a section is an INI section "<parent>\<name>", a property a key. The values
// go to a working file (a temporary copy unless a file is assigned).

class CHLMPropExchangeIniFile : public CHLMPropExchange
{
    DECLARE_DYNAMIC(CHLMPropExchangeIniFile)
public:
    CHLMPropExchangeIniFile(BOOL bLoading, LPCTSTR lpszParentSection, LPCTSTR lpszSection);
    ~CHLMPropExchangeIniFile() override;

    BOOL ExchangeValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault) override;
    CHLMPropExchange* OpenSection(LPCTSTR lpszName) override;
    void EmptySection() override;
    BOOL OnBeforeExchange() override;

    BOOL LoadFromFile(LPCTSTR lpszPath);
    BOOL SaveToFile(LPCTSTR lpszPath);
    void AssignFile(LPCTSTR lpszPath);

    const CString& GetWorkingPath() const { return m_strPath; }

protected:
    CString ReadKey(LPCTSTR lpszName) const;

    CString m_strSection;
    CString m_strPath;
    BOOL m_bTempFile;
};
