// The accessibility base: a real window built on it answers Wine's oleacc, the interface's
// defaults and reference counting, the child index of client VARIANTs, and the late-bound
// user32 and oleacc functions.
#include <gtest/gtest.h>

#include "common/hlmaccessible.h"
#include "childrun.h"
#include "testmain.h"

#include <functional>
#include <string>
#include <vector>

namespace
{
const wchar_t kAccessibleName[] = L"Strip of thumbnails";

VARIANT SelfChild()
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    return child;
}

// A window that offers its IAccessible through WM_GETOBJECT and names itself.
class CAccessibleWnd : public CWnd, public CHLMAccessible
{
public:
    CCmdTarget* GetCmdTarget() override { return this; }

    LPUNKNOWN GetInterface(const void* iid) override
    {
        const IID& id = *static_cast<const IID*>(iid);
        if (id == IID_IUnknown || id == IID_IDispatch || id == __uuidof(IAccessible))
            return GetAccessibleInterface();
        return nullptr;
    }

    HRESULT GetAccessibleName(VARIANT varChild, BSTR* pszName) override
    {
        if (GetChildIndex(&varChild) != CHILDID_SELF)
            return E_INVALIDARG;
        *pszName = SysAllocString(kAccessibleName);
        return S_OK;
    }

    int m_nObjectRequests = 0;

protected:
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam)
    {
        ++m_nObjectRequests;
        if (static_cast<LONG>(lParam) != OBJID_CLIENT)
            return Default();
        return LresultFromObject(__uuidof(IAccessible), wParam, GetAccessibleInterface());
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CAccessibleWnd, CWnd)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

// A command target that overrides nothing of the accessibility base.
class CPlainAccessible : public CCmdTarget, public CHLMAccessible
{
public:
    CCmdTarget* GetCmdTarget() override { return this; }
    LPUNKNOWN GetInterface(const void* iid) override
    {
        return *static_cast<const IID*>(iid) == __uuidof(IAccessible) ? GetAccessibleInterface() : nullptr;
    }
};

// An object whose command target is missing.
class CDetachedAccessible : public CHLMAccessible
{
};

struct ComApartment
{
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
};

HMODULE LoadedOleacc()
{
    return GetModuleHandleW(L"oleacc.dll");
}
}  // namespace

// A client asks Wine's oleacc for the window's object; the window's own name comes back,
// not the window text that a standard proxy would report.
TEST(CHLMAccessible, WindowAnswersAClientThroughOleacc)
{
    ComApartment apartment;
    CAccessibleWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"window text", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr));

    IAccessible* accessible = nullptr;
    ASSERT_EQ(S_OK, window.AccessibleObjectFromWindow(window.m_hWnd, static_cast<DWORD>(OBJID_CLIENT),
                                                      __uuidof(IAccessible),
                                                      reinterpret_cast<void**>(&accessible)));
    ASSERT_NE(nullptr, accessible);
    EXPECT_EQ(1, window.m_nObjectRequests);

    BSTR name = nullptr;
    EXPECT_EQ(S_OK, accessible->get_accName(SelfChild(), &name));
    EXPECT_EQ(std::wstring(kAccessibleName), name ? std::wstring(name) : std::wstring());
    SysFreeString(name);

    VARIANT child = SelfChild();
    child.lVal = 3;
    name = nullptr;
    EXPECT_EQ(E_INVALIDARG, accessible->get_accName(child, &name));

    // Everything the window did not override answers with the base's defaults.
    VARIANT focus;
    VariantInit(&focus);
    EXPECT_EQ(S_FALSE, accessible->get_accFocus(&focus));
    BSTR value = nullptr;
    EXPECT_EQ(E_NOTIMPL, accessible->get_accValue(SelfChild(), &value));

    accessible->Release();
    // The client's references are gone: the window's own is left.
    EXPECT_EQ(1, window.m_dwRef);
    window.DestroyWindow();
}

// A client on another thread, in a COM apartment of its own, reaches the window's object
// through a proxy that COM makes from the marshalled interface.
namespace
{
struct RemoteClient
{
    HWND window = nullptr;
    HRESULT found = E_FAIL;
    HRESULT named = E_FAIL;
    std::wstring name;
};

DWORD WINAPI AskFromAnotherThread(LPVOID parameter)
{
    RemoteClient* client = static_cast<RemoteClient*>(parameter);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        CPlainAccessible asker;
        IAccessible* accessible = nullptr;
        client->found = asker.AccessibleObjectFromWindow(client->window, static_cast<DWORD>(OBJID_CLIENT),
                                                         __uuidof(IAccessible), reinterpret_cast<void**>(&accessible));
        if (accessible)
        {
            BSTR name = nullptr;
            client->named = accessible->get_accName(SelfChild(), &name);
            client->name = name ? name : L"";
            SysFreeString(name);
            accessible->Release();
        }
    }
    CoUninitialize();
    return 0;
}
}  // namespace

