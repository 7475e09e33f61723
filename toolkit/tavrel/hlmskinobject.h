// The object the skin manager attaches to every skinned window, and the window procedure
// that routes the window's messages to it.
//
// A skin object sees a message in one of two places: in the skin window procedure, which
// replaces the window's own procedure, or, for windows whose procedure belongs to the
// program, in the replaced default procedures (DefWindowProc, DefDlgProc, DefFrameProc,
// DefMDIChildProc, CallWindowProc) that the window's procedure calls for what it leaves
// unhandled. Both hand the message to the object's message map. A stack of descriptors
// records where each message came from, so that default processing inside a handler calls
// the system function the message was on its way to.
#pragma once

#include <afxwin.h>

#include "common/hlmsystemhelpers.h"

#include <utility>

class CHLMSkinManager;
class CHLMSkinManagerClass;
class CHLMSkinManagerMetrics;

// Registered at start-up. A window that answers QUERYSTATE with a non-zero value is not
// skinned; UPDATESTATE makes its skin object ask again.
extern const UINT WM_TAVREL_QUERYSTATE;
extern const UINT WM_TAVREL_UPDATESTATE;

class CHLMSkinObject : public CWnd
{
public:
    // Where a message came from, so that its default processing goes back there.
    enum
    {
        DEFPROC_WINDOWPROC = 0,      // the skin window procedure
        DEFPROC_CALLWINDOWPROC = 1,  // CallWindowProc
        DEFPROC_DEFWINDOWPROC = 2,
        DEFPROC_DEFMDICHILDPROC = 3,
        DEFPROC_DEFFRAMEPROC = 4,
        DEFPROC_DEFDLGPROC = 5
    };

    typedef decltype(&::CallWindowProcW) PFN_CALLWINDOWPROC;
    typedef decltype(&::DefFrameProcW) PFN_DEFFRAMEPROC;

    // One pending default processing. Each kind of system function is kept through its own
    // type; only the member of the descriptor's type is set.
    struct DEFWINDOW_DESCRIPTIOR
    {
        int nType = DEFPROC_WINDOWPROC;
        WNDPROC pfnDefProc = nullptr;                  // DefWindowProc, DefMDIChildProc, DefDlgProc
        PFN_CALLWINDOWPROC pfnCallWindowProc = nullptr;
        PFN_DEFFRAMEPROC pfnDefFrameProc = nullptr;
        WNDPROC pfnWndProcParam = nullptr;             // the procedure passed to CallWindowProc
        HWND hWndMDIClient = nullptr;                  // the MDI client passed to DefFrameProc
        UINT nMessage = 0;

        static DEFWINDOW_DESCRIPTIOR WindowProc(UINT message);
        static DEFWINDOW_DESCRIPTIOR CallWindowProc(UINT message, PFN_CALLWINDOWPROC function,
                                                    WNDPROC windowProc);
        static DEFWINDOW_DESCRIPTIOR DefProc(UINT message, int type, WNDPROC function);
        static DEFWINDOW_DESCRIPTIOR DefFrameProc(UINT message, PFN_DEFFRAMEPROC function,
                                                  HWND mdiClient);
    };

    CHLMSkinObject();
    ~CHLMSkinObject() override;

