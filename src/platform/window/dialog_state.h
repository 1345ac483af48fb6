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

  HFONT font = nullptr;   // WM_SETFONT / WM_GETFONT
  bool ownsFont = false;  // made from the template: deleted with the dialog
  DialogBaseUnits base;   // MapDialogRect
  WORD defaultId = IDOK;  // DM_GETDEFID / DM_SETDEFID (0: none)
  HWND savedFocus = nullptr;

  bool modal = false;
  bool ended = false;  // EndDialog was called
  INT_PTR result = 0;
};

// The state of a dialog window: null for a bad handle or a window that is not a dialog.
std::shared_ptr<DialogState> DialogStateOf(HWND hdlg);
// Makes hwnd a dialog (its state and the DWLP_* values in use) when its class reserves
// DLGWINDOWEXTRA bytes; returns the state, or null for a window that cannot be one. Only windows
// made dialogs this way have their DWLP_DLGPROC called, so a class of the caller's that keeps
// other data in its extra bytes is never mistaken for one.
std::shared_ptr<DialogState> MakeDialogState(HWND hwnd);

// A dialog procedure call that never lets an exception out.
INT_PTR CallDialogProc(DLGPROC proc, HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Internal control notifications and ids that the dialog code sends or expects.
constexpr WORD kButtonClicked = 0;  // BN_CLICKED
constexpr WPARAM kMsgfDialogBox = MSGF_DIALOGBOX;
constexpr WPARAM kMsgfMessageBox = MSGF_MESSAGEBOX;

}  // namespace kelmira::window
