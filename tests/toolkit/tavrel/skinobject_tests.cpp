#include "hlmskinmanager.h"
#include "hlmskinobject.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>

namespace
{
const UINT kProbe = WM_APP + 1;       // handled by the probe's map
const UINT kDestroyInside = WM_APP + 2;  // the handler destroys the window
const UINT kAskDefault = WM_APP + 3;  // the handler answers with default processing

// A skin object that records what reaches its message map.
class CProbeObject : public CHLMSkinObject
{
public:
    static int s_deleted;
    int m_probes = 0;
    int m_timers = 0;
    BOOL m_aliveAfterDestroy = FALSE;

    ~CProbeObject() override { ++s_deleted; }

protected:
    afx_msg LRESULT OnProbe(WPARAM wParam, LPARAM)
    {
        ++m_probes;
        return static_cast<LRESULT>(wParam) + 1;
    }
    afx_msg LRESULT OnDestroyInside(WPARAM, LPARAM)
    {
        const int deletedBefore = s_deleted;
        ::DestroyWindow(m_hWnd);
        m_aliveAfterDestroy = s_deleted == deletedBefore;
        return 7;
    }
    afx_msg LRESULT OnAskDefault(WPARAM wParam, LPARAM lParam)
    {
        return CallDefWindowProc(kAskDefault, wParam, lParam);
    }
    afx_msg void OnTimer(UINT_PTR) { ++m_timers; }

    DECLARE_MESSAGE_MAP()
};

int CProbeObject::s_deleted = 0;

BEGIN_MESSAGE_MAP(CProbeObject, CHLMSkinObject)
    ON_MESSAGE(kProbe, &CProbeObject::OnProbe)
    ON_MESSAGE(kDestroyInside, &CProbeObject::OnDestroyInside)
    ON_MESSAGE(kAskDefault, &CProbeObject::OnAskDefault)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// The window procedure of the test class: counts what reaches it, answers QUERYSTATE as
// told and kAskDefault with 42.
LRESULT g_queryAnswer = 0;
int g_queries = 0;
int g_ownTimers = 0;

LRESULT CALLBACK TestWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TAVREL_QUERYSTATE)
    {
        ++g_queries;
        return g_queryAnswer;
    }
    if (message == kAskDefault)
        return 42;
    if (message == WM_TIMER)
        ++g_ownTimers;
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

const wchar_t* TestClassName()
{
    RegisterWindowClass(L"SkinObjectTestWindow", &TestWindowProc);
    return L"SkinObjectTestWindow";
}

// The test skin is loaded for the whole fixture; each window gets a probe object of its own.
class SkinObjectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_manager = GetSkinManager();
        ASSERT_TRUE(LoadTestSkin(m_manager));
        g_queryAnswer = 0;
        g_queries = 0;
        g_ownTimers = 0;
        CProbeObject::s_deleted = 0;
    }
    void TearDown() override
    {
        if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        m_manager->LoadSkin(L"", L"");
    }

    CProbeObject* Attach(const wchar_t* className)
    {
        m_hWnd = ::CreateWindowExW(0, className, L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(nullptr, m_hWnd);
        m_manager->DetachSkinObject(m_hWnd);  // whatever the creation hook attached
        auto* probe = new CProbeObject();
        m_manager->AttachObject(m_hWnd, probe, nullptr, FALSE);
        return probe;
    }

    CHLMSkinManager* m_manager = nullptr;
    HWND m_hWnd = nullptr;
};
}

TEST_F(SkinObjectTest, SystemClassMessagesReachTheMapAndOthersTheWindow)
{
    CProbeObject* probe = Attach(L"Static");
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&CHLMSkinObject::SkinWindowProc),
              ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    EXPECT_EQ(6, ::SendMessageW(m_hWnd, kProbe, 5, 0));
    EXPECT_EQ(1, probe->m_probes);
    // Unmapped messages go on to the static's own procedure.
    ::SendMessageW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"text"));
    wchar_t text[16] = {};
    ::GetWindowTextW(m_hWnd, text, 16);
    EXPECT_STREQ(L"text", text);
}

TEST_F(SkinObjectTest, ApplicationWindowsAreLeftToTheDefaultProcedureButTimersAreNot)
{
    CProbeObject* probe = Attach(TestClassName());
    // The program's own procedure sees its messages first; the skin acts where it hands them
    // to the (replaced) default procedure.
    EXPECT_EQ(6, ::SendMessageW(m_hWnd, kProbe, 5, 0));
    EXPECT_EQ(1, probe->m_probes);
    ::SendMessageW(m_hWnd, WM_TIMER, 1, 0);
    EXPECT_EQ(1, probe->m_timers);
    EXPECT_EQ(0, g_ownTimers);
}

TEST_F(SkinObjectTest, DestroyedInsideItsOwnMessageTheObjectLivesUntilTheMessageReturns)
{
    CProbeObject* probe = Attach(L"Static");
    const HWND hWnd = m_hWnd;
    EXPECT_EQ(7, ::SendMessageW(hWnd, kDestroyInside, 0, 0));
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, m_manager->FindSkinObject(hWnd));
    EXPECT_EQ(1, CProbeObject::s_deleted);
    (void)probe;
}

