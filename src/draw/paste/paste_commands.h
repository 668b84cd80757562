// The paste commands: one image onto another image or onto the screen, at a
// position, stretched to a rectangle or turned about a centre, each also
// through an effect from the effect slot table.
#pragma once

#include "host/win32_api.h"

extern "C" {
// Onto an image.
void PasteImageOnImage(DWORD image, DWORD toImage, int x, int y);
void PasteImageOnImageFX(DWORD image, DWORD targetImage, int x, int y, int effect);
void PasteImageOnImageS(DWORD image, DWORD targetImage, int left, int top, int right, int bottom);
void PasteImageOnImageSFX(DWORD image, DWORD targetImage, int left, int top, int right, int bottom,
                          int effect);
void PasteImageOnImageRotated(int image, int targetImage, int x, int y, float angle);
void PasteImageOnImageRotatedFX(int image, int targetImage, int x, int y, float angle, int effect);

// Onto the screen.
void PasteImageRotated(int image, int cx, int cy, float angle);
void PasteImageRotatedFX(int image, int cx, int cy, float angle, int effect);
void PasteImageFX(int image, int x, int y, int effect);
void PasteImageS(int image, int left, int top, int right, int bottom);
void PasteImageSFX(int image, int left, int top, int right, int bottom, int effect);
}
