// The portable decimal reader (radomeview/decimal.h) against the C++
// library's std::from_chars, on the fields radomeview reads: the numbers the
// programs write (E fields of 6 and 10 digits), shortest forms, and the rare
// long or halfway texts that take the exact route.
#include <benchmark/benchmark.h>

#include <charconv>
#include <string>
#include <vector>

#include "radomeview/decimal.h"

namespace {

const std::vector<std::string>& fields(int kind) {
  static const std::vector<std::vector<std::string>> kinds = {
      {"1.00000E+01", "-4.37114E-07", "9.84808E+00", "1.73648E+00", "-1.31134E-06", "7.66044E+00"},
      {"0.1562500000E+01", "0.3906250000E+00", "0.1250000000E+02", "0.6250000000E+01", "0.3515625000E+01"},
      {"0.1", "2.5", "1e+16", "0.30000000000000004", "123.456", "-7.25"},
      {"1.00000000000000011102230246251565404236316680908203125", "2.4703282292062328e-324",
       "179769313486231580793728971405301e276", "9007199254740993", "3.14159265358979323846264338327950288"},
  };
  return kinds[static_cast<std::size_t>(kind)];
}

template <class Read>
void run(benchmark::State& state, Read read) {
  const std::vector<std::string>& f = fields(static_cast<int>(state.range(0)));
  double sum = 0;
  for (auto _ : state) {
    for (const std::string& s : f) {
      double v = 0;
      read(s.data(), s.data() + s.size(), v);
      sum += v;
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(f.size()));
}

void BM_FromChars(benchmark::State& state) {
  run(state, [](const char* a, const char* b, double& v) { return std::from_chars(a, b, v); });
}
void BM_ReadDecimal(benchmark::State& state) { run(state, radomeview::read_decimal); }

// 0: domeprofile's fields, 1: dishsurface's, 2: shortest forms, 3: hard cases.
BENCHMARK(BM_FromChars)->DenseRange(0, 3);
BENCHMARK(BM_ReadDecimal)->DenseRange(0, 3);

}  // namespace

BENCHMARK_MAIN();
