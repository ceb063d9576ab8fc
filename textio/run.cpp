#include "textio/run.h"

#include <cstdlib>
#include <exception>
#include <string_view>

#include "textio/failure.h"
#include "textio/output.h"
#include "textio/platform.h"
#include "textio/units.h"

namespace textio {
namespace {

// The command-line arguments stay where the process got them.
int g_argc = 0;
char** g_argv = nullptr;
int g_next_argument = 1;

struct EventReport {
  platform::ConsoleEvent event;
  const char* name;
  char line[96];  // the report, built before any event can arrive
  std::size_t length;
};

EventReport g_events[] = {
    {platform::ConsoleEvent::interrupt, "control-C", {}, 0},
    {platform::ConsoleEvent::brk, "control-BREAK", {}, 0},
    {platform::ConsoleEvent::close, "window-CLOSE", {}, 0},
};

// Appends without allocating: the start of a run must not depend on memory.
void append(EventReport& e, std::string_view text) {
  for (char c : text) {
    if (e.length + 1 < sizeof e.line) e.line[e.length++] = c;
  }
}

// Runs where only write is safe: no allocation, no stdio. The diagnostic and
// the line end the console still owes; the platform then ends the process.
void on_console_event(platform::ConsoleEvent event) {
  for (const EventReport& e : g_events) {
    if (e.event != event) continue;
    platform::write(platform::standard_stream(platform::StandardStream::error), e.line, e.length, nullptr);
    if (console_state().line_open) {
      platform::write(platform::standard_stream(platform::StandardStream::output), "\n", 1, nullptr);
    }
  }
}

void route_console_events() {
  for (EventReport& e : g_events) {
    // "%s (%i): %s" with the event's name in the message.
    e.length = 0;
    append(e, kPrefix);
    append(e, ": error (200): program aborting due to ");
    append(e, e.name);
    append(e, " event\n");
  }
  platform::route_console_events(on_console_event);
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
  platform::mask_float_exceptions();
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
