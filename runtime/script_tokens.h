// The tokens of one script line: words, numbers, strings and punctuation.
// A "#" outside a string starts a comment that runs to the end of the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace standin {

enum class TokenKind { Word, Number, String, Comma, OpenParen, CloseParen };

struct Token {
  TokenKind kind;
  std::string text;  // a string's text is without its quotes
};

struct TokenizedLine {
  std::vector<Token> tokens;
  std::string error;  // set when the line cannot be split into tokens
};

// A number token is taken whole, up to the next character that cannot be part
// of one, so that "12x" is one token and can be reported as a bad number.
TokenizedLine tokenizeLine(std::string_view line);

// How a token is named in messages: the word, "12", "\"text\"", "','".
std::string describeToken(const Token& token);

// Text from a script as messages show it: control bytes escaped (\t, \xNN),
// and a text longer than kShownTextMax bytes cut, with its length given.
inline constexpr std::size_t kShownTextMax = 64;
std::string shownText(std::string_view text);

}  // namespace standin
