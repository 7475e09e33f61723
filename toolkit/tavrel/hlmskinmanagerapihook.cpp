#include "hlmskinmanagerapihook.h"

#include "hlmskinmanagermodulelist.h"
#include "common/hlmsystemhelpers.h"

namespace
{
// The address range of one system module, read on first use.
class SystemModuleRange
{
public:
    explicit SystemModuleRange(LPCWSTR name) : m_name(name) {}

    // refresh: read the range again whenever the module handle changes (a module that can
    // be unloaded and loaded again elsewhere).
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
        if (module != nullptr &&
            CHLMSkinManagerModuleList().GetModuleInformation(module, &information))
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
    const ULONG_PTR address = reinterpret_cast<ULONG_PTR>(pfnWndProc);
    // ANSI/Unicode procedure handles are 0xFFFF00xx in both pointer sizes.
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

LRESULT CallWindowProcOriginal(WNDPROC pfnWndProc, HWND hWnd, UINT message, WPARAM wParam,
                               LPARAM lParam)
{
    return ::CallWindowProcW(pfnWndProc, hWnd, message, wParam, lParam);
}
