// Replaying records: onto another context (KelmiraPlayRecording) and into another recording
// (a SRCCOPY blit splices the source bitmap's records instead of its pixels).
//
// Replay calls the raster routines with the recorded inputs moved by a whole number of pixels,
// which the pixel rules leave unchanged, so a replay paints what the recording bitmap got.
#include "gdi/device_context.h"
#include "gdi/gdi_error.h"
#include "gdi/recording_hooks.h"

#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <cstdint>

namespace kelmira::gdi {
namespace {

Point64 Moved(Point64 p, Point64 by) { return {p.x + by.x, p.y + by.y}; }
Rect64 Moved(const Rect64& r, Point64 by) { return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

// A RECT moved without overflowing 32 bits (coordinates beyond are outside any surface anyway).
RECT MovedClip(const RECT& r, Point64 by) {
  auto clamp = [](std::int64_t v) { return static_cast<LONG>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
  return RECT{clamp(r.left + by.x), clamp(r.top + by.y), clamp(r.right + by.x), clamp(r.bottom + by.y)};
}

void Move(Fill& fill, Point64 by) { fill.origin = Moved(fill.origin, by); }

void Move(StrokeRecord& r, Point64 by) {
  for (Point64& p : r.points) p = Moved(p, by);
}
void Move(ShapeRecord& r, Point64 by) {
  r.bounds = Moved(r.bounds, by);
  Move(r.fill, by);
}
void Move(FillRecord& r, Point64 by) {
  r.rect = Moved(r.rect, by);
  Move(r.fill, by);
}
void Move(QuadRecord& r, Point64 by) {
  for (int i = 0; i < 4; ++i) {
    r.quad.x[i] += static_cast<double>(by.x);
    r.quad.y[i] += static_cast<double>(by.y);
  }
}
void Move(TextRecord& r, Point64 by) {
  r.toDevice.dx += static_cast<double>(by.x);
  r.toDevice.dy += static_cast<double>(by.y);
}
void Move(BlitRecord& r, Point64 by) {
  r.area = Moved(r.area, by);
  Move(r.pattern, by);
}

void Paint(const Surface& surface, const RECT& clip, const StrokeRecord& r) {
  int phase = r.patternStart;
  StrokePolyline(surface, clip, r.points, r.stroke, phase);
}
void Paint(const Surface& surface, const RECT& clip, const ShapeRecord& r) {
  if (r.kind == ShapeRecord::Kind::Rectangle)
    DrawRectangle(surface, clip, r.bounds, r.stroke, r.fill);
  else
    DrawEllipse(surface, clip, r.bounds, r.stroke, r.fill);
}
void Paint(const Surface& surface, const RECT& clip, const FillRecord& r) {
  FillRectWith(surface, clip, r.rect, r.fill);
}
void Paint(const Surface& surface, const RECT& clip, const QuadRecord& r) {
  FillQuad(surface, clip, r.quad, PixelFromColor(r.color));
}
void Paint(const Surface& surface, const RECT& clip, const TextRecord& r) {
  if (!r.font) return;
  TextRun run;
  run.text = r.text;
  run.pens = r.pens;
  run.fillCell = r.fillCell;
  run.drawGlyphs = r.drawGlyphs;
  run.underlines = r.underlines;
  PaintRun(surface, *r.font, run, r.toDevice, r.textColor, r.bkColor, clip);
}
void Paint(const Surface& surface, const RECT& clip, const BlitRecord& r) { PaintBlitRecord(surface, clip, r); }

}  // namespace

void PaintRecord(const Surface& surface, const Record& record) {
  const RECT clip = IntersectRects(record.clip, surface.Bounds());
  if (IsEmptyRect(clip)) return;
  std::visit([&](const auto& item) { Paint(surface, clip, item); }, record.item);
}

void SpliceRecording(const Recording& source, Point64 offset, const RECT& area, const Surface* surface,
                     Recording* into) {
  auto emit = [&](Record record) {
    if (IsEmptyRect(record.clip)) return;
    if (surface) PaintRecord(*surface, record);
    if (into) AppendRecord(*into, std::move(record));
  };
  if (source.records.empty() || !CoversAll(source, source.records.front())) {
    const Rect64 all{area.left, area.top, area.right, area.bottom};
    emit(Record{area, FillRecord{all, MakeSolidFill(source.background, R2_COPYPEN)}});
  }
  for (const Record& record : source.records) {
    Record moved{IntersectRects(MovedClip(record.clip, offset), area), {}};
    if (IsEmptyRect(moved.clip)) continue;
    moved.item = record.item;
    std::visit([&](auto& item) { Move(item, offset); }, moved.item);
    emit(std::move(moved));
  }
}

}  // namespace kelmira::gdi

using namespace kelmira::gdi;

BOOL KelmiraPlayRecording(HDC recording, HDC target, int x, int y) {
  const Recording* source = RecordingOf(recording);
  DeviceContext* dst = LookupDC(target);
  if (!source || !dst) return Fail(ERROR_INVALID_HANDLE, FALSE);
  // Replaying into the recording itself would read the records while adding to them.
  if (dst->recording == source) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  const DevicePoint at = TransformPoint(*dst, x, y);
  const Point64 offset{at.x, at.y};
  const RECT whole = MovedClip(RECT{0, 0, source->width, source->height}, offset);
  const RECT area = IntersectRects(whole, DcClip(*dst));
  if (IsEmptyRect(area)) return TRUE;
  return kelmira::GuardedOr(FALSE, [&] {
    SpliceRecording(*source, offset, area, &dst->surface, dst->recording);
    return TRUE;
  });
}
