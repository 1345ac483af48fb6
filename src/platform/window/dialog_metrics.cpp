// GetDialogBaseUnits, MapDialogRect and the pixel size of a template.
#include "window/dialog_state.h"
#include "window/dialog_units.h"
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <cstdint>

using namespace kelmira::window;

LONG GetDialogBaseUnits() {
  DialogBaseUnits base = SystemDialogBaseUnits();
  return static_cast<LONG>(MAKELONG(static_cast<WORD>(base.cx), static_cast<WORD>(base.cy)));
}

// Each edge is converted on its own, as the desktop does.
BOOL MapDialogRect(HWND hDlg, LPRECT lpRect) {
  if (!lpRect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!LookupWindow(hDlg)) return FALSE;
  std::shared_ptr<DialogState> state = DialogStateOf(hDlg);
  if (!state) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  lpRect->left = DialogUnitsToPixelsX(lpRect->left, state->base);
  lpRect->right = DialogUnitsToPixelsX(lpRect->right, state->base);
  lpRect->top = DialogUnitsToPixelsY(lpRect->top, state->base);
  lpRect->bottom = DialogUnitsToPixelsY(lpRect->bottom, state->base);
  return TRUE;
}

BOOL KelmiraGetDialogTemplateSize(LPCDLGTEMPLATEA lpTemplate, SIZE* size) {
  if (!lpTemplate || !size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return kelmira::GuardedOr(FALSE, [&]() -> BOOL {
    DialogDesc desc;
    if (FAILED(ParseDialogTemplate(lpTemplate, SIZE_MAX, &desc))) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    DialogBaseUnits units = SystemDialogBaseUnits();
    if (desc.hasFont) {
      if (HFONT font = CreateTemplateFont(desc)) {
        DialogBaseUnits measured;
        if (MeasureBaseUnits(font, &measured)) units = measured;
        DeleteObject(font);
      }
    }
    const RECT pixels = DialogRectToPixels(0, 0, desc.cx, desc.cy, units);
    size->cx = pixels.right - pixels.left;
    size->cy = pixels.bottom - pixels.top;
    return TRUE;
  });
}
