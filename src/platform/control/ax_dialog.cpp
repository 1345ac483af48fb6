// Dialogs whose items may host controls: the "AtlAxWin" class is there before the dialog makes
// its items.
#include "control/ax_host.h"

// TEMPORARY until the dialog functions are merged: referenced weakly so the library links.
#pragma weak CreateDialogIndirectParamA
#pragma weak DialogBoxIndirectParamA

HWND AtlAxCreateDialogA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent, DLGPROC lpDialogProc,
                        LPARAM dwInitParam) {
  kelmira::control::EnsureHostWindowClass();
  if (!&CreateDialogIndirectParamA) return nullptr;
  return CreateDialogIndirectParamA(hInstance, lpTemplate, hWndParent, lpDialogProc, dwInitParam);
}

INT_PTR AtlAxDialogBoxA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent, DLGPROC lpDialogProc,
                        LPARAM dwInitParam) {
  kelmira::control::EnsureHostWindowClass();
  if (!&DialogBoxIndirectParamA) return -1;
  return DialogBoxIndirectParamA(hInstance, lpTemplate, hWndParent, lpDialogProc, dwInitParam);
}