    void AssertValid() const override {}
    void OnFinalRelease() override;
    WNDPROC* GetSuperWndProcAddr() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual void OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled);
    virtual void RefreshMetrics();
    virtual void OnHookAttached(LPCREATESTRUCT lpCreateStruct, BOOL bAutomatic);
    virtual void OnHookDetached(BOOL bAutomatic);
    virtual BOOL OnHookMessage(UINT message, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult);
    virtual BOOL OnHookDefWindowProc(UINT message, WPARAM& wParam, LPARAM& lParam,
                                     LRESULT& lResult);
    virtual BOOL IsDefWindowProcMessage(UINT message);
    virtual BOOL IsMessageExcluded(UINT message);

    // Attaching: remembers the window's procedure and puts the skin window procedure in its
    // place (not for Windows Forms windows, whose procedure stays).
    void SubclassWindowProc(HWND hWnd, LPCREATESTRUCT lpCreateStruct, BOOL bAutomatic);
    // Detaching: the saved procedure goes back, but only while the skin's is still in place:
    // a procedure somebody installed over ours stays.
    void RestoreWindowProc(BOOL bAutomatic);

    static LRESULT CALLBACK SkinWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    // A message that reached a replaced default procedure: handled by the object's map with
    // the descriptor on the stack; TRUE when handled (result in lResult).
    BOOL HandleDefWindowProc(const DEFWINDOW_DESCRIPTIOR& descriptor, WPARAM& wParam,
                             LPARAM& lParam, LRESULT& lResult);

    // Default processing of a message no hook delivered.
    LRESULT CallDefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The descriptors live on a stack of the calling thread (a window's messages run on its
    // own thread, so no lock is needed). Each push holds a reference, so an object detached
    // inside its own handler lives until the outermost message returns.
    void PushDefWindowProc(const DEFWINDOW_DESCRIPTIOR& descriptor);
    void PopDefWindowProc();
    // The message of this object's newest descriptor on the calling thread; 0 when it has
    // none, or while the message is on its way through the window's own procedure.
    UINT GetCurrentDefMessage();
    // The object of the window when one of the calling thread's descriptors belongs to it
    // (no lock, no map lookup); null otherwise.
    static CHLMSkinObject* FindOnThreadStack(HWND hWnd);

    // Set by the manager while the object is in its window map.
    BOOL IsAttached() const { return m_bAttached; }
    void SetAttached(BOOL bAttached) { m_bAttached = bAttached; }

    CHLMSkinManager* GetSkinManager() const { return m_pManager; }
    void SetSkinManager(CHLMSkinManager* pManager) { m_pManager = pManager; }
    CHLMSkinManagerMetrics* GetMetrics() const;
    COLORREF GetColor(int nIndex) const;
    CHLMSkinManagerClass* GetSkinClass() const;
    const CString& GetThemeClassName() const { return m_strClassName; }
    BOOL IsSkinEnabled() const;

    BOOL IsWindowsForms() const { return m_bWindowsForms; }
    void SetWindowsForms(BOOL bWindowsForms) { m_bWindowsForms = bWindowsForms; }
    BOOL IsOptedOut() const { return m_bOptedOut; }
    BOOL IsUnicode() const { return m_bUnicode; }
    WNDPROC GetSavedWindowProc() const { return m_pfnSavedWndProc; }

protected:
    // A class whose OnWndMsg answers a message below WM_USER without a message-map entry
    // names it here; other such messages never reach OnWndMsg.
    virtual BOOL IsHandledOutsideMap(UINT /*message*/) { return FALSE; }

    // Asks for one WM_MOUSELEAVE when the mouse leaves the window, for a part shown hot.
    void TrackMouseLeave();

    // Shows another part hot (an item, a half, the whole control): keeps it in hot, repaints
    // the window and, while a part is hot, asks for WM_MOUSELEAVE.
    template <class Part>
    void SetHotPart(Part& hot, Part part, Part none)
    {
        if (part == hot)
            return;
        hot = part;
        Invalidate(FALSE);
        if (part != none)
            TrackMouseLeave();
    }

    WNDPROC m_pfnSavedWndProc;
    CHLMSkinManager* m_pManager;
    CString m_strClassName;  // the visual-style class this object draws with
    BOOL m_bWindowsForms;
    ULONG_PTR m_nAddressLimit;
    BOOL m_bOptedOut;
    BOOL m_bUnicode;
    volatile BOOL m_bAttached;
    BOOL m_bCallSavedDirectly;

private:
    BOOL AskOptedOut();
    // A message for a window whose object is gone: to the procedure saved when the skin's
    // took over, which a procedure installed over the skin's still chains to.
    static LRESULT CallSavedWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The message map of the object's class, asked only for messages it has an entry for.
    BOOL DispatchToMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    const struct CHLMSkinMessageSet* m_pMessageSet;
};

// A counted reference to a skin object: the object stays while one is held, even when its
// window is detached meanwhile on another thread.
template <class Object>
class CHLMSkinObjectPtr
{
public:
    CHLMSkinObjectPtr() = default;
    // Adds a reference.
    explicit CHLMSkinObjectPtr(Object* pObject) : m_pObject(pObject)
    {
        if (m_pObject != nullptr)
            m_pObject->InternalAddRef();
    }
    CHLMSkinObjectPtr(const CHLMSkinObjectPtr& other) : CHLMSkinObjectPtr(other.m_pObject) {}
    CHLMSkinObjectPtr(CHLMSkinObjectPtr&& other) noexcept : m_pObject(other.m_pObject)
    {
        other.m_pObject = nullptr;
    }
    CHLMSkinObjectPtr& operator=(CHLMSkinObjectPtr other) noexcept
    {
        std::swap(m_pObject, other.m_pObject);
        return *this;
    }
    ~CHLMSkinObjectPtr()
    {
        if (m_pObject != nullptr)
            m_pObject->InternalRelease();
    }

    // Takes over a reference the caller already holds.
    static CHLMSkinObjectPtr Adopt(Object* pObject)
    {
        CHLMSkinObjectPtr reference;
        reference.m_pObject = pObject;
        return reference;
    }
    // The same object as a derived class, or null when it is not one.
    template <class Other>
    static CHLMSkinObjectPtr DynamicCast(const CHLMSkinObjectPtr<Other>& other)
    {
        return CHLMSkinObjectPtr(dynamic_cast<Object*>(other.Get()));
    }

    Object* Get() const { return m_pObject; }
    Object* operator->() const { return m_pObject; }
    // The plain pointer is good for the window's own thread while the window keeps its
    // object; other threads keep the reference.
    operator Object*() const { return m_pObject; }

private:
    Object* m_pObject = nullptr;
};

typedef CHLMSkinObjectPtr<CHLMSkinObject> CHLMSkinObjectRef;

// The default processing of the window procedure: CallWindowProcW through the system
// function the import-table rewriter saved, so that the call never re-enters the skin.
LRESULT CallOriginalWindowProc(WNDPROC pfnWndProc, HWND hWnd, UINT message, WPARAM wParam,
                               LPARAM lParam);

// The device context of a skin object's paint handler: the DC that came in wParam (for
// WM_PAINT sent with a DC, as WM_PRINTCLIENT does), else BeginPaint's.
class CHLMSkinObjectPaintDC : public CDC
{
public:
    explicit CHLMSkinObjectPaintDC(CHLMSkinObject* pObject);
    ~CHLMSkinObjectPaintDC() override;

    CHLMSkinObjectPaintDC(const CHLMSkinObjectPaintDC&) = delete;
    CHLMSkinObjectPaintDC& operator=(const CHLMSkinObjectPaintDC&) = delete;

    // FALSE when the DC came with the message.
    BOOL IsBeginPaint() const { return m_bBeginPaint; }

    HWND m_hWnd;
    PAINTSTRUCT m_ps;

private:
    BOOL m_bBeginPaint;
};
