// Window objects: message maps, the current message, objects outside the handle maps,
// the handle maps themselves, reflection and reference counting.
#include <gtest/gtest.h>

#include "afxwin.h"
#include "windowtesting.h"

#include <vector>

namespace
{
const UINT WM_TEST_A = WM_APP + 1;
const UINT WM_TEST_B = WM_APP + 2;
const UINT WM_TEST_OUTER = WM_APP + 3;
const UINT WM_TEST_INNER = WM_APP + 4;
const UINT WM_TEST_UNMAPPED = WM_APP + 9;
UINT g_registeredMessage = RegisterWindowMessageW(L"QuilbrookTestRegistered");

// Records every call of its own DefWindowProc, as the skin's objects override it.
class RecordingWnd : public CWnd
{
public:
    std::vector<MSG> defaults;
    std::vector<const char*> handlers;

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        defaults.push_back(MSG{m_hWnd, message, wParam, lParam, 0, {0, 0}});
        return CWnd::DefWindowProc(message, wParam, lParam);
    }

    BOOL CreateTopLevel()
    {
        return CreateEx(0, nullptr, L"test", WS_POPUP, 0, 0, 120, 80, nullptr, nullptr);
    }
};

class BaseMapWnd : public RecordingWnd
{
public:
    afx_msg LRESULT OnBaseA(WPARAM, LPARAM) { handlers.push_back("base A"); return 11; }
    afx_msg LRESULT OnBaseB(WPARAM, LPARAM) { handlers.push_back("base B"); return 12; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseMapWnd, CWnd)
    ON_MESSAGE(WM_TEST_A, &BaseMapWnd::OnBaseA)
    ON_MESSAGE(WM_TEST_B, &BaseMapWnd::OnBaseB)
END_MESSAGE_MAP()

// Its run-time record names CWnd, while its map chains to BaseMapWnd.
class DerivedMapWnd : public BaseMapWnd
{
    DECLARE_DYNAMIC(DerivedMapWnd)
public:
    afx_msg LRESULT OnDerivedA(WPARAM, LPARAM) { handlers.push_back("derived A"); return 21; }
    afx_msg void OnPaint() { handlers.push_back("paint"); ValidateRect(nullptr); }
    afx_msg LRESULT OnNcHitTest(CPoint point) { hitPoint = point; return HTCAPTION; }
    afx_msg void OnTimer(UINT_PTR nIDEvent) { timerId = nIDEvent; }
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
    {
        scrollCode = nSBCode;
        scrollPos = nPos;
        scrollBar = reinterpret_cast<CWnd*>(pScrollBar);
    }
    afx_msg void OnMouseMove(UINT, CPoint) { handlers.push_back("mouse move"); Default(); }
    afx_msg void OnMouseLeave() { OnMouseMove(0, CPoint(-1, -1)); }
    afx_msg LRESULT OnOuter(WPARAM, LPARAM)
    {
        SendMessage(WM_TEST_INNER, 7, 8);
        outerSeen = *GetCurrentMessage();
        return Default();
    }
    afx_msg LRESULT OnInner(WPARAM, LPARAM) { return Default(); }
    afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) * 2; }
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct) { return createResult ? createResult : CWnd::OnCreate(lpCreateStruct); }

    CPoint hitPoint;
    UINT_PTR timerId = 0;
    UINT scrollCode = 0;
    UINT scrollPos = 0;
    CWnd* scrollBar = reinterpret_cast<CWnd*>(1);
    MSG outerSeen = {};
    int createResult = 0;

    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNAMIC(DerivedMapWnd, CWnd)

BEGIN_MESSAGE_MAP(DerivedMapWnd, BaseMapWnd)
    ON_MESSAGE(WM_TEST_A, &DerivedMapWnd::OnDerivedA)
    ON_WM_PAINT()
    ON_WM_NCHITTEST()
    ON_WM_TIMER()
    ON_WM_HSCROLL()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_CREATE()
    ON_MESSAGE(WM_TEST_OUTER, &DerivedMapWnd::OnOuter)
    ON_MESSAGE(WM_TEST_INNER, &DerivedMapWnd::OnInner)
    ON_REGISTERED_MESSAGE(g_registeredMessage, &DerivedMapWnd::OnRegistered)
