// The VARIANT indexes that collections take: a position or a name.
#pragma once

#include <kelmira/kelmira.h>

namespace kelmira::test {

inline Variant ByPosition(LONG position) {
  Variant v;
  v.vt = VT_I4, v.lVal = position;
  return v;
}

inline Variant ByName(const char16_t* name) {
  Variant v;
  v.vt = VT_BSTR, v.bstrVal = SysAllocString(name);
  return v;
}

inline Variant ByReal(double position) {
  Variant v;
  v.vt = VT_R8, v.dblVal = position;
  return v;
}

}  // namespace kelmira::test
