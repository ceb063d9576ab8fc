#include "textio/edit.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "textio/format.h"
#include "unit/exact_reference.h"

namespace {

float from_bits(std::uint32_t b) { return std::bit_cast<float>(b); }

std::string e(float x, int w, int d, int k) {
  std::string out(static_cast<std::size_t>(w), '?');
  textio::edit_e(out.data(), x, w, d, k);
  return out;
}

std::string i(std::int32_t v, int w) {
  std::string out(static_cast<std::size_t>(w), '?');
  textio::edit_i(out.data(), v, w);
  return out;
}

std::string list(float x) {
  std::string out(textio::kListFloatWidth, '?');
  textio::edit_list_float(out.data(), x);
  return out;
}

struct ECase {
  float x;
  int w, d, k;
  const char* want;
};

TEST(EditE, WorkedValues) {
  const ECase cases[] = {
      {12.3456789f, 13, 5, 1, "  1.23457E+01"},
      {-0.00123f, 12, 4, 1, " -1.2300E-03"},
      {-0.5f, 13, 5, 1, " -5.00000E-01"},
      {1234565.0f, 13, 5, 1, "  1.23456E+06"},  // a tie goes to the even digit
      {1234575.0f, 13, 5, 1, "  1.23458E+06"},
      {12.3456789f, 18, 10, 0, "  0.1234567928E+02"},
      {-12.3456789f, 18, 10, 0, " -0.1234567928E+02"},
      {0.0f, 18, 10, 0, "  0.0000000000E+00"},
      {0.0f, 13, 5, 1, "  0.00000E+00"},
      {-0.0f, 13, 5, 1, "  0.00000E+00"},
      {0.0f, 12, 4, 1, "  0.0000E+00"},
      {9.999999f, 13, 5, 1, "  1.00000E+01"},  // the carry raises the exponent
      {10.0f, 13, 5, 1, "  1.00000E+01"},
      {-2.5f, 13, 5, 1, " -2.50000E+00"},
      {25.0f, 18, 10, 0, "  0.2500000000E+02"},
      {-1.5625f, 18, 10, 0, " -0.1562500000E+01"},
      {0.25f, 12, 4, 1, "  2.5000E-01"},
      {-1.5f, 12, 4, 1, " -1.5000E+00"},
      {-0.001f, 12, 4, 1, " -1.0000E-03"},
      {30.0f, 12, 4, 1, "  3.0000E+01"},
      {std::numeric_limits<float>::max(), 13, 5, 1, "  3.40282E+38"},
      {std::numeric_limits<float>::denorm_min(), 13, 5, 1, "  1.40130E-45"},
      {std::numeric_limits<float>::denorm_min(), 18, 10, 0, "  0.1401298464E-44"},
      {std::numeric_limits<float>::min(), 18, 10, 0, "  0.1175494351E-37"},
  };
  for (const ECase& c : cases) {
    EXPECT_EQ(e(c.x, c.w, c.d, c.k), c.want) << c.x << " E" << c.w << "." << c.d << " scale " << c.k;
  }
}

TEST(EditE, NotFiniteValues) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(e(-inf, 13, 5, 1), " -Infinity   ");
  EXPECT_EQ(e(inf, 13, 5, 1), " Infinity    ");
  EXPECT_EQ(e(nan, 13, 5, 1), " NaN         ");
  EXPECT_EQ(e(-nan, 18, 10, 0), " NaN              ");  // never with a sign
  EXPECT_EQ(e(-inf, 12, 4, 1), " -Infinity  ");
  EXPECT_EQ(e(-inf, 9, 2, 1), "*********");
}

TEST(EditE, NarrowFieldsDropTheOptionalZeroThenOverflow) {
  EXPECT_EQ(e(12.3456789f, 16, 10, 0), "0.1234567928E+02");
  EXPECT_EQ(e(12.3456789f, 15, 10, 0), ".1234567928E+02");
  EXPECT_EQ(e(-12.3456789f, 16, 10, 0), "-.1234567928E+02");
  EXPECT_EQ(e(12.3456789f, 14, 10, 0), "**************");
  EXPECT_EQ(e(-12.3456789f, 10, 5, 1), "**********");
  std::string out(10, '?');
  EXPECT_FALSE(textio::edit_e(out.data(), -12.3456789f, 10, 5, 1));
  EXPECT_TRUE(textio::edit_e(out.data(), -12.3456789f, 12, 5, 1));
}

TEST(EditI, Widths) {
  EXPECT_EQ(i(5, 12), "           5");
  EXPECT_EQ(i(37, 12), "          37");
  EXPECT_EQ(i(-5, 2), "-5");
  EXPECT_EQ(i(-10, 2), "**");
  EXPECT_EQ(i(10, 1), "*");
  EXPECT_EQ(i(0, 1), "0");
  EXPECT_EQ(i(21, 4), "  21");
  EXPECT_EQ(i(9999, 4), "9999");
  EXPECT_EQ(i(10000, 4), "****");
  EXPECT_EQ(i(INT32_MIN, 12), " -2147483648");
  EXPECT_EQ(i(INT32_MIN, 11), "-2147483648");
  EXPECT_EQ(i(INT32_MAX, 11), " 2147483647");
  EXPECT_EQ(i(INT32_MIN, 4), "****");
  std::string out(1, '?');
  EXPECT_FALSE(textio::edit_i(out.data(), 10, 1));
  EXPECT_TRUE(textio::edit_i(out.data(), 9, 1));
}

TEST(EditA, JustificationAndTruncation) {
  char out[8];
  textio::edit_a(out, "ab", 2, 5);
  EXPECT_EQ(std::string(out, 5), "   ab");
  textio::edit_a(out, "abcdef", 6, 3);
  EXPECT_EQ(std::string(out, 3), "abc");
  textio::edit_a(out, "m ", 2, 2);
  EXPECT_EQ(std::string(out, 2), "m ");
}

