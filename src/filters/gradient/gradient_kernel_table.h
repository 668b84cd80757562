// The gradient kernels over vectors of pixels, written once for every
// instruction set, and the table of one set. Included only by the per-set
// units (gradient_kernels_*.cpp), after their target switch.
#pragma once

#include "filters/gradient/gradient_kernels.h"
#include "filters/gradient/gradient_scalar_kernels.h"
#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tessaly::simd {

// The colour of t for every lane, under the ink's rule: c1 + (c2 - c1) t in
// double precision, rounded to single precision and truncated.
//
// With a fused multiply-add the sum is formed in single precision with one
// rounding, which is the same value wherever t = 0 or t >= 2^-20: there the
// double steps are exact (c2 - c1 has 8 bits and t 24, and the sum of c1 and
// the product needs at most 53), so both round the same exact value once.
// `exact` says whether every painted lane is such a t; where it is not, the
// caller takes those pixels one at a time.
template <class L>
class GradientColours {
  using V = typename L::V;
  using VF = typename L::VF;
  using VD = typename L::VD;

 public:
  explicit GradientColours(const GradientInk& ink)
      : mask_(L::set(ink.mask)), kept_(L::set(~ink.mask)), whole_(ink.mask == 0xFFFFFFFFu) {
    for (int c = 0; c < 4; ++c) {
      used_[c] = ((ink.mask >> (8 * c)) & 0xFFu) != 0;
      startF_[c] = L::setF(static_cast<float>(ink.start[c]));
      spanF_[c] = L::setF(static_cast<float>(ink.span[c]));
      startD_[c] = L::setD(ink.start[c]);
      spanD_[c] = L::setD(ink.span[c]);
    }
  }

  static bool exact(VF t, typename L::Mask painted) {
    if constexpr (L::kFusedMultiplyAdd) {
      const auto tiny = L::maskAnd(L::greater(t, L::setF(0.0f)), L::less(t, L::setF(0x1p-20f)));
      return !L::any(L::maskAnd(tiny, painted));
    } else {
      return true;
    }
  }

  // Channels the mask does not touch are left 0.
  V at(VF t) const {
    V colour = L::set(0);
    VD low, high;
    if constexpr (!L::kFusedMultiplyAdd) L::widen(t, low, high);
    for (int c = 0; c < 4; ++c) {
      if (!used_[c]) continue;
      VF value;
      if constexpr (L::kFusedMultiplyAdd) {
        value = L::fusedMulAdd(spanF_[c], t, startF_[c]);
      } else {
        value = L::narrow(L::addD(startD_[c], L::mulD(spanD_[c], low)), L::addD(startD_[c], L::mulD(spanD_[c], high)));
      }
      const V byte = L::truncate(value);
      switch (c) {
        case 0: colour = L::bitOr(colour, byte); break;
        case 1: colour = L::bitOr(colour, L::template shiftLeft<8>(byte)); break;
        case 2: colour = L::bitOr(colour, L::template shiftLeft<16>(byte)); break;
        default: colour = L::bitOr(colour, L::template shiftLeft<24>(byte)); break;
      }
    }
    return colour;
  }

  // The masked bits take the colour, the others keep the pixel's.
  V paint(V pixel, V colour) const { return L::bitOr(L::bitAnd(colour, mask_), L::bitAnd(pixel, kept_)); }

  // Paints kPixels pixels; under a mask of the whole pixel they are only written.
  void put(std::uint8_t* p, V colour) const { L::store(p, whole_ ? colour : paint(L::load(p), colour)); }

 private:
  V mask_, kept_;
  bool whole_;
  bool used_[4];
  VF startF_[4], spanF_[4];
  VD startD_[4], spanD_[4];
};

// t = n / length rounded to double, then to single precision, without a
// division: q = n · (1 / length) lies within 3 units in the last place of
// the double quotient, so both round to the same float unless q lies near a
// midpoint between two floats. There the caller takes the pixels one at a
// time.
template <class L>
class LinearParameter {
  using VD = typename L::VD;
  using VF = typename L::VF;

 public:
  explicit LinearParameter(double length) : reciprocal_(L::setD(1.0 / length)) {}

