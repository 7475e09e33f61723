#include "common/hlmwinthemewrapper.h"

#include "common/hlmsystemhelpers.h"

#include <dwmapi.h>

#include <cstring>
#include <new>

namespace
{
// Export names by slot; the composition wrapper's three names follow the theme slots.
const char* const kExportNames[ThemeFunctionTable::kSlotCount + 3] = {
    "DrawThemeBackground", "CloseThemeData", "SetWindowTheme", "SetThemeAppProperties",
    "OpenThemeData", "IsThemePartDefined", "IsThemeDialogTextureEnabled",
    "IsThemeBackgroundPartiallyTransparent", "IsThemeActive", "IsAppThemed",
    "HitTestThemeBackground", "GetWindowTheme", "GetThemeSysString", "GetThemeTextMetrics",
    "GetThemeTextExtent", "GetThemeSysSize", "GetThemeSysInt", "GetThemeSysFont",
    "GetThemeSysColorBrush", "GetThemeSysColor", "GetThemeSysBool", "GetThemeString",
    "GetThemeRect", "GetThemePropertyOrigin", "GetThemePosition", "GetThemePartSize",
    "GetThemeMetric", "GetThemeMargins", "GetThemeIntList", "GetThemeInt", "GetThemeFont",
    "GetThemeFilename", "GetThemeEnumValue", "GetThemeDocumentationProperty", "GetThemeColor",
    "GetThemeBool", "GetThemeBackgroundRegion", "GetThemeBackgroundExtent",
    "GetThemeBackgroundContentRect", "ThemeAppProperties", "GetCurrentThemeName",
    "EnableTheming", "EnableThemeDialogTexture", "DrawThemeText", "DrawThemeParentBackground",
    "DrawThemeIcon", "DrawThemeEdge", "DrawThemeBackgroundEx", "GetThemeAppProperties",
    "BeginBufferedPaint", "EndBufferedPaint", "DrawThemeTextEx",
    // composition
    "DwmDefWindowProc", "DwmIsCompositionEnabled", "DwmExtendFrameIntoClientArea"};

const int kFirstCompositionName = ThemeFunctionTable::kSlotCount;

// "ThemeAppProperties" exists in no library; its slot keeps the slot numbers in place.
using ThemeAppPropertiesFunction = DWORD(WINAPI*)();
}

// ---------------------------------------------------------------------------------------
// Function tables

CHLMWinThemeWrapper::CHLMWinThemeWrapper(BOOL followSkin)
    : m_hTheme(nullptr), m_bFollowSkin(followSkin), m_pPrivateTable(nullptr)
{
}

CHLMWinThemeWrapper::~CHLMWinThemeWrapper()
{
    CloseThemeData();
    delete m_pPrivateTable;
}

void CHLMWinThemeWrapper::InitFunctionTable(ThemeFunctionTable* table)
{
    table->dwComCtlVersion = GetComCtlVersion();
    std::memset(table->pfnFunctions, 0, sizeof(table->pfnFunctions));
    table->hModule = LoadLibraryW(L"UXTHEME.DLL");
}

ThemeFunctionTable* CHLMWinThemeWrapper::GetFunctionTable()
{
    if (m_pPrivateTable)
        return m_pPrivateTable;
    // One table for each value of the follow flag; never freed, so the library they
    // loaded stays loaded.
    static ThemeFunctionTable* shared[2] = {nullptr, nullptr};
    ThemeFunctionTable*& table = shared[m_bFollowSkin ? 1 : 0];
    if (!table)
    {
        table = new ThemeFunctionTable;
        InitFunctionTable(table);
    }
    return table;
}

ThemeFunctionTable* CHLMWinThemeWrapper::CreatePrivateFunctionTable()
{
    delete m_pPrivateTable;
    m_pPrivateTable = new ThemeFunctionTable;
    InitFunctionTable(m_pPrivateTable);
    return m_pPrivateTable;
}

void CHLMWinThemeWrapper::SetFunctionTableEntry(int slot, FARPROC function)
{
    if (slot < 0 || slot >= ThemeFunctionTable::kSlotCount)
        return;
    GetFunctionTable()->pfnFunctions[slot] = function;
}

