// Reads a script's text into statements, checking everything that can be
// checked without running it: statements, command names and argument counts
// against the module's table, literals, and the order of "screen".
#pragma once

#include "command_call.h"
#include "script.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace standin {

struct ScriptFolders {
  std::filesystem::path input;   // loads and expected files are relative to this
  std::filesystem::path output;  // saves are relative to this
};

// Errors kept for the report; the rest are only counted.
inline constexpr std::size_t kMaxScriptErrors = 20;

struct ParsedScript {
  Script script;
  std::vector<ScriptError> errors;  // the first lines with an error, in order
  std::size_t moreErrors = 0;       // lines with an error beyond those
};

// Commands are found by name (case does not matter) and argument count among
// the bound rows; a value-yielding row only inside print.
ParsedScript parseScript(std::string_view text, std::string name, const ScriptFolders& folders,
                         const std::vector<BoundCommand>& commands);

}  // namespace standin
