// The table of control windows and the control waiting for its window to be created.
#include "control/control_window.h"

#include "control/no_destructor.h"

#include <unordered_map>

namespace kelmira::control {
namespace {

std::unordered_map<HWND, ControlImpl*>& Table() {
  static NoDestructor<std::unordered_map<HWND, ControlImpl*>> table;
  return table.get();
}

ControlImpl*& Pending() {
  static ControlImpl* pending = nullptr;
  return pending;
}

}  // namespace

ControlImpl* ControlOfWindow(HWND hwnd) {
  auto it = Table().find(hwnd);
  return it == Table().end() ? nullptr : it->second;
}

void RememberControlWindow(HWND hwnd, ControlImpl* control) { Table()[hwnd] = control; }

void ForgetControlWindow(HWND hwnd) { Table().erase(hwnd); }

PendingControlWindow::PendingControlWindow(ControlImpl* control) : previous_(Pending()) { Pending() = control; }

PendingControlWindow::~PendingControlWindow() { Pending() = previous_; }

ControlImpl* PendingControlWindow::Claim() {
  ControlImpl* control = Pending();
  Pending() = nullptr;
  return control;
}

ControlImpl* ClaimWindow(HWND hwnd) {
  if (ControlImpl* known = ControlOfWindow(hwnd)) return known;
  ControlImpl* control = PendingControlWindow::Claim();
  if (!control) return nullptr;
  RememberControlWindow(hwnd, control);
  control->AttachWindow(hwnd);
  return control;
}

}  // namespace kelmira::control
