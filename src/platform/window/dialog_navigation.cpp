// IsDialogMessageA: Tab moves the focus through the tab stops, Return presses the focused or the
// default push button, Escape sends IDCANCEL, arrow keys move through the focus's WS_GROUP group
// (checking a radio button they land on), and a character names the item whose text marks it
// with '&' (Alt+character always does); every other message for the dialog is translated and
// dispatched here. Choices the desktop leaves open:
// - A group runs from an item with WS_GROUP to the item before the next one; arrows skip hidden
//   and disabled items and wrap within the group.
// - A mnemonic is looked for after the focus first, so that a repeated key cycles through the
//   items that share it. A label (a static or a group box) gives the focus to the next tab stop
//   after it; a push button clicks without taking the focus; a check box or radio button takes
//   the focus and clicks. Statics with SS_NOPREFIX have no mnemonic.
#include "window/dialog_navigation.h"

#include "window/dialog_state.h"
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace kelmira::window {
namespace {

constexpr int kMaxNesting = 8;  // bounds the walk through control parents

// The item's own styles count: a dialog looks for its first tab stop before it is shown.
bool IsTabStop(const Window& w) {
  return (w.style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE) && !w.destroying;
}

// The items of a dialog in creation order. New children go below their siblings, so z-order from
// the top is creation order. A child with WS_EX_CONTROLPARENT (a property page, a nested dialog)
// stands for its own items, so that navigation runs through them as if they were the dialog's.
void AppendItems(const Window& parent, std::vector<HWND>& out, int depth) {
  for (const Window* c : parent.children) {
    const bool visible = (c->style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE && !c->destroying;
    if ((c->exStyle & WS_EX_CONTROLPARENT) && depth < kMaxNesting) {
      if (visible) AppendItems(*c, out, depth + 1);
    } else {
      out.push_back(c->handle);
    }
  }
}

std::vector<HWND> ChildrenInOrder(const Window& dlg) {
  std::vector<HWND> out;
  AppendItems(dlg, out, 0);
  return out;
}

bool IsPushButtonCode(LRESULT code) { return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0; }

void SendCommand(HWND hdlg, WORD id) {
  HWND control = GetDlgItem(hdlg, id);
  SendMessageA(hdlg, WM_COMMAND, MAKEWPARAM(id, kButtonClicked), reinterpret_cast<LPARAM>(control));
}

// The dialog code the target of a keyboard message asks for.
LRESULT DialogCodeOf(const MSG& msg) {
  return SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
}

// ---- groups

bool IsReachable(const Window& w) { return (w.style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE && !w.destroying; }

DWORD StyleOf(HWND hwnd) {
  const Window* w = FindWindowObject(hwnd);
  return w ? w->style : 0;
}

// The next (or previous) reachable item of from's group, wrapping; null when there is none.
HWND NextGroupItem(HWND hdlg, HWND from, bool previous) {
  const Window* dlg = FindWindowObject(hdlg);
  if (!dlg) return nullptr;
  const std::vector<HWND> order = ChildrenInOrder(*dlg);
  const auto at = std::find(order.begin(), order.end(), from);
  if (at == order.end()) return nullptr;
  auto first = at, end = at + 1;
  while (first != order.begin() && !(StyleOf(*first) & WS_GROUP)) --first;
  while (end != order.end() && !(StyleOf(*end) & WS_GROUP)) ++end;
  const auto n = end - first, offset = at - first;
  for (auto step = decltype(n){1}; step < n; ++step) {
    HWND item = first[(previous ? offset + n - step : offset + step) % n];
    if (const Window* w = FindWindowObject(item); w && IsReachable(*w)) return item;
  }
  return nullptr;
}

LRESULT DialogCodeOf(HWND hwnd) { return SendMessageA(hwnd, WM_GETDLGCODE, 0, 0); }

bool MoveInGroup(HWND hdlg, WPARAM key) {
  HWND next = NextGroupItem(hdlg, GetFocus(), key == VK_LEFT || key == VK_UP);
  if (!next) return true;
  SetFocus(next);
  if (DialogCodeOf(next) & DLGC_RADIOBUTTON) SendMessageA(next, BM_CLICK, 0, 0);
  return true;
}

// ---- mnemonics

std::string TextOf(HWND hwnd) {
  std::string text(static_cast<std::size_t>(std::max(GetWindowTextLengthA(hwnd), 0)) + 1, '\0');
  text.resize(static_cast<std::size_t>(std::max(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size())), 0)));
  return text;
}

// The lower-case character after the first single '&'; 0 when there is none ("&&" is an '&').
int MnemonicOf(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return std::tolower(static_cast<unsigned char>(text[i + 1]));
    ++i;
  }
  return 0;
}

bool HasMnemonic(HWND item, LRESULT code, int key) {
  const Window* w = FindWindowObject(item);
  if (!w || !IsReachable(*w) || !(code & (DLGC_STATIC | DLGC_BUTTON))) return false;
  if (!(code & DLGC_BUTTON) && (w->style & SS_NOPREFIX)) return false;
  return MnemonicOf(TextOf(item)) == key;
}

void UseMnemonic(HWND hdlg, HWND item, LRESULT code) {
  if (!(code & DLGC_BUTTON)) {
    if (HWND next = NextTabItem(hdlg, item, false)) SetFocus(next);
    return;
  }
  if (!IsPushButtonCode(code)) SetFocus(item);
  SendMessageA(item, BM_CLICK, 0, 0);
}

bool HandleMnemonic(HWND hdlg, const MSG& msg) {
  const int key = std::tolower(static_cast<int>(msg.wParam & 0xFF));
  const Window* dlg = FindWindowObject(hdlg);
  if (!dlg || key <= ' ') return false;
  const std::vector<HWND> order = ChildrenInOrder(*dlg);
  const std::size_t n = order.size();
  const auto focus = static_cast<std::size_t>(std::find(order.begin(), order.end(), GetFocus()) - order.begin());
  const std::size_t start = focus < n ? focus + 1 : 0;
  for (std::size_t step = 0; step < n; ++step) {
    HWND item = order[(start + step) % n];
    const LRESULT code = DialogCodeOf(item);
    if (!HasMnemonic(item, code, key)) continue;
    UseMnemonic(hdlg, item, code);
    return true;
  }
  return false;
}

bool HandleKeyDown(HWND hdlg, const MSG& msg) {
  LRESULT code = DialogCodeOf(msg);
  if (code & DLGC_WANTALLKEYS) return false;
  switch (msg.wParam) {
    case VK_TAB: {
      if (code & DLGC_WANTTAB) return false;
      bool previous = GetKeyState(VK_SHIFT) < 0;
      HWND next = NextTabItem(hdlg, GetFocus(), previous);
      if (next) SetFocus(next);
      return true;
    }
    case VK_RETURN: {
      // A focused push button's command goes to its own parent (it may sit in a nested page).
      HWND focus = GetFocus();
      const WORD id = ReturnCommandId(hdlg, focus);
      const bool own = focus && IsChild(hdlg, focus) && GetDlgCtrlID(focus) == id;
      SendCommand(own ? GetParent(focus) : hdlg, id);
      return true;
    }
    case VK_ESCAPE: SendCommand(hdlg, IDCANCEL); return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: return !(code & DLGC_WANTARROWS) && MoveInGroup(hdlg, msg.wParam);
    default: return false;
  }
}

// Alt+character is always a mnemonic; a plain one only when the focus does not take characters.
bool IsMnemonicChar(const MSG& msg) {
  if (msg.message == WM_SYSCHAR) return true;
  return msg.message == WM_CHAR && !(DialogCodeOf(msg) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS));
}

