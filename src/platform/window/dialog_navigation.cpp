// IsDialogMessageA: Tab moves the focus through the tab stops, Return presses the focused or the
// default push button, Escape sends IDCANCEL; every other message for the dialog is translated
// and dispatched here. Arrow-key movement within groups is not done: the controls that would use
// it (radio buttons) do not exist yet.
#include "window/dialog_navigation.h"

#include "window/dialog_state.h"
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

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
    case VK_RETURN: SendCommand(hdlg, ReturnCommandId(hdlg, GetFocus())); return true;
    case VK_ESCAPE: SendCommand(hdlg, IDCANCEL); return true;
    default: return false;
  }
}

// The characters of the keys handled above are not passed on.
bool SwallowsChar(const MSG& msg) { return msg.wParam == '\t' || msg.wParam == '\r' || msg.wParam == 0x1B; }

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
  if (lpMsg->message == WM_KEYDOWN && HandleKeyDown(hDlg, *lpMsg)) return TRUE;
  if (lpMsg->message == WM_CHAR && SwallowsChar(*lpMsg) && !(DialogCodeOf(*lpMsg) & DLGC_WANTALLKEYS)) return TRUE;
  TranslateMessage(lpMsg);
  DispatchMessageA(lpMsg);
  return TRUE;
}
