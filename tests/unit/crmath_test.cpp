#include "crmath/crmath.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "crmath/dd.h"
#include "crmath/paths.h"
#include "unit/exact_math_reference.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool same_bits(double a, double b) {
  if (a != a && b != b) return true;  // any NaN
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Doubles of every magnitude: random bit patterns, random values near the
// angles the programs use, and floats and their halves (domeprofile's angles).
std::vector<double> sample(std::uint64_t seed, int count) {
  std::mt19937_64 rng(seed);
  std::vector<double> xs;
  while (static_cast<int>(xs.size()) < count) {
    const std::uint64_t bits = rng();
    double x = std::bit_cast<double>(bits);
    switch (xs.size() % 4) {
      case 0: break;
      case 1: x = static_cast<double>(static_cast<std::int64_t>(bits >> 11)) * 0x1p-48 - 16; break;
      case 2: x = std::bit_cast<float>(static_cast<std::uint32_t>(bits)); break;
      default: x = std::bit_cast<float>(static_cast<std::uint32_t>(bits)) / 2.0; break;
    }
    if (x - x == 0) xs.push_back(x);  // finite
  }
  return xs;
}

// Arguments where argument reduction, the table or the rounding is hardest:
// signed zeros, subnormals, the edges of the fast path's ranges, multiples of
// pi/2 and the double nearest to a multiple of pi/2 of all (its cosine is
// about 4.7e-19), and the largest doubles.
const double kHardAngles[] = {
    0.0, -0.0, 0x1p-1074, 0x1.0p-1022, 0x0.fffffffffffffp-1022, 1e-300, 0x1.ffffffffffffep-27, 0x1p-27,
    0x1.0000000000001p-27, 0x1p-26, 0x1.fffffffffffffp-27, 0x1.0000000000001p-26, 1.4901161193847656e-08, 0.5,
    0.785, 0x1.921fb54442d18p-1, 0x1.921fb54442d19p-1, 1.0, 0x1.921fb54442d18p+0, 0x1.921fb54442d19p+0,
    0x1.921fb54442d18p+1, 0x1.2d97c7f3321d2p+2, 0x1.921fb54442d18p+2, 355.0, 103993.0, 0x1.fffffffffffffp+19,
    0x1p20, 0x1.0000000000001p20, 0x1.6ac5b262ca1ffp+849, 6381956970095103.0 * 0x1p797, 5.319372648326541e+255,
    1e15, 1e20, 1e22, 1e30, -1e30, 1.0e30 * 0.017453292f, 1e300, 0x1p1023, 0x1.fffffffffffffp1023,
    -0x1.fffffffffffffp1023, 3.4028234663852886e38, 1.7453292519943295e-2 * 1e20,
};

TEST(CrmathSinCos, HardAnglesMatchTheReference) {
  for (const double x : kHardAngles) {
    for (const double v : {x, -x}) {
      EXPECT_TRUE(same_bits(crmath::sin(v), mathref::sin(v))) << std::hexfloat << v;
      EXPECT_TRUE(same_bits(crmath::cos(v), mathref::cos(v))) << std::hexfloat << v;
    }
  }
}

TEST(CrmathSinCos, NotFiniteGivesNaN) {
  for (const double x : {kInf, -kInf, kNaN, -kNaN}) {
    EXPECT_TRUE(crmath::sin(x) != crmath::sin(x));
    EXPECT_TRUE(crmath::cos(x) != crmath::cos(x));
    EXPECT_TRUE(crmath::tan(x) != crmath::tan(x));
  }
}

TEST(CrmathSinCos, RandomSampleMatchesTheReference) {
  for (const double x : sample(19, 2400)) {
    ASSERT_TRUE(same_bits(crmath::sin(x), mathref::sin(x))) << std::hexfloat << x;
    ASSERT_TRUE(same_bits(crmath::cos(x), mathref::cos(x))) << std::hexfloat << x;
  }
}

// The exact path answers alone for any argument, not only the few the fast
// path leaves to it.
TEST(CrmathSinCos, ExactPathMatchesTheReference) {
  for (const double x : sample(23, 400)) {
    if (std::fabs(x) < 0x1p-26) continue;
    ASSERT_TRUE(same_bits(crmath::detail::sin_exact(x), mathref::sin(x))) << std::hexfloat << x;
    ASSERT_TRUE(same_bits(crmath::detail::cos_exact(x), mathref::cos(x))) << std::hexfloat << x;
  }
}

