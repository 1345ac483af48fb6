// Dialogs whose items may host controls: the "AtlAxWin" class is there before the dialog makes
// its items.
#include "control/ax_host.h"

HWND AtlAxCreateDialogA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent, DLGPROC lpDialogProc,
                        LPARAM dwInitParam) {
  kelmira::control::EnsureHostWindowClass();
  return CreateDialogIndirectParamA(hInstance, lpTemplate, hWndParent, lpDialogProc, dwInitParam);
}

INT_PTR AtlAxDialogBoxA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent, DLGPROC lpDialogProc,
                        LPARAM dwInitParam) {
  kelmira::control::EnsureHostWindowClass();
  return DialogBoxIndirectParamA(hInstance, lpTemplate, hWndParent, lpDialogProc, dwInitParam);
}
