// Scenarios replayed at a terminal: each answer is typed once its prompt is
// on screen, as a person would. The files written must be the same as from a
// pipe, and the screen must be the piped transcript with each answer echoed
// right after its prompt and every LF shown as CR LF.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "e2e/scenario.h"
#include "radome_programs.h"

namespace {

// Each registered program's questions, as they end on the screen.
const std::map<std::string, std::vector<std::string>> kPrompts = [] {
  std::map<std::string, std::vector<std::string>> prompts;
  for (const RegisteredProgram& p : kRegisteredPrograms) prompts[p.name] = p.prompts;
  return prompts;
}();

std::string onlcr(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Where each answer is typed: just after the next prompt in the piped
// transcript.
std::vector<std::size_t> answer_points(const std::string& piped, const std::vector<std::string>& prompts,
                                       std::size_t answers) {
  std::vector<std::size_t> at;
  std::size_t from = 0;
  while (at.size() < answers) {
    std::size_t best = std::string::npos, end = 0;
    for (const std::string& p : prompts) {
      const std::size_t k = piped.find(p, from);
      if (k < best) best = k, end = k + p.size();
    }
    if (best == std::string::npos) break;
    at.push_back(end);
    from = end;
  }
  return at;
}

class Replay : public testing::TestWithParam<std::string> {};

TEST_P(Replay, SameFilesAndEchoedTranscript) {
  const e2e::Scenario sc = e2e::load_scenario(std::string(E2E_CASES_DIR) + "/" + GetParam() + ".case");
  std::vector<std::string> answers;
  std::istringstream lines(sc.run.stdin_bytes);
  for (std::string line; std::getline(lines, line);) answers.push_back(line);
  const std::vector<std::size_t> at = answer_points(sc.expected_stdout, kPrompts.at(sc.program), answers.size());
  ASSERT_EQ(at.size(), answers.size()) << "a prompt for every answer";

  proc::Request rq = e2e::request_for(sc, PROGRAMS_DIR);
  rq.terminal = true;
  proc::Process t(rq);
  std::string shown;
  std::size_t done = 0;
  for (std::size_t k = 0; k < answers.size(); ++k) {
    const std::string before = onlcr(sc.expected_stdout.substr(done, at[k] - done));
    ASSERT_TRUE(t.expect(before)) << "waiting for: " << e2e::escaped(before) << "\nscreen: " << e2e::escaped(t.transcript());
    t.type(answers[k] + "\r");
    shown += before + answers[k] + "\r\n";
    done = at[k];
  }
  shown += onlcr(sc.expected_stdout.substr(done));
  const proc::Result r = t.finish();
  // Diagnostics share the terminal; compare the screen only for clean runs.
  if (sc.expected_stderr.empty()) {
    EXPECT_EQ(e2e::escaped(r.out), e2e::escaped(shown));
  }
  EXPECT_EQ(r.status, sc.expected_status);
  EXPECT_EQ(e2e::compare_files(sc, r), "");
}

INSTANTIATE_TEST_SUITE_P(Programs, Replay,
                         testing::Values("dishsurface/worked_example", "dishsurface/step_falls_short_of_stop",
                                         "domeprofile/circle", "domeprofile/parabola", "domeprofile/ellipse",
                                         "domeprofile/sinusoid", "domeprofile/circle_one_point",
                                         "linermesh/example_console", "linermesh/example_answer_file"),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
