// Calls on i686 Windows without libffi. Every export is a cdecl function whose
// arguments each take one 32-bit stack slot (an unsigned or signed long, a
// char in the slot's low byte, a float's bits, a string's address) and whose
// result, if any, comes back in EAX. So one function type per argument count,
// taking that many 32-bit words, makes any call of the table.
#include "command_call.h"

#include <array>
#include <bit>
#include <cstring>
#include <utility>

static_assert(sizeof(void*) == 4 && sizeof(float) == 4, "the slot thunk is for 32-bit x86 only");

namespace standin {

namespace {

using Word = std::uint32_t;

// The most arguments a call can have; a longer signature is refused at binding.
constexpr std::size_t kMaxArguments = 16;

template <std::size_t>
using WordSlot = Word;

using Thunk = Word (*)(FARPROC entry, const Word* words);

// Calls entry as a cdecl function of sizeof...(I) words. A function with no
// result leaves EAX undefined; the caller ignores it then.
template <std::size_t... I>
Word callWithWords(FARPROC entry, [[maybe_unused]] const Word* words) {
  using Function = Word (*)(WordSlot<I>...);
  const auto function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
  return function(words[I]...);
}

template <std::size_t... Count>
constexpr std::array<Thunk, sizeof...(Count)> makeThunks(std::index_sequence<Count...>) {
  return {[]<std::size_t... I>(std::index_sequence<I...>) -> Thunk {
    return &callWithWords<I...>;
  }(std::make_index_sequence<Count>{})...};
}

constexpr std::array<Thunk, kMaxArguments + 1> kThunks =
    makeThunks(std::make_index_sequence<kMaxArguments + 1>{});

}  // namespace

struct BoundCommand::CallFrame {
  Thunk thunk;
};

std::shared_ptr<const BoundCommand::CallFrame> BoundCommand::prepareCall(
    const ExportSignature& signature, std::string& error) {
  if (signature.arguments.size() > kMaxArguments) {
    error = "more arguments than the ";
    error += std::to_string(kMaxArguments);
    error += " the thunks take";
    return nullptr;
  }
  return std::make_shared<CallFrame>(CallFrame{kThunks[signature.arguments.size()]});
}

std::uint32_t BoundCommand::call(const std::vector<ArgumentValue>& values) const {
  const std::size_t count = signature_.arguments.size();
  std::vector<std::vector<char>> strings;  // the callee gets char*, so it gets copies
  strings.reserve(count);
  std::array<Word, kMaxArguments> words{};

  for (std::size_t i = 0; i < count; ++i) {
    const ArgumentValue& value = values.at(i);
    switch (signature_.arguments[i]) {
      case CType::UInt32:
      case CType::Int32:
        words[i] = std::get<std::uint32_t>(value);
        break;
      case CType::Char:
        // The low byte, widened as the compiler widens a char argument.
        words[i] = static_cast<Word>(static_cast<int>(static_cast<char>(std::get<std::uint32_t>(value) & 0xFFu)));
        break;
      case CType::Float:
        words[i] = std::bit_cast<Word>(std::get<float>(value));
        break;
      case CType::String: {
        const std::string& text = std::get<std::string>(value);
        std::vector<char>& copy = strings.emplace_back(text.begin(), text.end());
        copy.push_back('\0');
        words[i] = static_cast<Word>(reinterpret_cast<std::uintptr_t>(copy.data()));
        break;
      }
      case CType::Void:
        break;
    }
  }

  const Word result = frame_->thunk(entry_, words.data());
  return signature_.result == CType::Void ? 0 : result;
}

}  // namespace standin
