// The colour dialog's swatch: one colour in a sunken well, framed when selected. A click selects
// it (BN_CLICKED to the dialog); arrow keys ask the dialog to move the selection.
#include "window/colour_dialog.h"
#include "window/control_paint.h"
#include "window/dialog_state.h"
#include "window/window_table.h"

namespace kelmira::window {

// The usual basic colours, row by row.
const COLORREF kBasicColours[kBasicCount] = {
    RGB(255, 128, 128), RGB(255, 255, 128), RGB(128, 255, 128), RGB(0, 255, 128),   RGB(128, 255, 255),
    RGB(0, 128, 255),   RGB(255, 128, 192), RGB(255, 128, 255), RGB(255, 0, 0),     RGB(255, 255, 0),
    RGB(128, 255, 0),   RGB(0, 255, 64),    RGB(0, 255, 255),   RGB(0, 128, 192),   RGB(128, 128, 192),
    RGB(255, 0, 255),   RGB(128, 64, 64),   RGB(255, 128, 64),  RGB(0, 255, 0),     RGB(0, 128, 128),
    RGB(0, 64, 128),    RGB(128, 128, 255), RGB(128, 0, 64),    RGB(255, 0, 128),   RGB(128, 0, 0),
    RGB(255, 128, 0),   RGB(0, 128, 0),     RGB(0, 128, 64),    RGB(0, 0, 255),     RGB(0, 0, 160),
    RGB(128, 0, 128),   RGB(128, 0, 255),   RGB(64, 0, 0),      RGB(128, 64, 0),    RGB(0, 64, 0),
    RGB(0, 64, 64),     RGB(0, 0, 128),     RGB(0, 0, 64),      RGB(64, 0, 64),     RGB(64, 0, 128),
    RGB(0, 0, 0),       RGB(128, 128, 0),   RGB(128, 128, 64),  RGB(128, 128, 128), RGB(64, 128, 128),
    RGB(192, 192, 192), RGB(64, 0, 64),     RGB(255, 255, 255)};

bool IsSwatch(int id) {
  return (id >= kBasicFirstId && id < kBasicFirstId + kBasicCount) ||
         (id >= kCustomFirstId && id < kCustomFirstId + kCustomCount);
}

COLORREF SwatchColour(const ColourDialog& d, int id) {
  if (id >= kCustomFirstId) return d.custom[static_cast<std::size_t>(id - kCustomFirstId) % kCustomCount];
  return kBasicColours[(id - kBasicFirstId) % kBasicCount];
}

namespace {

void FillColour(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Frame(HDC dc, const RECT& r, COLORREF colour) {
  FillColour(dc, RECT{r.left, r.top, r.right, r.top + 1}, colour);
  FillColour(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, colour);
  FillColour(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, colour);
  FillColour(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, colour);
}

void Paint(HWND hwnd, HDC dc) {
  RECT r{};
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, ParentBrush(hwnd, dc, WM_CTLCOLORSTATIC));
  const ColourDialog* d = ColourDialogOf(GetParent(hwnd));
  if (!d) return;
  const int id = GetDlgCtrlID(hwnd);
  if (d->selected == id) {
    Frame(dc, r, GetSysColor(COLOR_WINDOWTEXT));
    if (GetFocus() == hwnd) {
      RECT inner = r;
      InflateRect(&inner, -1, -1);
      Frame(dc, inner, GetSysColor(COLOR_WINDOWTEXT));
    }
  }
  InflateRect(&r, -3, -3);
  Edge(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  InflateRect(&r, -1, -1);
  Edge(dc, r, COLOR_3DDKSHADOW, COLOR_BTNFACE);
  InflateRect(&r, -1, -1);
  FillColour(dc, r, SwatchColour(*d, id));
}

void Notify(HWND hwnd, UINT msg, WPARAM wParam) {
  if (HWND parent = GetParent(hwnd)) SendMessageA(parent, msg, wParam, reinterpret_cast<LPARAM>(hwnd));
}

LRESULT SwatchProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      if (HDC dc = BeginPaint(hwnd, &ps)) Paint(hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(hwnd);
      Notify(hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), kButtonClicked));
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN)
        Notify(hwnd, kMoveSelection, wParam);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

bool RegisterSwatchClass() {
  return FindClass(kSwatchClass) || RegisterControlClass(kSwatchClass, &SwatchProc, 0, IDC_ARROW);
}

}  // namespace kelmira::window
