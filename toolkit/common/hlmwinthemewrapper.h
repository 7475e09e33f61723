// Access to the visual-styles library without linking against it: each function is looked
// up by name on first use, and every call fails softly with a fixed value where the library
// or the export is missing. Beside it, a stateless wrapper of the desktop-composition and
// DPI functions.
#pragma once

#include <windows.h>
#include <uxtheme.h>

// The looked-up functions of one visual-styles library, by slot number.
struct ThemeFunctionTable
{
    enum
    {
        kSlotCount = 52
    };
    FARPROC pfnFunctions[kSlotCount];
    HMODULE hModule;        // 0 when the library could not be loaded
    DWORD dwComCtlVersion;  // major << 16 | minor
};

// The handle the skin engine answers for the visual-styles library while it takes over
// themes: the replaced GetModuleHandleA hands it out for "UxTheme.dll", and the replaced
// GetProcAddress answers the engine's visual-styles functions on it. No module can have it:
// it is odd.
const HMODULE HLM_UXTHEME_PSEUDO_HANDLE = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x021FFFF1));

class CHLMWinThemeWrapper
{
public:
    // Slot numbers of the function table; the skin engine fills some of them by number.
    enum Slot
    {
        SlotDrawThemeBackground = 0,
        SlotCloseThemeData = 1,
        SlotSetWindowTheme = 2,
        SlotSetThemeAppProperties = 3,
        SlotOpenThemeData = 4,
        SlotIsThemePartDefined = 5,
        SlotIsThemeDialogTextureEnabled = 6,
        SlotIsThemeBackgroundPartiallyTransparent = 7,
        SlotIsThemeActive = 8,
        SlotIsAppThemed = 9,
        SlotHitTestThemeBackground = 10,
        SlotGetWindowTheme = 11,
        SlotGetThemeSysString = 12,
        SlotGetThemeTextMetrics = 13,
        SlotGetThemeTextExtent = 14,
        SlotGetThemeSysSize = 15,
        SlotGetThemeSysInt = 16,
        SlotGetThemeSysFont = 17,
        SlotGetThemeSysColorBrush = 18,
        SlotGetThemeSysColor = 19,
        SlotGetThemeSysBool = 20,
        SlotGetThemeString = 21,
        SlotGetThemeRect = 22,
        SlotGetThemePropertyOrigin = 23,
        SlotGetThemePosition = 24,
        SlotGetThemePartSize = 25,
        SlotGetThemeMetric = 26,
        SlotGetThemeMargins = 27,
        SlotGetThemeIntList = 28,
        SlotGetThemeInt = 29,
        SlotGetThemeFont = 30,
        SlotGetThemeFilename = 31,
        SlotGetThemeEnumValue = 32,
        SlotGetThemeDocumentationProperty = 33,
        SlotGetThemeColor = 34,
        SlotGetThemeBool = 35,
        SlotGetThemeBackgroundRegion = 36,
        SlotGetThemeBackgroundExtent = 37,
        SlotGetThemeBackgroundContentRect = 38,
        SlotThemeAppProperties = 39,
        SlotGetCurrentThemeName = 40,
        SlotEnableTheming = 41,
        SlotEnableThemeDialogTexture = 42,
        SlotDrawThemeText = 43,
        SlotDrawThemeParentBackground = 44,
        SlotDrawThemeIcon = 45,
        SlotDrawThemeEdge = 46,
        SlotDrawThemeBackgroundEx = 47,
        SlotGetThemeAppProperties = 48,
        SlotBeginBufferedPaint = 49,
        SlotEndBufferedPaint = 50,
        SlotDrawThemeTextEx = 51
    };

    // With followSkin set, the wrapper re-reads the library's module handle before it opens
    // a theme or asks for the theme name, so that it reaches the skin engine's versions of
    // the functions while a skin takes over themes.
    explicit CHLMWinThemeWrapper(BOOL followSkin = FALSE);
    virtual ~CHLMWinThemeWrapper();

    CHLMWinThemeWrapper(const CHLMWinThemeWrapper&) = delete;
    CHLMWinThemeWrapper& operator=(const CHLMWinThemeWrapper&) = delete;

