// radomeview's conversions of text: number fields, integers, the numbers it
// writes, and records with their line ends.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "radomeview/lines.h"
#include "radomeview/source.h"
#include "radomeview/numtext.h"

namespace radomeview {
namespace {

TEST(ReadField, EveryKindOfField) {
  const struct {
    const char* text;
    Field kind;
    double value;
  } cases[] = {
      {"1.00000E+01", Field::number, 10},
      {"-4.37114E-07", Field::number, -4.37114e-07},
      {"0.1562500000E+01", Field::number, 1.5625},
      {"+2.5", Field::number, 2.5},
      {".5", Field::number, 0.5},
      {"-.5", Field::number, -0.5},
      {"1e-400", Field::number, 0},  // too small for a double: zero
      {"NaN", Field::not_finite, 0},
      {"Infinity", Field::not_finite, 0},
      {"-Infinity", Field::not_finite, 0},
      {"inf", Field::not_finite, 0},
      {"1e400", Field::not_finite, 0},
      {"*************", Field::asterisks, 0},
      {"*", Field::asterisks, 0},
      {"0.0000OE+00", Field::not_number, 0},
      {"1.5D3", Field::not_number, 0},
      {"0x10", Field::not_number, 0},
      {"", Field::empty, 0},
      {"+", Field::not_number, 0},
      {"-", Field::not_number, 0},
      {"1,5", Field::not_number, 0},
      {"**1", Field::not_number, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    double v = -1;
    EXPECT_EQ(read_field(c.text, &v), c.kind);
    if (c.kind == Field::number) {
      EXPECT_EQ(v, c.value);
    }
  }
}

// Most fields are read by a short route and the rest by std::from_chars:
// over decimals of every shape, both must give the same double, bit for bit.
TEST(ReadField, SameValueAsTheLibrary) {
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  const auto next = [&](std::uint64_t n) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state % n;
  };
  for (int i = 0; i < 300000; ++i) {
    std::string t;
    if (next(4) == 0) t += "-+"[next(2)];
    for (std::uint64_t k = next(i % 3 == 0 ? 24 : 9); k > 0; --k) t += static_cast<char>('0' + next(10));
    if (next(3) != 0) t += '.';
    for (std::uint64_t k = next(i % 5 == 0 ? 24 : 8); k > 0; --k) t += static_cast<char>('0' + next(10));
    if (next(2) == 0) {
      t += "eE"[next(2)];
      if (next(2) == 0) t += "+-"[next(2)];
      for (std::uint64_t k = next(4); k > 0; --k) t += static_cast<char>('0' + next(i % 7 == 0 ? 10 : 3));
    }
    if (next(50) == 0) t.insert(next(t.size() + 1), 1, "x. e-"[next(5)]);
    SCOPED_TRACE(t);
    const std::string_view body = !t.empty() && t[0] == '+' ? std::string_view(t).substr(1) : std::string_view(t);
    double want = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), want);
    double got = -1;
    const Field kind = read_field(t, &got);
    if (ec == std::errc() && end == body.data() + body.size() && !body.empty()) {
      ASSERT_EQ(kind, Field::number);
      ASSERT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(want)) << std::hexfloat << got;
    } else if (ec != std::errc::result_out_of_range) {
      ASSERT_NE(kind, Field::number);
    }
  }
}