void CHLMWinThemeWrapper::RefreshModuleHandle()
{
    if (!m_bFollowSkin)
        return;
    // The table first: creating it loads the library, whose handle is then the current one.
    ThemeFunctionTable* table = GetFunctionTable();
    // Through the program's own import: while a skin takes over themes, the skin engine
    // answers with a handle of its own.
    HMODULE current = GetModuleHandleA("UXTHEME.DLL");
    if (current != table->hModule)
    {
        table->hModule = current;
        std::memset(table->pfnFunctions, 0, sizeof(table->pfnFunctions));
    }
}

FARPROC CHLMWinThemeWrapper::LookUp(int slot)
{
    ThemeFunctionTable* table = GetFunctionTable();
    if (table->hModule && !table->pfnFunctions[slot])
        table->pfnFunctions[slot] = GetProcAddress(table->hModule, kExportNames[slot]);
    return table->pfnFunctions[slot];
}

template <class Function, class Result, class... Args>
Result CHLMWinThemeWrapper::Call(int slot, Result failure, Args... args)
{
    try
    {
        FARPROC function = LookUp(slot);
        if (!function)
            return failure;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(function))(args...);
    }
    catch (...)
    {
        return failure;
    }
}

template <class Function, class... Args>
void CHLMWinThemeWrapper::CallWithoutResult(int slot, Args... args)
{
    try
    {
        if (FARPROC function = LookUp(slot))
            reinterpret_cast<Function>(reinterpret_cast<void*>(function))(args...);
    }
    catch (...)
    {
    }
}

// ---------------------------------------------------------------------------------------
// Theme handle

void CHLMWinThemeWrapper::OpenThemeData(HWND window, LPCWSTR classList)
{
    RefreshModuleHandle();
    CloseThemeData();
    m_hTheme = Call<decltype(&::OpenThemeData)>(SlotOpenThemeData, HTHEME(nullptr), window, classList);
}

void CHLMWinThemeWrapper::CloseThemeData()
{
    if (m_hTheme)
        CallWithoutResult<decltype(&::CloseThemeData)>(SlotCloseThemeData, m_hTheme);
    m_hTheme = nullptr;
}

BOOL CHLMWinThemeWrapper::IsAppThemeReady()
{
    if (!IsThemeActive())
        return FALSE;
    const ThemeFunctionTable* table = GetFunctionTable();
    return table->hModule == HLM_UXTHEME_PSEUDO_HANDLE || table->dwComCtlVersion > 0x5FFFF;
}

BOOL CHLMWinThemeWrapper::IsAppThemed()
{
    if (!m_hTheme)
        return FALSE;
    return Call<decltype(&::IsAppThemed)>(SlotIsAppThemed, BOOL(FALSE));
}

BOOL CHLMWinThemeWrapper::IsThemeActive()
{
    if (!m_hTheme)
        RefreshModuleHandle();
    return Call<decltype(&::IsThemeActive)>(SlotIsThemeActive, BOOL(FALSE));
}

HRESULT CHLMWinThemeWrapper::GetCurrentThemeName(LPWSTR themeFileName, int maxFileNameChars,
                                                 LPWSTR colorBuffer, int maxColorChars,
                                                 LPWSTR sizeBuffer, int maxSizeChars)
{
    RefreshModuleHandle();
    return Call<decltype(&::GetCurrentThemeName)>(SlotGetCurrentThemeName, E_FAIL, themeFileName,
                                                  maxFileNameChars, colorBuffer, maxColorChars,
                                                  sizeBuffer, maxSizeChars);
}

// ---------------------------------------------------------------------------------------
// Functions of the open theme

HRESULT CHLMWinThemeWrapper::DrawThemeBackground(HDC dc, int part, int state, const RECT* rect, const RECT* clip)
{
    return Call<decltype(&::DrawThemeBackground)>(SlotDrawThemeBackground, E_FAIL, m_hTheme, dc, part, state, rect,
                                                  clip);
}

BOOL CHLMWinThemeWrapper::IsThemePartDefined(int part, int state)
{
    return Call<decltype(&::IsThemePartDefined)>(SlotIsThemePartDefined, BOOL(FALSE), m_hTheme, part, state);
}

