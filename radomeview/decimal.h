// Decimal text to double, correctly rounded, the same bits on every
// platform. parse_double is the one entry: the C++ library's std::from_chars
// where it has one for doubles, read_decimal where it has none (the wasm32
// libc++).
#pragma once

#include <charconv>

namespace radomeview {

// std::from_chars(first, last, value) for a double in the general format: an
// optional '-', digits with an optional point, an optional exponent;
// "inf", "infinity", "nan" and "nan(...)" in any case. A result too large, or
// too small to be anything but zero, is result_out_of_range with value
// untouched; no number is invalid_argument with ptr == first.
std::from_chars_result parse_double(const char* first, const char* last, double& value);

// The portable reader, with the same contract: exact big-integer arithmetic
// where the quick route (at most 15 digits times an exact power of ten)
// does not apply.
std::from_chars_result read_decimal(const char* first, const char* last, double& value);

}  // namespace radomeview
