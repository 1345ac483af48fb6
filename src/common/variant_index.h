// Finding an item of a list by a VARIANT index, as layer stacks and line lists are searched: a
// string (also one passed by reference) selects the first item whose name equals it without
// regard to case (NamesEqualIgnoringCase); any other value is converted to a 32-bit integer and
// selects by zero-based position.
#pragma once

#include "common/name_compare.h"

#include <kelmira/kelmira.h>

#include <cstddef>
#include <optional>

namespace kelmira::common {

// S_OK with *position set to the item found, or empty when none is (a position outside
// 0..count-1 included). A VARIANT that cannot be copied or converted fails with the
// conversion's HRESULT and leaves *position empty. nameEquals(i, name) tells whether item i has
// that name; it may call out of the library, so the count is the caller's promise only for the
// first item, and nameEquals must itself answer false for an item that has gone.
template <class NameEquals>
HRESULT FindByVariantIndex(const VARIANT& index, std::size_t count, NameEquals&& nameEquals,
                           std::optional<std::size_t>* position) {
  *position = std::nullopt;
  Variant copy;
  HRESULT hr = VariantCopyInd(&copy, &index);
  if (FAILED(hr)) return hr;
  if (copy.vt == VT_BSTR) {
    for (std::size_t i = 0; i < count; ++i)
      if (nameEquals(i, copy.bstrVal)) {
        *position = i;
        break;
      }
    return S_OK;
  }
  if (copy.vt != VT_I4) {
    hr = VariantChangeType(&copy, &copy, 0, VT_I4);
    if (FAILED(hr)) return hr;
  }
  if (copy.lVal >= 0 && static_cast<std::size_t>(copy.lVal) < count) *position = static_cast<std::size_t>(copy.lVal);
  return S_OK;
}

}  // namespace kelmira::common
