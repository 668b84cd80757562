// A fuzzer's input read front to back; once it is used up every read gives
// zeros, so any input is a whole program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fuzzing {

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return at_ >= size_; }

  std::uint8_t byte() { return empty() ? 0 : data_[at_++]; }
  // Little-endian. The reads are sequenced apart: the operands of "|" are not
  // evaluated in a fixed order, and gcc's replay must read what clang's
  // fuzzer read.
  std::uint16_t u16() {
    const std::uint8_t low = byte();
    return static_cast<std::uint16_t>(low | byte() << 8);
  }
  std::uint32_t u32() {
    const std::uint32_t low = u16();
    return low | static_cast<std::uint32_t>(u16()) << 16;
  }

  // Up to n bytes, fewer at the end of the input.
  std::string_view bytes(std::size_t n) {
    const std::size_t taken = empty() ? 0 : (n < size_ - at_ ? n : size_ - at_);
    const std::string_view text(reinterpret_cast<const char*>(data_ + at_), taken);
    at_ += taken;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace fuzzing