END_MESSAGE_MAP()

// A window of the system's that no framework object owns.
HWND CreatePlainWindow()
{
    return CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP, 0, 0, 30, 30, nullptr, nullptr, nullptr, nullptr);
}
}

TEST(MessageMap, DerivedEntriesReplaceTheBaseAndTheRestIsInherited)
{
    DerivedMapWnd wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    EXPECT_EQ(21, wnd.SendMessage(WM_TEST_A));
    EXPECT_EQ(12, wnd.SendMessage(WM_TEST_B));
    EXPECT_EQ((std::vector<const char*>{"derived A", "base B"}), wnd.handlers);
    EXPECT_TRUE(wnd.IsKindOf(RUNTIME_CLASS(CWnd)));
    wnd.DestroyWindow();
}

TEST(MessageMap, HandlersGetMfcArgumentsAndResults)
{
    DerivedMapWnd wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());

    EXPECT_EQ(HTCAPTION, wnd.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(-5, -7)));
    EXPECT_EQ(CPoint(-5, -7), wnd.hitPoint);

    EXPECT_EQ(0, wnd.SendMessage(WM_TIMER, 2765));
    EXPECT_EQ(2765u, wnd.timerId);

    // A window's own scroll bar gives a NULL CScrollBar*; a control gives its wrapper.
    wnd.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
    EXPECT_EQ(static_cast<UINT>(SB_THUMBTRACK), wnd.scrollCode);
    EXPECT_EQ(40u, wnd.scrollPos);
    EXPECT_EQ(nullptr, wnd.scrollBar);
    HWND plain = CreatePlainWindow();
    wnd.SendMessage(WM_HSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(plain));
    ASSERT_NE(nullptr, wnd.scrollBar);
    EXPECT_EQ(plain, wnd.scrollBar->m_hWnd);
    DestroyWindow(plain);

    EXPECT_EQ(42, wnd.SendMessage(g_registeredMessage, 21));
    wnd.DestroyWindow();
}

TEST(MessageMap, CreateHandlerCanRefuseTheWindow)
{
    DerivedMapWnd wnd;
    wnd.createResult = -1;
    EXPECT_FALSE(wnd.CreateTopLevel());
    EXPECT_EQ(nullptr, wnd.m_hWnd);
}

TEST(CurrentMessage, DefaultPassesTheMessageBeingHandled)
{
    DerivedMapWnd wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());

    // WM_MOUSELEAVE handled through OnMouseMove(-1, -1): Default() still passes WM_MOUSELEAVE.
    wnd.defaults.clear();
    wnd.SendMessage(WM_MOUSELEAVE);
    ASSERT_EQ(1u, wnd.defaults.size());
    EXPECT_EQ(static_cast<UINT>(WM_MOUSELEAVE), wnd.defaults[0].message);

    // After a nested SendMessage the outer message is current again.
    wnd.defaults.clear();
    wnd.SendMessage(WM_TEST_OUTER, 1, 2);
    ASSERT_EQ(2u, wnd.defaults.size());
    EXPECT_EQ(WM_TEST_INNER, wnd.defaults[0].message);
    EXPECT_EQ(7u, wnd.defaults[0].wParam);
    EXPECT_EQ(WM_TEST_OUTER, wnd.defaults[1].message);
    EXPECT_EQ(1u, wnd.defaults[1].wParam);
    EXPECT_EQ(2, wnd.defaults[1].lParam);
    EXPECT_EQ(wnd.m_hWnd, wnd.outerSeen.hwnd);
    EXPECT_EQ(WM_TEST_OUTER, wnd.outerSeen.message);
    wnd.DestroyWindow();
}

