// Windows that record the input messages they get, and helpers that inject input and pump it.
#pragma once

#include <kelmira/platform.h>
#include <kelmira/platform/winuser.h>

#include <gtest/gtest.h>

#include "window/input_state.h"

#include <tuple>
#include <vector>

namespace kelmira::test {

struct Received {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  SHORT leftButton;  // GetKeyState(VK_LBUTTON) while the message was handled
};

// What the recording windows do besides recording.
struct InputBehaviour {
  bool captureOnPress = false;  // SetCapture on WM_LBUTTONDOWN
  LRESULT mouseActivate = 0;    // nonzero: WM_MOUSEACTIVATE's answer instead of the default
};

class InputTest : public ::testing::Test {
 public:
  static InputBehaviour& Behaviour();

 protected:
  static constexpr const char* kDoubleClickClass = "KelmiraInputDblClk";  // IDC_CROSS cursor
  static constexpr const char* kPlainClass = "KelmiraInputPlain";         // IDC_IBEAM cursor

  void SetUp() override;
  void TearDown() override;

  HWND MakeTop(const char* cls, int x, int y, int w, int h);
  HWND MakeChild(HWND parent, int x, int y, int w, int h);

  // Dispatches everything queued (with TranslateMessage).
  void Pump();
  // Injected events at screen pixels, each pumped.
  void Move(int x, int y) { Press(WM_MOUSEMOVE, x, y); }
  void Press(UINT message, int x, int y, WPARAM keys = 0);
  void Key(UINT message, WPARAM vk);
  // A SendInput move to a screen pixel with more flags, at an explicit time (pumped).
  void MouseAt(DWORD flags, int x, int y, DWORD time, DWORD mouseData = 0);

  // Received messages in [first, last], optionally for one window only.
  std::vector<Received> Messages(UINT first = 0, UINT last = 0xFFFF, HWND only = nullptr) const;
  std::vector<UINT> Ids(UINT first = 0, UINT last = 0xFFFF, HWND only = nullptr) const;
  // The button messages (moves left out).
  std::vector<UINT> Buttons(HWND only = nullptr) const { return Ids(WM_LBUTTONDOWN, WM_MOUSELAST, only); }
  void ClearMessages();
};

// The normalised 0..65535 coordinate that lands on pixel p of a screen `pixels` wide.
LONG Normalised(int p, int pixels);

// A received message as one comparable value.
inline std::tuple<HWND, UINT, WPARAM, LPARAM> Whole(const Received& r) {
  return {r.hwnd, r.message, r.wParam, r.lParam};
}
inline std::tuple<HWND, UINT, WPARAM, LPARAM> Whole(HWND h, UINT m, WPARAM w, LPARAM l) { return {h, m, w, l}; }

}  // namespace kelmira::test
