// The arithmetic the blur kernels share. Double-precision steps go through
// SSE2 scalar instructions, so that every build (the i686 one included) rounds
// each step to binary64 exactly once: x87 code would keep wider intermediates,
// or narrower ones under the FPU precision Direct3D sets.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace tessaly {

class StrictDouble {
 public:
  StrictDouble(double v) : v_(_mm_set_sd(v)) {}  // NOLINT: literals and exact values convert freely
  static StrictDouble fromFloat(float f) { return StrictDouble(_mm_cvtss_sd(_mm_setzero_pd(), _mm_set_ss(f))); }
  static StrictDouble fromInt(std::int32_t i) { return StrictDouble(_mm_cvtsi32_sd(_mm_setzero_pd(), i)); }
  // Correctly rounded: the high half is exact, the one addition rounds once.
  static StrictDouble fromUint64(std::uint64_t u) {
    return fromUint32(static_cast<std::uint32_t>(u >> 32)) * 4294967296.0 +
           fromUint32(static_cast<std::uint32_t>(u));
  }
  static StrictDouble fromUint32(std::uint32_t u) {
    return StrictDouble(_mm_cvtsi32_sd(_mm_setzero_pd(), static_cast<std::int32_t>(u >> 1))) * 2.0 +
           StrictDouble(_mm_cvtsi32_sd(_mm_setzero_pd(), static_cast<std::int32_t>(u & 1u)));
  }

  friend StrictDouble operator+(StrictDouble a, StrictDouble b) { return StrictDouble(_mm_add_sd(a.v_, b.v_)); }
  friend StrictDouble operator-(StrictDouble a, StrictDouble b) { return StrictDouble(_mm_sub_sd(a.v_, b.v_)); }
  friend StrictDouble operator*(StrictDouble a, StrictDouble b) { return StrictDouble(_mm_mul_sd(a.v_, b.v_)); }
  friend StrictDouble operator/(StrictDouble a, StrictDouble b) { return StrictDouble(_mm_div_sd(a.v_, b.v_)); }
  // Ordered comparisons: false when either side is NaN.
  friend bool operator>=(StrictDouble a, StrictDouble b) { return _mm_comige_sd(a.v_, b.v_) != 0; }
  friend bool operator<(StrictDouble a, StrictDouble b) { return _mm_comilt_sd(a.v_, b.v_) != 0; }
  StrictDouble sqrt() const { return StrictDouble(_mm_sqrt_sd(v_, v_)); }
  StrictDouble abs() const { return StrictDouble(_mm_andnot_pd(_mm_set_sd(-0.0), v_)); }

  // Rounded to nearest single precision.
  float toFloat() const { return _mm_cvtss_f32(_mm_cvtsd_ss(_mm_setzero_ps(), v_)); }
  // Truncated toward zero; NaN and values outside 32 bits give INT32_MIN.
  std::int32_t truncate() const { return _mm_cvttsd_si32(v_); }
  __m128d vector() const { return v_; }

 private:
  explicit StrictDouble(__m128d v) : v_(v) {}
  __m128d v_;
};

// R(v): v + 0.5 truncated toward zero, the low 8 bits of that integer kept.
// The kernels give v in 0..255; the recursive Gaussian's v is a float, and a
// float of 2^31 or more in magnitude is a multiple of 256, so its low byte is
// 0. NaN also gives 0.
inline std::uint8_t roundToByte(StrictDouble v) {
  const StrictDouble t = v + 0.5;
  if (!(t.abs() < 2147483648.0)) return 0;
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(t.truncate()) & 0xFFu);
}

// R(sum / count) for a sum of count bytes: the mean rounded half up, in
// integers. Equal to the double-precision form, since a mean that is not a
// tie lies at least 1 / (2 count) from one, far above double's error here.
inline std::uint8_t roundedMean(std::uint64_t sum, std::uint64_t count) {
  return static_cast<std::uint8_t>((sum + count / 2) / count);
}

}  // namespace tessaly
