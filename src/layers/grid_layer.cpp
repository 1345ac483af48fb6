#include "layers/grid_layer.h"

#include "layers/grid_lines.h"
#include "layers/grid_steps.h"
#include "layers/selected_pen.h"

namespace kelmira::layers {
namespace {

int GridPenStyle(LONG lineStyle) {
  if (lineStyle == 0) return PS_SOLID;
  if (lineStyle == 1) return PS_DASH;
  return PS_DOT;
}

}  // namespace

void GridLayer::ChooseSteps(const DrawLayerInfo& info) {
  // Sizes as doubles: the int difference could overflow for a hand-made record.
  const double width = static_cast<double>(info.right) - static_cast<double>(info.left);
  const double height = static_cast<double>(info.bottom) - static_cast<double>(info.top);
  const double xRange = width / info.XScale;
  const double yRange = height / info.YScale;

  const std::optional<double> xStep =
      useXAsDate_ ? grid::DateStep(xRange, xSteps_) : grid::PlainStep(xRange, xSteps_, minXStep_);
  if (xStep) xStep_ = *xStep;
  if (const std::optional<double> yStep = grid::PlainStep(yRange, ySteps_, minYStep_)) yStep_ = *yStep;
}

HRESULT GridLayer::Redraw(DrawLayerInfo drawInfo) {
  const HDC dc = UlongToHandle<HDC>(static_cast<std::uint32_t>(drawInfo.hDC));
  const grid::SelectedPen gridPen(dc, GridPenStyle(lineStyle_), lineColor_);

  if (lines_) {
    if (autoStep_) ChooseSteps(drawInfo);
    if (gridPen.Selected()) {
      grid::DrawVerticalLines(dc, drawInfo, xStep_);
      grid::DrawHorizontalLines(dc, drawInfo, yStep_);
    }
  }
  if (border_) grid::DrawFrame(dc, drawInfo, lineColor_);
  return S_OK;
}

}  // namespace kelmira::layers
