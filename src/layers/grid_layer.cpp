#include "layers/grid_layer.h"

#include "common/calendar_step.h"
#include "common/gdi_guards.h"
#include "common/nice_step.h"
#include "common/pixel_mapping.h"
#include "layers/grid_lines.h"

namespace kelmira::layers {
namespace {

int GridPenStyle(LONG lineStyle) {
  if (lineStyle == 0) return PS_SOLID;
  if (lineStyle == 1) return PS_DASH;
  return PS_DOT;
}

}  // namespace

void GridLayer::ChooseSteps(const common::PixelMapping& m) {
  // Sizes as doubles: the int difference could overflow for a hand-made record.
  const double width = static_cast<double>(m.right) - static_cast<double>(m.left);
  const double height = static_cast<double>(m.bottom) - static_cast<double>(m.top);
  const double xRange = width / m.xScale;
  const double yRange = height / m.yScale;

  const std::optional<double> xStep =
      useXAsDate_ ? common::DateStep(xRange, xSteps_) : common::PlainStep(xRange, xSteps_, minXStep_);
  if (xStep) xStep_ = *xStep;
  if (const std::optional<double> yStep = common::PlainStep(yRange, ySteps_, minYStep_)) yStep_ = *yStep;
}

HRESULT GridLayer::Redraw(DrawLayerInfo drawInfo) {
  const HDC dc = common::HdcOf(drawInfo);
  const common::PixelMapping mapping = common::PixelMapping::From(drawInfo);
  const common::UniqueGdiObject<HPEN> pen(CreatePen(GridPenStyle(lineStyle_), 0, lineColor_));
  // Without its pens the layer draws nothing and says why, so the container draws it again later.
  if (!pen) return E_OUTOFMEMORY;

  if (lines_) {
    if (autoStep_) ChooseSteps(mapping);
    const common::ScopedSelect selected(dc, pen.get());
    if (selected.Selected()) {
      grid::DrawVerticalLines(dc, mapping, xStep_);
      grid::DrawHorizontalLines(dc, mapping, yStep_);
    }
  }
  if (border_ && !grid::DrawFrame(dc, mapping, lineColor_)) return E_OUTOFMEMORY;
  return S_OK;
}

}  // namespace kelmira::layers
