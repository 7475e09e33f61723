// The resource manager over the resource libraries built with the tests (reslib.dll: German
// and English strings, menus, dialogs, an HTML page, a toolbar; reslib_en.dll: English only)
// and over XML resource files; fallback to the test program's own resources.
#include <gtest/gtest.h>

#include "common/hlmpropexchange.h"
#include "common/hlmresourcemanager.h"
#include "testpaths.h"

#include <string>
#include <vector>

namespace
{
// Each test starts from a plain manager over the program's own resources.
class ResourceManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        Manager()->OpenResourceFile(L"");
    }
    void TearDown() override
    {
        Manager()->OpenResourceFile(L"");
        CoUninitialize();
    }
    static CHLMResourceManager* Manager() { return CHLMResourceManager::GetInstance(); }
    static CString String(UINT nID)
    {
        CString text;
        Manager()->LoadString(&text, nID);
        return text;
    }
};

std::vector<UINT> g_messageBoxTypes;
int RecordMessageBox(LPCTSTR, LPCTSTR, UINT nType)
{
    g_messageBoxTypes.push_back(nType);
    return IDOK;
}

std::wstring WindowText(HWND hWnd)
{
    wchar_t text[256] = {};
    GetWindowTextW(hWnd, text, 256);
    return text;
}

std::wstring ClassOf(HWND hWnd)
{
    wchar_t name[64] = {};
    GetClassNameW(hWnd, name, 64);
    return name;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}
}  // namespace

TEST_F(ResourceManagerTest, LanguageOfLibraries)
{
    HMODULE hGerman = LoadLibraryW(BesideTestProgram(L"reslib.dll").c_str());
    HMODULE hEnglish = LoadLibraryW(BesideTestProgram(L"reslib_en.dll").c_str());
    ASSERT_NE(hGerman, nullptr);
    ASSERT_NE(hEnglish, nullptr);
    EXPECT_EQ(CHLMResourceManager::GetResourceLanguage(hGerman), 0x0407);
    EXPECT_EQ(CHLMResourceManager::GetResourceLanguage(hEnglish), 0x0409);
    FreeLibrary(hGerman);
    FreeLibrary(hEnglish);

    Manager()->OpenResourceFile(BesideTestProgram(L"reslib.dll").c_str());
    EXPECT_EQ(Manager()->GetLanguageId(), 0x0407);
    EXPECT_EQ(Manager()->GetLanguageInfo()->nCodePage, 1252u);
    Manager()->OpenResourceFile(BesideTestProgram(L"reslib_en.dll").c_str());
    EXPECT_EQ(Manager()->GetLanguageId(), 0x0409);
    Manager()->SetLanguage(0x0C07);  // German (Austria): not in the table
    EXPECT_EQ(Manager()->GetLanguageId(), 0x0409);
}

TEST_F(ResourceManagerTest, LibraryFirstThenTheProgramsOwn)
{
    EXPECT_STREQ(String(900), L"Framework test string");
    Manager()->OpenResourceFile(BesideTestProgram(L"reslib.dll").c_str());
    ASSERT_NE(CHLMResourceManager::m_hResourceModule, AfxGetInstanceHandle());
    EXPECT_STREQ(String(900), L"Bibliothek");
    EXPECT_STREQ(String(1000), L"Hallo Welt");
    EXPECT_STREQ(String(2000), L"English only");
    EXPECT_STREQ(String(901), L"%s has %d items");  // its block is in the library, the entry is not
    BOOL bError = FALSE;
    EXPECT_STREQ(Manager()->LoadString(4321, &bError), L"");
    EXPECT_TRUE(bError);

    CMenu menu;
    ASSERT_TRUE(Manager()->LoadMenu(&menu, 200));
    HMENU hFile = GetSubMenu(menu.m_hMenu, 0);
    EXPECT_EQ(GetMenuItemCount(hFile), 3);
    CMenu file;
    file.Attach(hFile);
    CString text;
    EXPECT_EQ(Manager()->GetMenuString(&file, 2, text, MF_BYPOSITION), 8);
    EXPECT_STREQ(text, L"&Beenden");
    file.Detach();
    CMenu missing;
    EXPECT_FALSE(Manager()->LoadMenu(&missing, 4321));

    LPCDLGTEMPLATE pTemplate = Manager()->LoadDialogTemplate(300);
    ASSERT_NE(pTemplate, nullptr);
    HWND hDialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), pTemplate, nullptr, QuietDialogProc, 0);
    ASSERT_NE(hDialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(hDialog));
    EXPECT_EQ(WindowText(GetDlgItem(hDialog, 301)), L"Text");
    DestroyWindow(hDialog);

    CString page;
    EXPECT_TRUE(Manager()->LoadHTML(&page, 400));
    EXPECT_STREQ(page, L"<html><body>Caf\x00E9 page</body></html>");  // read in the ANSI code page
    EXPECT_FALSE(Manager()->LoadHTML(nullptr, 400));
}

