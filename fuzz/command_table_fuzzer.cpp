// libFuzzer target: every command of the command table, called in programs
// read from the input (harness/command_program.h).
#include "command_program.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::runCommandProgramOrAbort(data, size);
  return 0;
}
