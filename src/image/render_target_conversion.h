// Turning a plain image into a render target under the same number, and
// copying any image into a new render target.
#pragma once

#include "host/win32_api.h"

extern "C" {
void ConvertToRenderTarget(DWORD image);
void CopyToRenderTarget(DWORD image, DWORD source);
}
