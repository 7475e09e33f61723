#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"

#include "hlmskinmanagerresource.h"
#include "hlmskinobject.h"
#include "hlmskinobjectframe.h"
#include "hlmskinmanagerapihook.h"
#include "hlmskinmanagermodulelist.h"
#include "common/hlmcolormanager.h"
#include "hlmskinobjectclassmap.h"
#include "hlmskinobjectframe.h"
#include "hlmskinmapvalues.h"

#include <afxtls_.h>
#include <prsht.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace
{
CHLMSkinManager* g_pSkinManager = nullptr;

void DestroySkinManagerInstance()
{
    delete g_pSkinManager;
    g_pSkinManager = nullptr;
}




// The classic scheme: what a skin that leaves a colour out gets.
const COLORREF kDefaultColors[CHLMSkinManagerMetrics::kColorCount] = {
    RGB(192, 192, 192), RGB(58, 110, 165),  RGB(0, 0, 128),     RGB(128, 128, 128),
    RGB(192, 192, 192), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(192, 192, 192), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(223, 223, 223), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(180, 180, 180), RGB(0, 0, 255),     RGB(16, 132, 208),
    RGB(181, 181, 181), RGB(0, 0, 128),     RGB(192, 192, 192),
};

// The brush leaves its slot before it is deleted: a DeleteObject that protects the
// metrics' brushes then no longer sees it as one of them, so it is freed for real.
void DeleteBrushSlot(HBRUSH& slot)
{
    HBRUSH brush = slot;
    slot = NULL;
    if (brush != NULL)
        DeleteObject(brush);
}

// A size the skin gives a metric, held to what a window frame can use.
int ClampMetric(int size)
{
    return std::max(0, std::min(size, kMaxSkinMetric));
}

void RecreateFont(CFont& font, const LOGFONTW& logFont)
{
    font.DeleteObject();
    font.CreateFontIndirect(&logFont);
}

// Calls into a skin object outside its messages: no exception may leave the manager.
template <typename Call>
void RunGuarded(Call call)
{
    try
    {
        call();
    }
    catch (CException* e)
    {
        AfxReportUncaughtException(e);
    }
    catch (...)
    {
        TRACE(L"Warning: an exception left a skin object.\n");
    }
}
}

// ---------------------------------------------------------------------------------------
// Metrics

CHLMSkinManagerMetrics::CHLMSkinManagerMetrics(CHLMSkinManager* manager)
    : m_pManager(manager),
      m_hBrushBtnFace(NULL),
      m_hBrushTabPage(NULL),
      m_clrLight3D(0),
      m_clrHighlight(0),
      m_clrShadow(0),
      m_clrDarkShadow(0),
      m_hBrushes(),
      m_nBorderSize(0),
      m_cxBorder(0),
      m_cyBorder(0),
      m_cxEdge(0),
      m_cyEdge(0),
      m_cxHScroll(0),
      m_cyHScroll(0),
      m_cxVScroll(0),
      m_cyVScroll(0),
      m_nCaptionHeight(0),
      m_nSmallCaptionHeight(0),
      m_nSystemCaptionHeight(0),
      m_nSystemSmallCaptionHeight(0),
      m_bRefreshing(FALSE)
{
    for (COLORREF& color : m_clrColors)
        color = static_cast<COLORREF>(-1);
}

CHLMSkinManagerMetrics::~CHLMSkinManagerMetrics()
{
    FreeGdiObjects();
}

COLORREF CHLMSkinManagerMetrics::GetColor(int index) const
{
    return index >= 0 && index < kColorCount ? m_clrColors[index] : 0;
}

BOOL CHLMSkinManagerMetrics::OwnsBrush(HGDIOBJ object) const
{
    if (object == NULL || GetObjectType(object) != OBJ_BRUSH)
        return FALSE;
    for (HBRUSH brush : m_hBrushes)
    {
        if (brush == object)
            return TRUE;
    }
    return FALSE;
}

void CHLMSkinManagerMetrics::FreeGdiObjects()
{
    m_fntCaption.DeleteObject();
    m_fntMenu.DeleteObject();
    m_fntSmCaption.DeleteObject();
    for (HBRUSH& brush : m_hBrushes)
        DeleteBrushSlot(brush);
    DeleteBrushSlot(m_hBrushBtnFace);
    DeleteBrushSlot(m_hBrushTabPage);
}

void CHLMSkinManagerMetrics::RefreshMetrics()
{
    DeleteBrushSlot(m_hBrushTabPage);
    const CHLMSkinManagerSchema* schema = m_pManager->GetSchema();
    if (schema == nullptr)
    {
        for (int index = 0; index < kColorCount; ++index)
        {
            m_clrColors[index] = GetSysColor(index);
            DeleteBrushSlot(m_hBrushes[index]);
        }
        return;
    }

    // From here the system-metrics replacements answer with the system's own values.
    m_bRefreshing = TRUE;
    ReadSystemMetrics();
    if (m_pManager->GetApplyOptions() & HLM_SKINAPPLY_METRICS)
        ReadSkinMetrics(*schema);
    ReadSkinColors(*schema);
    m_clrLight3D = m_clrColors[COLOR_3DLIGHT];
    m_clrHighlight = m_clrColors[COLOR_BTNHIGHLIGHT];
    m_clrShadow = m_clrColors[COLOR_BTNSHADOW];
    m_clrDarkShadow = m_clrColors[COLOR_3DDKSHADOW];
    DeleteBrushSlot(m_hBrushBtnFace);
    m_hBrushBtnFace = CreateSolidBrush(m_clrColors[COLOR_BTNFACE]);
    m_bRefreshing = FALSE;
}

