// What one redraw of one line reads from its ILineData: the point count, the array addresses and
// the bad value, fetched once per line so that the points themselves cost no interface call.
#pragma once

#include <kelmira/kelmira.h>

#include <cstdint>

namespace kelmira::layers {

struct LinePoints {
  std::int64_t count = 0;  // 0 when the data has no points or no Y array
  const float* y = nullptr;
  const float* xSingle = nullptr;   // single-precision X values, or null
  const double* xDouble = nullptr;  // double-precision X values, or null
  const BYTE* mask = nullptr;       // one byte per point, 0 = hidden; null shows every point
  double badValue = 0.0;            // a Y value equal to it breaks the line
  LONG offset = 1;                  // logical X of point 0 when there is no X array

  bool HasXArray() const { return xSingle != nullptr || xDouble != nullptr; }
};

// Seven calls on the data, whatever its size. A failing call ends the read with its result. An X
// array announced as double precision whose double address is null is E_UNEXPECTED (only a
// host's own ILineData can do that), so that no single-precision array is read as doubles.
HRESULT ReadLinePoints(ILineData* data, LONG offset, LinePoints* points);

}  // namespace kelmira::layers
