#pragma once

#include <cstdint>

// This test program's own operator new and delete: they count what is live and can be told to
// fail, so that a test can make any one allocation of the code under test fail.
namespace azuz::test {

enum class AllocationFault { BadAlloc, LengthError };

// The n-th allocation from now on (1: the next) throws; 0 takes a pending failure back.
void FailAllocation(long n, AllocationFault fault = AllocationFault::BadAlloc);
// Whether the failure asked for last (with n > 0) has happened.
bool AllocationFailed();
// Allocations not yet given back.
long LiveAllocations();

}  // namespace azuz::test
