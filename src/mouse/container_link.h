// The private link between a GraphicsContainer and the MouseInputManager it owns.
//
// The container makes its manager through CreateOwnedMouseInputManager and keeps the counted
// IMouseInputManager reference; the manager keeps a plain ContainerLink pointer back (no reference,
// so the pair never keeps itself alive). Both live on the window's thread; nothing here locks.
//
// The container offers every window message it does not handle itself to MouseRouting::
// HandleMessage, which runs the mouse message table in both AutoZoom modes; gestures come back
// through the ContainerLink's zoom operations and FireOnMouseEvent.
#pragma once

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

namespace kelmira::mouse {

// What the manager asks of its owning container.
class ContainerLink {
 public:
  // The container's window, or null while it has none.
  virtual HWND LinkWindow() const = 0;
  // The current limits (never the right-Y limits).
  virtual void LinkLimits(double& xmin, double& xmax, double& ymin, double& ymax) const = 0;
  // True when user zoom must keep the vertical limits: a layer is flagged for the right Y axis,
  // or AllowYZoom is FALSE. Also picks the X-range band for the zoom drag.
  virtual bool LinkKeepsYOnZoom() const = 0;
  // The container's zoom operations; points are screen coordinates, the optional centre is logical.
  virtual void ZoomToRectangle(LONG x1, LONG y1, LONG x2, LONG y2) = 0;
  virtual void ZoomByFactor(double factor, const double* centreX, const double* centreY) = 0;
  virtual void ZoomToExtents() = 0;
  // Raises IGraphicsEvents::OnMouseEvent with the point in screen coordinates.
  virtual void FireOnMouseEvent(LONG event, LONG button, LONG screenX, LONG screenY) = 0;

 protected:
  ~ContainerLink() = default;
};

// What the container asks of its manager.
class MouseRouting {
 public:
  // The mouse message table; TRUE when handled (result set), FALSE for default processing.
  virtual BOOL HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  // Redraws the rubber band when a drag is in progress (called at the end of every paint).
  virtual void RedrawBandIfDragging() = 0;
  virtual bool IsDragging() const = 0;
  // AutoZoom is stored in the manager (32 bits wide; the container's get returns the low 16).
  virtual LONG GetAutoZoom() const = 0;
  virtual void SetAutoZoom(LONG value) = 0;
  // The container is going away: forget the back-reference (ends a running drag silently).
  virtual void DetachContainer() = 0;

 protected:
  ~MouseRouting() = default;
};

// Makes a manager owned by `owner`: *manager gets the counted interface, *routing points into the
// same object (valid while *manager is held). AutoZoom starts at 1. Exported for the manager's own
// tests, which drive it through a fake link.
KELMIRA_API HRESULT CreateOwnedMouseInputManager(ContainerLink* owner, ComPtr<IMouseInputManager>* manager,
                                                 MouseRouting** routing);

}  // namespace kelmira::mouse
