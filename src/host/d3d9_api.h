// Chooses the real d3d9 header for the Windows product build (TESSALY_REAL_PLATFORM)
// and the software stand-in for every other build, Windows test builds included.
#pragma once

#include "host/win32_api.h"  // first, so that windows.h comes in through it

#ifdef TESSALY_REAL_PLATFORM
#include <d3d9.h>
#else
#include "d3d9/d3d9.h"
#endif
