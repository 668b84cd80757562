// "TS Resize Image" on a plain image: the image is made again at its new size
// under the same number and filled from a copy of its old pixels.
#pragma once

#include "host/win32_api.h"
#include "image/image_lock.h"

namespace tessaly {

// `lock` holds the plain image `image` open (not locked).
void resizePlainImage(ImageLock& lock, int image, DWORD width, DWORD height, DWORD mode);

}  // namespace tessaly
