// The control base's own window: its class, its procedure and the default handling of the
// messages a control's message map leaves alone.
#include "control/control_window.h"

#include <kelmira/platform/combase.h>
#include <kelmira/platform/guarded.h>

#include <map>
#include <string>

namespace kelmira {
namespace control {

LRESULT CALLBACK ControlWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ControlImpl* control = ControlOfWindow(hwnd);
  if (!control && (msg == WM_NCCREATE || msg == WM_CREATE)) control = ClaimWindow(hwnd);
  if (!control) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  return control->HandleWindowMessage(hwnd, msg, wParam, lParam);
}

namespace {

std::string DefaultClassName(REFCLSID clsid) {
  OLECHAR wide[40] = {};
  StringFromGUID2(clsid, wide, 40);
  std::string name = "KelmiraControl";
  for (const OLECHAR* c = wide; *c; ++c) name += static_cast<char>(*c);
  return name;
}

}  // namespace

const char* EnsureControlWindowClass(const ControlClassInfo& info) {
  static std::map<CLSID, std::string> names;
  auto found = names.find(*info.clsid);
  if (found != names.end()) return found->second.c_str();

  std::string name = info.windowClassName ? info.windowClassName : DefaultClassName(*info.clsid);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExA(nullptr, name.c_str(), &existing)) {
    if (existing.lpfnWndProc != &ControlWindowProc) return nullptr;
  } else {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = info.windowClassStyle;
    wc.lpfnWndProc = &ControlWindowProc;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(info.windowBackground));
    wc.lpszClassName = name.c_str();
    if (!::RegisterClassExA(&wc)) return nullptr;
  }
  return names.emplace(*info.clsid, std::move(name)).first->second.c_str();
}

}  // namespace control

HWND ControlImpl::CreateControlWindow(HWND parent, const RECT& pos) {
  const char* className = control::EnsureControlWindowClass(ControlClass());
  if (!className) return nullptr;
  control::PendingControlWindow pending(this);
  return ::CreateWindowExA(0, className, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, pos.left, pos.top,
                           pos.right - pos.left, pos.bottom - pos.top, parent, nullptr, nullptr,
                           static_cast<ControlImpl*>(this));
}

void ControlImpl::DetachWindow() {
  if (hwnd_) control::ForgetControlWindow(hwnd_);
  hwnd_ = nullptr;
}

BOOL ControlImpl::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) { return FALSE; }

HRESULT ControlImpl::OnDraw(HDC, const RECT&) { return S_OK; }

LRESULT ControlImpl::HandleWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ComPtr<IUnknown> keepAlive(ControlUnknown());
  LRESULT result = 0;
  if (RunMessageMap(hwnd, msg, wParam, lParam, result)) return result;
  if (msg == WM_PAINT) {
    PaintWindow(hwnd, reinterpret_cast<HDC>(wParam));
    return 0;
  }
  FrameworkMessage(msg);
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

BOOL ControlImpl::RunMessageMap(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  BOOL handled = FALSE;
  result = 0;
  if (FAILED(Guarded([&] { handled = ProcessWindowMessage(hwnd, msg, wParam, lParam, result); }))) {
    handled = TRUE;  // a handler that threw has taken the message; it answers 0
    result = 0;
  }
  if (msg == WM_NCDESTROY && hwnd == hwnd_) DetachWindow();
  return handled;
}

void ControlImpl::FrameworkMessage(UINT msg) {
  switch (msg) {
    case WM_SETFOCUS: NotifySiteFocus(true); break;
    case WM_KILLFOCUS: NotifySiteFocus(false); break;
    case WM_MOUSEACTIVATE:
      if (inPlaceActive_ && !uiActive_) UIActivate();
      break;
    default: break;
  }
}

// A WM_PAINT that brings its own DC (wParam) draws into it; otherwise the paint cycle's DC.
void ControlImpl::PaintWindow(HWND hwnd, HDC given) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  // A failed draw leaves the picture as it is; the paint cycle still ends.
  if (given) {
    (void)Guarded([&] { return OnDraw(given, client); });
    return;
  }
  PAINTSTRUCT ps{};
  HDC hdc = ::BeginPaint(hwnd, &ps);
  if (hdc) (void)Guarded([&] { return OnDraw(hdc, client); });
  ::EndPaint(hwnd, &ps);
}

void ControlImpl::NotifySiteFocus(bool focus) {
  if (!clientSite_) return;
  ComPtr<IOleControlSite> site;
  clientSite_->QueryInterface(IID_IOleControlSite, reinterpret_cast<void**>(&site));
  if (site) site->OnFocus(focus ? TRUE : FALSE);
}

}  // namespace kelmira
