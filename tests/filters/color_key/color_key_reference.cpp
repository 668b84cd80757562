#include "color_key_reference.h"

namespace filter_test {

void referenceHardKey(TestImage& image, std::uint32_t colour) {
  const std::uint32_t key = colour & 0xFFFFFF;
  for (std::uint32_t y = 0; y < image.height; ++y) {
    for (std::uint32_t x = 0; x < image.width; ++x) {
      const std::uint32_t p = image.word(x, y);
      if ((p & 0xFFFFFF) == key) image.setWord(x, y, p & 0x00FFFFFF);
    }
  }
}

void referenceSoftKey(TestImage& image, std::uint32_t colour) {
  const std::uint32_t key = colour & 0xFFFFFF;
  const float kR = static_cast<float>((key >> 16) & 0xFF);
  const float kG = static_cast<float>((key >> 8) & 0xFF);
  const float kB = static_cast<float>(key & 0xFF);
  for (std::uint32_t y = 0; y < image.height; ++y) {
    for (std::uint32_t x = 0; x < image.width; ++x) {
      const std::uint32_t p = image.word(x, y);
      if ((p & 0xFFFFFF) == key) {
        image.setWord(x, y, 0);
        continue;
      }
      const float pR = static_cast<float>((p >> 16) & 0xFF);
      const float pG = static_cast<float>((p >> 8) & 0xFF);
      const float pB = static_cast<float>(p & 0xFF);
      float a = 0;
      const float pc[3] = {pR, pG, pB};
      const float kc[3] = {kR, kG, kB};
      for (int c = 0; c < 3; ++c) {
        float candidate;
        if (pc[c] < kc[c]) {
          candidate = (kc[c] - pc[c]) / kc[c];
        } else if (pc[c] > kc[c]) {
          candidate = (pc[c] - kc[c]) / (255 - kc[c]);
        } else {
          continue;
        }
        if (candidate > a) a = candidate;
      }
      const float n = 1 - a;
      std::uint32_t out = static_cast<std::uint32_t>(static_cast<int>(255 * a)) << 24;
      for (int c = 0; c < 3; ++c) {
        const float kn = kc[c] * n;
        const float removed = pc[c] - kn;
        const float value = removed / a;
        out |= static_cast<std::uint32_t>(static_cast<int>(value)) << (16 - 8 * c);
      }
      image.setWord(x, y, out);
    }
  }
}

void referenceReplace(TestImage& image, std::uint32_t newColour, std::uint32_t sourceColour) {
  for (std::uint32_t y = 0; y < image.height; ++y) {
    for (std::uint32_t x = 0; x < image.width; ++x) {
      if (image.word(x, y) == sourceColour) image.setWord(x, y, newColour);
    }
  }
}

}  // namespace filter_test
