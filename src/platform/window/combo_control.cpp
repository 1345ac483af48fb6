// The "COMBOBOX" control as a drop-down list: a sunken field showing the selected item and a
// button that opens the list of items under it (the list window is in combo_list.cpp). Choices
// the desktop leaves open:
// - Every style behaves as CBS_DROPDOWNLIST, the only one the dialogs use: there is no edit field
//   and no list that stays open (CBS_SIMPLE, CBS_DROPDOWN and the owner-drawn styles included).
// - The window is as tall as the field, the font's height plus 8, whatever height it was made
//   with: the desktop reads that height as room for the open list, which here is sized to its
//   items instead (at most 30 rows; more scroll as the highlight moves by the keys, with no scroll
//   bar and no wheel).
// - The field asks its parent for a brush with WM_CTLCOLOREDIT (WM_CTLCOLORSTATIC when disabled),
//   as an edit field would; the open list asks the combo box's parent with WM_CTLCOLORLISTBOX,
//   the list window in lParam. Default colours when the parent answers 0. The button keeps the
//   button face.
// - CBS_SORT places CB_ADDSTRING's text by a case-insensitive comparison, after equal texts;
//   CB_INSERTSTRING never sorts. A null string gives CB_ERR.
// - CB_SETCURSEL and WM_SETTEXT (which selects the item of that text, ignoring case, or gives
//   CB_ERR and changes nothing) notify nobody. A change by the user sends CBN_SELCHANGE; when it
//   comes from the open list, after CBN_CLOSEUP, so that the parent sees the list closed.
// - Closed, with nothing selected, Up, Down and Home select the first item and End the last; a
//   letter selects the next item after the selection (wrapping) that starts with it, in any case.
// - Open, the same keys move the highlight; Return, F4 and Alt+Up/Down take the highlighted item;
//   Escape, a click outside the list (which goes no further), Tab and focus loss close it with
//   no change. The button is drawn pushed while the list is open.
// - Focused, the field is filled with the highlight colour inside a dotted focus rectangle, with
//   or without a selection.
// - WM_GETDLGCODE gives DLGC_WANTARROWS, and while open DLGC_WANTALLKEYS too, except for Tab so
//   that it still moves the focus on (which closes the list).
// - Not done: CBN_SELENDOK, CBN_SELENDCANCEL and CBN_DBLCLK are not sent; the other CB_* messages
//   (CB_FINDSTRING, CB_SELECTSTRING, item heights, the top index, ...) give CB_ERR.
#include "window/combo_control.h"

#include "window/control_paint.h"
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

namespace kelmira::window {
namespace {

constexpr int kFrame = 2;
constexpr int kTextMargin = 2;

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }

void Redraw(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

void Notify(HWND hwnd, WORD code) { NotifyParent(hwnd, code); }

int Count(const ComboState& s) { return static_cast<int>(s.items.size()); }
bool ValidIndex(const ComboState& s, WPARAM index) { return index < s.items.size(); }

char Folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Folded(x) < Folded(y); });
}

bool SameIgnoringCase(const std::string& a, const char* b) {
  return a.size() == std::strlen(b) &&
         std::equal(a.begin(), a.end(), b, [](char x, char y) { return Folded(x) == Folded(y); });
}

// ---- items

LRESULT Insert(HWND hwnd, ComboState& s, std::size_t at, const char* text) {
  s.items.insert(s.items.begin() + static_cast<std::ptrdiff_t>(at), ComboItem{text, 0});
  const int index = static_cast<int>(at);
  if (s.selected >= index) ++s.selected;
  if (s.dropped && s.hot >= index) ++s.hot;
  Redraw(hwnd);
  if (s.list) Redraw(s.list);
  return index;
}

LRESULT OnAddString(HWND hwnd, ComboState& s, LPARAM lParam) {
  const auto* text = reinterpret_cast<const char*>(lParam);
  if (!text) return CB_ERR;
  std::size_t at = s.items.size();
  if (StyleOf(hwnd) & CBS_SORT) {
    const std::string key = text;
    auto after = std::upper_bound(s.items.begin(), s.items.end(), key,
                                  [](const std::string& k, const ComboItem& i) { return LessIgnoringCase(k, i.text); });
    at = static_cast<std::size_t>(after - s.items.begin());
  }
  return Insert(hwnd, s, at, text);
}

