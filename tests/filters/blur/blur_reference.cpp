#include "blur_reference.h"

#include "filters/blur/binomial_blur.h"
#include "filters/blur/box_blur.h"
#include "filters/blur/gaussian_blur.h"

#include <algorithm>
#include <cmath>

namespace blur_test {

namespace {

// R(v): v + 0.5 truncated toward zero, low 8 bits kept.
std::uint8_t R(double v) {
  const double t = std::trunc(v + 0.5);
  if (!(std::fabs(t) < 2147483648.0)) return 0;
  return static_cast<std::uint8_t>(static_cast<std::int64_t>(t) & 0xFF);
}

// One channel of one line, read into a vector and written back.
using Line = std::vector<std::uint8_t>;

// count as a float, 32-bit sums, division in double. A radius at or past the
// line's length gives every pixel the line's mean.
Line boxLine(const Line& a, std::int32_t r) {
  const std::int64_t n = static_cast<std::int64_t>(a.size());
  Line o(a.size());
  if (r >= n) {
    std::int64_t total = 0;
    for (auto v : a) total += v;
    for (auto& v : o) v = R(static_cast<double>(total) / static_cast<double>(n));
    return o;
  }
  float count = static_cast<float>(r + 1);
  std::int32_t sum = 0;
  for (std::int32_t j = 0; j <= r; ++j) sum += a[static_cast<std::size_t>(j)];
  for (std::int64_t i = 0; i < n; ++i) {
    o[static_cast<std::size_t>(i)] = R(static_cast<double>(sum) / static_cast<double>(count));
    if (i + 1 < n - r) sum += a[static_cast<std::size_t>(i + r + 1)];
    else count = count - 1;
    if (i >= r) sum -= a[static_cast<std::size_t>(i - r)];
    else count = count + 1;
  }
  return o;
}

struct Coefficients {
  float b0, b1, b2, b3, B;
};

Coefficients gaussianCoefficients(std::int32_t r) {
  const float sigma = static_cast<float>(static_cast<double>(r) / 3.0);
  const float q = sigma >= 2.5 ? static_cast<float>(0.98711 * sigma - 0.96330)
                               : static_cast<float>(3.97156 - 4.14554 * std::sqrt(1.0 - 0.26891 * sigma));
  const double qd = q;
  Coefficients k{};
  k.b0 = static_cast<float>(1.57825 + 2.44413 * qd + 1.4281 * (qd * qd) + 0.422205 * (qd * qd * qd));
  k.b1 = static_cast<float>(2.44413 * qd + 2.85619 * (qd * qd) + 1.26661 * (qd * qd * qd));
  k.b2 = static_cast<float>(-1.4281 * (qd * qd) - 1.26661 * (qd * qd * qd));
  k.b3 = static_cast<float>(0.422205 * (qd * qd * qd));
  k.B = static_cast<float>(1.0 - (static_cast<double>(k.b1) + k.b2 + k.b3) / k.b0);
  return k;
}

// Every result limited to [lowest, highest] (the line's range) before R.
void gaussianSubPass(Line& p, const Coefficients& k, bool causal, double lowest, double highest) {
  const std::size_t n = p.size();
  float y1 = p[causal ? 0 : n - 1], y2 = y1, y3 = y1;
  for (std::size_t s = 0; s < n; ++s) {
    const std::size_t i = causal ? s : n - 1 - s;
    const double products = static_cast<double>(k.b2) * y2 + static_cast<double>(k.b1) * y1 +
                            static_cast<double>(k.b3) * y3;
    const float v = static_cast<float>(static_cast<double>(k.B) * p[i] + products / k.b0);
    y3 = y2;
    y2 = y1;
    y1 = v;
    p[i] = R(std::min(std::max(static_cast<double>(v), lowest), highest));
  }
}

// Radii above 729, where the recursion stops being stable, act as 729.
Line gaussianLine(Line p, std::int32_t r) {
  const Coefficients k = gaussianCoefficients(std::min(r, 729));
  const double lowest = *std::min_element(p.begin(), p.end());
  const double highest = *std::max_element(p.begin(), p.end());
  gaussianSubPass(p, k, false, lowest, highest);
  gaussianSubPass(p, k, true, lowest, highest);
  return p;
}

// An unsigned 128-bit number as four 32-bit limbs, with only what the
// binomial reference needs (the i686 compiler has no 128-bit type).
struct Wide {
  std::uint32_t limb[4] = {};  // least significant first

