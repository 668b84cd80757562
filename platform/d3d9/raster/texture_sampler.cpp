#include "d3d9/raster/texture_sampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace swd3d::raster {

namespace {

// Coordinates within ±2^29 texels step in 32.32 fixed point without overflow
// over a whole row; larger ones are brought into range pixel by pixel.
constexpr double kFixedRange = 536870912.0;

// The address modes, and one more for spans known to lie inside the texture.
enum class Addressing { Wrap, Mirror, Clamp, Border, MirrorOnce, Inside };

constexpr Addressing addressingOf(AddressMode mode) {
  switch (mode) {
    case AddressMode::Wrap: return Addressing::Wrap;
    case AddressMode::Mirror: return Addressing::Mirror;
    case AddressMode::Clamp: return Addressing::Clamp;
    case AddressMode::Border: return Addressing::Border;
    case AddressMode::MirrorOnce: return Addressing::MirrorOnce;
  }
  return Addressing::Clamp;
}

// The texel a texel index addresses in a row or column of `size` texels, or
// -1 for the border colour.
template <Addressing kMode>
std::int64_t address(std::int64_t i, std::int64_t size) {
  if constexpr (kMode == Addressing::Wrap) {
    const std::int64_t r = i % size;
    return r < 0 ? r + size : r;
  } else if constexpr (kMode == Addressing::Mirror) {
    const std::int64_t period = 2 * size;
    std::int64_t r = i % period;
    if (r < 0) r += period;
    return r < size ? r : period - 1 - r;
  } else if constexpr (kMode == Addressing::Clamp) {
    return std::clamp<std::int64_t>(i, 0, size - 1);
  } else if constexpr (kMode == Addressing::Border) {
    return i >= 0 && i < size ? i : -1;
  } else if constexpr (kMode == Addressing::MirrorOnce) {
    return std::min(i < 0 ? -1 - i : i, size - 1);
  } else {
    return i;
  }
}

// The integer part of a 32.32 coordinate: texel floor(s).
std::int64_t texelFloor(std::int64_t fixed) { return fixed >> 32; }

// round-half-even(s × 256) - 128 from a 32.32 coordinate: the first texel in
// its upper bits and the linear weight in its low 8 bits.
std::int64_t linearPosition(std::int64_t fixed) {
  std::int64_t q = fixed >> 24;
  const std::int64_t rest = fixed & 0xFFFFFF;
  if (rest > 0x800000 || (rest == 0x800000 && (q & 1) != 0)) ++q;
  return q - 128;
}

// a + (((b - a) × w + 128) >> 8) in each channel.
std::uint32_t lerpChannels(std::uint32_t a, std::uint32_t b, int weight) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int ca = static_cast<int>((a >> shift) & 0xFFu);
    const int cb = static_cast<int>((b >> shift) & 0xFFu);
    out |= static_cast<std::uint32_t>(ca + (((cb - ca) * weight + 128) >> 8)) << shift;
  }
  return out;
}

std::uint32_t texel(const SamplerView& view, std::int64_t x, std::int64_t y) {
  if (x < 0 || y < 0) return view.border;
  return view.texels.row(static_cast<int>(y))[x];
}

template <Filter kFilter, Addressing kU, Addressing kV>
void sampleKernel(const SamplerView& view, const TexelCoords& coords, int count,
                  std::uint32_t* out) {
  const std::int64_t width = view.texels.width;
  const std::int64_t height = view.texels.height;
  for (int i = 0; i < count; ++i) {
    if constexpr (kFilter == Filter::Point) {
      const std::int64_t x = address<kU>(texelFloor(coords.s[i]), width);
      const std::int64_t y = address<kV>(texelFloor(coords.t[i]), height);
      out[i] = texel(view, x, y);
    } else {
      const std::int64_t ps = linearPosition(coords.s[i]);
      const std::int64_t pt = linearPosition(coords.t[i]);
      const std::int64_t x0 = address<kU>(ps >> 8, width);
      const std::int64_t x1 = address<kU>((ps >> 8) + 1, width);
      const std::int64_t y0 = address<kV>(pt >> 8, height);
      const std::int64_t y1 = address<kV>((pt >> 8) + 1, height);
      const int wu = static_cast<int>(ps & 0xFF);
      const int wv = static_cast<int>(pt & 0xFF);
      const std::uint32_t top = lerpChannels(texel(view, x0, y0), texel(view, x1, y0), wu);
      const std::uint32_t bottom = lerpChannels(texel(view, x0, y1), texel(view, x1, y1), wu);
      out[i] = lerpChannels(top, bottom, wv);
    }
  }
}

constexpr int kModes = 5;

template <Filter kFilter, std::size_t... kPairs>
constexpr std::array<SpanSampler, sizeof...(kPairs)> kernelTable(std::index_sequence<kPairs...>) {
  return {&sampleKernel<kFilter, static_cast<Addressing>(kPairs / kModes),
                        static_cast<Addressing>(kPairs % kModes)>...};
}

constexpr auto kPointKernels = kernelTable<Filter::Point>(std::make_index_sequence<kModes * kModes>());
constexpr auto kLinearKernels =
    kernelTable<Filter::Linear>(std::make_index_sequence<kModes * kModes>());

