// The exit statuses of tessaly-run.
#pragma once

namespace standin {

enum ExitStatus : int {
  kExitSuccess = 0,
  kExitFatal = 1,              // the plug-in's fatal path ended the process
  kExitRuntimeError = 2,       // a command left a code in the runtime error slot
  kExitExpectationFailed = 3,  // an expect statement did not hold
  kExitScriptError = 64,       // the script (or the command line) is wrong; nothing ran
  kExitModuleMissing = 69,     // the plug-in module could not be loaded
  kExitModuleBroken = 70,      // its command table cannot be bound
  kExitNoDevice = 71,          // the platform gave the host no Direct3D 9 device
  kExitCannotWrite = 74,       // a picture or the gallery could not be written
};

}  // namespace standin
