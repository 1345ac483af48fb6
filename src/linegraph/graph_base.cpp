#include "linegraph/graph_base.h"

namespace kelmira::linegraph {

HRESULT SavePart(IUnknown* part, IStream* stream, BOOL clearDirty) {
  if (!part) return E_POINTER;
  ComPtr<IPersistStreamInit> persist;
  const HRESULT hr = part->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
  return FAILED(hr) ? hr : persist->Save(stream, clearDirty);
}

HRESULT LoadPart(IUnknown* part, IStream* stream) {
  if (!part) return E_POINTER;
  ComPtr<IPersistStreamInit> persist;
  const HRESULT hr = part->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
  return FAILED(hr) ? hr : persist->Load(stream);
}

}  // namespace kelmira::linegraph
