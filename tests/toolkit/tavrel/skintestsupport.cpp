#include "skintestsupport.h"

#include <windows.h>

std::wstring BinPath(const wchar_t* fileName)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\') + 1) + fileName;
}

CHLMSkinManager& CleanSkinManager()
{
    CHLMSkinManager* manager = GetSkinManager();
    manager->LoadSkin(L"", L"");
    manager->RemoveColorFilters();
    return *manager;
}

CleanSkinManagerScope::CleanSkinManagerScope() : manager(CleanSkinManager())
{
}

CleanSkinManagerScope::~CleanSkinManagerScope()
{
    CleanSkinManager();
}
