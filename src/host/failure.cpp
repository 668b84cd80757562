#include "host/failure.h"

#include "host/host_link.h"

#include <cstdint>
#include <string>

namespace tessaly {

void setRuntimeError(int code) {
  if (std::int32_t* slot = hostRuntimeErrorSlot(); slot != nullptr) *slot = code;
}

namespace {

// Entries that were never resolved (the core module failed to load) are skipped.
void tellHostToQuit() {
  if (hostLink.closeDisplay != nullptr) hostLink.closeDisplay();
  if (hostLink.quit != nullptr) hostLink.quit();
}

}  // namespace

void fatalError(const char* message, const char* caption) {
  tellHostToQuit();
  MessageBoxA(nullptr, message, caption, MB_ICONERROR);
  ExitProcess(kFatalExitStatus);
}

void fatalQuit() {
  tellHostToQuit();
  ExitProcess(kFatalExitStatus);
}

void fatalMissingHostEntry(std::string_view decoratedName, std::string_view moduleName) {
  const std::string message = std::string(decoratedName) + " could not be found in " + std::string(moduleName) + ".";
  fatalError(message.c_str(), "Error");
}

void fatalNotForRenderTargets(std::string_view commandName) {
  const std::string name(commandName);
  const std::string message = name + " does not work on render targets.";
  const std::string caption = name + " - Error";
  fatalError(message.c_str(), caption.c_str());
}

}  // namespace tessaly
