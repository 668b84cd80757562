// The binomial kernel for radius 5 … 12 in 16-bit integer lanes. Neighbouring
// values are interleaved once into 16-bit pairs, and one multiply-add per pair
// of weights adds both into 32-bit sums. Up to radius 8 every weight C(2r, k)
// fits a signed 16-bit lane (C(16, 8) = 12870) and the pairs are of bytes.
// Above it the kernel (1 + z)^2r is split into (1 + z)^t, t = 2r − 17, summed
// first in 16-bit lanes (b[q] = Σ C(t, i) · a[q + i] ≤ 255 · 2^7), and
// (1 + z)^17, whose weights fit 16 bits (C(17, 8) = 24310), over the pairs of
// those sums. Zero beyond the ends makes the split exact everywhere, and
// every S is below 255 · 4^12 < 2^32, so the 32-bit sums are exact. Away from
// the ends T = 4^r and R(S / T) = (S + 4^r / 2) >> 2r; near them S / T is
// divided in double precision as the reference does. Templates over the
// instruction set only, so that each instruction set's unit keeps its own
// copy of everything here.
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

// The split of (1 + z)^2r: weights C(t, i) of the first sums, and the pairs
// (C(d, 2m), C(d, 2m + 1)) of degree d = 2r − t as 16-bit lanes (a weight
// beyond d is 0).
template <class Isa>
struct BinomialPairPlan {
  std::uint32_t first, degree, pairCount;
  std::uint16_t firstWeights[8] = {};
  typename Isa::VI pairWeights[kBinomialPairDegree / 2 + 1];

  explicit BinomialPairPlan(std::uint32_t r) {
    first = 2 * r > kBinomialPairDegree ? 2 * r - kBinomialPairDegree : 0;
    degree = 2 * r - first;
    pairCount = degree / 2 + 1;
    std::uint32_t row[kBinomialPairDegree + 2] = {1};  // Pascal's triangle, row by row
    for (std::uint32_t k = 1; k <= degree; ++k) {
      for (std::uint32_t i = k; i > 0; --i) row[i] += row[i - 1];
      if (k == first)
        for (std::uint32_t i = 0; i <= first; ++i) firstWeights[i] = static_cast<std::uint16_t>(row[i]);
    }
    for (std::uint32_t m = 0; m < pairCount; ++m) pairWeights[m] = Isa::set32(row[2 * m] | row[2 * m + 1] << 16);
  }
};

// R(S / T) lane by lane, for outputs near the ends; `sums` in byte order.
template <class Isa>
void binomialPairEnds(const std::uint32_t* sums, std::uint32_t total, std::uint8_t* out, unsigned count) {
  const StrictDouble t = StrictDouble::fromUint32(total);
  for (unsigned i = 0; i < count; ++i) out[i] = roundToByte(StrictDouble::fromUint32(sums[i]) / t);
}

// The first sums of the kPairBytes values at `at`: Σ C(t, i) · tap i, tap i's
// bytes at taps(i) + at, in 16-bit lanes in byte order.
template <class Isa, class Taps>
[[gnu::always_inline]] inline typename Isa::VI binomialFirstSums(const BinomialPairPlan<Isa>& plan, Taps taps,
                                                                 std::size_t at) {
  using P = BinomialPairOps<Isa::kChunk>;
  auto sum = P::widen(taps(0) + at);
  for (std::uint32_t i = 1; i <= plan.first; ++i)
    sum = Isa::add16(sum, Isa::mullo16(P::widen(taps(i) + at), Isa::set16(plan.firstWeights[i])));
  return sum;
}

