// x^y = exp(y log x): log x in double-double from a table of 256 points and a
// short series, y log x in double-double, exp from 2^(j/128) and a short
// series. When that cannot decide the rounding: first the results that are
// doubles or midpoints between two (integer powers, perfect powers), found
// with integers; then y log x and its exponential with a few hundred bits and
// more until the rounding is decided.
#include <bit>
#include <cmath>  // std::sqrt only: correctly rounded by IEEE
#include <cstdint>
#include <limits>

#include "crmath/big.h"
#include "crmath/crmath.h"
#include "crmath/dd.h"
#include "crmath/paths.h"
#include "crmath/tables.h"

namespace crmath::detail {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// 0: not an integer, 1: an even integer, 2: an odd integer (y finite).
int integer_kind(double y) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(y) & ~(std::uint64_t{1} << 63);
  const int biased = static_cast<int>(bits >> 52);
  if (bits == 0) return 1;
  if (biased < 1023) return 0;
  if (biased >= 1023 + 53) return 1;
  const int fraction_bits = 1075 - biased;
  const std::uint64_t mantissa = (bits & 0xFFFFFFFFFFFFFull) | (std::uint64_t{1} << 52);
  if ((mantissa & ((std::uint64_t{1} << fraction_bits) - 1)) != 0) return 0;
  return ((mantissa >> fraction_bits) & 1) != 0 ? 2 : 1;
}

// A positive finite x as m * 2^e with m below 2^53 (its top bit at 52 for
// normal x).
void decompose(double x, std::uint64_t* m, int* e) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(x) & ~(std::uint64_t{1} << 63);
  const int biased = static_cast<int>(bits >> 52);
  *m = bits & 0xFFFFFFFFFFFFFull;
  if (biased != 0) *m |= std::uint64_t{1} << 52;
  *e = (biased != 0 ? biased : 1) - 1075;
}

// log x for x > 0 finite, as a double-double within 2^-66 |log x|.
DD log_dd(double x) {
  int e_adjust = 0;
  if (x < 0x1p-1022) {
    x *= 0x1p54;
    e_adjust = -54;
  }
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
  int e = static_cast<int>(bits >> 52) - 1023 + e_adjust;
  double m = std::bit_cast<double>((bits & 0xFFFFFFFFFFFFFull) | (std::uint64_t{1023} << 52));
  const auto i = static_cast<int>((bits >> 44) & 0xFF);
  if (i >= 128) {
    m *= 0.5;
    ++e;
  }
  // z = c m - 1 exactly: c has 9 bits, each half of m at most 27.
  const LogEntry& t = kLog[i];
  const double mh = std::bit_cast<double>(std::bit_cast<std::uint64_t>(m) & ~((std::uint64_t{1} << 27) - 1));
  const double ml = m - mh;
  const DD z = two_sum(t.c * mh - 1.0, t.c * ml);
  // log(1 + z) = z - z^2/2 + z^3 (1/3 - z/4 + ... + z^6/9), |z| < 2^-8.
  const DD zz = two_prod(z.hi, z.hi);
  const double half_hi = zz.hi * 0.5;
  const double half_lo = zz.lo * 0.5 + z.hi * z.lo;
  const double zh = z.hi;
  const double poly = zz.hi * zh *
      (0x1.5555555555555p-2 +
       zh * (-0.25 + zh * (0.2 + zh * (-0x1.5555555555555p-3 +
                                        zh * (0x1.2492492492492p-3 + zh * (-0.125 + zh * 0x1.c71c71c71c71cp-4))))));
  const DD s = two_sum(zh, -half_hi);
  const double lo1 = s.lo + z.lo - half_lo + poly;
  const DD u = two_sum(t.hi, s.hi);
  const double lo2 = u.lo + t.lo + lo1;
  const double de = e;
  const DD v = two_sum(de * kLn2Part1, u.hi);
  const double lo3 = v.lo + lo2 + (de * kLn2Part2 + de * kLn2Part3);
  return two_sum(v.hi, lo3);
}

enum class Estimate { kApprox, kOverflow, kUnderflow, kExactPath };

