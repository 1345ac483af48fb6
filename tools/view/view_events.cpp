#include "view/view_events.h"

#include <kelmira/platform.h>
#include <kelmira/platform/atlhost.h>
#include <kelmira/platform/com_object.h>

#include <utility>

namespace kelmira::view {

class ContainerEventSink::Sink : public IDispatch {
 public:
  using Interfaces = InterfaceTable<IDispatch>;
  explicit Sink(ContainerEvents events) : events_(std::move(events)) {}

  HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) {
    if (!IsEqualIID(riid, DIID_IGraphicsEvents)) return E_NOINTERFACE;
    AddRef();
    *ppv = static_cast<IDispatch*>(this);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return count ? S_OK : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    switch (id) {
      case 1: return Mouse(params);
      case 2:
        if (events_.viewChanged) events_.viewChanged();
        return S_OK;
      case 3:
        if (events_.userZoom) events_.userZoom();
        return S_OK;
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  // The arguments come last first.
  HRESULT Mouse(DISPPARAMS* params) {
    if (!params || params->cArgs != 4) return DISP_E_BADPARAMCOUNT;
    LONG v[4] = {};
    for (UINT i = 0; i < 4; ++i) {
      Variant converted;
      if (FAILED(VariantChangeType(&converted, &params->rgvarg[3 - i], 0, VT_I4))) return DISP_E_TYPEMISMATCH;
      v[i] = converted.lVal;
    }
    if (events_.mouse) events_.mouse(v[0], v[1], v[2], v[3]);
    return S_OK;
  }

  ContainerEvents events_;
};

ContainerEventSink::ContainerEventSink(IGraphicsContainer* container, ContainerEvents events) : container_(container) {
  ComPtr<Object<Sink>> sink;
  if (!container || FAILED(Object<Sink>::Make(&sink, std::move(events)))) return;
  sink_ = ComPtr<IDispatch>(static_cast<IDispatch*>(sink.get()));
  if (FAILED(AtlAdvise(container, sink_.get(), DIID_IGraphicsEvents, &cookie_))) cookie_ = 0;
}

ContainerEventSink::~ContainerEventSink() {
  if (cookie_) AtlUnadvise(container_.get(), DIID_IGraphicsEvents, cookie_);
}

}  // namespace kelmira::view
