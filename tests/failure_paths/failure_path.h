// The failure-path table: every way a command can fail that the design names
// (a Direct3D call that fails, the host's Make or MakeFormat yielding nothing,
// memory running out, an argument or image it refuses), as one row each: the
// images and call that reach the path, what is made to fail, and what must
// follow: the message and caption of the fatal path, a runtime error, a
// message box, or a silent return, with nothing left locked or leaked.
#pragma once

#include "d3d9/device_control.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace failure_paths {

// One argument of a call, of the kind the export takes: a 32-bit word (for
// unsigned, signed and char parameters), a float, or a string.
struct Arg {
  enum class Kind { word, real, text, null };
  Kind kind = Kind::word;
  std::uint32_t word = 0;
  float real = 0;
  std::string text;
  bool opensImage = false;  // an image number the command opens

  Arg(int value) : word(static_cast<std::uint32_t>(value)) {}
  Arg(unsigned value) : word(value) {}
  Arg(float value) : kind(Kind::real), real(value) {}
  Arg(const char* value) : kind(Kind::text), text(value) {}
  Arg(std::string value) : kind(Kind::text), text(std::move(value)) {}
  Arg(std::nullptr_t) : kind(Kind::null) {}
};

// An image number that the command opens: the rows where it names nothing are
// made from it.
Arg image(int number);
// An effect file kept with the fuzzers (fuzz/effects), by its path there.
std::string effectFile(const char* name);

inline constexpr int kMissingImage = 77;

enum class ImageKind { plain, renderTarget, dynamic };

struct ImageSpec {
  int number;
  ImageKind kind = ImageKind::plain;
  unsigned width = 8;
  unsigned height = 8;
};

struct Call {
  const char* exportName;  // decorated
  std::vector<Arg> arguments;
};

// What is made to fail just before the call.
struct Injection {
  enum class Kind { none, device, make, makeFormat, allocation };
  Kind kind = Kind::none;
  swd3d::Call call = swd3d::Call::CreateTexture;
  int passing = 0;  // device: calls of that kind that go through first
};
Injection deviceFails(swd3d::Call call, int passing = 0);
Injection makeFails();
Injection makeFormatFails();
Injection allocationFails();

struct Outcome {
  enum class Kind { silent, runtimeError, fatal, fatalQuit, messageBox, messageBoxThenQuit };
  Kind kind = Kind::silent;
  int runtimeError = 0;
  std::string message;  // empty for a box whose text is not fixed (a compiler's)
  std::string caption;
  std::optional<std::uint32_t> result;  // for a command that yields a value
  bool unchanged = false;               // every image keeps its pixels
};
Outcome silent();
Outcome returns(std::uint32_t result);
Outcome runtimeError(int code);
Outcome fatal(std::string message, std::string caption);
Outcome fatalQuit(int runtimeErrorBefore);
Outcome messageBox(std::string message, std::string caption);
Outcome compileErrorThenQuit();
// The same outcome, with every image checked to keep its pixels.
Outcome unchanged(Outcome outcome);

struct FailurePath {
  std::string name;  // Export_what, for the test's name
  std::string what;  // the path in words
  std::vector<ImageSpec> images;
  std::vector<Call> prelude;  // called first, without injection
  Call call;
  Injection injection;
  Outcome expected;
  bool vectorModule = true;
};

// A command's part of the table: a call that reaches its work, and the rows
// of its own failure paths. The rows every image-opening command shares (the
// image missing; the level surface, its description or the lock failing; a
// render target or dynamic image refused) are made from the call.
struct CommandProfile {
  Call call;
  std::vector<ImageSpec> images;
  std::vector<Call> prelude;
  bool describesSurfaces = true;  // the call takes level surfaces and their descriptions
  bool locks = true;              // the call locks a surface
  std::optional<Outcome> onRenderTarget;  // the first opened image a render target
  std::optional<Outcome> onDynamic;       // ... a dynamic texture (usage not 0, no render target)
  std::vector<FailurePath> rows;          // the command's own paths
};

const std::vector<CommandProfile>& commandProfiles();

// Every row, the shared ones made from the profiles first in each command.
// Profiles may come before their command joins the table;
std::vector<FailurePath> failurePaths();
// the rows run are those whose command (and prelude) the table has.
std::vector<FailurePath> failurePathsOfTheTable();

}  // namespace failure_paths
