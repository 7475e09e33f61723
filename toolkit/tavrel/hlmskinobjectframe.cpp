#include "hlmskinobjectframe.h"

#include "common/hlmdrawhelpers.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "hlmskinmanagerresource.h"

#include <commctrl.h>

#include <algorithm>

namespace
{
// Every caption button has these state numbers (the close button's names stand for all); an
// inactive frame's buttons take the states that follow the four active ones.
const HLMSkinStateTable kCaptionButtonStates = {CBS_NORMAL, CBS_HOT,    CBS_PUSHED,
                                                CBS_DISABLED, CBS_NORMAL, CBS_NORMAL};
const int kInactiveCaptionButtonOffset = CBS_DISABLED;

const UINT kHotTrackInterval = 50;
const UINT kSetWindowPosFrameChanged =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
// The styles whose brief removal around WM_NCCALCSIZE resets the system's non-client state.
const DWORD kResetStyles = WS_DLGFRAME | WS_VSCROLL | WS_HSCROLL;
// Asks whether the caption is drawn active (missing from the headers).
const UINT kIsActiveIcon = 0x0035;
const int kHighestSysColorAnswer = 30;

BOOL IsAnsweredCtlColor(UINT message)
{
    return message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX || message == WM_CTLCOLORBTN
        || message == WM_CTLCOLORDLG || message == WM_CTLCOLORSTATIC;
}

CRect WindowRectOf(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    return rect;
}
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectFrame, CWnd)

thread_local POINT CHLMSkinObjectFrame::SystemMenuOffset = {0, 0};

BEGIN_MESSAGE_MAP(CHLMSkinObjectFrame, CHLMSkinObject)
    ON_WM_NCPAINT()
    ON_WM_NCCALCSIZE()
    ON_WM_NCMOUSEMOVE()
    ON_WM_NCHITTEST()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_NCRBUTTONUP()
    ON_WM_NCMOUSELEAVE()
    ON_WM_NCACTIVATE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_SETTEXT, &CHLMSkinObjectFrame::OnSetText)
    ON_WM_STYLECHANGED()
    ON_WM_CREATE()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_WINDOWPOSCHANGED()
    ON_MESSAGE(WM_PRINT, &CHLMSkinObjectFrame::OnPrint)
    ON_WM_GETMINMAXINFO()
    ON_WM_SYSCOMMAND()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CHLMSkinObjectFrame::CHLMSkinObjectFrame()
    : m_nLockCount(0),
      m_nDialogTexture(ETDT_DISABLE),
      m_pMDIClient(nullptr),
      m_pHotButton(nullptr),
      m_pPressedButton(nullptr),
      m_bRegionSet(FALSE),
      m_pScrollTracking(nullptr),
      m_szRegion(0, 0),
      m_bActive(FALSE),
      m_dwCachedStyle(0xFFFFFFFF),
      m_dwCachedExStyle(0xFFFFFFFF),
      m_bRegionBusy(FALSE),
      m_nClientBrushMessage(WM_CTLCOLORDLG)
{
    m_strClassName = L"WINDOW";
    m_barVert.nBar = SB_VERT;
    m_barVert.bVertical = TRUE;
}

CHLMSkinObjectFrame::~CHLMSkinObjectFrame()
{
    RemoveButtons();
}

CHLMSkinManagerSchema* CHLMSkinObjectFrame::GetSchema() const
{
    return GetSkinManager() != nullptr ? GetSkinManager()->GetSchema() : nullptr;
}

BOOL CHLMSkinObjectFrame::HasApplyOption(DWORD option) const
{
    return GetSkinManager() != nullptr && (GetSkinManager()->GetApplyOptions() & option) != 0;
}

// ---------------------------------------------------------------------------------------
// Skin object operations

void CHLMSkinObjectFrame::OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled)
{
    if (bEnabled)
        ResetNonClientState();
    if (bEnabled && !bPreviousEnabled)
        m_bActive = SendMessage(kIsActiveIcon, 0, 0) != 0;
    // The window's procedure may destroy it inside any of these calls.
    if (!::IsWindow(m_hWnd))
        return;
    ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, kSetWindowPosFrameChanged);
    if (!::IsWindow(m_hWnd))
        return;
    RefreshMetrics();
    m_szRegion = CSize(0, 0);
    CRect window = WindowRectOf(m_hWnd);
    UpdateFrameRegion(window.Width(), window.Height());
    Invalidate(TRUE);
}

void CHLMSkinObjectFrame::RefreshMetrics()
{
    CHLMSkinObject::RefreshMetrics();
    m_szRegion = CSize(0, 0);
    PostMessage(WM_SYSCOLORCHANGE, 0, 0);
}

void CHLMSkinObjectFrame::OnHookAttached(LPCREATESTRUCT lpCreateStruct, BOOL bAutomatic)
{
    CHLMSkinObject::OnHookAttached(lpCreateStruct, bAutomatic);
    // A window created under the hook gets its size from WM_CREATE instead.
    if (!bAutomatic)
        ResizeToSkinFrame();
}

void CHLMSkinObjectFrame::OnHookDetached(BOOL bAutomatic)
{
    if (m_bRegionSet && !bAutomatic && ::IsWindow(m_hWnd))
    {
        SetWindowRgn(NULL, TRUE);
        m_bRegionSet = FALSE;
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, kSetWindowPosFrameChanged);
    }
    CHLMSkinObject::OnHookDetached(bAutomatic);
}

