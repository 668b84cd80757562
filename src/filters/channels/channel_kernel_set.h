// The channel rules, row by row, as a kernel table per instruction set (see
// simd/kernel_table.h). Each kernel rewrites `width` pixels of one row.
#pragma once

#include "filters/channels/channel_masks.h"
#include "filters/simd/instruction_set.h"

#include <cstdint>

namespace tessaly {

struct ChannelKernels {
  static constexpr simd::InstructionSet kWidest = simd::InstructionSet::avx512;

  // p = (p AND keep) OR value.
  void (*setRow)(std::uint8_t* row, std::uint32_t width, std::uint32_t keep, std::uint32_t value);
  // d = (d AND NOT mask) OR (s AND mask).
  void (*copyBitsRow)(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t width,
                      std::uint32_t mask);
  // d = (d AND NOT mask) OR (the byte read from s, replicated, AND mask).
  void (*spreadByteRow)(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t width,
                        ChannelRead read, std::uint32_t mask);
};

}  // namespace tessaly
