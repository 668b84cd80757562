// Chooses the real win32 header for the Windows product build (TESSALY_REAL_PLATFORM)
// and the software stand-in for every other build, Windows test builds included.
#pragma once

#ifdef TESSALY_REAL_PLATFORM
// winuser.h declares a CopyImage of its own, which the plug-in never calls;
// the plug-in's command of that name must not clash with it.
#define CopyImage WindowsCopyImage
#include <windows.h>
#undef CopyImage
#else
#include "win32/win32.h"
#endif
