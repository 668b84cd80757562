#include "d3d9/raster/texture_sampler.h"

#include "d3d9/raster/stepped_samplers.h"
#include "d3d9/raster/texel_lerp.h"
#include "d3d9/raster/texel_position.h"

#include <emmintrin.h>

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
      out[i] = bilinearTexel(texel(view, x0, y0), texel(view, x1, y0), texel(view, x0, y1),
                             texel(view, x1, y1), static_cast<std::uint32_t>(ps & 0xFF),
                             static_cast<std::uint32_t>(pt & 0xFF));
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

// texels × 2^32 rounded to the nearest integer, halves to even, for |texels|
// within kFixedRange: one conversion instruction in the default rounding mode
// (32-bit x86 has no 64-bit one; llrint rounds the same way there).
std::int64_t roundedFixed(double texels) {
#if defined(__x86_64__)
  return _mm_cvtsd_si64(_mm_set_sd(texels * kFixedOne));
#else
  return std::llrint(texels * kFixedOne);
#endif
}

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
  return roundedFixed(reduced(texels, mode, size));
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
    s_ = roundedFixed(s0);
    t_ = roundedFixed(t0);
    ds_ = roundedFixed(ds);
    dt_ = roundedFixed(dt);
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

namespace swd3d::raster {

SteppedSampler steppedInsideSampler(Filter filter, VectorWidth width) {
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  static const bool hasAvx512 =
      __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
  if (hasAvx2 && width != VectorWidth::Sse2) {
    if (filter == Filter::Linear && hasAvx512 && width == VectorWidth::Widest) {
      return &linearSteppedAvx512;
    }
    return filter == Filter::Point ? &pointSteppedAvx2 : &linearSteppedAvx2;
  }
  return filter == Filter::Point ? &pointStepped : &linearStepped;
}

bool steppedInside(Filter filter, const TexelSteps& steps, int count, int width, int height) {
  if (count <= 0) return false;
  const TexelSteps last = steps.advanced(count - 1);
  const auto within = [](std::int64_t a, std::int64_t b, std::int64_t lastIndex) {
    return std::min(a, b) >= 0 && std::max(a, b) <= lastIndex;
  };
  if (filter == Filter::Point) {
    return within(texelFloor(steps.s), texelFloor(last.s), width - 1) &&
           within(texelFloor(steps.t), texelFloor(last.t), height - 1);
  }
  // The second texel of each pair must lie inside too.
  return within(linearPosition(steps.s) >> 8, linearPosition(last.s) >> 8, width - 2) &&
         within(linearPosition(steps.t) >> 8, linearPosition(last.t) >> 8, height - 2);
}

namespace {

// The pixels of a run whose first texel index along one axis lies in
// [low, high], for indices that move one way along the run.
template <class Index>
PixelRange axisRange(Index index, std::int64_t start, std::int64_t step, int count,
                     std::int64_t low, std::int64_t high) {
  const auto at = [&](int i) { return index(start + step * i); };
  // The first pixel in [0, count] for which `past` holds, `past` turning
  // true once and staying true.
  const auto firstWhere = [&](auto past) {
    int lo = 0, hi = count;
    while (lo < hi) {
      const int mid = lo + (hi - lo) / 2;
      if (past(at(mid))) hi = mid; else lo = mid + 1;
    }
    return lo;
  };
  if (step >= 0) {
    return {firstWhere([&](std::int64_t i) { return i >= low; }),
            firstWhere([&](std::int64_t i) { return i > high; })};
  }
  return {firstWhere([&](std::int64_t i) { return i <= high; }),
          firstWhere([&](std::int64_t i) { return i < low; })};
}

}  // namespace

PixelRange steppedInsideRange(Filter filter, const TexelSteps& steps, int count, int width,
                              int height) {
  PixelRange s{}, t{};
  if (filter == Filter::Point) {
    const auto floor = [](std::int64_t fixed) { return texelFloor(fixed); };
    s = axisRange(floor, steps.s, steps.ds, count, 0, width - 1);
    t = axisRange(floor, steps.t, steps.dt, count, 0, height - 1);
  } else {
    const auto first = [](std::int64_t fixed) { return linearPosition(fixed) >> 8; };
    s = axisRange(first, steps.s, steps.ds, count, 0, width - 2);
    t = axisRange(first, steps.t, steps.dt, count, 0, height - 2);
  }
  return {std::max(s.first, t.first), std::min(s.last, t.last)};
}

const std::uint32_t* texelForPixelRun(const SamplerView& view, Filter filter,
                                      const TexelSteps& steps, int count) {
  if (filter != Filter::Point || steps.ds != (std::int64_t{1} << 32) || steps.dt != 0) {
    return nullptr;
  }
  if (!steppedInside(filter, steps, count, view.texels.width, view.texels.height)) return nullptr;
  return view.texels.row(static_cast<int>(texelFloor(steps.t))) + texelFloor(steps.s);
}

}  // namespace swd3d::raster

namespace swd3d::raster {

void pointStepped(const SamplerView& view, const TexelSteps& steps, int count,
                  std::uint32_t* out) {
  std::int64_t s = steps.s;
  if (steps.dt == 0) {  // along one texture row
    const std::uint32_t* row = view.texels.row(static_cast<int>(texelFloor(steps.t)));
    for (int i = 0; i < count; ++i, s += steps.ds) out[i] = row[texelFloor(s)];
    return;
  }
  std::int64_t t = steps.t;
  const std::uint8_t* bits = view.texels.bits;
  const std::ptrdiff_t pitch = view.texels.pitch;
  for (int i = 0; i < count; ++i, s += steps.ds, t += steps.dt) {
    const std::uint8_t* row = bits + texelFloor(t) * pitch;
    out[i] = reinterpret_cast<const std::uint32_t*>(row)[texelFloor(s)];
  }
}

void linearStepped(const SamplerView& view, const TexelSteps& steps, int count,
                   std::uint32_t* out) {
  std::int64_t s = steps.s;
  std::int64_t t = steps.t;
  const std::uint8_t* bits = view.texels.bits;
  const std::ptrdiff_t pitch = view.texels.pitch;
  for (int i = 0; i < count; ++i, s += steps.ds, t += steps.dt) {
    const std::int64_t ps = linearPosition(s);
    const std::int64_t pt = linearPosition(t);
    const auto* top = reinterpret_cast<const std::uint32_t*>(bits + (pt >> 8) * pitch) + (ps >> 8);
    const auto* bottom = reinterpret_cast<const std::uint32_t*>(
                             bits + ((pt >> 8) + 1) * pitch) + (ps >> 8);
    out[i] = bilinearTexel(top[0], top[1], bottom[0], bottom[1],
                           static_cast<std::uint32_t>(ps & 0xFF),
                           static_cast<std::uint32_t>(pt & 0xFF));
  }
}

}  // namespace swd3d::raster