// One chunk of outputs: Σ over the weight pairs of pairs · weights, the pairs
// of pair m starting at pairRows[m] + at.
template <class Isa>
[[gnu::always_inline]] inline void binomialPairSums(const std::uint8_t* const* pairRows, std::size_t at,
                                                    const BinomialPairPlan<Isa>& plan, typename Isa::VI s[4]) {
  using P = BinomialPairOps<Isa::kChunk>;
  using VI = typename Isa::VI;
  for (unsigned v = 0; v < 4; ++v) s[v] = Isa::zero();
  for (std::uint32_t m = 0; m < plan.pairCount; ++m) {
    const std::uint8_t* p = pairRows[m] + at;
    for (unsigned v = 0; v < 4; ++v)
      s[v] = Isa::add32(s[v], P::madd(Isa::load(p + v * sizeof(VI)), plan.pairWeights[m]));
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

// Down the columns of `block`, in place. With b[q] the first sums of rows
// q … q + t (rows beyond either end count as 0; b = a when t = 0), the pairs
// of b[q] and b[q + 1] for q = −r … n − 1 − r + d live in a ring of d + 1
// slots; output row y reads those of q = y − r + 2m. Each pair row is built
// before any row it sums is overwritten (its last row is y + r + 1).
template <class Isa, bool kFirstSums>
void binomialBlockPairsOf(const RowBlock& block, const BinomialMemory& m) {
  using P = BinomialPairOps<Isa::kChunk>;
  using VI = typename Isa::VI;
  const std::uint32_t r = m.weights->radius, n = block.rows, chunks = block.bytes / Isa::kChunk;
  const BinomialPairPlan<Isa> plan(r);
  const std::uint32_t slots = plan.degree + 1;
  const std::size_t slotBytes = 4 * std::size_t{block.bytes};
  auto rowOrZero = [&](std::int64_t j) {
    return j < 0 || j >= n ? m.zeroRow : block.row(static_cast<std::uint32_t>(j));
  };
  // b[q] in 16-bit lanes, in one of two rows by the parity of q + r.
  auto firstSumsRow = [&](std::uint32_t qPlusR) {
    return m.firstSumRows + (qPlusR & 1) * 2 * std::size_t{block.bytes};
  };
  auto buildFirstSums = [&](std::uint32_t qPlusR) {
    const std::int64_t q = std::int64_t{qPlusR} - r;
    const std::uint8_t* rows[8];
    for (std::uint32_t i = 0; i <= plan.first; ++i) rows[i] = rowOrZero(q + i);
    std::uint8_t* out = firstSumsRow(qPlusR);
    for (std::size_t at = 0; at < block.bytes; at += P::kPairBytes)
      Isa::store(out + 2 * at, binomialFirstSums<Isa>(plan, [&](std::uint32_t i) { return rows[i]; }, at));
  };

  std::uint32_t nextPair = 0;  // the next pair row to build, as q + r
  if constexpr (kFirstSums) buildFirstSums(0);
  for (std::uint32_t y = 0; y < n; ++y) {
    for (; nextPair <= std::uint64_t{y} + plan.degree; ++nextPair) {
      std::uint8_t* slot = m.pairRing + std::size_t{nextPair % slots} * slotBytes;
      VI pairs[2];
      if constexpr (kFirstSums) {
        buildFirstSums(nextPair + 1);
        const std::uint8_t* x = firstSumsRow(nextPair);
        const std::uint8_t* below = firstSumsRow(nextPair + 1);
        for (std::size_t at = 0; at < block.bytes; at += P::kPairBytes) {
          P::makePairs16(Isa::load(x + 2 * at), Isa::load(below + 2 * at), pairs);
          Isa::store(slot + 4 * at, pairs[0]);
          Isa::store(slot + 4 * at + sizeof(VI), pairs[1]);
        }
      } else {
        const std::int64_t q = std::int64_t{nextPair} - r;
        const std::uint8_t* x = rowOrZero(q);
        const std::uint8_t* below = rowOrZero(q + 1);
        for (std::size_t at = 0; at < block.bytes; at += P::kPairBytes) {
          P::makePairs16(P::widen(x + at), P::widen(below + at), pairs);
          Isa::store(slot + 4 * at, pairs[0]);
          Isa::store(slot + 4 * at + sizeof(VI), pairs[1]);
        }
      }
    }
    const std::uint8_t* pairRows[kBinomialPairDegree / 2 + 1];
    for (std::uint32_t k = 0; k < plan.pairCount; ++k)
      pairRows[k] = m.pairRing + std::size_t{(y + 2 * k) % slots} * slotBytes;
    const bool middle = y >= r && std::uint64_t{y} + r < n;
    std::uint8_t* row = block.row(y);
    // The row the next pair row needs is fetched a row ahead.
    const std::uint8_t* ahead = std::uint64_t{y} + r + 2 < n ? block.row(y + r + 2) : nullptr;
    for (std::uint32_t c = 0; c < chunks; ++c) {
      const std::size_t at = std::size_t{c} * Isa::kChunk;
      if (ahead != nullptr && at % 64 == 0) _mm_prefetch(reinterpret_cast<const char*>(ahead + at), _MM_HINT_T0);
      VI s[4];
      binomialPairSums<Isa>(pairRows, 4 * at, plan, s);
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
// each side; its first sums b (8 bytes a pixel, when t > 0) and the pairs of
// b[p] and b[p + 1] (16 bytes a pixel, from p = −r on) are built once for the
// whole row.
template <class Isa, bool kFirstSums>
void binomialRowPairsOf(const PixelLine& line, const BinomialMemory& m) {
  using P = BinomialPairOps<Isa::kChunk>;
  using VI = typename Isa::VI;
  constexpr unsigned kChunkPixels = Isa::kChunk / 4;
  constexpr unsigned kPairPixels = P::kPairBytes / 4;
  const std::uint32_t r = m.weights->radius, n = line.length;
  const BinomialPairPlan<Isa> plan(r);
  std::uint8_t* bytes = m.paddedBytes + 4 * std::size_t{m.pad};
  std::memcpy(bytes, line.first, 4 * std::size_t{n});
  std::uint8_t* pairs = m.pairs + 16 * std::size_t{m.pad};
  // The last chunk's outputs (up to n + kChunkPixels − 1) reach pair
  // n + kChunkPixels − 1 + r; the pad covers what whole steps past it read
  // and write.
  const std::int64_t end = std::int64_t{n} + kChunkPixels + r;
  if constexpr (kFirstSums) {
    std::uint8_t* sums = m.firstSums + 8 * std::size_t{m.pad};
    for (std::int64_t p = -std::int64_t{r}; p < end + kPairPixels; p += kPairPixels)
      Isa::store(sums + 8 * p,
                 binomialFirstSums<Isa>(plan, [&](std::uint32_t i) { return bytes + 4 * (p + i); }, 0));
    for (std::int64_t p = -std::int64_t{r}; p < end; p += kPairPixels) {
      VI out[2];
      P::makePairs16(Isa::load(sums + 8 * p), Isa::load(sums + 8 * (p + 1)), out);
      Isa::store(pairs + 16 * p, out[0]);
      Isa::store(pairs + 16 * p + sizeof(VI), out[1]);
    }
  } else {
    for (std::int64_t p = -std::int64_t{r}; p < end; p += kPairPixels) {
      VI out[2];
      P::makePairs16(P::widen(bytes + 4 * p), P::widen(bytes + 4 * (p + 1)), out);
      Isa::store(pairs + 16 * p, out[0]);
      Isa::store(pairs + 16 * p + sizeof(VI), out[1]);
    }
  }
  const std::uint8_t* pairRows[kBinomialPairDegree / 2 + 1];
  for (std::uint32_t k = 0; k < plan.pairCount; ++k) pairRows[k] = pairs + 16 * (std::int64_t{2 * k} - r);
  for (std::uint32_t x = 0; x < n; x += kChunkPixels) {
    if (m.ahead != nullptr && x % 16 == 0) _mm_prefetch(reinterpret_cast<const char*>(m.ahead + 4 * std::size_t{x}), _MM_HINT_T0);
    VI s[4];
    binomialPairSums<Isa>(pairRows, 16 * std::size_t{x}, plan, s);
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

template <class Isa>
void binomialBlockPairs(const RowBlock& block, const BinomialMemory& m) {
  if (2 * m.weights->radius <= kBinomialPairDegree) binomialBlockPairsOf<Isa, false>(block, m);
  else binomialBlockPairsOf<Isa, true>(block, m);
}

template <class Isa>
void binomialRowPairs(const PixelLine& line, const BinomialMemory& m) {
  if (2 * m.weights->radius <= kBinomialPairDegree) binomialRowPairsOf<Isa, false>(line, m);
  else binomialRowPairsOf<Isa, true>(line, m);
}

}  // namespace tessaly::simd
