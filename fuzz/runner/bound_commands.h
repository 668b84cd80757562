// The command table's rows bound to the plug-in's exports as tessaly-run binds
// them from a module, here from the exports linked into the program.
#pragma once

#include "command_call.h"

#include <vector>

namespace fuzzing {

std::vector<standin::BoundCommand> boundCommands();

}  // namespace fuzzing
