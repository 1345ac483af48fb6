// The nested message loop of modal dialogs and message boxes.
#pragma once

#include <kelmira/platform/winuser.h>

#include <functional>

namespace kelmira::window {

enum class ModalEnd {
  Ended,      // EndDialog was called: result holds its value
  Quit,       // WM_QUIT arrived; it has been posted again for the outer loop
  NoInput,    // nothing was left to do and no input could ever arrive (headless back-end)
  Destroyed,  // the dialog went away without EndDialog (its owner was destroyed, ...)
};

struct ModalOutcome {
  ModalEnd how = ModalEnd::Destroyed;
  INT_PTR result = 0;
};

// Disables the owner (when it was enabled), shows the dialog, runs the loop until EndDialog,
// then enables the owner again and destroys the dialog. When the queue is empty the owner gets
// WM_ENTERIDLE (wParam idleCode, lParam the dialog) unless the dialog has DS_NOIDLEMSG.
// A filter sees each message before IsDialogMessageA; true means it handled the message.
using ModalFilter = std::function<bool(MSG&)>;
ModalOutcome RunModalDialog(HWND hdlg, HWND owner, WPARAM idleCode, const ModalFilter& filter = {});

}  // namespace kelmira::window
