// The effect files the fuzzers hand to the effect commands, valid and
// broken ones, and the names that occur in them (parameters, techniques and
// whatever else), for the commands that take a name.
#pragma once

#include <string>
#include <vector>

namespace fuzzing {

struct EffectCorpus {
  std::vector<std::string> files;  // paths, in name order
  std::vector<std::string> names;  // every identifier in the files, sorted, once each
};

// Every *.fx file below the folder.
EffectCorpus loadEffectCorpus(const std::string& folder);

// The corpus kept beside the fuzzers (fuzz/effects).
const EffectCorpus& effectCorpus();

}  // namespace fuzzing
