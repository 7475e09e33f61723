// The parsed skin: typed properties addressed by class, part, state and property id in the
// vocabulary of the Windows visual styles, read from the skin's INI text.
#pragma once

#include <afx.h>
#include <afxtempl.h>
#include <atltypes.h>

#include "hlmskinobjectframe.h"
#include "common/hlmsystemhelpers.h"

class CDC;
class CHLMSkinManager;
class CHLMSkinManagerClass;
class CHLMSkinImage;
class CHLMSkinManagerResourceFile;

// Numbers of a skin are read as they are written; whoever uses one first holds it to a range
// that it cannot turn into a loop, an allocation or a window beyond reason. This is the
// largest size in pixels a skin may give a system metric (caption, border or scroll-bar size)
// or a text offset.
const int kMaxSkinMetric = 256;

// One typed skin value.
class CHLMSkinManagerSchemaProperty
{
public:
    enum ValueType
    {
        TypeNone = 0,
        TypeString = 1,
        TypeInt = 2,
        TypeBool = 3,
        TypeColor = 4,
        TypeRect = 5,
        TypeFont = 6,
        TypeIntList = 7,  // recognised, never stored
        TypeEnum = 8,
        TypePosition = 9
    };

    CHLMSkinManagerSchemaProperty();
    ~CHLMSkinManagerSchemaProperty();

    CHLMSkinManagerSchemaProperty(const CHLMSkinManagerSchemaProperty&) = delete;
    CHLMSkinManagerSchemaProperty& operator=(const CHLMSkinManagerSchemaProperty&) = delete;

    // Frees an owned string or font and leaves the property without a type.
    void ClearProperty();
    BOOL IsEqual(const CHLMSkinManagerSchemaProperty* other) const;

    // Reads text as a value of the given type; FALSE (and no type) for types never stored.
    BOOL Parse(int valueType, LPCWSTR propertyName, LPCWSTR text);

    int m_nValueType;
    int m_nPropertyId;
    union
    {
        LPWSTR lpszVal;
        int iVal;
        BOOL bVal;
        COLORREF clrVal;
        RECT rcVal;
        LOGFONTW* lpFontVal;
        SIZE szVal;
        DWORD dwVal[4];
    };
};

typedef CMap<UINT, UINT, CHLMSkinManagerSchemaProperty*, CHLMSkinManagerSchemaProperty*> CHLMSkinPropertyMap;

class CHLMSkinManagerSchema
{
public:
    CHLMSkinManagerSchema(CHLMSkinManager* manager, LPCWSTR schemaName);
    virtual ~CHLMSkinManagerSchema();

    CHLMSkinManagerSchema(const CHLMSkinManagerSchema&) = delete;
    CHLMSkinManagerSchema& operator=(const CHLMSkinManagerSchema&) = delete;

    // Drawing, done by the default schema.
    // The background (and glyph) of a part in a state.
    virtual BOOL DrawThemeBackground(CDC* dc, CHLMSkinManagerClass* skinClass, int part, int state,
                                     const RECT* rect) = 0;
    // The non-client frame of a skinned window: borders, caption and caption buttons.
    virtual BOOL DrawWindowFrame(CDC* dc, CHLMSkinObjectFrame* frame) = 0;
    // Thicknesses of the skinned non-client area (the top includes the caption).
    virtual CRect GetFrameBorders(DWORD style, DWORD exStyle) = 0;
    virtual CRect GetWindowFrameBorders(CHLMSkinObjectFrame* frame) = 0;
    // A new window region for a frame of that size, owned by the caller.
    virtual HRGN BuildFrameRegion(CHLMSkinObjectFrame* frame, int cx, int cy) = 0;
    virtual void FreeFrameRegions() = 0;
    // One scroll bar of a skinned frame, from its layout.
    virtual void DrawScrollBar(CDC* dc, CHLMSkinObjectFrame* frame, CHLMSkinObjectFrame::SCROLLBARLAYOUT* bar) = 0;
    virtual COLORREF GetSizeBoxColor();
    COLORREF GetMetricsColor(int index) const;

    // Parses the whole INI text that the resource file delivers: 0, or -1 when the text held
    // no usable section.
    int ReadProperties(CHLMSkinManagerResourceFile* file);
    void RemoveAllProperties();

