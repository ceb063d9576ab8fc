#include "radomeview/numtext.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstring>

#include "radomeview/decimal.h"

namespace radomeview {

namespace {

// The powers of ten that a double holds exactly.
constexpr double kExact10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool digit(char c) { return static_cast<unsigned>(c - '0') < 10; }
bool ends_field(const char* p, const char* end) { return p == end || *p == ' ' || *p == '\t'; }

}  // namespace

// The common plain decimal (an optional minus, at most 19 significant digits,
// a point, an exponent) whose digits w and power q of ten are exact in a
// double: w * 10^q is then one correctly rounded operation, the very value
// std::from_chars gives, at a fraction of its cost.
const char* scan_decimal(const char* p, const char* end, double* value) {
  if (p != end && *p == '+') ++p;
  const bool minus = p != end && *p == '-';
  if (minus) ++p;
  const char* const first = p;
  while (p != end && *p == '0') ++p;  // leading zeros count for nothing
  const char* const significant = p;
  std::uint64_t w = 0;
  for (; p != end && digit(*p); ++p) w = w * 10 + static_cast<unsigned>(*p - '0');
  int digits = static_cast<int>(p - significant), scale = 0;
  bool any = p != first;
  if (p != end && *p == '.') {
    const char* const point = ++p;
    if (w == 0) {
      while (p != end && *p == '0') ++p;
    }
    const char* const from = p;
    for (; p != end && digit(*p); ++p) w = w * 10 + static_cast<unsigned>(*p - '0');
    digits += static_cast<int>(p - from);
    scale = -static_cast<int>(p - point);
    any = any || p != point;
  }
  if (!any || digits > 19) return nullptr;
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    if (p == end || !digit(*p)) return nullptr;
    int e = 0;
    for (; p != end && digit(*p); ++p) {
      if (e > 999) return nullptr;
      e = e * 10 + (*p - '0');
    }
    scale += negative ? -e : e;
  }
  if (!ends_field(p, end) || w > (std::uint64_t{1} << 53)) return nullptr;
  if (w == 0) scale = 0;
  if (scale < -22 || scale > 22) return nullptr;
  const double d = static_cast<double>(w);
  const double v = scale < 0 ? d / kExact10[-scale] : d * kExact10[scale];
  *value = minus ? -v : v;
  return p;
}

Field read_field(std::string_view t, double* value) {
  if (t.empty()) return Field::empty;
  if (scan_decimal(t.data(), t.data() + t.size(), value) == t.data() + t.size()) return Field::number;
  if (t.find_first_not_of('*') == std::string_view::npos) return Field::asterisks;
  std::string_view body = t;
  if (body[0] == '+') body.remove_prefix(1);
  if (body.empty()) return Field::not_number;
  // from_chars also takes "nan" and "inf" in any case, and a hexadecimal
  // form never; only a plain decimal number or one of those words is read.
  const char first = body[0] == '-' ? (body.size() > 1 ? body[1] : '\0') : body[0];
  const bool decimal = (first >= '0' && first <= '9') || first == '.';
  double v = 0;
  const auto [end, ec] = parse_double(body.data(), body.data() + body.size(), v);
  if (end != body.data() + body.size()) return Field::not_number;
  if (ec == std::errc::result_out_of_range) {
    // Too small for a double reads as zero; too large is not finite.
    const std::size_t e = body.find_first_of("eE");
    if (decimal && e != std::string_view::npos && e + 1 < body.size() && body[e + 1] == '-') {
      *value = 0;
      return Field::number;
    }
    *value = body[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    return decimal ? Field::not_finite : Field::not_number;
  }
  if (ec != std::errc()) return Field::not_number;
  *value = v;
  if (!std::isfinite(v)) return Field::not_finite;
  return decimal ? Field::number : Field::not_number;
}

bool read_integer(std::string_view t, long long* value) {
  if (scan_whole(t.data(), t.data() + t.size(), value) == t.data() + t.size()) return true;
  if (!t.empty() && t[0] == '+') t.remove_prefix(1);
  if (t.empty()) return false;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), *value);
  return ec == std::errc() && end == t.data() + t.size();
}

