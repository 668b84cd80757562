#include "script_source.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace standin {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

ScriptSource refused(const std::string& reason) { return {std::nullopt, "cannot read the script: " + reason}; }

}  // namespace

ScriptSource readScriptSource(const std::string& path) {
  const bool fromInput = path == "-";
  std::error_code ignored;
  if (!fromInput && std::filesystem::is_directory(path, ignored)) return refused("it is a folder");
  std::unique_ptr<std::FILE, FileCloser> opened;
  if (!fromInput) {
    opened.reset(std::fopen(path.c_str(), "rb"));
    if (!opened) return refused(std::strerror(errno));
  }
  std::FILE* in = fromInput ? stdin : opened.get();

  // Read in pieces, stopping as soon as a bound is passed.
  std::string text;
  std::uint64_t lines = 0;
  char piece[65536];
  for (;;) {
    const std::size_t count = std::fread(piece, 1, sizeof piece, in);
    lines += static_cast<std::uint64_t>(std::count(piece, piece + count, '\n'));
    if (text.size() + count > kMaxScriptBytes) return refused("it is larger than 16 MiB");
    if (lines > kMaxScriptLines) return refused("it has more than 1000000 lines");
    text.append(piece, count);
    if (count < sizeof piece) break;
  }
  if (std::ferror(in) != 0) return refused(std::strerror(errno));
  if (!text.empty() && text.back() != '\n' && lines == kMaxScriptLines) return refused("it has more than 1000000 lines");
  return {std::move(text), {}};
}

}  // namespace standin
