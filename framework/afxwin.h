// Windows, message maps, dialogs and the application object of our MFC subset.
//
// Two rules shape this layer (the skin engine depends on both):
// - DefWindowProcW, CallWindowProcW and DefDlgProcW are always called through the program's
//   import table, at the moment of the call: no pointer to them is cached or compared.
// - The creation hook attaches and subclasses a framework window before it passes the
//   creation on to any hook installed earlier.
#pragma once

#include "afx.h"
#include "afxstat_.h"
#include "atltypes.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cstddef>
#include <type_traits>
#include <unordered_map>
#include <vector>

class CCmdTarget;
class CWnd;
class CWinThread;
class CWinApp;
class CDataExchange;
class CDC;
class CFont;
class CMenu;
class CScrollBar;
class CFrameWnd;

// Message ids the platform headers lack.
#ifndef MN_SELECTITEM
#define MN_SELECTITEM 0x01E5
#endif
#ifndef WM_ISACTIVEICON
#define WM_ISACTIVEICON 0x0035
#endif
#ifndef WM_KICKIDLE
#define WM_KICKIDLE 0x036A
#endif

// Command ids of the framework.
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
#define AFX_IDS_APP_TITLE 0xE000

// Window flags in CWnd::m_nFlags.
#define WF_STAYACTIVE 0x0020

// Control notifications reach the control itself at WM_REFLECT_BASE + message.
#define WM_REFLECT_BASE 0xBC00

// Command codes of OnCmdMsg.
#define CN_COMMAND 0

#ifndef AFXAPI
#define AFXAPI __stdcall
#endif
#ifndef PASCAL
#define PASCAL __stdcall
#endif
#ifndef afx_msg
#define afx_msg
#endif

// ---------------------------------------------------------------------------------------
// Message maps

typedef void (CCmdTarget::*AFX_PMSG)();

// How a map entry's handler is called: the arguments it takes and what it returns.
enum AfxSig : UINT
{
    AfxSig_end = 0,
    AfxSig_v_v,           // void ()                                   (and commands)
    AfxSig_b_v,           // BOOL ()
    AfxSig_l_wl,          // LRESULT (WPARAM, LPARAM)
    AfxSig_i_create,      // int (LPCREATESTRUCT)
    AfxSig_v_b,           // void (BOOL)
    AfxSig_b_b,           // BOOL (BOOL)
    AfxSig_v_ui,          // void (UINT_PTR)
    AfxSig_v_u_pt,        // void (UINT, CPoint)
    AfxSig_l_pt,          // LRESULT (CPoint)
    AfxSig_v_b_nccalc,    // void (BOOL, NCCALCSIZE_PARAMS*)
    AfxSig_v_i_style,     // void (int, LPSTYLESTRUCT)
    AfxSig_v_winpos,      // void (WINDOWPOS*)
    AfxSig_v_minmax,      // void (MINMAXINFO*)
    AfxSig_v_u_l,         // void (UINT, LPARAM)
    AfxSig_b_dc,          // BOOL (CDC*)
    AfxSig_v_u_u_u,       // void (UINT, UINT, UINT)
    AfxSig_v_wnd,         // void (CWnd*)
    AfxSig_v_u_i_i,       // void (UINT, int, int)
    AfxSig_v_u_u_scroll,  // void (UINT, UINT, CScrollBar*)
    AfxSig_v_wnd_pt,      // void (CWnd*, CPoint)
    AfxSig_b_u_s_pt,      // BOOL (UINT, short, CPoint)
    AfxSig_b_help,        // BOOL (HELPINFO*)
    AfxSig_notify,        // void (NMHDR*, LRESULT*)                   (ON_NOTIFY, ON_NOTIFY_REFLECT)
};

