// Reading a script: a file, or standard input for "-", within fixed bounds,
// so that an endless or enormous input ends in a message rather than in all
// of memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace standin {

inline constexpr std::uint64_t kMaxScriptBytes = std::uint64_t{16} << 20;  // 16 MiB
inline constexpr std::uint64_t kMaxScriptLines = 1000000;

struct ScriptSource {
  std::optional<std::string> text;
  std::string error;  // why there is no text: "cannot read the script: ..."
};

ScriptSource readScriptSource(const std::string& path);

}  // namespace standin
