// The resource manager: the one place from which the toolkit loads its localisable
// resources, from a resource library, from an XML resource file, or failing those from the
// program's own resources; it knows the language in use and converts text in its code page.
//
//   CHLMResourceManager::GetInstance()->OpenResourceFile(L"german.dll");
//   CString text;
//   CHLMResourceManager::GetInstance()->LoadString(&text, IDS_TITLE);
#pragma once

#include <afxext.h>
#include <afxtempl.h>
#include <afxtls_.h>
#include <afxwin.h>

#include <vector>

class CHLMPropExchangeXMLNode;

// One language of the table: its code page (0: the system's ANSI one), names and charset.
struct HLM_LANGUAGE_INFO
{
    LANGID wLanguage;
    UINT nCodePage;
    LPCWSTR lpszCharset;
    LPCWSTR lpszDisplayName;
    LPCWSTR lpszLanguage;
    LPCWSTR lpszSubLanguage;
    UINT nFontCharset;
};

class CHLMResourceManager : public CNoTrackObject
{
public:
    CHLMResourceManager();
    ~CHLMResourceManager() override;

    virtual CString LoadString(UINT nID, BOOL* pbError);
    virtual BOOL LoadString(CString* pText, UINT nID);
    virtual BOOL LoadMenu(CMenu* pMenu, UINT nID);
    virtual BOOL LoadToolBar(CToolBar* pToolBar, UINT nID);
    virtual BOOL LoadBitmap(CBitmap* pBitmap, UINT nID);
    virtual HCURSOR LoadCursor(UINT nID);
    virtual LPCDLGTEMPLATE LoadDialogTemplate(UINT nID);
    virtual HGLOBAL LoadDialogResource(LPCTSTR lpszName);
    virtual BOOL LoadHTML(CString* pText, UINT nID);
    virtual HICON LoadIcon(UINT nID, int cx, int cy);
    virtual HICON LoadIcon(LPCTSTR lpszName, int cx, int cy);
    virtual HICON CreateIconFromResource(HINSTANCE hModule, LPCTSTR lpszName, int cx, int cy);
    virtual void Close();
    virtual LANGID GetLanguageId();
    virtual void UpdateLanguage();

    // The process's manager, a plain one created on first use.
    static CHLMResourceManager* PASCAL GetInstance();
    // Installs another manager (an invalid one is deleted); the current one is deleted.
    static BOOL PASCAL ReplaceManager(CHLMResourceManager* pNewManager);

    // Switches to a resource library, or to an XML resource file (a name ending in ".xml").
    void OpenResourceFile(LPCTSTR lpszPath);
    void SetResourceHandle(HMODULE hModule);
    static HMODULE PASCAL GetResourceHandle() { return m_hResourceModule; }

    void SetLanguage(LANGID wLanguage);
    const HLM_LANGUAGE_INFO* GetLanguageInfo() const { return m_pLanguage; }
    static const HLM_LANGUAGE_INFO* PASCAL FindLanguageInfo(LANGID wLanguage);
    static LANGID PASCAL GetResourceLanguage(HMODULE hModule);
    static int PASCAL LoadStringFromModule(HINSTANCE hModule, UINT nID, CString* pText);

    int ShowMessageBox(UINT nStringID, UINT nType);
    int ShowMessageBox(LPCTSTR lpszText, UINT nType);
    int GetMenuString(CMenu* pMenu, UINT nItem, CString& strText, UINT nFlags);

    BOOL IsValid() const { return m_bValid; }

    // Text in the current language's code page; an empty string for no text.
    class WideToMultiByte
    {
    public:
        explicit WideToMultiByte(LPCWSTR lpszText);
        operator LPCSTR() const { return m_vecBuffer.data(); }

    private:
        std::vector<char> m_vecBuffer;
    };
    class MultiByteToWide
    {
    public:
        explicit MultiByteToWide(LPCSTR lpszText);
        operator LPCWSTR() const { return m_vecBuffer.data(); }

