// A command row bound to its export and called with argument values whose C
// types are known only at run time: the export's decorated name gives them.
// The call itself is made by libffi (command_call_libffi.cpp) or, on i686
// Windows, where every argument takes one 32-bit slot, by a thunk per
// argument count (command_call_slots.cpp).
#pragma once

#include "command_row.h"
#include "export_signature.h"
#include "host/win32_api.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace standin {

// A script's argument: the 32-bit word of an L, the float of an F, the text
// of an S.
using ArgumentValue = std::variant<std::uint32_t, float, std::string>;

class BoundCommand {
 public:
  // Binds a row to its export; nothing (and the reason in `error`) if the
  // decorated name is not understood or disagrees with the row's letters.
  static std::optional<BoundCommand> bind(const CommandRow& row, FARPROC entry,
                                          std::string& error);

  const CommandRow& row() const { return row_; }

  // Calls the export. One value per argument, of the kind its letter takes:
  // an L reaches an unsigned or signed parameter as the same 32 bits and a
  // char parameter as its low byte. A row with no result returns 0.
  std::uint32_t call(const std::vector<ArgumentValue>& values) const;

 private:
  // What the calling back end prepared for this signature, shared by copies.
  struct CallFrame;
  static std::shared_ptr<const CallFrame> prepareCall(const ExportSignature& signature,
                                                      std::string& error);

  BoundCommand(CommandRow row, ExportSignature signature, FARPROC entry);

  CommandRow row_;
  ExportSignature signature_;
  FARPROC entry_ = nullptr;
  std::shared_ptr<const CallFrame> frame_;
};

}  // namespace standin
