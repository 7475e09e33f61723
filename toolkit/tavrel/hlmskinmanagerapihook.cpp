#include "hlmskinmanagerapihook.h"

#include "hlmskindrawtools.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "hlmskinmanagermodulelist.h"
#include "hlmskinmanagerresource.h"
#include "hlmskinobjectframe.h"
#include "common/hlmsystemhelpers.h"

#include <algorithm>
#include <cstring>
#include <exception>

// ---------------------------------------------------------------------------------------
// The table of replaced functions. Each entry is typed by the system function's own type,
// so a replacement whose signature or calling convention differs does not compile (the
// 32-bit build checks the calling convention).

namespace
{
template <typename F>
struct Replaced
{
    F replacement;
    F system;  // the system function while its slot holds a record, else null
};

struct ReplacedFunctions
{
#define HLM_REPLACED(name) \
    Replaced<decltype(&::name)> name{&CHLMSkinManagerApiHook::OnHook##name, nullptr};
    HLM_REPLACED(LoadLibraryA)
    HLM_REPLACED(LoadLibraryW)
    HLM_REPLACED(LoadLibraryExA)
    HLM_REPLACED(LoadLibraryExW)
    HLM_REPLACED(GetProcAddress)
    HLM_REPLACED(GetModuleHandleA)
    HLM_REPLACED(CreateThread)
    HLM_REPLACED(RegisterClassA)
    HLM_REPLACED(RegisterClassW)
    HLM_REPLACED(GetSysColor)
    HLM_REPLACED(GetSysColorBrush)
    HLM_REPLACED(DrawEdge)
    HLM_REPLACED(FillRect)
    HLM_REPLACED(DeleteObject)
    HLM_REPLACED(OpenThemeData)
    HLM_REPLACED(DrawThemeBackground)
    HLM_REPLACED(CloseThemeData)
    HLM_REPLACED(GetThemeColor)
    HLM_REPLACED(IsAppThemed)
    HLM_REPLACED(IsThemeActive)
    HLM_REPLACED(GetCurrentThemeName)
    HLM_REPLACED(GetThemeSysBool)
    HLM_REPLACED(GetThemeSysColor)
    HLM_REPLACED(GetThemePartSize)
    HLM_REPLACED(DrawFrameControl)
    HLM_REPLACED(SetScrollInfo)
    HLM_REPLACED(SetScrollPos)
    HLM_REPLACED(GetScrollInfo)
    HLM_REPLACED(EnableScrollBar)
    HLM_REPLACED(SystemParametersInfoW)
    HLM_REPLACED(AdjustWindowRectEx)
    HLM_REPLACED(GetSystemMetrics)
    HLM_REPLACED(DefWindowProcA)
    HLM_REPLACED(DefWindowProcW)
    HLM_REPLACED(DefFrameProcA)
    HLM_REPLACED(DefFrameProcW)
    HLM_REPLACED(DefDlgProcA)
    HLM_REPLACED(DefDlgProcW)
    HLM_REPLACED(DefMDIChildProcA)
    HLM_REPLACED(DefMDIChildProcW)
    HLM_REPLACED(CallWindowProcA)
    HLM_REPLACED(CallWindowProcW)
#undef HLM_REPLACED
};

ReplacedFunctions g_replaced;

// How import pages get their protection changed; tests make it fail.
decltype(&::VirtualProtect) g_protectSlotPage = &::VirtualProtect;

// An import slot holds a bare address: these two are the only places where a function
// becomes an address or an address a function.
template <typename F>
ULONG_PTR AddressOf(F function)
{
    return reinterpret_cast<ULONG_PTR>(function);
}

template <typename F>
F FunctionAt(ULONG_PTR address)
{
    return reinterpret_cast<F>(address);
}

// The system function of an entry: the saved one, else the program's own import (the slot
// is empty, for example a replacement handed out earlier and called after the removal).
template <typename F>
F System(const Replaced<F>& entry, F ownImport)
{
    return entry.system != nullptr ? entry.system : ownImport;
}

#define HLM_SYSTEM(name) System(g_replaced.name, &::name)

template <auto Member>
ULONG_PTR ReplacementOf()
{
    return AddressOf((g_replaced.*Member).replacement);
}

template <auto Member>
void SetSystemOf(ULONG_PTR address)
{
    auto& entry = g_replaced.*Member;
    entry.system = FunctionAt<decltype(entry.system)>(address);
}

enum Gate : DWORD
{
    Always = 0,
    Metrics = HLM_SKINAPPLY_METRICS,
    Frame = HLM_SKINAPPLY_FRAME,
    Colors = HLM_SKINAPPLY_COLORS
};

struct SlotRow
{
    int slot;
    LPCSTR module;
    LPCSTR function;
    DWORD gate;
    ULONG_PTR (*replacement)();
    void (*setSystem)(ULONG_PTR);
};

#define HLM_SLOT(slot, module, name, gate) \
    {slot, module, #name, gate, &ReplacementOf<&ReplacedFunctions::name>, &SetSystemOf<&ReplacedFunctions::name>}

const char kKernel32[] = "KERNEL32.DLL";
const char kUser32[] = "USER32.DLL";
const char kGdi32[] = "GDI32.DLL";
const char kUxTheme[] = "UXTHEME.DLL";

// In installation order.
const SlotRow kSlots[] = {
    HLM_SLOT(0, kKernel32, LoadLibraryA, Always),
    HLM_SLOT(1, kKernel32, LoadLibraryW, Always),
    HLM_SLOT(2, kKernel32, LoadLibraryExA, Always),
    HLM_SLOT(3, kKernel32, LoadLibraryExW, Always),
    HLM_SLOT(4, kKernel32, GetProcAddress, Always),
    HLM_SLOT(5, kKernel32, GetModuleHandleA, Always),
    HLM_SLOT(37, kKernel32, CreateThread, Always),
    HLM_SLOT(6, kUser32, RegisterClassA, Always),
    HLM_SLOT(7, kUser32, RegisterClassW, Always),
    HLM_SLOT(8, kUser32, GetSysColor, Colors),
    HLM_SLOT(9, kUser32, GetSysColorBrush, Colors),
    HLM_SLOT(10, kUser32, DrawEdge, Colors),
    HLM_SLOT(38, kUser32, FillRect, Colors),
    HLM_SLOT(39, kGdi32, DeleteObject, Colors),
    HLM_SLOT(16, kUxTheme, OpenThemeData, Colors),
    HLM_SLOT(17, kUxTheme, DrawThemeBackground, Colors),
    HLM_SLOT(18, kUxTheme, CloseThemeData, Colors),
    HLM_SLOT(19, kUxTheme, GetThemeColor, Colors),
    HLM_SLOT(20, kUxTheme, IsAppThemed, Colors),
    HLM_SLOT(21, kUxTheme, IsThemeActive, Colors),
    HLM_SLOT(22, kUxTheme, GetCurrentThemeName, Colors),
    HLM_SLOT(23, kUxTheme, GetThemeSysBool, Colors),
    HLM_SLOT(24, kUxTheme, GetThemeSysColor, Colors),
    HLM_SLOT(25, kUxTheme, GetThemePartSize, Colors),
    HLM_SLOT(11, kUser32, DrawFrameControl, Colors),
    HLM_SLOT(12, kUser32, SetScrollInfo, Frame),
    HLM_SLOT(13, kUser32, SetScrollPos, Frame),
    HLM_SLOT(14, kUser32, GetScrollInfo, Frame),
    HLM_SLOT(15, kUser32, EnableScrollBar, Frame),
    HLM_SLOT(26, kUser32, SystemParametersInfoW, Metrics),
    HLM_SLOT(40, kUser32, AdjustWindowRectEx, Metrics),
    HLM_SLOT(41, kUser32, GetSystemMetrics, Metrics),
    HLM_SLOT(27, kUser32, DefWindowProcA, Always),
    HLM_SLOT(28, kUser32, DefWindowProcW, Always),
    HLM_SLOT(31, kUser32, DefFrameProcA, Always),
    HLM_SLOT(32, kUser32, DefFrameProcW, Always),
    HLM_SLOT(33, kUser32, DefDlgProcA, Always),
    HLM_SLOT(34, kUser32, DefDlgProcW, Always),
    HLM_SLOT(29, kUser32, DefMDIChildProcA, Always),
    HLM_SLOT(30, kUser32, DefMDIChildProcW, Always),
    HLM_SLOT(35, kUser32, CallWindowProcA, Always),
    HLM_SLOT(36, kUser32, CallWindowProcW, Always),
};
#undef HLM_SLOT

static_assert(sizeof(kSlots) / sizeof(kSlots[0]) == CHLMSkinManagerApiHook::SlotCount,
              "one row per slot");

const SlotRow* RowOfSlot(int slot)
{
    for (const SlotRow& row : kSlots)
    {
        if (row.slot == slot)
            return &row;
    }
    return nullptr;
}

CHLMSkinManager* Manager()
{
    return GetSkinManagerIfCreated();
}

DWORD ApplyOptions()
{
    CHLMSkinManager* manager = Manager();
    return manager != nullptr ? manager->GetApplyOptions()
                              : HLM_SKINAPPLY_METRICS | HLM_SKINAPPLY_FRAME | HLM_SKINAPPLY_COLORS;
}

BOOL IsSkinEnabled()
{
    CHLMSkinManager* manager = Manager();
    return manager != nullptr && manager->IsEnabled();
}

// The import directory of a loaded module, with every RVA checked against the image size.
class ImportDirectory
{
public:
    explicit ImportDirectory(HMODULE module) : m_base(reinterpret_cast<const BYTE*>(module))
    {
        m_valid = module != nullptr && ReadHeaders();
    }

    BOOL IsValid() const { return m_valid; }

    // The descriptor at index; null past the last (the one whose Name is 0) or when it
    // lies outside the image.
    const IMAGE_IMPORT_DESCRIPTOR* Descriptor(size_t index) const
    {
        const ULONG_PTR offset = m_directory + index * sizeof(IMAGE_IMPORT_DESCRIPTOR);
        if (!Fits(offset, sizeof(IMAGE_IMPORT_DESCRIPTOR)))
            return nullptr;
        const auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(m_base + offset);
        return descriptor->Name != 0 ? descriptor : nullptr;
    }

    // The DLL name a descriptor imports from, bounded by the image; null when malformed.
    LPCSTR Name(const IMAGE_IMPORT_DESCRIPTOR& descriptor) const
    {
        if (!Fits(descriptor.Name, 1))
            return nullptr;
        const char* name = reinterpret_cast<const char*>(m_base + descriptor.Name);
        const size_t room = m_imageSize - descriptor.Name;
        return memchr(name, 0, room < 260 ? room : 260) != nullptr ? name : nullptr;
    }

    // The thunk at index of a table (FirstThunk or OriginalFirstThunk); null outside.
    ULONG_PTR* Thunk(DWORD tableRva, size_t index) const
    {
        const ULONG_PTR offset = tableRva + index * sizeof(ULONG_PTR);
        if (tableRva == 0 || !Fits(offset, sizeof(ULONG_PTR)))
            return nullptr;
        return reinterpret_cast<ULONG_PTR*>(const_cast<BYTE*>(m_base) + offset);
    }

private:
    BOOL Fits(ULONG_PTR offset, size_t size) const
    {
        return offset < m_imageSize && size <= m_imageSize - offset;
    }

    BOOL ReadHeaders()
    {
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(m_base);
        if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 ||
            static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64) > kHeaderPage)
            return FALSE;
        const BYTE* nt = m_base + dos->e_lfanew;
        if (*reinterpret_cast<const DWORD*>(nt) != IMAGE_NT_SIGNATURE)
            return FALSE;
        const WORD magic = reinterpret_cast<const IMAGE_NT_HEADERS32*>(nt)->OptionalHeader.Magic;
        const IMAGE_DATA_DIRECTORY* directory = nullptr;
        if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        {
            const auto& optional = reinterpret_cast<const IMAGE_NT_HEADERS32*>(nt)->OptionalHeader;
            if (optional.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT)
                return FALSE;
            m_imageSize = optional.SizeOfImage;
            directory = &optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        }
        else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        {
            const auto& optional = reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt)->OptionalHeader;
            if (optional.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT)
                return FALSE;
            m_imageSize = optional.SizeOfImage;
            directory = &optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        }
        // The import slots hold addresses of this build's size: an image of the other
        // format (one mapped as data) is not walked.
        if (magic != IMAGE_NT_OPTIONAL_HDR_MAGIC || directory == nullptr)
            return FALSE;
        m_directory = directory->VirtualAddress;
        return m_directory != 0 && Fits(m_directory, sizeof(IMAGE_IMPORT_DESCRIPTOR));
    }