BOOL CHLMSkinObjectFrame::IsDefWindowProcMessage(UINT message)
{
    return CHLMSkinObject::IsDefWindowProcMessage(message) ? TRUE : FALSE;
}

BOOL CHLMSkinObjectFrame::IsMessageExcluded(UINT message)
{
    const DWORD minimisedCaption = WS_MINIMIZE | WS_VISIBLE | WS_CAPTION;
    if (message == WM_ENTERIDLE && (GetStyle() & minimisedCaption) == minimisedCaption)
        RedrawFrame();
    if (m_nLockCount != 0
        && (message == WM_STYLECHANGING || message == WM_STYLECHANGED || message == WM_NCCALCSIZE))
        return TRUE;
    if (!HasApplyOption(HLM_SKINAPPLY_FRAME))
    {
        switch (message)
        {
        case WM_NCPAINT:
        case WM_NCCALCSIZE:
        case WM_NCHITTEST:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
        case WM_WINDOWPOSCHANGED:
        case WM_NCMOUSEMOVE:
        case WM_NCMOUSELEAVE:
        case WM_NCACTIVATE:
        case WM_WINDOWPOSCHANGING:
        case WM_PRINT:
            return TRUE;
        default:
            break;
        }
    }
    return CHLMSkinObject::IsMessageExcluded(message);
}

// ---------------------------------------------------------------------------------------
// Queries

BOOL CHLMSkinObjectFrame::HasCaption() const
{
    return (GetStyle() & WS_CAPTION) == WS_CAPTION;
}

BOOL CHLMSkinObjectFrame::IsFlatScrollBar() const
{
    // Looked up by name: not every import library of comctl32 carries the flat scroll bars.
    using GetScrollPropFunction = decltype(&::FlatSB_GetScrollProp);
    static const GetScrollPropFunction getScrollProp = reinterpret_cast<GetScrollPropFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"comctl32.dll"), "FlatSB_GetScrollProp")));
    int value = 0;
    return getScrollProp != nullptr && getScrollProp(m_hWnd, WSB_PROP_VSTYLE, &value);
}

void CHLMSkinObjectFrame::ScreenToFrame(POINT& point)
{
    CHLMDrawHelpers::ScreenToWindowPoint(this, point);
}

HWND CHLMSkinObjectFrame::GetMDIClientWnd() const
{
    return m_pMDIClient != nullptr ? m_pMDIClient->GetSafeHwnd() : NULL;
}

void CHLMSkinObjectFrame::ClientToFrame(POINT& point)
{
    ClientToScreen(&point);
    ScreenToFrame(point);
}

void CHLMSkinObjectFrame::DeflateByBorders(CRect& rect) const
{
    rect.DeflateRect(m_rcBorders.left, m_rcBorders.top, m_rcBorders.right, m_rcBorders.bottom);
}

template <typename EndsWalk>
BOOL CHLMSkinObjectFrame::IsAtAncestorCorner(EndsWalk endsWalk) const
{
    const CRect rect = WindowRectOf(m_hWnd);
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    for (HWND window = m_hWnd; window != NULL;)
    {
        const DWORD style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
        if (endsWalk(style))
        {
            if (style & WS_MAXIMIZE)
                return FALSE;
            CRect client;
            ::GetClientRect(window, &client);
            POINT corner = {client.right, client.bottom};
            ::ClientToScreen(window, &corner);
            return rect.right + metrics->m_cxEdge >= corner.x && rect.bottom + metrics->m_cyEdge >= corner.y;
        }
        if (!(style & WS_CHILD) || (style & WS_CAPTION) == WS_CAPTION)
            return FALSE;
        window = ::GetParent(window);
    }
    return FALSE;
}

BOOL CHLMSkinObjectFrame::IsSizeGripVisible() const
{
    return IsAtAncestorCorner([](DWORD style) { return (style & WS_THICKFRAME) != 0; });
}

BOOL CHLMSkinObjectFrame::IsAtCaptionedAncestorCorner() const
{
    return IsAtAncestorCorner([](DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; });
}

int CHLMSkinObjectFrame::GetMenuBarHeight(HWND, HMENU menu)
{
    return menu != NULL && ::GetMenuItemCount(menu) > 0 ? ::GetSystemMetrics(SM_CYMENUSIZE) + 1 : 0;
}

void CHLMSkinObjectFrame::DrawMenuBar(CDC*)
{
}

