// Writes a seed for the command-table fuzzer from each script test: the
// script's images, vectors and matrices, and its commands with their
// arguments as raw values, in the input format of harness/command_program.h.
//   fuzz_seeds_from_scripts OUTPUT-FOLDER SCRIPT...
#include "bound_commands.h"
#include "command_program.h"
#include "effect_corpus.h"
#include "export_signature.h"
#include "script_parser.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace standin;

namespace {

class Seed {
 public:
  void byte(std::uint32_t value) { bytes_.push_back(static_cast<char>(value & 0xFF)); }
  void word(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) byte(value >> shift);
  }
  void text(const std::string& value) { bytes_ += value; }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

void image(Seed& seed, int number, UINT width, UINT height, bool renderTarget,
           const std::vector<std::uint32_t>& words) {
  seed.byte(static_cast<std::uint32_t>(static_cast<std::int8_t>(number)));
  seed.byte((renderTarget ? 1u : 0u) | (words.size() == 1 ? 4u : 0u));
  seed.byte(fuzzing::sideCode(width));
  seed.byte(fuzzing::sideCode(height));
  seed.word(words.empty() ? 0x9E3779B9u : words.front());
}

void argument(Seed& seed, CType type, const ArgumentValue& value, const fuzzing::EffectCorpus& effects) {
  switch (type) {
    case CType::Char: seed.byte(std::get<std::uint32_t>(value)); return;
    case CType::Float:
      seed.byte(0);
      seed.word(std::bit_cast<std::uint32_t>(std::get<float>(value)));
      return;
    case CType::String: {
      const std::string& text = std::get<std::string>(value);
      const std::string name = fs::path(text).filename().string();
      for (std::size_t i = 0; i < effects.files.size() && i < 256; ++i) {
        if (fs::path(effects.files[i]).filename() == name) {
          seed.byte(0);
          seed.byte(static_cast<std::uint32_t>(i));
          return;
        }
      }
      const std::string cut = text.substr(0, 79);
      seed.byte(2);
      seed.byte(static_cast<std::uint32_t>(cut.size()));
      seed.text(cut);
      return;
    }
    default:
      seed.byte(0);
      seed.word(std::get<std::uint32_t>(value));
      return;
  }
}

std::string seedFor(const Script& script, const fuzzing::EffectCorpus& effects) {
  Seed seed;
  seed.byte(0);  // every instruction set, a vector module
  seed.byte(fuzzing::sideCode(script.screenWidth));
  seed.byte(fuzzing::sideCode(script.screenHeight));
  seed.byte(0);  // images come in order, between the commands

  std::vector<const Vector4Statement*> vectors;
  std::vector<const Matrix4Statement*> matrices;
  for (const Statement& statement : script.statements) {
    if (const auto* vector = std::get_if<Vector4Statement>(&statement.body)) vectors.push_back(vector);
    if (const auto* matrix = std::get_if<Matrix4Statement>(&statement.body)) matrices.push_back(matrix);
  }
  vectors.resize(std::min<std::size_t>(vectors.size(), 3));
  matrices.resize(std::min<std::size_t>(matrices.size(), 2));
  seed.byte(static_cast<std::uint32_t>(vectors.size()));
  for (const Vector4Statement* vector : vectors) {
    seed.byte(static_cast<std::uint32_t>(static_cast<std::int8_t>(vector->number)));
    for (float value : vector->values) seed.word(std::bit_cast<std::uint32_t>(value));
  }
  seed.byte(static_cast<std::uint32_t>(matrices.size()));
  for (const Matrix4Statement* matrix : matrices) {
    seed.byte(static_cast<std::uint32_t>(static_cast<std::int8_t>(matrix->number)));
    for (float value : matrix->values) seed.word(std::bit_cast<std::uint32_t>(value));
  }

  int actions = 0;
  for (const Statement& statement : script.statements) {
    if (actions == fuzzing::kMaxProgramCommands) break;
    if (const auto* made = std::get_if<MakeImageStatement>(&statement.body)) {
      seed.byte(fuzzing::kMakeImageCode);
      image(seed, made->image, made->width, made->height, made->renderTarget, made->words);
      ++actions;
    } else if (const auto* loaded = std::get_if<LoadImageStatement>(&statement.body)) {
      seed.byte(fuzzing::kMakeImageCode);
      image(seed, loaded->image, 32, 32, false, {});
      ++actions;
    } else if (const auto* call = std::get_if<CommandStatement>(&statement.body)) {
      const std::optional<ExportSignature> signature =
          parseDecoratedName(call->command->row().decoratedName);
      if (!signature || call->command->row().id > 255) continue;
      seed.byte(call->command->row().id);
      for (std::size_t i = 0; i < signature->arguments.size(); ++i) {
        argument(seed, signature->arguments[i], call->arguments.at(i), effects);
      }
      ++actions;
    }
  }
  return seed.bytes();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT-FOLDER SCRIPT...\n", argv[0]);
    return 2;
  }
  const std::vector<BoundCommand> commands = fuzzing::boundCommands();
  const fs::path output = argv[1];
  fs::create_directories(output);
  int written = 0;
  for (int i = 2; i < argc; ++i) {
    const fs::path path = argv[i];
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const ParsedScript parsed =
        parseScript(text.str(), path.string(), {path.parent_path(), output}, commands);
    if (!parsed.errors.empty()) {
      std::fprintf(stderr, "%s: skipped, it does not parse (line %d: %s)\n", path.c_str(),
                   parsed.errors.front().line, parsed.errors.front().message.c_str());
      continue;
    }
    std::ofstream out(output / ("script-" + path.stem().string()), std::ios::binary);
    out << seedFor(parsed.script, fuzzing::effectCorpus());
    ++written;
  }
  std::printf("%d seeds written\n", written);
  return 0;
}
