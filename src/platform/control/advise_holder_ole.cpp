// CreateOleAdviseHolder: the connections of IOleObject::Advise and the notifications they hear.
#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleidl.h>

#include "control/statdata_enum.h"

namespace kelmira {
namespace {

class OleAdviseHolder : public IOleAdviseHolder {
 public:
  using Interfaces = InterfaceTable<IOleAdviseHolder>;

  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* pAdvise, DWORD* pdwConnection) override {
    if (pdwConnection) *pdwConnection = 0;
    if (!pAdvise || !pdwConnection) return E_INVALIDARG;
    if (nextCookie_ == 0) return E_OUTOFMEMORY;  // every cookie has been handed out
    HRESULT hr = Guarded([&] {
      AdviseConnection connection;
      connection.cookie = nextCookie_;
      connection.format.dwAspect = DVASPECT_CONTENT;
      connection.format.lindex = -1;
      connection.sink = pAdvise;
      connections_.push_back(std::move(connection));
    });
    if (FAILED(hr)) return hr;
    *pdwConnection = nextCookie_++;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwConnection) override {
    for (auto it = connections_.begin(); it != connections_.end(); ++it) {
      if (it->cookie != dwConnection) continue;
      connections_.erase(it);
      return S_OK;
    }
    return OLE_E_NOCONNECTION;
  }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** ppenumAdvise) override {
    return MakeStatDataEnum(connections_, ppenumAdvise);
  }
  HRESULT STDMETHODCALLTYPE SendOnRename(IMoniker* pmk) override {
    if (!pmk) return E_INVALIDARG;
    return Send([pmk](IAdviseSink* sink) { sink->OnRename(pmk); });
  }
  HRESULT STDMETHODCALLTYPE SendOnSave() override {
    return Send([](IAdviseSink* sink) { sink->OnSave(); });
  }
  HRESULT STDMETHODCALLTYPE SendOnClose() override {
    return Send([](IAdviseSink* sink) { sink->OnClose(); });
  }

 private:
  // Sinks of a snapshot, so that a sink may unadvise (itself or another) while it is told.
  template <class F>
  HRESULT Send(F&& tell) {
    std::vector<ComPtr<IAdviseSink>> sinks;
    HRESULT hr = Guarded([&] {
      for (const AdviseConnection& c : connections_) sinks.push_back(c.sink);
    });
    if (FAILED(hr)) return hr;
    for (const auto& sink : sinks) tell(sink.get());
    return S_OK;
  }

  std::vector<AdviseConnection> connections_;
  DWORD nextCookie_ = 1;
};

}  // namespace
}  // namespace kelmira

KELMIRA_EXTERN_C HRESULT CreateOleAdviseHolder(IOleAdviseHolder** ppOAHolder) {
  using kelmira::Object;
  if (!ppOAHolder) return E_POINTER;
  *ppOAHolder = nullptr;
  kelmira::ComPtr<Object<kelmira::OleAdviseHolder>> holder;
  HRESULT hr = Object<kelmira::OleAdviseHolder>::Make(&holder);
  if (FAILED(hr)) return hr;
  *ppOAHolder = holder.Detach();
  return S_OK;
}
