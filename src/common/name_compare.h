// Name lookups of layers and lines compare as the C library's wide case-insensitive compare does
// in the default locale: up to the first NUL, folding only A-Z; a null name equals an empty one.
#pragma once

#include <kelmira/platform/types.h>

namespace kelmira::common {

inline bool NamesEqualIgnoringCase(const OLECHAR* a, const OLECHAR* b) {
  auto fold = [](OLECHAR c) { return (c >= u'A' && c <= u'Z') ? static_cast<OLECHAR>(c - u'A' + u'a') : c; };
  static constexpr OLECHAR kEmpty[] = u"";
  if (!a) a = kEmpty;
  if (!b) b = kEmpty;
  for (;; ++a, ++b) {
    if (fold(*a) != fold(*b)) return false;
    if (*a == 0) return true;
  }
}

}  // namespace kelmira::common
