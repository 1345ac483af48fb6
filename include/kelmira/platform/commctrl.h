// Common controls initialisation. The standard window classes ("STATIC", dialogs, "AtlAxWin")
// register themselves when the platform library loads; InitCommonControlsEx checks the request
// and confirms they are there, as modules written for the desktop expect to call it.
#pragma once

#include <kelmira/platform/oleauto.h>
#include <kelmira/platform/winuser.h>

struct INITCOMMONCONTROLSEX {
  DWORD dwSize;  // sizeof(INITCOMMONCONTROLSEX), 8
  DWORD dwICC;   // ICC_* classes wanted
};
using LPINITCOMMONCONTROLSEX = INITCOMMONCONTROLSEX*;
static_assert(sizeof(INITCOMMONCONTROLSEX) == 8);

constexpr DWORD ICC_LISTVIEW_CLASSES = 0x1;
constexpr DWORD ICC_TREEVIEW_CLASSES = 0x2;
constexpr DWORD ICC_BAR_CLASSES = 0x4;
constexpr DWORD ICC_TAB_CLASSES = 0x8;
constexpr DWORD ICC_UPDOWN_CLASS = 0x10;
constexpr DWORD ICC_PROGRESS_CLASS = 0x20;
constexpr DWORD ICC_HOTKEY_CLASS = 0x40;
constexpr DWORD ICC_ANIMATE_CLASS = 0x80;
constexpr DWORD ICC_WIN95_CLASSES = 0xFF;
constexpr DWORD ICC_STANDARD_CLASSES = 0x4000;

// TRUE when the structure is well formed (dwSize 8) and the standard classes are registered;
// FALSE with ERROR_INVALID_PARAMETER otherwise.
KELMIRA_EXTERN_C BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce);
KELMIRA_EXTERN_C void InitCommonControls();