    // The property at the most specific of (class, part, state), (class, part, 0),
    // (class, 0, 0) and (GLOBALS, 0, 0) that has one; null when none has.
    CHLMSkinManagerSchemaProperty* GetProperty(int classCode, int part, int state, int propertyId) const;

    // S_OK with the value; E_FAIL when missing; E_INVALIDARG for a property of another type.
    // The out value is untouched unless S_OK.
    HRESULT GetStringProperty(int classCode, int part, int state, int propertyId, CString& value) const;
    HRESULT GetIntProperty(int classCode, int part, int state, int propertyId, int& value) const;
    HRESULT GetBoolProperty(int classCode, int part, int state, int propertyId, BOOL& value) const;
    HRESULT GetColorProperty(int classCode, int part, int state, int propertyId, COLORREF& value) const;
    HRESULT GetRectProperty(int classCode, int part, int state, int propertyId, RECT& value) const;
    HRESULT GetFontProperty(int classCode, int part, int state, int propertyId, LOGFONTW& value) const;
    HRESULT GetEnumProperty(int classCode, int part, int state, int propertyId, int& value) const;
    HRESULT GetPositionProperty(int classCode, int part, int state, int propertyId, SIZE& value) const;

    static UINT MakePropertyKey(int classCode, int part, int state, int propertyId);
    // The key of a section header's name (the text between the brackets); 0 when unusable.
    static UINT SectionKeyFromName(LPCWSTR sectionName);
    // A new property parsed from text, or null for a type that is never stored.
    static CHLMSkinManagerSchemaProperty* CreateProperty(LPCWSTR propertyName, int valueType, LPCWSTR text);

    // The vocabulary: names to codes, without regard to case. 0 (or -1 for enumeration
    // values) when a name is unknown.
    static int ClassCodeFromName(LPCWSTR name);
    static int PartCodeFromName(LPCWSTR className, LPCWSTR partName);
    static int StateCodeFromName(LPCWSTR keyName, LPCWSTR stateName);
    static int PropertyCodeFromName(LPCWSTR name, int& valueType);
    static int EnumValueFromName(LPCWSTR propertyName, LPCWSTR valueName);

    CHLMSkinManager* GetSkinManager() const { return m_pManager; }
    const CString& GetSchemaName() const { return m_strName; }
    SyncSection& GetLock() { return m_lock; }
    // Whether 32-bit images with alpha are premultiplied when they are loaded.
    BOOL IsPremultiplyEnabled() const { return m_bPremultiply; }
    // Lines of the last read that carried text but set nothing: outside a usable section,
    // without "=", or naming an unknown property.
    int GetIgnoredLineCount() const { return m_nIgnoredLines; }
    int GetPropertyCount() const { return static_cast<int>(m_mapProperties.GetCount()); }

protected:
    BOOL m_bPremultiply;
    CHLMSkinPropertyMap m_mapProperties;
    CHLMSkinManager* m_pManager;
    CString m_strName;
    SyncSection m_lock;
    int m_nGlobalsClass;
    int m_nWindowClass;
    int m_nIgnoredLines;

private:
    // Reads one line of INI text; sectionKey carries the current section between lines.
    void ReadLine(CString line, UINT& sectionKey);
    void StoreProperty(UINT key, CHLMSkinManagerSchemaProperty* property);
    template <class Value>
    HRESULT GetTypedValue(int classCode, int part, int state, int propertyId, int valueType,
                          Value& value, Value (*read)(const CHLMSkinManagerSchemaProperty&)) const;
};

// The schema that the skin files create, with the default drawing of every part from the
// skin's properties.
class CHLMSkinManagerSchemaDefault : public CHLMSkinManagerSchema
{
public:
    explicit CHLMSkinManagerSchemaDefault(CHLMSkinManager* manager);

    // Backgrounds and glyphs: an image strip by sizing margins, a border fill, or nothing.
    // FALSE when an image background has no image.
    BOOL DrawThemeBackground(CDC* dc, CHLMSkinManagerClass* skinClass, int part, int state,
                             const RECT* rect) override;
    BOOL DrawBorderFill(CDC* dc, CHLMSkinManagerClass* skinClass, int part, int state, const RECT* rect);
    BOOL DrawThemeGlyph(CDC* dc, CHLMSkinManagerClass* skinClass, int part, int state, const RECT* rect);
    // The property id of the largest numbered image whose frame fits the content rectangle;
    // -1 when a named image cannot be had.
    int FindBestImage(CHLMSkinManagerClass* skinClass, int part, int state, const RECT* content, int frameCount,
                      BOOL horizontal);

