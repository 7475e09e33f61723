// Thread-local data in fibre-local slots: the slot's callback deletes a thread's
// object when that thread ends. Process-local data is created on first use.
#include "afxtls_.h"

namespace
{
void WINAPI DeleteThreadData(void* pData)
{
    delete static_cast<CNoTrackObject*>(pData);
}
}

void* PASCAL CNoTrackObject::operator new(size_t nSize)
{
    void* p = LocalAlloc(LPTR, nSize);
    if (p == nullptr)
        AfxThrowMemoryException();
    return p;
}

void PASCAL CNoTrackObject::operator delete(void* p)
{
    if (p != nullptr)
        LocalFree(p);
}

// Allocated on first use; a race between two first uses frees the loser's slot.
DWORD CThreadLocalObject::Slot()
{
    LONG nSlotPlusOne = m_nSlotPlusOne;
    if (nSlotPlusOne != 0)
        return static_cast<DWORD>(nSlotPlusOne - 1);
    const DWORD nSlot = FlsAlloc(DeleteThreadData);
    if (nSlot == FLS_OUT_OF_INDEXES)
        AfxThrowMemoryException();
    const LONG nPrevious = InterlockedCompareExchange(&m_nSlotPlusOne, static_cast<LONG>(nSlot) + 1, 0);
    if (nPrevious != 0)
    {
        FlsFree(nSlot);
        return static_cast<DWORD>(nPrevious - 1);
    }
    return nSlot;
}

CNoTrackObject* CThreadLocalObject::GetData(CNoTrackObject*(AFXAPI* pfnCreateObject)())
{
    const DWORD nSlot = Slot();
    CNoTrackObject* pData = static_cast<CNoTrackObject*>(FlsGetValue(nSlot));
    if (pData == nullptr)
    {
        pData = pfnCreateObject();
        if (!FlsSetValue(nSlot, pData))
        {
            delete pData;
            AfxThrowMemoryException();
        }
    }
    return pData;
}

CNoTrackObject* CThreadLocalObject::GetDataNA()
{
    const LONG nSlotPlusOne = m_nSlotPlusOne;
    if (nSlotPlusOne == 0)
        return nullptr;
    return static_cast<CNoTrackObject*>(FlsGetValue(static_cast<DWORD>(nSlotPlusOne - 1)));
}

CProcessLocalObject::~CProcessLocalObject()
{
    delete m_pObject;
}

CNoTrackObject* CProcessLocalObject::GetData(CNoTrackObject*(AFXAPI* pfnCreateObject)())
{
    CNoTrackObject* pObject = m_pObject;
    if (pObject != nullptr)
        return pObject;
    CNoTrackObject* pNew = pfnCreateObject();
    void* pPrevious = InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&m_pObject), pNew, nullptr);
    if (pPrevious != nullptr)
    {
        delete pNew;  // another thread was first
        return static_cast<CNoTrackObject*>(pPrevious);
    }
    return pNew;
}
