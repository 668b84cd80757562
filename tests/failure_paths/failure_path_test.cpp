// Runs every row of the failure-path table in a fresh stand-in host: the
// images are made, the prelude called, the failure armed and the command
// called with the fatal path caught in process; then the outcome, the runtime
// error slot and the messages shown are compared with the row, the failure
// must have happened, and nothing may be left locked, held or alive.
#include "command_invokers.h"
#include "fatal_exit.h"
#include "host/lifecycle.h"
#include "failure_path.h"
#include "image_pixels.h"
#include "listed_arguments.h"
#include "plugin_session.h"
#include "plugin_test_hooks.h"

#include <gtest/gtest.h>

#include <map>
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

class FailurePathTest : public ::testing::TestWithParam<FailurePath> {};

}  // namespace

// A row as gtest names it in a message.
void PrintTo(const FailurePath& path, std::ostream* out) { *out << path.name; }

namespace {

TEST_P(FailurePathTest, HasItsOutcomeAndLeavesNothingBehind) {
  const FailurePath& path = GetParam();
  const fuzzing::CommandEntry* command = fuzzing::findCommand(path.call.exportName);
  ASSERT_NE(command, nullptr);
  SCOPED_TRACE(path.what);
  {
    standin::HostOptions options;
    options.vectorModule = path.vectorModule;
    PluginSession session(options);
    standin::StandInHost& host = session.host();
    host.setVector4(3, {1.0f, 0.5f, 0.25f, 1.0f});
    host.setMatrix(3, D3DXMATRIX{});
    for (const ImageSpec& spec : path.images) makeImage(host, spec);
    for (const Call& call : path.prelude) {
      ListedArguments arguments(call.arguments);
      const fuzzing::CommandEntry* before = fuzzing::findCommand(call.exportName);
      ASSERT_NE(before, nullptr);
      ASSERT_FALSE(session.call(*before, arguments).fatal) << "prelude " << call.exportName;
      ASSERT_EQ(host.runtimeError(), 0) << "prelude " << call.exportName;
    }
    const auto before = everyImage(host);

    arm(session, path.injection);
    ListedArguments arguments(path.call.arguments);
    ::testing::internal::CaptureStderr();
    const fuzzing::CommandOutcome outcome = session.call(*command, arguments);
    const std::string shown = ::testing::internal::GetCapturedStderr();

    EXPECT_TRUE(arguments.allTaken()) << "the row lists more arguments than the export takes";
    EXPECT_FALSE(stillArmed(session, path.injection)) << "the failure was never reached";
    swd3d::clearFailures();
    const Outcome& expected = path.expected;
    EXPECT_EQ(outcome.fatal, endsTheProcess(expected.kind));
    if (outcome.fatal) {
      EXPECT_EQ(outcome.exitCode, 1u) << "a fatal path must not end with success";
    }
    EXPECT_EQ(host.runtimeError(), expected.runtimeError) << "runtime error slot";
    expectShown(expected, shown);
    if (expected.result) {
      EXPECT_EQ(outcome.result, *expected.result);
    }
    EXPECT_EQ(session.leftBehind(), "");
    if (expected.unchanged) {
      EXPECT_EQ(everyImage(host), before) << "an image changed";
    }
  }
  EXPECT_EQ(fuzzing::leftAfterSessions(), "");
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