BOOL CHLMWinThemeWrapper::IsThemeBackgroundPartiallyTransparent(int part, int state)
{
    return Call<decltype(&::IsThemeBackgroundPartiallyTransparent)>(
        SlotIsThemeBackgroundPartiallyTransparent, BOOL(FALSE), m_hTheme, part, state);
}

HRESULT CHLMWinThemeWrapper::HitTestThemeBackground(HDC dc, int part, int state, DWORD options,
                                                    const RECT* rect, HRGN region, POINT test,
                                                    WORD* hitTestCode)
{
    return Call<decltype(&::HitTestThemeBackground)>(SlotHitTestThemeBackground, E_FAIL, m_hTheme, dc, part,
                                                     state, options, rect, region, test, hitTestCode);
}

HRESULT CHLMWinThemeWrapper::GetThemeSysString(int stringId, LPWSTR buffer, int maxChars)
{
    return Call<decltype(&::GetThemeSysString)>(SlotGetThemeSysString, E_FAIL, m_hTheme, stringId, buffer, maxChars);
}

HRESULT CHLMWinThemeWrapper::GetThemeTextMetrics(HDC dc, int part, int state, TEXTMETRICW* metrics)
{
    return Call<decltype(&::GetThemeTextMetrics)>(SlotGetThemeTextMetrics, E_FAIL, m_hTheme, dc, part, state, metrics);
}

HRESULT CHLMWinThemeWrapper::GetThemeTextExtent(HDC dc, int part, int state, LPCWSTR text, int charCount,
                                                DWORD textFlags, const RECT* boundingRect, RECT* extentRect)
{
    return Call<decltype(&::GetThemeTextExtent)>(SlotGetThemeTextExtent, E_FAIL, m_hTheme, dc, part, state,
                                                 text, charCount, textFlags, boundingRect, extentRect);
}

int CHLMWinThemeWrapper::GetThemeSysSize(int sizeId)
{
    return Call<decltype(&::GetThemeSysSize)>(SlotGetThemeSysSize, 0, m_hTheme, sizeId);
}

HRESULT CHLMWinThemeWrapper::GetThemeSysInt(int intId, int* value)
{
    return Call<decltype(&::GetThemeSysInt)>(SlotGetThemeSysInt, E_FAIL, m_hTheme, intId, value);
}

HRESULT CHLMWinThemeWrapper::GetThemeSysFont(int fontId, LOGFONTW* font)
{
    return Call<decltype(&::GetThemeSysFont)>(SlotGetThemeSysFont, E_FAIL, m_hTheme, fontId, font);
}

HBRUSH CHLMWinThemeWrapper::GetThemeSysColorBrush(int colorId)
{
    return Call<decltype(&::GetThemeSysColorBrush)>(SlotGetThemeSysColorBrush, HBRUSH(nullptr), m_hTheme, colorId);
}

COLORREF CHLMWinThemeWrapper::GetThemeSysColor(int colorId)
{
    return Call<decltype(&::GetThemeSysColor)>(SlotGetThemeSysColor, COLORREF(0xFFFFFFFF), m_hTheme, colorId);
}

BOOL CHLMWinThemeWrapper::GetThemeSysBool(int boolId)
{
    return Call<decltype(&::GetThemeSysBool)>(SlotGetThemeSysBool, BOOL(FALSE), m_hTheme, boolId);
}

HRESULT CHLMWinThemeWrapper::GetThemeString(int part, int state, int propId, LPWSTR buffer, int maxChars)
{
    return Call<decltype(&::GetThemeString)>(SlotGetThemeString, E_FAIL, m_hTheme, part, state, propId, buffer,
                                             maxChars);
}

HRESULT CHLMWinThemeWrapper::GetThemeRect(int part, int state, int propId, RECT* rect)
{
    return Call<decltype(&::GetThemeRect)>(SlotGetThemeRect, E_FAIL, m_hTheme, part, state, propId, rect);
}

