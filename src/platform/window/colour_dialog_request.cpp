// ChooseColorA's checks, the thread's common dialog error and the process-wide colour dialog
// hook that answers without showing anything. Checks run in this order: a null request
// (CDERR_INITIALIZATION), a wrong size (CDERR_STRUCTSIZE), CC_ENABLEHOOK without a hook
// (CDERR_NOHOOK), a null custom array (CDERR_INITIALIZATION), an owner that is not a window
// (CDERR_DIALOGFAILURE). The process hook is asked only about requests that pass them.
#include "window/colour_dialog.h"

#include "window/window_table.h"

#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <mutex>

namespace kelmira::window {
namespace {

thread_local DWORD t_lastError = 0;

struct HookSlot {
  std::mutex mutex;
  KelmiraChooseColorHook hook = nullptr;
  void* context = nullptr;
};

HookSlot& Hook() {
  static HookSlot slot;
  return slot;
}

DWORD CheckRequest(const CHOOSECOLORA* cc) {
  if (!cc) return CDERR_INITIALIZATION;
  if (cc->lStructSize != sizeof(CHOOSECOLORA)) return CDERR_STRUCTSIZE;
  if ((cc->Flags & CC_ENABLEHOOK) && !cc->lpfnHook) return CDERR_NOHOOK;
  if (!cc->lpCustColors) return CDERR_INITIALIZATION;
  if (cc->hwndOwner && !LookupWindow(cc->hwndOwner)) return CDERR_DIALOGFAILURE;
  return 0;
}

// The hook works on a copy: its edits reach the caller only when it answers IDOK.
int AskHook(CHOOSECOLORA& request) {
  KelmiraChooseColorHook hook = nullptr;
  void* context = nullptr;
  {
    std::lock_guard lock(Hook().mutex);
    hook = Hook().hook;
    context = Hook().context;
  }
  if (!hook) return 0;
  COLORREF custom[kCustomCount];
  std::copy_n(request.lpCustColors, kCustomCount, custom);
  CHOOSECOLORA copy = request;
  copy.lpCustColors = custom;
  int answer = 0;  // a hook that throws gives no answer
  (void)Guarded([&] { answer = hook(&copy, context); });
  if (answer == IDOK) {
    request.rgbResult = copy.rgbResult;
    std::copy_n(custom, kCustomCount, request.lpCustColors);
  }
  return answer;
}

}  // namespace
}  // namespace kelmira::window

using namespace kelmira::window;

void KelmiraSetChooseColorHook(KelmiraChooseColorHook hook, void* context) {
  std::lock_guard lock(Hook().mutex);
  Hook().hook = hook;
  Hook().context = hook ? context : nullptr;
}

DWORD CommDlgExtendedError() { return t_lastError; }

BOOL ChooseColorA(LPCHOOSECOLORA lpcc) {
  t_lastError = CheckRequest(lpcc);
  if (t_lastError != 0) return FALSE;
  switch (AskHook(*lpcc)) {
    case IDOK: return TRUE;
    case IDCANCEL: return FALSE;
    default: break;
  }
  DWORD error = CDERR_DIALOGFAILURE;  // unless the dialog ran to an answer
  BOOL ok = kelmira::GuardedOr(FALSE, [&] { return RunColourDialog(*lpcc, &error); });
  t_lastError = error;
  return ok;
}
