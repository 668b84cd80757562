#include "paste_reference.h"

#include <algorithm>

namespace paste_test {
namespace {

int channel(std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// d + (((t - d) * a) >> 8), the shift arithmetic (rounding towards minus infinity).
int mix(int d, int t, int a) { return d + (((t - d) * a) >> 8); }

// The target value t of modes 4 to 18.
int mixTarget(std::uint32_t mode, int s, int d) {
  switch (mode) {
    case 4: return (s * d) >> 8;
    case 5: return std::min((d * 256) / (s + 1), 255);
    case 6: return d + (((255 - d) * s) >> 8);
    case 7: return (d * (d + (((255 - d) * s) >> 7))) >> 8;
    case 8: return s == 255 ? 255 : std::min((d * 256) / (255 - s), 255);
    case 9: {
      const int q = ((255 - d) * 256) / (s + 1);
      return q > 255 ? 0 : 255 - q;
    }
    case 10: return s <= 128 ? (s * d) >> 7 : 255 - (((511 - 2 * s) * (255 - d)) >> 8);
    case 11: {
      const int k = 255 - (((255 - s) * (255 - d)) >> 8);
      return std::min(((k * d) + ((s * d * (255 - d)) >> 8)) >> 8, 255);
    }
    case 12: return std::clamp(d - s + 128, 0, 255);
    case 13: return std::clamp(s + d - 128, 0, 255);
    case 14: return s > d ? s - d - 1 : d - s;
    case 15: return std::min(s + d, 255);
    case 16: return d > s ? d - s - 1 : 0;
    case 17: return std::min(s, d);
    default: return std::max(s, d);  // 18
  }
}

std::uint32_t withChannels(const int colour[3], int alpha) {
  return static_cast<std::uint32_t>(alpha) << 24 | static_cast<std::uint32_t>(colour[2]) << 16 |
         static_cast<std::uint32_t>(colour[1]) << 8 | static_cast<std::uint32_t>(colour[0]);
}

std::uint32_t composite(std::uint32_t source, std::uint32_t target) {
  const int a = channel(source, 24);
  const int da = channel(target, 24);
  int colour[3];
  if (da == 255) {
    for (int c = 0; c < 3; ++c) {
      colour[c] = (channel(source, 8 * c) * a + channel(target, 8 * c) * (255 - a)) >> 8;
    }
    return withChannels(colour, 255);
  }
  const int oa = a + ((da * (255 - a)) >> 8);
  if (oa == 0) return target & 0x00FFFFFF;
  for (int c = 0; c < 3; ++c) {
    const int s = channel(source, 8 * c);
    const int d = channel(target, 8 * c);
    colour[c] = std::min((((d * da * (255 - a)) >> 8) + s * a) / oa, 255);
  }
  return withChannels(colour, oa);
}

}  // namespace

std::uint32_t referencePastePixel(std::uint32_t mode, std::uint32_t source, std::uint32_t target) {
  if (mode == 0 || mode > 20) return target;
  if (mode == 3 || mode == 19 || mode == 20) return source;
  if (mode == 2) return composite(source, target);
  const int a = channel(source, 24);
  const int da = channel(target, 24);
  int colour[3];
  for (int c = 0; c < 3; ++c) {
    const int s = channel(source, 8 * c);
    const int d = channel(target, 8 * c);
    colour[c] = mode == 1 ? (s * a + d * (255 - a)) >> 8 : mix(d, mixTarget(mode, s, d), a);
  }
  return withChannels(colour, mode == 1 ? std::min(da + a, 255) : da);
}

}  // namespace paste_test
