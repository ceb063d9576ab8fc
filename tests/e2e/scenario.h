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
//   user 65534                 # run under this user id
//   before out.rsf "old\r\n"   # a file present before the run
//   mode out.rsf 0444          # its permission bits
//   dir sub                    # a directory present before the run
//   stdout "TICRA ..."
//   stdout-file expected.out   # or the bytes of a file beside the scenario
//   stderr ""
//   status 0
//   after out.rsf "DISH ..."   # a file afterwards (after-file NAME PATH too)
//
// Files present before and not named by `after` must be unchanged; any other
// file the run leaves is a failure.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace e2e {

struct Scenario {
  std::string path;  // the scenario file, for messages
  std::string program;
  std::vector<std::string> args;
  std::string stdin_bytes;
  bool stdin_from_file = false;
  int user = -1;
  std::map<std::string, std::string> before;
  std::map<std::string, int> modes;
  std::vector<std::string> dirs;
  std::string expected_stdout;
  std::string expected_stderr;
  int expected_status = 0;
  std::map<std::string, std::string> after;
};

// Reads a scenario file; throws std::runtime_error with the line on a mistake.
Scenario load_scenario(const std::string& path);

struct RunResult {
  std::string out;
  std::string err;
  int status = -1;    // exit status, or 128 + signal
  bool timed_out = false;
  std::map<std::string, std::string> files;  // every file in the work directory afterwards
};

struct RunRequest {
  std::string executable;
  std::vector<std::string> args;
  std::string stdin_bytes;
  bool stdin_from_file = false;
  int user = -1;
  std::map<std::string, std::string> before;
  std::map<std::string, int> modes;
  std::vector<std::string> dirs;
  int timeout_seconds = 60;
};

// Runs the program in a fresh temporary directory and collects everything.
RunResult run_program(const RunRequest& request);

// Bytes shown with C escapes, for failure messages.
std::string escaped(const std::string& bytes);

// Empty when equal, else a description of the first difference.
std::string compare_bytes(const std::string& what, const std::string& expected, const std::string& actual);

}  // namespace e2e
