// The host's control: attaching (site, initialisation, extent, in-place activation) and letting
// go (deactivation, closing, release).
#include "control/ax_host.h"

namespace kelmira::control {

HRESULT AxHost::AttachControl(IUnknown* control, bool initialise, IStream* stream) {
  if (!control) return E_INVALIDARG;
  ComPtr<IUnknown> keepAlive(static_cast<IOleClientSite*>(this));
  ReleaseControl();
  control_ = control;
  control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&oleObject_));
  if (!oleObject_) {
    // Not an embeddable object: the host only keeps it.
    if (!initialise) return S_OK;
    HRESULT hr = Initialise(stream);
    if (FAILED(hr)) ReleaseControl();
    return hr;
  }

  miscStatus_ = 0;
  oleObject_->GetMiscStatus(DVASPECT_CONTENT, &miscStatus_);
  IOleClientSite* site = this;
  const bool siteFirst = (miscStatus_ & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (siteFirst) oleObject_->SetClientSite(site);
  if (initialise) {
    HRESULT hr = Initialise(stream);
    if (FAILED(hr)) {
      ReleaseControl();
      return hr;
    }
  }
  if (!siteFirst) oleObject_->SetClientSite(site);

  IAdviseSink* sink = this;
  oleObject_->Advise(sink, &adviseCookie_);
  control->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&viewObject_));
  if (viewObject_) viewObject_->SetAdvise(DVASPECT_CONTENT, 0, sink);
  oleObject_->SetHostNames(u"AXWIN", nullptr);

  if (miscStatus_ & OLEMISC_INVISIBLEATRUNTIME) return S_OK;
  HRESULT hr = Activate();
  if (FAILED(hr)) ReleaseControl();
  return hr;
}

HRESULT AxHost::Initialise(IStream* stream) {
  ComPtr<IPersistStreamInit> init;
  control_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&init));
  if (init) return stream ? init->Load(stream) : init->InitNew();
  if (!stream) return S_OK;
  ComPtr<IPersistStream> persist;
  control_->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist));
  return persist ? persist->Load(stream) : E_NOINTERFACE;
}

// The control takes the host's whole client area.
HRESULT AxHost::Activate() {
  RECT rc = ClientRect();
  SIZEL pixels{rc.right - rc.left, rc.bottom - rc.top};
  SIZEL himetric{};
  AtlPixelToHiMetric(&pixels, &himetric);
  oleObject_->SetExtent(DVASPECT_CONTENT, &himetric);
  HRESULT hr = oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, hwnd_, &rc);
  if (FAILED(hr)) return hr;
  ::InvalidateRect(hwnd_, nullptr, TRUE);
  return S_OK;
}

void AxHost::ReleaseControl() {
  if (releasing_ || !control_) return;
  releasing_ = true;
  ComPtr<IUnknown> keepAlive(static_cast<IOleClientSite*>(this));
  ComPtr<IUnknown> control = std::move(control_);
  ComPtr<IOleObject> oleObject = std::move(oleObject_);
  ComPtr<IViewObject> viewObject = std::move(viewObject_);
  if (viewObject) viewObject->SetAdvise(DVASPECT_CONTENT, 0, nullptr);
  if (oleObject) {
    ComPtr<IOleInPlaceObject> inPlace = inPlaceObject_;
    if (!inPlace) control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace));
    if (inPlace) inPlace->InPlaceDeactivate();
    if (adviseCookie_) oleObject->Unadvise(adviseCookie_);
    oleObject->Close(OLECLOSE_NOSAVE);
    oleObject->SetClientSite(nullptr);
  }
  adviseCookie_ = 0;
  miscStatus_ = 0;
  OnInPlaceDeactivateEx(TRUE);
  releasing_ = false;
}

void AxHost::Resize(int width, int height) {
  if (!oleObject_) return;
  SIZEL pixels{width, height};
  SIZEL himetric{};
  AtlPixelToHiMetric(&pixels, &himetric);
  oleObject_->SetExtent(DVASPECT_CONTENT, &himetric);
  if (inPlaceObject_) {
    RECT pos{0, 0, width, height};
    inPlaceObject_->SetObjectRects(&pos, &pos);
  }
}

}  // namespace kelmira::control
