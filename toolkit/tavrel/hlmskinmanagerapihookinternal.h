// What the import-table rewriter shares with the replacements of system functions: the table
// of replaced functions with the system function saved for each, and the way to the skin
// manager. Private to the rewriter and the replacements.
#pragma once

#include "hlmskinmanager.h"
#include "hlmskinmanagerapihook.h"

namespace HLMApiHookInternal
{
// ---------------------------------------------------------------------------------------
// The table of replaced functions. Each entry is typed by the system function's own type,
// so a replacement whose signature or calling convention differs does not compile (the
// 32-bit build checks the calling convention).

template <typename F>
struct Replaced
{
    F pfnReplacement;
    F pfnSystem;  // the pfnSystem function while its slot holds a record, else null
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

// The rewriter sets and clears the saved system functions; the replacements call them.
extern ReplacedFunctions g_replaced;

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
    return entry.pfnSystem != nullptr ? entry.pfnSystem : ownImport;
}

#define HLM_SYSTEM(name) HLMApiHookInternal::System(HLMApiHookInternal::g_replaced.name, &::name)

inline CHLMSkinManager* Manager()
{
    return GetSkinManagerIfCreated();
}

inline BOOL IsSkinEnabled()
{
    CHLMSkinManager* manager = Manager();
    return manager != nullptr && manager->IsEnabled();
}
}
