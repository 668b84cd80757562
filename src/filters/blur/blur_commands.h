// The blur commands: a box, recursive Gaussian or binomial kernel (Mode 1, 2,
// 3) horizontally, vertically, or horizontally then vertically.
#pragma once

#include "host/win32_api.h"

extern "C" {
void BlurImage(DWORD image, int radius, DWORD mode);
void BlurImage2(DWORD image, int radius);
void BlurImage_Horizontal(DWORD image, int radius, DWORD mode);
void BlurImage_Vertical(DWORD image, int radius, DWORD mode);
}
