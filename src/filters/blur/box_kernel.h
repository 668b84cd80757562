// The box kernel down the columns of a row block, vectorised over the columns.
// Templates over the instruction set only (see simd_sse2.h): this header is
// compiled once per instruction set.
#pragma once

#include "filters/blur/box_divisors.h"
#include "filters/blur/box_kernel_memory.h"
#include "filters/blur/row_block.h"

#include <emmintrin.h>

#include <cstdint>

namespace tessaly::simd {

// Sums in 16- or 32-bit lanes, and the quotient (sum + half) / count that
// gives R(sum / count) (see box_divisors.h).
template <class Isa, int Lanes>
struct BoxLanes {
  using VI = typename Isa::VI;
  static constexpr int kParts = Lanes == 16 ? 2 : 4;  // vectors per chunk

  struct Divisor {
    VI half, multiplier;
    __m128i shift;
    typename Isa::VF reciprocal;
  };
  static Divisor divisor(const BoxBlockMemory& memory, std::uint32_t count) {
    Divisor d{};
    if constexpr (Lanes == 16) {
      const ShortDivisor s = memory.shortDivisors[count];
      d.half = Isa::set16(static_cast<std::uint16_t>(count / 2));
      d.multiplier = Isa::set16(s.multiplier);
      d.shift = _mm_cvtsi32_si128(s.shift);
    } else {
      d.half = Isa::set32(count / 2);
      d.reciprocal = Isa::setF(memory.reciprocals[count]);
    }
    return d;
  }

  static void widen(const std::uint8_t* p, VI* out) {
    if constexpr (Lanes == 16) Isa::widenRow16(p, out);  // any order serves, lane by lane
    else Isa::widen32(p, out);
  }
  static VI add(VI a, VI b) {
    if constexpr (Lanes == 16) return Isa::add16(a, b);
    else return Isa::add32(a, b);
  }
  static VI sub(VI a, VI b) {
    if constexpr (Lanes == 16) return Isa::sub16(a, b);
    else return Isa::sub32(a, b);
  }
  static VI quotient(const VI* sums, const Divisor& d) {
    VI q[kParts];
    for (int k = 0; k < kParts; ++k) {
      if constexpr (Lanes == 16) q[k] = Isa::srl16(Isa::mulhi16(Isa::add16(sums[k], d.half), d.multiplier), d.shift);
      else q[k] = Isa::truncate(Isa::mul(Isa::toFloat(Isa::add32(sums[k], d.half)), d.reciprocal));
    }
    if constexpr (Lanes == 16) return Isa::narrowRow16(q[0], q[1]);
    else return Isa::narrow32(q);
  }
  // One output row of a chunk, then the window moves on: + incoming − outgoing.
  static void step(VI* sums, const Divisor& d, std::uint8_t* out, const std::uint8_t* incoming,
                   const std::uint8_t* outgoing) {
    Isa::store(out, quotient(sums, d));
    VI in[kParts], gone[kParts];
    widen(incoming, in);
    widen(outgoing, gone);
    for (int k = 0; k < kParts; ++k) sums[k] = sub(add(sums[k], in[k]), gone[k]);
  }
};

// Filters the block in place. Each row's original bytes are kept in the ring
// (radius + 1 rows) before they are overwritten, since they leave the window
// only later. Row y's window holds rows y − r … y + r; stepping to y + 1 adds
// row y + r + 1 and drops row y − r. Requires 1 ≤ r ≤ rows − 1 and bytes a
// multiple of the chunk. Lanes is the width of the sums: 16 bits while every
// count is at most kShortDivisorMaxCount, else 32 (counts up to
// kFloatDivisorMaxCount).
template <class Isa, int Lanes>
void boxBlock(const RowBlock& block, std::uint32_t r, const BoxBlockMemory& memory) {
  using L = BoxLanes<Isa, Lanes>;
  using VI = typename Isa::VI;
  constexpr int kParts = L::kParts;
  const std::uint32_t n = block.rows;
  const std::uint32_t chunks = block.bytes / Isa::kChunk;
  VI* sums = static_cast<VI*>(memory.sums);

  for (std::uint32_t c = 0; c < chunks * kParts; ++c) sums[c] = Isa::zero();
  for (std::uint32_t j = 0; j <= r; ++j) {
    for (std::uint32_t c = 0; c < chunks; ++c) {
      VI v[kParts];
      L::widen(block.row(j) + c * Isa::kChunk, v);
      for (int k = 0; k < kParts; ++k) sums[c * kParts + k] = L::add(sums[c * kParts + k], v[k]);
    }
  }

  // Away from the ends every row has the largest count.
  const std::uint32_t largest = windowCount(r, r, n);
  const typename L::Divisor usual = L::divisor(memory, largest);
  std::uint32_t slot = 0;     // ring slot of row y
  std::uint32_t oldSlot = 0;  // ring slot of row y − r
  for (std::uint32_t y = 0; y < n; ++y) {
    const std::uint32_t count = windowCount(y, r, n);
    const typename L::Divisor d = count == largest ? usual : L::divisor(memory, count);
    std::uint8_t* row = block.row(y);
    std::uint8_t* save = memory.ring + std::size_t{slot} * block.bytes;
    const std::uint8_t* incoming = std::uint64_t{y} + r + 1 < n ? block.row(y + r + 1) : memory.zeroRow;
    const std::uint8_t* outgoing = y < r ? memory.zeroRow : memory.ring + std::size_t{oldSlot} * block.bytes;
    // The row entering next is fetched a row ahead: rows lie a pitch apart
    // and each starts a new stream, which the hardware finds late.
    const std::uint8_t* ahead = std::uint64_t{y} + r + 2 < n ? block.row(y + r + 2) : nullptr;
    for (std::uint32_t c = 0; c < chunks; ++c) {
      const std::size_t at = std::size_t{c} * Isa::kChunk;
      if (ahead != nullptr && at % 64 == 0) _mm_prefetch(reinterpret_cast<const char*>(ahead + at), _MM_HINT_T0);
      Isa::store(save + at, Isa::load(row + at));
      L::step(sums + c * kParts, d, row + at, incoming + at, outgoing + at);
    }
    slot = slot == r ? 0 : slot + 1;
    if (y >= r) oldSlot = oldSlot == r ? 0 : oldSlot + 1;
  }
}

}  // namespace tessaly::simd
