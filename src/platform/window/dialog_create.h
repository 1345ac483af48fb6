// Creating a dialog window and its items from a template (shared by modeless and modal dialogs).
#pragma once

#include <kelmira/platform/winuser.h>

namespace kelmira::window {

// Creates the dialog, its items, sends WM_SETFONT and WM_INITDIALOG. The window is left hidden
// (showWhenVisible false: the modal loop shows it) or shown when the template has WS_VISIBLE.
// Null on failure with the last error set; a template that cannot be read gives
// ERROR_INVALID_PARAMETER, an item of an unknown class ERROR_CANNOT_FIND_WND_CLASS (unless the
// template has DS_NOFAILCREATE: the item is then left out).
HWND CreateDialogFromTemplate(HINSTANCE instance, const DLGTEMPLATE* tmpl, HWND parent, DLGPROC proc, LPARAM param,
                              bool modal);

// The owner a popup dialog gets from the hWndParent it was given: the top-level window above it.
HWND DialogOwner(HWND parent);

}  // namespace kelmira::window