void CHLMSkinManagerMetrics::ReadSystemMetrics()
{
    // The size that every system accepts: up to, not including, iPaddedBorderWidth.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    RecreateFont(m_fntCaption, metrics.lfCaptionFont);
    RecreateFont(m_fntSmCaption, metrics.lfSmCaptionFont);
    RecreateFont(m_fntMenu, metrics.lfMenuFont);

    m_nBorderSize = 1;
    SystemParametersInfoW(SPI_GETBORDER, 0, &m_nBorderSize, 0);
    m_cxBorder = GetSystemMetrics(SM_CXBORDER);
    m_cyBorder = GetSystemMetrics(SM_CYBORDER);
    m_cxEdge = GetSystemMetrics(SM_CXEDGE);
    m_cyEdge = GetSystemMetrics(SM_CYEDGE);
    m_cxHScroll = GetSystemMetrics(SM_CXHSCROLL);
    m_cyHScroll = GetSystemMetrics(SM_CYHSCROLL);
    m_cxVScroll = GetSystemMetrics(SM_CXVSCROLL);
    m_cyVScroll = GetSystemMetrics(SM_CYVSCROLL);
    m_nCaptionHeight = m_nSystemCaptionHeight = GetSystemMetrics(SM_CYCAPTION);
    m_nSmallCaptionHeight = m_nSystemSmallCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION);
}

void CHLMSkinManagerMetrics::ReadSkinMetrics(const CHLMSkinManagerSchema& schema)
{
    schema.GetIntProperty(kSysMetricsClass, 0, 0, TMT_CAPTIONBARHEIGHT, m_nCaptionHeight);
    m_nCaptionHeight = ClampMetric(m_nCaptionHeight) + 1;
    schema.GetIntProperty(kSysMetricsClass, 0, 0, TMT_SMCAPTIONBARHEIGHT, m_nSmallCaptionHeight);
    m_nSmallCaptionHeight = ClampMetric(m_nSmallCaptionHeight) + 1;

    int size = 0;
    if (SUCCEEDED(schema.GetIntProperty(kSysMetricsClass, 0, 0, TMT_SCROLLBARWIDTH, size)) && size > 0)
        m_cxVScroll = m_cxHScroll = ClampMetric(size);
    size = 0;
    if (SUCCEEDED(schema.GetIntProperty(kSysMetricsClass, 0, 0, TMT_SCROLLBARHEIGHT, size)) && size > 0)
        m_cyVScroll = m_cyHScroll = ClampMetric(size);

    LOGFONTW font = {};
    if (SUCCEEDED(schema.GetFontProperty(kSysMetricsClass, 0, 0, TMT_CAPTIONFONT, font)))
        RecreateFont(m_fntCaption, font);
    if (SUCCEEDED(schema.GetFontProperty(kSysMetricsClass, 0, 0, TMT_SMALLCAPTIONFONT, font)))
        RecreateFont(m_fntSmCaption, font);
    if (SUCCEEDED(schema.GetFontProperty(kSysMetricsClass, 0, 0, TMT_MENUFONT, font)))
        RecreateFont(m_fntMenu, font);
}

