#include "hlmskinobjectclassmap.h"

#include "hlmskinobject.h"
#include "hlmskinobjectbutton.h"
#include "hlmskinobjectcombobox.h"
#include "hlmskinobjectedit.h"
#include "hlmskinobjectheader.h"
#include "hlmskinobjectlistbox.h"
#include "hlmskinobjectlistview.h"
#include "hlmskinobjectmdi.h"
#include "hlmskinobjectmenu.h"
#include "hlmskinobjectprogress.h"
#include "hlmskinobjectscrollbar.h"
#include "hlmskinobjectspin.h"
#include "hlmskinobjectstatusbar.h"
#include "hlmskinobjecttab.h"
#include "hlmskinobjecttoolbar.h"
#include "hlmskinobjecttrackbar.h"
#include "hlmskinobjecttreeview.h"
#include "common/hlmsystemhelpers.h"

namespace
{
CString UpperName(LPCTSTR name)
{
    CString upper(name);
    upper.MakeUpper();
    return upper;
}

// Stands for a control object that is not built yet: its row and the synonyms that point to
// it are skipped, so that its windows get the plain frame like any unknown class. Building
// the object means putting RUNTIME_CLASS(...) in its row.
CRuntimeClass* const kNotBuilt = nullptr;

struct StandardClass
{
    LPCWSTR lpszName;
    CRuntimeClass* pObjectClass;
};

struct StandardSynonym
{
    LPCWSTR lpszName;
    LPCWSTR lpszExisting;
};

const StandardClass kStandardClasses[] = {
    {L"ComboBox", RUNTIME_CLASS(CHLMSkinObjectComboBox)},
    {L"Edit", RUNTIME_CLASS(CHLMSkinObjectEdit)},
    {L"SysDateTimePick32", RUNTIME_CLASS(CHLMSkinObjectDateTime)},
    {L"SysMonthCal32", RUNTIME_CLASS(CHLMSkinObjectMonthCal)},
    {L"ListBox", RUNTIME_CLASS(CHLMSkinObjectListBox)},
    {L"ScrollBar", RUNTIME_CLASS(CHLMSkinObjectScrollBar)},
    {L"SysListView32", RUNTIME_CLASS(CHLMSkinObjectListView)},
    {L"SysHeader32", RUNTIME_CLASS(CHLMSkinObjectHeader)},
    {L"msctls_statusbar32", RUNTIME_CLASS(CHLMSkinObjectStatusBar)},
    {L"SysTreeView32", RUNTIME_CLASS(CHLMSkinObjectTreeView)},
    {L"msctls_progress32", RUNTIME_CLASS(CHLMSkinObjectProgress)},
    {L"msctls_trackbar32", RUNTIME_CLASS(CHLMSkinObjectTrackBar)},
    {L"SysTabControl32", RUNTIME_CLASS(CHLMSkinObjectTab)},
    {L"MDIClient", RUNTIME_CLASS(CHLMSkinObjectMDIClient)},
    {L"msctls_updown32", RUNTIME_CLASS(CHLMSkinObjectSpin)},
    {L"ToolbarWindow32", RUNTIME_CLASS(CHLMSkinObjectToolBar)},
    {L"Button", RUNTIME_CLASS(CHLMSkinObjectButton)},
};

// Registered after the classes, in this order.
const StandardSynonym kStandardSynonyms[] = {
    {L"ComboLBox", L"ListBox"},           {L"ATL:ScrollBar", L"ScrollBar"},
    {L"TButton", L"Button"},              {L"TEdit", L"Edit"},
    {L"TMemo", L"Edit"},                  {L"TNewProgressBar", L"msctls_progress32"},
    {L"TRichEditViewer", L"Edit"},        {L"TRadioButton", L"Button"},
    {L"TCheckBox", L"Button"},            {L"TComboBox", L"ComboBox"},
    {L"TGroupBox", L"Button"},            {L"TScrollBar", L"ScrollBar"},
    {L"TProgressBar", L"msctls_progress32"}, {L"TTrackBar", L"msctls_trackbar32"},
    {L"TTabControl", L"SysTabControl32"}, {L"TTreeView", L"SysTreeView32"},
    {L"TListView", L"SysListView32"},     {L"TListBox", L"ListBox"},
};

// The popup menu's object; menus of Windows 95 and NT 4 are never skinned.
CRuntimeClass* const kMenuClass = RUNTIME_CLASS(CHLMSkinObjectMenu);
}

// ---------------------------------------------------------------------------------------
// Records

CHLMSkinObjectClassInfo::CHLMSkinObjectClassInfo(CRuntimeClass* pObjectClass)
    : m_pObjectClass(pObjectClass), m_pMap(nullptr)
{
}

