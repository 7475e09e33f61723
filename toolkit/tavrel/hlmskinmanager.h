// The process's skin manager with the objects it hands to the rest of the skin engine: one
// class object per visual-style class of the loaded skin, and the skinned system metrics.
#pragma once

#include <afxwin.h>
#include <afxcoll.h>
#include <afxtempl.h>

#include "hlmskinimage.h"
#include "hlmskinmanagerschema.h"
#include "hlmskinobject.h"
#include "common/hlmsystemhelpers.h"

#include <vector>

class CHLMSkinManager;
class CHLMSkinManagerResourceFile;
class CHLMSkinObject;
class CHLMSkinObjectClassMap;

// Which parts of the system the loaded skin takes over.
enum
{
    HLM_SKINAPPLY_METRICS = 1,
    HLM_SKINAPPLY_FRAME = 2,
    HLM_SKINAPPLY_COLORS = 4
};

// Changes every skin colour it is given; applied in the order the filters were added.
class CHLMSkinManagerColorFilter
{
public:
    virtual ~CHLMSkinManagerColorFilter() {}
    virtual void ApplyFilter(COLORREF& color) = 0;
};

// ---------------------------------------------------------------------------------------
// The skinned system colours with a brush each, the caption and menu fonts and the sizes
// the engine draws with: from class SYSMETRICS of the loaded skin, else from the system.

class CHLMSkinManagerMetrics
{
public:
    enum
    {
        kColorCount = 31  // COLOR_SCROLLBAR .. COLOR_MENUBAR
    };

    explicit CHLMSkinManagerMetrics(CHLMSkinManager* manager);
    virtual ~CHLMSkinManagerMetrics();

    CHLMSkinManagerMetrics(const CHLMSkinManagerMetrics&) = delete;
    CHLMSkinManagerMetrics& operator=(const CHLMSkinManagerMetrics&) = delete;

    // Reloads from the manager's schema; without one, only the colours go back to the
    // system's (and lose their brushes).
    virtual void RefreshMetrics();

    // The colour of system-colour index 0..30; 0 for any other index.
    COLORREF GetColor(int index) const;
    // TRUE for one of the 31 colour brushes.
    BOOL OwnsBrush(HGDIOBJ object) const;
    void FreeGdiObjects();

    CFont m_fntCaption;
    CFont m_fntMenu;
    CFont m_fntSmCaption;
    CHLMSkinManager* m_pManager;
    HBRUSH m_hBrushBtnFace;  // the dialog brush
    // The pattern of tabbed property pages, made on first use by a skinned frame and
    // released whenever the metrics are refreshed.
    HBRUSH m_hBrushTabPage;
    COLORREF m_clrLight3D;
    COLORREF m_clrHighlight;
    COLORREF m_clrShadow;
    COLORREF m_clrDarkShadow;
    COLORREF m_clrColors[kColorCount];
    HBRUSH m_hBrushes[kColorCount];
    int m_nBorderSize;
    int m_cxBorder;
    int m_cyBorder;
    int m_cxEdge;
    int m_cyEdge;
    int m_cxHScroll;
    int m_cyHScroll;
    int m_cxVScroll;
    int m_cyVScroll;
    int m_nCaptionHeight;
    int m_nSmallCaptionHeight;
    int m_nSystemCaptionHeight;
    int m_nSystemSmallCaptionHeight;
    BOOL m_bRefreshing;

private:
    void ReadSystemMetrics();
    void ReadSkinMetrics(const CHLMSkinManagerSchema& schema);
    void ReadSkinColors(const CHLMSkinManagerSchema& schema);
};

// ---------------------------------------------------------------------------------------
// One visual-style class of the loaded skin with a cache of the properties asked for.
// Its address is the theme handle of this class.

class CHLMSkinManagerClass
{
public:
    CHLMSkinManagerClass(CHLMSkinManager* manager, LPCWSTR className, int classCode);
    virtual ~CHLMSkinManagerClass();

    CHLMSkinManagerClass(const CHLMSkinManagerClass&) = delete;
    CHLMSkinManagerClass& operator=(const CHLMSkinManagerClass&) = delete;

    // The property with the fallback of the schema; null when missing or of another type.
    CHLMSkinManagerSchemaProperty* GetProperty(int valueType, int part, int state, int propertyId);

    CString GetThemeString(int part, int state, int propertyId, LPCWSTR defaultValue);
    int GetThemeInt(int part, int state, int propertyId, int defaultValue);
    BOOL GetThemeBool(int part, int state, int propertyId, BOOL defaultValue);
    COLORREF GetThemeColor(int part, int state, int propertyId, COLORREF defaultValue);
    RECT GetThemeRect(int part, int state, int propertyId, int left, int top, int right, int bottom);
    int GetThemeEnumValue(int part, int state, int propertyId, int defaultValue);
    SIZE GetThemePosition(int part, int state, int propertyId, int cx, int cy);

