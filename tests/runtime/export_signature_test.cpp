#include "command_row.h"
#include "export_signature.h"

#include <gtest/gtest.h>

using namespace standin;

namespace {

std::vector<CType> argumentsOf(const char* decorated) {
  const auto signature = parseDecoratedName(decorated);
  return signature ? signature->arguments : std::vector<CType>{CType::Void};
}

}  // namespace

TEST(ExportSignature, ReadsTheTypesOfRealRows) {
  using enum CType;
  EXPECT_EQ(argumentsOf("?ThresholdImage@@YAXHDK@Z"), (std::vector{Int32, Char, UInt32}));
  EXPECT_EQ(argumentsOf("?GradientRadial@@YAXHHHMMKKKK@Z"),
            (std::vector{Int32, Int32, Int32, Float, Float, UInt32, UInt32, UInt32, UInt32}));
  EXPECT_EQ(argumentsOf("?SetEffectFloat@@YAXHPADM@Z"), (std::vector{Int32, String, Float}));
  EXPECT_EQ(argumentsOf("?ResetTessaly@@YAXXZ"), std::vector<CType>{});

  const auto pixel = parseDecoratedName("?GetImagePixel@@YAKKHH@Z");
  ASSERT_TRUE(pixel);
  EXPECT_EQ(pixel->result, UInt32);
  EXPECT_EQ(pixel->arguments, (std::vector{UInt32, Int32, Int32}));
  const auto effect = parseDecoratedName("?LoadEffectTry@@YAKPADH@Z");
  ASSERT_TRUE(effect);
  EXPECT_EQ(effect->result, UInt32);
  EXPECT_EQ(effect->arguments, (std::vector{String, Int32}));
}

TEST(ExportSignature, ADigitRepeatsAnEarlierLongType) {
  EXPECT_EQ(argumentsOf("?Names@@YAXPADH0@Z"),
            (std::vector{CType::String, CType::Int32, CType::String}));
  EXPECT_FALSE(parseDecoratedName("?Names@@YAXH0@Z"));  // nothing to refer back to
}

TEST(ExportSignature, RefusesWhatItCannotCall) {
  for (const char* name : {"ThresholdImage", "?ThresholdImage@@YGXHDK@Z" /* stdcall */,
                           "?ThresholdImage@@YAXHDK" /* unterminated */, "?F@@YAXN@Z" /* double */,
                           "?F@@YAHH@Z" /* int result */, "?F@@YAX@Z" /* empty list */, "?@@YAXXZ",
                           "?F@@YAXXZtrailing"}) {
    EXPECT_FALSE(parseDecoratedName(name)) << name;
  }
}

TEST(CommandRow, SplitsTheFourFieldsAndTheResultLetter) {
  const auto point = parseCommandRow(25, "TS Point[%LLLL%?GetImagePixel@@YAKKHH@Z%Image Number, x, y");
  ASSERT_TRUE(point);
  EXPECT_TRUE(point->yieldsValue());
  EXPECT_EQ(point->spokenName(), "TS Point");
  EXPECT_EQ(point->argumentLetters(), "LLL");
  EXPECT_EQ(point->text(), "TS Point[%LLLL%?GetImagePixel@@YAKKHH@Z%Image Number, x, y");

  const auto dot = parseCommandRow(26, "TS Dot%LLLL%?SetImagePixel@@YAXKHHK@Z%Image Number, x, y, Color");
  ASSERT_TRUE(dot);
  EXPECT_FALSE(dot->yieldsValue());
  EXPECT_EQ(dot->argumentCount(), 4u);

  const auto reset = parseCommandRow(29, "TS Reset Tessaly%0%?ResetTessaly@@YAXXZ%*no parameters*");
  ASSERT_TRUE(reset);
  EXPECT_EQ(reset->argumentCount(), 0u);
}

TEST(CommandRow, RefusesMalformedStrings) {
  for (const char* text : {"TS Dot%LLLL%?SetImagePixel@@YAXKHHK@Z", "TS Dot%LLLL%?S@@YAXK@Z%a%b",
                           "%L%?F@@YAXK@Z%a", "TS Dot%LXL%?F@@YAXK@Z%a", "TS Get[%0%?F@@YAKXZ%a",
                           "TS Get[%FL%?F@@YAKK@Z%a"}) {
    EXPECT_FALSE(parseCommandRow(1, text)) << text;
  }
}
