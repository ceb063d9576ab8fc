// Numbers in and out of text, the same bytes on every platform: no locale,
// no printf; std::to_chars, and parse_double (decimal.h) for reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace radomeview {

enum class Field { number, not_finite, asterisks, empty, not_number };

// A number field of a file: a decimal number (an optional sign, digits, a
// point, an exponent), NaN/Infinity, a field of asterisks, nothing, or
// something else. The one place where decimal text becomes a double.
Field read_field(std::string_view text, double* value);

// A whole decimal integer (optional sign); false for anything else or out of range.
bool read_integer(std::string_view text, long long* value);

// The quick routes of both, for a field that starts at p and ends at a
// blank, a tab or `end`: the end of the field when it is a plain decimal
// that read_field reads as that very number (most are), or an unsigned
// whole number of at most 18 digits; null for anything else, which must
// be read the long way.
const char* scan_decimal(const char* p, const char* end, double* value);
inline const char* scan_whole(const char* p, const char* end, long long* value) {
  if (p != end && *p == '+') ++p;
  const char* const first = p;
  std::uint64_t v = 0;  // wraps, harmlessly, past 19 digits
  for (; p != end && static_cast<unsigned>(*p - '0') < 10; ++p) v = v * 10 + static_cast<unsigned>(*p - '0');
  if (p == first || p - first > 18 || (p != end && *p != ' ' && *p != '\t')) return nullptr;
  *value = static_cast<long long>(v);
  return p;
}

// Shortest text that reads back as the same double ("0.25", "1e+16", "nan").
std::string shortest(double v);

// Six significant digits, for values computed through sines and cosines:
// platforms' libraries may differ in the last bits, and the findings and
// extents must read the same everywhere.
std::string six_digits(double v);

// v rounded to two decimals, appended ("-0.00" is written as "0.00"); kept
// within plus or minus 1e9.
void append_fixed2(std::string& out, double v);
// The same into `to`, which has room for kFixed2Most bytes; returns the end.
constexpr std::size_t kFixed2Most = 16;  // "-1000000000.00"
char* put_fixed2(char* to, double v);

}  // namespace radomeview

namespace radomeview {

// Text of a file shown in a message: quoted, at most 40 characters. What is
// not printable is made safe where the finding is kept (Findings::add).
std::string shown(std::string_view text);

}  // namespace radomeview
