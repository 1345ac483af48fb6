// The in-memory registry tree.
#include "com/registry_tree.h"

namespace kelmira::registry {
namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool NameEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

bool NameLess::operator()(std::string_view a, std::string_view b) const {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(FoldCase(a[i]));
    auto y = static_cast<unsigned char>(FoldCase(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

Key::~Key() {
  // Children are detached into a list and destroyed childless, one at a time.
  std::vector<std::unique_ptr<Key>> doomed;
  for (auto& [name, sub] : subkeys) doomed.push_back(std::move(sub));
  subkeys.clear();
  while (!doomed.empty()) {
    std::unique_ptr<Key> key = std::move(doomed.back());
    doomed.pop_back();
    for (auto& [name, sub] : key->subkeys) doomed.push_back(std::move(sub));
    key->subkeys.clear();
  }
}

Key::Key(const Key& other) : values(other.values) {
  std::vector<std::pair<const Key*, Key*>> pending{{&other, this}};
  while (!pending.empty()) {
    const auto [from, to] = pending.back();
    pending.pop_back();
    for (const auto& [name, sub] : from->subkeys) {
      auto copy = std::make_unique<Key>();
      copy->values = sub->values;
      pending.emplace_back(sub.get(), copy.get());
      to->subkeys.emplace(name, std::move(copy));
    }
  }
}

Key& Key::operator=(const Key& other) {
  if (this != &other) {
    Key copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Value* Key::FindValue(std::string_view valueName) {
  for (Value& v : values)
    if (NameEquals(v.name, valueName)) return &v;
  return nullptr;
}

const Value* Key::FindValue(std::string_view valueName) const { return const_cast<Key*>(this)->FindValue(valueName); }

Key* Key::FindSubkey(std::string_view subkeyName) {
  auto it = subkeys.find(subkeyName);
  return it == subkeys.end() ? nullptr : it->second.get();
}

const Key* Key::FindSubkey(std::string_view subkeyName) const { return const_cast<Key*>(this)->FindSubkey(subkeyName); }

const char* RootName(Root root) {
  switch (root) {
    case Root::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case Root::CurrentUser: return "HKEY_CURRENT_USER";
    case Root::LocalMachine: return "HKEY_LOCAL_MACHINE";
  }
  return "";
}

Key* FindKey(Tree& tree, Root root, const std::vector<std::string>& path) {
  Key* key = &tree.root(root);
  for (const std::string& name : path) {
    key = key->FindSubkey(name);
    if (!key) return nullptr;
  }
  return key;
}

const Key* FindKey(const Tree& tree, Root root, const std::vector<std::string>& path) {
  return FindKey(const_cast<Tree&>(tree), root, path);
}

}  // namespace kelmira::registry