    BOOL DrawThemeBackground(CDC* dc, int part, int state, const RECT* rect);
    BOOL DrawThemeText(CDC* dc, int part, int state, LPCWSTR text, UINT format, const RECT* rect);
    // The size of an image-based part: kind 0 minimum (left as it is), 1 true size, 2 draw
    // size. FALSE for a part that is not drawn from an image or has no usable image.
    BOOL GetThemePartSize(int part, int state, const RECT* rect, int kind, SIZE* size);

    CHLMSkinImageCache* GetImages() const { return m_pImages; }

    const CString& GetClassName() const { return m_strClassName; }
    int GetClassCode() const { return m_nClassCode; }

    // The key of the property cache; the class is implied.
    static UINT MakeCacheKey(int part, int state, int propertyId);

private:
    CHLMSkinManager* m_pManager;
    CString m_strClassName;
    int m_nClassCode;
    CHLMSkinImageCache* m_pImages;
    CMap<UINT, UINT, CHLMSkinManagerSchemaProperty*, CHLMSkinManagerSchemaProperty*> m_mapProperties;
    SyncSection m_lockProperties;  // windows of every thread fill the cache
};

// ---------------------------------------------------------------------------------------

class CHLMSkinManager
{
public:
    CHLMSkinManager();
    virtual ~CHLMSkinManager();

    CHLMSkinManager(const CHLMSkinManager&) = delete;
    CHLMSkinManager& operator=(const CHLMSkinManager&) = delete;

    // Discards the current skin, then loads and applies the one in skinPath. On failure the
    // skin stays off and the system's colours come back. Every skinned window is told.
    BOOL LoadSkin(LPCTSTR skinPath, LPCTSTR iniName = NULL);
    // Reads a skin file into a new schema without applying it; FALSE when the file cannot
    // be opened or read.
    BOOL OpenSkinFile(LPCWSTR skinPath, LPCWSTR iniName);

    // The class object of a visual-style class name (any case), made on first use and kept
    // until the next skin is read; null for a name outside the vocabulary.
    virtual CHLMSkinManagerClass* GetSkinClass(LPCWSTR className);
    // The pointer when it is one of this manager's class objects, else null.
    CHLMSkinManagerClass* LookupClass(const void* skinClass) const;

    CHLMSkinManagerSchema* GetSchema() const { return m_pSchema; }
    CHLMSkinManagerMetrics* GetMetrics() const { return m_pMetrics; }
    CHLMSkinManagerResourceFile* GetResourceFile() const { return m_pResourceFile; }
    DWORD GetApplyOptions() const { return m_dwApplyOptions; }
    BOOL IsEnabled() const { return m_bEnabled; }
    BOOL IsWin9x() const { return m_bWin9x; }
    BOOL IsComCtl6OrLater() const { return m_dwComCtlVersion >= 0x60000; }
    // The version read at construction, replaced (tests run other versions' branches).
    void SetComCtlVersion(DWORD version) { m_dwComCtlVersion = version; }

    // Values of class SYSMETRICS (part 0, state 0); 0 when the skin has none.
    int GetThemeSysSize(int propertyId) const;
    BOOL GetThemeSysBool(int propertyId) const;
    HRESULT GetThemeSysFont(int propertyId, LOGFONTW* font) const;
    // The metrics colour of ids 1601..1631; -1 for any other id.
    COLORREF GetThemeSysColor(int propertyId) const;

    BOOL HasColorFilters() const { return !m_vecColorFilters.empty(); }
    void AddColorFilter(CHLMSkinManagerColorFilter* filter);
    void RemoveColorFilters();
    COLORREF ApplyColorFilter(COLORREF color) const;

    // Decides which windows get a skin object and attaches it (the creation hook calls it
    // for every new window of a hooked thread). Null: the window is left alone.
    virtual CHLMSkinObject* AttachSkinObject(HWND hWnd, LPCTSTR lpszClassName,
                                             LPCREATESTRUCT lpCreateStruct, BOOL bAutomatic);
    // TRUE for a dialog created as a page of a property sheet that shows tabs (not a wizard).
    static BOOL IsTabbedPropertyPage(LPCREATESTRUCT lpCreateStruct);

    // Stores the value as the dialog texture of the window's skinned frame.
    HRESULT SetWindowOption(HWND hWnd, int nValue);

