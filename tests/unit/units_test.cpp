// The unit table's connections, names and the start of a run.
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <termios.h>

#include <cerrno>
#include <exception>
#include <unistd.h>

#include "textio/textio.h"
#include "unit/child_run.h"

namespace {

void say(const std::string& s) {
  ssize_t ignored = write(2, s.data(), s.size());
  (void)ignored;
}

// A terminal is read in blocks: two lines that arrive in one read both
// count, the second kept for the next statement.
TEST(Units, TerminalInputIsReadInBlocksWithTheSurplusKept) {
  child::Result r = child::run([] {
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) _exit(1);
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);  // no line discipline: one read returns both lines
    tcsetattr(slave, TCSANOW, &raw);
    dup2(slave, 0);
    const char typed[] = "11 12\n13\n";
    if (write(master, typed, sizeof typed - 1) != sizeof typed - 1) _exit(1);
    usleep(20000);
    std::int32_t a = 0, b = 0, c = 0;
    textio::read_list(5, a, b);
    say(textio::acquire_unit(5).byte_reads ? "bytes " : "blocks ");
    close(master);  // the second line must already be in hand
    textio::read_list(5, c);
    say(std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + "\n");
  });
  EXPECT_EQ(r.err, "blocks 11 12 13\n");
}

TEST(Units, FileNamesAreTrimmed) {
  EXPECT_EQ(textio::trim_file_name("  out.rsf   "), "out.rsf");
  EXPECT_EQ(textio::trim_file_name(std::string_view("a b\0\0 \0", 7)), "a b");
  EXPECT_EQ(textio::trim_file_name("\tx "), "\tx");
  EXPECT_EQ(textio::trim_file_name("     "), "");
  EXPECT_EQ(textio::trim_file_name(std::string(300, 'n')).size(), 256u);
}

TEST(Units, DiagnosticLine) {
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

TEST(Units, StartOfARunIsSilent) {
  child::Result r = child::run([] {
    char name[] = "prog";
    char* argv[] = {name, nullptr};
    textio::start_run(1, argv);
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

TEST(Units, ReopeningAUnitClosesItFirst) {
  child::Result r = child::run([] {
    static constexpr auto kRecord = textio::format("('one')");
    textio::open_file(40, "a.txt", "UNKNOWN");
    textio::write_formatted<kRecord>(40);
    textio::open_file(40, "b.txt", "UNKNOWN");
    textio::write_formatted<kRecord>(40);
    textio::close_file(40);
    textio::close_file(40);  // closing a unit that is not connected does nothing
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.files["a.txt"], "one\r\n");
  EXPECT_EQ(r.files["b.txt"], "one\r\n");
}

}  // namespace

namespace {

constexpr auto kRecord = textio::format("(' a record')");

void start() {
  char name[] = "prog";
  char* argv[] = {name, nullptr};
  textio::start_run(1, argv);
}

// A reader that went away is a write error of the console unit, not a
// silent death by signal.
TEST(Units, ClosedPipeOnStandardOutput) {
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

struct Event {
  int signal;
  const char* name;
};

// The report, then the line end the console still owes, then the shell's
// status for a run ended by that signal.
TEST(Units, ConsoleEventsSendTheOwedLineEnd) {
  const Event events[] = {{SIGINT, "control-C"}, {SIGQUIT, "control-BREAK"}, {SIGHUP, "window-CLOSE"}};
  for (const Event& e : events) {
    child::Result r = child::run([&] {
      start();
      textio::write_formatted<kRecord>(6);
      raise(e.signal);
    });
    EXPECT_EQ(r.out, "a record\r\n") << e.name;
    EXPECT_EQ(r.err, std::string("textio: error (200): program aborting due to ") + e.name + " event\n");
    EXPECT_EQ(r.status, 128 + e.signal);
  }
}

}  // namespace

namespace {

// Memory that runs out where nothing expects it (an exception nobody
// catches) still ends the run through the failure path: the report, the
// units closed with their records, the status.
TEST(Units, UnhandledExhaustionIsReported) {
  child::Result r = child::run([] {
    start();
    static constexpr auto kLine = textio::format("('kept')");
    textio::open_file(40, "out.txt", "UNKNOWN");
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
