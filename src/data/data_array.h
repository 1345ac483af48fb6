// Allocation of the arrays that LineData and MatrixData hand out by raw pointer.
//
// A resize builds the new array completely before the caller gives up the old one, so a failure
// leaves the caller's arrays (and every pointer handed out to them) exactly as they were.
#pragma once

#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace kelmira::data {

// Byte counts stay within the 32-bit signed range of the interfaces' sizes. A larger array counts
// as a failed allocation, decided before any memory is taken or touched.
inline constexpr std::uint64_t kMaxArrayBytes = 0x7FFFFFFF;

// An allocation's outcome: `ok` is false when memory ran out or the byte count is too large.
// A count of 0 succeeds with no array at all.
template <class T>
struct NewArray {
  std::unique_ptr<T[]> data;
  bool ok = true;
};

template <class T>
bool FitsArrayLimit(std::int64_t count) {
  return count >= 0 && static_cast<std::uint64_t>(count) <= kMaxArrayBytes / sizeof(T);
}

// A new array of newCount elements: the first min(oldCount, newCount) converted from `old`
// (which may be null when oldCount is 0), the rest set to `fill`.
template <class To, class From>
NewArray<To> CopyResized(const From* old, std::int64_t oldCount, std::int64_t newCount, To fill) noexcept {
  NewArray<To> result;
  if (newCount <= 0) return result;
  if (!FitsArrayLimit<To>(newCount)) {
    result.ok = false;
    return result;
  }
  result.ok = SUCCEEDED(
      Guarded([&] { result.data = std::make_unique_for_overwrite<To[]>(static_cast<std::size_t>(newCount)); }));
  if (!result.ok) return result;
  const std::int64_t keep = old ? std::min(oldCount, newCount) : 0;
  To* out = result.data.get();
  for (std::int64_t i = 0; i < keep; ++i) out[i] = static_cast<To>(old[i]);
  std::fill(out + keep, out + newCount, fill);
  return result;
}

// A new array of `count` elements, all set to `fill`.
template <class T>
NewArray<T> AllocateFilled(std::int64_t count, T fill) noexcept {
  return CopyResized<T, T>(nullptr, 0, count, fill);
}

}  // namespace kelmira::data
