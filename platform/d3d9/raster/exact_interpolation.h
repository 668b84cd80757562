// Whether a plane's values along the rows of a clip rectangle come out of
// double arithmetic exactly, so that where a span starts cannot change them.
#pragma once

#include "d3d9/raster/attribute_plane.h"
#include "d3d9/raster/draw_settings.h"

namespace swd3d::raster {

// True when, for every pixel (x, y) of `clip` and every 0 <= i < `step`
// pixels, plane.at(origin, x, y) and at(x, y) + dx × i are exact in double:
// then at(x, y) + dx × i equals at(x + i, y), and a row gives every pixel the
// same value however it is cut into spans.
bool interpolatesExactly(const AttributePlane& plane, const PlaneOrigin& origin,
                         const ClipRect& clip, int step);

}  // namespace swd3d::raster
