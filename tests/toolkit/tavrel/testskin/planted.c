/* A skin module that carries code: loading it as a library would run this entry point,
   which leaves a mark in the process environment. Skins must be read as data only. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        SetEnvironmentVariableW(L"QUILBROOK_PLANTED_SKIN_RAN", L"1");
    return TRUE;
}
