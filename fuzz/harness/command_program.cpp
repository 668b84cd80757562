#include "command_program.h"

#include "byte_reader.h"
#include "command_invokers.h"
#include "effect_corpus.h"
#include "fuzzed_arguments.h"
#include "image_content.h"
#include "plugin_session.h"
#include "plugin_test_hooks.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>

namespace fuzzing {

namespace {

using tessaly::simd::InstructionSet;

constexpr InstructionSet kInstructionSets[] = {InstructionSet::avx512, InstructionSet::avx2,
                                               InstructionSet::sse2, InstructionSet::avx512};

constexpr bool sideCodesFindTheirSides() {
  for (int code = 0; code < 256; ++code) {
    const int side = imageSide(static_cast<std::uint8_t>(code));
    if (imageSide(sideCode(static_cast<unsigned>(side))) != side) return false;
  }
  return true;
}
static_assert(sideCodesFindTheirSides());

// The device makes the screen for every program: up to 96 pixels a side keeps
// that cheap, and still lets pastes reach past its edges from any image.
unsigned screenSide(std::uint8_t code) { return static_cast<unsigned>(std::clamp(imageSide(code), 1, 96)); }

// Returns what it made, as "image 3: 16 x 9 render target". The images the
// program makes share a budget of pixels written (`pixelsLeft`); past it the
// program makes no more.
std::string makeImage(standin::StandInHost& host, ByteReader& input, std::uint64_t& pixelsLeft) {
  const int number = static_cast<std::int8_t>(input.byte());
  const std::uint8_t kind = input.byte();
  const int width = imageSide(input.byte());
  const int height = imageSide(input.byte());
  const std::uint32_t seed = input.u32();
  const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);

  const bool renderTarget = (kind & 1) != 0;
  const DWORD usage = (renderTarget ? D3DUSAGE_RENDERTARGET : 0) | ((kind & 2) != 0 ? D3DUSAGE_DYNAMIC : 0);
  std::string made = "image " + std::to_string(number) + ": " + std::to_string(width) + " x " +
                     std::to_string(height) + (renderTarget ? " render target" : "") +
                     ((kind & 2) != 0 ? " dynamic" : "");
  if (pixels > pixelsLeft) return made + " over the program's pixel budget";
  pixelsLeft -= pixels;
  IDirect3DTexture9* texture =
      usage == 0 ? host.makeImage(number, width, height)
                 : host.makeImageFormat(number, width, height, D3DFMT_A8R8G8B8, usage);
  if (texture == nullptr) return made + " refused";  // a size the host refuses

  writeImageContent(host.device(), texture, renderTarget,
                    (kind & 4) != 0 ? ImageContent::oneColour : ImageContent::noise, seed);
  return made;
}

float anyFloat(ByteReader& input) { return std::bit_cast<float>(input.u32()); }

void setUpHost(standin::StandInHost& host, ByteReader& input, std::vector<std::string>& trace,
               std::uint64_t& pixelsLeft) {
  host.imageBytesLimit = kProgramImageBytes;
  for (int n = input.byte() % 9; n > 0; --n) trace.push_back("make " + makeImage(host, input, pixelsLeft));
  for (int n = input.byte() % 4; n > 0; --n) {
    const int number = static_cast<std::int8_t>(input.byte());
    D3DXVECTOR4 vector{};
    vector.x = anyFloat(input);
    vector.y = anyFloat(input);
    vector.z = anyFloat(input);
    vector.w = anyFloat(input);
    host.setVector4(number, vector);
  }
  for (int n = input.byte() % 3; n > 0; --n) {
    const int number = static_cast<std::int8_t>(input.byte());
    D3DXMATRIX matrix{};
    for (auto& row : matrix.m) {
      for (float& value : row) value = anyFloat(input);
    }
    host.setMatrix(number, matrix);
  }
}

// The rows a program may call: the whole table, or with TESSALY_FUZZ_COMMANDS
// set those whose name holds one of its comma-separated parts, for a campaign
// aimed at a few commands. Parts that match nothing leave the whole table.
std::vector<const CommandEntry*> chooseRows(const char* only) {
  std::vector<const CommandEntry*> rows;
  const std::string parts = only != nullptr ? only : "";
  for (const CommandEntry& command : commandTable()) {
    bool wanted = parts.empty();
    for (std::size_t at = 0; at < parts.size() && !wanted;) {
      const std::size_t end = std::min(parts.find(',', at), parts.size());
      const std::string_view part = std::string_view(parts).substr(at, end - at);
      wanted = !part.empty() && command.name().find(part) != std::string_view::npos;
      at = end + 1;
    }
    if (wanted) rows.push_back(&command);
  }
  if (rows.empty()) return chooseRows(nullptr);
  return rows;
}

const CommandEntry& pickCommand(std::uint8_t code) {
  static const std::vector<const CommandEntry*> rows = chooseRows(std::getenv("TESSALY_FUZZ_COMMANDS"));
  for (const CommandEntry* command : rows) {
    if (command->id == code) return *command;
  }
  return *rows[code % rows.size()];
}

}  // namespace

ProgramRun runCommandProgram(const std::uint8_t* data, std::size_t size) {
  ProgramRun run;
  ByteReader input(data, size);
  const std::uint8_t settings = input.byte();
  plugin_test_hooks::useInstructionSet(kInstructionSets[settings & 3]);
  standin::HostOptions options;
  options.vectorModule = (settings & 4) == 0;
  options.screenWidth = screenSide(input.byte());
  options.screenHeight = screenSide(input.byte());
  {
    PluginSession session(options);
    std::uint64_t pixelsLeft = kProgramPixels;
    setUpHost(session.host(), input, run.trace, pixelsLeft);
    FuzzedArguments arguments(input, session.host(), effectCorpus());
    while (!input.empty() && run.commands < kMaxProgramCommands) {
      const std::uint8_t code = input.byte();
      if (code == kMakeImageCode) {
        run.trace.push_back("make " + makeImage(session.host(), input, pixelsLeft));
        ++run.commands;
        continue;
      }
      const CommandEntry& command = pickCommand(code);
      const CommandOutcome outcome = session.call(command, arguments);
      ++run.commands;
      run.calledIds.push_back(command.id);
      run.trace.push_back(std::string(command.name()) + " " + arguments.finishCall() +
                          (outcome.fatal ? "  -> fatal path" : ""));
      session.host().clearRuntimeError();
      run.failure = session.leftBehind();
      if (outcome.fatal && outcome.exitCode == 0) run.failure += "the fatal path ended with status 0; ";
      if (!run.failure.empty() || outcome.fatal) {
        run.fatal = outcome.fatal;
        break;
      }
    }
  }
  plugin_test_hooks::useInstructionSet(InstructionSet::avx512);
  if (run.failure.empty()) run.failure = leftAfterSessions();
  return run;
}

void runCommandProgramOrAbort(const std::uint8_t* data, std::size_t size) {
  const ProgramRun run = runCommandProgram(data, size);
  if (run.failure.empty()) {
    if (std::getenv("TESSALY_FUZZ_TRACE") != nullptr) {
      for (const std::string& line : run.trace) std::fprintf(stderr, "  %s\n", line.c_str());
    }
    return;
  }
  std::fprintf(stderr, "command program: %s\nafter:\n", run.failure.c_str());
  for (const std::string& line : run.trace) std::fprintf(stderr, "  %s\n", line.c_str());
  std::fflush(stderr);
  std::abort();
}

}  // namespace fuzzing