void CHLMSkinManagerMetrics::ReadSkinColors(const CHLMSkinManagerSchema& schema)
{
    for (int index = 0; index < kColorCount; ++index)
    {
        COLORREF old = m_clrColors[index];
        COLORREF color = 0;
        if (FAILED(schema.GetColorProperty(kSysMetricsClass, 0, 0, TMT_FIRSTCOLOR + index, color)))
            color = m_pManager->ApplyColorFilter(kDefaultColors[index]);
        m_clrColors[index] = color;
        if (color != old || m_hBrushes[index] == NULL)
        {
            DeleteBrushSlot(m_hBrushes[index]);
            m_hBrushes[index] = CreateSolidBrush(color);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Class objects

CHLMSkinManagerClass::CHLMSkinManagerClass(CHLMSkinManager* manager, LPCWSTR className, int classCode)
    : m_pManager(manager), m_strClassName(className), m_nClassCode(classCode), m_pImages(new CHLMSkinImageCache())
{
    m_mapProperties.InitHashTable(199);
}

CHLMSkinManagerClass::~CHLMSkinManagerClass()
{
    delete m_pImages;
}

UINT CHLMSkinManagerClass::MakeCacheKey(int part, int state, int propertyId)
{
    return static_cast<UINT>(propertyId) + (static_cast<UINT>(part) << 14) + (static_cast<UINT>(state) << 20);
}

CHLMSkinManagerSchemaProperty* CHLMSkinManagerClass::GetProperty(int valueType, int part, int state, int propertyId)
{
    UINT key = MakeCacheKey(part, state, propertyId);
    ScopedSectionLock lock(m_lockProperties);
    CHLMSkinManagerSchemaProperty* property = nullptr;
    if (m_mapProperties.Lookup(key, property))
        return property != nullptr && property->m_nValueType == valueType ? property : nullptr;

    const CHLMSkinManagerSchema* schema = m_pManager->GetSchema();
    property = schema != nullptr ? schema->GetProperty(m_nClassCode, part, state, propertyId) : nullptr;
    if (property == nullptr)
    {
        m_mapProperties.SetAt(key, nullptr);  // remembered as missing
        return nullptr;
    }
    if (property->m_nValueType != valueType)
        return nullptr;
    m_mapProperties.SetAt(key, property);
    return property;
}

CString CHLMSkinManagerClass::GetThemeString(int part, int state, int propertyId, LPCWSTR defaultValue)
{
    const CHLMSkinManagerSchemaProperty* property =
        GetProperty(CHLMSkinManagerSchemaProperty::TypeString, part, state, propertyId);
    return property != nullptr ? CString(property->lpszVal) : CString(defaultValue);
}

int CHLMSkinManagerClass::GetThemeInt(int part, int state, int propertyId, int defaultValue)
{
    const CHLMSkinManagerSchemaProperty* property =
        GetProperty(CHLMSkinManagerSchemaProperty::TypeInt, part, state, propertyId);
    return property != nullptr ? property->iVal : defaultValue;
}

BOOL CHLMSkinManagerClass::GetThemeBool(int part, int state, int propertyId, BOOL defaultValue)
{
    const CHLMSkinManagerSchemaProperty* property =
        GetProperty(CHLMSkinManagerSchemaProperty::TypeBool, part, state, propertyId);
    return property != nullptr ? property->bVal : defaultValue;
}

COLORREF CHLMSkinManagerClass::GetThemeColor(int part, int state, int propertyId, COLORREF defaultValue)
{
    const CHLMSkinManagerSchemaProperty* property =
        GetProperty(CHLMSkinManagerSchemaProperty::TypeColor, part, state, propertyId);
    return property != nullptr ? m_pManager->ApplyColorFilter(property->clrVal) : defaultValue;
}

RECT CHLMSkinManagerClass::GetThemeRect(int part, int state, int propertyId, int left, int top, int right,
                                        int bottom)
{
    const CHLMSkinManagerSchemaProperty* property =
        GetProperty(CHLMSkinManagerSchemaProperty::TypeRect, part, state, propertyId);
    if (property != nullptr)
        return property->rcVal;
    RECT defaultValue = {left, top, right, bottom};
    return defaultValue;
}

int CHLMSkinManagerClass::GetThemeEnumValue(int part, int state, int propertyId, int defaultValue)
{
    const CHLMSkinManagerSchemaProperty* property =
        GetProperty(CHLMSkinManagerSchemaProperty::TypeEnum, part, state, propertyId);
    return property != nullptr ? property->iVal : defaultValue;
}

SIZE CHLMSkinManagerClass::GetThemePosition(int part, int state, int propertyId, int cx, int cy)
{
    const CHLMSkinManagerSchemaProperty* property =
        GetProperty(CHLMSkinManagerSchemaProperty::TypePosition, part, state, propertyId);
    if (property != nullptr)
        return property->szVal;
    SIZE defaultValue = {cx, cy};
    return defaultValue;
}

BOOL CHLMSkinManagerClass::DrawThemeBackground(CDC* dc, int part, int state, const RECT* rect)
{
    CHLMSkinManagerSchema* schema = m_pManager->GetSchema();
    return schema != nullptr && schema->DrawThemeBackground(dc, this, part, state, rect);
}

BOOL CHLMSkinManagerClass::DrawThemeText(CDC* dc, int part, int state, LPCWSTR text, UINT format,
                                         const RECT* rect)
{
    HDC hdc = dc->m_hDC;
    SetBkMode(hdc, TRANSPARENT);
    RECT margins = CHLMSkinImage::ClampMargins(GetThemeRect(part, state, TMT_CAPTIONMARGINS, 0, 0, 0, 0), *rect);
    RECT textRect = {rect->left + margins.left, rect->top + margins.top, rect->right - margins.right,
                     rect->bottom - margins.bottom};
    if (GetThemeEnumValue(part, state, TMT_CONTENTALIGNMENT, CA_LEFT) == CA_CENTER)
        format |= DT_CENTER;
    SetTextColor(hdc, GetThemeColor(part, state, TMT_TEXTCOLOR, GetTextColor(hdc)));

    // A shadow without a colour (-1) is not drawn.
    const COLORREF noColor = static_cast<COLORREF>(-1);
    if (GetThemeEnumValue(part, state, TMT_TEXTSHADOWTYPE, TST_NONE) == TST_SINGLE)
    {
        SIZE offset = GetThemePosition(part, state, TMT_TEXTSHADOWOFFSET, 0, 0);
        offset.cx = std::max(-kMaxSkinMetric, std::min<int>(offset.cx, kMaxSkinMetric));
        offset.cy = std::max(-kMaxSkinMetric, std::min<int>(offset.cy, kMaxSkinMetric));
        COLORREF shadow = GetThemeColor(part, state, TMT_TEXTSHADOWCOLOR, noColor);
        if ((offset.cx != 0 || offset.cy != 0) && shadow != noColor)
        {
            RECT shadowRect = textRect;
            OffsetRect(&shadowRect, offset.cx, offset.cy);
            COLORREF textColor = SetTextColor(hdc, shadow);
            DrawTextW(hdc, text, -1, &shadowRect, format);
            SetTextColor(hdc, textColor);
        }
    }
    DrawTextW(hdc, text, -1, &textRect, format);
    return TRUE;
}

BOOL CHLMSkinManagerClass::GetThemePartSize(int part, int state, const RECT* rect, int kind, SIZE* size)
{
    // TS_MIN leaves the size as the caller gave it.
    if (size == nullptr || GetThemeEnumValue(part, state, TMT_BGTYPE, BT_IMAGEFILE) != BT_IMAGEFILE)
        return FALSE;

    // With images chosen by size and no glyph, the background is the first numbered image.
    const BOOL numbered = GetThemeEnumValue(part, state, TMT_IMAGESELECTTYPE, IST_NONE) != IST_NONE
        && GetThemeEnumValue(part, state, TMT_GLYPHTYPE, GT_NONE) == GT_NONE;
    CString name = GetThemeString(part, state, numbered ? TMT_IMAGEFILE1 : TMT_IMAGEFILE, L"");
    if (name.IsEmpty() && numbered)
        name = GetThemeString(part, state, TMT_IMAGEFILE, L"");
    CHLMSkinImage* image = name.IsEmpty() ? nullptr : m_pImages->LoadFile(m_pManager->GetResourceFile(), name);
    if (image == nullptr)
        return FALSE;

    const int count = std::max(1, GetThemeInt(part, state, TMT_IMAGECOUNT, 1));
    SIZE frame = {image->GetWidth(), image->GetHeight()};
    if (GetThemeEnumValue(part, state, TMT_IMAGELAYOUT, IL_HORIZONTAL) == IL_HORIZONTAL)
        frame.cx /= count;
    else
        frame.cy /= count;
    // More frames than pixels leave no frame at all: that is no image.
    if (frame.cx <= 0 || frame.cy <= 0)
        return FALSE;

    if (kind == TS_TRUE)
    {
        *size = frame;
    }
    else if (kind == TS_DRAW)
    {
        if (GetThemeEnumValue(part, state, TMT_SIZINGTYPE, ST_STRETCH) == ST_TRUESIZE)
        {
            *size = frame;
            return TRUE;
        }
        size->cx = rect != nullptr ? rect->right - rect->left : 0;
        size->cy = rect != nullptr ? rect->bottom - rect->top : 0;
        if (GetThemeBool(part, state, TMT_UNIFORMSIZING, FALSE))
            size->cx = MulDiv(size->cy, frame.cx, frame.cy);
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// Manager

CHLMSkinManager* GetSkinManager()
{
    if (g_pSkinManager == nullptr)
    {
        g_pSkinManager = new CHLMSkinManager();
        atexit(DestroySkinManagerInstance);
    }
    return g_pSkinManager;
}

CHLMSkinManager* GetSkinManagerIfCreated()
{
    return g_pSkinManager;
}

void SetSkinManagerInstance(CHLMSkinManager* pManager)
{
    delete g_pSkinManager;
    g_pSkinManager = pManager;
}

CHLMSkinManager::CHLMSkinManager()
    : m_dwComCtlVersion(GetComCtlVersion()),
      m_bWin9x(OsVersionInfo().IsWin9x()),
      m_bEnabled(FALSE),
      m_bAutoSkin(TRUE),
      m_bHookNewThreads(TRUE),
      m_pSchema(nullptr),
      m_pMetrics(new CHLMSkinManagerMetrics(this)),
      m_pResourceFile(new CHLMSkinManagerResourceFile(this)),
      m_pClassMap(new CHLMSkinObjectClassMap()),
      m_dwApplyOptions(HLM_SKINAPPLY_METRICS | HLM_SKINAPPLY_FRAME | HLM_SKINAPPLY_COLORS),
      m_hWinEventHook(nullptr),
      m_pfnSetWinEventHook(nullptr),
      m_pfnUnhookWinEvent(nullptr)
{
    m_pClassMap->AddStandardClasses();
    m_mapWindows.InitHashTable(199, FALSE);
    CreateApiHook();
    InstallWinEventHook();
    HookCurrentThread();
}

CHLMSkinManager::~CHLMSkinManager()
{
    // First nothing new reaches the objects, then the objects go, then what they drew with.
    RemoveApiHooks();
    RemoveWinEventHook();
    UnhookCurrentThread();
    m_bEnabled = FALSE;
    DetachAllSkinObjects(TRUE);
    RemoveAllClasses();
    RemoveColorFilters();
    DeleteSchema();
    delete m_pMetrics;
    m_pMetrics = nullptr;
    delete m_pResourceFile;
    m_pResourceFile = nullptr;
    delete m_pClassMap;
    m_pClassMap = nullptr;
}

// ---------------------------------------------------------------------------------------
// Hooks

namespace
{
// The window-creation hook of one thread, removed when the thread ends.
class HLM_SKINAMANGER_THREAD_STATE : public CNoTrackObject
{
public:
    ~HLM_SKINAMANGER_THREAD_STATE() override
    {
        if (m_hHook != nullptr)
            ::UnhookWindowsHookEx(m_hHook);
    }

    HHOOK m_hHook = nullptr;
};

CThreadLocal<HLM_SKINAMANGER_THREAD_STATE> g_threadState;

const int kClassNameLength = 50;  // longer window class names are matched by their start
}

void CHLMSkinManager::HookCurrentThread()
{
    HLM_SKINAMANGER_THREAD_STATE* state = g_threadState.GetData();
    if (state->m_hHook != nullptr)
        return;
    HOOKPROC hookProc = &CHLMSkinManager::CbtHookProc;
    state->m_hHook = ::SetWindowsHookExW(WH_CBT, hookProc, nullptr, ::GetCurrentThreadId());
}

void CHLMSkinManager::UnhookCurrentThread()
{
    HLM_SKINAMANGER_THREAD_STATE* state = g_threadState.GetDataNA();
    if (state != nullptr && state->m_hHook != nullptr)
    {
        ::UnhookWindowsHookEx(state->m_hHook);
        state->m_hHook = nullptr;
    }
}

LRESULT CALLBACK CHLMSkinManager::CbtHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    HLM_SKINAMANGER_THREAD_STATE* state = g_threadState.GetDataNA();
    const LRESULT result = ::CallNextHookEx(state != nullptr ? state->m_hHook : nullptr, nCode,
                                            wParam, lParam);
    CHLMSkinManager* manager = GetSkinManagerIfCreated();
    if (nCode != HCBT_CREATEWND || manager == nullptr || !manager->m_bAutoSkin)
        return result;
    const HWND hWnd = reinterpret_cast<HWND>(wParam);
    const CBT_CREATEWNDW* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
    ASSERT(hWnd != nullptr && create != nullptr && create->lpcs != nullptr);
    if (hWnd == nullptr || create == nullptr)
        return result;
    wchar_t className[kClassNameLength] = {};
    ::GetClassNameW(hWnd, className, kClassNameLength);
    try
    {
        manager->AttachSkinObject(hWnd, className, create->lpcs, TRUE);
    }
    catch (CException* e)
    {
        AfxReportUncaughtException(e);
    }
    catch (...)
    {
        TRACE(L"Warning: an exception left the skin's window-creation hook.\n");
    }
    return result;
}

void CHLMSkinManager::InstallWinEventHook()
{
    HMODULE user32 = ::GetModuleHandleW(L"USER32");
    if (user32 == nullptr)
        return;
    // Looked up by name: not every system has window-event hooks.
    m_pfnSetWinEventHook = reinterpret_cast<PFN_SETWINEVENTHOOK>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetWinEventHook")));
    m_pfnUnhookWinEvent = reinterpret_cast<PFN_UNHOOKWINEVENT>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "UnhookWinEvent")));
    if (m_pfnSetWinEventHook == nullptr || m_pfnUnhookWinEvent == nullptr)
        return;
    WINEVENTPROC eventProc = &CHLMSkinManager::WinEventProc;
    m_hWinEventHook = m_pfnSetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_REORDER, nullptr,
                                           eventProc, ::GetCurrentProcessId(), 0, 0);
}

