// SDL events into the window system. Input goes through the injection functions, so hit testing,
// capture, double clicks and key state work as for any other input; positions are virtual-screen
// points: the top-level window's position plus the position inside the desktop window.
#include "window/backend_sdl_backend.h"

#include "window/window_table.h"

namespace kelmira::window {
namespace {

// Waiting is done in slices so that a loop notices when its last desktop window went away.
constexpr Uint32 kWaitSliceMs = 250;

WPARAM ModifierKeys() {
  SDL_Keymod mods = SDL_GetModState();
  WPARAM keys = 0;
  if (mods & KMOD_SHIFT) keys |= MK_SHIFT;
  if (mods & KMOD_CTRL) keys |= MK_CONTROL;
  return keys;
}

// The top-level window behind an SDL window id, if it is still alive.
Window* WindowOf(const SdlBackend& backend, Uint32 id) {
  NativeWindow* native = backend.NativeById(id);
  return native ? FindWindowObject(native->hwnd) : nullptr;
}

POINT ScreenPoint(const Window& top, int x, int y) { return POINT{top.rect.left + x, top.rect.top + y}; }

bool InjectMouse(const Window& top, UINT message, int x, int y, WPARAM keys) {
  POINT p = ScreenPoint(top, x, y);
  KelmiraInjectMouse(message, p.x, p.y, keys);
  return true;
}

UINT ButtonMessage(Uint8 button, bool down, WPARAM* keys) {
  switch (button) {
    case SDL_BUTTON_LEFT: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case SDL_BUTTON_RIGHT: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case SDL_BUTTON_MIDDLE: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case SDL_BUTTON_X1: *keys |= static_cast<WPARAM>(XBUTTON1) << 16; return down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
    case SDL_BUTTON_X2: *keys |= static_cast<WPARAM>(XBUTTON2) << 16; return down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
    default: return 0;
  }
}

bool HandleButton(const SdlBackend& backend, const SDL_MouseButtonEvent& event) {
  Window* top = WindowOf(backend, event.windowID);
  WPARAM keys = ModifierKeys();
  UINT message = ButtonMessage(event.button, event.type == SDL_MOUSEBUTTONDOWN, &keys);
  if (!top || !message) return false;
  return InjectMouse(*top, message, event.x, event.y, keys);
}

WPARAM WheelKeys(int notches) {
  auto delta = static_cast<WORD>(static_cast<short>(notches * WHEEL_DELTA));
  return ModifierKeys() | (static_cast<WPARAM>(delta) << 16);
}

// SDL counts notches away from the user and to the right, as WM_MOUSEWHEEL and WM_MOUSEHWHEEL do.
bool HandleWheel(const SdlBackend& backend, const SDL_MouseWheelEvent& event) {
  Window* top = WindowOf(backend, event.windowID);
  if (!top) return false;
  int sign = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
  bool handled = false;
  if (event.y != 0) handled = InjectMouse(*top, WM_MOUSEWHEEL, event.mouseX, event.mouseY, WheelKeys(sign * event.y));
  // The horizontal wheel may have closed the window the vertical one reached.
  top = WindowOf(backend, event.windowID);
  if (top && event.x != 0)
    handled = InjectMouse(*top, WM_MOUSEHWHEEL, event.mouseX, event.mouseY, WheelKeys(sign * event.x));
  return handled;
}

bool HandleKey(const SDL_KeyboardEvent& event) {
  int vk = VirtualKeyFromSdlKeycode(event.keysym.sym);
  if (vk == 0) return false;
  // A held key repeats as further WM_KEYDOWNs, as on the desktop.
  KelmiraInjectKey(event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(vk));
  return true;
}

}  // namespace

bool SdlBackend::HandleWindowEvent(const SDL_WindowEvent& event) {
  NativeWindow* native = NativeById(event.windowID);
  Window* top = native ? FindWindowObject(native->hwnd) : nullptr;
  if (!top) return false;
  HWND hwnd = top->handle;
  switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      native->rect.right = native->rect.left + event.data1;
      native->rect.bottom = native->rect.top + event.data2;
      if (event.data1 == Width(top->rect) && event.data2 == Height(top->rect)) return false;
      SetWindowPos(hwnd, nullptr, 0, 0, event.data1, event.data2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    case SDL_WINDOWEVENT_MOVED:
      native->rect =
          RECT{event.data1, event.data2, event.data1 + Width(native->rect), event.data2 + Height(native->rect)};
      if (event.data1 == top->rect.left && event.data2 == top->rect.top) return false;
      SetWindowPos(hwnd, nullptr, event.data1, event.data2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    case SDL_WINDOWEVENT_EXPOSED:
      // The backing surface holds every pixel already: show it again, nothing to repaint.
      if (native->shown && top->backing) PresentBacking(*native, *top->backing, ClientRect(*top));
      return false;
    case SDL_WINDOWEVENT_CLOSE: PostMessageA(hwnd, WM_CLOSE, 0, 0); return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      if (GetActiveWindow() == hwnd) return false;
      SetActiveWindow(hwnd);
      return true;
    default: return false;
  }
}

bool SdlBackend::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEMOTION: {
      Window* top = WindowOf(*this, event.motion.windowID);
      return top && InjectMouse(*top, WM_MOUSEMOVE, event.motion.x, event.motion.y, ModifierKeys());
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return HandleButton(*this, event.button);
    case SDL_MOUSEWHEEL: return HandleWheel(*this, event.wheel);
    case SDL_KEYDOWN:
    case SDL_KEYUP: return HandleKey(event.key);
    case SDL_WINDOWEVENT: return HandleWindowEvent(event.window);
    default:
      // SDL_QUIT is ignored: closing arrives per window as WM_CLOSE.
      return false;
  }
}

bool SdlBackend::DrainEvents() {
  bool handled = false;
  SDL_Event event;
  while (SDL_PollEvent(&event)) handled = HandleEvent(event) || handled;
  return handled;
}

bool SdlBackend::PumpEvents(bool wait) {
  bool drained = DrainEvents();
  if (drained || !wait) return drained;
  SDL_Event event;
  while (AnyWindowShown()) {
    if (!SDL_WaitEventTimeout(&event, kWaitSliceMs)) continue;
    bool handled = HandleEvent(event);
    handled = DrainEvents() || handled;
    if (handled) return true;
  }
  return false;
}

}  // namespace kelmira::window
