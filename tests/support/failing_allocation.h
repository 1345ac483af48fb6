// Global allocation functions that count and can be made to fail, for the allocation-failure
// tests. Linking failing_allocation.cpp replaces every operator new and delete of the program
// (the shared libraries resolve to them too); malloc and free stay underneath, so the sanitizers
// still see every block.
#pragma once

#include <cstdint>

namespace kelmira::test {

// Allocations made since the program started, and blocks not yet freed.
std::uint64_t AllocationCount();
std::int64_t LiveBlocks();

// The n-th allocation from now (n >= 1) fails: the throwing forms throw std::bad_alloc, the
// nothrow forms return null. Only that one fails; the ones after it succeed again.
void FailAllocation(std::uint64_t n);
// Cancels an armed failure; true when the failure happened.
bool DisarmAllocationFailure();

}  // namespace kelmira::test
