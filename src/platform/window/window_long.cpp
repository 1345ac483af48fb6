// Window data: GetWindowLongPtrA / SetWindowLongPtrA and their 32-bit forms.
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

#include <cstring>

using namespace kelmira::window;

namespace {

template <class T>
T Fail(LONG error, T value) {
  SetLastError(static_cast<DWORD>(error));
  return value;
}

bool ExtraInRange(const Window& w, int index, std::size_t bytes) {
  return index >= 0 && static_cast<std::size_t>(index) + bytes <= w.extra.size();
}

bool ReadLong(const Window& w, int index, LONG_PTR* value) {
  switch (index) {
    case GWL_STYLE: *value = static_cast<LONG_PTR>(w.style); return true;
    case GWL_EXSTYLE: *value = static_cast<LONG_PTR>(w.exStyle); return true;
    case GWLP_WNDPROC: *value = reinterpret_cast<LONG_PTR>(w.proc); return true;
    case GWLP_HINSTANCE: *value = reinterpret_cast<LONG_PTR>(w.instance); return true;
    case GWLP_ID: *value = w.id; return true;
    case GWLP_USERDATA: *value = w.userData; return true;
    case GWLP_HWNDPARENT: *value = reinterpret_cast<LONG_PTR>(w.parent ? w.parent->handle : w.owner); return true;
    default: break;
  }
  if (!ExtraInRange(w, index, sizeof(LONG_PTR))) return false;
  std::memcpy(value, w.extra.data() + index, sizeof(LONG_PTR));
  return true;
}

// WM_STYLECHANGING lets the window adjust the new style; WM_STYLECHANGED reports what was set.
LONG_PTR ChangeStyle(HWND hwnd, int index, DWORD newStyle) {
  Window* w = FindWindowObject(hwnd);
  DWORD& field = index == GWL_STYLE ? w->style : w->exStyle;
  STYLESTRUCT ss{field, newStyle};
  DWORD old = field;
  SendMessageA(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
  w = FindWindowObject(hwnd);
  if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, LONG_PTR{0});
  DWORD& target = index == GWL_STYLE ? w->style : w->exStyle;
  STYLESTRUCT done{old, ss.styleNew};
  target = ss.styleNew;
  SendMessageA(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&done));
  return static_cast<LONG_PTR>(old);
}

LONG_PTR WriteLong(Window& w, int index, LONG_PTR value) {
  LONG_PTR old = 0;
  ReadLong(w, index, &old);
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: return ChangeStyle(w.handle, index, static_cast<DWORD>(value));
    case GWLP_WNDPROC:
      if (!value) return Fail(ERROR_INVALID_PARAMETER, LONG_PTR{0});
      w.proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_HINSTANCE: w.instance = reinterpret_cast<HINSTANCE>(value); return old;
    case GWLP_ID: w.id = value; return old;
    case GWLP_USERDATA: w.userData = value; return old;
    case GWLP_HWNDPARENT: {
      if (w.parent) return Fail(ERROR_INVALID_PARAMETER, LONG_PTR{0});
      HWND owner = reinterpret_cast<HWND>(value);
      if (owner) {
        Window* o = LookupWindow(owner);
        if (!o) return 0;
        w.owner = TopLevelOf(*o).handle;
      } else {
        w.owner = nullptr;
      }
      return old;
    }
    default: break;
  }
  if (!ExtraInRange(w, index, sizeof(LONG_PTR))) return Fail(ERROR_INVALID_INDEX, LONG_PTR{0});
  std::memcpy(w.extra.data() + index, &value, sizeof value);
  return old;
}

}  // namespace

LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex) {
  Window* w = LookupWindow(hWnd);
  if (!w) return 0;
  LONG_PTR value = 0;
  if (!ReadLong(*w, nIndex, &value)) return Fail(ERROR_INVALID_INDEX, LONG_PTR{0});
  SetLastError(0);
  return value;
}

LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  Window* w = LookupWindow(hWnd);
  if (!w) return 0;
  SetLastError(0);
  return WriteLong(*w, nIndex, dwNewLong);
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
  Window* w = LookupWindow(hWnd);
  if (!w) return 0;
  if (nIndex >= 0) {
    if (!ExtraInRange(*w, nIndex, sizeof(LONG))) return Fail(ERROR_INVALID_INDEX, LONG{0});
    LONG v = 0;
    std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
    SetLastError(0);
    return v;
  }
  return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  Window* w = LookupWindow(hWnd);
  if (!w) return 0;
  if (nIndex >= 0) {
    if (!ExtraInRange(*w, nIndex, sizeof(LONG))) return Fail(ERROR_INVALID_INDEX, LONG{0});
    LONG old = 0;
    std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
    std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    SetLastError(0);
    return old;
  }
  // Styles are 32-bit values: keep the bit pattern rather than sign-extending it.
  LONG_PTR value = (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE) ? static_cast<LONG_PTR>(static_cast<DWORD>(dwNewLong))
                                                                  : static_cast<LONG_PTR>(dwNewLong);
  return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, value));
}
