// The resource manager: loaders that try the resource module first and the program's own
// resources after it, the language of the resources in use and its code-page converters.
#include "hlmresourcemanager.h"

#include "hlmpropexchange.h"

HMODULE CHLMResourceManager::m_hResourceModule = nullptr;

namespace
{
CProcessLocal<CHLMResourceManager> g_instance;

const HLM_LANGUAGE_INFO kLanguages[] = {
    {0x0419, 1251, L"windows-1251", L"Russian", L"LANG_RUSSIAN", L"SUBLANG_DEFAULT", 204},
    {0x0411, 932, L"shift-jis", L"Japanese", L"LANG_JAPANESE", L"SUBLANG_DEFAULT", 128},
    {0x0401, 1256, L"windows-1256", L"Arabic (Saudi Arabia)", L"LANG_ARABIC", L"SUBLANG_ARABIC_SAUDI_ARABIA", 178},
    {0x0405, 1250, L"windows-1250", L"Czech", L"LANG_CZECH", L"SUBLANG_DEFAULT", 238},
    {0x0406, 1252, L"windows-1252", L"Danish", L"LANG_DANISH", L"SUBLANG_DEFAULT", 0},
    {0x0407, 1252, L"windows-1252", L"German (Germany)", L"LANG_GERMAN", L"SUBLANG_GERMAN", 0},
    {0x0408, 1253, L"windows-1253", L"Greek", L"LANG_GREEK", L"SUBLANG_DEFAULT", 161},
    {0x0409, 0, L"windows-1252", L"English (United States)", L"LANG_ENGLISH", L"SUBLANG_ENGLISH_US", 0},
    {0x0C0A, 1252, L"windows-1252", L"Spanish (Spain - Modern Sort)", L"LANG_SPANISH", L"SUBLANG_SPANISH_MODERN", 0},
    {0x0425, 1257, L"windows-1257", L"Estonian", L"LANG_ESTONIAN", L"SUBLANG_DEFAULT", 186},
    {0x040B, 1252, L"windows-1252", L"Finnish", L"LANG_FINNISH", L"SUBLANG_DEFAULT", 0},
    {0x040C, 1252, L"windows-1252", L"French (France)", L"LANG_FRENCH", L"SUBLANG_FRENCH", 0},
    {0x040D, 1255, L"windows-1255", L"Hebrew", L"LANG_HEBREW", L"SUBLANG_DEFAULT", 177},
    {0x041A, 1250, L"windows-1250", L"Croatian", L"LANG_CROATIAN", L"SUBLANG_DEFAULT", 238},
    {0x040E, 1250, L"windows-1250", L"Hungarian", L"LANG_HUNGARIAN", L"SUBLANG_DEFAULT", 238},
    {0x0410, 1252, L"windows-1252", L"Italian (Italy)", L"LANG_ITALIAN", L"SUBLANG_ITALIAN", 0},
    {0x0412, 949, L"ks_c_5601", L"Korean", L"LANG_KOREAN", L"SUBLANG_DEFAULT", 129},
    {0x0427, 1257, L"windows-1257", L"Lithuanian", L"LANG_LITHUANIAN", L"SUBLANG_LITHUANIAN", 186},
    {0x0426, 1257, L"windows-1257", L"Latvian", L"LANG_LATVIAN", L"SUBLANG_DEFAULT", 186},
    {0x0413, 1252, L"windows-1252", L"Dutch", L"LANG_DUTCH", L"SUBLANG_DUTCH", 0},
    {0x0414, 1252, L"windows-1252", L"Norwegian (Bokmal)", L"LANG_NORWEGIAN", L"SUBLANG_NORWEGIAN_BOKMAL", 0},
    {0x0415, 1250, L"windows-1250", L"Polish", L"LANG_POLISH", L"SUBLANG_DEFAULT", 238},
    {0x0816, 1252, L"windows-1252", L"Portuguese (Portugal)", L"LANG_PORTUGUESE", L"SUBLANG_PORTUGUESE", 0},
    {0x0416, 1252, L"windows-1252", L"Portuguese (Brazil)", L"LANG_PORTUGUESE", L"SUBLANG_PORTUGUESE_BRAZILIAN", 0},
    {0x0418, 1250, L"windows-1250", L"Romanian", L"LANG_ROMANIAN", L"SUBLANG_DEFAULT", 238},
    {0x041B, 1250, L"windows-1250", L"Slovak", L"LANG_SLOVAK", L"SUBLANG_DEFAULT", 238},
    {0x0424, 1250, L"windows-1250", L"Slovenian", L"LANG_SLOVENIAN", L"SUBLANG_DEFAULT", 238},
    {0x041D, 1252, L"windows-1252", L"Swedish", L"LANG_SWEDISH", L"SUBLANG_DEFAULT", 0},
    {0x041E, 874, L"windows-874", L"Thai", L"LANG_THAI", L"SUBLANG_DEFAULT", 222},
    {0x041F, 1254, L"windows-1254", L"Turkish", L"LANG_TURKISH", L"SUBLANG_DEFAULT", 162},
    {0x0422, 1251, L"windows-1251", L"Ukrainian ", L"LANG_UKRAINIAN", L"SUBLANG_DEFAULT", 204},
    {0x0402, 1251, L"windows-1251", L"Bulgarian", L"LANG_BULGARIAN", L"SUBLANG_DEFAULT", 204},
    {0x0804, 936, L"gb2312", L"Chinese (PRC)", L"LANG_CHINESE", L"SUBLANG_CHINESE_SIMPLIFIED", 134},
    {0x0404, 950, L"big5", L"Chinese (Taiwan)", L"LANG_CHINESE", L"SUBLANG_CHINESE_TRADITIONAL", 136},
};
constexpr LANGID kEnglishUS = 0x0409;

UINT CurrentCodePage()
{
    const HLM_LANGUAGE_INFO* pLanguage = CHLMResourceManager::GetInstance()->GetLanguageInfo();
    return pLanguage != nullptr && pLanguage->nCodePage != 0 ? pLanguage->nCodePage : CP_ACP;
}

// Language detection: the first language that is neither neutral nor U.S. English wins;
// U.S. English is kept while nothing else turns up.
struct LanguageSearch
{
    LANGID wFound = 0;
    BOOL Done() const { return wFound != 0 && wFound != kEnglishUS; }
};

BOOL CALLBACK OnResourceLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD wLanguage, LONG_PTR lParam)
{
    LanguageSearch* pSearch = reinterpret_cast<LanguageSearch*>(lParam);
    if (wLanguage != 0 && (pSearch->wFound == 0 || pSearch->wFound == kEnglishUS))
        pSearch->wFound = wLanguage;
    return !pSearch->Done();
}

