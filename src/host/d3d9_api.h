// Chooses the real d3d9 header on Windows and the software stand-in elsewhere.
#pragma once

#include "host/win32_api.h"  // first, so that windows.h comes in through it

#ifdef _WIN32
#include <d3d9.h>
#else
#include "d3d9/d3d9.h"
#endif