    ThemeFunctionTable* GetFunctionTable();
    ThemeFunctionTable* CreatePrivateFunctionTable();
    void SetFunctionTableEntry(int slot, FARPROC function);
    // A function of the slot's own type: stored as looked-up functions are, read back as
    // that type by the call of the slot.
    template <class Function>
    void SetFunctionTableEntry(int slot, Function* function)
    {
        SetFunctionTableEntry(slot, reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function)));
    }
    void RefreshModuleHandle();

    void OpenThemeData(HWND window, LPCWSTR classList);
    void CloseThemeData();
    BOOL IsThemeOpen() const { return m_hTheme != nullptr; }
    HTHEME GetThemeHandle() const { return m_hTheme; }
    BOOL IsAppThemeReady();

    BOOL IsAppThemed();
    BOOL IsThemeActive();
    HRESULT GetCurrentThemeName(LPWSTR themeFileName, int maxFileNameChars, LPWSTR colorBuffer,
                                int maxColorChars, LPWSTR sizeBuffer, int maxSizeChars);

    HRESULT DrawThemeBackground(HDC dc, int part, int state, const RECT* rect, const RECT* clip);
    HRESULT SetWindowTheme(HWND window, LPCWSTR subAppName, LPCWSTR subIdList);
    void SetThemeAppProperties(DWORD flags);
    BOOL IsThemePartDefined(int part, int state);
    BOOL IsThemeDialogTextureEnabled(HWND window);
    BOOL IsThemeBackgroundPartiallyTransparent(int part, int state);
    HRESULT HitTestThemeBackground(HDC dc, int part, int state, DWORD options, const RECT* rect,
                                   HRGN region, POINT test, WORD* hitTestCode);
    HTHEME GetWindowTheme(HWND window);
    HRESULT GetThemeSysString(int stringId, LPWSTR buffer, int maxChars);
    HRESULT GetThemeTextMetrics(HDC dc, int part, int state, TEXTMETRICW* metrics);
    HRESULT GetThemeTextExtent(HDC dc, int part, int state, LPCWSTR text, int charCount,
                               DWORD textFlags, const RECT* boundingRect, RECT* extentRect);
    int GetThemeSysSize(int sizeId);
    HRESULT GetThemeSysInt(int intId, int* value);
    HRESULT GetThemeSysFont(int fontId, LOGFONTW* font);
    HBRUSH GetThemeSysColorBrush(int colorId);
    COLORREF GetThemeSysColor(int colorId);
    BOOL GetThemeSysBool(int boolId);
    HRESULT GetThemeString(int part, int state, int propId, LPWSTR buffer, int maxChars);
    HRESULT GetThemeRect(int part, int state, int propId, RECT* rect);
    HRESULT GetThemePropertyOrigin(int part, int state, int propId, PROPERTYORIGIN* origin);
    HRESULT GetThemePosition(int part, int state, int propId, POINT* point);
    HRESULT GetThemePartSize(HDC dc, int part, int state, const RECT* rect, THEMESIZE sizeKind, SIZE* size);
    HRESULT GetThemeMetric(HDC dc, int part, int state, int propId, int* value);
    HRESULT GetThemeMargins(HDC dc, int part, int state, int propId, const RECT* rect, MARGINS* margins);
    HRESULT GetThemeIntList(int part, int state, int propId, INTLIST* list);
    HRESULT GetThemeInt(int part, int state, int propId, int* value);
    HRESULT GetThemeFont(HDC dc, int part, int state, int propId, LOGFONTW* font);
    HRESULT GetThemeFilename(int part, int state, int propId, LPWSTR buffer, int maxChars);
    HRESULT GetThemeEnumValue(int part, int state, int propId, int* value);
    HRESULT GetThemeDocumentationProperty(LPCWSTR themeName, LPCWSTR propertyName, LPWSTR buffer, int maxChars);
    HRESULT GetThemeColor(int part, int state, int propId, COLORREF* color);
    HRESULT GetThemeBool(int part, int state, int propId, BOOL* value);
    HRESULT GetThemeBackgroundRegion(HDC dc, int part, int state, const RECT* rect, HRGN* region);
    HRESULT GetThemeBackgroundExtent(HDC dc, int part, int state, const RECT* contentRect, RECT* extentRect);
    HRESULT GetThemeBackgroundContentRect(HDC dc, int part, int state, const RECT* boundingRect, RECT* contentRect);
    DWORD ThemeAppProperties();
    HRESULT EnableTheming(BOOL enable);
    HRESULT EnableThemeDialogTexture(HWND window, DWORD flags);
    HRESULT DrawThemeText(HDC dc, int part, int state, LPCWSTR text, int charCount, DWORD textFlags,
                          DWORD textFlags2, const RECT* rect);
    HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
    HRESULT DrawThemeIcon(HDC dc, int part, int state, const RECT* rect, HIMAGELIST imageList, int imageIndex);
    HRESULT DrawThemeEdge(HDC dc, int part, int state, const RECT* destRect, UINT edge, UINT flags,
                          RECT* contentRect);
    HRESULT DrawThemeBackgroundEx(HDC dc, int part, int state, const RECT* rect, const DTBGOPTS* options);
    DWORD GetThemeAppProperties();
    HPAINTBUFFER BeginBufferedPaint(HDC target, const RECT* targetRect, BP_BUFFERFORMAT format,
                                    BP_PAINTPARAMS* paintParams, HDC* paintDC);
    void EndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget);
    HRESULT DrawThemeTextEx(HDC dc, int part, int state, LPCWSTR text, int charCount, DWORD flags,
                            RECT* rect, const DTTOPTS* options);

private:
    static void InitFunctionTable(ThemeFunctionTable* table);
    FARPROC LookUp(int slot);

    // Calls the function of a slot with the given arguments, or answers `failure` when the
    // function is missing or the call throws.
    template <class Function, class Result, class... Args>
    Result Call(int slot, Result failure, Args... args);
    template <class Function, class... Args>
    void CallWithoutResult(int slot, Args... args);

    HTHEME m_hTheme;
    BOOL m_bFollowSkin;
    ThemeFunctionTable* m_pPrivateTable;
};

// Desktop composition (dwmapi.dll) and the DPI functions of user32, looked up by name.
class CHLMCompositionWrapper
{
public:
    BOOL DwmIsCompositionEnabled();
    // FALSE when the function is unavailable: the message was not handled.
    BOOL DwmDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    HRESULT DwmExtendFrameIntoClientArea(HWND window, int left, int right, int top, int bottom);
    void LogicalToPhysicalPoint(HWND window, POINT* point);
    void SetProcessDPIAware();
};
