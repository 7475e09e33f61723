// The XML resource manager: strings, menus and dialogs read from an XML resource file
// (root element "resource") and turned into the in-memory templates Windows builds menus
// and dialog boxes from; whatever the file lacks comes from the base manager.
#include "hlmresourcemanager.h"

#include "hlmpropexchange.h"

namespace
{
constexpr DWORD kDefaultControlStyle = WS_CHILD | WS_VISIBLE | WS_GROUP;

// A 32-bit value read without saturation: "2147483648" and "-2147483648" both give WS_POPUP.
DWORD ReadUnsigned(CHLMPropExchange* pSection, LPCTSTR lpszName, DWORD dwDefault)
{
    CString text;
    if (!ExchangeString(pSection, lpszName, text) || text.IsEmpty())
        return dwDefault;
    return static_cast<DWORD>(wcstoul(text, nullptr, 10));
}

size_t AlignToDword(size_t nBytes)
{
    return (nBytes + 3) & ~static_cast<size_t>(3);
}

// Writes little pieces of a template one after the other.
class TemplateWriter
{
public:
    explicit TemplateWriter(BYTE* pBuffer) : m_pStart(pBuffer), m_pNext(pBuffer) {}
    template <class T>
    void Put(T value)
    {
        memcpy(m_pNext, &value, sizeof(T));
        m_pNext += sizeof(T);
    }
    void PutText(LPCWSTR lpszText)
    {
        const size_t nBytes = (wcslen(lpszText) + 1) * sizeof(WCHAR);
        memcpy(m_pNext, lpszText, nBytes);
        m_pNext += nBytes;
    }
    void Align() { m_pNext = m_pStart + AlignToDword(static_cast<size_t>(m_pNext - m_pStart)); }

private:
    BYTE* m_pStart;
    BYTE* m_pNext;
};

LPCWSTR TextOf(BSTR bstr)
{
    return bstr != nullptr ? bstr : L"";
}
}  // namespace

CHLMResourceManagerXML::DIALOGTEMPLATEINFO::~DIALOGTEMPLATEINFO()
{
    SysFreeString(bstrCaption);
    for (DLGITEMTEMPLATEINFO* pItem : vecItems)
        delete pItem;
}

CHLMResourceManagerXML::CHLMResourceManagerXML(LPCTSTR lpszPath)
    : m_pRoot(new CHLMPropExchangeXMLNode(TRUE, nullptr, L"resource"))
{
    // A file whose root element is not "resource" gives no section, so no valid manager.
    m_bValid = m_pRoot->LoadFromFile(lpszPath) && m_pRoot->OnBeforeExchange();
}

CHLMResourceManagerXML::CHLMResourceManagerXML(CHLMPropExchangeXMLNode* pRoot) : m_pRoot(pRoot)
{
    m_bValid = pRoot != nullptr && pRoot->OnBeforeExchange();
}

CHLMResourceManagerXML::~CHLMResourceManagerXML()
{
    Close();
}

void CHLMResourceManagerXML::Close()
{
    CHLMResourceManager::Close();
    if (m_pRoot != nullptr)
        m_pRoot->InternalRelease();
    m_pRoot = nullptr;
    POSITION pos = m_mapTemplates.GetStartPosition();
    while (pos != nullptr)
    {
        UINT nID = 0;
        LPDLGTEMPLATE pTemplate = nullptr;
        m_mapTemplates.GetNextAssoc(pos, nID, pTemplate);
        free(pTemplate);
    }
    m_mapTemplates.RemoveAll();
    m_bValid = FALSE;
}

void CHLMResourceManagerXML::UpdateLanguage()
{
    if (m_pRoot == nullptr)
    {
        CHLMResourceManager::UpdateLanguage();
        return;
    }
    int nLanguage = 1033;
    ExchangeInt(m_pRoot, L"LANGID", nLanguage);
    SetLanguage(static_cast<LANGID>(nLanguage));
}

CHLMPropExchangeXMLNode* CHLMResourceManagerXML::OpenElement(LPCTSTR lpszKind, UINT nID)
{
    if (!m_bValid || m_pRoot == nullptr)
        return nullptr;
    CString expression;
    expression.Format(L"%s[@id = \"%i\"]", lpszKind, static_cast<int>(nID));
    if (!m_pRoot->IsSectionExists(expression))
        return nullptr;
    return static_cast<CHLMPropExchangeXMLNode*>(m_pRoot->OpenSection(expression));
}

BOOL CHLMResourceManagerXML::LoadString(CString* pText, UINT nID)
{
    CHLMPropExchangeSection section(OpenElement(L"string", nID));
    auto* pSection = static_cast<CHLMPropExchangeXMLNode*>(static_cast<CHLMPropExchange*>(section));
    if (pText == nullptr || pSection == nullptr || !pSection->IsPropertyExists(L"value"))
        return CHLMResourceManager::LoadString(pText, nID);
    return ExchangeString(pSection, L"value", *pText);
}

