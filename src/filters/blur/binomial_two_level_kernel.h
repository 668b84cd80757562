// The binomial kernel for radius 13 … 22 in two levels: (1 + z)^2r is
// (1 + z)^24, summed exactly in 32-bit lanes by the paired kernel at radius
// 12 (binomial_pair_kernel.h), then (1 + z)^2h, h = r − 12, over those sums in
// doubles with the weights C(2h, k) / 4^r. Every partial sum is an integer
// below 255 · 4^22 < 2^52 times 4^−r, so the doubles are exact and the
// result is S / 4^r exactly; near the ends it is divided by T / 4^r as in
// the double form. Zero beyond the ends keeps the split exact everywhere.
// Templates over the instruction set only.
#pragma once

#include "filters/blur/binomial_kernel.h"
#include "filters/blur/binomial_pair_kernel.h"

#include <cstdint>
#include <cstring>

namespace tessaly::simd {

// The radius-12 sums of one chunk as doubles at `out`, in byte order.
template <class Isa>
[[gnu::always_inline]] inline void binomialStoreSumsAsDoubles(const typename Isa::VI s[4], double* out) {
  using P = BinomialPairOps<Isa::kChunk>;
  constexpr unsigned kLanes = Isa::kChunk / 4;  // 32-bit lanes a vector
  for (unsigned v = 0; v < 4; ++v) {
    typename Isa::VD d[2];
    P::toDoubles(s[v], d);
    Isa::storeD(out + v * kLanes, d[0]);
    Isa::storeD(out + v * kLanes + Isa::kDoubleLanes, d[1]);
  }
}

// Down the columns of `block`, in place: the ring of binomialBlockWide holds
// the radius-12 sums of rows −h … n − 1 + h; making row j's reads rows up to
// j + 13, so row y + h's leaves row y as it was until it is written.
template <class Isa>
void binomialBlockTwoLevel(const RowBlock& block, const BinomialMemory& m) {
  using W = BinomialWide<Isa, double>;
  const BinomialWeights& outer = *m.outerWeights;
  const std::uint32_t r = m.weights->radius, h = outer.radius, taps = 2 * h + 1, n = block.rows;
  const std::uint32_t chunks = block.bytes / Isa::kChunk;
  const std::size_t rowValues = block.bytes;
  double* ring = static_cast<double*>(m.ring);
  BinomialColumnPairs<Isa, true> columns(block, m, kBinomialPairRadius, -std::int64_t{h});
  std::uint32_t nextRow = 0;  // the next row to sum, as j + h
  for (std::uint32_t y = 0; y < n; ++y) {
    for (; nextRow <= std::uint64_t{y} + 2 * h; ++nextRow) {
      columns.advance(std::int64_t{nextRow} - h);
      double* first = ring + std::size_t{nextRow % taps} * rowValues;
      double* second = first + std::size_t{taps} * rowValues;
      for (std::uint32_t c = 0; c < chunks; ++c) {
        const std::size_t at = std::size_t{c} * Isa::kChunk;
        typename Isa::VI s[4];
        columns.sums(at, s);
        binomialStoreSumsAsDoubles<Isa>(s, first + at);
        std::memcpy(second + at, first + at, Isa::kChunk * sizeof(double));
      }
    }
    const double* window = ring + std::size_t{y % taps} * rowValues;
    const bool middle = y >= r && std::uint64_t{y} + r < n;
    double totals[Isa::kChunk];
    if (!middle)
      for (auto& t : totals) t = m.rowTotals[y];
    std::uint8_t* row = block.row(y);
    // The row the next sums need is fetched a row ahead.
    const std::uint8_t* ahead = std::uint64_t{y} + r + 2 < n ? block.row(y + r + 2) : nullptr;
    for (std::uint32_t c = 0; c < chunks; ++c) {
      const std::size_t at = std::size_t{c} * Isa::kChunk;
      if (ahead != nullptr && at % 64 == 0) _mm_prefetch(reinterpret_cast<const char*>(ahead + at), _MM_HINT_T0);
      typename W::V v[W::kVectors];
      binomialWideSums<Isa, double>(window + at, static_cast<std::ptrdiff_t>(rowValues), outer, v);
      W::finish(v, middle ? nullptr : totals, false, row + at);
    }
  }
}

// Along one row, in place: the radius-12 sums of positions −h … n − 1 + h
// (whole chunks) as doubles, then the double sums over them.
template <class Isa>
void binomialRowTwoLevel(const PixelLine& line, const BinomialMemory& m) {
  using W = BinomialWide<Isa, double>;
  constexpr unsigned kChunkPixels = Isa::kChunk / 4;
  const BinomialWeights& outer = *m.outerWeights;
  const std::uint32_t r = m.weights->radius, h = outer.radius, n = line.length;
  const BinomialPairPlan<Isa> plan(kBinomialPairRadius);
  std::uint8_t* bytes = m.paddedBytes + 4 * std::size_t{m.pad};
  std::memcpy(bytes, line.first, 4 * std::size_t{n});
  const std::int64_t from = -std::int64_t{h}, to = std::int64_t{n} + kChunkPixels + h;
  const std::uint8_t* pairs =
      binomialRowPairsFor<Isa, true>(bytes, plan, kBinomialPairRadius, from, to + kChunkPixels, m);
  double* values = static_cast<double*>(m.paddedValues) + 4 * std::size_t{m.pad};
  for (std::int64_t x = from; x < to; x += kChunkPixels) {
    typename Isa::VI s[4];
    binomialRowPairSums<Isa>(pairs, plan, kBinomialPairRadius, x, s);
    binomialStoreSumsAsDoubles<Isa>(s, values + 4 * x);
  }
  for (std::uint32_t x = 0; x < n; x += kChunkPixels) {
    if (m.ahead != nullptr && x % 16 == 0) _mm_prefetch(reinterpret_cast<const char*>(m.ahead + 4 * std::size_t{x}), _MM_HINT_T0);
    typename W::V v[W::kVectors];
    binomialWideSums<Isa, double>(values + 4 * (std::int64_t{x} - h), m.pixelValues, outer, v);
    const bool middle = x >= r && std::uint64_t{x} + kChunkPixels + r <= n;
    std::uint8_t result[Isa::kChunk];
    W::finish(v, middle ? nullptr : m.totals + 4 * std::size_t{x}, false, result);
    if (x + kChunkPixels <= n) Isa::store(line.first + 4 * std::size_t{x}, Isa::load(result));
    else std::memcpy(line.first + 4 * std::size_t{x}, result, 4 * std::size_t{n - x});
  }
}

}  // namespace tessaly::simd
