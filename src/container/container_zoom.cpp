// The exported zoom functions: checks, then the container's own gesture operations.
#include "container/zoom_entry.h"

#include <kelmira/container_zoom.h>

#include <cmath>

namespace {

HRESULT ZoomEntry(IUnknown* container, kelmira::ComPtr<IKelmiraZoomEntry>& entry) {
  if (!container) return E_POINTER;
  return container->QueryInterface(IID_IKelmiraZoomEntry, reinterpret_cast<void**>(&entry));
}

}  // namespace

HRESULT KelmiraZoomByFactor(IUnknown* container, double factor, const double* x, const double* y) {
  kelmira::ComPtr<IKelmiraZoomEntry> entry;
  const HRESULT hr = ZoomEntry(container, entry);
  if (FAILED(hr)) return hr;
  if (!std::isfinite(factor) || factor <= 0.0 || (x == nullptr) != (y == nullptr)) return E_INVALIDARG;
  if (x && (!std::isfinite(*x) || !std::isfinite(*y))) return E_INVALIDARG;
  entry->EntryZoomByFactor(factor, x, y);
  return S_OK;
}

HRESULT KelmiraZoomToExtents(IUnknown* container) {
  kelmira::ComPtr<IKelmiraZoomEntry> entry;
  const HRESULT hr = ZoomEntry(container, entry);
  if (FAILED(hr)) return hr;
  entry->EntryZoomToExtents();
  return S_OK;
}
