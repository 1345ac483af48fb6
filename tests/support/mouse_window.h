// A mouse input manager owned by a fake container link whose window is a recording top-level
// window at screen (200, 150), 100 x 100, painted with a known picture; input is injected at
// client points.
#pragma once

#include "support/fake_container_link.h"
#include "support/recording_window.h"  // with gtest, <functional>, <optional> and <vector>

#include <string>
#include <tuple>

namespace kelmira::test {

using Image = std::vector<COLORREF>;  // what the window shows, row by row

class MouseWindowTest : public WindowTest {
 public:
  static constexpr int kLeft = 200, kTop = 150, kSize = 100;

 protected:
  void SetUp() override;
  void TearDown() override;

  // An injected mouse event (a move, or a button message with the move before it) at a client
  // point, `after` ms after the previous one; pumped.
  void Mouse(UINT message, int x, int y, DWORD after = 1000);
  // Arms DragPoint ... DragYLine by tool number 1 ... 8.
  void Arm(int tool, const char16_t* command);
  // Hands a message straight to the manager: its result, or none when it left the message alone.
  std::optional<LRESULT> Send(UINT message, int x, int y, WPARAM keys = 0);
  Image Snapshot() const;
  // The window must show the picture before the band with exactly the outline of the rectangle
  // from (l, t) to (r - 1, b - 1) inverted.
  void ExpectFrame(int l, int t, int r, int b) const;

  FakeContainerLink link_;
  ComPtr<IMouseInputManager> manager_;
  mouse::MouseRouting* routing_ = nullptr;
  HWND hwnd_ = nullptr;
  Image before_;  // the picture before any band
  int paints_ = 0;
  std::vector<std::tuple<HWND, std::string, std::string, UINT>> boxes_;  // owner, text, caption, type

 private:
  DWORD clock_ = 100000;
};

// Pixels that differ between two pictures.
int Differences(const Image& a, const Image& b);
// `after` must be `before` with exactly the pixels for which band(x, y) holds inverted.
void ExpectInvertedExactly(const Image& before, const Image& after, const std::function<bool(int, int)>& band);

}  // namespace kelmira::test
