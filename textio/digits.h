// Decimal digit generation for the output conversions: the correctly rounded
// significant digits of a float, and the two-digit table the fields share.
#pragma once

#include <cstdint>
#include <cstring>

namespace textio {

// The most significant digits one conversion asks for: an E field's digits
// after the point, plus the one a scale of 1 puts before it. Sixteen digits
// keep the scaled value below 10^16 < 2^64, so the digits are one 64-bit
// integer; the multi-word path is sized for the smallest float at this count.
inline constexpr int kMaxDigits = 16;

// The correctly rounded (half to even, on the exact value of the float)
// n significant decimal digits of a positive finite float, 1 <= n <= kMaxDigits.
// Writes n digit characters to `out`, the first of them non-zero, and returns
// the exponent e for which the value is 0.d1d2...dn times 10 to the e.
int decimal_digits(float value, int n, char* out);

// "00" to "99", two characters per value.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The two digits of 0 <= v <= 99.
inline void write_two_digits(char* out, int v) { std::memcpy(out, kDigitPairs + 2 * v, 2); }

}  // namespace textio