BOOL CALLBACK OnResourceName(HMODULE hModule, LPCWSTR lpszType, LPWSTR lpszName, LONG_PTR lParam)
{
    const ENUMRESLANGPROCW pfnLanguage = OnResourceLanguage;
    EnumResourceLanguagesW(hModule, lpszType, lpszName, pfnLanguage, lParam);
    return !reinterpret_cast<LanguageSearch*>(lParam)->Done();
}

BOOL CALLBACK OnResourceType(HMODULE hModule, LPWSTR lpszType, LONG_PTR lParam)
{
    const ENUMRESNAMEPROCW pfnName = OnResourceName;
    EnumResourceNamesW(hModule, lpszType, pfnName, lParam);
    return !reinterpret_cast<LanguageSearch*>(lParam)->Done();
}

// The module of the resource: the resource module first, then the program's own.
HMODULE FindInModules(LPCTSTR lpszName, LPCTSTR lpszType, HRSRC* phResource)
{
    HMODULE hModule = CHLMResourceManager::m_hResourceModule;
    if (hModule != nullptr && (*phResource = FindResourceW(hModule, lpszName, lpszType)) != nullptr)
        return hModule;
    hModule = AfxGetResourceHandle();
    if (hModule != nullptr && (*phResource = FindResourceW(hModule, lpszName, lpszType)) != nullptr)
        return hModule;
    return nullptr;
}

BOOL ModuleHolds(LPCTSTR lpszName, LPCTSTR lpszType)
{
    return CHLMResourceManager::m_hResourceModule != nullptr &&
           FindResourceW(CHLMResourceManager::m_hResourceModule, lpszName, lpszType) != nullptr;
}
}  // namespace

// ---------------------------------------------------------------------------------------

CHLMResourceManager::CHLMResourceManager() : m_bValid(TRUE), m_hLibrary(nullptr), m_pLanguage(FindLanguageInfo(kEnglishUS))
{
}

CHLMResourceManager::~CHLMResourceManager()
{
    CHLMResourceManager::Close();
}

CHLMResourceManager* PASCAL CHLMResourceManager::GetInstance()
{
    return g_instance.GetData();
}