void CHLMSkinManager::RemoveWinEventHook()
{
    if (m_hWinEventHook != nullptr && m_pfnUnhookWinEvent != nullptr)
        m_pfnUnhookWinEvent(m_hWinEventHook);
    m_hWinEventHook = nullptr;
}

void CALLBACK CHLMSkinManager::WinEventProc(HWINEVENTHOOK /*hook*/, DWORD event, HWND hWnd,
                                            LONG idObject, LONG /*idChild*/, DWORD /*thread*/,
                                            DWORD /*time*/)
{
    CHLMSkinManager* manager = GetSkinManagerIfCreated();
    if (event != EVENT_OBJECT_REORDER || idObject != OBJID_WINDOW || manager == nullptr ||
        !(manager->m_dwApplyOptions & HLM_SKINAPPLY_FRAME) || !manager->m_bEnabled)
        return;
    const CHLMSkinObjectRef object = manager->FindSkinObject(hWnd);
    const LONG_PTR style = ::GetWindowLongPtrW(hWnd, GWL_STYLE);
    if (object != nullptr && (style & (WS_CAPTION | WS_VSCROLL | WS_HSCROLL)) != 0)
        object->SetTimer(kResetNonClientTimer, 1000, nullptr);
}

// ---------------------------------------------------------------------------------------
// Which windows are skinned

