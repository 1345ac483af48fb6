// Reading what a window shows out of its top-level window's backing surface.
#include "gdi/surface.h"
#include "window/window_table.h"

#include <cstring>

using namespace kelmira::window;

namespace {

// The window's area of the backing surface (surface coordinates, clipped to the surface).
bool WindowArea(HWND hwnd, BackingSurface** surface, RECT* area) {
  Window* w = LookupWindow(hwnd);
  if (!w) return false;
  Window& top = TopLevelOf(*w);
  if (!top.backing) return false;
  *surface = top.backing.get();
  POINT o = SurfaceOrigin(*w);
  *area = Intersect(Offset(ClientRect(*w), o), RECT{0, 0, top.backing->width, top.backing->height});
  return true;
}

}  // namespace

HRESULT KelmiraGetWindowPixel(HWND hwnd, int x, int y, COLORREF* color) {
  if (!color) return E_POINTER;
  Window* w = LookupWindow(hwnd);
  if (!w) return E_INVALIDARG;
  if (x < 0 || y < 0 || x >= Width(w->rect) || y >= Height(w->rect)) return E_INVALIDARG;
  BackingSurface* surface = nullptr;
  RECT area{};
  if (!WindowArea(hwnd, &surface, &area)) return E_INVALIDARG;
  POINT o = SurfaceOrigin(*w);
  LONG sx = o.x + x;
  LONG sy = o.y + y;
  if (sx < area.left || sy < area.top || sx >= area.right || sy >= area.bottom) return E_INVALIDARG;
  std::uint32_t p = surface->pixels[static_cast<std::size_t>(sy) * static_cast<std::size_t>(surface->width) +
                                    static_cast<std::size_t>(sx)];
  *color = kelmira::gdi::ColorFromPixel(p);
  return S_OK;
}

HRESULT KelmiraSaveWindowPng(HWND hwnd, const char* path) {
  if (!path) return E_INVALIDARG;
  BackingSurface* surface = nullptr;
  RECT area{};
  if (!WindowArea(hwnd, &surface, &area)) return E_INVALIDARG;
  if (IsEmpty(area)) return E_INVALIDARG;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = Width(area);
  info.bmiHeader.biHeight = -Height(area);  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return E_OUTOFMEMORY;
  auto* to = static_cast<std::uint32_t*>(bits);
  for (LONG y = area.top; y < area.bottom; ++y) {
    const std::uint32_t* from =
        surface->pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->width) + area.left;
    std::memcpy(to, from, static_cast<std::size_t>(Width(area)) * sizeof(std::uint32_t));
    to += Width(area);
  }
  HRESULT hr = KelmiraSaveBitmapPng(bitmap, path);
  DeleteObject(bitmap);
  return hr;
}