BOOL PASCAL CHLMResourceManager::ReplaceManager(CHLMResourceManager* pNewManager)
{
    if (pNewManager == nullptr)
        return FALSE;
    CHLMResourceManager* pOld = g_instance.GetDataNA();
    if (pNewManager == pOld)
        return TRUE;
    if (!pNewManager->m_bValid)
    {
        delete pNewManager;
        return FALSE;
    }
    // No load may reach the old library once it is freed.
    if (pOld != nullptr && pOld->m_hLibrary != nullptr && m_hResourceModule == pOld->m_hLibrary)
        m_hResourceModule = AfxGetInstanceHandle();
    pNewManager->UpdateLanguage();
    g_instance.m_pObject = pNewManager;
    delete pOld;
    return TRUE;
}

void CHLMResourceManager::OpenResourceFile(LPCTSTR lpszPath)
{
    CString path(lpszPath != nullptr ? lpszPath : L"");
    if (path.GetLength() >= 4 && path.Right(4).CompareNoCase(L".xml") == 0)
    {
        ReplaceManager(new CHLMResourceManagerXML(path));
        return;
    }
    CHLMResourceManager* pManager = new CHLMResourceManager;
    if (!path.IsEmpty())
        pManager->m_hLibrary = LoadLibraryW(path);
    SetResourceHandle(pManager->m_hLibrary != nullptr ? pManager->m_hLibrary : AfxGetInstanceHandle());
    ReplaceManager(pManager);
}

void CHLMResourceManager::SetResourceHandle(HMODULE hModule)
{
    m_hResourceModule = hModule;
    UpdateLanguage();
}

void CHLMResourceManager::SetLanguage(LANGID wLanguage)
{
    m_pLanguage = FindLanguageInfo(wLanguage);
    if (m_pLanguage == nullptr)
        m_pLanguage = FindLanguageInfo(kEnglishUS);
}

const HLM_LANGUAGE_INFO* PASCAL CHLMResourceManager::FindLanguageInfo(LANGID wLanguage)
{
    for (const HLM_LANGUAGE_INFO& info : kLanguages)
        if (info.wLanguage == wLanguage)
            return &info;
    return nullptr;
}

LANGID PASCAL CHLMResourceManager::GetResourceLanguage(HMODULE hModule)
{
    LanguageSearch search;
    const ENUMRESTYPEPROCW pfnType = OnResourceType;
    EnumResourceTypesW(hModule, pfnType, reinterpret_cast<LONG_PTR>(&search));
    return search.wFound;
}

void CHLMResourceManager::UpdateLanguage()
{
    // A module of neutral resources only (or none) keeps English.
    SetLanguage(GetResourceLanguage(m_hResourceModule != nullptr ? m_hResourceModule : AfxGetInstanceHandle()));
}

LANGID CHLMResourceManager::GetLanguageId()
{
    return m_pLanguage != nullptr ? m_pLanguage->wLanguage : kEnglishUS;
}

void CHLMResourceManager::Close()
{
    if (m_hLibrary != nullptr)
        FreeLibrary(m_hLibrary);
    m_hLibrary = nullptr;
}

// ---------------------------------------------------------------------------------------
// Loaders

int PASCAL CHLMResourceManager::LoadStringFromModule(HINSTANCE hModule, UINT nID, CString* pText)
{
    if (pText == nullptr)
        return 0;
    pText->Empty();
    HRSRC hBlock = FindResourceW(hModule, MAKEINTRESOURCEW(nID / 16 + 1), RT_STRING);
    HGLOBAL hData = hBlock != nullptr ? LoadResource(hModule, hBlock) : nullptr;
    const WCHAR* p = hData != nullptr ? static_cast<const WCHAR*>(LockResource(hData)) : nullptr;
    if (p == nullptr)
        return 0;
    const WCHAR* pEnd = p + SizeofResource(hModule, hBlock) / sizeof(WCHAR);
    for (UINT i = 0; i < nID % 16 && p < pEnd; ++i)
        p += 1 + *p;
    if (p >= pEnd || *p == 0 || p + 1 + *p > pEnd)
        return 0;
    pText->SetString(p + 1, *p);
    return *p;
}

BOOL CHLMResourceManager::LoadString(CString* pText, UINT nID)
{
    if (pText == nullptr)
        return FALSE;
    if (m_hResourceModule != nullptr && LoadStringFromModule(m_hResourceModule, nID, pText) > 0)
        return TRUE;
    return pText->LoadString(nID);
}

