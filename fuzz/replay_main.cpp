// Runs a fuzz target's entry over saved inputs without a fuzzing engine: every
// file named, and every file in every folder named. This is how the seed
// corpora and the regression inputs run in the ordinary tests. A named folder
// that holds no input is an error, so a corpus that went missing shows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsIn(const fs::path& path) {
  std::vector<fs::path> inputs;
  std::error_code error;
  if (!fs::is_directory(path, error)) {
    inputs.push_back(path);
    return inputs;
  }
  for (const auto& item : fs::recursive_directory_iterator(path, error)) {
    if (item.is_regular_file() && item.path().filename().string().front() != '.') {
      inputs.push_back(item.path());
    }
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s INPUT-OR-FOLDER...\n", argv[0]);
    return 2;
  }
  std::size_t total = 0;
  for (int i = 1; i < argc; ++i) {
    const std::vector<fs::path> inputs = inputsIn(argv[i]);
    if (inputs.empty()) {
      std::fprintf(stderr, "%s: no inputs here\n", argv[i]);
      return 2;
    }
    for (const fs::path& path : inputs) {
      std::ifstream in(path, std::ios::binary);
      if (!in) {
        std::fprintf(stderr, "%s: cannot read\n", path.c_str());
        return 2;
      }
      const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
      std::fprintf(stderr, "replay: %s\n", path.c_str());
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++total;
    }
  }
  std::printf("replayed %zu inputs\n", total);
  return 0;
}
