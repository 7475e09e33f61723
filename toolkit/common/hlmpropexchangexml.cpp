// The XML storage of the property exchange, on the system's MSXML document object: a
// section is an element, a property an attribute of it (compact mode) or a child element
// (element mode); items are consecutive child elements of one name.
#include "hlmpropexchange.h"

#include <msxml2.h>
#undef CLSID_DOMDocument  // msxml2.h turns it into the version-2.6 document; this is the system's

IMPLEMENT_DYNAMIC(CHLMPropExchangeXMLNode, CHLMPropExchange)

namespace
{
// The document's second interface, for its parser properties (no library exports its id).
const IID kIidXmlDomDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// An interface pointer released when it goes out of scope.
template <class T>
class ComRef
{
public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    void operator=(const ComRef&) = delete;

    T** operator&() { Reset(); return &m_p; }
    T* operator->() const { return m_p; }
    operator T*() const { return m_p; }
    T* Detach() { T* p = m_p; m_p = nullptr; return p; }
    void Reset()
    {
        if (m_p != nullptr)
            m_p->Release();
        m_p = nullptr;
    }

private:
    T* m_p = nullptr;
};

// A BSTR freed when it goes out of scope.
class Bstr
{
public:
    explicit Bstr(LPCWSTR lpsz = nullptr) : m_bstr(lpsz != nullptr ? SysAllocString(lpsz) : nullptr) {}
    ~Bstr() { SysFreeString(m_bstr); }
    Bstr(const Bstr&) = delete;
    void operator=(const Bstr&) = delete;

