// The pure free-form scanner: tokens in, values or message numbers out.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

#include "textio/scan.h"

namespace {

TEST(Scan, NumberTokens) {
  struct {
    const char* token;
    int status;
    bool integer_form;
  } cases[] = {
      {"3", 0, true},     {"-3", 0, true},    {"1-2", 0, true},    {"3.", 0, false}, {".5", 0, false},
      {"1e5", 0, false},  {"1.5+3", 0, false}, {"1d-3", 0, false}, {"--5", 59, false}, {"1..5", 59, false},
      {"1.5.", 59, false}, {"E5", 59, false}, {"1E5E2", 59, false}, {"+", 59, false}, {".", 59, false},
      {"1-", 59, false},  {"1+E5", 59, false}, {"1_0", 59, false}, {"", 59, false},
  };
  for (const auto& c : cases) {
    bool integer_form = false;
    EXPECT_EQ(textio::scan_number(c.token, &integer_form), c.status) << c.token;
    if (c.status == 0) {
      EXPECT_EQ(integer_form, c.integer_form) << c.token;
    }
  }
}

TEST(Scan, NineDigitGroupsAndPowersOfTen) {
  // Digits past the 17th still count through the nine-digit accumulation.
  double v = 0;
  ASSERT_EQ(textio::convert_real("1234567891.5", &v), 0);
  EXPECT_EQ(v, 1234567891.5);
  ASSERT_EQ(textio::convert_real("000000000000000000001e-3", &v), 0);
  EXPECT_EQ(v, 0.001);
  ASSERT_EQ(textio::convert_real("-0.0", &v), 0);
  EXPECT_TRUE(std::signbit(v));
  ASSERT_EQ(textio::convert_real("1e400", &v), 0);
  EXPECT_TRUE(std::isinf(v));
  float f = 0;
  EXPECT_EQ(textio::convert_float("1e400", &f), textio::kMsgInputConversion);
  EXPECT_EQ(textio::convert_float("12.3456789", &f), 0);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(f), std::bit_cast<std::uint32_t>(12.3456789f));
}

}  // namespace
