#include "script_parser.h"

#include "png_io.h"
#include "script_literals.h"
#include "script_tokens.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <map>
#include <set>

namespace standin {

namespace {

std::string lowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string_view trim(std::string_view text) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The line without its comment: everything from a "#" outside quotes.
std::string_view withoutComment(std::string_view line) {
  bool inString = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') inString = !inString;
    if (line[i] == '#' && !inString) return line.substr(0, i);
  }
  return line;
}

bool isRemark(std::string_view line) {
  if (line.size() < 3 || lowerCase(line.substr(0, 3)) != "rem") return false;
  return line.size() == 3 || std::isspace(static_cast<unsigned char>(line[3])) != 0;
}

std::string plural(std::size_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// The bound rows by the name a script writes, statement rows and value rows
// apart, as the host's compiler keeps them.
class CommandCatalog {
 public:
  explicit CommandCatalog(const std::vector<BoundCommand>& commands) {
    for (const BoundCommand& command : commands) {
      auto& rows = command.row().yieldsValue() ? values_ : statements_;
      rows[lowerCase(command.row().spokenName())].push_back(&command);
    }
  }
  const std::vector<const BoundCommand*>* statementRows(const std::string& name) const {
    return find(statements_, name);
  }
  const std::vector<const BoundCommand*>* valueRows(const std::string& name) const {
    return find(values_, name);
  }

 private:
  using Rows = std::map<std::string, std::vector<const BoundCommand*>>;
  static const std::vector<const BoundCommand*>* find(const Rows& rows, const std::string& name) {
    const auto it = rows.find(lowerCase(name));
    return it == rows.end() ? nullptr : &it->second;
  }
  Rows statements_;
  Rows values_;
};

// Parses one line; the first error found ends it.
class LineParser {
 public:
  LineParser(std::vector<Token> tokens, const CommandCatalog& catalog, const ScriptFolders& folders)
      : tokens_(std::move(tokens)), catalog_(catalog), folders_(folders) {}

  std::optional<StatementBody> parse() {
    if (tokens_.front().kind != TokenKind::Word) {
      return fail("a statement begins with a word, not " + describeToken(tokens_.front()));
    }
    const std::string keyword = lowerCase(tokens_.front().text);
    if (keyword == "ts") return command(false);
    ++next_;
    if (keyword == "print") return command(true);
    if (keyword == "screen") return screen();
    if (keyword == "vector4") return vector4();
    if (keyword == "matrix4") return matrix4();
    if (keyword != "load" && keyword != "save" && keyword != "make" && keyword != "expect") {
      return fail("unknown statement \"" + shownText(tokens_.front().text) + "\"");
    }
    std::string both = keyword;
    if (next_ < tokens_.size() && tokens_[next_].kind == TokenKind::Word) {
      both += " " + lowerCase(tokens_[next_++].text);
    }
    if (both == "load image") return loadImage();
    if (both == "save image") return saveImage();
    if (both == "save screen") return saveScreen();
    if (both == "make image") return makeImage(false);
    if (both == "make target") return makeImage(true);
    if (both == "expect pixel") return expectPixel();
    if (both == "expect image") return expectImage();
    return fail("unknown statement \"" + shownText(both) + "\"");
  }

  const std::string& error() const { return error_; }

 private:
  std::nullopt_t fail(std::string message) {
    if (error_.empty()) error_ = std::move(message);
    return std::nullopt;
  }
  bool failed(std::string message) {
    fail(std::move(message));
    return false;
  }

  // "literal, literal, ..." up to the end of the line, or up to ")" when the
  // list is in parentheses.
  bool argumentList(std::vector<Token>& arguments, bool parenthesised) {
    const auto atClose = [&] {
      return parenthesised ? next_ < tokens_.size() && tokens_[next_].kind == TokenKind::CloseParen
                           : next_ >= tokens_.size();
    };
    while (!atClose()) {
      if (next_ >= tokens_.size()) return failed("the argument list has no closing ')'");
      const Token& token = tokens_[next_];
      if (token.kind != TokenKind::Number && token.kind != TokenKind::String) {
        return failed("expected a number or a string, found " + describeToken(token));
      }
      arguments.push_back(token);
      ++next_;
      if (atClose()) break;
      if (next_ >= tokens_.size() || tokens_[next_].kind != TokenKind::Comma) {
        return failed(next_ >= tokens_.size() ? "the argument list has no closing ')'"
                                            : "expected ',' before " + describeToken(tokens_[next_]));
      }
      ++next_;
      if (atClose()) return failed("an argument is missing after the last ','");
    }
    if (parenthesised) {
      ++next_;
      if (next_ < tokens_.size()) return failed("unexpected " + describeToken(tokens_[next_]) + " after ')'");
    }
    return true;
  }

  // The statement's arguments, which must be `count` in number.
  bool arguments(std::vector<Token>& out, std::size_t least, std::size_t most, std::string_view usage) {
    if (!argumentList(out, false)) return false;
    if (out.size() < least || out.size() > most) {
      return failed("expected " + std::string(usage));
    }
    return true;
  }

  template <class T>
  bool take(std::optional<T> value, T& out, std::string_view what, const std::string& error) {
    if (!value) return failed(std::string(what) + ": " + error);
    out = *value;
    return true;
  }

  bool integer(const Token& token, std::int64_t least, std::int64_t most, std::string_view what,
               auto& out) {
    std::string error;
    std::int64_t value = 0;
    if (!take(integerLiteral(token, least, most, error), value, what, error)) return false;
    out = static_cast<std::remove_reference_t<decltype(out)>>(value);
    return true;
  }
  bool imageNumber(const Token& token, int& out) { return integer(token, 1, INT_MAX, "image number", out); }
  bool size(const Token& token, std::string_view what, UINT& out) {
    return integer(token, 1, kMaxImageSide, what, out);
  }
  bool word(const Token& token, std::string_view what, std::uint32_t& out) {
    std::string error;
    return take(wordLiteral(token, error), out, what, error);
  }
  bool real(const Token& token, std::string_view what, float& out) {
    std::string error;
    return take(floatLiteral(token, error), out, what, error);
  }
  bool path(const Token& token, const std::filesystem::path& folder, ScriptPath& out) {
    if (token.kind != TokenKind::String) return failed("expected a file name in quotes, found " + describeToken(token));
    if (token.text.empty()) return failed("the file name is empty");
    out.written = token.text;
    out.resolved = (folder / token.text).lexically_normal().string();
    return true;
  }

  std::optional<StatementBody> command(bool print) {
    std::string name;
    while (next_ < tokens_.size() && tokens_[next_].kind == TokenKind::Word) {
      name += (name.empty() ? "" : " ") + tokens_[next_++].text;
    }
    if (name.empty()) return fail("print needs a value-yielding command, as in print TS Point(1, 0, 0)");
    const auto* rows = print ? catalog_.valueRows(name) : catalog_.statementRows(name);
    if (rows == nullptr) {
      if (print && catalog_.statementRows(name) != nullptr) return fail(shownText(name) + " yields no value to print");
      if (!print && catalog_.valueRows(name) != nullptr) {
        return fail(shownText(name) + " yields a value: use it as print " + shownText(name) + "(...)");
      }
      return fail("unknown command \"" + shownText(name) + "\"");
    }
    if (print && (next_ >= tokens_.size() || tokens_[next_].kind != TokenKind::OpenParen)) {
      return fail("expected '(' after " + shownText(name));
    }
    if (print) ++next_;
    std::vector<Token> given;
    if (!argumentList(given, print)) return std::nullopt;

    const BoundCommand* chosen = nullptr;
    std::set<std::size_t> counts;
    for (const BoundCommand* row : *rows) {
      counts.insert(row->row().argumentCount());
      if (row->row().argumentCount() == given.size() && chosen == nullptr) chosen = row;
    }
    const std::string spoken(rows->front()->row().spokenName());
    if (chosen == nullptr) {
      std::string takes;
      for (std::size_t count : counts) {
        if (!takes.empty()) takes += count == *counts.rbegin() ? " or " : ", ";
        takes += std::to_string(count);
      }
      return fail(spoken + " takes " + takes + (*counts.rbegin() == 1 ? " argument" : " arguments") +
                  ", not " + std::to_string(given.size()));
    }

    CommandStatement statement{chosen, {}, print};
    const std::string_view letters = chosen->row().argumentLetters();
    for (std::size_t i = 0; i < given.size(); ++i) {
      const std::string what = spoken + ", argument " + std::to_string(i + 1);
      const Token& token = given[i];
      if (letters[i] == 'S') {
        if (token.kind != TokenKind::String) return fail(what + ": expected a string, found " + describeToken(token));
        // A file a command reads ("TS Load Effect") is named relative to the
        // script's folder, as the pictures are.
        const bool fileName = chosen->row().argumentName(i) == "File name" && !token.text.empty();
        statement.arguments.emplace_back(
            fileName ? (folders_.input / token.text).lexically_normal().string() : token.text);
      } else if (letters[i] == 'F') {
        float value = 0;
        if (!real(token, what, value)) return std::nullopt;
        statement.arguments.emplace_back(value);
      } else {
        std::uint32_t value = 0;
        if (!word(token, what, value)) return std::nullopt;
        statement.arguments.emplace_back(value);
      }
    }
    return statement;
  }

  std::optional<StatementBody> screen() {
    std::vector<Token> args;
    ScreenStatement statement;
    if (!arguments(args, 2, 2, "screen WIDTH, HEIGHT") || !size(args[0], "screen width", statement.width) ||
        !size(args[1], "screen height", statement.height)) {
      return std::nullopt;
    }
    return statement;
  }

  std::optional<StatementBody> vector4() {
    std::vector<Token> args;
    Vector4Statement statement;
    if (!arguments(args, 5, 5, "vector4 NUMBER, X, Y, Z, W") ||
        !integer(args[0], 1, INT_MAX, "vector number", statement.number)) {
      return std::nullopt;
    }
    for (std::size_t i = 0; i < 4; ++i) {
      if (!real(args[i + 1], "vector4 value " + std::to_string(i + 1), statement.values[i])) return std::nullopt;
    }
    return statement;
  }

  std::optional<StatementBody> matrix4() {
    std::vector<Token> args;
    Matrix4Statement statement;
    if (!arguments(args, 17, 17, "matrix4 NUMBER and 16 values, row by row") ||
        !integer(args[0], 1, INT_MAX, "matrix number", statement.number)) {
      return std::nullopt;
    }
    for (std::size_t i = 0; i < 16; ++i) {
      if (!real(args[i + 1], "matrix4 value " + std::to_string(i + 1), statement.values[i])) return std::nullopt;
    }
    return statement;
  }

  std::optional<StatementBody> loadImage() {
    std::vector<Token> args;
    LoadImageStatement statement;
    if (!arguments(args, 2, 2, "load image \"FILE\", IMAGE") || !path(args[0], folders_.input, statement.file) ||
        !imageNumber(args[1], statement.image)) {
      return std::nullopt;
    }
    return statement;
  }

  std::optional<StatementBody> saveImage() {
    std::vector<Token> args;
    SaveImageStatement statement;
    if (!arguments(args, 2, 2, "save image \"FILE\", IMAGE") || !path(args[0], folders_.output, statement.file) ||
        !imageNumber(args[1], statement.image)) {
      return std::nullopt;
    }
    return statement;
  }

  std::optional<StatementBody> saveScreen() {
    std::vector<Token> args;
    SaveScreenStatement statement;
    if (!arguments(args, 1, 1, "save screen \"FILE\"") || !path(args[0], folders_.output, statement.file)) {
      return std::nullopt;
    }
    return statement;
  }

  // WIDTH, HEIGHT and then one word for every pixel, or one for all of them.
  bool sizedWords(const std::vector<Token>& args, std::size_t first, UINT& width, UINT& height,
                  std::vector<std::uint32_t>& words) {
    if (!size(args[first], "width", width) || !size(args[first + 1], "height", height)) return false;
    const std::size_t count = args.size() - first - 2;
    const std::size_t pixels = std::size_t{width} * height;
    if (count != 1 && count != pixels) {
      return failed("expected 1 colour or " + plural(pixels, "colour") + " (one per pixel), found " +
                    std::to_string(count));
    }
    words.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
      if (!word(args[first + 2 + i], "colour " + std::to_string(i + 1), words[i])) return false;
    }
    return true;
  }

  std::optional<StatementBody> makeImage(bool renderTarget) {
    std::vector<Token> args;
    MakeImageStatement statement;
    statement.renderTarget = renderTarget;
    const char* usage = renderTarget ? "make target IMAGE, WIDTH, HEIGHT, COLOUR..."
                                     : "make image IMAGE, WIDTH, HEIGHT, COLOUR...";
    if (!arguments(args, 4, SIZE_MAX, usage) || !imageNumber(args[0], statement.image) ||
        !sizedWords(args, 1, statement.width, statement.height, statement.words)) {
      return std::nullopt;
    }
    return statement;
  }

  std::optional<StatementBody> expectPixel() {
    std::vector<Token> args;
    ExpectPixelStatement statement;
    if (!arguments(args, 4, 4, "expect pixel IMAGE, X, Y, COLOUR") || !imageNumber(args[0], statement.image) ||
        !integer(args[1], 0, kMaxImageSide - 1, "x", statement.x) ||
        !integer(args[2], 0, kMaxImageSide - 1, "y", statement.y) || !word(args[3], "colour", statement.word)) {
      return std::nullopt;
    }
    return statement;
  }

  std::optional<StatementBody> expectImage() {
    std::vector<Token> args;
    ExpectImageStatement statement;
    const char* usage = "expect image IMAGE, \"FILE\" or expect image IMAGE, WIDTH, HEIGHT, COLOUR...";
    if (!arguments(args, 2, SIZE_MAX, usage) || !imageNumber(args[0], statement.image)) return std::nullopt;
    if (args[1].kind == TokenKind::String) {
      if (args.size() != 2) return fail(std::string("expected ") + usage);
      if (!path(args[1], folders_.input, statement.file)) return std::nullopt;
      return statement;
    }
    if (args.size() < 4) return fail(std::string("expected ") + usage);
    if (!sizedWords(args, 1, statement.width, statement.height, statement.words)) return std::nullopt;
    return statement;
  }

  std::vector<Token> tokens_;
  std::size_t next_ = 0;
  const CommandCatalog& catalog_;
  const ScriptFolders& folders_;
  std::string error_;
};

}  // namespace

