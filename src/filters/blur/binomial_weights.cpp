#include "filters/blur/binomial_weights.h"

#include "filters/blur/blur_arithmetic.h"

namespace tessaly {

BinomialWeights binomialWeights(std::uint32_t radius) {
  BinomialWeights w{};
  w.radius = radius;
  // Pascal's triangle, row 2r.
  w.exact[0] = {0, 1};
  for (std::uint32_t row = 1; row <= 2 * radius; ++row)
    for (std::uint32_t k = row; k > 0; --k) w.exact[k] = w.exact[k] + w.exact[k - 1];
  double scale = 1.0;  // 4^-r, exact
  for (std::uint32_t i = 0; i < radius; ++i) scale = scale * 0.25;
  for (std::uint32_t k = 0; k <= 2 * radius; ++k) {
    w.scaled[k] = w.exact[k].toDouble() * scale;
    if (radius <= kBinomialShortRadius) w.small[k] = static_cast<std::uint16_t>(w.exact[k].low);
  }
  return w;
}

Uint128 binomialTotal(const BinomialWeights& w, std::uint32_t firstTap, std::uint32_t lastTap) {
  Uint128 total;
  for (std::uint32_t k = firstTap; k <= lastTap; ++k) total = total + w.exact[k];
  return total;
}

namespace {

template <class Real>
std::uint8_t exactOutput(const BinomialWeights& w, const Real* taps, std::ptrdiff_t stride, std::uint32_t firstTap,
                         std::uint32_t lastTap) {
  Uint128 sum;
  for (std::uint32_t k = firstTap; k <= lastTap; ++k) {
    const auto byte = static_cast<std::uint32_t>(taps[static_cast<std::ptrdiff_t>(k) * stride]);
    sum = sum + w.exact[k].times(byte);
  }
  return roundToByte(sum.toDouble() / binomialTotal(w, firstTap, lastTap).toDouble());
}

}  // namespace

std::uint8_t binomialExactOutput(const BinomialWeights& w, const double* taps, std::ptrdiff_t stride,
                                 std::uint32_t firstTap, std::uint32_t lastTap) {
  return exactOutput(w, taps, stride, firstTap, lastTap);
}

}  // namespace tessaly
