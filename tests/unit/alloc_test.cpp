// Once a unit has written its first record, writing more records must not
// allocate: the record buffer is reused. Counted by replacing the global
// allocation functions (common/counting_new.cpp).
#include <gtest/gtest.h>

#include "common/counting_new.h"
#include "textio/textio.h"
#include "unit/child_run.h"

namespace {

constexpr auto kPoint = textio::format("(1P,E13.5,TR2,E13.5)");
constexpr auto kSurface = textio::format("(2E18.10)");
constexpr auto kRegion = textio::format("('       ',I2,1P,E12.4,E12.4,E12.4)");
constexpr auto kValue = textio::format("(' SHCR   real_variable',/,'(',/,'  value            : ',1P,E12.4,/,')',/)");
constexpr auto kPrompt = textio::format("(' Enter shroud angle ',$)");

TEST(Allocation, NoneOnThePerRecordPath) {
  child::Result r = child::run([] {
    textio::open_file(40, textio::FileName<20>("out.txt"), "UNKNOWN");
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
    const long before = counting_new::allocations();
    records(1000);
    const long after = counting_new::allocations();
    textio::close_file(40);
    _exit(after == before ? 0 : 1);
  });
  EXPECT_EQ(r.status, 0) << "records after the first allocated";
}

}  // namespace
