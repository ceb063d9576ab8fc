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
// and `skip@windows "REASON"` says why a case cannot run there at all. The
// platforms: posix, windows, wasi (the WebAssembly modules under Node's WASI,
// tests/web/run) and browser (the same modules in the web page's engine).
//
// Files present before and not named by `after` must be unchanged; any other
// file the run leaves is a failure. request_for() turns a scenario into the
// request that runs it, every directive included.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "common/process.h"

namespace e2e {

// The programs under test: built for this machine, or programs of another
// platform run through a launcher (E2E_PLATFORM=windows,
// E2E_LAUNCHER="wine .../launch.exe"; E2E_PLATFORM=wasi,
// E2E_LAUNCHER="node tests/web/wasi-launch.mjs").
struct Target {
  std::string platform = "posix";
  std::vector<std::string> launcher;  // words put before the executable
  std::string suffix;                 // of the executable's file name
};

// The target named by the environment; the default is the native one.
Target target_from_environment();

struct Scenario {
  std::string path;  // the scenario file, for messages
  std::string program;
  proc::Request run;  // everything but the executable, which request_for() adds
  std::string expected_stdout;
  std::string expected_stderr;
  int expected_status = 0;
  std::map<std::string, std::string> after;
  std::string skip_reason;  // the case cannot run on the target platform
};

// Reads a scenario file for a platform; throws std::runtime_error with the
// line on a mistake.
Scenario load_scenario(const std::string& path, const std::string& platform = "posix");

// The request that runs a scenario's program from `programs_dir`.
proc::Request request_for(const Scenario& sc, const std::string& programs_dir, const Target& target = {});

// Bytes shown with C escapes, for failure messages.
std::string escaped(const std::string& bytes);

// Empty when equal, else a description of the first difference.
std::string compare_bytes(const std::string& what, const std::string& expected, const std::string& actual);

// Empty when the run left exactly the files the scenario expects: those named
// by `after` with their bytes, the others of `before` unchanged, no other.
std::string compare_files(const Scenario& sc, const proc::Result& r);

}  // namespace e2e
