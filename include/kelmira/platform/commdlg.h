// The colour-choice dialog (ChooseColorA).
//
// lStructSize must be sizeof(CHOOSECOLORA) of this platform's layout (72 bytes with 64-bit
// pointers; the 32-bit desktop layout is 36 bytes); any other size fails with CDERR_STRUCTSIZE.
#pragma once

#include <kelmira/platform/winuser.h>

using LPCCHOOKPROC = UINT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct CHOOSECOLORA {
  DWORD lStructSize;
  HWND hwndOwner;
  HWND hInstance;           // unused: no custom templates
  COLORREF rgbResult;       // in: the preset colour with CC_RGBINIT; out: the colour chosen
  COLORREF* lpCustColors;   // 16 custom colours, read and written back
  DWORD Flags;
  LPARAM lCustData;         // passed to the hook with WM_INITDIALOG
  LPCCHOOKPROC lpfnHook;    // with CC_ENABLEHOOK
  LPCSTR lpTemplateName;    // unused
};
using LPCHOOSECOLORA = CHOOSECOLORA*;
using CHOOSECOLOR = CHOOSECOLORA;

constexpr DWORD CC_RGBINIT = 0x00000001;
constexpr DWORD CC_FULLOPEN = 0x00000002;
constexpr DWORD CC_PREVENTFULLOPEN = 0x00000004;
constexpr DWORD CC_SHOWHELP = 0x00000008;
constexpr DWORD CC_ENABLEHOOK = 0x00000010;
constexpr DWORD CC_ENABLETEMPLATE = 0x00000020;
constexpr DWORD CC_ENABLETEMPLATEHANDLE = 0x00000040;
constexpr DWORD CC_SOLIDCOLOR = 0x00000080;
constexpr DWORD CC_ANYCOLOR = 0x00000100;

// CommDlgExtendedError codes.
constexpr DWORD CDERR_DIALOGFAILURE = 0xFFFF;
constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
constexpr DWORD CDERR_INITIALIZATION = 0x0002;
constexpr DWORD CDERR_NOTEMPLATE = 0x0003;
constexpr DWORD CDERR_NOHINSTANCE = 0x0004;
constexpr DWORD CDERR_MEMALLOCFAILURE = 0x0009;
constexpr DWORD CDERR_NOHOOK = 0x000B;

// A modal colour dialog owned by hwndOwner: a grid of basic colours, the 16 custom colours of
// lpCustColors, a colour editor that defines custom colours, OK and Cancel. TRUE with rgbResult
// set on OK (the custom colours edited are written back to lpCustColors); FALSE on Cancel, on
// Escape, when closed, or on an error (then CommDlgExtendedError tells which).
KELMIRA_EXTERN_C BOOL ChooseColorA(LPCHOOSECOLORA lpcc);
inline BOOL ChooseColor(LPCHOOSECOLORA lpcc) { return ChooseColorA(lpcc); }

// The error of the last common dialog call on this thread; 0 after a success or a cancel.
KELMIRA_EXTERN_C DWORD CommDlgExtendedError();

// A process-wide observer of colour dialogs (Kelmira extension, for tests and scripted hosts):
// called with the request before the dialog is shown. It may edit rgbResult and the custom
// colours, then return IDOK (the dialog answers OK without showing), IDCANCEL (answers cancel),
// or 0 to show the dialog as usual. Null removes the hook.
using KelmiraChooseColorHook = int (*)(CHOOSECOLORA* request, void* context);
KELMIRA_EXTERN_C void KelmiraSetChooseColorHook(KelmiraChooseColorHook hook, void* context);
