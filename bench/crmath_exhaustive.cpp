// Every float angle the programs can produce, against an exact reference:
// for each of the 2^32 float bit patterns x, crmath's sin and cos of x and of
// x / 2 (domeprofile's half angles) must be the correctly rounded values.
//
// The reference is a screen in 128-bit fixed point with a bound on its own
// error (its constants from tests/unit/exact_math_reference.h, nothing from
// the library); where the bound cannot decide the rounding, the big-number
// reference decides. See bench/README.md for the argument.
//
//   crmath_exhaustive [--threads N] [--first HEX --last HEX] [--speed]
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "crmath/crmath.h"
#include "crmath/dd.h"
#include "crmath/paths.h"
#include "unit/exact_math_reference.h"

namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

// 2/pi: bit j (weight 2^-j, j >= 1) is bit 63 - (j - 1) % 64 of word (j - 1) / 64.
u64 two_over_pi[12];
u128 half_pi;  // pi/2 * 2^127
u128 kOne = u128{1} << 127;
u128 recip_sin[18], recip_cos[18];  // 2^127 / ((2k)(2k+1)), 2^127 / ((2k-1)(2k))

void init_constants() {
  using namespace mathref;
  const int p = 900;
  const Nat pi_p = pi(p);
  const Nat tp = div(power_of_two(2 * p + 1), pi_p);  // (2/pi) 2^p, error a few units
  for (int w = 0; w < 12; ++w) {
    u64 v = 0;
    for (int b = 0; b < 64; ++b) v = (v << 1) | (bit(tp, p - 1 - (64 * w + b)) ? 1u : 0u);
    two_over_pi[w] = v;
  }
  const Nat hp = shr(pi_p, p - 127 + 1);
  half_pi = 0;
  for (int b = 127; b >= 0; --b) half_pi = (half_pi << 1) | (bit(hp, b) ? 1u : 0u);
  for (u64 k = 1; k < 18; ++k) {
    recip_sin[k] = kOne / ((2 * k) * (2 * k + 1));
    recip_cos[k] = kOne / ((2 * k - 1) * (2 * k));
  }
}

// Bits [j, j + 64) of 2/pi, j >= 1.
u64 tp_bits(int j) {
  const int start = j - 1;
  const int w = start / 64, o = start % 64;
  return o == 0 ? two_over_pi[w] : (two_over_pi[w] << o) | (two_over_pi[w + 1] >> (64 - o));
}

// (a b) / 2^128, and (a b) / 2^127 less its last bit: truncated.
u128 mul_hi(u128 a, u128 b) {
  const u64 a1 = static_cast<u64>(a >> 64), a0 = static_cast<u64>(a);
  const u64 b1 = static_cast<u64>(b >> 64), b0 = static_cast<u64>(b);
  const u128 lo = static_cast<u128>(a0) * b0;
  const u128 m1 = static_cast<u128>(a1) * b0;
  const u128 m2 = static_cast<u128>(a0) * b1;
  const u128 hi = static_cast<u128>(a1) * b1;
  const u128 mid = (lo >> 64) + static_cast<u64>(m1) + static_cast<u64>(m2);
  return hi + (m1 >> 64) + (m2 >> 64) + (mid >> 64);
}
u128 mul127(u128 a, u128 b) { return mul_hi(a, b) << 1; }

int top_bit(u128 v) {
  const u64 h = static_cast<u64>(v >> 64);
  return h != 0 ? 127 - std::countl_zero(h) : 63 - std::countl_zero(static_cast<u64>(v));
}

// A value (mantissa with its top bit at 127) * 2^(exp - 127), with an error
// below err units of its last bit, rounded to a double; false if undecided.
bool decide(u128 mant, int exp, u64 err, bool negative, double* out) {
  const u128 tail = mant & ((u128{1} << 75) - 1);
  const u128 half = u128{1} << 74;
  const u128 dist = tail > half ? tail - half : half - tail;
  if (dist <= err) return false;
  u64 m = static_cast<u64>(mant >> 75) + (tail > half ? 1 : 0);
  int e = exp;
  if (m == (u64{1} << 53)) {
    m >>= 1;
    ++e;
  }
  const u64 bits = (static_cast<u64>(e + 1023) << 52) | (m & ((u64{1} << 52) - 1)) | (negative ? u64{1} << 63 : 0);
  *out = std::bit_cast<double>(bits);
  return true;
}

