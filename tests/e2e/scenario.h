// End-to-end scenarios kept as data: what a user puts in (standard input,
// arguments, files already present) and what must come out (standard output,
// standard error, exit status, files afterwards), byte for byte.
//
// A scenario file holds one directive per line; strings are double-quoted
// with C escapes (\n \r \t \\ \" \xHH), and repeating a directive appends:
//
//   program dishsurface
//   arg "first.rsf"
//   stdin "out.rsf\n"
//   input file                 # standard input from a file (default: a pipe)
//   input directory            # standard input opened on the work directory
//   input device /dev/zero     # standard input opened on a device
//   output device /dev/full    # standard output on a device, not captured
//   user 65534                 # run under this user id
//   limit nofile 4             # a resource limit in the run: nofile, as or
//   limit as 64M               #   fsize, with an optional K, M or G suffix
//   before out.rsf "old\r\n"   # a file present before the run
//   mode out.rsf 0444          # its permission bits
//   dir sub                    # a directory present before the run
//   symlink loop loop          # a symbolic link present before the run
//   stdout "TICRA ..."
//   stdout-file expected.out   # or the bytes of a file beside the scenario
//   stderr ""
//   status 0
//   after out.rsf "DISH ..."   # a file afterwards (after-file NAME PATH too)
//
// Where the expected bytes depend on the platform the programs were built
// for, the case states both: `stderr@windows` and `status@windows` replace
// `stderr` and `status` when the programs under test are Windows programs,
// and `skip@windows "REASON"` says why a case cannot run there at all.
//
// Files present before and not named by `after` must be unchanged; any other
// file the run leaves is a failure. request_for() turns a scenario into the
// request that runs it, every directive included.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// The programs under test: built for this machine, or Windows programs run
// through a launcher (E2E_PLATFORM=windows, E2E_LAUNCHER="wine .../launch.exe").
struct Target {
  std::string platform = "posix";
  std::vector<std::string> launcher;  // words put before the executable
  std::string suffix;                 // of the executable's file name
};

// The target named by the environment; the default is the native one.
Target target_from_environment();

struct RunRequest {
  std::string executable;
  std::vector<std::string> launcher;  // see Target
  std::vector<std::string> args;
  std::string stdin_bytes;
  bool stdin_from_file = false;
  std::string stdin_path;   // standard input opened on this (relative: in the work directory)
  bool stdin_held = false;  // a pipe the caller writes through Process::type
  std::string stdout_path;  // standard output opened on this instead of being captured
  bool stdout_pipe = false;  // a pipe the caller reads through Process::stdout_reader
  int user = -1;
  std::map<int, long long> limits;
  std::vector<int> ignored_signals;  // ignored from the start, as `trap ''` does
  std::map<std::string, std::string> before;
  std::map<std::string, int> modes;
  std::vector<std::string> dirs;
  std::vector<std::pair<std::string, std::string>> symlinks;
  int timeout_seconds = 60;
};

struct Scenario {
  std::string path;  // the scenario file, for messages
  std::string program;
  RunRequest run;  // everything but the executable, which request_for() adds
  std::string expected_stdout;
  std::string expected_stderr;
  int expected_status = 0;
  std::map<std::string, std::string> after;
  std::string skip_reason;  // the case cannot run on the target platform
};

// Reads a scenario file for a platform; throws std::runtime_error with the
// line on a mistake.
Scenario load_scenario(const std::string& path, const std::string& platform = "posix");

struct RunResult {
  std::string out;
  std::string err;
  int status = -1;    // exit status, or 128 + signal; all 32 bits through a launcher
  int signal = 0;     // the signal that ended the process, 0 if it exited
  bool timed_out = false;
  std::map<std::string, std::string> files;  // every file in the work directory afterwards
};


// The request that runs a scenario's program from `programs_dir`.
RunRequest request_for(const Scenario& sc, const std::string& programs_dir, const Target& target = {});

// A program started in a fresh temporary directory and left running, so that
// a test can act on it (type, signal it, read its output as it comes) before
// collecting the result.
class Process {
 public:
  explicit Process(const RunRequest& request);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  pid_t pid() const { return child_; }
  const std::string& directory() const { return work_; }
  // The captured standard output so far (empty with stdout_path or stdout_pipe).
  std::string output_so_far() const;
  // Sends bytes to a held standard input; close_input() ends it.
  void type(const std::string& bytes);
  void close_input();
  // The read end of a standard output pipe; the caller closes it.
  int stdout_reader();
  // Waits for the end (killing it after timeout_seconds), collects everything
  // and removes the directories.
  RunResult finish(int timeout_seconds);

 private:
  std::string work_, io_;
  pid_t child_ = -1;
  pid_t feeder_ = -1;
  int input_ = -1;
  int output_ = -1;
  bool finished_ = false;
};

// Runs the program in a fresh temporary directory and collects everything.
RunResult run_program(const RunRequest& request);

// Bytes shown with C escapes, for failure messages.
std::string escaped(const std::string& bytes);

// Empty when equal, else a description of the first difference.
std::string compare_bytes(const std::string& what, const std::string& expected, const std::string& actual);

// Empty when the run left exactly the files the scenario expects: those named
// by `after` with their bytes, the others of `before` unchanged, no other.
std::string compare_files(const Scenario& sc, const RunResult& r);

}  // namespace e2e
