// Where a virtual member function sits in its class's vtable, read from a pointer to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kelmira::test {

// The 1-based vtable entry of a virtual member (QueryInterface is 1), 0 for one that is not
// virtual. Itanium C++ ABI: the pointer holds the entry's byte offset, marked as virtual by
// adding 1 to it, or on ARM by the low bit of the this-adjustment.
template <class F>
std::size_t EntryOf(F member) {
  struct {
    std::uintptr_t ptr;
    std::ptrdiff_t adj;
  } bits;
  static_assert(sizeof(F) == sizeof(bits));
  std::memcpy(&bits, &member, sizeof bits);
#if defined(__arm__) || defined(__aarch64__)
  return (bits.adj & 1) ? bits.ptr / sizeof(void*) + 1 : 0;
#else
  return (bits.ptr & 1) ? (bits.ptr - 1) / sizeof(void*) + 1 : 0;
#endif
}

}  // namespace kelmira::test