// A map entry's handler, held as the member type of its signature: each entry sets the one
// member its AfxSig names, and dispatch reads that member, so no handler is ever called
// through a pointer of another type.
union AFX_MSGMAP_HANDLER
{
    AFX_PMSG pfnCmd;                                          // commands, AfxSig_v_v of CCmdTarget
    void (CCmdTarget::*pfnNotify)(NMHDR*, LRESULT*);          // AfxSig_notify
    void (CWnd::*pfn_v_v)();
    BOOL (CWnd::*pfn_b_v)();
    LRESULT (CWnd::*pfn_l_wl)(WPARAM, LPARAM);
    int (CWnd::*pfn_i_create)(LPCREATESTRUCT);
    void (CWnd::*pfn_v_b)(BOOL);
    BOOL (CWnd::*pfn_b_b)(BOOL);
    void (CWnd::*pfn_v_ui)(UINT_PTR);
    void (CWnd::*pfn_v_u_pt)(UINT, CPoint);
    LRESULT (CWnd::*pfn_l_pt)(CPoint);
    void (CWnd::*pfn_v_b_nccalc)(BOOL, NCCALCSIZE_PARAMS*);
    void (CWnd::*pfn_v_i_style)(int, LPSTYLESTRUCT);
    void (CWnd::*pfn_v_winpos)(WINDOWPOS*);
    void (CWnd::*pfn_v_minmax)(MINMAXINFO*);
    void (CWnd::*pfn_v_u_l)(UINT, LPARAM);
    BOOL (CWnd::*pfn_b_dc)(CDC*);
    void (CWnd::*pfn_v_u_u_u)(UINT, UINT, UINT);
    void (CWnd::*pfn_v_wnd)(CWnd*);
    void (CWnd::*pfn_v_u_i_i)(UINT, int, int);
    void (CWnd::*pfn_v_u_u_scroll)(UINT, UINT, CScrollBar*);
    void (CWnd::*pfn_v_wnd_pt)(CWnd*, CPoint);
    BOOL (CWnd::*pfn_b_u_s_pt)(UINT, short, CPoint);
    BOOL (CWnd::*pfn_b_help)(HELPINFO*);