TEST_F(ResourceManagerTest, ToolBarFromTheLibrary)
{
    Manager()->OpenResourceFile(BesideTestProgram(L"reslib.dll").c_str());
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    CToolBar toolBar;
    ASSERT_TRUE(toolBar.Create(&parent));
    ASSERT_TRUE(Manager()->LoadToolBar(&toolBar, 500));
    ASSERT_EQ(toolBar.GetCount(), 3);
    EXPECT_EQ(toolBar.GetItemID(0), 501u);
    EXPECT_EQ(toolBar.GetItemID(1), 0u);
    EXPECT_EQ(toolBar.GetItemID(2), 502u);
    EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());  // the switch ended with the load
    parent.DestroyWindow();
}

TEST_F(ResourceManagerTest, ReplacingManagers)
{
    CHLMResourceManager* pCurrent = Manager();
    EXPECT_TRUE(CHLMResourceManager::ReplaceManager(pCurrent));  // nothing deleted
    EXPECT_EQ(Manager(), pCurrent);
    EXPECT_EQ(CHLMResourceManager::m_hResourceModule, AfxGetInstanceHandle());
    EXPECT_FALSE(CHLMResourceManager::ReplaceManager(nullptr));

    // A library manager replaced by an XML one: the module goes back to the program's own
    // before the library is freed.
    Manager()->OpenResourceFile(BesideTestProgram(L"reslib.dll").c_str());
    const std::wstring folder = MakeTestFolder(L"resourcemanager");
    const std::wstring xml = folder + L"\\strings.XmL";
    const char text[] = "<resource CompactMode=\"1\" LANGID=\"1049\"><string id=\"5\" value=\"x\"/></resource>";
    HANDLE hFile = CreateFileW(xml.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD nWritten = 0;
    WriteFile(hFile, text, sizeof(text) - 1, &nWritten, nullptr);
    CloseHandle(hFile);
    Manager()->OpenResourceFile(xml.c_str());
    EXPECT_NE(dynamic_cast<CHLMResourceManagerXML*>(Manager()), nullptr);
    EXPECT_EQ(CHLMResourceManager::m_hResourceModule, AfxGetInstanceHandle());
    EXPECT_EQ(Manager()->GetLanguageId(), 0x0419);
    EXPECT_STREQ(String(900), L"Framework test string");

    // A file that does not load leaves the manager in place; "xml" needs its dot.
    CHLMResourceManager* pXml = Manager();
    Manager()->OpenResourceFile((folder + L"\\missing.xml").c_str());
    EXPECT_EQ(Manager(), pXml);
    Manager()->OpenResourceFile(L"xml");
    EXPECT_EQ(dynamic_cast<CHLMResourceManagerXML*>(Manager()), nullptr);
}

TEST_F(ResourceManagerTest, ConvertersAndMessageBoxes)
{
    EXPECT_STREQ(static_cast<LPCSTR>(CHLMResourceManager::WideToMultiByte(nullptr)), "");
    EXPECT_STREQ(static_cast<LPCWSTR>(CHLMResourceManager::MultiByteToWide(nullptr)), L"");
    Manager()->SetLanguage(0x0419);
    EXPECT_STREQ(static_cast<LPCSTR>(CHLMResourceManager::WideToMultiByte(L"\x0416!")), "\xC6!");
    EXPECT_STREQ(static_cast<LPCWSTR>(CHLMResourceManager::MultiByteToWide("\xC6")), L"\x0416");
    Manager()->SetLanguage(0x0409);  // code page 0: the system's ANSI code page
    EXPECT_STREQ(static_cast<LPCSTR>(CHLMResourceManager::WideToMultiByte(L"\x00E9")),
                 std::string(1, static_cast<char>(GetACP() == 1252 ? 0xE9 : '?')).c_str());

    g_messageBoxTypes.clear();
    AFX_MESSAGEBOX_HANDLER pfnPrevious = AfxSetMessageBoxHandler(RecordMessageBox);
    Manager()->ShowMessageBox(900, MB_OK);
    Manager()->SetLanguage(0x040D);
    Manager()->ShowMessageBox(L"Hebrew", MB_YESNO);
    Manager()->SetLanguage(0x0401);
    Manager()->ShowMessageBox(L"Arabic", MB_OK);
    AfxSetMessageBoxHandler(pfnPrevious);
    ASSERT_EQ(g_messageBoxTypes.size(), 3u);
    EXPECT_EQ(g_messageBoxTypes[0] & MB_RTLREADING, 0u);
    EXPECT_EQ(g_messageBoxTypes[1] & (MB_TYPEMASK | MB_RTLREADING), static_cast<UINT>(MB_YESNO | MB_RTLREADING));
    EXPECT_NE(g_messageBoxTypes[2] & MB_RTLREADING, 0u);
}

// ---------------------------------------------------------------------------------------
// XML resource manager

namespace
{
const wchar_t kResourceXml[] =
    L"<resource CompactMode=\"1\" LANGID=\"1031\">"
    L"<string id=\"5\" value=\"two\\nlines\"/>"
    L"<string id=\"900\"/>"
    L"<menu id=\"200\"><menuitem caption=\"File\">"
    L"<menuitem id=\"101\" caption=\"Open\"/><menuitem/><menuitem id=\"102\" caption=\"Exit\"/>"
    L"</menuitem></menu>"
    L"<menu id=\"201\"/>"
    // WS_POPUP | WS_CAPTION written without sign: it must not saturate.
    L"<dialog id=\"300\" caption=\"XML dialog\" style=\"2160066560\" position=\"0, 0, 120, 60\">"
    L"<control class=\"BUTTON\" id=\"1\" caption=\"OK\" position=\"7, 7, 50, 14\" style=\"1342242816\"/>"
    L"<control caption=\"Label\" position=\"7, 25, 50, 10\"/>"
    L"</dialog>"
    L"</resource>";

CHLMResourceManagerXML* LoadXmlManager(const wchar_t* text)
{
    auto* pRoot = new CHLMPropExchangeXMLNode(TRUE, nullptr, L"resource");
    if (!pRoot->LoadFromString(text))
    {
        pRoot->InternalRelease();
        return nullptr;
    }
    return new CHLMResourceManagerXML(pRoot);
}
}  // namespace

TEST_F(ResourceManagerTest, XmlStringsMenusAndDialogs)
{
    ASSERT_TRUE(CHLMResourceManager::ReplaceManager(LoadXmlManager(kResourceXml)));
    EXPECT_EQ(Manager()->GetLanguageId(), 0x0407);
    EXPECT_STREQ(String(5), L"two\nlines");
    EXPECT_STREQ(String(900), L"Framework test string");  // no "value": the program's own

    CMenu menu;
    ASSERT_TRUE(Manager()->LoadMenu(&menu, 200));
    ASSERT_EQ(GetMenuItemCount(menu.m_hMenu), 1);
    wchar_t caption[64] = {};
    GetMenuStringW(menu.m_hMenu, 0, caption, 64, MF_BYPOSITION);
    EXPECT_STREQ(caption, L"File");
    HMENU hFile = GetSubMenu(menu.m_hMenu, 0);
    ASSERT_EQ(GetMenuItemCount(hFile), 3);
    GetMenuStringW(hFile, 102, caption, 64, MF_BYCOMMAND);
    EXPECT_STREQ(caption, L"Exit");
    EXPECT_EQ(GetMenuItemID(hFile, 0), 101u);
    EXPECT_NE(GetMenuState(hFile, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    CMenu empty;
    EXPECT_FALSE(Manager()->LoadMenu(&empty, 201));  // no items, and the program has no menu 201

    LPCDLGTEMPLATE pTemplate = Manager()->LoadDialogTemplate(300);
    ASSERT_NE(pTemplate, nullptr);
    EXPECT_EQ(Manager()->LoadDialogTemplate(300), pTemplate);  // cached
    HWND hDialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), pTemplate, nullptr, QuietDialogProc, 0);
    ASSERT_NE(hDialog, nullptr);
    EXPECT_NE(GetWindowLongW(hDialog, GWL_STYLE) & WS_POPUP, 0);
    EXPECT_FALSE(IsWindowVisible(hDialog));
    EXPECT_EQ(WindowText(hDialog), L"XML dialog");
    HWND hButton = GetDlgItem(hDialog, 1);
    ASSERT_NE(hButton, nullptr);
    EXPECT_EQ(ClassOf(hButton), L"Button");
    EXPECT_EQ(WindowText(hButton), L"OK");
    RECT expected = {7, 7, 7 + 50, 7 + 14};
    MapDialogRect(hDialog, &expected);
    RECT actual = {};
    GetWindowRect(hButton, &actual);
    MapWindowPoints(nullptr, hDialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.right - actual.left, expected.right - expected.left);
    EXPECT_EQ(actual.bottom - actual.top, expected.bottom - expected.top);
    HWND hLabel = GetWindow(hButton, GW_HWNDNEXT);
    ASSERT_NE(hLabel, nullptr);
    EXPECT_EQ(ClassOf(hLabel), L"Static");
    EXPECT_EQ(WindowText(hLabel), L"Label");
    EXPECT_EQ(GetDlgCtrlID(hLabel) & 0xFFFF, 0xFFFF);
    DestroyWindow(hDialog);

    EXPECT_EQ(LoadXmlManager(L"<strings CompactMode=\"1\"/>")->IsValid(), FALSE);
}

// A menu nested 40 levels deep is read to the depth the reader allows; the deepest item read
// stays a command.
TEST_F(ResourceManagerTest, XmlMenusNestedBeyondTheLimitAreCut)
{
    const int kLevels = 40;
    std::wstring xml = L"<resource CompactMode=\"1\"><menu id=\"210\">";
    for (int i = 0; i < kLevels; ++i)
        xml += L"<menuitem id=\"" + std::to_wstring(1000 + i) + L"\" caption=\"Level\">";
    for (int i = 0; i < kLevels; ++i)
        xml += L"</menuitem>";
    xml += L"</menu></resource>";
    ASSERT_TRUE(CHLMResourceManager::ReplaceManager(LoadXmlManager(xml.c_str())));

    CMenu menu;
    ASSERT_TRUE(Manager()->LoadMenu(&menu, 210));
    UINT depth = 0;
    HMENU hMenu = menu.m_hMenu;
    while (GetSubMenu(hMenu, 0) != nullptr)
    {
        hMenu = GetSubMenu(hMenu, 0);
        ++depth;
    }
    EXPECT_EQ(CHLMResourceManagerXML::kMostMenuDepth, depth);
    EXPECT_EQ(1000u + depth, GetMenuItemID(hMenu, 0));
}
