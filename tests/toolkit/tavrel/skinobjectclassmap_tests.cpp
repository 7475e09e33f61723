#include "hlmskinmanager.h"
#include "hlmskinobject.h"
#include "hlmskinobjectclassmap.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

namespace
{
// The skin object the test records create.
class CMappedObject : public CHLMSkinObject
{
    DECLARE_DYNCREATE(CMappedObject)
};

IMPLEMENT_DYNCREATE(CMappedObject, CWnd)

// A record that counts its deletion.
class CCountedInfo : public CHLMSkinObjectClassInfo
{
public:
    explicit CCountedInfo(int* deleted) : CHLMSkinObjectClassInfo(RUNTIME_CLASS(CMappedObject)), m_deleted(deleted) {}
    ~CCountedInfo() override { ++*m_deleted; }

private:
    int* m_deleted;
};

BOOL CreatesMappedObject(CHLMSkinObjectClassInfo* info)
{
    if (info == nullptr)
        return FALSE;
    CHLMSkinObject* object = info->CreateObject(L"", nullptr);
    const BOOL mapped = dynamic_cast<CMappedObject*>(object) != nullptr;
    if (object != nullptr)
        object->InternalRelease();
    return mapped;
}
}

TEST(SkinObjectClassMap, NamesAndSynonymsFindTheirRecordInAnyCase)
{
    int deleted = 0;
    {
        CHLMSkinObjectClassMap map;
        CCountedInfo* listBox = new CCountedInfo(&deleted);
        map.AddClass(L"ListBox", listBox);
        map.AddSynonymClass(L"ComboLBox", L"ListBox");
        map.AddSynonymClass(L"SysPager", L"");
        for (const wchar_t* name : {L"listbox", L"LISTBOX", L"ListBox", L"combolbox", L"COMBOLBOX"})
            EXPECT_EQ(listBox, map.Lookup(name)) << std::wstring(name).c_str();
        EXPECT_EQ(nullptr, map.Lookup(L"List"));
        EXPECT_EQ(nullptr, map.Lookup(nullptr));

        // Known but never skinned.
        ASSERT_NE(nullptr, map.Lookup(L"syspager"));
        EXPECT_EQ(nullptr, map.Lookup(L"SysPager")->CreateObject(L"SysPager", nullptr));

        // A synonym of a name that exists already leaves the earlier record in place.
        map.AddSynonymClass(L"ComboLBox", L"SysPager");
        EXPECT_EQ(listBox, map.Lookup(L"ComboLBox"));

        // The record lives on through its remaining name.
        map.RemoveClass(L"ListBox");
        EXPECT_EQ(nullptr, map.Lookup(L"ListBox"));
        EXPECT_TRUE(CreatesMappedObject(map.Lookup(L"ComboLBox")));
        EXPECT_EQ(0, deleted);

        // A record added again under a taken name releases the old one.
        CCountedInfo* first = new CCountedInfo(&deleted);
        map.AddClass(L"Edit", first);
        map.AddClass(L"EDIT", new CCountedInfo(&deleted));
        EXPECT_EQ(1, deleted);
        EXPECT_NE(first, map.Lookup(L"edit"));

        // A record removed by its pointer loses every name.
        map.Lookup(L"ComboLBox")->AddClassName(L"TListBox");
        map.Lookup(L"TListBox")->RemoveFromMap();
        EXPECT_EQ(nullptr, map.Lookup(L"ComboLBox"));
        EXPECT_EQ(2, deleted);
    }
    EXPECT_EQ(3, deleted);  // the map's end releases what is left
}

TEST(SkinObjectClassMap, TheStandardTableKnowsThePagerButSkinsItNot)
{
    CHLMSkinObjectClassMap& map = *GetSkinManager()->GetClassMap();
    CHLMSkinObjectClassInfo* pager = map.Lookup(L"SYSPAGER");
    ASSERT_NE(nullptr, pager);
    EXPECT_EQ(nullptr, pager->m_pObjectClass);
}

