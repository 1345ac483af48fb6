// The paint cycle: update regions (one rectangle per window), WM_PAINT generation, BeginPaint
// and EndPaint, UpdateWindow and RedrawWindow.
#include "window/message_queue.h"
#include "window/window_dc.h"
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

using namespace kelmira::window;

namespace {

template <class T>
T Fail(LONG error, T value) {
  SetLastError(static_cast<DWORD>(error));
  return value;
}

bool NeedsPaint(const Window& w) { return !w.destroying && (!IsEmpty(w.update) || w.internalPaint); }

// Parents before children; among siblings the bottom one first so that the top one is drawn
// last. Hidden windows and everything under them are skipped.
Window* FirstToPaint(Window& w) {
  if (!(w.style & WS_VISIBLE) || w.destroying) return nullptr;
  if (NeedsPaint(w)) return &w;
  for (auto it = w.children.rbegin(); it != w.children.rend(); ++it)
    if (Window* found = FirstToPaint(**it)) return found;
  return nullptr;
}

void InvalidateSelf(Window& w, const RECT* rect, bool erase) {
  RECT client = ClientRect(w);
  RECT r = rect ? Intersect(*rect, client) : client;
  if (IsEmpty(r)) return;
  w.update = Union(w.update, r);
  if (erase) w.erasePending = true;
}

void ValidateSelf(Window& w, const RECT* rect) {
  w.update = rect ? Subtract(w.update, *rect) : RECT{0, 0, 0, 0};
  if (IsEmpty(w.update)) {
    w.update = RECT{0, 0, 0, 0};
    w.erasePending = false;
  }
}

RECT InChild(const RECT* parentRect, const Window& child) {
  RECT r = parentRect ? Intersect(*parentRect, child.rect) : child.rect;
  return Offset(r, POINT{-child.rect.left, -child.rect.top});
}

void EraseNow(HWND hwnd) {
  Window* w = FindWindowObject(hwnd);
  if (!w || !w->erasePending || IsEmpty(w->update)) return;
  w->erasePending = false;
  RECT area = w->update;
  HDC hdc = MakeWindowDC(*w, &area);
  if (!hdc) return;
  SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
  ReleaseWindowDC(hdc);
}

std::vector<HWND> ChildHandles(const Window& w) {
  std::vector<HWND> handles;
  for (Window* c : w.children) handles.push_back(c->handle);
  return handles;
}

// Paints hwnd if it needs it, then (with children) every descendant that does.
void PaintPending(HWND hwnd, bool children) {
  Window* w = FindWindowObject(hwnd);
  if (!w) return;
  PaintNow(*w);
  if (!children || (w = FindWindowObject(hwnd)) == nullptr) return;
  std::vector<HWND> handles = ChildHandles(*w);
  for (auto it = handles.rbegin(); it != handles.rend(); ++it) PaintPending(*it, true);
}

void ErasePending(HWND hwnd, bool children) {
  EraseNow(hwnd);
  Window* w = FindWindowObject(hwnd);
  if (!children || !w) return;
  for (HWND c : ChildHandles(*w)) ErasePending(c, true);
}

enum class ChildRule { Default, All, None };

void ApplyFlags(Window& w, const RECT* rect, UINT flags, ChildRule rule) {
  if (flags & RDW_INVALIDATE) {
    if (rule == ChildRule::Default)
      Invalidate(w, rect, (flags & RDW_ERASE) != 0);
    else
      InvalidateSelf(w, rect, (flags & RDW_ERASE) != 0);
  }
  if (flags & RDW_VALIDATE) ValidateSelf(w, rect);
  if (flags & RDW_NOERASE) w.erasePending = false;
  if (flags & RDW_INTERNALPAINT) w.internalPaint = true;
  if (flags & RDW_NOINTERNALPAINT) w.internalPaint = false;
  if (rule != ChildRule::All) return;
  for (Window* c : w.children) {
    RECT r = InChild(rect, *c);
    if (!IsEmpty(r)) ApplyFlags(*c, &r, flags, rule);
  }
}

bool ValidRedrawFlags(UINT flags) {
  constexpr UINT kKnown = 0x0FFF;
  if (flags & ~kKnown) return false;
  return !((flags & RDW_INVALIDATE) && (flags & RDW_VALIDATE));
}

}  // namespace

