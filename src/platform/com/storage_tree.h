// The contents of an in-memory storage: a tree of nodes whose elements are streams (byte blocks)
// and sub-storages. Element names compare without regard to ASCII case, as on the desktop
// platform, and keep the case they were created with.
#pragma once

#include "com/memory_block.h"

#include <kelmira/platform/guarded.h>

#include <map>
#include <string>
#include <utility>

namespace kelmira::storage {

// Names are 1..31 characters and contain none of '\', '/', ':', '!' (nor control characters).
constexpr std::size_t kMaxNameLength = 31;
// Nesting deeper than this is refused when saving and treated as damage when loading.
constexpr int kMaxDepth = 64;

struct FoldLess {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const;
};

struct Node;

struct Element {
  std::u16string name;
  std::shared_ptr<memory::Block> stream;  // a stream ...
  std::shared_ptr<Node> storage;          // ... or a storage
};

struct Node {
  CLSID clsid = CLSID_NULL;
  DWORD stateBits = 0;
  std::map<std::u16string, Element, FoldLess> elements;
};

bool IsValidName(std::u16string_view name);
// STG_E_INVALIDNAME for a missing or bad name.
HRESULT CheckName(const OLECHAR* name, std::u16string* out);
// A copy that shares nothing with the original.
std::shared_ptr<Node> DeepCopy(const Node& node);

// An IStorage over a node; `name` is what Stat reports (empty for a root).
HRESULT CreateStorageObject(std::shared_ptr<Node> node, std::u16string name, IStorage** out);

// A snapshot of one element for EnumElements.
struct ElementInfo {
  std::u16string name;
  DWORD type;
  std::uint64_t size;
  CLSID clsid;
  DWORD stateBits;
};
HRESULT CreateElementEnumerator(std::vector<ElementInfo> elements, IEnumSTATSTG** out);

// The boundary of a storage call: storages name a lack of memory STG_E_INSUFFICIENTMEMORY.
template <class F>
HRESULT StorageGuarded(F&& body) {
  return Guarded(std::forward<F>(body), STG_E_INSUFFICIENTMEMORY);
}

}  // namespace kelmira::storage
