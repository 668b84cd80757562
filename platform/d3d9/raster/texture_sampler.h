// Texture sampling over a span of pixels. Coordinates are in texels
// (u × width, v × height) as 32.32 fixed point, so that stepping along a row
// is exact integer addition and texel choice has no float rounding of its own:
// - point: texel floor(s), after the address mode;
// - linear: the 8-bit rule of Direct3D 9 hardware: with k = round-half-even(
//   s × 256) - 128, texels k >> 8 and k >> 8 + 1 weighted by w = k & 255, each
//   channel a + (((b - a) × w + 128) >> 8), along u first, then along v.
// A kernel per filter and pair of address modes is chosen once per triangle.
#pragma once

#include "d3d9/raster/draw_settings.h"

#include <cstdint>

namespace swd3d::raster {

inline constexpr int kSpanPixels = kShaderSpanPixels;

// Texel coordinates of the pixels of one span, 32.32 fixed point.
struct TexelCoords {
  alignas(64) std::int64_t s[kSpanPixels];
  alignas(64) std::int64_t t[kSpanPixels];
  // Each coordinate steps by the same amount from pixel to pixel, so the
  // first and last pixels bound the texels the span reads.
  bool evenlySpaced = false;
};

inline constexpr double kFixedOne = 4294967296.0;  // 2^32

// Evenly stepped coordinates: the first pixel's and the step per pixel, 32.32.
struct TexelSteps {
  std::int64_t s;
  std::int64_t t;
  std::int64_t ds;
  std::int64_t dt;

  TexelSteps advanced(int pixels) const { return {s + ds * pixels, t + dt * pixels, ds, dt}; }
};

// Where a row's texel coordinates start and how they step per pixel.
class TexelWalk {
 public:
  // s0, t0 at the row's first pixel; ds, dt per pixel; `pixels` in the row.
  TexelWalk(double s0, double t0, double ds, double dt, int pixels, const PixelPlane& texture,
            const SamplerSettings& sampler);
  // Coordinates of pixels first .. first + count - 1 of the row.
  void fill(int first, int count, TexelCoords& out) const;

  // Whether the row steps in fixed point, as steps() then gives.
  bool stepsExactly() const { return fixed_; }
  TexelSteps steps() const { return {s_, t_, ds_, dt_}; }

 private:
  double s0d_, t0d_, dsd_, dtd_;
  int width_, height_;
  AddressMode addressU_, addressV_;
  bool fixed_ = false;  // fixed-point stepping stays in range for the whole row
  std::int64_t s_ = 0, t_ = 0, ds_ = 0, dt_ = 0;
};

// A coordinate in texels as 32.32 fixed point. Values too large for fixed
// point are first brought into range without changing the texel they address
// (by the wrap or mirror period, or by clamping); NaN becomes 0.
std::int64_t toFixedTexels(double texels, AddressMode mode, int size);

struct SamplerView {
  PixelPlane texels;
  std::uint32_t border = 0;
};

using SpanSampler = void (*)(const SamplerView& view, const TexelCoords& coords, int count,
                             std::uint32_t* out);

// The kernel for a filter and address modes.
SpanSampler spanSampler(Filter filter, AddressMode u, AddressMode v);
// The kernel for spans whose texels all lie inside the texture: no addressing.
SpanSampler insideSpanSampler(Filter filter);
// True when every texel the span reads lies inside the texture.
bool spanInside(Filter filter, const TexelCoords& coords, int count, int width, int height);

// Samples a span: the inside kernel where it applies, else `general`.
void sampleSpan(const SamplerView& view, Filter filter, SpanSampler general,
                const TexelCoords& coords, int count, std::uint32_t* out);

// Kernels for stepped runs that stay inside the texture: no addressing, and
// the coordinates computed as they go.
using SteppedSampler = void (*)(const SamplerView& view, const TexelSteps& steps, int count,
                                std::uint32_t* out);
// Widest takes AVX-512 or AVX2 kernels where the processor has them; Avx2
// keeps to AVX2 and Sse2 to the baseline ones, so tests can check each.
enum class VectorWidth { Widest, Avx2, Sse2 };
SteppedSampler steppedInsideSampler(Filter filter, VectorWidth width = VectorWidth::Widest);
// True when every texel `count` stepped pixels read lies inside the texture.
bool steppedInside(Filter filter, const TexelSteps& steps, int count, int width, int height);
// The pixels first <= i < last of a stepped run whose texels lie inside the
// texture (each coordinate moves one way, so they are one range); first >=
// last when there are none.
struct PixelRange {
  int first;
  int last;
};
PixelRange steppedInsideRange(Filter filter, const TexelSteps& steps, int count, int width,
                              int height);
// The texels of a point-sampled run that reads one texture row texel for
// pixel, in place; null for any other run.
const std::uint32_t* texelForPixelRun(const SamplerView& view, Filter filter,
                                      const TexelSteps& steps, int count);

// Whether a triangle minifies its texture: its larger screen-axis step in
// texels, scaled by 2^lodBias, exceeds one texel. A step of exactly one (an
// unscaled rotation) magnifies.
bool minifies(double dsdx, double dtdx, double dsdy, double dtdy, float lodBias);

}  // namespace swd3d::raster
