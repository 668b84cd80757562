#include "plugin_module.h"

#include "string_table_ids.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace standin {

namespace {

// An entry point as a typed function pointer, through the generic function
// pointer type, which GCC allows between any two signatures.
template <class Fn>
Fn* entryAs(FARPROC entry) {
  using GenericFunction = void (*)();
  return reinterpret_cast<Fn*>(reinterpret_cast<GenericFunction>(entry));
}

}  // namespace

PluginModule::~PluginModule() {
  if (module_ != nullptr) FreeLibrary(module_);
}

namespace {

// Why the loader refused a file, as far as can be told without it.
std::string whyNotLoadable(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return "no such file";
  if (std::filesystem::is_directory(path, error)) return "it is a folder";
  if (std::FILE* file = std::fopen(path.c_str(), "rb"); file != nullptr) {
    std::fclose(file);
  } else {
    return std::strerror(errno);
  }
  return "the file is not a module this system can load, or a module it needs is missing";
}

}  // namespace

bool PluginModule::load(const std::string& path) {
  module_ = LoadLibraryA(path.c_str());
  if (module_ == nullptr) {
    error_ = "cannot load the module " + path + ": " + whyNotLoadable(path);
    return false;
  }
  return readTable();
}

bool PluginModule::readTable() {
  std::vector<char> buffer(1024);
  for (const UINT id : stringTableIds(module_)) {
    int length = LoadStringA(module_, id, buffer.data(), static_cast<int>(buffer.size()));
    // A string that fills the buffer may have been cut: ask again with room.
    while (length > 0 && static_cast<std::size_t>(length) + 1 >= buffer.size()) {
      buffer.resize(buffer.size() * 2);
      length = LoadStringA(module_, id, buffer.data(), static_cast<int>(buffer.size()));
    }
    if (length <= 0) continue;
    const std::string_view text(buffer.data(), static_cast<std::size_t>(length));
    std::optional<CommandRow> row = parseCommandRow(id, text);
    if (!row) {
      error_ = "string " + std::to_string(id) + " of the command table is not a command row: " +
               std::string(text);
      return false;
    }
    rows_.push_back(std::move(*row));
  }
  if (rows_.empty()) {
    error_ = "the module carries no command table";
    return false;
  }
  return true;
}

bool PluginModule::bind() {
  constructor_ = entryAs<void()>(GetProcAddress(module_, "?Constructor@@YAXXZ"));
  receiveCoreDataPtr_ = entryAs<void(void*)>(GetProcAddress(module_, "?ReceiveCoreDataPtr@@YAXPAX@Z"));
  destructor_ = entryAs<void()>(GetProcAddress(module_, "?Destructor@@YAXXZ"));
  if (constructor_ == nullptr || receiveCoreDataPtr_ == nullptr || destructor_ == nullptr) {
    error_ = "the module lacks Constructor, ReceiveCoreDataPtr or Destructor";
    return false;
  }
  for (const CommandRow& row : rows_) {
    const FARPROC entry = GetProcAddress(module_, row.decoratedName.c_str());
    if (entry == nullptr) {
      error_ = "row " + std::to_string(row.id) + ": the module does not export " + row.decoratedName;
      return false;
    }
    std::string reason;
    std::optional<BoundCommand> command = BoundCommand::bind(row, entry, reason);
    if (!command) {
      error_ = "row " + std::to_string(row.id) + ": " + reason;
      return false;
    }
    commands_.push_back(std::move(*command));
  }
  return true;
}

}  // namespace standin