// The characters of the keys handled above are not passed on.
bool SwallowsChar(const MSG& msg) { return msg.wParam == '\t' || msg.wParam == '\r' || msg.wParam == 0x1B; }

// A dialog nested as a control parent in another dialog (a property page in its frame) navigates
// as part of the dialog around it: Tab runs through both, Return and Escape reach the outer dialog's buttons.
HWND NavigationRoot(HWND hdlg) {
  for (int depth = 0; depth < kMaxNesting; ++depth) {
    const Window* w = FindWindowObject(hdlg);
    if (!w || !w->parent || !(w->style & WS_CHILD) || !(w->exStyle & WS_EX_CONTROLPARENT)) break;
    if (!DialogStateOf(w->parent->handle)) break;  // only a dialog has buttons to press
    hdlg = w->parent->handle;
  }
  return hdlg;
}

}  // namespace

HWND NextTabItem(HWND hdlg, HWND from, bool previous) {
  Window* dlg = FindWindowObject(hdlg);
  if (!dlg) return nullptr;
  std::vector<HWND> order = ChildrenInOrder(*dlg);
  const std::size_t n = order.size();
  if (n == 0) return nullptr;
  std::size_t start = previous ? n - 1 : 0;
  bool startAfterFrom = false;
  for (std::size_t i = 0; from && i < n; ++i) {
    if (order[i] == from) {
      start = i;
      startAfterFrom = true;
      break;
    }
  }
  for (std::size_t step = 0; step < n; ++step) {
    std::size_t offset = startAfterFrom ? step + 1 : step;
    std::size_t i = previous ? (start + n * 2 - offset) % n : (start + offset) % n;
    Window* w = FindWindowObject(order[i]);
    if (w && IsTabStop(*w)) return order[i];
  }
  return nullptr;
}

WORD ReturnCommandId(HWND hdlg, HWND focus) {
  if (focus && IsChild(hdlg, focus) && IsWindowEnabled(focus)) {
    MSG probe{focus, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    if (IsPushButtonCode(DialogCodeOf(probe))) return static_cast<WORD>(GetDlgCtrlID(focus));
  }
  LRESULT def = SendMessageA(hdlg, DM_GETDEFID, 0, 0);
  if (HIWORD(static_cast<std::uintptr_t>(def)) == DC_HASDEFID) return LOWORD(static_cast<std::uintptr_t>(def));
  return IDOK;
}

}  // namespace kelmira::window

using namespace kelmira::window;

BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!LookupWindow(hDlg)) return FALSE;
  if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
  hDlg = NavigationRoot(hDlg);
  if (lpMsg->message == WM_KEYDOWN && HandleKeyDown(hDlg, *lpMsg)) return TRUE;
  if (lpMsg->message == WM_CHAR && SwallowsChar(*lpMsg) && !(DialogCodeOf(*lpMsg) & DLGC_WANTALLKEYS)) return TRUE;
  if (IsMnemonicChar(*lpMsg) && HandleMnemonic(hDlg, *lpMsg)) return TRUE;
  TranslateMessage(lpMsg);
  DispatchMessageA(lpMsg);
  return TRUE;
}
