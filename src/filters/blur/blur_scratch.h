// Working memory of one blur pass, taken at its start and freed when it ends.
// When it cannot be had, the pass's memory message is shown (the process goes
// on) and the pass returns before touching a pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tessaly {

inline constexpr const char* kBoxMemoryCaption = "Error";
inline constexpr const char* kBlurMemoryCaption = "Blur Image - Error";

// count × elementSize bytes, 64-byte aligned; null (after the message) on failure.
void* allocateScratch(std::uint64_t count, std::size_t elementSize, const char* caption);
void freeScratch(void* memory);

template <class T>
class ScratchArray {
  static_assert(std::is_trivially_default_constructible_v<T> && std::is_trivially_destructible_v<T>);

 public:
  ScratchArray(std::uint64_t count, const char* caption)
      : data_(static_cast<T*>(allocateScratch(count, sizeof(T), caption))) {}
  ~ScratchArray() { freeScratch(data_); }
  ScratchArray(const ScratchArray&) = delete;
  ScratchArray& operator=(const ScratchArray&) = delete;

  explicit operator bool() const { return data_ != nullptr; }
  T* data() const { return data_; }

 private:
  T* data_;
};

}  // namespace tessaly
