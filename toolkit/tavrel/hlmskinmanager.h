// The process's skin manager: loads a skin file and owns what was read from it.
#pragma once

#include <windows.h>

class CHLMSkinManager
{
public:
    CHLMSkinManager();
    virtual ~CHLMSkinManager();

    // Loads and applies the skin in skinPath. Loading is not available yet: always FALSE,
    // so that the program keeps the system's look.
    BOOL LoadSkin(LPCTSTR skinPath, LPCTSTR iniName = NULL);

    BOOL IsEnabled() const { return m_bEnabled; }

private:
    BOOL m_bEnabled;
};

// The single skin manager, created on first use and deleted at process exit.
CHLMSkinManager* GetSkinManager();
