// Drawing the raster primitives as vector graphics on a cairo context.
//
// The canvas takes what the raster routines take (device geometry, Stroke, Fill, text runs) and
// draws the same figure as paths, so that a recording can be written as SVG or PDF. The cairo
// user space is the device space scaled to the page; device pixel edges are at whole numbers.
//
// - Cosmetic lines cover the pixel centres: stroked from A+0.5 to B+0.5, 1 px wide, butt caps.
//   Styled pens become cairo dashes with the pattern's on/off runs (measured along the line, where
//   the raster counts major-axis steps); opaque gaps are a solid stroke in the background colour
//   under the dashes.
// - Wide pens: round caps and joins, the recorded width, centred as the raster centres them
//   (odd widths on the pixel centres, even widths half a pixel right and down).
// - Rectangles and ellipses: the fill covers left..right x top..bottom; the cosmetic outline is
//   centred half a pixel inside, a wide outline is as wide as the pen inside the bounds.
// - Hatches: an 8 x 8 image pattern starting at the brush origin, never smoothed.
// - Geometry millions of pixels away is cut to the clip first (cairo's coordinates are 24.8
//   fixed point); an ellipse, a text run or an opaque cell that far away is left out.
// - Only plain copies are drawn. Other mixes (XOR and the like) depend on what is underneath,
//   which a vector file cannot express; they are left out.
#pragma once

#include "gdi/recording.h"

#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kelmira::gdi {

// cairo keeps path coordinates in 24.8 fixed point: geometry beyond this many pixels is first cut
// to the clip (lines, rectangles) or left out (ellipses, text, opaque cells).
inline constexpr double kFarCoordinate = 1 << 22;

template <typename T, void (*Free)(T*)>
struct CairoFree {
  void operator()(T* p) const { Free(p); }
};
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoFree<cairo_surface_t, cairo_surface_destroy>>;
using CairoPtr = std::unique_ptr<cairo_t, CairoFree<cairo_t, cairo_destroy>>;
using CairoPatternPtr = std::unique_ptr<cairo_pattern_t, CairoFree<cairo_pattern_t, cairo_pattern_destroy>>;
using CairoFacePtr = std::unique_ptr<cairo_font_face_t, CairoFree<cairo_font_face_t, cairo_font_face_destroy>>;

// Where each text run went: for SVG, which draws glyphs as shapes, the writer adds the text itself.
struct PlacedText {
  std::string utf8;          // one code point per pen below
  std::vector<double> x, y;  // baseline pen points in the run frame
  cairo_matrix_t toPage;     // run frame to page
  double fontSize = 0;       // run frame units
  std::string family;
};

class VectorCanvas {
 public:
  // cr draws on a page of sx x sy page units per device pixel.
  VectorCanvas(cairo_t* cr, double sx, double sy);
  VectorCanvas(const VectorCanvas&) = delete;
  VectorCanvas& operator=(const VectorCanvas&) = delete;

  void SetClip(const RECT& clip);
  void Polyline(std::span<const Point64> points, const Stroke& stroke, int patternPos);
  void FillRect(const Rect64& r, const Fill& fill);
  void Rectangle(Rect64 bounds, const Stroke& stroke, const Fill& fill);
  void Ellipse(Rect64 bounds, const Stroke& stroke, const Fill& fill);
  void Quad(const QuadRecord& quad);
  void Text(const TextRecord& run);
  void Blit(const BlitRecord& blit);

  const std::vector<PlacedText>& Texts() const { return texts_; }
  // Records that used a mix other than a plain copy, or lay too far away.
  int LeftOut() const { return leftOut_; }

 private:
  bool UseMix(const Mix& mix);
  void Image(const BlitRecord& blit);
  bool UseFill(const Fill& fill);
  void StrokeCosmetic(std::span<const Point64> points, const Stroke& stroke, int patternPos);
  void StrokeWide(std::span<const Point64> points, const Stroke& stroke);
  void PolylinePath(std::span<const Point64> points, double shift, double margin, double period);
  void AreaPath(Rect64 r, bool ellipse, double inset);
  void FillArea(const Rect64& r, bool ellipse, const Fill& fill);
  void OutlineArea(const Rect64& r, bool ellipse, const Stroke& stroke);
  cairo_font_face_t* FaceOf(const FontInstance& font);

  cairo_t* cr_;
  RECT clip_{0, 0, 0, 0};
  int leftOut_ = 0;
  std::map<std::tuple<std::string, int, bool>, CairoFacePtr> faces_;  // file, face index, bold
  std::vector<PlacedText> texts_;
};

}  // namespace kelmira::gdi
