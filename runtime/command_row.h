// One row of the plug-in's command table as the host reads it: the string
// "name%types%decorated export%parameter help".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace standin {

struct CommandRow {
  unsigned id = 0;
  std::string name;           // "TS Point[" for a value-yielding row
  std::string types;          // "LLLL": the result letter first when the row yields a value
  std::string decoratedName;  // "?GetImagePixel@@YAKKHH@Z"
  std::string help;           // "Image Number, x, y"

  // A name ending in "[" is used inside an expression and yields a value.
  bool yieldsValue() const { return !name.empty() && name.back() == '['; }
  // The name as a script writes it, without the "[".
  std::string_view spokenName() const;
  // One letter per argument ("0" stands for none).
  std::string_view argumentLetters() const;
  std::size_t argumentCount() const { return argumentLetters().size(); }
  // The name the parameter help gives argument `index` ("File name"), or "".
  std::string_view argumentName(std::size_t index) const;
  // The row's string again, as the module holds it.
  std::string text() const;
};

// Splits a table string into its four fields; nothing if it has not exactly
// four, if the name or export is empty, or the types are not well formed.
std::optional<CommandRow> parseCommandRow(unsigned id, std::string_view text);

}  // namespace standin