namespace kelmira::window {

Window* NextWindowToPaint(const Window* within) {
  if (within) {
    Window& w = const_cast<Window&>(*within);
    if (w.parent && !IsVisibleChain(*w.parent)) return nullptr;
    return FirstToPaint(w);
  }
  for (Window* t : TopLevelWindows())
    if (Window* found = FirstToPaint(*t)) return found;
  return nullptr;
}

void PaintNow(Window& w) {
  if (!IsVisibleChain(w) || !NeedsPaint(w)) return;
  SendMessageA(w.handle, WM_PAINT, 0, 0);
}

void Invalidate(Window& w, const RECT* rect, bool erase) {
  RECT client = ClientRect(w);
  RECT r = rect ? Intersect(*rect, client) : client;
  if (IsEmpty(r)) return;
  InvalidateSelf(w, &r, erase);
  if (w.style & WS_CLIPCHILDREN) return;
  // The parent's painting reaches under its children: they have to be drawn again, on a fresh
  // background.
  for (Window* c : w.children) {
    if (!(c->style & WS_VISIBLE)) continue;
    RECT inChild = InChild(&r, *c);
    if (!IsEmpty(inChild)) Invalidate(*c, &inChild, true);
  }
}

void InvalidateTree(Window& w) {
  InvalidateSelf(w, nullptr, true);
  for (Window* c : w.children) InvalidateTree(*c);
}

}  // namespace kelmira::window

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  if (!hWnd) {
    if (!CheckWindowThread()) return FALSE;
    for (Window* t : TopLevelWindows()) Invalidate(*t, nullptr, bErase != FALSE);
    return TRUE;
  }
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  Invalidate(*w, lpRect, bErase != FALSE);
  return TRUE;
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect) {
  if (!hWnd) return CheckWindowThread() ? TRUE : FALSE;
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  ValidateSelf(*w, lpRect);
  return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
  if (!LookupWindow(hWnd)) return FALSE;
  PaintPending(hWnd, true);
  return TRUE;
}

BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
  if (hrgnUpdate || !ValidRedrawFlags(flags)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  std::vector<HWND> targets;
  if (hWnd) {
    if (!LookupWindow(hWnd)) return FALSE;
    targets.push_back(hWnd);
  } else {
    if (!CheckWindowThread()) return FALSE;
    for (Window* t : TopLevelWindows()) targets.push_back(t->handle);
  }
  ChildRule rule = (flags & RDW_ALLCHILDREN)  ? ChildRule::All
                   : (flags & RDW_NOCHILDREN) ? ChildRule::None
                                              : ChildRule::Default;
  for (HWND h : targets) {
    if (Window* w = FindWindowObject(h)) ApplyFlags(*w, lprcUpdate, flags, rule);
  }
  bool children = rule != ChildRule::None;
  for (HWND h : targets) {
    if (flags & RDW_ERASENOW) ErasePending(h, children);
    if (flags & RDW_UPDATENOW) PaintPending(h, children);
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  if (bErase) {
    EraseNow(hWnd);
    if ((w = FindWindowObject(hWnd)) == nullptr) return FALSE;
  }
  RECT update = IsEmpty(w->update) ? RECT{0, 0, 0, 0} : w->update;
  if (lpRect) *lpRect = update;
  return IsEmpty(update) ? FALSE : TRUE;
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  Window* w = LookupWindow(hWnd);
  if (!w) return nullptr;
  if (!lpPaint) return Fail(ERROR_INVALID_PARAMETER, HDC{});
  RECT update = IsEmpty(w->update) ? RECT{0, 0, 0, 0} : w->update;
  bool erase = w->erasePending;
  w->update = RECT{0, 0, 0, 0};
  w->erasePending = false;
  w->internalPaint = false;
  HDC hdc = MakeWindowDC(*w, &update);
  if (!hdc) return nullptr;
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = hdc;
  lpPaint->rcPaint = update;
  if (erase) lpPaint->fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
  return hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  (void)hWnd;
  if (!lpPaint) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  return ReleaseWindowDC(lpPaint->hdc) ? TRUE : FALSE;
}
