// CreateDataAdviseHolder: the connections of IDataObject::DAdvise and their data-change
// notifications.
#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleidl.h>

#include "control/statdata_enum.h"

namespace kelmira {
namespace {

class DataAdviseHolder : public IDataAdviseHolder {
 public:
  using Interfaces = InterfaceTable<IDataAdviseHolder>;

  HRESULT STDMETHODCALLTYPE Advise(IDataObject* pDataObject, FORMATETC* pFetc, DWORD advf, IAdviseSink* pAdvise,
                                   DWORD* pdwConnection) override {
    if (pdwConnection) *pdwConnection = 0;
    if (!pFetc || !pAdvise || !pdwConnection) return E_INVALIDARG;
    if (nextCookie_ == 0) return E_OUTOFMEMORY;  // every cookie has been handed out
    AdviseConnection connection;
    HRESULT hr = Guarded([&] {
      connection.cookie = nextCookie_;
      AssignFormat(connection, *pFetc);
      connection.advf = advf;
      connection.sink = pAdvise;
      connections_.push_back(connection);
    });
    if (FAILED(hr)) return hr;
    *pdwConnection = nextCookie_++;
    if ((advf & ADVF_PRIMEFIRST) && pDataObject) {
      Notify(pDataObject, connection);
      if (advf & ADVF_ONLYONCE) Unadvise(connection.cookie);
    }
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
  // Tells a snapshot of the connections, so that sinks may unadvise while they are told; advf
  // (ADVF_DATAONSTOP) is accepted and has no effect, as there is no stopping here.
  HRESULT STDMETHODCALLTYPE SendOnDataChange(IDataObject* pDataObject, DWORD, DWORD) override {
    if (!pDataObject) return E_INVALIDARG;
    std::vector<AdviseConnection> snapshot;
    if (HRESULT hr = Guarded([&] { snapshot = connections_; }); FAILED(hr)) return hr;
    for (const AdviseConnection& c : snapshot) {
      if (!IsConnected(c.cookie)) continue;
      Notify(pDataObject, c);
      if (c.advf & ADVF_ONLYONCE) Unadvise(c.cookie);
    }
    return S_OK;
  }

 private:
  bool IsConnected(DWORD cookie) const {
    for (const AdviseConnection& c : connections_)
      if (c.cookie == cookie) return true;
    return false;
  }

  // The data travels with the notification unless the connection asked for none; a data object
  // that cannot render the format still has its change announced, with an empty medium.
  static void Notify(IDataObject* data, const AdviseConnection& c) {
    FORMATETC format = c.Format();
    STGMEDIUM medium{};
    medium.tymed = TYMED_NULL;
    if (!(c.advf & ADVF_NODATA) && FAILED(data->GetData(&format, &medium))) {
      medium = STGMEDIUM{};
      medium.tymed = TYMED_NULL;
    }
    c.sink->OnDataChange(&format, &medium);
    ReleaseStgMedium(&medium);
  }

  std::vector<AdviseConnection> connections_;
  DWORD nextCookie_ = 1;
};

}  // namespace
}  // namespace kelmira

KELMIRA_EXTERN_C HRESULT CreateDataAdviseHolder(IDataAdviseHolder** ppDAHolder) {
  using kelmira::Object;
  if (!ppDAHolder) return E_POINTER;
  *ppDAHolder = nullptr;
  kelmira::ComPtr<Object<kelmira::DataAdviseHolder>> holder;
  HRESULT hr = Object<kelmira::DataAdviseHolder>::Make(&holder);
  if (FAILED(hr)) return hr;
  *ppDAHolder = holder.Detach();
  return S_OK;
}
