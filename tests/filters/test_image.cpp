#include "test_image.h"

namespace filter_test {

TestImage::TestImage(std::uint32_t w, std::uint32_t h, std::uint32_t paddingBytes)
    : width(w), height(h), pitch(static_cast<std::int32_t>(4 * w + paddingBytes)),
      memory(std::size_t{h} * (4 * w + paddingBytes), kSentinel) {}

bool TestImage::paddingIntact() const {
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t b = 4 * width; b < static_cast<std::uint32_t>(pitch); ++b)
      if (memory[std::size_t{y} * static_cast<std::uint32_t>(pitch) + b] != kSentinel) return false;
  return true;
}

std::vector<std::uint8_t> TestImage::pixelBytes() const {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t y = 0; y < height; ++y) {
    const auto* row = memory.data() + std::size_t{y} * static_cast<std::uint32_t>(pitch);
    bytes.insert(bytes.end(), row, row + 4 * std::size_t{width});
  }
  return bytes;
}

TestImage randomImage(std::uint32_t w, std::uint32_t h, std::mt19937& rng, std::uint32_t paddingBytes) {
  TestImage image(w, h, paddingBytes);
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::uint32_t y = 0; y < h; ++y)
    for (std::uint32_t x = 0; x < w; ++x)
      for (int c = 0; c < 4; ++c) image.channel(x, y, c) = static_cast<std::uint8_t>(byte(rng));
  return image;
}

TestImage paletteImage(std::uint32_t w, std::uint32_t h, std::mt19937& rng, std::uint32_t paddingBytes,
                       const std::vector<std::uint32_t>& palette) {
  TestImage image(w, h, paddingBytes);
  for (std::uint32_t y = 0; y < h; ++y)
    for (std::uint32_t x = 0; x < w; ++x) image.setWord(x, y, palette[rng() % palette.size()]);
  return image;
}

const std::vector<std::pair<std::uint32_t, std::uint32_t>>& awkwardSizes() {
  static const std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes = {
      {1, 1}, {1, 37}, {53, 1}, {2, 2}, {3, 3}, {7, 13}, {31, 17}, {67, 3}, {16, 16}, {17, 33}, {64, 5}, {129, 11}, {293, 3}};
  return sizes;
}

void PrintTo(const Words& words, std::ostream* out) {
  *out << words.width << "x" << words.height << std::hex;
  for (std::size_t i = 0; i < words.pixels.size() && i < 8; ++i) *out << " " << words.pixels[i];
  if (words.pixels.size() > 8) *out << " ...";
  *out << std::dec;
}

Words randomWords(std::uint32_t width, std::uint32_t height, std::mt19937& rng) {
  Words w{width, height, std::vector<std::uint32_t>(std::size_t{width} * height)};
  for (auto& p : w.pixels) p = static_cast<std::uint32_t>(rng());
  return w;
}

TestImage imageOf(const Words& words, std::uint32_t paddingBytes) {
  TestImage image(words.width, words.height, paddingBytes);
  for (std::uint32_t y = 0; y < words.height; ++y)
    for (std::uint32_t x = 0; x < words.width; ++x) image.setWord(x, y, words.at(x, y));
  return image;
}

Words wordsOf(const TestImage& image) {
  Words words{image.width, image.height, {}};
  for (std::uint32_t y = 0; y < image.height; ++y)
    for (std::uint32_t x = 0; x < image.width; ++x) words.pixels.push_back(image.word(x, y));
  return words;
}

}  // namespace filter_test
