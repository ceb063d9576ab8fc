#include "textio/run.h"

#include <signal.h>
#include <unistd.h>

#include <cfenv>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "textio/failure.h"
#include "textio/output.h"
#include "textio/units.h"

namespace textio {
namespace {

// The command-line arguments stay where the process got them.
int g_argc = 0;
char** g_argv = nullptr;
int g_next_argument = 1;

struct ConsoleEvent {
  int signal;
  const char* name;
  char line[96];  // the report, built before any event can arrive
  std::size_t length;
};

ConsoleEvent g_events[] = {
    {SIGINT, "control-C", {}, 0},
    {SIGQUIT, "control-BREAK", {}, 0},
    {SIGHUP, "window-CLOSE", {}, 0},
};

// Appends without allocating: the start of a run must not depend on memory.
void append(ConsoleEvent& e, std::string_view text) {
  for (char c : text) {
    if (e.length + 1 < sizeof e.line) e.line[e.length++] = c;
  }
}

// Runs in signal context: no allocation, no stdio. The diagnostic, the line
// end the console still owes, then the end of the process with the shell's
// status for a run ended by a signal.
void on_console_event(int signal) {
  for (const ConsoleEvent& e : g_events) {
    if (e.signal != signal) continue;
    ssize_t ignored = ::write(2, e.line, e.length);
    if (console_state().line_open) ignored = ::write(1, "\n", 1);
    (void)ignored;
  }
  ::_exit(128 + signal);
}

void route_console_events() {
  for (ConsoleEvent& e : g_events) {
    // "%s (%i): %s" with the event's name in the message.
    e.length = 0;
    append(e, kPrefix);
    append(e, ": error (200): program aborting due to ");
    append(e, e.name);
    append(e, " event\n");
    struct sigaction old {};
    ::sigaction(e.signal, nullptr, &old);
    if (old.sa_handler == SIG_IGN) continue;  // started under nohup or as a background job
    struct sigaction sa {};
    sa.sa_handler = on_console_event;
    sigfillset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(e.signal, &sa, nullptr);
  }
  // A closed pipe on an output, or a file that may grow no further, is a
  // write error of that unit, not a silent death.
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGXFSZ, SIG_IGN);
}

// A divider that gets this quotient wrong would corrupt every result.
void check_division() {
  volatile double x = 4195835.0;
  volatile double y = 3145727.0;
  const double residue = x - (x / y) * y;
  if (residue != 0.0) fail(kMsgDivideFlaw, 0);
}

}  // namespace

void start_run(int argc, char** argv) {
  std::feclearexcept(FE_ALL_EXCEPT);
  fedisableexcept(FE_ALL_EXCEPT);
  route_console_events();
  // Memory that runs out where no caller expects it ends the run through the
  // failure path too.
  std::set_terminate(fail_out_of_memory);
  g_argc = argc;
  g_argv = argv;
  g_next_argument = 1;
  check_division();
}

void end_run() {
  close_all_units(false);
  std::exit(normal_exit_status());
}

std::string next_argument() {
  if (g_next_argument >= g_argc) return {};
  return g_argv[g_next_argument++];
}

}  // namespace textio
