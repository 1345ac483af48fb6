// The X axis: a horizontal strip under the plot (ticks hanging from the top edge, labels below,
// the title below them) or, BottomAligned, over it with everything mirrored.
#include "axes/axis_labels.h"
#include "axes/axis_paint.h"
#include "axes/axis_ticks.h"

#include <algorithm>
#include <optional>

namespace kelmira::axes {
namespace {

// The label box of a tick at x with a text w wide: 2 x half wide around x, moved inside the
// drawing rectangle at either end.
void PlaceAcross(RECT& box, LONG x, LONG w, LONG half, const RECT& r) {
  const LONG hw = w / 2;
  box.left = x - half;
  if (x - hw < r.left) box.left += r.left - (x - hw);
  if (box.left + half + hw > r.right) box.left = r.right - hw - half;
  box.right = box.left + 2 * half;
}

void DrawTitle(HDC dc, const RECT& r, const AxisLook& look, LONG maxLabelHeight) {
  RECT area = r;
  if (look.mirrored)
    area.bottom = r.bottom - 4 - look.tickLength - maxLabelHeight;
  else
    area.top = r.top + look.tickLength + maxLabelHeight + 4;
  const LONG height = area.bottom - area.top;
  const LONG textHeight = MeasureText(dc, look.title, area).cy;
  if (textHeight < height) area.top += (height - textHeight) / 2;
  DrawTextIn(dc, look.title, area, kTitleFormat);
}

}  // namespace

HRESULT DrawXAxis(HDC dc, const RECT& bounds, const AxisScale& scale, const DateFlags& dates, const AxisLook& look,
                  ITickLabelList* labels) {
  const RECT r = ClampPixels(bounds);
  const AxisPaintScope paint(dc, r, look);
  LONG maxLabelHeight = 0;
  HRESULT failure = S_OK;
  if (std::int64_t{r.right} - r.left > 2 * std::int64_t{look.margin} && StepPointsToEnd(scale)) {
    const TickPlacement t = PlaceTicks(AxisKind::X, scale, r, look.margin);
    std::optional<CustomLabels> custom;
    if (labels) custom.emplace(labels);
    const std::int64_t first = std::int64_t{r.left} + look.margin, last = std::int64_t{r.right} - look.margin;
    const LONG thirdOfHeight = (r.bottom - r.top) / 3;
    LONG labelIndex = 0;
    VisitTicks(AxisKind::X, scale, [&](double value) {
      const LONG x = t.Pixel(value);
      if (x < first || x > last) return true;
      const LONG tickStart = look.mirrored ? r.bottom : r.top;
      MoveToEx(dc, x, tickStart, nullptr);
      LineTo(dc, x, look.mirrored ? tickStart - look.tickLength : tickStart + look.tickLength);

      std::string text;
      if (custom) {
        failure = custom->Next(&text);
        if (FAILED(failure)) return false;
      } else if (scale.dateMode) {
        text = DateLabel(value, look.dateFormat, dates, labelIndex);
      } else {
        text = NumericLabel(value, scale.precision);
      }
      ++labelIndex;

      const SIZE size = MeasureText(dc, text, r);
      const LONG w = std::min(size.cx, 2 * t.half);
      const LONG h = std::min(size.cy, thirdOfHeight);
      maxLabelHeight = std::max(maxLabelHeight, h);
      RECT box{};
      box.top = look.mirrored ? r.bottom - look.tickLength - h - 2 : r.top + look.tickLength + 2;
      box.bottom = box.top + h;
      PlaceAcross(box, x, w, t.half, r);
      DrawTextIn(dc, text, box, look.mirrored ? kLabelFormat : kLabelFormat | DT_BOTTOM);
      return true;
    });
  }
  if (FAILED(failure)) return failure;
  DrawTitle(dc, r, look, maxLabelHeight);
  return S_OK;
}

}  // namespace kelmira::axes
