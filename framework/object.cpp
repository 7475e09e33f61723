// CObject and the run-time class records: kinds, creation and lookup by name.
#include "afx.h"
#include "afxstat_.h"

CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr,
                                       nullptr, nullptr, nullptr};

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CObject);
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}

void CObject::Serialize(CArchive&)
{
}

void CObject::AssertValid() const
{
}

void CObject::Dump(CDumpContext& dc) const
{
    dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << static_cast<const void*>(this) << "\n";
}

CObject* CRuntimeClass::CreateObject()
{
    if (m_pfnCreateObject == nullptr)
    {
        TRACE(L"Error: cannot create an object of class %S: it has no creation function.\n",
              m_lpszClassName);
        return nullptr;
    }
    return (*m_pfnCreateObject)();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* pClass = this; pClass != nullptr; pClass = pClass->m_pBaseClass)
    {
        if (pClass == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (lpszClassName == nullptr)
        return nullptr;
    const CRuntimeClassList& classes = AfxGetModuleState()->m_classList;
    for (CRuntimeClass* pClass = classes.GetHead(); pClass != nullptr; pClass = classes.GetNext(pClass))
    {
        if (strcmp(pClass->m_lpszClassName, lpszClassName) == 0)
            return pClass;
    }
    return nullptr;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCWSTR lpszClassName)
{
    if (lpszClassName == nullptr)
        return nullptr;
    const int nBytes = WideCharToMultiByte(CP_ACP, 0, lpszClassName, -1, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0)
        return nullptr;
    std::vector<char> name(nBytes);
    WideCharToMultiByte(CP_ACP, 0, lpszClassName, -1, name.data(), nBytes, nullptr, nullptr);
    return FromName(name.data());
}

CObject* PASCAL CRuntimeClass::CreateObject(LPCSTR lpszClassName)
{
    CRuntimeClass* pClass = FromName(lpszClassName);
    return pClass != nullptr ? pClass->CreateObject() : nullptr;
}

CObject* PASCAL CRuntimeClass::CreateObject(LPCWSTR lpszClassName)
{
    CRuntimeClass* pClass = FromName(lpszClassName);
    return pClass != nullptr ? pClass->CreateObject() : nullptr;
}

void CRuntimeClass::Store(CArchive& ar) const
{
    const size_t nLen = strlen(m_lpszClassName);
    ar << static_cast<WORD>(m_wSchema) << static_cast<WORD>(nLen);
    ar.Write(m_lpszClassName, static_cast<UINT>(nLen));
}

CRuntimeClass* PASCAL CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum)
{
    // Class names are short; a longer one is not ours and is not read into memory.
    const WORD kMaxNameLength = 255;
    WORD wSchema = 0;
    WORD nLen = 0;
    ar >> wSchema >> nLen;
    if (nLen > kMaxNameLength)
        return nullptr;
    char szClassName[kMaxNameLength + 1];
    if (ar.Read(szClassName, nLen) != nLen)
        return nullptr;
    szClassName[nLen] = '\0';

    CRuntimeClass* pClass = FromName(szClassName);
    if (pClass == nullptr)
        TRACE(L"Warning: cannot load %S from an archive: the class is not registered.\n", szClassName);
    if (pwSchemaNum != nullptr)
        *pwSchemaNum = wSchema;
    return pClass;
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass)
{
    AfxClassInit(pNewClass);
}

void AFXAPI AfxClassInit(CRuntimeClass* pNewClass)
{
    AfxGetModuleState()->m_classList.AddHead(pNewClass);
}

void CRuntimeClassList::AddHead(CRuntimeClass* pClass)
{
    pClass->m_pNextClass = m_pHead;
    m_pHead = pClass;
}
