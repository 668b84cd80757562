// "DBProCore.dll" and "DBProSetupDebug.dll" of the stand-in host on Windows:
// the plug-in loads them by file name, and each entry calls the host
// program's own export of the same decorated name. One source; each DLL's
// .def file exports its module's entries.
#include <windows.h>

namespace {

template <class Function>
Function* hostEntry(const char* decoratedName) {
  const FARPROC entry = GetProcAddress(GetModuleHandleA(nullptr), decoratedName);
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(entry));
}

}  // namespace

extern "C" {

DWORD forwardQuit() {
  static auto* const entry = hostEntry<DWORD()>("?Quit@@YAKXZ");
  return entry != nullptr ? entry() : 0;
}

DWORD forwardCloseDisplay() {
  static auto* const entry = hostEntry<DWORD()>("?CloseDisplay@@YAKXZ");
  return entry != nullptr ? entry() : 0;
}

struct IDirect3DDevice9;

IDirect3DDevice9* forwardGetDirect3DDevice() {
  static auto* const entry =
      hostEntry<IDirect3DDevice9*()>("?GetDirect3DDevice@@YAPAUIDirect3DDevice9@@XZ");
  return entry != nullptr ? entry() : nullptr;
}

}  // extern "C"
