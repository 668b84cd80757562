// The flips and the resize: an image's geometry changed in place, under the
// same image number, on plain images in memory and on render targets by
// drawing.
#pragma once

#include "host/win32_api.h"

extern "C" void FlipImageHorizontally(DWORD image);
extern "C" void FlipImageVertically(DWORD image);
extern "C" void FlipImage(DWORD image);
extern "C" void ResizeImage(DWORD image, DWORD width, DWORD height, DWORD mode);
