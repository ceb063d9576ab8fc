// Formats are parsed at build time; these check what the parse produced.
#include "textio/format.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using textio::Op;

constexpr auto kRow = textio::format("('       ',I2,1P,E12.4,E12.4,E12.4)");
constexpr auto kHeader = textio::format("(A40,/,3I4)");
constexpr auto kPoints = textio::format("(2E18.10)");
constexpr auto kPoint = textio::format("(1PE13.5,TR2,E13.5)");
constexpr auto kPrompt = textio::format("( ' It''s \"quoted\" ' , $ )");
constexpr auto kTwoSlashes = textio::format("('a'2/'b')");

static_assert(kRow.data_count == 4);
static_assert(kHeader.data_count == 4 && kHeader.data_op(3) == Op::i);
static_assert(kPoints.count == 2 && kPoints.desc[1].w == 18 && kPoints.desc[1].d == 10);

// Lowercase descriptors, and numbers made of nines (the largest digit).
constexpr auto kLower = textio::format("(1p,2e59.9,tr9,i99,a9,-0p,9/)");
static_assert(kLower.count == 16 && kLower.data_count == 4);
static_assert(kLower.desc[0].op == Op::scale && kLower.desc[0].k == 1);
static_assert(kLower.desc[2].op == Op::e && kLower.desc[2].w == 59 && kLower.desc[2].d == 9);
static_assert(kLower.desc[3].op == Op::tr && kLower.desc[3].w == 9);
static_assert(kLower.desc[4].op == Op::i && kLower.desc[4].w == 99 && kLower.desc[5].op == Op::a);
static_assert(kLower.desc[6].op == Op::scale && kLower.desc[6].k == 0 && kLower.desc[15].op == Op::slash);
static_assert(kLower.data_op(1) == Op::e && kLower.data_op(2) == Op::i && kLower.data_op(3) == Op::a);
static_assert(textio::format("(I9999)").desc[0].w == 9999);
static_assert(textio::format("(E60.15)").desc[0].d == textio::kMaxEFraction);

// Every way a format can be malformed, each caught by the parse.
template <std::size_t N>
constexpr textio::FormatError error_of(const char (&text)[N]) {
  return textio::parse_format(text).error;
}
using E = textio::FormatError;
static_assert(error_of("(I4, E12.4, 'x', /, $)") == E::none);
static_assert(error_of("I4)") == E::not_open);
static_assert(error_of("(I4") == E::not_closed);
static_assert(error_of("(I4) x") == E::text_after_close);
static_assert(error_of("('abc)") == E::unterminated_text);
static_assert(error_of("(65/)") == E::too_many_descriptors);
static_assert(error_of("(64/)") == E::none);
static_assert(error_of("(A)") == E::number_expected);
static_assert(error_of("(E12.)") == E::number_expected);
static_assert(error_of("(I10000)") == E::number_too_large);
static_assert(error_of("(-I4)") == E::sign_without_scale);
static_assert(error_of("(-1I4)") == E::sign_not_before_p);
static_assert(error_of("(P)") == E::p_without_scale);
static_assert(error_of("(P,E12.4)") == E::p_without_scale);
static_assert(error_of("(2P)") == E::unsupported_scale);
static_assert(error_of("(-1P)") == E::unsupported_scale);
static_assert(error_of("(0I4)") == E::zero_repeat);
static_assert(error_of("(A0)") == E::a_without_width);
static_assert(error_of("(I0)") == E::i_without_width);
static_assert(error_of("(E12)") == E::e_without_point);
static_assert(error_of("(E12.0)") == E::e_without_digits);
static_assert(error_of("(E61.5)") == E::e_too_wide);
static_assert(error_of("(E20.16)") == E::e_too_wide);
static_assert(error_of("(2TR3)") == E::tr_with_repeat);
static_assert(error_of("(F8.3)") == E::unsupported_descriptor);
static_assert(error_of("(T5)") == E::unsupported_descriptor);

TEST(Format, DescriptorsInOrder) {
  const Op row[] = {Op::text, Op::i, Op::scale, Op::e, Op::e, Op::e};
  ASSERT_EQ(kRow.count, 6);
  for (int j = 0; j < 6; ++j) EXPECT_EQ(kRow.desc[j].op, row[j]) << j;
  EXPECT_EQ(kRow.desc[2].k, 1);
  EXPECT_EQ(std::string_view(kRow.pool + kRow.desc[0].at, kRow.desc[0].len), "       ");

  ASSERT_EQ(kPoint.count, 4);  // the scale written directly before E
  EXPECT_EQ(kPoint.desc[0].op, Op::scale);
  EXPECT_EQ(kPoint.desc[2].op, Op::tr);
  EXPECT_EQ(kPoint.desc[2].w, 2);
}

TEST(Format, QuotesAndRepeatedSlashes) {
  ASSERT_EQ(kPrompt.count, 2);
  EXPECT_EQ(std::string_view(kPrompt.pool + kPrompt.desc[0].at, kPrompt.desc[0].len), " It's \"quoted\" ");
  EXPECT_EQ(kPrompt.desc[1].op, Op::dollar);
  ASSERT_EQ(kTwoSlashes.count, 4);
  EXPECT_EQ(kTwoSlashes.desc[1].op, Op::slash);
  EXPECT_EQ(kTwoSlashes.desc[2].op, Op::slash);
}

}  // namespace