    constexpr AFX_MSGMAP_HANDLER(std::nullptr_t) : pfnCmd(nullptr) {}
    constexpr AFX_MSGMAP_HANDLER(AFX_PMSG pfn) : pfnCmd(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CCmdTarget::*pfn)(NMHDR*, LRESULT*)) : pfnNotify(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)()) : pfn_v_v(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(BOOL (CWnd::*pfn)()) : pfn_b_v(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(LRESULT (CWnd::*pfn)(WPARAM, LPARAM)) : pfn_l_wl(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(int (CWnd::*pfn)(LPCREATESTRUCT)) : pfn_i_create(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(BOOL)) : pfn_v_b(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(BOOL (CWnd::*pfn)(BOOL)) : pfn_b_b(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(UINT_PTR)) : pfn_v_ui(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(UINT, CPoint)) : pfn_v_u_pt(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(LRESULT (CWnd::*pfn)(CPoint)) : pfn_l_pt(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(BOOL, NCCALCSIZE_PARAMS*)) : pfn_v_b_nccalc(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(int, LPSTYLESTRUCT)) : pfn_v_i_style(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(WINDOWPOS*)) : pfn_v_winpos(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(MINMAXINFO*)) : pfn_v_minmax(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(UINT, LPARAM)) : pfn_v_u_l(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(BOOL (CWnd::*pfn)(CDC*)) : pfn_b_dc(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(UINT, UINT, UINT)) : pfn_v_u_u_u(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(CWnd*)) : pfn_v_wnd(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(UINT, int, int)) : pfn_v_u_i_i(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(UINT, UINT, CScrollBar*)) : pfn_v_u_u_scroll(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(void (CWnd::*pfn)(CWnd*, CPoint)) : pfn_v_wnd_pt(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(BOOL (CWnd::*pfn)(UINT, short, CPoint)) : pfn_b_u_s_pt(pfn) {}
    constexpr AFX_MSGMAP_HANDLER(BOOL (CWnd::*pfn)(HELPINFO*)) : pfn_b_help(pfn) {}
};

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;   // WM_* (WM_COMMAND and WM_NOTIFY for command and notification entries)
    UINT nCode;      // control notification code, or CN_COMMAND
    UINT nID;        // first control or command id
    UINT nLastID;    // last id of a range
    UINT nSig;       // AfxSig
    AFX_MSGMAP_HANDLER pfn;
    const UINT* pnRegisteredMessage;  // ON_REGISTERED_MESSAGE: the variable holding the id
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (PASCAL* pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// What OnCmdMsg reports instead of calling, when asked who would handle a command.
struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    AFX_PMSG pmf;
};

// The extra argument of OnCmdMsg for WM_NOTIFY entries.
struct AFX_NOTIFY
{
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();        \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap()                      \
    {                                                                           \
        typedef theClass ThisClass;                                             \
        typedef baseClass TheBaseClass;                                         \
        static_assert(std::is_base_of<TheBaseClass, ThisClass>::value,          \
                      "a message map chains to a base class of its own class"); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                       \
            { 0, 0, 0, 0, AfxSig_end, nullptr, nullptr }                        \
        };                                                                      \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, \
                                               &_messageEntries[0] };           \
        return &messageMap;                                                     \
    }

// An entry for WM_xxx whose handler has the type `type` (a member of CWnd's family).
#define AFX_WM_ENTRY(message, sig, type, memberFxn)                              \
    { message, 0, 0, 0, sig,                                                     \
      static_cast<type>(memberFxn), nullptr },

#define ON_WM_CREATE()        AFX_WM_ENTRY(WM_CREATE, AfxSig_i_create, int (CWnd::*)(LPCREATESTRUCT), &ThisClass::OnCreate)
#define ON_WM_DESTROY()       AFX_WM_ENTRY(WM_DESTROY, AfxSig_v_v, void (CWnd::*)(), &ThisClass::OnDestroy)
#define ON_WM_PAINT()         AFX_WM_ENTRY(WM_PAINT, AfxSig_v_v, void (CWnd::*)(), &ThisClass::OnPaint)
#define ON_WM_NCPAINT()       AFX_WM_ENTRY(WM_NCPAINT, AfxSig_v_v, void (CWnd::*)(), &ThisClass::OnNcPaint)
#define ON_WM_NCCALCSIZE()    AFX_WM_ENTRY(WM_NCCALCSIZE, AfxSig_v_b_nccalc, void (CWnd::*)(BOOL, NCCALCSIZE_PARAMS*), &ThisClass::OnNcCalcSize)
#define ON_WM_NCHITTEST()     AFX_WM_ENTRY(WM_NCHITTEST, AfxSig_l_pt, LRESULT (CWnd::*)(CPoint), &ThisClass::OnNcHitTest)
#define ON_WM_NCMOUSEMOVE()   AFX_WM_ENTRY(WM_NCMOUSEMOVE, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() AFX_WM_ENTRY(WM_NCLBUTTONDOWN, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP()   AFX_WM_ENTRY(WM_NCLBUTTONUP, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() AFX_WM_ENTRY(WM_NCLBUTTONDBLCLK, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() AFX_WM_ENTRY(WM_NCRBUTTONDOWN, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnNcRButtonDown)
#define ON_WM_NCRBUTTONUP()   AFX_WM_ENTRY(WM_NCRBUTTONUP, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnNcRButtonUp)
#define ON_WM_NCMOUSELEAVE()  AFX_WM_ENTRY(WM_NCMOUSELEAVE, AfxSig_v_v, void (CWnd::*)(), &ThisClass::OnNcMouseLeave)
#define ON_WM_NCACTIVATE()    AFX_WM_ENTRY(WM_NCACTIVATE, AfxSig_b_b, BOOL (CWnd::*)(BOOL), &ThisClass::OnNcActivate)
#define ON_WM_TIMER()         AFX_WM_ENTRY(WM_TIMER, AfxSig_v_ui, void (CWnd::*)(UINT_PTR), &ThisClass::OnTimer)
#define ON_WM_STYLECHANGED()  AFX_WM_ENTRY(WM_STYLECHANGED, AfxSig_v_i_style, void (CWnd::*)(int, LPSTYLESTRUCT), &ThisClass::OnStyleChanged)
#define ON_WM_WINDOWPOSCHANGING() AFX_WM_ENTRY(WM_WINDOWPOSCHANGING, AfxSig_v_winpos, void (CWnd::*)(WINDOWPOS*), &ThisClass::OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED()  AFX_WM_ENTRY(WM_WINDOWPOSCHANGED, AfxSig_v_winpos, void (CWnd::*)(WINDOWPOS*), &ThisClass::OnWindowPosChanged)
#define ON_WM_GETMINMAXINFO() AFX_WM_ENTRY(WM_GETMINMAXINFO, AfxSig_v_minmax, void (CWnd::*)(MINMAXINFO*), &ThisClass::OnGetMinMaxInfo)
#define ON_WM_SYSCOMMAND()    AFX_WM_ENTRY(WM_SYSCOMMAND, AfxSig_v_u_l, void (CWnd::*)(UINT, LPARAM), &ThisClass::OnSysCommand)
#define ON_WM_ERASEBKGND()    AFX_WM_ENTRY(WM_ERASEBKGND, AfxSig_b_dc, BOOL (CWnd::*)(CDC*), &ThisClass::OnEraseBkgnd)
#define ON_WM_KEYDOWN()       AFX_WM_ENTRY(WM_KEYDOWN, AfxSig_v_u_u_u, void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnKeyDown)
#define ON_WM_KEYUP()         AFX_WM_ENTRY(WM_KEYUP, AfxSig_v_u_u_u, void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnKeyUp)
#define ON_WM_SYSKEYDOWN()    AFX_WM_ENTRY(WM_SYSKEYDOWN, AfxSig_v_u_u_u, void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnSysKeyDown)
#define ON_WM_CHAR()          AFX_WM_ENTRY(WM_CHAR, AfxSig_v_u_u_u, void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnChar)
#define ON_WM_MOUSEMOVE()     AFX_WM_ENTRY(WM_MOUSEMOVE, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnMouseMove)
#define ON_WM_MOUSELEAVE()    AFX_WM_ENTRY(WM_MOUSELEAVE, AfxSig_v_v, void (CWnd::*)(), &ThisClass::OnMouseLeave)
#define ON_WM_MOUSEWHEEL()    AFX_WM_ENTRY(WM_MOUSEWHEEL, AfxSig_b_u_s_pt, BOOL (CWnd::*)(UINT, short, CPoint), &ThisClass::OnMouseWheel)
#define ON_WM_LBUTTONDOWN()   AFX_WM_ENTRY(WM_LBUTTONDOWN, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonDown)
#define ON_WM_LBUTTONUP()     AFX_WM_ENTRY(WM_LBUTTONUP, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_WM_ENTRY(WM_LBUTTONDBLCLK, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN()   AFX_WM_ENTRY(WM_RBUTTONDOWN, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonDown)
#define ON_WM_RBUTTONUP()     AFX_WM_ENTRY(WM_RBUTTONUP, AfxSig_v_u_pt, void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonUp)
#define ON_WM_SETFOCUS()      AFX_WM_ENTRY(WM_SETFOCUS, AfxSig_v_wnd, void (CWnd::*)(CWnd*), &ThisClass::OnSetFocus)
#define ON_WM_KILLFOCUS()     AFX_WM_ENTRY(WM_KILLFOCUS, AfxSig_v_wnd, void (CWnd::*)(CWnd*), &ThisClass::OnKillFocus)
#define ON_WM_CAPTURECHANGED() AFX_WM_ENTRY(WM_CAPTURECHANGED, AfxSig_v_wnd, void (CWnd::*)(CWnd*), &ThisClass::OnCaptureChanged)
#define ON_WM_ENABLE()        AFX_WM_ENTRY(WM_ENABLE, AfxSig_v_b, void (CWnd::*)(BOOL), &ThisClass::OnEnable)
#define ON_WM_SIZE()          AFX_WM_ENTRY(WM_SIZE, AfxSig_v_u_i_i, void (CWnd::*)(UINT, int, int), &ThisClass::OnSize)
#define ON_WM_HSCROLL()       AFX_WM_ENTRY(WM_HSCROLL, AfxSig_v_u_u_scroll, void (CWnd::*)(UINT, UINT, CScrollBar*), &ThisClass::OnHScroll)
#define ON_WM_VSCROLL()       AFX_WM_ENTRY(WM_VSCROLL, AfxSig_v_u_u_scroll, void (CWnd::*)(UINT, UINT, CScrollBar*), &ThisClass::OnVScroll)
#define ON_WM_CONTEXTMENU()   AFX_WM_ENTRY(WM_CONTEXTMENU, AfxSig_v_wnd_pt, void (CWnd::*)(CWnd*, CPoint), &ThisClass::OnContextMenu)
#define ON_WM_HELPINFO()      AFX_WM_ENTRY(WM_HELP, AfxSig_b_help, BOOL (CWnd::*)(HELPINFO*), &ThisClass::OnHelpInfo)

#define ON_MESSAGE(message, memberFxn) \
    AFX_WM_ENTRY(message, AfxSig_l_wl, LRESULT (CWnd::*)(WPARAM, LPARAM), memberFxn)

#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                       \
    { 0xC000, 0, 0, 0, AfxSig_l_wl,                                              \
      static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(memberFxn), \
      &nMessageVariable },

#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, CN_COMMAND, (UINT)(WORD)(id), (UINT)(WORD)(id), AfxSig_v_v, static_cast<AFX_PMSG>(memberFxn), nullptr },

#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    { WM_COMMAND, (UINT)(WORD)(wNotifyCode), (UINT)(WORD)(id), (UINT)(WORD)(id), AfxSig_v_v, \
      static_cast<AFX_PMSG>(memberFxn), nullptr },

#define ON_BN_CLICKED(id, memberFxn)   ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn)    ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)

#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                    \
    { WM_NOTIFY, (UINT)(WORD)(wNotifyCode), (UINT)(WORD)(id), (UINT)(WORD)(id), AfxSig_notify, \
      static_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(memberFxn), nullptr },

// Reflected notifications: the parent hands a child's notification back to the child's object.
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                \
    { WM_REFLECT_BASE + WM_NOTIFY, (UINT)(WORD)(wNotifyCode), 0, 0, AfxSig_notify, \
      static_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(memberFxn), nullptr },

#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                               \
    { WM_REFLECT_BASE + WM_COMMAND, (UINT)(WORD)(wNotifyCode), 0, 0, AfxSig_v_v, \
      static_cast<AFX_PMSG>(memberFxn), nullptr },

// ---------------------------------------------------------------------------------------
// Thread state

// Wrappers made for handles that have no permanent object, owned by one thread and
// released when its message loop is idle (CWnd::FromHandle, and the DC and GDI wrappers).
class CTempObjectMap
{
public:
    typedef void (*PFN_RELEASE)(void* pObject);  // clears the handle member and deletes

    CTempObjectMap() = default;
    CTempObjectMap(const CTempObjectMap&) = delete;
    CTempObjectMap& operator=(const CTempObjectMap&) = delete;
    ~CTempObjectMap() { ReleaseAll(); }

    void* Lookup(HANDLE hHandle) const;
    // A wrapper added for a handle that has one already replaces it for Lookup; the old
    // one stays alive until ReleaseAll, for whoever still holds it.
    void Add(HANDLE hHandle, void* pObject, PFN_RELEASE pfnRelease);

    // The wrapper of hHandle: the one made before, else a new one from pfnMake. Released
    // wrappers give their handle back (Detach) before they are deleted: they never own it.
    template <typename TObject, typename THandle>
    TObject* FindOrAdd(THandle hHandle, TObject* (*pfnMake)(THandle))
    {
        if (void* pObject = Lookup(hHandle))
            return static_cast<TObject*>(pObject);
        TObject* pObject = pfnMake(hHandle);
        Add(hHandle, pObject, ReleaseDetached<TObject>);
        return pObject;
    }
    template <typename TObject, typename THandle>
    static TObject* MakeAttached(THandle hHandle)
    {
        auto* pObject = new TObject;
        pObject->Attach(hHandle);
        return pObject;
    }
    template <typename TObject>
    static void ReleaseDetached(void* pObject)
    {
        auto* pWrapper = static_cast<TObject*>(pObject);
        pWrapper->Detach();
        delete pWrapper;
    }
    void ReleaseAll();
    INT_PTR GetCount() const { return static_cast<INT_PTR>(m_objects.size()); }

private:
    struct Entry
    {
        void* pObject;
        PFN_RELEASE pfnRelease;
    };
    std::unordered_map<HANDLE, Entry> m_objects;
    std::vector<Entry> m_replaced;
};

// Everything the framework keeps per thread. It is created on the thread's first use and
// deleted when the thread ends (for the main thread: after the static destructors), so
// framework code running in atexit handlers still finds it.
class _AFX_THREAD_STATE
{
public:
    MSG m_lastSentMsg = {};                  // the message the window procedure is handling
    CWnd* m_pWndInit = nullptr;              // the window the creation hook will attach
    HHOOK m_hHookOldCbtFilter = nullptr;     // the creation hook, while one is installed
    CWinThread* m_pCurrentWinThread = nullptr;
    std::unordered_map<HWND, CWnd*> m_permanentWindows;
    CTempObjectMap m_tempWindows;            // CWnd wrappers
    CTempObjectMap m_tempDCs;                // CDC wrappers
    CTempObjectMap m_tempGdiObjects;         // CGdiObject wrappers
    CTempObjectMap m_tempMenus;              // CMenu wrappers
    CTempObjectMap m_tempImageLists;         // CImageList wrappers
    int m_nDispatchDepth = 0;                // nesting of the framework's window procedure

    void ReleaseTemporaryObjects();
};

_AFX_THREAD_STATE* AFXAPI AfxGetThreadState();

// Saves the thread's current message, makes this one current, and restores the saved one
// when the dispatch ends: a Default() after a nested SendMessage sees its own message.
// The framework's window procedure and the skin's both dispatch through it.
class CCurrentMessageScope
{
public:
    CCurrentMessageScope(_AFX_THREAD_STATE* pState, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
        : m_pState(pState), m_saved(pState->m_lastSentMsg)
    {
        MSG& current = pState->m_lastSentMsg;
        current.hwnd = hWnd;
        current.message = nMsg;
        current.wParam = wParam;
        current.lParam = lParam;
        ++pState->m_nDispatchDepth;
    }
    ~CCurrentMessageScope()
    {
        --m_pState->m_nDispatchDepth;
        m_pState->m_lastSentMsg = m_saved;
    }
    CCurrentMessageScope(const CCurrentMessageScope&) = delete;
    CCurrentMessageScope& operator=(const CCurrentMessageScope&) = delete;

private:
    _AFX_THREAD_STATE* m_pState;
    MSG m_saved;
};

// ---------------------------------------------------------------------------------------
// CCmdTarget

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    virtual ~CCmdTarget();

    // Reference count: 1 at construction; at 0 OnFinalRelease runs (by default: delete this).
    DWORD InternalAddRef();
    DWORD InternalRelease();
    virtual void OnFinalRelease();

    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // COM view of the object. Instead of interface maps, a class that offers interfaces
    // overrides GetInterface; the interfaces share this object's reference count.
    DWORD ExternalAddRef() { return InternalAddRef(); }
    DWORD ExternalRelease() { return InternalRelease(); }
    DWORD ExternalQueryInterface(const void* iid, LPVOID* ppvObj);
    virtual LPUNKNOWN GetInterface(const void* iid);

    void BeginWaitCursor();
    void EndWaitCursor();

    long m_dwRef;

protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry for (nMessage, nCode, nID) in this class's map chain, derived first.
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage,
                                                    UINT nCode, UINT nID);

private:
    HCURSOR m_hCursorBeforeWait = nullptr;
};

// Shows the wait cursor for its lifetime.
class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    void Restore();

private:
    HCURSOR m_hCursorBefore;
};

// ---------------------------------------------------------------------------------------
// CWnd

class CWnd : public CCmdTarget
{
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    explicit CWnd(HWND hWnd);  // an object that is in no handle map
    virtual ~CWnd();

    HWND m_hWnd;
    UINT m_nFlags;
    WNDPROC m_pfnSuper;
    HWND m_hWndOwner;

    operator HWND() const { return GetSafeHwnd(); }
    HWND GetSafeHwnd() const;  // NULL for a NULL object, as callers expect

    // Handle maps
    static CWnd* PASCAL FromHandle(HWND hWnd);
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // Creation and destruction
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL DestroyWindow();
    virtual void PostNcDestroy();

    // Message processing
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual WNDPROC* GetSuperWndProcAddr();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    LRESULT Default();
    static const MSG* PASCAL GetCurrentMessage();
    static BOOL PASCAL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    BOOL PreTranslateInput(LPMSG lpMsg);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendMessageW(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::PostMessageW(m_hWnd, message, wParam, lParam); }
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  BOOL bDeep = TRUE, BOOL bOnlyPerm = FALSE) const;

    // State and style
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, pWnd->GetSafeHwnd()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    static CWnd* PASCAL GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* PASCAL GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* PASCAL GetCapture() { return FromHandle(::GetCapture()); }

    // Text
    void SetWindowText(LPCTSTR lpszString) { ::SetWindowTextW(m_hWnd, lpszString); }
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
    { return ::GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount); }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }

    // Dialog items
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int nID)
    { return static_cast<int>(::SetWindowLongPtrW(m_hWnd, GWLP_ID, nID)); }
    void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextW(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const
    { return static_cast<int>(::GetDlgItemTextW(m_hWnd, nID, lpStr, nMaxCount)); }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE)
    { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const
    { return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned); }
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendDlgItemMessageW(m_hWnd, nID, message, wParam, lParam); }
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    { return FromHandle(::GetNextDlgTabItem(m_hWnd, pWndCtl->GetSafeHwnd(), bPrevious)); }
    BOOL IsDialogMessage(LPMSG lpMsg) { return ::IsDialogMessageW(m_hWnd, lpMsg); }
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // Relatives
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetParent(CWnd* pWndNewParent)
    { return FromHandle(::SetParent(m_hWnd, pWndNewParent->GetSafeHwnd())); }
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
    CWnd* GetTopLevelParent() const;
    CWnd* GetParentOwner() const;  // the first ancestor that is not a child window
    CFrameWnd* GetParentFrame() const;
    virtual BOOL IsFrameWnd() const;
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = pOwnerWnd->GetSafeHwnd(); }
    static CWnd* PASCAL GetSafeOwner(CWnd* pParent = nullptr, HWND* pWndTop = nullptr);
    static CWnd* PASCAL GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }

    // Geometry
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    { ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint); }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE)
    { MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint); }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
    int GetWindowRgn(HRGN hRgn) const { return ::GetWindowRgn(m_hWnd, hRgn); }
    // Over the owner (a popup) or the parent (a child), else in the work area; kept inside it.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // Painting
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void InvalidateRgn(HRGN hRgn, BOOL bErase = TRUE) { ::InvalidateRgn(m_hWnd, hRgn, bErase); }
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hrgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    { return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags); }
    void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessageW(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* pDC);
    CFont* GetFont() const;
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CMenu* GetSystemMenu(BOOL bRevert) const;

    // Timers and scrolling
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr)
    { return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE)
    { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const
    { ::GetScrollRange(m_hWnd, nBar, lpMinPos, lpMaxPos); }
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }

    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // Background of dialogs and message boxes painted in a brush's colour (TRUE when set).
    static BOOL PASCAL GrayCtlColor(HDC hDC, HWND hWnd, UINT nCtlColor, HBRUSH hbrGray,
                                    COLORREF clrText);

    // Base handlers: each hands its message to the default procedure.
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg void OnNcPaint();
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcMouseMove(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonUp(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    afx_msg void OnNcRButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcRButtonUp(UINT nHitTest, CPoint point);
    afx_msg void OnNcMouseLeave();
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnStyleChanged(int nStyleType, LPSTYLESTRUCT lpStyleStruct);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);

protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Calls the handler of one map entry with the arguments cracked from the message.
    LRESULT DispatchMapEntry(const AFX_MSGMAP_ENTRY& entry, WPARAM wParam, LPARAM lParam);
    // Hands a child's WM_COMMAND or WM_NOTIFY to the child's own object (ON_*_REFLECT).
    static BOOL PASCAL ReflectToChild(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT* pResult);

    friend LRESULT AFXAPI AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);

