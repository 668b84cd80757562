// Creating host images: plain images through the host's Make, render targets
// through its MakeFormat, either left as the host makes them or filled with
// one colour.
#pragma once

#include "host/win32_api.h"

extern "C" {
void CreateImage(DWORD image, int width, int height);
void CreateImage2(DWORD image, int width, int height, DWORD colour);
void CreateTargetImage(DWORD image, int width, int height);
void CreateTargetImage2(DWORD image, int width, int height, DWORD colour);
}
