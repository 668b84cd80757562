// A brightness table in the form the vector kernels compute without looking
// anything up: T[c] = min(255, (c · multiplier + addend) >> shift) per
// channel, found for the table and checked against all 256 of its entries.
#pragma once

#include "filters/point/point_rules.h"

#include <cstdint>
#include <optional>

namespace tessaly::point {

struct ScaleStep {
  std::uint32_t multiplier, addend, shift;
};

// Blue, green, red, alpha.
struct ScaleSteps {
  ScaleStep channel[4];
};

// The form of the table of one factor, or none when no multiplier and shift
// within 32 bits give every entry (then the table itself is used).
std::optional<ScaleStep> scaleStepFor(float factor, const ByteTable& table);

}  // namespace tessaly::point