    BSTR* operator&() { SysFreeString(m_bstr); m_bstr = nullptr; return &m_bstr; }
    operator BSTR() const { return m_bstr; }
    BSTR Detach() { BSTR b = m_bstr; m_bstr = nullptr; return b; }

private:
    BSTR m_bstr;
};

template <class T>
void SetRef(T*& pMember, T* pNew)
{
    if (pNew != nullptr)
        pNew->AddRef();
    if (pMember != nullptr)
        pMember->Release();
    pMember = pNew;
}

IXMLDOMNode* SelectNode(IXMLDOMNode* pContext, LPCWSTR lpszExpression)
{
    IXMLDOMNode* pNode = nullptr;
    if (pContext == nullptr || FAILED(pContext->selectSingleNode(Bstr(lpszExpression), &pNode)))
        return nullptr;
    return pNode;
}

// Removes an element from its parent.
void RemoveNode(IXMLDOMNode* pNode)
{
    ComRef<IXMLDOMNode> parent;
    if (pNode != nullptr && SUCCEEDED(pNode->get_parentNode(&parent)) && parent != nullptr)
    {
        ComRef<IXMLDOMNode> removed;
        parent->removeChild(pNode, &removed);
    }
}

// The text of an element's own text nodes, child elements left out.
CString OwnText(IXMLDOMNode* pElement)
{
    CString text;
    ComRef<IXMLDOMNode> child;
    pElement->get_firstChild(&child);
    while (child != nullptr)
    {
        DOMNodeType type = NODE_INVALID;
        child->get_nodeType(&type);
        if (type == NODE_TEXT || type == NODE_CDATA_SECTION)
        {
            Bstr value;
            child->get_text(&value);
            // A formatted file adds line breaks and tabs around elements; stored text holds
            // none of its own (they are escaped).
            if (static_cast<BSTR>(value) != nullptr)
                text += CString(static_cast<LPCWSTR>(value)).Trim(L"\r\n\t");
        }
        IXMLDOMNode* pNext = nullptr;
        child->get_nextSibling(&pNext);
        child.Reset();
        *(&child) = pNext;
    }
    return text;
}

// Replaces the element's own text nodes by one holding the text; child elements stay.
void SetOwnText(IXMLDOMDocument* pDocument, IXMLDOMNode* pElement, LPCWSTR lpszText)
{
    ComRef<IXMLDOMNode> child;
    pElement->get_firstChild(&child);
    while (child != nullptr)
    {
        IXMLDOMNode* pNext = nullptr;
        child->get_nextSibling(&pNext);
        DOMNodeType type = NODE_INVALID;
        child->get_nodeType(&type);
        if (type == NODE_TEXT || type == NODE_CDATA_SECTION)
        {
            ComRef<IXMLDOMNode> removed;
            pElement->removeChild(child, &removed);
        }
        *(&child) = pNext;
    }
    if (*lpszText == 0)
        return;
    ComRef<IXMLDOMText> text;
    ComRef<IXMLDOMNode> first;
    ComRef<IXMLDOMNode> inserted;
    if (FAILED(pDocument->createTextNode(Bstr(lpszText), &text)))
        return;
    pElement->get_firstChild(&first);
    VARIANT before;
    VariantInit(&before);
    if (first != nullptr)
    {
        before.vt = VT_UNKNOWN;
        before.punkVal = first;
    }
    pElement->insertBefore(text, before, &inserted);
}

BOOL IsLayoutByte(char ch)
{
    return ch == '\r' || ch == '\n' || ch == '\t';
}

// Each element on a line of its own, indented by one tab per level (the root unindented).
std::vector<char> IndentSavedXml(std::vector<char> bytes)
{
    if (bytes.size() <= 2)
        return bytes;
    if (bytes[bytes.size() - 2] == '\r')
        bytes.resize(bytes.size() - 2);
    bytes.push_back(0);
    bytes.push_back(0);
    std::vector<char> out;
    auto newLine = [&](int nDepth) {
        out.push_back('\r');
        out.push_back('\n');
        out.insert(out.end(), static_cast<size_t>(std::max(nDepth, 0)), '\t');
    };
    int nDepth = 1;
    size_t nRun = 0;
    size_t nStart = 0;
    for (size_t i = 1; bytes[i] != 0; ++i)
    {
        const char c = bytes[i];
        const char n = bytes[i + 1];
        const size_t nRunStart = i + 1 - nRun;  // first layout byte of the run before n
        if ((n == '>' && (c == '/' || c == '?')) || (n == '<' && bytes[i + 2] == '/'))
        {
            --nDepth;
            if (n == '<' && bytes[i - nRun] == '>')
            {
                out.insert(out.end(), bytes.begin() + static_cast<ptrdiff_t>(nStart),
                           bytes.begin() + static_cast<ptrdiff_t>(nRunStart));
                newLine(nDepth);
                nStart = i + 1;
            }
        }
        else if (n == '<')
        {
            out.insert(out.end(), bytes.begin() + static_cast<ptrdiff_t>(nStart),
                       bytes.begin() + static_cast<ptrdiff_t>(nRunStart));
            newLine(nDepth);
            nStart = i + 1;
            ++nDepth;
        }
        nRun = IsLayoutByte(n) ? nRun + 1 : 0;
    }
    const size_t nEnd = bytes.size() - 2;
    out.insert(out.end(), bytes.begin() + static_cast<ptrdiff_t>(nStart), bytes.begin() + static_cast<ptrdiff_t>(nEnd));
    out.push_back('\r');
    out.push_back('\n');
    return out;
}

// In-memory layout of GetXML: each tag on a line of its own below its parent.
CString IndentXmlText(CString text)
{
    CString indent(L"\t");
    for (int i = 1; i < text.GetLength(); ++i)
    {
        const wchar_t ch = text[i];
        if ((ch == L'>' && text[i - 1] == L'/') || (ch == L'<' && text[i + 1] == L'/'))
        {
            if (!indent.IsEmpty())
                indent.Truncate(indent.GetLength() - 1);
            if (ch == L'<' && text[i - 1] == L'>')
            {
                const CString insert = L"\r\n" + indent;
                text.Insert(i, insert);
                i += insert.GetLength();
            }
        }
        else if (ch == L'<')
        {
            const CString insert = L"\r\n" + indent;
            text.Insert(i, insert);
            i += insert.GetLength();
            indent += L'\t';
        }
    }
    return text;
}

BOOL ReadWholeFile(LPCTSTR lpszPath, std::vector<char>& bytes)
{
    HANDLE hFile = CreateFileW(lpszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    const DWORD nSize = GetFileSize(hFile, nullptr);
    bytes.assign(nSize, 0);
    DWORD nRead = 0;
    const BOOL bOk = nSize == INVALID_FILE_SIZE ? FALSE : ReadFile(hFile, bytes.data(), nSize, &nRead, nullptr) && nRead == nSize;
    CloseHandle(hFile);
    return bOk;
}

BOOL WriteWholeFile(LPCTSTR lpszPath, const std::vector<char>& bytes)
{
    HANDLE hFile = CreateFileW(lpszPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD nWritten = 0;
    const BOOL bOk = WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &nWritten, nullptr) &&
                     nWritten == bytes.size();
    CloseHandle(hFile);
    return bOk;
}

// Encodings whose bytes of '<', '>', '/', '?' and the layout characters are ASCII.
BOOL IsAsciiCompatible(const CString& encoding)
{
    CString upper(encoding);
    upper.MakeUpper();
    return upper.Find(L"UTF-16") != 0 && upper.Find(L"UCS-") != 0 && upper.Find(L"UTF-32") != 0 &&
           upper.Compare(L"UNICODE") != 0;
}
}  // namespace

// ---------------------------------------------------------------------------------------

CHLMPropExchangeXMLNode::CHLMPropExchangeXMLNode(BOOL bLoading, IXMLDOMNode* pParentNode, LPCTSTR lpszSection)
    : CHLMPropExchange(bLoading), m_pDocument(nullptr), m_pParentNode(nullptr), m_pSectionNode(nullptr),
      m_strSection(lpszSection), m_strEncoding(L"UTF-8"), m_bCompactMode(TRUE)
{
    SetRef(m_pParentNode, pParentNode);
    if (pParentNode != nullptr && (FAILED(pParentNode->get_ownerDocument(&m_pDocument)) || m_pDocument == nullptr))
    {
        m_pDocument = nullptr;
        pParentNode->QueryInterface(IID_IXMLDOMDocument, reinterpret_cast<void**>(&m_pDocument));
    }
}

CHLMPropExchangeXMLNode::~CHLMPropExchangeXMLNode()
{
    SetRef<IXMLDOMNode>(m_pSectionNode, nullptr);
    SetRef<IXMLDOMNode>(m_pParentNode, nullptr);
    SetRef<IXMLDOMDocument>(m_pDocument, nullptr);
}

BOOL CHLMPropExchangeXMLNode::CreateDocumentInstance()
{
    if (m_pDocument != nullptr)
        return TRUE;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument,
                                reinterpret_cast<void**>(&m_pDocument))) || m_pDocument == nullptr)
    {
        m_pDocument = nullptr;
        TRACE(L"Warning: CreateDocumentInstance failed in CHLMPropExchangeXMLNode --\n");
        TRACE(L"\tperhaps AfxOleInit() has not been called, or msxml3.dll not found.");
        return FALSE;
    }
    m_pDocument->put_preserveWhiteSpace(VARIANT_TRUE);
    // Settings files are read whole before anything uses them, and nothing they name from
    // outside (external entities, DTDs) is fetched or obeyed.
    m_pDocument->put_async(VARIANT_FALSE);
    m_pDocument->put_resolveExternals(VARIANT_FALSE);
    m_pDocument->put_validateOnParse(VARIANT_FALSE);
    ComRef<IXMLDOMDocument2> document2;
    if (SUCCEEDED(m_pDocument->QueryInterface(kIidXmlDomDocument2, reinterpret_cast<void**>(&document2))) &&
        document2 != nullptr)
    {
        VARIANT prohibit;
        VariantInit(&prohibit);
        prohibit.vt = VT_BOOL;
        prohibit.boolVal = VARIANT_TRUE;
        document2->setProperty(Bstr(L"ProhibitDTD"), prohibit);  // unknown to older parsers
    }
    return TRUE;
}

