// Stand-in only: modules that live inside the host process (the stand-in
// host's core, set-up, image and vector modules) are registered under their
// Windows file names, so that LoadLibraryA and GetProcAddress find them by
// file name and decorated entry name as the real loader would.
#pragma once

#include "win32/win32.h"

#include <string>
#include <utility>
#include <vector>

namespace standin {

using ModuleEntries = std::vector<std::pair<std::string, FARPROC>>;

// Registers (or replaces) an in-process module and returns its handle. The
// handle stays valid until unregisterModule, whatever LoadLibraryA/FreeLibrary
// counts say: the host owns its own modules.
HMODULE registerModule(const std::string& fileName, ModuleEntries entries);
void unregisterModule(HMODULE module);
void unregisterAllModules();

// Casts any function pointer to FARPROC for an entry table.
template <class Fn>
FARPROC entry(Fn* fn) {
  // Through void(*)(): the one cast between function types that is always allowed.
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(fn));
}

}  // namespace standin

// A module built for Linux publishes its string-table resource under this
// symbol (an array ended by an entry with id 0); LoadStringA reads it.
struct StandInStringResource {
  unsigned id;
  const char* text;
};
#define STANDIN_STRING_TABLE_SYMBOL "StandInStringTable"
