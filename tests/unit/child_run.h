// Runs a piece of code against the layer in a child process, with standard
// input from a file and output and error captured, so that console bytes,
// diagnostics and exit statuses can be checked exactly and every case starts
// from a fresh unit table.
#pragma once

#include <unistd.h>

#include <functional>
#include <string>

#include "common/process.h"
#include "textio/failure.h"
#include "textio/run.h"
#include "textio/units.h"

namespace child {

using Result = proc::Result;

// Starts a run of a program called "prog" with no arguments.
inline void start() {
  static char name[] = "prog";
  static char* argv[] = {name, nullptr};
  textio::start_run(1, argv);
}

// If `body` returns, the units are closed as at the normal end of a run and
// the child exits with the normal status.
inline Result run(const std::function<void()>& body, const std::string& input = "") {
  proc::Request rq;
  rq.body = [&body] {
    body();
    textio::close_all_units();
    _exit(textio::normal_exit_status());
  };
  rq.stdin_bytes = input;
  rq.stdin_from_file = true;
  return proc::run(rq);
}

}  // namespace child
