#include "textio/digits.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>

#include "unit/exact_reference.h"

namespace {

TEST(DecimalDigits, CarryAndExponent) {
  char d[17];
  EXPECT_EQ(textio::decimal_digits(9.999999f, 6, d), 2);
  EXPECT_EQ(std::string(d, 6), "100000");
  EXPECT_EQ(textio::decimal_digits(1.0f, 1, d), 1);
  EXPECT_EQ(std::string(d, 1), "1");
  EXPECT_EQ(textio::decimal_digits(0.125f, 16, d), 0);
  EXPECT_EQ(std::string(d, 16), "1250000000000000");
  EXPECT_EQ(textio::decimal_digits(3.0e38f, 16, d), 39);
  EXPECT_EQ(textio::decimal_digits(std::numeric_limits<float>::denorm_min(), 16, d), -44);
  EXPECT_EQ(std::string(d, 16), "1401298464324817");
}

// Every digit count at every binary exponent: the 64-bit, 128-bit, division
// and multi-word paths all meet their edges here (the exact expansion is made
// once per value, so this stays cheap).
TEST(DecimalDigits, EveryCountAtEveryExponent) {
  for (std::uint32_t biased = 0; biased < 255; ++biased) {
    for (std::uint32_t m : {1u, 0x7FFFFFu, 0x400000u, 0x2AAAABu}) {
      const float x = std::bit_cast<float>((biased << 23) | m);
      const reference::Decimal exact = reference::exact(x);
      for (int n = 1; n <= textio::kMaxDigits; ++n) {
        const reference::Decimal want = reference::round(exact, n);
        char got[textio::kMaxDigits];
        const int e = textio::decimal_digits(x, n, got);
        ASSERT_EQ(std::string(got, static_cast<std::size_t>(n)), want.digits) << std::hexfloat << x << " n=" << n;
        ASSERT_EQ(e, want.exponent) << std::hexfloat << x << " n=" << n;
      }
    }
  }
}

}  // namespace
