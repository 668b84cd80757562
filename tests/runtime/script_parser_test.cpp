#include "script_parser.h"

#include "function_entry.h"

#include <gtest/gtest.h>

using namespace standin;

namespace {

void neverCalled() {}

class ScriptParserTest : public ::testing::Test {
 protected:
  ScriptParserTest() {
    for (const auto& [id, text] : std::vector<std::pair<unsigned, const char*>>{
             {7, "TS Set Image Brightness%LFFF%?SetImageBrightness@@YAXKMMM@Z%Image Number, Red, Green, Blue"},
             {8, "TS Set Image Brightness%LFFFF%?SetImageBrightnessA@@YAXKMMMM@Z%Image Number, Red, Green, Blue, Alpha"},
             {13, "TS Negative Image%L%?NegativeImage@@YAXK@Z%Image Number"},
             {45, "TS Threshold Image%LLL%?ThresholdImage@@YAXHDK@Z%Image Number, Value, Channel"},
             {46, "TS Load Effect%SL%?LoadEffect@@YAXPADH@Z%File name, Effect"},
             {50, "TS Set Effect Float%LSF%?SetEffectFloat@@YAXHPADM@Z%Effect, Name, Float"},
             {55, "TS Is Render Target[%LL%?IsTargetImage@@YAKK@Z%(Image Number)"}}) {
      std::string error;
      commands.push_back(*BoundCommand::bind(*parseCommandRow(id, text),
                                             functionEntry(&neverCalled), error));
    }
  }

  ParsedScript parse(std::string_view text) const {
    return parseScript(text, "test.tsr", ScriptFolders{"in", "out"}, commands);
  }

  // The one statement of a one-line script that must parse.
  Statement only(std::string_view text) const {
    ParsedScript parsed = parse(text);
    EXPECT_TRUE(parsed.errors.empty()) << text << ": " << parsed.errors.front().message;
    EXPECT_EQ(parsed.script.statements.size(), 1u) << text;
    return parsed.script.statements.empty() ? Statement{} : parsed.script.statements.front();
  }

  std::string errorOf(std::string_view text) const {
    const ParsedScript parsed = parse(text);
    return parsed.errors.empty() ? "(no error)" : parsed.errors.front().message;
  }

  std::vector<ArgumentValue> argumentsOf(std::string_view text) const {
    const Statement statement = only(text);
    const auto* command = std::get_if<CommandStatement>(&statement.body);
    return command != nullptr ? command->arguments : std::vector<ArgumentValue>{};
  }

  std::vector<BoundCommand> commands;
};

}  // namespace

TEST_F(ScriptParserTest, AnLArgumentTakesEveryThirtyTwoBitValueSignedOrUnsigned) {
  EXPECT_EQ(argumentsOf("TS Threshold Image -1, 0xFFFFFFFF, 4294967295"),
            (std::vector<ArgumentValue>{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}));
  EXPECT_EQ(argumentsOf("TS Threshold Image -2147483648, 0x0, -0x10"),
            (std::vector<ArgumentValue>{0x80000000u, 0u, 0xFFFFFFF0u}));
  EXPECT_EQ(errorOf("TS Negative Image 4294967296"),
            "TS Negative Image, argument 1: 4294967296 does not fit in 32 bits");
  EXPECT_EQ(errorOf("TS Negative Image -2147483649"),
            "TS Negative Image, argument 1: -2147483649 does not fit in 32 bits");
  EXPECT_EQ(errorOf("TS Negative Image 0x100000000"),
            "TS Negative Image, argument 1: 0x100000000 does not fit in 32 bits");
  EXPECT_EQ(errorOf("TS Negative Image 1.5"), "TS Negative Image, argument 1: bad number 1.5");
  EXPECT_EQ(errorOf("TS Negative Image 0x"), "TS Negative Image, argument 1: bad number 0x");
  EXPECT_EQ(errorOf("TS Negative Image 99999999999999999999999"),
            "TS Negative Image, argument 1: 99999999999999999999999 does not fit in 32 bits");
  EXPECT_EQ(errorOf("TS Negative Image \"1\""),
            "TS Negative Image, argument 1: expected a number, found \"1\"");
}

TEST_F(ScriptParserTest, AnFArgumentTakesIntegersAndDecimals) {
  EXPECT_EQ(argumentsOf("TS Set Image Brightness 1, 2, -0.5, .25"),
            (std::vector<ArgumentValue>{1u, 2.0f, -0.5f, 0.25f}));
  EXPECT_EQ(argumentsOf("TS Set Image Brightness 1, 0x10, 0.1, 3."),
            (std::vector<ArgumentValue>{1u, 16.0f, 0.1f, 3.0f}));
  EXPECT_EQ(errorOf("TS Set Image Brightness 1, 1e5, 1, 1"),
            "TS Set Image Brightness, argument 2: bad number 1e5");
  EXPECT_EQ(errorOf("TS Set Image Brightness 1, 1.2.3, 1, 1"),
            "TS Set Image Brightness, argument 2: bad number 1.2.3");
  EXPECT_EQ(errorOf("TS Set Image Brightness 1, 1" + std::string(40, '0') + ", 1, 1"),
            "TS Set Image Brightness, argument 2: 1" + std::string(40, '0') +
                " does not fit in a 32-bit float");
}