CHLMSkinObject* CHLMSkinManager::CreateFrameObject()
{
    return new CHLMSkinObjectFrame();
}

CHLMSkinObject* CHLMSkinManager::AttachSkinObject(HWND hWnd, LPCTSTR lpszClassName,
                                                  LPCREATESTRUCT lpCreateStruct, BOOL bAutomatic)
{
    if (hWnd == nullptr || lpszClassName == nullptr)
        return nullptr;
    if (wcscmp(lpszClassName, L"tooltips_class32") == 0 || _wcsicmp(lpszClassName, L"IME") == 0)
        return nullptr;

    CHLMSkinObject* object = nullptr;
    if (wcsstr(lpszClassName, L"WindowsForms") != nullptr)
    {
        // "WindowsForms10.BUTTON.app...": the part between the first two dots names the
        // system class underneath.
        const wchar_t* first = wcschr(lpszClassName, L'.');
        const wchar_t* second = first != nullptr ? wcschr(first + 1, L'.') : nullptr;
        if (second != nullptr)
        {
            CString inner(first + 1, static_cast<int>(second - first - 1));
            if (CHLMSkinObjectClassInfo* info = m_pClassMap->Lookup(inner))
                object = info->CreateObject(lpszClassName, lpCreateStruct);
        }
        if (object == nullptr)
            object = CreateFrameObject();
        if (object != nullptr)
            object->SetWindowsForms(TRUE);
    }
    else if (CHLMSkinObjectClassInfo* info = m_pClassMap->Lookup(lpszClassName))
    {
        object = info->CreateObject(lpszClassName, lpCreateStruct);
    }
    else if (wcsstr(lpszClassName, L"Internet Explorer") == nullptr &&
             wcsstr(lpszClassName, L"OleMainThread") == nullptr)
    {
        object = CreateFrameObject();
    }
    if (object == nullptr)
        return nullptr;
    if (wcscmp(lpszClassName, L"#32770") == 0)
        SetDialogTexture(object, IsTabbedPropertyPage(lpCreateStruct) ? ETDT_ENABLETAB : ETDT_ENABLE);
    return AttachObject(hWnd, object, lpCreateStruct, bAutomatic);
}

