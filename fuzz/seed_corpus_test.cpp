// The command fuzzer's seed corpus as the campaigns start from it: it calls
// every row of the command table, and a program gives the same run whatever
// programs ran before it in the process (libFuzzer runs millions in one, and a
// finding must replay alone).
#include "command_invokers.h"
#include "command_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace fuzzing {
namespace {

namespace fs = std::filesystem;

struct Seed {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

std::vector<Seed> seeds() {
  std::vector<Seed> seeds;
  for (const auto& item : fs::directory_iterator(TESSALY_FUZZ_DIR "/corpus/command_table_fuzzer")) {
    std::ifstream in(item.path(), std::ios::binary);
    seeds.push_back({item.path().filename().string(), {std::istreambuf_iterator<char>(in), {}}});
  }
  std::sort(seeds.begin(), seeds.end(), [](const Seed& a, const Seed& b) { return a.name < b.name; });
  return seeds;
}

TEST(CommandSeedCorpus, CallsEveryRowOfTheTable) {
  std::set<unsigned> called;
  for (const Seed& seed : seeds()) {
    const ProgramRun run = runCommandProgram(seed.bytes.data(), seed.bytes.size());
    EXPECT_EQ(run.failure, "") << seed.name;
    called.insert(run.calledIds.begin(), run.calledIds.end());
  }
  for (const CommandEntry& command : commandTable()) {
    EXPECT_TRUE(called.count(command.id) != 0)
        << "no seed calls " << command.name() << " (" << command.decoratedName()
        << "): write the seeds again from a script that does (fuzz/README.md)";
  }
}

TEST(CommandSeedCorpus, ProgramsRunAlikeInAnyOrder) {
  const std::vector<Seed> all = seeds();
  ASSERT_FALSE(all.empty());
  const auto runAll = [&](bool backwards) {
    std::vector<ProgramRun> runs(all.size());
    for (std::size_t n = 0; n < all.size(); ++n) {
      const std::size_t i = backwards ? all.size() - 1 - n : n;
      runs[i] = runCommandProgram(all[i].bytes.data(), all[i].bytes.size());
    }
    return runs;
  };
  const std::vector<ProgramRun> forwards = runAll(false);
  const std::vector<ProgramRun> backwards = runAll(true);
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(forwards[i].trace, backwards[i].trace) << all[i].name;
    EXPECT_EQ(forwards[i].failure, backwards[i].failure) << all[i].name;
    EXPECT_EQ(forwards[i].fatal, backwards[i].fatal) << all[i].name;
  }
}

}  // namespace
}  // namespace fuzzing
