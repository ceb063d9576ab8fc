// The median against std::nth_element over all the numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "radomeview/median.h"

namespace radomeview {
namespace {

TEST(Median, TheValueAFullSelectionGives) {
  std::mt19937_64 rng(7);
  std::normal_distribution<double> spread(0, 1);
  const struct {
    const char* what;
    double (*make)(std::mt19937_64&, std::normal_distribution<double>&, std::size_t);
  } shapes[] = {
      {"spread over many powers of two", [](auto& r, auto& n, std::size_t) { return std::ldexp(n(r), int(r() % 40) - 20); }},
      {"signs and zeros of both signs", [](auto& r, auto&, std::size_t i) { return i % 3 == 0 ? (r() % 2 ? 0.0 : -0.0) : double(int(r() % 7) - 3); }},
      {"nearly all in one bucket", [](auto& r, auto&, std::size_t) { return 1000 + double(r() % 1000) * 1e-9; }},
      {"coordinates of a ring", [](auto&, auto&, std::size_t i) { return 500 + 400 * std::cos(double(i)); }},
      {"infinities among them", [](auto& r, auto& n, std::size_t i) { return i % 5 == 0 ? (r() % 2 ? HUGE_VAL : -HUGE_VAL) : n(r); }},
  };
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.what);
    for (std::size_t size : {0, 1, 2, 4095, 4096, 4097, 10000, 100001}) {
      std::vector<double> v(size);
      for (std::size_t i = 0; i < size; ++i) v[i] = shape.make(rng, spread, i);
      std::vector<double> all = v;
      const double want = size == 0 ? 0 : (std::nth_element(all.begin(), all.begin() + std::ptrdiff_t(size / 2), all.end()), all[size / 2]);
      EXPECT_EQ(median(&v), want) << size << " numbers";
    }
  }
}

}  // namespace
}  // namespace radomeview