// Brings a coordinate within kFixedRange without changing what it addresses.
double reduced(double texels, AddressMode mode, int size) {
  if (!std::isfinite(texels)) return 0.0;
  if (std::fabs(texels) <= kFixedRange) return texels;
  switch (mode) {
    case AddressMode::Wrap: return std::fmod(texels, size);
    case AddressMode::Mirror: return std::fmod(texels, 2.0 * size);
    case AddressMode::Clamp:
    case AddressMode::Border:
    case AddressMode::MirrorOnce: return std::clamp(texels, -kFixedRange, kFixedRange);
  }
  return 0.0;
}

}  // namespace

std::int64_t toFixedTexels(double texels, AddressMode mode, int size) {
  return static_cast<std::int64_t>(std::nearbyint(reduced(texels, mode, size) * kFixedOne));
}

TexelWalk::TexelWalk(double s0, double t0, double ds, double dt, int pixels,
                     const PixelPlane& texture, const SamplerSettings& sampler)
    : s0d_(s0),
      t0d_(t0),
      dsd_(ds),
      dtd_(dt),
      width_(texture.width),
      height_(texture.height),
      addressU_(sampler.addressU),
      addressV_(sampler.addressV) {
  const double last = pixels > 0 ? pixels - 1 : 0;
  const auto inRange = [](double value) { return std::fabs(value) <= kFixedRange; };  // NaN: no
  fixed_ = inRange(s0) && inRange(t0) && inRange(s0 + ds * last) && inRange(t0 + dt * last) &&
           inRange(ds) && inRange(dt);
  if (fixed_) {
    s_ = static_cast<std::int64_t>(std::nearbyint(s0 * kFixedOne));
    t_ = static_cast<std::int64_t>(std::nearbyint(t0 * kFixedOne));
    ds_ = static_cast<std::int64_t>(std::nearbyint(ds * kFixedOne));
    dt_ = static_cast<std::int64_t>(std::nearbyint(dt * kFixedOne));
  }
}

void TexelWalk::fill(int first, int count, TexelCoords& out) const {
  out.evenlySpaced = fixed_;
  if (fixed_) {
    std::int64_t s = s_ + ds_ * first;
    std::int64_t t = t_ + dt_ * first;
    for (int i = 0; i < count; ++i, s += ds_, t += dt_) {
      out.s[i] = s;
      out.t[i] = t;
    }
    return;
  }
  for (int i = 0; i < count; ++i) {
    const double step = static_cast<double>(first) + i;
    out.s[i] = toFixedTexels(s0d_ + dsd_ * step, addressU_, width_);
    out.t[i] = toFixedTexels(t0d_ + dtd_ * step, addressV_, height_);
  }
}

SpanSampler spanSampler(Filter filter, AddressMode u, AddressMode v) {
  const std::size_t index = static_cast<std::size_t>(addressingOf(u)) * kModes +
                            static_cast<std::size_t>(addressingOf(v));
  return filter == Filter::Point ? kPointKernels[index] : kLinearKernels[index];
}

SpanSampler insideSpanSampler(Filter filter) {
  return filter == Filter::Point ? &sampleKernel<Filter::Point, Addressing::Inside, Addressing::Inside>
                                 : &sampleKernel<Filter::Linear, Addressing::Inside, Addressing::Inside>;
}

bool spanInside(Filter filter, const TexelCoords& coords, int count, int width, int height) {
  if (!coords.evenlySpaced || count <= 0) return false;
  const auto within = [](std::int64_t first, std::int64_t last, std::int64_t size) {
    return std::min(first, last) >= 0 && std::max(first, last) < size;
  };
  const int end = count - 1;
  if (filter == Filter::Point) {
    return within(texelFloor(coords.s[0]), texelFloor(coords.s[end]), width) &&
           within(texelFloor(coords.t[0]), texelFloor(coords.t[end]), height);
  }
  const std::int64_t s0 = linearPosition(coords.s[0]) >> 8;
  const std::int64_t s1 = linearPosition(coords.s[end]) >> 8;
  const std::int64_t t0 = linearPosition(coords.t[0]) >> 8;
  const std::int64_t t1 = linearPosition(coords.t[end]) >> 8;
  return within(std::min(s0, s1), std::max(s0, s1) + 1, width) &&
         within(std::min(t0, t1), std::max(t0, t1) + 1, height);
}

void sampleSpan(const SamplerView& view, Filter filter, SpanSampler general,
                const TexelCoords& coords, int count, std::uint32_t* out) {
  const bool inside = spanInside(filter, coords, count, view.texels.width, view.texels.height);
  (inside ? insideSpanSampler(filter) : general)(view, coords, count, out);
}

bool minifies(double dsdx, double dtdx, double dsdy, double dtdy, float lodBias) {
  const double bias = std::isfinite(lodBias) ? std::clamp<double>(lodBias, -64.0, 64.0) : 0.0;
  const double scale =
      std::max(dsdx * dsdx + dtdx * dtdx, dsdy * dsdy + dtdy * dtdy) * std::exp2(2.0 * bias);
  // A scale within float rounding of one is an unscaled rotation.
  return scale > 1.0 + 1.0 / (1 << 20);
}

}  // namespace swd3d::raster