LRESULT CHLMSkinObjectFrame::CallDialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_nDialogTexture != ETDT_ENABLE)
        return 0;
    const BOOL unicode = SendMessage(WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(m_hWnd), NF_QUERY) == NFR_UNICODE;
    const LONG_PTR value = unicode ? ::GetWindowLongPtrW(m_hWnd, DWLP_DLGPROC) : ::GetWindowLongPtrA(m_hWnd, DWLP_DLGPROC);
    // A high word of 0xFFFF marks a handle the system translates between ANSI and Unicode,
    // not a procedure that can be called.
    if (value == 0 || (static_cast<ULONG_PTR>(value) >> 16) == 0xFFFF)
        return 0;
    DLGPROC procedure = reinterpret_cast<DLGPROC>(value);
    return procedure(m_hWnd, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// Non-client size, hit test and painting

void CHLMSkinObjectFrame::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params)
{
    CHLMSkinManagerSchema* schema = GetSchema();
    if (IsFlatScrollBar() || schema == nullptr)
    {
        m_barHorz.bVisible = m_barVert.bVisible = FALSE;
        Default();
        return;
    }
    m_rcBorders = schema->GetWindowFrameBorders(this);
    RECT& rect = params->rgrc[0];
    rect.left += m_rcBorders.left;
    rect.top += m_rcBorders.top;
    rect.right -= m_rcBorders.right;
    rect.bottom -= m_rcBorders.bottom;
    if (HasMenuBar())
    {
        const int height = GetMenuBarHeight(m_hWnd, ::GetMenu(m_hWnd));
        m_rcMenuBar.SetRect(m_rcBorders.left, m_rcBorders.top, m_rcBorders.left + rect.right - rect.left,
                            m_rcBorders.top + height);
        rect.top += height;
    }
    else
    {
        m_rcMenuBar.SetRectEmpty();
    }

    const DWORD style = GetStyle();
    m_barVert.bVisible = (style & WS_VSCROLL) != 0;
    m_barHorz.bVisible = (style & WS_HSCROLL) != 0;
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    if (m_barVert.bVisible)
    {
        if (GetExStyle() & (WS_EX_LAYOUTRTL | WS_EX_LEFTSCROLLBAR))
            rect.left += metrics->m_cxVScroll;
        else
            rect.right -= metrics->m_cxVScroll;
    }
    if (m_barHorz.bVisible)
        rect.bottom -= metrics->m_cyHScroll;
    rect.bottom = std::max(rect.bottom, rect.top);
    rect.right = std::max(rect.right, rect.left);
}

LRESULT CHLMSkinObjectFrame::OnNcHitTest(CPoint point)
{
    const LRESULT code = Default();
    const UINT own = HitTest(point);
    if (own != 0)
        return own;
    switch (code)
    {
    case HTCLOSE:
    case HTMAXBUTTON:
    case HTMINBUTTON:
    case HTHELP:
        // Where the system has a button and the skin has none, the point is caption.
        return HTCAPTION;
    case HTVSCROLL:
    case HTHSCROLL:
        return IsFlatScrollBar() ? code : HTCLIENT;
    case HTNOWHERE:
    case HTBORDER:
        return IsInCaptionStrip(point) ? HTCAPTION : code;
    default:
        return code;
    }
}

BOOL CHLMSkinObjectFrame::IsInCaptionStrip(CPoint screenPoint)
{
    // The skin's caption can be taller than the system's; the system knows nothing of the
    // strip it adds below its own caption and answers HTNOWHERE or HTBORDER there.
    if (!HasCaption())
        return FALSE;
    ScreenToFrame(screenPoint);
    const CRect window = WindowRectOf(m_hWnd);
    const CRect caption(m_rcBorders.left, 0, window.Width() - m_rcBorders.right, m_rcBorders.top);
    return caption.PtInRect(screenPoint);
}

UINT CHLMSkinObjectFrame::HitTest(CPoint screenPoint)
{
    CPoint point = screenPoint;
    ScreenToFrame(point);
    const DWORD style = GetStyle();
    if ((style & WS_VSCROLL) && m_barVert.bVisible && m_barVert.rc.PtInRect(point))
        return HTVSCROLL;
    if ((style & WS_HSCROLL) && m_barHorz.bVisible && m_barHorz.rc.PtInRect(point))
        return HTHSCROLL;
    if ((style & WS_VSCROLL) && (style & WS_HSCROLL) && m_barVert.bVisible && m_barHorz.bVisible
        && IsSizeGripVisible())
    {
        if (GetSizeBoxRect().PtInRect(point))
            return (GetExStyle() & WS_EX_LAYOUTRTL) ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
    }
    if (m_rcMenuBar.PtInRect(point))
        return HTMENU;
    CCaptionButton* button = HitTestButton(point);
    return button != nullptr ? button->m_nHitTest : 0;
}

CRect CHLMSkinObjectFrame::GetSizeBoxRect() const
{
    CRect box(m_barHorz.rc.right, m_barVert.rc.bottom, m_barVert.rc.right, m_barHorz.rc.bottom);
    if (GetExStyle() & WS_EX_LEFTSCROLLBAR)
    {
        box.left = m_barVert.rc.left;
        box.right = m_barHorz.rc.left;
    }
    return box;
}

void CHLMSkinObjectFrame::OnNcPaint()
{
    if (IsFlatScrollBar())
    {
        Default();
        return;
    }
    UpdateButtons();
    UpdateCloseButtonState();
    CWindowDC dc(this);
    DrawFrame(&dc);
}

void CHLMSkinObjectFrame::RedrawFrame()
{
    if (!::IsWindow(m_hWnd))
        return;
    CWindowDC dc(this);
    DrawFrame(&dc);
}

void CHLMSkinObjectFrame::DrawFrame(CDC* dc)
{
    CHLMSkinManagerSchema* schema = GetSchema();
    if (m_nLockCount != 0 || schema == nullptr)
        return;
    schema->DrawWindowFrame(dc, this);
    if (!m_rcMenuBar.IsRectEmpty())
        DrawMenuBar(dc);
    DrawScrollBars(dc);
}