CHLMSkinObject* CHLMSkinObjectClassInfo::CreateObject(LPCTSTR /*lpszClassName*/,
                                                      LPCREATESTRUCT /*lpCreateStruct*/)
{
    if (m_pObjectClass == nullptr)
        return nullptr;
    CObject* object = m_pObjectClass->CreateObject();
    CHLMSkinObject* skinObject = dynamic_cast<CHLMSkinObject*>(object);
    if (skinObject == nullptr)
        delete object;
    return skinObject;
}

void CHLMSkinObjectClassInfo::AddClassName(LPCTSTR lpszClassName)
{
    if (m_pMap != nullptr)
        m_pMap->AddClass(lpszClassName, this);
}

void CHLMSkinObjectClassInfo::RemoveFromMap()
{
    if (m_pMap != nullptr)
        m_pMap->RemoveClassInfo(this);
}

// ---------------------------------------------------------------------------------------
// The map

CHLMSkinObjectClassMap::CHLMSkinObjectClassMap() : CMapStringToPtr(10)
{
}

CHLMSkinObjectClassMap::~CHLMSkinObjectClassMap()
{
    RemoveAll();
}

CHLMSkinObjectClassInfo* CHLMSkinObjectClassMap::Lookup(LPCTSTR lpszClassName) const
{
    void* info = nullptr;
    if (lpszClassName == nullptr || !CMapStringToPtr::Lookup(UpperName(lpszClassName), info))
        return nullptr;
    return static_cast<CHLMSkinObjectClassInfo*>(info);
}

CHLMSkinObjectClassInfo* CHLMSkinObjectClassMap::AddClass(LPCTSTR lpszClassName,
                                                          CHLMSkinObjectClassInfo* pInfo)
{
    const CString name = UpperName(lpszClassName);
    // The first name takes over the record's own reference; every further name adds one.
    if (pInfo->m_pMap != nullptr)
    {
        ASSERT(pInfo->m_pMap == this);
        pInfo->InternalAddRef();
    }
    else
    {
        pInfo->m_pMap = this;
    }
    void* old = nullptr;
    if (CMapStringToPtr::Lookup(name, old))
        static_cast<CHLMSkinObjectClassInfo*>(old)->InternalRelease();
    SetAt(name, pInfo);
    return pInfo;
}

void CHLMSkinObjectClassMap::AddSynonymClass(LPCTSTR lpszClassName, LPCTSTR lpszExisting)
{
    if (Lookup(lpszClassName) != nullptr)
        return;
    if (lpszExisting == nullptr || *lpszExisting == L'\0')
    {
        AddClass(lpszClassName, new CHLMSkinObjectClassInfo());
        return;
    }
    CHLMSkinObjectClassInfo* existing = Lookup(lpszExisting);
    ASSERT(existing != nullptr);
    if (existing != nullptr)
        AddClass(lpszClassName, existing);
}

void CHLMSkinObjectClassMap::AddStandardClasses()
{
    for (const StandardClass& row : kStandardClasses)
    {
        if (row.pObjectClass != kNotBuilt)
            AddClass(row.lpszName, new CHLMSkinObjectClassInfo(row.pObjectClass));
    }
    for (const StandardSynonym& row : kStandardSynonyms)
    {
        if (Lookup(row.lpszExisting) != nullptr)
            AddSynonymClass(row.lpszName, row.lpszExisting);
    }
    const OsVersionInfo version;
    if (version.IsWin95() || version.IsWinNT4())
        AddSynonymClass(L"#32768", L"");
    else if (kMenuClass != kNotBuilt)
        AddClass(L"#32768", new CHLMSkinObjectClassInfo(kMenuClass));
    AddSynonymClass(L"SysPager", L"");
}

void CHLMSkinObjectClassMap::RemoveClass(LPCTSTR lpszClassName)
{
    const CString name = UpperName(lpszClassName);
    void* info = nullptr;
    if (!CMapStringToPtr::Lookup(name, info))
        return;
    RemoveKey(name);
    static_cast<CHLMSkinObjectClassInfo*>(info)->InternalRelease();
}

void CHLMSkinObjectClassMap::RemoveClassInfo(CHLMSkinObjectClassInfo* pInfo)
{
    POSITION position = GetStartPosition();
    while (position != NULL)
    {
        CString name;
        void* info = nullptr;
        GetNextAssoc(position, name, info);
        if (info == pInfo)
        {
            RemoveKey(name);
            pInfo->InternalRelease();  // the last name's release may delete it
        }
    }
}

void CHLMSkinObjectClassMap::RemoveAll()
{
    POSITION position = GetStartPosition();
    while (position != NULL)
    {
        CString name;
        void* info = nullptr;
        GetNextAssoc(position, name, info);
        static_cast<CHLMSkinObjectClassInfo*>(info)->InternalRelease();
    }
    CMapStringToPtr::RemoveAll();
}