LRESULT OnInsertString(HWND hwnd, ComboState& s, WPARAM wParam, LPARAM lParam) {
  const auto* text = reinterpret_cast<const char*>(lParam);
  const auto index = static_cast<int>(wParam);
  if (!text || index < -1 || index > Count(s)) return CB_ERR;
  return Insert(hwnd, s, index == -1 ? s.items.size() : static_cast<std::size_t>(index), text);
}

LRESULT OnDeleteString(HWND hwnd, ComboState& s, WPARAM wParam) {
  if (!ValidIndex(s, wParam)) return CB_ERR;
  const auto index = static_cast<int>(wParam);
  s.items.erase(s.items.begin() + index);
  if (s.selected == index) s.selected = -1;
  if (s.selected > index) --s.selected;
  if (s.dropped) SetComboHot(s, std::min(s.hot, Count(s) - 1));
  Redraw(hwnd);
  return Count(s);
}

LRESULT OnResetContent(HWND hwnd, ComboState& s) {
  s.items.clear();
  s.selected = s.hot = -1;
  s.top = 0;
  Redraw(hwnd);
  if (s.list) Redraw(s.list);
  return CB_OKAY;
}

LRESULT OnGetText(const ComboState& s, WPARAM wParam, LPARAM lParam) {
  auto* buffer = reinterpret_cast<char*>(lParam);
  if (!buffer || wParam == 0) return 0;
  const std::string empty;
  const std::string& text = s.selected >= 0 ? s.items[static_cast<std::size_t>(s.selected)].text : empty;
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(wParam) - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<LRESULT>(n);
}

LRESULT OnGetItemText(const ComboState& s, WPARAM wParam, LPARAM lParam) {
  auto* buffer = reinterpret_cast<char*>(lParam);
  if (!ValidIndex(s, wParam) || !buffer) return CB_ERR;
  const std::string& text = s.items[wParam].text;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<LRESULT>(text.size());
}

// The search starts after `start` and wraps around; -1 (or any bad index) searches from the top.
LRESULT OnFindExact(const ComboState& s, WPARAM wParam, LPARAM lParam) {
  const auto* text = reinterpret_cast<const char*>(lParam);
  if (!text || s.items.empty()) return CB_ERR;
  const std::size_t n = s.items.size();
  const std::size_t first = ValidIndex(s, wParam) ? wParam + 1 : 0;
  for (std::size_t step = 0; step < n; ++step) {
    const std::size_t i = (first + step) % n;
    if (SameIgnoringCase(s.items[i].text, text)) return static_cast<LRESULT>(i);
  }
  return CB_ERR;
}

void Select(HWND hwnd, ComboState& s, int index) {
  if (s.selected == index) return;
  s.selected = index;
  Redraw(hwnd);
}

LRESULT OnSetCurSel(HWND hwnd, ComboState& s, WPARAM wParam) {
  const bool valid = ValidIndex(s, wParam);
  Select(hwnd, s, valid ? static_cast<int>(wParam) : -1);
  return valid ? static_cast<LRESULT>(wParam) : CB_ERR;
}

LRESULT OnSetText(HWND hwnd, ComboState& s, LPARAM lParam) {
  const LRESULT found = OnFindExact(s, static_cast<WPARAM>(-1), lParam);
  if (found == CB_ERR) return CB_ERR;
  Select(hwnd, s, static_cast<int>(found));
  return TRUE;
}

// ---- the user's selection

void UserSelect(HWND hwnd, ComboState& s, int index) {
  if (index < 0 || index >= Count(s) || index == s.selected) return;
  Select(hwnd, s, index);
  Notify(hwnd, CBN_SELCHANGE);
}

