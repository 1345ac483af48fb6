// DialogBoxIndirectParamA, EndDialog and the modal loop.
#include "window/dialog_modal.h"

#include "window/dialog_create.h"
#include "window/dialog_state.h"
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

namespace kelmira::window {
namespace {

struct LoopExit {
  ModalEnd how = ModalEnd::Destroyed;
  int quitCode = 0;
};

void SendIdle(HWND hdlg, HWND owner, WPARAM idleCode) {
  if (!owner || (GetWindowLongPtrA(hdlg, GWL_STYLE) & DS_NOIDLEMSG)) return;
  SendMessageA(owner, WM_ENTERIDLE, idleCode, reinterpret_cast<LPARAM>(hdlg));
}

LoopExit Loop(HWND hdlg, HWND owner, WPARAM idleCode, const DialogState& state, const ModalFilter& filter) {
  MSG msg{};
  while (!state.ended && IsWindow(hdlg)) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      SendIdle(hdlg, owner, idleCode);
      if (state.ended || !IsWindow(hdlg)) break;
    }
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) return LoopExit{ModalEnd::Quit, static_cast<int>(msg.wParam)};
    if (got == -1) return LoopExit{state.ended ? ModalEnd::Ended : ModalEnd::NoInput, 0};
    if (filter && Guarded([&] { return filter(msg) ? S_OK : S_FALSE; }) == S_OK) continue;
    if (!IsWindow(hdlg) || !IsDialogMessageA(hdlg, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return LoopExit{state.ended ? ModalEnd::Ended : ModalEnd::Destroyed, 0};
}

}  // namespace

ModalOutcome RunModalDialog(HWND hdlg, HWND owner, WPARAM idleCode, const ModalFilter& filter) {
  std::shared_ptr<DialogState> state = DialogStateOf(hdlg);
  if (!state) return ModalOutcome{};
  LoopExit exit{ModalEnd::Ended, 0};
  bool ownerDisabled = false;
  if (!state->ended) {
    if (owner && IsWindowEnabled(owner)) {
      EnableWindow(owner, FALSE);
      ownerDisabled = true;
    }
    ShowWindow(hdlg, SW_SHOWNORMAL);
    // As the desktop's activation does: the dialog's saved focus, else its first tab stop.
    HWND focus = GetFocus();
    if (!state->ended && focus != hdlg && !IsChild(hdlg, focus)) SetFocus(hdlg);
    exit = Loop(hdlg, owner, idleCode, *state, filter);
  }
  // The owner comes back before the dialog goes, so that it is the window left to activate.
  if (ownerDisabled && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(hdlg)) DestroyWindow(hdlg);
  if (exit.how == ModalEnd::Quit) PostQuitMessage(exit.quitCode);
  return ModalOutcome{exit.how, exit.how == ModalEnd::Ended ? state->result : 0};
}

}  // namespace kelmira::window

using namespace kelmira::window;

INT_PTR DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA hDialogTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  if (!hDialogTemplate) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  HWND hdlg = CreateDialogFromTemplate(hInstance, hDialogTemplate, hWndParent, lpDialogFunc, dwInitParam, true);
  if (!hdlg) return -1;
  HWND owner = GetWindowLongPtrA(hdlg, GWL_STYLE) & WS_CHILD ? hWndParent : DialogOwner(hWndParent);
  ModalOutcome outcome = RunModalDialog(hdlg, owner, kMsgfDialogBox);
  switch (outcome.how) {
    case ModalEnd::Ended: return outcome.result;
    case ModalEnd::Quit: return 0;
    case ModalEnd::NoInput: SetLastError(ERROR_TIMEOUT); return -1;
    case ModalEnd::Destroyed: SetLastError(ERROR_INVALID_WINDOW_HANDLE); return -1;
  }
  return -1;
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
  if (!LookupWindow(hDlg)) return FALSE;
  std::shared_ptr<DialogState> state = DialogStateOf(hDlg);
  if (!state) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  state->ended = true;
  state->result = nResult;
  // A modeless dialog has no loop to leave; it disappears until its owner destroys it.
  if (!state->modal) ShowWindow(hDlg, SW_HIDE);
  return TRUE;
}
