#include "radomeview/numtext.h"

#include <charconv>
#include <cmath>

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
  const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
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
  char b[48];
  const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, 2);
  std::string_view s(b, static_cast<std::size_t>(r.ptr - b));
  if (s == "-0.00") s = "0.00";
  out += s;
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
