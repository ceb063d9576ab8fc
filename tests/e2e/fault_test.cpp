// Failures end to end through the real programs that are properties rather
// than fixed bytes (the matrix of fixed ones is tests/e2e/cases/faults, one or
// more scenarios per message a program can reach): console events at a
// prompt and in the middle of a large file, and a console reader that goes
// away while points are being echoed. Whatever ends a run, its files hold
// only whole records, each one as a complete run writes it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "e2e/scenario.h"

namespace fs = std::filesystem;

namespace {

std::string program(const std::string& name) { return std::string(PROGRAMS_DIR) + "/" + name; }

std::string event_line(const char* event) {
  return std::string("textio: error (200): program aborting due to ") + event + " event\n";
}

// Polls until `done` holds; false after the hang guard.
bool wait_until(const std::function<bool()>& done, int seconds = 120) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

std::uintmax_t size_of(const std::string& path) {
  std::error_code ec;
  const std::uintmax_t n = fs::file_size(path, ec);
  return ec ? 0 : n;
}


// ---------------------------------------------------------------------------
// Large files: a million points, so that an event or a failure lands while
// records are still being written.

struct LargeRun {
  const char* program;
  const char* answers;
  const char* file;
  std::size_t head;           // bytes of the records before the first point
  std::size_t record;         // bytes of one point record, CR LF included
  const char* stderr_before;  // what the run reports before it is stopped
  int complete_status;        // of a run left to finish
  const char* prompts;        // the console up to the points
  bool echoes;                // each point is shown on the console too
};

// 0 to 1000000 by 1: trunc(1000000 + 1.4) points, a count too wide for I4.
const LargeRun kDish{"dishsurface",
                     "big.rsf\n100 0\n0 1000000 1\n1\nBIG\n",
                     "big.rsf",
                     42 + 14,
                     38,
                     "textio: error (63): output conversion error, unit 40, file big.rsf\n",
                     63,
                     "TICRA .rsf file of parabola\r\nEnter output file  Enter focal length, z offset "
                     " Enter diameter start,stop,step  Enter +1 forward, -1 reverse reflector  Enter label ",
                     false};
// A circle in a million points, each echoed on the console before the file.
const LargeRun kDome{"domeprofile",
                     "1\nbig.dat\n0\n10\n0 90 1000000\n",
                     "big.dat",
                     14,
                     30,
                     "",
                     0,
                     "pi   3.141593    \r\nCurved radome section points\r\n"
                     "Enter curve: 1 circle, 2 parabola, 3 ellipse, 4 Sinusoidal  Enter output file "
                     " Enter center (focus) along X-axis  Enter circle radius  Enter angle start, stop, # ",
                     true};

// The file a complete run writes, run once per program.
const std::string& complete_file(const LargeRun& run) {
  static std::map<std::string, std::string> cache;
  auto it = cache.find(run.program);
  if (it == cache.end()) {
    proc::Request rq;
    rq.executable = program(run.program);
    rq.stdin_bytes = run.answers;
    rq.timeout_seconds = 600;
    proc::Result r = proc::run(rq);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.status, run.complete_status);
    EXPECT_EQ(r.err, run.stderr_before);
    it = cache.emplace(run.program, r.files[run.file]).first;
  }
  return it->second;
}

// The file holds the records before the points and a whole number of point
// records, and is byte for byte the start of a complete run's file.
void expect_whole_records(const LargeRun& run, const std::string& file, const std::string& complete) {
  ASSERT_GE(file.size(), run.head) << run.program;
  EXPECT_EQ((file.size() - run.head) % run.record, 0u) << run.program << ": a torn record at the end, "
                                                       << file.size() << " bytes";
  ASSERT_LE(file.size(), complete.size()) << run.program;
  EXPECT_TRUE(complete.compare(0, file.size(), file) == 0) << run.program << ": differs from the complete run";
}

struct Event {
  int signal;
  const char* tag;   // for test names
  const char* name;  // as the report names it
};
const Event kEvents[] = {
    {SIGINT, "SIGINT", "control-C"}, {SIGQUIT, "SIGQUIT", "control-BREAK"}, {SIGHUP, "SIGHUP", "window-CLOSE"}};

void PrintTo(const LargeRun& run, std::ostream* os) { *os << run.program; }
void PrintTo(const Event& event, std::ostream* os) { *os << event.tag; }

