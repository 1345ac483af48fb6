// Owners for the drawing objects a component makes while it draws: a pen, brush, bitmap or font
// it created, an object selected into a device context for a scope, a memory device context and
// a window's device context. Each gives its object back (deletes, selects back, releases) when
// its scope ends, on every path.
#pragma once

#include <kelmira/platform.h>

#include <utility>

namespace kelmira::common {

// One pen, brush, bitmap or font. Delete() keeps the handle when the deletion fails (the object
// is still selected into a device context, as a layer's bitmap is while that layer draws), so it
// is neither lost nor left dangling; Reset(h) replaces it.
template <class H>
class UniqueGdiObject {
 public:
  UniqueGdiObject() = default;
  explicit UniqueGdiObject(H handle) : handle_(handle) {}
  UniqueGdiObject(UniqueGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueGdiObject& operator=(UniqueGdiObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueGdiObject(const UniqueGdiObject&) = delete;
  UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
  ~UniqueGdiObject() { Delete(); }

  void Delete() {
    if (handle_ && DeleteObject(handle_)) handle_ = nullptr;
  }
  void Reset(H handle = nullptr) {
    Delete();
    handle_ = handle;
  }
  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  H handle_ = nullptr;
};

// Selects an object into a device context and selects the previous one back when the scope ends.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (previous_) SelectObject(dc_, previous_);
  }
  // False when there was nothing to select or the context refused it (a stale handle): draw
  // nothing then.
  bool Selected() const { return previous_ != nullptr; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A memory device context compatible with another one.
class UniqueMemoryDc {
 public:
  explicit UniqueMemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  UniqueMemoryDc(const UniqueMemoryDc&) = delete;
  UniqueMemoryDc& operator=(const UniqueMemoryDc&) = delete;
  ~UniqueMemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// The device context of a whole window, outside painting.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(hwnd ? GetDC(hwnd) : nullptr) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

}  // namespace kelmira::common