// x > 0 finite, x != 1, y finite and not 0.
Estimate estimate(double x, double y, Approx* out) {
  const DD l = log_dd(x);
  const double t_estimate = y * l.hi;
  // exp(709.8) is above the largest double by more than half a unit, and
  // exp(-745.2) below half the least subnormal, whatever the error.
  if (t_estimate > 709.8) return Estimate::kOverflow;
  if (t_estimate < -745.2) return Estimate::kUnderflow;
  if (t_estimate > 708 || t_estimate < -670) return Estimate::kExactPath;
  const DD p = two_prod(y, l.hi);
  const DD t = fast_two_sum(p.hi, p.lo + y * l.lo);
  // t = k ln2/128 + r, |r| <= ln2/256; k below 2^17, k times the first two
  // parts of ln2/128 exact.
  const double kd = nearest_integer(t.hi * k128ByLn2);
  const auto k = static_cast<std::int64_t>(kd);
  const double r1 = t.hi - kd * kLn2By128Part1;
  const DD s = two_sum(r1, -(kd * kLn2By128Part2));
  const DD r = two_sum(s.hi, (s.lo + t.lo) - kd * kLn2By128Part3);
  // exp(r) = 1 + r + r^2 (1/2 + r/6 + ... + r^5/5040)
  const double rh = r.hi;
  const double poly = rh * rh *
      (0.5 + rh * (0x1.5555555555555p-3 +
                   rh * (0x1.5555555555555p-5 +
                         rh * (0x1.1111111111111p-7 + rh * (0x1.6c16c16c16c17p-10 + rh * 0x1.a01a01a01a01ap-13))))) +
      rh * r.lo;
  const DD one = fast_two_sum(1.0, rh);
  const double lo = one.lo + r.lo + poly;
  const ExpEntry& e = kExp2[k & 127];
  const DD q = two_prod(e.hi, one.hi);
  const DD y_dd = fast_two_sum(q.hi, q.lo + (e.hi * lo + e.lo * one.hi));
  const double scale = pow2(static_cast<int>(k >> 7));  // floor(k / 128)
  const double hi = y_dd.hi * scale;
  *out = {hi, y_dd.lo * scale, abs(hi) * (0x1p-63 + abs(t.hi) * 0x1p-64)};
  return Estimate::kApprox;
}

std::uint64_t integer_sqrt(std::uint64_t m) {
  auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(m)));
  while (r * r > m) --r;
  while ((r + 1) * (r + 1) <= m) ++r;
  return r;
}

// x^y exactly, where it may be a double or the midpoint of two, which no
// rounding test can decide: x = M 2^F with M odd, y = Y 2^-K with Y odd.
// x^y is a dyadic number only if M is a 2^K-th power and 2^K divides F; then
// x^y = (M^(1/2^K))^Y 2^(F Y / 2^K), an integer power, rounded exactly when it
// fits in 64 bits (an odd power of more bits is neither).
bool exact_case(double x, double y, double* out) {
  std::uint64_t m = 0, my = 0;
  int f = 0, ey = 0;
  decompose(x, &m, &f);
  const int tz = std::countr_zero(m);
  m >>= tz;
  f += tz;
  decompose(abs(y), &my, &ey);
  const int tzy = std::countr_zero(my);
  my >>= tzy;
  ey += tzy;
  for (; ey < 0; ++ey) {
    if (f % 2 != 0) return false;
    const std::uint64_t r = integer_sqrt(m);
    if (r * r != m) return false;
    m = r;
    f /= 2;
  }
  if (ey > 11) return false;  // |y| >= 2^64: only x = 1 gives a double, handled before
  const std::uint64_t whole_y = my << ey;
  if (m == 1) {
    // x = 2^f, f != 0, and |y f| < 1100 or the estimate had decided.
    if (whole_y > 4096) return false;
    const std::int64_t e2 = static_cast<std::int64_t>(f) * static_cast<std::int64_t>(whole_y) * (y < 0 ? -1 : 1);
    if (e2 > 2000 || e2 < -2000) return false;
    *out = round_exact(1, static_cast<int>(e2), false);
    return true;
  }
  if (y < 0 || whole_y > 64) return false;
  std::uint64_t p = 1;
  for (std::uint64_t i = 0; i < whole_y; ++i) {
    if (p > std::numeric_limits<std::uint64_t>::max() / m) return false;  // odd, over 54 bits
    p *= m;
  }
  *out = round_exact(p, f * static_cast<int>(whole_y), false);
  return true;
}