// The fast path's error bound is what its rounding test trusts: it must hold.
TEST(CrmathSinCos, FastPathWithinItsBound) {
  for (const double x : sample(29, 1500)) {
    const double ax = std::fabs(x);
    for (const bool want_cos : {false, true}) {
      crmath::detail::Approx a{};
      const bool tried = want_cos ? crmath::detail::cos_fast(ax, &a) : crmath::detail::sin_fast(ax, &a);
      if (!tried) continue;
      const mathref::Value v = mathref::sin_cos_value(ax, want_cos, 160);
      ASSERT_LT(mathref::log2_distance(a.hi, a.lo, v), std::log2(a.err)) << std::hexfloat << ax << " cos " << want_cos;
    }
  }
}

// Results next to a rounding midpoint: the angles among many whose fast path
// cannot decide (about one in several thousand), each against the reference.
TEST(CrmathSinCos, NearMidpointsMatchTheReference) {
  int found = 0;
  for (const double x : sample(31, 120000)) {
    for (const bool want_cos : {false, true}) {
      crmath::detail::Approx a{};
      const bool tried = want_cos ? crmath::detail::cos_fast(x, &a) : crmath::detail::sin_fast(x, &a);
      if (!tried || crmath::detail::rounds_to_hi(a.hi, a.lo, a.err)) continue;
      ++found;
      ASSERT_TRUE(same_bits(want_cos ? crmath::cos(x) : crmath::sin(x), want_cos ? mathref::cos(x) : mathref::sin(x)))
          << std::hexfloat << x << " cos " << want_cos;
    }
  }
  EXPECT_GE(found, 10);
}

TEST(CrmathSinCos, TangentIsTheQuotient) {
  for (const double x : {0.0, -0.0, 0.5, 1.0, 0x1.921fb54442d18p+0, 1e22, -1e30}) {
    EXPECT_TRUE(same_bits(crmath::tan(x), crmath::sin(x) / crmath::cos(x))) << x;
  }
}

// x^y where the usual C pow has a fixed answer, and the exact results:
// integer powers, perfect powers, midpoints (rounded to even), overflow,
// underflow and the subnormal range.
TEST(CrmathPow, SpecialValuesAndExactResults) {
  const struct {
    double x, y, want;
  } cases[] = {
      {0, 0, 1}, {kNaN, 0, 1}, {kNaN, -0.0, 1}, {1, kNaN, 1}, {1, kInf, 1}, {-1, kInf, 1}, {-1, -kInf, 1},
      {0.5, kInf, 0}, {0.5, -kInf, kInf}, {2, kInf, kInf}, {2, -kInf, 0}, {-0.5, kInf, 0}, {-2, -kInf, 0},
      {0.0, -1, kInf}, {-0.0, -1, -kInf}, {-0.0, -2, kInf}, {-0.0, -0.5, kInf}, {0.0, -kInf, kInf},
      {0.0, 3, 0.0}, {-0.0, 3, -0.0}, {-0.0, 2, 0.0}, {-0.0, 0.5, 0.0}, {0.0, kInf, 0.0},
      {-kInf, 3, -kInf}, {-kInf, 2, kInf}, {-kInf, 0.5, kInf}, {-kInf, -3, -0.0}, {-kInf, -2, 0.0},
      {kInf, -1, 0.0}, {kInf, 0.5, kInf}, {kNaN, 1, kNaN}, {2, kNaN, kNaN},
      {-8, 1.0 / 3, kNaN}, {-2, 0.5, kNaN}, {-2, 3, -8}, {-2, -3, -0.125}, {-2, 2, 4}, {-1, 1e300, 1},
      {-1, 3, -1}, {-3, 33, -5559060566555523.0},
      {2, 3, 8}, {10, -2, 0.01}, {9, 0.5, 3}, {4, 2.5, 32}, {16, 0.25, 2}, {0.25, 1.5, 0.125}, {1.5, 2, 2.25},
      {3, 33, 5559060566555523.0}, {3, 34, 16677181699666568.0},  // 3^34 is a midpoint: to even
      {2, 1023, 0x1p1023}, {2, 1024, kInf}, {10, 309, kInf}, {-10, 309, -kInf}, {10, -400, 0},
      {2, -1074, 0x1p-1074}, {0.5, 1074, 0x1p-1074}, {2, -1075, 0}, {0.5, 1075, 0},  // 2^-1075: a tie, to 0
      {2, -1022, 0x1p-1022}, {0x1p-537, 2, 0x1p-1074}, {0x1.8p-537, 2, 0x1p-1073},  // 2.25 * 2^-1074 -> 2
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(same_bits(crmath::pow(c.x, c.y), c.want)) << std::hexfloat << c.x << " ^ " << c.y << " = "
                                                          << crmath::pow(c.x, c.y);
  }
}

