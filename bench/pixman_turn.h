// The pixman transform of a picture turned about the centre of a square of
// side `side`: from target to source, as pixman takes it (pixel centres on
// half-integers), so that the source drawn through it appears turned by
// `radians`.
#pragma once

#include <pixman.h>

#include <cmath>

namespace bench_pixman {

inline pixman_f_transform turnAboutCentre(int side, double radians) {
  const double c = side / 2.0;
  const double cosine = std::cos(radians);
  const double sine = std::sin(radians);
  pixman_f_transform m;
  pixman_f_transform_init_identity(&m);
  m.m[0][0] = cosine;
  m.m[0][1] = sine;
  m.m[0][2] = c - c * cosine - c * sine;
  m.m[1][0] = -sine;
  m.m[1][1] = cosine;
  m.m[1][2] = c + c * sine - c * cosine;
  return m;
}

}  // namespace bench_pixman
