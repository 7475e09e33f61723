// The process's module state and the instance and resource handles.
#include "afx.h"
#include "afxstat_.h"

namespace
{
AFX_MODULE_STATE g_moduleState;

HINSTANCE ExeModule()
{
    return GetModuleHandleW(nullptr);
}
}

AFX_MODULE_STATE* AFXAPI AfxGetModuleState()
{
    return &g_moduleState;
}

HINSTANCE AFXAPI AfxGetInstanceHandle()
{
    HINSTANCE hInstance = g_moduleState.m_hCurrentInstanceHandle;
    return hInstance != nullptr ? hInstance : ExeModule();
}

HINSTANCE AFXAPI AfxGetResourceHandle()
{
    HINSTANCE hResource = g_moduleState.m_hCurrentResourceHandle;
    return hResource != nullptr ? hResource : AfxGetInstanceHandle();
}

void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource)
{
    ASSERT(hInstResource != nullptr);
    g_moduleState.m_hCurrentResourceHandle = hInstResource;
}

HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType)
{
    HINSTANCE hResource = AfxGetResourceHandle();
    if (FindResourceW(hResource, lpszName, lpszType) != nullptr)
        return hResource;
    HINSTANCE hInstance = AfxGetInstanceHandle();
    if (hInstance != hResource && FindResourceW(hInstance, lpszName, lpszType) != nullptr)
        return hInstance;
    return hResource;
}
