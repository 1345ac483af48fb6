// The get/put pair of a property that is stored as it is given: most members of the components'
// interfaces. A null out-pointer gives E_POINTER.
#pragma once

#include <kelmira/platform/types.h>

namespace kelmira::common {

template <class T>
inline HRESULT GetStored(const T& field, T* out) {
  if (!out) return E_POINTER;
  *out = field;
  return S_OK;
}

template <class T>
inline HRESULT PutStored(T& field, T value) {
  field = value;
  return S_OK;
}

}  // namespace kelmira::common
