// Windows that record the input messages they get, and helpers that inject input and pump it.
#pragma once

#include <kelmira/platform.h>
#include <kelmira/platform/winuser.h>

#include <gtest/gtest.h>

#include "window/input_state.h"

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
  bool captureOnPress = false;     // SetCapture on WM_LBUTTONDOWN
  LRESULT mouseActivate = 0;       // nonzero: WM_MOUSEACTIVATE's answer instead of the default
};

class InputTest : public ::testing::Test {
 public:
  static InputBehaviour& Behaviour();

 protected:
  static constexpr const char* kDoubleClickClass = "KelmiraInputDblClk";
  static constexpr const char* kPlainClass = "KelmiraInputPlain";

  void SetUp() override;
  void TearDown() override;

  HWND MakeTop(const char* cls, int x, int y, int w, int h, DWORD extraStyle = 0);
  HWND MakeChild(HWND parent, int x, int y, int w, int h, DWORD extraStyle = 0, const char* cls = kDoubleClickClass);

  // Dispatches everything queued (with TranslateMessage).
  void Pump();

  // Mouse events at screen pixels, pumped after each.
  void Move(int x, int y);
  void Press(UINT message, int x, int y, WPARAM keys = 0);
  // A SendInput mouse event at an explicit time (pumped).
  void MouseAt(DWORD flags, int x, int y, DWORD time, DWORD mouseData = 0);
  void Key(UINT message, WPARAM vk);

  // Received messages in [first, last] (all of them by default), optionally for one window.
  std::vector<Received> Messages(UINT first = 0, UINT last = 0xFFFF, HWND only = nullptr) const;
  std::vector<UINT> MessageIds(UINT first = 0, UINT last = 0xFFFF, HWND only = nullptr) const;
  std::vector<Received> MouseMessages(HWND only = nullptr) const { return Messages(WM_MOUSEFIRST, WM_MOUSELAST, only); }
  void ClearMessages();
};

// The normalised 0..65535 coordinate that lands on pixel p of a screen `pixels` wide.
LONG Normalised(int p, int pixels);

inline int X(LPARAM lParam) { return GET_X_LPARAM(lParam); }
inline int Y(LPARAM lParam) { return GET_Y_LPARAM(lParam); }

}  // namespace kelmira::test
