// A container's limits and extents as one comparable value: xMin, xMax, yMin, yMax.
#pragma once

#include <kelmira/kelmira.h>

#include <array>

namespace kelmira::test {

using View = std::array<double, 4>;

inline View Limits(IGraphicsContainer* c) {
  View v{};
  c->GetLimits(&v[0], &v[1], &v[2], &v[3]);
  return v;
}

inline View Extents(IGraphicsContainer* c) {
  View v{};
  c->GetExtents(&v[0], &v[1], &v[2], &v[3]);
  return v;
}

}  // namespace kelmira::test