HRESULT CHLMWinThemeWrapper::GetThemePropertyOrigin(int part, int state, int propId, PROPERTYORIGIN* origin)
{
    return Call<decltype(&::GetThemePropertyOrigin)>(SlotGetThemePropertyOrigin, E_FAIL, m_hTheme, part, state,
                                                     propId, origin);
}

HRESULT CHLMWinThemeWrapper::GetThemePosition(int part, int state, int propId, POINT* point)
{
    return Call<decltype(&::GetThemePosition)>(SlotGetThemePosition, E_FAIL, m_hTheme, part, state, propId, point);
}

HRESULT CHLMWinThemeWrapper::GetThemePartSize(HDC dc, int part, int state, const RECT* rect,
                                              THEMESIZE sizeKind, SIZE* size)
{
    // Declared with a non-const rectangle that the library only reads.
    return Call<decltype(&::GetThemePartSize)>(SlotGetThemePartSize, E_FAIL, m_hTheme, dc, part, state,
                                               const_cast<RECT*>(rect), sizeKind, size);
}

HRESULT CHLMWinThemeWrapper::GetThemeMetric(HDC dc, int part, int state, int propId, int* value)
{
    return Call<decltype(&::GetThemeMetric)>(SlotGetThemeMetric, E_FAIL, m_hTheme, dc, part, state, propId, value);
}

HRESULT CHLMWinThemeWrapper::GetThemeMargins(HDC dc, int part, int state, int propId, const RECT* rect,
                                             MARGINS* margins)
{
    // Declared with a non-const rectangle that the library only reads.
    return Call<decltype(&::GetThemeMargins)>(SlotGetThemeMargins, E_FAIL, m_hTheme, dc, part, state, propId,
                                              const_cast<RECT*>(rect), margins);
}

HRESULT CHLMWinThemeWrapper::GetThemeIntList(int part, int state, int propId, INTLIST* list)
{
    return Call<decltype(&::GetThemeIntList)>(SlotGetThemeIntList, E_FAIL, m_hTheme, part, state, propId, list);
}

HRESULT CHLMWinThemeWrapper::GetThemeInt(int part, int state, int propId, int* value)
{
    return Call<decltype(&::GetThemeInt)>(SlotGetThemeInt, E_FAIL, m_hTheme, part, state, propId, value);
}

HRESULT CHLMWinThemeWrapper::GetThemeFont(HDC dc, int part, int state, int propId, LOGFONTW* font)
{
    return Call<decltype(&::GetThemeFont)>(SlotGetThemeFont, E_FAIL, m_hTheme, dc, part, state, propId, font);
}

HRESULT CHLMWinThemeWrapper::GetThemeFilename(int part, int state, int propId, LPWSTR buffer, int maxChars)
{
    return Call<decltype(&::GetThemeFilename)>(SlotGetThemeFilename, E_FAIL, m_hTheme, part, state, propId,
                                               buffer, maxChars);
}

HRESULT CHLMWinThemeWrapper::GetThemeEnumValue(int part, int state, int propId, int* value)
{
    return Call<decltype(&::GetThemeEnumValue)>(SlotGetThemeEnumValue, E_FAIL, m_hTheme, part, state, propId, value);
}

HRESULT CHLMWinThemeWrapper::GetThemeColor(int part, int state, int propId, COLORREF* color)
{
    return Call<decltype(&::GetThemeColor)>(SlotGetThemeColor, E_FAIL, m_hTheme, part, state, propId, color);
}

HRESULT CHLMWinThemeWrapper::GetThemeBool(int part, int state, int propId, BOOL* value)
{
    return Call<decltype(&::GetThemeBool)>(SlotGetThemeBool, E_FAIL, m_hTheme, part, state, propId, value);
}

HRESULT CHLMWinThemeWrapper::GetThemeBackgroundRegion(HDC dc, int part, int state, const RECT* rect, HRGN* region)
{
    return Call<decltype(&::GetThemeBackgroundRegion)>(SlotGetThemeBackgroundRegion, E_FAIL, m_hTheme, dc, part,
                                                       state, rect, region);
}

HRESULT CHLMWinThemeWrapper::GetThemeBackgroundExtent(HDC dc, int part, int state, const RECT* contentRect,
                                                      RECT* extentRect)
{
    return Call<decltype(&::GetThemeBackgroundExtent)>(SlotGetThemeBackgroundExtent, E_FAIL, m_hTheme, dc, part,
                                                       state, contentRect, extentRect);
}