TEST(EditList, WorkedValues) {
  const struct {
    float x;
    const char* want;
  } cases[] = {
      {3.14159274f, "   3.141593    "},   {0.5f, "  0.5000000    "},   {45.0f, "   45.00000    "},
      {1234567.0f, "   1234567.    "},   {-2.5f, "  -2.500000    "},   {12345678.0f, "  1.2345678E+07"},
      {0.05f, "  5.0000001E-02"},      {1.0e10f, "  1.0000000E+10"},  {-0.001f, " -1.0000000E-03"},
      {0.0f, "  0.0000000E+00"},       {-0.0f, "  0.0000000E+00"},   {9999999.0f, "   9999999.    "},
      {0.1f, "  0.1000000    "},       {-0.1f, " -0.1000000    "},   {-1234567.0f, "  -1234567.    "},
      {0.099999994f, "  9.9999994E-02"},  // below 0.1 after rounding: exponent form
      {9999998.0f, "   9999998.    "},   {10000000.0f, "  1.0000000E+07"},
      {0.099999997f, "  9.9999994E-02"}, {0.1000000015f, "  0.1000000    "},
  };
  for (const auto& c : cases) EXPECT_EQ(list(c.x), c.want) << c.x;
  EXPECT_EQ(list(std::numeric_limits<float>::quiet_NaN()), " NaN           ");
  EXPECT_EQ(list(-std::numeric_limits<float>::infinity()), " -Infinity     ");
}

// Every width, digit count and scale the format language allows, against the
// exact reference, for values that reach each digit path, carry and tie.
TEST(EditAgainstReference, EveryWidthAndDigitCount) {
  const float values[] = {
      0.0f, -0.0f, 1.0f, -1.0f, 9.5f, 0.95f, -9.999999f, 0.5f, 1234565.0f, 1234575.0f, 12.3456789f,
      -0.00123f, 1.0e10f, 6.02214e23f, -3.0e38f, 1.0e-30f, std::numeric_limits<float>::max(),
      std::numeric_limits<float>::min(), -std::numeric_limits<float>::denorm_min(),
      from_bits(0x00012345u), std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
      std::numeric_limits<float>::quiet_NaN()};
  for (const float x : values) {
    for (int k = 0; k <= 1; ++k) {
      for (int d = 1; d <= textio::kMaxEFraction; ++d) {
        for (int w = 1; w <= textio::kMaxEWidth; ++w) {
          const std::string want = reference::e_field(x, w, d, k);
          std::string out(static_cast<std::size_t>(w) + 1, '?');
          const bool fits = textio::edit_e(out.data(), x, w, d, k);
          ASSERT_EQ(out, want + '?') << x << " E" << w << "." << d << " scale " << k;
          ASSERT_EQ(fits, want[0] != '*') << x << " E" << w << "." << d << " scale " << k;
        }
      }
    }
  }
}

// Every field the programs use, against the exact reference.
void expect_all_fields_match(float x) {
  ASSERT_EQ(e(x, 13, 5, 1), reference::e_field(x, 13, 5, 1)) << std::bit_cast<std::uint32_t>(x);
  ASSERT_EQ(e(x, 12, 4, 1), reference::e_field(x, 12, 4, 1)) << std::bit_cast<std::uint32_t>(x);
  ASSERT_EQ(e(x, 18, 10, 0), reference::e_field(x, 18, 10, 0)) << std::bit_cast<std::uint32_t>(x);
  ASSERT_EQ(list(x), reference::list_float(x)) << std::bit_cast<std::uint32_t>(x);
}

TEST(EditAgainstReference, EveryExponentAndSpecialValue) {
  std::mt19937 gen(20261208);
  for (std::uint32_t biased = 0; biased < 256; ++biased) {
    for (std::uint32_t sign = 0; sign < 2; ++sign) {
      const std::uint32_t base = (sign << 31) | (biased << 23);
      for (std::uint32_t m : {0u, 1u, 2u, 0x7FFFFFu, 0x400000u, 0x3FFFFFu}) expect_all_fields_match(from_bits(base | m));
      for (int j = 0; j < 64; ++j) expect_all_fields_match(from_bits(base | (gen() & 0x7FFFFFu)));
    }
  }
}

// A million by default; EDIT_REFERENCE_FLOATS asks for more (and
// EDIT_REFERENCE_SEED for another sequence) when the editing code changes.
TEST(EditAgainstReference, RandomFloats) {
  const char* count = std::getenv("EDIT_REFERENCE_FLOATS");
  const char* seed = std::getenv("EDIT_REFERENCE_SEED");
  const long n = count != nullptr ? std::atol(count) : 1'000'000;
  std::mt19937 gen(seed != nullptr ? static_cast<unsigned>(std::atol(seed)) : 7u);
  for (long j = 0; j < n; ++j) expect_all_fields_match(from_bits(static_cast<std::uint32_t>(gen())));
}

// Values near decimal ties and round numbers, where a wrong rounding shows.
TEST(EditAgainstReference, NearDecimalBoundaries) {
  for (double p = 1e-40; p < 1e38; p *= 10) {
    for (double mant : {1.0, 1.5, 2.5, 9.99999, 9.999995, 1.234565, 1.2345675, 5.0}) {
      const float x = static_cast<float>(mant * p);
      for (int step = -3; step <= 3; ++step) {
        const float y = std::nextafter(x, step < 0 ? 0.0f : 3e38f);
        expect_all_fields_match(step == 0 ? x : y);
        expect_all_fields_match(-(step == 0 ? x : y));
      }
    }
  }
}

}  // namespace