BOOL CHLMResourceManagerXML::LoadMenu(CMenu* pMenu, UINT nID)
{
    CHLMPropExchangeSection section(OpenElement(L"menu", nID));
    auto* pSection = static_cast<CHLMPropExchangeXMLNode*>(static_cast<CHLMPropExchange*>(section));
    if (pMenu != nullptr && pSection != nullptr && LoadMenuTemplate(pMenu, pSection))
        return TRUE;
    return CHLMResourceManager::LoadMenu(pMenu, nID);
}

void CHLMResourceManagerXML::AddMenuItems(CHLMPropExchangeXMLNode* pSection, std::vector<MENUITEMTEMPLATEINFO*>& items,
                                          UINT nDepth)
{
    CHLMPropExchangeEnumeratorPtr enumerator(pSection->CreateEnumerator(L"menuitem"));
    DWORD nPosition = enumerator->GetPosition(0, TRUE);
    while (nPosition != 0)
    {
        CHLMPropExchangeSection item(enumerator->GetNext(nPosition));
        auto* pRecord = new MENUITEMTEMPLATEINFO;
        UINT nItemID = 0;
        ExchangeUInt(item, L"id", nItemID, 0);
        ExchangeBstr(item, L"caption", pRecord->bstrCaption, L"");
        pRecord->wID = LOWORD(nItemID);
        items.push_back(pRecord);
        CHLMPropExchangeEnumeratorPtr children(item->CreateEnumerator(L"menuitem"));
        // Submenus nested deeper than anyone can use are left out: each level costs stack.
        if (children->GetPosition(0, TRUE) != 0 && nDepth < kMostMenuDepth)
        {
            pRecord->wOptions |= MF_POPUP;
            AddMenuItems(static_cast<CHLMPropExchangeXMLNode*>(static_cast<CHLMPropExchange*>(item)), items,
                         nDepth + 1);
        }
        else if (nItemID == 0)
        {
            pRecord->wOptions |= MF_SEPARATOR;
        }
        if (nPosition == 0)
            pRecord->wOptions |= MF_END;
    }
}

BOOL CHLMResourceManagerXML::LoadMenuTemplate(CMenu* pMenu, CHLMPropExchangeXMLNode* pSection)
{
    std::vector<MENUITEMTEMPLATEINFO*> items;
    AddMenuItems(pSection, items);
    if (items.empty())
        return FALSE;
    ASSERT(items.back()->wOptions & MF_END);
    size_t nBytes = sizeof(MENUITEMTEMPLATEHEADER);
    for (const MENUITEMTEMPLATEINFO* pItem : items)
        nBytes += ((pItem->wOptions & MF_POPUP) ? 4 : 6) + 2 * wcslen(TextOf(pItem->bstrCaption));
    std::vector<BYTE> buffer(nBytes + 6, 0);
    TemplateWriter writer(buffer.data());
    writer.Put<WORD>(0);  // versionNumber
    writer.Put<WORD>(0);  // offset
    for (const MENUITEMTEMPLATEINFO* pItem : items)
    {
        writer.Put<WORD>(pItem->wOptions);
        if (!(pItem->wOptions & MF_POPUP))
            writer.Put<WORD>(pItem->wID);
        writer.PutText(TextOf(pItem->bstrCaption));
    }
    for (MENUITEMTEMPLATEINFO* pItem : items)
        delete pItem;
    return pMenu->LoadMenuIndirect(buffer.data());
}

LPCDLGTEMPLATE CHLMResourceManagerXML::LoadDialogTemplate(UINT nID)
{
    LPDLGTEMPLATE pTemplate = nullptr;
    if (m_mapTemplates.Lookup(nID, pTemplate))
        return pTemplate;
    CHLMPropExchangeSection section(OpenElement(L"dialog", nID));
    auto* pSection = static_cast<CHLMPropExchangeXMLNode*>(static_cast<CHLMPropExchange*>(section));
    if (pSection != nullptr && (pTemplate = BuildDialogTemplate(pSection)) != nullptr)
    {
        m_mapTemplates[nID] = pTemplate;
        return pTemplate;
    }
    return CHLMResourceManager::LoadDialogTemplate(nID);
}