TEST(CHLMAccessible, ClientOnAnotherThreadGetsTheNameThroughAProxy)
{
    ComApartment apartment;
    CAccessibleWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"window text", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr));
    RemoteClient client;
    client.window = window.m_hWnd;
    const LPTHREAD_START_ROUTINE routine = AskFromAnotherThread;
    HANDLE thread = CreateThread(nullptr, 0, routine, &client, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    // The window's thread serves WM_GETOBJECT and the calls that come through the proxy.
    MSG message;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
    CloseHandle(thread);

    EXPECT_EQ(S_OK, client.found);
    EXPECT_EQ(S_OK, client.named);
    EXPECT_EQ(std::wstring(kAccessibleName), client.name);
    EXPECT_EQ(1, window.m_nObjectRequests);
    EXPECT_EQ(1, window.m_dwRef);
    window.DestroyWindow();
}

// Every accessibility method of an object that overrides nothing.
TEST(CHLMAccessible, DefaultsAreNotImplementedOrFalse)
{
    CPlainAccessible object;
    IAccessible* a = object.GetAccessibleInterface();
    VARIANT self = SelfChild(), out;
    VariantInit(&out);
    BSTR text = nullptr;
    IDispatch* dispatch = nullptr;
    LONG number = 0;
    UINT count = 0;
    struct Case
    {
        const char* method;
        HRESULT expected;
        std::function<HRESULT()> call;
    };
    const std::vector<Case> cases = {
        {"get_accParent", E_NOTIMPL, [&] { return a->get_accParent(&dispatch); }},
        {"get_accChildCount", E_NOTIMPL, [&] { return a->get_accChildCount(&number); }},
        {"get_accChild", E_NOTIMPL, [&] { return a->get_accChild(self, &dispatch); }},
        {"get_accName", E_NOTIMPL, [&] { return a->get_accName(self, &text); }},
        {"get_accValue", E_NOTIMPL, [&] { return a->get_accValue(self, &text); }},
        {"get_accDescription", E_NOTIMPL, [&] { return a->get_accDescription(self, &text); }},
        {"get_accRole", E_NOTIMPL, [&] { return a->get_accRole(self, &out); }},
        {"get_accState", E_NOTIMPL, [&] { return a->get_accState(self, &out); }},
        {"get_accHelp", E_NOTIMPL, [&] { return a->get_accHelp(self, &text); }},
        {"get_accHelpTopic", E_NOTIMPL, [&] { return a->get_accHelpTopic(&text, self, &number); }},
        {"get_accKeyboardShortcut", E_NOTIMPL, [&] { return a->get_accKeyboardShortcut(self, &text); }},
        {"get_accFocus", S_FALSE, [&] { return a->get_accFocus(&out); }},
        {"get_accSelection", S_FALSE, [&] { return a->get_accSelection(&out); }},
        {"get_accDefaultAction", E_NOTIMPL, [&] { return a->get_accDefaultAction(self, &text); }},
        {"accSelect", E_NOTIMPL, [&] { return a->accSelect(SELFLAG_TAKEFOCUS, self); }},
        {"accLocation", E_NOTIMPL, [&] { return a->accLocation(&number, &number, &number, &number, self); }},
        {"accNavigate", E_NOTIMPL, [&] { return a->accNavigate(NAVDIR_NEXT, self, &out); }},
        {"accHitTest", E_NOTIMPL, [&] { return a->accHitTest(1, 1, &out); }},
        {"accDoDefaultAction", E_NOTIMPL, [&] { return a->accDoDefaultAction(self); }},
        {"put_accName", E_NOTIMPL, [&] { return a->put_accName(self, nullptr); }},
        {"put_accValue", E_NOTIMPL, [&] { return a->put_accValue(self, nullptr); }},
        {"GetTypeInfoCount", E_NOTIMPL, [&] { return a->GetTypeInfoCount(&count); }},
        {"GetTypeInfo", E_NOTIMPL, [&] { return a->GetTypeInfo(0, 0, nullptr); }},
        {"GetIDsOfNames", E_NOTIMPL, [&] { return a->GetIDsOfNames(IID_NULL, nullptr, 0, 0, nullptr); }},
        {"Invoke",
         E_NOTIMPL,
         [&] { return a->Invoke(0, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr); }},
    };
    for (const Case& test : cases)
        EXPECT_EQ(test.expected, test.call()) << test.method;
}

