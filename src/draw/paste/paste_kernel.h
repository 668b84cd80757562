// The pixel loops of the software paste for one instruction set: a rule of
// blend_formulas.h applied to a chunk of pixels at a time in 16-bit lanes, over
// a rectangle row by row. A row's last pixels that fill no whole chunk are
// copied into a chunk on the stack, pasted there and copied back, so no byte
// outside the rectangle is read or written. Mode 1 has a loop of its own on
// whole bytes (alpha_blend_rows.h).
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

#include "draw/paste/alpha_blend_rows.h"
#include "draw/paste/blend_formulas.h"
#include "draw/paste/paste_kernel_set.h"
#include "draw/paste/paste_lanes.h"

#include <cstdint>
#include <cstring>

namespace tessaly::paste {

// Pastes one chunk of pixels from `source` onto `target`.
template <class Isa, class Rule>
void pasteChunk(const std::uint8_t* source, std::uint8_t* target) {
  using V = Lanes16<Isa>;
  typename Isa::VI s[2], d[2], out[2];
  Isa::widenRow16(source, s);
  Isa::widenRow16(target, d);
  for (int half = 0; half < 2; ++half) {
    const V a = Isa::alphaOfEachPixel16(s[half]);
    const V da = Isa::alphaOfEachPixel16(d[half]);
    const V colour = Rule::colour(V(s[half]), V(d[half]), a, da);
    const V alpha = Rule::alpha(a, da);
    out[half] = Isa::withAlphaLanesOf(colour.v, alpha.v);
  }
  Isa::store(target, Isa::narrowRow16(out[0], out[1]));
}

template <class Isa, class Rule>
void pasteRows(const PixelRect& source, const PixelRect& target) {
  constexpr std::uint32_t kBytes = Isa::kChunk;
  const std::uint32_t wholeBytes = target.width / (kBytes / 4) * kBytes;
  const std::uint32_t tailBytes = target.width * 4 - wholeBytes;
  for (std::uint32_t y = 0; y < target.height; ++y) {
    const std::uint8_t* s = source.row(y);
    std::uint8_t* d = target.row(y);
    for (std::uint32_t i = 0; i < wholeBytes; i += kBytes) {
      pasteChunk<Isa, Rule>(s + i, d + i);
    }
    if (tailBytes != 0) {
      std::uint8_t sourceTail[kBytes] = {};
      std::uint8_t targetTail[kBytes] = {};
      std::memcpy(sourceTail, s + wholeBytes, tailBytes);
      std::memcpy(targetTail, d + wholeBytes, tailBytes);
      pasteChunk<Isa, Rule>(sourceTail, targetTail);
      std::memcpy(d + wholeBytes, targetTail, tailBytes);
    }
  }
}

// The set of loops, one per rule, for this instruction set, with mode 1's
// loop on whole bytes by the set's byte operations `AlphaBlendBytes`.
template <class Isa, class AlphaBlendBytes>
constexpr PasteKernelSet makePasteKernelSet() {
  PasteKernelSet set{};
  const auto put = [&set](PasteRule rule, PasteRowsKernel kernel) { set.rule[static_cast<std::size_t>(rule)] = kernel; };
  put(PasteRule::alphaBlend, alphaBlendRows<AlphaBlendBytes>);
  put(PasteRule::composite, pasteRows<Isa, CompositeRule>);
  put(PasteRule::copy, copyRows);
  put(PasteRule::multiply, pasteRows<Isa, MixRule<MultiplyTarget>>);
  put(PasteRule::divide, pasteRows<Isa, MixRule<DivideTarget>>);
  put(PasteRule::screen, pasteRows<Isa, MixRule<ScreenTarget>>);
  put(PasteRule::softLight, pasteRows<Isa, MixRule<SoftLightTarget>>);
  put(PasteRule::colourDodge, pasteRows<Isa, MixRule<ColourDodgeTarget>>);
  put(PasteRule::colourBurn, pasteRows<Isa, MixRule<ColourBurnTarget>>);
  put(PasteRule::hardLight, pasteRows<Isa, MixRule<HardLightTarget>>);
  put(PasteRule::softLightFromScreen, pasteRows<Isa, MixRule<SoftLightFromScreenTarget>>);
  put(PasteRule::subtractAboutMiddle, pasteRows<Isa, MixRule<SubtractAboutMiddleTarget>>);
  put(PasteRule::addAboutMiddle, pasteRows<Isa, MixRule<AddAboutMiddleTarget>>);
  put(PasteRule::difference, pasteRows<Isa, MixRule<DifferenceTarget>>);
  put(PasteRule::add, pasteRows<Isa, MixRule<AddTarget>>);
  put(PasteRule::subtract, pasteRows<Isa, MixRule<SubtractTarget>>);
  put(PasteRule::darken, pasteRows<Isa, MixRule<DarkenTarget>>);
  put(PasteRule::lighten, pasteRows<Isa, MixRule<LightenTarget>>);
  return set;
}

}  // namespace tessaly::paste