TEST_F(SkinObjectTest, AWindowThatOptsOutIsNotSkinnedUntilItSaysOtherwise)
{
    // Only windows with a framework object are asked when the object is attached.
    Attach(TestClassName());
    EXPECT_EQ(0, g_queries);
    ::DestroyWindow(m_hWnd);

    g_queryAnswer = 1;
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, TestClassName(), L"", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
    m_hWnd = window.m_hWnd;
    m_manager->DetachSkinObject(m_hWnd);
    g_queries = 0;  // the frame object that the creation hook attached has asked already
    auto* probe = new CProbeObject();
    m_manager->AttachObject(m_hWnd, probe, nullptr, FALSE);
    EXPECT_EQ(1, g_queries);
    EXPECT_TRUE(probe->IsOptedOut());
    EXPECT_FALSE(probe->IsSkinEnabled());
    ::SendMessageW(m_hWnd, WM_TIMER, 1, 0);
    EXPECT_EQ(0, probe->m_timers);  // the window's own procedure has it
    EXPECT_EQ(1, g_ownTimers);

    // Still asked again whenever the window says its state changed.
    g_queryAnswer = 0;
    ::SendMessageW(m_hWnd, WM_TAVREL_UPDATESTATE, 0, 0);
    EXPECT_GE(g_queries, 2);
    EXPECT_FALSE(probe->IsOptedOut());
    ::SendMessageW(m_hWnd, WM_TIMER, 1, 0);
    EXPECT_EQ(1, probe->m_timers);
    window.DestroyWindow();
    m_hWnd = nullptr;
}

TEST_F(SkinObjectTest, DefaultProcessingFollowsTheNewestDescriptor)
{
    CProbeObject* probe = Attach(TestClassName());
    // Type 0: the window's own procedure, which answers 42.
    EXPECT_EQ(42, probe->CallDefWindowProc(kAskDefault, 0, 0));

    static HWND s_client = nullptr;
    static UINT s_message = 0;
    struct StandIns
    {
        static LRESULT WINAPI DefFrameProc(HWND, HWND client, UINT message, WPARAM, LPARAM)
        {
            s_client = client;
            s_message = message;
            return 11;
        }
        static LRESULT WINAPI DefDlgProc(HWND, UINT message, WPARAM, LPARAM)
        {
            s_message = message;
            return 12;
        }
        static LRESULT WINAPI CallWindowProc(WNDPROC, HWND, UINT message, WPARAM, LPARAM)
        {
            s_message = message;
            return 13;
        }
    };
    const HWND client = reinterpret_cast<HWND>(0x1234);
    struct Row
    {
        CHLMSkinObject::DEFWINDOW_DESCRIPTIOR descriptor;
        LRESULT expected;
    };
    const Row rows[] = {
        {CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::DefFrameProc(WM_USER, &StandIns::DefFrameProc, client), 11},
        {CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::DefProc(WM_USER, CHLMSkinObject::DEFPROC_DEFDLGPROC,
                                                        &StandIns::DefDlgProc), 12},
        {CHLMSkinObject::DEFWINDOW_DESCRIPTIOR::CallWindowProc(WM_USER, &StandIns::CallWindowProc,
                                                               &TestWindowProc), 13},
    };
    for (const Row& row : rows)
    {
        s_message = 0;
        probe->PushDefWindowProc(row.descriptor);
        EXPECT_EQ(WM_USER, probe->GetCurrentDefMessage());
        EXPECT_EQ(row.expected, probe->DefWindowProc(WM_USER + 5, 0, 0));
        EXPECT_EQ(WM_USER + 5, s_message);
        probe->PopDefWindowProc();
    }
    EXPECT_EQ(client, s_client);
    EXPECT_EQ(0u, probe->GetCurrentDefMessage());
    EXPECT_EQ(0, CProbeObject::s_deleted);  // every push gave its reference back
}

TEST_F(SkinObjectTest, DetachingKeepsAProcedureInstalledOverTheSkins)
{
    Attach(L"Static");
    WNDPROC later = &TestWindowProc;
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(later));
    m_manager->DetachSkinObject(m_hWnd);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(later), ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    EXPECT_EQ(1, CProbeObject::s_deleted);

    // Without a procedure over it, the window gets its own back.
    ::DestroyWindow(m_hWnd);
    Attach(L"Static");
    const LONG_PTR staticProc = reinterpret_cast<LONG_PTR>(
        m_manager->FindSkinObject(m_hWnd)->GetSavedWindowProc());
    m_manager->DetachSkinObject(m_hWnd);
    EXPECT_EQ(staticProc, ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
}

TEST_F(SkinObjectTest, WithTheSkinOffMessagesPassThroughAndDestructionStillDetaches)
{
    CProbeObject* probe = Attach(L"Static");
    m_manager->LoadSkin(L"", L"");
    EXPECT_EQ(0, ::SendMessageW(m_hWnd, kProbe, 5, 0));
    EXPECT_EQ(0, probe->m_probes);
    const HWND hWnd = m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(nullptr, m_manager->FindSkinObject(hWnd));
    EXPECT_EQ(1, CProbeObject::s_deleted);
}

TEST_F(SkinObjectTest, PaintDCTakesTheContextThatCameWithTheMessage)
{
    CProbeObject* probe = Attach(L"Static");
    HDC memory = ::CreateCompatibleDC(nullptr);
    _AFX_THREAD_STATE* state = AfxGetThreadState();
    {
        CCurrentMessageScope scope(state, m_hWnd, WM_PAINT, reinterpret_cast<WPARAM>(memory), 0);
        CHLMSkinObjectPaintDC dc(probe);
        EXPECT_EQ(memory, dc.GetSafeHdc());
        EXPECT_EQ(nullptr, dc.m_ps.hdc);  // no BeginPaint
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), ::GetObjectType(memory));  // not released
    ::DeleteDC(memory);
    {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        CCurrentMessageScope scope(state, m_hWnd, WM_PAINT, 0, 0);
        CHLMSkinObjectPaintDC dc(probe);
        EXPECT_EQ(dc.m_ps.hdc, dc.GetSafeHdc());
        EXPECT_NE(nullptr, dc.GetSafeHdc());
    }
    EXPECT_FALSE(::GetUpdateRect(m_hWnd, nullptr, FALSE));  // EndPaint validated it
}
