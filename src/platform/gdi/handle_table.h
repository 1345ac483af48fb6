// Handle tables: objects owned by a table and named by small integers.
//
// A handle value packs a slot index (bits 0..17), the slot's generation (bits 18..26) and a kind
// tag (bits 27..30, the OBJ_* value of the object), so it fits in 31 bits, is never 0, and a
// stale handle (slot reused) or a handle of another kind does not resolve. Freed slots are reused
// oldest first, which keeps a just-freed handle invalid for as long as possible.
//
// Remove never allocates: it runs in destructors and in the Delete* calls that clean up after a
// failure, so the ring of freed indices gets its room when a slot is added, not when one is freed.
//
// Objects live in their own allocation, so a pointer from Find stays valid until Remove. The
// table's mutex guards the table itself; callers that change shared bookkeeping of an object
// (selection counts, pending deletion) hold Lock() while they do it.
#pragma once

#include <kelmira/platform/types.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace kelmira::gdi {

namespace handle_bits {
constexpr unsigned kIndexBits = 18;
constexpr unsigned kGenerationBits = 9;
constexpr unsigned kKindBits = 4;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr std::uint32_t kGenerationMask = (1u << kGenerationBits) - 1;
constexpr std::uint32_t kKindMask = (1u << kKindBits) - 1;
constexpr unsigned kGenerationShift = kIndexBits;
constexpr unsigned kKindShift = kIndexBits + kGenerationBits;
}  // namespace handle_bits

constexpr std::uint32_t MakeHandleValue(std::uint32_t index, std::uint32_t generation, UINT kind) {
  using namespace handle_bits;
  return (index & kIndexMask) | ((generation & kGenerationMask) << kGenerationShift) |
         ((kind & kKindMask) << kKindShift);
}
constexpr UINT HandleKind(std::uint32_t value) { return (value >> handle_bits::kKindShift) & handle_bits::kKindMask; }

template <class T>
class HandleTable {
 public:
  std::mutex& Lock() const { return mutex_; }

  // 0 when the table is full.
  std::uint32_t Add(std::unique_ptr<T> object, UINT kind) {
    std::lock_guard lock(mutex_);
    return AddLocked(std::move(object), kind);
  }

  std::uint32_t AddLocked(std::unique_ptr<T> object, UINT kind) {
    std::uint32_t index = 0;
    if (freeCount_ > 0) {
      index = free_[freeHead_];
      freeHead_ = (freeHead_ + 1) % free_.size();
      --freeCount_;
    } else {
      if (slots_.size() >= handle_bits::kIndexMask) return 0;
      if (slots_.empty()) slots_.emplace_back();  // slot 0 is never used: handle 0 means none
      // The ring is empty here, so it grows without moving anything.
      if (free_.size() < slots_.size()) free_.resize(slots_.size());
      freeHead_ = 0;
      index = static_cast<std::uint32_t>(slots_.size());
      slots_.emplace_back();
    }
    Slot& slot = slots_[index];
    slot.object = std::move(object);
    slot.kind = kind;
    return MakeHandleValue(index, slot.generation, kind);
  }

  // The object named by value when it is live and of kind `kind` (0 accepts any kind).
  T* Find(std::uint32_t value, UINT kind = 0) const {
    std::lock_guard lock(mutex_);
    return FindLocked(value, kind);
  }

  T* FindLocked(std::uint32_t value, UINT kind = 0) const {
    const Slot* slot = SlotOf(value);
    if (!slot) return nullptr;
    if (kind != 0 && slot->kind != kind) return nullptr;
    return slot->object.get();
  }

  // Takes the object out of the table; its handle becomes stale. Null for an invalid handle.
  std::unique_ptr<T> Remove(std::uint32_t value) {
    std::lock_guard lock(mutex_);
    return RemoveLocked(value);
  }

  std::unique_ptr<T> RemoveLocked(std::uint32_t value) {
    Slot* slot = const_cast<Slot*>(SlotOf(value));
    if (!slot) return nullptr;
    std::unique_ptr<T> object = std::move(slot->object);
    slot->generation = (slot->generation + 1) & handle_bits::kGenerationMask;
    free_[(freeHead_ + freeCount_) % free_.size()] = value & handle_bits::kIndexMask;
    ++freeCount_;
    return object;
  }

 private:
  struct Slot {
    std::unique_ptr<T> object;
    std::uint32_t generation = 0;
    UINT kind = 0;
  };

  const Slot* SlotOf(std::uint32_t value) const {
    using namespace handle_bits;
    std::uint32_t index = value & kIndexMask;
    if (index == 0 || index >= slots_.size()) return nullptr;
    const Slot& slot = slots_[index];
    if (!slot.object) return nullptr;
    if (((value >> kGenerationShift) & kGenerationMask) != slot.generation) return nullptr;
    if (HandleKind(value) != (slot.kind & kKindMask)) return nullptr;
    if (value >> (kKindShift + kKindBits)) return nullptr;
    return &slot;
  }

  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  // Freed indices, oldest at freeHead_; room for every slot but slot 0.
  std::vector<std::uint32_t> free_;
  std::size_t freeHead_ = 0;
  std::size_t freeCount_ = 0;
};

template <class H>
std::uint32_t HandleValue(H handle) {
  std::uintptr_t v = reinterpret_cast<std::uintptr_t>(handle);
  if (v > 0xFFFFFFFFu) return 0;  // not one of ours: resolves to nothing
  return static_cast<std::uint32_t>(v);
}
template <class H>
H HandleFromValue(std::uint32_t value) {
  return reinterpret_cast<H>(static_cast<std::uintptr_t>(value));
}

}  // namespace kelmira::gdi
