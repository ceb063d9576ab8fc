// The one way the benchmarks start a program: a whole process, its standard
// streams set up before the clock starts, timed from fork to the end of
// wait4, which also gives its CPU time and peak resident memory.
//
// The caller keeps its own memory small: a forked child starts with a copy of
// the caller's resident pages, and they count in its peak until exec.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct Spawn {
  std::vector<std::string> argv;  // argv[0] is the program's path
  std::string dir;                // working directory; empty: the caller's
  std::string answers;            // standard input: these bytes through a pipe...
  std::string stdin_path;         // ...or this file; neither: /dev/null
  std::string stdout_path = "/dev/null";
  std::string stderr_path = "/dev/null";
  bool report = false;  // a pipe on descriptor 3, whose bytes come back in Run::report
};

struct Run {
  double wall = 0;  // seconds
  double user = 0;
  double sys = 0;
  double cpu = 0;  // user + sys
  long maxrss_kib = 0;
  int status = -1;  // exit status, or 128 + signal
  std::string report;
};

// Runs to the end; a failure to start it ends the benchmark.
Run spawn(const Spawn& s);

[[noreturn]] void die(const std::string& why);

}  // namespace bench
