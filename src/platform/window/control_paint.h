// What the standard controls share: the brush their parent chooses, the one-pixel 3-D edges of
// frames, boxes and buttons, the dotted focus outline, and the notification to the parent.
#pragma once

#include <kelmira/platform.h>

namespace kelmira::window {

// The brush the parent answers to `message` (a WM_CTLCOLOR* message); the parent's default
// handling when it has no opinion. A control without a parent asks itself.
// `requester` is the window named in the request (a drop-down list's popup names itself while
// its combo box's parent answers); null names hwnd.
inline HBRUSH ParentBrush(HWND hwnd, HDC dc, UINT message, HWND requester = nullptr) {
  HWND parent = GetParent(hwnd);
  HWND asked = parent ? parent : hwnd;
  const auto wp = reinterpret_cast<WPARAM>(dc);
  const auto lp = reinterpret_cast<LPARAM>(requester ? requester : hwnd);
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

// Every other pixel of a rectangle's outline, as the keyboard focus is shown.
inline void DrawFocusOutline(HDC dc, const RECT& r, COLORREF colour) {
  for (int x = r.left; x < r.right; x += 2) {
    SetPixelV(dc, x, r.top, colour);
    SetPixelV(dc, x, r.bottom - 1, colour);
  }
  for (int y = r.top; y < r.bottom; y += 2) {
    SetPixelV(dc, r.left, y, colour);
    SetPixelV(dc, r.right - 1, y, colour);
  }
}

// Registers a control's window class (process-wide, as the standard classes are); false when the
// platform refused it.
inline bool RegisterControlClass(const char* name, WNDPROC proc, UINT style = CS_DBLCLKS, LPCSTR cursor = nullptr) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hCursor = cursor ? LoadCursorA(nullptr, cursor) : nullptr;
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) != 0;
}

// WM_COMMAND with the control's identifier and `code` to its parent, if it has one.
inline void NotifyParent(HWND hwnd, WORD code) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  auto id = static_cast<WORD>(GetDlgCtrlID(hwnd));
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hwnd));
}

}  // namespace kelmira::window