void CHLMSkinManager::SetDialogTexture(CHLMSkinObject* pObject, int nTexture)
{
    // Every skin object is a frame or derives from one.
    static_cast<CHLMSkinObjectFrame*>(pObject)->SetDialogTexture(nTexture);
}

int CHLMSkinManager::GetDialogTexture(CHLMSkinObject* pObject)
{
    return static_cast<CHLMSkinObjectFrame*>(pObject)->GetDialogTexture();
}

HRESULT CHLMSkinManager::SetWindowOption(HWND hWnd, int nValue)
{
    CHLMSkinObject* object = FindSkinObject(hWnd);
    if (object == nullptr)
        return E_INVALIDARG;
    SetDialogTexture(object, nValue);
    return S_OK;
}

namespace
{
// What a property sheet keeps at DWLP_USER: its own window, then its header.
struct PropertySheetRecord
{
    HWND hWnd;
    PROPSHEETHEADERW psh;
};

const DWORD kWizardFlags = 0x1002020;  // PSH_WIZARD and both PSH_WIZARD97 values
const UINT kGetTabControl = 0x474;     // PSM_GETTABCONTROL
}

BOOL CHLMSkinManager::IsTabbedPropertyPage(LPCREATESTRUCT lpCreateStruct)
{
    if (lpCreateStruct == nullptr || lpCreateStruct->hwndParent == nullptr)
        return FALSE;
    const LONG style = lpCreateStruct->style;
    if ((style & DS_CONTROL) == 0 || (style & WS_CHILD) == 0)
        return FALSE;
    const HWND parent = lpCreateStruct->hwndParent;
    CHLMSkinManager* manager = GetSkinManagerIfCreated();
    if (manager != nullptr)
    {
        const CHLMSkinObjectRef parentObject = manager->FindSkinObject(parent);
        if (parentObject != nullptr && manager->GetDialogTexture(parentObject) == ETDT_ENABLETAB)
            return TRUE;
    }
    const HWND tab = reinterpret_cast<HWND>(::SendMessageW(parent, kGetTabControl, 0, 0));
    if (tab == nullptr || !::IsWindow(tab))
        return FALSE;
    const LONG_PTR value = ::GetWindowLongPtrW(parent, DWLP_USER);
    const PropertySheetRecord* record = reinterpret_cast<const PropertySheetRecord*>(value);
    // Whatever the sheet keeps there is read only where it is readable memory.
    if (record == nullptr || !IsReadableMemory(record, sizeof(PropertySheetRecord)) ||
        record->hWnd != parent)
        return FALSE;
    return (record->psh.dwFlags & kWizardFlags) == 0;
}

BOOL CHLMSkinManager::LoadSkin(LPCTSTR skinPath, LPCTSTR iniName)
{
    BOOL previous = FALSE, loaded = FALSE;
    {
        ScopedSectionLock lock(m_lockSkin);
        previous = m_bEnabled;
        // Nothing may draw with the schema or its class objects once it starts to go.
        m_bEnabled = FALSE;
        // It never raises: memory running out at any step fails the load like a bad file.
        const LPCWSTR ini = iniName != nullptr ? iniName : L"";
        loaded = TurnExceptionInto(FALSE, [&] { return ApplySkin(skinPath, ini); });
        if (!loaded)
            FallBackToSystem();
    }
    // Nor does telling the windows: without memory for the list of them, they keep their
    // look until the next change.
    TurnExceptionInto(FALSE, [&] {
        BroadcastSkinChange(previous, loaded);
        return TRUE;
    });
    return loaded;
}

BOOL CHLMSkinManager::ApplySkin(LPCWSTR skinPath, LPCWSTR iniName)
{
    DeleteSchema();
    RemoveAllClasses();
    RemoveApiHooks();
    if (CHLMColorManager::IsLowResolution() || !CHLMSkinManagerModuleList::IsEnumerationSupported() ||
        !OpenSkinFile(skinPath, iniName))
        return FALSE;
    m_bEnabled = TRUE;
    if (!InstallApiHooks())
        return FALSE;
    m_pMetrics->RefreshMetrics();
    m_pSchema->FreeFrameRegions();
    GetColorManagerInstance().RecomputeColors();
    return TRUE;
}

void CHLMSkinManager::FallBackToSystem()
{
    m_bEnabled = FALSE;
    // Every slot a failed installation wrote goes back first: removing never raises.
    RemoveApiHooks();
    DeleteSchema();
    RemoveAllClasses();
    TurnExceptionInto(FALSE, [&] {
        m_pMetrics->RefreshMetrics();
        GetColorManagerInstance().RecomputeColors();
        return TRUE;
    });
}

void CHLMSkinManager::SetApplyOptions(DWORD dwOptions)
{
    {
        ScopedSectionLock lock(m_lockSkin);
        m_dwApplyOptions = dwOptions;
        if (!m_bEnabled)
            return;
        RemoveApiHooks();
        InstallApiHooks();
        m_pMetrics->RefreshMetrics();
        m_pSchema->FreeFrameRegions();
        GetColorManagerInstance().RecomputeColors();
    }
    BroadcastSkinChange(TRUE, TRUE);
}

void CHLMSkinManager::RefreshSkin()
{
    {
        ScopedSectionLock lock(m_lockSkin);
        if (!m_bEnabled)
            return;
        ScopedSectionLock classesLock(m_lockClasses);
        HLMSkinVisitMapValues<CHLMSkinManagerClass>(m_mapClasses, [](CHLMSkinManagerClass* skinClass) {
            skinClass->GetImages()->RemoveAll();
            return true;
        });
        m_pMetrics->RefreshMetrics();
        GetColorManagerInstance().RecomputeColors();
    }
    BroadcastSkinChange(TRUE, TRUE);
}

