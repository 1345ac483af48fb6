// MoveToEx, LineTo, Polyline, PolylineTo and the mix mode.
//
// The style pattern of a cosmetic pen continues from one LineTo to the next and starts afresh
// at MoveToEx; Polyline starts its own pattern and leaves the device context's alone.
#include "gdi/dc_paint.h"
#include "gdi/gdi_error.h"
#include "gdi/recording_hooks.h"

#include <kelmira/platform/guarded.h>

#include <vector>

using namespace kelmira::gdi;

namespace {

Point64 DevicePointOf(const DeviceContext& dc, const POINT& p) { return ToPoint64(TransformPoint(dc, p)); }

// A recording context keeps the path in device points; a path it has no memory for is lost to
// the recording, not to the drawing.
void RecordPath(const DeviceContext& dc, const RECT& clip, const POINT* start, const POINT* points, std::size_t count,
                const Stroke& stroke, int patternStart, int patternEnd) {
  const HRESULT hr = kelmira::Guarded([&] {
    if (start && count == 1) {  // LineTo: usually continues the last record, with no allocation
      const Point64 segment[2] = {DevicePointOf(dc, *start), DevicePointOf(dc, points[0])};
      RecordStroke(*dc.recording, clip, segment, stroke, patternStart, patternEnd);
      return;
    }
    std::vector<Point64> device;
    device.reserve(count + 1);
    if (start) device.push_back(DevicePointOf(dc, *start));
    for (std::size_t i = 0; i < count; ++i) device.push_back(DevicePointOf(dc, points[i]));
    RecordStroke(*dc.recording, clip, device, stroke, patternStart, patternEnd);
  });
  if (FAILED(hr)) dc.recording->complete = false;
}

// Strokes from `start` (when given, else from the first point) through the points. Cosmetic pens
// go segment by segment, transforming on the way, with no allocation; wide pens need the whole
// path to paint each pixel once (and may run out of memory for it).
void StrokePathOrThrow(DeviceContext& dc, const POINT* start, const POINT* points, std::size_t count, int& patternPos) {
  const std::size_t total = count + (start ? 1 : 0);
  const Stroke stroke = StrokeFromDc(dc);
  if (stroke.kind == Stroke::Kind::None || total < 2) return;
  const RECT clip = DcClip(dc);
  const int patternStart = patternPos;
  if (stroke.kind == Stroke::Kind::Cosmetic) {
    Point64 from = DevicePointOf(dc, start ? *start : points[0]);
    for (std::size_t i = start ? 0 : 1; i < count; ++i) {
      const Point64 to = DevicePointOf(dc, points[i]);
      StrokeLine(dc.surface, clip, from, to, stroke, patternPos);
      from = to;
    }
  } else {
    std::vector<Point64> device;
    device.reserve(total);
    if (start) device.push_back(DevicePointOf(dc, *start));
    for (std::size_t i = 0; i < count; ++i) device.push_back(DevicePointOf(dc, points[i]));
    StrokePolyline(dc.surface, clip, device, stroke, patternPos);
  }
  if (dc.recording) RecordPath(dc, clip, start, points, count, stroke, patternStart, patternPos);
}

BOOL StrokePath(DeviceContext& dc, const POINT* start, const POINT* points, std::size_t count, int& patternPos) {
  return kelmira::GuardedOr(FALSE, [&] {
    StrokePathOrThrow(dc, start, points, count, patternPos);
    return TRUE;
  });
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (lppt) *lppt = dc->state.currentPosition;
  dc->state.currentPosition = POINT{x, y};
  dc->penPatternPhase = 0;
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  const POINT start = dc->state.currentPosition;
  const POINT end{x, y};
  dc->state.currentPosition = end;
  return StrokePath(*dc, &start, &end, 1, dc->penPatternPhase);
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (cpt < 0 || (!apt && cpt > 0)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  int patternPos = 0;
  return StrokePath(*dc, nullptr, apt, static_cast<std::size_t>(cpt), patternPos);
}

BOOL PolylineTo(HDC hdc, const POINT* apt, DWORD cpt) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (!apt && cpt > 0) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (cpt == 0) return TRUE;
  const POINT start = dc->state.currentPosition;
  dc->state.currentPosition = apt[cpt - 1];
  return StrokePath(*dc, &start, apt, cpt, dc->penPatternPhase);
}

int SetROP2(HDC hdc, int rop2) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return 0;
  if (!IsValidRop2(rop2)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  const int previous = dc->state.rop2;
  dc->state.rop2 = rop2;
  return previous;
}

int GetROP2(HDC hdc) {
  const DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->state.rop2 : 0;
}
