#include "command_call.h"

namespace standin {

BoundCommand::BoundCommand(CommandRow row, ExportSignature signature, FARPROC entry)
    : row_(std::move(row)), signature_(std::move(signature)), entry_(entry) {}

std::optional<BoundCommand> BoundCommand::bind(const CommandRow& row, FARPROC entry,
                                               std::string& error) {
  const std::optional<ExportSignature> signature = parseDecoratedName(row.decoratedName);
  if (!signature) {
    error = "the export name " + row.decoratedName + " is not one this host can call";
    return std::nullopt;
  }
  const std::string_view letters = row.argumentLetters();
  bool agrees = letters.size() == signature->arguments.size() &&
                row.yieldsValue() == (signature->result != CType::Void);
  for (std::size_t i = 0; agrees && i < letters.size(); ++i) {
    agrees = tableLetterOf(signature->arguments[i]) == letters[i];
  }
  if (!agrees) {
    error = "the types \"" + row.types + "\" disagree with the export " + row.decoratedName;
    return std::nullopt;
  }

  BoundCommand bound(row, *signature, entry);
  bound.frame_ = prepareCall(*signature, error);
  if (!bound.frame_) {
    error = "cannot describe the call of " + row.decoratedName + ": " + error;
    return std::nullopt;
  }
  return bound;
}

}  // namespace standin
