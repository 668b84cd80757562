// The vector operations of the sharpen and the emboss, specialised once per
// instruction set (convolution_lanes_sse2.h, _avx2.h), each included only by
// units compiled for that set. The same names throughout:
//
//   kPixels       pixels a vector V holds as bytes (4 × kPixels bytes)
//   load, store, bitAnd, bitOr, set32
//   sharpen(middle, left, right, up, down): 5 M - L - R - U - D of each
//       byte, limited to 0 ... 255
//   kLanes        16-bit lanes of a vector W: the emboss works on tiles of
//                 kLanes rows × kLanes columns
//   loadLevels    kLanes bytes as 16-bit lanes; loadWords, storeWords
//   add, sub, twice, halve (arithmetic shift right by one), limit (to
//   -128 ... 127), set16
//   transpose     a tile of kLanes vectors W: row r becomes column r
//   writeLevels   kLanes levels (0 ... 255) into the colour bytes of kLanes
//                 pixels, their alpha kept
//   grey          (R + G + B) / 3 of kGreyPixels pixels into as many bytes
#pragma once

namespace tessaly::simd {

template <class Isa>
struct ConvolutionLanes;

}  // namespace tessaly::simd
