// The channel commands: channels chosen by 32-bit masks over the pixel word.
#pragma once

#include "host/win32_api.h"

extern "C" void SetImageChannel(DWORD image, DWORD channel, DWORD value);
extern "C" void CopyImageChannel(DWORD image, DWORD channel, DWORD channelSource);
extern "C" void PasteImageChannel(DWORD image, DWORD destinationImage, DWORD channel);
extern "C" void PasteImageChannel2(DWORD image, DWORD destinationImage, DWORD channel,
                                   DWORD channelSource, int x, int y);
