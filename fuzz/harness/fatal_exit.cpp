#include "fatal_exit.h"

#include "win32/exit_interception.h"

namespace fuzzing {

namespace {

[[noreturn]] void throwFatalExit(UINT exitCode) { throw FatalExit{exitCode}; }

}  // namespace

FatalExitInterception::FatalExitInterception()
    : previous_(standin::setExitProcessHandler(&throwFatalExit)) {}

FatalExitInterception::~FatalExitInterception() { standin::setExitProcessHandler(previous_); }

}  // namespace fuzzing
