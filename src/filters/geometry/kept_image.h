// A resize's copy of the old pixels and its working memory, in one allocation
// made before the old image is given up.
#pragma once

#include "filters/geometry/resize_kernels.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tessaly {

class KeptImage {
 public:
  // Room for an image of this size; empty when the memory cannot be had.
  static KeptImage allocate(std::uint32_t width, std::uint32_t height);

  explicit operator bool() const { return memory_ != nullptr; }
  const ResizeSource& source() const { return source_; }

  // Keeps the pixels of an image of the allocated size.
  void copyFrom(const PixelRect& image);
  // Gives the kept pixels back (as many as both sizes have).
  void copyTo(const PixelRect& image) const;

  NearestScratch& nearestScratch();
  BilinearScratch& bilinearScratch();

 private:
  std::unique_ptr<std::uint8_t[]> memory_;
  ResizeSource source_;
};

}  // namespace tessaly
