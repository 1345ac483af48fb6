#include "support/event_recorder.h"

#include <utility>

namespace kelmira::test {

LONG EventCall::Long(std::size_t k) const {
  Variant converted;
  if (k >= args.size() || FAILED(VariantChangeType(&converted, &args[args.size() - 1 - k], 0, VT_I4))) return 0;
  return converted.lVal;
}

std::vector<LONG> EventCall::Longs() const {
  std::vector<LONG> out;
  for (std::size_t k = 0; k < args.size(); ++k) out.push_back(Long(k));
  return out;
}

ComPtr<Object<EventRecorder>> EventRecorder::Make(std::string name, std::vector<EventCall>* log) {
  ComPtr<Object<EventRecorder>> recorder;
  Object<EventRecorder>::Make(&recorder, std::move(name), log);
  return recorder;
}

HRESULT EventRecorder::QueryInterfaceExtra(REFIID riid, void** ppv) {
  if (IsEqualIID(alsoAnswers, IID_NULL) || !IsEqualIID(riid, alsoAnswers)) return E_NOINTERFACE;
  *ppv = static_cast<IDispatch*>(this);
  return (AddRef(), S_OK);
}

HRESULT EventRecorder::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO*, UINT*) {
  const bool plain = IsEqualIID(riid, IID_NULL) && lcid == LOCALE_USER_DEFAULT && flags == DISPATCH_METHOD && !result &&
                     !(params && params->cNamedArgs);
  EventCall call{name_, id, {}, plain};
  for (UINT i = 0; params && i < params->cArgs; ++i) VariantCopy(&call.args.emplace_back(), &params->rgvarg[i]);
  log_->push_back(std::move(call));
  if (onInvoke) onInvoke();
  if (throws) throw 42;
  return answer;
}

DWORD EventRecorder::Advise(IUnknown* source, REFIID events) {
  DWORD cookie = 0;
  return SUCCEEDED(AtlAdvise(source, static_cast<IDispatch*>(this), events, &cookie)) ? cookie : 0;
}

std::vector<DISPID> EventRecorder::Ids(DISPID except) const {
  std::vector<DISPID> ids;
  for (const EventCall& call : *log_)
    if (except == 0 || call.id != except) ids.push_back(call.id);
  return ids;
}

}  // namespace kelmira::test
