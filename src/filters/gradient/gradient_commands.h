// The gradient commands: a linear and a radial colour gradient painted into a
// plain image under a channel mask.
#pragma once

#include "host/win32_api.h"

extern "C" {
void GradientLinear(int image, int fx, int fy, int tx, int ty, DWORD color1, DWORD color2, DWORD channel,
                    DWORD mode);
void GradientRadial(int image, int fx, int fy, float startR, float endR, DWORD color1, DWORD color2,
                    DWORD channel, DWORD mode);
}