TEST(UnmappedObject, DispatchesThroughItsMapAndTouchesNothingElse)
{
    HWND hWnd = CreatePlainWindow();
    auto* wnd = new DerivedMapWnd;
    wnd->m_hWnd = hWnd;  // as the skin's objects attach

    LRESULT result = 99;
    EXPECT_FALSE(wnd->OnWndMsg(WM_TEST_UNMAPPED, 0, 0, &result));
    EXPECT_EQ(99, result) << "no entry: no default processing and no result";
    EXPECT_TRUE(wnd->defaults.empty());

    EXPECT_TRUE(wnd->OnWndMsg(WM_TEST_B, 0, 0, &result));
    EXPECT_EQ(12, result);
    EXPECT_TRUE(wnd->OnWndMsg(WM_PAINT, 0, 0, &result));
    EXPECT_EQ(0, result) << "a void handler answers 0";

    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_NE(wnd, CWnd::FromHandle(hWnd));

    wnd->m_hWnd = nullptr;
    delete wnd;
    EXPECT_TRUE(IsWindow(hWnd)) << "the destructor of a cleared object touches no window";

    // Still set but in no map: the window is not the object's to destroy.
    auto* wrapper = new CWnd(hWnd);
    delete wrapper;
    EXPECT_TRUE(IsWindow(hWnd));
    DestroyWindow(hWnd);
}

TEST(HandleMaps, PermanentAndTemporaryObjects)
{
    RecordingWnd owner;
    ASSERT_TRUE(owner.CreateTopLevel());
    EXPECT_EQ(&owner, CWnd::FromHandlePermanent(owner.m_hWnd));
    EXPECT_EQ(&owner, CWnd::FromHandle(owner.m_hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));

    HWND plain = CreatePlainWindow();
    CWnd* temporary = CWnd::FromHandle(plain);
    ASSERT_NE(nullptr, temporary);
    EXPECT_EQ(plain, temporary->m_hWnd);
    EXPECT_EQ(temporary, CWnd::FromHandle(plain)) << "one wrapper per handle until idle";
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(plain));

    // Idle time frees temporaries, but not while a message is being handled.
    CWinThread thread;
    ++AfxGetThreadState()->m_nDispatchDepth;
    thread.OnIdle(0);
    EXPECT_GT(AfxGetThreadState()->m_tempWindows.GetCount(), 0);
    --AfxGetThreadState()->m_nDispatchDepth;
    thread.OnIdle(0);
    EXPECT_EQ(0, AfxGetThreadState()->m_tempWindows.GetCount());
    EXPECT_TRUE(IsWindow(plain));

    CWnd attached;
    ASSERT_TRUE(attached.Attach(plain));
    EXPECT_EQ(&attached, CWnd::FromHandle(plain));
    EXPECT_EQ(plain, attached.Detach());
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(plain));
    DestroyWindow(plain);
    owner.DestroyWindow();
}

TEST(HandleMaps, SubclassedWindowIsReleasedAtItsEnd)
{
    HWND plain = CreatePlainWindow();
    const LONG_PTR systemProc = GetWindowLongPtrW(plain, GWLP_WNDPROC);
    DerivedMapWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(plain));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc()), GetWindowLongPtrW(plain, GWLP_WNDPROC));
    EXPECT_EQ(systemProc, reinterpret_cast<LONG_PTR>(wnd.m_pfnSuper));
    EXPECT_EQ(12, SendMessageW(plain, WM_TEST_B, 0, 0));

    EXPECT_EQ(plain, wnd.UnsubclassWindow());
    EXPECT_EQ(systemProc, GetWindowLongPtrW(plain, GWLP_WNDPROC));

    ASSERT_TRUE(wnd.SubclassWindow(plain));
    DestroyWindow(plain);
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(plain));
}

