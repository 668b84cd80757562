// The plug-in's fatal path, lived through in process: while a
// FatalExitInterception exists, ExitProcess throws FatalExit instead of ending
// the process, so the command's frames unwind back to the caller, who records
// the fatal path and goes on.
#pragma once

namespace fuzzing {

struct FatalExit {
  unsigned exitCode;
};

class FatalExitInterception {
 public:
  FatalExitInterception();
  ~FatalExitInterception();
  FatalExitInterception(const FatalExitInterception&) = delete;
  FatalExitInterception& operator=(const FatalExitInterception&) = delete;

 private:
  using Handler = void (*)(unsigned);
  Handler previous_;
};

}  // namespace fuzzing