// ---------------------------------------------------------------------------------------
// Region and size

void CHLMSkinObjectFrame::UpdateFrameRegion(int cx, int cy)
{
    // SetWindowRgn sends size messages that would come back here.
    if (m_bRegionBusy)
        return;
    m_bRegionBusy = TRUE;
    const BOOL caption = HasCaption();
    if (m_bRegionSet && !caption)
    {
        SetWindowRgn(NULL, TRUE);
        m_bRegionSet = FALSE;
    }
    if (caption && CSize(cx, cy) != m_szRegion)
    {
        CHLMSkinManager* manager = GetSkinManager();
        CHLMSkinManagerSchema* schema = GetSchema();
        if (manager->IsEnabled() && HasApplyOption(HLM_SKINAPPLY_FRAME) && schema != nullptr)
        {
            HRGN region = schema->BuildFrameRegion(this, cx, cy);
            // The system owns a region only once it took it.
            if (SetWindowRgn(region, TRUE) != 0)
                m_bRegionSet = TRUE;
            else if (region != NULL)
                ::DeleteObject(region);
        }
        else if (m_bRegionSet)
        {
            SetWindowRgn(NULL, TRUE);
            m_bRegionSet = FALSE;
        }
        m_szRegion = CSize(cx, cy);
    }
    m_bRegionBusy = FALSE;
}

void CHLMSkinObjectFrame::OnWindowPosChanging(WINDOWPOS* position)
{
    Default();
    if (!(GetExStyle() & WS_EX_LAYOUTRTL))
        UpdateRegionForPosition(position);
}

void CHLMSkinObjectFrame::OnWindowPosChanged(WINDOWPOS* position)
{
    Default();
    if (GetExStyle() & WS_EX_LAYOUTRTL)
        UpdateRegionForPosition(position);
}

void CHLMSkinObjectFrame::UpdateRegionForPosition(const WINDOWPOS* position)
{
    if (!(position->flags & SWP_NOSIZE) && CSize(position->cx, position->cy) != m_szRegion)
        UpdateFrameRegion(position->cx, position->cy);
}

void CHLMSkinObjectFrame::ResizeToSkinFrame()
{
    if (!HasCaption())
        return;
    CRect rect = WindowRectOf(m_hWnd);
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    if (HasApplyOption(HLM_SKINAPPLY_METRICS) && !(GetStyle() & WS_CHILD))
    {
        // The window keeps its client height while the skin's caption differs from the system's.
        if (GetExStyle() & WS_EX_TOOLWINDOW)
            rect.bottom += metrics->m_nSmallCaptionHeight - metrics->m_nSystemSmallCaptionHeight;
        else
            rect.bottom += metrics->m_nCaptionHeight - metrics->m_nSystemCaptionHeight;
        MoveWindow(&rect, FALSE);
    }
    UpdateFrameRegion(rect.Width(), rect.Height());
}

void CHLMSkinObjectFrame::ResetNonClientState()
{
    if (!HasApplyOption(HLM_SKINAPPLY_FRAME))
        return;
    ++m_nLockCount;
    const DWORD style = GetStyle();
    if (style & kResetStyles)
    {
        ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(style & ~kResetStyles));
        CRect window = WindowRectOf(m_hWnd);
        SendMessage(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&window));
        ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(style));
    }
    --m_nLockCount;
}

int CHLMSkinObjectFrame::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    ResizeToSkinFrame();
    return 0;
}

void CHLMSkinObjectFrame::OnStyleChanged(int, LPSTYLESTRUCT)
{
    Default();
    if (CHLMSkinManagerSchema* schema = GetSchema())
        m_rcBorders = schema->GetWindowFrameBorders(this);
    m_szRegion = CSize(0, 0);
    const CRect window = WindowRectOf(m_hWnd);
    UpdateFrameRegion(window.Width(), window.Height());
    UpdateButtons();
}

void CHLMSkinObjectFrame::OnGetMinMaxInfo(MINMAXINFO* info)
{
    Default();
    if (HasApplyOption(HLM_SKINAPPLY_FRAME) && HasCaption())
    {
        const LONG buttons = static_cast<LONG>(m_arrButtons.GetSize());
        info->ptMinTrackSize.x = std::max(info->ptMinTrackSize.x, buttons * m_rcBorders.top
                                          + GetSystemMetrics(SM_CXSIZE) + 2 * GetSystemMetrics(SM_CXEDGE));
        info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, m_rcBorders.top + m_rcBorders.bottom);
    }
    if (HasApplyOption(HLM_SKINAPPLY_METRICS) && (GetExStyle() & WS_EX_MDICHILD))
    {
        const LONG offset = m_rcBorders.top + info->ptMaxPosition.y;
        info->ptMaxPosition.y -= offset;
        info->ptMaxSize.y += offset;
    }
}

// ---------------------------------------------------------------------------------------
// Activation, text, printing, system commands