    static const size_t kHeaderPage = 0x1000;

    const BYTE* m_base;
    ULONG_PTR m_imageSize = 0;
    ULONG_PTR m_directory = 0;
    BOOL m_valid = FALSE;
};

// Writes one import slot: the page holding it is made writable (keeping execute rights
// when it had them) for the write only. A page whose protection cannot be put back gets
// its old value back too, so that a slot is never left changed while reported unchanged.
BOOL WriteSlot(ULONG_PTR* slot, ULONG_PTR value)
{
    MEMORY_BASIC_INFORMATION information = {};
    if (::VirtualQuery(slot, &information, sizeof(information)) == 0)
        return FALSE;
    SYSTEM_INFO system = {};
    ::GetSystemInfo(&system);
    const ULONG_PTR pageSize = system.dwPageSize;
    void* page = reinterpret_cast<void*>(reinterpret_cast<ULONG_PTR>(slot) & ~(pageSize - 1));
    const DWORD executable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                             PAGE_EXECUTE_WRITECOPY;
    const DWORD writable = (information.Protect & executable) ? PAGE_EXECUTE_READWRITE : PAGE_READWRITE;
    const auto protect = g_protectSlotPage;
    DWORD previous = 0;
    if (!protect(page, pageSize, writable, &previous))
        return FALSE;
    const ULONG_PTR old = *slot;
    *slot = value;
    DWORD ignored = 0;
    if (protect(page, pageSize, previous, &ignored))
        return TRUE;
    *slot = old;
    return FALSE;
}

// The thread start record the CreateThread replacement hands to ThreadStartThunk.
struct ThreadStart
{
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
};

DWORD WINAPI ThreadStartThunk(LPVOID parameter)
{
    ThreadStart* record = static_cast<ThreadStart*>(parameter);
    const LPTHREAD_START_ROUTINE start = record->start;
    LPVOID startParameter = record->parameter;
    delete record;
    CHLMSkinManager::HookCurrentThread();
    return start(startParameter);
}
}

// ---------------------------------------------------------------------------------------
// Names and saved functions

namespace
{
// A bounded copy into a fixed field, always terminated.
template <size_t N>
void CopyName(char (&field)[N], LPCSTR name)
{
    size_t length = 0;
    for (; name != nullptr && name[length] != '\0' && length + 1 < N; ++length)
        field[length] = name[length];
    field[length] = '\0';
}
}