BOOL PASCAL CHLMPropExchangeXMLNode::CanCreateDocument()
{
    IXMLDOMDocument* pDocument = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument,
                                reinterpret_cast<void**>(&pDocument))) || pDocument == nullptr)
        return FALSE;
    pDocument->Release();
    return TRUE;
}

void CHLMPropExchangeXMLNode::ForgetSection()
{
    SetRef<IXMLDOMNode>(m_pSectionNode, nullptr);
    m_bInitialized = FALSE;
}

void CHLMPropExchangeXMLNode::AttachSectionNode(IXMLDOMNode* pNode)
{
    SetRef(m_pSectionNode, pNode);
    m_bInitialized = TRUE;
}

BOOL CHLMPropExchangeXMLNode::OnBeforeExchange()
{
    if (m_bInitialized)
        return m_pDocument != nullptr && m_pParentNode != nullptr && m_pSectionNode != nullptr;
    m_bInitialized = TRUE;
    if (IsRootSection() && m_pDocument == nullptr)
    {
        ASSERT(m_pParentNode == nullptr);
        if (!CreateDocumentInstance())
            return FALSE;
        m_pDocument->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(&m_pParentNode));
    }
    if (m_pDocument == nullptr || m_pParentNode == nullptr)
        return FALSE;
    ASSERT(m_pSectionNode == nullptr);
    m_pSectionNode = GetSectionNode(m_strSection);
    if (m_pSectionNode == nullptr)
        return FALSE;
    if (IsRootSection())
    {
        if (m_bLoading || m_bCompactMode)
        {
            ExchangeBool(this, L"CompactMode", m_bCompactMode, FALSE);
        }
        else
        {
            // Element mode writes no flag; an attribute left from a compact document must go.
            ComRef<IXMLDOMElement> element;
            if (SUCCEEDED(m_pSectionNode->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(&element))))
                element->removeAttribute(Bstr(L"CompactMode"));
        }
    }
    return TRUE;
}

