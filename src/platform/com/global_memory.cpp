// HGLOBAL memory blocks. Handles are small integers from a table, so a freed or invented handle
// is recognised instead of being dereferenced. GlobalLock gives the block's bytes; the pointer
// stays valid until the block is resized (GlobalReAlloc, or a stream writing past its end).
#include "com/memory_block.h"

#include <kelmira/platform/guarded.h>

#include <unordered_map>

namespace kelmira::memory {
namespace {

struct GlobalTable {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<Block>> blocks;
  std::uintptr_t next = 1;
};

GlobalTable& Globals() {
  static GlobalTable* table = new GlobalTable();  // outlives streams released by static destructors
  return *table;
}

constexpr std::uintptr_t kMaxHandle = 0x7FFFFFFF;

}  // namespace

std::shared_ptr<Block> FindGlobal(HGLOBAL handle) {
  GlobalTable& table = Globals();
  std::lock_guard lock(table.mutex);
  auto it = table.blocks.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == table.blocks.end() ? nullptr : it->second;
}

}  // namespace kelmira::memory

using namespace kelmira::memory;

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  if (dwBytes > kMaxBlockSize) return nullptr;
  return kelmira::GuardedOr(HGLOBAL{}, [&]() -> HGLOBAL {
    auto block = std::make_shared<Block>();
    block->bytes.resize(dwBytes);  // always zeroed, GMEM_ZEROINIT or not
    GlobalTable& table = Globals();
    std::lock_guard lock(table.mutex);
    if (table.blocks.size() >= kMaxHandle - 1) return nullptr;
    while (table.blocks.count(table.next)) table.next = table.next >= kMaxHandle ? 1 : table.next + 1;
    std::uintptr_t id = table.next;
    table.next = table.next >= kMaxHandle ? 1 : table.next + 1;
    table.blocks.emplace(id, std::move(block));
    return reinterpret_cast<HGLOBAL>(id);
  });
}

HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
  if (dwBytes > kMaxBlockSize) return nullptr;
  std::shared_ptr<Block> block = FindGlobal(hMem);
  if (!block) return nullptr;
  return kelmira::GuardedOr(HGLOBAL{}, [&] {
    std::lock_guard lock(block->mutex);
    block->bytes.resize(dwBytes);
    return hMem;
  });
}

// Null on success; the handle itself when it is not allocated, as on the desktop platform.
HGLOBAL GlobalFree(HGLOBAL hMem) {
  if (!hMem) return nullptr;
  std::shared_ptr<Block> doomed;  // released outside the table lock
  GlobalTable& table = Globals();
  std::lock_guard lock(table.mutex);
  auto it = table.blocks.find(reinterpret_cast<std::uintptr_t>(hMem));
  if (it == table.blocks.end()) return hMem;
  doomed = std::move(it->second);
  table.blocks.erase(it);
  return nullptr;
}

LPVOID GlobalLock(HGLOBAL hMem) {
  std::shared_ptr<Block> block = FindGlobal(hMem);
  if (!block) return nullptr;
  std::lock_guard lock(block->mutex);
  ++block->locks;
  return block->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL hMem) {
  std::shared_ptr<Block> block = FindGlobal(hMem);
  if (!block) return FALSE;
  std::lock_guard lock(block->mutex);
  if (block->locks > 0) --block->locks;
  return block->locks > 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL hMem) {
  std::shared_ptr<Block> block = FindGlobal(hMem);
  if (!block) return 0;
  std::lock_guard lock(block->mutex);
  return block->bytes.size();
}
