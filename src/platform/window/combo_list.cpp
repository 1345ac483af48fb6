// The open list of a combo box: a popup owned by the combo box's top-level window, one row per
// item in a one-pixel frame, the highlighted item in the highlight colours. It is made on the
// first opening, hidden when closed and destroyed with its combo box. While open it holds the
// mouse capture, so it hears every click: moving over a row highlights it, releasing the button
// on a row takes that item (a press on the field and a release on a row choose in one drag), and
// a press outside the list closes it with no change. It never becomes the active window.
#include "window/combo_control.h"

#include "window/control_paint.h"

#include <kelmira/platform/guarded.h>

#include <algorithm>

namespace kelmira::window {
namespace {

constexpr const char* kListClass = "ComboLBox";
constexpr int kBorder = 1;
constexpr int kTextMargin = 2;

// The list's own state is its combo box's; a list whose combo box has gone does nothing.
ComboState* ListState(HWND list, HWND* combo) {
  *combo = reinterpret_cast<HWND>(GetWindowLongPtrA(list, GWLP_USERDATA));
  ComboState* s = *combo ? ComboStateOf(*combo) : nullptr;
  return s && s->list == list ? s : nullptr;
}

// The item under a client point of the list; -1 outside the rows. `inside` tells whether the
// point is in the list at all.
int ItemAt(HWND list, HWND combo, const ComboState& s, LPARAM lParam, bool* inside) {
  RECT client{};
  GetClientRect(list, &client);
  const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  *inside = PtInRect(&client, pt) != FALSE;
  if (!*inside || pt.y < kBorder) return -1;
  const int row = (pt.y - kBorder) / ComboItemHeight(combo, s);
  const int index = s.top + row;
  return row < ComboVisibleRows(s) && index < static_cast<int>(s.items.size()) ? index : -1;
}

void Paint(HWND list, HDC dc, HWND combo, const ComboState& s) {
  RECT client{};
  GetClientRect(list, &client);
  // Asked of the combo box's parent, naming the list, as a list box asks its own parent.
  HBRUSH brush = ParentBrush(combo, dc, WM_CTLCOLORLISTBOX, list);
  if (brush) FillRect(dc, &client, brush);
  Edge(dc, client, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
  HGDIOBJ old = SelectObject(dc, ComboFont(s));
  SetBkMode(dc, TRANSPARENT);
  const COLORREF text = GetTextColor(dc);
  const int height = ComboItemHeight(combo, s), rows = ComboVisibleRows(s);
  for (int row = 0; row < rows && s.top + row < static_cast<int>(s.items.size()); ++row) {
    const int index = s.top + row;
    RECT r{kBorder, kBorder + row * height, client.right - kBorder, kBorder + (row + 1) * height};
    if (index == s.hot) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, index == s.hot ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
    const std::string& item = s.items[static_cast<std::size_t>(index)].text;
    r.left += kTextMargin;
    DrawTextA(dc, item.c_str(), static_cast<int>(item.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (old) SelectObject(dc, old);
}

LRESULT OnPaint(HWND list) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(list, &ps);
  HWND combo = nullptr;
  const ComboState* s = ListState(list, &combo);
  if (dc && s) (void)Guarded([&] { Paint(list, dc, combo, *s); });  // painting must not leave the DC unreleased
  EndPaint(list, &ps);
  return 0;
}

LRESULT OnMouse(HWND list, UINT msg, LPARAM lParam) {
  HWND combo = nullptr;
  ComboState* s = ListState(list, &combo);
  if (!s || !s->dropped) return 0;
  bool inside = false;
  const int index = ItemAt(list, combo, *s, lParam, &inside);
  if (index >= 0) SetComboHot(*s, index);
  if (msg == WM_LBUTTONUP && index >= 0) CloseComboList(combo, *s, true);
  if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && !inside) CloseComboList(combo, *s, false);
  return 0;
}

LRESULT ListProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: return OnPaint(list);
    case WM_ERASEBKGND: return 1;  // the parent's brush fills the client area in WM_PAINT
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: return OnMouse(list, msg, lParam);
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCDESTROY: {  // destroyed from outside (with its owner): the next opening makes another
      HWND combo = nullptr;
      if (ComboState* s = ListState(list, &combo)) {
        s->list = nullptr;
        CloseComboList(combo, *s, false);
      }
      return DefWindowProcA(list, msg, wParam, lParam);
    }
    case WM_CAPTURECHANGED: {
      HWND combo = nullptr;
      if (ComboState* s = ListState(list, &combo)) CloseComboList(combo, *s, false);
      return 0;
    }
    default: return DefWindowProcA(list, msg, wParam, lParam);
  }
}

bool RegisterListClass() { return RegisterControlClass(kListClass, &ListProc); }

const bool kListClassRegistered = RegisterListClass();

HWND MakeList(HWND combo) {
  HWND list = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kListClass, "", WS_POPUP, 0, 0, 0, 0,
                              GetAncestor(combo, GA_ROOT), nullptr, nullptr, nullptr);
  if (list) SetWindowLongPtrA(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(combo));
  return list;
}

}  // namespace

HWND ShowComboList(HWND combo, ComboState& s) {
  if (!s.list) s.list = MakeList(combo);
  if (!s.list) return nullptr;
  RECT field{};
  GetWindowRect(combo, &field);
  const int height = ComboVisibleRows(s) * ComboItemHeight(combo, s) + 2 * kBorder;
  int y = field.bottom;
  if (y + height > GetSystemMetrics(SM_CYSCREEN) && field.top - height >= 0) y = field.top - height;
  SetWindowPos(s.list, HWND_TOPMOST, field.left, y, field.right - field.left, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(s.list, nullptr, TRUE);
  SetCapture(s.list);
  return s.list;
}

void HideComboList(ComboState& s) {
  if (!s.list) return;
  if (GetCapture() == s.list) ReleaseCapture();
  ShowWindow(s.list, SW_HIDE);
}

void SetComboHot(ComboState& s, int index) {
  const int count = static_cast<int>(s.items.size()), rows = ComboVisibleRows(s);
  s.hot = index >= 0 && index < count ? index : -1;
  if (s.hot >= 0 && s.hot < s.top) s.top = s.hot;
  if (s.hot >= s.top + rows) s.top = s.hot - rows + 1;
  s.top = std::clamp(s.top, 0, std::max(0, count - rows));
  if (s.list) InvalidateRect(s.list, nullptr, TRUE);
}

}  // namespace kelmira::window
