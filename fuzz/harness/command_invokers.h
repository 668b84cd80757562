// Every command of the command table, callable with arguments from an
// ArgumentSource: the table is generated from src/resources/commands.tsv, so
// a command that joins the table is reached here without further work.
#pragma once

#include "argument_source.h"
#include "host/win32_api.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace fuzzing {

struct CommandEntry {
  unsigned id;
  const char* row;  // "name%types%decorated export%parameter help"
  // Takes one value per argument from the source, left to right, and calls
  // the export; the 32-bit result, or 0 for a command without one.
  std::uint32_t (*invoke)(ArgumentSource& arguments);
  FARPROC entry;  // the export itself

  std::string_view name() const;           // "TS Point[" for a value-yielding row
  std::string_view decoratedName() const;  // "?GetImagePixel@@YAKKHH@Z"
  std::string_view typeLetters() const;    // result letter first for a value-yielding row
};

// In identifier order.
std::span<const CommandEntry> commandTable();

// Null if the table has no row for this export.
const CommandEntry* findCommand(std::string_view decoratedName);

}  // namespace fuzzing
