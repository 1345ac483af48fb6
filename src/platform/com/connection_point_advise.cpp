// AtlAdvise and AtlUnadvise: connecting a sink through the source's container.
#include <memory>
#include <kelmira/platform/connection_points.h>

namespace {

HRESULT FindPoint(IUnknown* source, REFIID iid, kelmira::ComPtr<IConnectionPoint>* point) {
  kelmira::ComPtr<IConnectionPointContainer> container;
  HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
  if (FAILED(hr)) return hr;
  if (!container) return E_NOINTERFACE;
  hr = container->FindConnectionPoint(iid, &*point);
  if (SUCCEEDED(hr) && !*point) return E_UNEXPECTED;
  return hr;
}

}  // namespace

HRESULT AtlAdvise(IUnknown* pUnkCP, IUnknown* pUnk, REFIID iid, DWORD* pdw) {
  if (!pdw) return E_POINTER;
  *pdw = 0;
  if (!pUnkCP || !pUnk) return E_INVALIDARG;
  kelmira::ComPtr<IConnectionPoint> point;
  HRESULT hr = FindPoint(pUnkCP, iid, std::addressof(point));
  if (FAILED(hr)) return hr;
  return point->Advise(pUnk, pdw);
}

HRESULT AtlUnadvise(IUnknown* pUnkCP, REFIID iid, DWORD dw) {
  if (!pUnkCP) return E_INVALIDARG;
  kelmira::ComPtr<IConnectionPoint> point;
  HRESULT hr = FindPoint(pUnkCP, iid, std::addressof(point));
  if (FAILED(hr)) return hr;
  return point->Unadvise(dw);
}
