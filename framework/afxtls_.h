// Thread-local and process-local data of the framework.
//
// CThreadLocal<T> holds one T per thread, created on the first GetData() of that
// thread and deleted when the thread ends (a fibre-local slot with a clean-up
// callback, which also runs for threads started with CreateThread). The holders
// are constant-initialised, so a global one works before WinMain and from any
// static initialiser.
#pragma once

#include "afx.h"

// Data kept outside any allocation tracking, with a virtual destructor so that the
// holders can delete it through this base.
class CNoTrackObject
{
public:
    void* PASCAL operator new(size_t nSize);
    void PASCAL operator delete(void* p);
    virtual ~CNoTrackObject() = default;
};

class CThreadLocalObject
{
public:
    constexpr CThreadLocalObject() = default;
    CThreadLocalObject(const CThreadLocalObject&) = delete;
    void operator=(const CThreadLocalObject&) = delete;

    // The calling thread's object, created with pfnCreateObject when missing.
    CNoTrackObject* GetData(CNoTrackObject*(AFXAPI* pfnCreateObject)());
    // The calling thread's object, or NULL.
    CNoTrackObject* GetDataNA();

private:
    DWORD Slot();

    volatile LONG m_nSlotPlusOne = 0;  // 0 until the slot is allocated
};

template <class TYPE>
class CThreadLocal : public CThreadLocalObject
{
public:
    TYPE* GetData() { return static_cast<TYPE*>(CThreadLocalObject::GetData(&CreateObject)); }
    TYPE* GetDataNA() { return static_cast<TYPE*>(CThreadLocalObject::GetDataNA()); }
    operator TYPE*() { return GetData(); }
    TYPE* operator->() { return GetData(); }

    static CNoTrackObject* AFXAPI CreateObject() { return new TYPE; }
};

class CProcessLocalObject
{
public:
    constexpr CProcessLocalObject() = default;
    ~CProcessLocalObject();
    CProcessLocalObject(const CProcessLocalObject&) = delete;
    void operator=(const CProcessLocalObject&) = delete;

    CNoTrackObject* GetData(CNoTrackObject*(AFXAPI* pfnCreateObject)());

    // The held object; owners may replace it directly.
    CNoTrackObject* volatile m_pObject = nullptr;
};

// One TYPE for the process, created on the first GetData() and deleted at exit.
template <class TYPE>
class CProcessLocal : public CProcessLocalObject
{
public:
    TYPE* GetData() { return static_cast<TYPE*>(CProcessLocalObject::GetData(&CreateObject)); }
    TYPE* GetDataNA() { return static_cast<TYPE*>(m_pObject); }
    operator TYPE*() { return GetData(); }
    TYPE* operator->() { return GetData(); }

    static CNoTrackObject* AFXAPI CreateObject() { return new TYPE; }
};

#define THREAD_LOCAL(class_name, ident_name) CThreadLocal<class_name> ident_name;
#define EXTERN_THREAD_LOCAL(class_name, ident_name) extern CThreadLocal<class_name> ident_name;
#define PROCESS_LOCAL(class_name, ident_name) CProcessLocal<class_name> ident_name;
#define EXTERN_PROCESS_LOCAL(class_name, ident_name) extern CProcessLocal<class_name> ident_name;
