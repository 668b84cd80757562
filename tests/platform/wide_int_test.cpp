// The limb form of the rasteriser's 128-bit integer: products, quotients and
// remainders of signed 64-bit factors, checked by the identities of division
// everywhere and against the compiler's own 128-bit type where it has one.
#include "d3d9/raster/wide_int.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

namespace {

using swd3d::raster::Int128Limbs;

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

TEST(Int128LimbsTest, ProductsPastSixtyFourBitsDivideBackExactly) {
  struct Case {
    std::int64_t a, b, r;
  };
  const Case cases[] = {
      {kMax, kMax, 0},       {kMin, kMax, -5},         {kMin, kMin, 3},
      {kMax, -1, 0},         {-1, kMin, 0},            {1, 1, 0},
      {0, 7, -6},            {-7, 2, -1},              {std::int64_t{1} << 40, 3, 2}, 
      {-(std::int64_t{1} << 38), (std::int64_t{1} << 38) + 1, -(std::int64_t{1} << 38)},
  };
  for (const Case& c : cases) {
    // r has the product's sign (or is 0) and |r| < |b|, so (a·b + r) / b is a and % b is r.
    const Int128Limbs n = Int128Limbs(c.a) * Int128Limbs(c.b) + Int128Limbs(c.r);
    EXPECT_EQ(static_cast<std::int64_t>(n / c.b), c.a) << c.a << " " << c.b << " " << c.r;
    EXPECT_EQ(static_cast<std::int64_t>(n % c.b), c.r) << c.a << " " << c.b << " " << c.r;
  }
}

TEST(Int128LimbsTest, OrdersAndNegatesAcrossTheLimbBoundary) {
  const Int128Limbs big = Int128Limbs(kMax) * 4;  // past 64 bits
  EXPECT_TRUE(-big < Int128Limbs(kMin));
  EXPECT_TRUE(big > Int128Limbs(kMax));
  EXPECT_TRUE(Int128Limbs(-1) < Int128Limbs(0));
  EXPECT_TRUE(Int128Limbs(0) <= Int128Limbs(0));
  EXPECT_EQ(-(-big), big);
  EXPECT_EQ(big - big, Int128Limbs(0));
  EXPECT_EQ(big / kMax, Int128Limbs(4));
  EXPECT_EQ((-big) / 4, Int128Limbs(-kMax));
  // Truncation towards zero; the remainder keeps the numerator's sign.
  EXPECT_EQ(Int128Limbs(-7) / 2, Int128Limbs(-3));
  EXPECT_EQ(Int128Limbs(-7) % 2, Int128Limbs(-1));
  EXPECT_EQ(Int128Limbs(7) / -2, Int128Limbs(-3));
  EXPECT_EQ(Int128Limbs(7) % -2, Int128Limbs(1));
}

TEST(Int128LimbsTest, RandomFactorsKeepTheDivisionIdentity) {
  std::mt19937_64 rng(17);
  for (int i = 0; i < 20000; ++i) {
    const int shiftA = static_cast<int>(rng() % 63), shiftB = static_cast<int>(rng() % 63);
    const std::int64_t a = static_cast<std::int64_t>(rng()) >> shiftA;
    std::int64_t b = static_cast<std::int64_t>(rng()) >> shiftB;
    if (b == 0) b = 1;
    const std::int64_t d = static_cast<std::int64_t>(rng()) >> (shiftB + 1 > 62 ? 62 : shiftB + 1);
    const Int128Limbs n = Int128Limbs(a) * b + d;
    const Int128Limbs q = n / b, r = n % b;
    ASSERT_EQ(q * b + r, n) << a << " " << b << " " << d;
    ASSERT_TRUE(r == 0 || ((r < 0) == (n < 0))) << a << " " << b << " " << d;
#if defined(__SIZEOF_INT128__)
    const __int128 wide = static_cast<__int128>(a) * b + d;
    ASSERT_EQ(static_cast<std::int64_t>(q), static_cast<std::int64_t>(wide / b));
    ASSERT_EQ(static_cast<std::int64_t>(r), static_cast<std::int64_t>(wide % b));
    ASSERT_EQ(n < 0, wide < 0);
#endif
  }
}

}  // namespace
