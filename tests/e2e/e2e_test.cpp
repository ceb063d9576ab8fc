// Runs every scenario under tests/e2e/cases against the built programs.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

// The programs of another build (the Windows one) can stand in for this build's.
std::string programs_dir(const char* variable, const char* built) {
  const char* given = std::getenv(variable);
  return given != nullptr && *given != '\0' ? given : built;
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
  const e2e::Target target = e2e::target_from_environment();
  const e2e::Scenario sc = e2e::load_scenario(GetParam(), target.platform);
  if (!sc.skip_reason.empty()) GTEST_SKIP() << sc.skip_reason;
  // The sanitizers reserve far more address space than such a limit allows,
  // and their checks need descriptors of their own.
  if (kSanitized && (sc.run.limits.count(RLIMIT_AS) != 0 || sc.run.limits.count(RLIMIT_NOFILE) != 0)) {
    GTEST_SKIP() << "resource limit in a sanitized build";
  }
  proc::Request rq = e2e::request_for(sc, programs_dir("E2E_PROGRAMS_DIR", PROGRAMS_DIR), target);
  if (!fs::exists(rq.executable)) rq = e2e::request_for(sc, programs_dir("E2E_TEST_PROGRAMS_DIR", TEST_PROGRAMS_DIR), target);
  const proc::Result r = proc::run(rq);

  ASSERT_FALSE(r.timed_out) << "the run did not end";
  EXPECT_EQ(r.signal, 0) << "ended by signal " << r.signal << "; stderr: " << r.err;
  EXPECT_EQ(static_cast<std::uint32_t>(r.status), static_cast<std::uint32_t>(sc.expected_status))
      << "(0x" << std::hex << r.status << " for 0x" << sc.expected_status << std::dec << ") stderr: " << r.err;
  const std::string diffs = e2e::compare_bytes("stdout", sc.expected_stdout, r.out) +
                            e2e::compare_bytes("stderr", sc.expected_stderr, r.err) + e2e::compare_files(sc, r);
  EXPECT_TRUE(diffs.empty()) << diffs;
}

INSTANTIATE_TEST_SUITE_P(Cases, Scenario, testing::ValuesIn(scenario_paths()), test_name);

}  // namespace
