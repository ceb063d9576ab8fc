#include "textio/run.h"

#include <cstdlib>
#include <exception>
#include <string_view>

#include "textio/console.h"
#include "textio/failure.h"
#include "textio/platform.h"
#include "textio/run_state.h"
#include "textio/units.h"

namespace textio {
namespace {

struct EventReport {
  platform::ConsoleEvent event;
  const char* name;
  Diagnostic line;  // built before any event can arrive
};

EventReport g_events[] = {
    {platform::ConsoleEvent::interrupt, "control-C", {}},
    {platform::ConsoleEvent::brk, "control-BREAK", {}},
    {platform::ConsoleEvent::close, "window-CLOSE", {}},
};

// Runs where only write is safe: no allocation, no stdio. The diagnostic and
// the line end the console still owes; the platform then ends the process.
void on_console_event(platform::ConsoleEvent event) {
  for (const EventReport& e : g_events) {
    if (e.event != event) continue;
    platform::write(platform::standard_stream(platform::StandardStream::error), e.line.text, e.line.length, nullptr);
    if (console_state.line_open()) {
      platform::write(platform::standard_stream(platform::StandardStream::output), "\n", 1, nullptr);
    }
  }
}

void route_console_events() {
  for (EventReport& e : g_events) format_diagnostic(e.line, Severity::error, {kMsgAborting, 0, 0, e.name});
  platform::route_console_events(on_console_event);
}

// A divider that gets this quotient wrong would corrupt every result.
void check_division() {
  volatile double x = 4195835.0;
  volatile double y = 3145727.0;
  const double residue = x - (x / y) * y;
  if (residue != 0.0) fail({kMsgDivideFlaw});
}

}  // namespace

void start_run(int argc, char** argv) {
  platform::mask_float_exceptions();
  route_console_events();
  // Memory that runs out where no caller expects it ends the run through the
  // failure path too.
  std::set_terminate([] { fail({kMsgNoMemory}); });
  g_run.argc = argc;
  g_run.argv = argv;
  g_run.next_argument = 1;
  check_division();
}

void end_run() {
  close_all_units();
  std::exit(normal_exit_status());
}

std::string next_argument() {
  if (g_run.next_argument >= g_run.argc) return {};
  return g_run.argv[g_run.next_argument++];
}

}  // namespace textio
