#include "script_tokens.h"

#include <cctype>

namespace standin {

namespace {

bool isWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool isWordPart(char c) { return isWordStart(c) || std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool startsNumber(std::string_view rest) {
  if (rest.empty()) return false;
  std::size_t i = rest.front() == '-' ? 1 : 0;
  if (i < rest.size() && rest[i] == '.') ++i;
  return i < rest.size() && isDigit(rest[i]);
}

}  // namespace

TokenizedLine tokenizeLine(std::string_view line) {
  TokenizedLine result;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '#') break;
    if (std::isspace(static_cast<unsigned char>(c)) != 0) {
      ++i;
    } else if (c == ',' || c == '(' || c == ')') {
      const TokenKind kind = c == ',' ? TokenKind::Comma
                             : c == '(' ? TokenKind::OpenParen
                                        : TokenKind::CloseParen;
      result.tokens.push_back({kind, std::string(1, c)});
      ++i;
    } else if (c == '"') {
      const std::size_t end = line.find('"', i + 1);
      if (end == std::string_view::npos) {
        result.error = "the string has no closing quote";
        return result;
      }
      // A NUL would end the string early wherever it is used as a name.
      if (line.substr(i + 1, end - i - 1).find('\0') != std::string_view::npos) {
        result.error = "the string holds a NUL byte";
        return result;
      }
      result.tokens.push_back({TokenKind::String, std::string(line.substr(i + 1, end - i - 1))});
      i = end + 1;
    } else if (startsNumber(line.substr(i))) {
      std::size_t end = i + 1;
      while (end < line.size() && (isWordPart(line[end]) || line[end] == '.')) ++end;
      result.tokens.push_back({TokenKind::Number, std::string(line.substr(i, end - i))});
      i = end;
    } else if (isWordStart(c)) {
      std::size_t end = i + 1;
      while (end < line.size() && isWordPart(line[end])) ++end;
      result.tokens.push_back({TokenKind::Word, std::string(line.substr(i, end - i))});
      i = end;
    } else {
      result.error = "unexpected character '";
      result.error.append(shownText(line.substr(i, 1))).append("'");
      return result;
    }
  }
  return result;
}

std::string shownText(std::string_view text) {
  static const char* hex = "0123456789ABCDEF";
  const std::string_view shown = text.size() > kShownTextMax ? text.substr(0, kShownTextMax - 16) : text;
  std::string out;
  for (const char c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += hex[byte >> 4];
      out += hex[byte & 15];
    } else {
      out += c;
    }
  }
  if (shown.size() < text.size()) {
    out.append("... (").append(std::to_string(text.size())).append(" bytes)");
  }
  return out;
}

std::string describeToken(const Token& token) {
  switch (token.kind) {
    case TokenKind::String: {
      std::string quoted = "\"";
      return quoted.append(shownText(token.text)).append("\"");
    }
    case TokenKind::Word:
    case TokenKind::Number: return shownText(token.text);
    case TokenKind::Comma:
    case TokenKind::OpenParen:
    case TokenKind::CloseParen: break;
  }
  return "'" + token.text + "'";
}

}  // namespace standin