LPDLGTEMPLATE CHLMResourceManagerXML::BuildDialogTemplate(CHLMPropExchangeXMLNode* pSection)
{
    const RECT rcNone = {0, 0, 0, 0};
    DIALOGTEMPLATEINFO dialog;
    RECT position = rcNone;
    ExchangeRect(pSection, L"position", position, rcNone);
    ExchangeString(pSection, L"fontface", dialog.strFontFace, L"MS Sans Serif");
    ExchangeUInt(pSection, L"fontsize", dialog.nFontSize, 8);
    ExchangeBstr(pSection, L"caption", dialog.bstrCaption, L"");
    dialog.dwHelpID = ReadUnsigned(pSection, L"id", 0);
    dialog.dwExStyle = ReadUnsigned(pSection, L"styleex", 0);
    dialog.dwStyle = ReadUnsigned(pSection, L"style", 0) | DS_SETFONT;
    dialog.x = static_cast<short>(position.left);
    dialog.y = static_cast<short>(position.top);
    dialog.cx = static_cast<short>(position.right);   // the third and fourth numbers are
    dialog.cy = static_cast<short>(position.bottom);  // the width and the height

    CHLMPropExchangeEnumeratorPtr controls(pSection->CreateEnumerator(L"control"));
    for (DWORD nPosition = controls->GetPosition(0, TRUE); nPosition != 0;)
    {
        CHLMPropExchangeSection control(controls->GetNext(nPosition));
        auto* pItem = new DLGITEMTEMPLATEINFO;
        dialog.vecItems.push_back(pItem);
        RECT rc = rcNone;
        ExchangeRect(control, L"position", rc, rcNone);
        ExchangeBstr(control, L"caption", pItem->bstrCaption, L"");
        ExchangeString(control, L"class", pItem->strClass, L"STATIC");
        ExchangeUInt(control, L"resource", pItem->nResourceID, 0);
        pItem->dwStyle = ReadUnsigned(control, L"style", kDefaultControlStyle);
        pItem->dwExStyle = ReadUnsigned(control, L"styleex", 0);
        pItem->dwID = ReadUnsigned(control, L"id", 0xFFFFFFFF);
        pItem->x = static_cast<short>(rc.left);
        pItem->y = static_cast<short>(rc.top);
        pItem->cx = static_cast<short>(rc.right);
        pItem->cy = static_cast<short>(rc.bottom);
        ++dialog.cDlgItems;
    }
    return CreateDialogTemplate(dialog);
}

LPDLGTEMPLATE CHLMResourceManagerXML::CreateDialogTemplate(const DIALOGTEMPLATEINFO& dialog)
{
    ASSERT(dialog.cDlgItems == dialog.vecItems.size());
    if (dialog.bstrCaption == nullptr || dialog.cDlgItems != dialog.vecItems.size())
        return nullptr;
    size_t nHeader = 32 + 2 * wcslen(dialog.bstrCaption);
    if (dialog.dwStyle & DS_SETFONT)
        nHeader += 8 + 2 * static_cast<size_t>(dialog.strFontFace.GetLength());
    size_t nTotal = AlignToDword(nHeader);
    for (const DLGITEMTEMPLATEINFO* pItem : dialog.vecItems)
    {
        if (pItem->bstrCaption == nullptr)
            return nullptr;
        const size_t nTitle = pItem->nResourceID != 0 ? 2 : 2 * wcslen(pItem->bstrCaption);
        nTotal += AlignToDword(30 + 2 * static_cast<size_t>(pItem->strClass.GetLength()) + nTitle);
    }
    BYTE* pBuffer = static_cast<BYTE*>(calloc(nTotal, 1));
    if (pBuffer == nullptr)
        return nullptr;
    TemplateWriter writer(pBuffer);
    writer.Put(dialog.wDlgVer);
    writer.Put(dialog.wSignature);
    writer.Put(dialog.dwHelpID);
    writer.Put(dialog.dwExStyle);
    writer.Put(dialog.dwStyle);
    writer.Put(dialog.cDlgItems);
    writer.Put(dialog.x);
    writer.Put(dialog.y);
    writer.Put(dialog.cx);
    writer.Put(dialog.cy);
    writer.Put<WORD>(0);  // no menu
    writer.Put<WORD>(0);  // the default dialog class
    writer.PutText(dialog.bstrCaption);
    if (dialog.dwStyle & DS_SETFONT)
    {
        writer.Put(static_cast<WORD>(dialog.nFontSize));
        writer.Put<WORD>(0);  // weight
        writer.Put<BYTE>(0);  // italic
        writer.Put<BYTE>(0);  // charset
        writer.PutText(dialog.strFontFace);
    }
    for (const DLGITEMTEMPLATEINFO* pItem : dialog.vecItems)
    {
        writer.Align();
        writer.Put(pItem->dwHelpID);
        writer.Put(pItem->dwExStyle);
        writer.Put(pItem->dwStyle);
        writer.Put(pItem->x);
        writer.Put(pItem->y);
        writer.Put(pItem->cx);
        writer.Put(pItem->cy);
        writer.Put(pItem->dwID);
        writer.PutText(pItem->strClass);
        if (pItem->nResourceID != 0)
        {
            writer.Put<WORD>(0xFFFF);
            writer.Put(static_cast<WORD>(pItem->nResourceID));
        }
        else
        {
            writer.PutText(pItem->bstrCaption);
        }
        writer.Put<WORD>(0);  // extraCount
    }
    return reinterpret_cast<LPDLGTEMPLATE>(pBuffer);
}
