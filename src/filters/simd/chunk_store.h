// Storing one chunk of kernel results into a line: a chunk that would run
// past the line's end writes only the bytes inside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tessaly::simd {

template <class Isa>
void storeChunk(std::uint8_t* destination, typename Isa::VI result, std::size_t bytesLeft) {
  if (bytesLeft >= Isa::kChunk) {
    Isa::store(destination, result);
    return;
  }
  std::uint8_t last[Isa::kChunk];
  Isa::store(last, result);
  std::memcpy(destination, last, bytesLeft);
}

}  // namespace tessaly::simd
