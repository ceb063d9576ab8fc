// A slow, exact reference for the math functions: cosine, sine and x^y of
// doubles by schoolbook big-integer arithmetic, pi by Machin's formula and
// log 2 by the atanh series computed here, every result rounded to the
// nearest double from a value whose error is bounded and retried with more
// bits until the rounding is certain. It shares nothing with the library.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

namespace mathref {

// Natural numbers as little-endian 32-bit limbs, no leading zero limbs.
using Nat = std::vector<std::uint32_t>;

inline void trim(Nat& a) {
  while (!a.empty() && a.back() == 0) a.pop_back();
}

inline Nat nat(std::uint64_t v) {
  Nat a{static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(v >> 32)};
  trim(a);
  return a;
}

inline int compare(const Nat& a, const Nat& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = a.size(); i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

inline Nat add(const Nat& a, const Nat& b) {
  Nat r(std::max(a.size(), b.size()) + 1, 0);
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < r.size(); ++i) {
    carry += (i < a.size() ? a[i] : 0) + std::uint64_t{i < b.size() ? b[i] : 0u};
    r[i] = static_cast<std::uint32_t>(carry);
    carry >>= 32;
  }
  trim(r);
  return r;
}

inline Nat sub(const Nat& a, const Nat& b) {  // a >= b
  Nat r = a;
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < r.size(); ++i) {
    std::int64_t d = static_cast<std::int64_t>(r[i]) - (i < b.size() ? b[i] : 0) - borrow;
    borrow = d < 0;
    r[i] = static_cast<std::uint32_t>(d + (borrow << 32));
  }
  trim(r);
  return r;
}

inline Nat mul(const Nat& a, const Nat& b) {
  if (a.empty() || b.empty()) return {};
  Nat r(a.size() + b.size(), 0);
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < b.size(); ++j) {
      carry += std::uint64_t{a[i]} * b[j] + r[i + j];
      r[i + j] = static_cast<std::uint32_t>(carry);
      carry >>= 32;
    }
    r[i + b.size()] = static_cast<std::uint32_t>(carry);
  }
  trim(r);
  return r;
}

inline Nat div_small(const Nat& a, std::uint32_t d) {
  Nat r(a.size(), 0);
  std::uint64_t rem = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    rem = (rem << 32) | a[i];
    r[i] = static_cast<std::uint32_t>(rem / d);
    rem %= d;
  }
  trim(r);
  return r;
}

inline int bit_length(const Nat& a) {
  return a.empty() ? 0 : static_cast<int>(32 * (a.size() - 1)) + std::bit_width(a.back());
}

inline bool bit(const Nat& a, int i) {
  const auto limb = static_cast<std::size_t>(i / 32);
  return i >= 0 && limb < a.size() && ((a[limb] >> (i % 32)) & 1u) != 0;
}

inline Nat shl(const Nat& a, int bits) {
  if (a.empty()) return {};
  Nat r(a.size() + static_cast<std::size_t>(bits / 32) + 1, 0);
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::uint64_t v = std::uint64_t{a[i]} << (bits % 32);
    r[i + bits / 32] |= static_cast<std::uint32_t>(v);
    r[i + bits / 32 + 1] |= static_cast<std::uint32_t>(v >> 32);
  }
  trim(r);
  return r;
}

inline Nat shr(const Nat& a, int bits) {
  const auto skip = static_cast<std::size_t>(bits / 32);
  if (skip >= a.size()) return {};
  Nat r(a.size() - skip, 0);
  for (std::size_t i = 0; i < r.size(); ++i) {
    std::uint64_t v = a[i + skip];
    if (i + skip + 1 < a.size()) v |= std::uint64_t{a[i + skip + 1]} << 32;
    r[i] = static_cast<std::uint32_t>(v >> (bits % 32));
  }
  trim(r);
  return r;
}

inline Nat power_of_two(int bits) { return shl(Nat{1}, bits); }

// floor(a / b), bit by bit.
inline Nat div(const Nat& a, const Nat& b) {
  Nat q, rem;
  for (int i = bit_length(a) - 1; i >= 0; --i) {
    rem = shl(rem, 1);
    if (bit(a, i)) rem = add(rem, Nat{1});
    if (compare(rem, b) >= 0) {
      rem = sub(rem, b);
      q = add(q, shl(Nat{1}, i));
    }
  }
  return q;
}

// Signed numbers for the series: value = (neg ? -1 : 1) * mag.
struct Int {
  bool neg = false;
  Nat mag;
};

