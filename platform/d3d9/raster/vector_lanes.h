// Sixteen-lane vectors for the float span kernels (the blend, the colour
// conversions, the pixel-shader evaluator), written once with the compiler's
// vector extensions: each build of a kernel turns them into the widest
// instructions it has, 512-bit registers where the processor has AVX-512 and
// pairs or quads of narrower ones elsewhere. Lane by lane the arithmetic is
// the scalar arithmetic, so every width gives the same bits.
#pragma once

// The vectors are passed to inline helpers only; their ABI never matters.
#pragma GCC diagnostic ignored "-Wpsabi"

#include <cstdint>
#include <cstring>

namespace swd3d::raster::lanes {

inline constexpr int kLanes = 16;

using Floats = float __attribute__((vector_size(64)));
using Ints = std::int32_t __attribute__((vector_size(64)));
using Words = std::uint32_t __attribute__((vector_size(64)));

[[gnu::always_inline]] inline Floats loadFloats(const float* p) {
  Floats v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
[[gnu::always_inline]] inline void storeFloats(float* p, Floats v) { std::memcpy(p, &v, sizeof v); }
[[gnu::always_inline]] inline Words loadWords(const std::uint32_t* p) {
  Words v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
[[gnu::always_inline]] inline void storeWords(std::uint32_t* p, Words v) { std::memcpy(p, &v, sizeof v); }

// (Not Floats{} + value, which turns -0 into +0.)
[[gnu::always_inline]] inline Floats splat(float value) {
  Floats lanes{};
  for (int i = 0; i < kLanes; ++i) lanes[i] = value;
  return lanes;
}

// toUnorm8 of each lane: limited to [0, 1] (NaN fails `> 0` and becomes 0),
// times 255, rounded.
[[gnu::always_inline]] inline Words unorm8(Floats value) {
  const Floats zero{};
  const Floats one = splat(1.0f);
  Floats c = value > zero ? value : zero;
  c = c < one ? c : one;
  return __builtin_convertvector(__builtin_convertvector(c * 255.0f + 0.5f, Ints), Words);
}

// fromUnorm8 of the byte at `shift` of each word.
[[gnu::always_inline]] inline Floats fromUnorm8(Words words, int shift) {
  const Words bytes = (words >> shift) & 0xFFu;
  return __builtin_convertvector(bytes, Floats) * (1.0f / 255.0f);
}

}  // namespace swd3d::raster::lanes

// Several builds of a function, the best one chosen when the library loads
// (on Linux; elsewhere the one baseline build).
#if defined(__x86_64__) && defined(__linux__) && !defined(__clang__)
#define SWD3D_VECTOR_CLONES \
  __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define SWD3D_VECTOR_CLONES
#endif
