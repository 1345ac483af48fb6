// Keyboard navigation inside dialogs: tab order and the default push button.
#pragma once

#include <kelmira/platform/winuser.h>

namespace kelmira::window {

// The next (or previous) visible, enabled WS_TABSTOP child of hdlg after `from` in creation
// order, wrapping around; from null starts at the beginning (or the end). Null when there is none.
// A WS_EX_CONTROLPARENT child is not an item itself: its children take its place in the order.
HWND NextTabItem(HWND hdlg, HWND from, bool previous);

// The command that Return sends: the focused push button's id, else the default id (DM_GETDEFID),
// else IDOK.
WORD ReturnCommandId(HWND hdlg, HWND focus);

}  // namespace kelmira::window