    // The window frame and its regions.
    BOOL DrawWindowFrame(CDC* dc, CHLMSkinObjectFrame* frame) override;
    CRect GetFrameBorders(DWORD style, DWORD exStyle) override;
    CRect GetWindowFrameBorders(CHLMSkinObjectFrame* frame) override;
    HRGN BuildFrameRegion(CHLMSkinObjectFrame* frame, int cx, int cy) override;
    void FreeFrameRegions() override;
    // Lays the caption buttons out and draws them; the x where the caption text must end.
    virtual int DrawFrameCaptionButtons(CDC* dc, CHLMSkinObjectFrame* frame);
    ~CHLMSkinManagerSchemaDefault() override;

    // The window frame (caption, borders, caption buttons) and its regions.
    int GetBorderUnits(DWORD style, DWORD exStyle, BOOL withFrame, BOOL withClientEdge);
    CSize GetCaptionButtonSize(CHLMSkinManagerClass* skinClass, int height);
    HICON GetFrameSmallIcon(CHLMSkinObjectFrame* frame);
    void DrawFrameEdges(CDC* dc, CRect rect, CHLMSkinObjectFrame* frame);
    void DrawClientEdge(CDC* dc, CRect rect, CHLMSkinObjectFrame* frame);

    // The transparent spans of a caption image's sizing bands, for one caption height and
    // tool-window flag: what a window of that kind leaves out of its region.
    struct FRAMEREGION
    {
        FRAMEREGION() = default;
        FRAMEREGION(const FRAMEREGION&) = delete;
        FRAMEREGION& operator=(const FRAMEREGION&) = delete;
        ~FRAMEREGION();
        int nCaptionHeight = 0;
        int nToolWindow = 0;
        HRGN rgnLeft = NULL;   // caption-image coordinates
        HRGN rgnRight = NULL;  // x from the start of the right band
        CRect rcBands;         // band widths left and right, sizing margins top and bottom
        int nTransparentRows = 0;
        BOOL bTemporary = FALSE;  // built for one call only
    };
    void RemoveAllFrameRegions();
    FRAMEREGION* GetFrameRegion(CHLMSkinObjectFrame* frame, int cx);
    void ScanFrameTransparency(CDC* dc, HRGN& left, HRGN& right, int& transparentRows, const CRect& image,
                               const CRect& bands, COLORREF key);
    static void AddSpanToRegion(HRGN& region, int x1, int y, int x2);

    // Scroll bars: arrows, track pieces, thumb and gripper of the class SCROLLBAR in states
    // that show whether the bar scrolls and which part is hot or pressed.
    void DrawScrollBar(CDC* dc, CHLMSkinObjectFrame* frame, CHLMSkinObjectFrame::SCROLLBARLAYOUT* bar) override;

private:
    // The image named by a property of the part, from the class's image cache.
    CHLMSkinImage* FindImage(CHLMSkinManagerClass* skinClass, int part, int state, int propertyId);

    // A captioned frame's client edge; the borders inside it.
    CRect DrawCaptionedClientEdge(CDC* dc, const CRect& window, CHLMSkinObjectFrame* frame);
    // The caption strip: background, icon, caption buttons and text.
    void DrawCaption(CDC* dc, CHLMSkinManagerClass* skinClass, CHLMSkinObjectFrame* frame, const CRect& caption,
                     const CRect& borders);
    // The kept region record for a caption height and tool-window flag, if the window is wide
    // enough for it; temporary becomes TRUE when a record exists but the window is narrower.
    FRAMEREGION* FindFrameRegion(int captionHeight, int tool, int cx, BOOL& temporary);
    // Draws the caption image (one frame, source) at the record's caption height and fills the
    // record's bands and transparent spans from it.
    void ScanCaptionImage(FRAMEREGION* record, CHLMSkinObjectFrame* frame, CHLMSkinManagerClass* skinClass, int part,
                          CHLMSkinImage* image, const CRect& source, int cx);

    int m_nCaptionButtonSizeAdjust = 0;  // nothing changes it
    CArray<FRAMEREGION*, FRAMEREGION*> m_arrFrameRegions;
};