TEST(ReadInteger, WholeNumbersOnly) {
  const struct {
    const char* text;
    bool ok;
    long long value;
  } cases[] = {{"10", true, 10},
               {"-2", true, -2},
               {"+7", true, 7},
               {"007", true, 7},
               {"+-5", true, -5},
               {"999999999999999999", true, 999999999999999999},
               {"9223372036854775807", true, 9223372036854775807},
               {"-9223372036854775808", true, -9223372036854775807 - 1},
               {"1.0", false, 0},
               {"****", false, 0},
               {"", false, 0},
               {"+", false, 0},
               {"-", false, 0},
               {"++5", false, 0},
               {"1e3", false, 0},
               {"9223372036854775808", false, 0},
               {"1000000000000000000", true, 1000000000000000000},
               {"77777777777777777777777", false, 0},
               {"12a", false, 0},
               {"a12", false, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    long long v = 0;
    EXPECT_EQ(read_integer(c.text, &v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(NumbersWritten, FixedTwoDecimalsAndShortest) {
  const struct {
    double v;
    const char* fixed;
  } cases[] = {{0, "0.00"},          {-0.0, "0.00"},        {-0.004, "0.00"},       {1.005, "1.00"},  // 1.00499999...
               {2.675, "2.67"},      {106, "106.00"},        {-12.345678, "-12.35"}, {1e12, "1000000000.00"},
               {-1e300, "-1000000000.00"}, {NAN, "0.00"}};
  for (const auto& c : cases) {
    std::string s;
    append_fixed2(s, c.v);
    EXPECT_EQ(s, c.fixed) << c.v;
  }
  // Against the correctly rounding library conversion, over doubles of
  // every size in the range kept, ties to even included.
  std::uint64_t state = 88172645463325252u;
  for (int i = 0; i < 200000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    double v = std::bit_cast<double>(state);
    if (!std::isfinite(v) || std::fabs(v) > 1e9) v = static_cast<double>(state % 200000000000u) / 128.0 - 7.8e8;
    if (i % 4 == 0) v = static_cast<double>(static_cast<long long>(state % 2000000) - 1000000) / 8;  // exact ties
    char b[64];
    std::string want(b, std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, 2).ptr);
    if (want == "-0.00") want = "0.00";
    std::string got;
    append_fixed2(got, v);
    ASSERT_EQ(got, want) << std::hexfloat << v;
  }
  EXPECT_EQ(shortest(0.25), "0.25");
  EXPECT_EQ(shortest(1e16), "1e+16");
  EXPECT_EQ(shortest(-4.37114e-07), "-4.37114e-07");
  EXPECT_EQ(shown("ab"), "'ab'");
  EXPECT_EQ(shown(std::string(50, 'x')), "'" + std::string(40, 'x') + "...'");
}

struct Record {
  std::string text;
  bool lf_alone, no_end, too_long;
};

std::vector<Record> records_of(const std::string& bytes) {
  MemorySource source(bytes);
  LineReader lines(source, nullptr);
  std::vector<Record> out;
  std::string_view r;
  while (lines.next(&r)) {
    EXPECT_EQ(lines.number(), out.size() + 1);
    out.push_back({std::string(r.substr(0, 8)), lines.lf_alone(), lines.no_line_end(), lines.too_long()});
  }
  return out;
}

TEST(LineReader, LineEndsAndLongRecords) {
  const std::string long_record(LineReader::kBuffer + 100, 'y');
  const struct {
    std::string bytes;
    std::vector<Record> want;
  } cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {{"a", false, false, false}, {"b", false, false, false}}},
      {"a\nb\r\n", {{"a", true, false, false}, {"b", false, false, false}}},
      {"a\r\nb", {{"a", false, false, false}, {"b", false, true, false}}},
      {"abc\r\nxy", {{"abc", false, false, false}, {"xy", false, true, false}}},
      {"\r\n\n", {{"", false, false, false}, {"", true, false, false}}},
      {"a\rb\n", {{"a\rb", true, false, false}}},
      {"x\r\n" + long_record + "\r\nz\r\n",
       {{"x", false, false, false}, {"yyyyyyyy", false, false, true}, {"z", false, false, false}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 20));
    const auto got = records_of(c.bytes);
    ASSERT_EQ(got.size(), c.want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].text, c.want[i].text) << i;
      EXPECT_EQ(got[i].lf_alone, c.want[i].lf_alone) << i;
      EXPECT_EQ(got[i].no_end, c.want[i].no_end) << i;
      EXPECT_EQ(got[i].too_long, c.want[i].too_long) << i;
    }
  }
}

// Records straddling the buffer's refills come out whole.
TEST(LineReader, RecordsAcrossRefills) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += std::to_string(i) + "  0.1562500000E+01\r\n";
  MemorySource source(bytes);
  LineReader lines(source, nullptr);
  std::string_view r;
  int n = 0;
  while (lines.next(&r)) {
    ASSERT_EQ(r, std::to_string(n) + "  0.1562500000E+01");
    ++n;
  }
  EXPECT_EQ(n, 5000);
}

}  // namespace
}  // namespace radomeview