BOOL CHLMSkinObjectFrame::OnNcActivate(BOOL active)
{
    if (!HasCaption())
        return static_cast<BOOL>(Default());
    CallDialogProc(WM_NCACTIVATE, active, 0);
    if (!active)
    {
        CWnd* permanent = CWnd::FromHandlePermanent(m_hWnd);
        if (permanent != nullptr && (permanent->m_nFlags & WF_STAYACTIVE))
            active = TRUE;
        if (!IsWindowEnabled())
            active = FALSE;
    }
    HWND mdiClient = GetMDIClientWnd();
    if (mdiClient != NULL)
    {
        HWND activeChild = reinterpret_cast<HWND>(::SendMessageW(mdiClient, WM_MDIGETACTIVE, 0, 0));
        if (activeChild != NULL && activeChild != m_hWnd)
        {
            ::SendMessageW(activeChild, WM_NCACTIVATE, active, 0);
            ::SendMessageW(activeChild, WM_NCPAINT, 0, 0);
        }
    }
    m_bActive = active;
    RedrawFrame();
    // The system never paints this caption.
    return TRUE;
}

LRESULT CHLMSkinObjectFrame::OnDefaultAndInvalidate(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    Invalidate(FALSE);
    return result;
}

LRESULT CHLMSkinObjectFrame::OnSetText(WPARAM wParam, LPARAM lParam)
{
    if (!HasCaption())
        return Default();
    // The system paints its own caption when it stores the text: only the skin's may show.
    const LRESULT result = WithoutSystemPainting([&] { return DefWindowProc(WM_SETTEXT, wParam, lParam); });
    RedrawFrame();
    return result;
}

LRESULT CHLMSkinObjectFrame::OnPrint(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 1;
    if (lParam != PRF_NONCLIENT)
    {
        ++m_nLockCount;
        result = DefWindowProc(WM_PRINT, wParam, lParam);
        --m_nLockCount;
    }
    if (!(lParam & PRF_NONCLIENT))
        return result;
    const DWORD style = GetStyle();
    m_barVert.bVisible = m_barVert.bVisible && (style & WS_VSCROLL);
    m_barHorz.bVisible = m_barHorz.bVisible && (style & WS_HSCROLL);
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wParam));
    if ((GetExStyle() & WS_EX_LAYOUTRTL) && !CHLMDrawHelpers::IsDcMirrored(&dc))
        CHLMDrawHelpers::SetDcLayout(&dc, LAYOUT_RTL);
    DrawFrame(&dc);
    dc.Detach();
    return result;
}

void CHLMSkinObjectFrame::OnSysCommand(UINT id, LPARAM)
{
    const UINT command = id & 0xFFF0;
    if (command == SC_MAXIMIZE && HasApplyOption(HLM_SKINAPPLY_METRICS) && (GetExStyle() & WS_EX_MDICHILD)
        && !(GetStyle() & WS_MAXIMIZE))
    {
        // A maximised MDI child shows only its client area inside the MDI client.
        Default();
        CRect parent;
        ::GetClientRect(::GetParent(m_hWnd), &parent);
        CRect rect(-m_rcBorders.left, -m_rcBorders.top, parent.Width() + m_rcBorders.right,
                   parent.Height() + m_rcBorders.bottom);
        MoveWindow(&rect, TRUE);
        return;
    }
    if ((command == SC_MOUSEMENU || command == SC_KEYMENU) && HasCaption()
        && HasApplyOption(HLM_SKINAPPLY_METRICS) && GetSchema() != nullptr)
    {
        CRect system(0, 0, 100, 100);
        ::AdjustWindowRectEx(&system, GetStyle(), FALSE, GetExStyle());
        const CRect skin = GetSchema()->GetWindowFrameBorders(this);
        SystemMenuOffset.x = skin.left + system.left;
        SystemMenuOffset.y = skin.top + system.top;
    }
    if (command == SC_MOVE && IsIconic())
    {
        CallDefWindowProc(WM_NCPAINT, 0, 0);
        RedrawFrame();
    }
    Default();
    if (command == SC_MINIMIZE)
        RedrawFrame();
    SystemMenuOffset.x = SystemMenuOffset.y = 0;
}

void CHLMSkinObjectFrame::OnTimer(UINT_PTR id)
{
    if (id == kResetNonClientTimer)
    {
        ResetNonClientState();
        KillTimer(kResetNonClientTimer);
        return;
    }
    if (id != kHotTrackTimer)
    {
        Default();
        return;
    }
    // While any window holds the mouse, the hot element stays.
    if (::GetCapture() != NULL)
        return;
    CPoint cursor;
    ::GetCursorPos(&cursor);
    const UINT code = HitTest(cursor);
    if (code != 0 && code != HTCLIENT && code != HTBOTTOMRIGHT && code != HTBOTTOMLEFT
        && WindowRectOf(m_hWnd).PtInRect(cursor))
        return;
    HandleMouseMove(CPoint(-1, -1));
    KillHotTimer();
}

// ---------------------------------------------------------------------------------------
// Caption buttons

CHLMSkinObjectFrame::CCaptionButton::CCaptionButton(UINT command, CHLMSkinObjectFrame* frame, UINT hitTest, int part)
    : m_nHitTest(hitTest), m_nPart(part), m_pFrame(frame), m_nCommand(command), m_bEnabled(TRUE)
{
}

BOOL CHLMSkinObjectFrame::CCaptionButton::IsPressed() const
{
    return m_pFrame->m_pPressedButton == this;
}

BOOL CHLMSkinObjectFrame::CCaptionButton::IsHighlighted() const
{
    return m_pFrame->m_pHotButton == this;
}

