// Choosing the display back-end, and the backing surfaces every back-end presents.
#include "window/backend.h"

#include "window/window_dc.h"
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace kelmira::window {
namespace {

constexpr std::uint32_t kInitialPixel = 0x00FFFFFF;  // white until painted
// A backing surface never exceeds this in either direction (1 GiB at most); a larger window
// draws only into this part.
constexpr int kMaxSurfaceSide = 16384;

std::map<std::string, BackendFactory>& Factories() {
  static std::map<std::string, BackendFactory> factories{{"headless", &MakeHeadlessBackend}};
  return factories;
}

std::unique_ptr<Backend>& Current() {
  static std::unique_ptr<Backend> current;
  return current;
}

std::unique_ptr<Backend> Make(const std::string& name) {
  auto it = Factories().find(name);
  if (it == Factories().end() || !it->second) return nullptr;
  return it->second();
}

}  // namespace

void RegisterBackend(const char* name, BackendFactory factory) {
  if (name && factory) Factories()[name] = factory;
}

Backend& CurrentBackend() {
  std::unique_ptr<Backend>& current = Current();
  if (current) return *current;
  if (const char* env = std::getenv("KELMIRA_DISPLAY")) current = Make(env);
  if (!current) current = MakeHeadlessBackend();
  return *current;
}

void ResizeBacking(Window& top) {
  if (!top.backing) return;
  BackingSurface& old = *top.backing;
  int width = std::clamp(Width(top.rect), 0, kMaxSurfaceSide);
  int height = std::clamp(Height(top.rect), 0, kMaxSurfaceSide);
  if (width == old.width && height == old.height) return;
  std::vector<std::uint32_t> pixels;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (FAILED(Guarded([&] { pixels.assign(count, kInitialPixel); })))
    width = height = 0;  // no memory for the picture: the window draws nothing
  int keepWidth = std::min(width, old.width);
  int keepHeight = std::min(height, old.height);
  for (int y = 0; y < keepHeight; ++y) {
    const std::uint32_t* from = old.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(old.width);
    std::copy(from, from + keepWidth, pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width));
  }
  old.pixels = std::move(pixels);
  old.width = width;
  old.height = height;
  SurfaceReallocated(top);
}

}  // namespace kelmira::window

using namespace kelmira::window;

HRESULT KelmiraSetDisplayBackend(const char* name) {
  if (!name) return E_INVALIDARG;
  if (!CheckWindowThread()) return E_ACCESSDENIED;
  if (WindowCount() > 0) return E_ACCESSDENIED;
  if (Factories().find(name) == Factories().end()) return E_INVALIDARG;
  std::unique_ptr<Backend> backend = Make(name);
  if (!backend) return E_FAIL;
  Current() = std::move(backend);
  return S_OK;
}

const char* KelmiraGetDisplayBackend() { return CurrentBackend().Name(); }
