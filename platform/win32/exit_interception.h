// Stand-in only: lets an in-process test or fuzzer live through a fatal path.
// While a handler is set, ExitProcess calls it instead of ending the process.
// The handler must not return: it throws, and the frames between ExitProcess
// and whoever catches the exception unwind. Without a handler ExitProcess ends
// the process as it always does.
#pragma once

#include "win32/win32.h"

namespace standin {

using ExitProcessHandler = void (*)(UINT exitCode);

// Sets the handler (null for none) and returns the one it replaces.
ExitProcessHandler setExitProcessHandler(ExitProcessHandler handler);

}  // namespace standin
