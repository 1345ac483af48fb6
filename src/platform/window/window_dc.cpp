// Device contexts over windows.
//
// A window DC is a gdi surface DC over the top-level window's backing surface, with the
// window's client origin as device origin and its visible area as device clip. The device clip
// is one rectangle, so the WS_CLIPCHILDREN / WS_CLIPSIBLINGS exclusions are done by saving the
// pixels of the excluded windows when the DC is made and putting them back when it is released:
// what the window draws never shows over them once the DC is released.
#include "window/window_dc.h"

#include "gdi/device_context.h"
#include "window/backend.h"
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>

namespace kelmira::window {
namespace {

struct SavedPixels {
  RECT rect;  // surface coordinates
  std::vector<std::uint32_t> pixels;
};

struct DcRecord {
  HDC hdc = nullptr;
  HWND hwnd = nullptr;  // null for the screen DC
  HWND top = nullptr;
  RECT clip{0, 0, 0, 0};  // surface coordinates
  std::vector<SavedPixels> saved;
  bool dead = false;  // the window is gone: the DC draws nothing
};

std::vector<DcRecord>& Records() {
  static std::vector<DcRecord> records;
  return records;
}

DcRecord* FindRecord(HDC hdc) {
  for (DcRecord& r : Records())
    if (r.hdc == hdc) return &r;
  return nullptr;
}

SavedPixels Save(BackingSurface& s, const RECT& r) {
  SavedPixels saved{r, {}};
  saved.pixels.reserve(static_cast<std::size_t>(Width(r)) * static_cast<std::size_t>(Height(r)));
  for (LONG y = r.top; y < r.bottom; ++y) {
    const std::uint32_t* row = s.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width);
    saved.pixels.insert(saved.pixels.end(), row + r.left, row + r.right);
  }
  return saved;
}

void Restore(BackingSurface& s, const SavedPixels& saved) {
  const RECT& r = saved.rect;
  if (r.right > s.width || r.bottom > s.height) return;  // the surface shrank since
  const std::uint32_t* from = saved.pixels.data();
  for (LONG y = r.top; y < r.bottom; ++y) {
    std::uint32_t* row = s.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width);
    std::copy(from, from + Width(r), row + r.left);
    from += Width(r);
  }
}

void SaveIfVisible(const Window& w, POINT parentOrigin, const RECT& clip, BackingSurface& s,
                   std::vector<SavedPixels>& out) {
  if (!(w.style & WS_VISIBLE)) return;
  RECT r = Intersect(clip, Offset(w.rect, parentOrigin));
  if (!IsEmpty(r)) out.push_back(Save(s, r));
}

std::vector<SavedPixels> SaveExclusions(const Window& w, const RECT& clip, BackingSurface& s) {
  std::vector<SavedPixels> saved;
  if (IsEmpty(clip)) return saved;
  if (w.style & WS_CLIPCHILDREN) {
    POINT origin = SurfaceOrigin(w);
    for (const Window* c : w.children) SaveIfVisible(*c, origin, clip, s, saved);
  }
  for (const Window* a = &w; a->parent; a = a->parent) {
    if (!(a->style & WS_CLIPSIBLINGS)) continue;
    POINT origin = SurfaceOrigin(*a->parent);
    for (const Window* sibling : a->parent->children) {
      if (sibling == a) break;  // the rest are below
      SaveIfVisible(*sibling, origin, clip, s, saved);
    }
  }
  return saved;
}

HDC ScreenDC() {
  HDC hdc = CreateCompatibleDC(nullptr);
  if (hdc) Records().push_back(DcRecord{hdc, nullptr, nullptr, RECT{0, 0, 0, 0}, {}, true});
  return hdc;
}

}  // namespace

RECT VisibleSurfaceRect(const Window& w) {
  if (!IsVisibleChain(w)) return RECT{0, 0, 0, 0};
  RECT r = Offset(ClientRect(w), SurfaceOrigin(w));
  for (const Window* a = w.parent; a; a = a->parent) r = Intersect(r, Offset(ClientRect(*a), SurfaceOrigin(*a)));
  const Window* top = &w;
  while (top->parent) top = top->parent;
  if (top->backing) r = Intersect(r, RECT{0, 0, top->backing->width, top->backing->height});
  return IsEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

HDC MakeWindowDC(Window& w, const RECT* clientClip) {
  Window& top = TopLevelOf(w);
  if (!top.backing) return nullptr;
  HDC hdc = gdi::CreateSurfaceDC(top.backing->View());
  gdi::DeviceContext* dc = gdi::LookupDC(hdc);
  if (!dc) return nullptr;
  POINT origin = SurfaceOrigin(w);
  gdi::SetDeviceOrigin(*dc, origin);
  RECT clip = VisibleSurfaceRect(w);
  if (clientClip) clip = Intersect(clip, Offset(*clientClip, origin));
  gdi::SetDeviceClip(*dc, clip);
  Records().push_back(DcRecord{hdc, w.handle, top.handle, clip, SaveExclusions(w, clip, *top.backing), false});
  return hdc;
}

bool ReleaseWindowDC(HDC hdc) {
  DcRecord* record = FindRecord(hdc);
  if (!record) return false;
  DcRecord r = std::move(*record);
  std::erase_if(Records(), [hdc](const DcRecord& x) { return x.hdc == hdc; });
  Window* top = r.dead ? nullptr : FindWindowObject(r.top);
  if (top && top->backing) {
    for (auto it = r.saved.rbegin(); it != r.saved.rend(); ++it) Restore(*top->backing, *it);
    if (!IsEmpty(r.clip)) CurrentBackend().Present(*top, r.clip);
  }
  DeleteDC(hdc);
  return true;
}

HWND WindowOfDC(HDC hdc) {
  DcRecord* r = FindRecord(hdc);
  if (!r || !r->hwnd || !FindWindowObject(r->hwnd)) return nullptr;
  return r->hwnd;
}

void SurfaceReallocated(Window& top) {
  for (DcRecord& r : Records()) {
    if (r.dead || r.top != top.handle) continue;
    if (gdi::DeviceContext* dc = gdi::LookupDC(r.hdc)) gdi::SetDeviceSurface(*dc, top.backing->View());
    r.saved.clear();
  }
}

void WindowFreed(Window& w) {
  for (DcRecord& r : Records()) {
    if (r.dead || (r.hwnd != w.handle && r.top != w.handle)) continue;
    r.dead = true;
    r.saved.clear();
    if (gdi::DeviceContext* dc = gdi::LookupDC(r.hdc)) gdi::SetDeviceSurface(*dc, gdi::Surface{});
  }
}

}  // namespace kelmira::window

using namespace kelmira::window;

HDC GetDC(HWND hWnd) {
  if (!hWnd) return CheckWindowThread() ? ScreenDC() : nullptr;
  Window* w = LookupWindow(hWnd);
  if (!w) return nullptr;
  return MakeWindowDC(*w, nullptr);
}

HDC GetWindowDC(HWND hWnd) { return GetDC(hWnd); }

int ReleaseDC(HWND hWnd, HDC hDC) {
  (void)hWnd;
  if (!CheckWindowThread()) return 0;
  return ReleaseWindowDC(hDC) ? 1 : 0;
}

HWND WindowFromDC(HDC hDC) { return WindowOfDC(hDC); }
