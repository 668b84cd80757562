// The recursive Gaussian down the columns of a block of rows, in place,
// vectorised over the columns: the anti-causal sub-pass from the last row up,
// then the causal one down over the bytes it wrote. Each step is formed with
// the same double-precision operations in the same order as the plain filter
// (every product of two floats is exact, so a fused multiply-add rounds as the
// separate addition does), and every result is limited to its line's range.
// Limiting the rounded byte gives what rounding the limited value gives: both
// bounds are whole numbers. Templates over the instruction set only.
#pragma once

#include "filters/blur/gaussian_coefficients.h"
#include "filters/blur/row_block.h"

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

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
  // from the values of row `from`. `state` holds the three runs of results.
  // The range of every column is gathered by the first sub-pass as it reads
  // the rows; its own results are only saturated to bytes, and the second
  // sub-pass limits each byte it reads to the range before using it (what the
  // first should have written: limiting the rounded byte gives what
  // rounding the limited value gives, both bounds being whole numbers), and
  // limits its own results likewise.
  template <bool kFirst>
  void sweep(const RowBlock& block, std::int64_t from, std::int64_t step, std::uint32_t count, double* state,
             std::uint8_t* lowest, std::uint8_t* highest) const {
    const std::uint32_t chunks = block.bytes / Isa::kChunk;
    constexpr unsigned L = Isa::kDoubleLanes;
    double* runs[3] = {state, state + block.bytes, state + 2 * std::size_t{block.bytes}};
    // The row's bytes at `at`: in the first sub-pass as they are (and taken
    // into the range), in the second limited to the range (and so written).
    const auto limitedRow = [&](std::uint8_t* row, std::size_t at) {
      const auto bytes = Isa::load(row + at);
      const auto low = Isa::load(lowest + at), high = Isa::load(highest + at);
      if constexpr (kFirst) {
        Isa::store(lowest + at, Isa::minU8(low, bytes));
        Isa::store(highest + at, Isa::maxU8(high, bytes));
      } else {
        Isa::store(row + at, Isa::maxU8(Isa::minU8(bytes, high), low));
      }
    };
    std::uint8_t* edge = block.row(static_cast<std::uint32_t>(from));
    for (std::uint32_t c = 0; c < chunks; ++c) {
      if constexpr (!kFirst) limitedRow(edge, std::size_t{c} * Isa::kChunk);
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
        limitedRow(row, at);
        VD p[8];
        Isa::widenD(row + at, p);
        for (unsigned i = 0; i < 8; ++i) {
          const std::size_t lane = at + i * L;
          const VD v = next(p[i], Isa::loadD(runs[0] + lane), Isa::loadD(runs[1] + lane), Isa::loadD(runs[2] + lane));
          Isa::storeD(runs[2] + lane, v);
          p[i] = Isa::add(v, half);
        }
        const auto bytes = Isa::truncateToBytesLimited(p);
        if constexpr (kFirst) Isa::store(row + at, bytes);
        else Isa::store(row + at, Isa::maxU8(Isa::minU8(bytes, Isa::load(highest + at)), Isa::load(lowest + at)));
      }
      double* newest = runs[2];
      runs[2] = runs[1];
      runs[1] = runs[0];
      runs[0] = newest;
    }
  }
};

// Both sub-passes over every column of the block (at least one row). The
// filter state is three runs of `bytes` doubles at `state` (the last three
// results of every channel, floats held as doubles), then room for each
// column's lowest and highest byte.
template <class Isa>
void gaussianBlock(const RowBlock& block, const GaussianCoefficients& k, double* state) {
  const GaussianStep<Isa> step(k);
  auto* lowest = reinterpret_cast<std::uint8_t*>(state + 3 * std::size_t{block.bytes});
  std::uint8_t* highest = lowest + block.bytes;
  std::memset(lowest, 0xFF, block.bytes);
  std::memset(highest, 0, block.bytes);
  step.template sweep<true>(block, block.rows - 1, -1, block.rows, state, lowest, highest);
  step.template sweep<false>(block, 0, 1, block.rows, state, lowest, highest);
}

}  // namespace tessaly::simd
