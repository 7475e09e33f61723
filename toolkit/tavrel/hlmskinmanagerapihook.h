// The import-table rewriter: puts the skin engine's replacements of system functions into
// the import slots of the process's modules (all but the system's core libraries, the main
// program last, and every module loaded later), keeps the system functions for the
// replacements to call, and writes every slot back when the skin goes.
#pragma once

#include <afxwin.h>
#include <uxtheme.h>

#include "common/hlmwinthemewrapper.h"
#include "hlmskinobject.h"

#include <vector>

class CHLMSkinManagerApiHook;

// One replaced system function and the import slots rewritten for it.
class CHLMSkinManagerApiFunction
{
public:
    CHLMSkinManagerApiFunction(CHLMSkinManagerApiHook* pOwner, LPCSTR lpszModule,
                               LPCSTR lpszFunction, ULONG_PTR systemAddress,
                               ULONG_PTR replacementAddress);
    virtual ~CHLMSkinManagerApiFunction();

    CHLMSkinManagerApiFunction(const CHLMSkinManagerApiFunction&) = delete;
    CHLMSkinManagerApiFunction& operator=(const CHLMSkinManagerApiFunction&) = delete;

    void HookImport();
    // FALSE when a slot holding the replacement could not be written back; the record then
    // stays hooked.
    BOOL UnhookImport();
    // pFailed, when given, is set when a slot that held from could not be written.
    BOOL ReplaceInAllModules(LPCSTR lpszModule, ULONG_PTR from, ULONG_PTR to, BOOL* pFailed = nullptr);
    // Rewrites the first import slot of the module that imports from lpszModule and holds
    // from (or a Windows 9x stub of it); FALSE when there is none, the module's import table
    // is malformed or the slot cannot be written.
    BOOL ReplaceInOneModule(LPCSTR lpszModule, ULONG_PTR from, ULONG_PTR to, HMODULE hModule,
                            BOOL* pFailed = nullptr);

    CHLMSkinManagerApiHook* m_pOwner;
    BOOL m_bHooked;
    char m_szModule[20];
    char m_szFunction[30];
    ULONG_PTR m_nSystemAddress;       // 0 for the visual-styles functions
    ULONG_PTR m_nReplacementAddress;
};

class CHLMSkinManagerApiHook
{
public:
    enum
    {
        kSlotCount = 42
    };

    struct EXCLUDEDMODULE
    {
        HMODULE hModule;
        CString strName;
        BOOL bWin9xOnly;
    };

    static CHLMSkinManagerApiHook& GetInstance();
    virtual ~CHLMSkinManagerApiHook();

    CHLMSkinManagerApiHook(const CHLMSkinManagerApiHook&) = delete;
    CHLMSkinManagerApiHook& operator=(const CHLMSkinManagerApiHook&) = delete;

    // Rewrites the slots the skin manager's apply options ask for. FALSE when an exception
    // (memory running out) kept a function or the module list from being made: what was
    // written stays installed, for RemoveHooks to write back.
    BOOL InstallHooks();
    // Writes every rewritten slot back and forgets the records.
    void RemoveHooks();
    BOOL IsInstalled() const { return m_bInstalled; }

    void ExcludeModule(LPCWSTR lpszModule, BOOL bWin9xOnly);
    // Gives the wrapper a private function table holding the skin's visual-styles functions,
    // so that it draws with the skin whatever module handle it found.
    static void SetupThemeWrapper(CHLMWinThemeWrapper& wrapper);
    BOOL IsModuleExcluded(HMODULE hModule) const;

    // Resolves the system function and rewrites its slots; the new record, or null when the
    // function is hooked already, cannot be resolved or an exception stopped it.
    CHLMSkinManagerApiFunction* HookFunction(int nSlot, LPCSTR lpszModule, LPCSTR lpszFunction,
                                             ULONG_PTR replacementAddress);
    CHLMSkinManagerApiFunction* AddHookedFunction(int nSlot, LPCSTR lpszModule, LPCSTR lpszFunction,
                                                  ULONG_PTR systemAddress, ULONG_PTR replacementAddress);
    CHLMSkinManagerApiFunction* FindHookedFunction(LPCSTR lpszModule, LPCSTR lpszFunction) const;
    CHLMSkinManagerApiFunction* GetHookedFunction(int nSlot) const;

