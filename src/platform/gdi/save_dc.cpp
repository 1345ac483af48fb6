// SaveDC and RestoreDC: a stack of complete attribute and selection states.
#include "gdi/device_context.h"
#include "gdi/gdi_error.h"

#include <kelmira/platform/guarded.h>

using namespace kelmira::gdi;

int SaveDC(HDC hdc) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return 0;
  return kelmira::GuardedOr(0, [&] {
    dc->saved.push_back(dc->state);
    RetainState(dc->state);  // the saved copy holds its own references
    return static_cast<int>(dc->saved.size());
  });
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  auto depth = static_cast<long long>(dc->saved.size());
  long long level = nSavedDC < 0 ? depth + 1 + nSavedDC : nSavedDC;  // 1-based
  if (nSavedDC == 0 || level < 1 || level > depth) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  auto index = static_cast<std::size_t>(level - 1);
  // The restored state's references pass to the current state; everything above it goes.
  DcState previous = dc->state;
  dc->state = dc->saved[index];
  for (std::size_t i = index + 1; i < dc->saved.size(); ++i) ReleaseState(dc->saved[i]);
  dc->saved.resize(index);
  ReleaseState(previous);
  UpdateSurfaceFromBitmap(*dc);
  return TRUE;
}
