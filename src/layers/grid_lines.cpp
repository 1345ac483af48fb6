#include "layers/grid_lines.h"

#include "layers/selected_pen.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace kelmira::layers::grid {
namespace {

// trunc(v) toward zero, kept inside the int range so that the pixel sums below cannot overflow.
std::int64_t TruncatedOffset(double v) {
  if (std::isnan(v)) return INT_MIN;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<std::int64_t>(v);
}

int ToPixel(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); }

// The whole multiple of step one below min's own (trunc(min / step) - 1) * step.
double FirstLineValue(double min, double step) {
  const double value = (std::trunc(min / step) - 1.0) * step;
  return std::isfinite(value) ? value : min;
}

}  // namespace

int DrawVerticalLines(HDC dc, const DrawLayerInfo& info, double step) {
  if (info.left > info.right) return 0;
  const int top = info.top;
  const int bottom = info.bottom;
  double x = FirstLineValue(info.XMin, step);
  int drawn = 0;
  std::int64_t px = 0;
  do {
    px = TruncatedOffset((x - info.XMin) * info.XScale) + info.left;
    MoveToEx(dc, ToPixel(px), top, nullptr);
    LineTo(dc, ToPixel(px), bottom);
    ++drawn;
    x += step;
  } while (px <= info.right && drawn < kMaxGridLines);
  return drawn;
}

int DrawHorizontalLines(HDC dc, const DrawLayerInfo& info, double step) {
  if (info.top > info.bottom) return 0;
  const int left = info.left;
  const int right = info.right;
  double y = FirstLineValue(info.YMin, step);
  if (info.YMin <= 0.0 && y >= 1.0) y = 0.0;
  int drawn = 0;
  std::int64_t py = 0;
  do {
    if (drawn == kMaxGridLines) break;
    py = std::int64_t{info.bottom} - TruncatedOffset((y - info.YMin) * info.YScale) - 1;
    MoveToEx(dc, left, ToPixel(py), nullptr);
    LineTo(dc, right, ToPixel(py));
    ++drawn;
    y += step;
  } while (py >= info.top);
  return drawn;
}

void DrawFrame(HDC dc, const DrawLayerInfo& info, COLORREF color) {
  const SelectedPen pen(dc, PS_SOLID, color);
  if (!pen.Selected()) return;
  const int left = info.left;
  const int top = info.top;
  const int lastColumn = ToPixel(std::int64_t{info.right} - 1);
  const int lastRow = ToPixel(std::int64_t{info.bottom} - 1);
  MoveToEx(dc, left, top, nullptr);
  LineTo(dc, lastColumn, top);
  LineTo(dc, lastColumn, lastRow);
  LineTo(dc, left, lastRow);
  LineTo(dc, left, top);
}

}  // namespace kelmira::layers::grid
