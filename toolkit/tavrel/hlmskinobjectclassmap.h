// Which skin object a window gets, by its window class name (any case). Several names may
// share one record; a record without an object class marks a class that is never skinned.
#pragma once

#include <afxwin.h>
#include <afxcoll.h>

class CHLMSkinObject;
class CHLMSkinObjectClassMap;

class CHLMSkinObjectClassInfo : public CCmdTarget
{
public:
    explicit CHLMSkinObjectClassInfo(CRuntimeClass* pObjectClass = nullptr);

    // A new object of the record's class; null for a class that is never skinned.
    virtual CHLMSkinObject* CreateObject(LPCTSTR lpszClassName, LPCREATESTRUCT lpCreateStruct);

    void AddClassName(LPCTSTR lpszClassName);
    void RemoveFromMap();

    CRuntimeClass* m_pObjectClass;
    CHLMSkinObjectClassMap* m_pMap;
};

// Upper-cased window class names to records; each name holds one reference of its record.
class CHLMSkinObjectClassMap : public CMapStringToPtr
{
public:
    CHLMSkinObjectClassMap();
    ~CHLMSkinObjectClassMap() override;

    CHLMSkinObjectClassInfo* Lookup(LPCTSTR lpszClassName) const;
    // A name that is taken already gives its old record up.
    CHLMSkinObjectClassInfo* AddClass(LPCTSTR lpszClassName, CHLMSkinObjectClassInfo* pInfo);
    // lpszExisting empty: a record that skins nothing. A name already present stays as it is.
    void AddSynonymClass(LPCTSTR lpszClassName, LPCTSTR lpszExisting);
    void AddStandardClasses();

    void RemoveClass(LPCTSTR lpszClassName);
    void RemoveClassInfo(CHLMSkinObjectClassInfo* pInfo);
    void RemoveAll();
};
