// Channel masks: the bits of a pixel word a channel command writes, and the
// one byte it reads through a Channel Source mask.
#pragma once

#include <cstdint>

namespace tessaly {

// A byte spread into all four bytes of a word.
constexpr std::uint32_t replicateByte(std::uint32_t byte) { return byte * 0x01010101u; }

// How a Channel Source mask is read: the word shifted right by `shift`, then
// `byteMask` kept. The four channel masks read their channel's byte (shift 0,
// 8, 16, 24, byte mask 0xFF). Any other non-zero mask reads the lowest byte it
// touches, with the bits outside the mask cleared: 0x00FFFFFF reads blue,
// 0x0000F000 the top four bits of green. So a read is always one byte, which
// the commands spread over the bytes they write; the step-by-step shift search
// of the plain description would never end for a mask like 0x80000000 and
// would read several bytes at once for 0x0000FFFF. Mask 0 reads nothing.
struct ChannelRead {
  std::uint32_t shift = 0;
  std::uint32_t byteMask = 0;

  bool readsNothing() const { return byteMask == 0; }
  std::uint32_t byteOf(std::uint32_t pixel) const { return (pixel >> shift) & byteMask; }
};

constexpr ChannelRead channelRead(std::uint32_t sourceMask) {
  if (sourceMask == 0) return {};
  std::uint32_t shift = 0;
  while (((sourceMask >> shift) & 0xFFu) == 0) shift += 8;
  return {shift, (sourceMask >> shift) & 0xFFu};
}

}  // namespace tessaly