inline Int plus(const Int& a, const Int& b) {
  if (a.neg == b.neg) return {a.neg, add(a.mag, b.mag)};
  if (compare(a.mag, b.mag) >= 0) return {a.neg, sub(a.mag, b.mag)};
  return {b.neg, sub(b.mag, a.mag)};
}

inline Int minus(const Int& a, const Int& b) { return plus(a, {!b.neg, b.mag}); }

// Fixed point with p fraction bits: the product, truncated.
inline Int times(const Int& a, const Int& b, int p) { return {a.neg != b.neg, shr(mul(a.mag, b.mag), p)}; }

// atan(1/n) and atanh(1/n) with p fraction bits, error below the number of terms.
inline Nat arc_inverse(std::uint32_t n, int p, bool hyperbolic) {
  Int sum;
  Nat power = div_small(power_of_two(p), n);
  for (std::uint32_t k = 0; !power.empty(); ++k) {
    const Int term{!hyperbolic && k % 2 == 1, div_small(power, 2 * k + 1)};
    sum = plus(sum, term);
    power = div_small(div_small(power, n), n);
  }
  return sum.mag;
}

// pi and log 2 with p fraction bits, error below 2^-(p - 8).
inline Nat pi(int p) {
  const int q = p + 16;
  const Nat v = sub(mul(nat(16), arc_inverse(5, q, false)), mul(nat(4), arc_inverse(239, q, false)));
  return shr(v, 16);
}

inline Nat log2_value(int p) { return shr(mul(nat(2), arc_inverse(3, p + 16, true)), 16); }

// The double nearest to (-1)^neg * v * 2^-p, and whether every value within
// err (in v's units) rounds alike. Handles subnormals, overflow and
// underflow.
inline bool round_to_double(const Nat& v, const Nat& err, int p, bool neg, double* out) {
  const int length = bit_length(v);
  if (length == 0) return false;
  const int exponent = length - 1 - p;
  const double sign = neg ? -1.0 : 1.0;
  if (exponent > 1023) {
    *out = sign * std::numeric_limits<double>::infinity();
    return compare(err, shr(v, 8)) < 0;
  }
  const int keep = exponent >= -1022 ? 53 : exponent + 1075;
  if (keep < 0) {
    *out = sign * 0.0;
    return compare(err, shr(v, 8)) < 0;
  }
  const int cut = length - keep;  // bits below cut are rounded off
  if (cut < 1) return false;
  const Nat kept = shr(v, cut);
  const Nat tail = sub(v, shl(kept, cut));
  const Nat half = power_of_two(cut - 1);
  const bool up = compare(tail, half) > 0;
  const Nat distance = up ? sub(tail, half) : sub(half, tail);
  std::uint64_t m = 0;
  for (int i = keep - 1; i >= 0; --i) m = (m << 1) | (bit(kept, i) ? 1u : 0u);
  if (up) ++m;
  // m * 2^(exponent - keep + 1), built from its parts: every step is exact,
  // the halvings included, as the result is a multiple of 2^-1074.
  double r = static_cast<double>(m);
  for (int e = exponent - keep + 1; e > 0; --e) r *= 2;
  for (int e = exponent - keep + 1; e < 0; ++e) r *= 0.5;
  *out = sign * r;
  return compare(distance, err) > 0;
}

// A finite nonzero double as m * 2^e, m an integer.
inline void parts(double x, std::uint64_t* m, int* e) {
  const std::uint64_t b = std::bit_cast<std::uint64_t>(x) & ~(std::uint64_t{1} << 63);
  const int biased = static_cast<int>(b >> 52);
  *m = (b & 0xFFFFFFFFFFFFFull) | (biased != 0 ? std::uint64_t{1} << 52 : 0);
  *e = (biased != 0 ? biased : 1) - 1075;
}

// sin (want_cos false) or cos of a positive finite double, with `extra` bits
// beyond those needed to place x and pi/2 exactly enough: the value is
// (-1)^neg * v * 2^-p, within err units of v.
struct Value {
  Nat v, err;
  int p = 0;
  bool neg = false;
};