TEST_F(ScriptParserTest, TheRowIsChosenByNameAndArgumentCount) {
  const auto rowOf = [&](std::string_view text) {
    const Statement statement = only(text);
    const auto* command = std::get_if<CommandStatement>(&statement.body);
    return command != nullptr ? command->command->row().id : 0u;
  };
  EXPECT_EQ(rowOf("TS Set Image Brightness 1, 1, 1, 1"), 7u);
  EXPECT_EQ(rowOf("TS Set Image Brightness 1, 1, 1, 1, 1"), 8u);
  EXPECT_EQ(rowOf("ts  SET image brightness 1, 1, 1, 1"), 7u);  // as the host's compiler, case-blind
  EXPECT_EQ(rowOf("print TS Is Render Target(1)"), 55u);
  EXPECT_EQ(rowOf("TS Load Effect \"a.fx\", 3"), 46u);

  EXPECT_EQ(errorOf("TS Set Image Brightness 1, 1, 1"), "TS Set Image Brightness takes 4 or 5 arguments, not 3");
  EXPECT_EQ(errorOf("TS Negative Image"), "TS Negative Image takes 1 argument, not 0");
  EXPECT_EQ(errorOf("TS Negative Images 1"), "unknown command \"TS Negative Images\"");
  EXPECT_EQ(errorOf("TS Is Render Target 1"),
            "TS Is Render Target yields a value: use it as print TS Is Render Target(...)");
  EXPECT_EQ(errorOf("print TS Negative Image(1)"), "TS Negative Image yields no value to print");
  EXPECT_EQ(errorOf("print TS Is Render Target 1"), "expected '(' after TS Is Render Target");
  EXPECT_EQ(errorOf("print TS Is Render Target(1) 2"), "unexpected 2 after ')'");
  EXPECT_EQ(errorOf("TS Load Effect 3, 3"), "TS Load Effect, argument 1: expected a string, found 3");
  EXPECT_EQ(errorOf("TS Threshold Image 1 2, 3"), "expected ',' before 2");
  EXPECT_EQ(errorOf("TS Threshold Image 1, 2,"), "an argument is missing after the last ','");
}

TEST_F(ScriptParserTest, CommentsAndRemarksAreSkippedButNotInsideStrings) {
  const ParsedScript parsed = parse(
      "# a comment\n\nrem a remark\nREM\n  TS Negative Image 1   # trailing\r\n"
      "load image \"a#b.png\", 2 # a comment after a string with # in it\n");
  ASSERT_TRUE(parsed.errors.empty()) << parsed.errors.front().message;
  ASSERT_EQ(parsed.script.statements.size(), 2u);
  EXPECT_EQ(parsed.script.statements[0].line, 5);
  EXPECT_EQ(parsed.script.statements[0].text, "TS Negative Image 1");
  const auto& load = std::get<LoadImageStatement>(parsed.script.statements[1].body);
  EXPECT_EQ(load.file.written, "a#b.png");
  EXPECT_EQ(load.file.resolved, "in/a#b.png");
  EXPECT_EQ(errorOf("remark 1"), "unknown statement \"remark\"");
  EXPECT_TRUE(parse("\xEF\xBB\xBFTS Negative Image 1").errors.empty()) << "a byte order mark is no statement";
}

TEST_F(ScriptParserTest, LoadsAreFromTheInputFolderAndSavesToTheOutputFolder) {
  const ParsedScript parsed = parse("load image \"sub/a.png\", 1\nsave image \"b.png\", 1\n"
                                    "save screen \"/abs/c.png\"\nexpect image 1, \"d.png\"\n");
  ASSERT_TRUE(parsed.errors.empty());
  EXPECT_EQ(std::get<LoadImageStatement>(parsed.script.statements[0].body).file.resolved, "in/sub/a.png");
  EXPECT_EQ(std::get<SaveImageStatement>(parsed.script.statements[1].body).file.resolved, "out/b.png");
  EXPECT_EQ(std::get<SaveScreenStatement>(parsed.script.statements[2].body).file.resolved, "/abs/c.png");
  EXPECT_EQ(std::get<ExpectImageStatement>(parsed.script.statements[3].body).file.resolved, "in/d.png");
}

