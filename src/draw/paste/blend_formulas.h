// The per-channel formulas of the software paste, each written once as it is
// defined, over a lane type V: one colour or alpha value per lane, in 16-bit
// lanes (paste_lanes.h). A rule gives the colour of a channel from the source
// and destination values s and d and the two alphas a and da, and the new
// destination alpha from a and da. Mode 1 is pasted on whole bytes instead
// (alpha_blend_rows.h).
//
// 16-bit lanes give the exact integer results when every value that is
// multiplied or shifted lies in 0 … 65535 and every value that is compared lies
// in −32768 … 32767. The formulas are arranged so that this holds (the bounds
// are noted where they are tight); products that need more bits go through the
// wide type of 32-bit lanes. The exhaustive tests check every (s, d, a).
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

namespace tessaly::paste {

// d + (((t - d) * a) >> 8) with the shift rounding towards minus infinity:
// d * 256 is a whole multiple of 256, so adding it before the shift gives the
// same value without a negative number. Both products and their sum stay
// below 65281.
template <class V>
V mix(V d, V t, V a) {
  return (d * (256 - a) + t * a) >> 8;
}

// Mode 2: over an opaque destination as mode 1 with the alpha kept at 255;
// otherwise composited over the destination's own alpha. d * da * (255 - a)
// needs 24 bits and the quotient's numerator 17, so they are formed in the wide
// lanes. A zero alpha (oa = 0) leaves the colour.
struct CompositeRule {
  template <class V>
  static V coverage(V a, V da) {
    return a + ((da * (255 - a)) >> 8);
  }
  template <class V>
  static V colour(V s, V d, V a, V da) {
    const V over = (s * a + d * (255 - a)) >> 8;
    const V oa = coverage(a, da);
    const auto numerator = (wideProduct(d, da * (255 - a)) >> 8) + widen(s * a);
    const V composed = quotientUpTo255(numerator, max(oa, V(1)));
    return select(da == 255, over, select(oa == 0, d, composed));
  }
  template <class V>
  static V alpha(V a, V da) {
    return select(da == 255, da, coverage(a, da));
  }
};

// Modes 4 to 18: the mode's target value t, mixed into d by the source alpha;
// the destination alpha is kept.
template <class Target>
struct MixRule {
  template <class V>
  static V colour(V s, V d, V a, V) {
    return mix(d, Target::target(s, d), a);
  }
  template <class V>
  static V alpha(V, V da) {
    return da;
  }
};

struct MultiplyTarget {  // 4
  template <class V>
  static V target(V s, V d) {
    return (s * d) >> 8;
  }
};

struct DivideTarget {  // 5
  template <class V>
  static V target(V s, V d) {
    return quotientUpTo255(widen(d << 8), s + 1);
  }
};

struct ScreenTarget {  // 6
  template <class V>
  static V target(V s, V d) {
    return d + (((255 - d) * s) >> 8);
  }
};

// 7: d + (((255 - d) * s) >> 7) is at most 510 - d, so d times it stays
// below 65026.
struct SoftLightTarget {
  template <class V>
  static V target(V s, V d) {
    return (d * (d + (((255 - d) * s) >> 7))) >> 8;
  }
};

// 8: the divisor is kept above 0 where s = 255 picks 255 instead.
struct ColourDodgeTarget {
  template <class V>
  static V target(V s, V d) {
    return select(s == 255, V(255), quotientUpTo255(widen(d << 8), max(255 - s, V(1))));
  }
};

// 9: 255 - q for q up to 255 and 0 beyond is 255 - min(q, 255).
struct ColourBurnTarget {
  template <class V>
  static V target(V s, V d) {
    return 255 - quotientUpTo255(widen((255 - d) << 8), s + 1);
  }
};

// 10: each branch is formed in every lane and one is kept; the branch not
// kept may wrap.
struct HardLightTarget {
  template <class V>
  static V target(V s, V d) {
    return select(s > 128, 255 - (((511 - (s << 1)) * (255 - d)) >> 8), (s * d) >> 7);
  }
};

// 11: s * d * (255 - d) needs 22 bits; its eighth-bit shift fits 16. The sum
// k * d + that is at most 255 * d * (511 - d) / 256 ≤ 65025, so the limit at
// 255 never binds, but it is part of the definition.
struct SoftLightFromScreenTarget {
  template <class V>
  static V target(V s, V d) {
    const V k = 255 - (((255 - s) * (255 - d)) >> 8);
    return min(((k * d) + productShifted8(s, d * (255 - d))) >> 8, V(255));
  }
};

struct SubtractAboutMiddleTarget {  // 12
  template <class V>
  static V target(V s, V d) {
    return min(max(d - s + 128, V(0)), V(255));
  }
};

struct AddAboutMiddleTarget {  // 13
  template <class V>
  static V target(V s, V d) {
    return min(max(s + d - 128, V(0)), V(255));
  }
};

struct DifferenceTarget {  // 14: one less than the difference where s > d
  template <class V>
  static V target(V s, V d) {
    return select(s > d, s - d - 1, d - s);
  }
};

struct AddTarget {  // 15
  template <class V>
  static V target(V s, V d) {
    return min(s + d, V(255));
  }
};

struct SubtractTarget {  // 16: d - s - 1 where d > s, else 0
  template <class V>
  static V target(V s, V d) {
    return max(d - s - 1, V(0));
  }
};

struct DarkenTarget {  // 17
  template <class V>
  static V target(V s, V d) {
    return min(s, d);
  }
};

struct LightenTarget {  // 18
  template <class V>
  static V target(V s, V d) {
    return max(s, d);
  }
};

}  // namespace tessaly::paste