// The interface lives on the command target's reference count and interface lookup; without
// a command target it neither counts nor answers.
TEST(CHLMAccessible, ReferencesBelongToTheCommandTarget)
{
    CPlainAccessible object;
    IAccessible* accessible = object.GetAccessibleInterface();
    EXPECT_EQ(2u, accessible->AddRef());
    EXPECT_EQ(2, object.m_dwRef);

    void* found = nullptr;
    EXPECT_EQ(S_OK, accessible->QueryInterface(__uuidof(IAccessible), &found));
    EXPECT_EQ(static_cast<void*>(accessible), found);
    EXPECT_EQ(3, object.m_dwRef);
    found = accessible;
    EXPECT_EQ(E_NOINTERFACE, accessible->QueryInterface(IID_IDispatch, &found));
    EXPECT_EQ(nullptr, found);
    EXPECT_EQ(2u, accessible->Release());
    EXPECT_EQ(1u, accessible->Release());

    CDetachedAccessible detached;
    IAccessible* orphan = detached.GetAccessibleInterface();
    CountFrameworkAssertions assertions;
    found = orphan;
    EXPECT_EQ(0u, orphan->AddRef());
    EXPECT_EQ(0u, orphan->Release());
    EXPECT_EQ(E_NOINTERFACE, orphan->QueryInterface(__uuidof(IAccessible), &found));
    EXPECT_EQ(nullptr, found);
    EXPECT_EQ(3, assertions.Count());  // each call asked the base for its missing target
}

// Child indices in the VARIANT forms that clients send, including references that a
// careless or hostile client makes circular.
TEST(CHLMAccessible, ChildIndexOfVariants)
{
    LONG longValue = 12;
    SHORT shortValue = -7;
    VARIANT holdsSeven;
    VariantInit(&holdsSeven);
    holdsSeven.vt = VT_I4;
    holdsSeven.lVal = 7;

    VARIANT self;  // refers to itself
    self.vt = VT_VARIANT | VT_BYREF;
    self.pvarVal = &self;
    VARIANT second;  // refers to a VARIANT that refers to 7: two levels
    second.vt = VT_VARIANT | VT_BYREF;
    VARIANT first;
    first.vt = VT_VARIANT | VT_BYREF;
    first.pvarVal = &holdsSeven;
    second.pvarVal = &first;

    auto make = [](VARTYPE type, std::function<void(VARIANT&)> fill) {
        VARIANT v;
        VariantInit(&v);
        v.vt = type;
        fill(v);
        return v;
    };
    struct Case
    {
        const char* what;
        VARIANT value;
        LONG expected;
    };
    const std::vector<Case> cases = {
        {"empty", make(VT_EMPTY, [](VARIANT&) {}), 0},
        {"VT_I4", make(VT_I4, [](VARIANT& v) { v.lVal = 42; }), 42},
        {"VT_I2 -3", make(VT_I2, [](VARIANT& v) { v.iVal = -3; }), -3},
        {"VT_I4 by reference", make(VT_I4 | VT_BYREF, [&](VARIANT& v) { v.plVal = &longValue; }), 12},
        {"VT_I2 by reference", make(VT_I2 | VT_BYREF, [&](VARIANT& v) { v.piVal = &shortValue; }), -7},
        {"VT_I4 by null reference", make(VT_I4 | VT_BYREF, [](VARIANT& v) { v.plVal = nullptr; }), -1},
        {"VT_I2 by null reference", make(VT_I2 | VT_BYREF, [](VARIANT& v) { v.piVal = nullptr; }), -1},
        {"VT_BSTR", make(VT_BSTR, [](VARIANT& v) { v.bstrVal = nullptr; }), -1},
        {"VT_UI4", make(VT_UI4, [](VARIANT& v) { v.ulVal = 5; }), -1},
        {"VARIANT holding 7", make(VT_VARIANT | VT_BYREF, [&](VARIANT& v) { v.pvarVal = &holdsSeven; }), 7},
        {"VARIANT by null reference", make(VT_VARIANT | VT_BYREF, [](VARIANT& v) { v.pvarVal = nullptr; }), -1},
        {"VARIANT referring to itself", self, -1},
        {"VARIANT two references deep", second, -1},
    };
    EXPECT_EQ(-1, CHLMAccessible::GetChildIndex(nullptr));
    for (const Case& test : cases)
        EXPECT_EQ(test.expected, CHLMAccessible::GetChildIndex(&test.value)) << test.what;
}

