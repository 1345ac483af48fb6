#include "axes/container_subscription.h"

namespace kelmira::axes {
namespace {

constexpr DISPID kOnViewChanged = 2;

}  // namespace

class ContainerSubscription::Sink : public IDispatch {
 public:
  using Interfaces = InterfaceTable<IDispatch>;

  explicit Sink(ViewChangeTarget* target) : target_(target) {}
  void Forget() { target_ = nullptr; }

  HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) {
    if (!IsEqualIID(riid, DIID_IGraphicsEvents)) return E_NOINTERFACE;
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    if (id == kOnViewChanged && target_) target_->ContainerViewChanged();
    return S_OK;
  }

 private:
  ViewChangeTarget* target_;
};

HRESULT ContainerSubscription::Begin(IGraphicsContainer* container, ViewChangeTarget* target) {
  End();
  if (!container) return S_OK;
  ComPtr<Object<Sink>> sink;
  HRESULT hr = Object<Sink>::Make(&sink, target);
  if (FAILED(hr)) return hr;
  DWORD cookie = 0;
  hr = AtlAdvise(container, static_cast<IDispatch*>(sink.get()), DIID_IGraphicsEvents, &cookie);
  if (FAILED(hr)) return hr;
  container_ = ComPtr<IGraphicsContainer>(container);
  sink_ = sink.get();
  sinkReference_ = ComPtr<IDispatch>(static_cast<IDispatch*>(sink.get()));
  cookie_ = cookie;
  return S_OK;
}

void ContainerSubscription::End() {
  if (sink_) sink_->Forget();
  if (container_ && cookie_) AtlUnadvise(container_.get(), DIID_IGraphicsEvents, cookie_);
  container_.Reset();
  sinkReference_.Reset();
  sink_ = nullptr;
  cookie_ = 0;
}

}  // namespace kelmira::axes
