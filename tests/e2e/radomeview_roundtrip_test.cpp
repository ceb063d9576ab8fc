// Every file the scenarios of the three programs leave behind, and the files
// of the example answer files, read back by radomeview: the sound ones
// without an error, the others with exactly the error their run explains.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "common/process.h"
#include "e2e/scenario.h"
#include "radome_programs.h"

namespace fs = std::filesystem;

namespace {

// Files whose run leaves something an analysis tool must not be handed,
// by scenario and file, with the finding that says so.
const std::map<std::string, std::string> kFaulty = {
    {"domeprofile/circle_one_point:one.dat", "one.dat:1: error: count record says 1 point, the file has 0"},
    {"domeprofile/math_error_cos:huge.dat", "huge.dat:1: error: count record says 2 points, the file has 0"},
    {"domeprofile/sinusoid_equal_radii:flat.dat", "flat.dat:1: error: count record says 4 points, the file has 0"},
    {"domeprofile/sinusoid_negative_exponent:neg.dat", "neg.dat:2: error: first field 'Infinity' is not finite"},
    {"domeprofile/sinusoid_no_points:none.dat", "none.dat:1: error: count record says -2 points, the file has 0"},
    {"domeprofile/sinusoid_one_point:one.dat", "one.dat:1: error: count record says 1 point, the file has 0"},
    {"dishsurface/flat_and_focus_zero:flat.rsf", "flat.rsf:3: error: second field 'NaN' is not finite"},
    {"dishsurface/large_count:out.rsf", "out.rsf:2: error: the point count is asterisks: the value did not fit it"},
    {"dishsurface/zero_step:out.rsf", "out.rsf:2: error: the point count is asterisks: the value did not fit it"},
    {"dishsurface/zero_step_zero_span:out.rsf", "out.rsf:2: error: the point count is asterisks: the value did not fit it"},
};

proc::Result view(const std::string& name, const std::string& bytes) {
  proc::Request rq;
  rq.executable = std::string(PROGRAMS_DIR) + "/radomeview";
  rq.args = {"--no-picture", "-q", name};
  rq.before[name] = bytes;
  return proc::run(rq);
}

TEST(RadomeviewRoundTrip, EveryFileTheScenariosWrite) {
#ifndef HAVE_RADOMEVIEW
  GTEST_SKIP() << "radomeview is not built (muparser not found)";
#endif
  int files = 0, faulty = 0;
  for (const RegisteredProgram& registered : kRegisteredPrograms) {
    const std::string& program = registered.name;
    for (const auto& entry : fs::directory_iterator(std::string(E2E_CASES_DIR) + "/" + program)) {
      if (entry.path().extension() != ".case") continue;
      const e2e::Scenario sc = e2e::load_scenario(entry.path().string());
      for (const auto& [name, bytes] : sc.after) {
        const std::string key = program + "/" + entry.path().stem().string() + ":" + name;
        SCOPED_TRACE(key);
        ++files;
        const proc::Result r = view(name, bytes);
        if (bytes.empty()) {
          // A run that ended before its first record: no kind to read.
          EXPECT_EQ(r.status, 2);
          EXPECT_NE(r.err.find("not a points file, .rsf file or TOR file"), std::string::npos) << r.err;
          continue;
        }
        EXPECT_EQ(r.err, "");
        const auto fault = kFaulty.find(key);
        if (fault == kFaulty.end()) {
          EXPECT_EQ(r.status, 0) << r.out;
          EXPECT_EQ(r.out.find(": error: "), std::string::npos) << r.out;
        } else {
          ++faulty;
          EXPECT_EQ(r.status, 1) << r.out;
          EXPECT_EQ(r.out.rfind(fault->second, 0), 0u) << r.out;
        }
      }
    }
  }
  EXPECT_EQ(faulty, static_cast<int>(kFaulty.size()));
  EXPECT_GE(files, 35);
}

std::string read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The example answer files, each through its program, then its file read back.
TEST(RadomeviewRoundTrip, ExampleAnswerFiles) {
#ifndef HAVE_RADOMEVIEW
  GTEST_SKIP() << "radomeview is not built (muparser not found)";
#endif
  const std::string examples = std::string(E2E_CASES_DIR) + "/../../../examples/";
  struct Example {
    const char* program;
    const char* answers;
    bool answer_file;  // linermesh reads its answers from a file it is told of
    const char* output;
  } cases[] = {
      {"domeprofile", "domeprofile-circle.answers", false, "circle.dat"},
      {"domeprofile", "domeprofile-parabola.answers", false, "parabola.dat"},
      {"domeprofile", "domeprofile-ellipse.answers", false, "ellipse.dat"},
      {"domeprofile", "domeprofile-sinusoid.answers", false, "sinusoid.dat"},
      {"dishsurface", "dishsurface.answers", false, "dish.rsf"},
      {"linermesh", "linermesh.answers", true, "liner.tor"},
  };
  for (const Example& c : cases) {
    SCOPED_TRACE(c.answers);
    proc::Request rq;
    rq.executable = std::string(PROGRAMS_DIR) + "/" + c.program;
    const std::string answers = read(examples + c.answers);
    ASSERT_FALSE(answers.empty());
    if (c.answer_file) {
      rq.before["a.ans"] = answers;
      rq.stdin_bytes = "1\na.ans\n";
    } else {
      rq.stdin_bytes = answers;
    }
    const proc::Result made = proc::run(rq);
    ASSERT_EQ(made.status, 0) << made.err;
    ASSERT_EQ(made.files.count(c.output), 1u);
    const proc::Result r = view(c.output, made.files.at(c.output));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
  }
}

// Under a launcher (the Windows build under Wine), radomeview gives the same
// findings, picture bytes and status as the native build for every file the
// scenarios of the three programs write.
TEST(RadomeviewRoundTrip, SameBytesOnTheTarget) {
#ifndef HAVE_RADOMEVIEW
  GTEST_SKIP() << "radomeview is not built (muparser not found)";
#endif
  const e2e::Target target = e2e::target_from_environment();
  const char* target_bin = std::getenv("E2E_PROGRAMS_DIR");
  if (target.launcher.empty() || target_bin == nullptr) GTEST_SKIP() << "no launcher for another platform";
  int files = 0;
  for (const RegisteredProgram& registered : kRegisteredPrograms) {
    const std::string& program = registered.name;
    for (const auto& entry : fs::directory_iterator(std::string(E2E_CASES_DIR) + "/" + program)) {
      if (entry.path().extension() != ".case") continue;
      for (const auto& [name, bytes] : e2e::load_scenario(entry.path().string()).after) {
        if (bytes.empty()) continue;
        SCOPED_TRACE(entry.path().stem().string() + ":" + name);
        ++files;
        proc::Request rq;
        rq.args = {"--labels", "-o", "-", name};
        rq.before[name] = bytes;
        rq.executable = std::string(PROGRAMS_DIR) + "/radomeview";
        const proc::Result here = proc::run(rq);
        rq.executable = std::string(target_bin) + "/radomeview" + target.suffix;
        rq.launcher = target.launcher;
        const proc::Result there = proc::run(rq);
        EXPECT_EQ(there.status, here.status);
        EXPECT_EQ(there.err, here.err);
        EXPECT_TRUE(there.out == here.out) << "the pictures differ";
      }
    }
  }
  EXPECT_GE(files, 30);
}

}  // namespace