// The class names that other toolkits give the standard controls reach the control's own
// record, in any case, and that record makes a skin object.
TEST(SkinObjectClassMap, ToolkitSynonymsFindTheStandardControlsRecord)
{
    CHLMSkinObjectClassMap& map = *GetSkinManager()->GetClassMap();
    const struct
    {
        const wchar_t* synonym;
        const wchar_t* className;
    } cases[] = {
        {L"TButton", L"Button"},
        {L"TRadioButton", L"Button"},
        {L"TCheckBox", L"Button"},
        {L"TGroupBox", L"Button"},
        {L"TEdit", L"Edit"},
        {L"TMemo", L"Edit"},
        {L"TRichEditViewer", L"Edit"},
        {L"TComboBox", L"ComboBox"},
        {L"TListBox", L"ListBox"},
        {L"TScrollBar", L"ScrollBar"},
        {L"ATL:ScrollBar", L"ScrollBar"},
        {L"TNewProgressBar", L"msctls_progress32"},
        {L"TProgressBar", L"msctls_progress32"},
        {L"TTrackBar", L"msctls_trackbar32"},
        {L"TTabControl", L"SysTabControl32"},
        {L"TTreeView", L"SysTreeView32"},
        {L"TListView", L"SysListView32"},
    };
    for (const auto& c : cases)
    {
        const std::wstring name(c.synonym);
        CHLMSkinObjectClassInfo* record = map.Lookup(c.className);
        ASSERT_NE(nullptr, record) << name.c_str();
        EXPECT_NE(nullptr, record->m_pObjectClass) << name.c_str();
        EXPECT_EQ(record, map.Lookup(c.synonym)) << name.c_str();
        std::wstring upper(name);
        for (wchar_t& character : upper)
            character = static_cast<wchar_t>(towupper(character));
        EXPECT_EQ(record, map.Lookup(upper.c_str())) << name.c_str();
    }
}

namespace
{
LRESULT CALLBACK PlainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

void RegisterPlainClass(const wchar_t* name)
{
    RegisterWindowClass(name, &PlainWindowProc);
}

// The test records sit in the process manager's map for one test.
class AttachRulesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CHLMSkinObjectClassMap& map = *m_clean.manager.GetClassMap();
        map.AddClass(L"MappedWindow", new CHLMSkinObjectClassInfo(RUNTIME_CLASS(CMappedObject)));
        for (const wchar_t* synonym : kSynonyms)
            map.AddSynonymClass(synonym, L"MappedWindow");
    }
    void TearDown() override
    {
        for (HWND hWnd : m_windows)
            ::DestroyWindow(hWnd);
        CHLMSkinObjectClassMap& map = *m_clean.manager.GetClassMap();
        map.RemoveClass(L"MappedWindow");
        for (const wchar_t* synonym : kSynonyms)
            map.RemoveClass(synonym);
    }

    HWND Create(const wchar_t* className)
    {
        HWND hWnd = ::CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      ::GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(nullptr, hWnd) << std::wstring(className).c_str();
        m_windows.push_back(hWnd);
        return hWnd;
    }

    CHLMSkinObject* ObjectOf(HWND hWnd) { return m_clean.manager.FindSkinObject(hWnd); }

    // Names that would find the test record, but are exempt by name.
    static constexpr const wchar_t* kSynonyms[] = {L"tooltips_class32", L"IME"};

    CleanSkinManagerScope m_clean;
    std::vector<HWND> m_windows;
};

constexpr const wchar_t* AttachRulesTest::kSynonyms[];
}

TEST_F(AttachRulesTest, TheCreationHookAttachesTheMappedObject)
{
    RegisterPlainClass(L"MappedWindow");
    HWND hWnd = Create(L"MappedWindow");
    CHLMSkinObject* object = ObjectOf(hWnd);
    ASSERT_NE(nullptr, dynamic_cast<CMappedObject*>(object));
    EXPECT_FALSE(object->IsWindowsForms());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&CHLMSkinObject::SkinWindowProc),
              ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    // The map loses the object when the window goes.
    ::DestroyWindow(hWnd);
    EXPECT_EQ(nullptr, ObjectOf(hWnd));
}

TEST_F(AttachRulesTest, WindowsFormsClassesAreMatchedByTheirMiddlePartAndKeepTheirProcedure)
{
    RegisterPlainClass(L"WindowsForms10.MappedWindow.app.0.1");
    HWND hWnd = Create(L"WindowsForms10.MappedWindow.app.0.1");
    CHLMSkinObject* object = ObjectOf(hWnd);
    ASSERT_NE(nullptr, dynamic_cast<CMappedObject*>(object));
    EXPECT_TRUE(object->IsWindowsForms());
    WNDPROC plain = &PlainWindowProc;
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(plain), ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
}

