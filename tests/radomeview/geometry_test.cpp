// Crossings, distances, round ticks and the streaming simplifier.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <random>
#include <vector>

#include "radomeview/geometry.h"

namespace radomeview {
namespace {

TEST(SegmentsCross, WhereTwoSegmentsMeet) {
  const struct {
    const char* what;
    Vec a, b, c, d;
    bool cross;
    Vec where;
  } cases[] = {
      {"an X", {0, 0}, {2, 2}, {0, 2}, {2, 0}, true, {1, 1}},
      {"parallel", {0, 0}, {2, 0}, {0, 1}, {2, 1}, false, {}},
      {"apart on one line", {0, 0}, {1, 0}, {2, 0}, {3, 0}, false, {}},
      {"end to end on one line (a shared node)", {0, 0}, {1, 0}, {1, 0}, {3, 0}, false, {}},
      {"overlapping on one line", {0, 0}, {2, 0}, {1, 0}, {3, 0}, true, {1.5, 0}},
      {"one inside the other", {0, 0}, {4, 0}, {1, 0}, {2, 0}, true, {1.5, 0}},
      {"a shared end, at an angle", {0, 0}, {1, 0}, {1, 0}, {1, 1}, false, {}},
      {"an end on the other's middle", {0, 0}, {2, 0}, {1, 0}, {1, 1}, true, {1, 0}},
      {"would meet beyond an end", {0, 0}, {1, 0}, {2, -1}, {2, 1}, false, {}},
      {"a node a rounding away from the shared one", {0, 0}, {1, 0}, {1 + 1e-13, 0}, {1, 1}, false, {}},
      {"collinear up to rounding, apart", {0, 0}, {1, 1}, {2, 2 + 1e-14}, {3, 3}, false, {}},
      {"zero length", {0, 0}, {0, 0}, {-1, 0}, {1, 0}, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Vec where{-99, -99};
    EXPECT_EQ(segments_cross(c.a, c.b, c.c, c.d, &where), c.cross);
    EXPECT_EQ(segments_cross(c.c, c.d, c.a, c.b, &where), c.cross) << "the other way round";
    if (c.cross) {
      EXPECT_NEAR(where.x, c.where.x, 1e-12);
      EXPECT_NEAR(where.y, c.where.y, 1e-12);
    }
  }
}

// The quick answer for segments that share an end is never yes where the
// full test says they cross, and it is given for the plain corner of a chain.
TEST(SegmentsCross, OnlyAnEndSharedAgreesWithTheFullTest) {
  EXPECT_TRUE(only_an_end_shared({0, 0}, {1, 0}, {1, 0}, {1, 1}));
  EXPECT_FALSE(only_an_end_shared({0, 0}, {2, 0}, {2, 0}, {1, 0})) << "folded back on itself";
  EXPECT_FALSE(only_an_end_shared({0, 0}, {1, 0}, {2, 0}, {2, 1})) << "no end shared";
  std::mt19937_64 rng(18);
  std::uniform_real_distribution<double> unit(-1, 1);
  const double scales[] = {1e-120, 1e-90, 1e-9, 1, 1e3, 1e90, 1e120};
  const double bends[] = {0, 1e-20, 1e-12, 1e-10, 1e-9, 2e-9, 1e-8, 1e-3, 1};
  int quick = 0;
  for (int n = 0; n < 200000; ++n) {
    const double scale = scales[n % std::size(scales)], bend = bends[(n / 7) % std::size(bends)];
    const Vec offset{unit(rng) * scale * (n % 3 == 0 ? 1e6 : 1), unit(rng) * scale};
    const Vec shared{offset.x + unit(rng) * scale, offset.y + unit(rng) * scale};
    const Vec dir{unit(rng), unit(rng)};
    const double back = (n / 63) % 2 == 0 ? 1 : -0.5;  // straight on, or folded back over the first
    const Vec other{shared.x + back * dir.x * scale + bend * dir.y * scale, shared.y + back * dir.y * scale - bend * dir.x * scale};
    const Vec first{shared.x - dir.x * scale * unit(rng), shared.y - dir.y * scale * unit(rng)};
    // The shared end in each of the four places.
    const Vec arrangements[][4] = {{first, shared, shared, other}, {shared, first, other, shared},
                                   {shared, first, shared, other}, {first, shared, other, shared}};
    for (const auto& s : arrangements) {
      if (!only_an_end_shared(s[0], s[1], s[2], s[3])) continue;
      ++quick;
      Vec where;
      ASSERT_FALSE(segments_cross(s[0], s[1], s[2], s[3], &where))
          << "scale " << scale << " bend " << bend << " back " << back;
    }
  }
  EXPECT_GT(quick, 200000) << "the quick answer should decide most corners";
}

TEST(DistanceToSegment, InsideAndBeyondTheEnds) {
  EXPECT_DOUBLE_EQ(distance_to_segment({1, 1}, {0, 0}, {2, 0}), 1);
  EXPECT_DOUBLE_EQ(distance_to_segment({5, 4}, {0, 0}, {2, 0}), 5);
  EXPECT_DOUBLE_EQ(distance_to_segment({-3, 0}, {0, 0}, {0, 0}), 3);
}

TEST(Ticks, RoundStepsAndExactLabels) {
  const struct {
    double span;
    long long mantissa;
    int exponent;
    long long k;
    const char* label;
  } cases[] = {
      {10, 1, 0, 3, "3"},       {20, 2, 0, 5, "10"},       {40, 5, 0, -3, "-15"},    {1, 1, -1, 3, "0.3"},
      {0.02, 2, -3, 7, "0.014"}, {5e5, 5, 4, 2, "100000"}, {6.25e7, 1, 7, 6, "60000000"}, {3.2, 5, -1, 1, "0.5"},
      {0.8, 1, -1, -10, "-1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.span);
    const Ticks t = round_ticks(c.span, 8);
    EXPECT_EQ(t.mantissa, c.mantissa);
    EXPECT_EQ(t.exponent, c.exponent);
    EXPECT_EQ(t.label(c.k), c.label);
    EXPECT_EQ(t.label(0), "0");
  }
  // 0.1 × 3 is 0.30000000000000004 in double; the tick value is the nearest to 0.3.
  Ticks tenth;
  tenth.exponent = -1;
  EXPECT_EQ(tenth.value(3), 0.3);
}

// The largest distance from any point given to the polyline kept.
double deviation(const std::vector<Vec>& points, const std::vector<Vec>& path) {
  double worst = 0;
  for (const Vec& p : points) {
    double best = INFINITY;
    for (std::size_t i = 1; i < path.size(); ++i) best = std::min(best, distance_to_segment(p, path[i - 1], path[i]));
    if (path.size() == 1) best = std::hypot(p.x - path[0].x, p.y - path[0].y);
    worst = std::max(worst, best);
  }
  return worst;
}

TEST(PathSimplifier, WithinToleranceAndBounded) {
  const struct {
    const char* what;
    double (*y)(double);
    std::size_t cap;
    std::size_t most;   // vertices kept at most
    bool within;        // every point within the tolerance of the path
  } cases[] = {
      {"a line", [](double x) { return 3 * x; }, 100000, 2, true},
      {"a parabola", [](double x) { return x * x / 400; }, 100000, 300, true},
      {"a circle", [](double x) { return std::sqrt(std::max(0.0, 1e6 - (x - 1000) * (x - 1000))); }, 100000, 400, true},
      {"noise, the room full", [](double x) { return std::fmod(x * 7919, 13.0); }, 64, 64, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Vec> path, points;
    PathSimplifier s(&path, c.cap, 1e-4);
    Extents e;
    const int count = 100000;
    for (int i = 0; i < count; ++i) {
      const Vec p{i / 50.0, c.y(i / 50.0)};
      e.add(p);
      s.add(p, e);
      ASSERT_LE(path.size(), c.cap);
      if (i % 7 == 0) points.push_back(p);
    }
    s.finish();
    EXPECT_LE(path.size(), c.most);
    EXPECT_EQ(path.front().x, 0);
    EXPECT_EQ(path.back().x, (count - 1) / 50.0) << "the last point is kept";
    if (c.within) {
      EXPECT_LE(deviation(points, path), 1e-4 * e.span());
    }
  }
}

TEST(PathSimplifier, GapsSplitThePath) {
  std::vector<Vec> path;
  PathSimplifier s(&path, 100, 1e-6);
  Extents e;
  for (Vec p : {Vec{0, 0}, Vec{1, 0}}) {
    e.add(p);
    s.add(p, e);
  }
  s.gap();
  s.gap();  // a second gap in a row adds nothing
  for (Vec p : {Vec{2, 1}, Vec{3, 1}}) {
    e.add(p);
    s.add(p, e);
  }
  s.finish();
  ASSERT_EQ(path.size(), 5u);
  EXPECT_TRUE(std::isnan(path[2].x));
  EXPECT_EQ(path[3].x, 2);
}

}  // namespace
}  // namespace radomeview
