// The binomial kernel, vectorised: down the columns of a block of rows, and
// along one row at a time. Two of its forms, each exact where it is used:
// 16-bit integer sums up to radius 4 and, above radius 22, double sums of the
// weights C(2r, k) / 4^r (in between see binomial_pair_kernel.h and
// binomial_two_level_kernel.h, which sums on in doubles here). The
// weights are symmetric, so each pair of taps k and 2r − k is added first and
// multiplied once. Above radius 22 the
// double sums are within 2^-36 of S / T; a result within 2^-30 of a rounding
// boundary is recomputed exactly, which settles it.
// Templates over the instruction set only.
#pragma once

#include "filters/blur/binomial_kernel_memory.h"
#include "filters/blur/binomial_weights.h"
#include "filters/blur/box_divisors.h"
#include "filters/simd/chunk_store.h"
#include "filters/blur/pixel_lines.h"
#include "filters/blur/row_block.h"

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace tessaly::simd {

// C(2r, k) as a constant, for the 16-bit kernels (r ≤ 4).
constexpr std::uint16_t shortWeight(std::uint32_t r, std::uint32_t k) {
  std::uint32_t w = 1;
  for (std::uint32_t i = 1; i <= k; ++i) w = w * (2 * r - i + 1) / i;
  return static_cast<std::uint16_t>(w);
}

// The 16-bit form for one radius R ≤ 4, fixed at compile time so that the
// taps unroll with constant weights.
template <class Isa, std::uint32_t R>
struct BinomialShort {
  using VI = typename Isa::VI;
  static constexpr std::uint32_t r = R;

  // Σ C(2r, k) · tap k over one chunk, in 16-bit lanes in the row order of
  // widenRow16 (the sums are per lane, so any order serves). Tap k's bytes
  // are at taps[k] + at.
  static void sums(const std::uint8_t* const* taps, std::size_t at, VI acc[2]) {
    Isa::widenRow16(taps[R] + at, acc);
    const VI centre = Isa::set16(shortWeight(R, R));
    acc[0] = Isa::mullo16(acc[0], centre);
    acc[1] = Isa::mullo16(acc[1], centre);
    for (std::uint32_t k = 0; k < R; ++k) {
      VI a[2], b[2];
      Isa::widenRow16(taps[k] + at, a);
      Isa::widenRow16(taps[2 * R - k] + at, b);
      const VI weight = Isa::set16(shortWeight(R, k));
      acc[0] = Isa::add16(acc[0], Isa::mullo16(Isa::add16(a[0], b[0]), weight));
      acc[1] = Isa::add16(acc[1], Isa::mullo16(Isa::add16(a[1], b[1]), weight));
    }
  }
  // Away from the ends T = 4^r: R(S / T) = (S + 4^r / 2) >> 2r.
  static VI middle(const VI acc[2]) {
    const VI half = Isa::set16(static_cast<std::uint16_t>(1u << (2 * r - 1)));
    const __m128i shift = _mm_cvtsi32_si128(static_cast<int>(2 * r));
    return Isa::narrowRow16(Isa::srl16(Isa::add16(acc[0], half), shift), Isa::srl16(Isa::add16(acc[1], half), shift));
  }
  // Near the ends: (S + T/2) / T with T per lane (tables in pixel order), by
  // the float reciprocal.
  static VI ends(const VI sums[2], const std::uint32_t* halves, const float* reciprocals) {
    VI acc[2] = {sums[0], sums[1]};
    Isa::rowToPixelOrder16(acc);
    VI wide[4];
    Isa::widen16to32(acc[0], wide);
    Isa::widen16to32(acc[1], wide + 2);
    constexpr unsigned kLanes = Isa::kChunk / 4;
    for (unsigned k = 0; k < 4; ++k) {
      const VI numerator = Isa::add32(wide[k], Isa::loadI(halves + k * kLanes));
      wide[k] = Isa::truncate(Isa::mul(Isa::toFloat(numerator), Isa::loadF(reciprocals + k * kLanes)));
    }
    return Isa::narrow32(wide);
  }
};

// Double lanes; a chunk is kVectors vectors.
template <class Isa, class Real>
struct BinomialWide;

template <class Isa>
struct BinomialWide<Isa, double> {
  using V = typename Isa::VD;
  static constexpr unsigned kVectors = 8, kLanes = Isa::kDoubleLanes;
  static void widen(const std::uint8_t* p, V out[8]) { Isa::widenD(p, out); }
  static V load(const double* p) { return Isa::loadD(p); }
  static void store(double* p, V v) { Isa::storeD(p, v); }
  static V set(double v) { return Isa::setD(v); }
  static V add(V a, V b) { return Isa::add(a, b); }
  static V mulAdd(V a, V b, V c) { return Isa::mulAdd(a, b, c); }
  static double weight(const BinomialWeights& w, std::uint32_t k) { return w.scaled[k]; }
  static bool inexact(std::uint32_t r) { return r > kBinomialDoubleExactRadius; }

  // v / T where the window is cut (totals per lane, or null), + 0.5; the
  // bytes go to `out`; returns the lanes too near a boundary to trust.
  static std::uint32_t finish(V v[8], const double* totals, bool inexact, std::uint8_t* out) {
    std::uint32_t doubtful = 0;
    const V half = Isa::setD(0.5);
    for (unsigned i = 0; i < 8; ++i) {
      if (totals != nullptr) v[i] = Isa::div(v[i], Isa::loadD(totals + i * kLanes));
      v[i] = Isa::add(v[i], half);
      if (inexact) {
        const V f = Isa::fraction(v[i]);
        const int mask = Isa::anyLess(f, Isa::setD(0x1p-30)) | Isa::anyLess(Isa::setD(1.0 - 0x1p-30), f);
        doubtful |= static_cast<std::uint32_t>(mask) << (i * kLanes);
      }
    }
    Isa::store(out, Isa::truncateLowBytes(v));
    return doubtful;
  }
};

// acc += w_k · (tap k + tap 2r − k) for one chunk.
template <class Isa, class Real>
[[gnu::always_inline]] inline void binomialAddPair(const Real* first, std::ptrdiff_t distance, const BinomialWeights& w,
                                                   std::uint32_t k, typename BinomialWide<Isa, Real>::V acc[]) {
  using W = BinomialWide<Isa, Real>;
  const Real* near = first + static_cast<std::ptrdiff_t>(k) * distance;
  const Real* far = first + static_cast<std::ptrdiff_t>(2 * w.radius - k) * distance;
  const auto weight = W::set(W::weight(w, k));
  for (unsigned i = 0; i < W::kVectors; ++i)
    acc[i] = W::mulAdd(weight, W::add(W::load(near + i * W::kLanes), W::load(far + i * W::kLanes)), acc[i]);
}

// Σ w_k · tap k for one chunk; tap k's values start at first + k · distance
// (a row of the ring, or a pixel of a padded row). The eight vectors of a
// chunk keep enough additions in flight. Where the sums are exact the order
// does not matter, and the error bound above holds for any order.
template <class Isa, class Real>
[[gnu::always_inline]] inline void binomialWideSums(const Real* first, std::ptrdiff_t distance,
                                                    const BinomialWeights& w,
                                                    typename BinomialWide<Isa, Real>::V out[]) {
  using W = BinomialWide<Isa, Real>;
  constexpr unsigned n = W::kVectors;
  const std::uint32_t r = w.radius;
  const Real* centre = first + static_cast<std::ptrdiff_t>(r) * distance;
  const auto centreWeight = W::set(W::weight(w, r));
  for (unsigned i = 0; i < n; ++i) out[i] = W::mulAdd(centreWeight, W::load(centre + i * W::kLanes), W::set(0));
  for (std::uint32_t k = 0; k < r; ++k) binomialAddPair<Isa, Real>(first, distance, w, k, out);
}

// Down the columns of `block`, in place. Rows beyond either end count as 0
// in S and are left out of T.
template <class Isa, std::uint32_t R>
void binomialBlockShort(const RowBlock& block, const BinomialMemory& m) {
  using S = BinomialShort<Isa, R>;
  using VI = typename Isa::VI;
  const BinomialWeights& w = *m.weights;
  constexpr std::uint32_t r = R;
  const std::uint32_t n = block.rows, chunks = block.bytes / Isa::kChunk;
  const std::uint8_t* taps[2 * R + 1];
  std::uint32_t halves[Isa::kChunk];
  float reciprocals[Isa::kChunk];
  for (std::uint32_t y = 0; y < n; ++y) {
    // Rows before y are overwritten already: their originals are in the ring.
    for (std::uint32_t k = 0; k <= 2 * r; ++k) {
      const std::int64_t j = std::int64_t{y} - r + k;
      taps[k] = j < 0 || j >= n ? m.zeroRow
                : j < y         ? m.byteRing + static_cast<std::size_t>(j % r) * block.bytes
                                : block.row(static_cast<std::uint32_t>(j));
    }
    const bool middle = y >= r && std::uint64_t{y} + r < n;
    if (!middle) {
      const auto total = static_cast<std::uint32_t>(binomialTotal(w, binomialFirstTap(y, r), binomialLastTap(y, r, n)).low);
      const float reciprocal = reciprocalRoundedUp(total);
      for (unsigned i = 0; i < Isa::kChunk; ++i) {
        halves[i] = total / 2;
        reciprocals[i] = reciprocal;
      }
    }
    std::uint8_t* row = block.row(y);
    std::uint8_t* save = m.byteRing + std::size_t{y % r} * block.bytes;
    // The row entering next is fetched a row ahead (see boxBlock).
    const std::uint8_t* ahead = std::uint64_t{y} + r + 1 < n ? block.row(y + r + 1) : nullptr;
    for (std::uint32_t c = 0; c < chunks; ++c) {
      const std::size_t at = std::size_t{c} * Isa::kChunk;
      if (ahead != nullptr && at % 64 == 0) _mm_prefetch(reinterpret_cast<const char*>(ahead + at), _MM_HINT_T0);
      VI acc[2];
      S::sums(taps, at, acc);
      const VI original = Isa::load(row + at);
      const VI result = middle ? S::middle(acc) : S::ends(acc, halves, reciprocals);
      Isa::store(save + at, original);
      Isa::store(row + at, result);
    }
  }
}

template <class Isa, class Real>
void binomialBlockWide(const RowBlock& block, const BinomialMemory& m) {
  using W = BinomialWide<Isa, Real>;
  const BinomialWeights& w = *m.weights;
  const std::uint32_t r = w.radius, taps = 2 * r + 1, n = block.rows, chunks = block.bytes / Isa::kChunk;
  const std::size_t rowValues = block.bytes;
  Real* ring = static_cast<Real*>(m.ring);
  const bool inexact = W::inexact(r);
  // Row j (from −r on) lives in slot (j + r) mod taps and again taps slots
  // later, so the window of every row is one run of taps slots.
  std::uint32_t nextRow = 0;  // the next row to convert, as j + r
  for (std::uint32_t y = 0; y < n; ++y) {
    for (; nextRow <= std::uint64_t{y} + 2 * r; ++nextRow) {
      const std::int64_t j = std::int64_t{nextRow} - r;
      Real* first = ring + std::size_t{nextRow % taps} * rowValues;
      Real* second = first + std::size_t{taps} * rowValues;
      for (std::uint32_t c = 0; c < chunks; ++c) {
        typename W::V v[W::kVectors];
        if (j < 0 || j >= n) {
          for (auto& d : v) d = W::set(0);
        } else {
          W::widen(block.row(static_cast<std::uint32_t>(j)) + std::size_t{c} * Isa::kChunk, v);
        }
        for (unsigned i = 0; i < W::kVectors; ++i) {
          W::store(first + std::size_t{c} * Isa::kChunk + i * W::kLanes, v[i]);
          W::store(second + std::size_t{c} * Isa::kChunk + i * W::kLanes, v[i]);
        }
      }
    }
    const Real* window = ring + std::size_t{y % taps} * rowValues;
    const bool middle = y >= r && std::uint64_t{y} + r < n;
    double totals[Isa::kChunk];
    if (!middle)
      for (auto& t : totals) t = m.rowTotals[y];
    std::uint8_t* row = block.row(y);
    // The row entering next is fetched a row ahead (see boxBlock).
    const std::uint8_t* ahead = std::uint64_t{y} + r + 1 < n ? block.row(y + r + 1) : nullptr;
    for (std::uint32_t c = 0; c < chunks; ++c) {
      const std::size_t at = std::size_t{c} * Isa::kChunk;
      if (ahead != nullptr && at % 64 == 0) _mm_prefetch(reinterpret_cast<const char*>(ahead + at), _MM_HINT_T0);
      typename W::V v[W::kVectors];
      binomialWideSums<Isa, Real>(window + at, static_cast<std::ptrdiff_t>(rowValues), w, v);
      for (std::uint32_t lanes = W::finish(v, middle ? nullptr : totals, inexact, row + at); lanes != 0;
           lanes &= lanes - 1) {
        const unsigned lane = static_cast<unsigned>(__builtin_ctz(lanes));
        row[at + lane] = binomialExactOutput(w, window + at + lane, static_cast<std::ptrdiff_t>(rowValues),
                                             binomialFirstTap(y, r), binomialLastTap(y, r, n));
      }
    }
  }
}

// Along one row, in place (see BinomialMemory for the padded copies).
template <class Isa, std::uint32_t R>
void binomialRowShort(const PixelLine& line, const BinomialMemory& m) {
  using S = BinomialShort<Isa, R>;
  using VI = typename Isa::VI;
  constexpr unsigned kChunkPixels = Isa::kChunk / 4;
  constexpr std::uint32_t r = R;
  const std::uint32_t n = line.length;
  std::uint8_t* padded = m.paddedBytes + 4 * std::size_t{m.pad};
  std::memcpy(padded, line.first, 4 * std::size_t{n});
  const std::uint8_t* taps[2 * R + 1];
  for (std::uint32_t k = 0; k <= 2 * R; ++k) taps[k] = padded + 4 * (std::int64_t{k} - r);
  for (std::uint32_t x = 0; x < n; x += kChunkPixels) {
    if (m.ahead != nullptr && x % 16 == 0) _mm_prefetch(reinterpret_cast<const char*>(m.ahead + 4 * std::size_t{x}), _MM_HINT_T0);
    VI acc[2];
    S::sums(taps, 4 * std::size_t{x}, acc);
    const bool middle = x >= r && std::uint64_t{x} + kChunkPixels + r <= n;
    const VI result =
        middle ? S::middle(acc) : S::ends(acc, m.halves + 4 * std::size_t{x}, m.reciprocals + 4 * std::size_t{x});
    storeChunk<Isa>(line.first + 4 * std::size_t{x}, result, 4 * std::size_t{n - x});
  }
}

template <class Isa, class Real>
void binomialRowWide(const PixelLine& line, const BinomialMemory& m) {
  using W = BinomialWide<Isa, Real>;
  constexpr unsigned kChunkPixels = Isa::kChunk / 4;
  const BinomialWeights& w = *m.weights;
  const std::uint32_t r = w.radius, n = line.length;
  const bool inexact = W::inexact(r);
  Real* padded = static_cast<Real*>(m.paddedValues) + 4 * std::size_t{m.pad};
  std::uint32_t x = 0;
  for (; x + kChunkPixels <= n; x += kChunkPixels) {
    typename W::V v[W::kVectors];
    W::widen(line.first + 4 * std::size_t{x}, v);
    for (unsigned i = 0; i < W::kVectors; ++i) W::store(padded + 4 * std::size_t{x} + i * W::kLanes, v[i]);
  }
  for (; x < n; ++x)
    for (int c = 0; c < 4; ++c) padded[4 * std::size_t{x} + c] = line.first[4 * std::size_t{x} + c];

  for (x = 0; x < n; x += kChunkPixels) {
    if (m.ahead != nullptr && x % 16 == 0) _mm_prefetch(reinterpret_cast<const char*>(m.ahead + 4 * std::size_t{x}), _MM_HINT_T0);
    const Real* taps = padded + 4 * (std::int64_t{x} - r);
    typename W::V v[W::kVectors];
    // The distance comes from memory: as a constant the compiler would share
    // loads between taps through register copies, which runs slower here.
    binomialWideSums<Isa, Real>(taps, m.pixelValues, w, v);
    const bool middle = x >= r && std::uint64_t{x} + kChunkPixels + r <= n;
    std::uint8_t result[Isa::kChunk];
    std::uint32_t doubtful = W::finish(v, middle ? nullptr : m.totals + 4 * std::size_t{x}, inexact, result);
    for (; doubtful != 0; doubtful &= doubtful - 1) {
      const unsigned lane = static_cast<unsigned>(__builtin_ctz(doubtful));
      const std::uint32_t position = x + lane / 4;
      if (position >= n) continue;
      result[lane] = binomialExactOutput(w, taps + lane, 4, binomialFirstTap(position, r), binomialLastTap(position, r, n));
    }
    if (x + kChunkPixels <= n) Isa::store(line.first + 4 * std::size_t{x}, Isa::load(result));
    else std::memcpy(line.first + 4 * std::size_t{x}, result, 4 * std::size_t{n - x});
  }
}

}  // namespace tessaly::simd
