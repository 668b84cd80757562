// The binomial kernel for radius 5 … 8 in 16-bit integer lanes: each weight
// C(2r, k) fits a signed 16-bit lane (C(16, 8) = 12870), so taps k and k + 1
// are interleaved once into 16-bit pairs and one multiply-add per pair of
// weights adds both into exact 32-bit sums (below 255 · 4^8 < 2^24). The
// pairs of a line (or of a row of a block) are built once and serve every
// output whose window contains them. Away from the ends T = 4^r and
// R(S / T) = (S + 4^r / 2) >> 2r; near them S / T is divided in double
// precision as the reference does. Templates over the instruction set only.
#pragma once

#include "filters/binomial_kernel_memory.h"
#include "filters/binomial_pair_ops.h"
#include "filters/binomial_weights.h"
#include "filters/blur_arithmetic.h"
#include "filters/pixel_lines.h"
#include "filters/row_block.h"

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace tessaly::simd {

// Weights (C(2r, 2m), C(2r, 2m + 1)) for m = 0 … r as 16-bit pairs; the last
// pair's second weight lies beyond the kernel and is 0.
// (Templates, like everything here, so that each instruction set's unit
// keeps its own copy.)
template <class Isa>
void binomialPairWeights(const BinomialWeights& w, std::uint32_t pairs[kBinomialPairRadius + 1]) {
  const std::uint32_t r = w.radius;
  for (std::uint32_t m = 0; m <= r; ++m) {
    const std::uint64_t second = 2 * m + 1 <= 2 * r ? w.exact[2 * m + 1].low : 0;
    pairs[m] = static_cast<std::uint32_t>(w.exact[2 * m].low | (second << 16));
  }
}

// R(S / T) lane by lane, for outputs near the ends; `sums` in byte order.
template <class Isa>
void binomialPairEnds(const std::uint32_t* sums, std::uint32_t total, std::uint8_t* out, unsigned count) {
  const StrictDouble t = StrictDouble::fromUint32(total);
  for (unsigned i = 0; i < count; ++i) out[i] = roundToByte(StrictDouble::fromUint32(sums[i]) / t);
}

// One chunk of outputs: Σ over the r + 1 weight pairs of pairs · weights,
// the pairs of pair m starting at pairRows[m] + at.
template <class Isa>
[[gnu::always_inline]] inline void binomialPairSums(const std::uint8_t* const* pairRows, std::size_t at,
                                                    const typename Isa::VI* weights, std::uint32_t r,
                                                    typename Isa::VI s[4]) {
  using P = BinomialPairOps<Isa::kChunk>;
  using VI = typename Isa::VI;
  for (unsigned v = 0; v < 4; ++v) s[v] = Isa::zero();
  for (std::uint32_t m = 0; m <= r; ++m) {
    const std::uint8_t* p = pairRows[m] + at;
    for (unsigned v = 0; v < 4; ++v)
      s[v] = Isa::add32(s[v], P::madd(Isa::load(p + v * sizeof(VI)), weights[m]));
  }
}

template <class Isa>
typename Isa::VI binomialPairMiddle(typename Isa::VI s[4], std::uint32_t r) {
  using P = BinomialPairOps<Isa::kChunk>;
  const auto half = Isa::set32(1u << (2 * r - 1));
  const __m128i shift = _mm_cvtsi32_si128(static_cast<int>(2 * r));
  for (unsigned v = 0; v < 4; ++v) s[v] = P::srl32(Isa::add32(s[v], half), shift);
  return Isa::narrow32(s);
}

// Down the columns of `block`, in place. The pairs of rows j and j + 1 (rows
// beyond either end count as 0), for j = −r … n − 1 + r, live in a ring of
// 2r + 1 slots; every output row reads the r + 1 slots of its window. Each
// pair row is built before either of its rows is overwritten.
template <class Isa>
void binomialBlockPairs(const RowBlock& block, const BinomialMemory& m) {
  using P = BinomialPairOps<Isa::kChunk>;
  using VI = typename Isa::VI;
  const std::uint32_t r = m.weights->radius, taps = 2 * r + 1, n = block.rows, chunks = block.bytes / Isa::kChunk;
  const std::size_t slotBytes = 4 * std::size_t{block.bytes};
  std::uint32_t weightPairs[kBinomialPairRadius + 1];
  binomialPairWeights<Isa>(*m.weights, weightPairs);
  VI weights[kBinomialPairRadius + 1];
  for (std::uint32_t k = 0; k <= r; ++k) weights[k] = Isa::set32(weightPairs[k]);
  auto rowOrZero = [&](std::int64_t j) {
    return j < 0 || j >= n ? m.zeroRow : block.row(static_cast<std::uint32_t>(j));
  };

  std::uint32_t nextPair = 0;  // the next pair row to build, as j + r
  for (std::uint32_t y = 0; y < n; ++y) {
    for (; nextPair <= std::uint64_t{y} + 2 * r; ++nextPair) {
      const std::int64_t j = std::int64_t{nextPair} - r;
      const std::uint8_t* x = rowOrZero(j);
      const std::uint8_t* below = rowOrZero(j + 1);
      std::uint8_t* slot = m.pairRing + std::size_t{nextPair % taps} * slotBytes;
      for (std::size_t at = 0; at < block.bytes; at += P::kPairBytes) {
        VI pairs[2];
        P::makePairs(x + at, below + at, pairs);
        Isa::store(slot + 4 * at, pairs[0]);
        Isa::store(slot + 4 * at + sizeof(VI), pairs[1]);
      }
    }
    const std::uint8_t* pairRows[kBinomialPairRadius + 1];
    for (std::uint32_t k = 0; k <= r; ++k) pairRows[k] = m.pairRing + std::size_t{(y + 2 * k) % taps} * slotBytes;
    const bool middle = y >= r && std::uint64_t{y} + r < n;
    std::uint8_t* row = block.row(y);
    // The row the next pair row needs is fetched a row ahead.
    const std::uint8_t* ahead = std::uint64_t{y} + r + 2 < n ? block.row(y + r + 2) : nullptr;
    for (std::uint32_t c = 0; c < chunks; ++c) {
      const std::size_t at = std::size_t{c} * Isa::kChunk;
      if (ahead != nullptr && at % 64 == 0) _mm_prefetch(reinterpret_cast<const char*>(ahead + at), _MM_HINT_T0);
      VI s[4];
      binomialPairSums<Isa>(pairRows, 4 * at, weights, r, s);
      if (middle) {
        Isa::store(row + at, binomialPairMiddle<Isa>(s, r));
      } else {
        std::uint32_t sums[Isa::kChunk];
        for (unsigned v = 0; v < 4; ++v) Isa::store(reinterpret_cast<std::uint8_t*>(sums) + v * sizeof(VI), s[v]);
        binomialPairEnds<Isa>(sums, m.exactTotals[y], row + at, Isa::kChunk);
      }
    }
  }
}

// Along one row, in place: the row is copied between `pad` zero pixels on
// each side, and the pairs of pixels p and p + 1 (16 bytes for each p, from
// p = −r on) are built once for the whole row.
template <class Isa>
void binomialRowPairs(const PixelLine& line, const BinomialMemory& m) {
  using P = BinomialPairOps<Isa::kChunk>;
  using VI = typename Isa::VI;
  constexpr unsigned kChunkPixels = Isa::kChunk / 4;
  constexpr unsigned kPairPixels = P::kPairBytes / 4;
  const std::uint32_t r = m.weights->radius, n = line.length;
  std::uint8_t* bytes = m.paddedBytes + 4 * std::size_t{m.pad};
  std::memcpy(bytes, line.first, 4 * std::size_t{n});
  std::uint8_t* pairs = m.pairs + 16 * std::size_t{m.pad};
  // The last chunk's outputs (up to n + kChunkPixels − 1) reach pair n + kChunkPixels − 1 + r;
  // the pad covers what a whole step past it reads and writes.
  const std::int64_t end = std::int64_t{n} + kChunkPixels + r;
  for (std::int64_t p = -std::int64_t{r}; p < end; p += kPairPixels) {
    VI out[2];
    P::makePairs(bytes + 4 * p, bytes + 4 * (p + 1), out);
    Isa::store(pairs + 16 * p, out[0]);
    Isa::store(pairs + 16 * p + sizeof(VI), out[1]);
  }
  std::uint32_t weightPairs[kBinomialPairRadius + 1];
  binomialPairWeights<Isa>(*m.weights, weightPairs);
  VI weights[kBinomialPairRadius + 1];
  const std::uint8_t* pairRows[kBinomialPairRadius + 1];
  for (std::uint32_t k = 0; k <= r; ++k) {
    weights[k] = Isa::set32(weightPairs[k]);
    pairRows[k] = pairs + 16 * (std::int64_t{2 * k} - r);
  }
  for (std::uint32_t x = 0; x < n; x += kChunkPixels) {
    if (m.ahead != nullptr && x % 16 == 0) _mm_prefetch(reinterpret_cast<const char*>(m.ahead + 4 * std::size_t{x}), _MM_HINT_T0);
    VI s[4];
    binomialPairSums<Isa>(pairRows, 16 * std::size_t{x}, weights, r, s);
    const bool middle = x >= r && std::uint64_t{x} + kChunkPixels + r <= n;
    const unsigned count = x + kChunkPixels <= n ? Isa::kChunk : 4 * (n - x);
    if (middle) {
      Isa::store(line.first + 4 * std::size_t{x}, binomialPairMiddle<Isa>(s, r));
      continue;
    }
    std::uint32_t sums[Isa::kChunk];
    for (unsigned v = 0; v < 4; ++v) Isa::store(reinterpret_cast<std::uint8_t*>(sums) + v * sizeof(VI), s[v]);
    for (unsigned i = 0; i < count; i += 4)
      binomialPairEnds<Isa>(sums + i, m.exactTotals[x + i / 4], line.first + 4 * std::size_t{x} + i, 4);
  }
}

}  // namespace tessaly::simd