  bool at(VD nLow, VD nHigh, VF& t) const {
    const VD qLow = L::mulD(nLow, reciprocal_), qHigh = L::mulD(nHigh, reciprocal_);
    t = L::narrow(qLow, qHigh);
    return !L::nearFloatMidpoint(qLow, qHigh);
  }

 private:
  VD reciprocal_;
};

// The pixels of a span whose t may lie below 2^-20 (see GradientColours) are
// those next to n = 0: at its start where n grows along it, at its end where
// n falls. They are painted one at a time; every other pixel in vectors.
template <class L>
void linearSpanVectors(std::uint8_t* first, std::uint32_t count, double n0, double dx, double length,
                       const GradientInk& ink) {
  // Below this n, t may be small (with room to spare: t rounds monotonically).
  const double small = length * 0x1p-19;
  std::uint32_t begin = 0, end = count;
  if (dx > 0) {
    begin = static_cast<std::uint32_t>(std::clamp(std::ceil((small - n0) / dx) + 1.0, 0.0, static_cast<double>(count)));
  } else if (dx < 0) {
    end = static_cast<std::uint32_t>(std::clamp(std::floor((n0 - small) / -dx), 0.0, static_cast<double>(count)));
  } else if (n0 < small) {
    end = 0;
  }
  end = std::max(begin, end);
  paintLinearSpanScalar(first, begin, n0, dx, length, ink);
  const GradientColours<L> colours(ink);
  const LinearParameter<L> parameter(length);
  // n = n0 + dx i, formed without rounding: every value is an integer below 2^53.
  const auto step = L::setD(dx * L::kPixels);
  auto nLow = L::addD(L::setD(n0 + dx * begin), L::mulD(L::setD(dx), L::countD()));
  auto nHigh = L::addD(nLow, L::setD(dx * (L::kPixels / 2)));
  std::uint32_t i = begin;
  std::uint8_t* p = first + 4 * std::size_t{begin};
  for (; i + L::kPixels <= end; i += L::kPixels, p += 4 * L::kPixels) {
    typename L::VF t;
    if (parameter.at(nLow, nHigh, t)) {
      colours.put(p, colours.at(t));
    } else {
      paintLinearSpanScalar(p, L::kPixels, n0 + dx * i, dx, length, ink);
    }
    nLow = L::addD(nLow, step);
    nHigh = L::addD(nHigh, step);
  }
  paintLinearSpanScalar(p, count - i, n0 + dx * i, dx, length, ink);
}

template <class L>
void radialRowVectors(std::uint8_t* row, std::uint32_t width, const RadialRow& shape, const GradientInk& ink) {
  using VF = typename L::VF;
  const GradientColours<L> colours(ink);
  const VF centre = L::setF(shape.fx), rowSquare = L::setF(shape.rowSquare), startR = L::setF(shape.startR),
           range = L::setF(shape.range), zero = L::setF(0.0f), one = L::setF(1.0f);
  const VF lanes = L::toFloat(L::count());
  std::uint32_t x = 0;
  for (; x + L::kPixels <= width; x += L::kPixels) {
    const VF dx = L::sub(L::add(L::setF(static_cast<float>(x)), lanes), centre);
    const VF distance = L::sqrt(L::add(L::mul(dx, dx), rowSquare));
    VF t = L::div(L::sub(distance, startR), range);
    if (ink.beforeTakesColor1) t = L::selectF(L::less(t, zero), zero, t);
    if (ink.pastTakesColor2) t = L::selectF(L::greater(t, one), one, t);
    const auto painted = L::maskAnd(L::lessEqual(zero, t), L::lessEqual(t, one));
    if (!L::any(painted)) continue;
    std::uint8_t* p = row + 4 * std::size_t{x};
    if (!GradientColours<L>::exact(t, painted)) {
      paintRadialPixelsScalar(row, x, x + L::kPixels, shape, ink);
      continue;
    }
    const auto colour = colours.at(t);
    if (L::all(painted)) {
      colours.put(p, colour);
    } else {
      const auto pixels = L::load(p);
      L::store(p, L::select(painted, colours.paint(pixels, colour), pixels));
    }
  }
  paintRadialPixelsScalar(row, x, width, shape, ink);
}

template <class Isa>
constexpr GradientKernels makeGradientTable() {
  using L = PixelLanes<Isa>;
  return GradientKernels{linearSpanVectors<L>, radialRowVectors<L>};
}

}  // namespace tessaly::simd