void Open(HWND hwnd, ComboState& s) {
  if (s.dropped || !IsWindowEnabled(hwnd)) return;
  Notify(hwnd, CBN_DROPDOWN);  // the parent may fill the list now
  if (!IsWindow(hwnd) || s.dropped) return;
  s.hot = s.selected;
  s.top = 0;
  s.dropped = true;
  SetComboHot(s, s.selected);
  if (!ShowComboList(hwnd, s)) {
    s.dropped = false;
    return;
  }
  Redraw(hwnd);
}

// The item a navigation key leads to from `from` (-1 for none), or -1 for other keys.
int Target(const ComboState& s, WPARAM key, int from) {
  const int last = Count(s) - 1, page = ComboVisibleRows(s) - 1;
  if (last < 0) return -1;
  switch (key) {
    case VK_UP: return from < 0 ? 0 : std::max(0, from - 1);
    case VK_DOWN: return std::min(last, from + 1);
    case VK_HOME: return 0;
    case VK_END: return last;
    case VK_PRIOR: return std::max(0, from - std::max(1, page));
    case VK_NEXT: return std::min(last, std::max(0, from) + std::max(1, page));
    default: return -1;
  }
}

// The next item after `from` whose text starts with ch, wrapping; -1 when none does.
int NextStartingWith(const ComboState& s, char ch, int from) {
  const int n = Count(s);
  for (int step = 1; step <= n; ++step) {
    const int i = ((from < 0 ? -1 : from) + step + n) % n;
    const std::string& text = s.items[static_cast<std::size_t>(i)].text;
    if (!text.empty() && Folded(text[0]) == Folded(ch)) return i;
  }
  return -1;
}

LRESULT OnKeyDown(HWND hwnd, ComboState& s, WPARAM key) {
  if (key == VK_F4) {
    if (s.dropped)
      CloseComboList(hwnd, s, true);
    else
      Open(hwnd, s);
    return 0;
  }
  if (!s.dropped) {
    UserSelect(hwnd, s, Target(s, key, s.selected));
    return 0;
  }
  if (key == VK_RETURN || key == VK_ESCAPE) {
    CloseComboList(hwnd, s, key == VK_RETURN);
    return 0;
  }
  const int target = Target(s, key, s.hot);
  if (target >= 0) SetComboHot(s, target);
  return 0;
}

LRESULT OnSysKeyDown(HWND hwnd, ComboState& s, WPARAM wParam, LPARAM lParam) {
  if (wParam != VK_UP && wParam != VK_DOWN) return DefWindowProcA(hwnd, WM_SYSKEYDOWN, wParam, lParam);
  if (s.dropped)
    CloseComboList(hwnd, s, true);
  else
    Open(hwnd, s);
  return 0;
}

LRESULT OnChar(HWND hwnd, ComboState& s, WPARAM ch) {
  if (ch < 0x20 || ch > 0xFF) return 0;
  const char c = static_cast<char>(ch);
  if (!s.dropped) {
    UserSelect(hwnd, s, NextStartingWith(s, c, s.selected));
    return 0;
  }
  const int next = NextStartingWith(s, c, s.hot);
  if (next >= 0) SetComboHot(s, next);
  return 0;
}

LRESULT OnButtonDown(HWND hwnd, ComboState& s) {
  if (!IsWindowEnabled(hwnd)) return 0;
  if (GetFocus() != hwnd) SetFocus(hwnd);
  if (GetFocus() == hwnd) Open(hwnd, s);
  return 0;
}

LRESULT OnFocus(HWND hwnd, ComboState& s, UINT msg) {
  if (msg == WM_KILLFOCUS && s.dropped) CloseComboList(hwnd, s, false);
  Redraw(hwnd);
  Notify(hwnd, msg == WM_SETFOCUS ? CBN_SETFOCUS : CBN_KILLFOCUS);
  return 0;
}

LRESULT DialogCode(const ComboState& s, LPARAM lParam) {
  if (!s.dropped) return DLGC_WANTARROWS;
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && (msg->wParam == VK_TAB || msg->wParam == '\t'))
    return DLGC_WANTARROWS;
  return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

// ---- size and painting

