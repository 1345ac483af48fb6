// The message box's push button: a 3-D face with its label, pressed by the left mouse button
// (released over it) or the space bar, reporting BN_CLICKED to its parent. The standard
// "BUTTON" class is a separate, fuller control.
#include "window/message_box.h"

#include "window/control_paint.h"
#include "window/dialog_state.h"
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <memory>
#include <string>

namespace kelmira::window {
namespace {

struct ButtonState {
  HFONT font = nullptr;
  bool tracking = false;  // the mouse is captured after a press
  bool pressed = false;   // drawn pushed in
  bool spaceDown = false;
};

ButtonState* StateOf(HWND hwnd) {
  Window* w = FindWindowObject(hwnd);
  if (!w) return nullptr;
  if (!w->controlData && FAILED(Guarded([&] { w->controlData = std::make_shared<ButtonState>(); }))) return nullptr;
  return static_cast<ButtonState*>(w->controlData.get());
}

bool IsDefault(HWND hwnd) { return (GetWindowLongPtrA(hwnd, GWL_STYLE) & kDefaultButtonStyle) != 0; }

void SetPressed(HWND hwnd, ButtonState& s, bool pressed) {
  if (s.pressed == pressed) return;
  s.pressed = pressed;
  InvalidateRect(hwnd, nullptr, FALSE);
}

void Click(HWND hwnd) { NotifyParent(hwnd, kButtonClicked); }

void FillEdge(HDC dc, int left, int top, int right, int bottom, int colour) {
  RECT r{left, top, right, bottom};
  FillRect(dc, &r, GetSysColorBrush(colour));
}

// Light on the top and left, dark on the bottom and right (the other way round when pressed).
void DrawFace(HDC dc, RECT r, bool isDefault, bool pressed) {
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (isDefault) {
    FillEdge(dc, r.left, r.top, r.right, r.top + 1, COLOR_WINDOWFRAME);
    FillEdge(dc, r.left, r.bottom - 1, r.right, r.bottom, COLOR_WINDOWFRAME);
    FillEdge(dc, r.left, r.top, r.left + 1, r.bottom, COLOR_WINDOWFRAME);
    FillEdge(dc, r.right - 1, r.top, r.right, r.bottom, COLOR_WINDOWFRAME);
    InflateRect(&r, -1, -1);
  }
  if (pressed) {
    FillEdge(dc, r.left, r.top, r.right, r.top + 1, COLOR_BTNSHADOW);
    FillEdge(dc, r.left, r.bottom - 1, r.right, r.bottom, COLOR_BTNSHADOW);
    FillEdge(dc, r.left, r.top, r.left + 1, r.bottom, COLOR_BTNSHADOW);
    FillEdge(dc, r.right - 1, r.top, r.right, r.bottom, COLOR_BTNSHADOW);
    return;
  }
  FillEdge(dc, r.left, r.top, r.right - 1, r.top + 1, COLOR_BTNHIGHLIGHT);
  FillEdge(dc, r.left, r.top, r.left + 1, r.bottom - 1, COLOR_BTNHIGHLIGHT);
  FillEdge(dc, r.left, r.bottom - 1, r.right, r.bottom, COLOR_3DDKSHADOW);
  FillEdge(dc, r.right - 1, r.top, r.right, r.bottom, COLOR_3DDKSHADOW);
  FillEdge(dc, r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1, COLOR_BTNSHADOW);
  FillEdge(dc, r.right - 2, r.top + 1, r.right - 1, r.bottom - 1, COLOR_BTNSHADOW);
}

void DrawLabel(HWND hwnd, HDC dc, RECT r, const ButtonState& s) {
  char label[64] = "";
  int length = GetWindowTextA(hwnd, label, sizeof label);
  if (length <= 0) return;
  HGDIOBJ old = SelectObject(dc, s.font ? static_cast<HGDIOBJ>(s.font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  if (s.pressed) OffsetRect(&r, 1, 1);
  DrawTextA(dc, label, length, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (old) SelectObject(dc, old);
}

void Paint(HWND hwnd, HDC dc, const ButtonState& s) {
  RECT r{};
  GetClientRect(hwnd, &r);
  DrawFace(dc, r, IsDefault(hwnd), s.pressed);
  DrawLabel(hwnd, dc, r, s);
  if (GetFocus() == hwnd) {
    RECT focus = r;
    InflateRect(&focus, -4, -4);
    DrawFocusOutline(dc, focus, GetSysColor(COLOR_BTNTEXT));
  }
}

LRESULT OnPaint(HWND hwnd, ButtonState& s) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) Paint(hwnd, dc, s);
  EndPaint(hwnd, &ps);
  return 0;
}

LRESULT OnButtonDown(HWND hwnd, ButtonState& s) {
  SetFocus(hwnd);
  SetCapture(hwnd);
  s.tracking = true;
  SetPressed(hwnd, s, true);
  return 0;
}

bool InClient(HWND hwnd, LPARAM lParam) {
  RECT r{};
  GetClientRect(hwnd, &r);
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  return PtInRect(&r, pt) != FALSE;
}

LRESULT OnButtonUp(HWND hwnd, ButtonState& s, LPARAM lParam) {
  if (!s.tracking) return 0;
  bool inside = InClient(hwnd, lParam);
  s.tracking = false;
  SetPressed(hwnd, s, false);
  ReleaseCapture();
  if (inside) Click(hwnd);
  return 0;
}

LRESULT OnKey(HWND hwnd, ButtonState& s, UINT msg, WPARAM key) {
  if (key != VK_SPACE) return 0;
  if (msg == WM_KEYDOWN) {
    s.spaceDown = true;
    SetPressed(hwnd, s, true);
    return 0;
  }
  if (!s.spaceDown) return 0;
  s.spaceDown = false;
  SetPressed(hwnd, s, false);
  Click(hwnd);
  return 0;
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ButtonState* s = StateOf(hwnd);
  if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT: return OnPaint(hwnd, *s);
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnButtonDown(hwnd, *s);
    case WM_MOUSEMOVE:
      if (s->tracking) SetPressed(hwnd, *s, InClient(hwnd, lParam));
      return 0;
    case WM_LBUTTONUP: return OnButtonUp(hwnd, *s, lParam);
    case WM_CAPTURECHANGED:
      s->tracking = false;
      SetPressed(hwnd, *s, s->spaceDown);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: return OnKey(hwnd, *s, msg, wParam);
    case WM_SETFOCUS: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_KILLFOCUS:
      s->spaceDown = false;
      SetPressed(hwnd, *s, false);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return result;
    }
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(static_cast<std::uintptr_t>(lParam))) InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_GETDLGCODE: return DLGC_BUTTON | (IsDefault(hwnd) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

bool RegisterMessageBoxButtonClass() {
  if (FindClass(kMessageBoxButtonClass)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &ButtonProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kMessageBoxButtonClass;
  return RegisterClassExA(&wc) != 0;
}

}  // namespace kelmira::window
