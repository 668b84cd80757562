// Runs every row of the failure-path table in a fresh stand-in host and a
// module as a process loads it: the images are made, the prelude called, the
// failure armed and the command called with the fatal path caught in process;
// then the outcome, the runtime error slot and the messages shown are compared
// with the row, the failure must have happened, and nothing may be left
// locked, held or alive. The rows run alike in any order.
#include "command_invokers.h"
#include "fatal_exit.h"
#include "host/lifecycle.h"
#include "failure_path.h"
#include "image_pixels.h"
#include "listed_arguments.h"
#include "plugin_session.h"
#include "plugin_test_hooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace failure_paths {
namespace {

using fuzzing::PluginSession;

std::vector<std::uint32_t> pattern(const ImageSpec& spec) {
  std::vector<std::uint32_t> words(std::size_t{spec.width} * spec.height);
  for (std::size_t i = 0; i < words.size(); ++i) {
    words[i] = 0x80402010u + static_cast<std::uint32_t>(i) * 0x01030507u;
  }
  return words;
}

void makeImage(standin::StandInHost& host, const ImageSpec& spec) {
  const int width = static_cast<int>(spec.width);
  const int height = static_cast<int>(spec.height);
  const standin::ImagePixels pixels{spec.width, spec.height, pattern(spec)};
  switch (spec.kind) {
    case ImageKind::plain:
      ASSERT_TRUE(standin::writePixels(host.makeImage(spec.number, width, height), pixels));
      break;
    case ImageKind::renderTarget: {
      IDirect3DTexture9* texture =
          host.makeImageFormat(spec.number, width, height, D3DFMT_A8R8G8B8, D3DUSAGE_RENDERTARGET);
      ASSERT_TRUE(standin::writeTargetPixels(host.device(), texture, pixels));
      break;
    }
    case ImageKind::dynamic:
      ASSERT_TRUE(standin::writePixels(
          host.makeImageFormat(spec.number, width, height, D3DFMT_A8R8G8B8, D3DUSAGE_DYNAMIC), pixels));
      break;
  }
}

std::map<int, std::vector<std::uint32_t>> everyImage(standin::StandInHost& host) {
  std::map<int, std::vector<std::uint32_t>> images;
  for (int number : host.imageNumbers()) {
    const auto pixels = standin::readPixels(host.device(), host.image(number));
    images[number] = pixels ? pixels->words : std::vector<std::uint32_t>{};
  }
  return images;
}

void arm(PluginSession& session, const Injection& injection) {
  switch (injection.kind) {
    case Injection::Kind::none: break;
    case Injection::Kind::device: swd3d::failNextAfter(injection.call, injection.passing); break;
    case Injection::Kind::make: session.host().failingMakeCalls = 1; break;
    case Injection::Kind::makeFormat: session.host().failingMakeFormatCalls = 1; break;
    case Injection::Kind::allocation: plugin_test_hooks::failNextAllocation(); break;
  }
}

bool stillArmed(PluginSession& session, const Injection& injection) {
  switch (injection.kind) {
    case Injection::Kind::none: return false;
    case Injection::Kind::device: return swd3d::armedFailures() != 0;
    case Injection::Kind::make: return session.host().failingMakeCalls != 0;
    case Injection::Kind::makeFormat: return session.host().failingMakeFormatCalls != 0;
    case Injection::Kind::allocation: return plugin_test_hooks::allocationFailureArmed();
  }
  return false;
}

const char* const kHostQuits = "host: CloseDisplay\nhost: Quit\n";

std::string boxStart(const std::string& caption) { return "MessageBox [" + caption + "]: "; }

std::string box(const std::string& caption, const std::string& message) {
  return boxStart(caption) + message + "\n";
}

// What the row must leave on standard error: the host told to quit, the box.
void expectShown(const Outcome& expected, const std::string& shown) {
  switch (expected.kind) {
    case Outcome::Kind::silent:
    case Outcome::Kind::runtimeError: EXPECT_EQ(shown, ""); break;
    case Outcome::Kind::fatal: EXPECT_EQ(shown, kHostQuits + box(expected.caption, expected.message)); break;
    case Outcome::Kind::fatalQuit: EXPECT_EQ(shown, kHostQuits); break;
    case Outcome::Kind::messageBox:
      if (expected.message.empty()) {
        EXPECT_EQ(shown.rfind(boxStart(expected.caption), 0), 0u) << shown;
        EXPECT_GT(shown.size(), box(expected.caption, "").size()) << "the compiler's text";
      } else {
        EXPECT_EQ(shown, box(expected.caption, expected.message));
      }
      break;
    case Outcome::Kind::messageBoxThenQuit: {
      const std::string start = boxStart(expected.caption);
      EXPECT_EQ(shown.rfind(start, 0), 0u) << shown;
      ASSERT_GT(shown.size(), start.size() + std::string(kHostQuits).size()) << shown;
      EXPECT_EQ(shown.substr(shown.size() - std::string(kHostQuits).size()), kHostQuits) << shown;
      break;
    }
  }
}

bool endsTheProcess(Outcome::Kind kind) {
  return kind == Outcome::Kind::fatal || kind == Outcome::Kind::fatalQuit ||
         kind == Outcome::Kind::messageBoxThenQuit;
}

// What running a row gave: everything the row's outcome is judged on.
struct RowRun {
  bool set = false;  // the images and prelude were made
  fuzzing::CommandOutcome outcome;
  bool allTaken = false;
  bool stillArmed = false;
  int runtimeError = 0;
  std::string shown;
  std::string leftBehind;
  std::string leftAfterSessions;
  std::map<int, std::vector<std::uint32_t>> before;
  std::map<int, std::vector<std::uint32_t>> after;

