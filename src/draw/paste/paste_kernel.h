// The pixel loops of the software paste for one instruction set: a rule of
// blend_formulas.h applied to a chunk of pixels at a time in 16-bit lanes, over
// a rectangle row by row. A row's last pixels that fill no whole chunk are
// copied into a chunk on the stack, pasted there and copied back, so no byte
// outside the rectangle is read or written.
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

#include "draw/paste/blend_formulas.h"
#include "draw/paste/paste_kernel_set.h"
#include "draw/paste/paste_lanes.h"

#include <cstdint>
#include <cstring>

namespace tessaly::paste {

template <class Ops, class Rule>
typename Ops::VI pasteChunk(typename Ops::VI source, typename Ops::VI target) {
  using V = Lanes16<Ops>;
  const V s[2] = {Ops::unpacklo8(source, Ops::zero()), Ops::unpackhi8(source, Ops::zero())};
  const V d[2] = {Ops::unpacklo8(target, Ops::zero()), Ops::unpackhi8(target, Ops::zero())};
  typename Ops::VI out[2];
  for (int half = 0; half < 2; ++half) {
    const V a = Ops::alphaOfEachPixel16(s[half].v);
    const V da = Ops::alphaOfEachPixel16(d[half].v);
    const V colour = Rule::colour(s[half], d[half], a, da);
    const V alpha = Rule::alpha(a, da);
    out[half] = Ops::withAlphaLanesOf(colour.v, alpha.v);
  }
  return Ops::packus16(out[0], out[1]);
}

template <class Ops, class Rule>
void pasteRows(const PixelRect& source, const PixelRect& target) {
  constexpr std::uint32_t kBytes = Ops::kChunk;
  const std::uint32_t wholeBytes = target.width / (kBytes / 4) * kBytes;
  const std::uint32_t tailBytes = target.width * 4 - wholeBytes;
  for (std::uint32_t y = 0; y < target.height; ++y) {
    const std::uint8_t* s = source.row(y);
    std::uint8_t* d = target.row(y);
    for (std::uint32_t i = 0; i < wholeBytes; i += kBytes) {
      Ops::store(d + i, pasteChunk<Ops, Rule>(Ops::load(s + i), Ops::load(d + i)));
    }
    if (tailBytes != 0) {
      std::uint8_t sourceTail[kBytes] = {};
      std::uint8_t targetTail[kBytes] = {};
      std::memcpy(sourceTail, s + wholeBytes, tailBytes);
      std::memcpy(targetTail, d + wholeBytes, tailBytes);
      Ops::store(targetTail, pasteChunk<Ops, Rule>(Ops::load(sourceTail), Ops::load(targetTail)));
      std::memcpy(d + wholeBytes, targetTail, tailBytes);
    }
  }
}

// The set of loops, one per rule, for this instruction set.
template <class Ops>
PasteKernelSet makePasteKernelSet() {
  PasteKernelSet set{};
  const auto put = [&set](PasteRule rule, PasteRowsKernel kernel) { set.rule[static_cast<std::size_t>(rule)] = kernel; };
  put(PasteRule::alphaBlend, pasteRows<Ops, AlphaBlendRule>);
  put(PasteRule::composite, pasteRows<Ops, CompositeRule>);
  put(PasteRule::copy, copyRows);
  put(PasteRule::multiply, pasteRows<Ops, MixRule<MultiplyTarget>>);
  put(PasteRule::divide, pasteRows<Ops, MixRule<DivideTarget>>);
  put(PasteRule::screen, pasteRows<Ops, MixRule<ScreenTarget>>);
  put(PasteRule::softLight, pasteRows<Ops, MixRule<SoftLightTarget>>);
  put(PasteRule::colourDodge, pasteRows<Ops, MixRule<ColourDodgeTarget>>);
  put(PasteRule::colourBurn, pasteRows<Ops, MixRule<ColourBurnTarget>>);
  put(PasteRule::hardLight, pasteRows<Ops, MixRule<HardLightTarget>>);
  put(PasteRule::softLightFromScreen, pasteRows<Ops, MixRule<SoftLightFromScreenTarget>>);
  put(PasteRule::subtractAboutMiddle, pasteRows<Ops, MixRule<SubtractAboutMiddleTarget>>);
  put(PasteRule::addAboutMiddle, pasteRows<Ops, MixRule<AddAboutMiddleTarget>>);
  put(PasteRule::difference, pasteRows<Ops, MixRule<DifferenceTarget>>);
  put(PasteRule::add, pasteRows<Ops, MixRule<AddTarget>>);
  put(PasteRule::subtract, pasteRows<Ops, MixRule<SubtractTarget>>);
  put(PasteRule::darken, pasteRows<Ops, MixRule<DarkenTarget>>);
  put(PasteRule::lighten, pasteRows<Ops, MixRule<LightenTarget>>);
  return set;
}

}  // namespace tessaly::paste
