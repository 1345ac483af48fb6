// A manager owned by a fake container link whose window is a real top-level window at (200, 150),
// 100 x 100, painted with a known picture; input is injected at screen positions.
#pragma once

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include "mouse/container_link.h"

#include <functional>
#include <string>
#include <tuple>
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
inline ZoomCall FactorZoom(double factor, double cx, double cy) { return {ZoomCall::Factor, 0, 0, 0, 0, factor, true, cx, cy}; }

struct EventCall {
  LONG event, button, x, y;
  bool operator==(const EventCall&) const = default;
};

class FakeLink final : public mouse::ContainerLink {
 public:
  HWND window = nullptr;
  double xMin = 0, xMax = 100, yMin = 0, yMax = 100;
  bool keepsY = false;
  std::vector<ZoomCall> zooms;
  std::vector<EventCall> events;

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

// What the message-box hook saw.
struct BoxCall {
  int count = 0;
  HWND owner = nullptr;
  std::string text, caption;
  UINT type = 0;
};

inline constexpr int kWindowSize = 100;
using Image = std::vector<COLORREF>;  // kWindowSize rows of kWindowSize pixels
// Calls DragPoint ... DragYLine by tool value 1 ... 8.
HRESULT ArmTool(IMouseInputManager* manager, int tool, BSTR command);

class MouseTest : public ::testing::Test {
 protected:
  static constexpr int kLeft = 200, kTop = 150, kSize = kWindowSize;

  void SetUp() override;
  void TearDown() override;

  void Pump();
  // An injected mouse event (a move, or a button message with the move before it) at a client
  // position of the test window, `after` ms after the previous one; pumped.
  void Mouse(UINT message, int x, int y, DWORD mouseData = 0, DWORD after = 1000);
  void Arm(int tool, const char16_t* command);
  HRESULT Send(UINT message, int x, int y, WPARAM keys, LRESULT* result);

  Image Snapshot();
  // The known picture's colour at a client pixel.
  static COLORREF Picture(int x, int y);
  static int CursorCount();
  static RECT Clip();
  // DragColor, FillColor and Fill.
  std::tuple<OLE_COLOR, OLE_COLOR, VARIANT_BOOL> Record();

  FakeLink link_;
  ComPtr<IMouseInputManager> manager_;
  mouse::MouseRouting* routing_ = nullptr;
  HWND hwnd_ = nullptr;
  BoxCall box_;
  int paints_ = 0;
  DWORD clock_ = 100000;

 private:
  static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static int Hook(HWND owner, const char* text, const char* caption, UINT type, void* context);
  static MouseTest* current_;
};

// Pixels that differ between two pictures.
int Differences(const Image& a, const Image& b);
// Checks that `after` is `before` with exactly the pixels for which band(x, y) holds inverted.
void ExpectInvertedExactly(const Image& before, const Image& after, const std::function<bool(int, int)>& band);

}  // namespace kelmira::test
