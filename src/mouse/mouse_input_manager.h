// MouseInputManager: the rubber-band drag tools of a graphics container.
//
// The manager owned by a container gets the container's unhandled window messages through
// MouseRouting; a manager made on its own (class factory) has no ContainerLink, so it accepts
// every call and keeps its properties but never draws or reports anything.
//
// Choices where the behaviour is otherwise open:
// - A manager that was never armed has tool 3 (rectangle); the zoom drag sets its own tool anyway.
// - AutoZoom starts at 0 in a manager made on its own and at 1 in one made for a container.
// - The pen and the hatch brush are made when a drag begins, so DragColor and FillColor changed
//   during a drag take effect with the next drag. Fill is read each time the band is drawn:
//   turned off during a drag, it leaves the hatch drawn before in place (it is never drawn a second
//   time to remove it); turned on, it finds no hatch brush and the band stays hollow.
// - A drag ended by DetachContainer ends like one ended by arming: band removed, mouse released,
//   cursor shown, drag record cleared, nothing reported.
// - Without a container window nothing is drawn, captured, confined, reported or zoomed, and
//   logical points stay 0.
#pragma once

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include "mouse/band_shape.h"
#include "mouse/container_link.h"
#include "common/gdi_guards.h"

#include <string>

namespace kelmira::mouse {

enum class DragState : int { Idle = -1, Armed = 0, Dragging = 1 };

// What a finished drag reports from.
struct DragRecord {
  Tool tool = Tool::Rectangle;
  POINT start{};
  POINT current{};
  double logicalStartX = 0.0;
  double logicalStartY = 0.0;
  double logicalEndX = 0.0;
  double logicalEndY = 0.0;
  std::string command;
};

class MouseInputManager : public DispatchImpl<IMouseInputManager>,
                          public ConnectionPointContainerImpl,
                          public MouseRouting {
 public:
  using Interfaces = InterfaceTable<IMouseInputManager, Via<IDispatch, IMouseInputManager>, IConnectionPointContainer>;

  HRESULT FinalConstruct();
  // Called once by CreateOwnedMouseInputManager.
  void AttachContainer(ContainerLink* owner) { owner_ = owner; }

  // IMouseInputManager
  HRESULT STDMETHODCALLTYPE DragPoint(BSTR sCommand) override { return Arm(Tool::Point, sCommand); }
  HRESULT STDMETHODCALLTYPE DragLine(BSTR sCommand) override { return Arm(Tool::Line, sCommand); }
  HRESULT STDMETHODCALLTYPE DragRectangle(BSTR sCommand) override { return Arm(Tool::Rectangle, sCommand); }
  HRESULT STDMETHODCALLTYPE DragCircle(BSTR sCommand) override { return Arm(Tool::Circle, sCommand); }
  HRESULT STDMETHODCALLTYPE DragXRange(BSTR sCommand) override { return Arm(Tool::XRange, sCommand); }
  HRESULT STDMETHODCALLTYPE DragYRange(BSTR sCommand) override { return Arm(Tool::YRange, sCommand); }
  HRESULT STDMETHODCALLTYPE DragXLine(BSTR sCommand) override { return Arm(Tool::XLine, sCommand); }
  HRESULT STDMETHODCALLTYPE DragYLine(BSTR sCommand) override { return Arm(Tool::YLine, sCommand); }
  HRESULT STDMETHODCALLTYPE get_DragColor(OLE_COLOR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_DragColor(OLE_COLOR newVal) override;
  HRESULT STDMETHODCALLTYPE get_FillColor(OLE_COLOR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_FillColor(OLE_COLOR newVal) override;
  HRESULT STDMETHODCALLTYPE get_Fill(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Fill(VARIANT_BOOL newVal) override;

  // MouseRouting (the message table lives in mouse_messages.cpp)
  BOOL HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void RedrawBandIfDragging() override;
  bool IsDragging() const override { return state_ == DragState::Dragging; }
  LONG GetAutoZoom() const override { return autoZoom_; }
  void SetAutoZoom(LONG value) override { autoZoom_ = value; }
  void DetachContainer() override;

 protected:
  MouseInputManager() = default;
  ~MouseInputManager();

 private:
  HRESULT Arm(Tool tool, BSTR command);
  void ClearDragRecord();
  void EndDragSilently();

  void BeginDrag(POINT client);
  void MoveDrag(POINT client);
  void FinishDrag(POINT client);
  void DrawBand();
  void ReleaseMouse();
  void Report(const DragRecord& finished);

  HWND Window() const;
  // Client point to logical coordinates with the container's limits; false without a window.
  bool ClientToLogical(POINT client, double& x, double& y) const;

  // Message handlers (mouse_messages.cpp); each returns the message result.
  LRESULT OnLeftButtonDown(POINT client);
  LRESULT OnLeftButtonUp(HWND hwnd, POINT client);
  LRESULT OnMouseMove(HWND hwnd, POINT client, WPARAM keys);
  LRESULT OnExtraButton(POINT client, WPARAM wParam);
  void FireMouseEvent(HWND hwnd, eMouseEvent event, LONG button, POINT client);
  void ZoomAboutPoint(double factor, POINT client);

  ContainerLink* owner_ = nullptr;  // not counted: the container owns us
  DragState state_ = DragState::Idle;
  DragRecord drag_;
  OLE_COLOR dragColor_ = 0;
  OLE_COLOR fillColor_ = 0;
  VARIANT_BOOL fill_ = VARIANT_FALSE;
  LONG autoZoom_ = 0;
  common::UniqueGdiObject<HPEN> bandPen_;
  common::UniqueGdiObject<HBRUSH> bandBrush_;
  bool cursorHidden_ = false;  // our one ShowCursor(FALSE) is outstanding
};

}  // namespace kelmira::mouse
