// A control hosted the way a form hosts it: an "AtlAxWin" child at (0, 0) of a top-level frame at
// screen (kFrameX, kFrameY), on the headless display.
#pragma once

#include <kelmira/kelmira.h>

namespace kelmira::test {

// The frames' window class (the default procedure), and a new frame: a visible top-level window at
// screen (HostedControl::kFrameX, HostedControl::kFrameY).
inline constexpr const char* kFrameClass = "KelmiraTestFrame";
HWND MakeFrame(int width = 400, int height = 300);

class HostedControl {
 public:
  static constexpr int kFrameX = 100;
  static constexpr int kFrameY = 50;

  // Creates the class by its identifier and attaches it to a host window of width x height;
  // the queue is pumped, so the control has painted.
  explicit HostedControl(REFCLSID clsid, int width = 200, int height = 100);
  ~HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  // What the control's window shows at a client pixel (CLR_INVALID outside it).
  COLORREF Pixel(int x, int y) const;

  HWND frame = nullptr;
  HWND host = nullptr;
  HWND window = nullptr;  // the control's own window
  ComPtr<IUnknown> control;
};

// A GraphicsContainer, hosted.
class HostedContainer : public HostedControl {
 public:
  explicit HostedContainer(int width = 200, int height = 100);
  ComPtr<IGraphicsContainer> container;
};

}  // namespace kelmira::test
