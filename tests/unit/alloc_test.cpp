// Once a unit has written its first record, writing more records must not
// allocate: the record buffer is reused. Counted by replacing the global
// allocation functions of this test binary.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "textio/textio.h"
#include "unit/child_run.h"

namespace {
long g_allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr auto kPoint = textio::format("(1P,E13.5,TR2,E13.5)");
constexpr auto kSurface = textio::format("(2E18.10)");
constexpr auto kRegion = textio::format("('       ',I2,1P,E12.4,E12.4,E12.4)");
constexpr auto kValue = textio::format("(' SHCR   real_variable',/,'(',/,'  value            : ',1P,E12.4,/,')',/)");
constexpr auto kPrompt = textio::format("(' Enter shroud angle ',$)");

TEST(Allocation, NoneOnThePerRecordPath) {
  child::Result r = child::run([] {
    textio::open_file(40, "out.txt", "UNKNOWN");
    auto records = [](int count) {
      for (int j = 0; j < count; ++j) {
        const float x = 1.0f + static_cast<float>(j) * 0.37f;
        textio::write_formatted<kPoint>(6, x, -x);
        textio::write_formatted<kPoint>(40, x, -x);
        textio::write_formatted<kSurface>(40, x, x * x);
        textio::write_formatted<kRegion>(40, j % 100, x, 1.0f, 0.5f);
        textio::write_formatted<kValue>(40, x);
        textio::write_list(40, j);
        textio::write_formatted<kPrompt>(6);
        textio::write_list(6, x, x, x);
      }
    };
    records(1);
    const long before = g_allocations;
    records(1000);
    const long after = g_allocations;
    textio::close_file(40);
    _exit(after == before ? 0 : 1);
  });
  EXPECT_EQ(r.status, 0) << "records after the first allocated";
}

}  // namespace
