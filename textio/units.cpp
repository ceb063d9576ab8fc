#include "textio/units.h"

#include <cstdlib>
#include <utility>

#include "textio/console.h"
#include "textio/failure.h"
#include "textio/platform.h"
#include "textio/run_state.h"

namespace textio {
namespace {

Unit g_units[kMaxUnit + 1];

Connection standard_stream(int number, platform::StandardStream s, std::string_view name) {
  Connection c;
  c.number = number;
  c.handle = platform::standard_stream(s);
  c.name = name;
  return c;
}

}  // namespace

Unit& unit_slot(int number) {
  if (number < 0 || number > kMaxUnit) std::abort();  // unit numbers are fixed in the programs
  return g_units[number];
}

void connect(Unit& u, Connection c) {
  static_cast<Connection&>(u) = std::move(c);
  u.connected = true;
  u.input.clear();
  begin_record(u.record);
  console_state.forget(u);
}

void disconnect(Unit& u) {
  if (u.console == ConsoleEnd::output) console_state.finish(u);
  platform::Error err;
  if (u.owns_handle && !platform::close(u.handle, &err) && !g_run.failing) {
    u.owns_handle = false;
    fail({kMsgWriteError, u.number, err.code});
  }
  begin_record(u.record);
  console_state.forget(u);
  static_cast<Connection&>(u) = Connection{};
}

namespace {

// The first use of a console unit; off the path of every later statement.
[[gnu::noinline]] Unit& connect_console(Unit& u, int number) {
  if (number == kConsoleOut) {
    Connection c = standard_stream(number, platform::StandardStream::output, kConsoleOutName);
    c.console = ConsoleEnd::output;
    connect(u, std::move(c));
  } else if (number == kConsoleIn) {
    Connection c = standard_stream(number, platform::StandardStream::input, kConsoleInName);
    c.console = ConsoleEnd::input;
    c.byte_reads = needs_byte_reads(c.handle);
    connect(u, std::move(c));
  } else {
    std::abort();  // the programs open every other unit before using it
  }
  return u;
}

}  // namespace

Unit& acquire_unit(int number) {
  Unit& u = unit_slot(number);
  if (u.connected) return u;
  return connect_console(u, number);
}

Unit* find_unit(int number) {
  if (number < 0 || number > kMaxUnit) return nullptr;
  Unit& u = g_units[number];
  return u.connected ? &u : nullptr;
}

void close_file(int number) {
  if (Unit* u = find_unit(number)) disconnect(*u);
}

void close_all_units() {
  // Files first, the console last, so its final line end comes after them.
  for (Unit& u : g_units) {
    if (u.connected && u.console != ConsoleEnd::output) disconnect(u);
  }
  for (Unit& u : g_units) {
    if (u.connected) disconnect(u);
  }
}

}  // namespace textio
