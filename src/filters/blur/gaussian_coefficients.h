// The six coefficients of the recursive Gaussian for one radius, single
// precision as the filter keeps them.
#pragma once

#include "filters/exact_doubles.h"

#include <cmath>
#include <cstdint>

namespace tessaly {

struct GaussianCoefficients {
  float b0, b1, b2, b3, B;
};

// Doubles of working state per byte of a block the vector kernel filters:
// the last three results, and room for the column's lowest and highest byte.
inline constexpr unsigned kGaussianStatePerByte = 4;

// sigma = r / 3; q from Young and van Vliet's fit (the root form below
// sigma 2.5, the linear one from there on); b0..b3 and B from q. Each value is
// formed in double precision and kept as a float.
inline GaussianCoefficients gaussianCoefficients(std::int32_t radius) {
  const auto sigma = static_cast<float>(radius / 3.0);
  const double s = sigma;
  const auto q = static_cast<float>(s >= 2.5 ? 0.98711 * s - 0.96330 : 3.97156 - 4.14554 * std::sqrt(1.0 - 0.26891 * s));
  const double q1 = q;
  const double q2 = q1 * q1;
  const double q3 = q2 * q1;
  GaussianCoefficients k{};
  k.b0 = static_cast<float>(1.57825 + 2.44413 * q1 + 1.4281 * q2 + 0.422205 * q3);
  k.b1 = static_cast<float>(2.44413 * q1 + 2.85619 * q2 + 1.26661 * q3);
  k.b2 = static_cast<float>(-1.4281 * q2 - 1.26661 * q3);
  k.b3 = static_cast<float>(0.422205 * q3);
  const double sum = double{k.b1} + k.b2 + k.b3;
  k.B = static_cast<float>(1.0 - sum / k.b0);
  return k;
}

}  // namespace tessaly
