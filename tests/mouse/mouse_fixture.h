// A manager owned by a fake container link whose window is a real top-level window at (200, 150),
// 100 x 100, painted with a known picture; input is injected at screen positions.
#pragma once

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include "support/fake_container_link.h"

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace kelmira::test {

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

  FakeContainerLink link_;
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
