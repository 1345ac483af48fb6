// A stand-in for the container a mouse input manager belongs to: it reports a window and limits
// set by the test and records the zooms and mouse events the manager asks for.
#pragma once

#include <kelmira/kelmira.h>

#include "mouse/container_link.h"

#include <sstream>
#include <string>
#include <vector>

namespace kelmira::test {

struct MouseEventCall {
  LONG event, button, x, y;
  bool operator==(const MouseEventCall&) const = default;
};

class FakeContainerLink final : public mouse::ContainerLink {
 public:
  HWND window = nullptr;
  double xMin = 0, xMax = 100, yMin = 0, yMax = 100;
  bool keepsY = false;
  // "rectangle x1 y1 x2 y2", "factor f" or "factor f about x y", "extents".
  std::vector<std::string> zooms;
  std::vector<MouseEventCall> events;

  HWND LinkWindow() const override { return window; }
  void LinkLimits(double& x0, double& x1, double& y0, double& y1) const override {
    x0 = xMin, x1 = xMax, y0 = yMin, y1 = yMax;
  }
  bool LinkKeepsYOnZoom() const override { return keepsY; }
  void ZoomToRectangle(LONG x1, LONG y1, LONG x2, LONG y2) override {
    std::ostringstream s;
    s << "rectangle " << x1 << " " << y1 << " " << x2 << " " << y2;
    zooms.push_back(s.str());
  }
  void ZoomByFactor(double factor, const double* cx, const double* cy) override {
    std::ostringstream s;
    s << "factor " << factor;
    if (cx && cy) s << " about " << *cx << " " << *cy;
    zooms.push_back(s.str());
  }
  void ZoomToExtents() override { zooms.push_back("extents"); }
  void FireOnMouseEvent(LONG event, LONG button, LONG x, LONG y) override { events.push_back({event, button, x, y}); }
};

}  // namespace kelmira::test