TEST_F(AttachRulesTest, ExemptNamesGetNothingAndLongNamesAreMatchedByTheirStart)
{
    // Tooltips (exact name) and IME windows (any case) are never skinned, whatever the map says.
    HWND tooltip = ::CreateWindowExW(0, L"tooltips_class32", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                     nullptr, ::GetModuleHandleW(nullptr), nullptr);
    m_windows.push_back(tooltip);
    EXPECT_EQ(nullptr, ObjectOf(tooltip));
    RegisterPlainClass(L"iMe");
    EXPECT_EQ(nullptr, ObjectOf(Create(L"iMe")));

    // A class name of 60 characters reaches the map cut to its first 49.
    const std::wstring longName = L"Cut49" + std::wstring(44, L'x') + std::wstring(11, L'y');
    ASSERT_EQ(60u, longName.size());
    m_clean.manager.GetClassMap()->AddSynonymClass(longName.substr(0, 49).c_str(), L"MappedWindow");
    RegisterPlainClass(longName.c_str());
    EXPECT_NE(nullptr, dynamic_cast<CMappedObject*>(ObjectOf(Create(longName.c_str()))));
    m_clean.manager.GetClassMap()->RemoveClass(longName.substr(0, 49).c_str());
}

#include "hlmskinobjectframe.h"

#include <prsht.h>

TEST_F(AttachRulesTest, UnknownClassesGetTheFrameUnlessTheyAreLeftAlone)
{
    struct Row
    {
        const wchar_t* className;
        bool frame;
        bool windowsForms;
    };
    const Row rows[] = {
        {L"SomeProgramWindow", true, false},
        {L"Internet Explorer_Server", false, false},
        {L"OleMainThreadWndClassX", false, false},
        {L"WindowsForms10.Window", true, true},  // one dot: no middle part to look up
        {L"SysPager", false, false},             // known, never skinned
    };
    for (const Row& row : rows)
    {
        if (wcscmp(row.className, L"SysPager") != 0)
            RegisterPlainClass(row.className);
        HWND hWnd = Create(row.className);
        CHLMSkinObject* object = ObjectOf(hWnd);
        EXPECT_EQ(row.frame, dynamic_cast<CHLMSkinObjectFrame*>(object) != nullptr)
            << std::wstring(row.className).c_str();
        if (object != nullptr)
        {
            EXPECT_EQ(row.windowsForms, !!object->IsWindowsForms()) << std::wstring(row.className).c_str();
        }
    }
}

namespace
{
// An empty child dialog template for property pages.
struct PageTemplate
{
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};

INT_PTR CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The dialog texture the first page of a modeless sheet gets.
int FirstPageTexture(DWORD sheetFlags)
{
    static PageTemplate page = {{WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 100, 50}, 0, 0, 0};
    PROPSHEETPAGEW pageInfo = {};
    pageInfo.dwSize = sizeof(pageInfo);
    pageInfo.dwFlags = PSP_DLGINDIRECT;
    pageInfo.pResource = &page.dialog;
    DLGPROC pageProc = &PageProc;
    pageInfo.pfnDlgProc = pageProc;
    HPROPSHEETPAGE pages[1] = {::CreatePropertySheetPageW(&pageInfo)};
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | sheetFlags;
    header.pszCaption = L"Sheet";
    header.nPages = 1;
    header.phpage = pages;
    HWND sheet = reinterpret_cast<HWND>(::PropertySheetW(&header));
    EXPECT_NE(nullptr, sheet);
    HWND firstPage = reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    auto* frame = ObjectOf<CHLMSkinObjectFrame>(firstPage);
    const int texture = frame != nullptr ? frame->GetDialogTexture() : 0;
    EXPECT_NE(nullptr, GetSkinManager()->FindSkinObject(sheet));
    ::DestroyWindow(sheet);
    return texture;
}
}

TEST_F(AttachRulesTest, PropertyPagesGetTheTabTextureUnlessTheSheetIsAWizard)
{
    EXPECT_EQ(ETDT_ENABLETAB, FirstPageTexture(0));
    EXPECT_EQ(ETDT_ENABLE, FirstPageTexture(PSH_WIZARD));
}
