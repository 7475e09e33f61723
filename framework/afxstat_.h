// The framework's module state: instance and resource handles, the application
// object and the registry of run-time classes that can be found by name.
#pragma once

#include "afx.h"

// The registered run-time classes, newest first, linked through m_pNextClass.
class CRuntimeClassList
{
public:
    CRuntimeClass* GetHead() const { return m_pHead; }
    CRuntimeClass* GetNext(const CRuntimeClass* pClass) const { return pClass->m_pNextClass; }
    BOOL IsEmpty() const { return m_pHead == nullptr; }
    void AddHead(CRuntimeClass* pClass);

    CRuntimeClass* m_pHead;
};

// One per process; zero-initialised, so usable by static initialisers in any order.
// Null handles mean "the exe's own module".
struct AFX_MODULE_STATE
{
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    LPCTSTR m_lpszCurrentAppName;
    CWinApp* m_pCurrentWinApp;
    CRuntimeClassList m_classList;
};

AFX_MODULE_STATE* AFXAPI AfxGetModuleState();
