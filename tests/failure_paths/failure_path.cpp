#include "failure_path.h"

#include "command_invokers.h"

#include <algorithm>
#include <cctype>

namespace failure_paths {

Arg image(int number) {
  Arg arg(number);
  arg.opensImage = true;
  return arg;
}

std::string effectFile(const char* name) { return std::string(TESSALY_EFFECTS_DIR "/") + name; }

Injection deviceFails(swd3d::Call call, int passing) {
  return {Injection::Kind::device, call, passing};
}
Injection makeFails() { return {Injection::Kind::make}; }
Injection makeFormatFails() { return {Injection::Kind::makeFormat}; }
Injection allocationFails() { return {Injection::Kind::allocation}; }

namespace {

Outcome make(Outcome::Kind kind, int runtimeError = 0, std::string message = {}, std::string caption = {}) {
  Outcome outcome;
  outcome.kind = kind;
  outcome.runtimeError = runtimeError;
  outcome.message = std::move(message);
  outcome.caption = std::move(caption);
  return outcome;
}

}  // namespace

Outcome silent() { return {}; }

Outcome returns(std::uint32_t result) {
  Outcome outcome;
  outcome.result = result;
  return outcome;
}

Outcome runtimeError(int code) { return make(Outcome::Kind::runtimeError, code); }

Outcome fatal(std::string message, std::string caption) {
  return make(Outcome::Kind::fatal, 0, std::move(message), std::move(caption));
}

Outcome fatalQuit(int runtimeErrorBefore) { return make(Outcome::Kind::fatalQuit, runtimeErrorBefore); }

Outcome messageBox(std::string message, std::string caption) {
  return make(Outcome::Kind::messageBox, 0, std::move(message), std::move(caption));
}

Outcome compileErrorThenQuit() { return make(Outcome::Kind::messageBoxThenQuit, 0, {}, "Compile error - Effect"); }

Outcome unchanged(Outcome outcome) {
  outcome.unchanged = true;
  return outcome;
}

namespace {

// "?BlurImage@@YAXKHK@Z" -> "BlurImage".
std::string plainName(const char* decorated) {
  const std::string name(decorated);
  return name.substr(1, name.find("@@") - 1);
}

// "LockRect fails on the second lock" -> "LockRectFailsOnTheSecondLock".
std::string testName(const char* exportName, const std::string& what) {
  std::string name = plainName(exportName) + "_";
  bool upper = true;
  for (char c : what) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) {
      upper = true;
      continue;
    }
    name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    upper = false;
  }
  return name;
}

bool yieldsValue(const char* exportName) {
  const fuzzing::CommandEntry* command = fuzzing::findCommand(exportName);
  // Not built yet: its name says ("YAK" is an unsigned result).
  return command != nullptr ? command->name().back() == '['
                            : std::string(exportName).find("@@YAK") != std::string::npos;
}

FailurePath from(const CommandProfile& profile, std::string what, Injection injection, Outcome expected) {
  FailurePath path;
  path.name = testName(profile.call.exportName, what);
  path.what = std::move(what);
  path.images = profile.images;
  path.prelude = profile.prelude;
  path.call = profile.call;
  path.injection = injection;
  path.expected = std::move(expected);
  return path;
}

// The image spec of the argument's number, or null.
ImageSpec* specOf(std::vector<ImageSpec>& images, const Arg& arg) {
  for (ImageSpec& spec : images) {
    if (spec.number == static_cast<int>(arg.word)) return &spec;
  }
  return nullptr;
}

void sharedRows(const CommandProfile& profile, std::vector<FailurePath>& rows) {
  const std::vector<Arg>& arguments = profile.call.arguments;
  const Arg* firstOpened = nullptr;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (!arguments[i].opensImage) continue;
    if (firstOpened == nullptr) firstOpened = &arguments[i];
    Outcome missing = unchanged(runtimeError(502));
    if (yieldsValue(profile.call.exportName)) missing.result = 0;
    FailurePath path = from(profile, "image argument " + std::to_string(i + 1) + " names no image",
                            {}, missing);
    path.call.arguments[i] = kMissingImage;
    rows.push_back(std::move(path));
  }
  if (profile.describesSurfaces) {
    rows.push_back(from(profile, "GetSurfaceLevel fails", deviceFails(swd3d::Call::GetSurfaceLevel),
                        fatal("Could not retrieve surface from image.", "Error")));
    rows.push_back(from(profile, "GetDesc fails", deviceFails(swd3d::Call::GetDesc),
                        fatal("Could not retrieve surface description from image.", "Error")));
  }
  if (profile.locks) {
    rows.push_back(from(profile, "LockRect fails", deviceFails(swd3d::Call::LockRect),
                        fatal("Could not lock image.", "Error")));
  }
  const auto withFirstImageAs = [&](ImageKind kind, const char* what, const Outcome& outcome) {
    FailurePath path = from(profile, what, {}, outcome);
    if (ImageSpec* spec = firstOpened != nullptr ? specOf(path.images, *firstOpened) : nullptr) {
      spec->kind = kind;
      rows.push_back(std::move(path));
    }
  };
  if (profile.onRenderTarget) {
    withFirstImageAs(ImageKind::renderTarget, "the image is a render target", *profile.onRenderTarget);
  }
  if (profile.onDynamic) {
    withFirstImageAs(ImageKind::dynamic, "the image is a dynamic texture", *profile.onDynamic);
  }
}

}  // namespace

std::vector<FailurePath> failurePaths() {
  std::vector<FailurePath> rows;
  for (const CommandProfile& profile : commandProfiles()) {
    sharedRows(profile, rows);
    for (FailurePath path : profile.rows) {
      path.name = testName(path.call.exportName, path.what);
      rows.push_back(std::move(path));
    }
  }
  return rows;
}

std::vector<FailurePath> failurePathsOfTheTable() {
  const auto inTable = [](const Call& call) { return fuzzing::findCommand(call.exportName) != nullptr; };
  std::vector<FailurePath> rows = failurePaths();
  std::erase_if(rows, [&](const FailurePath& path) {
    return !inTable(path.call) || !std::all_of(path.prelude.begin(), path.prelude.end(), inTable);
  });
  return rows;
}

}  // namespace failure_paths
