// Sessions at a pseudo-terminal: answers typed ahead, end of input, and the
// console events that the terminal raises from keys and from a hang-up.
#include <gtest/gtest.h>

#include "common/process.h"

namespace {

proc::Request at_terminal(const char* name) {
  proc::Request rq;
  rq.executable = std::string(PROGRAMS_DIR) + "/" + name;
  rq.terminal = true;
  return rq;
}

// A typed session of each program, screen and files, is replayed from the
// scenarios by terminal_replay_test.cpp; these are the terminal's own ways in.

TEST(Terminal, AnswersTypedAhead) {
  proc::Process t(at_terminal("dishsurface"));
  ASSERT_TRUE(t.expect("Enter output file "));
  t.type("ahead.rsf\r2 1\r0 10 10\r-1\r  label\r");
  const proc::Result r = t.finish();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.files.at("ahead.rsf"),
            "  label                                 \r\n"
            "   2   1   0\r\n"
            "  0.0000000000E+00  0.1000000000E+01\r\n"
            "  0.5000000000E+01 -0.2125000000E+01\r\n");
}

TEST(Terminal, EndOfInputAtAPrompt) {
  proc::Process t(at_terminal("dishsurface"));
  ASSERT_TRUE(t.expect("Enter output file "));
  t.type("out.rsf\r");
  ASSERT_TRUE(t.expect("Enter focal length, z offset "));
  t.type("\x04");  // Ctrl-D on an empty line
  const proc::Result r = t.finish();
  EXPECT_EQ(r.status, 24);
  EXPECT_TRUE(t.expect("textio: severe (24): end-of-file during read, unit 5, file CONIN$\r\n")) << r.out;
  EXPECT_EQ(r.files.at("out.rsf"), "");
}

struct Event {
  const char* keys;
  const char* echo;
  const char* name;
  int status;
};

TEST(Terminal, ConsoleEventsAtAPrompt) {
  const Event events[] = {
      {"\x03", "^C", "control-C", 130},
      {"\x1c", "^\\", "control-BREAK", 131},
  };
  for (const Event& e : events) {
    proc::Process t(at_terminal("dishsurface"));
    ASSERT_TRUE(t.expect("Enter output file "));
    t.type(e.keys);
    const proc::Result r = t.finish();
    EXPECT_EQ(r.status, e.status) << e.name;
    EXPECT_EQ(r.out, std::string("TICRA .rsf file of parabola\r\r\nEnter output file ") + e.echo +
                                  "textio: error (200): program aborting due to " + e.name + " event\r\n");
  }
}

TEST(Terminal, ClosingTheTerminalEndsTheRun) {
  proc::Process t(at_terminal("dishsurface"));
  ASSERT_TRUE(t.expect("Enter output file "));
  t.type("out.rsf\r");
  ASSERT_TRUE(t.expect("Enter focal length, z offset "));
  t.close_input();  // hangs the terminal up
  EXPECT_EQ(t.finish().status, 129);
}

}  // namespace
