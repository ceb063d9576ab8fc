#include "textio/run.h"

#include <signal.h>
#include <unistd.h>

#include <cfenv>
#include <cstdlib>
#include <vector>

#include "textio/failure.h"
#include "textio/output.h"
#include "textio/units.h"

namespace textio {
namespace {

std::vector<std::string> g_arguments;
std::size_t g_next_argument = 0;

struct ConsoleEvent {
  int signal;
  const char* name;
  std::string line;  // built before any event can arrive
};

ConsoleEvent g_events[] = {
    {SIGINT, "control-C", {}},
    {SIGQUIT, "control-BREAK", {}},
    {SIGHUP, "window-CLOSE", {}},
};

// Runs in signal context: no allocation, no stdio. The diagnostic, the line
// end the console still owes, then the end of the process with the shell's
// status for a run ended by a signal.
void on_console_event(int signal) {
  for (const ConsoleEvent& e : g_events) {
    if (e.signal != signal) continue;
    ssize_t ignored = ::write(2, e.line.data(), e.line.size());
    if (console_state().line_open) ignored = ::write(1, "\n", 1);
    (void)ignored;
  }
  ::_exit(128 + signal);
}

void route_console_events() {
  for (ConsoleEvent& e : g_events) {
    e.line = diagnostic_line(make_status(Severity::error, kMsgAborting),
                             message_text(kMsgAborting, 0, e.name)) +
             "\n";
    struct sigaction old {};
    ::sigaction(e.signal, nullptr, &old);
    if (old.sa_handler == SIG_IGN) continue;  // started under nohup or as a background job
    struct sigaction sa {};
    sa.sa_handler = on_console_event;
    sigfillset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(e.signal, &sa, nullptr);
  }
  // A closed pipe on an output is a write error of that unit, not a silent death.
  ::signal(SIGPIPE, SIG_IGN);
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
  g_arguments.clear();
  for (int j = 1; j < argc; ++j) g_arguments.emplace_back(argv[j]);
  g_next_argument = 0;
  check_division();
}

void end_run() {
  close_all_units(false);
  std::exit(normal_exit_status());
}

std::string next_argument() {
  if (g_next_argument >= g_arguments.size()) return {};
  return g_arguments[g_next_argument++];
}

}  // namespace textio
