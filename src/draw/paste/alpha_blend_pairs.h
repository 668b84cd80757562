// Mode 1's colour and alpha bytes of one vector by a byte-pair multiply-add
// (pmaddubsw, in AVX2 and AVX-512), over the set's operations `Ops`.
//
// pmaddubsw multiplies unsigned bytes by signed bytes and adds each pair into
// a 16-bit lane with signed saturation. With the weights (a, 255 − a) as the
// unsigned side and the colours biased to (s − 128, d − 128) as the signed
// side, a lane holds s × a + d × (255 − a) − 128 × 255, which lies in
// −32640 … 32385 and so never saturates. Adding 128 × 255 back modulo 2^16
// gives the sum as an unsigned lane, whose shift by 8 is the colour. The alpha
// rule is a saturating add of the source bytes to the destination bytes.
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

namespace tessaly::paste {

template <class Ops>
[[gnu::always_inline]] inline typename Ops::V alphaBlendByPairProducts(typename Ops::V source,
                                                                       typename Ops::V target) {
  using V = typename Ops::V;
  const V weights[2] = {Ops::weightsLow(source), Ops::weightsHigh(source)};
  const V s = Ops::flipTopBit(source);
  const V d = Ops::flipTopBit(target);
  const V colours[2] = {Ops::interleaveLow(s, d), Ops::interleaveHigh(s, d)};
  V shifted[2];
  for (int half = 0; half < 2; ++half) {
    shifted[half] = Ops::shiftRight8(Ops::unbias(Ops::pairProducts(weights[half], colours[half])));
  }
  return Ops::withAlphaSum(Ops::narrow(shifted[0], shifted[1]), target, source);
}

}  // namespace tessaly::paste
