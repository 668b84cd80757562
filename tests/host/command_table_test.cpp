// The command table as the host reads it from the built module: every row has
// four fields, its export resolves, and the ids are the published ones.
#include "published_command_rows.h"
#include "win32/win32.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find('%', start)) != std::string::npos; start = at + 1) {
    fields.push_back(text.substr(start, at - start));
  }
  fields.push_back(text.substr(start));
  return fields;
}

class CommandTable : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryA(TESSALY_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    char buffer[512];
    for (UINT id = 1; id <= 256; ++id) {
      if (LoadStringA(module, id, buffer, sizeof buffer) > 0) rows[id] = buffer;
    }
  }
  void TearDown() override { FreeLibrary(module); }

  HMODULE module = nullptr;
  std::map<UINT, std::string> rows;
};

TEST_F(CommandTable, EveryRowHasFourFieldsAndAResolvableExport) {
  ASSERT_FALSE(rows.empty());
  for (const auto& [id, text] : rows) {
    const auto fields = split(text);
    ASSERT_EQ(fields.size(), 4u) << id << ": " << text;
    EXPECT_EQ(fields[0].rfind("TS ", 0), 0u) << text;
    EXPECT_FALSE(fields[1].empty()) << text;
    EXPECT_EQ(fields[2].front(), '?') << text;
    EXPECT_NE(GetProcAddress(module, fields[2].c_str()), nullptr) << text;
    EXPECT_FALSE(fields[3].empty()) << text;
  }
  EXPECT_EQ(rows.count(58), 0u);
}

TEST_F(CommandTable, LifecycleEntriesResolve) {
  for (const char* name : {"?Constructor@@YAXXZ", "?ReceiveCoreDataPtr@@YAXPAX@Z", "?Destructor@@YAXXZ"}) {
    EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
  }
}

// Every row the module carries reads exactly as published under its id; the
// commands not built yet are simply absent.
TEST_F(CommandTable, EveryRowReadsExactlyAsPublished) {
  for (const auto& [id, text] : rows) {
    const auto published = publishedCommandRows().find(id);
    ASSERT_NE(published, publishedCommandRows().end()) << "no command is published under id " << id;
    EXPECT_EQ(text, published->second) << id;
  }
  EXPECT_EQ(publishedCommandRows().size(), 60u);
}

TEST_F(CommandTable, LoadStringStopsAtTheBuffer) {
  char small[8];
  EXPECT_EQ(LoadStringA(module, 29, small, sizeof small), 7);
  EXPECT_STREQ(small, "TS Rese");
  EXPECT_EQ(LoadStringA(module, 58, small, sizeof small), 0);
  EXPECT_STREQ(small, "");
}

}  // namespace