  bool operator==(const RowRun& other) const {
    return set == other.set && outcome.fatal == other.outcome.fatal &&
           outcome.exitCode == other.outcome.exitCode && outcome.result == other.outcome.result &&
           allTaken == other.allTaken && stillArmed == other.stillArmed && runtimeError == other.runtimeError &&
           shown == other.shown && leftBehind == other.leftBehind &&
           leftAfterSessions == other.leftAfterSessions && before == other.before && after == other.after;
  }
};

// Runs the row in a fresh session: the images made, the prelude called, the
// failure armed, the command called with standard error captured.
RowRun runRow(const FailurePath& path) {
  RowRun run;
  const fuzzing::CommandEntry* command = fuzzing::findCommand(path.call.exportName);
  EXPECT_NE(command, nullptr);
  if (command == nullptr) return run;
  {
    standin::HostOptions options;
    options.vectorModule = path.vectorModule;
    PluginSession session(options);
    standin::StandInHost& host = session.host();
    host.setVector4(3, {1.0f, 0.5f, 0.25f, 1.0f});
    host.setMatrix(3, D3DXMATRIX{});
    for (const ImageSpec& spec : path.images) makeImage(host, spec);
    if (::testing::Test::HasFatalFailure()) return run;
    for (const Call& call : path.prelude) {
      ListedArguments arguments(call.arguments);
      const fuzzing::CommandEntry* before = fuzzing::findCommand(call.exportName);
      EXPECT_NE(before, nullptr) << "prelude " << call.exportName;
      if (before == nullptr) return run;
      const bool fatal = session.call(*before, arguments).fatal;
      EXPECT_FALSE(fatal) << "prelude " << call.exportName;
      EXPECT_EQ(host.runtimeError(), 0) << "prelude " << call.exportName;
      if (fatal || host.runtimeError() != 0) return run;
    }
    run.set = true;
    run.before = everyImage(host);

    arm(session, path.injection);
    ListedArguments arguments(path.call.arguments);
    ::testing::internal::CaptureStderr();
    run.outcome = session.call(*command, arguments);
    run.shown = ::testing::internal::GetCapturedStderr();
    run.allTaken = arguments.allTaken();
    run.stillArmed = stillArmed(session, path.injection);
    swd3d::clearFailures();
    run.runtimeError = host.runtimeError();
    run.leftBehind = session.leftBehind();
    run.after = everyImage(host);
  }
  run.leftAfterSessions = fuzzing::leftAfterSessions();
  return run;
}

class FailurePathTest : public ::testing::TestWithParam<FailurePath> {};

}  // namespace

// A row as gtest names it in a message.
void PrintTo(const FailurePath& path, std::ostream* out) { *out << path.name; }