IXMLDOMNode* CHLMPropExchangeXMLNode::GetSectionNode(LPCTSTR lpszName)
{
    IXMLDOMNode* pNode = SelectNode(m_pParentNode, lpszName);
    if (pNode != nullptr)
        return pNode;
    if (IsRootSection())
    {
        // A document holds one root: one of another name is no section of this exchange.
        ComRef<IXMLDOMElement> root;
        if (SUCCEEDED(m_pDocument->get_documentElement(&root)) && root != nullptr)
            return nullptr;
    }
    ComRef<IXMLDOMElement> element;
    if (FAILED(m_pDocument->createElement(Bstr(lpszName), &element)) ||
        FAILED(m_pParentNode->appendChild(element, &pNode)))
        return nullptr;
    return pNode;
}

IXMLDOMNode* CHLMPropExchangeXMLNode::GetEntryNode(LPCTSTR lpszName, BOOL bCreate)
{
    if (m_pSectionNode == nullptr)
        return nullptr;
    if (lpszName == nullptr || *lpszName == 0)
    {
        m_pSectionNode->AddRef();
        return m_pSectionNode;
    }
    IXMLDOMNode* pNode = nullptr;
    if (m_bCompactMode)
    {
        ComRef<IXMLDOMNamedNodeMap> attributes;
        if (FAILED(m_pSectionNode->get_attributes(&attributes)) || attributes == nullptr)
            return nullptr;
        if (SUCCEEDED(attributes->getNamedItem(Bstr(lpszName), &pNode)) && pNode != nullptr)
            return pNode;
        ComRef<IXMLDOMAttribute> attribute;
        if (!bCreate || FAILED(m_pDocument->createAttribute(Bstr(lpszName), &attribute)))
            return nullptr;
        attributes->setNamedItem(attribute, &pNode);
        return pNode;
    }
    pNode = SelectNode(m_pSectionNode, lpszName);
    if (pNode != nullptr || !bCreate)
        return pNode;
    ComRef<IXMLDOMElement> element;
    if (FAILED(m_pDocument->createElement(Bstr(lpszName), &element)))
        return nullptr;
    m_pSectionNode->appendChild(element, &pNode);
    return pNode;
}