    // The process's modules: listing them costs a round trip to the system each time, so
    // installing and removing list them once for all slots.
    std::vector<HMODULE> GetModules() const;

    // Called by the library-loading replacements for every module they load.
    void HookNewModule(HMODULE hModule, DWORD dwFlags);

    // The patching lock: one module's import table is searched and written at a time.
    CRITICAL_SECTION* GetPatchingLock() { return &m_lockPatching; }

    // The replacements: each has the exact type of the system function it stands for.
    static HMODULE WINAPI OnHookLoadLibraryA(LPCSTR lpLibFileName);
    static HMODULE WINAPI OnHookLoadLibraryW(LPCWSTR lpLibFileName);
    static HMODULE WINAPI OnHookLoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
    static HMODULE WINAPI OnHookLoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
    static FARPROC WINAPI OnHookGetProcAddress(HMODULE hModule, LPCSTR lpProcName);
    static HMODULE WINAPI OnHookGetModuleHandleA(LPCSTR lpModuleName);
    static HANDLE WINAPI OnHookCreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes,
                                            SIZE_T dwStackSize,
                                            LPTHREAD_START_ROUTINE lpStartAddress,
                                            LPVOID lpParameter, DWORD dwCreationFlags,
                                            LPDWORD lpThreadId);
    static ATOM WINAPI OnHookRegisterClassA(const WNDCLASSA* lpWndClass);
    static ATOM WINAPI OnHookRegisterClassW(const WNDCLASSW* lpWndClass);
    static DWORD WINAPI OnHookGetSysColor(int nIndex);
    static HBRUSH WINAPI OnHookGetSysColorBrush(int nIndex);
    static BOOL WINAPI OnHookDrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags);
    static int WINAPI OnHookFillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
    static BOOL WINAPI OnHookDeleteObject(HGDIOBJ ho);
    static HTHEME WINAPI OnHookOpenThemeData(HWND hwnd, LPCWSTR pszClassList);
    static HRESULT WINAPI OnHookDrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId,
                                                    int iStateId, LPCRECT pRect, LPCRECT pClipRect);
    static HRESULT WINAPI OnHookCloseThemeData(HTHEME hTheme);
    static HRESULT WINAPI OnHookGetThemeColor(HTHEME hTheme, int iPartId, int iStateId,
                                              int iPropId, COLORREF* pColor);
    static BOOL WINAPI OnHookIsAppThemed();
    static BOOL WINAPI OnHookIsThemeActive();
    static HRESULT WINAPI OnHookGetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars,
                                                    LPWSTR pszColorBuff, int cchMaxColorChars,
                                                    LPWSTR pszSizeBuff, int cchMaxSizeChars);
    static BOOL WINAPI OnHookGetThemeSysBool(HTHEME hTheme, int iBoolId);
    static COLORREF WINAPI OnHookGetThemeSysColor(HTHEME hTheme, int iColorId);
    static HRESULT WINAPI OnHookGetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                 RECT* prc, THEMESIZE eSize, SIZE* psz);
    static BOOL WINAPI OnHookDrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState);
    static int WINAPI OnHookSetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw);
    static int WINAPI OnHookSetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw);
    static BOOL WINAPI OnHookGetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi);
    static BOOL WINAPI OnHookEnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows);
    static BOOL WINAPI OnHookSystemParametersInfoW(UINT uiAction, UINT uiParam, PVOID pvParam,
                                                   UINT fWinIni);
    static BOOL WINAPI OnHookAdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu,
                                                DWORD dwExStyle);
    static int WINAPI OnHookGetSystemMetrics(int nIndex);
    static LRESULT WINAPI OnHookDefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    static LRESULT WINAPI OnHookDefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    static LRESULT WINAPI OnHookDefMDIChildProcA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT WINAPI OnHookDefMDIChildProcW(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT WINAPI OnHookDefFrameProcA(HWND hWnd, HWND hWndMDIClient, UINT uMsg,
                                              WPARAM wParam, LPARAM lParam);
    static LRESULT WINAPI OnHookDefFrameProcW(HWND hWnd, HWND hWndMDIClient, UINT uMsg,
                                              WPARAM wParam, LPARAM lParam);
    static LRESULT WINAPI OnHookDefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);
    static LRESULT WINAPI OnHookDefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);
    static LRESULT WINAPI OnHookCallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg,
                                                WPARAM wParam, LPARAM lParam);
    static LRESULT WINAPI OnHookCallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg,
                                                WPARAM wParam, LPARAM lParam);

    // Hands a message that reached a replaced default procedure to the window's skin object;
    // TRUE when the object handled it (its result in *pResult).
    // The descriptor names the saved system function, its kind and its extra parameter.
    static BOOL DispatchDefWindowProc(HWND hWnd, const CHLMSkinObject::DEFWINDOW_DESCRIPTIOR& descriptor,
                                      WPARAM* pwParam, LPARAM* plParam, LRESULT* pResult);

