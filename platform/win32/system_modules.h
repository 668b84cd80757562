// Modules that live in files, opened with the system's own loader: dlopen on
// POSIX systems, the real LoadLibrary when the stand-ins are built for Windows
// (the Windows test builds). The stand-in LoadLibraryA and its companions
// reach files only through here.
#pragma once

#include "win32/win32.h"

namespace standin {

struct SystemModule;

// Null if the file cannot be loaded.
SystemModule* openSystemModule(const char* fileName);
void closeSystemModule(SystemModule* module);
// The entry exported under a decorated name ("?Name@@YAXK@Z"); null if none.
FARPROC systemModuleEntry(SystemModule* module, const char* decoratedName);
// LoadStringA over the module's string table: the length copied, 0 if none.
int loadSystemModuleString(SystemModule* module, UINT id, char* buffer, int bufferMax);

}  // namespace standin
