// Which control owns which window, for the window procedures of control windows.
//
// All of it runs on the window-system thread.
#pragma once

#include <kelmira/platform/control_base.h>

namespace kelmira::control {

// The control whose window hwnd is, or null.
ControlImpl* ControlOfWindow(HWND hwnd);
void RememberControlWindow(HWND hwnd, ControlImpl* control);
void ForgetControlWindow(HWND hwnd);

// Marks the control whose window is being created: the first message of a new window of a control
// class (or WM_INITDIALOG of a composite's dialog) claims it.
class PendingControlWindow {
 public:
  explicit PendingControlWindow(ControlImpl* control);
  ~PendingControlWindow();
  PendingControlWindow(const PendingControlWindow&) = delete;
  PendingControlWindow& operator=(const PendingControlWindow&) = delete;

  // The control being created, handed over once; null when there is none.
  static ControlImpl* Claim();

 private:
  ControlImpl* previous_;
};

// Ties hwnd to the control waiting for its window, if any; returns the control of hwnd.
ControlImpl* ClaimWindow(HWND hwnd);

// The window procedure of control window classes.
LRESULT CALLBACK ControlWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Registers the class's window class once (ControlWindowProc, the class's styles and background,
// the arrow cursor) and returns its name; null when the name is taken by another procedure.
const char* EnsureControlWindowClass(const ControlClassInfo& info);

}  // namespace kelmira::control
