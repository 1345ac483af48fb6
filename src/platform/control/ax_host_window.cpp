// The window side of hosting: the "AtlAxWin" class, the host of each window, and the procedures
// that hand a host window's messages to its host.
#include "control/ax_host.h"
#include "control/no_destructor.h"

#include <kelmira/platform/combase.h>

#include <cctype>
#include <cstring>
#include <string>
#include <unordered_map>

namespace kelmira::control {
namespace {

std::unordered_map<HWND, ComPtr<Object<AxHost>>>& Hosts() {
  static NoDestructor<std::unordered_map<HWND, ComPtr<Object<AxHost>>>> hosts;
  return hosts.get();
}

bool IsHostClassWindow(HWND hwnd) {
  char name[16] = {};
  if (::GetClassNameA(hwnd, name, sizeof(name)) <= 0) return false;
  const char* expected = ATLAXWIN_CLASS;
  for (std::size_t i = 0;; ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(expected[i])))
      return false;
    if (!name[i]) return true;
  }
}

// Hands every message to the host; the host lets go of the window at WM_NCDESTROY.
LRESULT Dispatch(AxHost* host, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = host->HandleMessage(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) Hosts().erase(hwnd);
  return result;
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  AxHost* host = HostOfWindow(hwnd);
  if (!host) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  return Dispatch(host, hwnd, msg, wParam, lParam);
}

// The control a host window's title names, made, initialised and attached.
LRESULT CreateNamedControl(AxHost* host, const CREATESTRUCTA* create) {
  const char* text = create ? create->lpszName : nullptr;
  if (!text || !*text) return 0;
  std::u16string name;
  for (const char* c = text; *c; ++c) name += static_cast<char16_t>(static_cast<unsigned char>(*c));
  CLSID clsid{};
  if (FAILED(CLSIDFromString(name.c_str(), &clsid))) return -1;
  ComPtr<IUnknown> control;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IUnknown,
                              reinterpret_cast<void**>(&control))))
    return -1;
  return SUCCEEDED(host->AttachControl(control.get(), true, nullptr)) ? 0 : -1;
}

// The platform's own class, there before anyone asks for it.
struct HostClassRegistration {
  HostClassRegistration() { EnsureHostWindowClass(); }
} registerHostClass;

}  // namespace

AxHost* HostOfWindow(HWND hwnd) {
  auto it = Hosts().find(hwnd);
  return it == Hosts().end() ? nullptr : it->second.get();
}

AxHost* HostForWindow(HWND hwnd) {
  if (AxHost* known = HostOfWindow(hwnd)) return known;
  if (!::IsWindow(hwnd)) return nullptr;
  const bool ownClass = IsHostClassWindow(hwnd);
  WNDPROC previous = nullptr;
  if (!ownClass) {
    previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    if (!previous) return nullptr;
  }
  ComPtr<Object<AxHost>> host;
  if (FAILED(Object<AxHost>::Make(&host, hwnd, previous))) return nullptr;
  Hosts()[hwnd] = host;
  if (!ownClass) ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
  return host.get();
}

bool EnsureHostWindowClass() {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExA(nullptr, ATLAXWIN_CLASS, &existing)) return existing.lpfnWndProc == &HostWindowProc;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &HostWindowProc;
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = ATLAXWIN_CLASS;
  return ::RegisterClassExA(&wc) != 0;
}

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    AxHost* host = HostForWindow(hwnd);
    if (!host) return -1;
    return CreateNamedControl(host, reinterpret_cast<const CREATESTRUCTA*>(lParam));
  }
  AxHost* host = HostOfWindow(hwnd);
  if (!host) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  return Dispatch(host, hwnd, msg, wParam, lParam);
}

}  // namespace kelmira::control
