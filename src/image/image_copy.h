// Copying a host image, whole or a rectangle of it, into a new image under
// another number: in memory for a plain source, by drawing for any other.
#pragma once

#include "host/win32_api.h"

extern "C" {
void CopyImage(DWORD image, DWORD source);
void CopyImage2(DWORD image, DWORD source, int left, int top, int right, int bottom);
}
