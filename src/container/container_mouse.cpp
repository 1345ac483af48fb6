// Window messages, the zoom operations the mouse gestures end in, and the container's events.
#include "container/graphics_container.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kelmira::container {
namespace {

constexpr DISPID kOnMouseEvent = 1;
constexpr DISPID kOnViewChanged = 2;
constexpr DISPID kOnUserZoom = 3;
constexpr std::int64_t kClickTolerance = 5;  // pixels; a smaller drag is a click

}  // namespace

BOOL GraphicsContainer::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND:  // the paint covers every pixel; erasing would only flicker
      result = 1;
      return TRUE;
    case WM_SIZE:
      DropPictures();
      Redraw();
      result = 0;
      return TRUE;
    case WM_CREATE: result = 0; return TRUE;
    case WM_PAINT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_MOUSEACTIVATE: return FALSE;  // the control framework's standard handling
    default: break;
  }
  if (!routing_) return FALSE;
  return routing_->HandleMessage(hwnd, msg, wParam, lParam, result);
}

HRESULT GraphicsContainer::get_MouseInput(IMouseInputManager** pVal) { return manager_.CopyTo(pVal); }

HWND GraphicsContainer::LinkWindow() const { return ControlWindow(); }

void GraphicsContainer::LinkLimits(double& xmin, double& xmax, double& ymin, double& ymax) const {
  xmin = limits_.xMin;
  xmax = limits_.xMax;
  ymin = limits_.yMin;
  ymax = limits_.yMax;
}

bool GraphicsContainer::KeepsYOnZoom() const { return layers_.HasRightYAxisLayers() || allowYZoom_ == 0; }

bool GraphicsContainer::LinkKeepsYOnZoom() const { return KeepsYOnZoom(); }

void GraphicsContainer::ZoomToRectangle(LONG x1, LONG y1, LONG x2, LONG y2) {
  const std::optional<common::PixelMapping> mapping = ScreenMapping();
  if (!mapping) return;
  double startX = mapping->LogicalX(x1);
  double startY = mapping->LogicalY(y1);
  const double endX = mapping->LogicalX(x2);
  const double endY = mapping->LogicalY(y2);
  if (std::llabs(std::int64_t{x1} - x2) < kClickTolerance && std::llabs(std::int64_t{y1} - y2) < kClickTolerance) {
    ZoomByFactor(2.0, &startX, &startY);
    return;
  }
  Limits zoomed{std::min(startX, endX), std::max(startX, endX), std::min(startY, endY), std::max(startY, endY)};
  CommitUserZoom(zoomed, true);
}

void GraphicsContainer::ZoomByFactor(double factor, const double* centreX, const double* centreY) {
  const double halfWidth = (limits_.xMax - limits_.xMin) / factor * 0.5;
  const double halfHeight = (limits_.yMax - limits_.yMin) / factor * 0.5;
  const double cx = centreX ? *centreX : (limits_.xMin + limits_.xMax) * 0.5;
  const double cy = centreY ? *centreY : (limits_.yMin + limits_.yMax) * 0.5;
  Limits zoomed{cx - halfWidth, cx + halfWidth, cy - halfHeight, cy + halfHeight};
  CommitUserZoom(zoomed, true);
}

void GraphicsContainer::ZoomToExtents() { CommitUserZoom(extents_, false); }

// Every user zoom ends here: the vertical limits kept where the rules say so, then the validated
// limits (OnViewChanged), OnUserZoom and a full redraw.
void GraphicsContainer::CommitUserZoom(Limits zoomed, bool mayKeepY) {
  if (mayKeepY && KeepsYOnZoom()) {
    zoomed.yMin = limits_.yMin;
    zoomed.yMax = limits_.yMax;
  }
  ApplyLimits(zoomed, extents_);
  FireOnUserZoom();
  Redraw();
}

void GraphicsContainer::FireOnMouseEvent(LONG event, LONG button, LONG screenX, LONG screenY) {
  FireEvent(ConnectionPointFor(DIID_IGraphicsEvents), kOnMouseEvent, event, button, screenX, screenY);
}

void GraphicsContainer::FireOnViewChanged() {
  FireEventArgv(ConnectionPointFor(DIID_IGraphicsEvents), kOnViewChanged, nullptr, 0);
}

void GraphicsContainer::FireOnUserZoom() {
  FireEventArgv(ConnectionPointFor(DIID_IGraphicsEvents), kOnUserZoom, nullptr, 0);
}

}  // namespace kelmira::container
