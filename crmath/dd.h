// Double-double arithmetic: exact sums and products of two doubles (no fused
// multiply-add), for the fast paths.
#pragma once

#include <bit>
#include <cstdint>

namespace crmath::detail {

struct DD {
  double hi, lo;
};

// a + b = s + e exactly.
inline DD two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  const double e = (a - (s - bb)) + (b - bb);
  return {s, e};
}

// The same for |a| >= |b| (or a = 0).
inline DD fast_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a = hi + lo, each of at most 26 significant bits; |a| < 2^996.
inline DD split(double a) {
  const double t = 134217729.0 * a;  // 2^27 + 1
  const double hi = t - (t - a);
  return {hi, a - hi};
}

// a * b = p + e exactly, barring overflow and underflow.
inline DD two_prod(double a, double b) {
  const double p = a * b;
  const DD as = split(a);
  const DD bs = split(b);
  const double e = ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
  return {p, e};
}

inline double abs(double x) { return std::bit_cast<double>(std::bit_cast<std::uint64_t>(x) & ~(std::uint64_t{1} << 63)); }

// 2^e for a normal result, -1022 <= e <= 1023.
inline double pow2(int e) { return std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52); }

// The nearest integer to x, for |x| < 2^51, as a double.
inline double nearest_integer(double x) {
  constexpr double kShift = 6755399441055744.0;  // 1.5 * 2^52
  return (x + kShift) - kShift;
}

// Whether every value within err of hi + lo rounds to hi; hi = RN(hi + lo),
// |hi| >= 2^-969 (so half its unit in the last place is a normal double).
inline bool rounds_to_hi(double hi, double lo, double err) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(hi);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased < 54) return false;
  const double half_up = std::bit_cast<double>(static_cast<std::uint64_t>(biased - 53) << 52);
  const double half_down = (bits & 0xFFFFFFFFFFFFFull) == 0 ? half_up * 0.5 : half_up;
  const double l = (bits >> 63) != 0 ? -lo : lo;
  // err must exceed the bound by a relative 2^-50 or so, for the rounding of
  // the two differences.
  return half_up - l > err && half_down + l > err;
}

}  // namespace crmath::detail
