// The message box's icon: a simple drawn glyph for each MB_ICON* kind (a red disc with a white
// cross, a blue disc with "?" or "i", a yellow triangle with "!") on the background its parent
// gives statics.
#include "window/message_box.h"

#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>

namespace kelmira::window {
namespace {

constexpr COLORREF kRed = RGB(204, 0, 0);
constexpr COLORREF kBlue = RGB(0, 84, 170);
constexpr COLORREF kYellow = RGB(250, 204, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void FillDisc(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Ellipse(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

// Row by row: the triangle's width grows from its apex to its base.
void FillTriangle(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  const int height = r.bottom - r.top;
  const int centre = (r.left + r.right) / 2;
  const int half = (r.right - r.left) / 2;
  for (int row = 0; row < height; ++row) {
    int span = height > 1 ? half * row / (height - 1) : half;
    RECT line{centre - span, r.top + row, centre + span + 1, r.top + row + 1};
    FillRect(dc, &line, brush);
  }
  DeleteObject(brush);
}

void DrawCross(HDC dc, const RECT& r, COLORREF colour) {
  const int inset = (r.right - r.left) * 3 / 10;
  HPEN pen = CreatePen(PS_SOLID, 4, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, r.left + inset, r.top + inset, nullptr);
  LineTo(dc, r.right - inset, r.bottom - inset);
  MoveToEx(dc, r.right - inset, r.top + inset, nullptr);
  LineTo(dc, r.left + inset, r.bottom - inset);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void DrawMark(HDC dc, RECT r, const char* mark, COLORREF colour) {
  HFONT font = CreateFontA(-(r.bottom - r.top) * 2 / 3, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextA(dc, mark, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
}

void DrawGlyph(HDC dc, const RECT& r, UINT icon) {
  switch (icon) {
    case MB_ICONHAND:
      FillDisc(dc, r, kRed);
      DrawCross(dc, r, kWhite);
      break;
    case MB_ICONQUESTION:
      FillDisc(dc, r, kBlue);
      DrawMark(dc, r, "?", kWhite);
      break;
    case MB_ICONEXCLAMATION: {
      FillTriangle(dc, r, kYellow);
      RECT lower{r.left, r.top + (r.bottom - r.top) / 4, r.right, r.bottom};
      DrawMark(dc, lower, "!", kBlack);
      break;
    }
    case MB_ICONASTERISK:
      FillDisc(dc, r, kBlue);
      DrawMark(dc, r, "i", kWhite);
      break;
    default: break;
  }
}

HBRUSH BackgroundBrush(HWND hwnd, HDC dc) {
  HWND parent = GetParent(hwnd);
  HWND asked = parent ? parent : hwnd;
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(asked, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  return brush ? brush : GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT OnPaint(HWND hwnd) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) {
    RECT r{};
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, BackgroundBrush(hwnd, dc));
    UINT icon = static_cast<UINT>(GetWindowLongPtrA(hwnd, GWL_STYLE) & kIconKindMask) << 4;
    DrawGlyph(dc, r, icon);
  }
  EndPaint(hwnd, &ps);
  return 0;
}

LRESULT IconProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: return OnPaint(hwnd);
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST: return HTTRANSPARENT;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

bool RegisterIconClass() {
  if (FindClass(kMessageBoxIconClass)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &IconProc;
  wc.lpszClassName = kMessageBoxIconClass;
  return RegisterClassExA(&wc) != 0;
}

}  // namespace

bool EnsureMessageBoxClasses() { return RegisterIconClass(); }

}  // namespace kelmira::window