  static Wide of(std::uint64_t v) { return {{static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(v >> 32), 0, 0}}; }
  Wide operator+(const Wide& b) const {
    Wide sum;
    std::uint64_t carry = 0;
    for (int i = 0; i < 4; ++i) {
      carry += std::uint64_t{limb[i]} + b.limb[i];
      sum.limb[i] = static_cast<std::uint32_t>(carry);
      carry >>= 32;
    }
    return sum;
  }
  Wide operator*(std::uint32_t f) const {
    Wide product;
    std::uint64_t carry = 0;
    for (int i = 0; i < 4; ++i) {
      carry += std::uint64_t{limb[i]} * f;
      product.limb[i] = static_cast<std::uint32_t>(carry);
      carry >>= 32;
    }
    return product;
  }
  Wide operator/(std::uint32_t d) const {  // long division, most significant limb first
    Wide quotient;
    std::uint64_t rest = 0;
    for (int i = 3; i >= 0; --i) {
      rest = (rest << 32) | limb[i];
      quotient.limb[i] = static_cast<std::uint32_t>(rest / d);
      rest %= d;
    }
    return quotient;
  }
  // The nearest double: the top 64 significant bits, with any lower bit kept
  // as a sticky bit, round to 53 bits exactly as the whole number does.
  double toDouble() const {
    int top = 3;
    while (top > 0 && limb[top] == 0) --top;
    if (top < 2) return static_cast<double>((std::uint64_t{limb[1]} << 32) | limb[0]);
    const std::uint64_t high = (std::uint64_t{limb[top]} << 32) | limb[top - 1];
    int shift = 0;
    while ((high << shift) >> 63 == 0) ++shift;
    std::uint64_t bits = high << shift;
    const std::uint64_t next = top >= 2 ? limb[top - 2] : 0;
    if (shift > 0) bits |= next >> (32 - shift);
    bool sticky = (next << shift) & 0xFFFFFFFFu;
    for (int i = top - 3; i >= 0; --i) sticky = sticky || limb[i] != 0;
    return std::ldexp(static_cast<double>(bits | (sticky ? 1u : 0u)), 32 * (top - 1) - shift);
  }
};

// Exact weights by the multiplicative rule; exact sums; double division.
Line binomialLine(const Line& a, std::int32_t radius) {
  const std::int64_t r = std::min(radius, 60);
  std::vector<Wide> w(static_cast<std::size_t>(2 * r + 1));
  w[0] = Wide::of(1);
  for (std::int64_t k = 1; k <= 2 * r; ++k)
    w[static_cast<std::size_t>(k)] = w[static_cast<std::size_t>(k - 1)] * static_cast<std::uint32_t>(2 * r - k + 1) /
                                     static_cast<std::uint32_t>(k);
  const std::int64_t n = static_cast<std::int64_t>(a.size());
  Line o(a.size());
  for (std::int64_t i = 0; i < n; ++i) {
    Wide S, T;
    for (std::int64_t k = 0; k <= 2 * r; ++k) {
      const std::int64_t j = i - r + k;
      if (j < 0 || j >= n) continue;
      S = S + w[static_cast<std::size_t>(k)] * a[static_cast<std::size_t>(j)];
      T = T + w[static_cast<std::size_t>(k)];
    }
    o[static_cast<std::size_t>(i)] = R(S.toDouble() / T.toDouble());
  }
  return o;
}

Line filterLine(const Line& a, Kernel kernel, std::int32_t r) {
  switch (kernel) {
    case Kernel::box: return boxLine(a, r);
    case Kernel::gaussian: return gaussianLine(a, r);
    case Kernel::binomial: return binomialLine(a, r);
  }
  return a;
}

void referencePass(TestImage& image, Kernel kernel, bool horizontal, std::int32_t r) {
  const std::uint32_t lines = horizontal ? image.height : image.width;
  const std::uint32_t n = horizontal ? image.width : image.height;
  for (std::uint32_t l = 0; l < lines; ++l) {
    for (int c = 0; c < 4; ++c) {
      Line a(n);
      for (std::uint32_t i = 0; i < n; ++i) a[i] = horizontal ? image.channel(i, l, c) : image.channel(l, i, c);
      const Line o = filterLine(a, kernel, r);
      for (std::uint32_t i = 0; i < n; ++i) (horizontal ? image.channel(i, l, c) : image.channel(l, i, c)) = o[i];
    }
  }
}

}  // namespace

void referenceBlur(TestImage& image, Kernel kernel, Passes passes, std::int32_t radius) {
  if (radius < 1) return;
  if (passes != Passes::vertical) referencePass(image, kernel, true, radius);
  if (passes != Passes::horizontal) referencePass(image, kernel, false, radius);
}

void realBlur(TestImage& image, Kernel kernel, Passes passes, std::int32_t radius) {
  using Pass = void (*)(const tessaly::PixelRect&, std::int32_t);
  static constexpr Pass table[3][3] = {
      {tessaly::boxBlurHorizontal, tessaly::boxBlurVertical, tessaly::boxBlur},
      {tessaly::gaussianBlurHorizontal, tessaly::gaussianBlurVertical, tessaly::gaussianBlur},
      {tessaly::binomialBlurHorizontal, tessaly::binomialBlurVertical, tessaly::binomialBlur},
  };
  table[static_cast<int>(kernel)][static_cast<int>(passes)](image.rect(), radius);
}

}  // namespace blur_test