// Exact and midpoint results against the reference, which finds them its own
// way (by powers of the candidate, not by roots).
TEST(CrmathPow, ExactAndMidpointResultsMatchTheReference) {
  const double c27 = 134217727.0;  // 2^27 - 1: its square has 54 bits
  const struct {
    double x, y;
  } cases[] = {
      {c27, 2}, {c27 * c27, 0.5}, {c27 * 0x1p-60, 2}, {3, 34}, {5, 23}, {5, 22}, {7, 19}, {1.5, 33}, {0.75, 31},
      {c27 * c27 * c27 * 0x1p-81, 1.0 / 3}, {0x1.0000001p0, 2}, {0x1.0000001p0, 4}, {1.25, 24}, {6561, 0.25},
      {6561, 0.75}, {6561, 1.25}, {6561, -0.25}, {0x1p-1000, 1.0742}, {0x1p-600, 1.79}, {0x1.8p-600, 1.79},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(same_bits(crmath::pow(c.x, c.y), mathref::pow_positive(c.x, c.y)))
        << std::hexfloat << c.x << " ^ " << c.y;
  }
}

std::vector<std::pair<double, double>> pow_sample(std::uint64_t seed, int count) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<std::pair<double, double>> out;
  while (static_cast<int>(out.size()) < count) {
    const int kind = static_cast<int>(out.size() % 4);
    double x = std::ldexp(0.5 + unit(rng), static_cast<int>(rng() % 200) - 100);
    double y = (unit(rng) - 0.5) * std::ldexp(1.0, static_cast<int>(rng() % 14));
    if (kind == 1) x = 1 + (unit(rng) - 0.5) * 0x1p-20;  // near 1, large powers
    if (kind == 1) y = (unit(rng) - 0.5) * 0x1p30;
    if (kind == 2) x = std::ldexp(unit(rng), -1040);      // subnormal
    if (kind == 2) y = unit(rng) * 1.2;
    if (kind == 3) y = std::round(y);                      // integer powers
    if (x > 0 && x != 1 && y != 0) out.emplace_back(x, y);
  }
  return out;
}

TEST(CrmathPow, RandomSampleMatchesTheReference) {
  for (const auto& [x, y] : pow_sample(37, 1600)) {
    ASSERT_TRUE(same_bits(crmath::pow(x, y), mathref::pow_positive(x, y))) << std::hexfloat << x << " ^ " << y;
    // A negative base with an integer exponent: the same magnitude.
    if (y == std::round(y)) {
      const double odd = std::fmod(y, 2.0) != 0 ? -1.0 : 1.0;
      ASSERT_TRUE(same_bits(crmath::pow(-x, y), odd * crmath::pow(x, y))) << std::hexfloat << -x << " ^ " << y;
    }
  }
}

TEST(CrmathPow, ExactPathMatchesTheReference) {
  for (const auto& [x, y] : pow_sample(41, 300)) {
    const double want = mathref::pow_positive(x, y);
    if (want == 0 || want == kInf) continue;  // decided before the exact path
    ASSERT_TRUE(same_bits(crmath::detail::pow_exact(x, y), want)) << std::hexfloat << x << " ^ " << y;
  }
}

TEST(CrmathPow, NearMidpointsMatchTheReference) {
  int found = 0;
  for (const auto& [x, y] : pow_sample(43, 40000)) {
    crmath::detail::Approx a{};
    if (!crmath::detail::pow_fast(x, y, &a) || crmath::detail::rounds_to_hi(a.hi, a.lo, a.err)) continue;
    ++found;
    ASSERT_TRUE(same_bits(crmath::pow(x, y), mathref::pow_positive(x, y))) << std::hexfloat << x << " ^ " << y;
  }
  EXPECT_GE(found, 10);
}

}  // namespace
