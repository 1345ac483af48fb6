// Rectangle and Ellipse: outline with the selected pen, interior with the selected brush.
#include "gdi/dc_paint.h"

using namespace kelmira::gdi;

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  const DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  const Rect64 bounds = ToRect64(TransformRect(*dc, RECT{left, top, right, bottom}));
  DrawRectangle(dc->surface, DcClip(*dc), bounds, StrokeFromDc(*dc), FillFromDc(*dc));
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  const DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  const Rect64 bounds = ToRect64(TransformRect(*dc, RECT{left, top, right, bottom}));
  DrawEllipse(dc->surface, DcClip(*dc), bounds, StrokeFromDc(*dc), FillFromDc(*dc));
  return TRUE;
}