HRESULT CHLMWinThemeWrapper::GetThemeBackgroundContentRect(HDC dc, int part, int state,
                                                           const RECT* boundingRect, RECT* contentRect)
{
    return Call<decltype(&::GetThemeBackgroundContentRect)>(SlotGetThemeBackgroundContentRect, E_FAIL, m_hTheme,
                                                            dc, part, state, boundingRect, contentRect);
}

HRESULT CHLMWinThemeWrapper::DrawThemeText(HDC dc, int part, int state, LPCWSTR text, int charCount,
                                           DWORD textFlags, DWORD textFlags2, const RECT* rect)
{
    return Call<decltype(&::DrawThemeText)>(SlotDrawThemeText, E_FAIL, m_hTheme, dc, part, state, text,
                                            charCount, textFlags, textFlags2, rect);
}

HRESULT CHLMWinThemeWrapper::DrawThemeIcon(HDC dc, int part, int state, const RECT* rect,
                                           HIMAGELIST imageList, int imageIndex)
{
    return Call<decltype(&::DrawThemeIcon)>(SlotDrawThemeIcon, E_FAIL, m_hTheme, dc, part, state, rect,
                                            imageList, imageIndex);
}

HRESULT CHLMWinThemeWrapper::DrawThemeEdge(HDC dc, int part, int state, const RECT* destRect, UINT edge,
                                           UINT flags, RECT* contentRect)
{
    return Call<decltype(&::DrawThemeEdge)>(SlotDrawThemeEdge, E_FAIL, m_hTheme, dc, part, state, destRect,
                                            edge, flags, contentRect);
}

HRESULT CHLMWinThemeWrapper::DrawThemeBackgroundEx(HDC dc, int part, int state, const RECT* rect,
                                                   const DTBGOPTS* options)
{
    return Call<decltype(&::DrawThemeBackgroundEx)>(SlotDrawThemeBackgroundEx, E_FAIL, m_hTheme, dc, part,
                                                    state, rect, options);
}

HRESULT CHLMWinThemeWrapper::DrawThemeTextEx(HDC dc, int part, int state, LPCWSTR text, int charCount,
                                             DWORD flags, RECT* rect, const DTTOPTS* options)
{
    return Call<decltype(&::DrawThemeTextEx)>(SlotDrawThemeTextEx, E_FAIL, m_hTheme, dc, part, state, text,
                                              charCount, flags, rect, options);
}

// ---------------------------------------------------------------------------------------
// Functions without a theme handle

HRESULT CHLMWinThemeWrapper::SetWindowTheme(HWND window, LPCWSTR subAppName, LPCWSTR subIdList)
{
    return Call<decltype(&::SetWindowTheme)>(SlotSetWindowTheme, E_FAIL, window, subAppName, subIdList);
}

void CHLMWinThemeWrapper::SetThemeAppProperties(DWORD flags)
{
    CallWithoutResult<decltype(&::SetThemeAppProperties)>(SlotSetThemeAppProperties, flags);
}

BOOL CHLMWinThemeWrapper::IsThemeDialogTextureEnabled(HWND window)
{
    return Call<decltype(&::IsThemeDialogTextureEnabled)>(SlotIsThemeDialogTextureEnabled, BOOL(FALSE), window);
}

HTHEME CHLMWinThemeWrapper::GetWindowTheme(HWND window)
{
    return Call<decltype(&::GetWindowTheme)>(SlotGetWindowTheme, HTHEME(nullptr), window);
}

HRESULT CHLMWinThemeWrapper::GetThemeDocumentationProperty(LPCWSTR themeName, LPCWSTR propertyName,
                                                           LPWSTR buffer, int maxChars)
{
    return Call<decltype(&::GetThemeDocumentationProperty)>(SlotGetThemeDocumentationProperty, E_FAIL,
                                                            themeName, propertyName, buffer, maxChars);
}

DWORD CHLMWinThemeWrapper::ThemeAppProperties()
{
    return Call<ThemeAppPropertiesFunction>(SlotThemeAppProperties, DWORD(0));
}

