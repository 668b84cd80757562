// Pixel words, floats and doubles in vector lanes, for the point filters,
// gradients, channel rules, flips and resizes: one lane a pixel.
// PixelLanes<Isa> is specialised once per instruction set (pixel_lanes_sse2.h,
// _avx2.h, _avx512.h), each included only by units compiled for that set. The
// same names throughout:
//
//   kPixels        pixels per vector V (32-bit lanes) and per float vector VF
//   kFusedMultiplyAdd  whether these exist: fusedMulAdd (a·b + c rounded
//                  once), fusedMulSub (a·b - c), fusedNegMulAdd (c - a·b),
//                  roundToInteger (to nearest, ties to even),
//                  reciprocalEstimate (1 / a within 2^-11), bitsOf, floatOf,
//                  sub32
//   Mask           one bit or lane per pixel, as compares give it
//   load, store    kPixels words from and to any address
//   set, count (0, 1, ... kPixels - 1), bitAnd, bitOr, bitXor, shiftLeft<n>,
//   shiftRight<n>  on words
//   equal, any, all, select, maskAnd, maskOr, maskAndNot
//   toFloat, truncate (toward zero; out of range gives INT32_MIN)
//   setF, add, sub, mul, div, min, max (the second operand where either is
//   NaN), sqrt, less, lessEqual, greater (false for NaN), notEqual (true for
//   NaN), selectF
//   VD (kPixels / 2 doubles), setD, addD, mulD, divD, countD (0, 1, ...),
//   narrow (two halves of doubles to floats, each rounded once), widen
//   (floats to two halves of doubles, exactly), nearFloatMidpoint
//   bitAndNot (a and not b), shiftRightBy (a count known at run time),
//   reverse (the lanes in the opposite order), loadF, storeF (kPixels
//   floats from and to any address), stream (a store past the caches, to an
//   address aligned to the vector; fence orders them before what follows)
//   permute (lane i takes lane index[i]), permute2 (the same from two
//   vectors, one after the other), gather (lane i takes the word at
//   base + 4 * index[i]): AVX2 and AVX-512 only
#pragma once

namespace tessaly::simd {

template <class Isa>
struct PixelLanes;

}  // namespace tessaly::simd
