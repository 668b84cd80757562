// Carves the working memory of one pass out of a single allocation: parts
// are laid out one after another, each 64-byte aligned, sizes in 64 bits.
#pragma once

#include <cstdint>

namespace tessaly {

class ScratchLayout {
 public:
  // Reserves `bytes` and returns the part's offset.
  std::uint64_t reserve(std::uint64_t bytes) {
    const std::uint64_t at = size_;
    size_ += (bytes + 63) / 64 * 64;
    return at;
  }
  std::uint64_t size() const { return size_; }

 private:
  std::uint64_t size_ = 0;
};

}  // namespace tessaly
