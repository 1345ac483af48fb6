// A stand-in for the container a mouse input manager belongs to: it reports a window and limits
// set by the test and records the zooms and mouse events the manager asks for.
#pragma once

#include <kelmira/kelmira.h>

#include "mouse/container_link.h"

#include <vector>

namespace kelmira::test {

struct ZoomCall {
  enum Kind { Rectangle, Factor, Extents } kind;
  LONG x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double factor = 0.0;
  bool hasCentre = false;
  double cx = 0.0, cy = 0.0;
  bool operator==(const ZoomCall&) const = default;
};
inline ZoomCall RectangleZoom(LONG x1, LONG y1, LONG x2, LONG y2) { return {ZoomCall::Rectangle, x1, y1, x2, y2}; }
inline ZoomCall FactorZoom(double factor) { return {ZoomCall::Factor, 0, 0, 0, 0, factor}; }
inline ZoomCall FactorZoom(double factor, double cx, double cy) {
  return {ZoomCall::Factor, 0, 0, 0, 0, factor, true, cx, cy};
}

struct MouseEventCall {
  LONG event, button, x, y;
  bool operator==(const MouseEventCall&) const = default;
};

class FakeContainerLink final : public mouse::ContainerLink {
 public:
  HWND window = nullptr;
  double xMin = 0, xMax = 100, yMin = 0, yMax = 100;
  bool keepsY = false;
  std::vector<ZoomCall> zooms;
  std::vector<MouseEventCall> events;

  HWND LinkWindow() const override { return window; }
  void LinkLimits(double& x0, double& x1, double& y0, double& y1) const override {
    x0 = xMin, x1 = xMax, y0 = yMin, y1 = yMax;
  }
  bool LinkKeepsYOnZoom() const override { return keepsY; }
  void ZoomToRectangle(LONG x1, LONG y1, LONG x2, LONG y2) override {
    zooms.push_back({ZoomCall::Rectangle, x1, y1, x2, y2});
  }
  void ZoomByFactor(double factor, const double* cx, const double* cy) override {
    ZoomCall call{ZoomCall::Factor};
    call.factor = factor;
    call.hasCentre = cx && cy;
    if (call.hasCentre) call.cx = *cx, call.cy = *cy;
    zooms.push_back(call);
  }
  void ZoomToExtents() override { zooms.push_back({ZoomCall::Extents}); }
  void FireOnMouseEvent(LONG event, LONG button, LONG x, LONG y) override { events.push_back({event, button, x, y}); }
};

}  // namespace kelmira::test
