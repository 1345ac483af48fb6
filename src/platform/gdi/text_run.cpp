// Painting text runs through the logical-to-device mapping.
#include "gdi/text_run.h"

#include "gdi/recording_hooks.h"
#include "gdi/text_blend.h"

#include <algorithm>
#include <cmath>

namespace kelmira::gdi {
namespace {

constexpr double kCoordinateLimit = 1099511627776.0;  // 2^40, as the point mapping limits

// device = m * (x, y) + (tx, ty)
struct Affine {
  Matrix2 m;
  double tx = 0, ty = 0;

  void Apply(double x, double y, double& outX, double& outY) const {
    outX = m.xx * x + m.xy * y + tx;
    outY = m.yx * x + m.yy * y + ty;
  }
};

// The context's logical-to-device mapping, in double precision.
Affine LogicalToDevice(const DeviceContext& dc) {
  Affine a;
  if (dc.state.graphicsMode == GM_ADVANCED) {
    const XFORM& w = dc.state.world;
    a.m = {w.eM11, w.eM21, w.eM12, w.eM22};
    a.tx = w.eDx;
    a.ty = w.eDy;
  }
  a.tx += static_cast<double>(dc.state.viewportOrg.x) + dc.deviceOrigin.x;
  a.ty += static_cast<double>(dc.state.viewportOrg.y) + dc.deviceOrigin.y;
  return a;
}

// The run frame (origin at the cell's top-left, turned by the font's escapement) to device.
Affine RunToDevice(const DeviceContext& dc, const FontInstance& font, double left, double top) {
  Affine logical = LogicalToDevice(dc);
  Affine run;
  run.m = font.Escapement().Then(logical.m);
  logical.Apply(left, top, run.tx, run.ty);
  return run;
}

long long RoundCoordinate(double v) {
  if (!(v > -kCoordinateLimit)) return static_cast<long long>(-kCoordinateLimit);
  if (v > kCoordinateLimit) return static_cast<long long>(kCoordinateLimit);
  return std::llround(v);
}

DeviceQuad QuadOf(const Affine& a, double left, double top, double right, double bottom) {
  DeviceQuad q;
  a.Apply(left, top, q.x[0], q.y[0]);
  a.Apply(right, top, q.x[1], q.y[1]);
  a.Apply(right, bottom, q.x[2], q.y[2]);
  a.Apply(left, bottom, q.x[3], q.y[3]);
  return q;
}

void PaintRule(const Surface& surface, const RECT& clip, const Affine& a, double x0, double x1, double top,
               int thickness, std::uint32_t pixel) {
  FillQuad(surface, clip, QuadOf(a, x0, top, x1, top + thickness), pixel);
}

}  // namespace

std::vector<RunPen> PensFromAdvances(const int* dx, const int* dy, std::size_t count) {
  std::vector<RunPen> pens(count + 1);
  RunPen pen;
  for (std::size_t i = 0; i < count; ++i) {
    pens[i] = pen;
    pen.x += dx[i];
    if (dy) pen.y += dy[i];
  }
  pens[count] = pen;
  return pens;
}

DeviceQuad QuadOfLogicalRect(const DeviceContext& dc, double left, double top, double right, double bottom) {
  return QuadOf(LogicalToDevice(dc), left, top, right, bottom);
}

void PaintTextRun(const DeviceContext& dc, const std::shared_ptr<const FontInstance>& font, const TextRun& run,
                  const RECT& clip) {
  const Surface& surface = DcSurface(dc);
  if (surface.Empty() || IsEmptyRect(clip) || run.pens.size() != run.text.size() + 1) return;
  const Affine a = RunToDevice(dc, *font, run.left, run.top);
  const RunTransform toDevice{a.m.xx, a.m.xy, a.m.yx, a.m.yy, a.tx, a.ty};
  PaintRun(surface, *font, run, toDevice, dc.state.textColor, dc.state.bkColor, clip);
  if (dc.recording) RecordText(*dc.recording, clip, font, run, toDevice, dc.state.textColor, dc.state.bkColor);
}

void PaintRun(const Surface& surface, const FontInstance& font, const TextRun& run, const RunTransform& toDevice,
              COLORREF textColor, COLORREF bkColor, const RECT& clip) {
  if (surface.Empty() || IsEmptyRect(clip) || run.pens.size() != run.text.size() + 1) return;
  const FontMetrics& metrics = font.Metrics();
  Affine a;
  a.m = {toDevice.xx, toDevice.xy, toDevice.yx, toDevice.yy};
  a.tx = toDevice.dx;
  a.ty = toDevice.dy;
  const std::uint32_t textPixel = PixelFromColor(textColor);
  const double extent = static_cast<double>(run.pens.back().x);

  if (run.fillCell) FillQuad(surface, clip, QuadOf(a, 0, 0, extent, metrics.height), PixelFromColor(bkColor));

  if (run.drawGlyphs) {
    // A glyph lies within `reach` device pixels of its pen point (twice its cell, however the
    // run is turned): glyphs wholly outside the clip are not rendered or looked up, so a label of
    // a thousand digits costs only the few that show.
    const double norm = std::abs(a.m.xx) + std::abs(a.m.xy) + std::abs(a.m.yx) + std::abs(a.m.yy);
    const double reach = 2.0 * (static_cast<double>(metrics.height) + metrics.maxCharWidth + 2) * norm;
    for (std::size_t i = 0; i < run.text.size(); ++i) {
      double x = 0, y = 0;
      a.Apply(static_cast<double>(run.pens[i].x), static_cast<double>(run.pens[i].y) + metrics.ascent, x, y);
      if (x + reach < clip.left || x - reach > clip.right || y + reach < clip.top || y - reach > clip.bottom) continue;
      auto mask = font.Glyph(run.text[i], a.m);
      if (!mask) continue;
      BlendMask(surface, clip, *mask, RoundCoordinate(x), RoundCoordinate(y), textPixel);
    }
  }

  const double underlineTop = metrics.ascent + metrics.underlineOffset;
  if (metrics.underline) PaintRule(surface, clip, a, 0, extent, underlineTop, metrics.underlineThickness, textPixel);
  if (metrics.strikeOut)
    PaintRule(surface, clip, a, 0, extent, metrics.ascent - metrics.strikeOutOffset, metrics.strikeOutThickness,
              textPixel);
  for (auto [x0, x1] : run.underlines)
    PaintRule(surface, clip, a, static_cast<double>(x0), static_cast<double>(x1), underlineTop,
              metrics.underlineThickness, textPixel);
}

}  // namespace kelmira::gdi
