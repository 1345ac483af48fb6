// KelmiraSaveRecording: a recording as an SVG or PDF file, drawn by cairo.
//
// The file is made in memory and then written beside its name and renamed over it, as PNG
// pictures are, so a failure leaves no partial file. Every record is drawn in its own clip
// rectangle on a page that starts with the recording's background colour.
//
// What a vector file cannot express is left out: strokes, fills and blits whose mix depends on
// what lies underneath (R2_NOTXORPEN rubber bands, XOR, SRCPAINT and other non-copy blits).
// Replaying the recording still draws them; only the file lacks them.
//
// Text: the PDF carries the glyphs with their characters (searchable, copyable). cairo's SVG
// surface draws glyphs as shapes (<symbol> outlines placed with <use>), which look exactly like
// the raster text but are not text; so the SVG also gets every run as a transparent <text>
// element at the same place, in the face's family name, for search and selection.
//
// A recording that lost records (memory ran out) is written as its bitmap, one image: right,
// if not sharp.
#include "gdi/vector_canvas.h"

#include "gdi/device_context.h"

#include "com/atomic_file.h"
#include "com/file_errors.h"

#include <kelmira/platform/guarded.h>

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

namespace kelmira::gdi {
namespace {

constexpr double kPointsPerPixel = 0.75;  // 96 pixels to the inch
constexpr double kMaxPagePoints = 14400;  // 200 inches, the largest page PDF readers accept

enum class Format { Svg, Pdf };

cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length) {
  try {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  } catch (...) {
    return CAIRO_STATUS_NO_MEMORY;
  }
}

bool ValidPageSide(double v) { return std::isfinite(v) && v > 0 && v <= kMaxPagePoints; }

void DrawRecord(VectorCanvas& canvas, const Record& record) {
  std::visit(
      [&](const auto& item) {
        using T = std::decay_t<decltype(item)>;
        if constexpr (std::is_same_v<T, StrokeRecord>) canvas.Polyline(item.points, item.stroke, item.patternStart);
        if constexpr (std::is_same_v<T, ShapeRecord>) {
          if (item.kind == ShapeRecord::Kind::Rectangle) canvas.Rectangle(item.bounds, item.stroke, item.fill);
          if (item.kind == ShapeRecord::Kind::Ellipse) canvas.Ellipse(item.bounds, item.stroke, item.fill);
        }
        if constexpr (std::is_same_v<T, FillRecord>) canvas.FillRect(item.rect, item.fill);
        if constexpr (std::is_same_v<T, QuadRecord>) canvas.Quad(item);
        if constexpr (std::is_same_v<T, TextRecord>) canvas.Text(item);
        if constexpr (std::is_same_v<T, BlitRecord>) canvas.Blit(item);
      },
      record.item);
}

// The bitmap as the one record of a recording whose records are not all there.
Recording PixelsAsRecording(const Recording& recording, const Surface& surface) {
  Recording copy{recording.width, recording.height, recording.background, true, {}};
  BlitRecord blit;
  blit.area = {0, 0, surface.width, surface.height};
  blit.imageWidth = surface.width;
  blit.imageHeight = surface.height;
  blit.image.reserve(static_cast<std::size_t>(surface.width) * surface.height);
  for (int y = 0; y < surface.height; ++y)
    blit.image.insert(blit.image.end(), surface.Row(y), surface.Row(y) + surface.width);
  copy.records.push_back({surface.Bounds(), std::move(blit)});
  return copy;
}

void DrawRecording(cairo_t* cr, const Recording& recording, double sx, double sy, std::vector<PlacedText>& texts) {
  VectorCanvas canvas(cr, sx, sy);
  canvas.SetClip({0, 0, recording.width, recording.height});
  canvas.FillRect({0, 0, recording.width, recording.height}, MakeSolidFill(recording.background, kRop2CopyPen));
  RECT clip{0, 0, recording.width, recording.height};
  for (const Record& record : recording.records) {
    if (std::memcmp(&clip, &record.clip, sizeof clip) != 0) {
      clip = record.clip;
      canvas.SetClip(clip);
    }
    DrawRecord(canvas, record);
  }
  texts = canvas.Texts();
}

void AppendEscaped(std::string& out, const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
}

void AppendNumbers(std::string& out, const std::vector<double>& values) {
  char buffer[32];
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, i ? " %.3f" : "%.3f", values[i]);
    out += buffer;
  }
}

