// The recursive Gaussian down the columns of a block of rows, in place,
// vectorised over the columns: the anti-causal sub-pass from the last row up,
// then the causal one down over the bytes it wrote. Each step is formed with
// the same double-precision operations in the same order as the plain filter
// (every product of two floats is exact, so a fused multiply-add rounds as the
// separate addition does), and every result is limited to its line's range
// before it is rounded. Templates over the instruction set only.
#pragma once

#include "filters/blur/gaussian_coefficients.h"
#include "filters/blur/row_block.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>

namespace tessaly::simd {

template <class Isa>
struct GaussianStep {
  using VD = typename Isa::VD;
  VD b0, b1, b2, b3, B, half;

  explicit GaussianStep(const GaussianCoefficients& k)
      : b0(Isa::setD(k.b0)), b1(Isa::setD(k.b1)), b2(Isa::setD(k.b2)), b3(Isa::setD(k.b3)), B(Isa::setD(k.B)),
        half(Isa::setD(0.5)) {}

  // v = B·p + (b2·y2 + b1·y1 + b3·y3) / b0, rounded to single precision.
  VD next(VD p, VD y1, VD y2, VD y3) const {
    VD sum = Isa::mulAdd(b1, y1, Isa::mul(b2, y2));
    sum = Isa::mulAdd(b3, y3, sum);
    return Isa::roundToFloat(Isa::mulAdd(B, p, Isa::div(sum, b0)));
  }

  // One sub-pass over rows `from`, `from + step`, … (count rows), starting
  // from the values of row `from`. `state` holds the three runs of results,
  // then the lowest and highest byte of every column.
  void sweep(const RowBlock& block, std::int64_t from, std::int64_t step, std::uint32_t count,
             double* state) const {
    const std::uint32_t chunks = block.bytes / Isa::kChunk;
    constexpr unsigned L = Isa::kDoubleLanes;
    double* runs[3] = {state, state + block.bytes, state + 2 * std::size_t{block.bytes}};
    const double* low = state + 3 * std::size_t{block.bytes};
    const double* high = state + 4 * std::size_t{block.bytes};
    const std::uint8_t* edge = block.row(static_cast<std::uint32_t>(from));
    for (std::uint32_t c = 0; c < chunks; ++c) {
      VD p[8];
      Isa::widenD(edge + std::size_t{c} * Isa::kChunk, p);
      for (unsigned i = 0; i < 8; ++i)
        for (double* run : runs) Isa::storeD(run + std::size_t{c} * Isa::kChunk + i * L, p[i]);
    }
    // runs[0] holds y1, runs[1] y2, runs[2] y3; the newest result replaces y3
    // and the roles turn.
    for (std::uint32_t s = 0; s < count; ++s) {
      std::uint8_t* row = block.row(static_cast<std::uint32_t>(from + step * s));
      // Rows lie a pitch apart; the one after next is fetched early.
      const std::uint8_t* ahead = s + 2 < count ? block.row(static_cast<std::uint32_t>(from + step * (s + 2))) : nullptr;
      for (std::uint32_t c = 0; c < chunks; ++c) {
        const std::size_t at = std::size_t{c} * Isa::kChunk;
        if (ahead != nullptr && at % 64 == 0) _mm_prefetch(reinterpret_cast<const char*>(ahead + at), _MM_HINT_T0);
        VD p[8];
        Isa::widenD(row + at, p);
        for (unsigned i = 0; i < 8; ++i) {
          const std::size_t lane = at + i * L;
          const VD v = next(p[i], Isa::loadD(runs[0] + lane), Isa::loadD(runs[1] + lane), Isa::loadD(runs[2] + lane));
          Isa::storeD(runs[2] + lane, v);
          const VD limited = Isa::max(Isa::min(v, Isa::loadD(high + lane)), Isa::loadD(low + lane));
          p[i] = Isa::add(limited, half);
        }
        Isa::store(row + at, Isa::truncateLowBytes(p));
      }
      double* newest = runs[2];
      runs[2] = runs[1];
      runs[1] = runs[0];
      runs[0] = newest;
    }
  }
};

// The lowest and highest byte of every column of the block, as doubles at
// `low` and `high`: 16 columns a vector (the block is a multiple of 16 wide),
// up to 256 columns at a time, row after row.
template <class Isa>
void gaussianColumnRange(const RowBlock& block, double* low, double* high) {
  constexpr std::uint32_t kVectors = 16;
  for (std::uint32_t start = 0; start < block.bytes; start += 16 * kVectors) {
    const std::uint32_t vectors = std::min(kVectors, (block.bytes - start) / 16);
    __m128i lowest[kVectors], highest[kVectors];
    for (std::uint32_t i = 0; i < vectors; ++i) {
      lowest[i] = _mm_set1_epi8(static_cast<char>(0xFF));
      highest[i] = _mm_setzero_si128();
    }
    for (std::uint32_t y = 0; y < block.rows; ++y) {
      const std::uint8_t* row = block.row(y) + start;
      for (std::uint32_t i = 0; i < vectors; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 16 * i));
        lowest[i] = _mm_min_epu8(lowest[i], v);
        highest[i] = _mm_max_epu8(highest[i], v);
      }
    }
    alignas(64) std::uint8_t bytes[2][16 * kVectors];
    for (std::uint32_t i = 0; i < vectors; ++i) {
      _mm_store_si128(reinterpret_cast<__m128i*>(bytes[0] + 16 * i), lowest[i]);
      _mm_store_si128(reinterpret_cast<__m128i*>(bytes[1] + 16 * i), highest[i]);
    }
    for (std::uint32_t at = 0; at < 16 * vectors; at += Isa::kChunk) {
      typename Isa::VD v[8];
      Isa::widenD(bytes[0] + at, v);
      for (unsigned i = 0; i < 8; ++i) Isa::storeD(low + start + at + i * Isa::kDoubleLanes, v[i]);
      Isa::widenD(bytes[1] + at, v);
      for (unsigned i = 0; i < 8; ++i) Isa::storeD(high + start + at + i * Isa::kDoubleLanes, v[i]);
    }
  }
}

// Both sub-passes over every column of the block (at least one row). The
// filter state, the last three results of every channel as doubles that hold
// floats, is three runs of `bytes` values at `state`; the two runs after them
// hold each column's range, within which every result is kept.
template <class Isa>
void gaussianBlock(const RowBlock& block, const GaussianCoefficients& k, double* state) {
  const GaussianStep<Isa> step(k);
  gaussianColumnRange<Isa>(block, state + 3 * std::size_t{block.bytes}, state + 4 * std::size_t{block.bytes});
  step.sweep(block, block.rows - 1, -1, block.rows, state);
  step.sweep(block, 0, 1, block.rows, state);
}

}  // namespace tessaly::simd