ParsedScript parseScript(std::string_view text, std::string name, const ScriptFolders& folders,
                         const std::vector<BoundCommand>& commands) {
  const CommandCatalog catalog(commands);
  ParsedScript parsed;
  parsed.script.name = std::move(name);
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a UTF-8 byte order mark
  const auto addError = [&](int line, std::string message) {
    if (parsed.errors.size() < kMaxScriptErrors) parsed.errors.push_back({line, std::move(message)});
    else ++parsed.moreErrors;
  };
  bool screenAllowed = true;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);

    line = trim(line);
    if (line.empty() || isRemark(line)) continue;
    TokenizedLine tokenized = tokenizeLine(line);
    if (!tokenized.error.empty()) {
      addError(lineNumber, tokenized.error);
      continue;
    }
    if (tokenized.tokens.empty()) continue;  // a comment alone

    LineParser parser(std::move(tokenized.tokens), catalog, folders);
    std::optional<StatementBody> body = parser.parse();
    if (!body) {
      addError(lineNumber, parser.error());
      continue;
    }
    if (const auto* screen = std::get_if<ScreenStatement>(&*body)) {
      if (!screenAllowed) {
        addError(lineNumber, "screen must come before every other statement, once");
        continue;
      }
      parsed.script.screenWidth = screen->width;
      parsed.script.screenHeight = screen->height;
    }
    screenAllowed = false;
    parsed.script.statements.push_back(
        {lineNumber, std::string(trim(withoutComment(line))), std::move(*body)});
  }
  return parsed;
}

}  // namespace standin
