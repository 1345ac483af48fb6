// BitBlt and PatBlt: ternary raster operations over a rectangle of the destination.
//
// Device coordinates come from the logical origin of each rectangle (a world transform moves the
// rectangles but does not scale or rotate the pixels). The rectangle is clipped to the
// destination's clip area and to the part of the source that exists. When source and
// destination share pixels and overlap, the source is copied aside first.
#include "gdi/blit_rows.h"
#include "gdi/brush_fill.h"
#include "gdi/device_context.h"
#include "gdi/gdi_error.h"
#include "gdi/raster.h"
#include "gdi/recording_hooks.h"

#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <vector>

namespace kelmira::gdi {
namespace {

struct Area {
  std::int64_t left, top, right, bottom;
  bool Empty() const { return left >= right || top >= bottom; }
};

Area Intersect(const Area& a, const Area& b) {
  return Area{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

Area FromRect(const RECT& r) { return Area{r.left, r.top, r.right, r.bottom}; }

// The source pixels of a blit: row y of the destination reads row y + dy of `surface`, column
// x reads x + dx.
struct Source {
  const std::uint32_t* base = nullptr;  // pixel (0, 0)
  std::ptrdiff_t stride = 0;
  std::int64_t dx = 0;
  std::int64_t dy = 0;
  const std::uint32_t* At(std::int64_t x, std::int64_t y) const {
    return base + static_cast<std::ptrdiff_t>(y + dy) * stride + static_cast<std::ptrdiff_t>(x + dx);
  }
};

PatternRow PatternAt(const Fill& fill, std::int64_t y, std::int64_t x0) {
  PatternRow row;
  if (fill.kind == Fill::Kind::None) return row;
  row.color = fill.mix.xorMask;  // R2_COPYPEN mixes carry the colour itself
  if (fill.kind == Fill::Kind::Solid) {
    row.kind = PatternRow::Kind::Solid;
    return row;
  }
  row.kind = PatternRow::Kind::Hatch;
  row.opaque = !fill.gapMix.IsNop();
  row.background = fill.gapMix.xorMask;
  std::uint32_t bits = fill.rows[static_cast<std::size_t>((y - fill.origin.y) & 7)];
  auto phase = static_cast<unsigned>((x0 - fill.origin.x) & 7);
  row.bits = static_cast<std::uint8_t>(((bits >> phase) | (bits << (8 - phase))) & 0xFFu);
  return row;
}

Fill SelectedBrushFill(const DeviceContext& dc) {
  BrushObject* brush = SelectedBrush(dc);
  return brush ? BrushFill(dc, *brush, R2_COPYPEN) : Fill{};
}

Fill PatternFill(const DeviceContext& dc, std::uint8_t code) {
  return Rop3UsesPattern(code) ? SelectedBrushFill(dc) : Fill{};
}

void Run(const Surface& surface, const Area& area, std::uint8_t code, const Fill& fill, const Source* source) {
  std::int64_t width = area.right - area.left;
  for (std::int64_t y = area.top; y < area.bottom; ++y) {
    std::uint32_t* row = surface.Row(static_cast<int>(y)) + area.left;
    const std::uint32_t* src = source ? source->At(area.left, y) : nullptr;
    BlendRow(code, row, src, PatternAt(fill, y, area.left), width);
  }
}

// Copies the source rectangle that `area` reads into `copy` and points `source` at it.
bool SetAside(const Area& area, Source& source, std::vector<std::uint32_t>& copy) {
  std::int64_t width = area.right - area.left;
  std::int64_t height = area.bottom - area.top;
  if (FAILED(Guarded([&] { copy.resize(static_cast<std::size_t>(width * height)); }))) return false;
  for (std::int64_t y = 0; y < height; ++y)
    std::copy_n(source.At(area.left, area.top + y), width, copy.data() + y * width);
  source = Source{copy.data(), static_cast<std::ptrdiff_t>(width), -area.left, -area.top};
  return true;
}

bool Overlaps(const Surface& a, const Surface& b) { return a.pixels == b.pixels; }

RECT ToRect(const Area& a) {
  return RECT{static_cast<LONG>(a.left), static_cast<LONG>(a.top), static_cast<LONG>(a.right),
              static_cast<LONG>(a.bottom)};
}

BlitRecord BlitOver(const Area& a, std::uint8_t code, const Fill& pattern) {
  BlitRecord blit;
  blit.area = Rect64{a.left, a.top, a.right, a.bottom};
  blit.rop3 = code;
  blit.pattern = pattern;
  return blit;
}

// A SRCCOPY from a bitmap that records brings its records along (the destination then keeps
// lines as lines); any other blit keeps the source pixels it read as an image.
void RecordBitBlt(DeviceContext& dst, const DeviceContext& src, const Area& area, std::uint8_t code,
                  const Source& source, DevicePoint d, DevicePoint s) {
  Recording& into = *dst.recording;
  const bool splice = code == 0xCC && src.recording && src.recording != &into && src.recording->complete;
  const HRESULT hr = Guarded([&] {
    if (splice) {
      SpliceRecording(*src.recording, Point64{d.x - s.x, d.y - s.y}, ToRect(area), nullptr, &into);
      return;
    }
    BlitRecord blit = BlitOver(area, code, PatternFill(dst, code));
    blit.imageWidth = static_cast<int>(area.right - area.left);
    blit.imageHeight = static_cast<int>(area.bottom - area.top);
    blit.image.reserve(static_cast<std::size_t>(blit.imageWidth) * static_cast<std::size_t>(blit.imageHeight));
    for (std::int64_t y = area.top; y < area.bottom; ++y) {
      const std::uint32_t* row = source.At(area.left, y);
      blit.image.insert(blit.image.end(), row, row + blit.imageWidth);
    }
    RecordBlit(into, ToRect(area), std::move(blit));
  });
  if (FAILED(hr)) into.complete = false;
}

}  // namespace

void PaintBlitRecord(const Surface& surface, const RECT& clip, const BlitRecord& blit) {
  const Area area = Intersect(Area{blit.area.left, blit.area.top, blit.area.right, blit.area.bottom}, FromRect(clip));
  if (area.Empty()) return;
  if (blit.image.empty()) {
    Run(surface, area, blit.rop3, blit.pattern, nullptr);
    return;
  }
  const Source source{blit.image.data(), blit.imageWidth, -blit.area.left, -blit.area.top};
  Run(surface, area, blit.rop3, blit.pattern, &source);
}

}  // namespace kelmira::gdi

using namespace kelmira::gdi;

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  DeviceContext* dst = LookupDC(hdc);
  if (!dst) return FALSE;
  std::uint8_t code = Rop3Code(rop);
  if (!Rop3UsesSource(code)) return PatBlt(hdc, x, y, cx, cy, rop);
  DeviceContext* src = LookupDC(hdcSrc);
  if (!src) return FALSE;
  if (cx <= 0 || cy <= 0) return TRUE;

