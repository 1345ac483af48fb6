// The table of open registry keys.
#include "com/registry_handles.h"

#include <mutex>
#include <unordered_map>

namespace kelmira::registry {
namespace {

constexpr std::uintptr_t kPredefinedBase = 0x80000000u;
// Handle values stay below the predefined keys; they are not reused until the counter wraps, so
// a closed handle is not silently taken for a newer one.
constexpr std::uint32_t kMaxHandle = 0x7FFFFFFF;

struct HandleTable {
  std::mutex mutex;
  std::unordered_map<std::uint32_t, KeyRef> open;
  std::uint32_t next = 1;
};

HandleTable& Table() {
  static HandleTable* table = new HandleTable();  // outlives static destructors that close keys
  return *table;
}

}  // namespace

LONG ResolveHandle(HKEY key, KeyRef* out) {
  auto value = reinterpret_cast<std::uintptr_t>(key);
  if (value >= kPredefinedBase && value < kPredefinedBase + kRootCount) {
    *out = KeyRef{static_cast<Root>(value - kPredefinedBase), {}, KEY_ALL_ACCESS};
    return ERROR_SUCCESS;
  }
  if (value == 0 || value > kMaxHandle) return ERROR_INVALID_HANDLE;
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  auto it = table.open.find(static_cast<std::uint32_t>(value));
  if (it == table.open.end()) return ERROR_INVALID_HANDLE;
  *out = it->second;
  return ERROR_SUCCESS;
}

LONG OpenHandle(KeyRef ref, HKEY* out) {
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  if (table.open.size() >= kMaxHandle - 1) return ERROR_NOT_ENOUGH_MEMORY;
  while (table.open.count(table.next)) table.next = table.next >= kMaxHandle ? 1 : table.next + 1;
  std::uint32_t id = table.next;
  table.next = table.next >= kMaxHandle ? 1 : table.next + 1;
  table.open.emplace(id, std::move(ref));
  *out = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(id));
  return ERROR_SUCCESS;
}

LONG CloseHandle(HKEY key) {
  auto value = reinterpret_cast<std::uintptr_t>(key);
  if (value >= kPredefinedBase && value < kPredefinedBase + kRootCount) return ERROR_SUCCESS;
  if (value == 0 || value > kMaxHandle) return ERROR_INVALID_HANDLE;
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  return table.open.erase(static_cast<std::uint32_t>(value)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace kelmira::registry
