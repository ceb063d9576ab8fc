// Fixed-point numbers of a few hundred to some thousand bits for the exact
// paths: kIntLimbs integer limbs and n fraction limbs of 32 bits,
// little-endian, two's complement. Fixed size, no allocation.
#pragma once

#include <cstdint>

namespace crmath::detail {

constexpr int kIntLimbs = 3;
constexpr int kMaxFracLimbs = 44;
constexpr int kMaxLimbs = kIntLimbs + kMaxFracLimbs;

struct Big {
  std::uint32_t w[kMaxLimbs];
};

// n is the number of fraction limbs throughout; w[n - 1] is the first
// fraction limb, w[n] the units.
void big_zero(Big& a, int n);
void big_set_int(Big& a, int n, std::int64_t v);
// Fraction limbs from a table of 32-bit words, most significant first.
void big_set_fraction(Big& a, int n, const std::uint32_t* words);
bool big_is_zero(const Big& a, int n);
bool big_is_negative(const Big& a, int n);
void big_negate(Big& a, int n);
void big_add(Big& a, const Big& b, int n);
void big_sub(Big& a, const Big& b, int n);
// Unsigned comparison: -1, 0, 1.
int big_compare(const Big& a, const Big& b, int n);
// out = a * b, the magnitude truncated: off by less than one unit of the
// last limb. out may not alias a or b.
void big_mul(Big& out, const Big& a, const Big& b, int n);
// a *= k, a /= k (the magnitude truncated), a *= 2^bits, a /= 2^bits (the
// magnitude truncated).
void big_mul_small(Big& a, std::uint32_t k, int n);
void big_div_small(Big& a, std::uint32_t k, int n);
void big_shift_left(Big& a, int bits, int n);
void big_shift_right(Big& a, int bits, int n);
// An approximation of a, good to about 2^-50 relative.
double big_to_double(const Big& a, int n);

// The double nearest to (-1)^negative * v * 2^scale, v > 0, when every value
// within 2^err_log2 of v (in v's units) rounds to the same double, including
// its subnormal range, overflow and underflow. Otherwise false, and *out the
// nearest to v itself.
bool big_round(const Big& v, int n, int scale, int err_log2, bool negative, double* out);

// The double nearest to (-1)^negative * m * 2^scale exactly, ties to even.
double round_exact(std::uint64_t m, int scale, bool negative);

}  // namespace crmath::detail
