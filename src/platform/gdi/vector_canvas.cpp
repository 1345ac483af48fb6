// Lines, areas and images of the vector canvas; text is in vector_text.cpp.
#include "gdi/vector_canvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kelmira::gdi {
namespace {

void SetSourcePixel(cairo_t* cr, std::uint32_t pixel) {
  cairo_set_source_rgb(cr, ((pixel >> 16) & 0xFF) / 255.0, ((pixel >> 8) & 0xFF) / 255.0, (pixel & 0xFF) / 255.0);
}

// The on/off runs of a styled pen as a cairo dash array, starting with an "on" run, and the
// offset into it that the pattern phase at the first point gives.
bool DashesOf(const LinePattern& pattern, int patternPos, std::vector<double>& dashes, double& offset) {
  const int period = pattern.period;
  auto on = [&](int i) { return ((pattern.onBits >> (i % period)) & 1u) != 0; };
  int first = 0;
  while (first < period && !on(first)) ++first;
  if (first == period) return false;
  for (int i = 0; i < period;) {
    const bool state = on(first + i);
    int run = 0;
    while (i < period && on(first + i) == state) ++i, ++run;
    dashes.push_back(run);
  }
  if (dashes.size() % 2) dashes.push_back(0);  // the pattern is on throughout
  offset = static_cast<double>((((patternPos - first) % period) + period) % period);
  return true;
}

bool Far(double v) { return !(std::abs(v) < kFarCoordinate); }

// Liang-Barsky against the box: the part [t0, t1] of the segment inside it; false when none.
bool CutToBox(double ax, double ay, double bx, double by, const double box[4], double& t0, double& t1) {
  t0 = 0, t1 = 1;
  const double dx = bx - ax, dy = by - ay;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {ax - box[0], box[2] - ax, ay - box[1], box[3] - ay};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    if (p[i] > 0) t1 = std::min(t1, t);
  }
  return t0 <= t1;
}

}  // namespace

VectorCanvas::VectorCanvas(cairo_t* cr, double sx, double sy) : cr_(cr) {
  cairo_scale(cr_, sx, sy);
  cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
}

void VectorCanvas::SetClip(const RECT& clip) {
  clip_ = clip;
  cairo_reset_clip(cr_);
  cairo_rectangle(cr_, clip.left, clip.top, static_cast<double>(clip.right) - clip.left,
                  static_cast<double>(clip.bottom) - clip.top);
  cairo_clip(cr_);
}

bool VectorCanvas::UseMix(const Mix& mix) {
  if (mix.IsNop()) return false;
  if (!mix.IsCopy()) {
    ++leftOut_;
    return false;
  }
  SetSourcePixel(cr_, mix.xorMask);
  return true;
}

// A hatch is its 8 x 8 cell drawn as pixel squares (runs of a row as one rectangle), a pattern
// of vector content: sharp at any zoom, where an image cell gets smoothed by viewers.
bool VectorCanvas::UseFill(const Fill& fill) {
  if (fill.kind == Fill::Kind::None) return false;
  if (fill.kind == Fill::Kind::Solid) return UseMix(fill.mix);
  const bool gapDrawn = fill.gapMix.IsCopy();
  if (!fill.mix.IsCopy() || (!gapDrawn && !fill.gapMix.IsNop())) {
    ++leftOut_;
    return false;
  }
  const cairo_rectangle_t cellArea{0, 0, 8, 8};
  CairoSurfacePtr cell(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &cellArea));
  {
    CairoPtr cr(cairo_create(cell.get()));
    if (gapDrawn) {
      SetSourcePixel(cr.get(), fill.gapMix.xorMask);
      cairo_paint(cr.get());
    }
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8;) {
        if (!((fill.rows[y] >> x) & 1u)) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < 8 && ((fill.rows[y] >> x) & 1u)) ++x;
        cairo_rectangle(cr.get(), start, y, x - start, 1);
      }
    }
    SetSourcePixel(cr.get(), fill.mix.xorMask);
    cairo_fill(cr.get());
  }
  CairoPatternPtr pattern(cairo_pattern_create_for_surface(cell.get()));
  cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_REPEAT);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, static_cast<double>(-fill.origin.x), static_cast<double>(-fill.origin.y));
  cairo_pattern_set_matrix(pattern.get(), &m);
  cairo_set_source(cr_, pattern.get());
  return true;
}

void VectorCanvas::Polyline(std::span<const Point64> points, const Stroke& stroke, int patternPos) {
  if (points.size() < 2) return;
  if (stroke.kind == Stroke::Kind::Cosmetic) StrokeCosmetic(points, stroke, patternPos);
  if (stroke.kind == Stroke::Kind::Wide) StrokeWide(points, stroke);
}

