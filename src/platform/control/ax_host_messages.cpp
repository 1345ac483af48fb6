// The host's share of its window's messages: size, paint, focus and input for windowless
// controls, and the end of the window.
#include "control/ax_host.h"

namespace kelmira::control {

// The host draws a control that has no window of its own on screen.
bool AxHost::DrawsControl() const {
  if (!viewObject_) return false;
  HWND own = nullptr;
  if (inPlaceActive_ && !windowless_ && inPlaceObject_ && SUCCEEDED(inPlaceObject_->GetWindow(&own)) && own)
    return false;
  return true;
}

void AxHost::Paint() {
  PAINTSTRUCT ps{};
  HDC hdc = ::BeginPaint(hwnd_, &ps);
  if (hdc && viewObject_) {
    RECT rc = ClientRect();
    RECTL bounds{rc.left, rc.top, rc.right, rc.bottom};
    ComPtr<IViewObject> view = viewObject_;
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, hdc, &bounds, nullptr, nullptr, 0);
  }
  ::EndPaint(hwnd_, &ps);
}

bool AxHost::ForwardToWindowless(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (!windowless_ || !windowlessObject_) return false;
  const bool input = (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
                     msg == WM_SETCURSOR || msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == WM_CAPTURECHANGED;
  if (!input) return false;
  ComPtr<IOleInPlaceObjectWindowless> object = windowlessObject_;
  return object->OnWindowMessage(msg, wParam, lParam, result) == S_OK;
}

LRESULT AxHost::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  ComPtr<IUnknown> keepAlive(static_cast<IOleClientSite*>(this));
  LRESULT result = 0;
  switch (msg) {
    case WM_SIZE: {
      LRESULT passed = DefaultMessage(msg, wParam, lParam);
      Resize(LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
      return passed;
    }
    case WM_ERASEBKGND:
      if (!DrawsControl() && control_) return 1;  // the control's window covers the host
      break;
    case WM_PAINT:
      if (DrawsControl()) {
        Paint();
        return 0;
      }
      break;
    case WM_SETFOCUS:
      if (inPlaceActive_ && !windowless_ && inPlaceObject_) {
        HWND own = nullptr;
        if (SUCCEEDED(inPlaceObject_->GetWindow(&own)) && own) ::SetFocus(own);
        return 0;
      }
      break;
    case WM_DESTROY: ReleaseControl(); break;
    default: break;
  }
  if (ForwardToWindowless(msg, wParam, lParam, &result)) return result;
  return DefaultMessage(msg, wParam, lParam);
}

LRESULT AxHost::DefaultMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (previous_) return ::CallWindowProcA(previous_, hwnd_, msg, wParam, lParam);
  return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
}

}  // namespace kelmira::control
