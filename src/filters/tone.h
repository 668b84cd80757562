// Tone adjustments: per-channel brightness, desaturation, saturation, negative.
#pragma once

#include "host/win32_api.h"

extern "C" {
void SetImageBrightness(DWORD image, float red, float green, float blue);
void SetImageBrightnessA(DWORD image, float red, float green, float blue, float alpha);
void DesaturateImage(DWORD image, DWORD mode);
void ModifyImageSaturation(DWORD image, float percent);
void NegativeImage(DWORD image);
}
