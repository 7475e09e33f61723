#include "hlmskinmanagermodulelist.h"

#include <algorithm>
#include <vector>

namespace
{
// Found once per process; PSAPI stays loaded until the process ends.
struct ModuleListSharedData
{
    HMODULE hPsapi;
    BOOL bAvailable;

    ModuleListSharedData()
        : hPsapi(LoadLibraryA("PSAPI.DLL")), bAvailable(hPsapi != NULL)
    {
        HMODULE kernel = GetModuleHandleW(L"KERNEL32.DLL");
        if (!bAvailable && kernel != NULL)
            bAvailable = GetProcAddress(kernel, "CreateToolhelp32Snapshot") != NULL;
    }
};

const ModuleListSharedData& SharedData()
{
    static ModuleListSharedData data;
    return data;
}

template <class Function>
void LookUp(Function& function, HMODULE module, LPCSTR name)
{
    function = module != NULL
        ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
        : NULL;
}

const DWORD kProcessQueryAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
}

// ---------------------------------------------------------------------------------------

class CHLMSkinManagerModuleList::CPsapiModuleEnumerator : public CModuleEnumerator
{
public:
    CPsapiModuleEnumerator(DWORD processId, HMODULE psapi)
        : CModuleEnumerator(processId), m_hPsapi(psapi), m_nIndex(0)
    {
        LookUp(m_pfnEnumProcessModules, psapi, "EnumProcessModules");
        LookUp(m_pfnGetModuleInformation, psapi, "GetModuleInformation");
    }

    HMODULE GetFirstModule() override
    {
        m_vecModules.clear();
        m_nIndex = 0;
        if (m_pfnEnumProcessModules == NULL)
            return NULL;
        HANDLE process = OpenProcess(kProcessQueryAccess, FALSE, m_dwProcessId);
        if (process == NULL)
            return NULL;
        // The first call only learns the size; the list may grow between the calls, so the
        // second call's answer decides how many handles are valid.
        HMODULE first = NULL;
        DWORD needed = 0;
        if (m_pfnEnumProcessModules(process, &first, sizeof(first), &needed) && needed != 0)
        {
            std::vector<HMODULE> modules(needed / sizeof(HMODULE));
            DWORD bytes = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
            if (m_pfnEnumProcessModules(process, modules.data(), bytes, &needed))
            {
                modules.resize(std::min(modules.size(), static_cast<size_t>(needed / sizeof(HMODULE))));
                m_vecModules.swap(modules);
            }
        }
        CloseHandle(process);
        return m_vecModules.empty() ? NULL : m_vecModules[0];
    }

    HMODULE GetNextModule() override
    {
        if (m_nIndex + 1 >= m_vecModules.size())
            return NULL;
        return m_vecModules[++m_nIndex];
    }

    BOOL GetModuleInformation(HMODULE module, MODULEINFORMATION* information) override
    {
        if (m_pfnGetModuleInformation == NULL)
            return FALSE;
        HANDLE process = OpenProcess(kProcessQueryAccess, FALSE, m_dwProcessId);
        if (process == NULL)
            return FALSE;
        BOOL found = m_pfnGetModuleInformation(process, module, information, sizeof(*information));
        CloseHandle(process);
        return found;
    }

private:
    typedef BOOL(WINAPI* EnumProcessModulesFunction)(HANDLE, HMODULE*, DWORD, LPDWORD);
    typedef BOOL(WINAPI* GetModuleInformationFunction)(HANDLE, HMODULE, MODULEINFORMATION*, DWORD);

    EnumProcessModulesFunction m_pfnEnumProcessModules;
    GetModuleInformationFunction m_pfnGetModuleInformation;
    HMODULE m_hPsapi;
    std::vector<HMODULE> m_vecModules;
    size_t m_nIndex;
};

// ---------------------------------------------------------------------------------------

class CHLMSkinManagerModuleList::CToolHelpModuleEnumerator : public CModuleEnumerator
{
public:
    explicit CToolHelpModuleEnumerator(DWORD processId)
        : CModuleEnumerator(processId), m_hSnapshot(INVALID_HANDLE_VALUE), m_me()
    {
        HMODULE kernel = GetModuleHandleW(L"KERNEL32");
        LookUp(m_pfnCreateSnapshot, kernel, "CreateToolhelp32Snapshot");
        LookUp(m_pfnModule32Next, kernel, "Module32NextW");
        LookUp(m_pfnModule32First, kernel, "Module32FirstW");
        m_me.dwSize = sizeof(m_me);
    }

