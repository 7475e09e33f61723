#include "common/hlmaccessible.h"

CHLMAccessible::CHLMAccessible()
    : m_xAccessible(this),
      m_pfnNotifyWinEvent(nullptr),
      m_pfnLresultFromObject(nullptr),
      m_pfnAccessibleObjectFromWindow(nullptr)
{
    if (m_moduleUser32.GetOrLoadModule(L"user32.dll"))
        m_moduleUser32.GetProcAddress(m_pfnNotifyWinEvent, "NotifyWinEvent", 0);
}

CHLMAccessible::~CHLMAccessible() = default;

HRESULT CHLMAccessible::GetAccessibleParent(IDispatch**) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleChildCount(LONG*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleChild(VARIANT, IDispatch**) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleName(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleValue(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleDescription(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleRole(VARIANT, VARIANT*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleState(VARIANT, VARIANT*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleHelp(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleHelpTopic(BSTR*, VARIANT, LONG*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleKeyboardShortcut(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::GetAccessibleFocus(VARIANT*) { return S_FALSE; }
HRESULT CHLMAccessible::GetAccessibleSelection(VARIANT*) { return S_FALSE; }
HRESULT CHLMAccessible::GetAccessibleDefaultAction(VARIANT, BSTR*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::AccessibleSelect(LONG, VARIANT) { return E_NOTIMPL; }
HRESULT CHLMAccessible::AccessibleLocation(LONG*, LONG*, LONG*, LONG*, VARIANT) { return E_NOTIMPL; }
HRESULT CHLMAccessible::AccessibleNavigate(LONG, VARIANT, VARIANT*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::AccessibleHitTest(LONG, LONG, VARIANT*) { return E_NOTIMPL; }
HRESULT CHLMAccessible::AccessibleDoDefaultAction(VARIANT) { return E_NOTIMPL; }
HRESULT CHLMAccessible::PutAccessibleName(VARIANT, BSTR) { return E_NOTIMPL; }
HRESULT CHLMAccessible::PutAccessibleValue(VARIANT, BSTR) { return E_NOTIMPL; }

CCmdTarget* CHLMAccessible::GetCmdTarget()
{
    ASSERT(FALSE);  // a derived class names the command target that owns the interface
    return nullptr;
}

void CHLMAccessible::NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild)
{
    if (m_pfnNotifyWinEvent)
        m_pfnNotifyWinEvent(event, hwnd, idObject, idChild);
}

// oleacc is loaded by the first call that needs it and stays until this object goes.
template <class Function>
BOOL CHLMAccessible::LookUpOleacc(Function& function, LPCSTR exportName)
{
    if (!m_moduleOleacc.GetHandle())
        m_moduleOleacc.LoadModule(L"oleacc.dll");
    if (!function && m_moduleOleacc.GetHandle())
        m_moduleOleacc.GetProcAddress(function, exportName);
    return function != nullptr;
}

HRESULT CHLMAccessible::AccessibleObjectFromWindow(HWND hwnd, DWORD dwObjectID, REFIID riid, void** ppvObject)
{
    if (!LookUpOleacc(m_pfnAccessibleObjectFromWindow, "AccessibleObjectFromWindow"))
        return E_FAIL;
    return m_pfnAccessibleObjectFromWindow(hwnd, dwObjectID, riid, ppvObject);
}

LRESULT CHLMAccessible::LresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN punk)
{
    if (!LookUpOleacc(m_pfnLresultFromObject, "LresultFromObject"))
        return E_FAIL;
    return m_pfnLresultFromObject(riid, wParam, punk);
}

LONG CHLMAccessible::GetChildIndex(const VARIANT* pvar)
{
    // A client's VARIANT may refer to itself: the reference is followed one level only.
    for (int nLevel = 0; pvar && nLevel < 2; ++nLevel)
    {
        switch (pvar->vt)
        {
        case VT_EMPTY:
            return 0;
        case VT_I4:
            return pvar->lVal;
        case VT_I2:
            return pvar->iVal;
        case VT_I4 | VT_BYREF:
            return pvar->plVal ? *pvar->plVal : -1;
        case VT_I2 | VT_BYREF:
            return pvar->piVal ? *pvar->piVal : -1;
        case VT_VARIANT | VT_BYREF:
            pvar = pvar->pvarVal;
            continue;
        }
        return -1;
    }
    return -1;
}

// The interface object: IUnknown through the command target, no automation, and every
// accessibility method handed to the outer object unchanged.

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::QueryInterface(REFIID riid, void** ppvObject)
{
    CCmdTarget* pTarget = m_pOuter->GetCmdTarget();
    if (!pTarget)
    {
        if (ppvObject)
            *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    return static_cast<HRESULT>(pTarget->ExternalQueryInterface(&riid, ppvObject));
}

ULONG STDMETHODCALLTYPE CHLMAccessible::XAccessible::AddRef()
{
    CCmdTarget* pTarget = m_pOuter->GetCmdTarget();
    return pTarget ? pTarget->ExternalAddRef() : 0;
}

ULONG STDMETHODCALLTYPE CHLMAccessible::XAccessible::Release()
{
    CCmdTarget* pTarget = m_pOuter->GetCmdTarget();
    return pTarget ? pTarget->ExternalRelease() : 0;
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                                               EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accParent(IDispatch** ppdispParent)
{
    return m_pOuter->GetAccessibleParent(ppdispParent);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accChildCount(LONG* pcountChildren)
{
    return m_pOuter->GetAccessibleChildCount(pcountChildren);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accChild(VARIANT varChildID, IDispatch** ppdispChild)
{
    return m_pOuter->GetAccessibleChild(varChildID, ppdispChild);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accName(VARIANT varID, BSTR* pszName)
{
    return m_pOuter->GetAccessibleName(varID, pszName);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accValue(VARIANT varID, BSTR* pszValue)
{
    return m_pOuter->GetAccessibleValue(varID, pszValue);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accDescription(VARIANT varID, BSTR* pszDescription)
{
    return m_pOuter->GetAccessibleDescription(varID, pszDescription);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accRole(VARIANT varID, VARIANT* pvarRole)
{
    return m_pOuter->GetAccessibleRole(varID, pvarRole);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accState(VARIANT varID, VARIANT* pvarState)
{
    return m_pOuter->GetAccessibleState(varID, pvarState);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accHelp(VARIANT varID, BSTR* pszHelp)
{
    return m_pOuter->GetAccessibleHelp(varID, pszHelp);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accHelpTopic(BSTR* pszHelpFile, VARIANT varID,
                                                                         LONG* pidTopic)
{
    return m_pOuter->GetAccessibleHelpTopic(pszHelpFile, varID, pidTopic);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accKeyboardShortcut(VARIANT varID,
                                                                                BSTR* pszKeyboardShortcut)
{
    return m_pOuter->GetAccessibleKeyboardShortcut(varID, pszKeyboardShortcut);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accFocus(VARIANT* pvarID)
{
    return m_pOuter->GetAccessibleFocus(pvarID);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accSelection(VARIANT* pvarID)
{
    return m_pOuter->GetAccessibleSelection(pvarID);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::get_accDefaultAction(VARIANT varID,
                                                                             BSTR* pszDefaultAction)
{
    return m_pOuter->GetAccessibleDefaultAction(varID, pszDefaultAction);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::accSelect(LONG flagsSelect, VARIANT varID)
{
    return m_pOuter->AccessibleSelect(flagsSelect, varID);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth,
                                                                    LONG* pcyHeight, VARIANT varID)
{
    return m_pOuter->AccessibleLocation(pxLeft, pyTop, pcxWidth, pcyHeight, varID);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::accNavigate(LONG navDir, VARIANT varStart,
                                                                    VARIANT* pvarEnd)
{
    return m_pOuter->AccessibleNavigate(navDir, varStart, pvarEnd);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarID)
{
    return m_pOuter->AccessibleHitTest(xLeft, yTop, pvarID);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::accDoDefaultAction(VARIANT varID)
{
    return m_pOuter->AccessibleDoDefaultAction(varID);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::put_accName(VARIANT varID, BSTR pszName)
{
    return m_pOuter->PutAccessibleName(varID, pszName);
}

HRESULT STDMETHODCALLTYPE CHLMAccessible::XAccessible::put_accValue(VARIANT varID, BSTR pszValue)
{
    return m_pOuter->PutAccessibleValue(varID, pszValue);
}
