// The Y axis: a vertical strip left of the plot (ticks pointing left from the right edge, labels
// left of them, the title turned to read upwards) or, LeftAligned, right of it, mirrored, the
// title reading downwards.
#include "axes/axis_labels.h"
#include "axes/axis_paint.h"
#include "axes/axis_ticks.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kelmira::axes {
namespace {

// A turn a little short of a quarter, as the title has always been drawn.
constexpr double kTitleTurn = 1.57075;

// The label box of a tick at y with a text h high: 2 x half high around y, moved inside the
// drawing rectangle at either end, then narrowed towards the text height.
void PlaceAlong(RECT& box, LONG y, LONG h, LONG half, const RECT& r) {
  const LONG hh = h / 2;
  box.top = y - half;
  if (y - hh < r.top) box.top = r.top + hh - half;
  if (box.top + half + hh > r.bottom) box.top = r.bottom - hh - half;
  box.bottom = box.top + 2 * half;
  box.top += (box.bottom - h - box.top) / 2;
  box.bottom -= (box.bottom - h - box.top) / 2;
}

void DrawTitle(HDC dc, const RECT& r, const AxisLook& look, LONG maxLabelWidth) {
  const LONG areaLeft = look.mirrored ? r.left + look.tickLength + maxLabelWidth + 4 : r.left + 2;
  const LONG areaRight = look.mirrored ? r.right - 2 : r.right - 4 - look.tickLength - maxLabelWidth;
  const LONG w = areaRight - areaLeft;
  const LONG h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;

  SetGraphicsMode(dc, GM_ADVANCED);
  XFORM saved{};
  GetWorldTransform(dc, &saved);
  const double a = look.mirrored ? -kTitleTurn : kTitleTurn;
  const XFORM turn{static_cast<FLOAT>(std::cos(a)),
                   static_cast<FLOAT>(-std::sin(a)),
                   static_cast<FLOAT>(std::sin(a)),
                   static_cast<FLOAT>(std::cos(a)),
                   0.0f,
                   0.0f};
  // The text is measured unturned, in a rectangle of the turned text's proportions.
  const POINT at = look.mirrored ? POINT{areaLeft, r.top} : POINT{areaRight, r.bottom};
  const LONG measureTop = look.mirrored ? r.top - w : r.bottom - w;
  const LONG textHeight = MeasureText(dc, look.title, RECT{at.x, measureTop, at.x + h, measureTop + w}).cy;
  RECT text{0, -w, h, 0};
  if (textHeight < w) text.top = -w + (w - textHeight) / 2;

  SetWorldTransform(dc, &turn);
  OffsetViewportOrgEx(dc, at.x, at.y, nullptr);
  DrawTextIn(dc, look.title, text, kTitleFormat);
  OffsetViewportOrgEx(dc, -at.x, -at.y, nullptr);
  SetWorldTransform(dc, &saved);
}

}  // namespace

HRESULT DrawYAxis(HDC dc, const RECT& bounds, const AxisScale& scale, const AxisLook& look, ITickLabelList* labels) {
  const RECT r = ClampPixels(bounds);
  struct TextAlign {
    HDC dc;
    UINT saved;
    ~TextAlign() { SetTextAlign(dc, saved); }
  } const align{dc, GetTextAlign(dc)};
  const AxisPaintScope paint(dc, r, look);
  LONG maxLabelWidth = 0;
  HRESULT failure = S_OK;
  if (std::int64_t{r.bottom} - r.top > 2 * std::int64_t{look.margin} && StepPointsToEnd(scale)) {
    const TickPlacement t = PlaceTicks(AxisKind::Y, scale, r, look.margin);
    std::optional<CustomLabels> custom;
    if (labels) custom.emplace(labels);
    VisitTicks(AxisKind::Y, scale, [&](double value) {
      const LONG y = t.Pixel(value);
      if (y > r.bottom || y < r.top) return true;
      if (look.mirrored) {
        MoveToEx(dc, r.left, y, nullptr);
        LineTo(dc, r.left + look.tickLength, y);
      } else {
        MoveToEx(dc, r.right - 1, y, nullptr);
        LineTo(dc, r.right - look.tickLength - 1, y);
      }

      std::string text;
      if (custom) {
        failure = custom->Next(&text);
        if (FAILED(failure)) return false;
      } else {
        text = NumericLabel(value, scale.precision);
      }

      const SIZE size = MeasureText(dc, text, r);
      const LONG h = std::min(size.cy, 2 * t.half);
      const LONG w = std::min(size.cx, r.right - r.left);
      maxLabelWidth = std::max(maxLabelWidth, w);
      RECT box{};
      box.left = look.mirrored ? r.left + look.tickLength + 2 : r.right - w - look.tickLength - 2;
      box.right = box.left + w;
      PlaceAlong(box, y, h, t.half, r);
      DrawTextIn(dc, text, box, look.mirrored ? kLabelFormat | DT_BOTTOM : kLabelFormat | DT_BOTTOM | DT_RIGHT);
      return true;
    });
  }
  if (FAILED(failure)) return failure;
  DrawTitle(dc, r, look, maxLabelWidth);
  return S_OK;
}

}  // namespace kelmira::axes
