// Window text and the dialog-item conveniences over it.
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

using namespace kelmira::window;

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  if (!LookupWindow(hWnd)) return FALSE;
  return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (!LookupWindow(hWnd)) return 0;
  if (!lpString || nMaxCount <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  lpString[0] = '\0';
  LRESULT n = SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString));
  if (n < 0) n = 0;
  if (n >= nMaxCount) n = nMaxCount - 1;
  lpString[n] = '\0';
  return static_cast<int>(n);
}

int GetWindowTextLengthA(HWND hWnd) {
  if (!LookupWindow(hWnd)) return 0;
  return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SetWindowTextA(item, lpString) : FALSE;
}

UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  if (lpString && cchMax > 0) lpString[0] = '\0';
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? static_cast<UINT>(GetWindowTextA(item, lpString, cchMax)) : 0;
}

LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SendMessageA(item, Msg, wParam, lParam) : 0;
}
