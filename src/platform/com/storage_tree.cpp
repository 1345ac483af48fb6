// Element names and copies of storage trees.
#include "com/storage_tree.h"
#include "com/utf16_util.h"

namespace kelmira::storage {
namespace {

char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace

bool FoldLess::operator()(std::u16string_view a, std::u16string_view b) const {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    char16_t x = Fold(a[i]);
    char16_t y = Fold(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool IsValidName(std::u16string_view name) {
  if (name.empty() || name.size() > kMaxNameLength) return false;
  for (char16_t c : name)
    if (c < 0x20 || c == u'\\' || c == u'/' || c == u':' || c == u'!') return false;
  return true;
}

HRESULT CheckName(const OLECHAR* name, std::u16string* out) {
  if (!name) return STG_E_INVALIDNAME;
  std::u16string_view view = utf16::View(name);
  if (!IsValidName(view)) return STG_E_INVALIDNAME;
  out->assign(view);
  return S_OK;
}

std::shared_ptr<Node> DeepCopy(const Node& node) {
  auto copy = std::make_shared<Node>();
  copy->clsid = node.clsid;
  copy->stateBits = node.stateBits;
  for (const auto& [key, element] : node.elements) {
    Element e{element.name, nullptr, nullptr};
    if (element.stream) {
      e.stream = std::make_shared<memory::Block>();
      std::lock_guard lock(element.stream->mutex);
      e.stream->bytes = element.stream->bytes;
    } else if (element.storage) {
      e.storage = DeepCopy(*element.storage);
    }
    copy->elements.emplace(key, std::move(e));
  }
  return copy;
}

}  // namespace kelmira::storage
