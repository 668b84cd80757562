// The string identifiers worth asking a module for, in increasing order: over
// the stand-ins every 16-bit one; on Windows only those of the string-table
// blocks the module carries (a block holds 16 strings), since asking Wine for
// each of the 65535 costs seconds.
#pragma once

#include "host/win32_api.h"

#include <vector>

namespace standin {

std::vector<UINT> stringTableIds(HMODULE module);

}  // namespace standin
