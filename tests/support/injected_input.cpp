#include "support/injected_input.h"

#include "support/pump.h"

#include <gtest/gtest.h>

namespace kelmira::test {

void Press(UINT message, int x, int y, WPARAM keys) {
  EXPECT_TRUE(KelmiraInjectMouse(message, x, y, keys));
  Pump();
}

void Key(UINT message, WPARAM vk) {
  EXPECT_TRUE(KelmiraInjectKey(message, vk));
  Pump();
}

void Mouse(DWORD flags, int x, int y, DWORD time, DWORD data) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  bool absolute = flags & MOUSEEVENTF_ABSOLUTE;
  in.mi.dx = absolute ? Normalised(x, GetSystemMetrics(SM_CXSCREEN)) : x;
  in.mi.dy = absolute ? Normalised(y, GetSystemMetrics(SM_CYSCREEN)) : y;
  in.mi.dwFlags = flags;
  in.mi.time = time;
  in.mi.mouseData = data;
  EXPECT_EQ(SendInput(1, &in, sizeof in), 1u);
  Pump();
}

LONG Normalised(int p, int pixels) {
  return static_cast<LONG>((static_cast<long long>(p) * 65536 + pixels - 1) / pixels);
}

}  // namespace kelmira::test