// The console after the points' prompt: the first echoed record is shown
// whole (after an answered prompt), each later one without its control
// column and after the line end owed by the one before; the event sends the
// last line end. Returns the number of records echoed as the complete run
// writes them to its file, or -1 if the console has any other form.
long echoed_records(const std::string& console, const std::string& complete, const LargeRun& run) {
  const std::size_t width = run.record - 2;
  if (console.size() < width + 2 || console.back() != '\n') return -1;
  std::string shown = complete.substr(run.head, width) + "\r";
  std::size_t at = 0;
  long records = 0;
  while (at + 1 < console.size()) {
    if (console.compare(at, shown.size(), shown) != 0) return -1;
    at += shown.size();
    ++records;
    const std::size_t next = run.head + static_cast<std::size_t>(records) * run.record;
    if (next + run.record > complete.size()) break;
    shown = "\n" + complete.substr(next + 1, width - 1) + "\r";
  }
  return at + 1 == console.size() ? records : -1;
}

class EventWhileWriting : public testing::TestWithParam<std::tuple<LargeRun, Event>> {};

TEST_P(EventWhileWriting, WholeRecordsAndTheEventsReport) {
  const auto& [run, event] = GetParam();
  const std::string& complete = complete_file(run);
  ASSERT_GT(complete.size(), run.head + 1000 * run.record);

  // A run that ends before the event lands proves nothing; the file is far
  // too large for that to happen twice.
  for (int attempt = 0; attempt < 3; ++attempt) {
    proc::Request rq;
    rq.executable = program(run.program);
    rq.stdin_bytes = run.answers;
    proc::Process p(rq);
    const std::string path = p.directory() + "/" + run.file;
    ASSERT_TRUE(wait_until([&] { return size_of(path) >= run.head + 100 * run.record; })) << "no records written";
    ::kill(p.pid(), event.signal);
    proc::Result r = p.finish(600);
    ASSERT_FALSE(r.timed_out);
    if (r.status == run.complete_status && r.files[run.file] == complete) continue;  // ended first

    EXPECT_EQ(r.status, 128 + event.signal) << r.err;
    EXPECT_EQ(r.err, run.stderr_before + event_line(event.name));
    const std::string& file = r.files.at(run.file);
    expect_whole_records(run, file, complete);
    EXPECT_LT(file.size(), complete.size()) << "the run was not stopped";
    const std::string prompts = run.prompts;
    ASSERT_EQ(e2e::escaped(r.out.substr(0, prompts.size())), e2e::escaped(prompts));
    const std::string echo = r.out.substr(prompts.size());
    if (run.echoes) {
      // Each point goes to the console first, then to the file.
      const long shown = echoed_records(echo, complete, run);
      const long kept = static_cast<long>((file.size() - run.head) / run.record);
      EXPECT_TRUE(shown == kept || shown == kept + 1) << "console shows " << shown << ", file keeps " << kept;
    } else {
      EXPECT_EQ(e2e::escaped(echo), "") << "the last prompt owes no line end";
    }
    return;
  }
  FAIL() << "every run ended before the event";
}

INSTANTIATE_TEST_SUITE_P(Programs, EventWhileWriting,
                         testing::Combine(testing::Values(kDish, kDome), testing::ValuesIn(kEvents)),
                         [](const testing::TestParamInfo<std::tuple<LargeRun, Event>>& info) {
                           return std::string(std::get<0>(info.param).program) + "_" + std::get<1>(info.param).tag;
                         });

// The console's reader takes one byte and goes away while the points are
// echoed: the next echo is a write error of unit 6, and the file keeps the
// records written before it.
TEST(ClosedConsolePipe, EchoFailsWithWholeRecordsInTheFile) {
  const std::string& complete = complete_file(kDome);
  proc::Request rq;
  rq.executable = program(kDome.program);
  rq.stdin_bytes = kDome.answers;
  rq.stdout_pipe = true;
  proc::Process p(rq);
  const int reader = p.stdout_reader();
  char first = 0;
  ASSERT_EQ(::read(reader, &first, 1), 1);
  EXPECT_EQ(first, 'p');  // of "pi", the first record shown
  // The echo fills the pipe and waits; by then the file has its first points.
  const std::string path = p.directory() + "/" + kDome.file;
  ASSERT_TRUE(wait_until([&] { return size_of(path) >= kDome.head + kDome.record; }));
  ::close(reader);
  const proc::Result r = p.finish(600);

  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.status, 38);
  EXPECT_EQ(r.err, "textio: Broken pipe\ntextio: severe (38): error during write, unit 6, file CONOUT$\n");
  expect_whole_records(kDome, r.files.at(kDome.file), complete);
  EXPECT_LT(r.files.at(kDome.file).size(), complete.size());
}

