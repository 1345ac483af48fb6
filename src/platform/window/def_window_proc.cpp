// The default window procedure.
#include "window/backend.h"
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <cstring>

using namespace kelmira::window;

namespace {

void StoreText(Window& w, LPCSTR text) {
  w.text = text ? text : "";
  if (!w.parent) CurrentBackend().WindowTextChanged(w);
}

LRESULT CopyText(const Window& w, WPARAM capacity, LPSTR buffer) {
  if (!buffer || capacity == 0) return 0;
  std::size_t n = std::min(w.text.size(), static_cast<std::size_t>(capacity - 1));
  std::memcpy(buffer, w.text.data(), n);
  buffer[n] = '\0';
  return static_cast<LRESULT>(n);
}

LRESULT EraseBackground(const Window& w, HDC hdc) {
  HBRUSH brush = w.cls ? w.cls->background : nullptr;
  if (!brush || !hdc) return 0;
  RECT client = ClientRect(w);
  FillRect(hdc, &client, brush);
  return 1;
}

void SendMoveAndSize(HWND hwnd, const WINDOWPOS* pos) {
  if (!pos) return;
  Window* w = FindWindowObject(hwnd);
  if (!w) return;
  if (!(pos->flags & SWP_NOMOVE))
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(w->rect.left), static_cast<WORD>(w->rect.top)));
  if (pos->flags & SWP_NOSIZE) return;
  if ((w = FindWindowObject(hwnd)) == nullptr) return;
  LPARAM size = MAKELPARAM(static_cast<WORD>(Width(w->rect)), static_cast<WORD>(Height(w->rect)));
  SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, size);
}

LRESULT ControlColour(UINT msg, HDC hdc) {
  int background = COLOR_3DFACE;
  if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX)
    background = COLOR_WINDOW;
  else if (msg == WM_CTLCOLORSCROLLBAR)
    background = COLOR_SCROLLBAR;
  SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(hdc, GetSysColor(background));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

LRESULT SetClassCursor(const Window& w, LPARAM lParam) {
  if (w.parent && SendMessageA(w.parent->handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(w.handle), lParam)) return TRUE;
  if (LOWORD(static_cast<std::uintptr_t>(lParam)) != HTCLIENT) return FALSE;
  HCURSOR cursor = w.cls ? w.cls->cursor : nullptr;
  if (!cursor) return FALSE;
  for (const WindowListener& l : WindowListeners())
    if (l.setCursor) l.setCursor(cursor);
  return TRUE;
}

LRESULT MouseActivate(const Window& w, WPARAM wParam, LPARAM lParam) {
  if (w.parent) {
    LRESULT r = SendMessageA(w.parent->handle, WM_MOUSEACTIVATE, wParam, lParam);
    if (r) return r;
  }
  return MA_ACTIVATE;
}

LRESULT HitTest(const Window& w, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT r = ScreenRect(w);
  return (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) ? HTCLIENT : HTNOWHERE;
}

LRESULT PaintAndValidate(HWND hwnd) {
  PAINTSTRUCT ps;
  if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
  return 0;
}

LRESULT ToParent(const Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  return w.parent ? SendMessageA(w.parent->handle, msg, wParam, lParam) : 0;
}

}  // namespace

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  Window* w = LookupWindow(hWnd);
  if (!w) return 0;
  switch (Msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName) StoreText(*w, cs->lpszName);
      return TRUE;
    }
    case WM_SETTEXT: StoreText(*w, reinterpret_cast<LPCSTR>(lParam)); return TRUE;
    case WM_GETTEXT: return CopyText(*w, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE: DestroyWindow(hWnd); return 0;
    case WM_ERASEBKGND: return EraseBackground(*w, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: return PaintAndValidate(hWnd);
    case WM_WINDOWPOSCHANGED: SendMoveAndSize(hWnd, reinterpret_cast<const WINDOWPOS*>(lParam)); return 0;
    case WM_MOUSEACTIVATE: return MouseActivate(*w, wParam, lParam);
    case WM_SETCURSOR: return SetClassCursor(*w, lParam);
    case WM_NCHITTEST: return HitTest(*w, lParam);
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_CONTEXTMENU: return ToParent(*w, Msg, wParam, lParam);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return ControlColour(Msg, reinterpret_cast<HDC>(wParam));
    default: return 0;
  }
}