// sin and cos of a positive double d = m 2^e with m < 2^24 (a float or half
// of one); false when the screen cannot decide one of them.
bool screen(double d, double* s_out, double* c_out) {
  const u64 b = std::bit_cast<u64>(d);
  const int biased = static_cast<int>(b >> 52);
  u64 m = (b & ((u64{1} << 52) - 1)) | (u64{1} << 52);
  int e = biased - 1075;
  const int tz = std::countr_zero(m);
  m >>= tz;
  e += tz;  // m odd, below 2^24
  u128 r;       // |r| = r * 2^(re - 128), top bit at 127
  int re = 0;
  int quadrant = 0;
  bool r_negative = false;
  u64 r_err = 4;  // units of r's last bit
  if (d < 0.785) {
    const int len = 64 - std::countl_zero(m);
    r = static_cast<u128>(m) << (128 - len);
    re = e + len;
    r_err = 0;
  } else {
    // d 2/pi mod 4 from 192 bits of 2/pi starting at j0; earlier bits give
    // multiples of 4.
    const int j0 = e - 1 > 1 ? e - 1 : 1;
    const u64 w[3] = {tp_bits(j0), tp_bits(j0 + 64), tp_bits(j0 + 128)};
    // P = m * W, W = w0 w1 w2 (192 bits), as four 64-bit limbs, little-endian.
    u64 p[4];
    u128 acc = static_cast<u128>(m) * w[2];
    p[0] = static_cast<u64>(acc);
    acc = (acc >> 64) + static_cast<u128>(m) * w[1];
    p[1] = static_cast<u64>(acc);
    acc = (acc >> 64) + static_cast<u128>(m) * w[0];
    p[2] = static_cast<u64>(acc);
    p[3] = static_cast<u64>(acc >> 64);
    const int s = j0 + 191 - e;  // fraction bits, 190 or more
    auto bit = [&](int pos) { return static_cast<int>((p[pos / 64] >> (pos % 64)) & 1); };
    quadrant = bit(s) | (bit(s + 1) << 1);
    const bool up = bit(s - 1) != 0;
    // Fraction F = P mod 2^s, as 4 limbs; if at least a half, 2^s - F.
    u64 f[4] = {p[0], p[1], p[2], p[3]};
    for (int i = 0; i < 4; ++i) {
      if (64 * i >= s) f[i] = 0;
      else if (64 * i + 64 > s) f[i] &= (u64{1} << (s - 64 * i)) - 1;
    }
    if (up) {
      u64 carry = 1;
      for (int i = 0; i < 4; ++i) {
        const u128 t = static_cast<u128>(~f[i]) + carry;
        f[i] = static_cast<u64>(t);
        carry = static_cast<u64>(t >> 64);
      }
      for (int i = 0; i < 4; ++i) {
        if (64 * i >= s) f[i] = 0;
        else if (64 * i + 64 > s) f[i] &= (u64{1} << (s - 64 * i)) - 1;
      }
      quadrant = (quadrant + 1) & 3;
      r_negative = true;
    }
    int t = -1;
    for (int i = 3; i >= 0 && t < 0; --i) {
      if (f[i] != 0) t = 64 * i + 63 - std::countl_zero(f[i]);
    }
    if (t < 0) return false;
    // The top 128 bits of F.
    auto get64 = [&](int lo) -> u64 {
      u64 v = 0;
      for (int k = 0; k < 64; ++k) {
        const int pos = lo + k;
        if (pos >= 0 && pos < 256 && ((f[pos / 64] >> (pos % 64)) & 1)) v |= u64{1} << k;
      }
      return v;
    };
    const u128 fm = (static_cast<u128>(get64(t - 63)) << 64) | get64(t - 127);
    // F is off by less than 2^(24 - s + s) = 2^24 units of 2^-s, against F >= 2^t.
    if (t < 24 + 120) return false;
    r = mul_hi(fm, half_pi);  // (F / 2^t) (pi/2) 2^126, top bit at 126 or 127
    re = t - s + 2;
    if (top_bit(r) == 126) {
      r <<= 1;
      --re;
    }
    r_err = 8;
  }
  // z = r^2 in 127-bit fixed point.
  u128 z = mul_hi(r, r);  // r^2 2^(-2 re) 2^128 / 2^... : top bits
  // r = R 2^(re - 128): r^2 = R^2 2^(2 re - 256) = mul_hi(R, R) 2^(2 re - 128); in 2^-127 units:
  const int shift = 1 - 2 * re;
  z = shift >= 128 ? 0 : (z >> shift);
  u128 hs = kOne, hc = kOne;
  for (int k = 17; k >= 1; --k) {
    hs = kOne - mul127(mul127(z, hs), recip_sin[k]);
    hc = kOne - mul127(mul127(z, hc), recip_cos[k]);
  }
  // Errors: below 5 units of 2^-127 a step, 17 steps, and r's.
  // sin r = r hs
  const u128 sm = mul_hi(r, hs);  // r hs / 2^128 with hs = S 2^127: (R S) 2^-1 ...
  u128 sv = sm << 1;
  int se = re - 1;
  if (top_bit(sv) < 127) {
    sv <<= 1;
    --se;
  }
  const int ce = top_bit(hc) - 127 - 1;
  u128 cv = hc << (127 - top_bit(hc));
  const u64 err = 256 + 4 * r_err;  // units of the last bit, generous
  double sv_d = 0, cv_d = 0;
  if (!decide(sv, se, err, false, &sv_d) || !decide(cv, ce + 1, err, false, &cv_d)) return false;
  // sin x = sin r, cos r, -sin r, -cos r by quadrant; cos x = cos r, -sin r,
  // -cos r, sin r.
  const double sr = r_negative ? -sv_d : sv_d;
  switch (quadrant) {
    case 0: *s_out = sr; *c_out = cv_d; break;
    case 1: *s_out = cv_d; *c_out = -sr; break;
    case 2: *s_out = -sr; *c_out = -cv_d; break;
    default: *s_out = -cv_d; *c_out = sr; break;
  }
  return true;
}

