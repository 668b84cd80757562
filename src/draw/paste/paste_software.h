// The paste of one plain image onto another in memory, in the draw state's
// blend mode: "TS Paste Image On Image" onto a plain image.
#pragma once

#include "image/image_lock.h"

#include <cstdint>

namespace tessaly {

// Pastes the source with its top-left pixel at (x, y) of the target. Both
// images are open and not locked; only the overlapping rectangles are locked,
// and unlocked again before returning. The caller releases both surfaces.
void pasteSoftware(ImageLock& source, ImageLock& target, std::int32_t x, std::int32_t y);

}  // namespace tessaly
