#include "support/injected_input.h"

#include "support/pump.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace kelmira::test {

void Press(UINT message, int x, int y, WPARAM keys) {
  EXPECT_TRUE(KelmiraInjectMouse(message, x, y, keys));
  Pump();
}

void Key(UINT message, WPARAM vk) {
  EXPECT_TRUE(KelmiraInjectKey(message, vk));
  Pump();
}

void Type(const char* keys) {
  const std::string named = "<>^$BDSsC";
  const WPARAM codes[] = {VK_LEFT, VK_RIGHT, VK_HOME, VK_END, VK_BACK, VK_DELETE, VK_SHIFT, VK_SHIFT, 'A'};
  for (const char* k = keys; *k; ++k) {
    const auto at = named.find(*k);
    const WPARAM code = at == std::string::npos ? static_cast<WPARAM>(std::toupper(*k)) : codes[at];
    if (*k == 'C') Key(WM_KEYDOWN, VK_CONTROL);
    if (*k != 's') Key(WM_KEYDOWN, code);
    if (*k != 'S') Key(WM_KEYUP, code);
    if (*k == 'C') Key(WM_KEYUP, VK_CONTROL);
  }
}

void Mouse(DWORD flags, int x, int y, DWORD time, DWORD data) {
  auto normalised = [absolute = (flags & MOUSEEVENTF_ABSOLUTE) != 0](long long p, long long pixels) {
    return static_cast<LONG>(absolute ? (p * 65536 + pixels - 1) / pixels : p);
  };
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi = {
      normalised(x, GetSystemMetrics(SM_CXSCREEN)), normalised(y, GetSystemMetrics(SM_CYSCREEN)), data, flags, time, 0};
  EXPECT_EQ(SendInput(1, &in, sizeof in), 1u);
  Pump();
}

bool QueueClick(HWND dialog, int id) {
  RECT r{};
  if (!GetWindowRect(GetDlgItem(dialog, id), &r)) return false;
  const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  return KelmiraInjectMouse(WM_MOUSEMOVE, x, y, 0) && KelmiraInjectMouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON) &&
         KelmiraInjectMouse(WM_LBUTTONUP, x, y, 0);
}

}  // namespace kelmira::test
