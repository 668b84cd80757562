// A script as the runner executes it: statements checked and converted,
// each with the line it came from.
#pragma once

#include "command_call.h"

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace standin {

// A file a statement names: as the script wrote it (for messages) and as it
// is opened (relative to the script's folder, or the output folder for saves).
struct ScriptPath {
  std::string written;
  std::string resolved;
};

struct ScreenStatement {
  UINT width = 0;
  UINT height = 0;
};
struct LoadImageStatement {
  ScriptPath file;
  int image = 0;
};
struct SaveImageStatement {
  ScriptPath file;
  int image = 0;
};
struct SaveScreenStatement {
  ScriptPath file;
};
struct Vector4Statement {
  int number = 0;
  std::array<float, 4> values{};
};
struct Matrix4Statement {
  int number = 0;
  std::array<float, 16> values{};  // row by row
};
struct CommandStatement {
  const BoundCommand* command = nullptr;
  std::vector<ArgumentValue> arguments;
  bool print = false;  // a value-yielding command inside print
};
// Test statements: images made from literal words, and expectations.
struct MakeImageStatement {
  int image = 0;
  UINT width = 0;
  UINT height = 0;
  std::vector<std::uint32_t> words;  // one word fills the image
  bool renderTarget = false;
};
struct ExpectPixelStatement {
  int image = 0;
  UINT x = 0;
  UINT y = 0;
  std::uint32_t word = 0;
};
struct ExpectImageStatement {
  int image = 0;
  UINT width = 0;  // with words
  UINT height = 0;
  std::vector<std::uint32_t> words;  // one word for every pixel
  ScriptPath file;                   // or a PNG holding the expected words
};

using StatementBody =
    std::variant<ScreenStatement, LoadImageStatement, SaveImageStatement, SaveScreenStatement,
                 Vector4Statement, Matrix4Statement, CommandStatement, MakeImageStatement,
                 ExpectPixelStatement, ExpectImageStatement>;

struct Statement {
  int line = 0;
  std::string text;  // the line without comment and surrounding blanks
  StatementBody body;
};

struct Script {
  std::string name;  // as in messages: the path given, or "<stdin>"
  std::vector<Statement> statements;
  UINT screenWidth = 640;
  UINT screenHeight = 480;
};

struct ScriptError {
  int line = 0;
  std::string message;
};

}  // namespace standin
