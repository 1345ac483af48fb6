#include "support/hosted_control.h"

#include "support/canvas.h"
#include "support/pump.h"

namespace kelmira::test {

HWND MakeFrame(int width, int height) {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DefWindowProcA;
    wc.lpszClassName = kFrameClass;
    return RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
  return CreateWindowExA(0, kFrameClass, "", WS_OVERLAPPED | WS_VISIBLE, HostedControl::kFrameX, HostedControl::kFrameY,
                         width, height, nullptr, nullptr, nullptr, nullptr);
}

HostedControl::HostedControl(REFCLSID clsid, int width, int height) {
  frame = MakeFrame();
  host = CreateWindowExA(0, ATLAXWIN_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, width, height, frame, nullptr, nullptr,
                         nullptr);
  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&control));
  if (control) AtlAxAttachControl(control.get(), host, nullptr);
  window = GetWindow(host, GW_CHILD);
  Pump();
}

HostedControl::~HostedControl() {
  control.Reset();
  DestroyWindow(frame);
  Pump();
}

COLORREF HostedControl::Pixel(int x, int y) const { return WindowPixel(window, x, y); }

HostedContainer::HostedContainer(int width, int height) : HostedControl(CLSID_GraphicsContainer, width, height) {
  if (control) control->QueryInterface(IID_IGraphicsContainer, reinterpret_cast<void**>(&container));
}

}  // namespace kelmira::test
