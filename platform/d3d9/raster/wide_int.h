// A signed 128-bit integer for the rasteriser's exact edge tests: WideInt is
// the compiler's own where it has one, else Int128Limbs, two 64-bit limbs in
// two's complement (32-bit targets). Int128Limbs wraps as the built-in type
// does; division truncates towards zero and the remainder takes the
// numerator's sign.
#pragma once

#include <cstdint>

namespace swd3d::raster {

class Int128Limbs {
 public:
  constexpr Int128Limbs() = default;
  constexpr Int128Limbs(std::int64_t value)  // NOLINT: converts like the built-in type
      : lo_(static_cast<std::uint64_t>(value)), hi_(value < 0 ? ~std::uint64_t{0} : 0) {}
  constexpr Int128Limbs(int value) : Int128Limbs(static_cast<std::int64_t>(value)) {}  // NOLINT

  // The low 64 bits, as a cast of the built-in type gives them.
  explicit constexpr operator std::int64_t() const { return static_cast<std::int64_t>(lo_); }
  explicit constexpr operator int() const { return static_cast<int>(lo_); }

  friend constexpr Int128Limbs operator+(Int128Limbs a, Int128Limbs b) {
    const std::uint64_t lo = a.lo_ + b.lo_;
    return Int128Limbs(lo, a.hi_ + b.hi_ + (lo < a.lo_ ? 1 : 0));
  }
  friend constexpr Int128Limbs operator-(Int128Limbs a) { return Int128Limbs(~a.lo_, ~a.hi_) + Int128Limbs(1); }
  friend constexpr Int128Limbs operator-(Int128Limbs a, Int128Limbs b) { return a + -b; }
  friend constexpr Int128Limbs operator*(Int128Limbs a, Int128Limbs b) {
    Int128Limbs product = wideProduct(a.lo_, b.lo_);
    product.hi_ += a.hi_ * b.lo_ + a.lo_ * b.hi_;
    return product;
  }
  friend constexpr Int128Limbs operator/(Int128Limbs a, Int128Limbs b) {
    Int128Limbs quotient, remainder;
    divide(a, b, quotient, remainder);
    return quotient;
  }
  friend constexpr Int128Limbs operator%(Int128Limbs a, Int128Limbs b) {
    Int128Limbs quotient, remainder;
    divide(a, b, quotient, remainder);
    return remainder;
  }

  friend constexpr bool operator==(Int128Limbs a, Int128Limbs b) = default;
  friend constexpr bool operator<(Int128Limbs a, Int128Limbs b) {
    const auto aHi = static_cast<std::int64_t>(a.hi_);
    const auto bHi = static_cast<std::int64_t>(b.hi_);
    return aHi != bHi ? aHi < bHi : a.lo_ < b.lo_;
  }
  friend constexpr bool operator>(Int128Limbs a, Int128Limbs b) { return b < a; }
  friend constexpr bool operator<=(Int128Limbs a, Int128Limbs b) { return !(b < a); }
  friend constexpr bool operator>=(Int128Limbs a, Int128Limbs b) { return !(a < b); }

  Int128Limbs& operator+=(Int128Limbs other) { return *this = *this + other; }
  Int128Limbs& operator-=(Int128Limbs other) { return *this = *this - other; }
  Int128Limbs& operator--() { return *this = *this - Int128Limbs(1); }

 private:
  constexpr Int128Limbs(std::uint64_t lo, std::uint64_t hi) : lo_(lo), hi_(hi) {}

  // The full 128-bit product of two 64-bit numbers, from 32-bit halves.
  static constexpr Int128Limbs wideProduct(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t aLo = a & 0xFFFFFFFFu, aHi = a >> 32;
    const std::uint64_t bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
    const std::uint64_t lowLow = aLo * bLo;
    const std::uint64_t middle1 = aHi * bLo + (lowLow >> 32);
    const std::uint64_t middle2 = aLo * bHi + (middle1 & 0xFFFFFFFFu);
    const std::uint64_t lo = (middle2 << 32) | (lowLow & 0xFFFFFFFFu);
    const std::uint64_t hi = aHi * bHi + (middle1 >> 32) + (middle2 >> 32);
    return Int128Limbs(lo, hi);
  }

  // Long division of the magnitudes, a bit a step; the rasteriser divides
  // this wide only for coordinates beyond 32768 pixels.
  static constexpr void divide(Int128Limbs a, Int128Limbs b, Int128Limbs& quotient,
                               Int128Limbs& remainder) {
    const bool aNegative = static_cast<std::int64_t>(a.hi_) < 0;
    const bool bNegative = static_cast<std::int64_t>(b.hi_) < 0;
    const Int128Limbs n = aNegative ? -a : a;
    const Int128Limbs d = bNegative ? -b : b;
    quotient = remainder = Int128Limbs();
    for (int bit = 127; bit >= 0; --bit) {
      const std::uint64_t nextBit = bit >= 64 ? (n.hi_ >> (bit - 64)) & 1 : (n.lo_ >> bit) & 1;
      remainder = Int128Limbs((remainder.lo_ << 1) | nextBit, (remainder.hi_ << 1) | (remainder.lo_ >> 63));
      if (!unsignedLess(remainder, d)) {
        remainder = remainder - d;
        if (bit >= 64) {
          quotient.hi_ |= std::uint64_t{1} << (bit - 64);
        } else {
          quotient.lo_ |= std::uint64_t{1} << bit;
        }
      }
    }
    if (aNegative != bNegative) quotient = -quotient;
    if (aNegative) remainder = -remainder;
  }
  static constexpr bool unsignedLess(Int128Limbs a, Int128Limbs b) {
    return a.hi_ != b.hi_ ? a.hi_ < b.hi_ : a.lo_ < b.lo_;
  }

  std::uint64_t lo_ = 0;
  std::uint64_t hi_ = 0;
};

#if defined(__SIZEOF_INT128__)
using WideInt = __int128;
#else
using WideInt = Int128Limbs;
#endif

}  // namespace swd3d::raster