CString CHLMResourceManager::LoadString(UINT nID, BOOL* pbError)
{
    CString text;
    const BOOL bFound = LoadString(&text, nID);
    if (pbError != nullptr)
        *pbError = !bFound;
    return text;
}

BOOL CHLMResourceManager::LoadMenu(CMenu* pMenu, UINT nID)
{
    if (pMenu == nullptr)
        return FALSE;
    if (ModuleHolds(MAKEINTRESOURCEW(nID), RT_MENU))
    {
        CHLMResourceHandleSwitch resources;
        if (pMenu->LoadMenu(nID))
            return TRUE;
    }
    return pMenu->LoadMenu(nID);
}

BOOL CHLMResourceManager::LoadBitmap(CBitmap* pBitmap, UINT nID)
{
    if (pBitmap == nullptr)
        return FALSE;
    if (ModuleHolds(MAKEINTRESOURCEW(nID), RT_BITMAP))
    {
        CHLMResourceHandleSwitch resources;
        if (pBitmap->LoadBitmap(nID))
            return TRUE;
    }
    return pBitmap->LoadBitmap(nID);
}

HCURSOR CHLMResourceManager::LoadCursor(UINT nID)
{
    HRSRC hResource = nullptr;
    HMODULE hModule = FindInModules(MAKEINTRESOURCEW(nID), RT_GROUP_CURSOR, &hResource);
    return hModule != nullptr ? ::LoadCursorW(hModule, MAKEINTRESOURCEW(nID)) : nullptr;
}

BOOL CHLMResourceManager::LoadToolBar(CToolBar* pToolBar, UINT nID)
{
    if (pToolBar == nullptr)
        return FALSE;
    CHLMResourceHandleSwitch resources;
    return pToolBar->LoadToolBar(nID);
}

HGLOBAL CHLMResourceManager::LoadDialogResource(LPCTSTR lpszName)
{
    HRSRC hResource = nullptr;
    HMODULE hModule = FindInModules(lpszName, RT_DIALOG, &hResource);
    return hModule != nullptr ? LoadResource(hModule, hResource) : nullptr;
}

LPCDLGTEMPLATE CHLMResourceManager::LoadDialogTemplate(UINT nID)
{
    HGLOBAL hData = LoadDialogResource(MAKEINTRESOURCEW(nID));
    return hData != nullptr ? static_cast<LPCDLGTEMPLATE>(LockResource(hData)) : nullptr;
}

BOOL CHLMResourceManager::LoadHTML(CString* pText, UINT nID)
{
    if (pText == nullptr)
        return FALSE;
    HMODULE hModule = m_hResourceModule != nullptr ? m_hResourceModule : GetModuleHandleW(nullptr);
    HRSRC hResource = FindResourceW(hModule, MAKEINTRESOURCEW(nID), RT_HTML);
    if (hResource == nullptr)
    {
        hModule = AfxGetResourceHandle();
        hResource = hModule != nullptr ? FindResourceW(hModule, MAKEINTRESOURCEW(nID), RT_HTML) : nullptr;
    }
    HGLOBAL hData = hResource != nullptr ? LoadResource(hModule, hResource) : nullptr;
    const char* pBytes = hData != nullptr ? static_cast<const char*>(LockResource(hData)) : nullptr;
    if (pBytes == nullptr)
        return FALSE;
    const int nBytes = static_cast<int>(SizeofResource(hModule, hResource));
    std::vector<wchar_t> buffer(static_cast<size_t>(nBytes) * 2 + 2, 0);
    const int nChars = MultiByteToWideChar(CP_ACP, 0, pBytes, nBytes, buffer.data(), static_cast<int>(buffer.size()) - 1);
    pText->SetString(buffer.data(), std::max(nChars, 0));
    return nChars > 0;
}

