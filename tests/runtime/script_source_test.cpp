// A script is read within its bounds, and a script that cannot be read says
// why.
#include "script_source.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace standin;

namespace {

class ScriptSourceTest : public ::testing::Test {
 protected:
  std::string write(const char* name, const std::string& text) {
    std::ofstream(folder / name, std::ios::binary) << text;
    return (folder / name).string();
  }
  const ScratchFolder scratch;
  const std::filesystem::path& folder = scratch.path();
};

TEST_F(ScriptSourceTest, ScriptsBeyondTheirBoundsAreRefused) {
  const struct {
    const char* name;
    std::string text;
    std::string error;
  } cases[] = {
      {"large.tsr", std::string(kMaxScriptBytes + 1, ' '), "cannot read the script: it is larger than 16 MiB"},
      {"lines.tsr", std::string(kMaxScriptLines + 1, '\n'), "cannot read the script: it has more than 1000000 lines"},
      {"unended.tsr", std::string(kMaxScriptLines, '\n') + "rem", "cannot read the script: it has more than 1000000 lines"},
  };
  for (const auto& c : cases) {
    const ScriptSource source = readScriptSource(write(c.name, c.text));
    EXPECT_FALSE(source.text) << c.name;
    EXPECT_EQ(source.error, c.error) << c.name;
  }
  const ScriptSource atTheBound = readScriptSource(write("bound.tsr", std::string(kMaxScriptLines, '\n')));
  ASSERT_TRUE(atTheBound.text) << atTheBound.error;
  EXPECT_EQ(atTheBound.text->size(), kMaxScriptLines);
}

TEST_F(ScriptSourceTest, AScriptThatCannotBeReadSaysWhy) {
  EXPECT_EQ(readScriptSource((folder / "missing.tsr").string()).error,
            "cannot read the script: No such file or directory");
  EXPECT_EQ(readScriptSource(folder.string()).error, "cannot read the script: it is a folder");
  const ScriptSource read = readScriptSource(write("ok.tsr", "rem fine\n"));
  ASSERT_TRUE(read.text);
  EXPECT_EQ(*read.text, "rem fine\n");
}

}  // namespace