// ---------------------------------------------------------------------------
// Console events while a program waits at a prompt. The prompt is the last
// thing shown and owes no line end; the file opened before stays as it was.

struct PromptStop {
  const char* program;
  const char* answers;
  const char* shown;  // the console up to and including the prompt waited at
};

const PromptStop kPromptStops[] = {
    {"domeprofile", "1\nold.dat\n",
     "pi   3.141593    \r\nCurved radome section points\r\n"
     "Enter curve: 1 circle, 2 parabola, 3 ellipse, 4 Sinusoidal  Enter output file "
     " Enter center (focus) along X-axis "},
    {"linermesh", "0\nliner.tor\n0\n",
     "CHAMP TOR file for absorber lined shroud\r\nEnter 1 for file input  Enter TOR file addition output "
     " Enter number of absorber layers  Enter shroud angle "},
};

void PrintTo(const PromptStop& stop, std::ostream* os) { *os << stop.program; }

class EventAtPrompt : public testing::TestWithParam<std::tuple<PromptStop, Event>> {};

TEST_P(EventAtPrompt, ReportAndStatus) {
  const auto& [stop, event] = GetParam();
  proc::Request rq;
  rq.executable = program(stop.program);
  rq.stdin_held = true;
  rq.before["old.dat"] = "old line\r\n";
  proc::Process p(rq);
  p.type(stop.answers);
  const std::string shown = stop.shown;
  ASSERT_TRUE(wait_until([&] { return p.output_so_far() == shown; })) << e2e::escaped(p.output_so_far());
  ::kill(p.pid(), event.signal);
  const proc::Result r = p.finish(60);

  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.status, 128 + event.signal);
  EXPECT_EQ(r.err, event_line(event.name));
  EXPECT_EQ(e2e::escaped(r.out), e2e::escaped(shown));
  const std::map<std::string, std::string> unchanged = {{"old.dat", "old line\r\n"}};
  EXPECT_EQ(r.files, unchanged);
}

INSTANTIATE_TEST_SUITE_P(Programs, EventAtPrompt,
                         testing::Combine(testing::ValuesIn(kPromptStops), testing::ValuesIn(kEvents)),
                         [](const testing::TestParamInfo<std::tuple<PromptStop, Event>>& info) {
                           return std::string(std::get<0>(info.param).program) + "_" + std::get<1>(info.param).tag;
                         });

// ---------------------------------------------------------------------------
// A file that may not grow past a size limit is a write error like a full
// disk: the failure path, and only whole records left. Disabled until the
// layer ignores SIGXFSZ (today the run dies by that signal, status 153) and
// takes a torn record back off the file when a write fails part way.

struct SizeLimit {
  const char* name;
  bool ignored;  // SIGXFSZ already ignored when the run starts
};

void PrintTo(const SizeLimit& limit, std::ostream* os) { *os << limit.name; }

class FileSizeLimit : public testing::TestWithParam<SizeLimit> {};

TEST_P(FileSizeLimit, IsAWriteErrorWithWholeRecords) {
  proc::Request rq;
  rq.executable = program("dishsurface");
  rq.stdin_bytes = "out.rsf\n100 0\n0 100 1\n1\nDISH\n";
  rq.limits[RLIMIT_FSIZE] = 1000;
  if (GetParam().ignored) rq.ignored_signals.push_back(SIGXFSZ);
  proc::Result r = proc::run(rq);

  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.status, 38);
  EXPECT_EQ(r.err, "textio: File too large\ntextio: severe (38): error during write, unit 40, file out.rsf\n");
  // The label and count records, then as many 38-byte points as fit.
  EXPECT_EQ(r.files["out.rsf"].size(), 42u + 14u + (1000u - 56u) / 38u * 38u);
}

INSTANTIATE_TEST_SUITE_P(Signal, FileSizeLimit,
                         testing::Values(SizeLimit{"default", false}, SizeLimit{"ignored", true}),
                         [](const testing::TestParamInfo<SizeLimit>& info) { return info.param.name; });

}  // namespace
