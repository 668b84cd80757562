// libFuzzer target: what tessaly-run reads from outside. The first byte picks
// the reader: even, the rest is a script for the script parser; odd, the rest
// is a file for the PNG reader. Either the input is taken, and what came out
// is whole, or it is refused with a message; never a crash, a hang or memory
// beyond the readers' bounds.
#include "bound_commands.h"
#include "png_io.h"
#include "script_parser.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void finding(const std::string& what) {
  std::fprintf(stderr, "runner input: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

void parse(std::string_view text) {
  static const std::vector<standin::BoundCommand> commands = fuzzing::boundCommands();
  const standin::ParsedScript parsed =
      standin::parseScript(text, "<fuzz>", {"/nonexistent/in", "/nonexistent/out"}, commands);
  int lines = 1;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  for (const standin::ScriptError& error : parsed.errors) {
    if (error.message.empty()) finding("an error without a message on line " + std::to_string(error.line));
    if (error.line < 1 || error.line > lines) {
      finding("an error on line " + std::to_string(error.line) + " of " + std::to_string(lines) +
              ": " + error.message);
    }
  }
  for (const standin::Statement& statement : parsed.script.statements) {
    if (statement.line < 1 || statement.line > lines) finding("a statement on a line the script lacks");
  }
}

// The bytes as a file that lives only in memory.
void readPng(std::string_view bytes) {
  static const int file = memfd_create("fuzzed.png", 0);
  if (file < 0) finding("no memory file");
  if (ftruncate(file, 0) != 0 || pwrite(file, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
    finding("cannot write the memory file");
  }
  const standin::PngLoad load = standin::loadPng("/proc/self/fd/" + std::to_string(file));
  if (!load.pixels) {
    if (load.error.empty()) finding("a PNG refused without a reason");
    return;
  }
  const standin::ImagePixels& pixels = *load.pixels;
  if (pixels.width == 0 || pixels.height == 0 || pixels.width > standin::kMaxImageSide ||
      pixels.height > standin::kMaxImageSide ||
      pixels.words.size() != std::size_t{pixels.width} * pixels.height) {
    finding("a PNG taken as " + std::to_string(pixels.width) + " x " + std::to_string(pixels.height) +
            " with " + std::to_string(pixels.words.size()) + " pixels");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  if ((data[0] & 1) == 0) {
    parse(rest);
  } else {
    readPng(rest);
  }
  return 0;
}
