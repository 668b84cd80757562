#include "decoded_pngs.h"

namespace standin {

std::string DecodedPngs::check(const std::string& path, int uses) {
  PngLoad load = loadPng(path);
  if (!load.pixels) return load.error;
  const std::uint64_t bytes = std::uint64_t{load.pixels->words.size()} * sizeof(std::uint32_t);
  if (uses > 0 && kept_.count(path) == 0 && keptBytes_ + bytes <= budget_) {
    kept_[path] = Kept{std::move(*load.pixels), uses};
    keptBytes_ += bytes;
  }
  return {};
}

PngLoad DecodedPngs::take(const std::string& path) {
  const auto it = kept_.find(path);
  if (it == kept_.end()) return loadPng(path);
  PngLoad load;
  if (--it->second.usesLeft > 0) {
    load.pixels = it->second.pixels;
    return load;
  }
  keptBytes_ -= std::uint64_t{it->second.pixels.words.size()} * sizeof(std::uint32_t);
  load.pixels = std::move(it->second.pixels);
  kept_.erase(it);
  return load;
}

}  // namespace standin
