// The portable decimal reader against the C++ library's std::from_chars: the
// same double, the same end and the same error for every text, hard cases
// and a large random sample, so that a platform without from_chars for
// doubles reads every file the same.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "radomeview/decimal.h"

namespace radomeview {
namespace {

struct Read {
  std::uint64_t bits = 0;
  std::ptrdiff_t used = 0;
  std::errc ec{};
  bool operator==(const Read&) const = default;
};

constexpr double kUntouched = 12345.5;

Read via_library(const std::string& s) {
  double v = kUntouched;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  // Any NaN is a NaN: only its sign is kept in the comparison.
  if (std::isnan(v)) v = std::copysign(std::numeric_limits<double>::quiet_NaN(), v);
  return {std::bit_cast<std::uint64_t>(v), r.ptr - s.data(), r.ec};
}

Read via_portable(const std::string& s) {
  double v = kUntouched;
  const auto r = read_decimal(s.data(), s.data() + s.size(), v);
  if (std::isnan(v)) v = std::copysign(std::numeric_limits<double>::quiet_NaN(), v);
  return {std::bit_cast<std::uint64_t>(v), r.ptr - s.data(), r.ec};
}

std::string describe(const Read& r) {
  return std::to_string(std::bit_cast<double>(r.bits)) + " bits " + std::to_string(r.bits) + " used " +
         std::to_string(r.used) + " ec " + std::to_string(static_cast<int>(r.ec));
}

void expect_same(const std::string& text) {
  const Read want = via_library(text), got = via_portable(text);
  EXPECT_TRUE(want == got) << "'" << text.substr(0, 80) << (text.size() > 80 ? "...'" : "'") << "\n  library  "
                           << describe(want) << "\n  portable " << describe(got);
}

// The exact decimal expansion of a long double, in scientific form.
std::string exact(long double v) {
  char b[1200];
  const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::scientific, 1100);
  std::string s(b, r.ptr);
  // Trailing zeros of the mantissa say nothing.
  const std::size_t e = s.find('e');
  std::size_t end = e;
  while (end > 0 && s[end - 1] == '0') --end;
  if (s[end - 1] == '.') --end;
  return s.substr(0, end) + s.substr(e);
}

TEST(Decimal, HardCases) {
  const std::string tie = "1.00000000000000011102230246251565404236316680908203125";  // 1 + 2^-53
  const char* cases[] = {
      // forms
      "0", "-0", "0.0", "00012", "1.", ".5", "-.5", "1e5", "1E+5", "1e-5", "1e", "1e+", "1e-", "1ex", "1.5.2",
      "12abc", ".", "-", "-.", "", "e5", "+1", " 1", "0x10", "1d5", "1_000",
      "inf", "-INF", "Infinity", "infinit", "infinityx", "nan", "-NaN", "nan()", "nan(123abc)", "nan(", "nan(1",
      "nan(a-b)", "in", "na",
      // rounding at the edges of the formats
      "9007199254740992", "9007199254740993", "9007199254740993.0000000000000000001", "9007199254740995",
      "0.1", "0.2", "0.3", "1e23", "8.589973e9", "123456789012345678901234567890", "3.14159265358979323846",
      "2.2250738585072011e-308", "2.2250738585072012e-308", "2.2250738585072014e-308",
      "4.9406564584124654e-324", "2.4703282292062327e-324", "2.4703282292062328e-324", "2.47032822920623272e-324",
      "1e-320", "1e-310", "5e-324", "3e-324", "1e-324", "1e-400", "-1e-400", "0e-999999", "0e999999999999",
      "1.7976931348623157e308", "1.7976931348623158e308", "1.7976931348623159e308", "1e308", "1e309", "-1e400",
      "1e-99999999999999999999", "1e99999999999999999999", "0.000000000000000000000000000001e30",
      "100000000000000000000000e-23", "1448997445238699", "179769313486231580793728971405301e276",
      // 1 + 2^-53: a tie to even; just above it; just below it
      "1.00000000000000011102230246251565404236316680908203125",
      "1.000000000000000111022302462515654042363166809082031251",
      "1.000000000000000111022302462515654042363166809082031249",
  };
  for (const char* c : cases) expect_same(c);
  // A tie decided by a digit beyond the ones that can matter, and the same
  // tie spelled with many zeros.
  expect_same(tie + std::string(900, '0') + "1");
  expect_same(tie + std::string(900, '0'));
  expect_same(std::string(900, '0') + tie);
  expect_same("0." + std::string(330, '0') + "1");
  expect_same("1" + std::string(330, '0'));
  expect_same(std::string(400, '9') + "e-400");
}

TEST(Decimal, RandomSample) {
  std::mt19937_64 random(20261209);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  char b[64];
  for (int i = 0; i < 40000; ++i) {
    // Any double, written shortest, with 17 digits, and cut short.
    const double d = std::bit_cast<double>(random());
    if (!std::isfinite(d)) continue;
    expect_same(std::string(b, std::to_chars(b, b + sizeof b, d).ptr));
    const std::string s17(b, std::to_chars(b, b + sizeof b, d, std::chars_format::scientific, 16).ptr);
    expect_same(s17);
    const std::size_t e = s17.find('e');
    expect_same(s17.substr(0, static_cast<std::size_t>(pick(2, static_cast<int>(e)))) + s17.substr(e));
    // Random digits and exponents, in and out of range.
    std::string digits;
    for (int n = pick(1, 30); n > 0; --n) digits += static_cast<char>('0' + pick(0, 9));
    const std::size_t point = static_cast<std::size_t>(pick(0, static_cast<int>(digits.size())));
    expect_same(digits.substr(0, point) + "." + digits.substr(point) + "e" + std::to_string(pick(-360, 330)));
    expect_same(digits + "e" + std::to_string(pick(-25, 25)));
  }
}

// Halfway between two neighbouring doubles, and a unit of the last decimal
// either side: the cases a reader that stops early gets wrong.
TEST(Decimal, HalfwayPoints) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 3000; ++i) {
    double d = std::bit_cast<double>(random() >> 1);  // positive
    if (!std::isfinite(d)) continue;
    if (i % 3 == 0) d = std::ldexp(1.0 + std::ldexp(static_cast<double>(random() >> 12), -52), static_cast<int>(random() % 2100) - 1074);
    if (!std::isfinite(d) || d == 0) continue;
    const double next = std::nextafter(d, HUGE_VAL);
    if (!std::isfinite(next)) continue;
    const long double mid = (static_cast<long double>(d) + static_cast<long double>(next)) / 2;
    const std::string m = exact(mid);
    expect_same(m);
    const std::size_t e = m.find('e');
    std::string below = m.substr(0, e), above = below;
    if (below.find('.') == std::string::npos) below += '.', above += '.';
    above += "000001";
    // The digit before the exponent is not 0 (trailing zeros were cut).
    below.back() = static_cast<char>(below.back() - 1);
    below += "999999";
    expect_same(above + m.substr(e));
    expect_same(below + m.substr(e));
  }
}

TEST(Decimal, ParseDoubleIsTheLibraryHere) {
  // Where the library reads doubles, parse_double is that reader.
  for (const char* s : {"0.1", "1e400", "nan(x)", "abc", "2.4703282292062328e-324"}) {
    const std::string t = s;
    double a = kUntouched, b = kUntouched;
    const auto ra = parse_double(t.data(), t.data() + t.size(), a);
    const auto rb = std::from_chars(t.data(), t.data() + t.size(), b);
    EXPECT_EQ(ra.ptr, rb.ptr) << s;
    EXPECT_EQ(ra.ec, rb.ec) << s;
    EXPECT_EQ(std::isnan(a) ? 0 : std::bit_cast<std::uint64_t>(a), std::isnan(b) ? 0 : std::bit_cast<std::uint64_t>(b)) << s;
  }
}

}  // namespace
}  // namespace radomeview