    ~CToolHelpModuleEnumerator() override { CloseSnapshot(); }

    HMODULE GetFirstModule() override
    {
        CloseSnapshot();
        if (!HasFunctions())
            return NULL;
        m_hSnapshot = m_pfnCreateSnapshot(TH32CS_SNAPMODULE, m_dwProcessId);
        if (m_hSnapshot == INVALID_HANDLE_VALUE || !m_pfnModule32First(m_hSnapshot, &m_me))
            return NULL;
        return m_me.hModule;
    }

    HMODULE GetNextModule() override
    {
        if (m_hSnapshot == INVALID_HANDLE_VALUE || !m_pfnModule32Next(m_hSnapshot, &m_me))
            return NULL;
        return m_me.hModule;
    }

    BOOL GetModuleInformation(HMODULE module, MODULEINFORMATION* information) override
    {
        if (!HasFunctions())
            return FALSE;
        HANDLE snapshot = m_pfnCreateSnapshot(TH32CS_SNAPMODULE, m_dwProcessId);
        if (snapshot == INVALID_HANDLE_VALUE)
            return FALSE;
        MODULEENTRY32W entry = {};
        entry.dwSize = sizeof(entry);
        BOOL found = m_pfnModule32First(snapshot, &entry);
        while (found && entry.hModule != module)
            found = m_pfnModule32Next(snapshot, &entry);
        if (found)
        {
            information->lpBaseOfDll = entry.modBaseAddr;
            information->SizeOfImage = entry.modBaseSize;
            information->EntryPoint = NULL;
        }
        CloseHandle(snapshot);
        return found;
    }

private:
    typedef HANDLE(WINAPI* CreateSnapshotFunction)(DWORD, DWORD);
    typedef BOOL(WINAPI* ModuleWalkFunction)(HANDLE, LPMODULEENTRY32W);

    BOOL HasFunctions() const
    {
        return m_pfnCreateSnapshot != NULL && m_pfnModule32First != NULL && m_pfnModule32Next != NULL;
    }

    void CloseSnapshot()
    {
        if (m_hSnapshot != INVALID_HANDLE_VALUE)
            CloseHandle(m_hSnapshot);
        m_hSnapshot = INVALID_HANDLE_VALUE;
    }

    HANDLE m_hSnapshot;
    CreateSnapshotFunction m_pfnCreateSnapshot;
    ModuleWalkFunction m_pfnModule32Next;
    ModuleWalkFunction m_pfnModule32First;
    MODULEENTRY32W m_me;
};

// ---------------------------------------------------------------------------------------

CHLMSkinManagerModuleList::CHLMSkinManagerModuleList(DWORD processId)
    : m_pEnumerator(NULL)
{
    const ModuleListSharedData& shared = SharedData();
    if (shared.hPsapi != NULL)
        m_pEnumerator = new CPsapiModuleEnumerator(processId, shared.hPsapi);
    else if (shared.bAvailable)
        m_pEnumerator = new CToolHelpModuleEnumerator(processId);
}

CHLMSkinManagerModuleList::~CHLMSkinManagerModuleList()
{
    delete m_pEnumerator;
}

HMODULE CHLMSkinManagerModuleList::GetFirstModule()
{
    return m_pEnumerator != NULL ? m_pEnumerator->GetFirstModule() : NULL;
}

HMODULE CHLMSkinManagerModuleList::GetNextModule()
{
    return m_pEnumerator != NULL ? m_pEnumerator->GetNextModule() : NULL;
}

BOOL CHLMSkinManagerModuleList::GetModuleInformation(HMODULE module, MODULEINFORMATION* information)
{
    if (module == NULL || information == NULL || m_pEnumerator == NULL)
        return FALSE;
    return m_pEnumerator->GetModuleInformation(module, information);
}

BOOL CHLMSkinManagerModuleList::IsEnumerationSupported()
{
    return SharedData().bAvailable;
}