inline Value sin_cos_value(double x, bool want_cos, int extra) {
  std::uint64_t m = 0;
  int e = 0;
  parts(x, &m, &e);
  const int p = extra + (e > 0 ? e + 53 : -e);
  const Nat xv = shl(nat(m), e + p);
  const Nat half_pi = shr(pi(p + 8), 9);
  const Nat k = div(add(xv, shr(half_pi, 1)), half_pi);
  const Nat kh = mul(k, half_pi);
  const Int r = compare(xv, kh) >= 0 ? Int{false, sub(xv, kh)} : Int{true, sub(kh, xv)};
  const int quadrant = static_cast<int>((k.empty() ? 0 : k[0]) & 3);
  // sin x = sin r, cos r, -sin r, -cos r by quadrant; cos x one quadrant on.
  const int q = (quadrant + (want_cos ? 1 : 0)) & 3;
  const bool series_cos = q % 2 == 1;
  const Int r2 = times(r, r, p);
  Int term = series_cos ? Int{false, power_of_two(p)} : r;
  Int sum = term;
  int terms = 0;
  for (std::uint32_t n = series_cos ? 1 : 2; !term.mag.empty(); n += 2, ++terms) {
    term = times(term, r2, p);
    term.mag = div_small(div_small(term.mag, n), n + 1);
    term.neg = !term.neg;
    sum = plus(sum, term);
  }
  // 2 units of pi/2 times k, 2 units a term, a few more for r.
  return {sum.mag, add(add(k, k), nat(4 * static_cast<std::uint64_t>(terms) + 64)), p, sum.neg != (q >= 2)};
}

inline double sin_cos(double x, bool want_cos) {
  if (x == 0) return want_cos ? 1.0 : x;
  for (int extra = 128; extra <= 8192; extra *= 2) {
    const Value v = sin_cos_value(x < 0 ? -x : x, want_cos, extra);
    double result = 0;
    if (round_to_double(v.v, v.err, v.p, v.neg, &result)) return x < 0 && !want_cos ? -result : result;
  }
  throw std::runtime_error("reference: rounding of sin/cos not decided");
}

// log2 |a - value| for a = hi + lo: how far an approximation is from a
// reference value (-inf when they are equal).
inline double log2_distance(double hi, double lo, const Value& val) {
  Int a;
  for (const double d : {hi, lo}) {
    if (d == 0) continue;
    std::uint64_t m = 0;
    int e = 0;
    parts(d, &m, &e);
    const Nat mag = e + val.p >= 0 ? shl(nat(m), e + val.p) : shr(nat(m), -(e + val.p));
    a = plus(a, Int{d < 0, mag});
  }
  const Int diff = minus(a, Int{val.neg, val.v});
  const int length = bit_length(diff.mag);
  if (length == 0) return -std::numeric_limits<double>::infinity();
  double top = 0;
  for (int i = length - 1; i >= 0 && i >= length - 60; --i) top = top * 2 + (bit(diff.mag, i) ? 1 : 0);
  return std::log2(top) + (length > 60 ? length - 60 : 0) - val.p;
}

inline double sin(double x) { return sin_cos(x, false); }
inline double cos(double x) { return sin_cos(x, true); }