void CHLMSkinObjectFrame::CCaptionButton::Draw(CDC* dc, BOOL frameActive)
{
    // While a button is held, no other button shows hot.
    const BOOL hot = IsHighlighted() && (IsPressed() || m_pFrame->m_pPressedButton == nullptr);
    int state = kCaptionButtonStates[HLMSkinGetDrawState(m_bEnabled, hot && IsPressed(), hot)];
    if (!frameActive)
        state += kInactiveCaptionButtonOffset;
    CHLMSkinManagerClass* window = m_pFrame->GetSkinManager()->GetSkinClass(L"WINDOW");
    if (window != nullptr)
        window->DrawThemeBackground(dc, m_nPart, state, &m_rcButton);
}

void CHLMSkinObjectFrame::UpdateButtons()
{
    const DWORD style = GetStyle();
    const DWORD exStyle = GetExStyle();
    if (style == m_dwCachedStyle && exStyle == m_dwCachedExStyle)
        return;
    m_dwCachedStyle = style;
    m_dwCachedExStyle = exStyle;
    RemoveButtons();
    if ((style & WS_CAPTION) != WS_CAPTION)
        return;

    const BOOL tool = (exStyle & WS_EX_TOOLWINDOW) != 0;
    const BOOL sysMenu = (style & WS_SYSMENU) != 0;
    const BOOL dialogFrame = (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME);
    const BOOL minMax = !tool && sysMenu && (style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
    const BOOL minimised = (style & WS_MINIMIZE) != 0;
    const BOOL maximised = (style & WS_MAXIMIZE) != 0;
    const BOOL maximizeBox = (style & WS_MAXIMIZEBOX) != 0;
    const BOOL minimizeBox = (style & WS_MINIMIZEBOX) != 0;

    AddButton(SC_CLOSE, !dialogFrame || sysMenu, IsCloseEnabled(), HTCLOSE,
              tool ? WP_SMALLCLOSEBUTTON : WP_CLOSEBUTTON);
    AddButton(SC_MAXIMIZE, !maximised && minMax, maximizeBox, HTMAXBUTTON, WP_MAXBUTTON);
    // A minimised window shows its restore button where the minimise button would be.
    if (minimised)
        AddButton(SC_RESTORE, minMax, minimizeBox, HTMINBUTTON, WP_RESTOREBUTTON);
    else
        AddButton(SC_RESTORE, maximised && minMax, maximizeBox, HTMAXBUTTON, WP_RESTOREBUTTON);
    AddButton(SC_MINIMIZE, !minimised && minMax, minimizeBox, HTMINBUTTON, WP_MINBUTTON);
    AddButton(SC_CONTEXTHELP, (exStyle & WS_EX_CONTEXTHELP) && !tool && sysMenu, TRUE, HTHELP, WP_HELPBUTTON);
}

BOOL CHLMSkinObjectFrame::IsCloseEnabled() const
{
    if (!(GetStyle() & WS_SYSMENU) || (GetExStyle() & WS_EX_TOOLWINDOW))
        return TRUE;
    HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    const UINT state = menu != NULL ? ::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) : static_cast<UINT>(-1);
    // A system menu without a Close item leaves the button enabled (-1 is no state).
    return state == static_cast<UINT>(-1) || !(state & (MF_GRAYED | MF_DISABLED));
}

void CHLMSkinObjectFrame::UpdateCloseButtonState()
{
    for (INT_PTR index = 0; index < m_arrButtons.GetSize(); ++index)
    {
        CCaptionButton* button = m_arrButtons[index];
        if (button->m_nCommand == SC_CLOSE)
            button->m_bEnabled = IsCloseEnabled();
    }
}

void CHLMSkinObjectFrame::AddButton(UINT command, BOOL visible, BOOL enabled, UINT hitTest, int part)
{
    if (!visible)
        return;
    CCaptionButton* button = new CCaptionButton(command, this, hitTest, part);
    button->m_bEnabled = enabled ? TRUE : FALSE;
    m_arrButtons.Add(button);
}

void CHLMSkinObjectFrame::RemoveButtons()
{
    // No freed button may stay hot or pressed, nor a timer that would find it.
    m_pHotButton = nullptr;
    m_pPressedButton = nullptr;
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        KillHotTimer();
    for (INT_PTR index = 0; index < m_arrButtons.GetSize(); ++index)
        delete m_arrButtons[index];
    m_arrButtons.RemoveAll();
}

CHLMSkinObjectFrame::CCaptionButton* CHLMSkinObjectFrame::HitTestButton(CPoint windowPoint)
{
    // On a maximised top-level window the buttons reach up to the screen edge.
    const BOOL maximisedTop = (GetStyle() & (WS_CHILD | WS_MAXIMIZE)) == WS_MAXIMIZE;
    for (INT_PTR index = 0; index < m_arrButtons.GetSize(); ++index)
    {
        CCaptionButton* button = m_arrButtons[index];
        CRect rect = button->m_rcButton;
        if (maximisedTop)
        {
            rect.top -= 2;
            if (index == 0)
                rect.right += 2;
        }
        if (rect.PtInRect(windowPoint) && button->m_bEnabled)
            return button;
    }
    return nullptr;
}

void CHLMSkinObjectFrame::KillHotTimer()
{
    KillTimer(kHotTrackTimer);
}

