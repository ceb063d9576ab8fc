// Micro-benchmarks of the I/O layer's per-record work: the E fields the
// programs write, the free-form float field, the free-form read of a typical
// token (and of a whole statement), and one whole point record of each
// program through a unit.
//
// The values are those the programs produce (a circle swept over polar
// angles, a paraboloid's radius and height, a shroud's layer constants), so
// the digit paths taken are the usual ones. Record benchmarks write to
// /dev/null: the cost includes one write(2) per record, as in the programs;
// BM_RawWrite gives that call alone. The counter allocs is the number of
// allocations per iteration, counted by replacing the global operator new.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/counting_new.h"
#include "textio/edit.h"
#include "textio/scan.h"
#include "textio/textio.h"

namespace {

constexpr auto kDomePoint = textio::format("(1P,E13.5,TR2,E13.5)");
constexpr auto kDishPoint = textio::format("(2E18.10)");
constexpr auto kLinerRegion = textio::format("('       ',I2,1P,3E12.4)");

constexpr int kDomeUnit = 40;
constexpr int kDishUnit = 41;
constexpr int kLinerUnit = 43;

constexpr std::size_t kValues = 4096;  // a power of two: the index wraps with a mask

// domeprofile's circle: radius 10 about the origin, a full turn, in the
// program's arithmetic.
struct Points {
  std::vector<float> a, b;
};

Points circle() {
  Points p;
  const float degree = 0.017453292f;
  const float da = static_cast<float>(360.0 / (kValues - 1.0));
  for (std::size_t i = 0; i < kValues; ++i) {
    const float theta = static_cast<float>((static_cast<double>(i) * da + 0.0f) * degree);
    p.a.push_back(static_cast<float>(std::cos(double{theta}) * 10.0f + 0.0f));
    p.b.push_back(static_cast<float>(std::sin(double{theta}) * 10.0f));
  }
  return p;
}

// dishsurface's paraboloid, f = 1000, diameters spread over 0 to 999999.
Points paraboloid() {
  Points p;
  for (std::size_t i = 0; i < kValues; ++i) {
    const float d = static_cast<float>(static_cast<double>(i) * 244.0);
    const float r = static_cast<float>(double{d} / 2.0);
    p.a.push_back(r);
    p.b.push_back(static_cast<float>(double{r} * r * 1.0f / 4.0 / 1000.0f + 0.0f));
  }
  return p;
}

// linermesh's layer constants: permittivities, permeabilities and loss
// tangents of absorber layers.
Points layers() {
  Points p;
  for (std::size_t i = 0; i < kValues; ++i) {
    p.a.push_back(1.0f + static_cast<float>(i % 97) * 0.173f);
    p.b.push_back(static_cast<float>(i % 13) * 0.0037f + 0.0001f);
  }
  return p;
}

// Values shown by free-form writes: echoes of typed answers and pi.
std::vector<float> list_values() {
  const float typed[] = {3.14159274f, 10.0f, 0.5f, 360.0f, 45.0f, 1000.0f, -2.5f, 0.0125f, 1234567.0f, 1.0e10f,
                         0.05f,       0.0f,  90.0f, 12.3456789f, -0.001f, 2.0f};
  std::vector<float> v;
  for (std::size_t i = 0; i < kValues; ++i) v.push_back(typed[i % std::size(typed)]);
  return v;
}

const Points& dome_values() {
  static const Points p = circle();
  return p;
}
const Points& dish_values() {
  static const Points p = paraboloid();
  return p;
}
const Points& liner_values() {
  static const Points p = layers();
  return p;
}

void edit_e_field(benchmark::State& state, const std::vector<float>& values, int w, int d, int k) {
  char out[32];
  std::size_t i = 0;
  for (auto _ : state) {
    textio::edit_e(out, values[i++ & (kValues - 1)], w, d, k);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_EditE_1P_E13_5(benchmark::State& state) { edit_e_field(state, dome_values().a, 13, 5, 1); }
void BM_EditE_1P_E12_4(benchmark::State& state) { edit_e_field(state, liner_values().a, 12, 4, 1); }
void BM_EditE_E18_10(benchmark::State& state) { edit_e_field(state, dish_values().b, 18, 10, 0); }

void BM_EditListFloat(benchmark::State& state) {
  static const std::vector<float> values = list_values();
  char out[textio::kListFloatWidth];
  std::size_t i = 0;
  for (auto _ : state) {
    textio::edit_list_float(out, values[i++ & (kValues - 1)]);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ConvertFloat(benchmark::State& state, std::string_view token) {
  float value = 0;
  for (auto _ : state) {
    std::string_view t = token;
    benchmark::DoNotOptimize(t);
    benchmark::DoNotOptimize(textio::convert_float(t, &value));
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations());
}

// What a free-form read does with a float token: the scan rules, then the
// conversion.
void BM_ReadFloatToken(benchmark::State& state, std::string_view token) {
  float value = 0;
  for (auto _ : state) {
    std::string_view t = token;
    benchmark::DoNotOptimize(t);
    bool integer_form = false;
    benchmark::DoNotOptimize(textio::scan_number(t, &integer_form));
    benchmark::DoNotOptimize(textio::convert_float(t, &value));
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations());
}

// One line, again and again.
class SameLine final : public textio::LineSource {
 public:
  explicit SameLine(std::string_view line) : line_(line) {}
  int next(std::string_view* line) override {
    *line = line_;
    return 0;
  }

 private:
  std::string_view line_;
};

// A whole read statement of domeprofile's angle line: two floats and an
// integer.
void BM_ReadListStatement(benchmark::State& state) {
  SameLine source("0 360 1000000");
  float a1 = 0, a2 = 0;
  std::int32_t n = 0;
  const textio::InItem items[] = {{textio::ItemKind::real, &a1}, {textio::ItemKind::real, &a2},
                                  {textio::ItemKind::integer, &n}};
  for (auto _ : state) {
    benchmark::DoNotOptimize(textio::read_list_from(source, items, 3));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

int null_fd() {
  static const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  return fd;
}

// The file units go to /dev/null; so does the console unit, whose stream
// would otherwise be this report.
void connect_units() {
  static const bool done = [] {
    const textio::FileName<9> null_device("/dev/null");
    textio::open_file(kDomeUnit, null_device, "UNKNOWN");
    textio::open_file(kDishUnit, null_device, "UNKNOWN");
    textio::open_file(kLinerUnit, null_device, "UNKNOWN");
    textio::acquire_unit(textio::kConsoleOut).handle = null_fd();
    return true;
  }();
  (void)done;
}

// Allocations per iteration, from the first timed record on: the records
// written before the loop (one per unit) may size the buffers.
template <class F>
void record_loop(benchmark::State& state, F&& write_one) {
  connect_units();
  write_one(std::size_t{0});
  std::size_t i = 1;
  const long before = counting_new::allocations();
  for (auto _ : state) write_one(i++ & (kValues - 1));
  state.counters["allocs"] =
      benchmark::Counter(static_cast<double>(counting_new::allocations() - before), benchmark::Counter::kAvgIterations);
  state.SetItemsProcessed(state.iterations());
}

// dishsurface: one file record per point.
void BM_Record_Dishsurface(benchmark::State& state) {
  const Points& p = dish_values();
  record_loop(state, [&](std::size_t j) { textio::write_formatted<kDishPoint>(kDishUnit, p.a[j], p.b[j]); });
}

// domeprofile, curves 1 to 3: the console echo, then the file record.
void BM_Record_Domeprofile(benchmark::State& state) {
  const Points& p = dome_values();
  record_loop(state, [&](std::size_t j) {
    textio::write_formatted<kDomePoint>(textio::kConsoleOut, p.a[j], p.b[j]);
    textio::write_formatted<kDomePoint>(kDomeUnit, p.a[j], p.b[j]);
  });
}

// domeprofile, curve 4: the file record only.
void BM_Record_DomeprofileFileOnly(benchmark::State& state) {
  const Points& p = dome_values();
  record_loop(state, [&](std::size_t j) { textio::write_formatted<kDomePoint>(kDomeUnit, p.a[j], p.b[j]); });
}

// linermesh: one region row of the bor_mesh table.
void BM_Record_LinermeshRegion(benchmark::State& state) {
  const Points& p = liner_values();
  record_loop(state, [&](std::size_t j) {
    const std::int32_t region = static_cast<std::int32_t>(j % 99) + 1;
    textio::write_formatted<kLinerRegion>(kLinerUnit, region, p.a[j], 1.0f, p.b[j]);
  });
}

// The system call alone: one 30-byte write to /dev/null.
void BM_RawWrite(benchmark::State& state) {
  const char record[] = "  1.00000E+01    0.00000E+00\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(::write(null_fd(), record, sizeof record - 1));
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_EditE_1P_E13_5);
BENCHMARK(BM_EditE_1P_E12_4);
BENCHMARK(BM_EditE_E18_10);
BENCHMARK(BM_EditListFloat);
BENCHMARK_CAPTURE(BM_ConvertFloat, integer_10, std::string_view("10"));
BENCHMARK_CAPTURE(BM_ConvertFloat, decimal_12_3456789, std::string_view("12.3456789"));
BENCHMARK_CAPTURE(BM_ConvertFloat, exponent_1_5E3, std::string_view("1.5E3"));
BENCHMARK_CAPTURE(BM_ReadFloatToken, decimal_12_3456789, std::string_view("12.3456789"));
BENCHMARK(BM_ReadListStatement);
BENCHMARK(BM_Record_Dishsurface);
BENCHMARK(BM_Record_Domeprofile);
BENCHMARK(BM_Record_DomeprofileFileOnly);
BENCHMARK(BM_Record_LinermeshRegion);
BENCHMARK(BM_RawWrite);

BENCHMARK_MAIN();
