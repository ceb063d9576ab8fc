// Numbers in and out of text, the same bytes on every platform: no locale,
// no printf; std::to_chars, and parse_double (decimal.h) for reading.
#pragma once

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

// Shortest text that reads back as the same double ("0.25", "1e+16", "nan").
std::string shortest(double v);

// Six significant digits, for values computed through sines and cosines:
// platforms' libraries may differ in the last bits, and the findings and
// extents must read the same everywhere.
std::string six_digits(double v);

// v rounded to two decimals, appended ("-0.00" is written as "0.00"); kept
// within plus or minus 1e9.
void append_fixed2(std::string& out, double v);

}  // namespace radomeview

namespace radomeview {

// Text of a file shown in a message: quoted, at most 40 characters. What is
// not printable is made safe where the finding is kept (Findings::add).
std::string shown(std::string_view text);

}  // namespace radomeview
