#include "filters/geometry/geometry_reference.h"

#include <cstring>

namespace filter_test {

void referenceFlipHorizontally(TestImage& image) {
  const std::uint32_t W = image.width;
  for (std::uint32_t y = 0; y < image.height; ++y) {
    for (std::uint32_t x = 0; x < W / 2; ++x) {
      const std::uint32_t left = image.word(x, y);
      image.setWord(x, y, image.word(W - 1 - x, y));
      image.setWord(W - 1 - x, y, left);
    }
  }
}

// Rows swapped through a buffer of one pitch.
void referenceFlipVertically(TestImage& image) {
  const auto pitch = static_cast<std::size_t>(image.pitch);
  std::vector<std::uint8_t> buffer(pitch);
  for (std::uint32_t y = 0; y < image.height / 2; ++y) {
    std::uint8_t* top = image.memory.data() + y * pitch;
    std::uint8_t* bottom = image.memory.data() + (image.height - 1 - y) * pitch;
    std::memcpy(buffer.data(), top, pitch);
    std::memcpy(top, bottom, pitch);
    std::memcpy(bottom, buffer.data(), pitch);
  }
}

// The first floor(W * H / 2) pixels in row order, each swapped with its
// opposite.
void referenceFlipBoth(TestImage& image) {
  const std::uint32_t W = image.width;
  const std::uint32_t H = image.height;
  const std::uint64_t half = std::uint64_t{W} * H / 2;
  for (std::uint64_t i = 0; i < half; ++i) {
    const auto x = static_cast<std::uint32_t>(i % W);
    const auto y = static_cast<std::uint32_t>(i / W);
    const std::uint32_t p = image.word(x, y);
    image.setWord(x, y, image.word(W - 1 - x, H - 1 - y));
    image.setWord(W - 1 - x, H - 1 - y, p);
  }
}

// Running sums growing by W per pixel and by H per row, divided by the new
// size: in 64 bits, so exact for every size.
Words referenceResizeNearest(const Words& old, std::uint32_t width, std::uint32_t height) {
  Words out{width, height, {}};
  std::uint64_t sumY = 0;
  for (std::uint32_t y = 0; y < height; ++y, sumY += old.height) {
    std::uint64_t sumX = 0;
    for (std::uint32_t x = 0; x < width; ++x, sumX += old.width) {
      out.pixels.push_back(old.at(static_cast<std::uint32_t>(sumX / width), static_cast<std::uint32_t>(sumY / height)));
    }
  }
  return out;
}

namespace {

struct Channels {
  float c[4];  // blue, green, red, alpha
};

Channels channelsOf(std::uint32_t p) {
  return {{static_cast<float>(p & 0xFF), static_cast<float>((p >> 8) & 0xFF), static_cast<float>((p >> 16) & 0xFF),
           static_cast<float>(p >> 24)}};
}

// a * second + (1 - a) * first, each step rounded to a float.
Channels blend(const Channels& first, const Channels& second, float a) {
  Channels out{};
  for (int i = 0; i < 4; ++i) {
    const float one = 1.0f;
    const float rest = one - a;
    const float p = a * second.c[i];
    const float q = rest * first.c[i];
    out.c[i] = p + q;
  }
  return out;
}

std::uint32_t bilinearSample(const Words& old, float u, float v) {
  const float W = static_cast<float>(old.width);
  const float H = static_cast<float>(old.height);
  float fx = W * u;
  fx = fx - 0.5f;
  float fy = H * v;
  fy = fy - 0.5f;
  float x = fx;
  if (fx < 0) x = 0;
  if (fx >= W - 1) x = W - 1;
  float y = fy;
  if (fy < 0) y = 0;
  if (fy >= H - 1) y = H - 1;
  const auto ix = static_cast<std::uint32_t>(x);
  const auto iy = static_cast<std::uint32_t>(y);
  const float ax = x - static_cast<float>(ix);
  const float ay = y - static_cast<float>(iy);
  Channels upper = channelsOf(old.at(ix, iy));
  if (ax > 0) upper = blend(upper, channelsOf(old.at(ix + 1, iy)), ax);
  if (ay > 0) {
    Channels lower = channelsOf(old.at(ix, iy + 1));
    if (ax > 0) lower = blend(lower, channelsOf(old.at(ix + 1, iy + 1)), ax);
    upper = blend(upper, lower, ay);
  }
  std::uint32_t p = 0;
  for (int i = 0; i < 4; ++i) p |= static_cast<std::uint32_t>(static_cast<int>(upper.c[i])) << (8 * i);
  return p;
}

}  // namespace

Words referenceResizeBilinear(const Words& old, std::uint32_t width, std::uint32_t height) {
  Words out{width, height, {}};
  for (std::uint32_t y = 0; y < height; ++y) {
    const auto v = static_cast<float>(static_cast<double>(y) / height);
    for (std::uint32_t x = 0; x < width; ++x) {
      const auto u = static_cast<float>(static_cast<double>(x) / width);
      out.pixels.push_back(bilinearSample(old, u, v));
    }
  }
  return out;
}

}  // namespace filter_test