TEST(HandleMaps, DestroyingTheObjectDestroysItsWindow)
{
    auto* wnd = new RecordingWnd;
    ASSERT_TRUE(wnd->CreateTopLevel());
    HWND hWnd = wnd->m_hWnd;
    delete wnd;
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

namespace
{
class ExceptionWnd : public CWnd
{
public:
    afx_msg LRESULT OnThrow(WPARAM, LPARAM) { AfxThrowMemoryException(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ExceptionWnd, CWnd)
    ON_MESSAGE(WM_TEST_A, &ExceptionWnd::OnThrow)
END_MESSAGE_MAP()

int g_reported = 0;
void AFXAPI CountReport(CException*)
{
    ++g_reported;  // the report deletes the exception after this
}
}

TEST(WindowProcedure, AnEscapedExceptionIsReportedAndTheProgramGoesOn)
{
    ExceptionWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    g_reported = 0;
    AFX_UNCAUGHT_EXCEPTION_HANDLER previous = AfxSetUncaughtExceptionHandler(CountReport);
    EXPECT_EQ(0, wnd.SendMessage(WM_TEST_A));
    AfxSetUncaughtExceptionHandler(previous);
    EXPECT_EQ(1, g_reported);
    EXPECT_TRUE(IsWindow(wnd.m_hWnd));
    wnd.DestroyWindow();
}

// ---------------------------------------------------------------------------------------
// Commands and notifications

namespace
{
const UINT kButtonId = 1001;
const UINT kListId = 1013;

class NotifiedChild : public CWnd
{
public:
    int reflected = 0;
    int reflectedCommands = 0;
    afx_msg void OnReflectedClick(NMHDR*, LRESULT* pResult) { ++reflected; *pResult = 5; }
    afx_msg void OnReflectedClicked() { ++reflectedCommands; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NotifiedChild, CWnd)
    ON_NOTIFY_REFLECT(NM_CLICK, &NotifiedChild::OnReflectedClick)
    ON_CONTROL_REFLECT(BN_CLICKED, &NotifiedChild::OnReflectedClicked)
END_MESSAGE_MAP()

class CommandParent : public CWnd
{
public:
    int clicked = 0;
    int notified = 0;
    UINT lastCode = 0;
    afx_msg void OnButtonClicked() { ++clicked; }
    afx_msg void OnListClick(NMHDR* pNMHDR, LRESULT* pResult)
    {
        ++notified;
        lastCode = pNMHDR->code;
        *pResult = 3;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CommandParent, CWnd)
    ON_BN_CLICKED(kButtonId, &CommandParent::OnButtonClicked)
    ON_NOTIFY(NM_CLICK, kListId, &CommandParent::OnListClick)
    ON_NOTIFY(LVN_ITEMCHANGED, kListId, &CommandParent::OnListClick)
END_MESSAGE_MAP()
}

TEST(Commands, ControlNotificationsReachTheParentsMapUnlessTheChildTakesThem)
{
    CommandParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    HWND button = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD, 0, 0, 10, 10, parent.m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kButtonId)), nullptr, nullptr);
    HWND list = CreateWindowExW(0, L"STATIC", L"l", WS_CHILD, 0, 0, 10, 10, parent.m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)), nullptr, nullptr);

    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(1, parent.clicked);

    // Codes are negative numbers in UINT form (NM_CLICK, LVN_ITEMCHANGED).
    for (UINT code : {static_cast<UINT>(NM_CLICK), static_cast<UINT>(LVN_ITEMCHANGED)})
    {
        NMHDR nmhdr = {list, kListId, code};
        EXPECT_EQ(3, parent.SendMessage(WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&nmhdr)));
        EXPECT_EQ(code, parent.lastCode);
    }
    EXPECT_EQ(2, parent.notified);

    NotifiedChild child;
    ASSERT_TRUE(child.SubclassWindow(list));
    NMHDR click = {list, kListId, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(5, parent.SendMessage(WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&click)));
    EXPECT_EQ(1, child.reflected);
    EXPECT_EQ(2, parent.notified) << "the reflected notification stays with the child";

    NotifiedChild buttonObject;
    ASSERT_TRUE(buttonObject.SubclassWindow(button));
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(1, buttonObject.reflectedCommands);
    EXPECT_EQ(1, parent.clicked);
    parent.DestroyWindow();
}

TEST(ReferenceCount, FinalReleaseRunsWhenTheCountReachesZero)
{
    struct Counted : CCmdTarget
    {
        int* finalReleases;
        explicit Counted(int* counter) : finalReleases(counter) {}
        void OnFinalRelease() override
        {
            ++*finalReleases;
            CCmdTarget::OnFinalRelease();
        }
    };
    int finalReleases = 0;
    auto* target = new Counted(&finalReleases);
    EXPECT_EQ(1, target->m_dwRef);
    EXPECT_EQ(2u, target->InternalAddRef());
    EXPECT_EQ(1u, target->InternalRelease());
    EXPECT_EQ(0, finalReleases);
    EXPECT_EQ(0u, target->InternalRelease());
    EXPECT_EQ(1, finalReleases);
}

