// "TS Resize Image" on a render target: the device's sampler does the
// scaling while the image is drawn into a new render target of the new size.
#pragma once

#include "host/win32_api.h"
#include "image/image_lock.h"

namespace tessaly {

// `lock` holds the image `image` open; its surface is released on return.
void resizeByDrawing(ImageLock& lock, int image, DWORD width, DWORD height, DWORD mode);

}  // namespace tessaly
