#include "filters/point/scale_steps.h"

#include <cmath>

namespace tessaly::point {

namespace {

bool gives(const ScaleStep& step, const ByteTable& table) {
  for (std::uint32_t c = 0; c < 256; ++c) {
    const std::uint64_t sum = std::uint64_t{c} * step.multiplier + step.addend;
    if (sum > UINT32_MAX || std::min<std::uint64_t>(255, sum >> step.shift) != table[c]) return false;
  }
  return true;
}

}  // namespace

// The table is min(255, floor(c·f + 1/2)) for the factor f ≥ 0. With f·2^shift
// a whole number m, (c·m + 2^(shift−1)) >> shift is that exactly; the widest
// shift whose sums stay within 32 bits is tried first, then narrower ones
// with m rounded either way, each checked entry by entry. A factor above 256
// saturates every byte but 0, as m = 256 at shift 0 does.
std::optional<ScaleStep> scaleStepFor(float factor, const ByteTable& table) {
  const double f = std::min(static_cast<double>(brightnessFactor(factor)), 256.0);
  for (std::uint32_t shift = 32; shift-- > 0;) {
    const double scaled = std::ldexp(f, static_cast<int>(shift));
    if (scaled * 255.0 + std::ldexp(1.0, static_cast<int>(shift)) >= 4294967296.0) continue;
    const std::uint32_t half = shift == 0 ? 0 : 1u << (shift - 1);
    const auto nearest = static_cast<std::uint32_t>(std::floor(scaled));
    for (std::uint32_t multiplier : {nearest, nearest + 1, nearest > 0 ? nearest - 1 : 0}) {
      for (std::uint32_t addend : {half, half > 0 ? half - 1 : 0u, half + 1}) {
        const ScaleStep step{multiplier, addend, shift};
        if (gives(step, table)) return step;
      }
    }
  }
  return std::nullopt;
}

}  // namespace tessaly::point
