// Dialog item helpers: GetDlgItemInt and SetDlgItemInt (items holding decimal numbers),
// CheckDlgButton and IsDlgButtonChecked.
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

HWND ItemOf(HWND hDlg, int id) {
  if (!kelmira::window::LookupWindow(hDlg)) return nullptr;
  HWND item = GetDlgItem(hDlg, id);
  if (!item) SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return item;
}

void SetOk(BOOL* ok, BOOL value) {
  if (ok) *ok = value;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Leading and trailing blanks are allowed around the number, nothing else.
bool ParseInteger(const std::string& text, bool isSigned, long long* out) {
  std::size_t begin = 0;
  while (begin < text.size() && IsSpace(text[begin])) ++begin;
  std::size_t end = text.size();
  while (end > begin && IsSpace(text[end - 1])) --end;
  if (begin == end) return false;
  std::string digits = text.substr(begin, end - begin);
  if (!isSigned && digits[0] == '-') return false;
  char* stop = nullptr;
  errno = 0;
  long long value = std::strtoll(digits.c_str(), &stop, 10);
  if (errno == ERANGE || !stop || *stop != '\0') return false;
  *out = value;
  return true;
}

}  // namespace

BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
  char text[16];
  if (bSigned)
    std::snprintf(text, sizeof text, "%d", static_cast<int>(uValue));
  else
    std::snprintf(text, sizeof text, "%u", uValue);
  HWND item = ItemOf(hDlg, nIDDlgItem);
  return item ? SetWindowTextA(item, text) : FALSE;
}

UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
  SetOk(lpTranslated, FALSE);
  HWND item = ItemOf(hDlg, nIDDlgItem);
  if (!item) return 0;
  int length = GetWindowTextLengthA(item);
  if (length <= 0) return 0;
  return kelmira::GuardedOr(UINT{0}, [&]() -> UINT {
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(item, text.data(), length + 1)));
    long long value = 0;
    if (!ParseInteger(text, bSigned != FALSE, &value)) return 0;
    const long long low = bSigned ? std::numeric_limits<int>::min() : 0;
    const long long high = bSigned ? std::numeric_limits<int>::max() : std::numeric_limits<UINT>::max();
    if (value < low || value > high) return 0;
    SetOk(lpTranslated, TRUE);
    return static_cast<UINT>(value);
  });
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  HWND item = ItemOf(hDlg, nIDButton);
  if (!item) return FALSE;
  SendMessageA(item, BM_SETCHECK, uCheck, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  HWND item = ItemOf(hDlg, nIDButton);
  return item ? static_cast<UINT>(SendMessageA(item, BM_GETCHECK, 0, 0)) : BST_UNCHECKED;
}
