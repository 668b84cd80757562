// Where a paste puts the source's four corners. Every value is a 32-bit
// float, computed in single precision as the device receives it, in the
// corner order of the quad renderer (top-left, top-right, bottom-right,
// bottom-left of the unturned source), with the whole texture from u, v = 0
// to 1 and opaque white corners.
#pragma once

#include "draw/quad_renderer.h"

#include <cstdint>

namespace tessaly {

// The source at its own size with its top-left pixel at (x, y). The far
// edges x + width and y + height are summed in 64 bits, so a position near
// the end of the integer range puts the edge further out instead of wrapping.
QuadCorners positionedCorners(std::int32_t x, std::int32_t y, std::uint32_t width,
                              std::uint32_t height);

// The source stretched to the rectangle; right < left or bottom < top mirrors
// it. Right and bottom are the edges just past the last covered pixel.
QuadCorners stretchedCorners(std::int32_t left, std::int32_t top, std::int32_t right,
                             std::int32_t bottom);

// The source turned by angle degrees (clockwise on the screen, y pointing
// down) about (x + 0.5, y + 0.5), then moved by -shift in x and y. Pastes onto
// an image shift by 0.5, so that an unturned source of even size has its pixel
// (width / 2, height / 2) on pixel (x, y); pastes onto the screen shift by 0.
QuadCorners rotatedCorners(std::int32_t x, std::int32_t y, std::uint32_t width,
                           std::uint32_t height, float angle, float shift);

inline constexpr float kOnImageShift = 0.5f;
inline constexpr float kOnScreenShift = 0.0f;

}  // namespace tessaly
