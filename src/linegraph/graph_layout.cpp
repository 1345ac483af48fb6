#include "linegraph/graph_layout.h"

#include <cstdint>

namespace kelmira::linegraph {
namespace {

LONG Held(std::int64_t v) { return static_cast<LONG>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v)); }

Placement Place(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height) {
  return {Held(x), Held(y), Held(width), Held(height)};
}

}  // namespace

GraphLayout ComputeGraphLayout(const RECT& client, const LayoutSettings& s) {
  std::int64_t left = client.left, top = client.top, right = client.right, bottom = client.bottom;
  const std::int64_t xSize = s.xAxisSize, ySize = s.yAxisSize;
  GraphLayout layout;
  if (s.titleVisible) {
    layout.title = Place(left, top, right - left, 20);
    top += 20;
  }
  top += 5;
  if (!s.rightYAxisVisible) right -= 12;
  if (s.xAxisVisible) {
    layout.xAxisMargin = s.yAxisVisible ? s.yAxisSize : 0;
    const std::int64_t xRight = s.yAxisVisible && !s.rightYAxisVisible ? right + ySize : right;
    layout.xAxis = Place(left, bottom - xSize, xRight - left, xSize);
    bottom -= xSize;
  }
  if (s.yAxisVisible) {
    layout.yAxis = Place(left, top, ySize, bottom - top);
    left += ySize;
  }
  if (s.rightYAxisVisible) {
    right -= ySize;
    layout.rightYAxis = Place(right, top, ySize, bottom - top);
  }
  layout.container = Place(left, top, right - left, bottom - top);
  return layout;
}

}  // namespace kelmira::linegraph