// Removes the attribute or child element that holds an older value of the property.
void CHLMPropExchangeXMLNode::RemoveEntryNode(LPCTSTR lpszName)
{
    if (lpszName == nullptr || *lpszName == 0)
    {
        if (m_pSectionNode != nullptr)
            SetOwnText(m_pDocument, m_pSectionNode, L"");
        return;
    }
    if (m_pSectionNode == nullptr)
        return;
    if (m_bCompactMode)
    {
        ComRef<IXMLDOMNamedNodeMap> attributes;
        ComRef<IXMLDOMNode> removed;
        if (SUCCEEDED(m_pSectionNode->get_attributes(&attributes)) && attributes != nullptr)
            attributes->removeNamedItem(Bstr(lpszName), &removed);
        return;
    }
    ComRef<IXMLDOMNode> node;
    *(&node) = SelectNode(m_pSectionNode, lpszName);
    RemoveNode(node);
}

BOOL CHLMPropExchangeXMLNode::ExchangeValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault)
{
    pDefault = EffectiveDefault(pDefault);
    if (m_bLoading)
    {
        ComRef<IXMLDOMNode> node;
        if (!OnBeforeExchange() || (*(&node) = GetEntryNode(lpszName, FALSE)) == nullptr)
            return CopyValue(vt, pValue, pDefault);
        CString text;
        if (node == m_pSectionNode)
        {
            text = OwnText(node);
        }
        else
        {
            Bstr value;
            node->get_text(&value);
            text = static_cast<BSTR>(value) != nullptr ? static_cast<LPCWSTR>(value) : L"";
        }
        if (vt == VT_BSTR)
        {
            BSTR bstr = SysAllocString(text);
            UnescapeBstr(bstr);
            BSTR& target = *static_cast<BSTR*>(pValue);
            SysFreeString(target);
            target = bstr;
            return TRUE;
        }
        return ExchangeValueText(text, vt, pValue, pDefault);
    }

    if (IsSameValue(vt, pValue, pDefault))
    {
        // Nothing is written (a section of defaults is not even created), but an older
        // value stored in an existing section must not outlive the default.
        if (m_pSectionNode == nullptr && m_pParentNode != nullptr && !m_bInitialized)
        {
            ComRef<IXMLDOMNode> existing;
            *(&existing) = SelectNode(m_pParentNode, m_strSection);
            if (existing != nullptr)
                OnBeforeExchange();
        }
        RemoveEntryNode(lpszName);
        return TRUE;
    }
    if (!OnBeforeExchange())
        return FALSE;
    CString text;
    if (vt == VT_BSTR)
    {
        const BSTR bstr = *static_cast<const BSTR*>(pValue);
        text = bstr != nullptr ? bstr : L"";
        ConvertEscapes(text);
    }
    else if (!ExchangeValueText(text, vt, pValue, pDefault))
    {
        return FALSE;
    }
    ComRef<IXMLDOMNode> node;
    *(&node) = GetEntryNode(lpszName, TRUE);
    ASSERT(node != nullptr);
    if (node == nullptr)
        return FALSE;
    if (node == m_pSectionNode)
        SetOwnText(m_pDocument, node, text);
    else
        node->put_text(Bstr(text));
    return TRUE;
}

CHLMPropExchange* CHLMPropExchangeXMLNode::OpenSection(LPCTSTR lpszName)
{
    OnBeforeExchange();
    CHLMPropExchangeXMLNode* pSection = new CHLMPropExchangeXMLNode(m_bLoading, m_pSectionNode, lpszName);
    pSection->m_bCompactMode = m_bCompactMode;
    pSection->InheritState(this);
    return pSection;
}

void CHLMPropExchangeXMLNode::EmptySection()
{
    CHLMPropExchange::EmptySection();
    OnBeforeExchange();
    if (m_pSectionNode != nullptr && m_pParentNode != nullptr)
    {
        ComRef<IXMLDOMNode> removed;
        m_pParentNode->removeChild(m_pSectionNode, &removed);
        ForgetSection();
    }
}

