// The box kernel along rows, vectorised over the pixels of a row: the window
// sums come from the running sum of the differences (pixel entering − pixel
// leaving), formed a vector at a time. Templates over the instruction set only.
#pragma once

#include "filters/blur/box_kernel.h"
#include "filters/blur/box_kernel_memory.h"
#include "filters/simd/chunk_store.h"
#include "filters/blur/pixel_lines.h"
#include "filters/blur/row_block.h"

#include <cstdint>
#include <cstring>

namespace tessaly::simd {

// Filters one row of n pixels in place (1 ≤ r ≤ n − 1). The row is copied
// into memory.padded between memory.pad zero pixels on each side (pad ≥ r + 1
// + a chunk), so the pixels entering and leaving are plain loads and off-row
// pixels add 0. Chunks whose counts vary (near the ends) divide lane by lane
// with the per-position tables; the others share the largest count's divisor.
template <class Isa, int Lanes>
void boxRow(const PixelLine& line, std::uint32_t r, const BoxRowMemory& memory) {
  using L = BoxLanes<Isa, Lanes>;
  using VI = typename Isa::VI;
  constexpr int kParts = L::kParts;
  constexpr unsigned kChunkPixels = Isa::kChunk / 4;
  const std::uint32_t n = line.length;
  std::uint8_t* padded = memory.padded + 4 * std::size_t{memory.pad};
  std::memcpy(padded, line.first, 4 * std::size_t{n});

  const std::uint32_t largest = windowCount(r, r, n);
  const typename L::Divisor usual = L::divisor(memory.block, largest);
  // The sum before pixel 0: pixels 0 … r − 1.
  std::uint32_t start[4] = {};
  for (std::uint32_t j = 0; j < r; ++j)
    for (int c = 0; c < 4; ++c) start[c] += padded[4 * j + c];
  // The sum just before the chunk, in every pixel's lanes. Each chunk's sums
  // are its own running sums plus this, so the only dependence from chunk to
  // chunk is one addition.
  VI before;
  if constexpr (Lanes == 16)
    before = Isa::repeat64(std::uint64_t{start[0]} | std::uint64_t{start[1]} << 16 | std::uint64_t{start[2]} << 32 |
                           std::uint64_t{start[3]} << 48);
  else
    before = Isa::repeat128(start);

  for (std::uint32_t x = 0; x < n; x += kChunkPixels) {
    if (memory.ahead != nullptr && x % 16 == 0) _mm_prefetch(reinterpret_cast<const char*>(memory.ahead + 4 * std::size_t{x}), _MM_HINT_T0);
    const std::uint8_t* entering = padded + 4 * (std::int64_t{x} + r);
    const std::uint8_t* leaving = padded + 4 * (std::int64_t{x} - r - 1);
    VI sums[kParts];
    if constexpr (Lanes == 16) {
      VI differences[2];
      Isa::rowDifferences16(entering, leaving, differences);
      Isa::rowSums16(differences, before, sums);
    } else {
      VI in[kParts], out[kParts];
      L::widen(entering, in);
      L::widen(leaving, out);
      for (int k = 0; k < kParts; ++k) {
        sums[k] = Isa::prefix32(L::sub(in[k], out[k]));
        if (k > 0) sums[k] = L::add(sums[k], Isa::lastPixel32(sums[k - 1]));
      }
      const VI chunkTotal = Isa::lastPixel32(sums[kParts - 1]);
      for (int k = 0; k < kParts; ++k) sums[k] = L::add(sums[k], before);
      before = L::add(before, chunkTotal);
    }
    VI result;
    if (x >= r && std::uint64_t{x} + kChunkPixels + r <= n) {
      if constexpr (Lanes == 16) {
        VI q[2];
        for (int k = 0; k < 2; ++k) q[k] = Isa::srl16(Isa::mulhi16(Isa::add16(sums[k], usual.half), usual.multiplier), usual.shift);
        result = Isa::narrowRow16(q[0], q[1]);
      } else {
        result = L::quotient(sums, usual);
      }
    } else {
      VI wide[4];
      if constexpr (Lanes == 16) {
        Isa::rowToPixelOrder16(sums);
        Isa::widen16to32(sums[0], wide);
        Isa::widen16to32(sums[1], wide + 2);
      } else {
        for (int k = 0; k < 4; ++k) wide[k] = sums[k];
      }
      constexpr unsigned kPixelsPerWide = kChunkPixels / 4;
      for (unsigned k = 0; k < 4; ++k) {
        const std::size_t at = 4 * (std::size_t{x} + k * kPixelsPerWide);
        const VI numerator = Isa::add32(wide[k], Isa::loadI(memory.halves + at));
        wide[k] = Isa::truncate(Isa::mul(Isa::toFloat(numerator), Isa::loadF(memory.reciprocals + at)));
      }
      result = Isa::narrow32(wide);
    }
    storeChunk<Isa>(line.first + 4 * std::size_t{x}, result, 4 * std::size_t{n - x});
  }
}

}  // namespace tessaly::simd
