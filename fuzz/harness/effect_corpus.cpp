#include "effect_corpus.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fuzzing {

namespace {

void collectIdentifiers(const std::string& text, std::set<std::string>& names) {
  const auto isStart = [](unsigned char c) { return std::isalpha(c) != 0 || c == '_'; };
  const auto isPart = [](unsigned char c) { return std::isalnum(c) != 0 || c == '_'; };
  for (std::size_t i = 0; i < text.size();) {
    if (!isStart(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < text.size() && isPart(static_cast<unsigned char>(text[end]))) ++end;
    // A name longer than any a program would pass is left out (one of the broken
    // files holds such a name on purpose).
    if (end - i <= 64) names.insert(text.substr(i, end - i));
    i = end;
  }
}

}  // namespace

EffectCorpus loadEffectCorpus(const std::string& folder) {
  EffectCorpus corpus;
  std::set<std::string> names;
  std::error_code error;
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder, error)) {
    if (!item.is_regular_file() || item.path().extension() != ".fx") continue;
    corpus.files.push_back(item.path().string());
    std::ifstream in(item.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    collectIdentifiers(text.str(), names);
  }
  std::sort(corpus.files.begin(), corpus.files.end());
  corpus.names.assign(names.begin(), names.end());
  return corpus;
}

const EffectCorpus& effectCorpus() {
  static const EffectCorpus corpus = loadEffectCorpus(TESSALY_FUZZ_EFFECTS_DIR);
  return corpus;
}

}  // namespace fuzzing
