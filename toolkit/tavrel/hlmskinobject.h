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

#include <vector>

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

    // Each push holds a reference, so an object detached inside its own handler lives until
    // the outermost message returns.
    void PushDefWindowProc(const DEFWINDOW_DESCRIPTIOR& descriptor);
    void PopDefWindowProc();
    UINT GetCurrentDefMessage();

    CHLMSkinManager* GetSkinManager() const { return m_pManager; }
    void SetSkinManager(CHLMSkinManager* pManager) { m_pManager = pManager; }
    CHLMSkinManagerMetrics* GetMetrics() const;
    COLORREF GetColor(int nIndex) const;
    CHLMSkinManagerClass* GetSkinClass() const;
    const CString& GetSkinClassName() const { return m_strClassName; }
    BOOL IsSkinEnabled() const;

    BOOL IsWindowsForms() const { return m_bWindowsForms; }
    void SetWindowsForms(BOOL bWindowsForms) { m_bWindowsForms = bWindowsForms; }
    BOOL IsOptedOut() const { return m_bOptedOut; }
    BOOL IsUnicode() const { return m_bUnicode; }
    WNDPROC GetSavedWindowProc() const { return m_pfnSavedWndProc; }

protected:
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
    SyncSection m_lockDescriptors;
    // Newest at the back; its storage is kept, so pushing allocates only when it grows.
    std::vector<DEFWINDOW_DESCRIPTIOR> m_descriptors;

private:
    BOOL AskOptedOut();
};

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
