// Rectangle and Ellipse: outline with the selected pen, interior with the selected brush.
#include "gdi/dc_paint.h"
#include "gdi/recording_hooks.h"

using namespace kelmira::gdi;

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  const DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  const Rect64 bounds = ToRect64(TransformRect(*dc, RECT{left, top, right, bottom}));
  const Stroke stroke = StrokeFromDc(*dc);
  const Fill fill = FillFromDc(*dc);
  DrawRectangle(dc->surface, DcClip(*dc), bounds, stroke, fill);
  if (dc->recording) RecordShape(*dc->recording, DcClip(*dc), ShapeRecord::Kind::Rectangle, bounds, stroke, fill);
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  const DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  const Rect64 bounds = ToRect64(TransformRect(*dc, RECT{left, top, right, bottom}));
  const Stroke stroke = StrokeFromDc(*dc);
  const Fill fill = FillFromDc(*dc);
  DrawEllipse(dc->surface, DcClip(*dc), bounds, stroke, fill);
  if (dc->recording) RecordShape(*dc->recording, DcClip(*dc), ShapeRecord::Kind::Ellipse, bounds, stroke, fill);
  return TRUE;
}