TEST(GrayCtlColor, ColoursOnlyTheKindsItServes)
{
    HDC hDC = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    HWND plain = CreatePlainWindow();
    struct Case
    {
        UINT kind;
        BOOL colours;
    } cases[] = {{CTLCOLOR_DLG, TRUE}, {CTLCOLOR_STATIC, TRUE}, {CTLCOLOR_BTN, TRUE},
                 {CTLCOLOR_EDIT, FALSE}, {CTLCOLOR_MSGBOX, FALSE}, {CTLCOLOR_SCROLLBAR, FALSE},
                 {CTLCOLOR_LISTBOX, FALSE}};
    for (const Case& c : cases)
    {
        SetBkColor(hDC, RGB(1, 1, 1));
        EXPECT_EQ(c.colours, CWnd::GrayCtlColor(hDC, plain, c.kind, brush, RGB(200, 0, 0))) << c.kind;
        EXPECT_EQ(c.colours ? RGB(10, 20, 30) : RGB(1, 1, 1), GetBkColor(hDC)) << c.kind;
    }
    EXPECT_FALSE(CWnd::GrayCtlColor(nullptr, plain, CTLCOLOR_DLG, brush, 0));
    EXPECT_FALSE(CWnd::GrayCtlColor(hDC, plain, CTLCOLOR_DLG, nullptr, 0));

    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_DROPDOWN, 0, 0, 50, 80, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(CWnd::GrayCtlColor(hDC, combo, CTLCOLOR_LISTBOX, brush, 0));
    DestroyWindow(combo);
    DestroyWindow(plain);
    DeleteObject(brush);
    DeleteDC(hDC);
}

TEST(NcActivate, StayActiveFlagAndDisabledWindows)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    wnd.defaults.clear();
    wnd.m_nFlags |= WF_STAYACTIVE;
    wnd.OnNcActivate(FALSE);
    ASSERT_EQ(1u, wnd.defaults.size());
    EXPECT_EQ(static_cast<WPARAM>(TRUE), wnd.defaults[0].wParam);

    wnd.EnableWindow(FALSE);
    wnd.defaults.clear();
    wnd.OnNcActivate(TRUE);
    ASSERT_EQ(1u, wnd.defaults.size());
    EXPECT_EQ(static_cast<WPARAM>(FALSE), wnd.defaults[0].wParam);
    wnd.DestroyWindow();
}

TEST(SafeHwnd, IsNullForANullObject)
{
    CWnd* none = nullptr;
    EXPECT_EQ(nullptr, none->GetSafeHwnd());
}

namespace
{
class ColourListener : public CWnd
{
public:
    int colourChanges = 0;
    afx_msg LRESULT OnSysColorChange(WPARAM, LPARAM) { ++colourChanges; return Default(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColourListener, CWnd)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &ColourListener::OnSysColorChange)
END_MESSAGE_MAP()
}

TEST(SysColorChange, TopLevelFrameworkWindowsPassItToEveryDescendant)
{
    ColourListener top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    ColourListener child;
    ASSERT_TRUE(child.CreateEx(0, nullptr, L"", WS_CHILD, 0, 0, 50, 50, top.m_hWnd, nullptr));
    ColourListener grandChild;  // a system control below a framework child
    HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, child.m_hWnd, nullptr, nullptr, nullptr);
    ASSERT_TRUE(grandChild.SubclassWindow(plain));

    top.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(1, top.colourChanges);
    EXPECT_EQ(1, child.colourChanges);
    EXPECT_EQ(1, grandChild.colourChanges);

    // A child passes nothing on, and an object outside the maps (a skin object) neither.
    child.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(2, child.colourChanges);
    EXPECT_EQ(1, grandChild.colourChanges);
    ColourListener unmapped;
    unmapped.m_hWnd = top.m_hWnd;
    LRESULT result = 0;
    AfxGetThreadState()->m_lastSentMsg.message = WM_SYSCOLORCHANGE;
    EXPECT_TRUE(unmapped.OnWndMsg(WM_SYSCOLORCHANGE, 0, 0, &result));
    unmapped.m_hWnd = nullptr;
    EXPECT_EQ(2, child.colourChanges);
    top.DestroyWindow();
}

