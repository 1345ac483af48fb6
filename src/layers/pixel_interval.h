// The values that the point rule puts on one pixel row (or column), found exactly: the rule keeps
// the order of values, so they form one interval of floats (or doubles), and a block of eight
// values can then be tested against the pixel with eight comparisons instead of eight
// conversions.
#pragma once

#include <kelmira/platform.h>

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace kelmira::layers {

template <class T>
class PixelInterval {
  using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;

 public:
  // Learns the interval of `pixel`, which `at` lies on, with pixelOf(value) giving a value's
  // pixel; guess1 and guess2 are values near its two ends (any order, NaN for none). False, and
  // nothing known, for the pixels at the ends of the 32-bit range, which clamped values share.
  template <class PixelOf>
  bool Learn(const PixelOf& pixelOf, LONG pixel, T at, double guess1, double guess2) {
    known_ = false;
    if (pixel == INT32_MIN || pixel == INT32_MAX || at != at) return false;
    auto on = [&](Bits o) { return pixelOf(FromOrdered(o)) == pixel; };
    const T a = static_cast<T>(guess1), b = static_cast<T>(guess2);
    low_ = FromOrdered(Extend(on, Ordered(at), false, std::min(a, b)));
    high_ = FromOrdered(Extend(on, Ordered(at), true, std::max(a, b)));
    pixel_ = pixel;
    known_ = true;
    return true;
  }
  bool Knows(LONG pixel) const { return known_ && pixel == pixel_; }
  bool Known() const { return known_; }
  LONG Pixel() const { return pixel_; }

  // All eight values on the pixel (a NaN is not).
  bool AllIn(const T* v) const {
    if constexpr (sizeof(T) == 4) {
      const __m128 lo = _mm_set1_ps(low_), hi = _mm_set1_ps(high_);
      const __m128 a = _mm_loadu_ps(v), b = _mm_loadu_ps(v + 4);
      return _mm_movemask_ps(_mm_and_ps(_mm_and_ps(_mm_cmpge_ps(a, lo), _mm_cmple_ps(a, hi)),
                                        _mm_and_ps(_mm_cmpge_ps(b, lo), _mm_cmple_ps(b, hi)))) == 0xF;
    } else {
      const __m128d lo = _mm_set1_pd(low_), hi = _mm_set1_pd(high_);
      __m128d in = _mm_castsi128_pd(_mm_set1_epi32(-1));
      for (int k = 0; k < 8; k += 2) {
        const __m128d x = _mm_loadu_pd(v + k);
        in = _mm_and_pd(in, _mm_and_pd(_mm_cmpge_pd(x, lo), _mm_cmple_pd(x, hi)));
      }
      return _mm_movemask_pd(in) == 0x3;
    }
  }

 private:
  static constexpr Bits kSign = Bits{1} << (sizeof(T) * 8 - 1);

  // Values as unsigned numbers in their own order (NaNs beyond the infinities).
  static Bits Ordered(T f) {
    Bits u = 0;
    std::memcpy(&u, &f, sizeof u);
    return (u & kSign) ? ~u : (u | kSign);
  }
  static T FromOrdered(Bits o) {
    const Bits u = (o & kSign) ? (o & ~kSign) : ~o;
    T f = 0;
    std::memcpy(&f, &u, sizeof f);
    return f;
  }

  // The last ordered value from `inside` upwards (or downwards) still on the pixel: the guess if
  // it is, then steps that double (back from the guess when it is just off), then halving; never
  // beyond the infinity on that side.
  template <class On>
  static Bits Extend(const On& on, Bits inside, bool up, T guess) {
    const Bits limit = Ordered(up ? INFINITY : -INFINITY);
    // How far b lies beyond a (huge when it lies behind), and a moved by some.
    auto distance = [up](Bits a, Bits b) { return up ? b - a : a - b; };
    auto move = [up](Bits a, Bits by) { return up ? a + by : a - by; };
    Bits outside = inside;
    bool bounded = false;  // outside is off the pixel
    if (guess == guess) {
      const Bits g = Ordered(guess);
      const Bits ahead = distance(inside, g);
      if (ahead > 0 && ahead <= distance(inside, limit)) {
        if (on(g)) {
          inside = g;
        } else {
          // A guess just past the end: the end is a few steps back from it, not from `inside`.
          outside = g;
          bounded = true;
          for (Bits by = 1; distance(inside, outside) > 1; by = std::min<Bits>(by, kSign >> 1) * 2) {
            const Bits gap = distance(inside, outside);
            const Bits probe = move(inside, gap - std::min(by, gap - 1));
            if (on(probe)) {
              inside = probe;
              break;
            }
            outside = probe;
          }
        }
      }
    }
    for (Bits by = 1; !bounded; by = std::min<Bits>(by, kSign >> 1) * 2) {
      const Bits room = distance(inside, limit);
      if (room == 0) return inside;
      const Bits probe = move(inside, std::min(by, room));
      if (!on(probe)) {
        outside = probe;
        bounded = true;
      } else {
        inside = probe;
      }
    }
    while (distance(inside, outside) > 1) {
      const Bits mid = move(inside, distance(inside, outside) / 2);
      (on(mid) ? inside : outside) = mid;
    }
    return inside;
  }

  bool known_ = false;
  LONG pixel_ = 0;
  T low_ = 0, high_ = 0;
};

// Guesses for the ends of a pixel's interval: the values at the edges of the pixel's stretch of
// the unclamped coordinate (p > 0 comes from [p, p + 1), p < 0 from (p - 1, p], 0 from (-1, 1)),
// through value = origin + (coordinate - edge) / scale, with scale (signed) pixels per unit.
inline std::pair<double, double> PixelEdgeGuesses(LONG pixel, double origin, double edge, double scale) {
  const double lowEdge = pixel > 0 ? pixel : pixel - 1.0, highEdge = pixel < 0 ? pixel : pixel + 1.0;
  return {origin + (lowEdge - edge) / scale, origin + (highEdge - edge) / scale};
}

}  // namespace kelmira::layers
