// Chooses the real d3dx9 header on Windows and the software stand-in elsewhere.
#pragma once

#include "host/win32_api.h"  // first, so that windows.h comes in through it

#ifdef _WIN32
#include <d3dx9.h>
#else
#include "d3dx9/d3dx9.h"
#endif
