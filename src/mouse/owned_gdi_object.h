// One owned pen, brush or other drawing object, deleted when the owner lets go.
#pragma once

#include <kelmira/platform.h>

#include <utility>

namespace kelmira::mouse {

template <class H>
class OwnedGdiObject {
 public:
  OwnedGdiObject() = default;
  explicit OwnedGdiObject(H handle) : handle_(handle) {}
  OwnedGdiObject(const OwnedGdiObject&) = delete;
  OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
  ~OwnedGdiObject() { Reset(); }

  void Reset(H handle = nullptr) {
    if (H old = std::exchange(handle_, handle)) DeleteObject(old);
  }
  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  H handle_ = nullptr;
};

}  // namespace kelmira::mouse
