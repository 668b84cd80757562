// The four forms of the vectorised binomial kernel, by radius: each is exact
// where it is used, the narrower the faster.
#pragma once

#include "filters/blur/binomial_weights.h"

#include <cstdint>

namespace tessaly {

enum class BinomialForm {
  shortSums,  // radius 1 … 4: 16-bit sums, one kernel per radius
  pairs,      // radius 5 … 12: 16-bit pairs of taps into 32-bit sums
  twoLevel,   // radius 13 … 22: the radius-12 pair sums, summed on in doubles
  doubles,    // radius 23 … 60: double sums, doubtful results settled exactly
};

inline BinomialForm binomialForm(std::uint32_t radius) {
  if (radius <= kBinomialShortRadius) return BinomialForm::shortSums;
  if (radius <= kBinomialPairRadius) return BinomialForm::pairs;
  if (radius <= kBinomialDoubleExactRadius) return BinomialForm::twoLevel;
  return BinomialForm::doubles;
}

// The paired kernels read first sums and pairs beyond the window.
inline bool binomialFormUsesPairs(BinomialForm form) {
  return form == BinomialForm::pairs || form == BinomialForm::twoLevel;
}

}  // namespace tessaly
