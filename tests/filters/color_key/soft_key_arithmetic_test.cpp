// The soft key's two rounded steps in every instruction set's kernels, over
// their whole domain: every key byte against every pixel byte for the
// removal fraction, and every fraction a pixel can have against every key
// byte and pixel byte for the channel values.
#include "filters/color_key/color_key_kernels.h"
#include "plugin_test_hooks.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

namespace filter_test {
namespace {

using plugin_test_hooks::kEveryInstructionSet;
using plugin_test_hooks::useInstructionSet;

float referenceFraction(std::uint32_t k, std::uint32_t p) {
  const float kf = static_cast<float>(k), pf = static_cast<float>(p);
  if (p < k) return (kf - pf) / kf;
  if (p > k) return (pf - kf) / (255.0f - kf);
  return 0.0f;
}

// Every removal fraction a pixel can have: d / D rounded, 1 <= d <= D <= 255.
std::vector<float> everyFraction() {
  std::set<float> fractions;
  for (int divisor = 1; divisor <= 255; ++divisor) {
    for (int d = 1; d <= divisor; ++d) fractions.insert(static_cast<float>(d) / static_cast<float>(divisor));
  }
  return {fractions.begin(), fractions.end()};
}

TEST(SoftKeyArithmetic, EveryRemovalFractionIsTheRoundedQuotient) {
  for (const auto set : kEveryInstructionSet) {
    useInstructionSet(set);
    for (std::uint32_t k = 0; k < 256; ++k) {
      float fractions[256];
      tessaly::colorKeyKernels().softKeyFractions(k, fractions);
      for (std::uint32_t p = 0; p < 256; ++p) {
        ASSERT_EQ(fractions[p], referenceFraction(k, p)) << "key " << k << " pixel " << p << " " << plugin_test_hooks::name(set);
      }
    }
  }
  useInstructionSet(tessaly::simd::InstructionSet::avx512);
}

// trunc((p - k (1 - a)) / a) with every step rounded to single precision,
// for every fraction a, key byte k and pixel byte p: 1.3 billion cases. Those
// a pixel can meet (its own channel asks for at most a) must also lie where
// truncation is defined and gives a byte; elsewhere the kernels without a
// fused multiply-add limit the quotient to a byte first, so only quotients
// within (-1, 256) are compared.
TEST(SoftKeyArithmetic, EveryChannelValueIsTheRoundedQuotientTruncated) {
  const std::vector<float> fractions = everyFraction();
  ASSERT_EQ(fractions.size(), 19820u);
  // The sanitizer build is there for memory and undefined behaviour, and
  // runs ten times slower; the other builds check every fraction.
#if defined(__SANITIZE_ADDRESS__)
  constexpr std::size_t kStride = 17;
#else
  constexpr std::size_t kStride = 1;
#endif
  static float own[256][256];
  for (std::uint32_t k = 0; k < 256; ++k)
    for (std::uint32_t p = 0; p < 256; ++p) own[k][p] = referenceFraction(k, p);
  for (std::size_t i = 0; i < fractions.size(); i += kStride) {
    const float a = fractions[i];
    const float n = 1.0f - a;
    for (std::uint32_t k = 0; k < 256; ++k) {
      const float kn = static_cast<float>(k) * n;
      float quotients[256];
      for (std::uint32_t p = 0; p < 256; ++p) quotients[p] = (static_cast<float>(p) - kn) / a;
      std::int32_t expected[256], compared[256];
      for (std::uint32_t p = 0; p < 256; ++p) {
        const bool inRange = quotients[p] > -1.0f && quotients[p] < 256.0f;
        if (!inRange && own[k][p] <= a) FAIL() << "out of range: a " << a << " key " << k << " pixel " << p;
        compared[p] = inRange ? -1 : 0;
        expected[p] = inRange ? static_cast<std::int32_t>(quotients[p]) : 0;
      }
      for (const auto set : kEveryInstructionSet) {
        useInstructionSet(set);
        std::int32_t values[256];
        tessaly::colorKeyKernels().softKeyChannel(k, a, values);
        std::int32_t differ = 0;
        for (std::uint32_t p = 0; p < 256; ++p) differ |= (values[p] ^ expected[p]) & compared[p];
        if (differ == 0) continue;
        for (std::uint32_t p = 0; p < 256; ++p) {
          ASSERT_TRUE(compared[p] == 0 || values[p] == expected[p])
              << "a " << a << " key " << k << " pixel " << p << ": " << values[p] << " for " << expected[p] << " "
              << plugin_test_hooks::name(set);
        }
      }
    }
  }
  useInstructionSet(tessaly::simd::InstructionSet::avx512);
}

}  // namespace
}  // namespace filter_test
