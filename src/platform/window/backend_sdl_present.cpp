// Presenting: the dirty part of a backing surface goes to the desktop window's surface.
//
// The window surface (SDL_GetWindowSurface) is used rather than a renderer: it needs no GPU,
// works with every video driver, and can be read back. SDL makes a new surface after a resize,
// so it is fetched at every present.
#include "window/backend_sdl_backend.h"

#include <algorithm>

namespace kelmira::window {

void PresentBacking(NativeWindow& native, BackingSurface& backing, const RECT& dirty) {
  SDL_Surface* target = SDL_GetWindowSurface(native.window);
  if (!target) return;
  // The two sizes differ for a moment while a resize travels between SDL and the window.
  RECT r{std::max<LONG>(dirty.left, 0), std::max<LONG>(dirty.top, 0),
         std::min<LONG>({dirty.right, backing.width, target->w}),
         std::min<LONG>({dirty.bottom, backing.height, target->h})};
  if (r.left >= r.right || r.top >= r.bottom) return;
  if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
  const std::uint32_t* source = backing.pixels.data() + static_cast<std::size_t>(r.top) * backing.width + r.left;
  auto* destination = static_cast<Uint8*>(target->pixels) + static_cast<std::ptrdiff_t>(r.top) * target->pitch +
                      r.left * target->format->BytesPerPixel;
  SDL_ConvertPixels(r.right - r.left, r.bottom - r.top, SDL_PIXELFORMAT_XRGB8888, source,
                    backing.width * static_cast<int>(sizeof(std::uint32_t)), target->format->format, destination,
                    target->pitch);
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  SDL_Rect rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  SDL_UpdateWindowSurfaceRects(native.window, &rect, 1);
  ++native.presents;
}

}  // namespace kelmira::window
