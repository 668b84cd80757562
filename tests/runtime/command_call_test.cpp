#include "command_call.h"

#include "function_entry.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>

using namespace standin;

namespace {

struct Received {
  std::uint32_t unsignedValue = 0;
  std::int32_t signedValue = 0;
  unsigned char charValue = 0;
  float floatValue = 0;
  std::string text;
  int calls = 0;
} received;

void takeEverything(std::uint32_t u, std::int32_t i, char c, float f, char* s) {
  received = {u, i, static_cast<unsigned char>(c), f, s, received.calls + 1};
}

std::uint32_t subtract(std::uint32_t a, std::int32_t b) { return a - static_cast<std::uint32_t>(b); }

void nothing() { ++received.calls; }

template <class Fn>
BoundCommand bound(const char* rowText, Fn* function) {
  const auto row = parseCommandRow(1, rowText);
  EXPECT_TRUE(row) << rowText;
  std::string error;
  auto command = BoundCommand::bind(*row, functionEntry(function), error);
  EXPECT_TRUE(command) << error;
  return *command;
}

}  // namespace

TEST(CommandCall, OneWordReachesEachIntegerTypeAsTheSameBits) {
  const BoundCommand command = bound("TS Take%LLLFS%?Take@@YAXKHDMPAD@Z%a, b, c, d, e", &takeEverything);
  received = {};
  EXPECT_EQ(command.call({0xFFFFFFFFu, 0xFFFFFFFFu, 300u, 0.1f, std::string("file.fx")}), 0u);
  EXPECT_EQ(received.calls, 1);
  EXPECT_EQ(received.unsignedValue, 0xFFFFFFFFu);
  EXPECT_EQ(received.signedValue, -1);
  EXPECT_EQ(received.charValue, 44);  // the low byte of 300
  EXPECT_EQ(std::bit_cast<std::uint32_t>(received.floatValue), std::bit_cast<std::uint32_t>(0.1f));
  EXPECT_EQ(received.text, "file.fx");

  command.call({0x80000000u, 0x80000000u, 0xFFFFFFFFu, -2.5f, std::string()});
  EXPECT_EQ(received.signedValue, INT32_MIN);
  EXPECT_EQ(received.charValue, 255);
  EXPECT_EQ(received.floatValue, -2.5f);
  EXPECT_EQ(received.text, "");
}

TEST(CommandCall, AValueRowReturnsAllThirtyTwoBits) {
  const BoundCommand command = bound("TS Subtract[%LLL%?Subtract@@YAKKH@Z%a, b", &subtract);
  EXPECT_EQ(command.call({1u, 3u}), 0xFFFFFFFEu);
  EXPECT_EQ(command.call({0xFFFFFFFFu, 0xFFFFFFFFu}), 0u);
}

TEST(CommandCall, ARowWithoutArgumentsIsCalled) {
  const BoundCommand command = bound("TS Nothing%0%?Nothing@@YAXXZ%*no parameters*", &nothing);
  received = {};
  EXPECT_EQ(command.call({}), 0u);
  EXPECT_EQ(received.calls, 1);
}

TEST(CommandCall, BindingRefusesRowsWhoseLettersDisagreeWithTheExport) {
  for (const char* text : {"TS A%LF%?A@@YAXKK@Z%a, b", "TS A%LL%?A@@YAXK@Z%a",
                           "TS A[%LL%?A@@YAXK@Z%a", "TS A%L%?A@@YAKK@Z%a", "TS A%S%?A@@YAXK@Z%a",
                           "TS A%L%?A@@YGXK@Z%a"}) {
    const auto row = parseCommandRow(1, text);
    ASSERT_TRUE(row) << text;
    std::string error;
    EXPECT_FALSE(BoundCommand::bind(*row, functionEntry(&nothing), error)) << text;
    EXPECT_FALSE(error.empty());
  }
}
