// Enumerators over snapshots of a point's connections and of a container's points.
#pragma once

#include <kelmira/platform/connection_points.h>

#include <vector>

namespace kelmira::detail {

HRESULT MakeConnectionEnum(std::vector<ConnectionPoint::Connection> items, IEnumConnections** out);
HRESULT MakeConnectionPointEnum(std::vector<ComPtr<IConnectionPoint>> items, IEnumConnectionPoints** out);

}  // namespace kelmira::detail