int CompareAsciiNoCase(LPCSTR lpszFirst, LPCSTR lpszSecond)
{
    for (;; ++lpszFirst, ++lpszSecond)
    {
        int first = static_cast<unsigned char>(*lpszFirst);
        int second = static_cast<unsigned char>(*lpszSecond);
        if (first >= 'A' && first <= 'Z')
            first += 'a' - 'A';
        if (second >= 'A' && second <= 'Z')
            second += 'a' - 'A';
        if (first != second || first == 0)
            return first - second;
    }
}

ULONG_PTR GetOriginalFunction(int nSlot)
{
    CHLMSkinManagerApiFunction* function = CHLMSkinManagerApiHook::GetInstance().GetHookedFunction(nSlot);
    return function != nullptr ? function->m_systemAddress : 0;
}

FARPROC GetOriginalProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    return HLM_SYSTEM(GetProcAddress)(hModule, lpProcName);
}

LRESULT CallWindowProcOriginal(WNDPROC pfnWndProc, HWND hWnd, UINT message, WPARAM wParam,
                               LPARAM lParam)
{
    return HLM_SYSTEM(CallWindowProcW)(pfnWndProc, hWnd, message, wParam, lParam);
}

ULONG_PTR GetHighestApplicationAddress()
{
    static const ULONG_PTR highest = [] {
        SYSTEM_INFO system = {};
        ::GetSystemInfo(&system);
        return reinterpret_cast<ULONG_PTR>(system.lpMaximumApplicationAddress);
    }();
    return highest;
}

ULONG_PTR UnwrapPushStub(ULONG_PTR address, ULONG_PTR highestApplicationAddress)
{
    const BYTE kPushImmediate = 0x68;
    const size_t kStubHead = 1 + sizeof(DWORD);
    const BYTE* stub = reinterpret_cast<const BYTE*>(address);
    if (address <= highestApplicationAddress || !IsReadableMemory(stub, kStubHead) || stub[0] != kPushImmediate)
        return address;
    DWORD pushed = 0;
    std::memcpy(&pushed, stub + 1, sizeof(pushed));
    return pushed;
}

decltype(&::VirtualProtect) SetImportPageProtector(decltype(&::VirtualProtect) protect)
{
    const auto previous = g_protectSlotPage;
    g_protectSlotPage = protect != nullptr ? protect : &::VirtualProtect;
    return previous;
}

// ---------------------------------------------------------------------------------------
// One hooked function

CHLMSkinManagerApiFunction::CHLMSkinManagerApiFunction(CHLMSkinManagerApiHook* pOwner,
                                                       LPCSTR lpszModule, LPCSTR lpszFunction,
                                                       ULONG_PTR systemAddress,
                                                       ULONG_PTR replacementAddress)
    : m_pOwner(pOwner),
      m_bHooked(FALSE),
      m_szModule(),
      m_szFunction(),
      m_systemAddress(UnwrapPushStub(systemAddress, GetHighestApplicationAddress())),
      m_replacementAddress(replacementAddress)
{
    CopyName(m_szModule, lpszModule);
    CopyName(m_szFunction, lpszFunction);
}

CHLMSkinManagerApiFunction::~CHLMSkinManagerApiFunction()
{
    UnhookImport();
}

void CHLMSkinManagerApiFunction::HookImport()
{
    m_bHooked = ReplaceInAllModules(m_szModule, m_systemAddress, m_replacementAddress);
}

BOOL CHLMSkinManagerApiFunction::UnhookImport()
{
    if (!m_bHooked)
        return TRUE;
    BOOL failed = FALSE;
    try
    {
        ReplaceInAllModules(m_szModule, m_replacementAddress, m_systemAddress, &failed);
    }
    catch (const std::exception&)
    {
        failed = TRUE;  // the module list could not be made: nothing was walked
    }
    // A slot still holding the replacement keeps the record, and with it the system function
    // the replacement calls; otherwise the replacement would call itself through that slot.
    if (failed)
        return FALSE;
    m_bHooked = FALSE;
    return TRUE;
}

BOOL CHLMSkinManagerApiFunction::ReplaceInAllModules(LPCSTR lpszModule, ULONG_PTR from, ULONG_PTR to,
                                                     BOOL* pFailed)
{
    if (from == 0 || to == 0)
        return FALSE;
    HMODULE mainModule = AfxGetInstanceHandle();
    if (mainModule == nullptr)
        mainModule = ::GetModuleHandleW(nullptr);
    BOOL replaced = FALSE;
    for (HMODULE module : m_pOwner->GetModules())
    {
        if (module != mainModule && !m_pOwner->IsModuleExcluded(module))
            replaced |= ReplaceInOneModule(lpszModule, from, to, module, pFailed);
    }
    replaced |= ReplaceInOneModule(lpszModule, from, to, mainModule, pFailed);
    return replaced;
}

BOOL CHLMSkinManagerApiFunction::ReplaceInOneModule(LPCSTR lpszModule, ULONG_PTR from, ULONG_PTR to,
                                                    HMODULE hModule, BOOL* pFailed)
{
    if (from == 0 || to == 0)
        return FALSE;
    ScopedSectionLock lock(m_pOwner->GetPatchingLock());
    const ImportDirectory imports(hModule);
    if (!imports.IsValid())
        return FALSE;
    const ULONG_PTR highest = GetHighestApplicationAddress();
    for (size_t index = 0;; ++index)
    {
        const IMAGE_IMPORT_DESCRIPTOR* descriptor = imports.Descriptor(index);
        if (descriptor == nullptr)
            return FALSE;
        LPCSTR name = imports.Name(*descriptor);
        if (name == nullptr || CompareAsciiNoCase(name, lpszModule) != 0)
            continue;
        for (size_t entry = 0;; ++entry)
        {
            ULONG_PTR* slot = imports.Thunk(descriptor->FirstThunk, entry);
            if (slot == nullptr || *slot == 0)
                break;
            // An import by ordinal is left alone.
            const ULONG_PTR* lookup = imports.Thunk(descriptor->OriginalFirstThunk, entry);
            if (lookup != nullptr && (*lookup & IMAGE_ORDINAL_FLAG) != 0)
                continue;
            if (*slot != from && UnwrapPushStub(*slot, highest) != from)
                continue;
            if (WriteSlot(slot, to))
                return TRUE;
            if (pFailed != nullptr)
                *pFailed = TRUE;
            return FALSE;
        }
    }
}

// ---------------------------------------------------------------------------------------
// The rewriter

CHLMSkinManagerApiHook& CHLMSkinManagerApiHook::GetInstance()
{
    static CHLMSkinManagerApiHook instance;
    return instance;
}

CHLMSkinManagerApiHook::CHLMSkinManagerApiHook() : m_slots(), m_bInstalled(FALSE)
{
    ::InitializeCriticalSection(&m_lockPatching);
    ExcludeModule(L"SHLWAPI.DLL", TRUE);
    ExcludeModule(L"COMCTL32.DLL", TRUE);
    for (LPCWSTR name : {L"KERNEL32.DLL", L"USER32.DLL", L"GDI32.DLL", L"WININET.DLL", L"MSCTF.DLL"})
        ExcludeModule(name, FALSE);
}

CHLMSkinManagerApiHook::~CHLMSkinManagerApiHook()
{
    RemoveHooks();
    ::DeleteCriticalSection(&m_lockPatching);
}

void CHLMSkinManagerApiHook::ExcludeModule(LPCWSTR lpszModule, BOOL bWin9xOnly)
{
    m_excluded.push_back({nullptr, CString(lpszModule), bWin9xOnly});
}

