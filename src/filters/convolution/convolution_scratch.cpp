#include "filters/convolution/convolution_scratch.h"

#include "host/failure.h"
#include "host/test_hooks.h"

#include <cstdint>
#include <new>

namespace tessaly {

namespace {

constexpr std::align_val_t kAlignment{64};

}  // namespace

ConvolutionScratch::ConvolutionScratch(std::uint64_t bytes) : data_(nullptr) {
  const bool fails = test_hooks::takeAllocationFailure() || bytes > SIZE_MAX;
  if (!fails) {
    const auto size = static_cast<std::size_t>(bytes);
    data_ = static_cast<std::uint8_t*>(::operator new(size == 0 ? 1 : size, kAlignment, std::nothrow));
  }
  if (data_ == nullptr) fatalError("Could not allocate enough memory.", "Error");
}

ConvolutionScratch::~ConvolutionScratch() {
  if (data_ != nullptr) ::operator delete(data_, kAlignment);
}

}  // namespace tessaly
