// The failure path: the diagnostic lines and how a failing run ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <string>

#include "textio/textio.h"
#include "unit/child_run.h"

namespace {

using child::start;

constexpr auto kRecord = textio::format("(' a record')");

TEST(Failure, DiagnosticLines) {
  struct Case {
    textio::Severity severity;
    textio::Failure failure;
    const char* lines;
  };
  const std::string long_name(2000, 'n');
  const Case cases[] = {
      {textio::Severity::severe, {59, 5, 0, "CONIN$"},
       "textio: severe (59): list-directed I/O syntax error, unit 5, file CONIN$\n"},
      {textio::Severity::error, {200, 0, 0, "control-C"}, "textio: error (200): program aborting due to control-C event\n"},
      {textio::Severity::severe, {30, 40, EACCES, "out.dat"},
       "textio: Permission denied\ntextio: severe (30): open failure, unit 40, file out.dat\n"},
      {textio::Severity::severe, {64, 5, 0, "CONIN$", "unit code 9 is not one of 1 to 5"},
       "textio: severe (64): unit code 9 is not one of 1 to 5, unit 5, file CONIN$\n"},
      {textio::Severity::severe, {41}, "textio: severe (41): insufficient virtual memory\n"},
      {textio::Severity::severe, {42, 40, 0, "Q:out.dat"}, "textio: severe (42): no such device, unit 40, file Q:out.dat\n"},
      {textio::Severity::info, {7, 3}, "textio: info (7): unknown error 7\n"},
      {textio::Severity::severe, {22, 40, 0, long_name}, nullptr},
  };
  for (const Case& c : cases) {
    textio::Diagnostic d;
    textio::format_diagnostic(d, c.severity, c.failure);
    if (c.lines != nullptr) {
      EXPECT_EQ(d.view(), c.lines);
    } else {
      EXPECT_EQ(d.length, textio::Diagnostic::kCapacity);  // cut at the buffer, not past it
    }
  }
  EXPECT_EQ(textio::make_status(textio::Severity::severe, 59), 0xC000003Bu);
  EXPECT_EQ(textio::make_status(textio::Severity::error, 200), 0x800000C8u);
}

// A reader that went away is a write error of the console unit, not a
// silent death by signal.
TEST(Failure, ClosedPipeOnStandardOutput) {
  child::Result r = child::run([] {
    start();
    int p[2];
    if (pipe(p) != 0) _exit(1);
    close(p[0]);
    dup2(p[1], 1);
    textio::write_formatted<kRecord>(6);
  });
  EXPECT_EQ(r.err, "textio: Broken pipe\ntextio: severe (38): error during write, unit 6, file CONOUT$\n");
  EXPECT_EQ(r.status, 38);
}

// Memory that runs out where nothing expects it (an exception nobody
// catches) still ends the run through the failure path: the report, the
// units closed with their records, the status.
TEST(Failure, UnhandledExhaustionIsReported) {
  child::Result r = child::run([] {
    start();
    static constexpr auto kLine = textio::format("('kept')");
    textio::open_file(40, textio::FileName<20>("out.txt"), "UNKNOWN");
    textio::write_formatted<kLine>(40);
    textio::write_formatted<kRecord>(6);
    std::terminate();
  });
  EXPECT_EQ(r.err, "textio: severe (41): insufficient virtual memory\n");
  EXPECT_EQ(r.status, 41);
  EXPECT_EQ(r.out, "a record\r\n");
  EXPECT_EQ(r.files["out.txt"], "kept\r\n");
}

}  // namespace
