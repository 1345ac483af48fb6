// An event source with two points and a dispatch sink that records what it is called with.
#pragma once

#include <kelmira/platform.h>

#include <functional>
#include <string>
#include <vector>

struct ITestEvents : IDispatch {};
KELMIRA_DEFINE_IID(ITestEvents, 0x5a3e61c0, 0x2b7d, 0x4c11, 0x8e, 0x90, 0x41, 0x6b, 0x22, 0x0d, 0x7a, 0x01);
struct IOtherEvents : IDispatch {};
KELMIRA_DEFINE_IID(IOtherEvents, 0x5a3e61c0, 0x2b7d, 0x4c11, 0x8e, 0x90, 0x41, 0x6b, 0x22, 0x0d, 0x7a, 0x02);

struct SinkCall {
  std::string sink;
  DISPID id;
  IID riid;
  LCID lcid;
  WORD flags;
  std::vector<VARIANT> args;  // as received: last argument first
  UINT namedArgs;
  bool wantsResult;
};

class Sink : public IDispatch {
 public:
  using Interfaces = kelmira::InterfaceTable<IDispatch>;

  Sink(std::string name, std::vector<SinkCall>* log) : name_(std::move(name)), log_(log) {}
  ~Sink() {
    if (destroyed) *destroyed = true;
  }

  static kelmira::ComPtr<kelmira::Object<Sink>> Make(std::string name, std::vector<SinkCall>* log) {
    kelmira::ComPtr<kelmira::Object<Sink>> s;
    kelmira::Object<Sink>::Make(&s, std::move(name), log);
    return s;
  }

  HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) {
    if (!answersEvents || !IsEqualIID(riid, IID_ITestEvents)) return E_NOINTERFACE;
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    std::vector<VARIANT> args(params->rgvarg, params->rgvarg + params->cArgs);
    log_->push_back({name_, id, riid, lcid, flags, args, params->cNamedArgs, result != nullptr});
    if (onInvoke) onInvoke();
    if (throws) throw 42;
    return answer;
  }

  bool answersEvents = true;  // answers IID_ITestEvents as well as IDispatch
  HRESULT answer = S_OK;
  bool throws = false;
  bool* destroyed = nullptr;
  std::function<void()> onInvoke;

 private:
  std::string name_;
  std::vector<SinkCall>* log_;
};

class Source : public kelmira::ConnectionPointContainerImpl {
 public:
  using Interfaces = kelmira::InterfaceTable<IConnectionPointContainer>;
  ~Source() {
    if (destroyed) *destroyed = true;
  }
  HRESULT FinalConstruct() {
    HRESULT hr = AddConnectionPoint(IID_ITestEvents, kelmira::SinkKind::Dispatch);
    if (SUCCEEDED(hr)) hr = AddConnectionPoint(IID_IPropertyNotifySink, kelmira::SinkKind::Interface);
    return hr;
  }
  kelmira::ConnectionPoint* Events() const { return ConnectionPointFor(IID_ITestEvents); }
  using ConnectionPointContainerImpl::AddConnectionPoint;

  bool* destroyed = nullptr;
};

inline kelmira::ComPtr<kelmira::Object<Source>> MakeSource() {
  kelmira::ComPtr<kelmira::Object<Source>> s;
  kelmira::Object<Source>::Make(&s);
  return s;
}
