// A dispatch sink that records every event it is sent, for any event source.
#pragma once

#include <kelmira/platform.h>

#include <functional>
#include <string>
#include <vector>

namespace kelmira::test {

struct EventCall {
  std::string sink;
  DISPID id = 0;
  std::vector<Variant> args;  // as received: last argument first
  // A method call for IID_NULL in the user's default locale, without named arguments or result.
  bool plain = false;

  // Argument k in declaration order, converted to a 32-bit integer.
  LONG Long(std::size_t k) const;
  // Every argument in declaration order, converted to 32-bit integers.
  std::vector<LONG> Longs() const;
};

class EventRecorder : public IDispatch {
 public:
  using Interfaces = InterfaceTable<IDispatch>;

  // Records into its own log, or into a log shared with other recorders (to see the order in
  // which a source calls several sinks).
  explicit EventRecorder(std::string name = {}, std::vector<EventCall>* log = nullptr)
      : name_(std::move(name)), log_(log ? log : &own_) {}
  ~EventRecorder() { *destroyed = true; }
  static ComPtr<Object<EventRecorder>> Make(std::string name = {}, std::vector<EventCall>* log = nullptr);

  HRESULT QueryInterfaceExtra(REFIID riid, void** ppv);

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) override;

  // Connects to `source`'s connection point for `events`; the cookie, 0 on failure.
  DWORD Advise(IUnknown* source, REFIID events);

  const std::vector<EventCall>& Calls() const { return *log_; }
  void Clear() { log_->clear(); }
  // The dispatch ids received, in order, leaving out `except` (0: none left out).
  std::vector<DISPID> Ids(DISPID except = 0) const;

  HRESULT answer = S_OK;           // what Invoke returns
  bool throws = false;             // Invoke throws after recording
  bool* destroyed = &gone_;        // set when the recorder goes
  IID alsoAnswers = IID_NULL;      // an event interface it answers besides IDispatch
  std::function<void()> onInvoke;  // runs after recording

 private:
  bool gone_ = false;
  std::string name_;
  std::vector<EventCall> own_;
  std::vector<EventCall>* log_;
};

}  // namespace kelmira::test
