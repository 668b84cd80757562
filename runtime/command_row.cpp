#include "command_row.h"

#include <vector>

namespace standin {

std::string_view CommandRow::spokenName() const {
  std::string_view spoken = name;
  if (yieldsValue()) spoken.remove_suffix(1);
  return spoken;
}

std::string_view CommandRow::argumentLetters() const {
  std::string_view letters = types;
  if (letters == "0") return {};
  if (yieldsValue() && !letters.empty()) letters.remove_prefix(1);
  return letters;
}

std::string_view CommandRow::argumentName(std::size_t index) const {
  std::string_view names = help;
  for (std::size_t i = 0; i < index; ++i) {
    const std::size_t comma = names.find(", ");
    if (comma == std::string_view::npos) return {};
    names.remove_prefix(comma + 2);
  }
  return names.substr(0, names.find(", "));
}

std::string CommandRow::text() const { return name + '%' + types + '%' + decoratedName + '%' + help; }

std::optional<CommandRow> parseCommandRow(unsigned id, std::string_view text) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('%', start);
    fields.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  if (fields.size() != 4 || fields[0].empty() || fields[1].empty() || fields[2].empty()) {
    return std::nullopt;
  }
  CommandRow row{id, std::string(fields[0]), std::string(fields[1]), std::string(fields[2]),
                 std::string(fields[3])};
  // Argument letters L, F, S; a result letter (L or D) only on a value row,
  // which needs it; "0" alone for no arguments.
  const std::string_view types = row.types;
  if (types != "0") {
    std::string_view arguments = types;
    if (row.yieldsValue()) {
      if (arguments.front() != 'L' && arguments.front() != 'D') return std::nullopt;
      arguments.remove_prefix(1);
    }
    if (arguments.find_first_not_of("LFS") != std::string_view::npos) return std::nullopt;
  } else if (row.yieldsValue()) {
    return std::nullopt;
  }
  return row;
}

}  // namespace standin
