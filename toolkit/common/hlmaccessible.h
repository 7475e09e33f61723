// Accessibility: an IAccessible for a toolkit object. The interface object forwards each
// accessibility method to a virtual operation of the outer object, which answers E_NOTIMPL
// (S_FALSE for focus and selection) until a derived class overrides it; reference counting
// and interface lookup belong to the command target that GetCmdTarget names. The user32 and
// oleacc functions an accessible window needs are looked up by name.
#pragma once

#include "common/hlmsystemhelpers.h"

#include <oleacc.h>

class CHLMAccessible
{
public:
    CHLMAccessible();
    virtual ~CHLMAccessible();

    CHLMAccessible(const CHLMAccessible&) = delete;
    CHLMAccessible& operator=(const CHLMAccessible&) = delete;

    virtual HRESULT GetAccessibleParent(IDispatch** ppdispParent);
    virtual HRESULT GetAccessibleChildCount(LONG* pcountChildren);
    virtual HRESULT GetAccessibleChild(VARIANT varChild, IDispatch** ppdispChild);
    virtual HRESULT GetAccessibleName(VARIANT varChild, BSTR* pszName);
    virtual HRESULT GetAccessibleValue(VARIANT varChild, BSTR* pszValue);
    virtual HRESULT GetAccessibleDescription(VARIANT varChild, BSTR* pszDescription);
    virtual HRESULT GetAccessibleRole(VARIANT varChild, VARIANT* pvarRole);
    virtual HRESULT GetAccessibleState(VARIANT varChild, VARIANT* pvarState);
    virtual HRESULT GetAccessibleHelp(VARIANT varChild, BSTR* pszHelp);
    virtual HRESULT GetAccessibleHelpTopic(BSTR* pszHelpFile, VARIANT varChild, LONG* pidTopic);
    virtual HRESULT GetAccessibleKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut);
    virtual HRESULT GetAccessibleFocus(VARIANT* pvarChild);
    virtual HRESULT GetAccessibleSelection(VARIANT* pvarChildren);
    virtual HRESULT GetAccessibleDefaultAction(VARIANT varChild, BSTR* pszDefaultAction);
    virtual HRESULT AccessibleSelect(LONG flagsSelect, VARIANT varChild);
    virtual HRESULT AccessibleLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth, LONG* pcyHeight,
                                       VARIANT varChild);
    virtual HRESULT AccessibleNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEndUpAt);
    virtual HRESULT AccessibleHitTest(LONG xLeft, LONG yTop, VARIANT* pvarChild);
    virtual HRESULT AccessibleDoDefaultAction(VARIANT varChild);
    virtual HRESULT PutAccessibleName(VARIANT varChild, BSTR szName);
    virtual HRESULT PutAccessibleValue(VARIANT varChild, BSTR szValue);
    // The command target whose reference count and interface lookup serve the interface;
    // every derived class overrides it.
    virtual CCmdTarget* GetCmdTarget();

    // The IAccessible of this object, for the command target's GetInterface and for
    // answering WM_GETOBJECT.
    IAccessible* GetAccessibleInterface() { return &m_xAccessible; }

    void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild);
    HRESULT AccessibleObjectFromWindow(HWND hwnd, DWORD dwObjectID, REFIID riid, void** ppvObject);
    LRESULT LresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN punk);

    // The child index a VARIANT holds: -1 for none or a type that holds no index, 0 for
    // VT_EMPTY (the object itself). A VARIANT that refers to another is followed once.
    static LONG GetChildIndex(const VARIANT* pvar);

protected:
    class XAccessible : public IAccessible
    {
    public:
        explicit XAccessible(CHLMAccessible* pOuter) : m_pOuter(pOuter) {}

        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;

        HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
        HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
        HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                                DISPID* rgDispId) override;
        HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                         DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                         UINT* puArgErr) override;

        HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override;
        HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* pcountChildren) override;
        HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChildID, IDispatch** ppdispChild) override;
        HRESULT STDMETHODCALLTYPE get_accName(VARIANT varID, BSTR* pszName) override;
        HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varID, BSTR* pszValue) override;
        HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varID, BSTR* pszDescription) override;
        HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varID, VARIANT* pvarRole) override;
        HRESULT STDMETHODCALLTYPE get_accState(VARIANT varID, VARIANT* pvarState) override;
        HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varID, BSTR* pszHelp) override;
        HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varID, LONG* pidTopic) override;
        HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varID, BSTR* pszKeyboardShortcut) override;
        HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarID) override;
        HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarID) override;
        HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varID, BSTR* pszDefaultAction) override;
        HRESULT STDMETHODCALLTYPE accSelect(LONG flagsSelect, VARIANT varID) override;
        HRESULT STDMETHODCALLTYPE accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth, LONG* pcyHeight,
                                              VARIANT varID) override;
        HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEnd) override;
        HRESULT STDMETHODCALLTYPE accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarID) override;
        HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varID) override;
        HRESULT STDMETHODCALLTYPE put_accName(VARIANT varID, BSTR pszName) override;
        HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varID, BSTR pszValue) override;

    private:
        // The interface lives inside its outer object; a pointer back is the portable way
        // to reach it.
        CHLMAccessible* m_pOuter;
    };

    XAccessible m_xAccessible;

private:
    using NotifyWinEventFunction = VOID(WINAPI*)(DWORD, HWND, LONG, LONG);
    using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using AccessibleObjectFromWindowFunction = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

    template <class Function>
    BOOL LookUpOleacc(Function& function, LPCSTR exportName);

    NotifyWinEventFunction m_pfnNotifyWinEvent;
    LresultFromObjectFunction m_pfnLresultFromObject;
    AccessibleObjectFromWindowFunction m_pfnAccessibleObjectFromWindow;
    CHLMModuleHandle m_moduleUser32;
    CHLMModuleHandle m_moduleOleacc;
};
