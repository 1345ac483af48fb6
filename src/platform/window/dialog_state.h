// What the dialog code keeps for each dialog window (Window::dialogData), besides the DWLP_*
// values that live in the window's extra bytes.
#pragma once

#include <kelmira/platform/winuser.h>

#include "window/dialog_units.h"

#include <memory>

namespace kelmira::window {

struct DialogState {
  DialogState() = default;
  DialogState(const DialogState&) = delete;
  DialogState& operator=(const DialogState&) = delete;
  ~DialogState();

  HFONT font = nullptr;    // WM_SETFONT / WM_GETFONT
  bool ownsFont = false;   // made from the template: deleted with the dialog
  DialogBaseUnits base;    // MapDialogRect
  WORD defaultId = IDOK;   // DM_GETDEFID / DM_SETDEFID (0: none)
  HWND savedFocus = nullptr;

  bool modal = false;
  bool ended = false;      // EndDialog was called
  INT_PTR result = 0;
};

// The state of a dialog window; made on first use for a window of a class with dialog extra
// bytes. Null for a bad handle or a window that is not a dialog.
std::shared_ptr<DialogState> DialogStateOf(HWND hdlg);
// True when the window's class reserves DLGWINDOWEXTRA bytes (the dialog class, or a class of
// the caller's named in a template).
bool HasDialogExtraBytes(HWND hwnd);

// A dialog procedure call that never lets an exception out.
INT_PTR CallDialogProc(DLGPROC proc, HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Internal control notifications and ids that the dialog code sends or expects.
constexpr WORD kButtonClicked = 0;       // BN_CLICKED
constexpr WPARAM kMsgfDialogBox = MSGF_DIALOGBOX;
constexpr WPARAM kMsgfMessageBox = MSGF_MESSAGEBOX;

}  // namespace kelmira::window