    private:
        std::vector<wchar_t> m_vecBuffer;
    };

    // The module every loader searches first (null: the program's own resources only).
    static HMODULE m_hResourceModule;

protected:
    BOOL m_bValid;
    HMODULE m_hLibrary;
    const HLM_LANGUAGE_INFO* m_pLanguage;
};

// While it lives, the framework's resource handle is the resource manager's module.
class CHLMResourceHandleSwitch
{
public:
    CHLMResourceHandleSwitch();
    ~CHLMResourceHandleSwitch();
    CHLMResourceHandleSwitch(const CHLMResourceHandleSwitch&) = delete;
    void operator=(const CHLMResourceHandleSwitch&) = delete;

private:
    HINSTANCE m_hPrevious;
};

// The resource manager fed from an XML resource file: strings, menus and dialogs come from
// the file, everything else (and whatever the file lacks) from the base manager.
class CHLMResourceManagerXML : public CHLMResourceManager
{
public:
    // Submenus are read to kMostMenuDepth levels below the menu bar.
    static constexpr UINT kMostMenuDepth = 16;
    struct MENUITEMTEMPLATEINFO
    {
        WORD wOptions = 0;
        WORD wID = 0;
        BSTR bstrCaption = nullptr;
        ~MENUITEMTEMPLATEINFO() { SysFreeString(bstrCaption); }
    };
    struct DLGITEMTEMPLATEINFO
    {
        DWORD dwHelpID = 0;
        DWORD dwExStyle = 0;
        DWORD dwStyle = 0;
        short x = 0, y = 0, cx = 0, cy = 0;
        DWORD dwID = 0;
        BSTR bstrCaption = nullptr;
        CString strClass;
        UINT nResourceID = 0;
        ~DLGITEMTEMPLATEINFO() { SysFreeString(bstrCaption); }
    };
    struct DIALOGTEMPLATEINFO
    {
        WORD wDlgVer = 1;
        WORD wSignature = 0xFFFF;
        DWORD dwHelpID = 0;
        DWORD dwExStyle = 0;
        DWORD dwStyle = 0;
        WORD cDlgItems = 0;
        short x = 0, y = 0, cx = 0, cy = 0;
        BSTR bstrCaption = nullptr;
        CString strFontFace;
        UINT nFontSize = 8;
        std::vector<DLGITEMTEMPLATEINFO*> vecItems;
        ~DIALOGTEMPLATEINFO();
    };

    explicit CHLMResourceManagerXML(LPCTSTR lpszPath);
    explicit CHLMResourceManagerXML(CHLMPropExchangeXMLNode* pRoot);
    ~CHLMResourceManagerXML() override;

    BOOL LoadString(CString* pText, UINT nID) override;
    using CHLMResourceManager::LoadString;
    BOOL LoadMenu(CMenu* pMenu, UINT nID) override;
    LPCDLGTEMPLATE LoadDialogTemplate(UINT nID) override;
    void Close() override;
    void UpdateLanguage() override;

protected:
    // The element with this id ('string[@id = "5"]'), opened as a section; NULL when missing.
    CHLMPropExchangeXMLNode* OpenElement(LPCTSTR lpszKind, UINT nID);
    void AddMenuItems(CHLMPropExchangeXMLNode* pSection, std::vector<MENUITEMTEMPLATEINFO*>& items, UINT nDepth = 0);
    BOOL LoadMenuTemplate(CMenu* pMenu, CHLMPropExchangeXMLNode* pSection);
    LPDLGTEMPLATE BuildDialogTemplate(CHLMPropExchangeXMLNode* pSection);
    LPDLGTEMPLATE CreateDialogTemplate(const DIALOGTEMPLATEINFO& dialog);

    CHLMPropExchangeXMLNode* m_pRoot;
    CMap<UINT, UINT, LPDLGTEMPLATE, LPDLGTEMPLATE> m_mapTemplates;
};
