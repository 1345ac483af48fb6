// Owners for the drawing objects the container keeps or makes while it paints: a bitmap handle
// (kept in a layer record or as the composite), a memory device context, and a selection that is
// undone when the scope ends.
#pragma once

#include <kelmira/platform.h>

#include <utility>

namespace kelmira::container {

// One device-dependent bitmap. Delete() clears the handle only when the deletion succeeds.
class OwnedBitmap {
 public:
  OwnedBitmap() = default;
  explicit OwnedBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  OwnedBitmap(OwnedBitmap&& other) noexcept : bitmap_(std::exchange(other.bitmap_, nullptr)) {}
  OwnedBitmap& operator=(OwnedBitmap&& other) noexcept {
    if (this != &other) {
      Delete();
      bitmap_ = std::exchange(other.bitmap_, nullptr);
    }
    return *this;
  }
  OwnedBitmap(const OwnedBitmap&) = delete;
  OwnedBitmap& operator=(const OwnedBitmap&) = delete;
  ~OwnedBitmap() { Delete(); }

  void Delete() {
    if (bitmap_ && DeleteObject(bitmap_)) bitmap_ = nullptr;
  }
  HBITMAP get() const { return bitmap_; }
  explicit operator bool() const { return bitmap_ != nullptr; }

 private:
  HBITMAP bitmap_ = nullptr;
};

// A memory device context compatible with another one, deleted at the end of the scope.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a context and selects the previous one back at the end of the scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace kelmira::container
