#include <kelmira/platform/commctrl.h>

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
  if (!picce || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  WNDCLASSEXA info{};
  info.cbSize = sizeof(info);
  // The standard classes register when the library loads; a missing one means that failed.
  if (!GetClassInfoExA(nullptr, "STATIC", &info) || !GetClassInfoExA(nullptr, "BUTTON", &info) ||
      !GetClassInfoExA(nullptr, "#32770", &info))
    return FALSE;
  return TRUE;
}

void InitCommonControls() {
  const INITCOMMONCONTROLSEX all{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&all);
}