// x^y for x > 0 finite, y finite: an integer power exactly where one is
// cheap, otherwise exp(y log x); a result within the error of a midpoint is
// tested for being that midpoint exactly.
inline bool pow_try(double x, double y, int extra, double* out) {
  std::uint64_t mx = 0, my = 0;
  int ex = 0, ey = 0;
  parts(x, &mx, &ex);
  parts(y < 0 ? -y : y, &my, &ey);
  const int p = extra + 96;
  // log x = log(mx / 2^52) + (ex + 52) log 2, with mx / 2^52 in [1, 2).
  while ((mx >> 52) == 0) {
    mx <<= 1;
    --ex;
  }
  const Nat one = power_of_two(p);
  const Nat ln2 = log2_value(p);
  const Nat num = shl(nat(mx - (std::uint64_t{1} << 52)), p);
  const Nat s = div(num, nat(mx + (std::uint64_t{1} << 52)));
  const Nat s2 = shr(mul(s, s), p);
  Nat power = s, atanh;
  int terms = 0;
  for (std::uint32_t k = 0; !power.empty(); ++k, ++terms) {
    atanh = add(atanh, div_small(power, 2 * k + 1));
    power = shr(mul(power, s2), p);
  }
  const int e2 = ex + 52;
  Int lx = plus(Int{e2 < 0, mul(nat(static_cast<std::uint64_t>(e2 < 0 ? -e2 : e2)), ln2)}, Int{false, shl(atanh, 1)});
  // t = y log x
  Int t{lx.neg != (y < 0), mul(lx.mag, nat(my))};
  t.mag = ey >= 0 ? shl(t.mag, ey) : shr(t.mag, -ey);
  if (bit_length(t.mag) > p + 11) {  // |t| > 2048: far beyond the range
    *out = t.neg ? 0.0 : std::numeric_limits<double>::infinity();
    return true;
  }
  // t = k log 2 + r
  const Nat k = div(add(t.mag, shr(ln2, 1)), ln2);
  const Int r = minus(t, Int{t.neg, mul(k, ln2)});
  Int term{false, one}, sum{false, one};
  for (std::uint32_t n = 1; !term.mag.empty(); ++n, ++terms) {
    term = times(term, r, p);
    term.mag = div_small(term.mag, n);
    sum = plus(sum, term);
  }
  // The error of log x (log 2 to 2 units, times |e2| < 1100, and 2 units a
  // term), times |y| < 2^y_bits, and 2 units a term of the exponential.
  const int y_bits = 53 + (ey > 0 ? ey : 0);
  const Nat err = add(shl(nat(8192 + 4 * static_cast<std::uint64_t>(terms)), y_bits + 1), nat(1024));
  const std::int64_t kk = k.empty() ? 0 : (static_cast<std::int64_t>(k.size() > 1 ? k[1] : 0) << 32 | k[0]);
  const std::int64_t scale = t.neg ? -kk : kk;
  if (scale > 1100 || scale < -1200) {
    *out = scale > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return true;
  }
  // value = sum * 2^(scale - p)
  const int q = p - static_cast<int>(scale);
  if (round_to_double(sum.mag, err, q, false, out)) return true;
  // Undecided: is x^y exactly the midpoint next to *out? Only a rational
  // y = n / 2^j can give one; then midpoint^(2^j) = x^n.
  const int tz = std::countr_zero(my);
  std::uint64_t n = my >> tz;
  int j = -(ey + tz);
  if (j < 0) {  // an integer
    if (-j > 9) return false;
    n <<= -j;
    j = 0;
  }
  if (j > 8 || n > 2200) return false;
  // The candidates: the midpoints between the rounded value and either
  // neighbour.
  if (*out > std::numeric_limits<double>::max()) return false;
  const double below = *out == 0 ? std::numeric_limits<double>::denorm_min() : std::nextafter(*out, 0.0);
  for (const double neighbour : {below, std::nextafter(*out, std::numeric_limits<double>::infinity())}) {
    std::uint64_t ma = 0, mb = 0;
    int ea = 0, eb = 0;
    parts(*out, &ma, &ea);
    parts(neighbour, &mb, &eb);
    // mid = (a + b) / 2 = mid_m 2^mid_e
    const int low_e = std::min(ea, eb);
    const std::uint64_t mid_m = (ma << (ea - low_e)) + (mb << (eb - low_e));
    const int mid_e = low_e - 1;
    // mid^(2^j) against x^(±n)
    Nat lhs = nat(mid_m);
    for (int i = 0; i < j; ++i) lhs = mul(lhs, lhs);
    const std::int64_t lhs_e = static_cast<std::int64_t>(mid_e) << j;
    Nat rhs{1};
    for (std::uint64_t i = 0; i < n; ++i) rhs = mul(rhs, nat(mx));
    const std::int64_t rhs_e = static_cast<std::int64_t>(ex) * static_cast<std::int64_t>(n);
    bool equal = false;
    if (y > 0) {  // lhs 2^lhs_e == rhs 2^rhs_e
      const std::int64_t d = lhs_e - rhs_e;
      equal = d >= 0 ? compare(shl(lhs, static_cast<int>(d)), rhs) == 0
                     : compare(lhs, shl(rhs, static_cast<int>(-d))) == 0;
    } else {  // lhs 2^lhs_e rhs 2^rhs_e == 1
      const std::int64_t d = lhs_e + rhs_e;
      equal = d <= 0 && compare(mul(lhs, rhs), power_of_two(static_cast<int>(-d))) == 0;
    }
    if (equal) {  // a tie: to the one with an even last bit
      *out = (std::bit_cast<std::uint64_t>(*out) & 1) == 0 ? *out : neighbour;
      return true;
    }
  }
  return false;
}

inline double pow_positive(double x, double y) {
  double result = 0;
  for (int extra = 128; extra <= 4096; extra *= 2) {
    if (pow_try(x, y, extra, &result)) return result;
  }
  throw std::runtime_error("reference: rounding of pow not decided");
}

}  // namespace mathref
