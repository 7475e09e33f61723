// CCmdTarget: the message-map root, command routing and the reference count.
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

CCmdTarget::CCmdTarget() : m_dwRef(1) {}

CCmdTarget::~CCmdTarget() = default;

DWORD CCmdTarget::InternalAddRef()
{
    return static_cast<DWORD>(::InterlockedIncrement(&m_dwRef));
}

DWORD CCmdTarget::InternalRelease()
{
    const long count = ::InterlockedDecrement(&m_dwRef);
    if (count == 0)
        OnFinalRelease();
    return static_cast<DWORD>(count);
}

void CCmdTarget::OnFinalRelease()
{
    delete this;
}

// The root of every map chain: no entries and no base.
const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage,
                                                     UINT nCode, UINT nID)
{
    // Derived maps come first, so a derived entry hides the base's entry for the same message.
    for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->nSig != AfxSig_end; ++pEntry)
        {
            const UINT entryMessage = pEntry->pnRegisteredMessage ? *pEntry->pnRegisteredMessage
                                                                  : pEntry->nMessage;
            if (entryMessage == nMessage && entryMessage != 0 && pEntry->nCode == nCode &&
                nID >= pEntry->nID && nID <= pEntry->nLastID)
                return pEntry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Notification codes travel as MAKELONG(code, WM_NOTIFY); they are compared as UINT words.
    UINT nMessage = WM_COMMAND;
    UINT nEntryCode = static_cast<UINT>(nCode);
    if (HIWORD(nCode) == WM_NOTIFY)
    {
        nMessage = WM_NOTIFY;
        nEntryCode = LOWORD(nCode);
    }
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(GetMessageMap(), nMessage, nEntryCode,
                                                      LOWORD(nID));
    if (pEntry == nullptr)
        return FALSE;
    if (pHandlerInfo != nullptr)
    {
        pHandlerInfo->pTarget = this;
        // A notification handler has no command's type: only its target is reported.
        pHandlerInfo->pmf = pEntry->nSig == AfxSig_notify ? nullptr : pEntry->pfn.pfnCmd;
        return TRUE;
    }
    if (pEntry->nSig == AfxSig_notify)
    {
        auto* pNotify = static_cast<AFX_NOTIFY*>(pExtra);
        (this->*pEntry->pfn.pfnNotify)(pNotify->pNMHDR, pNotify->pResult);
    }
    else
    {
        (this->*pEntry->pfn.pfnCmd)();
    }
    return TRUE;
}

LPUNKNOWN CCmdTarget::GetInterface(const void*)
{
    return nullptr;
}

DWORD CCmdTarget::ExternalQueryInterface(const void* iid, LPVOID* ppvObj)
{
    if (ppvObj == nullptr)
        return static_cast<DWORD>(E_POINTER);
    LPUNKNOWN pUnknown = GetInterface(iid);
    *ppvObj = pUnknown;
    if (pUnknown == nullptr)
        return static_cast<DWORD>(E_NOINTERFACE);
    ExternalAddRef();
    return S_OK;
}

void CCmdTarget::BeginWaitCursor()
{
    m_hCursorBeforeWait = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}

void CCmdTarget::EndWaitCursor()
{
    ::SetCursor(m_hCursorBeforeWait ? m_hCursorBeforeWait : ::LoadCursorW(nullptr, IDC_ARROW));
    m_hCursorBeforeWait = nullptr;
}

CWaitCursor::CWaitCursor() : m_hCursorBefore(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}

CWaitCursor::~CWaitCursor()
{
    ::SetCursor(m_hCursorBefore);
}

void CWaitCursor::Restore()
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}