// y log x and its exponential with n + 4 fraction limbs; false when the
// rounding is not decided.
bool exact_try(double x, double y, int n, double* out) {
  const int w = n + 4;
  std::uint64_t m = 0;
  int e = 0;
  decompose(x, &m, &e);
  while ((m >> 52) == 0) {
    m <<= 1;
    --e;
  }
  // x = (A / B) 2^E, A / B in [0.75, 1.5).
  std::uint64_t a = m, b = std::uint64_t{1} << 52;
  int big_e = e + 52;
  if (m >= (std::uint64_t{3} << 51)) {
    b <<= 1;
    ++big_e;
  }
  // s = (A - B) / (A + B), |s| <= 1/5, bit by bit.
  const bool s_negative = a < b;
  std::uint64_t rem = s_negative ? b - a : a - b;
  const std::uint64_t den = a + b;
  Big s;
  big_zero(s, w);
  for (int bit = 1; bit <= 32 * w; ++bit) {
    rem <<= 1;
    if (rem >= den) {
      rem -= den;
      const int pos = 32 * w - bit;
      s.w[pos / 32] |= std::uint32_t{1} << (pos % 32);
    }
  }
  // log(A/B) = 2 atanh s = 2 (s + s^3/3 + s^5/5 + ...)
  Big s2, term, tmp, sum;
  big_mul(s2, s, s, w);
  sum = s;
  term = s;
  for (std::uint32_t k = 1;; ++k) {
    big_mul(tmp, term, s2, w);
    term = tmp;
    if (big_is_zero(term, w)) break;
    tmp = term;
    big_div_small(tmp, 2 * k + 1, w);
    big_add(sum, tmp, w);
  }
  big_shift_left(sum, 1, w);
  if (s_negative) big_negate(sum, w);
  // log x = E log 2 + log(A/B)
  Big ln2;
  big_zero(ln2, w);
  big_set_fraction(ln2, w, kLn2Words);
  Big lx = ln2;
  big_mul_small(lx, static_cast<std::uint32_t>(big_e < 0 ? -big_e : big_e), w);
  if (big_e < 0) big_negate(lx, w);
  big_add(lx, sum, w);
  // t = y log x = log x * my * 2^ey, my below 2^53
  std::uint64_t my = 0;
  int ey = 0;
  decompose(abs(y), &my, &ey);
  Big t = lx, high = lx;
  big_mul_small(t, static_cast<std::uint32_t>(my), w);
  big_mul_small(high, static_cast<std::uint32_t>(my >> 32), w);
  big_shift_left(high, 32, w);
  big_add(t, high, w);
  if (ey > 0) big_shift_left(t, ey, w);
  else if (-ey >= 32 * (w + kIntLimbs)) big_zero(t, w);
  else if (ey < 0) big_shift_right(t, -ey, w);
  if (y < 0) big_negate(t, w);
  // t = k log 2 + r, then exp r by its series.
  const auto k = static_cast<std::int64_t>(nearest_integer(big_to_double(t, w) * 0x1.71547652b82fep0));
  Big kl = ln2;
  big_mul_small(kl, static_cast<std::uint32_t>(k < 0 ? -k : k), w);
  if (k < 0) big_negate(kl, w);
  Big r = t;
  big_sub(r, kl, w);
  big_set_int(sum, w, 1);
  big_set_int(term, w, 1);
  for (std::uint32_t i = 1;; ++i) {
    big_mul(tmp, term, r, w);
    term = tmp;
    big_div_small(term, i, w);
    if (big_is_zero(term, w)) break;
    big_add(sum, term, w);
  }
  // The error is below 2^-(32n + 40) of the value; 2^-32n is claimed.
  return big_round(sum, w, static_cast<int>(k), -32 * n, false, out);
}

double pow_exact_path(double x, double y) {
  double result = 0;
  if (exact_case(x, y, &result)) return result;
  constexpr int kLevels[] = {4, 10, 20, 40};
  for (const int n : kLevels) {
    if (exact_try(x, y, n, &result)) return result;
  }
  return result;  // not reached for any double known
}

// x > 0 finite, x != 1; y finite, not 0.
double pow_positive(double x, double y) {
  Approx a{};
  switch (estimate(x, y, &a)) {
    case Estimate::kOverflow: return kInfinity;
    case Estimate::kUnderflow: return 0.0;
    case Estimate::kApprox:
      if (rounds_to_hi(a.hi, a.lo, a.err)) return a.hi;
      break;
    case Estimate::kExactPath: break;
  }
  return pow_exact_path(x, y);
}

}  // namespace

bool pow_fast(double x, double y, Approx* out) {
  if (!(x > 0 && x <= 0x1.fffffffffffffp1023) || x == 1 || y == 0 || !(abs(y) <= 0x1.fffffffffffffp1023)) return false;
  return estimate(x, y, out) == Estimate::kApprox;
}

double pow_exact(double x, double y) { return pow_exact_path(x, y); }

}  // namespace crmath::detail

namespace crmath {

double pow(double x, double y) {
  using detail::abs;
  if (y == 0) return 1.0;
  if (x == 1.0) return 1.0;
  if (x != x || y != y) return x + y;
  const double ax = abs(x);
  const double ay = abs(y);
  if (ay > 0x1.fffffffffffffp1023) {
    if (ax == 1.0) return 1.0;  // (-1)^±inf
    return (ax > 1.0) == (y > 0) ? detail::kInfinity : 0.0;
  }
  const int kind = detail::integer_kind(y);
  const bool negative_base = std::bit_cast<std::uint64_t>(x) >> 63 != 0;
  const bool negative = negative_base && kind == 2;
  if (ax == 0) {
    if (y < 0) return negative ? -detail::kInfinity : detail::kInfinity;
    return negative ? -0.0 : 0.0;
  }
  if (ax > 0x1.fffffffffffffp1023) {
    if (y < 0) return negative ? -0.0 : 0.0;
    return negative ? -detail::kInfinity : detail::kInfinity;
  }
  if (negative_base && kind == 0) return (x - x) / (x - x);  // NaN
  if (ax == 1.0) return negative ? -1.0 : 1.0;
  const double r = detail::pow_positive(ax, y);
  return negative ? -r : r;
}

}  // namespace crmath