TEST_F(ScriptParserTest, FileNamesOfCommandsAreRelativeToTheScript) {
  EXPECT_EQ(argumentsOf("TS Load Effect \"effects/../grey.fx\", 3"),
            (std::vector<ArgumentValue>{std::string("in/grey.fx"), 3u}));
  EXPECT_EQ(argumentsOf("TS Load Effect \"/abs/grey.fx\", 3"),
            (std::vector<ArgumentValue>{std::string("/abs/grey.fx"), 3u}));
  EXPECT_EQ(argumentsOf("TS Set Effect Float 1, \"a/b\", 2"),
            (std::vector<ArgumentValue>{1u, std::string("a/b"), 2.0f}))
      << "other strings are passed as written";
}

TEST_F(ScriptParserTest, ScreenComesFirstOnce) {
  EXPECT_EQ(parse("").script.screenWidth, 640u);
  EXPECT_EQ(parse("").script.screenHeight, 480u);
  const ParsedScript sized = parse("# display\nscreen 800, 600\nTS Negative Image 1\n");
  EXPECT_TRUE(sized.errors.empty());
  EXPECT_EQ(sized.script.screenWidth, 800u);
  EXPECT_EQ(sized.script.screenHeight, 600u);
  EXPECT_EQ(errorOf("TS Negative Image 1\nscreen 800, 600"), "screen must come before every other statement, once");
  EXPECT_EQ(errorOf("screen 1, 1\nscreen 2, 2"), "screen must come before every other statement, once");
  EXPECT_EQ(errorOf("screen 0, 600"), "screen width: 0 is not between 1 and 16384");
}

TEST_F(ScriptParserTest, TestStatementsCheckTheirWords) {
  const Statement make = only("make image 3, 2, 1, 0xFF000000, -1");
  EXPECT_EQ(std::get<MakeImageStatement>(make.body).words, (std::vector<std::uint32_t>{0xFF000000u, 0xFFFFFFFFu}));
  EXPECT_TRUE(std::get<MakeImageStatement>(only("make target 3, 2, 2, 0").body).renderTarget);
  EXPECT_EQ(errorOf("make image 3, 2, 2, 1, 2"), "expected 1 colour or 4 colours (one per pixel), found 2");
  EXPECT_EQ(errorOf("make image 0, 1, 1, 0"), "image number: 0 is not between 1 and 2147483647");
  EXPECT_EQ(errorOf("make image 1, 16385, 1, 0"), "width: 16385 is not between 1 and 16384");
  EXPECT_EQ(errorOf("expect pixel 1, 2, 3"), "expected expect pixel IMAGE, X, Y, COLOUR");
  EXPECT_EQ(errorOf("expect image 1, \"a.png\", 2"),
            "expected expect image IMAGE, \"FILE\" or expect image IMAGE, WIDTH, HEIGHT, COLOUR...");
  EXPECT_EQ(errorOf("matrix4 1, 1, 0, 0, 0"), "expected matrix4 NUMBER and 16 values, row by row");
}

// What a hostile script puts into messages comes out escaped and short, and
// a string with a NUL byte (which would cut a name short) is refused.
TEST_F(ScriptParserTest, MessagesShowScriptTextEscapedAndShortened) {
  const std::string huge = "frob" + std::string(1000000, 'x');
  const std::string message = errorOf(huge);
  EXPECT_LT(message.size(), 120u);
  EXPECT_NE(message.find("... (1000004 bytes)"), std::string::npos) << message;
  EXPECT_EQ(errorOf(std::string("TS Negative Image 1\x01")), "unexpected character '\\x01'");
  EXPECT_EQ(errorOf(std::string("\x7F")), "unexpected character '\\x7F'");
  EXPECT_EQ(errorOf(std::string("load image \"a\0b.png\", 1", 23)), "the string holds a NUL byte");
  EXPECT_EQ(errorOf(std::string("TS Negative Image \"a\tb\"")), "TS Negative Image, argument 1: expected a number, found \"a\\tb\"");
}

TEST_F(ScriptParserTest, ErrorsBeyondTheFirstTwentyAreOnlyCounted) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "bad\n";
  const ParsedScript parsed = parse(text);
  EXPECT_EQ(parsed.errors.size(), kMaxScriptErrors);
  EXPECT_EQ(parsed.moreErrors, 100 - kMaxScriptErrors);
  EXPECT_EQ(parsed.errors.back().line, 20);
}

// A hexadecimal literal wider than 64 bits is refused whether the argument is
// an integer or a float; up to 64 bits a float takes it.
TEST_F(ScriptParserTest, HexadecimalBeyondSixtyFourBitsIsRefusedForEveryType) {
  EXPECT_EQ(errorOf("TS Set Image Brightness 1, 0x10000000000000000, 1, 1"),
            "TS Set Image Brightness, argument 2: 0x10000000000000000 does not fit in 64 bits");
  EXPECT_EQ(errorOf("TS Negative Image 0x10000000000000000"),
            "TS Negative Image, argument 1: 0x10000000000000000 does not fit in 32 bits");
  EXPECT_EQ(argumentsOf("TS Set Image Brightness 1, 0xFFFFFFFFFFFFFFFF, 1, 1")[1], ArgumentValue{0x1p64f});
}
