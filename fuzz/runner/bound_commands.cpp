#include "bound_commands.h"

#include "command_invokers.h"

#include <cstdio>
#include <cstdlib>

namespace fuzzing {

std::vector<standin::BoundCommand> boundCommands() {
  std::vector<standin::BoundCommand> bound;
  for (const CommandEntry& command : commandTable()) {
    const std::optional<standin::CommandRow> row = standin::parseCommandRow(command.id, command.row);
    std::string error = "not a command row";
    std::optional<standin::BoundCommand> binding;
    if (row) binding = standin::BoundCommand::bind(*row, command.entry, error);
    if (!binding) {
      std::fprintf(stderr, "row %u (%s): %s\n", command.id, command.row, error.c_str());
      std::abort();
    }
    bound.push_back(std::move(*binding));
  }
  return bound;
}

}  // namespace fuzzing
