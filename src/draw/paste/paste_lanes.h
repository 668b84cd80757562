// The lane types the paste formulas (blend_formulas.h) are instantiated with:
// a vector of 16-bit lanes holding widened pixel bytes (four lanes per pixel,
// blue, green, red, alpha), the mask of a comparison, and the 32-bit lanes of
// a wide product, over an instruction-set wrapper of filters/simd/ (its
// 16-bit lanes, and its pixel lanes for 32-bit lanes and floats). The
// operators follow int arithmetic as long as the formulas keep to the ranges
// noted there.
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

#include "filters/simd/pixel_lanes.h"

namespace tessaly::paste {

template <class Isa>
struct LaneMask {
  typename Isa::VI v;
};

template <class Isa>
struct Lanes16 {
  using VI = typename Isa::VI;
  VI v;

  Lanes16(VI lanes) : v(lanes) {}
  // Every lane holding c.
  Lanes16(int c) : v(Isa::set16(static_cast<std::uint16_t>(c))) {}

  Lanes16 operator+(Lanes16 b) const { return Isa::add16(v, b.v); }
  Lanes16 operator-(Lanes16 b) const { return Isa::sub16(v, b.v); }
  // The low 16 bits of the product: exact for products below 65536.
  Lanes16 operator*(Lanes16 b) const { return Isa::mullo16(v, b.v); }
  // Logical shifts: the lanes are taken as 0 … 65535.
  Lanes16 operator>>(int n) const { return Isa::srli16(v, n); }
  Lanes16 operator<<(int n) const { return Isa::slli16(v, n); }
  // Comparisons of lanes taken as signed.
  LaneMask<Isa> operator==(Lanes16 b) const { return {Isa::cmpeq16(v, b.v)}; }
  LaneMask<Isa> operator>(Lanes16 b) const { return {Isa::cmpgt16(v, b.v)}; }
};

template <class Isa>
Lanes16<Isa> operator-(int c, Lanes16<Isa> x) {
  return Lanes16<Isa>(c) - x;
}

template <class Isa>
Lanes16<Isa> min(Lanes16<Isa> a, Lanes16<Isa> b) {
  return Isa::min16(a.v, b.v);
}

template <class Isa>
Lanes16<Isa> max(Lanes16<Isa> a, Lanes16<Isa> b) {
  return Isa::max16(a.v, b.v);
}

template <class Isa>
Lanes16<Isa> select(LaneMask<Isa> mask, Lanes16<Isa> ifSet, Lanes16<Isa> otherwise) {
  return Isa::select(mask.v, ifSet.v, otherwise.v);
}

// (a * b) >> 8 for products below 2^24, whose shifted value fits 16 bits.
template <class Isa>
Lanes16<Isa> productShifted8(Lanes16<Isa> a, Lanes16<Isa> b) {
  return Isa::add16(Isa::slli16(Isa::mulhi16(a.v, b.v), 8), Isa::srli16(Isa::mullo16(a.v, b.v), 8));
}

// The same lanes as 32-bit values, in two vectors (the low and the high half
// of each 128-bit block of lanes).
template <class Isa>
struct Wide32 {
  typename Isa::VI low;
  typename Isa::VI high;

  Wide32 operator+(Wide32 b) const { return {Isa::add32(low, b.low), Isa::add32(high, b.high)}; }
  Wide32 operator>>(unsigned n) const {
    using Lanes32 = simd::PixelLanes<Isa>;
    return {Lanes32::shiftRightBy(low, n), Lanes32::shiftRightBy(high, n)};
  }
};

template <class Isa>
Wide32<Isa> widen(Lanes16<Isa> x) {
  typename Isa::VI out[2];
  Isa::interleave16(x.v, Isa::zero(), out);
  return {out[0], out[1]};
}

// The whole 32-bit product of two lanes taken as 0 … 65535.
template <class Isa>
Wide32<Isa> wideProduct(Lanes16<Isa> a, Lanes16<Isa> b) {
  typename Isa::VI out[2];
  Isa::interleave16(Isa::mullo16(a.v, b.v), Isa::mulhi16(a.v, b.v), out);
  return {out[0], out[1]};
}

// min(numerator / divisor, 255) with the division truncating, for numerators
// below 2^24 and divisors from 1 to 256. Both are exact in single precision,
// and the rounded quotient truncates to the integer quotient: below 256 the
// quotient lies at least 1/256 under the next integer, far more than half a
// float step there (2^-17); at 255 and above, rounding cannot take it below
// 255, which the limit gives.
template <class Isa>
typename Isa::VI quotientUpTo255(typename Isa::VI numerator, typename Isa::VI divisor) {
  using Lanes32 = simd::PixelLanes<Isa>;
  const auto q = Lanes32::div(Lanes32::toFloat(numerator), Lanes32::toFloat(divisor));
  return Lanes32::truncate(Lanes32::min(q, Lanes32::setF(255.0f)));
}

template <class Isa>
Lanes16<Isa> quotientUpTo255(Wide32<Isa> numerator, Lanes16<Isa> divisor) {
  const Wide32<Isa> d = widen(divisor);
  return Isa::packSigned32(quotientUpTo255<Isa>(numerator.low, d.low), quotientUpTo255<Isa>(numerator.high, d.high));
}

}  // namespace tessaly::paste
