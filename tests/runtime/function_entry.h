// Test support: any function as the FARPROC GetProcAddress would return for
// it, through the generic function pointer type GCC allows between any two.
#pragma once

#include "win32/win32.h"

template <class Fn>
FARPROC functionEntry(Fn* function) {
  using GenericFunction = void (*)();
  return reinterpret_cast<FARPROC>(reinterpret_cast<GenericFunction>(function));
}
