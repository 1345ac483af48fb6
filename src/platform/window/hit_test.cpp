// Which window is under a point.
#include "window/message_queue.h"
#include "window/window_table.h"

#include <cstddef>

using namespace kelmira::window;

namespace {

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// A window that answers HTTRANSPARENT (a group box, a plain label) lets the point through to the
// siblings below it, as the desktop does for windows of the same thread.
bool IsTransparent(HWND hwnd, POINT screen) {
  return SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y))) ==
         HTTRANSPARENT;
}

// The deepest visible, enabled descendant of `parent` under a point in its client coordinates
// (null when `parent` is gone). Windows are held by handle across the hit-test messages, which may
// change the tree.
Window* DeepestChild(HWND parent, POINT client, POINT screen) {
  for (std::size_t i = 0;; ++i) {
    Window* w = FindWindowObject(parent);
    if (!w || i >= w->children.size()) return w;
    const Window* c = w->children[i];
    if (!(c->style & WS_VISIBLE) || (c->style & WS_DISABLED) || c->destroying) continue;
    if (!Contains(c->rect, client)) continue;
    const HWND handle = c->handle;
    Window* found = DeepestChild(handle, POINT{client.x - c->rect.left, client.y - c->rect.top}, screen);
    if (!found) continue;
    const HWND foundHandle = found->handle;
    if (foundHandle == handle && IsTransparent(handle, screen)) continue;
    if (Window* still = FindWindowObject(foundHandle)) return still;
    return FindWindowObject(parent);
  }
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
    return DeepestChild(t->handle, POINT{screen.x - t->rect.left, screen.y - t->rect.top}, screen);
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
