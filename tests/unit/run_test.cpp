// The start of a run and the console events.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdint>
#include <string>

#include "textio/textio.h"
#include "unit/child_run.h"

namespace {

using child::start;

constexpr auto kRecord = textio::format("(' a record')");

TEST(Run, StartOfARunIsSilent) {
  child::Result r = child::run(start);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

// The report, then the line end the console still owes (none after an
// answered prompt, whose echo ended the line), then the shell's status for a
// run ended by that signal.
TEST(Run, ConsoleEventsSendTheOwedLineEnd) {
  static constexpr auto kAsk = textio::format("(' Enter x ',$)");
  struct Event {
    int signal;
    const char* name;
  };
  const Event events[] = {{SIGINT, "control-C"}, {SIGQUIT, "control-BREAK"}, {SIGHUP, "window-CLOSE"}};
  for (const Event& e : events) {
    for (const bool answered : {false, true}) {
      child::Result r = child::run(
          [&] {
            start();
            if (answered) {
              std::int32_t n = 0;
              textio::write_formatted<kAsk>(6);
              textio::read_list(5, n);
            } else {
              textio::write_formatted<kRecord>(6);
            }
            raise(e.signal);
          },
          "1\n");
      EXPECT_EQ(r.out, answered ? "Enter x " : "a record\r\n") << e.name;
      EXPECT_EQ(r.err, std::string("textio: error (200): program aborting due to ") + e.name + " event\n");
      EXPECT_EQ(r.status, 128 + e.signal);
    }
  }
}

}  // namespace