void CHLMSkinManager::SetResourceFile(CHLMSkinManagerResourceFile* pResourceFile)
{
    ASSERT(pResourceFile != nullptr);
    if (pResourceFile == nullptr || pResourceFile == m_pResourceFile)
        return;
    delete m_pResourceFile;
    m_pResourceFile = pResourceFile;
    m_pResourceFile->SetManager(this);
}

void CHLMSkinManager::GetCurrentThemeName(CString& strPath, CString& strIniName) const
{
    if (m_pResourceFile == nullptr)
        return;
    strPath = m_pResourceFile->GetResourcePath();
    strIniName = m_pResourceFile->GetIniFileName();
}

void CHLMSkinManager::ExcludeModule(LPCWSTR lpszModule)
{
    CHLMSkinManagerApiHook::GetInstance().ExcludeModule(lpszModule, FALSE);
}

void CHLMSkinManager::HookWindowTree(HWND hWnd)
{
    if (!::IsWindow(hWnd) || FindSkinObject(hWnd) != nullptr)
        return;
    WCHAR className[kClassNameLength] = {};
    ::GetClassNameW(hWnd, className, kClassNameLength);
    CREATESTRUCTW create = {};
    create.dwExStyle = static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_EXSTYLE));
    create.style = ::GetWindowLongW(hWnd, GWL_STYLE);
    create.hwndParent = ::GetParent(hWnd);
    create.lpszClass = className;
    AttachSkinObject(hWnd, className, &create, FALSE);
    // Looked up again with a reference: attaching sends messages, and the window may be gone.
    if (const CHLMSkinObjectRef object = FindSkinObject(hWnd))
        RunGuarded([&] { object->OnSkinStateChanged(FALSE, m_bEnabled); });
    if (!::IsWindow(hWnd))
        return;
    // The children as they are now: attaching one may create or destroy others.
    std::vector<HWND> children;
    for (HWND hChild = ::GetWindow(hWnd, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        children.push_back(hChild);
    for (HWND hChild : children)
        HookWindowTree(hChild);
}

BOOL CHLMSkinManager::OpenSkinFile(LPCWSTR skinPath, LPCWSTR iniName)
{
    RemoveAllClasses();
    DeleteSchema();
    if (!m_pResourceFile->Open(skinPath, iniName))
        return FALSE;
    m_pSchema = m_pResourceFile->CreateSchema();
    return m_pSchema != nullptr && m_pSchema->ReadProperties(m_pResourceFile) >= 0;
}

void CHLMSkinManager::DeleteSchema()
{
    delete m_pSchema;
    m_pSchema = nullptr;
}

void CHLMSkinManager::RemoveAllClasses()
{
    ScopedSectionLock lock(m_lockClasses);
    HLMSkinDeleteMapValues<CHLMSkinManagerClass>(m_mapClasses);
    m_pResourceFile->Close();
}

CHLMSkinManagerClass* CHLMSkinManager::GetSkinClass(LPCWSTR className)
{
    if (className == nullptr)
        return nullptr;
    CString name(className);
    name.MakeUpper();
    ScopedSectionLock lock(m_lockClasses);
    void* found = nullptr;
    if (m_mapClasses.Lookup(name, found))
        return static_cast<CHLMSkinManagerClass*>(found);
    int classCode = CHLMSkinManagerSchema::ClassCodeFromName(name);
    if (classCode == 0)
        return nullptr;
    CHLMSkinManagerClass* skinClass = new CHLMSkinManagerClass(this, name, classCode);
    m_mapClasses.SetAt(name, skinClass);
    return skinClass;
}

CHLMSkinManagerClass* CHLMSkinManager::LookupClass(const void* skinClass) const
{
    ScopedSectionLock lock(m_lockClasses);
    CHLMSkinManagerClass* found = nullptr;
    HLMSkinVisitMapValues<CHLMSkinManagerClass>(m_mapClasses, [&](CHLMSkinManagerClass* candidate) {
        found = candidate == skinClass ? candidate : nullptr;
        return found == nullptr;
    });
    return found;
}

int CHLMSkinManager::GetThemeSysSize(int propertyId) const
{
    int size = 0;
    if (m_pSchema != nullptr)
        m_pSchema->GetIntProperty(kSysMetricsClass, 0, 0, propertyId, size);
    return ClampMetric(size);
}

BOOL CHLMSkinManager::GetThemeSysBool(int propertyId) const
{
    BOOL value = FALSE;
    if (m_pSchema != nullptr)
        m_pSchema->GetBoolProperty(kSysMetricsClass, 0, 0, propertyId, value);
    return value;
}

HRESULT CHLMSkinManager::GetThemeSysFont(int propertyId, LOGFONTW* font) const
{
    if (m_pSchema == nullptr || font == nullptr)
        return E_FAIL;
    return m_pSchema->GetFontProperty(kSysMetricsClass, 0, 0, propertyId, *font);
}

COLORREF CHLMSkinManager::GetThemeSysColor(int propertyId) const
{
    int index = propertyId - TMT_FIRSTCOLOR;
    if (index < 0 || index >= CHLMSkinManagerMetrics::kColorCount)
        return static_cast<COLORREF>(-1);
    return m_pMetrics->GetColor(index);
}

void CHLMSkinManager::AddColorFilter(CHLMSkinManagerColorFilter* filter)
{
    m_vecColorFilters.push_back(filter);
}

void CHLMSkinManager::RemoveColorFilters()
{
    for (CHLMSkinManagerColorFilter* filter : m_vecColorFilters)
        delete filter;
    m_vecColorFilters.clear();
}

COLORREF CHLMSkinManager::ApplyColorFilter(COLORREF color) const
{
    for (CHLMSkinManagerColorFilter* filter : m_vecColorFilters)
        filter->ApplyFilter(color);
    return color;
}

// ---------------------------------------------------------------------------------------
// Window map

CHLMSkinObjectRef CHLMSkinManager::FindSkinObject(HWND hWnd)
{
    // A window in the middle of one of its messages on this thread: no lock needed.
    if (CHLMSkinObject* current = CHLMSkinObject::FindOnThreadStack(hWnd))
        return CHLMSkinObjectRef(current);
    ScopedSectionLock lock(m_lockWindows);
    CHLMSkinObject* object = nullptr;
    return CHLMSkinObjectRef(m_mapWindows.Lookup(hWnd, object) ? object : nullptr);
}

CHLMSkinObject* CHLMSkinManager::AttachObject(HWND hWnd, CHLMSkinObject* pObject,
                                              LPCREATESTRUCT lpCreateStruct, BOOL bAutomatic)
{
    pObject->SetSkinManager(this);
    CHLMSkinObjectRef object;
    {
        ScopedSectionLock lock(m_lockWindows);
        CHLMSkinObject* previous = nullptr;
        if (m_mapWindows.Lookup(hWnd, previous) && previous != pObject)
        {
            previous->SetAttached(FALSE);
            previous->InternalRelease();
        }
        m_mapWindows.SetAt(hWnd, pObject);
        pObject->SetAttached(TRUE);
        // Held while the window is subclassed: a window that destroys itself meanwhile
        // detaches the object inside.
        object = CHLMSkinObjectRef(pObject);
    }
    pObject->SubclassWindowProc(hWnd, lpCreateStruct, bAutomatic);
    return pObject->IsAttached() && ::IsWindow(hWnd) ? pObject : nullptr;
}

void CHLMSkinManager::DetachSkinObject(HWND hWnd, BOOL bAutomatic)
{
    CHLMSkinObject* object = nullptr;
    {
        ScopedSectionLock lock(m_lockWindows);
        if (!m_mapWindows.Lookup(hWnd, object))
            return;
        m_mapWindows.RemoveKey(hWnd);
        object->SetAttached(FALSE);
    }
    // The map's reference, taken over for the rest of this call.
    const CHLMSkinObjectRef detached = CHLMSkinObjectRef::Adopt(object);
    object->RestoreWindowProc(bAutomatic);
}

void CHLMSkinManager::DetachAllSkinObjects(BOOL bRestore)
{
    // The map is emptied under the lock; the windows are told without it, since giving a
    // window its procedure back sends messages that another thread may handle while it
    // waits for this lock.
    std::vector<CHLMSkinObjectRef> detached;
    {
        ScopedSectionLock lock(m_lockWindows);
        detached = SnapshotSkinObjects();
        // The map's references go; the snapshot's keep each object until its window is told.
        for (const CHLMSkinObjectRef& object : detached)
        {
            object->SetAttached(FALSE);
            object->InternalRelease();
        }
        m_mapWindows.RemoveAll();
    }
    if (!bRestore)
        return;
    for (const CHLMSkinObjectRef& object : detached)
        RunGuarded([&] { object->RestoreWindowProc(FALSE); });
}

std::vector<CHLMSkinObjectRef> CHLMSkinManager::SnapshotSkinObjects()
{
    std::vector<CHLMSkinObjectRef> objects;
    ScopedSectionLock lock(m_lockWindows);
    objects.reserve(static_cast<size_t>(m_mapWindows.GetCount()));
    HLMSkinVisitMapValues<CHLMSkinObject>(m_mapWindows, [&](CHLMSkinObject* object) {
        objects.push_back(CHLMSkinObjectRef(object));
        return true;
    });
    return objects;
}

// ---------------------------------------------------------------------------------------
// Telling the windows

namespace
{
BOOL CALLBACK EnumPostSysColorChange(HWND hWnd, LPARAM /*lParam*/)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    if (processId == ::GetCurrentProcessId())
        ::PostMessageW(hWnd, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}
}

void CHLMSkinManager::BroadcastSkinChange(BOOL bPrevious, BOOL bEnabled)
{
    WNDENUMPROC enumProc = &EnumPostSysColorChange;
    ::EnumWindows(enumProc, 0);

    // A handler may create or destroy windows (its own or others'), which changes the map:
    // the objects are called from a snapshot, each held by a reference.
    for (const CHLMSkinObjectRef& object : SnapshotSkinObjects())
    {
        if (!object->IsAttached())
            continue;  // detached by an earlier handler
        const HWND hWnd = object->m_hWnd;
        if (::IsWindow(hWnd))
            RunGuarded([&] { object->OnSkinStateChanged(bPrevious, bEnabled); });
        else
            DetachSkinObject(hWnd);
    }
}

void CHLMSkinManager::CreateApiHook()
{
    // Made before the manager is registered for deletion at exit, so it outlives the manager.
    CHLMSkinManagerApiHook::GetInstance();
}

BOOL CHLMSkinManager::InstallApiHooks()
{
    return CHLMSkinManagerApiHook::GetInstance().InstallHooks();
}

void CHLMSkinManager::RemoveApiHooks()
{
    CHLMSkinManagerApiHook::GetInstance().RemoveHooks();
}
