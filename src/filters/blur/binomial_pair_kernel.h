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

#include "filters/blur/binomial_kernel_memory.h"
#include "filters/blur/binomial_pair_ops.h"
#include "filters/blur/binomial_weights.h"
#include "filters/blur/blur_arithmetic.h"
#include "filters/blur/pixel_lines.h"
#include "filters/blur/row_block.h"

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
  const double t = total;
  for (unsigned i = 0; i < count; ++i) out[i] = roundToByte(static_cast<double>(sums[i]) / t);
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
[[gnu::always_inline]] inline void binomialPairSums(const std::uint8_t* const* pairRows, std::ptrdiff_t at,
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

// Down the columns of `block`: with b[q] the first sums of rows q … q + t
// (rows beyond either end count as 0; b = a when t = 0), the pairs of b[q]
// and b[q + 1] live in a ring of d + 1 slots, and row q's sums read those of
// q − r + 2m. Rows are taken in order from `from` on; making row q's sums
// ready reads rows up to q + r + 1, and nothing above.
template <class Isa, bool kFirstSums>
class BinomialColumnPairs {
 public:
  using VI = typename Isa::VI;

  BinomialColumnPairs(const RowBlock& block, const BinomialMemory& m, std::uint32_t r, std::int64_t from)
      : block_(block), m_(m), plan_(r), r_(r), from_(from), slots_(plan_.degree + 1),
        slotBytes_(4 * std::size_t{block.bytes}) {
    if constexpr (kFirstSums) buildFirstSums(0);
  }

  // Builds what row q's sums need (q from `from` on, in order).
  void advance(std::int64_t q) {
    const auto offset = static_cast<std::uint64_t>(q - from_);
    for (; nextPair_ <= offset + plan_.degree; ++nextPair_) buildPairs();
    for (std::uint32_t k = 0; k < plan_.pairCount; ++k)
      pairRows_[k] = m_.pairRing + static_cast<std::uint32_t>((offset + 2 * k) % slots_) * slotBytes_;
  }
  // Row q's sums of the chunk at byte `at`, in byte order.
  void sums(std::size_t at, VI s[4]) const { binomialPairSums<Isa>(pairRows_, 4 * static_cast<std::ptrdiff_t>(at), plan_, s); }

 private:
  using P = BinomialPairOps<Isa::kChunk>;

  const std::uint8_t* rowOrZero(std::int64_t j) const {
    return j < 0 || j >= block_.rows ? m_.zeroRow : block_.row(static_cast<std::uint32_t>(j));
  }
  // Pair row `index` (counted from from − r) is of rows index + from − r and the next.
  std::int64_t pairRow(std::uint64_t index) const { return static_cast<std::int64_t>(index) + from_ - r_; }
  // b of pair row `index`, in one of two rows by its parity.
  std::uint8_t* firstSumsRow(std::uint64_t index) const {
    return m_.firstSumRows + (index & 1) * 2 * std::size_t{block_.bytes};
  }
  void buildFirstSums(std::uint64_t index) {
    const std::int64_t q = pairRow(index);
    const std::uint8_t* rows[8];
    for (std::uint32_t i = 0; i <= plan_.first; ++i) rows[i] = rowOrZero(q + i);
    std::uint8_t* out = firstSumsRow(index);
    for (std::size_t at = 0; at < block_.bytes; at += P::kPairBytes)
      Isa::store(out + 2 * at, binomialFirstSums<Isa>(plan_, [&](std::uint32_t i) { return rows[i]; }, at));
  }
  void buildPairs() {
    std::uint8_t* slot = m_.pairRing + static_cast<std::uint32_t>(nextPair_ % slots_) * slotBytes_;
    VI pairs[2];
    if constexpr (kFirstSums) {
      buildFirstSums(nextPair_ + 1);
      const std::uint8_t* x = firstSumsRow(nextPair_);
      const std::uint8_t* below = firstSumsRow(nextPair_ + 1);
      for (std::size_t at = 0; at < block_.bytes; at += P::kPairBytes) {
        P::makePairs16(Isa::load(x + 2 * at), Isa::load(below + 2 * at), pairs);
        Isa::store(slot + 4 * at, pairs[0]);
        Isa::store(slot + 4 * at + sizeof(VI), pairs[1]);
      }
    } else {
      const std::int64_t q = pairRow(nextPair_);
      const std::uint8_t* x = rowOrZero(q);
      const std::uint8_t* below = rowOrZero(q + 1);
      for (std::size_t at = 0; at < block_.bytes; at += P::kPairBytes) {
        P::makePairs16(P::widen(x + at), P::widen(below + at), pairs);
        Isa::store(slot + 4 * at, pairs[0]);
        Isa::store(slot + 4 * at + sizeof(VI), pairs[1]);
      }
    }
  }

  const RowBlock& block_;
  const BinomialMemory& m_;
  const BinomialPairPlan<Isa> plan_;
  const std::uint32_t r_;
  const std::int64_t from_;
  const std::uint32_t slots_;
  const std::size_t slotBytes_;
  std::uint64_t nextPair_ = 0;  // the next pair row to build
  const std::uint8_t* pairRows_[kBinomialPairDegree / 2 + 1] = {};
};

// Down the columns of `block`, in place: each row is written once its sums
// are taken, and they never read a row above it.
template <class Isa, bool kFirstSums>
void binomialBlockPairsOf(const RowBlock& block, const BinomialMemory& m) {
  using VI = typename Isa::VI;
  const std::uint32_t r = m.weights->radius, n = block.rows, chunks = block.bytes / Isa::kChunk;
  BinomialColumnPairs<Isa, kFirstSums> columns(block, m, r, 0);
  for (std::uint32_t y = 0; y < n; ++y) {
    columns.advance(y);
    const bool middle = y >= r && std::uint64_t{y} + r < n;
    std::uint8_t* row = block.row(y);
    // The row the next pair row needs is fetched a row ahead.
    const std::uint8_t* ahead = std::uint64_t{y} + r + 2 < n ? block.row(y + r + 2) : nullptr;
    for (std::uint32_t c = 0; c < chunks; ++c) {
      const std::size_t at = std::size_t{c} * Isa::kChunk;
      if (ahead != nullptr && at % 64 == 0) _mm_prefetch(reinterpret_cast<const char*>(ahead + at), _MM_HINT_T0);
      VI s[4];
      columns.sums(at, s);
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

// Along a row copied between zero pixels (at `bytes`, `pad` of them on each
// side): the first sums b (8 bytes a pixel, when t > 0) and the pairs of b[p]
// and b[p + 1] (16 bytes a pixel) that the sums of positions from … to − 1
// need, for whole chunks. Returns the pairs of position 0.
template <class Isa, bool kFirstSums>
const std::uint8_t* binomialRowPairsFor(const std::uint8_t* bytes, const BinomialPairPlan<Isa>& plan,
                                        std::uint32_t r, std::int64_t from, std::int64_t to,
                                        const BinomialMemory& m) {
  using P = BinomialPairOps<Isa::kChunk>;
  using VI = typename Isa::VI;
  constexpr unsigned kPairPixels = P::kPairBytes / 4;
  std::uint8_t* pairs = m.pairs + 16 * std::size_t{m.pad};
  // The pad covers what whole steps past `to` read and write.
  const std::int64_t begin = from - r, end = to + r;
  if constexpr (kFirstSums) {
    std::uint8_t* sums = m.firstSums + 8 * std::size_t{m.pad};
    for (std::int64_t p = begin; p < end + kPairPixels; p += kPairPixels)
      Isa::store(sums + 8 * p,
                 binomialFirstSums<Isa>(plan, [&](std::uint32_t i) { return bytes + 4 * (p + i); }, 0));
    for (std::int64_t p = begin; p < end; p += kPairPixels) {
      VI out[2];
      P::makePairs16(Isa::load(sums + 8 * p), Isa::load(sums + 8 * (p + 1)), out);
      Isa::store(pairs + 16 * p, out[0]);
      Isa::store(pairs + 16 * p + sizeof(VI), out[1]);
    }
  } else {
    for (std::int64_t p = begin; p < end; p += kPairPixels) {
      VI out[2];
      P::makePairs16(P::widen(bytes + 4 * p), P::widen(bytes + 4 * (p + 1)), out);
      Isa::store(pairs + 16 * p, out[0]);
      Isa::store(pairs + 16 * p + sizeof(VI), out[1]);
    }
  }
  return pairs;
}

// The sums of the chunk at position x from the pairs of position 0.
template <class Isa>
[[gnu::always_inline]] inline void binomialRowPairSums(const std::uint8_t* pairs, const BinomialPairPlan<Isa>& plan, std::uint32_t r,
                         std::int64_t x, typename Isa::VI s[4]) {
  const std::uint8_t* pairRows[kBinomialPairDegree / 2 + 1];
  for (std::uint32_t k = 0; k < plan.pairCount; ++k) pairRows[k] = pairs + 16 * (x + 2 * std::int64_t{k} - r);
  binomialPairSums<Isa>(pairRows, 0, plan, s);
}

// Along one row, in place.
template <class Isa, bool kFirstSums>
void binomialRowPairsOf(const PixelLine& line, const BinomialMemory& m) {
  using VI = typename Isa::VI;
  constexpr unsigned kChunkPixels = Isa::kChunk / 4;
  const std::uint32_t r = m.weights->radius, n = line.length;
  const BinomialPairPlan<Isa> plan(r);
  std::uint8_t* bytes = m.paddedBytes + 4 * std::size_t{m.pad};
  std::memcpy(bytes, line.first, 4 * std::size_t{n});
  const std::uint8_t* pairs =
      binomialRowPairsFor<Isa, kFirstSums>(bytes, plan, r, 0, std::int64_t{n} + kChunkPixels, m);
  for (std::uint32_t x = 0; x < n; x += kChunkPixels) {
    if (m.ahead != nullptr && x % 16 == 0) _mm_prefetch(reinterpret_cast<const char*>(m.ahead + 4 * std::size_t{x}), _MM_HINT_T0);
    VI s[4];
    binomialRowPairSums<Isa>(pairs, plan, r, x, s);
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