private:
    void HandleNcDestroy();
    void AttachToPermanentMap(HWND hWnd);
};

// Frame windows exist only as the answer of GetParentFrame; this program makes none.
class CFrameWnd : public CWnd
{
    DECLARE_DYNAMIC(CFrameWnd)
public:
    BOOL IsFrameWnd() const override { return TRUE; }
};

// The window procedure that the framework installs in every window it owns.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
WNDPROC AFXAPI AfxGetAfxWndProc();
LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

// The creation hook: attach pWnd to the next window this thread creates.
void AFXAPI AfxHookWindowCreate(CWnd* pWnd);
BOOL AFXAPI AfxUnhookWindowCreate();

BOOL AFXAPI AfxRegisterClass(WNDCLASS* lpWndClass);
HWND AFXAPI AfxGetParentOwner(HWND hWnd);

// The device contexts and the control classes build on CWnd.
#include "afxdc_.h"
#include "afxctl_.h"

// ---------------------------------------------------------------------------------------
// Dialog data exchange

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    HWND PrepareCtrl(int nIDC);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// ---------------------------------------------------------------------------------------
// CDialog

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);

    LPCTSTR m_lpszTemplateName;
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The dialog template resource of m_lpszTemplateName, or NULL.
    LPCDLGTEMPLATE LoadTemplate() const;

    LPCDLGTEMPLATE m_lpDialogTemplate;  // a template in memory, used instead of the resource
};

