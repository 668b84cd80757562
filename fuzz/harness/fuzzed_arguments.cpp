#include "fuzzed_arguments.h"

#include <bit>
#include <cinttypes>
#include <cstdio>
#include <iterator>
#include <utility>
#include <limits>

namespace fuzzing {

namespace {

constexpr std::uint32_t kSpecialWords[] = {
    0,          1,          2,          3,          4,          255,        256,
    0x7FFF,     0x8000,     0xFFFF,     0x10000,    0x7FFFFFFF, 0x80000000, 0x80000001,
    0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFF00, 0x40000000, 16384,      16385,      65,
    64,         63,         20,         21,         19,         100,        101};

constexpr std::uint32_t kColoursAndMasks[] = {
    0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFFFFFFFF, 0x00FFFFFF,
    0xFF00FF00, 0x80808080, 0x7F7F7F7F, 0x01010101, 0xFEFEFEFE, 0x00000000};

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kSpecialFloats[] = {std::numeric_limits<float>::quiet_NaN(),
                                    -std::numeric_limits<float>::quiet_NaN(),
                                    kInf,
                                    -kInf,
                                    0.0f,
                                    -0.0f,
                                    std::numeric_limits<float>::denorm_min(),
                                    std::numeric_limits<float>::min(),
                                    std::numeric_limits<float>::max(),
                                    -std::numeric_limits<float>::max(),
                                    0.5f,
                                    1.0f,
                                    -1.0f,
                                    100.0f,
                                    255.0f,
                                    256.0f,
                                    2147483648.0f,
                                    -2147483648.0f,
                                    4294967296.0f,
                                    1e30f,
                                    -1e30f,
                                    1e-30f,
                                    3.14159265f,
                                    360.0f};

template <class T, std::size_t N>
T pick(const T (&values)[N], std::uint8_t index) {
  return values[index % N];
}

}  // namespace

std::uint32_t FuzzedArguments::word() {
  const std::uint8_t source = input_.byte();
  switch (source % 8) {
    case 1: {  // an image number in use
      const std::vector<int> numbers = host_.imageNumbers();
      const std::uint8_t index = input_.byte();
      return numbers.empty() ? 1u : static_cast<std::uint32_t>(numbers[index % numbers.size()]);
    }
    case 2: return static_cast<std::uint32_t>(static_cast<std::int8_t>(input_.byte()));
    case 3: return pick(kSpecialWords, input_.byte());
    case 4: return input_.byte() % 67u;  // effect numbers 0 to 66
    case 5: return pick(kColoursAndMasks, input_.byte());
    case 6: return input_.u16();
    default: return input_.u32();
  }
}

DWORD FuzzedArguments::unsignedArgument() {
  const std::uint32_t value = word();
  describe(std::to_string(value));
  return value;
}

int FuzzedArguments::signedArgument() {
  const int value = static_cast<int>(word());
  describe(std::to_string(value));
  return value;
}

float FuzzedArguments::floatArgument() {
  float value = 0;
  switch (input_.byte() % 4) {
    case 0: value = std::bit_cast<float>(input_.u32()); break;
    case 1: value = pick(kSpecialFloats, input_.byte()); break;
    case 2: value = static_cast<std::int8_t>(input_.byte()); break;
    default: value = static_cast<float>(static_cast<std::int16_t>(input_.u16())) / 64.0f; break;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  describe(text);
  return value;
}

char FuzzedArguments::charArgument() {
  const char value = static_cast<char>(input_.byte());
  describe(std::to_string(static_cast<int>(value)));
  return value;
}

char* FuzzedArguments::stringArgument() {
  std::string text;
  switch (input_.byte() % 6) {
    case 0:  // an effect file, valid or broken
      text = effects_.files.empty() ? std::string()
                                    : effects_.files[input_.byte() % effects_.files.size()];
      break;
    case 1:  // a name that occurs in the effect files
      text = effects_.names.empty() ? std::string()
                                    : effects_.names[input_.u16() % effects_.names.size()];
      break;
    case 2:  // any bytes; the string ends at the first zero among them
      text = std::string(input_.bytes(input_.byte() % 80u));
      break;
    case 3:  // no string at all
      describe("null");
      return nullptr;
    case 4: break;
    default: text = "/nonexistent/effect.fx"; break;
  }
  std::string quoted(1, '"');
  quoted.append(text, 0, text.find('\0'));
  quoted.push_back('"');
  describe(quoted);
  return strings_.emplace_back(std::move(text)).data();
}

std::string FuzzedArguments::finishCall() {
  strings_.clear();
  return std::exchange(description_, {});
}

void FuzzedArguments::describe(const std::string& value) {
  if (!description_.empty()) description_ += ", ";
  description_ += value;
}

}  // namespace fuzzing
