// MessageBoxA and the process-wide message box hook.
#include "window/message_box.h"

#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <mutex>

namespace kelmira::window {
namespace {

struct HookSlot {
  std::mutex mutex;
  KelmiraMessageBoxHook hook = nullptr;
  void* context = nullptr;
};

HookSlot& Hook() {
  static HookSlot slot;
  return slot;
}

int AskHook(HWND owner, const char* text, const char* caption, UINT type) {
  KelmiraMessageBoxHook hook = nullptr;
  void* context = nullptr;
  {
    std::lock_guard lock(Hook().mutex);
    hook = Hook().hook;
    context = Hook().context;
  }
  if (!hook) return 0;
  int answer = 0;  // a hook that throws gives no answer
  (void)Guarded([&] { answer = hook(owner, text, caption, type, context); });
  return answer;
}

bool ValidIcon(UINT type) {
  UINT icon = type & MB_ICONMASK;
  return icon <= MB_ICONASTERISK || icon == MB_USERICON;
}

}  // namespace

bool MessageBoxButtons::Has(int id) const {
  for (int i = 0; i < count; ++i)
    if (ids[i] == id) return true;
  return false;
}

bool ButtonsOf(UINT type, MessageBoxButtons* out) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: *out = MessageBoxButtons{{IDOK}, 1}; return true;
    case MB_OKCANCEL: *out = MessageBoxButtons{{IDOK, IDCANCEL}, 2}; return true;
    case MB_ABORTRETRYIGNORE: *out = MessageBoxButtons{{IDABORT, IDRETRY, IDIGNORE}, 3}; return true;
    case MB_YESNOCANCEL: *out = MessageBoxButtons{{IDYES, IDNO, IDCANCEL}, 3}; return true;
    case MB_YESNO: *out = MessageBoxButtons{{IDYES, IDNO}, 2}; return true;
    case MB_RETRYCANCEL: *out = MessageBoxButtons{{IDRETRY, IDCANCEL}, 2}; return true;
    case MB_CANCELTRYCONTINUE: *out = MessageBoxButtons{{IDCANCEL, IDTRYAGAIN, IDCONTINUE}, 3}; return true;
    default: return false;
  }
}

int DefaultButtonOf(UINT type, const MessageBoxButtons& buttons) {
  int index = static_cast<int>((type & MB_DEFMASK) >> 8);
  return index < buttons.count ? buttons.ids[index] : buttons.ids[0];
}

int EscapeResultOf(const MessageBoxButtons& buttons) {
  if (buttons.Has(IDCANCEL)) return IDCANCEL;
  if (buttons.count == 1 && buttons.ids[0] == IDOK) return IDOK;
  return 0;
}

const char* ButtonLabel(int id) {
  switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "&Abort";
    case IDRETRY: return "&Retry";
    case IDIGNORE: return "&Ignore";
    case IDYES: return "&Yes";
    case IDNO: return "&No";
    case IDTRYAGAIN: return "&Try Again";
    case IDCONTINUE: return "&Continue";
    default: return "";
  }
}

}  // namespace kelmira::window

using namespace kelmira::window;

void KelmiraSetMessageBoxHook(KelmiraMessageBoxHook hook, void* context) {
  std::lock_guard lock(Hook().mutex);
  Hook().hook = hook;
  Hook().context = hook ? context : nullptr;
}

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  MessageBoxButtons buttons;
  if (!ButtonsOf(uType, &buttons) || !ValidIcon(uType)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (hWnd && !LookupWindow(hWnd)) return 0;
  const char* text = lpText ? lpText : "";
  const char* caption = lpCaption ? lpCaption : "Error";
  int answer = AskHook(hWnd, text, caption, uType);
  if (answer != 0 && buttons.Has(answer)) return answer;
  return RunMessageBoxWindow(hWnd, text, caption, uType, buttons);
}
