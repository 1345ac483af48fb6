// Which window is under a point.
#include "window/message_queue.h"
#include "window/window_table.h"

using namespace kelmira::window;

namespace {

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The deepest visible, enabled descendant of w under a point in w's client coordinates.
Window* DeepestChild(Window& w, POINT client) {
  for (Window* c : w.children) {
    if (!(c->style & WS_VISIBLE) || (c->style & WS_DISABLED) || c->destroying) continue;
    if (!Contains(c->rect, client)) continue;
    return DeepestChild(*c, POINT{client.x - c->rect.left, client.y - c->rect.top});
  }
  return &w;
}

}  // namespace

namespace kelmira::window {

// A disabled top-level window still takes the point (it is modal-blocked, not transparent); the
// input code drops messages for it.
Window* HitTestScreenPoint(POINT screen) {
  if (!CheckWindowThread()) return nullptr;
  for (Window* t : TopLevelWindows()) {
    if (!(t->style & WS_VISIBLE) || t->destroying || !Contains(t->rect, screen)) continue;
    if (t->style & WS_DISABLED) return t;
    return DeepestChild(*t, POINT{screen.x - t->rect.left, screen.y - t->rect.top});
  }
  return nullptr;
}

POINT ScreenToClientPoint(const Window& w, POINT screen) {
  POINT o = ScreenOrigin(w);
  return POINT{screen.x - o.x, screen.y - o.y};
}

void PostMouseMessage(Window& w, UINT message, WPARAM wParam, POINT screen, DWORD time) {
  bool wheel = message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL;
  POINT p = wheel ? screen : ScreenToClientPoint(w, screen);
  LPARAM lParam = MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
  PostWithTime(w.handle, message, wParam, lParam, time, screen);
}

}  // namespace kelmira::window

HWND WindowFromPoint(POINT Point) {
  Window* w = HitTestScreenPoint(Point);
  if (!w || (w->style & WS_DISABLED)) return nullptr;
  return w->handle;
}

HWND ChildWindowFromPoint(HWND hWndParent, POINT Point) {
  Window* w = LookupWindow(hWndParent);
  if (!w) return nullptr;
  if (!Contains(ClientRect(*w), Point)) return nullptr;
  for (Window* c : w->children)
    if (Contains(c->rect, Point)) return c->handle;
  return w->handle;
}