void CHLMSkinManagerApiHook::SetupThemeWrapper(CHLMWinThemeWrapper& wrapper)
{
    wrapper.CreatePrivateFunctionTable();
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotOpenThemeData, &OnHookOpenThemeData);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotDrawThemeBackground,
                                  &OnHookDrawThemeBackground);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotCloseThemeData, &OnHookCloseThemeData);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotGetThemeColor, &OnHookGetThemeColor);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotIsAppThemed, &OnHookIsAppThemed);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotIsThemeActive, &OnHookIsThemeActive);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotGetCurrentThemeName,
                                  &OnHookGetCurrentThemeName);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotGetThemeSysBool, &OnHookGetThemeSysBool);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotGetThemeSysColor,
                                  &OnHookGetThemeSysColor);
    wrapper.SetFunctionTableEntry(CHLMWinThemeWrapper::SlotGetThemePartSize,
                                  &OnHookGetThemePartSize);
}

void CHLMSkinManagerApiHook::ResolveExcludedModules(BOOL bOnlyMissing)
{
    for (EXCLUDEDMODULE& module : m_excluded)
    {
        if (!bOnlyMissing || module.hModule == nullptr)
            module.hModule = ::GetModuleHandleW(module.strName);
    }
}

BOOL CHLMSkinManagerApiHook::IsModuleExcluded(HMODULE hModule) const
{
    CHLMSkinManager* manager = Manager();
    const BOOL win9x = manager != nullptr && manager->IsWin9x();
    for (const EXCLUDEDMODULE& module : m_excluded)
    {
        if (module.hModule == hModule && (win9x || !module.bWin9xOnly))
            return TRUE;
    }
    return FALSE;
}

std::vector<HMODULE> CHLMSkinManagerApiHook::GetModules() const
{
    if (!m_moduleSnapshot.empty())
        return m_moduleSnapshot;
    std::vector<HMODULE> modules;
    CHLMSkinManagerModuleList list;
    for (HMODULE module = list.GetFirstModule(); module != nullptr; module = list.GetNextModule())
        modules.push_back(module);
    return modules;
}

CHLMSkinManagerApiHook::ModuleSnapshot::ModuleSnapshot(CHLMSkinManagerApiHook& hook) : m_hook(hook)
{
    // Without memory for the list, every slot lists the modules itself.
    try
    {
        m_hook.m_moduleSnapshot = m_hook.GetModules();
    }
    catch (const std::exception&)
    {
        m_hook.m_moduleSnapshot.clear();
    }
}

CHLMSkinManagerApiHook::ModuleSnapshot::~ModuleSnapshot()
{
    m_hook.m_moduleSnapshot.clear();
}

void CHLMSkinManagerApiHook::InstallHooks()
{
    ScopedSectionLock lock(&m_lockPatching);
    if (m_bInstalled)
        return;
    const ModuleSnapshot snapshot(*this);
    ResolveExcludedModules(FALSE);
    const DWORD options = ApplyOptions();
    for (const SlotRow& row : kSlots)
    {
        if (row.gate == Always || (options & row.gate) != 0)
            HookFunction(row.slot, row.module, row.function, row.replacement());
    }
    m_bInstalled = TRUE;
}

void CHLMSkinManagerApiHook::RemoveHooks()
{
    // The replaced LoadLibrary of any thread reads the slot records (one lock for them all).
    ScopedSectionLock lock(&m_lockPatching);
    if (!m_bInstalled)
        return;
    const ModuleSnapshot snapshot(*this);
    for (int slot = 0; slot < SlotCount; ++slot)
    {
        // A record whose slots could not all be written back stays, still forwarding to the
        // system function, and the rewriter stays installed: the next removal tries again.
        if (m_slots[slot] == nullptr || !m_slots[slot]->UnhookImport())
            continue;
        delete m_slots[slot];
        m_slots[slot] = nullptr;
        RowOfSlot(slot)->setSystem(0);
    }
    m_bInstalled = std::any_of(std::begin(m_slots), std::end(m_slots),
                               [](const CHLMSkinManagerApiFunction* function) { return function != nullptr; });
}

BOOL CHLMSkinManagerApiHook::HookFunction(int nSlot, LPCSTR lpszModule, LPCSTR lpszFunction,
                                          ULONG_PTR replacementAddress)
{
    // A function that cannot be hooked for want of memory stays the system's: the skin
    // still loads.
    try
    {
        return HookResolvedFunction(nSlot, lpszModule, lpszFunction, replacementAddress);
    }
    catch (const std::exception&)
    {
        return FALSE;
    }
}

BOOL CHLMSkinManagerApiHook::HookResolvedFunction(int nSlot, LPCSTR lpszModule, LPCSTR lpszFunction,
                                                  ULONG_PTR replacementAddress)
{
    if (FindHookedFunction(lpszModule, lpszFunction) != nullptr)
        return FALSE;
    // The visual-styles functions are handed out by the GetProcAddress replacement only.
    if (CompareAsciiNoCase(lpszModule, kUxTheme) == 0)
        return AddHookedFunction(nSlot, lpszModule, lpszFunction, 0, replacementAddress) != nullptr;
    FARPROC system = GetOriginalProcAddress(::GetModuleHandleA(lpszModule), lpszFunction);
    if (system == nullptr && ::LoadLibraryA(lpszModule) != nullptr)
        system = GetOriginalProcAddress(::GetModuleHandleA(lpszModule), lpszFunction);
    if (system == nullptr)
        return FALSE;
    return AddHookedFunction(nSlot, lpszModule, lpszFunction, AddressOf(system), replacementAddress) !=
           nullptr;
}

CHLMSkinManagerApiFunction* CHLMSkinManagerApiHook::AddHookedFunction(int nSlot, LPCSTR lpszModule,
                                                                      LPCSTR lpszFunction,
                                                                      ULONG_PTR systemAddress,
                                                                      ULONG_PTR replacementAddress)
{
    if (nSlot < 0 || nSlot >= SlotCount)
        return nullptr;
    ASSERT(m_slots[nSlot] == nullptr && FindHookedFunction(lpszModule, lpszFunction) == nullptr);
    if (m_slots[nSlot] != nullptr)
        return nullptr;
    auto* function = new CHLMSkinManagerApiFunction(this, lpszModule, lpszFunction, systemAddress,
                                                    replacementAddress);
    m_slots[nSlot] = function;
    // The replacements call the system function from the moment its slots can reach them.
    if (const SlotRow* row = RowOfSlot(nSlot))
        row->setSystem(systemAddress);
    function->HookImport();
    return function;
}

CHLMSkinManagerApiFunction* CHLMSkinManagerApiHook::FindHookedFunction(LPCSTR lpszModule,
                                                                       LPCSTR lpszFunction) const
{
    for (CHLMSkinManagerApiFunction* function : m_slots)
    {
        if (function != nullptr && CompareAsciiNoCase(function->m_szModule, lpszModule) == 0 &&
            CompareAsciiNoCase(function->m_szFunction, lpszFunction) == 0)
            return function;
    }
    return nullptr;
}

CHLMSkinManagerApiFunction* CHLMSkinManagerApiHook::GetHookedFunction(int nSlot) const
{
    ASSERT(nSlot < SlotCount);
    return nSlot >= 0 && nSlot < SlotCount ? m_slots[nSlot] : nullptr;
}

void CHLMSkinManagerApiHook::HookNewModule(HMODULE hModule, DWORD dwFlags)
{
    ScopedSectionLock lock(&m_lockPatching);
    ResolveExcludedModules(TRUE);
    if (hModule == nullptr || IsModuleExcluded(hModule) || (dwFlags & LOAD_LIBRARY_AS_DATAFILE) != 0)
        return;
    for (CHLMSkinManagerApiFunction* function : m_slots)
    {
        if (function != nullptr &&
            function->ReplaceInOneModule(function->m_szModule, function->m_systemAddress,
                                         function->m_replacementAddress, hModule))
            function->m_bHooked = TRUE;
    }
}