HICON CHLMResourceManager::LoadIcon(LPCTSTR lpszName, int cx, int cy)
{
    if (ModuleHolds(lpszName, RT_GROUP_ICON))
    {
        HICON hIcon = static_cast<HICON>(LoadImageW(m_hResourceModule, lpszName, IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
        if (hIcon != nullptr)
            return hIcon;
    }
    HINSTANCE hApplication = AfxGetResourceHandle();
    if (hApplication == nullptr)
        return nullptr;
    return static_cast<HICON>(LoadImageW(hApplication, lpszName, IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
}

HICON CHLMResourceManager::LoadIcon(UINT nID, int cx, int cy)
{
    return LoadIcon(MAKEINTRESOURCEW(nID), cx, cy);
}

HICON CHLMResourceManager::CreateIconFromResource(HINSTANCE hModule, LPCTSTR lpszName, int cx, int cy)
{
    HRSRC hGroup = FindResourceW(hModule, lpszName, RT_GROUP_ICON);
    HGLOBAL hGroupData = hGroup != nullptr ? LoadResource(hModule, hGroup) : nullptr;
    BYTE* pDirectory = hGroupData != nullptr ? static_cast<BYTE*>(LockResource(hGroupData)) : nullptr;
    if (pDirectory == nullptr)
        return nullptr;
    const int nIconID = LookupIconIdFromDirectoryEx(pDirectory, TRUE, cx, cy, 0);
    HRSRC hIcon = nIconID != 0 ? FindResourceW(hModule, MAKEINTRESOURCEW(nIconID), RT_ICON) : nullptr;
    HGLOBAL hIconData = hIcon != nullptr ? LoadResource(hModule, hIcon) : nullptr;
    BYTE* pBits = hIconData != nullptr ? static_cast<BYTE*>(LockResource(hIconData)) : nullptr;
    if (pBits == nullptr)
        return nullptr;
    return CreateIconFromResourceEx(pBits, SizeofResource(hModule, hIcon), TRUE, 0x30000, cx, cy, 0);
}

// ---------------------------------------------------------------------------------------
// Message boxes, menus and converters

int CHLMResourceManager::ShowMessageBox(UINT nStringID, UINT nType)
{
    CString text;
    VERIFY(LoadString(&text, nStringID));
    return ShowMessageBox(text, nType);
}

int CHLMResourceManager::ShowMessageBox(LPCTSTR lpszText, UINT nType)
{
    if (m_pLanguage != nullptr && (m_pLanguage->nCodePage == 1256 || m_pLanguage->nCodePage == 1255))
        nType |= MB_RTLREADING;
    return AfxMessageBox(lpszText, nType, 0);
}

int CHLMResourceManager::GetMenuString(CMenu* pMenu, UINT nItem, CString& strText, UINT nFlags)
{
    if (pMenu == nullptr || pMenu->m_hMenu == nullptr)
        return 0;
    const int nLength = ::GetMenuStringW(pMenu->m_hMenu, nItem, nullptr, 0, nFlags);
    if (nLength <= 0)
    {
        strText.Empty();
        return nLength;
    }
    ::GetMenuStringW(pMenu->m_hMenu, nItem, strText.GetBuffer(nLength + 1), nLength + 1, nFlags);
    strText.ReleaseBuffer();
    return nLength;
}

CHLMResourceManager::WideToMultiByte::WideToMultiByte(LPCWSTR lpszText)
{
    if (lpszText == nullptr)
    {
        m_vecBuffer.assign(1, 0);
        return;
    }
    const UINT nCodePage = CurrentCodePage();
    const int nNeeded = std::max(WideCharToMultiByte(nCodePage, 0, lpszText, -1, nullptr, 0, nullptr, nullptr), 0);
    m_vecBuffer.assign(static_cast<size_t>(nNeeded) + 1, 0);
    WideCharToMultiByte(nCodePage, 0, lpszText, -1, m_vecBuffer.data(), nNeeded, nullptr, nullptr);
}

CHLMResourceManager::MultiByteToWide::MultiByteToWide(LPCSTR lpszText)
{
    if (lpszText == nullptr)
    {
        m_vecBuffer.assign(1, 0);
        return;
    }
    const UINT nCodePage = CurrentCodePage();
    const int nNeeded = std::max(MultiByteToWideChar(nCodePage, 0, lpszText, -1, nullptr, 0), 0);
    m_vecBuffer.assign(static_cast<size_t>(nNeeded) + 1, 0);
    MultiByteToWideChar(nCodePage, 0, lpszText, -1, m_vecBuffer.data(), nNeeded);
}

CHLMResourceHandleSwitch::CHLMResourceHandleSwitch() : m_hPrevious(AfxGetResourceHandle())
{
    if (CHLMResourceManager::m_hResourceModule != nullptr)
        AfxSetResourceHandle(CHLMResourceManager::m_hResourceModule);
}

CHLMResourceHandleSwitch::~CHLMResourceHandleSwitch()
{
    AfxSetResourceHandle(m_hPrevious);
}
