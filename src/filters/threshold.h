// Threshold: a two-level image under a channel mask.
#pragma once

#include "host/win32_api.h"

// Value is declared as a character: the host's 32-bit integer arrives as its low byte.
extern "C" void ThresholdImage(int image, char value, DWORD channel);
