#include "radomeview/numtext.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cmath>

#include "radomeview/decimal.h"

namespace radomeview {

Field read_field(std::string_view t, double* value) {
  if (t.empty()) return Field::empty;
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

void append_fixed2(std::string& out, double v) {
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
  char b[24];
  char* p = b + sizeof b;
  const std::uint64_t units = hundredths / 100, cents = hundredths % 100;
  *--p = static_cast<char>('0' + cents % 10);
  *--p = static_cast<char>('0' + cents / 10);
  *--p = '.';
  std::uint64_t u = units;
  do {
    *--p = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (bits >> 63 && hundredths != 0) *--p = '-';  // "-0.00" is written as "0.00"
  out.append(p, static_cast<std::size_t>(b + sizeof b - p));
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