// ---------------------------------------------------------------------------------------
// Library loading and lookup

HMODULE WINAPI CHLMSkinManagerApiHook::OnHookLoadLibraryA(LPCSTR lpLibFileName)
{
    HMODULE module = HLM_SYSTEM(LoadLibraryA)(lpLibFileName);
    GetInstance().HookNewModule(module, 0);
    return module;
}

HMODULE WINAPI CHLMSkinManagerApiHook::OnHookLoadLibraryW(LPCWSTR lpLibFileName)
{
    HMODULE module = HLM_SYSTEM(LoadLibraryW)(lpLibFileName);
    GetInstance().HookNewModule(module, 0);
    return module;
}

HMODULE WINAPI CHLMSkinManagerApiHook::OnHookLoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile,
                                                            DWORD dwFlags)
{
    HMODULE module = HLM_SYSTEM(LoadLibraryExA)(lpLibFileName, hFile, dwFlags);
    GetInstance().HookNewModule(module, dwFlags);
    return module;
}

HMODULE WINAPI CHLMSkinManagerApiHook::OnHookLoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile,
                                                            DWORD dwFlags)
{
    HMODULE module = HLM_SYSTEM(LoadLibraryExW)(lpLibFileName, hFile, dwFlags);
    GetInstance().HookNewModule(module, dwFlags);
    return module;
}

HMODULE WINAPI CHLMSkinManagerApiHook::OnHookGetModuleHandleA(LPCSTR lpModuleName)
{
    if (lpModuleName != nullptr && (ApplyOptions() & HLM_SKINAPPLY_COLORS) != 0 &&
        CompareAsciiNoCase(lpModuleName, "UxTheme.dll") == 0)
        return HLM_UXTHEME_PSEUDO_HANDLE;
    return HLM_SYSTEM(GetModuleHandleA)(lpModuleName);
}

FARPROC WINAPI CHLMSkinManagerApiHook::OnHookGetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    // An ordinal, not a name.
    if (reinterpret_cast<ULONG_PTR>(lpProcName) <= 0xFFFE)
        return GetOriginalProcAddress(hModule, lpProcName);
    LPCSTR moduleName = kUxTheme;
    char path[MAX_PATH] = {};
    if (hModule != HLM_UXTHEME_PSEUDO_HANDLE)
    {
        ::GetModuleFileNameA(hModule, path, MAX_PATH);
        const char* slash = strrchr(path, '\\');
        const char* fileName = slash != nullptr ? slash + 1 : path;
        // The real visual-styles library always gives its real functions.
        if (CompareAsciiNoCase(fileName, "UxTheme.dll") == 0)
            return GetOriginalProcAddress(hModule, lpProcName);
        moduleName = fileName;
    }
    if (CHLMSkinManagerApiFunction* function = GetInstance().FindHookedFunction(moduleName, lpProcName))
        return FunctionAt<FARPROC>(function->m_replacementAddress);
    // No real module has the pseudo handle: nothing else is found on it.
    if (hModule == HLM_UXTHEME_PSEUDO_HANDLE)
        return nullptr;
    return GetOriginalProcAddress(hModule, lpProcName);
}

HANDLE WINAPI CHLMSkinManagerApiHook::OnHookCreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes,
                                                         SIZE_T dwStackSize,
                                                         LPTHREAD_START_ROUTINE lpStartAddress,
                                                         LPVOID lpParameter, DWORD dwCreationFlags,
                                                         LPDWORD lpThreadId)
{
    CHLMSkinManager* manager = Manager();
    const auto createThread = HLM_SYSTEM(CreateThread);
    if (manager == nullptr || !manager->IsEnabled() || !manager->IsHookNewThreads())
        return createThread(lpThreadAttributes, dwStackSize, lpStartAddress, lpParameter,
                            dwCreationFlags, lpThreadId);
    auto* record = new ThreadStart{lpStartAddress, lpParameter};
    LPTHREAD_START_ROUTINE thunk = &ThreadStartThunk;
    HANDLE thread = createThread(lpThreadAttributes, dwStackSize, thunk, record, dwCreationFlags,
                                 lpThreadId);
    if (thread == nullptr)
        delete record;  // no thread will free it
    return thread;
}

namespace
{
// The system default procedure a class would get instead of our replacement of it, or null.
template <typename WNDCLASSTYPE>
ULONG_PTR SystemDefaultProcedure(const WNDCLASSTYPE& windowClass, BOOL unicode)
{
    const ULONG_PTR procedure = AddressOf(windowClass.lpfnWndProc);
    const int slots[2][4] = {{27, 31, 29, 33}, {28, 32, 30, 34}};
    for (int slot : slots[unicode ? 1 : 0])
    {
        CHLMSkinManagerApiFunction* function = CHLMSkinManagerApiHook::GetInstance().GetHookedFunction(slot);
        if (function != nullptr && function->m_replacementAddress == procedure)
            return function->m_systemAddress;
    }
    return 0;
}
}

namespace
{
// Registers the class with the system default procedure in place of our replacement of it.
template <typename WNDCLASSTYPE, typename F>
ATOM RegisterWithSystemProcedure(const WNDCLASSTYPE* windowClass, BOOL unicode, F registerClass)
{
    if (windowClass != nullptr)
    {
        if (const ULONG_PTR system = SystemDefaultProcedure(*windowClass, unicode))
        {
            WNDCLASSTYPE copy = *windowClass;
            copy.lpfnWndProc = FunctionAt<WNDPROC>(system);
            return registerClass(&copy);
        }
    }
    return registerClass(windowClass);
}
}

ATOM WINAPI CHLMSkinManagerApiHook::OnHookRegisterClassA(const WNDCLASSA* lpWndClass)
{
    return RegisterWithSystemProcedure(lpWndClass, FALSE, HLM_SYSTEM(RegisterClassA));
}

ATOM WINAPI CHLMSkinManagerApiHook::OnHookRegisterClassW(const WNDCLASSW* lpWndClass)
{
    return RegisterWithSystemProcedure(lpWndClass, TRUE, HLM_SYSTEM(RegisterClassW));
}

// ---------------------------------------------------------------------------------------
// Colours and drawing

DWORD WINAPI CHLMSkinManagerApiHook::OnHookGetSysColor(int nIndex)
{
    if (IsSkinEnabled() && nIndex >= 0 && nIndex < CHLMSkinManagerMetrics::ColorCount)
    {
        const COLORREF color = Manager()->GetMetrics()->GetColor(nIndex);
        if (color != static_cast<COLORREF>(-1))
            return color;
    }
    return HLM_SYSTEM(GetSysColor)(nIndex);
}

