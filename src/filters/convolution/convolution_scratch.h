// The one buffer a convolution command works with: taken after the lock and
// freed before the unlock. When it cannot be had the process ends with the
// memory message.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaly {

class ConvolutionScratch {
 public:
  // `bytes` is formed by the caller in 64 bits; it must also fit this build's
  // address space. 64-byte aligned.
  explicit ConvolutionScratch(std::uint64_t bytes);
  ~ConvolutionScratch();
  ConvolutionScratch(const ConvolutionScratch&) = delete;
  ConvolutionScratch& operator=(const ConvolutionScratch&) = delete;

  std::uint8_t* data() const { return data_; }

 private:
  std::uint8_t* data_;
};

}  // namespace tessaly