    // Changes which parts of the system a loaded skin takes over, and applies it at once.
    void SetApplyOptions(DWORD dwOptions);
    // Re-reads the loaded skin's images, metrics and colours and tells every window.
    void RefreshSkin();
    // Takes over the skin file (the manager owns it from now on).
    void SetResourceFile(CHLMSkinManagerResourceFile* pResourceFile);
    // The path and INI name of the skin file last opened.
    void GetCurrentThemeName(CString& strPath, CString& strIniName) const;
    // The module's import slots are never rewritten.
    void ExcludeModule(LPCWSTR lpszModule);
    // Attaches skin objects to a window created before the hook and to its children; a window
    // that already has one is left as it is, with its children.
    void HookWindowTree(HWND hWnd);

    // Installs the window-creation hook on the calling thread, once.
    static void HookCurrentThread();
    BOOL IsAutoSkin() const { return m_bAutoSkin; }
    BOOL IsHookNewThreads() const { return m_bHookNewThreads; }
    CHLMSkinObjectClassMap* GetClassMap() const { return m_pClassMap; }

    // Posts WM_SYSCOLORCHANGE to the process's top-level windows and tells every skin
    // object; objects of windows that are gone are detached.
    virtual void BroadcastSkinChange(BOOL bPrevious, BOOL bEnabled);

    // The window's skin object with a reference, or null; callable from any thread.
    CHLMSkinObjectRef FindSkinObject(HWND hWnd);
    // Gives the window to the object: the map takes over the object's first reference,
    // then the window is subclassed. Null when the window did not survive its attaching.
    CHLMSkinObject* AttachObject(HWND hWnd, CHLMSkinObject* pObject, LPCREATESTRUCT lpCreateStruct,
                                 BOOL bAutomatic);
    // Takes the window's object out of the map, gives the window its procedure back and
    // releases the map's reference (the object lives on while one of its messages runs).
    void DetachSkinObject(HWND hWnd, BOOL bAutomatic);
    void DetachSkinObject(HWND hWnd) { DetachSkinObject(hWnd, FALSE); }
    // Releases every object; bRestore also gives each window its procedure back.
    void DetachAllSkinObjects(BOOL bRestore);
    // Every object of the map with a reference each, taken under the map's lock: the caller
    // calls into them without it.
    std::vector<CHLMSkinObjectRef> SnapshotSkinObjects();

private:
    typedef decltype(&::SetWinEventHook) PFN_SETWINEVENTHOOK;
    typedef decltype(&::UnhookWinEvent) PFN_UNHOOKWINEVENT;

    static LRESULT CALLBACK CbtHookProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK WinEventProc(HWINEVENTHOOK hook, DWORD event, HWND hWnd, LONG idObject,
                                      LONG idChild, DWORD thread, DWORD time);
    static void UnhookCurrentThread();
    void InstallWinEventHook();
    void RemoveWinEventHook();

    // The object of windows no class-map record claims: the skinned frame.
    static CHLMSkinObject* CreateFrameObject();
    static void SetDialogTexture(CHLMSkinObject* pObject, int nTexture);
    static int GetDialogTexture(CHLMSkinObject* pObject);

    void RemoveAllClasses();
    void DeleteSchema();
    void CreateApiHook();
    BOOL InstallApiHooks();
    void RemoveApiHooks();
    // The two ends of LoadSkin: the skin read and applied (FALSE when it cannot be), and the
    // system's look back after a failure.
    BOOL ApplySkin(LPCWSTR skinPath, LPCWSTR iniName);
    void FallBackToSystem();

    DWORD m_dwComCtlVersion;
    BOOL m_bWin9x;
    BOOL m_bEnabled;
    BOOL m_bAutoSkin;
    BOOL m_bHookNewThreads;
    CMapStringToPtr m_mapClasses;
    // Serialises loading, refreshing and re-applying the skin (any thread may); the windows
    // are told after it is left.
    SyncSection m_lockSkin;
    // Guards the class objects: windows of every thread look them up while they draw.
    mutable SyncSection m_lockClasses;
    CHLMSkinManagerSchema* m_pSchema;
    CHLMSkinManagerMetrics* m_pMetrics;
    CHLMSkinManagerResourceFile* m_pResourceFile;
    CHLMSkinObjectClassMap* m_pClassMap;
    DWORD m_dwApplyOptions;
    HWINEVENTHOOK m_hWinEventHook;
    PFN_SETWINEVENTHOOK m_pfnSetWinEventHook;
    PFN_UNHOOKWINEVENT m_pfnUnhookWinEvent;
    std::vector<CHLMSkinManagerColorFilter*> m_vecColorFilters;
    CMap<HWND, HWND, CHLMSkinObject*, CHLMSkinObject*> m_mapWindows;
    SyncSection m_lockWindows;
};

// The single skin manager, created on first use and deleted at process exit.
CHLMSkinManager* GetSkinManager();
// The manager when one exists; hooks that run during exit must not create another.
CHLMSkinManager* GetSkinManagerIfCreated();
// Deletes the current manager and installs the given one (or none).
void SetSkinManagerInstance(CHLMSkinManager* pManager);

