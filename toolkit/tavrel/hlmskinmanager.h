// The process's skin manager with the objects it hands to the rest of the skin engine: one
// class object per visual-style class of the loaded skin, and the skinned system metrics.
#pragma once

#include <afxwin.h>
#include <afxcoll.h>
#include <afxtempl.h>

#include "hlmskinimage.h"
#include "hlmskinmanagerschema.h"

#include <vector>

class CHLMSkinManager;
class CHLMSkinManagerResourceFile;

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
        ColorCount = 31  // COLOR_SCROLLBAR .. COLOR_MENUBAR
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
    HBRUSH m_brushBtnFace;  // the dialog brush
    // The pattern of tabbed property pages, made on first use by a skinned frame and
    // released whenever the metrics are refreshed.
    HBRUSH m_brushTabPage;
    COLORREF m_clrLight3D;
    COLORREF m_clrHighlight;
    COLORREF m_clrShadow;
    COLORREF m_clrDarkShadow;
    COLORREF m_clrColors[ColorCount];
    HBRUSH m_brushes[ColorCount];
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
    CMap<UINT, UINT, CHLMSkinManagerSchemaProperty*, CHLMSkinManagerSchemaProperty*> m_properties;
};

// ---------------------------------------------------------------------------------------

class CHLMSkinManager
{
public:
    CHLMSkinManager();
    virtual ~CHLMSkinManager();

    CHLMSkinManager(const CHLMSkinManager&) = delete;
    CHLMSkinManager& operator=(const CHLMSkinManager&) = delete;

    // Loads and applies the skin in skinPath. Applying a skin to the process is not
    // available yet: this discards any skin, puts the system's colours back and returns
    // FALSE, so that the program keeps the system's look.
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

    // Values of class SYSMETRICS (part 0, state 0); 0 when the skin has none.
    int GetThemeSysSize(int propertyId) const;
    BOOL GetThemeSysBool(int propertyId) const;
    HRESULT GetThemeSysFont(int propertyId, LOGFONTW* font) const;
    // The metrics colour of ids 1601..1631; -1 for any other id.
    COLORREF GetThemeSysColor(int propertyId) const;

    BOOL HasColorFilters() const { return !m_colorFilters.empty(); }
    void AddColorFilter(CHLMSkinManagerColorFilter* filter);
    void RemoveColorFilters();
    COLORREF ApplyColorFilter(COLORREF color) const;

private:
    void RemoveAllClasses();
    void DeleteSchema();

    BOOL m_bEnabled;
    CMapStringToPtr m_classes;
    CHLMSkinManagerSchema* m_pSchema;
    CHLMSkinManagerMetrics* m_pMetrics;
    CHLMSkinManagerResourceFile* m_pResourceFile;
    DWORD m_dwApplyOptions;
    std::vector<CHLMSkinManagerColorFilter*> m_colorFilters;
};

// The single skin manager, created on first use and deleted at process exit.
CHLMSkinManager* GetSkinManager();