  DevicePoint d = TransformPoint(*dst, x, y);
  DevicePoint s = TransformPoint(*src, x1, y1);
  // The source rectangle limited to the source surface, moved onto the destination.
  Area from = Intersect(Area{s.x, s.y, s.x + cx, s.y + cy}, FromRect(src->surface.Bounds()));
  if (src->surface.Empty()) return TRUE;
  Area area{from.left - s.x + d.x, from.top - s.y + d.y, from.right - s.x + d.x, from.bottom - s.y + d.y};
  area = Intersect(area, FromRect(DcClip(*dst)));
  if (area.Empty()) return TRUE;

  Source source{src->surface.pixels, src->surface.stride, s.x - d.x, s.y - d.y};
  std::vector<std::uint32_t> copy;
  if (Overlaps(dst->surface, src->surface) && !SetAside(area, source, copy))
    return Fail(ERROR_NOT_ENOUGH_MEMORY, FALSE);
  if (dst->recording) RecordBitBlt(*dst, *src, area, code, source, d, s);
  Run(dst->surface, area, code, PatternFill(*dst, code), &source);
  return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  std::uint8_t code = Rop3Code(rop);
  if (Rop3UsesSource(code)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  DevicePoint p = TransformPoint(*dc, x, y);
  // A negative extent reaches left or up from the point.
  Area area{p.x, p.y, p.x + w, p.y + h};
  if (w < 0) std::swap(area.left, area.right);
  if (h < 0) std::swap(area.top, area.bottom);
  area = Intersect(area, FromRect(DcClip(*dc)));
  if (area.Empty()) return TRUE;
  const Fill fill = PatternFill(*dc, code);
  if (dc->recording) RecordBlit(*dc->recording, ToRect(area), BlitOver(area, code, fill));
  Run(dc->surface, area, code, fill, nullptr);
  return TRUE;
}
