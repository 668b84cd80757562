// The software paste written plainly from its description, one channel at a
// time and kept slow and obvious: the readable definition the fast kernels are
// compared against.
#pragma once

#include <cstdint>

namespace paste_test {

// The pixel that pasting `source` onto `target` in blend mode `mode` writes
// (the target unchanged for a mode that writes nothing).
std::uint32_t referencePastePixel(std::uint32_t mode, std::uint32_t source, std::uint32_t target);

}  // namespace paste_test