CHLMPropExchangeEnumerator* CHLMPropExchangeXMLNode::CreateEnumerator(LPCTSTR lpszItemName)
{
    if (m_bLoading && IsPropertyExists(L"Count"))
        return new CHLMPropExchangeEnumerator(this, lpszItemName);
    return new CXMLEnumerator(this, lpszItemName);
}

// ---------------------------------------------------------------------------------------
// Loading and saving

BOOL CHLMPropExchangeXMLNode::FinishLoad(HRESULT hr, VARIANT_BOOL bSuccess)
{
    if (FAILED(hr) || bSuccess != VARIANT_TRUE)
    {
        ComRef<IXMLDOMParseError> error;
        Bstr reason;
        if (SUCCEEDED(m_pDocument->get_parseError(&error)) && error != nullptr)
            error->get_reason(&reason);
        TRACE(L"Warning: CHLMPropExchangeXMLNode::LoadFromString failed. ParseError.Reason = %s",
              static_cast<BSTR>(reason) != nullptr ? static_cast<LPCWSTR>(reason) : L"");
        return FALSE;
    }
    SetRef<IXMLDOMNode>(m_pParentNode, nullptr);
    m_pDocument->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(&m_pParentNode));
    ForgetSection();
    return TRUE;
}

BOOL CHLMPropExchangeXMLNode::LoadFromFile(LPCTSTR lpszPath)
{
    const DWORD dwAttributes = lpszPath != nullptr ? GetFileAttributesW(lpszPath) : INVALID_FILE_ATTRIBUTES;
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) || !CreateDocumentInstance())
        return FALSE;
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocString(lpszPath);
    VARIANT_BOOL bSuccess = VARIANT_FALSE;
    const HRESULT hr = m_pDocument->load(source, &bSuccess);
    VariantClear(&source);
    return FinishLoad(hr, bSuccess);
}

BOOL CHLMPropExchangeXMLNode::LoadFromString(LPCWSTR lpszText)
{
    if (lpszText == nullptr || !CreateDocumentInstance())
        return FALSE;
    VARIANT_BOOL bSuccess = VARIANT_FALSE;
    const HRESULT hr = m_pDocument->loadXML(Bstr(lpszText), &bSuccess);
    return FinishLoad(hr, bSuccess);
}

BOOL CHLMPropExchangeXMLNode::LoadFromString(LPCSTR lpszText)
{
    if (lpszText == nullptr)
        return FALSE;
    return LoadBytes(reinterpret_cast<const BYTE*>(lpszText), static_cast<DWORD>(strlen(lpszText)));
}

// The document detects the encoding of the bytes itself.
BOOL CHLMPropExchangeXMLNode::LoadBytes(const BYTE* pData, DWORD nBytes)
{
    if (!CreateDocumentInstance())
        return FALSE;
    SAFEARRAY* pArray = SafeArrayCreateVector(VT_UI1, 0, nBytes);
    if (pArray == nullptr)
        return FALSE;
    void* pArrayData = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(pArray, &pArrayData)))
    {
        memcpy(pArrayData, pData, nBytes);
        SafeArrayUnaccessData(pArray);
    }
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_ARRAY | VT_UI1;
    source.parray = pArray;
    VARIANT_BOOL bSuccess = VARIANT_FALSE;
    const HRESULT hr = m_pDocument->load(source, &bSuccess);
    VariantClear(&source);
    return FinishLoad(hr, bSuccess);
}

BOOL CHLMPropExchangeXMLNode::LoadFromResource(HINSTANCE hModule, LPCTSTR lpszName, LPCTSTR lpszType)
{
    HRSRC hResource = FindResourceW(hModule, lpszName, lpszType);
    HGLOBAL hData = hResource != nullptr ? LoadResource(hModule, hResource) : nullptr;
    const void* pData = hData != nullptr ? LockResource(hData) : nullptr;
    if (pData == nullptr)
        return FALSE;
    // The resource's own size: its text need not end in a zero.
    return LoadBytes(static_cast<const BYTE*>(pData), SizeofResource(hModule, hResource));
}

