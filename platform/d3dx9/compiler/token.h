// The tokens of an effect file.
#pragma once

#include "d3dx9/compiler/diagnostics.h"

#include <cstdint>
#include <string>

namespace swd3dx {

enum class TokenKind {
  Identifier,  // names and keywords alike: the parser tells them apart
  Number,
  String,       // "..." (only annotations hold strings)
  Punctuation,  // operators and separators, by their text
  End,
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;  // as written (a string without its quotes)
  SourcePosition at;
  double number = 0;       // a Number's value
  bool integer = false;    // a Number written without fraction or exponent
  std::uint32_t bits = 0;  // an integer Number's value as 32 bits (hexadecimal colours)

  bool is(const char* punctuation) const {
    return kind == TokenKind::Punctuation && text == punctuation;
  }
  bool isWord(const char* word) const { return kind == TokenKind::Identifier && text == word; }
};

}  // namespace swd3dx
