// One connection point: the sinks of one outgoing interface, keyed by cookie.
#include <memory>
#include <kelmira/platform/connection_points.h>
#include <kelmira/platform/guarded.h>

#include "com/connection_point_enum.h"

#include <utility>

namespace kelmira {

ConnectionPoint::ConnectionPoint(REFIID iid, SinkKind kind, IConnectionPointContainer* container)
    : iid_(iid), kind_(kind), container_(container) {}

ConnectionPoint::~ConnectionPoint() = default;

HRESULT ConnectionPoint::Create(REFIID iid, SinkKind kind, IConnectionPointContainer* container,
                                ComPtr<ConnectionPoint>* out) {
  if (!out) return E_POINTER;
  ComPtr<Object<ConnectionPoint>> point;
  HRESULT hr = Object<ConnectionPoint>::Make(&point, iid, kind, container);
  if (FAILED(hr)) return hr;
  *out = point.get();
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* pIID) {
  if (!pIID) return E_POINTER;
  *pIID = iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
  if (!ppCPC) return E_POINTER;
  *ppCPC = nullptr;
  if (!container_) return E_UNEXPECTED;
  return container_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(ppCPC));
}

HRESULT ConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
  if (!pdwCookie) return E_POINTER;
  *pdwCookie = 0;
  if (!pUnkSink) return E_POINTER;
  if (!container_) return E_UNEXPECTED;
  if (nextCookie_ == 0) return CONNECT_E_ADVISELIMIT;  // wrapped: every cookie has been handed out

  IUnknown* sink = nullptr;
  HRESULT hr = pUnkSink->QueryInterface(iid_, reinterpret_cast<void**>(&sink));
  if (FAILED(hr) && kind_ == SinkKind::Dispatch)
    hr = pUnkSink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&sink));
  if (FAILED(hr) || !sink) return CONNECT_E_CANNOTCONNECT;
  ComPtr<IUnknown> held = ComPtr<IUnknown>::Attach(sink);

  // The sink's QueryInterface may have run code that detached us.
  if (!container_) return E_UNEXPECTED;
  hr = Guarded([&] { sinks_.emplace(nextCookie_, std::move(held)); });
  if (FAILED(hr)) return hr;
  *pdwCookie = nextCookie_++;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD dwCookie) {
  auto it = sinks_.find(dwCookie);
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  // Released after the erase: the sink's destruction may call back into this point.
  ComPtr<IUnknown> sink = std::move(it->second);
  sinks_.erase(it);
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** ppEnum) {
  if (!ppEnum) return E_POINTER;
  *ppEnum = nullptr;
  return Guarded([&] { return detail::MakeConnectionEnum(Connections(), ppEnum); });
}

std::vector<ConnectionPoint::Connection> ConnectionPoint::Connections() const {
  std::vector<Connection> all;
  all.reserve(sinks_.size());
  for (const auto& [cookie, sink] : sinks_) all.push_back({cookie, sink});
  return all;
}

void ConnectionPoint::DetachContainer() {
  container_ = nullptr;
  // Moved out first: releasing a sink may call Unadvise on this point.
  auto gone = std::move(sinks_);
  sinks_.clear();
}

}  // namespace kelmira