HRESULT CHLMWinThemeWrapper::EnableTheming(BOOL enable)
{
    return Call<decltype(&::EnableTheming)>(SlotEnableTheming, E_FAIL, enable);
}

HRESULT CHLMWinThemeWrapper::EnableThemeDialogTexture(HWND window, DWORD flags)
{
    return Call<decltype(&::EnableThemeDialogTexture)>(SlotEnableThemeDialogTexture, E_FAIL, window, flags);
}

HRESULT CHLMWinThemeWrapper::DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect)
{
    return Call<decltype(&::DrawThemeParentBackground)>(SlotDrawThemeParentBackground, E_FAIL, window, dc,
                                                        const_cast<RECT*>(rect));
}

DWORD CHLMWinThemeWrapper::GetThemeAppProperties()
{
    return Call<decltype(&::GetThemeAppProperties)>(SlotGetThemeAppProperties, DWORD(0));
}

HPAINTBUFFER CHLMWinThemeWrapper::BeginBufferedPaint(HDC target, const RECT* targetRect, BP_BUFFERFORMAT format,
                                                     BP_PAINTPARAMS* paintParams, HDC* paintDC)
{
    return Call<decltype(&::BeginBufferedPaint)>(SlotBeginBufferedPaint, HPAINTBUFFER(nullptr), target,
                                                 targetRect, format, paintParams, paintDC);
}

void CHLMWinThemeWrapper::EndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget)
{
    CallWithoutResult<decltype(&::EndBufferedPaint)>(SlotEndBufferedPaint, buffer, updateTarget);
}

// ---------------------------------------------------------------------------------------
// CHLMCompositionWrapper

namespace
{
struct CompositionFunctionTable
{
    FARPROC pfnDefWindowProc;
    FARPROC pfnIsCompositionEnabled;
    FARPROC pfnExtendFrameIntoClientArea;
    HMODULE hModule;
};

CompositionFunctionTable& CompositionFunctions()
{
    static CompositionFunctionTable table = {nullptr, nullptr, nullptr, LoadLibraryW(L"dwmapi.dll")};
    return table;
}

template <class Function>
Function CompositionFunction(FARPROC& slot, int nameIndex)
{
    const CompositionFunctionTable& table = CompositionFunctions();
    if (!slot && table.hModule)
        slot = GetProcAddress(table.hModule, kExportNames[kFirstCompositionName + nameIndex]);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(slot));
}

template <class Function>
Function User32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}
}

BOOL CHLMCompositionWrapper::DwmIsCompositionEnabled()
{
    auto function = CompositionFunction<decltype(&::DwmIsCompositionEnabled)>(
        CompositionFunctions().pfnIsCompositionEnabled, 1);
    if (!function)
        return FALSE;
    BOOL enabled = FALSE;
    return function(&enabled) >= 0 ? enabled : FALSE;
}

BOOL CHLMCompositionWrapper::DwmDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT* result)
{
    auto function = CompositionFunction<decltype(&::DwmDefWindowProc)>(CompositionFunctions().pfnDefWindowProc, 0);
    return function ? function(window, message, wParam, lParam, result) : FALSE;
}

HRESULT CHLMCompositionWrapper::DwmExtendFrameIntoClientArea(HWND window, int left, int right, int top, int bottom)
{
    auto function = CompositionFunction<decltype(&::DwmExtendFrameIntoClientArea)>(
        CompositionFunctions().pfnExtendFrameIntoClientArea, 2);
    if (!function)
        return E_FAIL;
    const MARGINS margins = {left, right, top, bottom};
    return function(window, &margins);
}

void CHLMCompositionWrapper::LogicalToPhysicalPoint(HWND window, POINT* point)
{
    using Function = BOOL(WINAPI*)(HWND, LPPOINT);
    if (auto function = User32Function<Function>("LogicalToPhysicalPoint"))
        function(window, point);
}

void CHLMCompositionWrapper::SetProcessDPIAware()
{
    using Function = BOOL(WINAPI*)();
    if (auto function = User32Function<Function>("SetProcessDPIAware"))
        function();
}