HRESULT CHLMPropExchangeXMLNode::SaveToFile(LPCTSTR lpszPath, BOOL bFormatted)
{
    if (lpszPath == nullptr || !OnBeforeExchange())
        return E_FAIL;
    ComRef<IXMLDOMNode> first;
    Bstr firstName;
    if (SUCCEEDED(m_pDocument->get_firstChild(&first)) && first != nullptr)
        first->get_nodeName(&firstName);
    if (static_cast<BSTR>(firstName) == nullptr || wcscmp(firstName, L"xml") != 0)
    {
        CString declaration;
        declaration.Format(L"version=\"1.0\" encoding=\"%s\"", m_strEncoding);
        ComRef<IXMLDOMProcessingInstruction> instruction;
        ComRef<IXMLDOMNode> inserted;
        if (SUCCEEDED(m_pDocument->createProcessingInstruction(Bstr(L"xml"), Bstr(declaration), &instruction)))
        {
            VARIANT before;
            VariantInit(&before);
            if (first != nullptr)
            {
                before.vt = VT_UNKNOWN;
                before.punkVal = first;
            }
            m_pDocument->insertBefore(instruction, before, &inserted);
        }
    }
    // Written next to the target first: the target is replaced only by a complete file.
    const CString temporary = CString(lpszPath) + L".saving";
    HRESULT hr = S_OK;
    if (IsAsciiCompatible(m_strEncoding))
    {
        VARIANT target;
        VariantInit(&target);
        target.vt = VT_BSTR;
        target.bstrVal = SysAllocString(temporary);
        hr = m_pDocument->save(target);
        VariantClear(&target);
    }
    else
    {
        // Wide text is written as it stands, with its byte-order mark: Wine's document
        // object writes UTF-8 bytes under a UTF-16 declaration.
        Bstr xml;
        hr = m_pDocument->get_xml(&xml);
        if (SUCCEEDED(hr))
        {
            const UINT nChars = SysStringLen(xml);
            std::vector<char> bytes(2 + nChars * sizeof(wchar_t));
            bytes[0] = static_cast<char>(0xFF);
            bytes[1] = static_cast<char>(0xFE);
            if (nChars != 0)
                memcpy(bytes.data() + 2, static_cast<BSTR>(xml), nChars * sizeof(wchar_t));
            if (!WriteWholeFile(temporary, bytes))
                hr = HRESULT_FROM_WIN32(GetLastError());
        }
    }
    if (SUCCEEDED(hr) && bFormatted && IsAsciiCompatible(m_strEncoding))
    {
        std::vector<char> bytes;
        if (ReadWholeFile(temporary, bytes))
            WriteWholeFile(temporary, IndentSavedXml(std::move(bytes)));
    }
    if (SUCCEEDED(hr) && !MoveFileExW(temporary, lpszPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        hr = HRESULT_FROM_WIN32(GetLastError());
    if (FAILED(hr))
        DeleteFileW(temporary);
    return hr;
}

CString CHLMPropExchangeXMLNode::GetXML(BOOL bFormatted)
{
    if (!OnBeforeExchange())
        return CString();
    Bstr xml;
    IXMLDOMNode* pNode = IsRootSection() ? m_pParentNode : m_pSectionNode;
    if (FAILED(pNode->get_xml(&xml)) || static_cast<BSTR>(xml) == nullptr)
        return CString();
    CString text(static_cast<LPCWSTR>(xml));
    return bFormatted ? IndentXmlText(text) : text;
}

BOOL CHLMPropExchangeXMLNode::IsSectionExists(LPCTSTR lpszXPath)
{
    if (!OnBeforeExchange())
        return FALSE;
    ComRef<IXMLDOMNode> node;
    *(&node) = SelectNode(m_pSectionNode, lpszXPath);
    return node != nullptr;
}

BOOL CHLMPropExchangeXMLNode::IsPropertyExists(LPCTSTR lpszName)
{
    if (!OnBeforeExchange())
        return FALSE;
    ComRef<IXMLDOMNode> node;
    *(&node) = GetEntryNode(lpszName, FALSE);
    return node != nullptr;
}

CString CHLMPropExchangeXMLNode::GetSectionName()
{
    Bstr name;
    if (!OnBeforeExchange() || FAILED(m_pSectionNode->get_nodeName(&name)) || static_cast<BSTR>(name) == nullptr)
        return CString();
    return CString(static_cast<LPCWSTR>(name));
}

BOOL CHLMPropExchangeXMLNode::PutSection(CHLMPropExchangeXMLNode* pOther)
{
    if (pOther == nullptr || !OnBeforeExchange() || !pOther->OnBeforeExchange())
        return FALSE;
    ComRef<IXMLDOMNode> appended;
    return SUCCEEDED(m_pSectionNode->appendChild(pOther->m_pSectionNode, &appended));
}

// ---------------------------------------------------------------------------------------
// Items as consecutive child elements

CHLMPropExchangeXMLNode::CXMLEnumerator::CXMLEnumerator(CHLMPropExchangeXMLNode* pExchange, LPCTSTR lpszItemName)
    : CHLMPropExchangeEnumerator(pExchange, lpszItemName), m_pCurrentNode(nullptr)
{
}

CHLMPropExchangeXMLNode::CXMLEnumerator::~CXMLEnumerator()
{
    SetRef<IXMLDOMNode>(m_pCurrentNode, nullptr);
}

CHLMPropExchangeXMLNode* CHLMPropExchangeXMLNode::CXMLEnumerator::Owner() const
{
    return static_cast<CHLMPropExchangeXMLNode*>(m_pExchange);
}

// Indexes count from 0 in document order (the document's XSL Pattern selection).
IXMLDOMNode* CHLMPropExchangeXMLNode::CXMLEnumerator::SelectItem(int nIndex) const
{
    CString expression;
    expression.Format(L"%s[%i]", m_strItemName.IsEmpty() ? CString(L"*") : m_strItemName, nIndex);
    return SelectNode(Owner()->m_pSectionNode, expression);
}

DWORD CHLMPropExchangeXMLNode::CXMLEnumerator::GetPosition(DWORD nCount, BOOL)
{
    m_nCount = nCount;
    if (m_pExchange == nullptr)
        return 0;
    CHLMPropExchangeXMLNode* pOwner = Owner();
    if (pOwner->IsStoring())
    {
        // The items stored now replace those of an earlier store.
        if (pOwner->OnBeforeExchange())
        {
            for (;;)
            {
                ComRef<IXMLDOMNode> old;
                *(&old) = SelectItem(0);
                if (old == nullptr)
                    break;
                RemoveNode(old);
            }
        }
        return nCount != 0 ? 1 : 0;
    }
    if (!pOwner->OnBeforeExchange())
        return 0;
    SetRef<IXMLDOMNode>(m_pCurrentNode, nullptr);
    m_pCurrentNode = SelectItem(0);
    return m_pCurrentNode != nullptr ? 1 : 0;
}

CHLMPropExchange* CHLMPropExchangeXMLNode::CXMLEnumerator::GetNext(DWORD& nPosition)
{
    CHLMPropExchangeXMLNode* pOwner = Owner();
    auto* pSection = static_cast<CHLMPropExchangeXMLNode*>(pOwner->OpenSection(m_strItemName));
    ComRef<IXMLDOMNode> item;
    if (pOwner->IsStoring())
    {
        ASSERT(nPosition <= m_nCount);
        ComRef<IXMLDOMElement> element;
        if (SUCCEEDED(pOwner->m_pDocument->createElement(Bstr(m_strItemName), &element)))
            pOwner->m_pSectionNode->appendChild(element, &item);
        if (++nPosition > m_nCount)
            nPosition = 0;
    }
    else
    {
        ASSERT(m_pCurrentNode != nullptr);
        *(&item) = m_pCurrentNode;
        m_pCurrentNode = SelectItem(static_cast<int>(nPosition));
        if (m_pCurrentNode == nullptr)
            nPosition = 0;
        else
            ++nPosition;
    }
    pSection->AttachSectionNode(item);
    return pSection;
}
