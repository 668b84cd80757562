// The plug-in as the host loads it: the module by file name, its lifecycle
// entries, and its commands bound through the command table that the module
// itself carries.
#pragma once

#include "command_call.h"
#include "host/win32_api.h"

#include <string>
#include <vector>

namespace standin {

class PluginModule {
 public:
  PluginModule() = default;
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // Loads the module and reads its table; false with the reason in error().
  bool load(const std::string& path);
  // Binds every row of the table to its export and finds the lifecycle
  // entries; false with the reason in error().
  bool bind();

  const std::string& error() const { return error_; }
  // Every row of the table, in identifier order.
  const std::vector<CommandRow>& rows() const { return rows_; }
  // The bound commands (after bind()), in identifier order.
  const std::vector<BoundCommand>& commands() const { return commands_; }

  void construct() const { constructor_(); }
  void receiveCoreData(void* record) const { receiveCoreDataPtr_(record); }
  void destruct() const { destructor_(); }

 private:
  bool readTable();

  HMODULE module_ = nullptr;
  std::string error_;
  std::vector<CommandRow> rows_;
  std::vector<BoundCommand> commands_;
  void (*constructor_)() = nullptr;
  void (*receiveCoreDataPtr_)(void*) = nullptr;
  void (*destructor_)() = nullptr;
};

}  // namespace standin
