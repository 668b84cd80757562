// A vertex attribute interpolated across a triangle without perspective (rhw
// is 1): value(x, y) = value at the first vertex + dx × (x - x0) + dy × (y - y0),
// in double precision from the positions the triangle is drawn with.
#pragma once

namespace swd3d::raster {

struct PlaneOrigin {
  double x0 = 0;
  double y0 = 0;
  double x1 = 0;  // second and third vertex, relative to the first
  double y1 = 0;
  double x2 = 0;
  double y2 = 0;
  double area = 0;  // twice the signed area

  PlaneOrigin() = default;
  PlaneOrigin(const double (&x)[3], const double (&y)[3])
      : x0(x[0]), y0(y[0]), x1(x[1] - x[0]), y1(y[1] - y[0]), x2(x[2] - x[0]), y2(y[2] - y[0]),
        area(x1 * y2 - x2 * y1) {}
};

struct AttributePlane {
  double at0 = 0;
  double dx = 0;
  double dy = 0;

  AttributePlane() = default;
  AttributePlane(const PlaneOrigin& origin, double q0, double q1, double q2)
      : at0(q0),
        dx(((q1 - q0) * origin.y2 - (q2 - q0) * origin.y1) / origin.area),
        dy((origin.x1 * (q2 - q0) - origin.x2 * (q1 - q0)) / origin.area) {}

  double at(const PlaneOrigin& origin, double x, double y) const {
    return at0 + dx * (x - origin.x0) + dy * (y - origin.y0);
  }
};

}  // namespace swd3d::raster