struct Totals {
  std::atomic<u64> inputs{0}, mismatches{0}, nan_checked{0}, screen_undecided{0}, fast_undecided{0};
};

bool same(double a, double b) { return std::bit_cast<u64>(a) == std::bit_cast<u64>(b); }

// The four values of one positive angle against the screen or the reference,
// and the same for its negative.
void check_value(double d, Totals& totals, std::mutex& log) {
  double s = 0, c = 0;
  if (!screen(d, &s, &c)) {
    totals.screen_undecided.fetch_add(1, std::memory_order_relaxed);
    s = mathref::sin(d);
    c = mathref::cos(d);
  }
  const double got[4] = {crmath::sin(d), crmath::cos(d), crmath::sin(-d), crmath::cos(-d)};
  const double want[4] = {s, c, -s, c};
  for (int i = 0; i < 4; ++i) {
    if (!same(got[i], want[i])) {
      totals.mismatches.fetch_add(1, std::memory_order_relaxed);
      std::lock_guard<std::mutex> lock(log);
      std::fprintf(stderr, "MISMATCH %s(%a): %a, want %a\n", i % 2 == 0 ? "sin" : "cos", i < 2 ? d : -d, got[i], want[i]);
    }
  }
  crmath::detail::Approx a{};
  if (crmath::detail::sin_fast(d, &a) && !crmath::detail::rounds_to_hi(a.hi, a.lo, a.err)) totals.fast_undecided++;
  if (crmath::detail::cos_fast(d, &a) && !crmath::detail::rounds_to_hi(a.hi, a.lo, a.err)) totals.fast_undecided++;
  totals.inputs.fetch_add(4, std::memory_order_relaxed);
}

void check_block(std::uint32_t first, std::uint32_t last, Totals& totals, std::mutex& log) {
  for (u64 bits = first; bits <= last; ++bits) {
    const float f = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
    const float af = std::fabs(f);
    if (!(af <= 3.4028235e38f)) {  // NaN or infinity: the result is NaN
      const double v[2] = {crmath::sin(f), crmath::cos(f)};
      const double h[2] = {crmath::sin(f / 2.0), crmath::cos(f / 2.0)};
      for (double x : {v[0], v[1], h[0], h[1]}) {
        if (x == x) totals.mismatches++;
      }
      totals.nan_checked += 4;
      continue;
    }
    if ((bits >> 31) != 0) continue;  // the negative ones go with their positive twin
    if (af == 0) {
      const bool ok = same(crmath::sin(0.0), 0.0) && same(crmath::sin(-0.0), -0.0) && crmath::cos(0.0) == 1 &&
                      crmath::cos(-0.0) == 1;
      if (!ok) totals.mismatches++;
      totals.inputs += 8;
      continue;
    }
    check_value(static_cast<double>(af), totals, log);
    check_value(static_cast<double>(af) / 2.0, totals, log);
  }
}

