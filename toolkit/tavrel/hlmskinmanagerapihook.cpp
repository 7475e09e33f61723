// The import-table rewriter, and the replacements that keep it working: library loading
// hooks every module loaded later, GetModuleHandleA and GetProcAddress hand out the
// replacements, CreateThread gives new threads the creation hook. The other replacements are
// in hlmskinmanagerreplacements.cpp and hlmskinmanagerthemereplacements.cpp.
#include "hlmskinmanagerapihook.h"

#include "hlmskinmanager.h"
#include "hlmskinmanagerapihookinternal.h"
#include "hlmskinmanagermodulelist.h"
#include "common/hlmsystemhelpers.h"

#include <algorithm>
#include <cstring>
#include <new>

using namespace HLMApiHookInternal;

ReplacedFunctions HLMApiHookInternal::g_replaced;

namespace
{
// How import pages get their protection changed; tests make it fail.
decltype(&::VirtualProtect) g_protectSlotPage = &::VirtualProtect;

template <auto Member>
ULONG_PTR ReplacementOf()
{
    return AddressOf((g_replaced.*Member).pfnReplacement);
}

template <auto Member>
void SetSystemOf(ULONG_PTR address)
{
    auto& entry = g_replaced.*Member;
    entry.pfnSystem = FunctionAt<decltype(entry.pfnSystem)>(address);
}

// The gate of a slot hooked whatever the apply options; the others name their option.
const DWORD kAlways = 0;

struct SlotRow
{
    int nSlot;
    LPCSTR lpszModule;
    LPCSTR lpszFunction;
    DWORD dwGate;
    ULONG_PTR (*pfnReplacement)();
    void (*pfnSetSystem)(ULONG_PTR);
};

#define HLM_SLOT(slot, module, name, gate) \
    {slot, module, #name, gate, &ReplacementOf<&ReplacedFunctions::name>, &SetSystemOf<&ReplacedFunctions::name>}

const char kKernel32[] = "KERNEL32.DLL";
const char kUser32[] = "USER32.DLL";
const char kGdi32[] = "GDI32.DLL";
const char kUxTheme[] = "UXTHEME.DLL";

// In installation order.
const SlotRow kSlots[] = {
    HLM_SLOT(0, kKernel32, LoadLibraryA, kAlways),
    HLM_SLOT(1, kKernel32, LoadLibraryW, kAlways),
    HLM_SLOT(2, kKernel32, LoadLibraryExA, kAlways),
    HLM_SLOT(3, kKernel32, LoadLibraryExW, kAlways),
    HLM_SLOT(4, kKernel32, GetProcAddress, kAlways),
    HLM_SLOT(5, kKernel32, GetModuleHandleA, kAlways),
    HLM_SLOT(37, kKernel32, CreateThread, kAlways),
    HLM_SLOT(6, kUser32, RegisterClassA, kAlways),
    HLM_SLOT(7, kUser32, RegisterClassW, kAlways),
    HLM_SLOT(8, kUser32, GetSysColor, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(9, kUser32, GetSysColorBrush, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(10, kUser32, DrawEdge, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(38, kUser32, FillRect, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(39, kGdi32, DeleteObject, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(16, kUxTheme, OpenThemeData, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(17, kUxTheme, DrawThemeBackground, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(18, kUxTheme, CloseThemeData, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(19, kUxTheme, GetThemeColor, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(20, kUxTheme, IsAppThemed, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(21, kUxTheme, IsThemeActive, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(22, kUxTheme, GetCurrentThemeName, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(23, kUxTheme, GetThemeSysBool, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(24, kUxTheme, GetThemeSysColor, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(25, kUxTheme, GetThemePartSize, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(11, kUser32, DrawFrameControl, HLM_SKINAPPLY_COLORS),
    HLM_SLOT(12, kUser32, SetScrollInfo, HLM_SKINAPPLY_FRAME),
    HLM_SLOT(13, kUser32, SetScrollPos, HLM_SKINAPPLY_FRAME),
    HLM_SLOT(14, kUser32, GetScrollInfo, HLM_SKINAPPLY_FRAME),
    HLM_SLOT(15, kUser32, EnableScrollBar, HLM_SKINAPPLY_FRAME),
    HLM_SLOT(26, kUser32, SystemParametersInfoW, HLM_SKINAPPLY_METRICS),
    HLM_SLOT(40, kUser32, AdjustWindowRectEx, HLM_SKINAPPLY_METRICS),
    HLM_SLOT(41, kUser32, GetSystemMetrics, HLM_SKINAPPLY_METRICS),
    HLM_SLOT(27, kUser32, DefWindowProcA, kAlways),
    HLM_SLOT(28, kUser32, DefWindowProcW, kAlways),
    HLM_SLOT(31, kUser32, DefFrameProcA, kAlways),
    HLM_SLOT(32, kUser32, DefFrameProcW, kAlways),
    HLM_SLOT(33, kUser32, DefDlgProcA, kAlways),
    HLM_SLOT(34, kUser32, DefDlgProcW, kAlways),
    HLM_SLOT(29, kUser32, DefMDIChildProcA, kAlways),
    HLM_SLOT(30, kUser32, DefMDIChildProcW, kAlways),
    HLM_SLOT(35, kUser32, CallWindowProcA, kAlways),
    HLM_SLOT(36, kUser32, CallWindowProcW, kAlways),
};
#undef HLM_SLOT

static_assert(sizeof(kSlots) / sizeof(kSlots[0]) == CHLMSkinManagerApiHook::kSlotCount,
              "one row per slot");

const SlotRow* RowOfSlot(int slot)
{
    for (const SlotRow& row : kSlots)
    {
        if (row.nSlot == slot)
            return &row;
    }
    return nullptr;
}

DWORD ApplyOptions()
{
    CHLMSkinManager* manager = Manager();
    return manager != nullptr ? manager->GetApplyOptions()
                              : HLM_SKINAPPLY_METRICS | HLM_SKINAPPLY_FRAME | HLM_SKINAPPLY_COLORS;
}

// The import directory of a loaded module, with every RVA checked against the image size.
class ImportDirectory
{
public:
    explicit ImportDirectory(HMODULE module) : m_pBase(reinterpret_cast<const BYTE*>(module))
    {
        m_bValid = module != nullptr && ReadHeaders();
    }

    BOOL IsValid() const { return m_bValid; }

    // The descriptor at index; null past the last (the one whose Name is 0) or when it
    // lies outside the image.
    const IMAGE_IMPORT_DESCRIPTOR* Descriptor(size_t index) const
    {
        const ULONG_PTR offset = m_nDirectory + index * sizeof(IMAGE_IMPORT_DESCRIPTOR);
        if (!Fits(offset, sizeof(IMAGE_IMPORT_DESCRIPTOR)))
            return nullptr;
        const auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(m_pBase + offset);
        return descriptor->Name != 0 ? descriptor : nullptr;
    }

    // The DLL name a descriptor imports from, bounded by the image; null when malformed.
    LPCSTR Name(const IMAGE_IMPORT_DESCRIPTOR& descriptor) const
    {
        if (!Fits(descriptor.Name, 1))
            return nullptr;
        const char* name = reinterpret_cast<const char*>(m_pBase + descriptor.Name);
        const size_t room = m_nImageSize - descriptor.Name;
        return memchr(name, 0, room < 260 ? room : 260) != nullptr ? name : nullptr;
    }

    // The thunk at index of a table (FirstThunk or OriginalFirstThunk); null outside.
    ULONG_PTR* Thunk(DWORD tableRva, size_t index) const
    {
        const ULONG_PTR offset = tableRva + index * sizeof(ULONG_PTR);
        if (tableRva == 0 || !Fits(offset, sizeof(ULONG_PTR)))
            return nullptr;
        return reinterpret_cast<ULONG_PTR*>(const_cast<BYTE*>(m_pBase) + offset);
    }

private:
    BOOL Fits(ULONG_PTR offset, size_t size) const
    {
        return offset < m_nImageSize && size <= m_nImageSize - offset;
    }

    BOOL ReadHeaders()
    {
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(m_pBase);
        if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 ||
            static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64) > kHeaderPage)
            return FALSE;
        const BYTE* nt = m_pBase + dos->e_lfanew;
        if (*reinterpret_cast<const DWORD*>(nt) != IMAGE_NT_SIGNATURE)
            return FALSE;
        const WORD magic = reinterpret_cast<const IMAGE_NT_HEADERS32*>(nt)->OptionalHeader.Magic;
        const IMAGE_DATA_DIRECTORY* directory = nullptr;
        if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        {
            const auto& optional = reinterpret_cast<const IMAGE_NT_HEADERS32*>(nt)->OptionalHeader;
            if (optional.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT)
                return FALSE;
            m_nImageSize = optional.SizeOfImage;
            directory = &optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        }
        else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        {
            const auto& optional = reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt)->OptionalHeader;
            if (optional.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT)
                return FALSE;
            m_nImageSize = optional.SizeOfImage;
            directory = &optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        }
        // The import slots hold addresses of this build's size: an image of the other
        // format (one mapped as data) is not walked.
        if (magic != IMAGE_NT_OPTIONAL_HDR_MAGIC || directory == nullptr)
            return FALSE;
        m_nDirectory = directory->VirtualAddress;
        return m_nDirectory != 0 && Fits(m_nDirectory, sizeof(IMAGE_IMPORT_DESCRIPTOR));
    }

    static const size_t kHeaderPage = 0x1000;

    const BYTE* m_pBase;
    ULONG_PTR m_nImageSize = 0;
    ULONG_PTR m_nDirectory = 0;
    BOOL m_bValid = FALSE;
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
    LPTHREAD_START_ROUTINE lpStartAddress;
    LPVOID lpParameter;
};

DWORD WINAPI ThreadStartThunk(LPVOID parameter)
{
    ThreadStart* record = static_cast<ThreadStart*>(parameter);
    const LPTHREAD_START_ROUTINE start = record->lpStartAddress;
    LPVOID startParameter = record->lpParameter;
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
    return function != nullptr ? function->m_nSystemAddress : 0;
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
      m_nSystemAddress(UnwrapPushStub(systemAddress, GetHighestApplicationAddress())),
      m_nReplacementAddress(replacementAddress)
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
    m_bHooked = ReplaceInAllModules(m_szModule, m_nSystemAddress, m_nReplacementAddress);
}

BOOL CHLMSkinManagerApiFunction::UnhookImport()
{
    if (!m_bHooked)
        return TRUE;
    BOOL failed = FALSE;
    // Without memory for the module list nothing was walked: that counts as a failure.
    TurnExceptionInto(
        FALSE, [&] { return ReplaceInAllModules(m_szModule, m_nReplacementAddress, m_nSystemAddress, &failed); },
        &failed);
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

CHLMSkinManagerApiHook::CHLMSkinManagerApiHook() : m_arrSlots(), m_bInstalled(FALSE), m_bIncomplete(FALSE)
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
    m_vecExcluded.push_back({nullptr, CString(lpszModule), bWin9xOnly});
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
    for (EXCLUDEDMODULE& module : m_vecExcluded)
    {
        if (!bOnlyMissing || module.hModule == nullptr)
            module.hModule = ::GetModuleHandleW(module.strName);
    }
}

BOOL CHLMSkinManagerApiHook::IsModuleExcluded(HMODULE hModule) const
{
    CHLMSkinManager* manager = Manager();
    const BOOL win9x = manager != nullptr && manager->IsWin9x();
    for (const EXCLUDEDMODULE& module : m_vecExcluded)
    {
        if (module.hModule == hModule && (win9x || !module.bWin9xOnly))
            return TRUE;
    }
    return FALSE;
}

std::vector<HMODULE> CHLMSkinManagerApiHook::GetModules() const
{
    if (!m_vecModuleSnapshot.empty())
        return m_vecModuleSnapshot;
    std::vector<HMODULE> modules;
    CHLMSkinManagerModuleList list;
    for (HMODULE module = list.GetFirstModule(); module != nullptr; module = list.GetNextModule())
        modules.push_back(module);
    return modules;
}

CHLMSkinManagerApiHook::ModuleSnapshot::ModuleSnapshot(CHLMSkinManagerApiHook& hook, BOOL* pRaised)
    : m_hook(hook)
{
    // Without memory for the list, every slot lists the modules itself.
    m_hook.m_vecModuleSnapshot =
        TurnExceptionInto(std::vector<HMODULE>(), [&] { return m_hook.GetModules(); }, pRaised);
}

CHLMSkinManagerApiHook::ModuleSnapshot::~ModuleSnapshot()
{
    m_hook.m_vecModuleSnapshot.clear();
}

BOOL CHLMSkinManagerApiHook::InstallHooks()
{
    ScopedSectionLock lock(&m_lockPatching);
    if (m_bInstalled)
        return TRUE;
    m_bIncomplete = FALSE;
    const ModuleSnapshot snapshot(*this, &m_bIncomplete);
    ResolveExcludedModules(FALSE);
    const DWORD options = ApplyOptions();
    for (const SlotRow& row : kSlots)
    {
        if (row.dwGate == kAlways || (options & row.dwGate) != 0)
            HookFunction(row.nSlot, row.lpszModule, row.lpszFunction, row.pfnReplacement());
    }
    m_bInstalled = TRUE;
    return !m_bIncomplete;
}

void CHLMSkinManagerApiHook::RemoveHooks()
{
    // The replaced LoadLibrary of any thread reads the slot records (one lock for them all).
    ScopedSectionLock lock(&m_lockPatching);
    if (!m_bInstalled)
        return;
    const ModuleSnapshot snapshot(*this);
    for (int slot = 0; slot < kSlotCount; ++slot)
    {
        // A record whose slots could not all be written back stays, still forwarding to the
        // system function, and the rewriter stays installed: the next removal tries again.
        if (m_arrSlots[slot] == nullptr || !m_arrSlots[slot]->UnhookImport())
            continue;
        delete m_arrSlots[slot];
        m_arrSlots[slot] = nullptr;
        RowOfSlot(slot)->pfnSetSystem(0);
    }
    m_bInstalled = std::any_of(std::begin(m_arrSlots), std::end(m_arrSlots),
                               [](const CHLMSkinManagerApiFunction* function) { return function != nullptr; });
}

CHLMSkinManagerApiFunction* CHLMSkinManagerApiHook::HookFunction(int nSlot, LPCSTR lpszModule,
                                                                 LPCSTR lpszFunction,
                                                                 ULONG_PTR replacementAddress)
{
    // A function that cannot be hooked for want of memory stays the system's, and the
    // installation reports itself incomplete.
    return TurnExceptionInto<CHLMSkinManagerApiFunction*>(
        nullptr, [&] { return HookResolvedFunction(nSlot, lpszModule, lpszFunction, replacementAddress); },
        &m_bIncomplete);
}

CHLMSkinManagerApiFunction* CHLMSkinManagerApiHook::HookResolvedFunction(int nSlot, LPCSTR lpszModule,
                                                                         LPCSTR lpszFunction,
                                                                         ULONG_PTR replacementAddress)
{
    if (FindHookedFunction(lpszModule, lpszFunction) != nullptr)
        return nullptr;
    // The visual-styles functions are handed out by the GetProcAddress replacement only.
    if (CompareAsciiNoCase(lpszModule, kUxTheme) == 0)
        return AddHookedFunction(nSlot, lpszModule, lpszFunction, 0, replacementAddress);
    FARPROC system = GetOriginalProcAddress(::GetModuleHandleA(lpszModule), lpszFunction);
    if (system == nullptr && ::LoadLibraryA(lpszModule) != nullptr)
        system = GetOriginalProcAddress(::GetModuleHandleA(lpszModule), lpszFunction);
    if (system == nullptr)
        return nullptr;
    return AddHookedFunction(nSlot, lpszModule, lpszFunction, AddressOf(system), replacementAddress);
}

CHLMSkinManagerApiFunction* CHLMSkinManagerApiHook::AddHookedFunction(int nSlot, LPCSTR lpszModule,
                                                                      LPCSTR lpszFunction,
                                                                      ULONG_PTR systemAddress,
                                                                      ULONG_PTR replacementAddress)
{
    if (nSlot < 0 || nSlot >= kSlotCount)
        return nullptr;
    ASSERT(m_arrSlots[nSlot] == nullptr && FindHookedFunction(lpszModule, lpszFunction) == nullptr);
    if (m_arrSlots[nSlot] != nullptr)
        return nullptr;
    auto* function = new CHLMSkinManagerApiFunction(this, lpszModule, lpszFunction, systemAddress,
                                                    replacementAddress);
    m_arrSlots[nSlot] = function;
    // The replacements call the system function from the moment its slots can reach them.
    if (const SlotRow* row = RowOfSlot(nSlot))
        row->pfnSetSystem(systemAddress);
    function->HookImport();
    return function;
}

CHLMSkinManagerApiFunction* CHLMSkinManagerApiHook::FindHookedFunction(LPCSTR lpszModule,
                                                                       LPCSTR lpszFunction) const
{
    for (CHLMSkinManagerApiFunction* function : m_arrSlots)
    {
        if (function != nullptr && CompareAsciiNoCase(function->m_szModule, lpszModule) == 0 &&
            CompareAsciiNoCase(function->m_szFunction, lpszFunction) == 0)
            return function;
    }
    return nullptr;
}

CHLMSkinManagerApiFunction* CHLMSkinManagerApiHook::GetHookedFunction(int nSlot) const
{
    ASSERT(nSlot < kSlotCount);
    return nSlot >= 0 && nSlot < kSlotCount ? m_arrSlots[nSlot] : nullptr;
}

void CHLMSkinManagerApiHook::HookNewModule(HMODULE hModule, DWORD dwFlags)
{
    ScopedSectionLock lock(&m_lockPatching);
    ResolveExcludedModules(TRUE);
    if (hModule == nullptr || IsModuleExcluded(hModule) || (dwFlags & LOAD_LIBRARY_AS_DATAFILE) != 0)
        return;
    for (CHLMSkinManagerApiFunction* function : m_arrSlots)
    {
        if (function != nullptr &&
            function->ReplaceInOneModule(function->m_szModule, function->m_nSystemAddress,
                                         function->m_nReplacementAddress, hModule))
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
        return FunctionAt<FARPROC>(function->m_nReplacementAddress);
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
    // The caller expects NULL, not an exception, when memory runs out.
    auto* record = new (std::nothrow) ThreadStart{lpStartAddress, lpParameter};
    if (record == nullptr)
    {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    LPTHREAD_START_ROUTINE thunk = &ThreadStartThunk;
    HANDLE thread = createThread(lpThreadAttributes, dwStackSize, thunk, record, dwCreationFlags,
                                 lpThreadId);
    if (thread == nullptr)
        delete record;  // no thread will free it
    return thread;
}
