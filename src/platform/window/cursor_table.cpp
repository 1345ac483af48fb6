#include "window/cursor_table.h"

#include <algorithm>
#include <array>

namespace kelmira::window {
namespace {

constexpr std::array<WORD, 16> kCursorIds{32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                          32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
constexpr WORD kFirstIconId = 32512;
constexpr WORD kLastIconId = 32518;  // IDI_SHIELD
constexpr std::uintptr_t kIconBase = 0x10000;

bool IsCursorId(std::uintptr_t id) { return std::find(kCursorIds.begin(), kCursorIds.end(), id) != kCursorIds.end(); }

}  // namespace

HCURSOR SystemCursor(LPCSTR name) {
  if (!IS_INTRESOURCE(name)) return nullptr;
  auto id = reinterpret_cast<std::uintptr_t>(name);
  if (!IsCursorId(id)) return nullptr;
  return reinterpret_cast<HCURSOR>(id);
}

HICON SystemIcon(LPCSTR name) {
  if (!IS_INTRESOURCE(name)) return nullptr;
  auto id = reinterpret_cast<std::uintptr_t>(name);
  if (id < kFirstIconId || id > kLastIconId) return nullptr;
  return reinterpret_cast<HICON>(kIconBase + id);
}

bool IsSystemCursor(HCURSOR cursor) { return IsCursorId(reinterpret_cast<std::uintptr_t>(cursor)); }

}  // namespace kelmira::window
