// Window classes: registration, queries and class data.
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <cstring>

using namespace kelmira::window;

namespace {

constexpr int kMaxExtraBytes = 1024;

template <class T>
T Fail(LONG error, T value) {
  SetLastError(static_cast<DWORD>(error));
  return value;
}

bool ValidExtra(int bytes) { return bytes >= 0 && bytes <= kMaxExtraBytes; }

ATOM Register(const WNDCLASSEXA& wc) {
  if (!wc.lpszClassName || IS_INTRESOURCE(wc.lpszClassName) || !*wc.lpszClassName || !wc.lpfnWndProc)
    return Fail(ERROR_INVALID_PARAMETER, ATOM{0});
  if (!ValidExtra(wc.cbClsExtra) || !ValidExtra(wc.cbWndExtra)) return Fail(ERROR_INVALID_PARAMETER, ATOM{0});
  auto cls = std::make_unique<WindowClass>();
  cls->name = wc.lpszClassName;
  cls->style = wc.style;
  cls->proc = wc.lpfnWndProc;
  cls->instance = wc.hInstance;
  cls->icon = wc.hIcon;
  cls->iconSmall = wc.hIconSm;
  cls->cursor = wc.hCursor;
  cls->background = wc.hbrBackground;
  if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) cls->menuName = wc.lpszMenuName;
  cls->windowExtraBytes = wc.cbWndExtra;
  cls->classExtra.assign(static_cast<std::size_t>(wc.cbClsExtra), 0);
  WindowClass* added = AddClass(std::move(cls));
  return added ? added->atom : ATOM{0};
}

WindowClass* ClassOf(HWND hwnd) {
  Window* w = LookupWindow(hwnd);
  return w ? w->cls : nullptr;
}

bool ExtraInRange(const WindowClass& cls, int index) {
  return index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= cls.classExtra.size();
}

}  // namespace

ATOM RegisterClassExA(const WNDCLASSEXA* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXA)) return Fail(ERROR_INVALID_PARAMETER, ATOM{0});
  return Register(*lpwcx);
}

ATOM RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (!lpWndClass) return Fail(ERROR_INVALID_PARAMETER, ATOM{0});
  const WNDCLASSA& c = *lpWndClass;
  WNDCLASSEXA wc{sizeof(WNDCLASSEXA), c.style,        c.lpfnWndProc,   c.cbClsExtra,
                 c.cbWndExtra,        c.hInstance,    c.hIcon,         c.hCursor,
                 c.hbrBackground,     c.lpszMenuName, c.lpszClassName, nullptr};
  return Register(wc);
}

BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
  if (!lpClassName) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  return RemoveClass(lpClassName);
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR lpszClass, LPWNDCLASSEXA lpwcx) {
  if (!lpszClass || !lpwcx) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  WindowClass* cls = FindClass(lpszClass);
  if (!cls) return Fail(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
  lpwcx->cbSize = sizeof(WNDCLASSEXA);
  lpwcx->style = cls->style;
  lpwcx->lpfnWndProc = cls->proc;
  lpwcx->cbClsExtra = static_cast<int>(cls->classExtra.size());
  lpwcx->cbWndExtra = cls->windowExtraBytes;
  lpwcx->hInstance = cls->instance;
  lpwcx->hIcon = cls->icon;
  lpwcx->hCursor = cls->cursor;
  lpwcx->hbrBackground = cls->background;
  lpwcx->lpszMenuName = cls->menuName.empty() ? nullptr : cls->menuName.c_str();
  lpwcx->lpszClassName = cls->name.c_str();
  lpwcx->hIconSm = cls->iconSmall;
  return static_cast<BOOL>(cls->atom);
}

BOOL GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
  if (!lpWndClass) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  WNDCLASSEXA wc{};
  BOOL atom = GetClassInfoExA(hInstance, lpClassName, &wc);
  if (!atom) return FALSE;
  *lpWndClass = WNDCLASSA{wc.style, wc.lpfnWndProc, wc.cbClsExtra,    wc.cbWndExtra,   wc.hInstance,
                          wc.hIcon, wc.hCursor,     wc.hbrBackground, wc.lpszMenuName, wc.lpszClassName};
  return atom;
}

int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
  WindowClass* cls = ClassOf(hWnd);
  if (!cls) return 0;
  if (!lpClassName || nMaxCount <= 0) return Fail(ERROR_INVALID_PARAMETER, 0);
  std::size_t n = std::min(cls->name.size(), static_cast<std::size_t>(nMaxCount - 1));
  std::memcpy(lpClassName, cls->name.data(), n);
  lpClassName[n] = '\0';
  return static_cast<int>(n);
}

ULONG_PTR GetClassLongPtrA(HWND hWnd, int nIndex) {
  WindowClass* cls = ClassOf(hWnd);
  if (!cls) return 0;
  SetLastError(0);
  switch (nIndex) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(cls->background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(cls->cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(cls->icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(cls->iconSmall);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(cls->instance);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(cls->proc);
    case GCL_STYLE: return cls->style;
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(cls->windowExtraBytes);
    case GCL_CBCLSEXTRA: return cls->classExtra.size();
    case GCW_ATOM: return cls->atom;
    case GCLP_MENUNAME: return 0;
    default: break;
  }
  if (!ExtraInRange(*cls, nIndex)) return Fail(ERROR_INVALID_INDEX, ULONG_PTR{0});
  ULONG_PTR v = 0;
  std::memcpy(&v, cls->classExtra.data() + nIndex, sizeof v);
  return v;
}

ULONG_PTR SetClassLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  WindowClass* cls = ClassOf(hWnd);
  if (!cls) return 0;
  ULONG_PTR old = GetClassLongPtrA(hWnd, nIndex);
  if (GetLastError() != 0) return 0;
  switch (nIndex) {
    case GCLP_HBRBACKGROUND: cls->background = reinterpret_cast<HBRUSH>(dwNewLong); break;
    case GCLP_HCURSOR: cls->cursor = reinterpret_cast<HCURSOR>(dwNewLong); break;
    case GCLP_HICON: cls->icon = reinterpret_cast<HICON>(dwNewLong); break;
    case GCLP_HICONSM: cls->iconSmall = reinterpret_cast<HICON>(dwNewLong); break;
    case GCLP_HMODULE: cls->instance = reinterpret_cast<HINSTANCE>(dwNewLong); break;
    case GCL_STYLE: cls->style = static_cast<UINT>(dwNewLong); break;
    case GCLP_WNDPROC:
      if (!dwNewLong) return Fail(ERROR_INVALID_PARAMETER, ULONG_PTR{0});
      cls->proc = reinterpret_cast<WNDPROC>(dwNewLong);
      break;
    case GCL_CBWNDEXTRA:
    case GCL_CBCLSEXTRA:
    case GCW_ATOM:
    case GCLP_MENUNAME: return Fail(ERROR_INVALID_INDEX, ULONG_PTR{0});
    default: std::memcpy(cls->classExtra.data() + nIndex, &dwNewLong, sizeof dwNewLong); break;
  }
  return old;
}
