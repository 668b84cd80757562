#include "script_literals.h"

#include <charconv>
#include <string_view>

namespace standin {

namespace {

bool isDigits(std::string_view text, int base) {
  if (text.empty()) return false;
  for (char c : text) {
    const bool digit = c >= '0' && c <= '9';
    const bool hexLetter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!digit && !(base == 16 && hexLetter)) return false;
  }
  return true;
}

struct Integer {
  bool negative = false;
  std::uint64_t magnitude = 0;  // UINT64_MAX when beyond64Bits
  bool beyond64Bits = false;
};

// Integers far beyond 32 bits are only ever reported, so a magnitude that
// does not fit in 64 bits is simply too large.
std::optional<Integer> parseInteger(const Token& token, std::string& error) {
  std::string_view text = token.text;
  Integer result;
  if (text.starts_with('-')) {
    result.negative = true;
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (token.kind != TokenKind::Number || !isDigits(text, base)) {
    error = token.kind == TokenKind::Number ? "bad number " + shownText(token.text)
                                            : "expected a number, found " + describeToken(token);
    return std::nullopt;
  }
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(),
                                           result.magnitude, base);
  if (code != std::errc{} || end != text.data() + text.size()) {
    result.magnitude = UINT64_MAX;
    result.beyond64Bits = true;
  }
  return result;
}

}  // namespace

std::optional<std::uint32_t> wordLiteral(const Token& token, std::string& error) {
  const std::optional<Integer> integer = parseInteger(token, error);
  if (!integer) return std::nullopt;
  const std::uint64_t limit = integer->negative ? 0x80000000u : 0xFFFFFFFFu;
  if (integer->magnitude > limit) {
    error = shownText(token.text) + " does not fit in 32 bits";
    return std::nullopt;
  }
  const auto low = static_cast<std::uint32_t>(integer->magnitude);
  return integer->negative ? 0u - low : low;
}

std::optional<std::int64_t> integerLiteral(const Token& token, std::int64_t least,
                                           std::int64_t most, std::string& error) {
  const std::optional<Integer> integer = parseInteger(token, error);
  if (!integer) return std::nullopt;
  constexpr std::uint64_t kLowestMagnitude = std::uint64_t{1} << 63;  // of INT64_MIN
  std::optional<std::int64_t> value;
  if (integer->negative && integer->magnitude <= kLowestMagnitude) {
    value = integer->magnitude == kLowestMagnitude ? INT64_MIN
                                                   : -static_cast<std::int64_t>(integer->magnitude);
  } else if (!integer->negative && integer->magnitude < kLowestMagnitude) {
    value = static_cast<std::int64_t>(integer->magnitude);
  }
  if (!value || *value < least || *value > most) {
    error = shownText(token.text) + " is not between " + std::to_string(least) + " and " + std::to_string(most);
    return std::nullopt;
  }
  return value;
}

std::optional<float> floatLiteral(const Token& token, std::string& error) {
  std::string_view text = token.text;
  if (token.kind != TokenKind::Number) {
    error = "expected a number, found " + describeToken(token);
    return std::nullopt;
  }
  const std::string_view unsignedText = text.starts_with('-') ? text.substr(1) : text;
  if (unsignedText.starts_with("0x") || unsignedText.starts_with("0X")) {
    const std::optional<Integer> integer = parseInteger(token, error);
    if (!integer) return std::nullopt;
    if (integer->beyond64Bits) {
      error = shownText(token.text) + " does not fit in 64 bits";
      return std::nullopt;
    }
    const auto magnitude = static_cast<float>(integer->magnitude);
    return integer->negative ? -magnitude : magnitude;
  }
  // Digits with at most one decimal point and at least one digit.
  const std::size_t point = unsignedText.find('.');
  const std::string_view whole = unsignedText.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view{} : unsignedText.substr(point + 1);
  const bool wellFormed = (whole.empty() || isDigits(whole, 10)) &&
                          (fraction.empty() || isDigits(fraction, 10)) &&
                          !(whole.empty() && fraction.empty());
  if (!wellFormed) {
    error = "bad number " + shownText(token.text);
    return std::nullopt;
  }
  float value = 0;
  const auto [end, code] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (code != std::errc{} || end != text.data() + text.size()) {
    error = shownText(token.text) + " does not fit in a 32-bit float";
    return std::nullopt;
  }
  return value;
}

}  // namespace standin
