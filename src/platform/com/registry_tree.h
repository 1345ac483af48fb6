// The registry's contents in memory: three root keys with subkeys and typed values, and their
// text form (see registry_text.cpp for the file format).
#pragma once

#include <kelmira/platform/registry.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelmira::registry {

// Key and value names compare without regard to ASCII case, as on the desktop platform.
bool NameEquals(std::string_view a, std::string_view b);
struct NameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

struct Value {
  std::string name;  // empty: the key's default value
  DWORD type = REG_NONE;
  std::string data;  // REG_SZ/REG_EXPAND_SZ: the text without its NUL; otherwise the raw bytes
};

// How many keys deep a path below a root may go, as on the desktop platform: deeper keys are
// refused by the API and make a file damaged, so that no walk over the tree runs without bound.
constexpr std::size_t kMaxKeyDepth = 512;
// Longest key and value names in bytes, as on the desktop platform; the API refuses longer ones
// and a file holding one is damaged, so that every name read can be opened again.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;

// Copying and destroying go key by key without recursion, so depth never costs stack.
struct Key {
  Key() = default;
  ~Key();
  Key(const Key& other);
  Key& operator=(const Key& other);
  Key(Key&&) = default;
  Key& operator=(Key&&) = default;

  Value* FindValue(std::string_view valueName);
  const Value* FindValue(std::string_view valueName) const;
  Key* FindSubkey(std::string_view subkeyName);
  const Key* FindSubkey(std::string_view subkeyName) const;
  bool Empty() const { return values.empty() && subkeys.empty(); }

  std::vector<Value> values;                                      // in the order they were set
  std::map<std::string, std::unique_ptr<Key>, NameLess> subkeys;  // sorted, as enumeration gives them
};

enum class Root { ClassesRoot = 0, CurrentUser = 1, LocalMachine = 2 };
constexpr int kRootCount = 3;
const char* RootName(Root root);

struct Tree {
  Key roots[kRootCount];
  Key& root(Root r) { return roots[static_cast<int>(r)]; }
  const Key& root(Root r) const { return roots[static_cast<int>(r)]; }
};

// Walks a path of key names from a root; null when a key on the way is missing.
Key* FindKey(Tree& tree, Root root, const std::vector<std::string>& path);
const Key* FindKey(const Tree& tree, Root root, const std::vector<std::string>& path);

std::string FormatText(const Tree& tree);
// Reads the text form; on failure leaves `out` untouched and says why (with the line number).
bool ParseText(std::string_view text, Tree* out, std::string* error);

}  // namespace kelmira::registry
