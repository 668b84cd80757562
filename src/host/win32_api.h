// Chooses the real win32 header on Windows and the software stand-in elsewhere.
#pragma once

#ifdef _WIN32
// winuser.h declares a CopyImage of its own, which the plug-in never calls;
// the plug-in's command of that name must not clash with it.
#define CopyImage WindowsCopyImage
#include <windows.h>
#undef CopyImage
#else
#include "win32/win32.h"
#endif
