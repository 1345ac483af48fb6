#include "axes/axis_control.h"

namespace kelmira::axes {

HRESULT QueryOrEmpty(IUnknown* object, REFIID iid, void** out) {
  *out = nullptr;
  if (!object) return S_OK;
  const HRESULT hr = object->QueryInterface(iid, out);
  if (FAILED(hr)) *out = nullptr;
  return hr == E_NOINTERFACE ? S_OK : hr;
}

}  // namespace kelmira::axes