namespace
{
int g_threadEndReleases = 0;
void CountThreadEndRelease(void*)
{
    ++g_threadEndReleases;
}

DWORD WINAPI UseThreadState(void*)
{
    AfxGetThreadState()->m_tempWindows.Add(reinterpret_cast<HANDLE>(0x1234), nullptr, CountThreadEndRelease);
    return 0;
}
}

TEST(ThreadState, IsPerThreadAndReleasedWhenTheThreadEnds)
{
    g_threadEndReleases = 0;
    HANDLE thread = CreateThread(nullptr, 0, UseThreadState, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    EXPECT_EQ(1, g_threadEndReleases);
    EXPECT_EQ(nullptr, AfxGetThreadState()->m_tempWindows.Lookup(reinterpret_cast<HANDLE>(0x1234)));
}

TEST(Relatives, ParentOwnerParentFrameAndCentring)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_POPUP, 100, 100, 400, 300, nullptr, nullptr));
    owner.ShowWindow(SW_SHOWNA);  // centring over an owner needs it visible
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 50, owner.m_hWnd, nullptr));
    CWnd grandChild;
    ASSERT_TRUE(grandChild.CreateEx(0, nullptr, L"", WS_CHILD, 0, 0, 20, 10, child.m_hWnd, nullptr));
    EXPECT_EQ(&owner, grandChild.GetParentOwner());
    EXPECT_EQ(&owner, grandChild.GetTopLevelParent());
    EXPECT_EQ(nullptr, grandChild.GetParentFrame()) << "no frame windows in this program";

    child.CenterWindow();
    RECT placed;
    child.GetWindowRect(&placed);
    owner.ScreenToClient(&placed);
    EXPECT_EQ(150, placed.left);  // (400 - 100) / 2
    EXPECT_EQ(125, placed.top);   // (300 - 50) / 2

    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 200, 100, owner.m_hWnd, nullptr));
    popup.CenterWindow();
    popup.GetWindowRect(&placed);
    EXPECT_EQ(200, placed.left);  // 100 + (400 - 200) / 2
    EXPECT_EQ(200, placed.top);   // 100 + (300 - 100) / 2
    popup.DestroyWindow();
    owner.DestroyWindow();
}

namespace
{
class UnknownTarget : public CCmdTarget, public IUnknown
{
public:
    LPUNKNOWN GetInterface(const void* iid) override
    {
        return IsEqualIID(*static_cast<const IID*>(iid), IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        return static_cast<HRESULT>(ExternalQueryInterface(&riid, ppv));
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ExternalAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ExternalRelease(); }
};
}

TEST(ReferenceCount, InterfacesShareTheCommandTargetsCount)
{
    auto* target = new UnknownTarget;
    void* pInterface = nullptr;
    EXPECT_EQ(static_cast<DWORD>(S_OK), target->ExternalQueryInterface(&IID_IUnknown, &pInterface));
    EXPECT_EQ(static_cast<IUnknown*>(target), pInterface);
    EXPECT_EQ(2, target->m_dwRef);
    EXPECT_EQ(static_cast<DWORD>(E_NOINTERFACE), target->ExternalQueryInterface(&IID_IDispatch, &pInterface));
    EXPECT_EQ(nullptr, pInterface);
    EXPECT_EQ(1u, static_cast<IUnknown*>(target)->Release());
    EXPECT_EQ(0u, static_cast<IUnknown*>(target)->Release());  // deletes
}

namespace
{
class EraseWnd : public CWnd
{
public:
    HDC erasedWith = nullptr;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC)
    {
        erasedWith = pDC->GetSafeHdc();
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EraseWnd, CWnd)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
}

TEST(MessageMap, DeviceContextAndFontArgumentsAreWrappers)
{
    EraseWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    HDC hDC = CreateCompatibleDC(nullptr);
    EXPECT_EQ(TRUE, wnd.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC)));
    EXPECT_EQ(hDC, wnd.erasedWith);
    DeleteDC(hDC);

    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, wnd.m_hWnd, nullptr, nullptr, nullptr);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    CFont* pFont = CWnd::FromHandle(edit)->GetFont();
    ASSERT_NE(nullptr, pFont);
    EXPECT_EQ(font, static_cast<HFONT>(pFont->GetSafeHandle()));
    wnd.DestroyWindow();
}
