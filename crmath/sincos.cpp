// Sine and cosine: x = k pi/2 + r, |r| <= pi/4, then sin or cos of r from a
// table of sin(i/256), cos(i/256) and short polynomials in double-double.
// When that cannot decide the rounding, the exact path redoes the reduction
// and the series with several hundred bits and more until it can.
#include <bit>
#include <cstdint>

#include "crmath/big.h"
#include "crmath/crmath.h"
#include "crmath/dd.h"
#include "crmath/paths.h"
#include "crmath/tables.h"

namespace crmath::detail {
namespace {

constexpr int kTwoOverPiCount = sizeof kTwoOverPiWords / sizeof kTwoOverPiWords[0];
constexpr int kMaxWindow = kTwoOverPiCount;

// x = k pi/2 + r: r = hi + lo within 2^-97 (and 2^-100 |r|), k mod 4.
struct Reduced {
  double hi, lo;
  int quadrant;
};

// A finite x as m * 2^e, m an integer below 2^53.
void decompose(double x, std::uint64_t* m, int* e) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(x) & ~(std::uint64_t{1} << 63);
  const int biased = static_cast<int>(bits >> 52);
  *m = bits & 0xFFFFFFFFFFFFFull;
  if (biased != 0) *m |= std::uint64_t{1} << 52;
  *e = (biased != 0 ? biased : 1) - 1075;
}

// 64 bits of p (little-endian limbs) from bit lo up, zero outside it.
std::uint64_t bits64(const std::uint32_t* p, int limbs, int lo) {
  std::uint64_t v = 0;
  for (int k = 2; k >= 0; --k) {
    const int index = (lo >= 0 ? lo / 32 : -((-lo + 31) / 32)) + k;
    const std::uint64_t word = index >= 0 && index < limbs ? p[index] : 0;
    const int shift = 32 * k - (lo - 32 * (lo >= 0 ? lo / 32 : -((-lo + 31) / 32)));
    if (shift >= 64) continue;
    v |= shift >= 0 ? word << shift : word >> -shift;
  }
  return v;
}

// The fraction of m * 2^e * 2/pi, reduced to the nearest quadrant, from nw
// words of 2/pi (those further up only add multiples of 4). On return p holds
// |f| * 2^s in its low s bits (the rest zero), limbs = nw + 2, and the
// neglected words of 2/pi make |f| * 2^s wrong by less than 2^53.
struct Fraction {
  std::uint32_t p[kMaxWindow + 2];
  int limbs;
  int s;         // fraction bits
  int top;       // highest set bit of |f| * 2^s, -1 if none
  int quadrant;  // k mod 4
  bool negative; // f < 0
};

void reduce_fraction(std::uint64_t m, int e, int nw, Fraction* f) {
  const int w0 = e >= 34 ? (e - 2) / 32 : 0;
  const std::uint32_t m32[2] = {static_cast<std::uint32_t>(m), static_cast<std::uint32_t>(m >> 32)};
  f->limbs = nw + 2;
  for (int i = 0; i < f->limbs; ++i) f->p[i] = 0;
  for (int i = 0; i < 2; ++i) {
    std::uint64_t carry = 0;
    for (int j = 0; j < nw; ++j) {
      const std::uint64_t t = std::uint64_t{m32[i]} * kTwoOverPiWords[w0 + nw - 1 - j] + f->p[i + j] + carry;
      f->p[i + j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    f->p[i + nw] = static_cast<std::uint32_t>(carry);
  }
  const int s = 32 * (w0 + nw) - e;
  f->s = s;
  const auto bit = [&](int pos) { return (f->p[pos / 32] >> (pos % 32)) & 1u; };
  int q = static_cast<int>(bit(s) | (bit(s + 1) << 1));
  const bool round_up = bit(s - 1) != 0;
  // Keep the fraction alone, and take it from 1 when it is at least a half.
  for (int i = 0; i < f->limbs; ++i) {
    if (32 * i >= s) f->p[i] = 0;
    else if (32 * i + 32 > s) f->p[i] &= (std::uint32_t{1} << (s - 32 * i)) - 1;
  }
  if (round_up) {
    std::uint64_t carry = 1;
    for (int i = 0; i < f->limbs; ++i) {
      const std::uint64_t t = static_cast<std::uint64_t>(~f->p[i]) + carry;
      f->p[i] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    for (int i = 0; i < f->limbs; ++i) {
      if (32 * i >= s) f->p[i] = 0;
      else if (32 * i + 32 > s) f->p[i] &= (std::uint32_t{1} << (s - 32 * i)) - 1;
    }
    q += 1;
  }
  f->quadrant = q & 3;
  f->negative = round_up;
  f->top = -1;
  for (int i = f->limbs - 1; i >= 0; --i) {
    if (f->p[i] != 0) {
      f->top = 32 * i + 31 - std::countl_zero(f->p[i]);
      break;
    }
  }
}

// |x| >= 2^20: the product with 192 bits of 2/pi, the fraction to 106 bits.
Reduced reduce_huge(double x) {
  std::uint64_t m = 0;
  int e = 0;
  decompose(x, &m, &e);
  Fraction f;
  reduce_fraction(m, e, 6, &f);
  // s > 158, so the fraction is good to 2^-105 absolute; its top 106 bits
  // are good to 2^-105 relative.
  const std::uint64_t h = bits64(f.p, f.limbs, f.top - 52) & ((std::uint64_t{1} << 53) - 1);
  const std::uint64_t l = bits64(f.p, f.limbs, f.top - 105) & ((std::uint64_t{1} << 53) - 1);
  const double fh = static_cast<double>(h) * pow2(f.top - 52 - f.s);
  const double fl = static_cast<double>(l) * pow2(f.top - 105 - f.s);
  const DD p = two_prod(fh, kHalfPiHi);
  const DD r = fast_two_sum(p.hi, p.lo + (fh * kHalfPiLo + fl * kHalfPiHi));
  Reduced out{r.hi, r.lo, f.quadrant};
  if (f.negative) {
    out.hi = -out.hi;
    out.lo = -out.lo;
  }
  if (x < 0) {
    out.hi = -out.hi;
    out.lo = -out.lo;
    out.quadrant = (4 - out.quadrant) & 3;
  }
  return out;
}

// 2^-27 <= |x| < 2^20, |x| > pi/4: k below 2^20, k times the first two parts
// of pi/2 exact, the third rounded (its error below 2^-99).
Reduced reduce(double x) {
  const double k = nearest_integer(x * kTwoOverPi);
  const double r1 = x - k * kHalfPi1;  // exact
  const DD s = two_sum(r1, -(k * kHalfPi2));
  // Exact when |r| >= 2^-48 (k kHalfPi3 < 2^-48); a smaller r fails the
  // rounding test whatever its last bits, and the exact path answers.
  const DD r = fast_two_sum(s.hi, s.lo - k * kHalfPi3);
  return {r.hi, r.lo, static_cast<int>(static_cast<std::int64_t>(k) & 3)};
}

// sin r or cos r for 0 <= r = rh + rl <= pi/4 (a little more is fine):
// r = a + t with a = i/256, |t| <= 1/512, and
//   sin(a + t) = S + C t + S (cos t - 1) + C (sin t - t),
//   cos(a + t) = C - S t + C (cos t - 1) - S (sin t - t).
// S and C have heads of 26 bits, so their products with t's head are exact.
// The relative error is below 2^-70: most of it is cos t - 1 (below 2^-19)
// in double.
inline DD kernel(double rh, double rl, bool want_cos) {
  const int i = static_cast<int>(rh * 256.0 + 0.5);
  const SinCosEntry& a = kSinCos[i];
  const double th = rh - i * 0.00390625;  // exact
  const double tl = rl;
  const double z = th * th;
  const double smt = th * z * (-0x1.5555555555555p-3 + z * (0x1.1111111111111p-7 + z * -0x1.a01a01a01a01ap-13));
  const double cm1 = z * (-0.5 + z * (0x1.5555555555555p-5 + z * -0x1.6c16c16c16c17p-10)) - th * tl;
  const DD t = split(th);
  const double head = want_cos ? a.sh : a.ch;  // the factor of t
  const double p = head * th;
  const double pe = (head * t.hi - p) + head * t.lo;  // head t = p + pe exactly
  if (!want_cos) {
    const DD u = fast_two_sum(a.sh, p);  // |S| >= |p| or S = 0
    const double lo = u.lo + a.sl + pe + (a.cl * th + a.ch * tl) + (a.s * cm1 + a.c * smt);
    return fast_two_sum(u.hi, lo);
  }
  const DD u = fast_two_sum(a.ch, -p);
  const double lo = u.lo + a.cl - pe - (a.sl * th + a.sh * tl) + (a.c * cm1 - a.s * smt);
  return fast_two_sum(u.hi, lo);
}

// The exact path with n fraction limbs; false when it cannot decide yet.
bool exact_try(double x, int shift, int n, double* out) {
  std::uint64_t m = 0;
  int e = 0;
  decompose(x, &m, &e);
  Big r;  // |r| = r * 2^re, r in [1/2, 1)
  int re = 0;
  int q = 0;
  bool r_negative = false;
  big_zero(r, n);
  if (abs(x) < 0.78) {
    // r = |x| exactly: m has its top bit at 52.
    r.w[n - 1] = static_cast<std::uint32_t>(m >> 21);
    r.w[n - 2] = static_cast<std::uint32_t>(m << 11);
    re = e + 53;
  } else {
    Fraction f;
    // The fraction must keep 32n + 16 good bits after its leading zeros.
    int nw = n + 6;
    for (;;) {
      const int w0 = e >= 34 ? (e - 2) / 32 : 0;
      if (w0 + nw > kTwoOverPiCount) return false;
      reduce_fraction(m, e, nw, &f);
      if (f.top >= 53 + 32 * n + 16) break;
      nw += 4;
    }
    Big frac;
    big_zero(frac, n);
    for (int i = 0; i < n; ++i) frac.w[n - 1 - i] = static_cast<std::uint32_t>(bits64(f.p, f.limbs, f.top - 32 * i - 31));
    Big half_pi;
    big_zero(half_pi, n);
    big_set_fraction(half_pi, n, kHalfPiWords);
    half_pi.w[n] = 1;
    big_mul(r, frac, half_pi, n);
    re = f.top + 1 - f.s;
    if (r.w[n] != 0) {
      big_shift_right(r, 1, n);
      ++re;
    }
    q = f.quadrant;
    r_negative = f.negative;
    if (x < 0) {
      r_negative = !r_negative;
      q = (4 - q) & 3;
    }
  }
  if (abs(x) < 0.78 && x < 0) r_negative = true;
  q = (q + shift) & 3;
  const bool want_cos = (q & 1) != 0;
  const bool negate = ((q & 2) != 0) != (!want_cos && r_negative);

  // z = r^2, then the series in z.
  Big z;
  big_mul(z, r, r, n);
  if (-2 * re >= 32 * (n + kIntLimbs)) big_zero(z, n);
  else big_shift_right(z, -2 * re, n);
  Big sum, term, tmp;
  big_set_int(sum, n, 1);
  big_set_int(term, n, 1);
  for (std::uint32_t k = 1;; ++k) {
    big_mul(tmp, term, z, n);
    term = tmp;
    big_div_small(term, want_cos ? (2 * k - 1) * (2 * k) : (2 * k) * (2 * k + 1), n);
    if (big_is_zero(term, n)) break;
    if (k % 2 == 1) big_sub(sum, term, n);
    else big_add(sum, term, n);
  }
  if (want_cos) return big_round(sum, n, 0, 12 - 32 * n, negate, out);
  big_mul(tmp, r, sum, n);
  return big_round(tmp, n, re, 12 - 32 * n, negate, out);
}

double exact(double x, int shift) {
  double best = 0;
  constexpr int kLevels[] = {4, 8, 16, 40};
  for (const int n : kLevels) {
    if (exact_try(x, shift, n, &best)) return best;
  }
  return best;  // not reached for any double known
}

// sin x (shift 0) or cos x = sin(x + pi/2) (shift 1). The probe takes the
// fast path's result and bound instead, for finite |x| >= 2^-26.
template <int kShift, bool kProbe>
inline double sin_or_cos(double x, Approx* probe) {
  const double ax = abs(x);
  if (ax < 0x1p-26) {
    if (kShift == 0) return x;     // |sin x - x| < |x|^3 / 6
    if (ax < 0x1p-27) return 1.0;  // 1 - x^2/2 rounds to 1
  } else if (!(ax <= 0x1.fffffffffffffp1023)) {
    return x - x;  // NaN
  }
  const Reduced r = ax <= 0.785 ? Reduced{x, 0.0, 0} : ax < 0x1p20 ? reduce(x) : reduce_huge(x);
  const int q = (r.quadrant + kShift) & 3;
  const bool r_negative = r.hi < 0;
  const bool want_cos = (q & 1) != 0;
  const bool negate = ((q & 2) != 0) != (!want_cos && r_negative);
  const DD y = kernel(r_negative ? -r.hi : r.hi, r_negative ? -r.lo : r.lo, want_cos);
  // The kernel's 2^-70 and the reduction's 2^-97 absolute, with room.
  const double err = abs(y.hi) * 0x1.00001p-67 + 0x1p-97;
  const double hi = negate ? -y.hi : y.hi;
  if (kProbe) {
    *probe = {hi, negate ? -y.lo : y.lo, err};
    return hi;
  }
  if (rounds_to_hi(hi, negate ? -y.lo : y.lo, err)) return hi;
  return exact(x, kShift);
}

}  // namespace

bool sin_fast(double x, Approx* out) {
  const double ax = abs(x);
  if (!(ax <= 0x1.fffffffffffffp1023) || ax < 0x1p-26) return false;
  sin_or_cos<0, true>(x, out);
  return true;
}

bool cos_fast(double x, Approx* out) {
  const double ax = abs(x);
  if (!(ax <= 0x1.fffffffffffffp1023) || ax < 0x1p-26) return false;
  sin_or_cos<1, true>(x, out);
  return true;
}

double sin_exact(double x) { return exact(x, 0); }
double cos_exact(double x) { return exact(x, 1); }

}  // namespace crmath::detail

namespace crmath {

double sin(double x) { return detail::sin_or_cos<0, false>(x, nullptr); }
double cos(double x) { return detail::sin_or_cos<1, false>(x, nullptr); }
double tan(double x) { return sin(x) / cos(x); }

}  // namespace crmath
