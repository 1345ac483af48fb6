#include "window/double_click.h"

#include <cstdlib>

namespace kelmira::window {
namespace {

// The second press must land within the double-click rectangle centred on the first one.
bool CloseEnough(POINT a, POINT b) {
  return std::abs(a.x - b.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
         std::abs(a.y - b.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
}

bool PairsWith(const LastPress& last, const Window& w, UINT press, WORD xbutton, DWORD time, POINT screen) {
  if (last.message != press || last.hwnd != w.handle || last.xbutton != xbutton) return false;
  // Unsigned difference: a clock that wrapped still counts forwards, an earlier time never pairs.
  if (time - last.time >= Input().doubleClickTime) return false;
  return CloseEnough(last.pt, screen);
}

// Double-click messages follow their button's press: 0x201 -> 0x203, ..., 0x20B -> 0x20D.
constexpr UINT kDoubleClickOffset = WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;

}  // namespace

UINT ClassifyPress(const Window& w, UINT press, WORD xbutton, DWORD time, POINT screen) {
  LastPress& last = Input().lastPress;
  bool wantsDoubleClicks = w.cls && (w.cls->style & CS_DBLCLKS);
  if (wantsDoubleClicks && PairsWith(last, w, press, xbutton, time, screen)) {
    last.message = 0;
    return press + kDoubleClickOffset;
  }
  last = LastPress{w.handle, press, xbutton, time, screen};
  return press;
}

}  // namespace kelmira::window

using namespace kelmira::window;

UINT GetDoubleClickTime() { return Input().doubleClickTime; }

BOOL SetDoubleClickTime(UINT uInterval) {
  Input().doubleClickTime = uInterval ? uInterval : kDefaultDoubleClickTime;
  return TRUE;
}
