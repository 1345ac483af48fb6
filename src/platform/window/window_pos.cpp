// Position, size, z-order, visibility and the enabled state.
#include "window/backend.h"
#include "window/message_queue.h"
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>

using namespace kelmira::window;

namespace {

template <class T>
T Fail(LONG error, T value) {
  SetLastError(static_cast<DWORD>(error));
  return value;
}

// Returns true when the position in the sibling list changed.
bool ApplyZOrder(Window& w, HWND after) {
  std::vector<Window*>& siblings = SiblingsOf(w);
  std::vector<Window*> before = siblings;
  std::erase(siblings, &w);
  if (after == HWND_BOTTOM) {
    siblings.push_back(&w);
  } else {
    auto at = siblings.begin();
    Window* a =
        (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) ? nullptr : FindWindowObject(after);
    auto found = a ? std::find(siblings.begin(), siblings.end(), a) : siblings.end();
    if (found != siblings.end()) at = found + 1;
    siblings.insert(at, &w);
  }
  return before != siblings;
}

struct Change {
  RECT oldRect;
  bool wasShowing;
  bool showing;
  bool moved;
  bool sized;
  bool raised;
};

void UpdateTopLevel(Window& w, const Change& c) {
  Backend& backend = CurrentBackend();
  if (c.sized) ResizeBacking(w);
  if (c.moved || c.sized) backend.WindowMoved(w);
  if (c.showing && !c.wasShowing) backend.WindowShown(w);
  if (c.wasShowing && !c.showing) backend.WindowHidden(w);
}

UINT RedrawClass(const Window& w) { return w.cls ? w.cls->style : 0; }

void Repaint(Window& w, const Change& c) {
  if (w.parent && c.wasShowing && (c.moved || c.sized || !c.showing)) {
    RECT uncovered = c.showing ? Subtract(c.oldRect, w.rect) : c.oldRect;
    if (!IsEmpty(uncovered)) Invalidate(*w.parent, &uncovered, true);
  }
  if (!c.showing) return;
  if (!c.wasShowing) {
    InvalidateTree(w);
    return;
  }
  if (c.sized) {
    UINT style = RedrawClass(w);
    bool widthChanged = Width(c.oldRect) != Width(w.rect);
    bool heightChanged = Height(c.oldRect) != Height(w.rect);
    if (((style & CS_HREDRAW) && widthChanged) || ((style & CS_VREDRAW) && heightChanged)) {
      Invalidate(w, nullptr, true);
    } else {
      RECT oldClient{0, 0, Width(c.oldRect), Height(c.oldRect)};
      RECT exposed = Subtract(ClientRect(w), oldClient);
      if (!IsEmpty(exposed)) Invalidate(w, &exposed, true);
    }
  }
  // A child's pixels stay where they were in the shared backing surface: draw it again.
  if (w.parent && (c.moved || c.raised)) Invalidate(w, nullptr, true);
}

void NotifyHidden(Window& w) {
  for (const WindowListener& l : WindowListeners())
    if (l.hiddenOrDisabled) l.hiddenOrDisabled(w);
}

}  // namespace

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  WINDOWPOS pos{hWnd, hWndInsertAfter, X, Y, std::max(cx, 0), std::max(cy, 0), uFlags};
  if (uFlags & SWP_NOMOVE) {
    pos.x = w->rect.left;
    pos.y = w->rect.top;
  }
  if (uFlags & SWP_NOSIZE) {
    pos.cx = Width(w->rect);
    pos.cy = Height(w->rect);
  }
  if (!(uFlags & SWP_NOSENDCHANGING)) {
    SendMessageA(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    w = FindWindowObject(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
  }
  RECT newRect = MakeWindowRect(pos.x, pos.y, pos.cx, pos.cy);

  Change c{};
  c.oldRect = w->rect;
  c.wasShowing = IsVisibleChain(*w);
  c.moved = newRect.left != c.oldRect.left || newRect.top != c.oldRect.top;
  c.sized = Width(newRect) != Width(c.oldRect) || Height(newRect) != Height(c.oldRect);
  w->rect = newRect;
  if (c.sized) w->update = Intersect(w->update, ClientRect(*w));
  if (!(pos.flags & SWP_NOZORDER)) c.raised = ApplyZOrder(*w, pos.hwndInsertAfter);
  if (pos.flags & SWP_SHOWWINDOW)
    w->style |= WS_VISIBLE;
  else if (pos.flags & SWP_HIDEWINDOW)
    w->style &= ~WS_VISIBLE;
  c.showing = IsVisibleChain(*w);

  if (!w->parent) UpdateTopLevel(*w, c);
  if (!(pos.flags & SWP_NOREDRAW)) Repaint(*w, c);
  if (c.wasShowing && !c.showing) NotifyHidden(*w);

  if ((w = FindWindowObject(hWnd)) == nullptr) return TRUE;
  WINDOWPOS changed{hWnd, pos.hwndInsertAfter, w->rect.left, w->rect.top, Width(w->rect), Height(w->rect), pos.flags};
  if (!c.moved) changed.flags |= SWP_NOMOVE;
  if (!c.sized) changed.flags |= SWP_NOSIZE;
  SendMessageA(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&changed));
  return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0u : SWP_NOREDRAW);
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, flags);
}

BOOL BringWindowToTop(HWND hWnd) { return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  if (nCmdShow < SW_HIDE || nCmdShow > SW_FORCEMINIMIZE) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  bool was = (w->style & WS_VISIBLE) != 0;
  bool show = nCmdShow != SW_HIDE;
  if (show == was) return was ? TRUE : FALSE;
  SendMessageA(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  if (!FindWindowObject(hWnd)) return was ? TRUE : FALSE;
  bool activate = show && nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE && nCmdShow != SW_SHOWMINNOACTIVE;
  UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
  if (!activate) flags |= SWP_NOACTIVATE;
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, flags);
  if (show) {
    if ((w = FindWindowObject(hWnd)) == nullptr) return FALSE;
    for (const WindowListener& l : WindowListeners())
      if (l.shown) l.shown(*w, activate && !w->parent);
  }
  return was ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
  Window* w = FindWindowObject(hWnd);
  return w && IsVisibleChain(*w) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hWnd) {
  Window* w = FindWindowObject(hWnd);
  return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hWnd) {
  Window* w = FindWindowObject(hWnd);
  return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  bool wasDisabled = (w->style & WS_DISABLED) != 0;
  if (bEnable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    SendMessageA(hWnd, WM_ENABLE, TRUE, 0);
  } else if (!bEnable && !wasDisabled) {
    w->style |= WS_DISABLED;
    NotifyHidden(*w);
    if (FindWindowObject(hWnd)) SendMessageA(hWnd, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hWnd) {
  Window* w = FindWindowObject(hWnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}