void FitHeight(HWND hwnd, const ComboState& s) {
  RECT r{};
  GetClientRect(hwnd, &r);
  const int height = ComboItemHeight(hwnd, s) + 2 * (kFrame + 2);
  if (r.bottom != height)
    SetWindowPos(hwnd, nullptr, 0, 0, r.right, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Inner(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  InflateRect(&r, -kFrame, -kFrame);
  return r;
}

RECT ButtonRect(HWND hwnd) {
  RECT r = Inner(hwnd);
  r.left = std::max(r.left, r.right - GetSystemMetrics(SM_CXVSCROLL));
  return r;
}

// A triangle pointing down, 7 pixels wide and 4 tall, centred.
void PaintButton(HWND hwnd, HDC dc, bool pushed) {
  RECT r = ButtonRect(hwnd);
  if (pushed) {
    Edge(dc, r, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
  } else {
    Edge(dc, r, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    RECT inner = r;
    InflateRect(&inner, -1, -1);
    Edge(dc, inner, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
  }
  InflateRect(&r, pushed ? -1 : -2, pushed ? -1 : -2);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const int shift = pushed ? 1 : 0;
  const int left = (r.left + r.right - 7) / 2 + shift, top = (r.top + r.bottom - 4) / 2 + shift;
  const int colour = IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT;
  for (int row = 0; row < 4; ++row) FillSysColour(dc, left + row, top + row, left + 7 - row, top + row + 1, colour);
}

void PaintField(HWND hwnd, HDC dc, const ComboState& s) {
  RECT area = Inner(hwnd);
  area.right = ButtonRect(hwnd).left;
  InflateRect(&area, -1, -1);
  const bool focused = GetFocus() == hwnd && IsWindowEnabled(hwnd);
  if (focused) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_HIGHLIGHT));
    DrawFocusOutline(dc, area, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else if (!IsWindowEnabled(hwnd)) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  if (s.selected < 0) return;
  const std::string& text = s.items[static_cast<std::size_t>(s.selected)].text;
  RECT r{area.left + kTextMargin, area.top, area.right - 1, area.bottom};
  HGDIOBJ old = SelectObject(dc, ComboFont(s));
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (old) SelectObject(dc, old);
}

void Paint(HWND hwnd, HDC dc, const ComboState& s) {
  RECT client{};
  GetClientRect(hwnd, &client);
  HBRUSH brush = ParentBrush(hwnd, dc, IsWindowEnabled(hwnd) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
  if (brush) FillRect(dc, &client, brush);
  RECT frame = client;
  Edge(dc, frame, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  InflateRect(&frame, -1, -1);
  Edge(dc, frame, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  PaintButton(hwnd, dc, s.dropped);
  PaintField(hwnd, dc, s);
}

LRESULT OnPaint(HWND hwnd, const ComboState& s) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) (void)Guarded([&] { Paint(hwnd, dc, s); });  // painting must not leave the DC unreleased
  EndPaint(hwnd, &ps);
  return 0;
}

LRESULT OnItemData(ComboState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!ValidIndex(s, wParam)) return CB_ERR;
  if (msg == CB_GETITEMDATA) return s.items[wParam].data;
  s.items[wParam].data = lParam;
  return TRUE;
}

LRESULT Dispatch(HWND hwnd, ComboState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: FitHeight(hwnd, s); return 0;
    case WM_DESTROY:
      s.dropped = false;
      if (s.list) DestroyWindow(s.list);
      s.list = nullptr;
      return 0;
    case WM_PAINT: return OnPaint(hwnd, s);
    case WM_ERASEBKGND: return 1;  // the parent's brush fills the client area in WM_PAINT
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnButtonDown(hwnd, s);
    case WM_KEYDOWN: return OnKeyDown(hwnd, s, wParam);
    case WM_SYSKEYDOWN: return OnSysKeyDown(hwnd, s, wParam, lParam);
    case WM_CHAR: return OnChar(hwnd, s, wParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return OnFocus(hwnd, s, msg);
    case WM_ENABLE:
      if (!wParam && s.dropped) CloseComboList(hwnd, s, false);
      Redraw(hwnd);
      return 0;
    case WM_SETFONT:
      s.font = reinterpret_cast<HFONT>(wParam);
      FitHeight(hwnd, s);
      if (LOWORD(static_cast<std::uintptr_t>(lParam))) Redraw(hwnd);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_GETDLGCODE: return DialogCode(s, lParam);
    case WM_GETTEXT: return OnGetText(s, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return s.selected >= 0 ? static_cast<LRESULT>(s.items[static_cast<std::size_t>(s.selected)].text.size()) : 0;
    case WM_SETTEXT: return OnSetText(hwnd, s, lParam);
    case CB_ADDSTRING: return OnAddString(hwnd, s, lParam);
    case CB_INSERTSTRING: return OnInsertString(hwnd, s, wParam, lParam);
    case CB_DELETESTRING: return OnDeleteString(hwnd, s, wParam);
    case CB_RESETCONTENT: return OnResetContent(hwnd, s);
    case CB_GETCOUNT: return Count(s);
    case CB_GETLBTEXT: return OnGetItemText(s, wParam, lParam);
    case CB_GETLBTEXTLEN: return ValidIndex(s, wParam) ? static_cast<LRESULT>(s.items[wParam].text.size()) : CB_ERR;
    case CB_FINDSTRINGEXACT: return OnFindExact(s, wParam, lParam);
    case CB_SETCURSEL: return OnSetCurSel(hwnd, s, wParam);
    case CB_GETCURSEL: return s.selected;
    case CB_GETITEMDATA:
    case CB_SETITEMDATA: return OnItemData(s, msg, wParam, lParam);
    case CB_SHOWDROPDOWN:
      if (wParam)
        Open(hwnd, s);
      else if (s.dropped)
        CloseComboList(hwnd, s, false);
      return TRUE;
    case CB_GETDROPPEDSTATE: return s.dropped ? TRUE : FALSE;
    default:
      if (msg >= CB_GETEDITSEL && msg <= CB_SETTOPINDEX) return CB_ERR;
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT ComboProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ComboState* s = ComboStateOf(hwnd);
  if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
  // Items grow here; an allocation failure leaves the combo box as it was.
  return GuardedOr(msg >= CB_GETEDITSEL && msg <= CB_SETTOPINDEX ? CB_ERRSPACE : LRESULT{0},
                   [&] { return Dispatch(hwnd, *s, msg, wParam, lParam); });
}

bool RegisterComboClass() { return RegisterControlClass("ComboBox", &ComboProc); }

const bool kComboClassRegistered = RegisterComboClass();

}  // namespace

ComboState* ComboStateOf(HWND combo) {
  Window* w = FindWindowObject(combo);
  // The list window asks with the handle it was given; it must be a combo box.
  if (!w || !(w->proc == &ComboProc || (w->cls && w->cls->proc == &ComboProc))) return nullptr;
  if (!w->controlData && FAILED(Guarded([&] { w->controlData = std::make_shared<ComboState>(); }))) return nullptr;
  return static_cast<ComboState*>(w->controlData.get());
}

HFONT ComboFont(const ComboState& s) { return s.font ? s.font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

int ComboItemHeight(HWND combo, const ComboState& s) {
  TEXTMETRICA tm{};
  HDC dc = GetDC(combo);
  if (!dc) return 16;
  HGDIOBJ old = SelectObject(dc, ComboFont(s));
  GetTextMetricsA(dc, &tm);
  if (old) SelectObject(dc, old);
  ReleaseDC(combo, dc);
  return std::max(1, static_cast<int>(tm.tmHeight)) + 2;
}

int ComboVisibleRows(const ComboState& s) { return std::clamp(static_cast<int>(s.items.size()), 1, kComboMaxVisible); }

void CloseComboList(HWND combo, ComboState& s, bool accept) {
  if (!s.dropped) return;
  s.dropped = false;  // first: releasing the capture below must not close it again
  const int chosen = s.hot;
  HideComboList(s);
  Redraw(combo);
  Notify(combo, CBN_CLOSEUP);
  if (!accept || !IsWindow(combo)) return;
  if (ComboState* now = ComboStateOf(combo)) UserSelect(combo, *now, chosen);
}

}  // namespace kelmira::window
