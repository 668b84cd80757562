// Reading and writing one pixel of a host image. Only that pixel is locked.
#pragma once

#include "host/win32_api.h"

extern "C" {
DWORD GetImagePixel(DWORD image, int x, int y);
void SetImagePixel(DWORD image, int x, int y, DWORD colour);
}
