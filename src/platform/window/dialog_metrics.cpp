// GetDialogBaseUnits and MapDialogRect.
#include "window/dialog_state.h"
#include "window/dialog_units.h"
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

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
