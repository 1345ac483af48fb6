// Recording device contexts and the records the drawing calls add.
//
// A record that paints a rectangle opaquely (a background fill, a copied picture) hides every
// earlier record that could only paint inside it, so those are dropped: a picture that is
// repainted again and again keeps only its last paint.
#include "gdi/recording.h"

#include "gdi/bitmap_factory.h"
#include "gdi/gdi_error.h"
#include "gdi/recording_hooks.h"

#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <cmath>

namespace kelmira::gdi {
namespace {

constexpr int kMaxRecordingSide = 16384;
constexpr std::uint8_t kRopBlackness = 0x00;
constexpr std::uint8_t kRopSrcCopy = 0xCC;
constexpr std::uint8_t kRopPatCopy = 0xF0;
constexpr std::uint8_t kRopWhiteness = 0xFF;

bool IsOpaqueSolid(const Fill& fill) { return fill.kind == Fill::Kind::Solid && fill.mix.IsCopy(); }

LONG ClampToLong(double v) { return static_cast<LONG>(std::clamp(v, -2147483648.0, 2147483647.0)); }

RECT RectOf(const Rect64& r) {
  auto clamp = [](std::int64_t v) { return static_cast<LONG>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
  return RECT{clamp(r.left), clamp(r.top), clamp(r.right), clamp(r.bottom)};
}

// An axis-aligned quad paints the pixels whose centres lie inside: a rectangle of whole pixels.
RECT QuadCover(const DeviceQuad& q) {
  const bool aligned = (q.x[0] == q.x[3] && q.x[1] == q.x[2] && q.y[0] == q.y[1] && q.y[2] == q.y[3]) ||
                       (q.x[0] == q.x[1] && q.x[2] == q.x[3] && q.y[0] == q.y[3] && q.y[1] == q.y[2]);
  if (!aligned) return RECT{0, 0, 0, 0};
  const auto [minX, maxX] = std::minmax({q.x[0], q.x[1], q.x[2], q.x[3]});
  const auto [minY, maxY] = std::minmax({q.y[0], q.y[1], q.y[2], q.y[3]});
  return RECT{ClampToLong(std::ceil(minX - 0.5)), ClampToLong(std::ceil(minY - 0.5)),
              ClampToLong(std::ceil(maxX - 0.5)), ClampToLong(std::ceil(maxY - 0.5))};
}

bool BlitIsOpaque(const BlitRecord& blit) {
  switch (blit.rop3) {
    case kRopBlackness:
    case kRopWhiteness: return true;
    case kRopPatCopy: return IsOpaqueSolid(blit.pattern);
    case kRopSrcCopy: return !blit.image.empty();
    default: return false;
  }
}

// The device rectangle a record paints in full whatever was there (empty when it paints none).
RECT OpaqueCover(const Record& record) {
  RECT cover{0, 0, 0, 0};
  if (const auto* fill = std::get_if<FillRecord>(&record.item)) {
    if (IsOpaqueSolid(fill->fill)) cover = RectOf(fill->rect);
  } else if (const auto* quad = std::get_if<QuadRecord>(&record.item)) {
    cover = QuadCover(quad->quad);
  } else if (const auto* blit = std::get_if<BlitRecord>(&record.item)) {
    if (BlitIsOpaque(*blit)) cover = RectOf(blit->area);
  }
  return IntersectRects(cover, record.clip);
}

bool Contains(const RECT& outer, const RECT& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

long long Area(const RECT& r) {
  return static_cast<long long>(r.right - r.left) * static_cast<long long>(r.bottom - r.top);
}

}  // namespace

bool CoversAll(const Recording& recording, const Record& record) {
  return Contains(OpaqueCover(record), RECT{0, 0, recording.width, recording.height});
}

namespace {

bool SameMix(const Mix& a, const Mix& b) { return a.andMask == b.andMask && a.xorMask == b.xorMask; }

bool SameStroke(const Stroke& a, const Stroke& b) {
  return a.kind == b.kind && SameMix(a.mix, b.mix) && SameMix(a.gapMix, b.gapMix) &&
         a.pattern.onBits == b.pattern.onBits && a.pattern.period == b.pattern.period && a.width == b.width;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Consecutive LineTo calls of one cosmetic pen continue the previous record when they start
// where it ended, in the same pattern phase: replaying the longer path paints the same pixels.
StrokeRecord* ContinuedStroke(Recording& recording, const RECT& clip, Point64 start, const Stroke& stroke,
                              int patternStart) {
  if (recording.records.empty() || stroke.kind != Stroke::Kind::Cosmetic) return nullptr;
  Record& last = recording.records.back();
  auto* path = std::get_if<StrokeRecord>(&last.item);
  if (!path || !SameRect(last.clip, clip) || !SameStroke(path->stroke, stroke)) return nullptr;
  const Point64 end = path->points.back();
  if (end.x != start.x || end.y != start.y || path->patternEnd != patternStart) return nullptr;
  return path;
}

// Runs `add`; a record lost for want of memory leaves the recording incomplete.
template <class F>
void Keep(Recording& recording, F&& add) {
  if (FAILED(Guarded(add))) recording.complete = false;
}

}  // namespace

void AppendRecord(Recording& recording, Record record) {
  if (IsEmptyRect(record.clip)) return;
  Keep(recording, [&] {
    const RECT cover = OpaqueCover(record);
    if (Contains(cover, RECT{0, 0, recording.width, recording.height})) {
      recording.records.clear();
      recording.complete = true;
    } else if (!IsEmptyRect(cover) && Area(cover) >= static_cast<long long>(recording.records.size())) {
      // Records that cannot paint outside the cover are hidden by it. (Scanning only for covers at
      // least as many pixels as there are records keeps the scan cheaper than the painting.)
      std::erase_if(recording.records, [&](const Record& r) { return Contains(cover, r.clip); });
    }
    recording.records.push_back(std::move(record));
  });
}

void RecordStroke(Recording& recording, const RECT& clip, std::span<const Point64> points, const Stroke& stroke,
                  int patternStart, int patternEnd) {
  if (points.size() < 2 || stroke.kind == Stroke::Kind::None || IsEmptyRect(clip)) return;
  if (StrokeRecord* path = ContinuedStroke(recording, clip, points.front(), stroke, patternStart)) {
    Keep(recording, [&] { path->points.insert(path->points.end(), points.begin() + 1, points.end()); });
    path->patternEnd = patternEnd;
    return;
  }
  Keep(recording, [&] {
    StrokeRecord path{std::vector<Point64>(points.begin(), points.end()), stroke, patternStart, patternEnd};
    AppendRecord(recording, Record{clip, std::move(path)});
  });
}

void RecordShape(Recording& recording, const RECT& clip, ShapeRecord::Kind kind, const Rect64& bounds,
                 const Stroke& stroke, const Fill& fill) {
  AppendRecord(recording, Record{clip, ShapeRecord{kind, bounds, stroke, fill}});
}

void RecordFill(Recording& recording, const RECT& clip, const Rect64& rect, const Fill& fill) {
  if (fill.kind == Fill::Kind::None) return;
  AppendRecord(recording, Record{clip, FillRecord{rect, fill}});
}

void RecordQuad(Recording& recording, const RECT& clip, const DeviceQuad& quad, COLORREF color) {
  AppendRecord(recording, Record{clip, QuadRecord{quad, color}});
}

void RecordText(Recording& recording, const RECT& clip, const std::shared_ptr<const FontInstance>& font,
                const TextRun& run, const RunTransform& toDevice, COLORREF textColor, COLORREF bkColor) {
  Keep(recording, [&] {
    TextRecord text{font,         std::u16string(run.text), run.pens,      toDevice, textColor, bkColor,
                    run.fillCell, run.drawGlyphs,           run.underlines};
    AppendRecord(recording, Record{clip, std::move(text)});
  });
}

void RecordBlit(Recording& recording, const RECT& clip, BlitRecord blit) {
  AppendRecord(recording, Record{clip, std::move(blit)});
}

bool StartRecording(HBITMAP bitmap, COLORREF background) {
  BitmapObject* object = LookupBitmap(bitmap);
  if (!object) return false;
  return SUCCEEDED(Guarded([&] {
    auto recording = std::make_shared<Recording>();
    recording->width = object->surface.width;
    recording->height = object->surface.height;
    recording->background = background;
    object->recording = std::move(recording);
  }));
}

const Recording* RecordingOf(HDC hdc) {
  const DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->recording : nullptr;
}

}  // namespace kelmira::gdi

using namespace kelmira::gdi;

HDC KelmiraCreateRecordingDC(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxRecordingSide || height > kMaxRecordingSide)
    return Fail(ERROR_INVALID_PARAMETER, HDC{});
  HBITMAP bitmap = NewBitmap(width, height, false, nullptr);
  if (!bitmap) return HDC{};
  BitmapObject* object = LookupBitmap(bitmap);
  std::fill(object->storage.begin(), object->storage.end(), PixelFromColor(RGB(255, 255, 255)));
  HDC hdc = StartRecording(bitmap, RGB(255, 255, 255)) ? CreateCompatibleDC(nullptr) : HDC{};
  DeviceContext* dc = hdc ? LookupDC(hdc) : nullptr;
  if (!dc || !SelectObject(hdc, bitmap)) {
    if (hdc) DeleteDC(hdc);
    DeleteObject(bitmap);
    return Fail(ERROR_NOT_ENOUGH_MEMORY, HDC{});
  }
  dc->recordsCompatibles = true;
  dc->ownBitmap = bitmap;
  return hdc;
}

int KelmiraGetRecordCount(HDC recording) {
  const Recording* r = RecordingOf(recording);
  return r ? static_cast<int>(r->records.size()) : -1;
}
