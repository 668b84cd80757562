#include "command_program.h"

#include "byte_reader.h"
#include "command_invokers.h"
#include "effect_corpus.h"
#include "fuzzed_arguments.h"
#include "image_pixels.h"
#include "plugin_session.h"
#include "plugin_test_hooks.h"

#include <bit>
#include <cstdio>
#include <cstdlib>

namespace fuzzing {

namespace {

using tessaly::simd::InstructionSet;

constexpr InstructionSet kInstructionSets[] = {InstructionSet::avx512, InstructionSet::avx2,
                                               InstructionSet::sse2, InstructionSet::avx512};

// 0 to 128 as it stands, then in steps of 2 up to 382: mostly small images, a
// few of a few hundred pixels.
int imageSide(std::uint8_t code) { return code <= 128 ? code : 128 + (code - 128) * 2; }

std::uint32_t nextRandom(std::uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

// Returns what it made, as "image 3: 16 x 9 render target".
std::string makeImage(standin::StandInHost& host, ByteReader& input) {
  const int number = static_cast<std::int8_t>(input.byte());
  const std::uint8_t kind = input.byte();
  const int width = imageSide(input.byte());
  const int height = imageSide(input.byte());
  std::uint32_t seed = input.u32() | 1u;

  const bool renderTarget = (kind & 1) != 0;
  const DWORD usage = (renderTarget ? D3DUSAGE_RENDERTARGET : 0) | ((kind & 2) != 0 ? D3DUSAGE_DYNAMIC : 0);
  IDirect3DTexture9* texture =
      usage == 0 ? host.makeImage(number, width, height)
                 : host.makeImageFormat(number, width, height, D3DFMT_A8R8G8B8, usage);
  std::string made = "image " + std::to_string(number) + ": " + std::to_string(width) + " x " +
                     std::to_string(height) + (renderTarget ? " render target" : "") +
                     ((kind & 2) != 0 ? " dynamic" : "");
  if (texture == nullptr) return made + " refused";  // a size the host refuses

  standin::ImagePixels pixels{static_cast<UINT>(width), static_cast<UINT>(height), {}};
  pixels.words.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::uint32_t& word : pixels.words) word = (kind & 4) != 0 ? seed : nextRandom(seed);
  if (renderTarget) {
    standin::writeTargetPixels(host.device(), texture, pixels);
  } else {
    standin::writePixels(texture, pixels);
  }
  return made;
}

float anyFloat(ByteReader& input) { return std::bit_cast<float>(input.u32()); }

void setUpHost(standin::StandInHost& host, ByteReader& input, std::vector<std::string>& trace) {
  host.imageBytesLimit = kProgramImageBytes;
  for (int n = input.byte() % 9; n > 0; --n) trace.push_back("make " + makeImage(host, input));
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

const CommandEntry& pickCommand(std::uint8_t code) {
  const auto table = commandTable();
  for (const CommandEntry& command : table) {
    if (command.id == code) return command;
  }
  return table[code % table.size()];
}

}  // namespace

ProgramRun runCommandProgram(const std::uint8_t* data, std::size_t size) {
  ProgramRun run;
  ByteReader input(data, size);
  const std::uint8_t settings = input.byte();
  plugin_test_hooks::useInstructionSet(kInstructionSets[settings & 3]);
  standin::HostOptions options;
  options.vectorModule = (settings & 4) == 0;
  options.screenWidth = 1u + input.byte();
  options.screenHeight = 1u + input.byte();
  {
    PluginSession session(options);
    setUpHost(session.host(), input, run.trace);
    FuzzedArguments arguments(input, session.host(), effectCorpus());
    while (!input.empty() && run.commands < kMaxProgramCommands) {
      const std::uint8_t code = input.byte();
      if (code == kMakeImageCode) {
        run.trace.push_back("make " + makeImage(session.host(), input));
        ++run.commands;
        continue;
      }
      const CommandEntry& command = pickCommand(code);
      const CommandOutcome outcome = session.call(command, arguments);
      ++run.commands;
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
