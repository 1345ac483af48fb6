// DefDlgProcA and the dialog window class "#32770".
//
// The dialog procedure sees every message first. For the messages whose result is a value in its
// own right (colour requests, WM_INITDIALOG, ...) its return value is the result, as on the
// desktop; for the others a nonzero return means "handled" and the result is DWLP_MSGRESULT.
#include "window/dialog_navigation.h"
#include "window/dialog_state.h"

#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

namespace kelmira::window {
namespace {

constexpr UINT WM_COMPAREITEM = 0x0039;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_VKEYTOITEM = 0x002E;
constexpr UINT WM_CHARTOITEM = 0x002F;

bool IsColourRequest(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

bool ResultIsReturnValue(UINT msg) {
  return IsColourRequest(msg) || msg == WM_INITDIALOG || msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM ||
         msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON;
}

DLGPROC DialogProcOf(HWND hdlg) {
  if (!DialogStateOf(hdlg)) return nullptr;
  return reinterpret_cast<DLGPROC>(GetWindowLongPtrA(hdlg, DWLP_DLGPROC));
}

LRESULT EraseBackground(HWND hdlg, HDC dc) {
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(hdlg, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hdlg)));
  if (!brush) return 0;
  RECT rc{};
  GetClientRect(hdlg, &rc);
  FillRect(dc, &rc, brush);
  return 1;
}

LRESULT CloseAsCancel(HWND hdlg) {
  HWND cancel = GetDlgItem(hdlg, IDCANCEL);
  if (cancel && !IsWindowEnabled(cancel)) return 0;
  PostMessageA(hdlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, kButtonClicked), reinterpret_cast<LPARAM>(cancel));
  return 0;
}

LRESULT NextControl(HWND hdlg, WPARAM wParam, LPARAM lParam) {
  HWND target = nullptr;
  if (LOWORD(static_cast<std::uintptr_t>(lParam)))
    target = reinterpret_cast<HWND>(wParam);
  else
    target = NextTabItem(hdlg, GetFocus(), wParam != 0);
  if (target) SetFocus(target);
  return 0;
}

void RestoreFocus(HWND hdlg, DialogState& state) {
  HWND target = state.savedFocus;
  if (!target || !IsWindow(target) || !IsChild(hdlg, target)) target = NextTabItem(hdlg, nullptr, false);
  if (target) SetFocus(target);
}

// What the dialog class does when the dialog procedure leaves a message alone.
LRESULT DefaultHandling(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<DialogState> state = DialogStateOf(hdlg);
  switch (msg) {
    case WM_ERASEBKGND: return EraseBackground(hdlg, reinterpret_cast<HDC>(wParam));
    case WM_SETFONT:
      if (state) state->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(static_cast<std::uintptr_t>(lParam))) InvalidateRect(hdlg, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return state ? reinterpret_cast<LRESULT>(state->font) : 0;
    case WM_CLOSE: return CloseAsCancel(hdlg);
    case DM_GETDEFID: return state && state->defaultId ? MAKELRESULT(state->defaultId, DC_HASDEFID) : 0;
    case DM_SETDEFID:
      if (state) state->defaultId = static_cast<WORD>(wParam);
      return TRUE;
    case WM_NEXTDLGCTL: return NextControl(hdlg, wParam, lParam);
    case WM_SETFOCUS:
      if (state) RestoreFocus(hdlg, *state);
      return 0;
    case WM_ACTIVATE:
      if (state && LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hdlg, focus)) state->savedFocus = focus;
      }
      return 0;
    default: return DefWindowProcA(hdlg, msg, wParam, lParam);
  }
}

// Every window of the class is a dialog, also one made with CreateWindowExA.
LRESULT DialogClassProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE && !MakeDialogState(hdlg)) return FALSE;
  return DefDlgProcA(hdlg, msg, wParam, lParam);
}

bool RegisterDialogClass() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS | CS_SAVEBITS;
  wc.lpfnWndProc = &DialogClassProc;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.lpszClassName = "#32770";
  return RegisterClassExA(&wc) != 0;
}

// The platform's classes exist from the moment the library is loaded.
const bool kDialogClassRegistered = RegisterDialogClass();

}  // namespace
}  // namespace kelmira::window

using namespace kelmira::window;

LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!LookupWindow(hDlg)) return 0;
  DLGPROC proc = DialogProcOf(hDlg);
  if (proc) {
    SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 0);
    INT_PTR handled = CallDialogProc(proc, hDlg, Msg, wParam, lParam);
    if (ResultIsReturnValue(Msg)) {
      if (handled || Msg == WM_INITDIALOG) return handled;
    } else if (handled) {
      return IsWindow(hDlg) ? GetWindowLongPtrA(hDlg, DWLP_MSGRESULT) : 0;
    }
    if (!IsWindow(hDlg)) return 0;
  }
  return DefaultHandling(hDlg, Msg, wParam, lParam);
}
