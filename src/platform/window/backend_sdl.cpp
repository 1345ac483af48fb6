// The SDL back-end: starting SDL, the desktop windows of top-level windows, the cursor.
#include "window/backend_sdl_backend.h"

#include "com/codepage.h"
#include "window/window_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace kelmira::window {
namespace {

// Drivers that open no window anyone can see; SDL falls back to them when there is no display.
bool DrawsNowhere(const char* driver) {
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool DriverAskedFor(const char* driver) {
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  return asked && driver && std::strstr(asked, driver) != nullptr;
}

void ReportStartFailure(const char* reason) {
  std::fprintf(stderr, "kelmira: the SDL display back-end cannot start: %s\n", reason);
}

// Window titles are Windows-1252; SDL wants UTF-8.
std::string Utf8Title(const std::string& text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (char c : text) wide.push_back(codepage::FromWindows1252(static_cast<unsigned char>(c)));
  return codepage::Utf16ToUtf8(wide);
}

Uint32 CreationFlags(const Window& top) {
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (top.style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
  // An overlapped window always has a caption; a pop-up only when it asks for one.
  if ((top.style & WS_POPUP) && (top.style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
  return flags;
}

SDL_SystemCursor SystemCursorFor(HCURSOR cursor) {
  struct Pair {
    LPCSTR id;
    SDL_SystemCursor sdl;
  };
  static const Pair kCursors[] = {
      {IDC_IBEAM, SDL_SYSTEM_CURSOR_IBEAM},
      {IDC_WAIT, SDL_SYSTEM_CURSOR_WAIT},
      {IDC_CROSS, SDL_SYSTEM_CURSOR_CROSSHAIR},
      {IDC_APPSTARTING, SDL_SYSTEM_CURSOR_WAITARROW},
      {IDC_SIZENWSE, SDL_SYSTEM_CURSOR_SIZENWSE},
      {IDC_SIZENESW, SDL_SYSTEM_CURSOR_SIZENESW},
      {IDC_SIZEWE, SDL_SYSTEM_CURSOR_SIZEWE},
      {IDC_SIZENS, SDL_SYSTEM_CURSOR_SIZENS},
      {IDC_SIZEALL, SDL_SYSTEM_CURSOR_SIZEALL},
      {IDC_SIZE, SDL_SYSTEM_CURSOR_SIZEALL},
      {IDC_NO, SDL_SYSTEM_CURSOR_NO},
      {IDC_HAND, SDL_SYSTEM_CURSOR_HAND},
  };
  for (const Pair& pair : kCursors) {
    if (LoadCursorA(nullptr, pair.id) == cursor) return pair.sdl;
  }
  return SDL_SYSTEM_CURSOR_ARROW;
}

SdlBackend* ActiveSdlBackend() { return dynamic_cast<SdlBackend*>(&CurrentBackend()); }

NativeWindow* NativeOfHandle(HWND hwnd) {
  SdlBackend* backend = ActiveSdlBackend();
  Window* w = FindWindowObject(hwnd);
  return backend && w ? backend->NativeOf(*w) : nullptr;
}

const bool kRegistered = (RegisterBackend("sdl", &MakeSdlBackend), true);

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend() {
  (void)kRegistered;
  // Ctrl-C should end the host as it ends any program, not become an SDL_QUIT nobody reads.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Window surfaces stay plain memory framebuffers: presenting is a copy, and no GL driver is
  // loaded just to show a bitmap.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    ReportStartFailure(SDL_GetError());
    return nullptr;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  if (DrawsNowhere(driver) && !DriverAskedFor(driver)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    ReportStartFailure("no display (set DISPLAY or WAYLAND_DISPLAY, or use the headless back-end)");
    return nullptr;
  }
  // Characters come from TranslateMessage, not from SDL's text input.
  SDL_StopTextInput();
  return std::make_unique<SdlBackend>();
}

SdlBackend::SdlBackend() = default;

// Back-ends are only replaced while no window exists, so windows left here belong to a process
// that is exiting: their records may already be gone and are not touched.
SdlBackend::~SdlBackend() {
  for (auto& [id, native] : windows_) SDL_DestroyWindow(native->window);
  windows_.clear();
  for (SDL_Cursor* cursor : cursors_) {
    if (cursor) SDL_FreeCursor(cursor);
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

SIZE SdlBackend::ScreenSize() const {
  SIZE size{0, 0};
  int displays = SDL_GetNumVideoDisplays();
  for (int i = 0; i < displays; ++i) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(i, &bounds) != 0) continue;
    size.cx = std::max<LONG>(size.cx, bounds.x + bounds.w);
    size.cy = std::max<LONG>(size.cy, bounds.y + bounds.h);
  }
  if (size.cx <= 0 || size.cy <= 0) return SIZE{1920, 1080};
  return size;
}

NativeWindow* SdlBackend::NativeOf(const Window& top) const {
  auto* native = static_cast<NativeWindow*>(top.backendData);
  if (!native || !NativeById(native->id)) return nullptr;
  return native;
}

NativeWindow* SdlBackend::NativeById(Uint32 id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second.get();
}

bool SdlBackend::AnyWindowShown() const {
  return std::any_of(windows_.begin(), windows_.end(), [](const auto& entry) { return entry.second->shown; });
}

NativeWindow* SdlBackend::Create(Window& top) {
  int width = std::max(1, Width(top.rect));
  int height = std::max(1, Height(top.rect));
  SDL_Window* window =
      SDL_CreateWindow(Utf8Title(top.text).c_str(), top.rect.left, top.rect.top, width, height, CreationFlags(top));
  if (!window) {
    std::fprintf(stderr, "kelmira: SDL_CreateWindow failed: %s\n", SDL_GetError());
    return nullptr;
  }
  auto native = std::make_unique<NativeWindow>();
  native->window = window;
  native->id = SDL_GetWindowID(window);
  native->hwnd = top.handle;
  native->rect = RECT{top.rect.left, top.rect.top, top.rect.left + width, top.rect.top + height};
  // Owned windows (message boxes, dialogs) stay above their owner.
  if (Window* owner = FindWindowObject(top.owner)) {
    if (NativeWindow* ownerNative = NativeOf(TopLevelOf(*owner))) {
      SDL_SetWindowModalFor(window, ownerNative->window);
    }
  }
  NativeWindow* result = native.get();
  windows_[native->id] = std::move(native);
  top.backendData = result;
  return result;
}

void SdlBackend::WindowShown(Window& top) {
  NativeWindow* native = NativeOf(top);
  if (!native) native = Create(top);
  if (!native) return;
  SDL_ShowWindow(native->window);
  native->shown = true;
  if (top.backing) PresentBacking(*native, *top.backing, ClientRect(top));
}

void SdlBackend::WindowHidden(Window& top) {
  NativeWindow* native = NativeOf(top);
  if (!native) return;
  SDL_HideWindow(native->window);
  native->shown = false;
}

void SdlBackend::WindowDestroyed(Window& top) {
  NativeWindow* native = NativeOf(top);
  top.backendData = nullptr;
  if (!native) return;
  SDL_DestroyWindow(native->window);
  windows_.erase(native->id);
}

void SdlBackend::WindowMoved(Window& top) {
  NativeWindow* native = NativeOf(top);
  if (!native) return;
  // Only what differs from where SDL put the window: a move that came from SDL stops here.
  int width = std::max(1, Width(top.rect));
  int height = std::max(1, Height(top.rect));
  if (width != Width(native->rect) || height != Height(native->rect)) SDL_SetWindowSize(native->window, width, height);
  if (top.rect.left != native->rect.left || top.rect.top != native->rect.top) {
    SDL_SetWindowPosition(native->window, top.rect.left, top.rect.top);
  }
  native->rect = RECT{top.rect.left, top.rect.top, top.rect.left + width, top.rect.top + height};
}

void SdlBackend::WindowTextChanged(Window& top) {
  if (NativeWindow* native = NativeOf(top)) SDL_SetWindowTitle(native->window, Utf8Title(top.text).c_str());
}

void SdlBackend::Present(Window& top, const RECT& dirty) {
  NativeWindow* native = NativeOf(top);
  if (!native || !native->shown || !top.backing) return;
  PresentBacking(*native, *top.backing, dirty);
}

void SdlBackend::CursorChanged(HCURSOR cursor, bool visible) {
  // SetCursor(NULL) hides the cursor as ShowCursor(FALSE) does.
  SDL_ShowCursor(visible && cursor ? SDL_ENABLE : SDL_DISABLE);
  if (!cursor) return;
  SDL_SystemCursor id = SystemCursorFor(cursor);
  if (!cursors_[id]) cursors_[id] = SDL_CreateSystemCursor(id);
  if (cursors_[id]) SDL_SetCursor(cursors_[id]);
}

void SdlBackend::CursorMoved(POINT screen) {
  for (const auto& [id, native] : windows_) {
    const RECT& r = native->rect;
    if (native->shown && screen.x >= r.left && screen.x < r.right && screen.y >= r.top && screen.y < r.bottom) {
      SDL_WarpMouseInWindow(native->window, screen.x - r.left, screen.y - r.top);
      return;
    }
  }
  SDL_WarpMouseGlobal(screen.x, screen.y);
}

std::uint32_t SdlWindowIdOf(HWND hwnd) {
  NativeWindow* native = NativeOfHandle(hwnd);
  return native ? native->id : 0;
}

unsigned SdlPresentCountOf(HWND hwnd) {
  NativeWindow* native = NativeOfHandle(hwnd);
  return native ? native->presents : 0;
}

}  // namespace kelmira::window
