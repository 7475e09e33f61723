// The framework's per-thread state and its temporary wrapper objects.
#include "afxwin.h"

void* CTempObjectMap::Lookup(HANDLE hHandle) const
{
    auto found = m_objects.find(hHandle);
    return found == m_objects.end() ? nullptr : found->second.pObject;
}

void CTempObjectMap::Add(HANDLE hHandle, void* pObject, PFN_RELEASE pfnRelease)
{
    auto inserted = m_objects.emplace(hHandle, Entry{pObject, pfnRelease});
    if (!inserted.second)
    {
        m_replaced.push_back(inserted.first->second);
        inserted.first->second = Entry{pObject, pfnRelease};
    }
}

void CTempObjectMap::ReleaseAll()
{
    // Take the entries first: a release may make wrappers of its own.
    std::unordered_map<HANDLE, Entry> objects;
    objects.swap(m_objects);
    std::vector<Entry> replaced;
    replaced.swap(m_replaced);
    for (auto& item : objects)
        item.second.pfnRelease(item.second.pObject);
    for (Entry& entry : replaced)
        entry.pfnRelease(entry.pObject);
}

void _AFX_THREAD_STATE::ReleaseTemporaryObjects()
{
    m_tempWindows.ReleaseAll();
    m_tempDCs.ReleaseAll();
    m_tempGdiObjects.ReleaseAll();
    m_tempMenus.ReleaseAll();
    m_tempImageLists.ReleaseAll();
}

namespace
{
// A fiber-local slot: its callback runs when the thread ends, and for the main thread when
// the process ends, after the static destructors and atexit handlers.
void WINAPI DeleteThreadState(void* pState)
{
    delete static_cast<_AFX_THREAD_STATE*>(pState);
}

DWORD ThreadStateSlot()
{
    // Created on first use, so static initialisers may run framework code in any order.
    static const DWORD slot = ::FlsAlloc(DeleteThreadState);
    return slot;
}
}

_AFX_THREAD_STATE* AFXAPI AfxGetThreadState()
{
    const DWORD slot = ThreadStateSlot();
    auto* pState = static_cast<_AFX_THREAD_STATE*>(::FlsGetValue(slot));
    if (pState == nullptr)
    {
        pState = new _AFX_THREAD_STATE;
        ::FlsSetValue(slot, pState);
    }
    return pState;
}
