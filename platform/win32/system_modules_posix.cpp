// Files as shared objects: a module built for Linux exports the plain C name
// of each decorated entry and publishes its string table under a symbol.
#include "win32/module_registry.h"
#include "win32/system_modules.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace standin {

namespace {

void* handleOf(SystemModule* module) { return static_cast<void*>(module); }

// "?Name@@YAXK@Z" -> "Name".
std::string plainName(const char* decorated) {
  if (decorated[0] != '?') return decorated;
  const char* end = std::strstr(decorated, "@@");
  if (end == nullptr) return decorated + 1;
  return std::string(decorated + 1, end);
}

}  // namespace

SystemModule* openSystemModule(const char* fileName) {
  return static_cast<SystemModule*>(dlopen(fileName, RTLD_NOW | RTLD_LOCAL));
}

void closeSystemModule(SystemModule* module) { dlclose(handleOf(module)); }

FARPROC systemModuleEntry(SystemModule* module, const char* decoratedName) {
  return reinterpret_cast<FARPROC>(dlsym(handleOf(module), plainName(decoratedName).c_str()));
}

int loadSystemModuleString(SystemModule* module, UINT id, char* buffer, int bufferMax) {
  const auto* table = static_cast<const StandInStringResource*>(
      dlsym(handleOf(module), STANDIN_STRING_TABLE_SYMBOL));
  if (table == nullptr) return 0;
  for (; table->id != 0; ++table) {
    if (table->id != id) continue;
    // Copies at most bufferMax - 1 characters and terminates, as Win32 does.
    const std::size_t length =
        std::min(std::strlen(table->text), static_cast<std::size_t>(bufferMax - 1));
    std::memcpy(buffer, table->text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
  }
  return 0;
}

}  // namespace standin