// Far-away segments are cut to the clip widened by `margin`. A cut line starts a new subpath,
// where cairo restarts the dashes: it starts a whole number of dash periods along the line from
// the first point, at most one period before the cut, so the pattern keeps its phase.
void VectorCanvas::PolylinePath(std::span<const Point64> points, double shift, double margin, double period) {
  cairo_new_path(cr_);
  const bool near = std::all_of(points.begin(), points.end(), [](Point64 p) {
    return !Far(static_cast<double>(p.x)) && !Far(static_cast<double>(p.y));
  });
  if (near) {
    cairo_move_to(cr_, points[0].x + shift, points[0].y + shift);
    for (const Point64& p : points.subspan(1)) cairo_line_to(cr_, p.x + shift, p.y + shift);
    return;
  }
  const double box[4] = {clip_.left - margin - period, clip_.top - margin - period, clip_.right + margin + period,
                         clip_.bottom + margin + period};
  bool open = false;
  double along = 0;  // length of the line before this segment
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double ax = points[i - 1].x + shift, ay = points[i - 1].y + shift;
    const double dx = static_cast<double>(points[i].x - points[i - 1].x);
    const double dy = static_cast<double>(points[i].y - points[i - 1].y);
    const double length = std::hypot(dx, dy);
    double t0 = 0, t1 = 1;
    const bool visible = CutToBox(ax, ay, ax + dx, ay + dy, box, t0, t1);
    if (visible && (!open || t0 > 0)) {
      if (period > 0 && t0 > 0 && length > 0) {
        const double cut = t0 * length;
        t0 = std::max(0.0, cut - std::fmod(along + cut, period)) / length;
      }
      cairo_move_to(cr_, ax + t0 * dx, ay + t0 * dy);
    }
    if (visible) cairo_line_to(cr_, ax + t1 * dx, ay + t1 * dy);
    open = visible && t1 == 1;
    along += length;
  }
}

void VectorCanvas::StrokeCosmetic(std::span<const Point64> points, const Stroke& stroke, int patternPos) {
  PolylinePath(points, 0.5, 2, stroke.pattern.period);
  cairo_set_line_width(cr_, 1.0);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  std::vector<double> dashes;
  double offset = 0;
  const bool styled = !stroke.pattern.IsSolid() && DashesOf(stroke.pattern, patternPos, dashes, offset);
  if (styled && UseMix(stroke.gapMix)) cairo_stroke_preserve(cr_);
  if (styled) cairo_set_dash(cr_, dashes.data(), static_cast<int>(dashes.size()), offset);
  if (UseMix(stroke.mix)) cairo_stroke_preserve(cr_);
  cairo_set_dash(cr_, nullptr, 0, 0);
  cairo_new_path(cr_);
}

// An even width is centred between pixels, half a pixel right and down of an odd one.
void VectorCanvas::StrokeWide(std::span<const Point64> points, const Stroke& stroke) {
  if (!UseMix(stroke.mix)) return;
  const double shift = stroke.width % 2 ? 0.5 : 1.0;
  PolylinePath(points, shift, stroke.width + 2.0, 0);
  cairo_set_line_width(cr_, stroke.width);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr_);
}

// A far-away rectangle is first cut to the clip widened by more than its outline's width, so
// that the moved edges stay out of sight.
void VectorCanvas::AreaPath(Rect64 r, bool ellipse, double inset) {
  cairo_new_path(cr_);
  if (!ellipse) {
    const auto margin = static_cast<std::int64_t>(2 * inset) + 2;
    r.left = std::max<std::int64_t>(r.left, clip_.left - margin);
    r.top = std::max<std::int64_t>(r.top, clip_.top - margin);
    r.right = std::min<std::int64_t>(r.right, clip_.right + margin);
    r.bottom = std::min<std::int64_t>(r.bottom, clip_.bottom + margin);
  }
  const double w = static_cast<double>(r.right - r.left) - 2 * inset;
  const double h = static_cast<double>(r.bottom - r.top) - 2 * inset;
  if (w <= 0 || h <= 0) return;
  if (!ellipse) {
    cairo_rectangle(cr_, r.left + inset, r.top + inset, w, h);
    return;
  }
  cairo_save(cr_);
  cairo_translate(cr_, r.left + inset + w / 2, r.top + inset + h / 2);
  cairo_scale(cr_, w / 2, h / 2);
  cairo_arc(cr_, 0, 0, 1, 0, 2 * 3.14159265358979323846);
  cairo_close_path(cr_);
  cairo_restore(cr_);
}

void VectorCanvas::FillArea(const Rect64& r, bool ellipse, const Fill& fill) {
  if (r.left >= r.right || r.top >= r.bottom || !UseFill(fill)) return;
  AreaPath(r, ellipse, 0);
  cairo_fill(cr_);
}

