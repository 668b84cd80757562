// The pixel loops of the software paste, one per rule (paste_modes.h), for
// one instruction set, chosen once per paste (see filters/simd/kernel_table.h):
// AVX-512 or AVX2 where the processor has it, else the SSE2 baseline. Every
// set writes the same bytes.
#pragma once

#include "draw/paste/paste_modes.h"
#include "filters/simd/kernel_table.h"
#include "image/pixel_rect.h"

#include <array>
#include <cstdint>

namespace tessaly {

// Pastes every pixel of `source` onto the pixel at the same place in `target`;
// both rectangles have the target's width and height.
using PasteRowsKernel = void (*)(const PixelRect& source, const PixelRect& target);

struct PasteKernelSet {
  static constexpr simd::InstructionSet kWidest = simd::InstructionSet::avx512;

  std::array<PasteRowsKernel, kPasteRuleCount> rule;  // null for PasteRule::none
};

// Pastes `source` onto `target` (both of the target's size) in a blend mode,
// with the loop of the mode's rule.
void pastePixels(const PixelRect& source, const PixelRect& target, std::uint32_t mode);

// The copy rule: the source rows replace the target rows, alpha included.
void copyRows(const PixelRect& source, const PixelRect& target);

}  // namespace tessaly
