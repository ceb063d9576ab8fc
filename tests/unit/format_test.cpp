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