HBRUSH WINAPI CHLMSkinManagerApiHook::OnHookGetSysColorBrush(int nIndex)
{
    if (IsSkinEnabled() && nIndex > 0 && nIndex < CHLMSkinManagerMetrics::ColorCount)
    {
        HBRUSH brush = Manager()->GetMetrics()->m_brushes[nIndex];
        if (brush != nullptr)
            return brush;
    }
    return HLM_SYSTEM(GetSysColorBrush)(nIndex);
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookDeleteObject(HGDIOBJ ho)
{
    CHLMSkinManager* manager = Manager();
    if (manager != nullptr && manager->GetMetrics() != nullptr && manager->GetMetrics()->OwnsBrush(ho))
        return FALSE;  // the skin's colour brushes are shared, like the system's
    return HLM_SYSTEM(DeleteObject)(ho);
}

int WINAPI CHLMSkinManagerApiHook::OnHookFillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    if (lprc == nullptr)
        return 0;
    // A brush value 1..30 stands for the system colour value - 1.
    const ULONG_PTR value = reinterpret_cast<ULONG_PTR>(hbr);
    CHLMSkinManager* manager = Manager();
    if (value >= 1 && value <= 30 && manager != nullptr && manager->GetMetrics() != nullptr)
    {
        HBRUSH skinBrush = manager->GetMetrics()->m_brushes[value - 1];
        if (skinBrush != nullptr)
            hbr = skinBrush;
    }
    return HLM_SYSTEM(FillRect)(hDC, lprc, hbr);
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookDrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags)
{
    if (qrc == nullptr)
        return FALSE;
    // Installed, edges are always the skin's, even the ones it cannot draw.
    if (g_replaced.DrawEdge.system != nullptr)
        return HLMSkinDrawEdge(hdc, qrc, edge, grfFlags);
    return HLM_SYSTEM(DrawEdge)(hdc, qrc, edge, grfFlags);
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookDrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState)
{
    if (lprc == nullptr)
        return FALSE;
    if (g_replaced.DrawFrameControl.system != nullptr && HLMSkinDrawFrameControl(hdc, lprc, uType, uState))
        return TRUE;
    return HLM_SYSTEM(DrawFrameControl)(hdc, lprc, uType, uState);
}

// ---------------------------------------------------------------------------------------
// Scroll bars

namespace
{
// The skinned frame of a window, when it has one.
CHLMSkinObjectPtr<CHLMSkinObjectFrame> FrameOf(HWND hWnd)
{
    CHLMSkinManager* manager = Manager();
    return manager != nullptr
        ? CHLMSkinObjectPtr<CHLMSkinObjectFrame>::DynamicCast(manager->FindSkinObject(hWnd))
        : CHLMSkinObjectPtr<CHLMSkinObjectFrame>();
}

bool IsWindowBar(int bar)
{
    return bar == SB_HORZ || bar == SB_VERT;
}
}

// The system changes a skinned bar without drawing it; the skin draws it.
int WINAPI CHLMSkinManagerApiHook::OnHookSetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi,
                                                       BOOL redraw)
{
    const auto frame = FrameOf(hwnd);
    if (frame == nullptr || !IsWindowBar(nBar) || !redraw)
        return HLM_SYSTEM(SetScrollInfo)(hwnd, nBar, lpsi, redraw);
    const int result = HLM_SYSTEM(SetScrollInfo)(hwnd, nBar, lpsi, FALSE);
    frame->UpdateScrollBar(nBar);
    return result;
}

int WINAPI CHLMSkinManagerApiHook::OnHookSetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw)
{
    const auto frame = FrameOf(hWnd);
    if (frame == nullptr || (nBar != SB_CTL && !IsWindowBar(nBar)))
        return HLM_SYSTEM(SetScrollPos)(hWnd, nBar, nPos, bRedraw);
    const int result = HLM_SYSTEM(SetScrollPos)(hWnd, nBar, nPos, FALSE);
    if (bRedraw && nBar == SB_CTL)
        ::InvalidateRect(hWnd, nullptr, FALSE);
    else if (bRedraw)
        frame->UpdateScrollBar(nBar);
    return result;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookGetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi)
{
    const BOOL result = HLM_SYSTEM(GetScrollInfo)(hwnd, nBar, lpsi);
    const auto frame = FrameOf(hwnd);
    if (lpsi == nullptr || (lpsi->fMask & SIF_TRACKPOS) == 0 || frame == nullptr)
        return result;
    // While the skin drags the bar's thumb, the track position is the skin's.
    const CHLMSkinObjectFrame::SCROLLBARTRACKING* tracking = frame->GetScrollTrackInfo();
    if (tracking != nullptr && tracking->bDragging && tracking->nBar == nBar)
        lpsi->nTrackPos = tracking->nPosition;
    return result;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookEnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows)
{
    const BOOL result = HLM_SYSTEM(EnableScrollBar)(hWnd, wSBflags, wArrows);
    const auto frame = FrameOf(hWnd);
    if (frame == nullptr)
        return result;
    if (wSBflags == SB_HORZ || wSBflags == SB_BOTH)
        frame->UpdateScrollBar(SB_HORZ);
    if (wSBflags == SB_VERT || wSBflags == SB_BOTH)
        frame->UpdateScrollBar(SB_VERT);
    return result;
}

// ---------------------------------------------------------------------------------------
// Metrics

namespace
{
// The skin answers the metrics questions only with both METRICS and COLORS applied.
CHLMSkinManagerMetrics* AnsweringMetrics()
{
    CHLMSkinManager* manager = Manager();
    const DWORD both = HLM_SKINAPPLY_METRICS | HLM_SKINAPPLY_COLORS;
    if (manager == nullptr || !manager->IsEnabled() || (manager->GetApplyOptions() & both) != both)
        return nullptr;
    CHLMSkinManagerMetrics* metrics = manager->GetMetrics();
    return metrics != nullptr && !metrics->m_bRefreshing ? metrics : nullptr;
}


void OverwriteFont(int propertyId, LOGFONTW& font)
{
    LOGFONTW skinFont = {};
    if (Manager()->GetThemeSysFont(propertyId, &skinFont) == S_OK)
        font = skinFont;
}
}

