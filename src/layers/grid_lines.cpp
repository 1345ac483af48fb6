#include "layers/grid_lines.h"

#include "common/gdi_guards.h"

#include <cmath>
#include <cstdint>

namespace kelmira::layers::grid {
namespace {

// The values of a direction's lines: line i at the whole multiple (k + i) * step, starting one
// below min's own multiple, k = trunc(min / step) - 1. Each value is computed afresh rather than
// by adding steps, so no error builds up along the area and an axis that counts its ticks the same
// way puts them on exactly these lines. A first multiple that is not finite starts at min itself.
struct LineValues {
  LineValues(double min, double step) : min(min), step(step), k(std::trunc(min / step) - 1.0) {
    multiples = std::isfinite(k * step);
  }
  double operator()(int i) const { return multiples ? (k + i) * step : min + i * step; }

  double min, step, k;
  bool multiples = true;
};

LONG LastOf(LONG end) { return static_cast<LONG>(end > INT32_MIN ? end - 1 : end); }

}  // namespace

int DrawVerticalLines(HDC dc, const common::PixelMapping& m, double step) {
  if (m.left > m.right) return 0;
  const LineValues x(m.xMin, step);
  int drawn = 0;
  LONG px = 0;
  do {
    px = m.GridX(x(drawn));
    MoveToEx(dc, px, m.top, nullptr);
    LineTo(dc, px, m.bottom);
    ++drawn;
  } while (px <= m.right && drawn < kMaxGridLines);
  return drawn;
}

int DrawHorizontalLines(HDC dc, const common::PixelMapping& m, double step) {
  if (m.top > m.bottom) return 0;
  LineValues y(m.yMin, step);
  // A view reaching down to 0 whose first line would lie at 1 or above starts at 0 instead.
  if (m.yMin <= 0.0 && y(0) >= 1.0) y.k = 0.0, y.multiples = true;
  int drawn = 0;
  LONG py = 0;
  do {
    if (drawn == kMaxGridLines) break;
    py = m.GridY(y(drawn));
    MoveToEx(dc, m.left, py, nullptr);
    LineTo(dc, m.right, py);
    ++drawn;
  } while (py >= m.top);
  return drawn;
}

bool DrawFrame(HDC dc, const common::PixelMapping& m, COLORREF color) {
  const common::UniqueGdiObject<HPEN> pen(CreatePen(PS_SOLID, 0, color));
  if (!pen) return false;
  const common::ScopedSelect selected(dc, pen.get());
  if (!selected.Selected()) return true;
  const LONG lastColumn = LastOf(m.right);
  const LONG lastRow = LastOf(m.bottom);
  MoveToEx(dc, m.left, m.top, nullptr);
  LineTo(dc, lastColumn, m.top);
  LineTo(dc, lastColumn, lastRow);
  LineTo(dc, m.left, lastRow);
  LineTo(dc, m.left, m.top);
  return true;
}

}  // namespace kelmira::layers::grid