std::string shortest(double v) {
  char b[32];
  const auto r = std::to_chars(b, b + sizeof b, v);
  return std::string(b, r.ptr);
}

std::string six_digits(double v) {
  char b[32];
  const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::general, 6);
  return std::string(b, r.ptr);
}

char* put_fixed2(char* to, double v) {
  // Drawing coordinates: anything beyond a billion pixels is off the picture
  // anyway, and a NaN is drawn at the origin rather than written.
  if (!(v > -1e9)) v = v != v ? 0 : -1e9;
  if (v > 1e9) v = 1e9;
  // |v| = m * 2^e exactly; |v| * 100 rounded to the nearest whole number,
  // ties to even, from the exact product: the digits a correctly rounding
  // conversion gives, without its cost (a picture has millions of them).
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
  const int biased = static_cast<int>(bits >> 52 & 0x7FF);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e = biased - 1075;
  if (biased == 0) {
    e = -1074;
  } else {
    m |= std::uint64_t{1} << 52;
  }
  std::uint64_t hundredths = 0;
  if (e >= 0) {
    hundredths = (m << e) * 100;  // |v| <= 1e9: no overflow
  } else if (e > -64) {
    const std::uint64_t product = m * 100;  // below 2^60
    const int shift = -e;
    const std::uint64_t whole = shift >= 64 ? 0 : product >> shift;
    const std::uint64_t rest = product - (whole << shift);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    hundredths = whole + (rest > half || (rest == half && (whole & 1) != 0) ? 1 : 0);
  }  // else |v| < 2^-11: 0.00
  // The digits from the right, two at a time, written where they belong:
  // built elsewhere and copied, they would be read back before the writes
  // have settled, which costs more than the digits themselves.
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  std::uint64_t units = hundredths / 100;
  const std::size_t cents = hundredths % 100;
  const bool minus = bits >> 63 && hundredths != 0;  // "-0.00" is written as "0.00"
  if (units < 10000) {
    // A picture's own coordinates, nearly every number: from the left, at
    // fixed places.
    const auto pair = [&](char* at, std::size_t two) {
      at[0] = kPairs[2 * two];
      at[1] = kPairs[2 * two + 1];
    };
    char* p = to;
    if (minus) *p++ = '-';
    const std::size_t high = units / 100, low = units % 100;
    if (high >= 10) {
      pair(p, high);
      pair(p + 2, low);
      p += 4;
    } else if (high > 0) {
      p[0] = static_cast<char>('0' + high);
      pair(p + 1, low);
      p += 3;
    } else if (low >= 10) {
      pair(p, low);
      p += 2;
    } else {
      *p++ = static_cast<char>('0' + low);
    }
    p[0] = '.';
    pair(p + 1, cents);
    return p + 3;
  }
  int digits = 1;
  for (std::uint64_t at_least = 10; digits < 10 && units >= at_least; at_least *= 10) ++digits;
  char* const end = to + (minus ? 1 : 0) + digits + 3;
  char* p = end - 3;
  p[0] = '.';
  p[1] = kPairs[2 * cents];
  p[2] = kPairs[2 * cents + 1];
  while (units >= 100) {
    const std::size_t pair = units % 100;
    units /= 100;
    p -= 2;
    p[0] = kPairs[2 * pair];
    p[1] = kPairs[2 * pair + 1];
  }
  if (units >= 10) {
    p -= 2;
    p[0] = kPairs[2 * units];
    p[1] = kPairs[2 * units + 1];
  } else {
    *--p = static_cast<char>('0' + units);
  }
  if (minus) *--p = '-';
  return end;
}

void append_fixed2(std::string& out, double v) {
  const std::size_t at = out.size();
  out.resize(at + kFixed2Most);
  out.resize(static_cast<std::size_t>(put_fixed2(out.data() + at, v) - out.data()));
}

}  // namespace radomeview

namespace radomeview {

std::string shown(std::string_view text) {
  std::string s = "'";
  s += text.substr(0, 40);
  if (text.size() > 40) s += "...";
  return s + "'";
}

}  // namespace radomeview
