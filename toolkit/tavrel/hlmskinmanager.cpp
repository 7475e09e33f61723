#include "hlmskinmanager.h"

#include <cstdlib>

namespace
{
CHLMSkinManager* g_pSkinManager = NULL;

void DestroySkinManagerInstance()
{
    delete g_pSkinManager;
    g_pSkinManager = NULL;
}
}

CHLMSkinManager* GetSkinManager()
{
    if (g_pSkinManager == NULL)
    {
        g_pSkinManager = new CHLMSkinManager();
        atexit(DestroySkinManagerInstance);
    }
    return g_pSkinManager;
}

CHLMSkinManager::CHLMSkinManager()
    : m_bEnabled(FALSE)
{
}

CHLMSkinManager::~CHLMSkinManager()
{
}

BOOL CHLMSkinManager::LoadSkin(LPCTSTR /*skinPath*/, LPCTSTR /*iniName*/)
{
    m_bEnabled = FALSE;
    return FALSE;
}
