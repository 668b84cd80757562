// Chooses the real win32 header on Windows and the software stand-in elsewhere.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "win32/win32.h"
#endif