// oleacc is loaded by the first call that needs it, once, and freed with the object. The
// window asked answers no WM_GETOBJECT, so oleacc makes its standard object and COM, which
// keeps a library it marshalled through, has no part in it. A child process runs it, as the
// other tests leave oleacc loaded in COM's hands.
TEST(CHLMAccessible, OleaccIsLoadedOnceAndFreedWithTheObject)
{
    const ChildRunResult child = RunTestInChild(L"CHLMAccessibleOleacc.DISABLED_LoadedOnce", ChildRunOptions());
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

TEST(CHLMAccessibleOleacc, DISABLED_LoadedOnce)
{
    ASSERT_EQ(nullptr, LoadedOleacc()) << "something else holds oleacc: the test cannot tell";
    const HWND plain = CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr,
                                       nullptr);
    {
        CPlainAccessible object;
        EXPECT_EQ(nullptr, LoadedOleacc());
        for (int call = 0; call < 2; ++call)
        {
            IAccessible* accessible = nullptr;
            EXPECT_EQ(S_OK, object.AccessibleObjectFromWindow(plain, static_cast<DWORD>(OBJID_CLIENT),
                                                              __uuidof(IAccessible),
                                                              reinterpret_cast<void**>(&accessible)));
            if (accessible)
                accessible->Release();
        }
        EXPECT_EQ(E_INVALIDARG, object.LresultFromObject(__uuidof(IAccessible), 0, nullptr));
        EXPECT_NE(nullptr, LoadedOleacc());
    }
    EXPECT_EQ(nullptr, LoadedOleacc()) << "loaded more often than freed";
    DestroyWindow(plain);
}

// NotifyWinEvent reaches a WinEvent hook of this process.
namespace
{
struct SeenEvent
{
    DWORD event = 0;
    HWND window = nullptr;
    LONG object = 0, child = 0;
    int count = 0;
};
SeenEvent g_seenEvent;

void CALLBACK RecordWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    g_seenEvent.event = event;
    g_seenEvent.window = window;
    g_seenEvent.object = object;
    g_seenEvent.child = child;
    ++g_seenEvent.count;
}
}  // namespace

TEST(CHLMAccessible, NotifyWinEventRaisesTheEvent)
{
    CAccessibleWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    const WINEVENTPROC recorder = RecordWinEvent;
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, recorder,
                                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hook);
    g_seenEvent = SeenEvent();

    window.NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window.m_hWnd, OBJID_CLIENT, 4);
    MSG message;
    for (int round = 0; round < 50 && g_seenEvent.count == 0; ++round)
    {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (g_seenEvent.count == 0)
            Sleep(10);
    }
    UnhookWinEvent(hook);
    EXPECT_EQ(1, g_seenEvent.count);
    EXPECT_EQ(static_cast<DWORD>(EVENT_OBJECT_NAMECHANGE), g_seenEvent.event);
    EXPECT_EQ(window.m_hWnd, g_seenEvent.window);
    EXPECT_EQ(OBJID_CLIENT, g_seenEvent.object);
    EXPECT_EQ(4, g_seenEvent.child);
    window.DestroyWindow();
}

// Without oleacc the two oleacc functions fail with E_FAIL (run in a child that has it
// switched off).
TEST(CHLMAccessible, WithoutOleaccTheFunctionsFail)
{
    ChildRunOptions options;
    options.disabledDlls = L"oleacc";
    const ChildRunResult child = RunTestInChild(L"CHLMAccessibleWithoutOleacc.DISABLED_FunctionsFail", options);
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}

TEST(CHLMAccessibleWithoutOleacc, DISABLED_FunctionsFail)
{
    CPlainAccessible object;
    IAccessible* accessible = nullptr;
    EXPECT_EQ(E_FAIL, object.AccessibleObjectFromWindow(GetDesktopWindow(), static_cast<DWORD>(OBJID_CLIENT),
                                                        __uuidof(IAccessible), reinterpret_cast<void**>(&accessible)));
    EXPECT_EQ(E_FAIL, object.LresultFromObject(__uuidof(IAccessible), 0, object.GetAccessibleInterface()));
    EXPECT_EQ(nullptr, LoadedOleacc());
}
