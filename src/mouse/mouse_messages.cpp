// The container's mouse message table, in both AutoZoom modes.
#include "mouse/mouse_input_manager.h"

namespace kelmira::mouse {
namespace {

POINT ClientPoint(LPARAM lParam) {
  return POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
}

// The move event's button: right wins over middle; the left button counts as none.
LONG MoveButton(WPARAM keys) {
  if (keys & MK_RBUTTON) return 1;
  if (keys & MK_MBUTTON) return 2;
  return 0;
}

}  // namespace

BOOL MouseInputManager::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!owner_) return FALSE;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK: break;
    default: return FALSE;
  }
  // Sinks, zooms and the report box call out of the library; they may release the container and
  // with it this manager.
  ComPtr<IMouseInputManager> keepAlive(this);
  const POINT client = ClientPoint(lParam);
  const bool zooming = autoZoom_ != 0;
  result = 0;
  // A report that could not be formed is dropped; the drag itself has ended cleanly by then.
  (void)Guarded([&] {
    switch (msg) {
      case WM_LBUTTONDOWN:
        if (!zooming && state_ == DragState::Idle)
          FireMouseEvent(hwnd, kEventMouseDown, 0, client);
        else
          result = OnLeftButtonDown(client);
        break;
      case WM_LBUTTONUP: result = OnLeftButtonUp(hwnd, client); break;
      case WM_LBUTTONDBLCLK:
        if (zooming)
          ZoomAboutPoint(2.0, client);
        else
          FireMouseEvent(hwnd, kEventMouseDblClick, 0, client);
        break;
      case WM_RBUTTONDOWN:
        if (zooming)
          owner_->ZoomByFactor(0.5, nullptr, nullptr);
        else
          FireMouseEvent(hwnd, kEventMouseDown, 1, client);
        break;
      case WM_RBUTTONUP:
        if (!zooming) FireMouseEvent(hwnd, kEventMouseUp, 1, client);
        break;
      case WM_RBUTTONDBLCLK:
        if (zooming)
          owner_->ZoomByFactor(0.5, nullptr, nullptr);
        else
          FireMouseEvent(hwnd, kEventMouseDblClick, 1, client);
        break;
      case WM_MOUSEMOVE: result = OnMouseMove(hwnd, client, wParam); break;
      default:  // WM_XBUTTONDOWN, WM_XBUTTONDBLCLK
        result = OnExtraButton(client, wParam);
        break;
    }
  });
  return TRUE;
}

LRESULT MouseInputManager::OnLeftButtonDown(POINT client) {
  if (state_ == DragState::Dragging) return 0;
  if (!autoZoom_) {
    if (state_ == DragState::Armed) BeginDrag(client);
    return 0;
  }
  if (state_ == DragState::Idle || drag_.command.empty()) {
    // The zoom drag: a rectangle, or an X range when the vertical limits must stay.
    drag_.tool = owner_->LinkKeepsYOnZoom() ? Tool::XRange : Tool::Rectangle;
    dragColor_ = 0;
    fillColor_ = 0;
  }
  BeginDrag(client);
  return 0;
}

LRESULT MouseInputManager::OnLeftButtonUp(HWND hwnd, POINT client) {
  if (state_ == DragState::Dragging) {
    FinishDrag(client);
    return 0;
  }
  if (!autoZoom_) FireMouseEvent(hwnd, kEventMouseUp, 0, client);
  return 0;
}

LRESULT MouseInputManager::OnMouseMove(HWND hwnd, POINT client, WPARAM keys) {
  if (state_ == DragState::Dragging) MoveDrag(client);
  FireMouseEvent(hwnd, kEventMouseMove, MoveButton(keys), client);
  return 0;
}

LRESULT MouseInputManager::OnExtraButton(POINT client, WPARAM wParam) {
  const WORD button = GET_XBUTTON_WPARAM(wParam);
  if (button == XBUTTON1)
    ZoomAboutPoint(2.0, client);
  else if (button == XBUTTON2)
    owner_->ZoomToExtents();
  return 1;
}

void MouseInputManager::FireMouseEvent(HWND hwnd, eMouseEvent event, LONG button, POINT client) {
  POINT screen = client;
  ClientToScreen(hwnd, &screen);
  owner_->FireOnMouseEvent(static_cast<LONG>(event), button, screen.x, screen.y);
}

void MouseInputManager::ZoomAboutPoint(double factor, POINT client) {
  double x = 0.0, y = 0.0;
  if (ClientToLogical(client, x, y))
    owner_->ZoomByFactor(factor, &x, &y);
  else
    owner_->ZoomByFactor(factor, nullptr, nullptr);
}

}  // namespace kelmira::mouse
