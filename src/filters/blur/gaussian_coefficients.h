// The six coefficients of the recursive Gaussian for one radius, single
// precision as the filter keeps them.
#pragma once

#include "filters/blur/blur_arithmetic.h"

#include <cstdint>

namespace tessaly {

struct GaussianCoefficients {
  float b0, b1, b2, b3, B;
};

// sigma = r / 3; q from Young and van Vliet's fit (the root form below
// sigma 2.5, the linear one from there on); b0..b3 and B from q. Each value is
// formed in double precision and kept as a float.
inline GaussianCoefficients gaussianCoefficients(std::int32_t radius) {
  const float sigma = (StrictDouble::fromInt(radius) / 3.0).toFloat();
  const StrictDouble s = StrictDouble::fromFloat(sigma);
  const float q = s >= 2.5 ? (0.98711 * s - 0.96330).toFloat()
                           : (3.97156 - 4.14554 * (1.0 - 0.26891 * s).sqrt()).toFloat();
  const StrictDouble q1 = StrictDouble::fromFloat(q);
  const StrictDouble q2 = q1 * q1;
  const StrictDouble q3 = q2 * q1;
  GaussianCoefficients k{};
  k.b0 = (1.57825 + 2.44413 * q1 + 1.4281 * q2 + 0.422205 * q3).toFloat();
  k.b1 = (2.44413 * q1 + 2.85619 * q2 + 1.26661 * q3).toFloat();
  k.b2 = (-1.4281 * q2 - 1.26661 * q3).toFloat();
  k.b3 = (0.422205 * q3).toFloat();
  const StrictDouble sum = StrictDouble::fromFloat(k.b1) + StrictDouble::fromFloat(k.b2) +
                           StrictDouble::fromFloat(k.b3);
  k.B = (1.0 - sum / StrictDouble::fromFloat(k.b0)).toFloat();
  return k;
}

}  // namespace tessaly