// The runs as transparent text over the glyph shapes, just before the closing tag.
void AddSvgText(std::string& svg, const std::vector<PlacedText>& texts) {
  const std::size_t end = svg.rfind("</svg>");
  if (texts.empty() || end == std::string::npos) return;
  std::string layer = "<g fill-opacity=\"0\" xml:space=\"preserve\">\n";
  char buffer[256];
  for (const PlacedText& t : texts) {
    const cairo_matrix_t& m = t.toPage;
    std::snprintf(buffer, sizeof buffer,
                  "<text transform=\"matrix(%.6f %.6f %.6f %.6f %.3f %.3f)\" font-size=\"%.3f\" ", m.xx, m.yx, m.xy,
                  m.yy, m.x0, m.y0, t.fontSize);
    layer += buffer;
    layer += "font-family=\"";
    AppendEscaped(layer, t.family);
    layer += "\" x=\"";
    AppendNumbers(layer, t.x);
    layer += "\" y=\"";
    AppendNumbers(layer, t.y);
    layer += "\">";
    AppendEscaped(layer, t.utf8);
    layer += "</text>\n";
  }
  layer += "</g>\n";
  svg.insert(end, layer);
}

HRESULT Render(const Recording& recording, Format format, double widthPt, double heightPt, std::string* out) {
  CairoSurfacePtr surface(format == Format::Pdf
                              ? cairo_pdf_surface_create_for_stream(AppendToString, out, widthPt, heightPt)
                              : cairo_svg_surface_create_for_stream(AppendToString, out, widthPt, heightPt));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return E_OUTOFMEMORY;
  if (format == Format::Pdf) cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Kelmira");
  if (format == Format::Svg) cairo_svg_surface_set_document_unit(surface.get(), CAIRO_SVG_UNIT_PT);
  std::vector<PlacedText> texts;
  {
    CairoPtr cr(cairo_create(surface.get()));
    DrawRecording(cr.get(), recording, widthPt / recording.width, heightPt / recording.height, texts);
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return E_OUTOFMEMORY;
  }
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return E_OUTOFMEMORY;
  if (format == Format::Svg) AddSvgText(*out, texts);
  return S_OK;
}

}  // namespace
}  // namespace kelmira::gdi

using namespace kelmira::gdi;

HRESULT KelmiraSaveRecording(HDC hdc, const char* path, const char* format, double widthPt, double heightPt) {
  const Recording* recording = RecordingOf(hdc);
  const DeviceContext* dc = LookupDC(hdc);
  if (!recording || !dc || recording->width <= 0 || recording->height <= 0) return E_INVALIDARG;
  if (!path || !*path || !format) return E_INVALIDARG;
  Format kind;
  if (strcasecmp(format, "svg") == 0) {
    kind = Format::Svg;
  } else if (strcasecmp(format, "pdf") == 0) {
    kind = Format::Pdf;
  } else {
    return E_INVALIDARG;
  }
  if (widthPt == 0 && heightPt == 0) {
    widthPt = recording->width * kPointsPerPixel;
    heightPt = recording->height * kPointsPerPixel;
  }
  if (!ValidPageSide(widthPt) || !ValidPageSide(heightPt)) return E_INVALIDARG;
  return kelmira::Guarded([&] {
    std::string file;
    const bool whole = recording->complete || dc->surface.Empty();
    HRESULT hr = whole ? Render(*recording, kind, widthPt, heightPt, &file)
                       : Render(PixelsAsRecording(*recording, dc->surface), kind, widthPt, heightPt, &file);
    if (FAILED(hr)) return hr;
    const int err = kelmira::files::WriteFileAtomically(path, file);
    return err ? kelmira::files::ReplaceErrorToHResult(err) : S_OK;
  });
}
