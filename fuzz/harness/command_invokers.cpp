#include "command_invokers.h"

#include "resources/commands.h"
#include "win32/module_registry.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace fuzzing {

namespace {

// The arguments are taken in a braced list, which fixes their order.
template <class Result, class... Arguments>
std::uint32_t invokeWith(Result (*command)(Arguments...), ArgumentSource& source) {
  std::tuple<Arguments...> arguments{source.next<Arguments>()...};
  if constexpr (std::is_void_v<Result>) {
    std::apply(command, std::move(arguments));
    return 0;
  } else {
    return static_cast<std::uint32_t>(std::apply(command, std::move(arguments)));
  }
}

constexpr CommandEntry kCommands[] = {
#define TESSALY_COMMAND(id, command, text) \
  {id, text, [](ArgumentSource& source) { return invokeWith(&command, source); }, nullptr},
#include "command_list.inc"
#undef TESSALY_COMMAND
};

// The exports as FARPROC, in the order of kCommands (the cast is not constexpr).
const FARPROC kEntries[] = {
#define TESSALY_COMMAND(id, command, text) standin::entry(&command),
#include "command_list.inc"
#undef TESSALY_COMMAND
};

// Field i of a row ("%"-separated).
std::string_view field(const char* row, int i) {
  std::string_view text(row);
  for (; i > 0; --i) text.remove_prefix(std::min(text.size(), text.find('%') + 1));
  return text.substr(0, text.find('%'));
}

struct Table {
  CommandEntry entries[std::size(kCommands)];
  Table() {
    for (std::size_t i = 0; i < std::size(kCommands); ++i) {
      entries[i] = kCommands[i];
      entries[i].entry = kEntries[i];
    }
    std::sort(std::begin(entries), std::end(entries),
              [](const CommandEntry& a, const CommandEntry& b) { return a.id < b.id; });
  }
};

}  // namespace

std::string_view CommandEntry::name() const { return field(row, 0); }
std::string_view CommandEntry::typeLetters() const { return field(row, 1); }
std::string_view CommandEntry::decoratedName() const { return field(row, 2); }

std::span<const CommandEntry> commandTable() {
  static const Table table;
  return table.entries;
}

const CommandEntry* findCommand(std::string_view decoratedName) {
  for (const CommandEntry& command : commandTable()) {
    if (command.decoratedName() == decoratedName) return &command;
  }
  return nullptr;
}

}  // namespace fuzzing
