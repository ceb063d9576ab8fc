// Sessions at a pseudo-terminal: answers typed ahead, end of input, and the
// console events that the terminal raises from keys and from a hang-up.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "e2e/terminal.h"

namespace {

std::string program(const char* name) { return std::string(PROGRAMS_DIR) + "/" + name; }

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A typed session of each program, screen and files, is replayed from the
// scenarios by terminal_replay_test.cpp; these are the terminal's own ways in.

TEST(Terminal, AnswersTypedAhead) {
  e2e::Terminal t(program("dishsurface"));
  ASSERT_TRUE(t.expect("Enter output file "));
  t.type("ahead.rsf\r2 1\r0 10 10\r-1\r  label\r");
  EXPECT_EQ(t.finish(), 0);
  EXPECT_EQ(read_file(t.directory() + "/ahead.rsf"),
            "  label                                 \r\n"
            "   2   1   0\r\n"
            "  0.0000000000E+00  0.1000000000E+01\r\n"
            "  0.5000000000E+01 -0.2125000000E+01\r\n");
}

TEST(Terminal, EndOfInputAtAPrompt) {
  e2e::Terminal t(program("dishsurface"));
  ASSERT_TRUE(t.expect("Enter output file "));
  t.type("out.rsf\r");
  ASSERT_TRUE(t.expect("Enter focal length, z offset "));
  t.type("\x04");  // Ctrl-D on an empty line
  EXPECT_EQ(t.finish(), 24);
  EXPECT_TRUE(t.expect("textio: severe (24): end-of-file during read, unit 5, file CONIN$\r\n")) << t.transcript();
  EXPECT_EQ(read_file(t.directory() + "/out.rsf"), "");
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
    e2e::Terminal t(program("dishsurface"));
    ASSERT_TRUE(t.expect("Enter output file "));
    t.type(e.keys);
    EXPECT_EQ(t.finish(), e.status) << e.name;
    EXPECT_EQ(t.transcript(), std::string("TICRA .rsf file of parabola\r\r\nEnter output file ") + e.echo +
                                  "textio: error (200): program aborting due to " + e.name + " event\r\n");
  }
}

TEST(Terminal, ClosingTheTerminalEndsTheRun) {
  e2e::Terminal t(program("dishsurface"));
  ASSERT_TRUE(t.expect("Enter output file "));
  t.type("out.rsf\r");
  ASSERT_TRUE(t.expect("Enter focal length, z offset "));
  t.hang_up();
  EXPECT_EQ(t.finish(), 129);
}

}  // namespace
