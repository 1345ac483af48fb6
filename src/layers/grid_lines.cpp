#include "layers/grid_lines.h"

#include "common/gdi_guards.h"

#include <cmath>
#include <cstdint>

namespace kelmira::layers::grid {
namespace {

// The whole multiple of step one below min's own: (trunc(min / step) - 1) * step.
double FirstLineValue(double min, double step) {
  const double value = (std::trunc(min / step) - 1.0) * step;
  return std::isfinite(value) ? value : min;
}

LONG LastOf(LONG end) { return static_cast<LONG>(end > INT32_MIN ? end - 1 : end); }

}  // namespace

int DrawVerticalLines(HDC dc, const common::PixelMapping& m, double step) {
  if (m.left > m.right) return 0;
  double x = FirstLineValue(m.xMin, step);
  int drawn = 0;
  LONG px = 0;
  do {
    px = m.GridX(x);
    MoveToEx(dc, px, m.top, nullptr);
    LineTo(dc, px, m.bottom);
    ++drawn;
    x += step;
  } while (px <= m.right && drawn < kMaxGridLines);
  return drawn;
}

int DrawHorizontalLines(HDC dc, const common::PixelMapping& m, double step) {
  if (m.top > m.bottom) return 0;
  double y = FirstLineValue(m.yMin, step);
  if (m.yMin <= 0.0 && y >= 1.0) y = 0.0;
  int drawn = 0;
  LONG py = 0;
  do {
    if (drawn == kMaxGridLines) break;
    py = m.GridY(y);
    MoveToEx(dc, m.left, py, nullptr);
    LineTo(dc, m.right, py);
    ++drawn;
    y += step;
  } while (py >= m.top);
  return drawn;
}

void DrawFrame(HDC dc, const common::PixelMapping& m, COLORREF color) {
  const common::UniqueGdiObject<HPEN> pen(CreatePen(PS_SOLID, 0, color));
  const common::ScopedSelect selected(dc, pen.get());
  if (!selected.Selected()) return;
  const LONG lastColumn = LastOf(m.right);
  const LONG lastRow = LastOf(m.bottom);
  MoveToEx(dc, m.left, m.top, nullptr);
  LineTo(dc, lastColumn, m.top);
  LineTo(dc, lastColumn, lastRow);
  LineTo(dc, m.left, lastRow);
  LineTo(dc, m.left, m.top);
}

}  // namespace kelmira::layers::grid
