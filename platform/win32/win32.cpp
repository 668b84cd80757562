// Win32 stand-in: module loading over an in-process registry and the
// system's own loader, message boxes on standard error, process exit.
#include "win32/message_box_log.h"
#include "win32/exit_interception.h"
#include "win32/module_registry.h"
#include "win32/system_modules.h"
#include "win32/win32.h"

#include <cstdio>
#include <cstdlib>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

// A lock usable with std::lock_guard on every toolchain of the project: the
// i686 cross compiler's default thread model has no std::mutex. Held only for
// a few map or vector operations, so spinning costs nothing.
class SpinLock {
 public:
  void lock() {
    while (flag_.test_and_set(std::memory_order_acquire)) {
    }
  }
  void unlock() { flag_.clear(std::memory_order_release); }

 private:
  std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

// A loaded module: either registered in-process (entries by decorated name)
// or a file opened with the system's loader.
struct Module {
  std::string fileName;
  standin::ModuleEntries entries;
  standin::SystemModule* sharedObject = nullptr;
  int loadCount = 0;
  bool registered = false;
};

struct Registry {
  SpinLock mutex;
  std::map<std::string, std::unique_ptr<Module>> byName;
};

struct MessageBoxes {
  SpinLock mutex;
  std::vector<standin::ShownMessageBox> shown;
  bool details = false;
};

MessageBoxes& messageBoxes() {
  static MessageBoxes instance;
  return instance;
}

standin::ExitProcessHandler exitProcessHandler = nullptr;

Registry& registry() {
  static Registry instance;
  return instance;
}

HMODULE handleOf(Module* module) { return reinterpret_cast<HMODULE>(module); }

Module* moduleOf(HMODULE handle) {
  for (auto& [name, module] : registry().byName) {
    if (handleOf(module.get()) == handle) return module.get();
  }
  return nullptr;
}

}  // namespace

namespace standin {

HMODULE registerModule(const std::string& fileName, ModuleEntries entries) {
  std::lock_guard guard(registry().mutex);
  auto& slot = registry().byName[fileName];
  if (!slot) slot = std::make_unique<Module>();
  slot->fileName = fileName;
  slot->entries = std::move(entries);
  slot->registered = true;
  return handleOf(slot.get());
}

void unregisterModule(HMODULE handle) {
  std::lock_guard guard(registry().mutex);
  for (auto it = registry().byName.begin(); it != registry().byName.end(); ++it) {
    if (handleOf(it->second.get()) == handle && it->second->registered) {
      registry().byName.erase(it);
      return;
    }
  }
}

std::vector<ShownMessageBox> takeMessageBoxes() {
  std::lock_guard guard(messageBoxes().mutex);
  return std::exchange(messageBoxes().shown, {});
}

void showMessageBoxDetails(bool on) {
  std::lock_guard guard(messageBoxes().mutex);
  messageBoxes().details = on;
}

ExitProcessHandler setExitProcessHandler(ExitProcessHandler handler) {
  const ExitProcessHandler previous = exitProcessHandler;
  exitProcessHandler = handler;
  return previous;
}

void unregisterAllModules() {
  std::lock_guard guard(registry().mutex);
  std::erase_if(registry().byName, [](const auto& item) { return item.second->registered; });
}

}  // namespace standin

extern "C" {

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
  if (fileName == nullptr) return nullptr;
  std::lock_guard guard(registry().mutex);
  auto& slot = registry().byName[fileName];
  if (!slot) {
    standin::SystemModule* so = standin::openSystemModule(fileName);
    if (so == nullptr) {
      registry().byName.erase(fileName);
      return nullptr;
    }
    slot = std::make_unique<Module>();
    slot->fileName = fileName;
    slot->sharedObject = so;
  }
  ++slot->loadCount;
  return handleOf(slot.get());
}

FARPROC WINAPI GetProcAddress(HMODULE handle, LPCSTR procName) {
  if (handle == nullptr || procName == nullptr) return nullptr;
  std::lock_guard guard(registry().mutex);
  Module* module = moduleOf(handle);
  if (module == nullptr) return nullptr;
  if (module->sharedObject != nullptr) {
    return standin::systemModuleEntry(module->sharedObject, procName);
  }
  for (const auto& [name, fn] : module->entries) {
    if (name == procName) return fn;
  }
  return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE handle) {
  std::lock_guard guard(registry().mutex);
  Module* module = moduleOf(handle);
  if (module == nullptr || module->loadCount == 0) return FALSE;
  if (--module->loadCount == 0 && module->sharedObject != nullptr) {
    standin::closeSystemModule(module->sharedObject);
    registry().byName.erase(module->fileName);
  }
  return TRUE;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const char* shownText = text != nullptr ? text : "";
  const char* shownCaption = caption != nullptr ? caption : "";
  std::lock_guard guard(messageBoxes().mutex);
  messageBoxes().shown.push_back({owner, shownText, shownCaption, type});
  if (messageBoxes().details) {
    std::fprintf(stderr, "MessageBox [%s]: %s {owner %s, style 0x%X}\n", shownCaption, shownText,
                 owner != nullptr ? "set" : "null", type);
  } else {
    std::fprintf(stderr, "MessageBox [%s]: %s\n", shownCaption, shownText);
  }
  std::fflush(stderr);
  return 1;  // IDOK
}

void WINAPI ExitProcess(UINT exitCode) {
  if (exitProcessHandler != nullptr) exitProcessHandler(exitCode);  // leaves by throwing
  std::fflush(nullptr);
  std::_Exit(static_cast<int>(exitCode));
}

int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax) {
  if (buffer == nullptr || bufferMax <= 0) return 0;
  buffer[0] = '\0';
  std::lock_guard guard(registry().mutex);
  Module* module = moduleOf(instance);
  if (module == nullptr || module->sharedObject == nullptr) return 0;
  return standin::loadSystemModuleString(module->sharedObject, id, buffer, bufferMax);
}

}  // extern "C"
