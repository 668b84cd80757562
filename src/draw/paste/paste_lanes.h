// The lane types the paste formulas (blend_formulas.h) are instantiated with:
// a vector of 16-bit lanes holding widened pixel bytes (four lanes per pixel,
// blue, green, red, alpha), the mask of a comparison, and the 32-bit lanes of
// a wide product. Ops is an instruction set's vector operations; the operators
// follow int arithmetic as long as the formulas keep to the ranges noted there.
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

namespace tessaly::paste {

template <class Ops>
struct LaneMask {
  typename Ops::VI v;
};

template <class Ops>
struct Lanes16 {
  using VI = typename Ops::VI;
  VI v;

  Lanes16(VI lanes) : v(lanes) {}
  // Every lane holding c.
  Lanes16(int c) : v(Ops::set16(static_cast<std::uint16_t>(c))) {}

  Lanes16 operator+(Lanes16 b) const { return Ops::add16(v, b.v); }
  Lanes16 operator-(Lanes16 b) const { return Ops::sub16(v, b.v); }
  // The low 16 bits of the product: exact for products below 65536.
  Lanes16 operator*(Lanes16 b) const { return Ops::mullo16(v, b.v); }
  // Logical shifts: the lanes are taken as 0 … 65535.
  Lanes16 operator>>(int n) const { return Ops::srli16(v, n); }
  Lanes16 operator<<(int n) const { return Ops::slli16(v, n); }
  // Comparisons of lanes taken as signed.
  LaneMask<Ops> operator==(Lanes16 b) const { return {Ops::cmpeq16(v, b.v)}; }
  LaneMask<Ops> operator>(Lanes16 b) const { return {Ops::cmpgt16(v, b.v)}; }
};

template <class Ops>
Lanes16<Ops> operator-(int c, Lanes16<Ops> x) {
  return Lanes16<Ops>(c) - x;
}

template <class Ops>
Lanes16<Ops> min(Lanes16<Ops> a, Lanes16<Ops> b) {
  return Ops::min16(a.v, b.v);
}

template <class Ops>
Lanes16<Ops> max(Lanes16<Ops> a, Lanes16<Ops> b) {
  return Ops::max16(a.v, b.v);
}

template <class Ops>
Lanes16<Ops> select(LaneMask<Ops> mask, Lanes16<Ops> ifSet, Lanes16<Ops> otherwise) {
  return Ops::select(mask.v, ifSet.v, otherwise.v);
}

// (a * b) >> 8 for products below 2^24, whose shifted value fits 16 bits.
template <class Ops>
Lanes16<Ops> productShifted8(Lanes16<Ops> a, Lanes16<Ops> b) {
  return Ops::add16(Ops::slli16(Ops::mulhi16(a.v, b.v), 8), Ops::srli16(Ops::mullo16(a.v, b.v), 8));
}

// The same lanes as 32-bit values, in two vectors (the low and the high half
// of each 128-bit block of lanes).
template <class Ops>
struct Wide32 {
  typename Ops::VI low;
  typename Ops::VI high;

  Wide32 operator+(Wide32 b) const { return {Ops::add32(low, b.low), Ops::add32(high, b.high)}; }
  Wide32 operator>>(int n) const { return {Ops::srli32(low, n), Ops::srli32(high, n)}; }
};

template <class Ops>
Wide32<Ops> widen(Lanes16<Ops> x) {
  return {Ops::unpacklo16(x.v, Ops::zero()), Ops::unpackhi16(x.v, Ops::zero())};
}

// The whole 32-bit product of two lanes taken as 0 … 65535.
template <class Ops>
Wide32<Ops> wideProduct(Lanes16<Ops> a, Lanes16<Ops> b) {
  const auto low = Ops::mullo16(a.v, b.v);
  const auto high = Ops::mulhi16(a.v, b.v);
  return {Ops::unpacklo16(low, high), Ops::unpackhi16(low, high)};
}

// min(numerator / divisor, 255) with the division truncating, for numerators
// below 2^24 and divisors from 1 to 256. Both are exact in single precision,
// and the rounded quotient truncates to the integer quotient: below 256 the
// quotient lies at least 1/256 under the next integer, far more than half a
// float step there (2^-17); at 255 and above, rounding cannot take it below
// 255, which the limit gives.
template <class Ops>
Lanes16<Ops> quotientUpTo255(Wide32<Ops> numerator, Lanes16<Ops> divisor) {
  const Wide32<Ops> d = widen(divisor);
  return Ops::packs32(Ops::quotientUpTo255(numerator.low, d.low), Ops::quotientUpTo255(numerator.high, d.high));
}

}  // namespace tessaly::paste