namespace {

TEST_P(FailurePathTest, HasItsOutcomeAndLeavesNothingBehind) {
  const FailurePath& path = GetParam();
  SCOPED_TRACE(path.what);
  const RowRun run = runRow(path);
  ASSERT_TRUE(run.set);

  EXPECT_TRUE(run.allTaken) << "the row lists more arguments than the export takes";
  EXPECT_FALSE(run.stillArmed) << "the failure was never reached";
  const Outcome& expected = path.expected;
  EXPECT_EQ(run.outcome.fatal, endsTheProcess(expected.kind));
  if (run.outcome.fatal) {
    EXPECT_EQ(run.outcome.exitCode, 1u) << "a fatal path must not end with success";
  }
  EXPECT_EQ(run.runtimeError, expected.runtimeError) << "runtime error slot";
  expectShown(expected, run.shown);
  if (expected.result) {
    EXPECT_EQ(run.outcome.result, *expected.result);
  }
  EXPECT_EQ(run.leftBehind, "");
  if (expected.unchanged) {
    EXPECT_EQ(run.after, run.before) << "an image changed";
  }
  EXPECT_EQ(run.leftAfterSessions, "");
}

// A row's outcome must not depend on the rows run before it in the same
// process (a draw-state command, a failure armed and never reached): the
// table run forwards, backwards and shuffled gives every row the same run.
TEST(FailurePathTable, RowsGiveTheSameRunInAnyOrder) {
  const std::vector<FailurePath> rows = failurePathsOfTheTable();
  std::vector<std::size_t> forwards(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) forwards[i] = i;
  std::vector<std::size_t> backwards(forwards.rbegin(), forwards.rend());
  std::vector<std::size_t> shuffled = forwards;
  std::mt19937 random(14);
  std::shuffle(shuffled.begin(), shuffled.end(), random);

  const auto runInOrder = [&](const std::vector<std::size_t>& order) {
    std::vector<RowRun> runs(rows.size());
    for (std::size_t i : order) runs[i] = runRow(rows[i]);
    return runs;
  };
  const std::vector<RowRun> first = runInOrder(forwards);
  const std::vector<RowRun> second = runInOrder(backwards);
  const std::vector<RowRun> third = runInOrder(shuffled);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_TRUE(first[i].set) << rows[i].name;
    EXPECT_TRUE(first[i] == second[i]) << rows[i].name << " differs run forwards and backwards";
    EXPECT_TRUE(first[i] == third[i]) << rows[i].name << " differs run forwards and shuffled";
  }
}

std::string rowName(const ::testing::TestParamInfo<FailurePath>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Table, FailurePathTest, ::testing::ValuesIn(failurePathsOfTheTable()), rowName);

// The host's modules missing at start-up: the rows of the lifecycle entries.
struct StartFailure {
  const char* what;
  standin::HostOptions options;
  const char* shown;  // standard error, whole
  bool fatal;
};

const StartFailure kStartFailures[] = {
    {"the core module is missing", {.coreModule = false},
     "MessageBox [Error]: Core DLL could not be loaded.\n", true},
    {"the core and set-up modules are missing", {.coreModule = false, .setupModule = false},
     "MessageBox [Error]: Core DLL could not be loaded.\n", true},
    {"the set-up module is missing", {.setupModule = false},
     "host: CloseDisplay\nhost: Quit\nMessageBox [Error]: Setup Debug DLL could not be loaded.\n", true},
    {"the record has no image module", {.imageModule = false},
     "host: CloseDisplay\nhost: Quit\nMessageBox [Error]: Image DLL could not be loaded. Please include an "
     "image command in your source code.\n",
     true},
    {"the record has no vector module", {.vectorModule = false}, "", false},
};

TEST(StartFailureTable, EachEndsAsTheHostLinkSaysAndLeavesNothingBehind) {
  for (const StartFailure& row : kStartFailures) {
    SCOPED_TRACE(row.what);
    {
      fuzzing::FatalExitInterception interception;
      standin::StandInHost host(row.options);
      bool fatal = false;
      ::testing::internal::CaptureStderr();
      try {
        Constructor();
        ReceiveCoreDataPtr(host.coreData());
      } catch (const fuzzing::FatalExit& exit) {
        fatal = true;
        EXPECT_EQ(exit.exitCode, 1u);
      }
      EXPECT_EQ(::testing::internal::GetCapturedStderr(), row.shown);
      EXPECT_EQ(fatal, row.fatal);
      Destructor();  // the process would have ended; the module is made clean for the next row
    }
    EXPECT_EQ(fuzzing::leftAfterSessions(), "");
  }
}

// A command joins the command table with its failure paths: a row missing
// for it shows here.
TEST(FailurePathTable, EveryCommandOfTheTableHasItsRows) {
  std::set<std::string> profiled;
  for (const CommandProfile& profile : commandProfiles()) {
    EXPECT_TRUE(profiled.insert(profile.call.exportName).second) << "two profiles for " << profile.call.exportName;
  }
  std::map<std::string, int> rows;
  for (const FailurePath& path : failurePathsOfTheTable()) ++rows[path.call.exportName];
  for (const fuzzing::CommandEntry& command : fuzzing::commandTable()) {
    const std::string name(command.decoratedName());
    EXPECT_TRUE(profiled.count(name) != 0)
        << command.name() << " (" << name << ") has no profile in tests/failure_paths/command_profiles.cpp: "
        << "add a call that reaches its work and a row for each of its failure paths";
    EXPECT_GT(rows[name], 0) << command.name() << " (" << name << ") has no failure-path row";
  }
  ::testing::Test::RecordProperty("rows", static_cast<int>(failurePathsOfTheTable().size()));
}

TEST(FailurePathTable, RowNamesAreUnique) {
  std::set<std::string> names;
  for (const FailurePath& path : failurePaths()) EXPECT_TRUE(names.insert(path.name).second) << path.name;
}

}  // namespace
}  // namespace failure_paths