BOOL CHLMSkinObjectFrame::HandleMouseMove(CPoint screenPoint)
{
    CPoint point = screenPoint;
    if (screenPoint != CPoint(-1, -1))
        ScreenToFrame(point);
    CCaptionButton* button = HitTestButton(point);
    if (button != m_pHotButton)
    {
        if (m_pHotButton != nullptr && button == nullptr)
            KillHotTimer();
        m_pHotButton = button;
        RedrawButtons();
        if (button != nullptr)
        {
            SetTimer(kHotTrackTimer, kHotTrackInterval);
            return TRUE;
        }
    }
    return HotTrackScrollBars(point);
}

void CHLMSkinObjectFrame::TrackCaptionButton()
{
    CCaptionButton* tracked = m_pHotButton;
    if (tracked == nullptr)
        return;
    const UINT command = tracked->m_nCommand;
    SetCapture();
    m_pPressedButton = tracked;
    RedrawFrame();

    BOOL clicked = FALSE;
    while (::GetCapture() == m_hWnd)
    {
        MSG message;
        if (!::GetMessageW(&message, NULL, 0, 0))
        {
            AfxPostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (message.message == WM_LBUTTONUP)
        {
            clicked = m_pPressedButton == tracked;
            break;
        }
        if (message.message == WM_NCMOUSELEAVE)
            continue;
        if (message.message == WM_MOUSEMOVE)
        {
            CPoint point = message.pt;
            ScreenToFrame(point);
            CCaptionButton* button = HitTestButton(point) == tracked ? tracked : nullptr;
            if (button != m_pPressedButton)
            {
                m_pPressedButton = button;
                RedrawFrame();
            }
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
        // A style change rebuilt the buttons: the tracked one is gone.
        if (m_pHotButton != tracked)
        {
            clicked = FALSE;
            break;
        }
    }
    m_pPressedButton = nullptr;
    m_pHotButton = nullptr;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    RedrawFrame();
    if (clicked)
        SendMessage(WM_SYSCOMMAND, command, 0);
}

void CHLMSkinObjectFrame::OnNcMouseMove(UINT, CPoint point)
{
    if (!HandleMouseMove(point))
        Default();
}

void CHLMSkinObjectFrame::OnNcMouseLeave()
{
    if (!HandleMouseMove(CPoint(-1, -1)))
        Default();
}

void CHLMSkinObjectFrame::OnNcLButtonDown(UINT hitTest, CPoint point)
{
    CPoint framePoint = point;
    ScreenToFrame(framePoint);
    // A press tracks the hot button only where it hits that button.
    if (m_pHotButton != nullptr && HitTestButton(framePoint) == m_pHotButton)
    {
        TrackCaptionButton();
        return;
    }
    if (TrackScrollBarAt(framePoint))
        return;
    if (hitTest == HTMINBUTTON || hitTest == HTMAXBUTTON || hitTest == HTCLOSE || hitTest == HTHELP)
        return;
    Default();
}

void CHLMSkinObjectFrame::OnNcLButtonDblClk(UINT hitTest, CPoint point)
{
    OnNcLButtonDown(hitTest, point);
}

// ---------------------------------------------------------------------------------------
// Control colours and dialog texture

BOOL CHLMSkinObjectFrame::OnHookMessage(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult)
{
    if (IsAnsweredCtlColor(message))
    {
        // A combo box's list and edit keep their own colours.
        if (m_strClassName == L"COMBOBOX" || IsDefWindowProcMessage(message))
            return FALSE;
        return AnswerCtlColor(message, wParam, lParam, lResult);
    }
    if (message == WM_ERASEBKGND && m_nDialogTexture == ETDT_ENABLETAB)
    {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        CRect client;
        GetClientRect(&client);
        ::FillRect(dc, &client, GetDialogTextureBrush(dc, m_hWnd, CTLCOLOR_DLG));
        return TRUE;
    }
    return CHLMSkinObject::OnHookMessage(message, wParam, lParam, lResult);
}

BOOL CHLMSkinObjectFrame::OnHookDefWindowProc(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult)
{
    if (IsAnsweredCtlColor(message))
        return m_strClassName != L"COMBOBOX" && AnswerCtlColor(message, wParam, lParam, lResult);
    return CHLMSkinObject::OnHookDefWindowProc(message, wParam, lParam, lResult);
}

BOOL CHLMSkinObjectFrame::AnswerCtlColor(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    CHLMSkinManagerMetrics* metrics = GetMetrics();
    if (message == WM_CTLCOLORBTN || message == WM_CTLCOLORDLG || message == WM_CTLCOLORSTATIC)
    {
        const UINT kind = message - WM_CTLCOLORMSGBOX;
        if (CWnd::GrayCtlColor(dc, control, kind, metrics->m_hBrushBtnFace, 0))
        {
            result = reinterpret_cast<LRESULT>(GetDialogTextureBrush(dc, control, kind));
            return TRUE;
        }
    }
    ::SetBkColor(dc, GetColor(COLOR_WINDOW));
    ::SetTextColor(dc, GetColor(COLOR_WINDOWTEXT));
    result = reinterpret_cast<LRESULT>(metrics->m_hBrushes[COLOR_WINDOW]);
    return TRUE;
}

HBRUSH CHLMSkinObjectFrame::GetDialogTextureBrush(HDC dc, HWND control, UINT ctlColor)
{
    CHLMSkinManagerMetrics* metrics = GetMetrics();
    if (m_nDialogTexture != ETDT_ENABLETAB)
    {
        CWnd::GrayCtlColor(dc, control, ctlColor, metrics->m_hBrushBtnFace, GetColor(COLOR_BTNTEXT));
        return metrics->m_hBrushBtnFace;
    }
    if (metrics->m_hBrushTabPage == NULL)
    {
        metrics->m_hBrushTabPage = CreateTabPageBrush();
        if (metrics->m_hBrushTabPage == NULL)
            return metrics->m_hBrushBtnFace;
    }
    if (control != m_hWnd)
    {
        // The pattern continues across the page into the control.
        const CRect page = WindowRectOf(m_hWnd);
        const CRect child = WindowRectOf(control);
        ::SetBrushOrgEx(dc, page.left - child.left, page.top - child.top, nullptr);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, GetColor(COLOR_BTNTEXT));
    }
    return metrics->m_hBrushTabPage;
}

HBRUSH CHLMSkinObjectFrame::CreateTabPageBrush()
{
    CHLMSkinManagerClass* tab = GetSkinManager()->GetSkinClass(L"TAB");
    if (tab == nullptr)
        return NULL;
    const CString name = tab->GetThemeString(TABP_BODY, kAnyState, kStockImageFileProperty, L"");
    CHLMSkinImage* image = name.IsEmpty() ? nullptr
                                          : tab->GetImages()->LoadFile(GetSkinManager()->GetResourceFile(), name);
    if (image == nullptr)
        return NULL;
    CWindowDC windowDC(this);
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(&windowDC, image->GetWidth(), image->GetHeight()))
        return NULL;
    {
        CHLMCompatibleDC memory(&windowDC, &bitmap);
        const CRect whole(0, 0, image->GetWidth(), image->GetHeight());
        const CRect noMargins(0, 0, 0, 0);
        image->DrawImage(&memory, whole, whole, noMargins, static_cast<COLORREF>(-1), 0, FALSE);
    }
    // The brush keeps its own copy of the pattern; the bitmap goes with this scope.
    return ::CreatePatternBrush(static_cast<HBITMAP>(bitmap.GetSafeHandle()));
}

