// What a gradient paints with: the end colours, the channel mask and the Mode
// bits, and the two per-pixel rules shared by both gradient shapes: which t a
// pixel is painted with (or whether it keeps its value), and the colour of t.
#pragma once

#include "filters/exact_doubles.h"

#include <array>
#include <cstdint>

namespace tessaly {

struct GradientInk {
  std::uint32_t color1 = 0;
  std::uint32_t color2 = 0;
  std::uint32_t mask = 0;
  bool beforeTakesColor1 = false;  // Mode bit 0
  bool pastTakesColor2 = false;    // Mode bit 1
  // Per byte of the pixel word (blue, green, red, alpha): c1 and c2 - c1.
  std::array<double, 4> start{};
  std::array<double, 4> span{};

  static GradientInk from(std::uint32_t color1, std::uint32_t color2, std::uint32_t channel, std::uint32_t mode) {
    GradientInk ink;
    ink.color1 = color1;
    ink.color2 = color2;
    ink.mask = channel;
    ink.beforeTakesColor1 = (mode & 1u) != 0;
    ink.pastTakesColor2 = (mode & 2u) != 0;
    for (int i = 0; i < 4; ++i) {
      const int c1 = static_cast<int>((color1 >> (8 * i)) & 0xFFu);
      const int c2 = static_cast<int>((color2 >> (8 * i)) & 0xFFu);
      ink.start[i] = c1;
      ink.span[i] = c2 - c1;
    }
    return ink;
  }

  // The range rule. Returns false when the pixel keeps its value (t below 0
  // or above 1 without the Mode bit, or not a number); otherwise t is the
  // parameter to paint with, in 0 ... 1.
  bool clamp(float& t) const {
    if (t < 0.0f && beforeTakesColor1) {
      t = 0.0f;
    } else if (t > 1.0f && pastTakesColor2) {
      t = 1.0f;
    }
    return t >= 0.0f && t <= 1.0f;
  }

  // c1 + (c2 - c1) * t in double precision, rounded to single precision and
  // truncated. For t in 0 ... 1 the value lies between c1 and c2, so the
  // conversion is always defined.
  std::uint32_t colourAt(float t) const {
    std::uint32_t colour = 0;
    for (int i = 0; i < 4; ++i) {
      const float c = static_cast<float>(start[i] + span[i] * static_cast<double>(t));
      colour |= static_cast<std::uint32_t>(c) << (8 * i);
    }
    return colour;
  }

  // The masked bits take the colour, the others keep the pixel's.
  std::uint32_t paint(std::uint32_t pixel, std::uint32_t colour) const { return (pixel & ~mask) | (colour & mask); }
};

}  // namespace tessaly
