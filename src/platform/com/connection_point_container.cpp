// The connection points of one event source.
#include <kelmira/platform/connection_points.h>
#include <kelmira/platform/guarded.h>

#include "com/connection_point_enum.h"

#include <memory>

namespace kelmira {

ConnectionPointContainerImpl::ConnectionPointContainerImpl() = default;

ConnectionPointContainerImpl::~ConnectionPointContainerImpl() {
  for (auto& point : points_) point->DetachContainer();
}

HRESULT ConnectionPointContainerImpl::AddConnectionPoint(REFIID iid, SinkKind kind) {
  if (ConnectionPointFor(iid)) return E_INVALIDARG;
  ComPtr<ConnectionPoint> point;
  HRESULT hr = ConnectionPoint::Create(iid, kind, this, std::addressof(point));
  if (FAILED(hr)) return hr;
  return Guarded([&] { points_.push_back(std::move(point)); });
}

ConnectionPoint* ConnectionPointContainerImpl::ConnectionPointFor(REFIID iid) const {
  for (const auto& point : points_)
    if (IsEqualIID(point->Iid(), iid)) return point.get();
  return nullptr;
}

HRESULT ConnectionPointContainerImpl::EnumConnectionPoints(IEnumConnectionPoints** ppEnum) {
  if (!ppEnum) return E_POINTER;
  *ppEnum = nullptr;
  return Guarded([&] {
    std::vector<ComPtr<IConnectionPoint>> all;
    all.reserve(points_.size());
    for (const auto& point : points_) all.emplace_back(point.get());
    return detail::MakeConnectionPointEnum(std::move(all), ppEnum);
  });
}

HRESULT ConnectionPointContainerImpl::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
  if (!ppCP) return E_POINTER;
  *ppCP = nullptr;
  ConnectionPoint* point = ConnectionPointFor(riid);
  if (!point) return CONNECT_E_NOCONNECTION;
  point->AddRef();
  *ppCP = point;
  return S_OK;
}

}  // namespace kelmira
