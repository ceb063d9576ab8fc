// Sessions typed at a pseudo-terminal: the prompt and the answer share a
// line, and console events end the run with their report.
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

// The terminal turns each LF the program sends into CR LF and echoes the
// typed Enter as CR LF.
TEST(Terminal, DishsurfaceTypedSession) {
  e2e::Terminal t(program("dishsurface"));
  const char* steps[][2] = {
      {"Enter output file ", "out.rsf\r"},
      {"Enter focal length, z offset ", "100 0\r"},
      {"Enter diameter start,stop,step ", "0 100 50\r"},
      {"Enter +1 forward, -1 reverse reflector ", "1\r"},
      {"Enter label ", "DISH\r"},
  };
  for (const auto& step : steps) {
    ASSERT_TRUE(t.expect(step[0])) << t.transcript();
    t.type(step[1]);
  }
  EXPECT_EQ(t.finish(), 0);
  EXPECT_EQ(t.transcript(),
            "TICRA .rsf file of parabola\r\r\n"
            "Enter output file out.rsf\r\n"
            " Enter focal length, z offset 100 0\r\n"
            " Enter diameter start,stop,step 0 100 50\r\n"
            " Enter +1 forward, -1 reverse reflector 1\r\n"
            " Enter label DISH\r\n");
  EXPECT_EQ(read_file(t.directory() + "/out.rsf"),
            "DISH                                    \r\n"
            "   3   1   0\r\n"
            "  0.0000000000E+00  0.0000000000E+00\r\n"
            "  0.2500000000E+02  0.1562500000E+01\r\n"
            "  0.5000000000E+02  0.6250000000E+01\r\n");
}

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
