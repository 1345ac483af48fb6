// Where windows are: origins in screen and backing-surface coordinates, client and window
// rectangles, and point mapping between windows.
#include "window/backend.h"
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>

namespace kelmira::window {

Window& TopLevelOf(Window& w) {
  Window* top = &w;
  while (top->parent) top = top->parent;
  return *top;
}

POINT ScreenOrigin(const Window& w) {
  POINT p{0, 0};
  for (const Window* at = &w; at; at = at->parent) {
    p.x += at->rect.left;
    p.y += at->rect.top;
  }
  return p;
}

POINT SurfaceOrigin(const Window& w) {
  POINT p{0, 0};
  for (const Window* at = &w; at->parent; at = at->parent) {
    p.x += at->rect.left;
    p.y += at->rect.top;
  }
  return p;
}

RECT ScreenRect(const Window& w) {
  POINT o = ScreenOrigin(w);
  return RECT{o.x, o.y, o.x + Width(w.rect), o.y + Height(w.rect)};
}

bool IsVisibleChain(const Window& w) {
  for (const Window* at = &w; at; at = at->parent)
    if (!(at->style & WS_VISIBLE)) return false;
  return true;
}

bool IsEnabledChain(const Window& w) {
  for (const Window* at = &w; at; at = at->parent)
    if (at->style & WS_DISABLED) return false;
  return true;
}

bool IsDescendantOf(const Window& w, const Window& ancestor) {
  for (const Window* at = w.parent; at; at = at->parent)
    if (at == &ancestor) return true;
  return false;
}

}  // namespace kelmira::window

using namespace kelmira::window;

namespace {

template <class T>
T Fail(LONG error, T value) {
  SetLastError(static_cast<DWORD>(error));
  return value;
}

// The screen origin of hwnd's client area; null means the screen itself.
bool OriginOf(HWND hwnd, POINT* origin) {
  if (!hwnd) {
    *origin = POINT{0, 0};
    return CheckWindowThread();
  }
  Window* w = LookupWindow(hwnd);
  if (!w) return false;
  *origin = ScreenOrigin(*w);
  return true;
}

}  // namespace

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  if (!lpRect) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  *lpRect = ClientRect(*w);
  return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  if (!lpRect) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  *lpRect = ScreenRect(*w);
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  if (!lpPoint) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  POINT o = ScreenOrigin(*w);
  lpPoint->x += o.x;
  lpPoint->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  if (!lpPoint) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  POINT o = ScreenOrigin(*w);
  lpPoint->x -= o.x;
  lpPoint->y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  POINT from{}, to{};
  if (!OriginOf(hWndFrom, &from) || !OriginOf(hWndTo, &to)) return 0;
  if (!lpPoints && cPoints > 0) return Fail(ERROR_INVALID_PARAMETER, 0);
  LONG dx = from.x - to.x;
  LONG dy = from.y - to.y;
  for (UINT i = 0; i < cPoints; ++i) {
    lpPoints[i].x += dx;
    lpPoints[i].y += dy;
  }
  SetLastError(0);
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

int GetSystemMetrics(int nIndex) {
  SIZE screen = CurrentBackend().ScreenSize();
  switch (nIndex) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN: return screen.cx;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return screen.cy;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN: return 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 17;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_MOUSEPRESENT:
    case SM_MOUSEWHEELPRESENT:
    case SM_CMONITORS: return 1;
    case SM_CMOUSEBUTTONS: return 5;
    default: return 0;  // caption, frames, minimum sizes: no non-client area
  }
}

namespace kelmira::window {

RECT MakeWindowRect(int x, int y, int cx, int cy) {
  x = std::clamp(x, -kMaxCoordinate, kMaxCoordinate);
  y = std::clamp(y, -kMaxCoordinate, kMaxCoordinate);
  cx = std::clamp(cx, 0, kMaxCoordinate);
  cy = std::clamp(cy, 0, kMaxCoordinate);
  return RECT{x, y, x + cx, y + cy};
}

RECT Union(const RECT& a, const RECT& b) {
  if (IsEmpty(a)) return IsEmpty(b) ? RECT{0, 0, 0, 0} : b;
  if (IsEmpty(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

RECT Subtract(const RECT& a, const RECT& b) {
  RECT common = Intersect(a, b);
  if (IsEmpty(common)) return a;
  RECT r = a;
  bool fullWidth = common.left <= a.left && common.right >= a.right;
  bool fullHeight = common.top <= a.top && common.bottom >= a.bottom;
  if (fullWidth && fullHeight) return RECT{0, 0, 0, 0};
  if (fullWidth) {
    if (common.top <= a.top)
      r.top = common.bottom;
    else if (common.bottom >= a.bottom)
      r.bottom = common.top;
  } else if (fullHeight) {
    if (common.left <= a.left)
      r.left = common.right;
    else if (common.right >= a.right)
      r.right = common.left;
  }
  return r;
}

}  // namespace kelmira::window
