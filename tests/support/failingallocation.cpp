#include "failingallocation.h"

#include <afx.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace
{
DWORD g_thread = 0;           // the thread whose allocations count; 0: none
int g_allocationsToFailure = -1;  // allocations left before the failing one; -1: none fails
AllocationFailure g_raise = AllocationFailure::BadAlloc;
bool g_failed = false;
bool g_watching = false;
size_t g_largest = 0;

bool Counts() { return g_thread != 0 && g_thread == GetCurrentThreadId(); }
}

// The replaceable allocation function; the array and no-throw forms of the library call it.
void* operator new(size_t size)
{
    if (Counts())
    {
        if (g_watching)
            g_largest = std::max(g_largest, size);
        if (g_allocationsToFailure >= 0 && g_allocationsToFailure-- == 0)
        {
            g_failed = true;
            if (g_raise == AllocationFailure::MemoryException)
                AfxThrowMemoryException();
            throw std::bad_alloc();
        }
    }
    for (;;)
    {
        if (void* block = std::malloc(size ? size : 1))
            return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, size_t) noexcept
{
    std::free(block);
}

FailingAllocation::FailingAllocation(int index, AllocationFailure raise)
{
    g_failed = false;
    g_raise = raise;
    g_allocationsToFailure = index;
    g_thread = GetCurrentThreadId();
}

FailingAllocation::~FailingAllocation()
{
    g_allocationsToFailure = -1;
    if (!g_watching)
        g_thread = 0;
}

bool FailingAllocation::Failed() const
{
    return g_failed;
}

AllocationWatch::AllocationWatch()
{
    g_largest = 0;
    g_watching = true;
    g_thread = GetCurrentThreadId();
}

AllocationWatch::~AllocationWatch()
{
    g_watching = false;
    if (g_allocationsToFailure < 0)
        g_thread = 0;
}

size_t AllocationWatch::Largest() const
{
    return g_largest;
}
