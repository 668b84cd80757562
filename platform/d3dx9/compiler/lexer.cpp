#include "d3dx9/compiler/lexer.h"

#include <array>
#include <charconv>
#include <cfloat>
#include <cstdio>

namespace swd3dx {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isNamePart(char c) { return isNameStart(c) || isDigit(c); }

// Longest first, so that "<=" is not read as "<" and "=".
constexpr std::array<std::string_view, 37> kPunctuation = {
    "&&", "||", "<=", ">=", "==", "!=", "+=", "-=", "*=", "/=", "%=", "++", "--", "<<",
    ">>", "{",  "}",  "(",  ")",  "[",  "]",  ";",  ",",  ".",  ":",  "?",  "<",  ">",
    "=",  "+",  "-",  "*",  "/",  "!",  "%",  "&",  "|"};

class Lexer {
 public:
  Lexer(std::string_view source, Diagnostics& diagnostics)
      : source_(source), diagnostics_(diagnostics) {}

  std::optional<std::vector<Token>> run() {
    std::vector<Token> tokens;
    for (;;) {
      if (!skipSpaceAndComments()) return std::nullopt;
      Token token;
      token.at = position_;
      if (at_ == source_.size()) {
        tokens.push_back(token);
        return tokens;
      }
      const char c = source_[at_];
      bool read = false;
      if (isNameStart(c)) {
        read = name(token);
      } else if (isDigit(c) || (c == '.' && isDigit(peek(1)))) {
        read = number(token);
      } else if (c == '"') {
        read = string(token);
      } else if (c == '#') {
        fail("preprocessor directives (#...) are not supported");
      } else {
        read = punctuation(token);
      }
      if (!read) return std::nullopt;
      tokens.push_back(std::move(token));
    }
  }

 private:
  char peek(std::size_t ahead) const {
    return at_ + ahead < source_.size() ? source_[at_ + ahead] : '\0';
  }

  void advance(std::size_t count) {
    for (std::size_t i = 0; i < count && at_ < source_.size(); ++i, ++at_) {
      if (source_[at_] == '\n') {
        ++position_.line;
        position_.column = 1;
      } else {
        ++position_.column;
      }
    }
  }

  bool fail(std::string message) {
    diagnostics_.error(position_, std::move(message));
    return false;
  }

  bool skipSpaceAndComments() {
    while (at_ < source_.size()) {
      const char c = source_[at_];
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
        advance(1);
      } else if (c == '/' && peek(1) == '/') {
        while (at_ < source_.size() && source_[at_] != '\n') advance(1);
      } else if (c == '/' && peek(1) == '*') {
        const SourcePosition start = position_;
        const std::size_t end = source_.find("*/", at_ + 2);
        if (end == std::string_view::npos) {
          diagnostics_.error(start, "comment not closed with */");
          return false;
        }
        advance(end + 2 - at_);
      } else {
        return true;
      }
    }
    return true;
  }

  bool name(Token& token) {
    std::size_t length = 1;
    while (isNamePart(peek(length))) ++length;
    token.kind = TokenKind::Identifier;
    token.text = source_.substr(at_, length);
    advance(length);
    return true;
  }

  bool number(Token& token) {
    token.kind = TokenKind::Number;
    std::size_t length = 0;
    if (peek(0) == '0' && (peek(1) == 'x' || peek(1) == 'X')) {
      length = 2;
      std::uint64_t value = 0;
      while (isHexDigit(peek(length))) {
        const char c = peek(length);
        const unsigned digit = isDigit(c) ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
        value = value * 16 + digit;
        if (value > 0xFFFFFFFFu) return fail("hexadecimal number larger than 32 bits");
        ++length;
      }
      if (length == 2) return fail("hexadecimal number without digits");
      token.integer = true;
      token.bits = static_cast<std::uint32_t>(value);
      token.number = static_cast<double>(value);
    } else {
      while (isDigit(peek(length))) ++length;
      bool fraction = false;
      if (peek(length) == '.') {
        fraction = true;
        ++length;
        while (isDigit(peek(length))) ++length;
      }
      if ((peek(length) == 'e' || peek(length) == 'E') &&
          (isDigit(peek(length + 1)) ||
           ((peek(length + 1) == '+' || peek(length + 1) == '-') && isDigit(peek(length + 2))))) {
        fraction = true;
        length += 2;
        while (isDigit(peek(length))) ++length;
      }
      const std::string_view digits = source_.substr(at_, length);
      const auto [end, error] =
          std::from_chars(digits.data(), digits.data() + digits.size(), token.number);
      if (error != std::errc{} || end != digits.data() + digits.size() || token.number > FLT_MAX) {
        return fail("number out of the range of float");
      }
      token.integer = !fraction;
      if (token.integer && token.number <= 4294967295.0) {
        token.bits = static_cast<std::uint32_t>(token.number);
      }
    }
    // Suffixes: f and h on any number, u and l on integers.
    const char suffix = peek(length);
    if (suffix == 'f' || suffix == 'F' || suffix == 'h' || suffix == 'H' ||
        (token.integer && (suffix == 'u' || suffix == 'U' || suffix == 'l' || suffix == 'L'))) {
      ++length;
    }
    if (isNamePart(peek(length)) || peek(length) == '.') return fail("malformed number");
    token.text = source_.substr(at_, length);
    advance(length);
    return true;
  }

  bool string(Token& token) {
    std::size_t length = 1;
    for (;;) {
      const char c = peek(length);
      if (c == '\0' || c == '\n') return fail("string not closed with \"");
      if (c == '"') break;
      length += c == '\\' ? 2 : 1;
    }
    token.kind = TokenKind::String;
    token.text = source_.substr(at_ + 1, length - 1);
    advance(length + 1);
    return true;
  }

  bool punctuation(Token& token) {
    for (std::string_view p : kPunctuation) {
      if (source_.substr(at_, p.size()) == p) {
        token.kind = TokenKind::Punctuation;
        token.text = p;
        advance(p.size());
        return true;
      }
    }
    const auto byte = static_cast<unsigned char>(source_[at_]);
    if (byte >= 0x20 && byte < 0x7F) return fail(std::string("unexpected character '") + char(byte) + "'");
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return fail(std::string("unexpected byte ") + text);
  }

  std::string_view source_;
  Diagnostics& diagnostics_;
  std::size_t at_ = 0;
  SourcePosition position_;
};

}  // namespace

std::optional<std::vector<Token>> tokenize(std::string_view source, Diagnostics& diagnostics) {
  return Lexer(source, diagnostics).run();
}

}  // namespace swd3dx
