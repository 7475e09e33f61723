// Thread-local data: one object per thread, deleted when its thread ends.
#include <afxtls_.h>
#include <gtest/gtest.h>

namespace
{
LONG g_nCreated = 0;
LONG g_nDestroyed = 0;

struct THREAD_STATE_FOR_TEST : public CNoTrackObject
{
    THREAD_STATE_FOR_TEST() { InterlockedIncrement(&g_nCreated); }
    ~THREAD_STATE_FOR_TEST() override { InterlockedIncrement(&g_nDestroyed); }
    DWORD m_dwThreadId = GetCurrentThreadId();
    int m_nUses = 0;
};

THREAD_LOCAL(THREAD_STATE_FOR_TEST, g_threadState)

struct PROCESS_STATE_FOR_TEST : public CNoTrackObject
{
    int m_nValue = 5;
};

PROCESS_LOCAL(PROCESS_STATE_FOR_TEST, g_processState)

DWORD WINAPI UseThreadState(void* pResult)
{
    THREAD_STATE_FOR_TEST* pState = g_threadState.GetData();
    ++pState->m_nUses;
    ++g_threadState->m_nUses;
    *static_cast<THREAD_STATE_FOR_TEST**>(pResult) = pState;
    return pState->m_dwThreadId == GetCurrentThreadId() && pState->m_nUses == 2 ? 0 : 1;
}

DWORD WINAPI TouchNothing(void*)
{
    return g_threadState.GetDataNA() == nullptr ? 0 : 1;
}

DWORD RunThread(LPTHREAD_START_ROUTINE pfn, void* pParam)
{
    HANDLE hThread = CreateThread(nullptr, 0, pfn, pParam, 0, nullptr);
    EXPECT_NE(nullptr, hThread);
    WaitForSingleObject(hThread, 10000);
    DWORD dwExit = 99;
    GetExitCodeThread(hThread, &dwExit);
    CloseHandle(hThread);
    return dwExit;
}
}

TEST(CThreadLocal, EachThreadGetsItsOwnDataDeletedAtThreadEnd)
{
    THREAD_STATE_FOR_TEST* pMain = g_threadState.GetData();
    EXPECT_EQ(pMain, g_threadState.GetData());
    const LONG nCreatedBefore = g_nCreated;
    const LONG nDestroyedBefore = g_nDestroyed;

    for (int i = 0; i < 3; ++i)
    {
        THREAD_STATE_FOR_TEST* pOther = nullptr;
        EXPECT_EQ(0u, RunThread(UseThreadState, &pOther));
        EXPECT_NE(pMain, pOther);
    }
    EXPECT_EQ(0u, RunThread(TouchNothing, nullptr));
    EXPECT_EQ(nCreatedBefore + 3, g_nCreated);
    EXPECT_EQ(nDestroyedBefore + 3, g_nDestroyed);
    EXPECT_EQ(pMain, g_threadState.GetDataNA());
}

TEST(CProcessLocal, OneObjectCreatedOnFirstUse)
{
    EXPECT_EQ(nullptr, g_processState.GetDataNA());
    PROCESS_STATE_FOR_TEST* pState = g_processState.GetData();
    ASSERT_NE(nullptr, pState);
    EXPECT_EQ(5, pState->m_nValue);
    EXPECT_EQ(pState, g_processState.GetData());
    EXPECT_EQ(pState, g_processState.m_pObject);
}
