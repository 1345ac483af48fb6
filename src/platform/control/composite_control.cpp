// Composite controls: the control's window is a dialog made from the control's template, with
// the dialog procedure running the control's message map.
#include <kelmira/platform/atlhost.h>
#include <kelmira/platform/control_base.h>

#include "control/control_window.h"

#include <cstdint>

namespace kelmira {
namespace {

// Messages whose result a dialog procedure returns itself rather than through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg) {
  return msg == WM_INITDIALOG || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC);
}

}  // namespace

void CompositeControlImpl::SetExtentFromTemplate(const DLGTEMPLATE* dialogTemplate) {
  SIZE pixels{};
  if (!dialogTemplate || !KelmiraGetDialogTemplateSize(dialogTemplate, &pixels)) return;
  SIZEL himetric{};
  AtlPixelToHiMetric(&pixels, &himetric);
  sizeNatural_ = himetric;
  sizeExtent_ = himetric;
}

HWND CompositeControlImpl::CreateControlWindow(HWND parent, const RECT& pos) {
  const auto templateOf = ControlClass().dialogTemplate;
  const DLGTEMPLATE* dialogTemplate = templateOf ? templateOf() : nullptr;
  if (!dialogTemplate) return nullptr;
  control::PendingControlWindow pending(this);
  HWND hwnd = ::AtlAxCreateDialogA(nullptr, dialogTemplate, parent, &CompositeControlImpl::DialogProc,
                                   reinterpret_cast<LPARAM>(static_cast<ControlImpl*>(this)));
  if (!hwnd) return nullptr;
  ::SetWindowPos(hwnd, nullptr, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  return hwnd;
}

INT_PTR CALLBACK CompositeControlImpl::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ControlImpl* found = control::ControlOfWindow(hwnd);
  if (!found && msg == WM_INITDIALOG) found = control::ClaimWindow(hwnd);
  if (!found) return FALSE;
  auto* composite = static_cast<CompositeControlImpl*>(found);
  ComPtr<IUnknown> keepAlive(composite->ControlUnknown());
  LRESULT result = 0;
  if (!composite->RunMessageMap(hwnd, msg, wParam, lParam, result)) {
    composite->FrameworkMessage(msg);
    return FALSE;
  }
  if (ReturnsResultDirectly(msg)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace kelmira
