#include "hlmskinmanagermodulelist.h"

#include <algorithm>
#include <vector>

namespace
{
// Found once per process; PSAPI stays loaded until the process ends.
struct ModuleListSharedData
{
    HMODULE psapi;
    BOOL available;

    ModuleListSharedData()
        : psapi(LoadLibraryA("PSAPI.DLL")), available(psapi != NULL)
    {
        HMODULE kernel = GetModuleHandleW(L"KERNEL32.DLL");
        if (!available && kernel != NULL)
            available = GetProcAddress(kernel, "CreateToolhelp32Snapshot") != NULL;
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

const DWORD g_processQueryAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
}

// ---------------------------------------------------------------------------------------

class CHLMSkinManagerModuleList::CPsapiModuleEnumerator : public CModuleEnumerator
{
public:
    CPsapiModuleEnumerator(DWORD processId, HMODULE psapi)
        : CModuleEnumerator(processId), m_psapi(psapi), m_index(0)
    {
        LookUp(m_enumProcessModules, psapi, "EnumProcessModules");
        LookUp(m_getModuleInformation, psapi, "GetModuleInformation");
    }

    HMODULE GetFirstModule() override
    {
        m_modules.clear();
        m_index = 0;
        if (m_enumProcessModules == NULL)
            return NULL;
        HANDLE process = OpenProcess(g_processQueryAccess, FALSE, m_processId);
        if (process == NULL)
            return NULL;
        // The first call only learns the size; the list may grow between the calls, so the
        // second call's answer decides how many handles are valid.
        HMODULE first = NULL;
        DWORD needed = 0;
        if (m_enumProcessModules(process, &first, sizeof(first), &needed) && needed != 0)
        {
            std::vector<HMODULE> modules(needed / sizeof(HMODULE));
            DWORD bytes = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
            if (m_enumProcessModules(process, modules.data(), bytes, &needed))
            {
                modules.resize(std::min(modules.size(), static_cast<size_t>(needed / sizeof(HMODULE))));
                m_modules.swap(modules);
            }
        }
        CloseHandle(process);
        return m_modules.empty() ? NULL : m_modules[0];
    }

    HMODULE GetNextModule() override
    {
        if (m_index + 1 >= m_modules.size())
            return NULL;
        return m_modules[++m_index];
    }

    BOOL GetModuleInformation(HMODULE module, MODULEINFORMATION* information) override
    {
        if (m_getModuleInformation == NULL)
            return FALSE;
        HANDLE process = OpenProcess(g_processQueryAccess, FALSE, m_processId);
        if (process == NULL)
            return FALSE;
        BOOL found = m_getModuleInformation(process, module, information, sizeof(*information));
        CloseHandle(process);
        return found;
    }

private:
    typedef BOOL(WINAPI* EnumProcessModulesFunction)(HANDLE, HMODULE*, DWORD, LPDWORD);
    typedef BOOL(WINAPI* GetModuleInformationFunction)(HANDLE, HMODULE, MODULEINFORMATION*, DWORD);

    EnumProcessModulesFunction m_enumProcessModules;
    GetModuleInformationFunction m_getModuleInformation;
    HMODULE m_psapi;
    std::vector<HMODULE> m_modules;
    size_t m_index;
};

// ---------------------------------------------------------------------------------------

class CHLMSkinManagerModuleList::CToolHelpModuleEnumerator : public CModuleEnumerator
{
public:
    explicit CToolHelpModuleEnumerator(DWORD processId)
        : CModuleEnumerator(processId), m_snapshot(INVALID_HANDLE_VALUE), m_entry()
    {
        HMODULE kernel = GetModuleHandleW(L"KERNEL32");
        LookUp(m_createSnapshot, kernel, "CreateToolhelp32Snapshot");
        LookUp(m_module32Next, kernel, "Module32NextW");
        LookUp(m_module32First, kernel, "Module32FirstW");
        m_entry.dwSize = sizeof(m_entry);
    }

    ~CToolHelpModuleEnumerator() override { CloseSnapshot(); }

    HMODULE GetFirstModule() override
    {
        CloseSnapshot();
        if (!HasFunctions())
            return NULL;
        m_snapshot = m_createSnapshot(TH32CS_SNAPMODULE, m_processId);
        if (m_snapshot == INVALID_HANDLE_VALUE || !m_module32First(m_snapshot, &m_entry))
            return NULL;
        return m_entry.hModule;
    }

    HMODULE GetNextModule() override
    {
        if (m_snapshot == INVALID_HANDLE_VALUE || !m_module32Next(m_snapshot, &m_entry))
            return NULL;
        return m_entry.hModule;
    }

    BOOL GetModuleInformation(HMODULE module, MODULEINFORMATION* information) override
    {
        if (!HasFunctions())
            return FALSE;
        HANDLE snapshot = m_createSnapshot(TH32CS_SNAPMODULE, m_processId);
        if (snapshot == INVALID_HANDLE_VALUE)
            return FALSE;
        MODULEENTRY32W entry = {};
        entry.dwSize = sizeof(entry);
        BOOL found = m_module32First(snapshot, &entry);
        while (found && entry.hModule != module)
            found = m_module32Next(snapshot, &entry);
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
        return m_createSnapshot != NULL && m_module32First != NULL && m_module32Next != NULL;
    }

    void CloseSnapshot()
    {
        if (m_snapshot != INVALID_HANDLE_VALUE)
            CloseHandle(m_snapshot);
        m_snapshot = INVALID_HANDLE_VALUE;
    }

    HANDLE m_snapshot;
    CreateSnapshotFunction m_createSnapshot;
    ModuleWalkFunction m_module32Next;
    ModuleWalkFunction m_module32First;
    MODULEENTRY32W m_entry;
};

// ---------------------------------------------------------------------------------------

CHLMSkinManagerModuleList::CHLMSkinManagerModuleList(DWORD processId)
    : m_pEnumerator(NULL)
{
    const ModuleListSharedData& shared = SharedData();
    if (shared.psapi != NULL)
        m_pEnumerator = new CPsapiModuleEnumerator(processId, shared.psapi);
    else if (shared.available)
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
    return SharedData().available;
}
