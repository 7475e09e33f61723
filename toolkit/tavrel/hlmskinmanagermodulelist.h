// The modules loaded in a process with their address ranges, listed through PSAPI when it
// can be loaded, otherwise through the ToolHelp snapshot functions.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

class CHLMSkinManagerModuleList
{
public:
    // The layout of PSAPI's MODULEINFO.
    struct MODULEINFORMATION
    {
        LPVOID lpBaseOfDll;
        DWORD SizeOfImage;
        LPVOID EntryPoint;
    };

    class CModuleEnumerator
    {
    public:
        explicit CModuleEnumerator(DWORD processId) : m_dwProcessId(processId) {}
        virtual ~CModuleEnumerator() {}
        virtual HMODULE GetFirstModule() = 0;
        virtual HMODULE GetNextModule() = 0;
        virtual BOOL GetModuleInformation(HMODULE module, MODULEINFORMATION* information) = 0;

    protected:
        DWORD m_dwProcessId;
    };

    class CPsapiModuleEnumerator;
    class CToolHelpModuleEnumerator;

    explicit CHLMSkinManagerModuleList(DWORD processId = GetCurrentProcessId());
    virtual ~CHLMSkinManagerModuleList();

    CHLMSkinManagerModuleList(const CHLMSkinManagerModuleList&) = delete;
    CHLMSkinManagerModuleList& operator=(const CHLMSkinManagerModuleList&) = delete;

    HMODULE GetFirstModule();
    HMODULE GetNextModule();
    BOOL GetModuleInformation(HMODULE module, MODULEINFORMATION* information);

    // TRUE when PSAPI loaded or KERNEL32 offers the ToolHelp snapshot.
    static BOOL IsEnumerationSupported();

private:
    CModuleEnumerator* m_pEnumerator;
};
