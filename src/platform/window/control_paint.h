// What the standard controls paint with: the brush their parent chooses and the one-pixel 3-D
// edges of frames, boxes and buttons.
#pragma once

#include <kelmira/platform.h>

namespace kelmira::window {

// The brush the parent answers to `message` (a WM_CTLCOLOR* message); the parent's default
// handling when it has no opinion. A control without a parent asks itself.
inline HBRUSH ParentBrush(HWND hwnd, HDC dc, UINT message) {
  HWND parent = GetParent(hwnd);
  HWND asked = parent ? parent : hwnd;
  const auto wp = reinterpret_cast<WPARAM>(dc);
  const auto lp = reinterpret_cast<LPARAM>(hwnd);
  auto brush = reinterpret_cast<HBRUSH>(SendMessageA(asked, message, wp, lp));
  if (brush) return brush;
  return reinterpret_cast<HBRUSH>(DefWindowProcA(asked, message, wp, lp));
}

inline void FillSysColour(HDC dc, int left, int top, int right, int bottom, int colour) {
  RECT r{left, top, right, bottom};
  FillRect(dc, &r, GetSysColorBrush(colour));
}

// One pixel wide: `topLeft` on the top and left, `bottomRight` on the bottom and right (raised
// with the light colour first, sunken with the dark one first).
inline void Edge(HDC dc, const RECT& r, int topLeft, int bottomRight) {
  FillSysColour(dc, r.left, r.top, r.right - 1, r.top + 1, topLeft);
  FillSysColour(dc, r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
  FillSysColour(dc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
  FillSysColour(dc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
}

}  // namespace kelmira::window