int WINAPI CHLMSkinManagerApiHook::OnHookGetSystemMetrics(int nIndex)
{
    const int value = HLM_SYSTEM(GetSystemMetrics)(nIndex);
    const CHLMSkinManagerMetrics* metrics = AnsweringMetrics();
    if (metrics == nullptr)
        return value;
    switch (nIndex)
    {
    case SM_CXVSCROLL:
        return metrics->m_cxVScroll;
    case SM_CYHSCROLL:
        return metrics->m_cyHScroll;
    case SM_CYCAPTION:
        return metrics->m_nCaptionHeight;
    case SM_CXBORDER:
        return metrics->m_cxBorder;
    case SM_CYBORDER:
        return metrics->m_cyBorder;
    case SM_CYVSCROLL:
        return metrics->m_cyVScroll;
    case SM_CXHSCROLL:
        return metrics->m_cxHScroll;
    case SM_CYSMCAPTION:
        return metrics->m_nSmallCaptionHeight;
    default:
        return value;
    }
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookSystemParametersInfoW(UINT uiAction, UINT uiParam,
                                                                PVOID pvParam, UINT fWinIni)
{
    const BOOL result = HLM_SYSTEM(SystemParametersInfoW)(uiAction, uiParam, pvParam, fWinIni);
    if (pvParam == nullptr || AnsweringMetrics() == nullptr)
        return result;
    if (uiAction == SPI_GETICONTITLELOGFONT && uiParam == sizeof(LOGFONTW))
    {
        OverwriteFont(TMT_ICONTITLEFONT, *static_cast<LOGFONTW*>(pvParam));
    }
    else if (uiAction == SPI_GETNONCLIENTMETRICS && uiParam == 500)
    {
        auto* metrics = static_cast<NONCLIENTMETRICSW*>(pvParam);
        OverwriteFont(TMT_MENUFONT, metrics->lfMenuFont);
        OverwriteFont(TMT_STATUSFONT, metrics->lfStatusFont);
        OverwriteFont(TMT_CAPTIONFONT, metrics->lfCaptionFont);
    }
    return result;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookAdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu,
                                                             DWORD dwExStyle)
{
    CHLMSkinManager* manager = Manager();
    // Without a schema there is no skin frame to measure: the system answers.
    const BOOL skinned = manager != nullptr && manager->GetSchema() != nullptr &&
                         (manager->GetApplyOptions() & HLM_SKINAPPLY_METRICS) != 0;
    const BOOL maximizedTopLevel = (dwStyle & WS_CHILD) == 0 && (dwStyle & WS_CAPTION) == WS_CAPTION &&
                                   (dwStyle & WS_MAXIMIZE) != 0;
    if (skinned && lpRect != nullptr && !bMenu && (dwStyle & WS_THICKFRAME) != 0 && !maximizedTopLevel)
    {
        const CRect borders = manager->GetSchema()->GetFrameBorders(dwStyle, dwExStyle);
        lpRect->left -= borders.left;
        lpRect->top -= borders.top;
        lpRect->right += borders.right;
        lpRect->bottom += borders.bottom;
        return TRUE;
    }
    const BOOL result = HLM_SYSTEM(AdjustWindowRectEx)(lpRect, dwStyle, bMenu, dwExStyle);
    if (!result || !skinned || lpRect == nullptr || (dwStyle & WS_CAPTION) != WS_CAPTION)
        return result;
    const CHLMSkinManagerMetrics& metrics = *manager->GetMetrics();
    if (dwExStyle & WS_EX_TOOLWINDOW)
        lpRect->top -= metrics.m_nSmallCaptionHeight - metrics.m_nSystemSmallCaptionHeight;
    else
        lpRect->top -= metrics.m_nCaptionHeight - metrics.m_nSystemCaptionHeight;
    return result;
}

// ---------------------------------------------------------------------------------------
// Default window procedures

BOOL CHLMSkinManagerApiHook::DispatchDefWindowProc(HWND hWnd,
                                                   const CHLMSkinObject::DEFWINDOW_DESCRIPTIOR& descriptor,
                                                   WPARAM* pwParam, LPARAM* plParam, LRESULT* pResult)
{
    CHLMSkinManager* manager = Manager();
    if (manager == nullptr || !manager->IsEnabled())
        return FALSE;
    const CHLMSkinObjectRef object = manager->FindSkinObject(hWnd);
    if (object == nullptr || object->IsOptedOut())
        return FALSE;
    const UINT message = descriptor.nMessage;
    // The object is handling this message already: this is its own default processing.
    if (message == object->GetCurrentDefMessage())
        return FALSE;
    if (message == WM_NCDESTROY && object->IsWindowsForms())
    {
        manager->DetachSkinObject(hWnd, TRUE);
        return FALSE;
    }
    if (descriptor.nType == CHLMSkinObject::DEFPROC_CALLWINDOWPROC && object->IsDefWindowProcMessage(message))
    {
        // Application code that will reach a default procedure itself.
        const WNDPROC procedure = descriptor.pfnWndProcParam;
        const BOOL application = procedure != nullptr && !IsSystemWindowProcAddress(procedure);
        if (application && !(manager->IsWin9x() && AddressOf(procedure) >= 0x70000000))
            return FALSE;
    }
    CCurrentMessageScope scope(AfxGetThreadState(), hWnd, message, *pwParam, *plParam);
    return object->HandleDefWindowProc(descriptor, *pwParam, *plParam, *pResult);
}

namespace
{
template <typename F>
LRESULT DefaultProcedure(const Replaced<F>& entry, F ownImport, int type, HWND hWnd, UINT message,
                         WPARAM wParam, LPARAM lParam)
{
    const F system = System(entry, ownImport);
    LRESULT result = 0;
    if (entry.system != nullptr &&
        CHLMSkinManagerApiHook::DispatchDefWindowProc(
            hWnd, CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::DefProc(message, type, system), &wParam,
            &lParam, &result))
        return result;
    return system(hWnd, message, wParam, lParam);
}

template <typename F>
LRESULT FrameProcedure(const Replaced<F>& entry, F ownImport, HWND hWnd, HWND client, UINT message,
                       WPARAM wParam, LPARAM lParam)
{
    const F system = System(entry, ownImport);
    LRESULT result = 0;
    if (entry.system != nullptr &&
        CHLMSkinManagerApiHook::DispatchDefWindowProc(
            hWnd, CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::DefFrameProc(message, system, client),
            &wParam, &lParam, &result))
        return result;
    return system(hWnd, client, message, wParam, lParam);
}

template <typename F>
LRESULT CallProcedure(const Replaced<F>& entry, F ownImport, WNDPROC procedure, HWND hWnd,
                      UINT message, WPARAM wParam, LPARAM lParam)
{
    const F system = System(entry, ownImport);
    LRESULT result = 0;
    if (entry.system != nullptr && procedure != nullptr &&
        CHLMSkinManagerApiHook::DispatchDefWindowProc(
            hWnd, CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::CallWindowProc(message, system, procedure),
            &wParam, &lParam, &result))
        return result;
    return system(procedure, hWnd, message, wParam, lParam);
}
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefWindowProcA, &::DefWindowProcA,
                            CHLMSkinObject::DEFPROC_DEFWINDOWPROC, hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefWindowProcW, &::DefWindowProcW,
                            CHLMSkinObject::DEFPROC_DEFWINDOWPROC, hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefMDIChildProcA(HWND hWnd, UINT uMsg, WPARAM wParam,
                                                              LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefMDIChildProcA, &::DefMDIChildProcA,
                            CHLMSkinObject::DEFPROC_DEFMDICHILDPROC, hWnd, uMsg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefMDIChildProcW(HWND hWnd, UINT uMsg, WPARAM wParam,
                                                              LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefMDIChildProcW, &::DefMDIChildProcW,
                            CHLMSkinObject::DEFPROC_DEFMDICHILDPROC, hWnd, uMsg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefDlgProcA, &::DefDlgProcA, CHLMSkinObject::DEFPROC_DEFDLGPROC,
                            hDlg, Msg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefaultProcedure(g_replaced.DefDlgProcW, &::DefDlgProcW, CHLMSkinObject::DEFPROC_DEFDLGPROC,
                            hDlg, Msg, wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefFrameProcA(HWND hWnd, HWND hWndMDIClient, UINT uMsg,
                                                           WPARAM wParam, LPARAM lParam)
{
    return FrameProcedure(g_replaced.DefFrameProcA, &::DefFrameProcA, hWnd, hWndMDIClient, uMsg,
                          wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookDefFrameProcW(HWND hWnd, HWND hWndMDIClient, UINT uMsg,
                                                           WPARAM wParam, LPARAM lParam)
{
    return FrameProcedure(g_replaced.DefFrameProcW, &::DefFrameProcW, hWnd, hWndMDIClient, uMsg,
                          wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookCallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg,
                                                             WPARAM wParam, LPARAM lParam)
{
    return CallProcedure(g_replaced.CallWindowProcA, &::CallWindowProcA, lpPrevWndFunc, hWnd, Msg,
                         wParam, lParam);
}

LRESULT WINAPI CHLMSkinManagerApiHook::OnHookCallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg,
                                                             WPARAM wParam, LPARAM lParam)
{
    return CallProcedure(g_replaced.CallWindowProcW, &::CallWindowProcW, lpPrevWndFunc, hWnd, Msg,
                         wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// Visual styles: reached only through the pseudo handle

namespace
{
// The class object a theme handle stands for, when it is one of the manager's.
CHLMSkinManagerClass* ThemeClass(HTHEME hTheme)
{
    CHLMSkinManager* manager = Manager();
    return hTheme != nullptr && manager != nullptr ? manager->LookupClass(hTheme) : nullptr;
}

HTHEME ThemeOf(CHLMSkinManagerClass* skinClass)
{
    return static_cast<HTHEME>(static_cast<void*>(skinClass));
}

// Copies source with its terminator when it fits the buffer; otherwise leaves it untouched.
void CopyIfItFits(LPWSTR buffer, int size, const CString& source)
{
    if (buffer != nullptr && source.GetLength() < size)
        SafeStringCopyN(buffer, source, static_cast<size_t>(size));
}
}

HTHEME WINAPI CHLMSkinManagerApiHook::OnHookOpenThemeData(HWND /*hwnd*/, LPCWSTR pszClassList)
{
    if (!IsSkinEnabled())
        return nullptr;
    return ThemeOf(Manager()->GetSkinClass(pszClassList));
}

HRESULT WINAPI CHLMSkinManagerApiHook::OnHookCloseThemeData(HTHEME /*hTheme*/)
{
    return S_OK;
}

HRESULT WINAPI CHLMSkinManagerApiHook::OnHookDrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId,
                                                                 int iStateId, LPCRECT pRect,
                                                                 LPCRECT pClipRect)
{
    CHLMSkinManagerClass* skinClass = ThemeClass(hTheme);
    if (skinClass == nullptr)
        return E_FAIL;
    if (pRect == nullptr)
        return E_INVALIDARG;
    HRGN savedClip = nullptr;
    const BOOL clip = pRect != nullptr && pClipRect != nullptr && !::EqualRect(pRect, pClipRect);
    if (clip)
    {
        savedClip = ::CreateRectRgn(0, 0, 0, 0);
        if (::GetClipRgn(hdc, savedClip) != 1)
        {
            ::DeleteObject(savedClip);
            savedClip = nullptr;
        }
        ::IntersectClipRect(hdc, pClipRect->left, pClipRect->top, pClipRect->right, pClipRect->bottom);
    }
    const BOOL drawn = skinClass->DrawThemeBackground(CDC::FromHandle(hdc), iPartId, iStateId, pRect);
    if (clip)
    {
        ::ExtSelectClipRgn(hdc, savedClip, RGN_COPY);
        if (savedClip != nullptr)
            ::DeleteObject(savedClip);
    }
    return drawn ? S_OK : E_FAIL;
}

HRESULT WINAPI CHLMSkinManagerApiHook::OnHookGetThemeColor(HTHEME hTheme, int iPartId, int iStateId,
                                                           int iPropId, COLORREF* pColor)
{
    CHLMSkinManagerClass* skinClass = ThemeClass(hTheme);
    if (skinClass == nullptr)
        return E_FAIL;
    if (pColor == nullptr)
        return E_INVALIDARG;
    const COLORREF color = skinClass->GetThemeColor(iPartId, iStateId, iPropId, static_cast<COLORREF>(-1));
    if (color == static_cast<COLORREF>(-1))
        return E_FAIL;
    *pColor = color;
    return S_OK;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookIsAppThemed()
{
    return TRUE;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookIsThemeActive()
{
    return TRUE;
}

HRESULT WINAPI CHLMSkinManagerApiHook::OnHookGetThemePartSize(HTHEME hTheme, HDC /*hdc*/, int iPartId,
                                                              int iStateId, RECT* prc,
                                                              THEMESIZE eSize, SIZE* psz)
{
    CHLMSkinManagerClass* skinClass = ThemeClass(hTheme);
    if (skinClass != nullptr && psz == nullptr)
        return E_INVALIDARG;
    if (skinClass != nullptr && skinClass->GetThemePartSize(iPartId, iStateId, prc, eSize, psz))
        return S_OK;
    return E_FAIL;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookGetThemeSysBool(HTHEME /*hTheme*/, int iBoolId)
{
    CHLMSkinManager* manager = Manager();
    return manager != nullptr && manager->GetThemeSysBool(iBoolId);
}

COLORREF WINAPI CHLMSkinManagerApiHook::OnHookGetThemeSysColor(HTHEME /*hTheme*/, int iColorId)
{
    CHLMSkinManager* manager = Manager();
    return manager != nullptr ? manager->GetThemeSysColor(iColorId) : static_cast<COLORREF>(-1);
}

HRESULT WINAPI CHLMSkinManagerApiHook::OnHookGetCurrentThemeName(LPWSTR pszThemeFileName,
                                                                 int cchMaxNameChars,
                                                                 LPWSTR pszColorBuff,
                                                                 int cchMaxColorChars,
                                                                 LPWSTR /*pszSizeBuff*/,
                                                                 int /*cchMaxSizeChars*/)
{
    CHLMSkinManager* manager = Manager();
    if (manager == nullptr || manager->GetResourceFile() == nullptr)
        return E_FAIL;
    const CHLMSkinManagerResourceFile& file = *manager->GetResourceFile();
    CopyIfItFits(pszThemeFileName, cchMaxNameChars, file.GetResourcePath());
    if (pszColorBuff != nullptr)
    {
        CString color = file.GetIniFileName();
        color.MakeUpper();
        // The first of these words after the first character names the colour scheme.
        const struct
        {
            LPCWSTR word;
            LPCWSTR scheme;
        } kSchemes[] = {{L"METALLIC", L"metallic"}, {L"BLUE", L"normalcolor"}, {L"HOMESTEAD", L"homestead"}};
        for (const auto& scheme : kSchemes)
        {
            if (color.Find(scheme.word) > 0)
            {
                color = scheme.scheme;
                break;
            }
        }
        CopyIfItFits(pszColorBuff, cchMaxColorChars, color);
    }
    return S_OK;
}

// ---------------------------------------------------------------------------------------
// System window procedures

namespace
{
// The address range of one system module, read on first use.
class SystemModuleRange
{
public:
    explicit SystemModuleRange(LPCWSTR name) : m_name(name) {}

    // refresh: read again whenever the module handle changed (a module that can be unloaded
    // and loaded again elsewhere).
    BOOL Contains(ULONG_PTR address, BOOL refresh)
    {
        if (!m_read || refresh)
        {
            HMODULE module = ::GetModuleHandleW(m_name);
            if (!m_read || module != m_module)
                Read(module);
        }
        return m_size != 0 && address > m_base && address < m_base + m_size;
    }

private:
    void Read(HMODULE module)
    {
        m_read = TRUE;
        m_module = module;
        m_base = 0;
        m_size = 0;
        CHLMSkinManagerModuleList::MODULEINFORMATION information = {};
        if (module != nullptr && CHLMSkinManagerModuleList().GetModuleInformation(module, &information))
        {
            m_base = reinterpret_cast<ULONG_PTR>(information.lpBaseOfDll);
            m_size = information.SizeOfImage;
        }
    }

    LPCWSTR m_name;
    BOOL m_read = FALSE;
    HMODULE m_module = nullptr;
    ULONG_PTR m_base = 0;
    ULONG_PTR m_size = 0;
};
}

BOOL IsSystemWindowProcAddress(WNDPROC pfnWndProc)
{
    const ULONG_PTR address = AddressOf(pfnWndProc);
    // Procedure handles (0xFFFF00xx) in both pointer sizes.
    if (address >= 0xFFFF0000 && address <= 0xFFFFFFFF)
        return TRUE;
    static SystemModuleRange user32(L"USER32.DLL");
    static SystemModuleRange comctl32(L"COMCTL32.DLL");
    static SystemModuleRange ntdll(L"NTDLL.DLL");
    if (user32.Contains(address, FALSE) || comctl32.Contains(address, TRUE))
        return TRUE;
    if (!OsVersionInfo().IsWinXPOrLater())
        return FALSE;
    return ntdll.Contains(address, FALSE);
}
