// Runs every scenario under tests/e2e/cases against the built programs.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>

#include "e2e/scenario.h"

#if defined(__SANITIZE_ADDRESS__)
#define E2E_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define E2E_SANITIZED 1
#endif
#endif

namespace fs = std::filesystem;

namespace {

#ifdef E2E_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

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
  // The sanitizers reserve far more address space than such a limit allows,
  // and their checks need descriptors of their own.
  if (kSanitized && (sc.run.limits.count(RLIMIT_AS) != 0 || sc.run.limits.count(RLIMIT_NOFILE) != 0)) {
    GTEST_SKIP() << "resource limit in a sanitized build";
  }
  proc::Request rq = e2e::request_for(sc, PROGRAMS_DIR);
  if (!fs::exists(rq.executable)) rq = e2e::request_for(sc, TEST_PROGRAMS_DIR);
  const proc::Result r = proc::run(rq);

  ASSERT_FALSE(r.timed_out) << "the run did not end";
  EXPECT_EQ(r.signal, 0) << "ended by signal " << r.signal << "; stderr: " << r.err;
  EXPECT_EQ(r.status, sc.expected_status) << "stderr: " << r.err;
  const std::string diffs = e2e::compare_bytes("stdout", sc.expected_stdout, r.out) +
                            e2e::compare_bytes("stderr", sc.expected_stderr, r.err) + e2e::compare_files(sc, r);
  EXPECT_TRUE(diffs.empty()) << diffs;
}

INSTANTIATE_TEST_SUITE_P(Cases, Scenario, testing::ValuesIn(scenario_paths()), test_name);

}  // namespace
