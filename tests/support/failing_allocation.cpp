#include "support/failing_allocation.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace kelmira::test {
namespace {

std::atomic<std::uint64_t> gAllocations{0};
std::atomic<std::int64_t> gLive{0};
// Allocations left before the failing one; 0 when nothing is armed.
std::atomic<std::uint64_t> gCountdown{0};
std::atomic<bool> gFailed{false};

bool ShouldFail() {
  std::uint64_t left = gCountdown.load(std::memory_order_relaxed);
  while (left != 0 && !gCountdown.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
  }
  if (left != 1) return false;
  gFailed.store(true, std::memory_order_relaxed);
  return true;
}

void* Allocate(std::size_t size, std::size_t alignment) noexcept {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (ShouldFail()) return nullptr;
  if (size == 0) size = 1;
  void* block = nullptr;
  if (alignment <= alignof(std::max_align_t))
    block = std::malloc(size);
  else if (posix_memalign(&block, alignment, size) != 0)
    block = nullptr;
  if (block) gLive.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment) {
  void* block = Allocate(size, alignment);
  if (!block) throw std::bad_alloc();
  return block;
}

void Free(void* block) noexcept {
  if (!block) return;
  gLive.fetch_sub(1, std::memory_order_relaxed);
  std::free(block);
}

constexpr std::size_t kPlain = alignof(std::max_align_t);

}  // namespace

std::uint64_t AllocationCount() { return gAllocations.load(); }
std::int64_t LiveBlocks() { return gLive.load(); }

void FailAllocation(std::uint64_t n) {
  gFailed = false;
  gCountdown = n;
}

bool DisarmAllocationFailure() {
  gCountdown = 0;
  return gFailed.exchange(false);
}

}  // namespace kelmira::test

using kelmira::test::Allocate;
using kelmira::test::AllocateOrThrow;
using kelmira::test::Free;
using kelmira::test::kPlain;

void* operator new(std::size_t n) { return AllocateOrThrow(n, kPlain); }
void* operator new[](std::size_t n) { return AllocateOrThrow(n, kPlain); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n, kPlain); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n, kPlain); }
void* operator new(std::size_t n, std::align_val_t a) { return AllocateOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return AllocateOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}

void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }
void operator delete(void* p, std::align_val_t) noexcept { Free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Free(p); }
