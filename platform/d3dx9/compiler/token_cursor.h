// Walks the token list for the parser: looks ahead, takes tokens, and reports
// the first syntax error (the parser stops there).
#pragma once

#include "d3dx9/compiler/diagnostics.h"
#include "d3dx9/compiler/token.h"

#include <optional>
#include <string>
#include <vector>

namespace swd3dx {

class TokenCursor {
 public:
  // Deeper nesting of expressions or statements is refused, so that no effect
  // file can exhaust the stack.
  static constexpr int kMostNesting = 128;

  TokenCursor(const std::vector<Token>& tokens, Diagnostics& diagnostics)
      : tokens_(tokens), diagnostics_(diagnostics) {}

  // The token `ahead` places on; the End token past the last.
  const Token& peek(std::size_t ahead = 0) const {
    const std::size_t at = next_ + ahead;
    return at < tokens_.size() ? tokens_[at] : tokens_.back();
  }
  const Token& take() {
    const Token& token = peek();
    if (next_ < tokens_.size() - 1) ++next_;
    return token;
  }
  bool atEnd() const { return peek().kind == TokenKind::End; }

  // Takes the token if it is this punctuation or word.
  bool accept(const char* punctuation) {
    if (!peek().is(punctuation)) return false;
    take();
    return true;
  }
  bool acceptWord(const char* word) {
    if (!peek().isWord(word)) return false;
    take();
    return true;
  }

  // Takes the punctuation, or reports "expected 'X', found ...".
  bool expect(const char* punctuation) {
    if (accept(punctuation)) return true;
    return failHere(std::string("expected '") + punctuation + "'");
  }
  // Takes a name, or reports "expected WHAT, found ...".
  std::optional<Token> expectName(const char* what) {
    if (peek().kind == TokenKind::Identifier) return take();
    failHere(std::string("expected ") + what);
    return std::nullopt;
  }

  // Reports an error at a token; always false, so `return fail(...)` reads well.
  bool fail(const SourcePosition& at, std::string message) {
    if (!failed_) diagnostics_.error(at, std::move(message));
    failed_ = true;
    return false;
  }
  // "MESSAGE, found 'TOKEN'" at the next token.
  bool failHere(const std::string& message) {
    return fail(peek().at, message + ", found " + describe(peek()));
  }
  bool failed() const { return failed_; }

  static std::string describe(const Token& token) {
    switch (token.kind) {
      case TokenKind::End: return "the end of the file";
      case TokenKind::String: return "a string";
      default: return "'" + token.text + "'";
    }
  }

  // Counts one level of nesting while alive; past kMostNesting it reports
  // the error and ok() is false.
  class Nesting {
   public:
    explicit Nesting(TokenCursor& cursor) : cursor_(cursor) {
      if (++cursor_.nesting_ > kMostNesting) {
        ok_ = false;
        cursor_.fail(cursor_.peek().at, "nested too deeply");
      }
    }
    ~Nesting() { --cursor_.nesting_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
    bool ok() const { return ok_; }

   private:
    TokenCursor& cursor_;
    bool ok_ = true;
  };

 private:
  const std::vector<Token>& tokens_;
  Diagnostics& diagnostics_;
  std::size_t next_ = 0;
  bool failed_ = false;
  int nesting_ = 0;
};

}  // namespace swd3dx
