// Files as Windows DLLs, for the stand-ins built for Windows: the real loader
// opens them, and they export their decorated names as they are. This file
// alone sees the real Win32 header, so it reaches the real functions by their
// own names without meeting the stand-in declarations.
#include <windows.h>

#include <cstdint>

namespace standin {

struct SystemModule;

SystemModule* openSystemModule(const char* fileName) {
  return reinterpret_cast<SystemModule*>(::LoadLibraryA(fileName));
}

void closeSystemModule(SystemModule* module) {
  ::FreeLibrary(reinterpret_cast<HMODULE>(module));
}

// The stand-in FARPROC, spelled out: this file cannot include its header.
using StandInEntry = std::intptr_t (*)();

StandInEntry systemModuleEntry(SystemModule* module, const char* decoratedName) {
  return reinterpret_cast<StandInEntry>(
      reinterpret_cast<void (*)()>(::GetProcAddress(reinterpret_cast<HMODULE>(module), decoratedName)));
}

int loadSystemModuleString(SystemModule* module, unsigned id, char* buffer, int bufferMax) {
  return ::LoadStringA(reinterpret_cast<HMODULE>(module), id, buffer, bufferMax);
}

}  // namespace standin
