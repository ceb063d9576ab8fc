// Runs every scenario under tests/e2e/cases against the built programs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "e2e/scenario.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> scenario_paths() {
  std::vector<std::string> paths;
  for (const auto& entry : fs::recursive_directory_iterator(E2E_CASES_DIR)) {
    if (entry.is_regular_file() && entry.path().extension() == ".case") paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::string test_name(const testing::TestParamInfo<std::string>& info) {
  std::string name = fs::relative(info.param, E2E_CASES_DIR).replace_extension().string();
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class Scenario : public testing::TestWithParam<std::string> {};

TEST_P(Scenario, BytesStatusAndFiles) {
  const e2e::Scenario sc = e2e::load_scenario(GetParam());
  e2e::RunRequest rq;
  rq.executable = std::string(PROGRAMS_DIR) + "/" + sc.program;
  if (!fs::exists(rq.executable)) rq.executable = std::string(TEST_PROGRAMS_DIR) + "/" + sc.program;
  rq.args = sc.args;
  rq.stdin_bytes = sc.stdin_bytes;
  rq.stdin_from_file = sc.stdin_from_file;
  rq.user = sc.user;
  rq.before = sc.before;
  rq.modes = sc.modes;
  rq.dirs = sc.dirs;
  const e2e::RunResult r = e2e::run_program(rq);

  ASSERT_FALSE(r.timed_out) << "the run did not end";
  EXPECT_EQ(r.status, sc.expected_status) << "stderr: " << r.err;
  std::string diffs;
  diffs += e2e::compare_bytes("stdout", sc.expected_stdout, r.out);
  diffs += e2e::compare_bytes("stderr", sc.expected_stderr, r.err);
  for (const auto& [name, bytes] : r.files) {
    auto after = sc.after.find(name);
    auto before = sc.before.find(name);
    if (after != sc.after.end()) {
      diffs += e2e::compare_bytes("file " + name, after->second, bytes);
    } else if (before != sc.before.end()) {
      diffs += e2e::compare_bytes("file " + name + " (should be unchanged)", before->second, bytes);
    } else {
      diffs += "unexpected file " + name + ": \"" + e2e::escaped(bytes.substr(0, 200)) + "\"\n";
    }
  }
  for (const auto& [name, bytes] : sc.after) {
    if (r.files.count(name) == 0) diffs += "missing file " + name + "\n";
  }
  EXPECT_TRUE(diffs.empty()) << diffs;
}

INSTANTIATE_TEST_SUITE_P(Cases, Scenario, testing::ValuesIn(scenario_paths()), test_name);

}  // namespace