// The screen against the big-number reference on a sample, before it is trusted.
bool self_check() {
  std::mt19937 rng(12345);
  int bad = 0;
  for (int i = 0; i < 3000; ++i) {
    const float f = std::bit_cast<float>(static_cast<std::uint32_t>(rng() & 0x7F7FFFFFu));
    if (f == 0) continue;
    for (double d : {static_cast<double>(f), f / 2.0}) {
      double s = 0, c = 0;
      if (!screen(d, &s, &c)) continue;
      if (!same(s, mathref::sin(d)) || !same(c, mathref::cos(d))) {
        std::fprintf(stderr, "screen wrong at %a: %a %a, reference %a %a\n", d, s, c, mathref::sin(d), mathref::cos(d));
        ++bad;
      }
    }
  }
  return bad == 0;
}

void speed() {
  // Angles like domeprofile's: floats over a turn and a bit, in radians.
  std::vector<double> angles;
  std::mt19937 rng(1);
  for (int i = 0; i < 4096; ++i) angles.push_back(static_cast<float>((rng() % 4000000) * 1.7e-6));
  const int rounds = 2000;
  auto run = [&](const char* name, double (*fn)(double)) {
    double sink = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
      for (double a : angles) sink += fn(a + sink * 1e-300);
    }
    const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count() /
                      (static_cast<double>(rounds) * angles.size());
    std::printf("  %-12s %6.1f ns per call (checksum %g)\n", name, ns, sink);
  };
  std::printf("speed, %zu float angles in [0, 6.8) cycled %d times, one thread:\n", angles.size(), rounds);
  run("crmath::sin", [](double x) { return crmath::sin(x); });
  run("std::sin", [](double x) { return std::sin(x); });
  run("crmath::cos", [](double x) { return crmath::cos(x); });
  run("std::cos", [](double x) { return std::cos(x); });
}

}  // namespace

int main(int argc, char** argv) {
  unsigned threads = 2;
  u64 first = 0, last = 0xFFFFFFFFu;
  bool speed_only = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--threads" && i + 1 < argc) threads = static_cast<unsigned>(std::atoi(argv[++i]));
    else if (a == "--first" && i + 1 < argc) first = std::strtoull(argv[++i], nullptr, 16);
    else if (a == "--last" && i + 1 < argc) last = std::strtoull(argv[++i], nullptr, 16);
    else if (a == "--speed") speed_only = true;
    else {
      std::fprintf(stderr, "usage: crmath_exhaustive [--threads N] [--first HEX --last HEX] [--speed]\n");
      return 2;
    }
  }
  init_constants();
  if (!self_check()) {
    std::fprintf(stderr, "the screen disagrees with the big-number reference: not trusted\n");
    return 1;
  }
  speed();
  if (speed_only) return 0;
  Totals totals;
  std::mutex log;
  std::atomic<u64> next{first};
  constexpr u64 kBlock = 1 << 20;
  const auto t0 = std::chrono::steady_clock::now();
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads; ++t) {
    pool.emplace_back([&] {
      for (;;) {
        const u64 start = next.fetch_add(kBlock);
        if (start > last) return;
        const u64 end = std::min(last, start + kBlock - 1);
        check_block(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end), totals, log);
        if ((start / kBlock) % 64 == 0) {
          std::lock_guard<std::mutex> lock(log);
          // Blocks below start less the one or two still running are done.
          std::fprintf(stderr, "at %08llx, %.0f s: %llu values checked, %llu mismatches\n",
                       static_cast<unsigned long long>(start),
                       std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(),
                       static_cast<unsigned long long>(totals.inputs.load()),
                       static_cast<unsigned long long>(totals.mismatches.load()));
        }
      }
    });
  }
  for (auto& t : pool) t.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("float bit patterns %08llx..%08llx: %llu finite values checked (sin, cos of x, -x, x/2, -x/2), "
              "%llu NaN results of NaN/infinity checked\n",
              static_cast<unsigned long long>(first), static_cast<unsigned long long>(last),
              static_cast<unsigned long long>(totals.inputs.load()), static_cast<unsigned long long>(totals.nan_checked.load()));
  std::printf("mismatches: %llu\n", static_cast<unsigned long long>(totals.mismatches.load()));
  std::printf("screen undecided (big-number reference used): %llu\n", static_cast<unsigned long long>(totals.screen_undecided.load()));
  std::printf("fast path undecided (exact path taken), of the positive values: %llu\n", static_cast<unsigned long long>(totals.fast_undecided.load()));
  std::printf("time: %.0f s with %u threads\n", seconds, threads);
  return totals.mismatches.load() == 0 ? 0 : 1;
}
