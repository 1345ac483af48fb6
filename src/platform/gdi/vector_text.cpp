// Text runs on the vector canvas: the font file the raster text uses, at the same pixel sizes
// and synthetic styles, glyphs at the recorded pen points, written with their characters so that
// a PDF's text can be searched and copied.
#include "gdi/vector_canvas.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <memory>

namespace kelmira::gdi {
namespace {

constexpr double kObliqueShear = 0.2126;  // the raster's synthetic slant

struct FcPatternFree {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void SetSourceColor(cairo_t* cr, COLORREF c) {
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
}

}  // namespace

cairo_font_face_t* VectorCanvas::FaceOf(const FontInstance& font) {
  const bool bold = font.BoldStrength() > 0;
  auto key = std::make_tuple(font.FilePath(), font.FileIndex(), bold);
  auto it = faces_.find(key);
  if (it != faces_.end()) return it->second.get();
  std::unique_ptr<FcPattern, FcPatternFree> pattern(FcPatternCreate());
  if (!pattern) return nullptr;
  FcPatternAddString(pattern.get(), FC_FILE, reinterpret_cast<const FcChar8*>(font.FilePath().c_str()));
  FcPatternAddInteger(pattern.get(), FC_INDEX, font.FileIndex());
  CairoFacePtr face(cairo_ft_font_face_create_for_pattern(pattern.get()));
  if (cairo_font_face_status(face.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  if (bold) cairo_ft_font_face_set_synthesize(face.get(), CAIRO_FT_SYNTHESIZE_BOLD);
  return faces_.emplace(key, std::move(face)).first->second.get();
}

void VectorCanvas::Text(const TextRecord& run) {
  if (!run.font || run.pens.size() != run.text.size() + 1) return;
  if (!(std::abs(run.toDevice.dx) < kFarCoordinate && std::abs(run.toDevice.dy) < kFarCoordinate)) {
    ++leftOut_;
    return;
  }
  const FontInstance& font = *run.font;
  const FontMetrics& metrics = font.Metrics();
  const double extent = static_cast<double>(run.pens.back().x);
  const RunTransform& t = run.toDevice;
  cairo_matrix_t frame, inverse;
  cairo_matrix_init(&frame, t.xx, t.yx, t.xy, t.yy, t.dx, t.dy);
  inverse = frame;
  // A flattened frame draws nothing, and would put the whole context in an error state.
  if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS || metrics.em <= 0 || font.XPixels() <= 0) return;
  cairo_save(cr_);
  cairo_transform(cr_, &frame);

  if (run.fillCell) {
    SetSourceColor(cr_, run.bkColor);
    cairo_rectangle(cr_, 0, 0, extent, metrics.height);
    cairo_fill(cr_);
  }
  SetSourceColor(cr_, run.textColor);
  cairo_font_face_t* face = font.FilePath().empty() ? nullptr : FaceOf(font);
  if (run.drawGlyphs && face) {
    cairo_set_font_face(cr_, face);
    cairo_matrix_t size;
    const double slant = font.SyntheticOblique() ? -kObliqueShear * metrics.em : 0.0;
    cairo_matrix_init(&size, font.XPixels(), 0, slant, metrics.em, 0, 0);
    cairo_set_font_matrix(cr_, &size);
    std::vector<cairo_glyph_t> glyphs;
    std::vector<cairo_text_cluster_t> clusters;
    PlacedText placed;
    cairo_scaled_font_t* scaled = cairo_get_scaled_font(cr_);
    FT_Face ft = cairo_ft_scaled_font_lock_face(scaled);
    for (std::size_t i = 0; ft && i < run.text.size(); ++i) {
      const char16_t ch = run.text[i];
      const unsigned index = FT_Get_Char_Index(ft, ch);
      if (index == 0 && ch < u' ') continue;  // invisible, as in the raster
      const std::size_t before = placed.utf8.size();
      AppendUtf8(placed.utf8, ch >= 0xD800 && ch < 0xE000 ? char32_t{0xFFFD} : char32_t{ch});
      const double x = static_cast<double>(run.pens[i].x);
      const double y = static_cast<double>(run.pens[i].y) + metrics.ascent;
      glyphs.push_back({index, x, y});
      clusters.push_back({static_cast<int>(placed.utf8.size() - before), 1});
      placed.x.push_back(x);
      placed.y.push_back(y);
    }
    if (ft) cairo_ft_scaled_font_unlock_face(scaled);
    if (!glyphs.empty()) {
      cairo_show_text_glyphs(cr_, placed.utf8.data(), static_cast<int>(placed.utf8.size()), glyphs.data(),
                             static_cast<int>(glyphs.size()), clusters.data(), static_cast<int>(clusters.size()),
                             cairo_text_cluster_flags_t{});
      cairo_get_matrix(cr_, &placed.toPage);
      placed.fontSize = metrics.em;
      // The face actually drawn first, so that a viewer without the asked one finds the same.
      placed.family = font.FamilyName().empty() || font.FamilyName() == font.FaceName()
                          ? font.FaceName()
                          : font.FamilyName() + ", " + font.FaceName();
      texts_.push_back(std::move(placed));
    }
  }

  const double underlineTop = metrics.ascent + metrics.underlineOffset;
  auto rule = [&](double x0, double x1, double top, int thickness) {
    cairo_rectangle(cr_, x0, top, x1 - x0, thickness);
    cairo_fill(cr_);
  };
  if (metrics.underline) rule(0, extent, underlineTop, metrics.underlineThickness);
  if (metrics.strikeOut) rule(0, extent, metrics.ascent - metrics.strikeOutOffset, metrics.strikeOutThickness);
  for (auto [x0, x1] : run.underlines)
    rule(static_cast<double>(x0), static_cast<double>(x1), underlineTop, metrics.underlineThickness);
  cairo_restore(cr_);
}

}  // namespace kelmira::gdi