// The dialog procedure of framework dialogs: the window procedure does the work.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------------------
// Threads and the application

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    virtual ~CWinThread();

    CWnd* m_pMainWnd;
    HANDLE m_hThread;
    DWORD m_nThreadID;
    MSG m_msgCur;

    virtual CWnd* GetMainWnd() { return m_pMainWnd; }
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual BOOL PumpMessage();

private:
    POINT m_ptCursorLast = {-1, -1};
    UINT m_nMsgLast = 0;
};

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    virtual ~CWinApp();

    HINSTANCE m_hInstance;
    LPTSTR m_lpCmdLine;
    int m_nCmdShow;
    LPCTSTR m_pszAppName;
    LPCTSTR m_pszRegistryKey;
    LPCTSTR m_pszProfileName;
    LPCTSTR m_pszExeName;

    virtual BOOL InitApplication();
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // Per-user settings go under HKEY_CURRENT_USER\Software\<key>\<application name>.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    HKEY GetAppRegistryKey();  // created on demand; the caller closes it; NULL without a key
    LONG DelRegTree(HKEY hParentKey, const CString& strKeyName);  // the key and all below it

    // The default printer's DEVMODE and DEVNAMES, owned by the application (FALSE: none).
    BOOL GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg);

    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const
    { return ::LoadCursorW(nullptr, lpszCursorName); }
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIconW(nullptr, lpszIconName); }

    afx_msg void OnHelp();

protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    HGLOBAL m_hDevMode;
    HGLOBAL m_hDevNames;

private:
    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strExeName;
};

// The Feature Pack's application class; this program uses none of its extras.
class CWinAppEx : public CWinApp
{
    DECLARE_DYNAMIC(CWinAppEx)
public:
    explicit CWinAppEx(BOOL bResourceSmartUpdate = FALSE);

    BOOL m_bResourceSmartUpdate;
};

// Start-up: the framework's wWinMain runs AfxWinMain, which initialises the framework and
// runs the one application object that the program defines as a global.
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
void AFXAPI AfxWinTerm();

CWinApp* AFXAPI AfxGetApp();
CWinThread* AFXAPI AfxGetThread();
CWnd* AFXAPI AfxGetMainWnd();
LPCTSTR AFXAPI AfxGetAppName();
void AFXAPI AfxPostQuitMessage(int nExitCode);
void AFXAPI AfxEnableControlContainer();

// ---------------------------------------------------------------------------------------
// Message boxes

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// Tests answer message boxes without showing them: while a handler is set, every
// AfxMessageBox and CWnd::MessageBox calls it with the text, the caption and the type
// (icon included) and returns its answer. Returns the previous handler.
typedef int (*AFX_MESSAGEBOX_HANDLER)(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);
AFX_MESSAGEBOX_HANDLER AFXAPI AfxSetMessageBoxHandler(AFX_MESSAGEBOX_HANDLER pfnHandler);

// Shows a message box through the handler above, or for real (used by both callers).
int AFXAPI AfxShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);
