// FillRect: a rectangle with a brush that need not be selected; the mix mode does not apply.
#include "gdi/brush_fill.h"
#include "gdi/gdi_error.h"
#include "gdi/recording_hooks.h"

using namespace kelmira::gdi;

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  DeviceContext* dc = LookupDC(hDC);
  if (!dc) return 0;
  if (!lprc) return Fail(ERROR_INVALID_PARAMETER, 0);
  BrushObject* brush = ResolveFillBrush(hbr);
  if (!brush) return 0;
  const DeviceRect r = TransformRect(*dc, *lprc);
  const Rect64 rect{r.left, r.top, r.right, r.bottom};
  const Fill fill = BrushFill(*dc, *brush, R2_COPYPEN);
  FillRectWith(dc->surface, DcClip(*dc), rect, fill);
  if (dc->recording) RecordFill(*dc->recording, DcClip(*dc), rect, fill);
  return 1;
}