HBRUSH CHLMSkinObjectFrame::BrushFromCtlColorAnswer(LRESULT answer) const
{
    const ULONG_PTR value = static_cast<ULONG_PTR>(answer);
    // 1..30 stands for a system colour + 1, as class backgrounds do.
    if (value >= 1 && value <= kHighestSysColorAnswer)
        return GetMetrics()->m_hBrushes[value - 1];
    return reinterpret_cast<HBRUSH>(answer);
}

HBRUSH CHLMSkinObjectFrame::GetParentCtlColorBrush(CDC* dc, UINT message)
{
    const CHLMSkinManagerMetrics* metrics = GetMetrics();
    HWND parent = ::GetParent(m_hWnd);
    if (parent == NULL)
        return metrics->m_hBrushes[COLOR_BTNFACE];
    const LRESULT answer = ::SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc->GetSafeHdc()),
                                          reinterpret_cast<LPARAM>(m_hWnd));
    if (answer != 0)
        return BrushFromCtlColorAnswer(answer);
    const BOOL window = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    return metrics->m_hBrushes[window ? COLOR_WINDOW : COLOR_BTNFACE];
}

HBRUSH CHLMSkinObjectFrame::FillClientBackground(CDC* dc, const RECT* rect, UINT message)
{
    LRESULT answer = 0;
    HWND parent = ::GetParent(m_hWnd);
    if (parent != NULL)
        answer = ::SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc->GetSafeHdc()),
                                reinterpret_cast<LPARAM>(m_hWnd));
    if (answer != 0)
    {
        HBRUSH brush = BrushFromCtlColorAnswer(answer);
        ::FillRect(dc->GetSafeHdc(), rect, brush);
        return brush;
    }
    dc->FillSolidRect(rect, GetColor(COLOR_BTNFACE));
    return GetMetrics()->m_hBrushes[COLOR_BTNFACE];
}

HBRUSH CHLMSkinObjectFrame::GetClientBrush(CDC* dc)
{
    return GetParentCtlColorBrush(dc, GetClientBrushMessage());
}

UINT CHLMSkinObjectFrame::GetClientBrushMessage()
{
    return m_nClientBrushMessage;
}

BOOL CHLMSkinObjectFrame::OnEraseBkgnd(CDC*)
{
    const ULONG_PTR background = ::GetClassLongPtrW(m_hWnd, GCLP_HBRBACKGROUND);
    HBRUSH skinBrush = background >= 1 && background <= kHighestSysColorAnswer
        ? GetMetrics()->m_hBrushes[background - 1] : NULL;
    if (skinBrush == NULL)
        return static_cast<BOOL>(Default());
    // The class keeps its own value; only this erase uses the skin's brush.
    ::SetClassLongPtrW(m_hWnd, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(skinBrush));
    const LRESULT result = Default();
    ::SetClassLongPtrW(m_hWnd, GCLP_HBRBACKGROUND, static_cast<LONG_PTR>(background));
    return static_cast<BOOL>(result);
}
