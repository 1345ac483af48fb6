// The hosting functions: attaching and creating controls in windows, finding them again, and
// dialogs whose items may host controls.
#include "control/ax_host.h"

#include <kelmira/platform/combase.h>

using kelmira::ComPtr;
using kelmira::control::AxHost;

namespace {

HRESULT HandHost(AxHost* host, IUnknown** ppUnkContainer) {
  if (!ppUnkContainer) return S_OK;
  IUnknown* unknown = static_cast<IOleClientSite*>(host);
  unknown->AddRef();
  *ppUnkContainer = unknown;
  return S_OK;
}

}  // namespace

BOOL AtlAxWinInit() { return kelmira::control::EnsureHostWindowClass() ? TRUE : FALSE; }

HRESULT AtlAxAttachControl(IUnknown* pControl, HWND hWnd, IUnknown** ppUnkContainer) {
  if (ppUnkContainer) *ppUnkContainer = nullptr;
  if (!pControl) return E_INVALIDARG;
  AxHost* host = kelmira::control::HostForWindow(hWnd);
  if (!host) return E_INVALIDARG;
  HRESULT hr = host->AttachControl(pControl, false, nullptr);
  if (FAILED(hr)) return hr;
  return HandHost(host, ppUnkContainer);
}

HRESULT AtlAxCreateControl(LPCOLESTR lpszName, HWND hWnd, IStream* pStream, IUnknown** ppUnkContainer) {
  if (ppUnkContainer) *ppUnkContainer = nullptr;
  if (!lpszName || !*lpszName) return E_INVALIDARG;
  AxHost* host = kelmira::control::HostForWindow(hWnd);
  if (!host) return E_INVALIDARG;
  CLSID clsid{};
  HRESULT hr = CLSIDFromString(lpszName, &clsid);
  if (FAILED(hr)) return hr;
  ComPtr<IUnknown> control;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IUnknown,
                        reinterpret_cast<void**>(&control));
  if (FAILED(hr)) return hr;
  hr = host->AttachControl(control.get(), true, pStream);
  if (FAILED(hr)) return hr;
  return HandHost(host, ppUnkContainer);
}

HRESULT AtlAxGetControl(HWND h, IUnknown** pp) {
  if (!pp) return E_POINTER;
  *pp = nullptr;
  AxHost* host = kelmira::control::HostOfWindow(h);
  if (!host || !host->Control()) return E_FAIL;
  return host->Control()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(pp));
}

HRESULT AtlAxGetHost(HWND h, IUnknown** pp) {
  if (!pp) return E_POINTER;
  *pp = nullptr;
  AxHost* host = kelmira::control::HostOfWindow(h);
  if (!host) return E_FAIL;
  return HandHost(host, pp);
}
