// Arguments drawn from a fuzzer's input. Each argument starts with a byte that
// says where its value comes from, so the input can reach both raw bit
// patterns (NaN, infinities, INT_MIN, sizes of any sign) and the values that
// mean something to the host: image numbers in use, effect numbers around
// the slot range, channel masks, effect files valid and broken, and the names
// in them.
#pragma once

#include "argument_source.h"
#include "byte_reader.h"
#include "effect_corpus.h"
#include "stand_in_host.h"

#include <deque>
#include <string>

namespace fuzzing {

class FuzzedArguments : public ArgumentSource {
 public:
  FuzzedArguments(ByteReader& input, const standin::StandInHost& host, const EffectCorpus& effects)
      : input_(input), host_(host), effects_(effects) {}

  DWORD unsignedArgument() override;
  int signedArgument() override;
  float floatArgument() override;
  char charArgument() override;
  char* stringArgument() override;

  // The values handed out for the call just made, as "1, -5, nan, \"name\"";
  // the strings handed out are freed.
  std::string finishCall();

 private:
  std::uint32_t word();
  void describe(const std::string& value);

  ByteReader& input_;
  const standin::StandInHost& host_;
  const EffectCorpus& effects_;
  std::deque<std::string> strings_;  // stable addresses while a call runs
  std::string description_;
};

}  // namespace fuzzing