void VectorCanvas::OutlineArea(const Rect64& r, bool ellipse, const Stroke& stroke) {
  const bool wide = stroke.kind == Stroke::Kind::Wide;
  const double width = wide ? stroke.width : 1.0;
  std::vector<double> dashes;
  double offset = 0;
  const bool styled = !wide && !stroke.pattern.IsSolid() && DashesOf(stroke.pattern, 0, dashes, offset);
  // A figure no wider or taller than two pen widths is all outline.
  if (r.right - r.left <= 2 * width || r.bottom - r.top <= 2 * width) {
    if (!UseMix(stroke.mix)) return;
    AreaPath(r, ellipse, 0);
    cairo_fill(cr_);
    return;
  }
  AreaPath(r, ellipse, width / 2);
  cairo_set_line_width(cr_, width);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
  if (styled && UseMix(stroke.gapMix)) cairo_stroke_preserve(cr_);
  if (styled) cairo_set_dash(cr_, dashes.data(), static_cast<int>(dashes.size()), offset);
  if (UseMix(stroke.mix)) cairo_stroke_preserve(cr_);
  cairo_set_dash(cr_, nullptr, 0, 0);
  cairo_new_path(cr_);
}

void VectorCanvas::FillRect(const Rect64& r, const Fill& fill) { FillArea(r, false, fill); }

void VectorCanvas::Rectangle(Rect64 b, const Stroke& stroke, const Fill& fill) {
  if (b.left > b.right) std::swap(b.left, b.right);
  if (b.top > b.bottom) std::swap(b.top, b.bottom);
  if (b.left == b.right || b.top == b.bottom) return;
  // Without a pen the brush stops one pixel short on the right and at the bottom, as the raster.
  if (stroke.kind == Stroke::Kind::None) return FillArea({b.left, b.top, b.right - 1, b.bottom - 1}, false, fill);
  const std::int64_t inset = stroke.kind == Stroke::Kind::Wide ? stroke.width : 1;
  FillArea({b.left + inset, b.top + inset, b.right - inset, b.bottom - inset}, false, fill);
  OutlineArea(b, false, stroke);
}

void VectorCanvas::Ellipse(Rect64 b, const Stroke& stroke, const Fill& fill) {
  if (b.left > b.right) std::swap(b.left, b.right);
  if (b.top > b.bottom) std::swap(b.top, b.bottom);
  if (b.left == b.right || b.top == b.bottom) return;
  if (Far(static_cast<double>(b.left)) || Far(static_cast<double>(b.top)) || Far(static_cast<double>(b.right)) ||
      Far(static_cast<double>(b.bottom))) {
    ++leftOut_;
    return;
  }
  if (stroke.kind == Stroke::Kind::None) return FillArea({b.left, b.top, b.right - 1, b.bottom - 1}, true, fill);
  FillArea(b, true, fill);
  OutlineArea(b, true, stroke);
}

void VectorCanvas::Quad(const QuadRecord& quad) {
  for (int i = 0; i < 4; ++i) {
    if (Far(quad.quad.x[i]) || Far(quad.quad.y[i])) {
      ++leftOut_;
      return;
    }
  }
  SetSourcePixel(cr_, PixelFromColor(quad.color));
  cairo_new_path(cr_);
  cairo_move_to(cr_, quad.quad.x[0], quad.quad.y[0]);
  for (int i = 1; i < 4; ++i) cairo_line_to(cr_, quad.quad.x[i], quad.quad.y[i]);
  cairo_close_path(cr_);
  cairo_fill(cr_);
}

// Copies of images and the plain pattern operations; anything mixed with the destination is
// left out.
void VectorCanvas::Blit(const BlitRecord& blit) {
  constexpr std::uint8_t kSrcCopy = 0xCC, kPatCopy = 0xF0, kBlackness = 0x00, kWhiteness = 0xFF;
  if (blit.rop3 == kSrcCopy && !blit.image.empty()) return Image(blit);
  Fill fill = blit.pattern;
  if (blit.rop3 == kBlackness || blit.rop3 == kWhiteness) fill = MakeSolidFill(blit.rop3 ? 0xFFFFFF : 0, kRop2CopyPen);
  if (blit.rop3 != kPatCopy && blit.rop3 != kBlackness && blit.rop3 != kWhiteness) {
    ++leftOut_;
    return;
  }
  FillArea(blit.area, false, fill);
}

void VectorCanvas::Image(const BlitRecord& blit) {
  const int width = blit.imageWidth, height = blit.imageHeight;
  if (width <= 0 || height <= 0 || blit.image.size() < static_cast<std::size_t>(width) * height) return;
  CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return;
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* from = blit.image.data() + static_cast<std::size_t>(y) * width;
    std::copy(from, from + width, reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride));
  }
  cairo_surface_mark_dirty(surface.get());
  cairo_save(cr_);
  const double w = static_cast<double>(blit.area.right - blit.area.left);
  const double h = static_cast<double>(blit.area.bottom - blit.area.top);
  cairo_translate(cr_, static_cast<double>(blit.area.left), static_cast<double>(blit.area.top));
  cairo_scale(cr_, w / width, h / height);
  cairo_set_source_surface(cr_, surface.get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
  cairo_paint(cr_);  // an image drawn as itself, where a filled rectangle would be a pattern fill
  cairo_restore(cr_);
}

}  // namespace kelmira::gdi
