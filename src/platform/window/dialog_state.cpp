// Per-dialog state, kept in the window record so it goes with the window.
#include "window/dialog_state.h"

#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

namespace kelmira::window {

DialogState::~DialogState() {
  if (ownsFont && font) DeleteObject(font);
}

std::shared_ptr<DialogState> DialogStateOf(HWND hdlg) {
  Window* w = FindWindowObject(hdlg);
  if (!w || !w->dialogData) return nullptr;
  return std::static_pointer_cast<DialogState>(w->dialogData);
}

std::shared_ptr<DialogState> MakeDialogState(HWND hwnd) {
  Window* w = FindWindowObject(hwnd);
  if (!w || w->extra.size() < static_cast<std::size_t>(DLGWINDOWEXTRA)) return nullptr;
  if (!w->dialogData && FAILED(Guarded([&] { w->dialogData = std::make_shared<DialogState>(); }))) return nullptr;
  return std::static_pointer_cast<DialogState>(w->dialogData);
}

INT_PTR CallDialogProc(DLGPROC proc, HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  INT_PTR result = 0;  // a procedure that throws answers 0
  (void)Guarded([&] { result = proc(hdlg, msg, wParam, lParam); });
  return result;
}

}  // namespace kelmira::window
