// Allocation failures on demand: this test support replaces the program's operator new so
// that a test can make one chosen allocation fail, or watch the sizes asked for. Only
// allocations of the thread that set it up count.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>

// What the failing allocation raises: the library's std::bad_alloc, or the framework's
// CMemoryException*, which the framework's new handler raises when memory runs out.
enum class AllocationFailure
{
    BadAlloc,
    MemoryException
};

class FailingAllocation
{
public:
    // The allocation numbered `index` from now on (0: the next one) fails with `raise`.
    explicit FailingAllocation(int index, AllocationFailure raise = AllocationFailure::BadAlloc);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // True once the chosen allocation was reached (and failed).
    bool Failed() const;
};

// The largest single allocation made while it lives.
class AllocationWatch
{
public:
    AllocationWatch();
    ~AllocationWatch();
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;

    size_t Largest() const;
};

// Calls `attempt` with each of its allocations failing in turn, then with none failing.
// Every attempt in which an allocation failed must return a false value without letting an
// exception out; the last must succeed. Returns the number of allocations it makes.
template <class Attempt>
int ExpectEveryAllocationFailureHandled(const char* what, Attempt attempt,
                                        AllocationFailure raise = AllocationFailure::BadAlloc)
{
    for (int index = 0;; ++index)
    {
        bool succeeded = false;
        bool failed = false;
        {
            FailingAllocation failure(index, raise);
            try
            {
                succeeded = static_cast<bool>(attempt());
            }
            catch (...)
            {
                ADD_FAILURE() << what << ": an exception left it when allocation " << index << " failed";
                return index;
            }
            failed = failure.Failed();
        }
        if (!failed)
        {
            EXPECT_TRUE(succeeded) << what << ": fails without any allocation failing";
            return index;
        }
        EXPECT_FALSE(succeeded) << what << ": reported success although allocation " << index << " failed";
    }
}
