// Process-wide tables that outlive static destruction: windows still alive when the process ends
// must not reach controls or hosts through a table that is already gone, and releasing what the
// tables hold at that point would call into torn-down window and drawing state.
#pragma once

#include <new>
#include <utility>

namespace kelmira::control {

template <class T>
class NoDestructor {
 public:
  template <class... A>
  explicit NoDestructor(A&&... args) {
    ::new (static_cast<void*>(storage_)) T(std::forward<A>(args)...);
  }
  NoDestructor(const NoDestructor&) = delete;
  NoDestructor& operator=(const NoDestructor&) = delete;

  T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace kelmira::control