private:
    // Holds one list of the modules while every slot is installed or removed.
    class ModuleSnapshot
    {
    public:
        // *pRaised, when given, is set when the list could not be made.
        explicit ModuleSnapshot(CHLMSkinManagerApiHook& hook, BOOL* pRaised = nullptr);
        ~ModuleSnapshot();
        ModuleSnapshot(const ModuleSnapshot&) = delete;
        ModuleSnapshot& operator=(const ModuleSnapshot&) = delete;

    private:
        CHLMSkinManagerApiHook& m_hook;
    };

    CHLMSkinManagerApiHook();
    CHLMSkinManagerApiFunction* HookResolvedFunction(int nSlot, LPCSTR lpszModule, LPCSTR lpszFunction,
                                                     ULONG_PTR replacementAddress);
    void ResolveExcludedModules(BOOL bOnlyMissing);

    CHLMSkinManagerApiFunction* m_arrSlots[kSlotCount];
    BOOL m_bInstalled;
    BOOL m_bIncomplete;  // an exception kept something from being hooked by this installation
    std::vector<EXCLUDEDMODULE> m_vecExcluded;
    std::vector<HMODULE> m_vecModuleSnapshot;
    CRITICAL_SECTION m_lockPatching;
};

// Compares 8-bit names with 'A'..'Z' folded to lower case; 0 when equal.
int CompareAsciiNoCase(LPCSTR lpszFirst, LPCSTR lpszSecond);

// The highest address of the application's part of the address space.
ULONG_PTR GetHighestApplicationAddress();
// Windows 9x answers GetProcAddress for its system libraries with a stub in shared memory,
// above the application's addresses, that starts with a push of the function's address
// (0x68 and 32 bits): the pushed address for such a stub, else the address unchanged.
ULONG_PTR UnwrapPushStub(ULONG_PTR address, ULONG_PTR highestApplicationAddress);
// Replaces the function that changes the protection of import pages (null: the system's);
// returns the one it replaces. For tests of pages whose protection cannot be changed back.
decltype(&::VirtualProtect) SetImportPageProtector(decltype(&::VirtualProtect) protect);

// The system function saved in a slot (0 when the slot is empty).
ULONG_PTR GetOriginalFunction(int nSlot);
// GetProcAddress through the saved system function, so that it never reaches the replacement.
FARPROC GetOriginalProcAddress(HMODULE hModule, LPCSTR lpProcName);

// TRUE for a window procedure of the system: an ANSI procedure handle, or an address inside
// USER32, COMCTL32 or NTDLL. Such procedures never call the replaced default procedures.
BOOL IsSystemWindowProcAddress(WNDPROC pfnWndProc);

// CallWindowProcW through the system function the rewriter saved (through the program's
// own import when nothing is saved), so that the call never reaches a replacement.
LRESULT CallWindowProcOriginal(WNDPROC pfnWndProc, HWND hWnd, UINT message, WPARAM wParam,
                               LPARAM lParam);
